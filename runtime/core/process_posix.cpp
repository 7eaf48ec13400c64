#include "runtime/core/process.h"

#include <cstdio>
#include <cstdlib>

// There are no module handles here.
intptr_t ProcessModuleHandle() { return 0; }

void ProcessShowFailure(const char16_t* message) {
    for (const char16_t* p = message; p && *p; ++p) std::fputc(*p < 0x80 ? static_cast<int>(*p) : '?', stderr);
    std::fputc('\n', stderr);
}

void ProcessExit(int code) { std::exit(code); }
