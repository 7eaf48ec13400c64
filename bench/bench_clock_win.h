// The clock of the timed harnesses that run under wine64.
#pragma once

#include <windows.h>

// Seconds since some fixed point, from the performance counter.
inline double BenchNow() {
    static const double period = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return 1.0 / static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * period;
}
