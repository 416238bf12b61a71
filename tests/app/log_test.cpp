#include "base/log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/log_entries.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

class LogTest : public ::testing::Test {
  protected:
    void TearDown() override { LogShutdown(); }
    test::TempDir dir;
    std::string logPath = dir / "Log.txt";
};

std::vector<std::string> Entries(const std::string& text) {
    return test::LogEntries(text);
}

TEST_F(LogTest, LevelZeroTouchesNothing) {
    LogSetup(0, logPath);
    testing::internal::CaptureStderr();
    DbgLog("hello %d", 1);
    DbgLogHex("abc", 3, 16, "X=");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(std::ifstream(logPath).good());
}

TEST_F(LogTest, LevelOneWritesPrefixedLinesToStandardErrorOnly) {
    LogSetup(1, logPath);
    testing::internal::CaptureStderr();
    DbgLog("SendCMD: nCmdID=0x%x, bData=0x%x", 0x4f, 0);
    std::string long_message(600, 'a');
    DbgLog("%s", long_message.c_str());
    std::string out = testing::internal::GetCapturedStderr();
    EXPECT_EQ(out.substr(0, out.find('\n')), "BY: SendCMD: nCmdID=0x4f, bData=0x0");
    std::string second = out.substr(out.find('\n') + 1);
    EXPECT_EQ(second.size(), 511u + 1u);  // cut to the 512-character buffer, then a line end
    EXPECT_FALSE(std::ifstream(logPath).good());
}

// Each entry is a line of its own: time stamp, message, line feed (a carriage return alone
// would show the whole log as one line in most viewers).
TEST_F(LogTest, FileEntriesAreTimeStampMessageLineFeed) {
    LogSetup(2, logPath);
    DbgLog("Launch %04d-%d-%d %d:%d, v1.0 AppTitle=%s", 2026, 1, 5, 9, 7, "Vantor");
    DbgLog("two\nlines");
    const std::string text = test::ReadText(logPath);
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(text.substr(12, text.find('\n') - 12), "Launch 2026-1-5 9:7, v1.0 AppTitle=Vantor");
    std::vector<std::string> entries = Entries(text);
    ASSERT_EQ(entries.size(), 2u);
    std::regex stamp(R"(^\d\d:\d\d\.\d\d\d   )");
    EXPECT_TRUE(std::regex_search(entries[0], stamp)) << entries[0];
    EXPECT_EQ(entries[0].substr(12), "Launch 2026-1-5 9:7, v1.0 AppTitle=Vantor");
    EXPECT_EQ(entries[1].substr(12), "two\nlines");
}

TEST_F(LogTest, OversizedFileIsEmptiedAtSetupSmallerOneKept) {
    struct Case {
        std::size_t size;
        bool kept;
    };
    for (Case c : {Case{512000, true}, Case{512001, false}}) {
        test::WriteText(logPath, std::string(c.size - 1, 'x') + "\n");
        LogSetup(2, logPath);
        DbgLog("new");
        std::string text = test::ReadText(logPath);
        EXPECT_EQ(text.size() > c.size, c.kept) << c.size;
        EXPECT_EQ(Entries(text).back().substr(12), "new");
    }
}

TEST_F(LogTest, UnwritableLogFileFallsBackToStandardError) {
    testing::internal::CaptureStderr();
    LogSetup(2, dir / "missing-folder/Log.txt");
    DbgLog("still logged");
    std::string out = testing::internal::GetCapturedStderr();
    EXPECT_EQ(out, "BY: Open Log failed\nBY: still logged\n");
}

// A link or a FIFO put in place of Log.txt is neither followed nor waited for: the log goes
// to standard error instead, and the link's target stays as it was.
TEST_F(LogTest, LinksAndSpecialFilesAreNotLogFiles) {
    test::WriteText(dir / "target.txt", "precious");
    ASSERT_EQ(symlink((dir / "target.txt").c_str(), (dir / "link.txt").c_str()), 0);
    ASSERT_EQ(mkfifo((dir / "fifo.txt").c_str(), 0600), 0);
    for (const char* name : {"link.txt", "fifo.txt"}) {
        SCOPED_TRACE(name);
        testing::internal::CaptureStderr();
        LogSetup(2, dir / name);
        DbgLog("still logged");
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "BY: Open Log failed\nBY: still logged\n");
    }
    EXPECT_EQ(test::ReadText(dir / "target.txt"), "precious");
}

TEST_F(LogTest, HexDumpLineRules) {
    std::vector<unsigned char> bytes(20);
    for (unsigned i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>(i + 0xF0);
    struct Case {
        std::size_t length;
        unsigned perLine;
        const char* prefix;
        std::vector<std::string> expected;
    };
    const std::string sixteen = "f0 f1 f2 f3 f4 f5 f6 f7 f8 f9 fa fb fc fd fe ff ";
    std::vector<Case> cases = {
        {20, 16, "DpiX=", {"\nDpiX= " + sixteen, "DpiX= 00 01 02 03 "}},
        {16, 16, "P", {"\nP " + sixteen, "P "}},
        {3, 16, nullptr, {"f0 f1 f2 "}},
        {3, 0, "Q", {"Q f0 f1 f2 "}},
    };
    for (const Case& c : cases) {
        test::WriteText(logPath, "");
        LogSetup(2, logPath);
        DbgLogHex(bytes.data(), c.length, c.perLine, c.prefix);
        std::vector<std::string> entries = Entries(test::ReadText(logPath));
        ASSERT_EQ(entries.size(), c.expected.size()) << c.length;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            EXPECT_EQ(entries[i].substr(12), c.expected[i]);
        }
    }
}

TEST_F(LogTest, HexDumpSplitsLongSingleLineAtBufferSize) {
    LogSetup(2, logPath);
    std::vector<unsigned char> bytes(400, 0xAB);
    DbgLogHex(bytes.data(), bytes.size(), 0, nullptr);
    std::vector<std::string> entries = Entries(test::ReadText(logPath));
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].size() - 12, 510u);  // 170 pairs fill the 511 usable characters
    EXPECT_EQ((entries[0].size() + entries[1].size() + entries[2].size() - 36) / 3, 400u);
}

TEST_F(LogTest, ConcurrentWritersKeepEntriesWhole) {
    LogSetup(2, logPath);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < 50; ++i) DbgLog("thread %d entry %d", t, i);
        });
    }
    for (auto& thread : threads) thread.join();
    std::vector<std::string> entries = Entries(test::ReadText(logPath));
    ASSERT_EQ(entries.size(), 200u);
    std::regex whole(R"(^\d\d:\d\d\.\d\d\d   thread \d entry \d+$)");
    for (const std::string& entry : entries) EXPECT_TRUE(std::regex_match(entry, whole)) << entry;
}

}  // namespace
}  // namespace vantor
