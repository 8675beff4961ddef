#include "platform/crt_rand.h"

namespace {
uint32_t gSeed = 1;
bool gFixed = false;
uint32_t gFixedSeed = 0;
uint32_t gEyeSeed = 1;

int Next(uint32_t& seed)
{
    seed = seed * 214013u + 2531011u;
    return static_cast<int>((seed >> 16) & 0x7FFF);
}
}  // namespace

int Rand() { return Next(gSeed); }

void Srand(uint32_t seed) { gSeed = gFixed ? gFixedSeed : seed; }

void SetFixedSeed(bool enabled, uint32_t seed)
{
    gFixed = enabled;
    gFixedSeed = seed;
}

uint32_t RandState() { return gSeed; }

int EyeRand() { return Next(gEyeSeed); }

void EyeSrand(uint32_t seed) { gEyeSeed = seed; }
