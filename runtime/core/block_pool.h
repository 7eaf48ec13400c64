// Fixed-size block pools: blocks of one size carved from larger chunks on
// MainHeap, with a free list per chunk; a chunk goes back to the heap as soon
// as all its blocks are free. Chunks grow with the pool's total size between a
// minimum and a maximum block count. A pool may have its own lock, and pools of
// one block size and flags can be shared process-wide with a reference count.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/core/platform.h"

struct PoolChunk {
    PoolChunk* next;
    PoolChunk* prev;
    void* freeList;  // first freed block, 0 if none
    int capacity;    // blocks in the chunk
    int carved;      // blocks handed out at least once, from the start of the chunk
    int freeCount;   // blocks on freeList
    // the blocks follow, suitably aligned
};
#if INTPTR_MAX == INT32_MAX
static_assert(offsetof(PoolChunk, freeList) == 8 && offsetof(PoolChunk, capacity) == 12 &&
                  offsetof(PoolChunk, carved) == 16 && offsetof(PoolChunk, freeCount) == 20 &&
                  sizeof(PoolChunk) == 24,
              "32-bit chunk header: six 4-byte fields");
#endif

struct SharedPoolEntry;

struct BlockPool {
    PoolChunk* fullChunks;     // chunks with no block left to give
    PoolChunk* partialChunks;  // chunks with a free or never-used block
    SharedPoolEntry* sharedEntry;  // owning entry of the shared list, 0 if private
    int totalBlocks;           // sum of the capacities of all chunks
    int blockSize;             // bytes per block, header word included
    int minChunk;
    int maxChunk;
    int locked;                // 1 when the pool has its own lock
    RuntimeLock lock;
};

// Creation flags.
enum : int {
    PoolOwnLock = 1,  // the low two bits equal to 1: the pool gets its own lock
    PoolPrivate = 2,  // the low two bits of any other value: no lock
    PoolShared = 4,   // share one pool among all users of the same size and flags
};

// Block size for an element size: rounded up to a whole number of header
// words, plus the header word (12 -> 16, 13 -> 20, 28 -> 32 in the 32-bit build).
int PoolBlockSize(int elementSize);

// Returns 0 when the record cannot be allocated or the sizes are invalid.
BlockPool* PoolCreate(int elementSize, int minChunk, int maxChunk, int flags);
// An element (not cleared), or 0 when memory runs out.
void* PoolAlloc(BlockPool* pool);
void PoolFree(BlockPool* pool, void* element);
// Frees every chunk at once; every block handed out becomes invalid.
void PoolClear(BlockPool* pool);
// Destroys a private pool; drops one reference of a shared one.
void PoolRelease(BlockPool* pool);

// Runs initialiser exactly once per state word, even when several threads
// arrive together. The state word starts at 0.
void RunOnce(intptr_t volatile* state, void (*initialiser)());
