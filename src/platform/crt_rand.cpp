#include "platform/crt_rand.h"

static uint32_t gSeed = 1;
static bool gFixed = false;
static uint32_t gFixedSeed = 0;

int Rand()
{
    gSeed = gSeed * 214013u + 2531011u;
    return static_cast<int>((gSeed >> 16) & 0x7FFF);
}

void Srand(uint32_t seed) { gSeed = gFixed ? gFixedSeed : seed; }

void SetFixedSeed(bool enabled, uint32_t seed)
{
    gFixed = enabled;
    gFixedSeed = seed;
}
