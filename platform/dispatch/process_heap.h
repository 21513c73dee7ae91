#pragma once
// The process's heap policy: one heap shared by every thread, kept between
// the bursts of work and handed back once a burst is over. Records are
// made on one queue and saved and freed on another; per-thread heaps gave
// their memory back to the system whenever they emptied, so each refresh of
// the list faulted all of it in again. Call first thing in main, before any
// thread allocates.
namespace dispatch {

void shareOneHeapAcrossThreads();

// Returns the heap's free pages to the system: after a burst of work (a list
// of 100,000 records fetched, stored and imported) the memory it freed would
// otherwise stay resident until the next burst, days later. Any thread.
void giveFreeMemoryBack();

}  // namespace dispatch
