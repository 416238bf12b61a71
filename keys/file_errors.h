// Sorting a failed file write into the two log lines the program keeps for it: the file
// could not be created, or the data could not be written.
#pragma once

#include <cerrno>

namespace vantor {

// True for the errno values of a failed create or open (missing folder, no permission,
// read-only file system, bad name); false for failures while writing the data.
inline bool IsFileCreateError(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
        case ENAMETOOLONG:
        case EEXIST:
            return true;
        default:
            return false;
    }
}

}  // namespace vantor
