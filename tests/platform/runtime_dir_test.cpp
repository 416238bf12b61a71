#include "platform/runtime_dir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;

// Only a real folder of this user that nobody else may use counts as private.
TEST(RuntimeDirTest, OnlyAFolderOfThisUserClosedToOthersIsPrivate) {
    test::TempDir dir;
    fs::create_directory(dir / "private");
    chmod((dir / "private").c_str(), 0700);
    fs::create_directory(dir / "group");
    chmod((dir / "group").c_str(), 0750);
    fs::create_directory_symlink(dir / "private", dir / "link");
    test::WriteText(dir / "file", "");
    const struct {
        const char* name;
        const char* problem;  // empty: private
    } cases[] = {
        {"private", ""},
        {"private/", ""},
        {"group", " can be used by other users (mode 0750)"},
        {"link", " is not a folder"},
        {"file", " is not a folder"},
        {"absent", ": No such file or directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        EXPECT_EQ(IsPrivateFolder(dir / c.name, &error), *c.problem == '\0');
        if (*c.problem != '\0') {
            EXPECT_EQ(error, dir / c.name + c.problem);
        }
    }
    if (geteuid() == 0) {
        fs::create_directory(dir / "foreign");
        chmod((dir / "foreign").c_str(), 0700);
        ASSERT_EQ(chown((dir / "foreign").c_str(), 65534, 65534), 0);
        std::string error;
        EXPECT_FALSE(IsPrivateFolder(dir / "foreign", &error));
        EXPECT_EQ(error, dir / "foreign belongs to another user (uid 65534)");
    }
}

TEST(RuntimeDirTest, WithoutAPrivateRuntimeFolderTheUsersOwnFolderInTmpServes) {
    test::ScopedEnv none("XDG_RUNTIME_DIR", "");
    std::string error;
    const auto folder = PrivateRuntimeDir(&error);
    ASSERT_TRUE(folder.has_value()) << error;
    EXPECT_EQ(*folder, "/tmp/vantor-" + std::to_string(geteuid()) + "/");
    EXPECT_TRUE(IsPrivateFolder(*folder, &error)) << error;
}

// Two paths to one file (a link to it, a linked folder) resolve to one name, also for a
// file that does not exist yet.
TEST(RuntimeDirTest, PathsToOneFileResolveToOneName) {
    test::TempDir dir;
    const std::string real = fs::canonical(dir.path()).string() + "/real";
    fs::create_directory(real);
    test::WriteText(real + "/state.bin", "");
    fs::create_symlink(real + "/state.bin", dir / "state-link.bin");
    fs::create_directory_symlink(real, dir / "folder-link");
    const struct {
        std::string path;
        std::string resolved;
    } cases[] = {
        {dir / "state-link.bin", real + "/state.bin"},
        {dir / "folder-link/state.bin", real + "/state.bin"},
        {dir / "folder-link/../real/./state.bin", real + "/state.bin"},
        {dir / "folder-link/new.bin", real + "/new.bin"},
        {dir / "absent/new.bin", dir / "absent/new.bin"},
    };
    for (const auto& c : cases) EXPECT_EQ(ResolvedPath(c.path), c.resolved) << c.path;
}

}  // namespace
}  // namespace vantor
