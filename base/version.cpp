#include "base/version.h"

#ifndef VANTOR_VERSION
#error "VANTOR_VERSION comes from the build (project VERSION in CMakeLists.txt)"
#endif

namespace vantor {

const char* ProgramVersion() {
    return VANTOR_VERSION;
}

}  // namespace vantor
