// Hooks into the platform layer for tests and benchmarks only: they set or
// read state that the game itself never touches.  Game code does not include
// this header (scripts/check-sources.sh refuses it outside tests and bench).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "platform/gfx.h"
#include "platform/system.h"

// Keeps every picture file decoded by ReadImageFile, so a test suite that
// loads the same pictures for every test decodes each once; a file rewritten
// since is read again.  Off (the game's way) clears the store.
void KeepDecodedPictures(bool keep);

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
// Every sprite and text drawn while recording: the sprite's picture and
// rectangle of it, its corners on the target after the sprite transform
// (lo the smaller x and y), and its colour; a text with its font,
// rectangle, format and colour.
struct DrawnSprite {
    const Texture* texture;
    Rect src;
    Vec3 lo, hi;
    uint32_t argb;
    size_t drawsBefore;  // draws in the RecordDraws log when it was drawn (0 without one)
};
struct DrawnText {
    const Font* font;
    std::string text;
    Rect rect;
    uint32_t format, argb;
};
// Starts recording into the given lists (either may be null), or stops.
void RecordSprites(std::vector<DrawnSprite>* sprites, std::vector<DrawnText>* texts);
// Every draw call the game makes while recording (sprites and text are
// recorded by RecordSprites instead): the mesh and subset for a mesh draw
// (null for vertices from memory), the texture and effect, the world
// transform, the primitives, the first and last vertices placed in the
// world and the first one's colour, the blending and the point sprites' least size.
struct DrawnCall {
    const Mesh* mesh;
    uint32_t subset;
    const Texture* texture;
    const Effect* effect;
    Mat4 world;
    PrimitiveType type;
    uint32_t primitives;
    Vec3 firstVertex, lastVertex;
    uint32_t firstColour;
    float firstU, firstV;  // the first vertex's texture pair (0, 0 without one)
    bool alphaBlend;
    uint32_t destBlend;
    float pointSizeMin;  // the least size of a point sprite on the screen
    float scrollU;       // how far the texture transform moves u (0 without one)
};
// Starts recording into the list, or stops (null).
void RecordDraws(std::vector<DrawnCall>* calls);
// Makes texture creation refuse a format, as a device without it would.
void RefuseTextureFormat(Format format);
// Makes every Reset fail, as a display without the mode would.
void RefuseResets(bool refuse);
}  // namespace gfx

namespace snd {
// The listener as set.
Vec3 ListenerPosition();
void ListenerOrientation(Vec3* front, Vec3* top);
// The gain the null device was last asked to play a buffer at: the
// listener's gain times the buffer's (0 for no buffer).
float NullDeviceGain(Buffer* b);
}  // namespace snd

namespace sys {
// Where the virtual clock stands.
void SetVirtualTime(uint32_t ms);
// Makes every presented frame take this many more virtual milliseconds, as
// a slow renderer would.
void SetVirtualDrawCost(uint32_t ms);
}  // namespace sys
