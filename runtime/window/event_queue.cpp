#include "runtime/window/event_queue.h"

#include "runtime/core/block_pool.h"
#include "runtime/core/main_heap.h"

namespace {
// Codes from 65536 up are never coalesced.
constexpr uint32_t kCoalescedCodeLimit = 65536;
// Nodes per pool chunk.
constexpr int kMinChunk = 16;
constexpr int kMaxChunk = 256;
}  // namespace

EventQueue* PendingEvents = nullptr;

EventQueue* EventQueueCreate() {
    auto* queue = static_cast<EventQueue*>(MainAlloc(sizeof(EventQueue)));
    if (!queue) return nullptr;
    queue->pool = PoolCreate(static_cast<int>(sizeof(EventNode)), kMinChunk, kMaxChunk, PoolPrivate);
    if (!queue->pool) {
        MainFree(queue);
        return nullptr;
    }
    return queue;
}

void EventQueueDestroy(EventQueue* queue) {
    if (!queue) return;
    PoolRelease(queue->pool);
    MainFree(queue);
}

bool EventQueueAppend(EventQueue* queue, uint32_t code, intptr_t object, intptr_t window,
                      int32_t data, int32_t extra) {
    if (!queue) return false;
    const EventNode* newest = queue->tail;
    if (newest && code < kCoalescedCodeLimit && newest->code == code && newest->object == object &&
        newest->window == window && newest->data == data)
        return false;
    auto* node = static_cast<EventNode*>(PoolAlloc(queue->pool));
    if (!node) return false;
    node->next = nullptr;
    node->code = code;
    node->object = object;
    node->window = window;
    node->data = data;
    node->extra = extra;
    if (queue->tail) queue->tail->next = node;
    else queue->head = node;
    queue->tail = node;
    return true;
}

uint32_t EventQueuePop(EventQueue* queue, Event* out) {
    if (!queue || !queue->head) return 0;
    EventNode* node = queue->head;
    queue->head = node->next;
    if (!queue->head) queue->tail = nullptr;
    uint32_t code = node->code;
    if (out) *out = Event{node->code, node->object, node->window, node->data};
    PoolFree(queue->pool, node);
    return code;
}

void EventQueueRemoveWindow(EventQueue* queue, intptr_t window) {
    if (!queue) return;
    EventNode* kept = nullptr;  // last node kept so far
    EventNode* node = queue->head;
    while (node) {
        EventNode* next = node->next;
        if (node->window == window) {
            if (kept) kept->next = next;
            else queue->head = next;
            PoolFree(queue->pool, node);
        } else {
            kept = node;
        }
        node = next;
    }
    queue->tail = kept;
}

void EventQueueClear(EventQueue* queue) {
    if (!queue) return;
    while (queue->head) {
        EventNode* node = queue->head;
        queue->head = node->next;
        PoolFree(queue->pool, node);
    }
    queue->tail = nullptr;
}

size_t EventQueueCount(const EventQueue* queue) {
    size_t n = 0;
    for (const EventNode* node = queue ? queue->head : nullptr; node; node = node->next) ++n;
    return n;
}

EventQueue* EventQueueInit() {
    if (!PendingEvents) PendingEvents = EventQueueCreate();
    return PendingEvents;
}

void EventPost(uint32_t code, intptr_t object, intptr_t window, int32_t data) {
    EventQueueAppend(EventQueueInit(), code, object, window, data, 0);
}

void EventRemoveWindow(intptr_t window) { EventQueueRemoveWindow(PendingEvents, window); }

uint32_t EventPop(Event* out) { return EventQueuePop(PendingEvents, out); }
