#include "runtime/core/main_heap.h"

PrivateHeap* MainHeap = nullptr;

namespace {
int failingResizes = 0;  // MainReAllocFailNext
}

PrivateHeap* MainHeapInit() {
    if (!MainHeap) MainHeap = PrivateHeapCreate(4096, 0);
    return MainHeap;
}

void MainHeapEnd() {
    if (MainHeap) PrivateHeapDestroy(MainHeap);
    MainHeap = nullptr;
}

void* MainAlloc(size_t size) {
    PrivateHeap* heap = MainHeapInit();
    return heap ? PrivateHeapAlloc(heap, size, true) : nullptr;
}

void* MainReAlloc(void* block, size_t size) {
    if (!block) return MainAlloc(size);
    if (failingResizes > 0) {
        --failingResizes;
        return nullptr;
    }
    return PrivateHeapReAlloc(MainHeap, block, size, true);
}

void MainReAllocFailNext(int count) { failingResizes = count; }

void MainFree(void* block) {
    if (block && MainHeap) PrivateHeapFree(MainHeap, block);
}

void* RuntimeAlloc(size_t size, void (*initialiser)(void* block)) {
    void* block = MainAlloc(size);
    if (block && initialiser) initialiser(block);
    return block;
}
