#include "platform/heap_trim.h"

#include <malloc.h>

namespace vantor {

void ReturnFreeHeapMemory() {
    malloc_trim(0);
}

}  // namespace vantor
