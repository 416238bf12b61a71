add_library(vantor_warnings INTERFACE)
target_compile_options(vantor_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
    -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Woverloaded-virtual
    -Wformat=2 -Wimplicit-fallthrough)
if(VANTOR_WERROR)
    target_compile_options(vantor_warnings INTERFACE -Werror)
endif()
# GCC 12 reports std::variant and std::optional members as "maybe uninitialized" at -O2,
# and std::string appends as overlapping copies ("restrict") at -O3, when they are not;
# both warnings give false alarms on correct code.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(vantor_warnings INTERFACE -Wno-maybe-uninitialized -Wno-restrict)
endif()
