#include "runtime/core/numeric.h"

#include <cmath>

#include "runtime/core/platform.h"

int32_t TruncToInt(double x) {
    // Casting a double to an integer truncates in C++ whatever the FPU rounding
    // mode; guard the values a 64-bit integer cannot hold, whose cast is undefined.
    if (!(x > -9223372036854775808.0 && x < 9223372036854775808.0)) return 0;
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(x))));
}

// RANROT type W: 17 pairs of 32-bit words, lag 10, rotations 19 and 27.
namespace {

struct Generator {
    uint32_t a[17];
    uint32_t b[17];
    int i;
    int j;
    bool seeded;
};
Generator generator;

inline uint32_t RotateRight(uint32_t v, unsigned r) { return (v >> r) | (v << (32 - r)); }

uint32_t Step() {
    Generator& g = generator;
    uint32_t x = RotateRight(g.b[g.i], 13) + g.b[g.j];
    uint32_t y = RotateRight(g.a[g.i], 5) + g.a[g.j];
    g.a[g.i] = x;
    g.b[g.i] = y;
    if (--g.i < 0) g.i = 16;
    if (--g.j < 0) g.j = 16;
    return x;
}

}  // namespace

void RandomSeed(int32_t seed) {
    const uint32_t k = 0x53A9B4FBu;
    uint32_t s = static_cast<uint32_t>(seed);
    generator.seeded = true;
    for (int n = 0; n < 17; ++n) {
        uint32_t t = 1u - s * k;
        generator.b[n] = t;
        s = 1u - t * k;
        generator.a[n] = s;
    }
    generator.i = 0;
    generator.j = 10;
    for (int n = 0; n < 31; ++n) Step();
}

int32_t RandomUpTo(int32_t max) {
    if (!generator.seeded) RandomSeed(static_cast<int32_t>(CurrentThreadId() ^ TickCount()));
    uint32_t x = Step();
    uint32_t range = static_cast<uint32_t>(max) + 1u;
    if (range == 0) return static_cast<int32_t>(x);
    return static_cast<int32_t>(static_cast<uint32_t>((static_cast<uint64_t>(x) * range) >> 32));
}
