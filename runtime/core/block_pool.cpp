#include "runtime/core/block_pool.h"

#include <climits>

#include "runtime/core/main_heap.h"

struct SharedPoolEntry {
    SharedPoolEntry* next;
    SharedPoolEntry* prev;
    BlockPool* pool;
    int keySize;   // block size
    int keyFlags;  // creation flags
    int refCount;
};

namespace {

constexpr int kHeader = static_cast<int>(sizeof(void*));

intptr_t volatile sharedOnce = 0;
RuntimeLock sharedLock;
SharedPoolEntry* sharedList = nullptr;

void InitSharedList() {
    LockInit(&sharedLock);
    sharedList = nullptr;
}

char* FirstBlock(PoolChunk* c) { return reinterpret_cast<char*>(c + 1); }

void Unlink(PoolChunk** head, PoolChunk* c) {
    if (c->prev) c->prev->next = c->next;
    else *head = c->next;
    if (c->next) c->next->prev = c->prev;
    c->next = c->prev = nullptr;
}

void PushFront(PoolChunk** head, PoolChunk* c) {
    c->prev = nullptr;
    c->next = *head;
    if (*head) (*head)->prev = c;
    *head = c;
}

void FreeChunkList(PoolChunk* c) {
    while (c) {
        PoolChunk* next = c->next;
        MainFree(c);
        c = next;
    }
}

struct PoolGuard {
    BlockPool* pool;
    explicit PoolGuard(BlockPool* p) : pool(p) { if (pool->locked) LockEnter(&pool->lock); }
    ~PoolGuard() { if (pool->locked) LockLeave(&pool->lock); }
};

PoolChunk* NewChunk(BlockPool* pool) {
    int g = (pool->totalBlocks >> 4) & ~15;
    int capacity = g < pool->minChunk ? pool->minChunk : (g < pool->maxChunk ? g : pool->maxChunk);
    auto bytes = [pool](int blocks) { return sizeof(PoolChunk) + static_cast<size_t>(blocks) * static_cast<size_t>(pool->blockSize); };
    auto* c = static_cast<PoolChunk*>(PrivateHeapAlloc(MainHeapInit(), bytes(capacity), false));
    if (!c) {
        capacity = 1;
        c = static_cast<PoolChunk*>(PrivateHeapAlloc(MainHeap, bytes(capacity), false));
        if (!c) return nullptr;
    }
    c->capacity = capacity;
    c->carved = 1;
    c->freeCount = 0;
    c->freeList = nullptr;
    pool->totalBlocks += capacity;
    PushFront(capacity >= 2 ? &pool->partialChunks : &pool->fullChunks, c);
    return c;
}

}  // namespace

int PoolBlockSize(int elementSize) { return (elementSize + kHeader - 1) / kHeader * kHeader + kHeader; }

BlockPool* PoolCreate(int elementSize, int minChunk, int maxChunk, int flags) {
    if (elementSize < 0 || elementSize > INT_MAX / 2 || minChunk < 1 || maxChunk < minChunk) return nullptr;
    int blockSize = PoolBlockSize(elementSize);
    if (!(flags & PoolShared)) {
        auto* pool = static_cast<BlockPool*>(MainAlloc(sizeof(BlockPool)));
        if (!pool) return nullptr;
        pool->blockSize = blockSize;
        pool->minChunk = minChunk;
        pool->maxChunk = maxChunk;
        if ((flags & 3) == PoolOwnLock) {
            pool->locked = 1;
            LockInit(&pool->lock);
        }
        return pool;
    }
    RunOnce(&sharedOnce, InitSharedList);
    LockEnter(&sharedLock);
    BlockPool* pool = nullptr;
    for (SharedPoolEntry* e = sharedList; e; e = e->next) {
        if (e->keySize == blockSize && e->keyFlags == flags && e->pool) {
            ++e->refCount;
            pool = e->pool;
            break;
        }
    }
    if (!pool) {
        auto* entry = static_cast<SharedPoolEntry*>(MainAlloc(sizeof(SharedPoolEntry)));
        BlockPool* fresh = entry ? PoolCreate(blockSize - kHeader, minChunk, maxChunk, flags & ~PoolShared) : nullptr;
        if (fresh) {
            entry->pool = fresh;
            fresh->sharedEntry = entry;
            entry->keySize = blockSize;
            entry->keyFlags = flags;
            entry->refCount = 1;
            entry->next = sharedList;
            if (sharedList) sharedList->prev = entry;
            sharedList = entry;
            pool = fresh;
        } else {
            MainFree(entry);
        }
    }
    LockLeave(&sharedLock);
    return pool;
}

void* PoolAlloc(BlockPool* pool) {
    if (!pool) return nullptr;
    PoolGuard guard(pool);
    char* block;
    PoolChunk* c = pool->partialChunks;
    if (c) {
        if (c->freeCount > 0) {
            block = static_cast<char*>(c->freeList);
            c->freeList = *reinterpret_cast<void**>(block);
            --c->freeCount;
        } else {
            block = FirstBlock(c) + static_cast<size_t>(c->carved) * static_cast<size_t>(pool->blockSize);
            ++c->carved;
        }
        if (c->freeCount == 0 && c->carved >= c->capacity) {
            Unlink(&pool->partialChunks, c);
            PushFront(&pool->fullChunks, c);
        }
    } else {
        c = NewChunk(pool);
        if (!c) return nullptr;
        block = FirstBlock(c);
    }
    *reinterpret_cast<PoolChunk**>(block) = c;
    return block + kHeader;
}

void PoolFree(BlockPool* pool, void* element) {
    if (!pool || !element) return;
    PoolGuard guard(pool);
    char* block = static_cast<char*>(element) - kHeader;
    PoolChunk* c = *reinterpret_cast<PoolChunk**>(block);
    bool wasFull = c->freeCount == 0 && c->carved >= c->capacity;
    *reinterpret_cast<void**>(block) = c->freeList;
    c->freeList = block;
    ++c->freeCount;
    if (c->freeCount == c->carved) {
        Unlink(wasFull ? &pool->fullChunks : &pool->partialChunks, c);
        pool->totalBlocks -= c->capacity;
        MainFree(c);
    } else if (wasFull) {
        Unlink(&pool->fullChunks, c);
        PushFront(&pool->partialChunks, c);
    }
}

void PoolClear(BlockPool* pool) {
    if (!pool) return;
    PoolGuard guard(pool);
    FreeChunkList(pool->fullChunks);
    FreeChunkList(pool->partialChunks);
    pool->fullChunks = pool->partialChunks = nullptr;
    pool->totalBlocks = 0;
}

static void ReleasePrivate(BlockPool* pool) {
    PoolClear(pool);
    if (pool->locked) LockDelete(&pool->lock);
    MainFree(pool);
}

void PoolRelease(BlockPool* pool) {
    if (!pool) return;
    SharedPoolEntry* entry = pool->sharedEntry;
    if (!entry) {
        ReleasePrivate(pool);
        return;
    }
    LockEnter(&sharedLock);
    if (--entry->refCount <= 0) {
        pool->sharedEntry = nullptr;
        ReleasePrivate(pool);
        if (entry->prev) entry->prev->next = entry->next;
        else sharedList = entry->next;
        if (entry->next) entry->next->prev = entry->prev;
        MainFree(entry);
    }
    LockLeave(&sharedLock);
}
