// Under node, on a stand-in page: windows closed while the program runs, one
// by one or all at once, take their canvases off the page; the runtime's end
// leaves them there with their last picture. Prints the counts; exit code 0
// when they are right.
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

int main() {
    StandInPage();
    auto open = [](ObjectNumber n) { return WindowOpen(n, 0, 0, 8, 8, u"Wirlo", 0) != 0; };
    const bool opened = open(0) && open(1) && open(2);
    WindowClose(2);
    const int afterOne = CanvasesOnPage();
    WindowClose(AnyNumber);
    const int afterAll = CanvasesOnPage();
    open(0);
    WindowLibEnd();
    const int afterEnd = CanvasesOnPage();
    std::printf("opened %d, one closed %d, all closed %d, at the end %d\n", opened, afterOne, afterAll, afterEnd);
    return opened && afterOne == 2 && afterAll == 0 && afterEnd == 1 ? 0 : 1;
}
