#include "tools/vantorctl/cli.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "base/message_sink.h"
#include "base/version.h"

namespace vantor::cli {
namespace {

// Whether the command wrote anything to standard output.
bool g_printed = false;

constexpr Command kCommands[] = {
    {"config", "", "show how the program reads cfg.ini (sections OPT and DEV_n)", RunConfig},
    {"sensor-steps", "SENSOR", "list every DPI step of a sensor with its code and flags",
     RunSensorSteps},
    {"list", "", "list the candidate HID interfaces and the matched mouse", RunList},
    {"info", "", "ids, firmware version, battery and active profile of the mouse", RunInfo},
    {"read", "", "read the active profile from the mouse, save it and show it", RunRead},
    {"show", "", "show the current profile record", RunShow},
    {"set", "SETTING VALUE...", "change one setting in the mouse (see 'set help')", RunSet},
    {"profile", "N", "make on-board profile N (1-4) active and read it", RunProfile},
    {"export", "FILE", "export the current profile with its macros (.qxa)", RunExport},
    {"import", "FILE", "import a profile file and write it into the mouse", RunImport},
    {"reset", "", "restore the mouse's defaults and read them back", RunReset},
    {"memory", "ADDR LEN", "hex dump of device memory of the active profile", RunMemory},
    {"macros", "", "list the macro library", RunMacros},
    {"rules", "WHAT ARGS...", "the on-board profile for each application in front", RunRules},
    {"events", "[SECONDS]", "print the mouse's events as they arrive (default 10 s)", RunEvents},
    {"sim", "WHAT VALUE...", "simulation: change the simulated mouse's state file", RunSim},
};

void PrintUsage(FILE* out) {
    std::fprintf(
        out,
        "usage: vantorctl [options] COMMAND [ARGS]\n\n"
        "options:\n"
        "  --simulate[=N]     use the simulated mouse of device section N (default 1)\n"
        "  --sim-state FILE   load the simulated mouse from FILE, save it back on exit\n"
        "  --program-dir DIR  folder with cfg.ini, language files and skins\n"
        "  --data-dir DIR     folder for profiles, macros and lang.ini\n"
        "  --json             print results as JSON\n"
        "  --sim-event EVENT  simulation: the simulated mouse sends EVENT once connected\n"
        "                     (dpi-button, rate-125|250|500|1000, light-main|logo|dpi,\n"
        "                     unplug, plug)\n"
        "  --sim-fault KIND=N simulation: a fault of the simulated mouse's link (latency-ms,\n"
        "                     drop-every, drop-probability, drop-seed, error-every,\n"
        "                     stray-every, foreign-every, unplug-after)\n"
        "  --help, --version\n\ncommands:\n");
    for (const Command& command : kCommands) {
        std::string head = std::string(command.name) + " " + command.arguments;
        std::fprintf(out, "  %-22s %s\n", head.c_str(), command.summary);
    }
}

// Reads the value of an option given as "--name=value" or "--name value".
bool TakeValue(const std::string& arg, const char* name, int argc, const char* const* argv,
               int* index, std::string* value) {
    std::string prefix = std::string(name) + "=";
    if (arg.compare(0, prefix.size(), prefix) == 0) {
        *value = arg.substr(prefix.size());
        return true;
    }
    if (arg != name) return false;
    if (*index + 1 >= argc) {
        *value = {};
        return true;
    }
    *value = argv[++*index];
    return true;
}

int TakeSimulateFromEnvironment(GlobalOptions& options) {
    std::string error;
    if (!SimulateFromEnvironment(&options.simulate, &error)) return UsageError(error);
    return kExitOk;
}

// Parses the global options (anywhere on the line) and collects the rest.
int ParseArguments(int argc, const char* const* argv, Context* context,
                   std::vector<std::string>* rest) {
    GlobalOptions& options = context->options;
    if (int result = TakeSimulateFromEnvironment(options); result != kExitOk) return result;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value;
        if (arg == "--help" || arg == "-h") {
            PrintUsage(stdout);
            return -1;
        }
        if (arg == "--version") {
            std::printf("vantorctl %s\n", ProgramVersion());
            return -1;
        }
        if (arg == "--json") {
            options.json = true;
        } else if (std::string error; auto section = ParseSimulateArgument(arg, &error)) {
            options.simulate = section;
        } else if (!error.empty()) {
            return UsageError(error);
        } else if (TakeValue(arg, "--sim-state", argc, argv, &i, &value)) {
            if (value.empty()) return UsageError("--sim-state needs a file");
            options.simState = value;
        } else if (TakeValue(arg, "--sim-event", argc, argv, &i, &value)) {
            if (value.empty()) return UsageError("--sim-event needs an event name");
            options.simEvents.push_back(value);
        } else if (TakeValue(arg, "--sim-fault", argc, argv, &i, &value)) {
            std::string faultError;
            if (!ParseSimFault(value, &options.simFaults, &faultError)) {
                return UsageError(faultError);
            }
            options.simFaultGiven = true;
        } else if (TakeValue(arg, "--program-dir", argc, argv, &i, &value)) {
            if (value.empty()) return UsageError("--program-dir needs a folder");
            options.programDir = value;
        } else if (TakeValue(arg, "--data-dir", argc, argv, &i, &value)) {
            if (value.empty()) return UsageError("--data-dir needs a folder");
            options.dataDir = value;
        } else if (arg.size() > 1 && arg[0] == '-' && !(arg[1] >= '0' && arg[1] <= '9')) {
            return UsageError("unknown option " + arg + " (see --help)");
        } else {
            rest->push_back(arg);
        }
    }
    return kExitOk;
}

}  // namespace

std::span<const Command> Commands() {
    return kCommands;
}

int UsageError(const std::string& message) {
    std::fprintf(stderr, "vantorctl: %s\n", message.c_str());
    return kExitUsage;
}

int Failure(const std::string& message) {
    std::fprintf(stderr, "vantorctl: %s\n", message.c_str());
    return kExitFailure;
}

std::optional<bool> ParseOnOff(const std::string& text) {
    if (text == "on" || text == "1") return true;
    if (text == "off" || text == "0") return false;
    return std::nullopt;
}

std::optional<std::uint32_t> ParseColor(const std::string& text) {
    const std::string digits = !text.empty() && text[0] == '#' ? text.substr(1) : text;
    if (digits.size() != 6) return std::nullopt;
    std::uint32_t rgb = 0;
    for (char c : digits) {
        int value = 0;
        if (c >= '0' && c <= '9') {
            value = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            value = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            value = c - 'A' + 10;
        } else {
            return std::nullopt;
        }
        rgb = (rgb << 4) | static_cast<std::uint32_t>(value);
    }
    // RRGGBB as typed; the record keeps red in the low byte.
    return ((rgb >> 16) & 0xFFu) | (rgb & 0xFF00u) | ((rgb & 0xFFu) << 16);
}

void Print(const Context& context, const std::string& text) {
    (void)context;
    g_printed = true;
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
}

void PrintJson(const Json& json) {
    g_printed = true;
    std::printf("%s\n", json.Dump().c_str());
}

int Run(int argc, const char* const* argv) {
    Context context;
    std::vector<std::string> rest;
    int parsed = ParseArguments(argc, argv, &context, &rest);
    if (parsed < 0) return kExitOk;
    if (parsed != kExitOk) return parsed;
    if (rest.empty()) {
        PrintUsage(stderr);
        return kExitUsage;
    }
    const Command* command = nullptr;
    for (const Command& candidate : kCommands) {
        if (rest[0] == candidate.name) command = &candidate;
    }
    if (command == nullptr) return UsageError("unknown command " + rest[0] + " (see --help)");
    context.args.assign(rest.begin() + 1, rest.end());

    // The folders can be given on the command line; they act like the environment.
    if (!context.options.programDir.empty()) {
        setenv("VANTOR_PROGRAM_DIR", context.options.programDir.c_str(), 1);
    }
    if (!context.options.dataDir.empty()) {
        setenv("VANTOR_DATA_DIR", context.options.dataDir.c_str(), 1);
    }
    static StderrMessageSink messages;
    SetMessageSink(&messages);
    const char* const programName[] = {argv[0]};
    if (!InitProgramData(1, programName, &context.startup)) return kExitFailure;
    int result = command->run(context);
    // With --json every successful command gives one document, so a script can parse the
    // output of set, export, import and sim as well; events is a stream of one document per
    // event and stays empty without events.
    if (context.options.json && result == kExitOk && !g_printed &&
        std::string_view(command->name) != "events") {
        PrintJson(Json::Object());
    }
    LogProgramExit();
    return result;
}

}  // namespace vantor::cli

int main(int argc, char** argv) {
    return vantor::cli::Run(argc, argv);
}
