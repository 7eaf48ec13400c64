#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

#include "runtime/core/block_pool.h"

namespace {

constexpr int kWord = static_cast<int>(sizeof(void*));

TEST(BlockPool, BlockSizes) {
    struct Case { int element; int block32; int block64; };
    const Case cases[] = {{12, 16, 24}, {13, 20, 24}, {28, 32, 40}, {0, 4, 8}, {1, 8, 16}};
    for (const Case& c : cases) EXPECT_EQ(PoolBlockSize(c.element), kWord == 4 ? c.block32 : c.block64) << c.element;
}

// Allocates until the pool owns at least `blocks` blocks in chunks, keeping
// every element, and returns the capacity of the chunk made next.
int NextChunkCapacityAt(int blocks) {
    BlockPool* pool = PoolCreate(12, 16, 256, PoolPrivate);
    std::vector<void*> live;
    while (pool->totalBlocks < blocks || pool->partialChunks) live.push_back(PoolAlloc(pool));
    int before = pool->totalBlocks;
    live.push_back(PoolAlloc(pool));
    int capacity = pool->totalBlocks - before;
    PoolRelease(pool);
    return capacity;
}

TEST(BlockPool, ChunkCapacitiesGrowWithThePool) {
    struct Case { int total; int capacity; };
    const Case cases[] = {{0, 16}, {256, 16}, {512, 32}, {4096, 256}, {8192, 256}};
    for (const Case& c : cases) EXPECT_EQ(NextChunkCapacityAt(c.total), c.capacity) << c.total;
}

TEST(BlockPool, FirstAllocationMakesOneChunkOfMinimumSize) {
    BlockPool* pool = PoolCreate(20, 16, 256, PoolPrivate);
    void* e = PoolAlloc(pool);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(pool->totalBlocks, 16);
    ASSERT_NE(pool->partialChunks, nullptr);
    EXPECT_EQ(pool->partialChunks->carved, 1);
    EXPECT_EQ(pool->fullChunks, nullptr);
    // Freeing the only block returns the chunk to the heap at once.
    PoolFree(pool, e);
    EXPECT_EQ(pool->totalBlocks, 0);
    EXPECT_EQ(pool->partialChunks, nullptr);
    ASSERT_NE(PoolAlloc(pool), nullptr);
    EXPECT_EQ(pool->totalBlocks, 16);
    PoolRelease(pool);
}

TEST(BlockPool, FullChunkMovesBackToPartialAndIsServedFirst) {
    BlockPool* pool = PoolCreate(8, 16, 256, PoolPrivate);
    std::vector<void*> first;
    for (int i = 0; i < 16; ++i) first.push_back(PoolAlloc(pool));
    PoolChunk* chunk = pool->fullChunks;
    ASSERT_NE(chunk, nullptr);
    EXPECT_EQ(pool->partialChunks, nullptr);
    void* other = PoolAlloc(pool);  // a second chunk
    EXPECT_EQ(pool->totalBlocks, 32);
    EXPECT_NE(pool->partialChunks, chunk);
    PoolFree(pool, first[5]);
    EXPECT_EQ(pool->partialChunks, chunk);
    EXPECT_EQ(pool->fullChunks, nullptr);
    EXPECT_EQ(PoolAlloc(pool), first[5]);
    EXPECT_EQ(pool->fullChunks, chunk);
    PoolFree(pool, other);
    EXPECT_EQ(pool->totalBlocks, 16);
    PoolRelease(pool);
}

TEST(BlockPool, BlocksAreDistinctAndWritable) {
    BlockPool* pool = PoolCreate(32, 16, 64, PoolPrivate);
    std::set<void*> seen;
    std::vector<void*> live;
    for (int i = 0; i < 1000; ++i) {
        auto* p = static_cast<unsigned char*>(PoolAlloc(pool));
        ASSERT_TRUE(seen.insert(p).second);
        std::fill(p, p + 32, static_cast<unsigned char>(i));
        live.push_back(p);
    }
    for (size_t i = 0; i < live.size(); ++i)
        EXPECT_EQ(static_cast<unsigned char*>(live[i])[31], static_cast<unsigned char>(i));
    for (size_t i = 0; i < live.size(); i += 2) PoolFree(pool, live[i]);
    for (size_t i = 1; i < live.size(); i += 2) PoolFree(pool, live[i]);
    EXPECT_EQ(pool->totalBlocks, 0);
    PoolClear(pool);
    PoolRelease(pool);
}

TEST(BlockPool, ClearFreesEverything) {
    BlockPool* pool = PoolCreate(12, 16, 256, PoolPrivate);
    for (int i = 0; i < 100; ++i) PoolAlloc(pool);
    PoolClear(pool);
    EXPECT_EQ(pool->totalBlocks, 0);
    EXPECT_EQ(pool->partialChunks, nullptr);
    EXPECT_EQ(pool->fullChunks, nullptr);
    EXPECT_NE(PoolAlloc(pool), nullptr);
    PoolRelease(pool);
}

TEST(BlockPool, SharedPoolsOfOneBlockSizeAreOnePool) {
    BlockPool* a = PoolCreate(13, 16, 65536, PoolShared);
    BlockPool* b = PoolCreate(16, 16, 65536, PoolShared);
    BlockPool* c = PoolCreate(16, 16, 65536, PoolShared | PoolOwnLock);  // other flags: other pool
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    EXPECT_EQ(a->blockSize, PoolBlockSize(16));
    EXPECT_EQ(c->locked, 1);
    void* e = PoolAlloc(a);
    PoolRelease(a);  // b still uses it
    PoolFree(b, e);
    EXPECT_NE(PoolAlloc(b), nullptr);
    PoolRelease(b);
    PoolRelease(c);
    BlockPool* fresh = PoolCreate(16, 16, 65536, PoolShared);
    EXPECT_EQ(fresh->totalBlocks, 0);
    PoolRelease(fresh);
}

TEST(BlockPool, InvalidArgumentsFail) {
    EXPECT_EQ(PoolCreate(-1, 16, 256, PoolPrivate), nullptr);
    EXPECT_EQ(PoolCreate(8, 0, 256, PoolPrivate), nullptr);
    EXPECT_EQ(PoolCreate(8, 64, 16, PoolPrivate), nullptr);
    EXPECT_EQ(PoolAlloc(nullptr), nullptr);
}

TEST(BlockPool, LockedPoolFromSeveralThreads) {
    BlockPool* pool = PoolCreate(16, 16, 256, PoolOwnLock);
    ASSERT_EQ(pool->locked, 1);
    auto work = [pool] {
        std::vector<void*> mine;
        for (int round = 0; round < 20; ++round) {
            for (int i = 0; i < 200; ++i) mine.push_back(PoolAlloc(pool));
            for (void* p : mine) PoolFree(pool, p);
            mine.clear();
        }
    };
    std::thread t1(work), t2(work);
    t1.join();
    t2.join();
    EXPECT_EQ(pool->totalBlocks, 0);
    PoolRelease(pool);
}

intptr_t volatile gOnceState = 0;
int gOnceRuns = 0;

TEST(RunOnce, RunsTheInitialiserOnce) {
    auto body = [] { RunOnce(&gOnceState, [] { ++gOnceRuns; }); };
    std::thread t1(body), t2(body);
    t1.join();
    t2.join();
    body();
    EXPECT_EQ(gOnceRuns, 1);
}

}  // namespace
