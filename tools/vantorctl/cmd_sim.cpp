// vantorctl sim: a simulation feature. Changes what the simulated mouse's state file holds,
// as a user would by switching the mouse off or charging it.
#include "tools/vantorctl/session.h"

namespace vantor::cli {
namespace {

constexpr const char* kSimUsage =
    "usage: vantorctl --simulate --sim-state FILE sim power on|off | battery LEVEL "
    "[charging] | ready on|off";

}  // namespace

int RunSim(Context& context) {
    if (!context.options.simulate || context.options.simState.empty()) {
        return UsageError("sim needs --simulate and --sim-state FILE");
    }
    const std::vector<std::string>& args = context.args;
    if (args.empty()) return UsageError(kSimUsage);
    CliSession session(context);
    if (int result = session.OpenBackend(); result != kExitOk) return session.Close(result);
    SimFirmware& firmware = *session.Simulated();

    if ((args[0] == "power" || args[0] == "ready") && args.size() == 2) {
        const std::optional<bool> on = ParseOnOff(args[1]);
        if (!on) return session.Close(UsageError(kSimUsage));
        if (args[0] == "power") {
            firmware.SetMouseConnected(*on);
        } else {
            firmware.SetReady(*on);
        }
    } else if (args[0] == "battery" && (args.size() == 2 || args.size() == 3)) {
        const std::optional<long long> level = ParseNumber(args[1]);
        if (!level || *level < 0 || *level > 100) {
            return session.Close(UsageError("LEVEL is a battery level from 0 to 100"));
        }
        if (args.size() == 3 && args[2] != "charging") return session.Close(UsageError(kSimUsage));
        firmware.SetBattery(static_cast<std::uint8_t>(*level), args.size() == 3);
    } else {
        return session.Close(UsageError(kSimUsage));
    }
    return session.Close(kExitOk);
}

}  // namespace vantor::cli
