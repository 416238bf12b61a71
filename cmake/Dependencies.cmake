# Every library and tool the build looks up goes through these wrappers. Each records the file
# that satisfied the lookup in <build>/dependencies.tsv (kind, name, file), so that
# scripts/check-deps.sh can ask dpkg which package brought it and whether the install lists
# name that package. A plain find_package, pkg_check_modules or find_program elsewhere would
# escape that check; the script refuses them.
set(VANTOR_DEPENDENCY_REPORT ${CMAKE_BINARY_DIR}/dependencies.tsv)
file(WRITE ${VANTOR_DEPENDENCY_REPORT} "")

function(vantor_record_dependency kind name file)
    file(APPEND ${VANTOR_DEPENDENCY_REPORT} "${kind}\t${name}\t${file}\n")
endfunction()

# The compiler, the build tool and CMake itself come from packages as well.
vantor_record_dependency(tool c++ "${CMAKE_CXX_COMPILER}")
vantor_record_dependency(tool make "${CMAKE_MAKE_PROGRAM}")
vantor_record_dependency(tool cmake "${CMAKE_COMMAND}")

# find_package(NAME [COMPONENTS ...] ...): a package found through its CMake config file is
# recorded by that file (one per component for Qt); the few found by CMake's own modules name
# the file the module relied on.
macro(vantor_find_package name)
    find_package(${name} ${ARGN})
    if(${name}_CONFIG)
        vantor_record_dependency(package ${name} "${${name}_CONFIG}")
    elseif("${name}" STREQUAL "PkgConfig")
        vantor_record_dependency(package ${name} "${PKG_CONFIG_EXECUTABLE}")
    elseif("${name}" STREQUAL "Threads")
        # The threads of the C library: its header stands for it.
        find_file(VANTOR_PTHREAD_HEADER pthread.h REQUIRED)
        vantor_record_dependency(package ${name} "${VANTOR_PTHREAD_HEADER}")
    elseif("${name}" STREQUAL "GTest" AND GTEST_INCLUDE_DIR)
        vantor_record_dependency(package ${name} "${GTEST_INCLUDE_DIR}/gtest/gtest.h")
    else()
        vantor_record_dependency(package ${name} "NOTFOUND")
    endif()
    if("${name}" STREQUAL "Qt6")
        foreach(component IN ITEMS ${ARGN})
            if(DEFINED Qt6${component}_DIR AND EXISTS "${Qt6${component}_DIR}/Qt6${component}Config.cmake")
                vantor_record_dependency(package Qt6${component}
                    "${Qt6${component}_DIR}/Qt6${component}Config.cmake")
            endif()
        endforeach()
    endif()
endmacro()

# pkg_check_modules(PREFIX REQUIRED IMPORTED_TARGET module...): each module by its .pc file.
function(vantor_pkg_check_modules prefix)
    pkg_check_modules(${prefix} ${ARGN})
    set(${prefix}_FOUND ${${prefix}_FOUND} PARENT_SCOPE)
    foreach(module IN LISTS ARGN)
        if(module MATCHES "^(REQUIRED|QUIET|IMPORTED_TARGET|GLOBAL|NO_CMAKE_PATH|NO_CMAKE_ENVIRONMENT_PATH)$")
            continue()
        endif()
        pkg_get_variable(pc_dir ${module} pcfiledir)
        if(pc_dir)
            vantor_record_dependency(pkg-config ${module} "${pc_dir}/${module}.pc")
        else()
            vantor_record_dependency(pkg-config ${module} "NOTFOUND")
        endif()
    endforeach()
endfunction()

# find_program(VAR name...): the program found, or NOTFOUND, which the check reports.
function(vantor_find_program var)
    find_program(${var} ${ARGN})
    vantor_record_dependency(program ${var} "${${var}}")
endfunction()
