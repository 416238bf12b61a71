# `cmake --install <build folder> [--prefix DIR]` writes only below the prefix: the programs
# into bin, the program folder (cfg.ini, texts, skins, icon) into share/vantor, where the
# programs find it from their own folder, the udev rule into lib/udev/rules.d, and the
# desktop entry, icons, AppStream data, man pages and shell completion where the desktop,
# man and bash look for them.
include(GNUInstallDirs)

# The programs look for the installed program folder relative to their own folder, so an
# install under any prefix, or a moved one, finds its data.
file(RELATIVE_PATH vantor_program_dir_from_bin
    "${CMAKE_INSTALL_FULL_BINDIR}" "${CMAKE_INSTALL_FULL_DATADIR}/vantor")
set_property(SOURCE ${CMAKE_SOURCE_DIR}/platform/paths.cpp APPEND PROPERTY COMPILE_DEFINITIONS
    VANTOR_PROGRAM_DIR_FROM_BIN="${vantor_program_dir_from_bin}/")
set_property(SOURCE ${CMAKE_SOURCE_DIR}/platform/autostart.cpp APPEND PROPERTY
    COMPILE_DEFINITIONS VANTOR_APP_ID="${VANTOR_APP_ID}")

set(vantor_packaging ${CMAKE_SOURCE_DIR}/packaging)
set(vantor_generated ${CMAKE_BINARY_DIR}/packaging)

foreach(program IN ITEMS vantor vantorctl)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()

install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vantor
    PATTERN udev EXCLUDE)

# The KWin script that tells the window program the application in front on KDE Plasma
# under Wayland; it reports to the D-Bus name of the application id. It lives in the program
# folder, from where the program hands it to KWin.
configure_file(${CMAKE_SOURCE_DIR}/packaging/kwin/active_window.js.in
    ${CMAKE_BINARY_DIR}/bin/kwin/active_window.js @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/bin/kwin/active_window.js
    DESTINATION ${CMAKE_INSTALL_DATADIR}/vantor/kwin)

# The drawn skin and the application icon (window icon in the program folder, themed icons
# for menus and the desktop entry).
if(TARGET vantor-skingen)
    install(DIRECTORY ${CMAKE_BINARY_DIR}/bin/skins DESTINATION ${CMAKE_INSTALL_DATADIR}/vantor)
    install(FILES ${CMAKE_BINARY_DIR}/bin/appico.ico ${CMAKE_BINARY_DIR}/bin/appico.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/vantor)
    install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/hicolor
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
endif()

# The desktop entry and the AppStream data name the application by its id.
configure_file(${vantor_packaging}/vantor.desktop.in
    ${vantor_generated}/${VANTOR_APP_ID}.desktop @ONLY)
configure_file(${vantor_packaging}/vantor.metainfo.xml.in
    ${vantor_generated}/${VANTOR_APP_ID}.metainfo.xml @ONLY)
if(TARGET vantor)
    install(FILES ${vantor_generated}/${VANTOR_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${vantor_generated}/${VANTOR_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# Man pages and the changelog are installed compressed, as Debian wants them.
set(vantor_compressed)
function(vantor_gzip source output)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E copy ${source} ${output}.tmp
        COMMAND gzip -9nf ${output}.tmp
        COMMAND ${CMAKE_COMMAND} -E rename ${output}.tmp.gz ${output}
        DEPENDS ${source} VERBATIM)
    set(vantor_compressed ${vantor_compressed} ${output} PARENT_SCOPE)
endfunction()
set(vantor_man_pages vantorctl)
if(TARGET vantor)
    list(APPEND vantor_man_pages vantor)
endif()
foreach(page IN LISTS vantor_man_pages)
    # The man pages name the project version.
    configure_file(${vantor_packaging}/man/${page}.1.in ${vantor_generated}/${page}.1 @ONLY)
    vantor_gzip(${vantor_generated}/${page}.1 ${vantor_generated}/${page}.1.gz)
    install(FILES ${vantor_generated}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
vantor_gzip(${vantor_packaging}/debian/changelog ${vantor_generated}/changelog.gz)
add_custom_target(vantor_compressed_docs ALL DEPENDS ${vantor_compressed})
install(FILES ${vantor_generated}/changelog.gz ${vantor_packaging}/debian/copyright
    DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The documentation the window's links open (tc_mainweb and tc_web name it relative to the
# program folder: ../doc/vantor/README.md), with the picture it shows.
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_SOURCE_DIR}/docs/main-window.png DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)

install(FILES ${vantor_packaging}/vantorctl.bash-completion
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME vantorctl)

# The udev rule stays below the prefix too. udev reads it from /usr/lib/udev/rules.d (prefix
# /usr, as the Debian package has it); other prefixes say where to copy it.
set(vantor_udev_rules_dir lib/udev/rules.d)
install(FILES ${CMAKE_SOURCE_DIR}/data/udev/70-vantor.rules DESTINATION ${vantor_udev_rules_dir})
install(CODE "set(vantor_udev_rules_dir \"${vantor_udev_rules_dir}\")")
install(CODE [[
    set(rule_dir "${CMAKE_INSTALL_PREFIX}/${vantor_udev_rules_dir}")
    if(DEFINED ENV{DESTDIR} AND NOT "$ENV{DESTDIR}" STREQUAL "")
        # Staged for a package: its maintainer scripts reload udev on the target.
    elseif(rule_dir STREQUAL "/usr/lib/udev/rules.d")
        # A mouse that is already plugged in gets its new permissions when it is plugged in
        # again. Failures are harmless: the rule still applies from the next boot.
        execute_process(COMMAND udevadm control --reload-rules
            RESULT_VARIABLE reload_result OUTPUT_QUIET ERROR_QUIET)
        if(NOT reload_result EQUAL 0)
            message(STATUS "udevadm control --reload-rules failed; the rule applies after a reboot")
        endif()
    else()
        message(STATUS "udev does not read ${rule_dir}: for a real mouse, copy "
            "70-vantor.rules from there to /etc/udev/rules.d and re-plug the mouse")
    endif()
]])
