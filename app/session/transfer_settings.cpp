#include "app/session/transfer_settings.h"

#include <utility>

#include "app/config/codec_context_config.h"
#include "app/config/config.h"
#include "platform/pointer_settings.h"
#include "profile/codec_context.h"
#include "profile/setting_ranges.h"

namespace vantor {

ProfileTransferSettings CurrentTransferSettings(MacroLibraryAccess* macros) {
    ProfileTransferSettings settings;
    settings.context = CurrentCodecContext();
    settings.goWithNoDev = Options().GoWithNoDev != 0;
    settings.macros = macros;
    // The configured mice, whose pointers get per-device settings where the desktop keeps
    // them.
    MouseIds mice{Options().VID, Options().PID};
    mice.products.insert(mice.products.end(), Options().PID2.begin(), Options().PID2.end());
    settings.applyPointerSettings = [mice = std::move(mice)](const MouseSysParam& sys) {
        return ApplyPointerSettings(PointerSettingsOf(sys), mice);
    };
    return settings;
}

PointerSettings PointerSettingsOf(const MouseSysParam& sys) {
    PointerSettings settings;
    settings.speed = sys.nMouseSpeed;
    settings.enhancePrecision = sys.bEnhancePrecision != 0;
    settings.doubleClickMs = sys.nDoubleClickTime;
    settings.wheelLines =
        sys.nWheelLines == kWheelOneScreen ? PointerSettings::kOneScreen : int(sys.nWheelLines);
    settings.trails = sys.nMouseTrails;
    return settings;
}

}  // namespace vantor
