// The graphics device: a fixed-function 3D device with render states, one
// directional light, materials, user-memory primitives, indexed meshes,
// textures and render targets, effect files, a sprite batcher and text fonts.
//
// Conventions throughout: row vectors, left-handed, clip depth 0..1, pixel
// (0, 0) at the top left of a target, texture v = 0 at the top row of a
// picture, and CULL_CCW culls triangles that appear counter-clockwise on
// screen.  Two backends: OpenGL 3.3 in the main window, and a null device
// that keeps the state and counts the work without drawing.
//
// Every object is reference counted; Release(p) drops one reference and sets
// the handle to null, and does nothing on a null handle.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "math/vecmath.h"

namespace gfx {

// --- results, formats, flags --------------------------------------------------
using HResult = int32_t;
constexpr HResult S_OK = 0;
constexpr HResult E_FAIL = static_cast<HResult>(0x80004005u);
inline bool Failed(HResult hr) { return hr < 0; }

enum Format : uint32_t {
    FMT_UNKNOWN = 0,
    FMT_A8R8G8B8 = 21,
    FMT_X8R8G8B8 = 22,
    FMT_D16 = 80,
    FMT_R32F = 114,
};

enum Usage : uint32_t { USAGE_RENDERTARGET = 0x1, USAGE_DEPTHSTENCIL = 0x2 };
enum Pool : uint32_t { POOL_DEFAULT = 0, POOL_MANAGED = 1 };

enum RenderState : uint32_t {
    RS_ZENABLE = 7,
    RS_ZWRITEENABLE = 14,
    RS_SRCBLEND = 19,
    RS_DESTBLEND = 20,
    RS_CULLMODE = 22,
    RS_ALPHABLENDENABLE = 27,
    RS_FOGENABLE = 28,
    RS_SPECULARENABLE = 29,
    RS_FOGCOLOR = 34,
    RS_FOGSTART = 36,
    RS_FOGEND = 37,
    RS_LIGHTING = 137,
    RS_AMBIENT = 139,
    RS_FOGVERTEXMODE = 140,
    RS_POINTSIZE = 154,
    RS_POINTSIZE_MIN = 155,
    RS_POINTSPRITEENABLE = 156,
    RS_POINTSCALEENABLE = 157,
    RS_POINTSCALE_A = 158,
    RS_POINTSCALE_B = 159,
    RS_POINTSCALE_C = 160,
};
enum : uint32_t { ZB_FALSE = 0, ZB_TRUE = 1 };
enum : uint32_t { BLEND_ZERO = 1, BLEND_ONE = 2, BLEND_SRCALPHA = 5, BLEND_INVSRCALPHA = 6 };
enum : uint32_t { CULL_NONE = 1, CULL_CW = 2, CULL_CCW = 3 };
enum : uint32_t { FOG_NONE = 0, FOG_LINEAR = 3 };
// Float-valued states travel as their bits.
uint32_t FloatBits(float f);
float BitsFloat(uint32_t bits);

enum TextureStageState : uint32_t {
    TSS_COLOROP = 1,
    TSS_COLORARG1 = 2,
    TSS_COLORARG2 = 3,
    TSS_ALPHAOP = 4,
    TSS_ALPHAARG1 = 5,
    TSS_ALPHAARG2 = 6,
    TSS_TEXTURETRANSFORMFLAGS = 24,
};
enum : uint32_t { TOP_MODULATE = 4, TA_DIFFUSE = 0, TA_TEXTURE = 2 };
enum : uint32_t { TTFF_DISABLE = 0, TTFF_COUNT2 = 2 };
enum SamplerState : uint32_t { SAMP_MAGFILTER = 5, SAMP_MINFILTER = 6, SAMP_MIPFILTER = 7 };
// TEXF_NONE is for the mip filter only: the top level alone is sampled.
enum : uint32_t { TEXF_NONE = 0, TEXF_POINT = 1, TEXF_LINEAR = 2 };

enum TransformState : uint32_t { TS_VIEW = 2, TS_PROJECTION = 3, TS_TEXTURE0 = 16, TS_WORLD = 256 };

// Vertex layouts, as flags.
enum : uint32_t {
    FVF_XYZ = 0x002,
    FVF_NORMAL = 0x010,
    FVF_DIFFUSE = 0x040,
    FVF_TEX1 = 0x100,
};
uint32_t FvfStride(uint32_t fvf);

enum PrimitiveType : uint32_t { PT_POINTLIST = 1, PT_TRIANGLELIST = 4, PT_TRIANGLEFAN = 6 };
enum : uint32_t { CLEAR_TARGET = 0x1, CLEAR_ZBUFFER = 0x2, CLEAR_STENCIL = 0x4 };

// --- plain records -------------------------------------------------------------
struct ColorValue {
    float r, g, b, a;
};
struct Material {
    ColorValue diffuse, ambient, specular, emissive;
    float power;
};
enum LightType : uint32_t { LIGHT_POINT = 1, LIGHT_SPOT = 2, LIGHT_DIRECTIONAL = 3 };
struct Light {
    LightType type;
    ColorValue diffuse, specular, ambient;
    Vec3 position, direction;
};
struct SurfaceDesc {
    Format format;
    uint32_t usage;
    Pool pool;
    uint32_t width, height;
};
struct Rect {
    int32_t left, top, right, bottom;
};
struct PresentParameters {
    uint32_t backBufferWidth, backBufferHeight;
    Format backBufferFormat;
    bool windowed;
};

// --- objects ----------------------------------------------------------------------
struct Object;
struct Texture;
struct Surface;
struct Mesh;
struct Effect;
struct Font;
struct Sprite;

void AddRef(Object* o);
// Drops one reference; frees the object at zero.
void ReleaseObject(Object* o);
template <class T>
T* Retain(T* p)
{
    AddRef(reinterpret_cast<Object*>(p));
    return p;
}
template <class T>
void Release(T*& p)
{
    if (p) ReleaseObject(reinterpret_cast<Object*>(p));
    p = nullptr;
}

// --- the device ---------------------------------------------------------------------
enum class Backend { OpenGL, Null };

// Creates the device on the main window (OpenGL) or without one (Null).
// Returns false with a reason on stderr when it cannot.
bool CreateDevice(Backend backend, const PresentParameters& pp);
void ReleaseDevice();
bool DeviceExists();
Backend CurrentBackend();
// Format of the display the window sits on.
Format DisplayModeFormat();
const PresentParameters& CurrentPresentParameters();
// New size and mode for the back buffer and window; every render state goes
// back to its default.  E_FAIL when the display cannot show the mode or the
// back buffer cannot be made: the device and window then stay as they were.
HResult Reset(const PresentParameters& pp);

HResult BeginScene();
HResult EndScene();
// Shows the back buffer; no waiting for the vertical retrace.
HResult Present();
HResult Clear(uint32_t flags, uint32_t argb, float z, uint32_t stencil);
HResult SetViewport(const Viewport& vp);
Viewport GetViewport();

HResult SetRenderState(RenderState state, uint32_t value);
uint32_t GetRenderState(RenderState state);
HResult SetTextureStageState(uint32_t stage, TextureStageState type, uint32_t value);
HResult SetSamplerState(uint32_t sampler, SamplerState type, uint32_t value);
HResult SetTransform(TransformState state, const Mat4& m);
Mat4 GetTransform(TransformState state);
HResult SetLight(uint32_t index, const Light& light);
HResult LightEnable(uint32_t index, bool enable);
HResult SetMaterial(const Material& m);
HResult SetTexture(uint32_t stage, Texture* tex);
HResult SetFVF(uint32_t fvf);

// Draws from user memory in the current vertex layout.
HResult DrawPrimitiveUP(PrimitiveType type, uint32_t primitiveCount, const void* vertices,
                        uint32_t stride);

// --- textures and surfaces -------------------------------------------------------------
// `levels` 0 asks for the full chain down to 1 x 1; a render target is drawn
// into at level 0 only and has that level alone.
HResult CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                      Format format, Pool pool, Texture** out);
// Replaces level 0 with ARGB pixels, rows top first; the lower levels are
// rebuilt from it, each texel the average of four above.
HResult UpdateTexture(Texture* tex, const uint32_t* argb, uint32_t width, uint32_t height);
HResult GetLevelDesc(Texture* tex, uint32_t level, SurfaceDesc* desc);
HResult GetSurfaceLevel(Texture* tex, uint32_t level, Surface** out);
HResult CreateDepthStencilSurface(uint32_t width, uint32_t height, Format format,
                                  Surface** out);
HResult GetBackBuffer(Surface** out);
HResult GetDepthStencilSurface(Surface** out);
HResult SetRenderTarget(uint32_t index, Surface* surface);
HResult SetDepthStencilSurface(Surface* surface);
HResult GetSurfaceDesc(Surface* surface, SurfaceDesc* desc);
// Reads a colour surface as ARGB, rows top first (R32F reads the red channel
// as a grey level scaled by 255, alpha 255); `floats` gets the raw values of
// an R32F surface when given.
HResult ReadSurface(Surface* surface, std::vector<uint32_t>* argb,
                    std::vector<float>* floats = nullptr);
// A colour surface as the bytes of a 24-bit BMP file.
HResult EncodeSurfaceBmp(Surface* surface, std::string* bytes);
// Writes a colour surface to a 24-bit BMP file.
HResult SaveSurfaceToBmp(Surface* surface, const char* path);

// --- meshes -------------------------------------------------------------------------------
// An indexed triangle mesh whose faces are grouped into subsets; the geometry
// stays readable on the CPU as well.
struct AttributeRange {
    uint32_t attribId, faceStart, faceCount, vertexStart, vertexCount;
};
HResult CreateMesh(uint32_t fvf, const void* vertices, uint32_t vertexCount,
                   const uint32_t* indices, uint32_t faceCount, const uint32_t* faceAttributes,
                   Mesh** out);
uint32_t MeshFVF(Mesh* mesh);
uint32_t MeshVertexCount(Mesh* mesh);
uint32_t MeshFaceCount(Mesh* mesh);
const void* MeshVertices(Mesh* mesh);   // vertexCount x FvfStride(fvf) bytes
const uint32_t* MeshIndices(Mesh* mesh);  // 3 per face
const uint32_t* MeshAttributes(Mesh* mesh);  // subset id per face
// Draws the faces of subset `attribId` with the current state.
HResult DrawSubset(Mesh* mesh, uint32_t attribId);

// --- effects --------------------------------------------------------------------------------
// Effect files hold techniques of GLSL passes and named parameters (matrix,
// vector, float, texture).  An unknown technique or parameter name is ignored.
HResult CreateEffectFromFile(const char* path, Effect** out, std::string* errors);
HResult EffectSetTechnique(Effect* fx, const char* technique);
HResult EffectBegin(Effect* fx, uint32_t* passes);
HResult EffectBeginPass(Effect* fx, uint32_t pass);
HResult EffectCommitChanges(Effect* fx);
HResult EffectEndPass(Effect* fx);
HResult EffectEnd(Effect* fx);
HResult EffectSetMatrix(Effect* fx, const char* name, const Mat4& m);
HResult EffectSetVector(Effect* fx, const char* name, const Vec4& v);
HResult EffectSetFloat(Effect* fx, const char* name, float f);
HResult EffectSetTexture(Effect* fx, const char* name, Texture* tex);

// --- sprites --------------------------------------------------------------------------------
enum : uint32_t { SPRITE_ALPHABLEND = 0x10 };
HResult CreateSprite(Sprite** out);
HResult SpriteBegin(Sprite* s, uint32_t flags);
HResult SpriteSetTransform(Sprite* s, const Mat4& m);
// Draws `src` of the texture (whole texture when null) with its `center`
// (origin when null) placed at `position` (origin when null), in back-buffer
// pixels through the sprite transform, modulated by `argb`.
HResult SpriteDraw(Sprite* s, Texture* tex, const Rect* src, const Vec3* center,
                   const Vec3* position, uint32_t argb);
HResult SpriteEnd(Sprite* s);
HResult SpriteOnLostDevice(Sprite* s);
HResult SpriteOnResetDevice(Sprite* s);

// --- fonts ----------------------------------------------------------------------------------
// DT_CENTER: each line centred between rect's left and right.
enum : uint32_t { DT_LEFT = 0x0, DT_CENTER = 0x1, DT_NOCLIP = 0x100 };
// A heavy TrueType face `height` pixels high (ascender to descender),
// rendered from `ttfPath`.  A file that is missing, damaged or no font fails
// with *error naming the file and the problem; nothing is printed.
HResult CreateFont(int height, int weight, const char* ttfPath, Font** out,
                   std::string* error = nullptr);
// The face built into the platform (printable ASCII in a dot matrix) on lines
// `height` pixels high: the stand-in when a font file cannot serve.
HResult CreateBuiltinFont(int height, Font** out);
// Draws text with its top left at rect's top left; returns the height drawn.
int FontDrawText(Font* f, Sprite* sprite, const char* text, int count, const Rect* rect,
                 uint32_t format, uint32_t argb);
// The widest line's advance in pixels, as FontDrawText would draw it.
int FontTextWidth(Font* f, const char* text, int count);
HResult FontOnLostDevice(Font* f);
HResult FontOnResetDevice(Font* f);

// --- counters ---------------------------------------------------------------------------------
struct FrameStats {
    uint64_t draws;      // draw calls the game made
    uint64_t glDraws;    // draws the backend issued
    uint64_t vertices;   // vertices sent
    uint64_t subsets;    // mesh subsets drawn
    uint64_t triangles;  // triangles drawn
};
// Counts of the frame presented last, and totals over all presented frames.
FrameStats LastFrameStats();
FrameStats TotalStats();
uint64_t FramesPresented();
uint64_t MaxGlDrawsPerFrame();

// Time by pass.  MarkPass ends the pass that runs and starts the one named
// (a string that lives as long as the program, such as a literal); Present
// ends the last one and times itself as "present".  With the renderer
// waited for at every mark (SetPassSync), a pass's time is the drawing it
// asked for, not only the asking: slower, for measuring a renderer that
// draws late, as software ones do.
void MarkPass(const char* name);
void SetPassSync(bool on);
bool PassSync();
struct PassTime {
    const char* name;
    double totalMs;
    uint64_t count;  // times the pass ran
};
// Every pass timed so far, in the order first seen (at most 24 names; the
// ones past that are not timed).
std::vector<PassTime> PassTimes();

}  // namespace gfx
