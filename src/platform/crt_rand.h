// The game's two random generators, both the classic C run-time linear
// congruential generator (0..32767, identical on every host):
//   seed = seed x 214013 + 2531011; result = (seed >> 16) & 0x7FFF
// Never use the host C library's rand(): its range and sequence differ.
//
// Rand() is the rules' generator.  It serves only what changes the battle:
// the computer's decisions, damage, the spread and drift of shots, a hit's
// jolt, where and as what units come back, a wreck's tumble, the ground's
// heights.  EyeRand() serves what only the eye or ear takes in: particle
// looks, sizes and lives, tints, the camera's shake, the HUD's wobble, and
// every effect spawned only while it is in view.  Ask of each draw: would
// the battle go on differently without it?  If not, it is the eye's.  A
// draw made only on steps that are drawn, or only for what the camera sees,
// must never take from Rand(), or a slower machine, another view or a
// replay sees a different battle.
#pragma once

#include <cstdint>

constexpr int kRandMax = 32767;

// --- the rules' generator ---------------------------------------------------------------
int Rand();
// Seeds the generator.  While a fixed seed is set (--seed), every call seeds
// with that value instead of `seed`, so runs seeded from the clock repeat.
void Srand(uint32_t seed);
void SetFixedSeed(bool enabled, uint32_t seed);
// Where the generator stands, for the battle's state hash.
uint32_t RandState();

// One draw as a fraction in [0, 1): Rand() / 32768.
inline float RandFraction() { return static_cast<float>(Rand()) / 32768.0f; }

// --- the eye's generator ----------------------------------------------------------------
int EyeRand();
void EyeSrand(uint32_t seed);
inline float EyeRandFraction() { return static_cast<float>(EyeRand()) / 32768.0f; }
