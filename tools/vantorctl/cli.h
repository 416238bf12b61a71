// The command-line tool: global options, the command table and shared helpers.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/session/startup.h"
#include "tools/common/sim_fault_option.h"
#include "tools/common/simulated_mouse.h"
#include "tools/vantorctl/output.h"

namespace vantor::cli {

enum ExitCode { kExitOk = 0, kExitFailure = 1, kExitUsage = 2 };

struct GlobalOptions {
    std::optional<int> simulate;  // device section number (1-based) of the simulated mouse
    std::string simState;         // state file of the simulated mouse
    std::string programDir;
    std::string dataDir;
    bool json = false;
    // Simulation feature: events the simulated mouse sends once the tool is connected, as if
    // a user pressed its buttons.
    std::vector<std::string> simEvents;
    // Simulation feature: faults of the simulated mouse's link (--sim-fault KIND=VALUE).
    SimFaults simFaults;
    bool simFaultGiven = false;
};

struct Context {
    GlobalOptions options;
    std::vector<std::string> args;  // the command's own arguments
    StartupState startup;
};

struct Command {
    const char* name;
    const char* arguments;  // for the usage text
    const char* summary;
    int (*run)(Context& context);
};

std::span<const Command> Commands();

int Run(int argc, const char* const* argv);

// Prints "vantorctl: <message>" on standard error and returns kExitUsage / kExitFailure.
int UsageError(const std::string& message);
int Failure(const std::string& message);

// Prints a text line, or the JSON document when --json was given.
void Print(const Context& context, const std::string& text);
void PrintJson(const Json& json);

// "on"/"off" (also 1/0); nothing for any other text.
std::optional<bool> ParseOnOff(const std::string& text);
// "RRGGBB" (an optional leading '#') as a colour with red in bits 0-7, green 8-15, blue
// 16-23; nothing for any other text.
std::optional<std::uint32_t> ParseColor(const std::string& text);

// Commands, one file or small group each.
int RunConfig(Context& context);
int RunSensorSteps(Context& context);
int RunList(Context& context);
int RunInfo(Context& context);
int RunRead(Context& context);
int RunShow(Context& context);
int RunProfile(Context& context);
int RunReset(Context& context);
int RunSet(Context& context);
int RunExport(Context& context);
int RunImport(Context& context);
int RunMemory(Context& context);
int RunMacros(Context& context);
int RunRules(Context& context);
int RunEvents(Context& context);
int RunSim(Context& context);

}  // namespace vantor::cli
