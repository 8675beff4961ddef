// Inside the graphics device: the objects, the device state, the vertex the
// batcher collects, and the narrow table each backend fills.
#pragma once

#include <string>
#include <vector>

#include "platform/gfx.h"

namespace gfx {
// How many draws the test hooks' draw log holds (0 when none is kept), so a
// sprite's record can say which draws came before it.
size_t RecordedDrawCount();

enum class ObjType { Texture, Surface, Mesh, Effect, Font, Sprite };

// Objects alive now, of every type: what a test compares before and after
// a load and its release.
inline int gLiveObjects = 0;

struct Object {
    ObjType type;
    int refs = 1;
    Object() { ++gLiveObjects; }
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    ~Object() { --gLiveObjects; }
};

struct Texture : Object {
    uint32_t width = 0, height = 0, levels = 1, usage = 0;
    Format format = FMT_A8R8G8B8;
    Pool pool = POOL_MANAGED;
    uint32_t glTexture = 0;
    // Level 0 as a surface: made on the first GetSurfaceLevel and kept, so
    // asking for it again every frame returns the same object.
    struct Surface* level0 = nullptr;
};

struct Surface : Object {
    enum Kind { BackBuffer, TextureLevel, Depth } kind = BackBuffer;
    Texture* owner = nullptr;  // TextureLevel: holds a reference while the surface is held
    uint32_t width = 0, height = 0;
    Format format = FMT_A8R8G8B8;
    uint32_t glRenderbuffer = 0;  // Depth
};

struct SubsetRange {
    uint32_t attribId, firstIndex, indexCount;
};

struct Mesh : Object {
    uint32_t fvf = 0, stride = 0, vertexCount = 0, faceCount = 0;
    std::vector<uint8_t> vertices;
    std::vector<uint32_t> indices;     // as given, 3 per face
    std::vector<uint32_t> attributes;  // per face
    std::vector<uint32_t> drawIndices; // faces grouped by subset
    std::vector<SubsetRange> subsets;
    uint32_t glVao = 0, glVbo = 0, glIbo = 0;
};

enum class ParamType { Matrix, Vector, Float, Texture };

struct EffectParam {
    std::string name;
    ParamType type;
    float value[16] = {};
    Texture* texture = nullptr;  // not owned, as the effect system never owned it
};

struct EffectPass {
    std::string vertexSource, fragmentSource;
    uint32_t glProgram = 0;
    std::vector<int> uniformLocations;  // one per parameter, -1 when unused
};

struct EffectTechnique {
    std::string name;
    std::vector<EffectPass> passes;
};

struct Effect : Object {
    std::string path;
    std::vector<EffectParam> params;
    std::vector<EffectTechnique> techniques;
    int technique = 0;
    bool begun = false;
    int pass = -1;
};

struct DeviceState;

struct Sprite : Object {
    bool begun = false;
    Mat4 transform = MatIdentity();
    std::vector<uint8_t> saved;  // the device state while the batch runs
};

struct Glyph {
    float x0, y0, x1, y1;  // atlas texels
    float xoff, yoff, advance;
};

// A font draws characters 32..255, one glyph each; the others are skipped.
constexpr int kFontFirstChar = 32;
constexpr int kFontGlyphs = 224;

struct Font : Object {
    int height = 0;
    float ascent = 0;  // line top to baseline, pixels
    Texture* atlas = nullptr;
    Glyph glyphs[kFontGlyphs] = {};
    Sprite* ownSprite = nullptr;
};

// One vertex as the batcher hands it to a backend: world-space position and
// normal (the world transform is already applied), colour, texture pair and
// point size.
struct BatchVertex {
    float pos[3];
    float normal[3];
    uint32_t color;  // ARGB
    float uv[2];
    float pointSize;
    float flags;     // bit 0: has colour, bit 1: has normal, bits 2-4: texture slot
};

// A batch may draw from this many textures, each vertex naming its own.
constexpr uint32_t kBatchTextures = 8;

enum : uint32_t { kStateCount = 256 };

struct DeviceState {
    uint32_t rs[kStateCount];
    uint32_t texTransformFlags;
    Mat4 world, view, proj, tex0;
    Light light;
    bool lightEnabled;
    Material material;
    Texture* texture;  // stage 0
    // Sampler 0 (TEXF_*): every texture the device samples is filtered so.
    uint32_t magFilter, minFilter, mipFilter;
    uint32_t fvf;
    Viewport viewport;
    Surface* colorTarget;
    Surface* depthTarget;
    Effect* effect;  // set while an effect pass runs
    int effectPass;
    bool spriteMode;  // clamp addressing for sprite and text quads
};

struct DeviceBackend {
    bool (*init)(const PresentParameters& pp);
    void (*shutdown)();
    bool (*resize)(uint32_t width, uint32_t height);  // false: no back buffer of that size
    Format (*displayFormat)();
    bool (*createTexture)(Texture* tex);
    void (*uploadTexture)(Texture* tex, const uint32_t* argb);
    void (*destroyTexture)(Texture* tex);
    bool (*createDepth)(Surface* s);
    void (*destroyDepth)(Surface* s);
    void (*clear)(const DeviceState& st, uint32_t flags, uint32_t argb, float z);
    void (*drawBatch)(const DeviceState& st, PrimitiveType type, const BatchVertex* v,
                      uint32_t count, Texture* const* textures, uint32_t textureCount);
    bool (*createMesh)(Mesh* m);
    void (*destroyMesh)(Mesh* m);
    void (*drawMesh)(const DeviceState& st, Mesh* m, const SubsetRange& r);
    bool (*compileEffect)(Effect* fx, std::string* errors);
    void (*destroyEffect)(Effect* fx);
    bool (*present)();
    bool (*readSurface)(const DeviceState& st, Surface* s, std::vector<uint32_t>* argb,
                        std::vector<float>* floats);
    void (*finish)();  // waits until everything asked has been drawn; null: nothing to wait for
};

extern const DeviceBackend kGLBackend;
extern const DeviceBackend kNullBackend;

// The back-buffer surface object of the running device.
Surface* BackBufferSurface();
// The live state, for the sprite, font and effect code.
DeviceState& State();
void FlushBatch();
// Appends a user-memory draw to the batch; `gameDraw` counts it as one of
// the draws the game asked for.
HResult DrawUP(PrimitiveType type, uint32_t primitiveCount, const void* vertices,
               uint32_t stride, bool gameDraw);
void CountDraw();
const DeviceBackend& CurrentDeviceBackend();

}  // namespace gfx
