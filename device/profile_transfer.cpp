#include "device/profile_transfer.h"

#include <array>
#include <span>
#include <type_traits>
#include <variant>
#include <vector>

#include "base/log.h"
#include "device/device_commands.h"
#include "profile/memory_map.h"
#include "profile/profile_writes.h"

namespace vantor {
namespace {

namespace mm = memory_map;

Sleeper& SleeperOf(const ProfileTransferSettings& settings) {
    return settings.sleeper != nullptr ? *settings.sleeper : RealSleeper();
}

// Runs the reads of GetProfile into one memory image and remembers why it had to end.
class ProfileReader {
  public:
    ProfileReader(CUSBDriver& driver, const std::function<bool()>& stopRequested,
                  const ProfileTransferSettings& settings)
        : driver_(driver),
          stopRequested_(stopRequested),
          settings_(settings),
          sleeper_(SleeperOf(settings)),
          image_(kDeviceMemorySize, 0) {}

    // Each returns false when reading must end (a stop request, or a failed read without
    // goWithNoDev).
    bool ReadSettingsArea() {
        for (int i = 0; i < kSettingsAreaReads; ++i) {
            if (!Read(static_cast<std::uint16_t>(i * kMaxDataBytes), kMaxDataBytes)) return false;
            sleeper_.SleepMs(kReadAreaSleepMs);
        }
        return true;
    }

    bool ReadComboSlots() {
        sleeper_.SleepMs(kComboAreaSleepMs);
        for (int m = 0; m < mm::kKeySlots; ++m) {
            const std::uint16_t slot = mm::ComboSlotAddress(m);
            for (int part = 0; part < kComboReadsPerSlot; ++part) {
                const auto at = static_cast<std::uint16_t>(slot + kMaxDataBytes * part);
                if (!Read(at, kMaxDataBytes)) return false;
            }
        }
        return true;
    }

    bool ReadMacroNames() {
        for (int m = 0; m < mm::kKeySlots; ++m) {
            sleeper_.SleepMs(kMacroNameSleepMs);
            const auto at =
                static_cast<std::uint16_t>(mm::MacroSlotAddress(m) + mm::kMacroNameOffset);
            if (!ReadChunked(at, mm::kMacroNameBytes, IsEmptyName)) return false;
        }
        return true;
    }

    // The events of every macro slot that a key plays from.
    bool ReadMacros() {
        for (int m : MacroSlotsToRead(image_, settings_.context)) {
            sleeper_.SleepMs(kMacroDataSleepMs);
            const auto at =
                static_cast<std::uint16_t>(mm::MacroSlotAddress(m) + mm::kMacroDataOffset);
            if (!ReadChunked(at, mm::kMacroDataSize, IsEndOfMacro)) return false;
        }
        return true;
    }

    std::vector<std::uint8_t> TakeImage() { return std::move(image_); }

  private:
    bool Read(std::uint16_t address, std::size_t length) {
        const int ok = driver_.ReadEEPROM(address, image_.data() + address, length);
        return AfterRead(ok, address);
    }

    bool ReadChunked(std::uint16_t address, std::size_t length, StopPredicate stop) {
        const int ok = driver_.ReadROM(address, length, image_.data() + address, stop);
        return AfterRead(ok, address);
    }

    bool AfterRead(int ok, std::uint16_t address) {
        if (stopRequested_ && stopRequested_()) {
            DbgLog("GetProfile: stop requested");
            return false;
        }
        if (ok == 1) return true;
        DbgLog("GetProfile: read failed at 0x%x", address);
        return settings_.goWithNoDev;
    }

    CUSBDriver& driver_;
    const std::function<bool()>& stopRequested_;
    const ProfileTransferSettings& settings_;
    Sleeper& sleeper_;
    std::vector<std::uint8_t> image_;
};

// Runs the write steps one by one; a failed device command ends the run unless
// goWithNoDev.
class StepRunner {
  public:
    StepRunner(MessagePoster* window, CUSBDriver& driver, std::uint32_t message,
               const ProfileTransferSettings& settings)
        : window_(window != nullptr && window->IsValid() ? window : nullptr),
          driver_(driver),
          message_(message),
          settings_(settings),
          sleeper_(SleeperOf(settings)) {}

    int Run(const WriteSteps& steps) {
        if (window_ == nullptr) DbgLog("hWnd is invalidate");
        for (const WriteStep& step : steps) {
            const bool ok = std::visit([this](const auto& s) { return Do(s); }, step);
            if (!ok && !settings_.goWithNoDev) return 0;
        }
        return 1;
    }

  private:
    bool Do(const LogStep& s) {
        DbgLog("%s", s.text.c_str());
        return true;
    }
    bool Do(const LogHexStep& s) {
        DbgLogHex(s.bytes.data(), s.bytes.size(), s.bytesPerLine, s.title.c_str());
        return true;
    }
    bool Do(const SleepStep& s) {
        if (!s.onlyWithWindow || window_ != nullptr) sleeper_.SleepMs(s.milliseconds);
        return true;
    }
    bool Do(const ProgressStep& s) {
        if (window_ != nullptr) {
            window_->Post(message_, static_cast<std::uintptr_t>(s.position), 0);
        }
        return true;
    }
    bool Do(const MemoryWriteStep& s) {
        return driver_.WriteEEPROM(s.chunk, s.bytes.size(), s.address, s.bytes.data()) == 1;
    }
    bool Do(const ReadModifyWriteStep& s) {
        std::vector<std::uint8_t> current(s.length, 0);
        if (s.length != 0 && driver_.ReadROM(s.address, s.length, current.data()) != 1) {
            DbgLog("SetProfile: read before write failed at 0x%x", s.address);
            return false;
        }
        if (!s.modify) return true;
        const std::vector<std::uint8_t> bytes = s.modify(current);
        return driver_.WriteEEPROM(s.chunk, bytes.size(), s.address, bytes.data()) == 1;
    }
    bool Do(const FailedWriteStep&) { return false; }
    bool Do(const DeviceCommandStep& s) {
        // A reset that does not reach the device must not be reported as done.
        return driver_.SendCMD(s.command, s.data) == 1;
    }
    bool Do(const PointerSettingsStep& s) {
        if (!settings_.applyPointerSettings || settings_.applyPointerSettings(s.settings)) {
            return true;
        }
        DbgLog("SetProfile: the desktop refused the pointer settings");
        return false;
    }

    MessagePoster* window_;
    CUSBDriver& driver_;
    std::uint32_t message_;
    const ProfileTransferSettings& settings_;
    Sleeper& sleeper_;
};

}  // namespace

int GetProfile(CUSBDriver* driver, const std::function<bool()>& stopRequested,
               const ProfileTransferSettings& settings, const ProfileReadResult& out,
               const ProfileDecodeHooks& hooks) {
    if (driver == nullptr || out.scratch == nullptr || out.curDpiLevel == nullptr ||
        out.names == nullptr) {
        return 0;
    }
    const std::optional<std::vector<std::uint8_t>> image =
        ReadProfileImage(*driver, stopRequested, settings);
    if (!image) return 0;
    return DecodeProfileImage(*image, settings.context, settings.macros, *out.scratch,
                              *out.curDpiLevel, *out.names, hooks);
}

std::optional<std::vector<std::uint8_t>> ReadProfileImage(
    CUSBDriver& driver, const std::function<bool()>& stopRequested,
    const ProfileTransferSettings& settings) {
    ProfileReader reader(driver, stopRequested, settings);
    if (!reader.ReadSettingsArea() || !reader.ReadComboSlots() || !reader.ReadMacroNames() ||
        !reader.ReadMacros()) {
        return std::nullopt;
    }
    return reader.TakeImage();
}

int ReadCurDpiLevel(CUSBDriver& driver) {
    std::array<std::uint8_t, 2> pair{};
    return driver.ReadEEPROM(mm::kCurrentDpiLevel, pair.data(), pair.size()) == 1 ? pair[0] : -1;
}

int RunWriteSteps(const WriteSteps& steps, MessagePoster* window, CUSBDriver& driver,
                  std::uint32_t message, const ProfileTransferSettings& settings) {
    return StepRunner(window, driver, message, settings).Run(steps);
}

int SetProfile(MessagePoster* window, CUSBDriver* driver, const ProfileFile* record,
               std::uint32_t message, std::uint32_t flags, int index, int curDpiLevel,
               const ProfileTransferSettings& settings) {
    if (driver == nullptr || record == nullptr || record->dwProfileID == 0u) return 0;
    if (driver->CmdHandle() == nullptr && !settings.goWithNoDev) return 0;
    const ProfileWritePlan plan =
        BuildProfileWrites(*record, flags, index, curDpiLevel, settings.context, settings.macros);
    if (!plan.valid) return 0;
    return RunWriteSteps(plan.steps, window, *driver, message, settings);
}

}  // namespace vantor
