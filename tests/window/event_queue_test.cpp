#include <gtest/gtest.h>

#include <vector>

#include "runtime/core/block_pool.h"
#include "runtime/window/event_queue.h"
#include "runtime/window/window.h"

namespace {

struct Posted {
    uint32_t code;
    intptr_t object;
    intptr_t window;
    int32_t data;
};

std::vector<Posted> Drain(EventQueue* queue) {
    std::vector<Posted> out;
    Event e;
    while (queue->head) {
        EventQueuePop(queue, &e);
        out.push_back({e.code, e.object, e.window, e.data});
    }
    return out;
}

bool Same(const Posted& a, const Posted& b) {
    return a.code == b.code && a.object == b.object && a.window == b.window && a.data == b.data;
}

class EventQueueTest : public ::testing::Test {
protected:
    void SetUp() override { queue = EventQueueCreate(); ASSERT_NE(queue, nullptr); }
    void TearDown() override { EventQueueDestroy(queue); }
    EventQueue* queue = nullptr;
};

TEST_F(EventQueueTest, EmptyQueuePopsZero) {
    Event e{7, 7, 7, 7};
    EXPECT_EQ(EventQueuePop(queue, &e), 0u);
    EXPECT_EQ(e.code, 7u);  // untouched
    EXPECT_EQ(queue->tail, nullptr);
    EXPECT_EQ(EventQueuePop(nullptr, nullptr), 0u);
}

TEST_F(EventQueueTest, PopsInPostingOrderWithAllFields) {
    const Posted in[] = {{EventWindowSized, 0, 0, 0}, {EventCloseWindow, 3, 3, 0}, {EventTrayIcon, 55, -1, 2},
                         {EventTimerTick, INTPTR_MAX, 9, -5}};
    for (const Posted& p : in) EXPECT_TRUE(EventQueueAppend(queue, p.code, p.object, p.window, p.data, 99));
    auto out = Drain(queue);
    ASSERT_EQ(out.size(), 4u);
    for (size_t i = 0; i < 4; ++i) EXPECT_TRUE(Same(out[i], in[i])) << i;
    EXPECT_EQ(queue->tail, nullptr);
}

// The newest pending event is not repeated; anything that differs is kept.
TEST_F(EventQueueTest, CoalescesOnlyExactRepeatsOfTheNewest) {
    struct Case {
        const char* name;
        Posted second;
        size_t expected;
    };
    const Posted first{EventWindowSized, 4, 2, 8};
    const Case cases[] = {
        {"identical", first, 1},
        {"other code", {EventWindowMoved, 4, 2, 8}, 2},
        {"other object", {EventWindowSized, 5, 2, 8}, 2},
        {"other window", {EventWindowSized, 4, 3, 8}, 2},
        {"other data", {EventWindowSized, 4, 2, 9}, 2},
    };
    for (const Case& c : cases) {
        EventQueueAppend(queue, first.code, first.object, first.window, first.data, 0);
        EventQueueAppend(queue, c.second.code, c.second.object, c.second.window, c.second.data, 0);
        EXPECT_EQ(Drain(queue).size(), c.expected) << c.name;
    }
}

TEST_F(EventQueueTest, ExtraWordDoesNotPreventCoalescing) {
    EXPECT_TRUE(EventQueueAppend(queue, 13115, 0, 1, 0, 1));
    EXPECT_FALSE(EventQueueAppend(queue, 13115, 0, 1, 0, 2));
    EXPECT_EQ(EventQueueCount(queue), 1u);
}

TEST_F(EventQueueTest, OnlyTheNewestIsComparedAndLargeCodesRepeat) {
    EventQueueAppend(queue, 13117, 0, 0, 0, 0);
    EventQueueAppend(queue, 13118, 0, 0, 0, 0);
    EventQueueAppend(queue, 13117, 0, 0, 0, 0);  // same as an older one: kept
    EXPECT_EQ(EventQueueCount(queue), 3u);
    Drain(queue);
    for (int i = 0; i < 3; ++i) EventQueueAppend(queue, 65536, 1, 1, 1, 0);
    EventQueueAppend(queue, 65535, 1, 1, 1, 0);
    EventQueueAppend(queue, 65535, 1, 1, 1, 0);
    EXPECT_EQ(EventQueueCount(queue), 4u);
}

TEST_F(EventQueueTest, CoalescingStartsAfterThePopOfTheRepeatedEvent) {
    EventQueueAppend(queue, EventCloseWindow, 0, 0, 0, 0);
    EXPECT_EQ(EventQueuePop(queue, nullptr), static_cast<uint32_t>(EventCloseWindow));
    EXPECT_TRUE(EventQueueAppend(queue, EventCloseWindow, 0, 0, 0, 0));
    EXPECT_EQ(EventQueueCount(queue), 1u);
}

// Removing a window's events keeps the others in order and leaves a tail that
// further posts append to correctly.
TEST_F(EventQueueTest, RemoveWindowKeepsOthersInOrder) {
    struct Case {
        const char* name;
        std::vector<intptr_t> windows;  // window of each posted event, in order
        intptr_t removed;
    };
    const Case cases[] = {
        {"none match", {1, 2, 3}, 7},
        {"all match", {5, 5, 5}, 5},
        {"head only", {5, 1, 2}, 5},
        {"tail only", {1, 2, 5}, 5},
        {"alternating", {5, 1, 5, 2, 5, 3, 5}, 5},
        {"empty", {}, 5},
        {"dynamic number", {1, -1, INTPTR_MAX, 2}, INTPTR_MAX},
    };
    for (const Case& c : cases) {
        std::vector<Posted> expected;
        int32_t data = 0;
        for (intptr_t w : c.windows) {
            // Distinct data so that nothing coalesces.
            EventQueueAppend(queue, EventLeftButtonUp, 0, w, data, 0);
            if (w != c.removed) expected.push_back({EventLeftButtonUp, 0, w, data});
            ++data;
        }
        EventQueueRemoveWindow(queue, c.removed);
        EXPECT_EQ(EventQueueCount(queue), expected.size()) << c.name;
        EventQueueAppend(queue, EventWindowMoved, 0, 9, 0, 0);
        expected.push_back({EventWindowMoved, 0, 9, 0});
        auto out = Drain(queue);
        ASSERT_EQ(out.size(), expected.size()) << c.name;
        for (size_t i = 0; i < out.size(); ++i) EXPECT_TRUE(Same(out[i], expected[i])) << c.name << " " << i;
    }
}

// A removed or popped node goes back to the pool: a steady stream of events
// does not grow the pool.
TEST_F(EventQueueTest, NodesAreRecycled) {
    for (int round = 0; round < 50; ++round) {
        for (int i = 0; i < 10; ++i) EventQueueAppend(queue, 13100, i, round % 3, 0, 0);
        EventQueueRemoveWindow(queue, round % 3);
    }
    for (int round = 0; round < 50; ++round) {
        for (int i = 0; i < 10; ++i) EventQueueAppend(queue, 13100, i, 0, 0, 0);
        Drain(queue);
    }
    EXPECT_LE(queue->pool->totalBlocks, 16);
}

TEST_F(EventQueueTest, ClearDropsEverything) {
    for (int i = 0; i < 40; ++i) EventQueueAppend(queue, 13100, i, 0, 0, 0);
    EventQueueClear(queue);
    EXPECT_EQ(queue->head, nullptr);
    EXPECT_EQ(queue->tail, nullptr);
    EXPECT_TRUE(EventQueueAppend(queue, 13100, 0, 0, 0, 0));
    EXPECT_EQ(EventQueueCount(queue), 1u);
}

TEST(PendingEvents, LibraryQueuePostsPopsAndRemoves) {
    EventQueueInit();
    ASSERT_NE(PendingEvents, nullptr);
    EventQueueClear(PendingEvents);
    EventPost(EventWindowActivated, 0, 4, 0);
    EventPost(EventWindowActivated, 0, 4, 0);
    EventPost(EventCloseWindow, 6, 6, 0);
    EventPost(EventWindowMoved, 4, 4, 0);
    EventRemoveWindow(4);
    Event e{};
    EXPECT_EQ(EventPop(&e), static_cast<uint32_t>(EventCloseWindow));
    EXPECT_EQ(e.object, 6);
    EXPECT_EQ(e.window, 6);
    EXPECT_EQ(EventPop(&e), 0u);
}

}  // namespace
