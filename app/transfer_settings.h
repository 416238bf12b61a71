// The settings of every profile read and write of the programs, built in one place so the
// window and the command-line tool read and write the same way.
#pragma once

#include "device/profile_transfer.h"
#include "keys/macro_library_access.h"

namespace vantor {

// The codec context of the current device section, GoWithNoDev and `macros` (the macro
// library whose macros the keys play; may be null). Taken on the thread that owns the
// library; a worker gets a copy of the result with its request.
ProfileTransferSettings CurrentTransferSettings(MacroLibraryAccess* macros);

}  // namespace vantor
