// The heaviest particle frame a battle can draw, one primitive per call in
// the order and with the state changes of the battle's draw-all pass:
// 50 blast and 1600 burst quads, then 1280 ground dust, 1920 puffs, 960 dust
// clouds, 15000 smoke-trail, 15000 dust-trail and 960 spray point sprites.
// Drawn with merging and without; prints ms and GL draws per frame and
// whether both pictures are the same.  Needs a display (xvfb-run will do).
//
//   varnok_particle_bench [FRAMES]
#include <chrono>
#include "platform/test_hooks.h"
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "math/vecmath.h"
#include "platform/crt_rand.h"
#include "platform/gfx.h"
#include "platform/system.h"

using namespace gfx;

namespace {
struct PointVertex {
    float x, y, z;
    uint32_t color;
};
struct QuadVertex {
    float x, y, z;
    uint32_t color;
    float u, v;
};
struct Particle {
    Vec3 pos;
    float size;
    int alpha;
    int kind;
};

float R() { return Rand() / 32768.0f; }

// A soft round blob of one colour, the stand-in for each effect picture.
Texture* Blob(uint32_t rgb, int side)
{
    std::vector<uint32_t> px(static_cast<size_t>(side) * side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            float dx = (x + 0.5f) / side * 2 - 1, dy = (y + 0.5f) / side * 2 - 1;
            float a = std::fmax(0.0f, 1.0f - std::sqrt(dx * dx + dy * dy));
            px[y * side + x] = static_cast<uint32_t>(a * 255) << 24 | rgb;
        }
    Texture* t = nullptr;
    CreateTexture(side, side, 1, 0, FMT_A8R8G8B8, POOL_MANAGED, &t);
    UpdateTexture(t, px.data(), side, side);
    return t;
}

std::vector<Particle> MakePool(size_t n, float minSize, float maxSize, int kinds)
{
    std::vector<Particle> pool(n);
    for (Particle& p : pool) {
        p.pos = {480 + 40 * R(), 0.5f + 12 * R(), 515 + 50 * R()};
        p.size = minSize + (maxSize - minSize) * R();
        p.alpha = 40 + Rand() % 200;
        p.kind = Rand() % kinds;
    }
    return pool;
}

struct Scene {
    Texture *smoke, *fire1, *fire2, *ground, *trail, *gun, *ice, *spray;
    std::vector<Particle> blasts, bursts, groundDust, puffs, clouds, smokeTrail, dustTrail, sprays;
    Mat4 facing;
};

void DrawQuads(const Scene& s, const std::vector<Particle>& pool, int frame)
{
    Texture* looks[3] = {s.smoke, s.fire1, s.fire2};
    SetFVF(FVF_XYZ | FVF_DIFFUSE | FVF_TEX1);
    for (const Particle& p : pool) {
        SetTexture(0, looks[p.kind]);
        SetTransform(TS_WORLD, s.facing * MatTranslation(p.pos.x, p.pos.y, p.pos.z));
        int f = frame % 64;
        float u0 = (f % 8) / 8.0f, v0 = (f / 8) / 8.0f, z = p.size;
        uint32_t c = static_cast<uint32_t>(p.alpha) << 24 | 0xFFFFFF;
        QuadVertex q[4] = {{-z, z, 0, c, u0, v0}, {z, z, 0, c, u0 + 0.125f, v0},
                           {z, -z, 0, c, u0 + 0.125f, v0 + 0.125f}, {-z, -z, 0, c, u0, v0 + 0.125f}};
        DrawPrimitiveUP(PT_TRIANGLEFAN, 2, q, sizeof q[0]);
    }
}

void DrawPoints(const std::vector<Particle>& pool, Texture* const* byKind, bool tint)
{
    SetFVF(FVF_XYZ | FVF_DIFFUSE);
    for (const Particle& p : pool) {
        SetTexture(0, byKind[p.kind]);
        SetTransform(TS_WORLD, MatTranslation(p.pos.x, p.pos.y, p.pos.z));
        SetRenderState(RS_POINTSIZE, FloatBits(p.size));
        uint32_t rgb = tint ? static_cast<uint32_t>(Rand() % 61 + 30) << 16 |
                                  static_cast<uint32_t>(Rand() % 61 + 30) << 8 |
                                  static_cast<uint32_t>(Rand() % 71 + 20)
                            : 0xFFFFFF;
        PointVertex v = {0, 0, 0, static_cast<uint32_t>(p.alpha) << 24 | rgb};
        DrawPrimitiveUP(PT_POINTLIST, 1, &v, sizeof v);
    }
}

void DrawFrame(const Scene& s, int frame)
{
    Clear(CLEAR_TARGET | CLEAR_ZBUFFER, 0xFFC8C8C8, 1.0f, 0);
    BeginScene();
    SetRenderState(RS_LIGHTING, 0);
    SetRenderState(RS_ALPHABLENDENABLE, 1);
    SetRenderState(RS_ZWRITEENABLE, 0);
    SetRenderState(RS_CULLMODE, CULL_NONE);
    SetRenderState(RS_DESTBLEND, BLEND_ONE);
    DrawQuads(s, s.blasts, frame);
    SetRenderState(RS_DESTBLEND, BLEND_INVSRCALPHA);
    DrawQuads(s, s.bursts, frame);
    SetRenderState(RS_CULLMODE, CULL_CCW);
    SetRenderState(RS_POINTSPRITEENABLE, 1);
    SetRenderState(RS_POINTSCALEENABLE, 1);
    SetRenderState(RS_POINTSCALE_A, FloatBits(0));
    SetRenderState(RS_POINTSCALE_B, FloatBits(0));
    SetRenderState(RS_POINTSCALE_C, FloatBits(0.1f));
    Texture* ground[1] = {s.ground};
    Texture* puffKinds[3] = {s.trail, s.gun, s.ice};
    Texture* trail[1] = {s.trail};
    Texture* spray[1] = {s.spray};
    SetRenderState(RS_POINTSIZE_MIN, FloatBits(0.01f));
    DrawPoints(s.groundDust, ground, false);
    DrawPoints(s.puffs, puffKinds, false);
    SetRenderState(RS_POINTSIZE_MIN, FloatBits(1.5f));
    DrawPoints(s.clouds, ground, false);
    SetRenderState(RS_POINTSIZE_MIN, FloatBits(0.5f));
    DrawPoints(s.smokeTrail, trail, true);
    SetRenderState(RS_DESTBLEND, BLEND_ONE);
    DrawPoints(s.dustTrail, ground, false);
    SetRenderState(RS_SRCBLEND, BLEND_ONE);
    DrawPoints(s.sprays, spray, false);
    SetRenderState(RS_ALPHABLENDENABLE, 0);
    SetRenderState(RS_SRCBLEND, BLEND_SRCALPHA);
    SetRenderState(RS_DESTBLEND, BLEND_INVSRCALPHA);
    SetRenderState(RS_ZWRITEENABLE, 1);
    SetRenderState(RS_POINTSPRITEENABLE, 0);
    SetRenderState(RS_POINTSCALEENABLE, 0);
    EndScene();
    Present();
}

struct Result {
    double msPerFrame;
    double glDraws, draws;
    std::vector<uint32_t> picture;
};

Result Run(const Scene& s, int frames, bool merge)
{
    SetBatching(merge);
    Srand(7);
    DrawFrame(s, 0);  // warm-up
    Surface* bb = nullptr;
    GetBackBuffer(&bb);
    std::vector<uint32_t> px;
    ReadSurface(bb, &px);
    FrameStats before = TotalStats();
    auto t0 = std::chrono::steady_clock::now();
    for (int f = 0; f < frames; ++f) DrawFrame(s, 0);
    ReadSurface(bb, &px);  // waits for the last frame to finish
    auto t1 = std::chrono::steady_clock::now();
    FrameStats after = TotalStats();
    Srand(7);  // the same tints as the warm-up frame, for the picture
    DrawFrame(s, 0);
    Result r;
    ReadSurface(bb, &r.picture);
    Release(bb);
    r.msPerFrame = std::chrono::duration<double, std::milli>(t1 - t0).count() / frames;
    r.glDraws = static_cast<double>(after.glDraws - before.glDraws) / frames;
    r.draws = static_cast<double>(after.draws - before.draws) / frames;
    return r;
}
}  // namespace

int main(int argc, char** argv)
{
    int frames = argc > 1 ? std::atoi(argv[1]) : 20;
    if (frames < 1) frames = 1;
    if (!sys::Init(sys::Backend::Window, false) ||
        !sys::CreateMainWindow({"VARNOK particles", "bench", 800, 600, false}, nullptr) ||
        !CreateDevice(Backend::OpenGL, {800, 600, FMT_X8R8G8B8, true})) {
        std::fprintf(stderr, "particle benchmark: needs a display with OpenGL 3.3\n");
        return 1;
    }
    Srand(12345);
    Scene s;
    s.smoke = Blob(0x808080, 256);
    s.fire1 = Blob(0xFF8020, 512);
    s.fire2 = Blob(0xFFC040, 512);
    s.ground = Blob(0xA08860, 128);
    s.trail = Blob(0x606060, 64);
    s.gun = Blob(0xC0C0C0, 64);
    s.ice = Blob(0xC0F0FF, 64);
    s.spray = Blob(0xD0D8C0, 128);
    s.blasts = MakePool(50, 1.0f, 3.0f, 3);
    s.bursts = MakePool(1600, 0.5f, 2.0f, 3);
    s.groundDust = MakePool(1280, 1.0f, 1.2f, 1);
    s.puffs = MakePool(1920, 0.2f, 0.6f, 3);
    s.clouds = MakePool(960, 0.03f, 0.06f, 1);
    s.smokeTrail = MakePool(15000, 0.1f, 0.5f, 1);
    s.dustTrail = MakePool(15000, 0.1f, 0.5f, 1);
    s.sprays = MakePool(960, 0.01f, 0.03f, 1);
    Vec3 eye{500, 8, 480}, at{500, 4, 540};
    Mat4 view = MatLookAtLH(eye, at, {0, 1, 0});
    SetTransform(TS_VIEW, view);
    SetTransform(TS_PROJECTION, MatPerspectiveFovLH(1.0471976f, 1.3333334f, 0.1f, 12000.0f));
    // The camera's rotation inverted turns each quad toward the viewer.
    Mat4 rot = view;
    rot.m[3][0] = rot.m[3][1] = rot.m[3][2] = 0;
    MatInverse(&s.facing, rot);

    Result merged = Run(s, frames, true);
    Result single = Run(s, frames, false);
    size_t differ = 0;
    for (size_t i = 0; i < merged.picture.size(); ++i) differ += merged.picture[i] != single.picture[i];
    std::printf("particle frame at 800 x 600: %.0f draws asked for\n", merged.draws);
    std::printf("merged:   %8.2f ms per frame, %6.0f GL draws per frame\n", merged.msPerFrame, merged.glDraws);
    std::printf("unmerged: %8.2f ms per frame, %6.0f GL draws per frame\n", single.msPerFrame, single.glDraws);
    std::printf("pictures: %s (%zu of %zu pixels differ)\n", differ ? "DIFFERENT" : "identical", differ,
                merged.picture.size());
    if (getenv("VARNOK_BENCH_SHOT")) {
        Surface* bb = nullptr;
        GetBackBuffer(&bb);
        SaveSurfaceToBmp(bb, getenv("VARNOK_BENCH_SHOT"));
        Release(bb);
    }
    for (Texture* t : {s.smoke, s.fire1, s.fire2, s.ground, s.trail, s.gun, s.ice, s.spray}) Release(t);
    ReleaseDevice();
    sys::Shutdown();
    return differ == 0 && merged.glDraws <= 64 ? 0 : 3;
}
