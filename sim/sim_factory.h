// The factory state of the simulated mouse: the device memory image of a new profile
// record of a device section of the configuration, and a firmware built from it.
#pragma once

#include <memory>

#include "app/config.h"
#include "profile/codec_context.h"
#include "profile/new_profile.h"
#include "sim/sim_firmware.h"

namespace vantor {

// The new-record defaults of a device section and the general options.
ProfileDefaults ProfileDefaultsOf(const DeviceSection& section, const AppOptions& options);

// Device memory after every device part of `record` was written by the profile writer,
// with `dpiLevel` as the active DPI level. The mouse holds every part whether or not the
// model shows it, so all parts are written. Ranges no part fills stay 0.
SimProfileImage SimImageOfRecord(const ProfileFile& record, int dpiLevel,
                                 const CodecContext& context);

// The memory of a new profile of `section`; the active DPI level is the section's
// DEFLEVEL.
SimProfileImage SimFactoryImage(const DeviceSection& section, const AppOptions& options);
// The same for DEV_<sectionIndex + 1> as read by DataInit.
SimProfileImage SimFactoryImage(int sectionIndex);

// A firmware with that image in all four profiles and the section's CID and MID.
std::shared_ptr<SimFirmware> MakeSimFirmware(int sectionIndex);

}  // namespace vantor
