// The settings of every profile read and write of the programs, built in one place so the
// window and the command-line tool read and write the same way.
#pragma once

#include "device/profile_transfer.h"
#include "keys/macro_library_access.h"
#include "platform/pointer_settings.h"

namespace vantor {

// The codec context of the current device section, GoWithNoDev, `macros` (the macro
// library whose macros the keys play; may be null) and the desktop's pointer settings as
// the place where the pointer settings of a profile go. Taken on the thread that owns the
// library; a worker gets a copy of the result with its request.
ProfileTransferSettings CurrentTransferSettings(MacroLibraryAccess* macros);

// The desktop's pointer settings of a profile's pointer block.
PointerSettings PointerSettingsOf(const MouseSysParam& sys);

}  // namespace vantor
