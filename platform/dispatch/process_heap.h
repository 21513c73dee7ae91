#pragma once
// The process's heap policy: one heap shared by every thread. Records are
// made on one queue and saved and freed on another; per-thread heaps gave
// their memory back to the system whenever they emptied, so each refresh of
// the list faulted all of it in again. Call first thing in main, before any
// thread allocates.
namespace dispatch {

void shareOneHeapAcrossThreads();

// Hands the heap's free pages back to the system. It holds the heap while it
// walks it, so call it from a worker once the work that freed them is over.
void releaseFreeHeapMemory();

}  // namespace dispatch
