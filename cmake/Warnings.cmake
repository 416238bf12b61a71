add_library(vantor_warnings INTERFACE)
target_compile_options(vantor_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
    -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Woverloaded-virtual
    -Wformat=2 -Wimplicit-fallthrough)
if(VANTOR_WERROR)
    target_compile_options(vantor_warnings INTERFACE -Werror)
endif()
