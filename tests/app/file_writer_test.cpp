#include "base/file_writer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

class FileWriterTest : public ::testing::Test {
  protected:
    // What the writer reported, in order.
    std::vector<FileWriteResult> Reports() {
        std::lock_guard<std::mutex> lock(mutex_);
        return reports_;
    }
    FileWriter::Report Recorder() {
        return [this](const FileWriteResult& result) {
            std::lock_guard<std::mutex> lock(mutex_);
            reports_.push_back(result);
        };
    }

    test::TempDir dir_;
    std::mutex mutex_;
    std::vector<FileWriteResult> reports_;
};

// Writes run one at a time in the order they were handed over: the last image of a file is
// what stays, and every write is reported with its path and outcome.
TEST_F(FileWriterTest, WritesInOrderAndReportsEveryResult) {
    FileWriter writer(Recorder());
    const std::string a = dir_ / "a.dct";
    const std::string blocked = dir_ / "a.dct/inside";  // a file is not a folder
    for (int i = 0; i < 20; ++i) writer.Write(a, Bytes("image " + std::to_string(i)));
    writer.Write(blocked, Bytes("x"));
    ASSERT_TRUE(writer.Flush(10000));
    EXPECT_EQ(test::ReadText(a), "image 19");
    const std::vector<FileWriteResult> reports = Reports();
    ASSERT_EQ(reports.size(), 21u);
    EXPECT_TRUE(reports.front().ok);
    EXPECT_EQ(reports.front().path, a);
    EXPECT_FALSE(reports.back().ok);
    EXPECT_EQ(reports.back().path, blocked);
    EXPECT_EQ(reports.back().error, ENOTDIR);
}

// A missing folder is made by the caller's hook and the write tried again; without a hook,
// or when the hook fails, the write fails with the system's error.
TEST_F(FileWriterTest, MissingFoldersAreMadeOnlyThroughTheHook) {
    FileWriter writer(Recorder());
    const std::string nested = dir_ / "Mac/sub/x.qxm";
    writer.Write(nested, Bytes("plain"));
    writer.Write(nested, Bytes("made"),
                 [&] { return std::filesystem::create_directories(dir_ / "Mac/sub"); });
    writer.Write(dir_ / "gone/y.qxm", Bytes("y"), [] { return false; });
    ASSERT_TRUE(writer.Flush(10000));
    const std::vector<FileWriteResult> reports = Reports();
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0].error, ENOENT);
    EXPECT_TRUE(reports[1].ok);
    EXPECT_EQ(reports[2].error, ENOENT);
    EXPECT_EQ(test::ReadText(nested), "made");
}

// The exit waits for its own result, which only it gets; the writer's end still writes
// everything that was handed over.
TEST_F(FileWriterTest, WaitedWritesAnswerTheCallerAndTheEndWritesWhatWaits) {
    const std::string later = dir_ / "later.dct";
    {
        FileWriter writer(Recorder());
        const FileWriteResult ok = writer.WriteAndWait(dir_ / "p.dct", Bytes("p"));
        EXPECT_TRUE(ok.ok);
        const FileWriteResult failed = writer.WriteAndWait(dir_ / "no/p.dct", Bytes("p"));
        EXPECT_FALSE(failed.ok);
        EXPECT_EQ(failed.error, ENOENT);
        EXPECT_TRUE(Reports().empty());
        for (int i = 0; i < 50; ++i) writer.Write(later, Bytes(std::to_string(i)));
    }
    EXPECT_EQ(test::ReadText(later), "49");
    EXPECT_EQ(Reports().size(), 50u);
}

}  // namespace
}  // namespace vantor
