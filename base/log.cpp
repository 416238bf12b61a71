#include "base/log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <mutex>

#include "base/file_io.h"
#include "base/string_format.h"

namespace vantor {
namespace {

constexpr long kMaxLogFileBytes = 512000;
constexpr std::size_t kDebugLineChars = 512;
constexpr std::size_t kHexLineChars = 512;

enum class Writer { kDebugOutput, kFile };

std::atomic<int> g_level{0};
Writer g_writer = Writer::kDebugOutput;
std::string g_path;
std::mutex g_writeMutex;  // keeps entries from different threads whole

void WriteDebugOutput(const std::string& message) {
    std::string line = "BY: " + message;
    if (line.size() > kDebugLineChars - 1) line.resize(kDebugLineChars - 1);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
}

// The log file opened for appending, or null. A symbolic link is not followed (a link on
// the desktop must not make the log append to another file) and anything but a regular
// file is refused without waiting (a FIFO would block the writer).
FILE* OpenLogFile(const std::string& path) {
    const int fd = open(path.c_str(),
                        O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666);
    if (fd < 0) return nullptr;
    struct stat info {};
    FILE* file = nullptr;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) file = fdopen(fd, "a");
    if (file == nullptr) close(fd);
    return file;
}

void WriteFileEntry(const std::string& message) {
    FILE* file = OpenLogFile(g_path);
    if (file == nullptr) {
        WriteDebugOutput("Open Log failed");
        return;
    }
    timeval now{};
    gettimeofday(&now, nullptr);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    std::fprintf(file, "%02u:%02u.%03u   ", static_cast<unsigned>(local.tm_min),
                 static_cast<unsigned>(local.tm_sec), static_cast<unsigned>(now.tv_usec / 1000));
    std::fwrite(message.data(), 1, message.size(), file);
    std::fputc('\n', file);
    std::fclose(file);
}

void WriteEntry(const std::string& message) {
    std::lock_guard<std::mutex> lock(g_writeMutex);
    if (g_writer == Writer::kFile) {
        WriteFileEntry(message);
    } else {
        WriteDebugOutput(message);
    }
}

}  // namespace

void LogSetup(int level, const std::string& logFilePath) {
    std::lock_guard<std::mutex> lock(g_writeMutex);
    g_path = logFilePath;
    g_writer = Writer::kDebugOutput;
    g_level.store(level);
    if (level < 2) return;
    FILE* file = OpenLogFile(g_path);
    if (file == nullptr) {
        WriteDebugOutput("Open Log failed");
        return;
    }
    long size = std::ftell(file);
    if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    std::fclose(file);
    // Emptying replaces the whole file, so it goes through the atomic writer; the entries
    // themselves are appends to a diagnostic stream, where a replaced file per line would
    // cost a copy of the whole log each time. (The atomic writer never logs, so it may run
    // under the write lock.) A log that cannot be emptied (e.g. a folder without write
    // access for the temporary file) is still appended to.
    if (size > kMaxLogFileBytes && !WriteFileAtomic(g_path, std::string())) {
        WriteDebugOutput("Empty Log failed");
    }
    g_writer = Writer::kFile;
}

void LogShutdown() {
    std::lock_guard<std::mutex> lock(g_writeMutex);
    g_level.store(0);
    g_writer = Writer::kDebugOutput;
}

int LogLevel() {
    return g_level.load(std::memory_order_relaxed);
}

const std::string& LogFilePath() {
    return g_path;
}

void DbgLogImpl(const char* format, ...) {
    if (LogLevel() == 0) return;
    va_list args;
    va_start(args, format);
    const std::string message = StringPrintfV(format, args);
    va_end(args);
    WriteEntry(message);
}

void DbgLogHex(const void* data, std::size_t length, unsigned bytesPerLine, const char* prefix) {
    if (LogLevel() == 0 || data == nullptr || length == 0) return;
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::string line;
    auto startLine = [&](bool first) {
        line.clear();
        if (prefix == nullptr) return;
        if (first && bytesPerLine > 0) line += '\n';
        line += prefix;
        line += ' ';
    };
    startLine(true);
    char pair[4];
    for (std::size_t i = 0; i < length; ++i) {
        // A line never outgrows the entry buffer: a full one is written out first.
        if (line.size() + 3 > kHexLineChars - 1) {
            WriteEntry(line);
            line.clear();
        }
        std::snprintf(pair, sizeof pair, "%02x ", bytes[i]);
        line += pair;
        if (bytesPerLine > 0 && (i + 1) % bytesPerLine == 0) {
            WriteEntry(line);
            startLine(false);
        }
    }
    if (!line.empty()) WriteEntry(line);
}

}  // namespace vantor
