// MainHeap: the growable private heap that holds every runtime block (object
// tables and their entries, arrays, drawing contexts, library records, pool
// chunks). It is created at start-up and destroyed last at shutdown, which
// releases whatever is still allocated from it.
#pragma once

#include <cstddef>

#include "runtime/core/platform.h"

extern PrivateHeap* MainHeap;

// Creates MainHeap if it does not exist yet (start-up calls it; code used
// before start-up, such as tests, gets the heap on first use).
PrivateHeap* MainHeapInit();
// Destroys MainHeap and every block in it.
void MainHeapEnd();

// Zero-filled block from MainHeap, or 0.
void* MainAlloc(size_t size);
// Resize keeping contents, added bytes zero-filled; 0 on failure with the old
// block untouched.
void* MainReAlloc(void* block, size_t size);
// For tests: the next count calls of MainReAlloc with a block fail as a heap
// that cannot resize it does (0, the block untouched).
void MainReAllocFailNext(int count);
void MainFree(void* block);

// A zero-filled block of size bytes from MainHeap, after running initialiser on
// it when one is given; libraries use it for their single records.
void* RuntimeAlloc(size_t size, void (*initialiser)(void* block));
