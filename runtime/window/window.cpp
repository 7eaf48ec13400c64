// The window library's part that is the same on every platform: the window
// table, numbering and replacement, looking windows up, closing them and
// polling. What makes and destroys a window is the platform's
// (window_platform.h).
#include "runtime/window/event_queue.h"
#include "runtime/window/window.h"
#include "runtime/window/window_platform.h"

ObjectTable* WindowTable = nullptr;

namespace {

bool libraryEnding = false;  // WindowLibEnd is closing every window

WindowRecord* RecordOf(ObjectNumber number) {
    return static_cast<WindowRecord*>(ObjectTableGet(WindowTable, number));
}

}  // namespace

void WindowLibInit() {
    if (WindowTable) return;
    WindowTable = ObjectTableCreate(static_cast<int>(sizeof(WindowRecord)), 16, &WindowClose);
    if (WindowTable) WindowPlatformInit();
}

void WindowLibEnd() {
    if (!WindowTable) return;
    libraryEnding = true;
    ObjectTableFreeAll(WindowTable);
    libraryEnding = false;
    ObjectTableDestroy(WindowTable);
    WindowTable = nullptr;
    WindowPlatformEnd();
}

intptr_t WindowOpen(ObjectNumber number, int x, int y, int innerWidth, int innerHeight, const char16_t* title,
                    uint32_t flags) {
    return WindowOpen(number, x, y, innerWidth, innerHeight, title, flags, 0);
}

intptr_t WindowOpen(ObjectNumber number, int x, int y, int innerWidth, int innerHeight, const char16_t* title,
                    uint32_t flags, NativeHandle parent) {
    WindowLibInit();
    auto* record = static_cast<WindowRecord*>(ObjectTableGetOrCreate(WindowTable, number));
    if (!record) return 0;
    const bool dynamic = number == AnyNumber;
    if (dynamic) number = ObjectTableDynamicNumber(record);
    if (!WindowPlatformOpen(record, number, x, y, innerWidth, innerHeight, title, flags, parent)) {
        ObjectTableFree(WindowTable, number);
        return 0;
    }
    return dynamic ? number : record->window;
}

NativeHandle WindowHandle(ObjectNumber number) {
    WindowRecord* record = RecordOf(number);
    return record ? record->window : 0;
}

void WindowClose(ObjectNumber number) {
    if (!WindowTable) return;
    if (number == AnyNumber) {
        ObjectTableFreeAll(WindowTable);
        return;
    }
    WindowRecord* record = RecordOf(number);
    if (!record) return;
    WindowPlatformClose(record, number, libraryEnding);
    // Destroying a window can raise events of its own; they go with the rest.
    EventRemoveWindow(number);
    ObjectTableFree(WindowTable, number);
}

uint32_t WindowPollEvent() {
    if (PendingEvents && PendingEvents->head) return EventPop(nullptr);
    return WindowPlatformPoll();
}
