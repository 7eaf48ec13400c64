#include "runtime/core/runtime_start.h"

void (*RuntimeReleaseWatcher)(const char* step) = nullptr;

void RuntimeReleaseStep(const char* name, void (*step)()) {
    if (RuntimeReleaseWatcher) RuntimeReleaseWatcher(name);
    step();
}
