# The Debian package (CPack): the program, the launcher for the logged-in user,
# the desktop and login (XDG autostart) entries, the icon, and the systemd unit
# of the headless mode (shipped, not enabled). scripts/package builds it; the
# package tests (packaging/tests) build it from the test build's tree.
#
# The fake Korvanta service is not packaged: it is a tool of the tests and the
# demo, built from the source tree (README, "Packaging").

if(NOT (UNIX AND NOT APPLE))
  return()
endif()

include(GNUInstallDirs)
# Installing (and so cpack) takes the files as built and does not build the
# whole tree first: scripts/package builds the program alone, the package tests
# run after the full build.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(KORVANTA_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

# The program itself is installed by src/CMakeLists.txt (bin/korvanta-sync).
install(PROGRAMS ${KORVANTA_PACKAGING_DIR}/korvanta-sync-tray DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${KORVANTA_PACKAGING_DIR}/korvanta-sync.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${KORVANTA_PACKAGING_DIR}/korvanta-sync.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${KORVANTA_PACKAGING_DIR}/korvanta-sync-autostart.desktop
        DESTINATION /etc/xdg/autostart RENAME korvanta-sync.desktop)
# /usr/lib/systemd/system: the unit is installed, never enabled by the package.
install(FILES ${KORVANTA_PACKAGING_DIR}/korvanta-sync.service DESTINATION lib/systemd/system)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvanta-sync)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Store-side synchroniser between a Firebird ERP and the Korvanta service")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Posts the store's sale tickets, cancellations and daily closings to the\n\
Korvanta REST service, downloads its promotions into the ERP tables the\n\
point-of-sale software reads, and honours the service's resend requests.\n\
It runs behind a notification icon (korvanta-sync-tray, started at login\n\
once a user has settings) or without a window as the systemd service\n\
korvanta-sync.service, which is installed but not enabled.")
set(KORVANTA_PACKAGE_MAINTAINER "korvanta-sync maintainers" CACHE STRING "Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KORVANTA_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # korvanta-sync_<version>_<arch>.deb
# The libraries the program links (Qt 6, libcurl4, libfbclient2, simdjson, the C++
# runtime) with their versions, from dpkg-shlibdeps; then what it loads or runs
# without linking it: Qt's platform plugins for the window and tray, the
# embedded Firebird engine for a database given as a file path, the trusted
# certificates for https base URLs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, firebird3.0-server-core, ca-certificates")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "firebird3.0-server")
# The login entry under /etc is a configuration file the administrator may change.
set(KORVANTA_DEB_CONFFILES ${PROJECT_BINARY_DIR}/packaging/conffiles)
file(WRITE ${KORVANTA_DEB_CONFFILES} "/etc/xdg/autostart/korvanta-sync.desktop\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${KORVANTA_DEB_CONFFILES})
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)

include(CPack)

# The package tests: build the package from this tree (no second build), unpack it
# into a scratch root, run the program from there, validate the desktop entries
# and the unit.
if(KORVANTA_TESTS)
  set(korvanta_package_out ${PROJECT_BINARY_DIR}/package-test)
  add_test(NAME package.build
           COMMAND ${KORVANTA_PACKAGING_DIR}/tests/check-package build ${CMAKE_CPACK_COMMAND}
                   ${PROJECT_BINARY_DIR}/CPackConfig.cmake ${korvanta_package_out})
  set_tests_properties(package.build PROPERTIES FIXTURES_SETUP korvanta_deb)
  foreach(check install desktop-entries systemd-unit)
    add_test(NAME package.${check}
             COMMAND ${KORVANTA_PACKAGING_DIR}/tests/check-package ${check} ${korvanta_package_out})
    set_tests_properties(package.${check} PROPERTIES FIXTURES_REQUIRED korvanta_deb SKIP_RETURN_CODE 77)
  endforeach()
endif()
