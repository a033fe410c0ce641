// An allocator that runs out of memory when told to. Every allocation the
// program's code makes (malloc, calloc, realloc and operator new) is
// counted while it is armed, and the chosen one fails as an exhausted heap
// makes it fail. A test walks a job through every place where it
// allocates, one failure a run, by arming it at 1, 2, 3 ... until the job
// gets through without reaching the failure.
//
// A program links failing_allocator.cpp with the link options of
// TARN_FAILING_ALLOCATOR_LINK_OPTIONS (cmake/FailingAllocator.cmake), which
// send the C allocation functions through it.
#pragma once

namespace failing_allocator {

// Counts from zero; the `failAt`-th allocation from now (1 is the next)
// fails, and no other. 0 counts without failing.
void arm(long failAt);
// Stops counting; the number of allocations counted since arm().
long disarm();
// Whether the chosen allocation has failed since arm().
bool failed();
// Called on the failing thread when the chosen allocation fails; it must
// not allocate.
void onFailure(void (*hook)());
// The code that asked for the allocation that failed, to tell where a
// finding comes from.
const void* failedCaller();

}  // namespace failing_allocator
