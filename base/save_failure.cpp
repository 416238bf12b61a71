#include "base/save_failure.h"

#include <cerrno>
#include <cstring>

#include "base/texts.h"

namespace vantor {

std::string WriteErrorText(int error) {
    const char* key = nullptr;
    switch (error) {
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            key = "tc_err_disk_full";
            break;
        case EACCES:
        case EPERM:
            key = "tc_err_no_access";
            break;
        case EROFS:
            key = "tc_err_read_only";
            break;
        default:
            break;
    }
    const std::string text = key != nullptr ? Text(key) : std::string();
    if (!text.empty()) return text;
    return error != 0 ? std::strerror(error) : "unknown error";
}

std::string SaveFailedText(const std::string& path, int error) {
    return TextOr("tc_save_failed", "The file could not be saved:") + " " + path + " (" +
           WriteErrorText(error) + ")";
}

}  // namespace vantor
