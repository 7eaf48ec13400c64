// Implementation of the platform layer for the Windows-free builds (native and web).
#include <pthread.h>
#include <sched.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <new>

#include "runtime/core/platform.h"

// Every block carries a header that links it into its heap's list, so that
// destroying the heap frees every block still allocated, as a private heap does.
namespace {

struct alignas(16) BlockHeader {
    BlockHeader* prev;
    BlockHeader* next;
    size_t size;
};

}  // namespace

struct PrivateHeap {
    BlockHeader* blocks;
    size_t used;
    size_t maximum;
};

static_assert(sizeof(pthread_mutex_t) <= sizeof(RuntimeLock::storage), "lock storage too small");

PrivateHeap* PrivateHeapCreate(size_t, size_t maximumSize) {
    auto* heap = static_cast<PrivateHeap*>(std::calloc(1, sizeof(PrivateHeap)));
    if (heap) heap->maximum = maximumSize;
    return heap;
}

void PrivateHeapDestroy(PrivateHeap* heap) {
    if (!heap) return;
    BlockHeader* b = heap->blocks;
    while (b) {
        BlockHeader* next = b->next;
        std::free(b);
        b = next;
    }
    std::free(heap);
}

static bool WouldExceed(const PrivateHeap* heap, size_t oldSize, size_t newSize) {
    if (newSize > SIZE_MAX - sizeof(BlockHeader)) return true;
    if (heap->maximum == 0 || newSize <= oldSize) return false;
    return heap->used - oldSize + newSize > heap->maximum;
}

void* PrivateHeapAlloc(PrivateHeap* heap, size_t size, bool zeroFill) {
    if (!heap || WouldExceed(heap, 0, size)) return nullptr;
    auto* b = static_cast<BlockHeader*>(zeroFill ? std::calloc(1, sizeof(BlockHeader) + size)
                                                  : std::malloc(sizeof(BlockHeader) + size));
    if (!b) return nullptr;
    b->size = size;
    b->prev = nullptr;
    b->next = heap->blocks;
    if (heap->blocks) heap->blocks->prev = b;
    heap->blocks = b;
    heap->used += size;
    return b + 1;
}

void* PrivateHeapReAlloc(PrivateHeap* heap, void* block, size_t size, bool zeroFill) {
    if (!heap) return nullptr;
    if (!block) return PrivateHeapAlloc(heap, size, zeroFill);
    BlockHeader* b = static_cast<BlockHeader*>(block) - 1;
    size_t oldSize = b->size;
    if (WouldExceed(heap, oldSize, size)) return nullptr;
    auto* moved = static_cast<BlockHeader*>(std::realloc(b, sizeof(BlockHeader) + size));
    if (!moved) return nullptr;
    if (moved->prev) moved->prev->next = moved;
    else heap->blocks = moved;
    if (moved->next) moved->next->prev = moved;
    moved->size = size;
    heap->used = heap->used - oldSize + size;
    if (zeroFill && size > oldSize) std::memset(reinterpret_cast<char*>(moved + 1) + oldSize, 0, size - oldSize);
    return moved + 1;
}

void PrivateHeapFree(PrivateHeap* heap, void* block) {
    if (!heap || !block) return;
    BlockHeader* b = static_cast<BlockHeader*>(block) - 1;
    if (b->prev) b->prev->next = b->next;
    else heap->blocks = b->next;
    if (b->next) b->next->prev = b->prev;
    heap->used -= b->size;
    std::free(b);
}

static pthread_mutex_t* AsMutex(RuntimeLock* lock) { return reinterpret_cast<pthread_mutex_t*>(lock->storage); }

void LockInit(RuntimeLock* lock) {
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(AsMutex(lock), &attr);
    pthread_mutexattr_destroy(&attr);
}

void LockDelete(RuntimeLock* lock) { pthread_mutex_destroy(AsMutex(lock)); }
void LockEnter(RuntimeLock* lock) { pthread_mutex_lock(AsMutex(lock)); }
void LockLeave(RuntimeLock* lock) { pthread_mutex_unlock(AsMutex(lock)); }

uint32_t TickCount() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

// gettid() of <unistd.h>: the C library of the native build (glibc 2.30 and
// later) and of the web build both declare it, under _GNU_SOURCE, which their
// C++ compilers define.
uint32_t CurrentThreadId() { return static_cast<uint32_t>(gettid()); }

void YieldThread() { sched_yield(); }

bool PlatformRunOnce(intptr_t volatile*, void (*)()) { return false; }

uint32_t TlsIndexAlloc() {
    pthread_key_t key;
    if (pthread_key_create(&key, nullptr) != 0) return UINT32_MAX;
    return static_cast<uint32_t>(key);
}
void TlsIndexFree(uint32_t index) { pthread_key_delete(static_cast<pthread_key_t>(index)); }
void TlsIndexSet(uint32_t index, void* value) { pthread_setspecific(static_cast<pthread_key_t>(index), value); }
void* TlsIndexGet(uint32_t index) { return pthread_getspecific(static_cast<pthread_key_t>(index)); }
