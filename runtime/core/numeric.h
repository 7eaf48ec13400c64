// Rounding and random numbers.
#pragma once

#include <cstdint>

// x truncated toward zero (2.7 -> 2, -2.7 -> -2), independent of the rounding
// mode. Outside the 32-bit range: the low 32 bits of the value truncated to a
// 64-bit integer (0 for NaN and for values beyond the 64-bit range).
int32_t TruncToInt(double x);

// Restarts the generator; the sequence depends only on seed.
void RandomSeed(int32_t seed);
// A value in 0..max inclusive for max >= 0; for max = -1 the raw 32-bit output.
// An unseeded generator is first seeded from the thread id and the tick count.
// Other negative values of max are taken as the unsigned 32-bit range max + 1.
int32_t RandomUpTo(int32_t max);
