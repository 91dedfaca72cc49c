# install_port_capability(PROGRAM): installed on Linux, the program needs the
# right to bind port 67 again; only root can give it, so without it the
# install says how. A staged install (DESTDIR, as when the package is made)
# is not where the program runs: there the package's postinst gives it.
function(install_port_capability program)
    if(NOT UNIX OR APPLE)
        return()
    endif()
    install(CODE "
        if(\"\$ENV{DESTDIR}\" STREQUAL \"\")
            set(program \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\")
            execute_process(COMMAND setcap cap_net_bind_service=+ep \"\${program}\"
                            RESULT_VARIABLE failed OUTPUT_QUIET ERROR_QUIET)
            if(failed)
                message(WARNING \"Listening needs port 67: run  sudo setcap cap_net_bind_service=+ep \${program}\")
            endif()
        endif()
    ")
endfunction()
