#include "sim/sim_factory.h"

#include <algorithm>

#include "app/log.h"
#include "profile/profile_writes.h"
#include "profile/set_flags.h"

namespace vantor {
namespace {

// Every part that lives in device memory: not the desktop's pointer settings, no reset.
constexpr std::uint32_t kDeviceParts = SET_KEY | SET_LED | SET_DPI | SET_CUR_DPI | SET_RATE |
                                       SET_DPI_COLOR | SET_DPI_NUM | SET_LOD | SET_FIXLINE |
                                       SET_RIPPLE | SET_DEBOUNCE | SET_MOTIONSYNC | SET_SLEEP |
                                       SET_LIGHTOFF | SET_SENSORMODE | SET_AUTOSLEEP;

std::uint8_t Byte(std::uint32_t value, int index) {
    return static_cast<std::uint8_t>(value >> (8 * index));
}

}  // namespace

ProfileDefaults ProfileDefaultsOf(const DeviceSection& section, const AppOptions& options) {
    // A section that was never read holds zeros; the defaults of a new record stand in for
    // them, so the mouse always has a report rate and a sleep time.
    ProfileDefaults d;
    d.keyLayers = section.keys;
    if (section.DR != 0) d.reportRate = static_cast<std::uint32_t>(section.DR);
    d.dpiLevelCount = section.DM;
    d.dpiUiLevels = section.DpiUILevels;
    for (std::size_t i = 0; i < kDpiLevels; ++i) {
        d.dpi[i] = section.DPI[i];
        for (int c = 0; c < 3; ++c) {
            d.dpiColors[3 * i + static_cast<std::size_t>(c)] = Byte(section.DC[i], c);
        }
    }
    d.sensor = static_cast<std::uint32_t>(section.Sensor);
    d.showLod = section.ShowLOD;
    if (section.SleepTime != 0) d.sleepTime = section.SleepTime;
    if (section.Sensor != 0) d.sleepTimeCheck = section.SleepTimeCheck;
    d.deviceDebounce = section.Debounce;
    d.generalDebounce = options.Debounce;
    d.enhancePrecision = options.EnhancePrecision;
    d.dpiLedMode = static_cast<std::uint32_t>(section.DpiLEDMode);
    d.ledParam = options.LEDParam;
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
