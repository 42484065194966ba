# Run by `cmake --install`: writes share/applications/corvane.desktop for the
# prefix being installed to, so that its Exec line names the installed
# program. CORVANE_BINDIR, CORVANE_DATADIR and CORVANE_ENTRY_TOOL come from
# the build.
foreach(_dir BINDIR DATADIR)
    if(IS_ABSOLUTE "${CORVANE_${_dir}}")
        set(_${_dir} "${CORVANE_${_dir}}")
    else()
        set(_${_dir} "${CMAKE_INSTALL_PREFIX}/${CORVANE_${_dir}}")
    endif()
endforeach()

set(_entry "$ENV{DESTDIR}${_DATADIR}/applications/corvane.desktop")
message(STATUS "Installing: ${_entry}")
file(MAKE_DIRECTORY "$ENV{DESTDIR}${_DATADIR}/applications")
execute_process(COMMAND "${CORVANE_ENTRY_TOOL}" "${_BINDIR}/corvane" "${_entry}" RESULT_VARIABLE _result)
if(NOT _result EQUAL 0)
    message(FATAL_ERROR "Could not write ${_entry}")
endif()
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${_entry}")
