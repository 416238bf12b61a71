#include "sim/sim_factory.h"

#include <algorithm>

#include "app/profile_defaults.h"
#include "base/log.h"
#include "profile/profile_writes.h"
#include "profile/set_flags.h"

namespace vantor {
namespace {

// Every part that lives in device memory: not the desktop's pointer settings, no reset.
constexpr std::uint32_t kDeviceParts = SET_KEY | SET_LED | SET_DPI | SET_CUR_DPI | SET_RATE |
                                       SET_DPI_COLOR | SET_DPI_NUM | SET_LOD | SET_FIXLINE |
                                       SET_RIPPLE | SET_DEBOUNCE | SET_MOTIONSYNC | SET_SLEEP |
                                       SET_LIGHTOFF | SET_SENSORMODE | SET_AUTOSLEEP;

}  // namespace

ProfileDefaults ProfileDefaultsOf(const DeviceSection& section, const AppOptions& options) {
    ProfileDefaults d = MakeProfileDefaults(section, options, section.keys);
    // A section that was never read holds zeros; the defaults of a new record stand in for
    // them, so the mouse always has a report rate and a sleep time.
    const ProfileDefaults fresh;
    if (section.DR == 0) d.reportRate = fresh.reportRate;
    if (section.SleepTime == 0) d.sleepTime = fresh.sleepTime;
    if (section.Sensor == 0) d.sleepTimeCheck = fresh.sleepTimeCheck;
    return d;
}

SimProfileImage SimImageOfRecord(const ProfileFile& record, int dpiLevel,
                                 const CodecContext& context) {
    // The mouse holds every part, whatever the model shows.
    CodecContext everything = context;
    everything.showDpi = true;
    everything.showDpiLed = true;
    everything.showMainEffect = true;
    everything.showLogoEffect = true;
    everything.showLod = true;
    everything.showRipple = true;
    everything.showFixLine = true;
    everything.showDebounce = true;
    everything.showSys = false;
    const ProfileWritePlan plan =
        BuildProfileWrites(record, kDeviceParts, kSetIndexAll, dpiLevel, everything, nullptr);
    SimProfileImage image{};
    if (RunWritesOnMemory(plan, image, /*goWithNoDev=*/false) != 1) {
        DbgLog("SimImageOfRecord: some parts were not written");
    }
    return image;
}

SimProfileImage SimFactoryImage(const DeviceSection& section, const AppOptions& options) {
    const ProfileFile record =
        NewProfileRecord(ProfileDefaultsOf(section, options), "", /*profileId=*/1);
    // What the writer needs of the model beside the parts to write, which are all of them.
    CodecContext context;
    context.sensor = static_cast<std::uint32_t>(section.Sensor);
    context.dpiLevelCount = std::clamp(section.DM, 1, kMaxDpiLevels);
    context.keyMask = static_cast<std::uint32_t>(options.KeyMask);
    for (std::size_t b = 0; b < kKeysPerSet; ++b) {
        context.defaultMatrixIndex[b] = section.keys[0][b].nMatrixIndex;
    }
    return SimImageOfRecord(record, section.DEFLEVEL, context);
}

SimProfileImage SimFactoryImage(int sectionIndex) {
    return SimFactoryImage(DeviceSectionAt(sectionIndex), Options());
}

std::shared_ptr<SimFirmware> MakeSimFirmware(int sectionIndex) {
    const DeviceSection& section = DeviceSectionAt(sectionIndex);
    return std::make_shared<SimFirmware>(SimFactoryImage(sectionIndex),
                                         static_cast<std::uint8_t>(section.CID),
                                         static_cast<std::uint8_t>(section.MID));
}

}  // namespace vantor
