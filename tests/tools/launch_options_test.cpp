#include "tools/common/launch_options.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

struct Parsed {
    bool ok;
    LaunchOptions options;
    std::string error;
};

Parsed Parse(std::vector<const char*> args) {
    args.insert(args.begin(), "vantor");
    Parsed parsed{};
    parsed.ok = ParseLaunchOptions(static_cast<int>(args.size()), args.data(), &parsed.options,
                                   &parsed.error);
    return parsed;
}

TEST(LaunchOptionsTest, OwnOptionsDoNotHideTheWindowAnyOtherArgumentDoes) {
    test::ScopedEnv env("VANTOR_SIMULATE", "");
    Parsed p = Parse({"--simulate=2", "--sim-state", "/tmp/s.bin"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.simulate, 2);
    EXPECT_EQ(p.options.simState, "/tmp/s.bin");
    EXPECT_FALSE(p.options.startHidden);

    p = Parse({"--simulate", "/autostart"});
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.options.simulate, 1);
    EXPECT_TRUE(p.options.startHidden);

    p = Parse({});
    ASSERT_TRUE(p.ok);
    EXPECT_FALSE(p.options.simulate.has_value());
    EXPECT_FALSE(p.options.startHidden);
}

TEST(LaunchOptionsTest, EnvironmentChoosesTheSimulationAndTheCommandLineWins) {
    test::ScopedEnv env("VANTOR_SIMULATE", "3");
    Parsed p = Parse({"--sim-state=/tmp/s.bin"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.simulate, 3);
    p = Parse({"--simulate=4"});
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.options.simulate, 4);
}

TEST(LaunchOptionsTest, BadValuesAreRefusedWithTheReason) {
    struct Case {
        const char* env;
        std::vector<const char*> args;
        const char* error;
    } cases[] = {
        {"", {"--simulate=0"}, "--simulate takes a device section number from 1 to 30"},
        {"", {"--simulate=31"}, "--simulate takes a device section number from 1 to 30"},
        {"", {"--simulate=x"}, "--simulate takes a device section number from 1 to 30"},
        {"abc", {}, "VANTOR_SIMULATE takes a device section number from 1 to 30"},
        {"", {"--simulate", "--sim-state"}, "--sim-state needs a file"},
        {"", {"--sim-state", "/tmp/s.bin"}, "--sim-state needs the simulated mouse (--simulate)"},
        {"", {"--sim-fault", "drop-every=2"}, "--sim-fault needs the simulated mouse (--simulate)"},
        {"",
         {"--simulate", "--sim-fault=drop-probability=2"},
         "--sim-fault drop-probability takes a number from 0 to 1"},
        {"",
         {"--simulate", "--sim-fault=unplug-after=-1"},
         "--sim-fault unplug-after takes a number from 0 to 2147483647"},
    };
    for (const Case& c : cases) {
        test::ScopedEnv env("VANTOR_SIMULATE", c.env);
        const Parsed p = Parse(c.args);
        EXPECT_FALSE(p.ok) << c.error;
        EXPECT_EQ(p.error, c.error);
    }
}

// The simulated mouse's link faults reach the window program, one kind per option.
TEST(LaunchOptionsTest, SimulatedMouseFaults) {
    test::ScopedEnv env("VANTOR_SIMULATE", "");
    const Parsed p =
        Parse({"--simulate", "--sim-fault", "latency-ms=20", "--sim-fault=drop-every=3",
               "--sim-fault", "drop-probability=0.25", "--sim-fault=unplug-after=40"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_FALSE(p.options.startHidden);
    EXPECT_EQ(p.options.simFaults.replyLatencyMs, 20);
    EXPECT_EQ(p.options.simFaults.dropEveryNth, 3u);
    EXPECT_EQ(p.options.simFaults.dropProbability, 0.25);
    EXPECT_EQ(p.options.simFaults.unplugAfterCommands, 40u);
    EXPECT_EQ(p.options.simFaults.errorEveryNth, 0u);
}

TEST(LaunchOptionsTest, HelpAndVersion) {
    test::ScopedEnv env("VANTOR_SIMULATE", "");
    EXPECT_TRUE(Parse({"--help"}).options.help);
    EXPECT_TRUE(Parse({"-h"}).options.help);
    EXPECT_TRUE(Parse({"--version"}).options.version);
}

}  // namespace
}  // namespace vantor
