// Hands the free memory of the process heap back to the system.
#pragma once

namespace vantor {

// Start-up decodes pictures and builds windows through large temporary buffers; the heap
// keeps their pages after they are freed unless it is told to return them. Call it once
// the start-up work is done.
void ReturnFreeHeapMemory();

// One heap for every thread. The program's threads allocate little and seldom, and each
// heap of its own would keep its pages (about 1 MB in all). Call it before any thread
// starts.
void ShareOneHeapAcrossThreads();

}  // namespace vantor
