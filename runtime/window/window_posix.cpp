// The window table and the pending-event queue's start and end in the
// non-Windows builds (native and web): the numbering and closing of windows,
// which are the same whatever makes the windows (native_window.h). There is
// no hidden event window and no registered message there.
#include "runtime/window/desktop.h"
#include "runtime/window/event_bindings.h"
#include "runtime/window/event_queue.h"
#include "runtime/window/native_window.h"
#include "runtime/window/window.h"

ObjectTable* WindowTable = nullptr;

namespace {

WindowRecord* RecordOf(ObjectNumber number) {
    return static_cast<WindowRecord*>(ObjectTableGet(WindowTable, number));
}

}  // namespace

intptr_t WindowOpen(ObjectNumber number, int x, int y, int innerWidth, int innerHeight, const char16_t* title,
                    uint32_t flags) {
    return WindowOpen(number, x, y, innerWidth, innerHeight, title, flags, 0);
}

NativeHandle WindowHandle(ObjectNumber number) {
    WindowRecord* record = RecordOf(number);
    return record ? record->window : 0;
}

void WindowClose(ObjectNumber number) {
    if (number == AnyNumber) {
        // Closes each window as closing it by number does; only the runtime's
        // end (WindowLibEnd) may leave the web build's canvases on the page.
        if (WindowTable) ObjectTableFreeAll(WindowTable);
        return;
    }
    WindowRecord* record = RecordOf(number);
    if (!record) return;
    EventRemoveWindow(number);
    NativeWindowDestroy(record->window);
    ObjectTableFree(WindowTable, number);
}

void EventPostInit() {
    EventQueueInit();
    EventBindingsInit();
}
void EventPostEnd() {
    // The queue's memory goes with MainHeap at shutdown; forget it first.
    EventQueueDestroy(PendingEvents);
    PendingEvents = nullptr;
    EventBindingsEnd();
}
uint32_t EventPostMessage() { return 0; }
NativeHandle EventPostWindow() { return 0; }

intptr_t DesktopWindow() { return 0; }
