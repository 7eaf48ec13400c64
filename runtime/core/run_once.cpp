#include "runtime/core/block_pool.h"

void RunOnce(intptr_t volatile* state, void (*initialiser)()) {
    if (PlatformRunOnce(state, initialiser)) return;
    // Without the system's one-time initialisation the state word itself is the
    // flag: 0 not started, 1 running, 2 done.
    intptr_t expected = 0;
    if (__atomic_compare_exchange_n(state, &expected, 1, false, __ATOMIC_ACQ_REL, __ATOMIC_ACQUIRE)) {
        initialiser();
        __atomic_store_n(state, 2, __ATOMIC_RELEASE);
        return;
    }
    while (__atomic_load_n(state, __ATOMIC_ACQUIRE) != 2) YieldThread();
}
