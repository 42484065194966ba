# Installs the build into PREFIX and checks what landed there.
# Variables: BUILD_DIR, PREFIX, APP_ID, DESKTOP_FILE_VALIDATE, APPSTREAMCLI.
foreach(tool DESKTOP_FILE_VALIDATE APPSTREAMCLI)
    if(NOT ${tool})
        message(FATAL_ERROR "${tool}: not installed (scripts/deps.sh installs desktop-file-utils and appstream)")
    endif()
endforeach()

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed:\n${output}")
endif()

set(entry "${PREFIX}/share/applications/corvane.desktop")
set(metainfo "${PREFIX}/share/metainfo/${APP_ID}.metainfo.xml")
foreach(file "${PREFIX}/bin/corvane" "${entry}" "${metainfo}"
             "${PREFIX}/share/icons/hicolor/scalable/apps/corvane.svg"
             "${PREFIX}/share/icons/hicolor/48x48/apps/corvane.png"
             "${PREFIX}/share/icons/hicolor/128x128/apps/corvane.png")
    if(NOT EXISTS "${file}")
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()

# The PNGs are the sizes their folders say (width and height of the IHDR).
foreach(size 48 128)
    file(READ "${PREFIX}/share/icons/hicolor/${size}x${size}/apps/corvane.png" header LIMIT 24 HEX)
    string(SUBSTRING "${header}" 32 16 dimensions)
    math(EXPR expected "${size}" OUTPUT_FORMAT HEXADECIMAL)
    string(REPLACE "0x" "" expected "${expected}")
    string(LENGTH "${expected}" length)
    while(length LESS 8)
        string(PREPEND expected "0")
        string(LENGTH "${expected}" length)
    endwhile()
    if(NOT dimensions STREQUAL "${expected}${expected}")
        message(FATAL_ERROR "the ${size} px icon is not ${size} x ${size}: ${dimensions}")
    endif()
endforeach()

# The entry starts the installed program, quoted, with the open request.
file(READ "${entry}" text)
function(expect_line line)
    string(FIND "${text}" "\n${line}\n" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "no line ${line} in ${entry}:\n${text}")
    endif()
endfunction()
expect_line("Exec=\"${PREFIX}/bin/corvane\" /dde %u")
expect_line("MimeType=text/html;application/xhtml+xml;application/x-mswinurl;x-scheme-handler/http;x-scheme-handler/https;")

execute_process(COMMAND "${DESKTOP_FILE_VALIDATE}" "${entry}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT output STREQUAL "")
    message(FATAL_ERROR "desktop-file-validate ${entry}:\n${output}")
endif()
execute_process(COMMAND "${APPSTREAMCLI}" validate --no-net "${metainfo}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "appstreamcli validate --no-net ${metainfo}:\n${output}")
endif()
message(STATUS "installed and valid: ${entry}, ${metainfo}")
