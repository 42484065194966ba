# The texts beside the code say what is true of any checkout:
# - README.md and docs/ name places by paths relative to the repository (or
#   the home folder), never by an absolute path of one machine;
# - the operations tests/support/FakeBrowserControl.h gives as examples are
#   ones the fake control records.
# Run as: cmake -DSOURCE_DIR=<repository> -P CheckTexts.cmake
set(_failures "")

file(GLOB _docs "${SOURCE_DIR}/README.md" "${SOURCE_DIR}/docs/*.md")
foreach(_doc IN LISTS _docs)
    file(STRINGS "${_doc}" _lines)
    set(_number 0)
    foreach(_line IN LISTS _lines)
        math(EXPR _number "${_number} + 1")
        if(_line MATCHES "(^|[ `(\"'])(/work|/root|/home/[A-Za-z0-9_.-]+|/Users)/")
            file(RELATIVE_PATH _name "${SOURCE_DIR}" "${_doc}")
            list(APPEND _failures "${_name}:${_number}: an absolute path of the build machine: ${_line}")
        endif()
    endforeach()
endforeach()

set(_fake "${SOURCE_DIR}/tests/support/FakeBrowserControl")
file(READ "${_fake}.h" _header)
file(READ "${_fake}.cpp" _source)
set(_code "${_header}${_source}")
# The class comment: the comment lines before "class FakeBrowserControl".
string(FIND "${_header}" "class FakeBrowserControl" _class)
string(SUBSTRING "${_header}" 0 ${_class} _before)
string(REGEX MATCHALL "//[^\n]*" _comment "${_before}")
string(REGEX MATCHALL "\"[^\"]+\"" _examples "${_comment}")
if(NOT _examples)
    list(APPEND _failures "FakeBrowserControl.h: no examples of recorded operations found")
endif()
foreach(_example IN LISTS _examples)
    string(REGEX REPLACE "^\"([^ \"]+).*$" "\\1" _operation "${_example}")
    string(FIND "${_code}" "QStringLiteral(\"${_operation}" _recorded)
    if(_recorded EQUAL -1)
        list(APPEND _failures "FakeBrowserControl.h: the example ${_example} is no operation the fake records")
    endif()
endforeach()

if(_failures)
    list(JOIN _failures "\n" _text)
    message(FATAL_ERROR "${_text}")
endif()
message(STATUS "README, docs and the fake control's examples check out")
