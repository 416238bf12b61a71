#include "tools/common/launch_options.h"

#include "tools/common/sim_fault_option.h"
#include "tools/common/simulated_mouse.h"

namespace vantor {

bool ParseLaunchOptions(int argc, const char* const* argv, LaunchOptions* options,
                        std::string* error) {
    if (!SimulateFromEnvironment(&options->simulate, error)) return false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            options->help = true;
        } else if (arg == "--version") {
            options->version = true;
        } else if (auto section = ParseSimulateArgument(arg, error)) {
            options->simulate = section;
        } else if (!error->empty()) {
            return false;
        } else if (arg == "--sim-state" || arg.compare(0, 12, "--sim-state=") == 0) {
            std::string value;
            if (arg != "--sim-state") {
                value = arg.substr(12);
            } else if (i + 1 < argc) {
                value = argv[++i];
            }
            if (value.empty()) {
                *error = "--sim-state needs a file";
                return false;
            }
            options->simState = value;
        } else if (arg == "--sim-fault" || arg.compare(0, 12, "--sim-fault=") == 0) {
            const std::string value =
                arg != "--sim-fault" ? arg.substr(12) : (i + 1 < argc ? argv[++i] : "");
            if (!ParseSimFault(value, &options->simFaults, error)) return false;
            options->simFaultGiven = true;
        } else {
            // Whatever else is given (the autostart entry's flag, a file name...) only asks
            // for a start in the tray.
            options->startHidden = true;
        }
    }
    if (options->simFaultGiven && !options->simulate) {
        *error = "--sim-fault needs the simulated mouse (--simulate)";
        return false;
    }
    if (!options->simState.empty() && !options->simulate) {
        *error = "--sim-state needs the simulated mouse (--simulate)";
        return false;
    }
    return true;
}

const char* LaunchUsage() {
    return "usage: vantor [options] [--tray]\n\n"
           "options:\n"
           "  --simulate[=N]     use the simulated mouse of device section N (default 1);\n"
           "                     VANTOR_SIMULATE=N does the same\n"
           "  --sim-state FILE   load the simulated mouse from FILE, save it back on exit\n"
           "  --sim-fault KIND=N a fault of the simulated mouse's link, for tests (latency-ms,\n"
           "                     drop-every, drop-probability, drop-seed, error-every,\n"
           "                     stray-every, foreign-every, unplug-after)\n"
           "  --help, --version\n\n"
           "Any other argument starts the window hidden in the tray.\n";
}

}  // namespace vantor
