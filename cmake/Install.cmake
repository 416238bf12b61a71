# `cmake --install <build folder>` puts the programs into bin, the shipped data folder into
# share/vantor (where the programs look for it when their own folder holds no cfg.ini) and
# the udev rule where udev reads it, so that the user at the seat may open the mouse.
include(GNUInstallDirs)

set(VANTOR_INSTALL_DATA_DIR "${CMAKE_INSTALL_FULL_DATADIR}/vantor/")
target_compile_definitions(vantor_core PRIVATE
    VANTOR_INSTALL_DATA_DIR="${VANTOR_INSTALL_DATA_DIR}")

# udev reads /usr/lib/udev/rules.d and /etc/udev/rules.d, never /usr/local/lib/udev/rules.d.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
    set(vantor_default_rules_dir "${CMAKE_INSTALL_LIBDIR}/udev/rules.d")
    if(CMAKE_INSTALL_LIBDIR MATCHES "/")  # multiarch lib/<triplet>: udev wants plain lib
        set(vantor_default_rules_dir "lib/udev/rules.d")
    endif()
else()
    set(vantor_default_rules_dir "/etc/udev/rules.d")
endif()
set(VANTOR_UDEV_RULES_DIR "${vantor_default_rules_dir}" CACHE STRING
    "Folder for the udev rule that gives the logged-in user access to the mouse")

foreach(program IN ITEMS vantor vantorctl)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()

install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vantor
    PATTERN udev EXCLUDE)
install(FILES ${CMAKE_SOURCE_DIR}/data/udev/70-vantor.rules
    DESTINATION ${VANTOR_UDEV_RULES_DIR})

# Into a live system (no DESTDIR), make udev take the rule at once; a mouse that is already
# plugged in gets its new permissions when it is plugged in again. Failures are harmless:
# the rule still applies from the next boot.
install(CODE [[
    if(NOT DEFINED ENV{DESTDIR} OR "$ENV{DESTDIR}" STREQUAL "")
        execute_process(COMMAND udevadm control --reload-rules
            RESULT_VARIABLE reload_result OUTPUT_QUIET ERROR_QUIET)
        if(NOT reload_result EQUAL 0)
            message(STATUS "udevadm control --reload-rules failed; the rule applies after a reboot")
        endif()
    endif()
]])
