// The pending-event queue: a singly linked FIFO of runtime events whose nodes
// come from a fixed-size block pool. An event that repeats the newest pending
// one is not added again, so a burst of identical events (a frame being dragged,
// say) does not grow the queue. Free of platform headers.
#pragma once

#include <cstddef>
#include <cstdint>

struct BlockPool;

// One pending event. Object and window are pointer-wide because a dynamic
// window number is an address and an object may carry a message's wParam.
struct EventNode {
    EventNode* next;
    uint32_t code;
    intptr_t object;
    intptr_t window;   // number of the runtime window the event belongs to, -1 if none
    int32_t data;
    int32_t extra;     // carried for events posted across threads; not returned
};
#if INTPTR_MAX == INT32_MAX
static_assert(offsetof(EventNode, code) == 4 && offsetof(EventNode, object) == 8 &&
                  offsetof(EventNode, window) == 12 && offsetof(EventNode, data) == 16 &&
                  offsetof(EventNode, extra) == 20 && sizeof(EventNode) == 24,
              "32-bit event node: six 32-bit words");
#endif

struct EventQueue {
    EventNode* head;   // oldest
    EventNode* tail;   // newest
    BlockPool* pool;
};

// An event as returned to a caller.
struct Event {
    uint32_t code;
    intptr_t object;
    intptr_t window;
    int32_t data;
};

// Returns 0 when memory runs out.
EventQueue* EventQueueCreate();
// Releases the record, its nodes and their pool.
void EventQueueDestroy(EventQueue* queue);

// Appends an event unless the queue is not empty, the code is below 65536 and
// the newest event has the same code, object, window and data. Returns true
// when a node was added (false when coalesced or when no node could be had).
bool EventQueueAppend(EventQueue* queue, uint32_t code, intptr_t object, intptr_t window,
                      int32_t data, int32_t extra);
// Removes the oldest event and returns its code (filling *out when given);
// 0 when the queue is empty.
uint32_t EventQueuePop(EventQueue* queue, Event* out);
// Drops every event of one window; the others keep their order.
void EventQueueRemoveWindow(EventQueue* queue, intptr_t window);
// Drops every event.
void EventQueueClear(EventQueue* queue);
size_t EventQueueCount(const EventQueue* queue);

// The library-wide queue used by the window procedure and WindowPollEvent. It
// is created by EventQueueInit (start-up) or on first use.
extern EventQueue* PendingEvents;
EventQueue* EventQueueInit();

// Appends to the library-wide queue with extra word 0.
void EventPost(uint32_t code, intptr_t object, intptr_t window, int32_t data);
// Drops the pending events of one window from the library-wide queue.
void EventRemoveWindow(intptr_t window);
// Pops from the library-wide queue; 0 when nothing is pending.
uint32_t EventPop(Event* out);
