#include "app/transfer_settings.h"

#include "app/codec_context_config.h"
#include "app/config.h"
#include "profile/codec_context.h"

namespace vantor {

ProfileTransferSettings CurrentTransferSettings(MacroLibraryAccess* macros) {
    ProfileTransferSettings settings;
    settings.context = CurrentCodecContext();
    settings.goWithNoDev = Options().GoWithNoDev != 0;
    settings.macros = macros;
    return settings;
}

}  // namespace vantor
