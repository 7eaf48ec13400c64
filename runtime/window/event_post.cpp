// The event library's start and end, the same on every platform: the
// pending-event queue, the event-binding map and the platform's receiver for
// events posted from other threads (window_platform.h).
#include "runtime/window/event_bindings.h"
#include "runtime/window/event_queue.h"
#include "runtime/window/window.h"
#include "runtime/window/window_platform.h"

namespace {
EventReceiver receiver{};
}

void EventPostInit() {
    EventQueueInit();
    EventBindingsInit();
    if (!receiver.window) receiver = EventReceiverCreate();
}

void EventPostEnd() {
    EventReceiverDestroy(receiver);
    receiver = EventReceiver{};
    EventBindingsEnd();
    EventQueueDestroy(PendingEvents);
    PendingEvents = nullptr;
}

uint32_t EventPostMessage() { return receiver.message; }

NativeHandle EventPostWindow() { return receiver.window; }
