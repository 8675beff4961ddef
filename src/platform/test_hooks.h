// Hooks into the platform layer for tests and benchmarks only: they set or
// read state that the game itself never touches.  Game code does not include
// this header (scripts/check-sources.sh refuses it outside tests and bench).
#pragma once

#include <cstdint>

#include "platform/audio.h"
#include "platform/gfx.h"
#include "platform/system.h"

// Objects made with operator new on the calling thread since the program
// started (the game's own code and the C++ libraries; C libraries that call
// malloc are not seen).
uint64_t HeapAllocationsOnThisThread();

namespace gfx {
// A parameter's current value; false when the effect has no such parameter.
bool EffectGetFloat(Effect* fx, const char* name, float* f);
bool EffectGetVector(Effect* fx, const char* name, Vec4* v);
bool EffectHasTechnique(Effect* fx, const char* technique);
// Device objects alive now (textures, surfaces, meshes, effects, fonts,
// sprites): a load and its release leave the count where it was.
int LiveObjects();
// Merging of consecutive user-memory draws (on by default); off draws each alone.
void SetBatching(bool on);
// Makes texture creation refuse a format, as a device without it would.
void RefuseTextureFormat(Format format);
// Makes every Reset fail, as a display without the mode would.
void RefuseResets(bool refuse);
}  // namespace gfx

namespace snd {
// The listener as set.
Vec3 ListenerPosition();
void ListenerOrientation(Vec3* front, Vec3* top);
}  // namespace snd

namespace sys {
// Where the virtual clock stands.
void SetVirtualTime(uint32_t ms);
}  // namespace sys
