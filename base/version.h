#pragma once

namespace vantor {

// The program's version, "major.minor.patch", as the build's project version gives it. It is
// written nowhere else: the programs' --version, the About box and the package take it here.
const char* ProgramVersion();

}  // namespace vantor
