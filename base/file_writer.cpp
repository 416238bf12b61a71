#include "base/file_writer.h"

#include <cerrno>
#include <chrono>
#include <utility>

#include "base/file_io.h"
#include "base/log.h"

namespace vantor {

FileWriter::FileWriter(Report report) : report_(std::move(report)) {}

FileWriter::~FileWriter() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void FileWriter::Queue(Job job) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        jobs_.push_back(std::move(job));
        if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
    }
    changed_.notify_all();
}

void FileWriter::Write(std::string path, std::vector<std::uint8_t> bytes,
                       std::function<bool()> makeFolders) {
    Queue({std::move(path), std::move(bytes), std::move(makeFolders), nullptr});
}

FileWriteResult FileWriter::WriteAndWait(std::string path, std::vector<std::uint8_t> bytes) {
    auto waited = std::make_shared<Waited>();
    Queue({std::move(path), std::move(bytes), {}, waited});
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return waited->done; });
    return waited->result;
}

bool FileWriter::Flush(int timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [this] { return jobs_.empty() && !busy_; });
}

FileWriteResult FileWriter::Perform(const Job& job) const {
    FileWriteResult result;
    result.path = job.path;
    result.ok = WriteFileAtomic(job.path, job.bytes.data(), job.bytes.size(), &result.error);
    if (!result.ok && result.error == ENOENT && job.makeFolders && job.makeFolders()) {
        result.error = 0;
        result.ok = WriteFileAtomic(job.path, job.bytes.data(), job.bytes.size(), &result.error);
    }
    if (!result.ok) DbgLog("FileWriter: %s, err=%d", job.path.c_str(), result.error);
    return result;
}

void FileWriter::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stop_ || !jobs_.empty(); });
        // Stopping still writes what waits: every save handed over reaches the disk.
        if (jobs_.empty()) return;
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        busy_ = true;
        lock.unlock();
        const FileWriteResult result = Perform(job);
        if (report_ && !job.waited) report_(result);
        lock.lock();
        if (job.waited) {
            job.waited->result = result;
            job.waited->done = true;
        }
        busy_ = false;
        changed_.notify_all();
    }
}

}  // namespace vantor
