#include <windows.h>

#include "runtime/core/platform.h"

static_assert(sizeof(CRITICAL_SECTION) <= sizeof(RuntimeLock::storage), "lock storage too small");

PrivateHeap* PrivateHeapCreate(size_t initialSize, size_t maximumSize) {
    return reinterpret_cast<PrivateHeap*>(HeapCreate(0, initialSize, maximumSize));
}

void PrivateHeapDestroy(PrivateHeap* heap) {
    if (heap) HeapDestroy(reinterpret_cast<HANDLE>(heap));
}

void* PrivateHeapAlloc(PrivateHeap* heap, size_t size, bool zeroFill) {
    return HeapAlloc(reinterpret_cast<HANDLE>(heap), zeroFill ? HEAP_ZERO_MEMORY : 0, size);
}

void* PrivateHeapReAlloc(PrivateHeap* heap, void* block, size_t size, bool zeroFill) {
    return HeapReAlloc(reinterpret_cast<HANDLE>(heap), zeroFill ? HEAP_ZERO_MEMORY : 0, block, size);
}

void PrivateHeapFree(PrivateHeap* heap, void* block) {
    HeapFree(reinterpret_cast<HANDLE>(heap), 0, block);
}

static CRITICAL_SECTION* AsSection(RuntimeLock* lock) {
    return reinterpret_cast<CRITICAL_SECTION*>(lock->storage);
}

void LockInit(RuntimeLock* lock) { InitializeCriticalSection(AsSection(lock)); }
void LockDelete(RuntimeLock* lock) { DeleteCriticalSection(AsSection(lock)); }
void LockEnter(RuntimeLock* lock) { EnterCriticalSection(AsSection(lock)); }
void LockLeave(RuntimeLock* lock) { LeaveCriticalSection(AsSection(lock)); }

uint32_t TickCount() { return GetTickCount(); }
uint32_t CurrentThreadId() { return GetCurrentThreadId(); }
void YieldThread() { Sleep(0); }

namespace {

// InitOnceExecuteOnce is looked up at run time: systems older than Vista lack it.
typedef BOOL(WINAPI* InitOnceCallback)(void* initOnce, void* parameter, void** context);
typedef BOOL(WINAPI* InitOnceExecuteOnceFn)(void* initOnce, InitOnceCallback callback, void* parameter,
                                            void** context);

struct OnceCall {
    void (*initialiser)();
};

BOOL WINAPI RunInitialiser(void*, void* parameter, void**) {
    static_cast<OnceCall*>(parameter)->initialiser();
    return TRUE;
}

}  // namespace

bool PlatformRunOnce(intptr_t volatile* state, void (*initialiser)()) {
    HMODULE kernel = LoadLibraryW(L"Kernel32.dll");
    if (!kernel) return false;
    auto executeOnce =
        reinterpret_cast<InitOnceExecuteOnceFn>(reinterpret_cast<void*>(GetProcAddress(kernel, "InitOnceExecuteOnce")));
    bool done = false;
    if (executeOnce) {
        OnceCall call{initialiser};
        executeOnce(const_cast<intptr_t*>(state), RunInitialiser, &call, nullptr);
        done = true;
    }
    FreeLibrary(kernel);
    return done;
}

uint32_t TlsIndexAlloc() {
    DWORD index = TlsAlloc();
    return index == TLS_OUT_OF_INDEXES ? UINT32_MAX : index;
}
void TlsIndexFree(uint32_t index) { TlsFree(index); }
void TlsIndexSet(uint32_t index, void* value) { TlsSetValue(index, value); }
void* TlsIndexGet(uint32_t index) { return TlsGetValue(index); }
