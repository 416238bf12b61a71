#include "sim/sim_factory.h"

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
    ProfileDefaults d;
    d.keyLayers = section.keys;
    d.reportRate = static_cast<std::uint32_t>(section.DR);
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
    d.sleepTime = section.SleepTime;
    d.sleepTimeCheck = section.SleepTimeCheck;
    d.deviceDebounce = section.Debounce;
    d.generalDebounce = options.Debounce;
    d.enhancePrecision = options.EnhancePrecision;
    d.dpiLedMode = static_cast<std::uint32_t>(section.DpiLEDMode);
    d.ledParam = options.LEDParam;
    return d;
}

SimProfileImage SimImageOfRecord(const ProfileFile& record, int dpiLevel,
                                 const CodecContext& context) {
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

SimProfileImage SimFactoryImage(int sectionIndex) {
    const DeviceSection& section = DeviceSectionAt(sectionIndex);
    const ProfileFile record =
        NewProfileRecord(ProfileDefaultsOf(section, Options()), "", /*profileId=*/1);
    return SimImageOfRecord(record, section.DEFLEVEL, CodecContextForDevice(sectionIndex));
}

std::shared_ptr<SimFirmware> MakeSimFirmware(int sectionIndex) {
    const DeviceSection& section = DeviceSectionAt(sectionIndex);
    return std::make_shared<SimFirmware>(SimFactoryImage(sectionIndex),
                                         static_cast<std::uint8_t>(section.CID),
                                         static_cast<std::uint8_t>(section.MID));
}

}  // namespace vantor
