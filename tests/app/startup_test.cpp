#include "app/session/startup.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <thread>

#include "app/config/config.h"
#include "base/log.h"
#include "base/message_sink.h"
#include "platform/paths.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

// A program folder, a home with a desktop, and a data folder, all inside one temp folder.
class StartupTest : public ::testing::Test {
  protected:
    StartupTest() {
        EXPECT_TRUE(MakeDirectoryPath(dir / "home/Desktop"));
        EXPECT_TRUE(MakeDirectory(dir / "program"));
        test::WriteText(dir / "program/text.xml",
                        "<?xml version=\"1.0\"?><config><tc_title>Default Title From "
                        "Texts That Is Longer Than Thirty-Nine</tc_title></config>");
        SetMessageSink(&messages);
    }
    ~StartupTest() override {
        SetMessageSink(nullptr);
        LogShutdown();
    }
    void WriteConfig(const std::string& extra) {
        test::WriteText(dir / "program/cfg.ini", "[OPT]\nDebug=2\nappdir=VantorTest\n" + extra);
    }
    std::string LogText() { return test::ReadText(dir / "home/Desktop/Log.txt"); }

    test::TempDir dir;
    test::ScopedEnv program{"VANTOR_PROGRAM_DIR", dir / "program"};
    test::ScopedEnv data{"VANTOR_DATA_DIR", ""};
    test::ScopedEnv home{"HOME", dir / "home"};
    test::ScopedEnv xdgConfig{"XDG_CONFIG_HOME", ""};
    test::ScopedEnv xdgData{"XDG_DATA_HOME", dir / "home/share"};
    RecordingMessageSink messages;
};

TEST_F(StartupTest, BannerArgumentsTitleAndDataFolder) {
    WriteConfig("Title=Configured Title\n");
    ASSERT_TRUE(MakeDirectory(dir / "home/share"));
    const char* argv[] = {"vantor", "--tray"};
    StartupState state;
    ASSERT_TRUE(InitProgramData(2, argv, &state));

    EXPECT_EQ(state.programDir, dir / "program/");
    EXPECT_EQ(state.title, "Configured Title");
    EXPECT_TRUE(state.startedWithArguments);
    EXPECT_EQ(state.dataDir, dir / "home/share/VantorTest/");
    EXPECT_TRUE(DirectoryExists(state.dataDir));

    std::string log = LogText();
    EXPECT_NE(log.find("   --------------------------------------------------\n"),
              std::string::npos);
    std::regex launch(
        R"(   Launch \d{4}-[1-9]\d?-[1-9]\d? \d{1,2}:\d{1,2}, v1\.0 AppTitle=Configured Title\n)");
    EXPECT_TRUE(std::regex_search(log, launch)) << log;
    EXPECT_NE(log.find("   nArgs=2\n"), std::string::npos);
    EXPECT_NE(log.find("   Mk AppData=" + state.dataDir), std::string::npos);
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(StartupTest, EmptyTitleTakesTheDefaultTextCutTo39Characters) {
    WriteConfig("");
    const char* argv[] = {"vantor"};
    StartupState state;
    ASSERT_TRUE(InitProgramData(1, argv, &state));
    EXPECT_EQ(
        state.title,
        std::string("Default Title From Texts That Is Longer Than Thirty-Nine").substr(0, 39));
    EXPECT_FALSE(state.startedWithArguments);
}

// A fresh account may have no ~/.local/share yet: every missing level is made, private.
TEST_F(StartupTest, DataFolderIsCreatedWithItsMissingParents) {
    WriteConfig("");
    struct Case {
        const char* xdgDataHome;  // empty: unset, so the folder goes under $HOME
        const char* expected;
    };
    for (const Case& c :
         {Case{"", "home/.local/share/VantorTest/"}, Case{"xdg/a/b", "xdg/a/b/VantorTest/"}}) {
        SCOPED_TRACE(c.expected);
        test::ScopedEnv xdg("XDG_DATA_HOME", *c.xdgDataHome ? dir / c.xdgDataHome : "");
        const char* argv[] = {"vantor"};
        StartupState state;
        ASSERT_TRUE(InitProgramData(1, argv, &state));
        ASSERT_EQ(state.dataDir, dir / c.expected);
        ASSERT_TRUE(DirectoryExists(state.dataDir));
        struct stat info {};
        ASSERT_EQ(stat(state.dataDir.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
        EXPECT_EQ(LogText().find("CreateDirectory err"), std::string::npos);
    }
}

TEST_F(StartupTest, DataFolderBlockedByAFileIsLoggedAndStartUpGoesOn) {
    WriteConfig("");
    test::WriteText(dir / "home/share", "not a folder");
    const char* argv[] = {"vantor"};
    StartupState state;
    ASSERT_TRUE(InitProgramData(1, argv, &state));
    EXPECT_FALSE(DirectoryExists(state.dataDir));
    EXPECT_NE(LogText().find("   CreateDirectory err=17"), std::string::npos);  // EEXIST
}

TEST_F(StartupTest, WithoutADesktopTheLogGoesToTheDataFolderFromTheFirstRun) {
    ASSERT_EQ(rmdir((dir / "home/Desktop").c_str()), 0);
    ASSERT_TRUE(MakeDirectory(dir / "home/share"));
    WriteConfig("");
    const char* argv[] = {"vantor"};
    StartupState state;
    ASSERT_TRUE(InitProgramData(1, argv, &state));
    ASSERT_EQ(state.dataDir, dir / "home/share/VantorTest/");
    const std::string log = test::ReadText(state.dataDir + "Log.txt");
    EXPECT_NE(log.find("   Mk AppData=" + state.dataDir), std::string::npos) << log;
}

TEST_F(StartupTest, UnusableConfigurationEndsWithDataInitFailed) {
    WriteConfig("[DEV_1]\nSensor=0x3335\nMDNUM=4\n");
    const char* argv[] = {"vantor"};
    StartupState state;
    EXPECT_FALSE(InitProgramData(1, argv, &state));
    ASSERT_FALSE(messages.messages.empty());
    EXPECT_EQ(messages.messages.back().first, "     Data Init failed.     \n" +
                                                  dir / "program/cfg.ini" +
                                                  ": [DEV_1] MDNUM=4 is not 3, 6 or 9");
    EXPECT_EQ(messages.messages.back().second, "Error");
}

TEST_F(StartupTest, SecondCopyWakesTheFirstAndEnds) {
    WriteConfig("Title=Vantor\n");
    const char* argv[] = {"vantor"};
    StartupState state;
    ASSERT_TRUE(InitProgramData(1, argv, &state));

    SingleInstance first("MUTEX_QX_WIRELESS", dir.path());
    ASSERT_EQ(ClaimSingleInstance(first, state), InstanceClaim::kHeld);
    ASSERT_TRUE(first.Listen([](const InstanceMessage&) {}));
    SingleInstance second("MUTEX_QX_WIRELESS", dir.path());
    EXPECT_EQ(ClaimSingleInstance(second, state), InstanceClaim::kRunning);
    char taken[64];
    std::snprintf(taken, sizeof taken, "   ALREADY_EXISTS, hWnd=%lx",
                  static_cast<unsigned long>(getpid()));
    EXPECT_NE(LogText().find(taken), std::string::npos);
}

// A start while the running copy ends (it no longer takes messages but still holds the lock)
// waits for that end and then starts, rather than end without anything to see.
TEST_F(StartupTest, ASecondStartDuringTheExitOfTheFirstWaitsForItsEnd) {
    WriteConfig("Title=Vantor\n");
    const char* argv[] = {"vantor"};
    StartupState state;
    ASSERT_TRUE(InitProgramData(1, argv, &state));
    SingleInstance first("MUTEX_QX_WIRELESS", dir.path());
    ASSERT_EQ(ClaimSingleInstance(first, state), InstanceClaim::kHeld);
    ASSERT_TRUE(first.Listen([](const InstanceMessage&) {}));
    first.StopListening();  // the exit has begun
    EXPECT_TRUE(std::filesystem::exists(dir / "MUTEX_QX_WIRELESS.sock"));

    // The first copy ends once the second has found nobody to take its message.
    std::thread ending([&] {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (LogText().find("ALREADY_EXISTS, hWnd=0") == std::string::npos &&
               std::chrono::steady_clock::now() < limit) {
            std::this_thread::yield();
        }
        first.Release();
    });
    SingleInstance second("MUTEX_QX_WIRELESS", dir.path());
    const InstanceClaim claim = ClaimSingleInstance(second, state);
    ending.join();
    EXPECT_EQ(claim, InstanceClaim::kHeld);
    EXPECT_NE(LogText().find("started after the running copy had ended"), std::string::npos);
    // Lock and socket went together: the new holder listens on a socket of its own.
    ASSERT_TRUE(second.Listen([](const InstanceMessage&) {}));
}

}  // namespace
}  // namespace vantor
