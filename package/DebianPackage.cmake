# The Debian package, made by CPack from the install rules:
#   cpack --config <build>/CPackConfig.cmake   (scripts/package.sh does it)
# writes tarvikbootp_<version>_<architecture>.deb. Its dependencies are read
# from the program's libraries by dpkg-shlibdeps.
if(NOT UNIX OR APPLE)
    return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvikbootp)
set(CPACK_PACKAGE_VENDOR "${BOOTP_COMPANY_NAME}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
# Staged with DESTDIR, so the install rules can tell the staging area from
# the system (the capability is given on the target, by postinst).
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${BOOTP_COMPANY_NAME} <support@tarvik.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${BOOTP_HOMEPAGE}")
# CPack indents the lines after the first itself.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "BOOTP server that gives Ethernet I/O units their IP addresses
Tarvik BootP Tool commissions Tarvik Ethernet I/O units: a unit that has no
IP address yet asks for one, the tool lists it by its MAC address, the
operator enters its IP address, subnet mask and gateway, and the tool sends
the BOOTP reply. It also pings a unit and prints the list of units.
.
Its command-line program, tarvik-bootp, commissions a plant from an address
plan: it answers every unit of the plan with its planned addresses by
itself and keeps a record of the replies.
.
Both programs get the capability to bind UDP port 67 when they are installed.")
# setcap gives the program its capability in postinst: a dependency, so that
# it is there, configured, before postinst runs. The libraries' dependencies
# are added to it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcap2-bin")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# PING Selected runs ping.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "iputils-ping")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# What every Debian package carries in its documentation folder.
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})
execute_process(COMMAND date --utc --rfc-email --date "${BOOTP_RELEASE_DATE} 12:00"
                OUTPUT_VARIABLE BOOTP_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${CMAKE_BINARY_DIR}/package/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/package/changelog.gz
    COMMAND gzip -9nf --keep changelog
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/package
    DEPENDS ${CMAKE_BINARY_DIR}/package/changelog
    COMMENT "Compressing the package's change log")
add_custom_target(bootp_package_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/package/changelog.gz)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${CMAKE_BINARY_DIR}/package/changelog.gz DESTINATION ${doc_dir})

include(CPack)
