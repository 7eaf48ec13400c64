// The thin operating-system layer under the runtime: private heaps, locks, the
// tick clock and thread identity. The Windows build maps these onto kernel32
// (platform_win.cpp); the native build has its own implementation
// (platform_posix.cpp), so code above this layer never includes <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>

// A private heap. Blocks come zero-filled when asked; destroying the heap
// releases every block still allocated from it.
struct PrivateHeap;

// initialSize is a hint; maximumSize 0 makes the heap growable without limit,
// otherwise allocations that would take it beyond maximumSize bytes fail.
PrivateHeap* PrivateHeapCreate(size_t initialSize, size_t maximumSize);
void PrivateHeapDestroy(PrivateHeap* heap);
// Returns 0 when the heap cannot supply the block.
void* PrivateHeapAlloc(PrivateHeap* heap, size_t size, bool zeroFill);
// Resizes a block, possibly moving it; added bytes are zero-filled when asked.
// On failure returns 0 and the original block is untouched and still valid.
void* PrivateHeapReAlloc(PrivateHeap* heap, void* block, size_t size, bool zeroFill);
void PrivateHeapFree(PrivateHeap* heap, void* block);

// A recursive lock (a critical section). The storage is opaque here so that the
// records embedding one stay free of platform headers.
struct RuntimeLock {
    alignas(void*) unsigned char storage[64];
};
void LockInit(RuntimeLock* lock);
void LockDelete(RuntimeLock* lock);
void LockEnter(RuntimeLock* lock);
void LockLeave(RuntimeLock* lock);

// Milliseconds since some fixed point, wrapping at 2^32.
uint32_t TickCount();
uint32_t CurrentThreadId();
// Gives up the rest of the thread's time slice.
void YieldThread();

// Runs initialiser through the system's own one-time initialisation when it has
// one; returns false when it has none, so the caller uses its own method.
bool PlatformRunOnce(intptr_t volatile* state, void (*initialiser)());

// Thread-local storage slots. Returns an index, or UINT32_MAX when none is left.
uint32_t TlsIndexAlloc();
void TlsIndexFree(uint32_t index);
void TlsIndexSet(uint32_t index, void* value);
void* TlsIndexGet(uint32_t index);
