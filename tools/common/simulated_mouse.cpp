#include "tools/common/simulated_mouse.h"

#include <cstring>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "app/config/config.h"
#include "base/file_io.h"
#include "platform/runtime_dir.h"
#include "sim/sim_factory.h"
#include "sim/sim_state.h"

namespace vantor {
namespace {

constexpr long long kLastSection = kDeviceSectionCount;

bool IsSection(const std::optional<long long>& number) {
    return number && *number >= 1 && *number <= kLastSection;
}

}  // namespace

std::optional<long long> ParseNumber(const std::string& text) {
    if (text.empty()) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    long long value = std::strtoll(text.c_str(), &end, 0);
    if (errno != 0 || end == text.c_str() || *end != '\0') return std::nullopt;
    return value;
}

std::optional<int> ParseSimulateArgument(const std::string& arg, std::string* error) {
    const std::string prefix = "--simulate=";
    if (arg != "--simulate" && arg.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
    const std::optional<long long> number =
        arg == "--simulate" ? 1 : ParseNumber(arg.substr(prefix.size()));
    if (!IsSection(number)) {
        *error = "--simulate takes a device section number from 1 to 30";
        return std::nullopt;
    }
    return static_cast<int>(*number);
}

bool SimulateFromEnvironment(std::optional<int>* section, std::string* error) {
    const char* value = std::getenv("VANTOR_SIMULATE");
    if (value == nullptr || *value == '\0' || std::string(value) == "0") return true;
    const std::optional<long long> number = ParseNumber(value);
    if (!IsSection(number)) {
        *error = "VANTOR_SIMULATE takes a device section number from 1 to 30";
        return false;
    }
    *section = static_cast<int>(*number);
    return true;
}

std::uint16_t SimulatedProductId(int section) {
    const DeviceSection& model = DeviceSectionAt(section - 1);
    const bool wireless = model.ShowSleep != 0 || model.ShowAutoSleep != 0;
    const std::vector<std::uint32_t>& ids = wireless ? Options().PID2 : Options().PID;
    return ids.empty() ? 0 : static_cast<std::uint16_t>(ids[0]);
}

std::optional<SimulatedMouse> StartSimulatedMouse(int section, const std::string& statePath,
                                                  std::string* error, SimulationError* kind) {
    if (DeviceSectionAt(section - 1).Sensor == 0) {
        *error = "device section DEV_" + std::to_string(section) + " is not in cfg.ini";
        *kind = SimulationError::kUsage;
        return std::nullopt;
    }
    SimulatedMouse mouse;
    mouse.firmware = MakeSimFirmware(section - 1);
    if (!mouse.firmware) {
        *error = "there is no simulated mouse for DEV_" + std::to_string(section);
        *kind = SimulationError::kUsage;
        return std::nullopt;
    }
    if (!statePath.empty()) {
        // Temporary files of a save that was interrupted are of no use any more.
        const std::filesystem::path state(statePath);
        const std::string folder = state.parent_path().string();
        RemoveStaleTempFiles(folder.empty() ? "." : folder, state.filename().string());
    }
    std::error_code ec;
    if (!statePath.empty() && std::filesystem::exists(statePath, ec)) {
        int readError = 0;
        const std::optional<SimFirmwareState> state = LoadSimState(statePath, &readError);
        if (!state) {
            *error = readError != 0 && readError != EFBIG
                         ? DescribeReadError(statePath, readError)
                         : statePath + " is not a state file of the simulated mouse";
            *kind = SimulationError::kFailure;
            return std::nullopt;
        }
        mouse.firmware->Restore(*state);
    }
    SimBackendSettings settings;
    settings.vendorId = Options().VID;
    if (const std::uint16_t productId = SimulatedProductId(section); productId != 0) {
        settings.productId = productId;
    }
    mouse.backend = std::make_unique<SimHidBackend>(mouse.firmware, settings);
    // A refused state file is never reached here, so it is never replaced.
    mouse.statePath = statePath;
    *kind = SimulationError::kNone;
    return mouse;
}

std::string SimStateLockPath(const std::string& statePath) {
    return ResolvedPath(statePath) + ".lock";
}

bool SaveSimulatedMouse(const SimulatedMouse& mouse, std::string* error) {
    if (mouse.statePath.empty()) return true;
    int code = 0;
    if (SaveSimState(mouse.statePath, mouse.firmware->State(), &code)) return true;
    *error = "cannot save " + mouse.statePath + ": " + std::strerror(code);
    return false;
}

}  // namespace vantor
