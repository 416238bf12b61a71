// Hands the free memory of the process heap back to the system.
#pragma once

namespace vantor {

// Start-up decodes pictures and builds windows through large temporary buffers; the heap
// keeps their pages after they are freed unless it is told to return them. Call it once
// the start-up work is done.
void ReturnFreeHeapMemory();

}  // namespace vantor
