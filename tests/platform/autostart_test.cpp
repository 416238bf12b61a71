#include "platform/autostart.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

#include "platform/paths.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

class AutostartTest : public ::testing::Test {
  protected:
    AutostartEntry Entry(const std::string& executable = "/usr/bin/vantor") {
        return {"example.vantor.Vantor", "Vantor Mouse Center", executable,
                "example.vantor.Vantor"};
    }
    std::string EntryPath() const { return dir / "config/autostart/example.vantor.Vantor.desktop"; }

    test::TempDir dir;
    test::ScopedEnv home{"HOME", dir / "home"};
    test::ScopedEnv config{"XDG_CONFIG_HOME", dir / "config"};
};

TEST_F(AutostartTest, TurnsOnAndOffCreatingTheMissingFolders) {
    EXPECT_FALSE(AutostartEnabled("example.vantor.Vantor"));
    int error = 0;
    ASSERT_TRUE(EnableAutostart(Entry(), &error)) << error;
    EXPECT_TRUE(AutostartEnabled("example.vantor.Vantor"));
    EXPECT_EQ(test::ReadText(EntryPath()),
              "[Desktop Entry]\n"
              "Type=Application\n"
              "Name=Vantor Mouse Center\n"
              "Exec=/usr/bin/vantor --tray\n"
              "Icon=example.vantor.Vantor\n"
              "Terminal=false\n"
              "X-GNOME-Autostart-enabled=true\n");
    struct stat info {};
    ASSERT_EQ(stat((dir / "config").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);  // a configuration folder we create is private

    EXPECT_TRUE(DisableAutostart("example.vantor.Vantor", &error));
    EXPECT_FALSE(FileExists(EntryPath()));
    EXPECT_FALSE(AutostartEnabled("example.vantor.Vantor"));
    EXPECT_TRUE(DisableAutostart("example.vantor.Vantor", &error));  // already off
}

TEST_F(AutostartTest, ConfigurationFolderFollowsTheXdgRules) {
    const struct {
        const char* xdgConfigHome;
        std::string expected;
    } cases[] = {
        {"/somewhere/cfg", "/somewhere/cfg/autostart/a.desktop"},
        {"/somewhere/cfg/", "/somewhere/cfg/autostart/a.desktop"},
        {"", dir / "home/.config/autostart/a.desktop"},
        {"relative/cfg", dir / "home/.config/autostart/a.desktop"},  // ignored: not absolute
    };
    for (const auto& c : cases) {
        test::ScopedEnv xdg("XDG_CONFIG_HOME", c.xdgConfigHome);
        EXPECT_EQ(AutostartEntryPath("a"), c.expected) << c.xdgConfigHome;
    }
}

TEST_F(AutostartTest, ExecLineQuotesAndEscapesThePath) {
    const struct {
        std::string executable;
        std::string exec;
    } cases[] = {
        {"/opt/vantor/bin/vantor", "Exec=/opt/vantor/bin/vantor --tray"},
        {"/home/a b/vantor", "Exec=\"/home/a b/vantor\" --tray"},
        {"/x/100%/vantor", "Exec=/x/100%%/vantor --tray"},
        // Inside quotes '"', '$', '`' and '\' take a backslash, and the string value then
        // doubles every backslash.
        {"/x/\"q\"$HOME`c`\\/vantor",
         "Exec=\"/x/\\\\\"q\\\\\"\\\\$HOME\\\\`c\\\\`\\\\\\\\/vantor\" --tray"},
    };
    for (const auto& c : cases) {
        const std::string text = AutostartEntryText(Entry(c.executable));
        EXPECT_NE(text.find("\n" + c.exec + "\n"), std::string::npos) << text;
    }
    int error = 0;
    EXPECT_EQ(AutostartEntryText(Entry("/x/line\nbreak")), "");
    EXPECT_FALSE(EnableAutostart(Entry("/x/line\nbreak"), &error));
    EXPECT_EQ(error, EINVAL);
}

TEST_F(AutostartTest, ValidatorAcceptsAnEntryForAnAwkwardPath) {
    if (std::system("command -v desktop-file-validate >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "desktop-file-validate is not installed";
    }
    ASSERT_TRUE(EnableAutostart(Entry("/home/a b/100% \"$x\"/vantor")));
    const std::string command =
        "desktop-file-validate '" + EntryPath() + "' >" + (dir / "out.txt") + " 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << test::ReadText(dir / "out.txt");
    EXPECT_EQ(test::ReadText(dir / "out.txt"), "");
}

TEST_F(AutostartTest, EntrySwitchedOffByTheDesktopCountsAsOff) {
    const struct {
        std::string text;
        bool enabled;
    } cases[] = {
        {"[Desktop Entry]\nExec=vantor\nHidden=true\n", false},
        {"[Desktop Entry]\nExec=vantor\nX-GNOME-Autostart-enabled = false\r\n", false},
        {"[Desktop Entry]\nExec=vantor\nHidden=false\n", true},
        {"[Desktop Entry]\nExec=vantor\n[Desktop Action x]\nHidden=true\n", true},
        {"", true},
    };
    ASSERT_TRUE(MakeDirectory(dir / "config"));
    ASSERT_TRUE(MakeDirectory(dir / "config/autostart"));
    for (const auto& c : cases) {
        test::WriteText(EntryPath(), c.text);
        EXPECT_EQ(AutostartEnabled("example.vantor.Vantor"), c.enabled) << c.text;
    }
    // Turning it on again replaces the switched-off entry.
    test::WriteText(EntryPath(), "[Desktop Entry]\nHidden=true\n");
    ASSERT_TRUE(EnableAutostart(Entry()));
    EXPECT_TRUE(AutostartEnabled("example.vantor.Vantor"));
}

TEST_F(AutostartTest, UnusableConfigurationFolderIsReported) {
    test::WriteText(dir / "config", "a file where the folder should be");
    int error = 0;
    EXPECT_FALSE(EnableAutostart(Entry(), &error));
    EXPECT_NE(error, 0);
    EXPECT_FALSE(AutostartEnabled("example.vantor.Vantor"));
}

}  // namespace
}  // namespace vantor
