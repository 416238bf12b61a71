#include "base/file_io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <vector>

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

// Restores the umask at the end of a scope.
class ScopedUmask {
  public:
    explicit ScopedUmask(mode_t mask) : old_(umask(mask)) {}
    ~ScopedUmask() { umask(old_); }
    ScopedUmask(const ScopedUmask&) = delete;
    ScopedUmask& operator=(const ScopedUmask&) = delete;

  private:
    mode_t old_;
};

// A save replaces a symbolic link itself and never writes into the file it points to, so a
// link planted in the data folder cannot make a save overwrite a system file. A file that
// exists keeps its permission bits (set-id bits dropped); a new file, or one that replaces
// a link, gets what the umask gives.
TEST(WriteFileAtomicTest, LinksAreReplacedNeverWrittenThrough) {
    test::TempDir dir;
    fs::create_directory(dir / "real");
    test::WriteText(dir / "real/system.conf", "precious");
    chmod((dir / "real/system.conf").c_str(), 0600);
    fs::create_symlink("real/system.conf", dir / "relative.dct");
    fs::create_symlink(dir / "relative.dct", dir / "chain.dct");
    fs::create_symlink(dir / "real/absent.dct", dir / "dangling.dct");
    fs::create_symlink(dir / "loop-b", dir / "loop-a");
    fs::create_symlink(dir / "loop-a", dir / "loop-b");
    test::WriteText(dir / "private.dct", "old");
    chmod((dir / "private.dct").c_str(), 0600);
    test::WriteText(dir / "setid.dct", "old");
    chmod((dir / "setid.dct").c_str(), 04755);

    struct Case {
        const char* name;
        mode_t mask;
        mode_t mode;
    };
    const Case cases[] = {
        {"relative.dct", 022, 0644}, {"chain.dct", 077, 0600},   {"dangling.dct", 027, 0640},
        {"loop-a", 002, 0664},       {"private.dct", 022, 0600}, {"setid.dct", 022, 0755},
        {"new-022.dct", 022, 0644},  {"new-077.dct", 077, 0600}, {"new-007.dct", 007, 0660},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedUmask mask(c.mask);
        const std::string text = std::string("new ") + c.name;
        ASSERT_TRUE(WriteFileAtomic(dir / c.name, text));
        EXPECT_FALSE(fs::is_symlink(dir / c.name));
        EXPECT_EQ(test::ReadText(dir / c.name), text);
        EXPECT_EQ(ModeOf(dir / c.name), c.mode);
    }
    EXPECT_EQ(test::ReadText(dir / "real/system.conf"), "precious");
    EXPECT_EQ(ModeOf(dir / "real/system.conf"), 0600u);
    EXPECT_FALSE(fs::exists(dir / "real/absent.dct"));
    EXPECT_TRUE(fs::is_symlink(dir / "loop-b"));
}

// Only regular files are read: a FIFO, a device node or a folder is refused at once (a FIFO
// without a writer would block an ordinary open forever), reading through a link is fine.
TEST(ReadWholeFileTest, OnlyRegularFilesAreRead) {
    test::TempDir dir;
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    fs::create_symlink(dir / "fifo", dir / "to-fifo");
    fs::create_directory(dir / "folder");
    test::WriteText(dir / "cfg.ini", "[OPT]");
    fs::create_symlink(dir / "cfg.ini", dir / "to-cfg.ini");
    test::WriteText(dir / "big.ini", std::string(65, 'x'));
    struct Case {
        std::string path;
        int error;  // 0: read
        const char* description;
    };
    const Case cases[] = {
        {dir / "fifo", EINVAL, "fifo is not a regular file"},
        {dir / "to-fifo", EINVAL, "to-fifo is not a regular file"},
        {"/dev/null", EINVAL, "/dev/null is not a regular file"},
        {dir / "folder", EISDIR, "folder is not a regular file"},
        {dir / "absent.ini", ENOENT, "absent.ini: No such file or directory"},
        {dir / "big.ini", EFBIG, "big.ini is too large"},
        {dir / "to-cfg.ini", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        int error = -1;
        const auto bytes = ReadWholeFile(c.path, 64, &error);
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(bytes.has_value(), c.error == 0);
        if (c.error != 0) {
            const std::string text = DescribeReadError(c.path, error);
            EXPECT_NE(text.find(c.path), std::string::npos) << text;
            EXPECT_NE(text.find(c.description), std::string::npos) << text;
        }
    }
}

// Temporary files of interrupted saves go at the next start; one of a save that is still
// running (it holds its file locked), other files and folders stay.
TEST(RemoveStaleTempFilesTest, OnlyAbandonedTemporaryFilesGo) {
    test::TempDir dir;
    for (const char* name : {"CID.dct.tmpAb12Cd", "PRO_1.dct.tmpZZZZZZ", "CID.dct", "notes.tmp",
                             "state.bin.tmp123", "running.dct.tmpRun123"}) {
        test::WriteText(dir / name, "x");
    }
    fs::create_directory(dir / "folder.tmpABCDEF");
    fs::create_symlink("/etc/passwd", dir / "link.dct.tmpLnk123");
    const int running = open((dir / "running.dct.tmpRun123").c_str(), O_RDONLY);
    ASSERT_GE(running, 0);
    ASSERT_EQ(flock(running, LOCK_EX), 0);

    RemoveStaleTempFiles(dir / "other", {});  // a missing folder is nothing to clean
    RemoveStaleTempFiles(dir.path(), "CID.dct");
    EXPECT_FALSE(fs::exists(dir / "CID.dct.tmpAb12Cd"));
    EXPECT_TRUE(fs::exists(dir / "PRO_1.dct.tmpZZZZZZ"));
    RemoveStaleTempFiles(dir.path().substr(0, dir.path().size() - 1));
    close(running);

    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        left.push_back(entry.path().filename());
    }
    std::sort(left.begin(), left.end());
    const std::vector<std::string> expected = {"CID.dct", "folder.tmpABCDEF", "notes.tmp",
                                               "running.dct.tmpRun123", "state.bin.tmp123"};
    EXPECT_EQ(left, expected);
    EXPECT_TRUE(fs::exists("/etc/passwd"));
}

// A FIFO or a folder is refused and left as it was.
TEST(WriteFileAtomicTest, SpecialFilesAreRefusedNeverReplaced) {
    test::TempDir dir;
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    fs::create_directory(dir / "folder");
    struct Case {
        std::string path;
        int error;
    };
    const Case cases[] = {
        {dir / "fifo", EPERM},
        {dir / "folder", EISDIR},
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
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

}  // namespace
}  // namespace vantor
