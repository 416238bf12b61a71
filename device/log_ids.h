// Numbers that the device log lines print for threads and handles ("ThreadId=0x%x",
// "hNotify=%x"), so that lines of one thread or one interface can be matched up.
#pragma once

#include <cstdint>

namespace vantor {

class HidHandle;

// The kernel id of the calling thread.
unsigned LogThreadId();

// A stable number for an open interface (0 for none).
unsigned LogHandleId(const HidHandle* handle);

}  // namespace vantor
