// The command-line tool: global options, the command table and shared helpers.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/startup.h"
#include "tools/vantorctl/output.h"

namespace vantor::cli {

enum ExitCode { kExitOk = 0, kExitFailure = 1, kExitUsage = 2 };

struct GlobalOptions {
    std::optional<int> simulate;  // device section number (1-based) of the simulated mouse
    std::string simState;         // state file of the simulated mouse
    std::string programDir;
    std::string dataDir;
    bool json = false;
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

// Parses a decimal or 0x-prefixed number; nothing when the text is not one number.
std::optional<long long> ParseNumber(const std::string& text);

// Prints a text line, or the JSON document when --json was given.
void Print(const Context& context, const std::string& text);
void PrintJson(const Json& json);

// Commands, one file each.
int RunConfig(Context& context);
int RunSensorSteps(Context& context);

}  // namespace vantor::cli
