// One background thread that writes whole files, so that no window-thread step waits for a
// disk: callers hand over the path and the finished bytes, and the writer runs
// WriteFileAtomic (which flushes the data to disk before the rename) one file at a time, in
// the order they were handed over. Each result (path, success, errno) goes to the report
// function on the writer thread; the window program posts it on to its window thread, which
// shows a failure to the user.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vantor {

struct FileWriteResult {
    std::string path;
    bool ok = false;
    int error = 0;  // errno of a failed write
};

class FileWriter {
  public:
    using Report = std::function<void(const FileWriteResult&)>;

    // `report` (may be empty) is called on the writer thread after every write.
    explicit FileWriter(Report report = {});
    // Writes what was handed over, then ends the thread.
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    // Queues the write. When it fails because a folder of the path is missing and
    // `makeFolders` is given, that runs and the write is tried once more.
    void Write(std::string path, std::vector<std::uint8_t> bytes,
               std::function<bool()> makeFolders = {});
    // Queues the write and waits for its result, which goes to the caller only (not to the
    // report function); for the exit, where the window has nothing left to do but save.
    FileWriteResult WriteAndWait(std::string path, std::vector<std::uint8_t> bytes);
    // Waits until every write handed over has ended; false when `timeoutMs` passed first.
    bool Flush(int timeoutMs);

  private:
    struct Waited {
        FileWriteResult result;
        bool done = false;
    };
    struct Job {
        std::string path;
        std::vector<std::uint8_t> bytes;
        std::function<bool()> makeFolders;
        std::shared_ptr<Waited> waited;  // set for WriteAndWait
    };

    void Queue(Job job);
    void Run();
    FileWriteResult Perform(const Job& job) const;

    Report report_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> jobs_;
    bool busy_ = false;
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace vantor
