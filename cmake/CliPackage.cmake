# darvex-cli installed and packaged on its own (native builds only): the
# program, its man page and its bash completion make the install component
# "cli", and `cpack -G DEB` (or ninja package) in the build tree makes
# darvex-cli_<version>_<arch>.deb of that component alone. The test programs,
# evtgen and the help compiler install nothing.

include(GNUInstallDirs)

set(DARVEX_CLI_MAN ${PROJECT_SOURCE_DIR}/cli/darvex-cli.1)
find_program(DARVEX_GZIP gzip)
if(DARVEX_GZIP)
  # Debian keeps man pages gzipped at the best level and without a time stamp.
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/cli/darvex-cli.1.gz
    COMMAND ${DARVEX_GZIP} -9 -n -c ${DARVEX_CLI_MAN} > ${CMAKE_BINARY_DIR}/cli/darvex-cli.1.gz
    DEPENDS ${DARVEX_CLI_MAN}
    COMMENT "Compressing the darvex-cli man page" VERBATIM)
  add_custom_target(darvex_cli_man ALL DEPENDS ${CMAKE_BINARY_DIR}/cli/darvex-cli.1.gz)
  set(DARVEX_CLI_MAN ${CMAKE_BINARY_DIR}/cli/darvex-cli.1.gz)
endif()

install(TARGETS darvex-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT cli)
install(FILES ${DARVEX_CLI_MAN} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT cli)
install(FILES ${PROJECT_SOURCE_DIR}/cli/darvex-cli.bash
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME darvex-cli COMPONENT cli)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME darvex-cli)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "DARVEX developers")
set(CPACK_PACKAGE_CONTACT "DARVEX developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "terminal tool over DARVEX event logs (*.EVT)")
set(CPACK_PACKAGE_DESCRIPTION
  "darvex-cli reads an event log file exactly as the DARVEX viewer loads it: it lists, shows, checks, counts, searches, follows and exports its events (CSV, JSON, NDJSON).")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# One package of the cli component only, named without a component suffix.
set(CPACK_COMPONENTS_ALL cli)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEBIAN_PACKAGE_NAME darvex-cli)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "DARVEX developers")
find_program(DARVEX_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(DARVEX_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6")
endif()
include(CPack)

