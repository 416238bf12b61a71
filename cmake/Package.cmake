# `cpack --config <build folder>/CPackConfig.cmake` builds the Debian package from the
# install rules: programs in /usr/bin, the program folder in /usr/share/vantor and the udev
# rule in /usr/lib/udev/rules.d, whose maintainer scripts make udev take it at once.
set(VANTOR_MAINTAINER "Vantor maintainers <maintainers@users.noreply.c-seed-72832a25.example>"
    CACHE STRING "Maintainer of the Debian package")

# The Debian changelog names the version being packaged; a release bumps both together.
file(STRINGS ${CMAKE_SOURCE_DIR}/packaging/debian/changelog vantor_changelog_head LIMIT_COUNT 1)
if(NOT vantor_changelog_head MATCHES "^vantor \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/debian/changelog does not start with version "
        "${PROJECT_VERSION}: add an entry for it")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${VANTOR_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration utility for a wireless gaming mouse")
set(CPACK_PACKAGE_DESCRIPTION
"Vantor finds the mouse through its USB receiver or cable, reads the active
on-board profile out of the device memory, lets you change DPI levels, buttons,
macros, lighting and performance settings, writes them back, shows the battery,
keeps a macro library and profile files on disk, and lives in the tray.

The package holds the window program vantor, the command-line tool vantorctl
and a udev rule that gives the user at the seat access to the mouse.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://vantor.example/")
# Runtime dependencies come from the libraries the programs link (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Chinese texts need a font with CJK glyphs, which many desktops lack.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "udev, fonts-wqy-microhei | fonts-noto-cjk")
set(CPACK_STRIP_FILES ON)
set(CPACK_SET_DESTDIR ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# postinst and postrm make udev read its rules again and re-run them for the mouse.
set(SCRIPT_PURPOSE "Makes udev take the new rule that lets the user at the seat open the mouse.")
set(SCRIPT_ACTIONS configure)
configure_file(${CMAKE_SOURCE_DIR}/packaging/debian/udev-reload.in
    ${CMAKE_BINARY_DIR}/packaging/debian/postinst @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
set(SCRIPT_PURPOSE "Makes udev forget the removed rule that let the user at the seat open the mouse.")
set(SCRIPT_ACTIONS "remove|purge")
configure_file(${CMAKE_SOURCE_DIR}/packaging/debian/udev-reload.in
    ${CMAKE_BINARY_DIR}/packaging/debian/postrm @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_BINARY_DIR}/packaging/debian/postinst ${CMAKE_BINARY_DIR}/packaging/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/package)
include(CPack)
