// Fills the defaults of a new profile record from the configuration of one device model.
#pragma once

#include "app/config/config.h"
#include "profile/new_profile.h"

namespace vantor {

// `keyLayers` is the default key matrix copied from the section (CopyDefaultKeys).
ProfileDefaults MakeProfileDefaults(const DeviceSection& section, const AppOptions& options,
                                    const KeyLayers& keyLayers);

}  // namespace vantor
