#include "runtime/core/string_heap.h"

#include <cstring>

PrivateHeap* StringHeap = nullptr;

namespace {
constexpr size_t kWorkBufferSize = 16;
void* stringWorkBuffer = nullptr;
}  // namespace

void StringLibInit() {
    if (StringHeap) return;
    StringHeap = PrivateHeapCreate(4096, 0);
    if (StringHeap) stringWorkBuffer = PrivateHeapAlloc(StringHeap, kWorkBufferSize, true);
}

void StringLibEnd() {
    if (!StringHeap) return;
    if (stringWorkBuffer) PrivateHeapFree(StringHeap, stringWorkBuffer);
    stringWorkBuffer = nullptr;
    PrivateHeapDestroy(StringHeap);
    StringHeap = nullptr;
}

size_t StringLength(const char16_t* text) {
    size_t n = 0;
    if (text)
        while (text[n]) ++n;
    return n;
}

char16_t* StringDuplicate(const char16_t* text) {
    if (!text) return nullptr;
    StringLibInit();
    if (!StringHeap) return nullptr;
    size_t bytes = (StringLength(text) + 1) * sizeof(char16_t);
    auto* copy = static_cast<char16_t*>(PrivateHeapAlloc(StringHeap, bytes, false));
    if (copy) std::memcpy(copy, text, bytes);
    return copy;
}

void StringFree(char16_t* text) {
    if (text && StringHeap) PrivateHeapFree(StringHeap, text);
}
