#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "runtime/core/main_heap.h"
#include "runtime/core/object_table.h"

namespace {

struct Record {
    intptr_t handle;  // primary value; 0 means absent
    int payload;
};

ObjectTable* gTable = nullptr;
std::vector<ObjectNumber> gFreed;

// A library's free operation: releases the object and forgets its entry.
void FreeRecord(ObjectNumber n) {
    gFreed.push_back(n);
    if (ObjectTableGet(gTable, n)) ObjectTableFree(gTable, n);
}

class ObjectTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        gFreed.clear();
        gTable = ObjectTableCreate(sizeof(Record), 4, FreeRecord);
        ASSERT_NE(gTable, nullptr);
    }
    void TearDown() override { ObjectTableDestroy(gTable); }

    Record* Make(ObjectNumber n, intptr_t handle) {
        auto* r = static_cast<Record*>(ObjectTableGetOrCreate(gTable, n));
        if (r) r->handle = handle;
        return r;
    }
};

TEST_F(ObjectTableTest, ReusingANumberFreesTheOldObjectAndReusesItsEntry) {
    Record* first = Make(4, 100);
    first->payload = 7;
    gFreed.clear();
    Record* second = Make(4, 200);
    EXPECT_EQ(second, first);
    EXPECT_EQ(gFreed, std::vector<ObjectNumber>{4});
    EXPECT_EQ(second->payload, 0);
    EXPECT_EQ(static_cast<Record*>(ObjectTableGet(gTable, 4))->handle, 200);
}

TEST_F(ObjectTableTest, LookupsOfAbsentNumbers) {
    Make(1, 11);
    Record* dyn = Make(AnyNumber, 22);
    ObjectNumber dynNumber = ObjectTableDynamicNumber(dyn);
    struct Case { ObjectNumber n; bool live; };
    const Case cases[] = {
        {1, true}, {0, false}, {3, false}, {4, false}, {1000, false}, {-2, false}, {-100, false},
        {dynNumber, true}, {dynNumber + 1, false},
    };
    for (const Case& c : cases) EXPECT_EQ(ObjectTableGet(gTable, c.n) != nullptr, c.live) << c.n;
    EXPECT_EQ(ObjectTableGetOrCreate(gTable, -2), nullptr);
    EXPECT_EQ(ObjectTableGetOrCreate(gTable, -7), nullptr);
    // An entry not filled in yet (first word 0) counts as absent.
    ObjectTableGetOrCreate(gTable, 2);
    EXPECT_EQ(ObjectTableGet(gTable, 2), nullptr);
}

TEST_F(ObjectTableTest, FreedStaticNumberKeepsItsMemory) {
    Record* r = Make(2, 5);
    ObjectTableFree(gTable, 2);
    EXPECT_EQ(ObjectTableGet(gTable, 2), nullptr);
    gFreed.clear();
    Record* again = Make(2, 6);
    EXPECT_EQ(again, r);
    EXPECT_EQ(gFreed, std::vector<ObjectNumber>{2});  // called, finds nothing live
}

TEST_F(ObjectTableTest, GrowsForLargeNumbers) {
    Make(0, 1);
    Record* far = Make(37, 2);
    ASSERT_NE(far, nullptr);
    EXPECT_EQ(gTable->capacity, 37 + 4);
    EXPECT_EQ(ObjectTableGet(gTable, 37), far);
    EXPECT_EQ(static_cast<Record*>(ObjectTableGet(gTable, 0))->handle, 1);
    EXPECT_EQ(ObjectTableGetOrCreate(gTable, INTPTR_MAX), nullptr);
    EXPECT_EQ(gTable->capacity, 37 + 4);
}

TEST_F(ObjectTableTest, IterationOrderAndFreeingDuringIteration) {
    Record* d1 = Make(AnyNumber, 1);
    Make(3, 2);
    Record* d2 = Make(AnyNumber, 3);
    Make(0, 4);
    Make(9, 5);
    Make(5, 0);  // never filled: skipped
    std::vector<intptr_t> handles;
    std::vector<ObjectNumber> numbers;
    ObjectNumber n = 0;
    for (void* e = ObjectTableFirst(gTable, &n); e; e = ObjectTableNext(gTable, &n)) {
        handles.push_back(static_cast<Record*>(e)->handle);
        numbers.push_back(n);
        FreeRecord(n);  // the caller frees what it was just given
    }
    EXPECT_EQ(handles, (std::vector<intptr_t>{4, 2, 5, 1, 3}));
    EXPECT_EQ(numbers, (std::vector<ObjectNumber>{0, 3, 9, ObjectTableDynamicNumber(d1), ObjectTableDynamicNumber(d2)}));
    EXPECT_EQ(ObjectTableFirst(gTable, &n), nullptr);
    EXPECT_EQ(gTable->dynamicList, nullptr);
}

TEST_F(ObjectTableTest, FreeAllCallsTheCallbackForEveryLiveObject) {
    Make(1, 1);
    Make(AnyNumber, 2);
    Make(2, 3);
    ObjectTableFree(gTable, 2);
    gFreed.clear();
    ObjectTableFreeAll(gTable);
    EXPECT_EQ(gFreed.size(), 2u);
    EXPECT_EQ(gFreed[0], 1);
    EXPECT_EQ(ObjectTableFirst(gTable, nullptr), nullptr);
}

TEST_F(ObjectTableTest, FreeingANumberOfAnotherKindChangesNothing) {
    Record* dyn = Make(AnyNumber, 8);
    ObjectTableFree(gTable, 12345);
    ObjectTableFree(gTable, -5);
    EXPECT_EQ(ObjectTableGet(gTable, ObjectTableDynamicNumber(dyn)), dyn);
}

TEST(RuntimeAlloc, ZeroFillsThenRunsTheInitialiser) {
    void* block = RuntimeAlloc(16, [](void* b) { static_cast<int*>(b)[1] = 9; });
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(static_cast<int*>(block)[0], 0);
    EXPECT_EQ(static_cast<int*>(block)[1], 9);
    MainFree(block);
}

}  // namespace
