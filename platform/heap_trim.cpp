#include "platform/heap_trim.h"

#include <malloc.h>

namespace vantor {

void ReturnFreeHeapMemory() {
    malloc_trim(0);
}

void ShareOneHeapAcrossThreads() {
    mallopt(M_ARENA_MAX, 1);
}

}  // namespace vantor
