#pragma once
// The process's heap policy: one heap shared by every thread. Records are
// made on one queue and saved and freed on another; per-thread heaps gave
// their memory back to the system whenever they emptied, so each refresh of
// the list faulted all of it in again. Call first thing in main, before any
// thread allocates.
namespace dispatch {

void shareOneHeapAcrossThreads();

}  // namespace dispatch
