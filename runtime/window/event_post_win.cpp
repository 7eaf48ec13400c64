// The hidden receiver window through which other threads hand events to the
// queue (EventReceiverCreate, window_platform.h).
#include "runtime/core/main_heap.h"
#include "runtime/core/module_instance.h"
#include "runtime/window/event_queue.h"
#include "runtime/window/window_platform.h"
#include "runtime/window/window_win.h"

namespace {

// Block layout of an event posted across threads, in 32-bit words.
enum { kWordCode = 1, kWordObject, kWordWindow, kWordData, kWordExtra, kWordCount };

LRESULT CALLBACK ReceiverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const UINT postMessageId = EventPostMessage();
    if (postMessageId && msg == postMessageId && lParam) {
        auto* block = reinterpret_cast<int32_t*>(lParam);
        EventQueueAppend(EventQueueInit(), static_cast<uint32_t>(block[kWordCode]), block[kWordObject],
                         block[kWordWindow], block[kWordData], block[kWordExtra]);
        MainFree(block);
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

EventReceiver EventReceiverCreate() {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(ModuleInstanceInit());
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &ReceiverProc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = "PostEventClass";
    RegisterClassA(&wc);  // already registered after an earlier start-up: fine
    HWND window = CreateWindowExA(0, "PostEventClass", nullptr, WS_CAPTION, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr);
    return {reinterpret_cast<NativeHandle>(window), RegisterWindowMessageA("QZ_PostEventMessage")};
}

void EventReceiverDestroy(EventReceiver receiver) {
    if (receiver.window) DestroyWindow(reinterpret_cast<HWND>(receiver.window));
}

bool EventPostAcrossThreads(uint32_t code, int32_t object, int32_t window, int32_t data, int32_t extra) {
    HWND receiver = reinterpret_cast<HWND>(EventPostWindow());
    const UINT postMessageId = EventPostMessage();
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
