// The random generator every game routine draws from: the classic C run-time
// linear congruential generator, 0..32767, identical on every host.
//   seed = seed x 214013 + 2531011; result = (seed >> 16) & 0x7FFF
// Never use the host C library's rand(): its range and sequence differ.
#pragma once

#include <cstdint>

constexpr int kRandMax = 32767;

int Rand();
// Seeds the generator.  While a fixed seed is set (--seed), every call seeds
// with that value instead of `seed`, so runs seeded from the clock repeat.
void Srand(uint32_t seed);
void SetFixedSeed(bool enabled, uint32_t seed);

// One draw as a fraction in [0, 1): Rand() / 32768.
inline float RandFraction() { return static_cast<float>(Rand()) / 32768.0f; }
