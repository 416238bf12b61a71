// The steps that writing a profile into device memory consists of. The profile encoders
// produce them as plain data; the device link runs them in order (writes through
// WriteEEPROM, sleeps, progress posts, log lines), so everything the writer does is visible
// and testable without a device.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "profile/profile_record.h"

namespace vantor {

// A diagnostic log line.
struct LogStep {
    std::string text;
};

// A hex dump for the diagnostic log (DbgLogHex with `title` as prefix).
struct LogHexStep {
    std::string title;
    std::vector<std::uint8_t> bytes;
    unsigned bytesPerLine = 0;
};

struct SleepStep {
    std::uint32_t milliseconds = 0;
    bool onlyWithWindow = false;  // skipped when there is no progress window
};

// Progress post (message, position, 0) to the progress window, when there is one.
struct ProgressStep {
    int position = 0;
};

// WriteEEPROM of `bytes` at `address`, at most `chunk` bytes per command.
struct MemoryWriteStep {
    std::uint16_t address = 0;
    std::vector<std::uint8_t> bytes;
    std::size_t chunk = 10;
};

// Reads `length` bytes at `address` (a failed read counts as a failed write), then writes
// modify(read bytes) back at the same address in chunks of `chunk`.
struct ReadModifyWriteStep {
    std::uint16_t address = 0;
    std::size_t length = 0;
    std::size_t chunk = 10;
    std::function<std::vector<std::uint8_t>(std::span<const std::uint8_t>)> modify;
};

// A part that cannot be written; it counts as a failed write.
struct FailedWriteStep {
    std::string reason;  // already logged when the step was made
};

// SendCMD(command, data).
struct DeviceCommandStep {
    std::uint8_t command = 0;
    std::uint8_t data = 0;
};

// Hand the pointer settings to the desktop (only values that differ are changed).
struct PointerSettingsStep {
    MouseSysParam settings{};
};

using WriteStep =
    std::variant<LogStep, LogHexStep, SleepStep, ProgressStep, MemoryWriteStep, ReadModifyWriteStep,
                 FailedWriteStep, DeviceCommandStep, PointerSettingsStep>;

using WriteSteps = std::vector<WriteStep>;

}  // namespace vantor
