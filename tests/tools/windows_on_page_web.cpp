// Under node, on a stand-in page: one poll takes every browser event pending
// (a focus behind 500 clicks is returned two polls later); windows closed
// while the program runs, one by one or all at once, take their canvases off
// the page; the runtime's end leaves them there with their last picture.
// Prints what it saw; exit code 0 when it is right.
#include <emscripten.h>

#include <cstdio>

#include "runtime/window/window.h"

EM_JS(void, StandInPage, (), {
    const body = {children: [], appendChild(c) { this.children.push(c); }};
    globalThis.addEventListener = () => {};
    globalThis.document = {body, title: "", createElement: () => ({
        style: {}, addEventListener() {}, remove() { body.children.splice(body.children.indexOf(this), 1); }})};
});
EM_JS(int, CanvasesOnPage, (), { return document.body.children.length; });
// Queues clicks on window 0 and then its focus, as [kind, button, number, handle].
EM_JS(void, QueueClicksThenFocus, (int clicks), {
    for (let i = 0; i < clicks; ++i) Module.wirloEvents.push([1, 0, 0, 1]);
    Module.wirloEvents.push([3, 0, 0, 1]);
});
EM_JS(int, BrowserEventsLeft, (), { return Module.wirloEvents.length; });

int main() {
    StandInPage();
    auto open = [](ObjectNumber n) { return WindowOpen(n, 0, 0, 8, 8, u"Wirlo", 0) != 0; };
    const bool opened = open(0) && open(1) && open(2);
    QueueClicksThenFocus(500);
    WindowPollEvent();
    const int left = BrowserEventsLeft();
    const uint32_t first = WindowPollEvent(), second = WindowPollEvent();  // identical clicks come once
    const bool drained = left == 0 && first == EventLeftButtonUp && second == EventWindowActivated;
    WindowClose(2);
    const int afterOne = CanvasesOnPage();
    WindowClose(AnyNumber);
    const int afterAll = CanvasesOnPage();
    open(0);
    WindowLibEnd();
    const int afterEnd = CanvasesOnPage();
    std::printf("opened %d; one poll left %d events, then %u, %u; canvases: one closed %d, all closed %d, at the "
                "end %d\n", opened, left, first, second, afterOne, afterAll, afterEnd);
    return opened && drained && afterOne == 2 && afterAll == 0 && afterEnd == 1 ? 0 : 1;
}
