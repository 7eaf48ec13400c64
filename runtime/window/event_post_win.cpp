// The hidden receiver window through which other threads hand events to the
// queue, and the library's start-up and shutdown.
#include "runtime/core/main_heap.h"
#include "runtime/core/module_instance.h"
#include "runtime/window/event_bindings.h"
#include "runtime/window/event_queue.h"
#include "runtime/window/window_win.h"

namespace {

HWND receiver = nullptr;
UINT postMessageId = 0;

// Block layout of an event posted across threads, in 32-bit words.
enum { kWordCode = 1, kWordObject, kWordWindow, kWordData, kWordExtra, kWordCount };

LRESULT CALLBACK ReceiverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (postMessageId && msg == postMessageId && lParam) {
        auto* block = reinterpret_cast<int32_t*>(lParam);
        EventQueueAppend(EventQueueInit(), static_cast<uint32_t>(block[kWordCode]), block[kWordObject],
                         block[kWordWindow], block[kWordData], block[kWordExtra]);
        MainFree(block);
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

void EventPostInit() {
    EventQueueInit();
    EventBindingsInit();
    if (receiver) return;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(ModuleInstanceInit());
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &ReceiverProc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = "PostEventClass";
    RegisterClassA(&wc);  // already registered after an earlier start-up: fine
    receiver = CreateWindowExA(0, "PostEventClass", nullptr, WS_CAPTION, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr);
    postMessageId = RegisterWindowMessageA("QZ_PostEventMessage");
}

void EventPostEnd() {
    if (receiver) DestroyWindow(receiver);
    receiver = nullptr;
    EventBindingsEnd();
    EventQueueDestroy(PendingEvents);
    PendingEvents = nullptr;
}

uint32_t EventPostMessage() { return postMessageId; }

NativeHandle EventPostWindow() { return reinterpret_cast<NativeHandle>(receiver); }

bool EventPostAcrossThreads(uint32_t code, int32_t object, int32_t window, int32_t data, int32_t extra) {
    if (!receiver || !postMessageId) return false;
    auto* block = static_cast<int32_t*>(MainAlloc(kWordCount * sizeof(int32_t)));
    if (!block) return false;
    block[kWordCode] = static_cast<int32_t>(code);
    block[kWordObject] = object;
    block[kWordWindow] = window;
    block[kWordData] = data;
    block[kWordExtra] = extra;
    if (!PostMessageW(receiver, postMessageId, 0, reinterpret_cast<LPARAM>(block))) {
        MainFree(block);
        return false;
    }
    return true;
}
