// The backend-independent half of the graphics device: object lifetimes, the
// device state, and the batcher that merges consecutive user-memory draws
// sharing their state into one backend draw.
#include <algorithm>
#include "platform/test_hooks.h"
#include <cmath>
#include <cstdio>
#include <chrono>
#include <cstring>

#include "platform/gfx_internal.h"
#include "platform/system.h"
#include "platform/system_backend.h"

namespace gfx {

namespace {
const DeviceBackend* gBackend = nullptr;
Backend gBackendKind = Backend::Null;
PresentParameters gPP{};
DeviceState gState;
Surface* gBackBuffer = nullptr;
Surface* gDefaultDepth = nullptr;

// The batch waiting to be drawn.
std::vector<BatchVertex> gBatch;
PrimitiveType gBatchType = PT_TRIANGLELIST;
Texture* gBatchTextures[kBatchTextures];
uint32_t gBatchTextureCount = 0;

FrameStats gFrame{}, gLast{}, gTotal{};
bool gBatching = true;
Format gRefused = FMT_UNKNOWN;
std::vector<DrawnCall>* gDrawLog = nullptr;  // a test's record of draws, if any
bool gRefuseResets = false;
uint64_t gFrames = 0, gMaxGlDraws = 0;

// --- time by pass ---------------------------------------------------------------------------
constexpr int kMostPasses = 24;
PassTime gPasses[kMostPasses];
int gPassCount = 0;
int gOpenPass = -1;  // the pass being timed, -1 for none
std::chrono::steady_clock::time_point gPassStart;
bool gPassSync = false;

int PassSlot(const char* name)
{
    for (int i = 0; i < gPassCount; ++i)
        if (gPasses[i].name == name || std::strcmp(gPasses[i].name, name) == 0) return i;
    if (gPassCount == kMostPasses) return -1;
    gPasses[gPassCount] = {name, 0.0, 0};
    return gPassCount++;
}

// Ends the pass being timed: what it asked for is sent (and, with sync,
// drawn) before the clock is read.
void ClosePass();

// The u a texture transform of coordinate pairs moves by, for the draw log.
float ScrollU() { return gState.texTransformFlags == TTFF_COUNT2 ? gState.tex0.m[2][0] : 0.0f; }

void Flush()
{
    if (gBatch.empty()) return;
    gBackend->drawBatch(gState, gBatchType, gBatch.data(), static_cast<uint32_t>(gBatch.size()),
                        gBatchTextures, gBatchTextureCount);
    ++gFrame.glDraws;
    gBatch.clear();
    gBatchTextureCount = 0;
}

void SetDefaultState()
{
    std::memset(gState.rs, 0, sizeof gState.rs);
    // The device's defaults before the game sets anything.
    gState.rs[RS_ZENABLE] = ZB_TRUE;
    gState.rs[RS_ZWRITEENABLE] = 1;
    gState.rs[RS_SRCBLEND] = BLEND_ONE;
    gState.rs[RS_DESTBLEND] = BLEND_ZERO;
    gState.rs[RS_CULLMODE] = CULL_CCW;
    gState.rs[RS_LIGHTING] = 1;
    gState.rs[RS_FOGSTART] = FloatBits(0.0f);
    gState.rs[RS_FOGEND] = FloatBits(1.0f);
    gState.rs[RS_POINTSIZE] = FloatBits(1.0f);
    gState.rs[RS_POINTSIZE_MIN] = FloatBits(1.0f);
    gState.rs[RS_POINTSCALE_A] = FloatBits(1.0f);
    gState.texTransformFlags = TTFF_DISABLE;
    gState.world = gState.view = gState.proj = gState.tex0 = MatIdentity();
    gState.light = Light{};
    gState.lightEnabled = false;
    gState.material = Material{};
    gState.texture = nullptr;
    gState.magFilter = gState.minFilter = TEXF_LINEAR;
    gState.mipFilter = TEXF_NONE;
    gState.fvf = 0;
    gState.viewport = {0, 0, gPP.backBufferWidth, gPP.backBufferHeight, 0.0f, 1.0f};
    gState.effect = nullptr;
    gState.effectPass = -1;
    gState.spriteMode = false;
}

void DestroyObject(Object* o)
{
    switch (o->type) {
    case ObjType::Texture: {
        auto* t = static_cast<Texture*>(o);
        for (uint32_t i = 0; i < gBatchTextureCount; ++i)
            if (gBatchTextures[i] == t) Flush();
        if (gState.texture == t) gState.texture = nullptr;
        if (gBackend) gBackend->destroyTexture(t);
        delete t->level0;  // unheld: its last release gave back its reference
        delete t;
        break;
    }
    case ObjType::Surface: {
        auto* s = static_cast<Surface*>(o);
        if (gState.colorTarget == s) gState.colorTarget = gBackBuffer;
        if (gState.depthTarget == s) gState.depthTarget = gDefaultDepth;
        if (s->kind == Surface::Depth && gBackend) gBackend->destroyDepth(s);
        if (s->kind == Surface::TextureLevel) {
            // A texture's level stays with its texture for the next asking;
            // the texture may go now, and takes the level with it.
            ReleaseObject(s->owner);
            break;
        }
        delete s;
        break;
    }
    case ObjType::Mesh: {
        auto* m = static_cast<Mesh*>(o);
        if (gBackend) gBackend->destroyMesh(m);
        delete m;
        break;
    }
    case ObjType::Effect: {
        auto* fx = static_cast<Effect*>(o);
        if (gState.effect == fx) gState.effect = nullptr;
        for (EffectParam& p : fx->params) Release(p.texture);
        if (gBackend) gBackend->destroyEffect(fx);
        delete fx;
        break;
    }
    case ObjType::Font: {
        auto* f = static_cast<Font*>(o);
        Release(f->atlas);
        Release(f->ownSprite);
        delete f;
        break;
    }
    case ObjType::Sprite:
        delete static_cast<Sprite*>(o);
        break;
    }
}

bool Ready() { return gBackend != nullptr; }

// The device holds a reference to each surface it draws into, so a caller
// may release its own handle as soon as the surface is set.
void BindTarget(Surface** slot, Surface* surface)
{
    if (surface) AddRef(surface);
    Surface* old = *slot;
    *slot = surface;
    if (old) ReleaseObject(old);
}
}  // namespace

uint32_t FloatBits(float f)
{
    uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}

float BitsFloat(uint32_t bits)
{
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

uint32_t FvfStride(uint32_t fvf)
{
    uint32_t s = 0;
    if (fvf & FVF_XYZ) s += 12;
    if (fvf & FVF_NORMAL) s += 12;
    if (fvf & FVF_DIFFUSE) s += 4;
    if (fvf & FVF_TEX1) s += 8;
    return s;
}

void AddRef(Object* o)
{
    if (o) ++o->refs;
}

void ReleaseObject(Object* o)
{
    if (!o) return;
    if (--o->refs <= 0) DestroyObject(o);
}

Surface* BackBufferSurface() { return gBackBuffer; }

int LiveObjects() { return gLiveObjects; }

// --- device -----------------------------------------------------------------------
bool CreateDevice(Backend backend, const PresentParameters& pp)
{
    if (gBackend) ReleaseDevice();
    gBackendKind = backend;
    const DeviceBackend* b = backend == Backend::OpenGL ? &kGLBackend : &kNullBackend;
    gPP = pp;
    if (!b->init(pp)) return false;
    gBackend = b;
    SetDefaultState();
    gBackBuffer = new Surface;
    gBackBuffer->type = ObjType::Surface;
    gBackBuffer->kind = Surface::BackBuffer;
    gBackBuffer->width = pp.backBufferWidth;
    gBackBuffer->height = pp.backBufferHeight;
    gBackBuffer->format = pp.backBufferFormat;
    gDefaultDepth = new Surface;
    gDefaultDepth->type = ObjType::Surface;
    gDefaultDepth->kind = Surface::BackBuffer;  // the back buffer's own depth
    gDefaultDepth->width = pp.backBufferWidth;
    gDefaultDepth->height = pp.backBufferHeight;
    gDefaultDepth->format = FMT_D16;
    gState.colorTarget = gState.depthTarget = nullptr;
    BindTarget(&gState.colorTarget, gBackBuffer);
    BindTarget(&gState.depthTarget, gDefaultDepth);
    gFrame = gLast = gTotal = FrameStats{};
    gFrames = gMaxGlDraws = 0;
    gBatch.reserve(1 << 16);
    return true;
}

void ReleaseDevice()
{
    if (!gBackend) return;
    gBatch.clear();
    gState.texture = nullptr;
    gState.effect = nullptr;
    BindTarget(&gState.colorTarget, nullptr);
    BindTarget(&gState.depthTarget, nullptr);
    Release(gBackBuffer);
    Release(gDefaultDepth);
    gBackend->shutdown();
    gBackend = nullptr;
}

bool DeviceExists() { return gBackend != nullptr; }
Backend CurrentBackend() { return gBackendKind; }
Format DisplayModeFormat() { return gBackend ? gBackend->displayFormat() : FMT_X8R8G8B8; }
const PresentParameters& CurrentPresentParameters() { return gPP; }

HResult Reset(const PresentParameters& pp)
{
    if (!Ready()) return E_FAIL;
    Flush();
    // The window first: a mode the display cannot show leaves everything as
    // it was, and so does a back buffer that cannot be made.
    if (gRefuseResets || !sys::SetClientSize(static_cast<int>(pp.backBufferWidth),
                                             static_cast<int>(pp.backBufferHeight), !pp.windowed))
        return E_FAIL;
    if (!gBackend->resize(pp.backBufferWidth, pp.backBufferHeight)) {
        (void)gBackend->resize(gPP.backBufferWidth, gPP.backBufferHeight);
        (void)sys::SetClientSize(static_cast<int>(gPP.backBufferWidth), static_cast<int>(gPP.backBufferHeight),
                                 !gPP.windowed);
        return E_FAIL;
    }
    gPP = pp;
    for (Surface* s : {gBackBuffer, gDefaultDepth}) {
        s->width = pp.backBufferWidth;
        s->height = pp.backBufferHeight;
    }
    gBackBuffer->format = pp.backBufferFormat;
    // A reset puts every state back to its default; whoever resets sets the
    // states it needs again.
    SetDefaultState();
    BindTarget(&gState.colorTarget, gBackBuffer);
    BindTarget(&gState.depthTarget, gDefaultDepth);
    return S_OK;
}

HResult BeginScene() { return Ready() ? S_OK : E_FAIL; }

HResult EndScene()
{
    if (!Ready()) return E_FAIL;
    Flush();
    return S_OK;
}

namespace {
void ClosePass()
{
    if (gOpenPass < 0) return;
    Flush();
    if (gPassSync && gBackend->finish) gBackend->finish();
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - gPassStart).count();
    gPasses[gOpenPass].totalMs += ms;
    ++gPasses[gOpenPass].count;
    gOpenPass = -1;
}
}  // namespace

void MarkPass(const char* name)
{
    if (!Ready() || !name) return;
    ClosePass();
    gOpenPass = PassSlot(name);
    gPassStart = std::chrono::steady_clock::now();
}

void SetPassSync(bool on) { gPassSync = on; }
bool PassSync() { return gPassSync; }
std::vector<PassTime> PassTimes() { return std::vector<PassTime>(gPasses, gPasses + gPassCount); }

HResult Present()
{
    if (!Ready()) return E_FAIL;
    MarkPass("present");
    Flush();
    bool ok = gBackend->present();
    ClosePass();
    sys::detail::ChargeVirtualDraw();
    ++gFrames;
    gTotal.draws += gFrame.draws;
    gTotal.glDraws += gFrame.glDraws;
    gTotal.vertices += gFrame.vertices;
    gTotal.subsets += gFrame.subsets;
    gTotal.triangles += gFrame.triangles;
    if (gFrame.glDraws > gMaxGlDraws) gMaxGlDraws = gFrame.glDraws;
    gLast = gFrame;
    gFrame = FrameStats{};
    return ok ? S_OK : E_FAIL;
}

HResult Clear(uint32_t flags, uint32_t argb, float z, uint32_t)
{
    if (!Ready()) return E_FAIL;
    Flush();
    gBackend->clear(gState, flags, argb, z);
    return S_OK;
}

HResult SetViewport(const Viewport& vp)
{
    if (!Ready()) return E_FAIL;
    if (std::memcmp(&vp, &gState.viewport, sizeof vp) != 0) Flush();
    gState.viewport = vp;
    return S_OK;
}

Viewport GetViewport() { return gState.viewport; }

HResult SetRenderState(RenderState state, uint32_t value)
{
    if (!Ready() || static_cast<uint32_t>(state) >= kStateCount) return E_FAIL;
    // Point size travels with each vertex, so it never breaks a batch.
    if (gState.rs[state] != value && state != RS_POINTSIZE) Flush();
    gState.rs[state] = value;
    return S_OK;
}

uint32_t GetRenderState(RenderState state)
{
    return static_cast<uint32_t>(state) < kStateCount ? gState.rs[state] : 0;
}

HResult SetTextureStageState(uint32_t stage, TextureStageState type, uint32_t value)
{
    if (!Ready() || stage != 0) return stage == 0 ? E_FAIL : S_OK;
    // Stage 0 always modulates texture by diffuse, colour and alpha alike;
    // only the texture transform flag changes what is drawn.
    if (type == TSS_TEXTURETRANSFORMFLAGS && value != gState.texTransformFlags) {
        Flush();
        gState.texTransformFlags = value;
    }
    return S_OK;
}

HResult SetSamplerState(uint32_t sampler, SamplerState type, uint32_t value)
{
    if (!Ready()) return E_FAIL;
    if (sampler != 0) return S_OK;  // the game samples through sampler 0 alone
    uint32_t* filter = type == SAMP_MAGFILTER   ? &gState.magFilter
                       : type == SAMP_MINFILTER ? &gState.minFilter
                       : type == SAMP_MIPFILTER ? &gState.mipFilter
                                                : nullptr;
    if (!filter) return E_FAIL;
    // Filters beyond linear filter linearly; only the mip filter may be none.
    value = std::min<uint32_t>(value, TEXF_LINEAR);
    if (value == TEXF_NONE && type != SAMP_MIPFILTER) value = TEXF_POINT;
    if (*filter != value) Flush();
    *filter = value;
    return S_OK;
}

HResult SetTransform(TransformState state, const Mat4& m)
{
    if (!Ready()) return E_FAIL;
    Mat4* dst = nullptr;
    switch (state) {
    case TS_WORLD: gState.world = m; return S_OK;  // applied per vertex
    case TS_VIEW: dst = &gState.view; break;
    case TS_PROJECTION: dst = &gState.proj; break;
    case TS_TEXTURE0: dst = &gState.tex0; break;
    default: return E_FAIL;
    }
    if (std::memcmp(dst, &m, sizeof m) != 0) Flush();
    *dst = m;
    return S_OK;
}

Mat4 GetTransform(TransformState state)
{
    switch (state) {
    case TS_WORLD: return gState.world;
    case TS_VIEW: return gState.view;
    case TS_PROJECTION: return gState.proj;
    case TS_TEXTURE0: return gState.tex0;
    }
    return MatIdentity();
}

HResult SetLight(uint32_t index, const Light& light)
{
    if (!Ready()) return E_FAIL;
    if (index != 0) return S_OK;  // the game lights with one light
    Flush();
    gState.light = light;
    return S_OK;
}

HResult LightEnable(uint32_t index, bool enable)
{
    if (!Ready()) return E_FAIL;
    if (index != 0) return S_OK;
    if (gState.lightEnabled != enable) Flush();
    gState.lightEnabled = enable;
    return S_OK;
}

HResult SetMaterial(const Material& m)
{
    if (!Ready()) return E_FAIL;
    if (std::memcmp(&m, &gState.material, sizeof m) != 0) Flush();
    gState.material = m;
    return S_OK;
}

HResult SetTexture(uint32_t stage, Texture* tex)
{
    if (!Ready()) return E_FAIL;
    if (stage != 0) return S_OK;
    gState.texture = tex;  // each batched vertex carries its own texture slot
    return S_OK;
}

HResult SetFVF(uint32_t fvf)
{
    if (!Ready()) return E_FAIL;
    gState.fvf = fvf;  // vertices are converted as they arrive
    return S_OK;
}

HResult DrawPrimitiveUP(PrimitiveType type, uint32_t primitiveCount, const void* vertices,
                        uint32_t stride)
{
    return DrawUP(type, primitiveCount, vertices, stride, true);
}

// Appends user-memory vertices to the batch, world transform applied.
HResult DrawUP(PrimitiveType type, uint32_t primitiveCount, const void* vertices, uint32_t stride,
               bool gameDraw)
{
    if (!Ready() || !vertices || primitiveCount == 0) return Ready() ? S_OK : E_FAIL;
    uint32_t fvf = gState.fvf;
    if (!(fvf & FVF_XYZ) || stride < FvfStride(fvf)) return E_FAIL;
    uint32_t count;
    switch (type) {
    case PT_POINTLIST: count = primitiveCount; break;
    case PT_TRIANGLELIST: count = primitiveCount * 3; break;
    case PT_TRIANGLEFAN: count = primitiveCount + 2; break;
    default: return E_FAIL;
    }
    PrimitiveType batchType = type == PT_POINTLIST ? PT_POINTLIST : PT_TRIANGLELIST;
    if (batchType != gBatchType) Flush();
    // Effects place their vertices themselves, and apart from fixed-function
    // draws the batch ends at each call.
    bool effect = gState.effect != nullptr;
    if (effect) Flush();
    gBatchType = batchType;
    // The texture's slot in this batch; a ninth texture starts a new batch.
    uint32_t slot = 0;
    while (slot < gBatchTextureCount && gBatchTextures[slot] != gState.texture) ++slot;
    if (slot == kBatchTextures) {
        Flush();
        slot = 0;
    }
    if (slot == gBatchTextureCount) gBatchTextures[gBatchTextureCount++] = gState.texture;
    if (gameDraw) ++gFrame.draws;
    if (gameDraw && gDrawLog) {
        Vec3 first, last;
        std::memcpy(&first, vertices, 12);
        std::memcpy(&last, static_cast<const uint8_t*>(vertices) + static_cast<size_t>(count - 1) * stride, 12);
        uint32_t colour = 0xFFFFFFFF;
        const uint8_t* after = static_cast<const uint8_t*>(vertices) + 12 + ((fvf & FVF_NORMAL) ? 12 : 0);
        if (fvf & FVF_DIFFUSE) std::memcpy(&colour, after, 4), after += 4;
        float uv[2] = {0, 0};
        if (fvf & FVF_TEX1) std::memcpy(uv, after, 8);
        gDrawLog->push_back({nullptr, 0, gState.texture, gState.effect, gState.world, type, primitiveCount,
                             effect ? first : Vec3TransformCoord(first, gState.world),
                             effect ? last : Vec3TransformCoord(last, gState.world), colour, uv[0], uv[1],
                             gState.rs[RS_ALPHABLENDENABLE] != 0, gState.rs[RS_DESTBLEND],
                             BitsFloat(gState.rs[RS_POINTSIZE_MIN]), ScrollU()});
    }
    gFrame.vertices += count;
    if (batchType == PT_TRIANGLELIST) gFrame.triangles += primitiveCount;

    const Mat4 w = gState.world;
    float pointSize = BitsFloat(gState.rs[RS_POINTSIZE]);
    const uint8_t* base = static_cast<const uint8_t*>(vertices);
    auto convert = [&](uint32_t i) {
        const uint8_t* p = base + static_cast<size_t>(i) * stride;
        BatchVertex v{};
        Vec3 pos;
        std::memcpy(&pos, p, 12);
        p += 12;
        pos = effect ? pos : Vec3TransformCoord(pos, w);
        v.pos[0] = pos.x;
        v.pos[1] = pos.y;
        v.pos[2] = pos.z;
        uint32_t flags = 0;
        if (fvf & FVF_NORMAL) {
            Vec3 n;
            std::memcpy(&n, p, 12);
            p += 12;
            n = effect ? n : Vec3Normalize(Vec3TransformNormal(n, w));
            v.normal[0] = n.x;
            v.normal[1] = n.y;
            v.normal[2] = n.z;
            flags |= 2;
        }
        if (fvf & FVF_DIFFUSE) {
            std::memcpy(&v.color, p, 4);
            p += 4;
            flags |= 1;
        } else {
            v.color = 0xFFFFFFFFu;
        }
        if (fvf & FVF_TEX1) std::memcpy(v.uv, p, 8);
        v.pointSize = pointSize;
        v.flags = static_cast<float>(flags | slot << 2);
        gBatch.push_back(v);
    };
    if (type == PT_TRIANGLEFAN) {
        for (uint32_t t = 0; t < primitiveCount; ++t) {
            convert(0);
            convert(t + 1);
            convert(t + 2);
        }
    } else {
        for (uint32_t i = 0; i < count; ++i) convert(i);
    }
    if (effect || !gBatching) Flush();
    return S_OK;
}

// --- textures and surfaces ------------------------------------------------------------
HResult CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                      Format format, Pool pool, Texture** out)
{
    *out = nullptr;
    if (!Ready() || width == 0 || height == 0 || width > 8192 || height > 8192) return E_FAIL;
    if (format != FMT_A8R8G8B8 && format != FMT_X8R8G8B8 && format != FMT_R32F) return E_FAIL;
    if (format == gRefused) return E_FAIL;
    auto* t = new Texture;
    t->type = ObjType::Texture;
    t->width = width;
    t->height = height;
    uint32_t chain = 1;
    while ((std::max(width, height) >> chain) > 0) ++chain;
    t->levels = (usage & USAGE_RENDERTARGET) ? 1 : levels == 0 ? chain : std::min(levels, chain);
    t->usage = usage;
    t->format = format;
    t->pool = pool;
    if (!gBackend->createTexture(t)) {
        delete t;
        return E_FAIL;
    }
    *out = t;
    return S_OK;
}

HResult UpdateTexture(Texture* tex, const uint32_t* argb, uint32_t width, uint32_t height)
{
    if (!Ready() || !tex || !argb || width != tex->width || height != tex->height) return E_FAIL;
    Flush();
    gBackend->uploadTexture(tex, argb);
    return S_OK;
}

HResult GetLevelDesc(Texture* tex, uint32_t level, SurfaceDesc* desc)
{
    if (!tex || level >= tex->levels) return E_FAIL;
    *desc = {tex->format, tex->usage, tex->pool, std::max(tex->width >> level, 1u),
             std::max(tex->height >> level, 1u)};
    return S_OK;
}

HResult GetSurfaceLevel(Texture* tex, uint32_t level, Surface** out)
{
    *out = nullptr;
    if (!tex || level != 0) return E_FAIL;
    Surface* s = tex->level0;
    if (!s) {
        s = tex->level0 = new Surface;
        s->type = ObjType::Surface;
        s->kind = Surface::TextureLevel;
        s->owner = tex;
        s->width = tex->width;
        s->height = tex->height;
        s->format = tex->format;
        s->refs = 0;
    }
    if (s->refs++ == 0) AddRef(tex);
    *out = s;
    return S_OK;
}

HResult CreateDepthStencilSurface(uint32_t width, uint32_t height, Format format, Surface** out)
{
    *out = nullptr;
    if (!Ready() || width == 0 || height == 0 || width > 8192 || height > 8192) return E_FAIL;
    auto* s = new Surface;
    s->type = ObjType::Surface;
    s->kind = Surface::Depth;
    s->width = width;
    s->height = height;
    s->format = format;
    if (!gBackend->createDepth(s)) {
        delete s;
        return E_FAIL;
    }
    *out = s;
    return S_OK;
}

HResult GetBackBuffer(Surface** out)
{
    *out = gBackBuffer;
    if (!gBackBuffer) return E_FAIL;
    AddRef(gBackBuffer);
    return S_OK;
}

HResult GetDepthStencilSurface(Surface** out)
{
    *out = gState.depthTarget;
    if (!*out) return E_FAIL;
    AddRef(*out);
    return S_OK;
}

HResult SetRenderTarget(uint32_t index, Surface* surface)
{
    if (!Ready() || index != 0 || !surface || surface->kind == Surface::Depth) return E_FAIL;
    if (gState.colorTarget != surface) Flush();
    BindTarget(&gState.colorTarget, surface);
    // Setting a target resets the viewport to cover it.
    gState.viewport = {0, 0, surface->width, surface->height, 0.0f, 1.0f};
    return S_OK;
}

HResult SetDepthStencilSurface(Surface* surface)
{
    if (!Ready()) return E_FAIL;
    if (gState.depthTarget != surface) Flush();
    BindTarget(&gState.depthTarget, surface);
    return S_OK;
}

HResult GetSurfaceDesc(Surface* surface, SurfaceDesc* desc)
{
    if (!surface) return E_FAIL;
    *desc = {surface->format, 0, POOL_DEFAULT, surface->width, surface->height};
    return S_OK;
}

HResult ReadSurface(Surface* surface, std::vector<uint32_t>* argb, std::vector<float>* floats)
{
    if (!Ready() || !surface || surface->kind == Surface::Depth) return E_FAIL;
    Flush();
    return gBackend->readSurface(gState, surface, argb, floats) ? S_OK : E_FAIL;
}

HResult EncodeSurfaceBmp(Surface* surface, std::string* bytes)
{
    std::vector<uint32_t> px;
    if (Failed(ReadSurface(surface, &px))) return E_FAIL;
    uint32_t w = surface->width, h = surface->height;
    uint32_t rowBytes = (w * 3 + 3) & ~3u;
    uint32_t imageBytes = rowBytes * h;
    uint8_t header[54] = {'B', 'M'};
    auto put32 = [&](int at, uint32_t v) {
        for (int i = 0; i < 4; ++i) header[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    put32(2, 54 + imageBytes);
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    header[26] = 1;
    header[28] = 24;
    put32(34, imageBytes);
    put32(38, 2835);
    put32(42, 2835);
    bytes->assign(reinterpret_cast<const char*>(header), sizeof header);
    bytes->reserve(sizeof header + imageBytes);
    std::string row(rowBytes, '\0');
    for (uint32_t y = 0; y < h; ++y) {
        const uint32_t* src = &px[static_cast<size_t>(h - 1 - y) * w];  // bottom row first
        for (uint32_t x = 0; x < w; ++x) {
            row[x * 3 + 0] = static_cast<char>(src[x] & 0xFF);
            row[x * 3 + 1] = static_cast<char>(src[x] >> 8 & 0xFF);
            row[x * 3 + 2] = static_cast<char>(src[x] >> 16 & 0xFF);
        }
        *bytes += row;
    }
    return S_OK;
}

HResult SaveSurfaceToBmp(Surface* surface, const char* path)
{
    std::string bytes;
    if (Failed(EncodeSurfaceBmp(surface, &bytes))) return E_FAIL;
    std::FILE* f = std::fopen(path, "wb");
    if (!f) return E_FAIL;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fclose(f) == 0) && ok;
    return ok ? S_OK : E_FAIL;
}

// --- meshes -------------------------------------------------------------------------------
HResult CreateMesh(uint32_t fvf, const void* vertices, uint32_t vertexCount,
                   const uint32_t* indices, uint32_t faceCount, const uint32_t* faceAttributes,
                   Mesh** out)
{
    *out = nullptr;
    if (!Ready() || !(fvf & FVF_XYZ) || !vertices || !indices || vertexCount == 0 ||
        faceCount == 0)
        return E_FAIL;
    for (uint32_t i = 0; i < faceCount * 3; ++i)
        if (indices[i] >= vertexCount) return E_FAIL;
    auto* m = new Mesh;
    m->type = ObjType::Mesh;
    m->fvf = fvf;
    m->stride = FvfStride(fvf);
    m->vertexCount = vertexCount;
    m->faceCount = faceCount;
    const uint8_t* v = static_cast<const uint8_t*>(vertices);
    m->vertices.assign(v, v + static_cast<size_t>(vertexCount) * m->stride);
    m->indices.assign(indices, indices + faceCount * 3);
    m->attributes.assign(faceCount, 0);
    if (faceAttributes) m->attributes.assign(faceAttributes, faceAttributes + faceCount);
    // Faces grouped by subset, in subset order, each group in face order.
    std::vector<uint32_t> ids = m->attributes;
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    for (uint32_t id : ids) {
        SubsetRange r{id, static_cast<uint32_t>(m->drawIndices.size()), 0};
        for (uint32_t f = 0; f < faceCount; ++f)
            if (m->attributes[f] == id)
                for (int k = 0; k < 3; ++k) m->drawIndices.push_back(m->indices[f * 3 + k]);
        r.indexCount = static_cast<uint32_t>(m->drawIndices.size()) - r.firstIndex;
        m->subsets.push_back(r);
    }
    if (!gBackend->createMesh(m)) {
        delete m;
        return E_FAIL;
    }
    *out = m;
    return S_OK;
}

uint32_t MeshFVF(Mesh* m) { return m ? m->fvf : 0; }
uint32_t MeshVertexCount(Mesh* m) { return m ? m->vertexCount : 0; }
uint32_t MeshFaceCount(Mesh* m) { return m ? m->faceCount : 0; }
const void* MeshVertices(Mesh* m) { return m ? m->vertices.data() : nullptr; }
const uint32_t* MeshIndices(Mesh* m) { return m ? m->indices.data() : nullptr; }
const uint32_t* MeshAttributes(Mesh* m) { return m ? m->attributes.data() : nullptr; }

HResult DrawSubset(Mesh* mesh, uint32_t attribId)
{
    if (!Ready() || !mesh) return E_FAIL;
    for (const SubsetRange& r : mesh->subsets) {
        if (r.attribId != attribId) continue;
        Flush();
        gBackend->drawMesh(gState, mesh, r);
        if (gDrawLog)
            gDrawLog->push_back({mesh, attribId, gState.texture, gState.effect, gState.world, PT_TRIANGLELIST,
                                 r.indexCount / 3, Position(gState.world), Position(gState.world), 0xFFFFFFFF, 0, 0,
                                 gState.rs[RS_ALPHABLENDENABLE] != 0, gState.rs[RS_DESTBLEND], 0.0f, ScrollU()});
        ++gFrame.draws;
        ++gFrame.glDraws;
        ++gFrame.subsets;
        gFrame.vertices += r.indexCount;
        gFrame.triangles += r.indexCount / 3;
        return S_OK;
    }
    return S_OK;  // a subset without faces draws nothing
}

// --- counters -----------------------------------------------------------------------------
FrameStats LastFrameStats() { return gLast; }
FrameStats TotalStats() { return gTotal; }
uint64_t FramesPresented() { return gFrames; }
uint64_t MaxGlDrawsPerFrame() { return gMaxGlDraws; }

void SetBatching(bool on)
{
    Flush();
    gBatching = on;
}

void RefuseTextureFormat(Format format) { gRefused = format; }
void RecordDraws(std::vector<DrawnCall>* calls) { gDrawLog = calls; }
size_t RecordedDrawCount() { return gDrawLog ? gDrawLog->size() : 0; }
void RefuseResets(bool refuse) { gRefuseResets = refuse; }

// --- state access for the sprite, font and effect code ----------------------------------------
DeviceState& State() { return gState; }
void FlushBatch() { Flush(); }
void CountDraw() { ++gFrame.draws; }
const DeviceBackend& CurrentDeviceBackend() { return *gBackend; }

}  // namespace gfx
