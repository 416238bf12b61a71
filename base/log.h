// Diagnostic log shared by every module and every thread.
//
// Level 0 (the default) makes every call a cheap no-op. Level 1 writes each message,
// prefixed "BY: ", to standard error. Level 2 and above appends each message to the log
// file as a carriage return, a "mm:ss.mmm   " time stamp and the message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vantor {

// Chooses the writer for the rest of the run. For level 2 and above the file is opened
// once to check it can be written and is emptied when it exceeds 512000 bytes.
void LogSetup(int level, const std::string& logFilePath);

// Back to level 0; used by tests and at the very end of the process.
void LogShutdown();

int LogLevel();
const std::string& LogFilePath();

void DbgLogImpl(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Writes one entry. Callers pass complete messages without a line end.
#define DbgLog(...)                                                       \
    do {                                                                  \
        if (::vantor::LogLevel() != 0) ::vantor::DbgLogImpl(__VA_ARGS__); \
    } while (0)

// Writes `length` bytes as two-digit lower-case hex, `bytesPerLine` per entry (0: as
// many as fit one entry), each line starting with `prefix` when it is not null.
void DbgLogHex(const void* data, std::size_t length, unsigned bytesPerLine, const char* prefix);

}  // namespace vantor
