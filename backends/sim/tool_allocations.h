// Counts the heap allocations that the tool's own code makes on one thread: the simulator's
// (InsideSimulator) are left out. A program that links this has its allocation functions
// replaced: glibc's malloc and its kin where there is glibc, operator new elsewhere. Never in a
// sanitizer's build, whose runtime replaces them itself.
#pragma once

// Counts from 0 what the calling thread allocates from now on.
void StartCountingToolAllocations();
// Stops counting on the calling thread; returns the count.
unsigned long StopCountingToolAllocations();
