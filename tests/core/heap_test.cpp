#include <gtest/gtest.h>

#include <cstring>

#include "runtime/core/main_heap.h"
#include "runtime/core/platform.h"

namespace {

TEST(PrivateHeap, ZeroFillingAllocationAndGrowth) {
    PrivateHeap* heap = PrivateHeapCreate(4096, 0);
    ASSERT_NE(heap, nullptr);
    auto* p = static_cast<unsigned char*>(PrivateHeapAlloc(heap, 100, true));
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(p[i], 0);
    std::memset(p, 0xAB, 100);
    p = static_cast<unsigned char*>(PrivateHeapReAlloc(heap, p, 5000, true));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p[99], 0xAB);
    for (int i = 100; i < 5000; ++i) ASSERT_EQ(p[i], 0) << i;
    // Destroying the heap releases the blocks still in it.
    for (int i = 0; i < 50; ++i) PrivateHeapAlloc(heap, 64, false);
    PrivateHeapDestroy(heap);
}

TEST(PrivateHeap, BoundedHeapRefusesAndKeepsTheBlock) {
    PrivateHeap* heap = PrivateHeapCreate(4096, 64 * 1024);
    auto* p = static_cast<unsigned char*>(PrivateHeapAlloc(heap, 16, true));
    ASSERT_NE(p, nullptr);
    p[3] = 9;
    EXPECT_EQ(PrivateHeapAlloc(heap, 4 << 20, true), nullptr);
    EXPECT_EQ(PrivateHeapReAlloc(heap, p, 4 << 20, true), nullptr);
    EXPECT_EQ(p[3], 9);
    PrivateHeapFree(heap, p);
    PrivateHeapDestroy(heap);
}

TEST(MainHeap, ReAllocOfNullAllocates) {
    void* p = MainReAlloc(nullptr, 32);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(static_cast<unsigned char*>(p)[31], 0);
    MainFree(p);
    MainFree(nullptr);
}

}  // namespace
