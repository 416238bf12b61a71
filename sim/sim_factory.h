// The factory state of the simulated mouse: the device memory image of a new profile
// record of a device section of the configuration, and a firmware built from it.
#pragma once

#include <memory>

#include "app/config.h"
#include "profile/new_profile.h"
#include "sim/sim_firmware.h"

namespace vantor {

// The new-record defaults of a device section and the general options.
ProfileDefaults ProfileDefaultsOf(const DeviceSection& section, const AppOptions& options);

// Device memory holding every group of `record` as the mouse keeps it, with `dpiLevel` as
// the active DPI level. Ranges the record does not fill stay 0.
SimProfileImage SimImageOfRecord(const ProfileFile& record, int dpiLevel);

// The memory of a new profile of `section`; the active DPI level is the section's
// DEFLEVEL.
SimProfileImage SimFactoryImage(const DeviceSection& section, const AppOptions& options);

// A firmware with that image in all four profiles and the section's CID and MID; uses
// the configuration read by DataInit (DEV_<sectionIndex + 1>).
std::shared_ptr<SimFirmware> MakeSimFirmware(int sectionIndex);

}  // namespace vantor
