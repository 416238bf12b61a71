#include "device/log_ids.h"

#include <sys/syscall.h>
#include <unistd.h>

namespace vantor {

unsigned LogThreadId() {
    return static_cast<unsigned>(syscall(SYS_gettid));
}

unsigned LogHandleId(const HidHandle* handle) {
    // The low bits of the object's address are enough to tell interfaces apart in a log.
    return static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(handle) & 0xFFFFFFFFu);
}

}  // namespace vantor
