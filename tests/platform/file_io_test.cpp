#include "base/file_io.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

// Saving through a symbolic link replaces the link's target, not the link, and keeps the
// target's permission bits; a file that exists keeps its own.
TEST(WriteFileAtomicTest, LinksAreFollowedAndModesKept) {
    test::TempDir dir;
    fs::create_directory(dir / "real");
    test::WriteText(dir / "real/profile.dct", "old");
    chmod((dir / "real/profile.dct").c_str(), 0640);
    fs::create_symlink("real/profile.dct", dir / "relative.dct");
    fs::create_symlink(dir / "relative.dct", dir / "chain.dct");
    fs::create_symlink(dir / "real/absent.dct", dir / "dangling.dct");
    test::WriteText(dir / "private.dct", "old");
    chmod((dir / "private.dct").c_str(), 0600);

    struct Case {
        std::string written;   // the path given
        std::string replaced;  // the file that gets the text
        mode_t mode;
    };
    const Case cases[] = {
        {dir / "relative.dct", dir / "real/profile.dct", 0640},
        {dir / "chain.dct", dir / "real/profile.dct", 0640},
        {dir / "dangling.dct", dir / "real/absent.dct", 0644},
        {dir / "private.dct", dir / "private.dct", 0600},
        {dir / "new.dct", dir / "new.dct", 0644},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written);
        const std::string text = "new " + c.written;
        ASSERT_TRUE(WriteFileAtomic(c.written, text));
        EXPECT_EQ(test::ReadText(c.replaced), text);
        EXPECT_EQ(ModeOf(c.replaced), c.mode);
    }
    for (const char* link : {"relative.dct", "chain.dct", "dangling.dct"}) {
        EXPECT_TRUE(fs::is_symlink(dir / link)) << link;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "real"), fs::directory_iterator()), 2);
}

// A FIFO, a folder or a loop of links is refused and left as it was.
TEST(WriteFileAtomicTest, SpecialFilesAreRefusedNeverReplaced) {
    test::TempDir dir;
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    fs::create_symlink(dir / "fifo", dir / "to-fifo");
    fs::create_directory(dir / "folder");
    fs::create_symlink(dir / "loop-b", dir / "loop-a");
    fs::create_symlink(dir / "loop-a", dir / "loop-b");
    struct Case {
        std::string path;
        int error;
    };
    const Case cases[] = {
        {dir / "fifo", EPERM},
        {dir / "to-fifo", EPERM},
        {dir / "folder", EISDIR},
        {dir / "loop-a", ELOOP},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        int error = 0;
        EXPECT_FALSE(WriteFileAtomic(c.path, std::string("data"), &error));
        EXPECT_EQ(error, c.error);
    }
    EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
    EXPECT_TRUE(fs::is_empty(dir / "folder"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 5);
}

}  // namespace
}  // namespace vantor
