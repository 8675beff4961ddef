// The heaviest particle frame a battle can draw: every pool filled through
// its spawner in front of the camera and drawn by the scene pass's two
// particle blocks (DrawParticleQuads, DrawParticleSprites) with the effect
// pictures of the data pack.  Drawn with merging and without; prints ms and
// GL draws per frame and whether both pictures are the same.  Needs a
// display (xvfb-run will do) and runs in the data pack's folder.
//
//   varnok_particle_bench [FRAMES [COUNT [AGE]]]
//
// COUNT particles a pool (default: every pool full) and AGE frames of the
// effects running before the pictures are taken (default 0), for looking
// at single effects as they play.  VARNOK_BENCH_SHOT=file.bmp saves the
// merged picture.  VARNOK_BENCH_NEAR=D puts the eye D units in front of
// the blasts, looking at them: close fire and smoke, as a tank's own gun
// smoke or a wreck the camera stands in shows it.
#include <chrono>
#include "platform/test_hooks.h"
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "battle/frame.h"
#include "records/state.h"
#include "units/robots/robot_kinds.h"
#include "units/tanks/tank_kinds.h"
#include "sides/robot_side.h"
#include "sides/tank_side.h"
#include "battle/setup.h"
#include "effects/particles.h"
#include "math/vecmath.h"
#include "sides/player.h"
#include "platform/crt_rand.h"
#include "platform/gfx.h"
#include "platform/system.h"

using namespace gfx;

namespace {
// The camera looks along +z at a stage about 28 units ahead: quads on the
// upper row (blasts, bursts, ice, puffs from left to right), ground marks,
// ground dust, dust clouds, sprays and the debris trails on the lower one.
constexpr Vec3 kEye{500, 6, 432};
constexpr Vec3 kAt{500, 3.5f, 460};

// The n-th of a pool's spawn points, scattered over a patch around `at`
// (a fixed low-discrepancy pattern, so the scene needs no random numbers).
Vec3 Scatter(Vec3 at, int n, float radius)
{
    float a = static_cast<float>(n) * 2.39996323f;  // the golden angle
    float r = radius * std::sqrt((static_cast<float>(n % 997) + 0.5f) / 997.0f);
    return {at.x + r * std::cos(a), at.y + r * std::sin(a) * 0.6f, at.z + r * std::sin(a) * 0.5f};
}

// Spawns into every pool until it holds `count` (or is full).
void Fill(int count)
{
    PoolCount live[kParticlePoolCount];
    CountParticlePools(live);
    auto missing = [&](int pool, int capacity) { return std::min(count, capacity) - live[pool].live; };
    // Upper row.
    for (int n = 0, k = missing(2, kBlastCapacity); n < k; ++n) {
        Vec3 p = Scatter({483.5f, 7, 460}, n, 2.5f);
        SpawnBlast(p.x, p.y, p.z, 2.5f, 255, n % 2 ? kLookFire1 : kLookFire2, 1, 3);
    }
    for (int n = 0, k = missing(1, kBurstCapacity); n < k; ++n) {
        Vec3 p = Scatter({494.5f, 7, 460}, n, 3);
        SpawnBurst(p.x, p.y, p.z, 1.5f, 220, n % 3, 1, n % 2 + 1);
    }
    for (int n = 0, k = missing(9, kIceCapacity); n < k; ++n) {
        Vec3 p = Scatter({505.5f, 7, 460}, n, 2.5f);
        SpawnIce(p.x, p.y, p.z, 0.6f, 1);
    }
    const PuffKind puffKinds[3] = {PuffKind::TrailSmoke, PuffKind::GunSmoke, PuffKind::Ice};
    for (int n = 0, k = missing(0, kPuffCapacity); n < k; ++n) {
        Vec3 p = Scatter({516.5f, 7, 460}, n, 3);
        SpawnPuff(p.x, p.y, p.z, 1.2f, 230, puffKinds[n % 3]);
    }
    // Lower row.
    for (int n = 0, k = missing(10, kGroundMarkCapacity); n < k; ++n) {
        Vec3 p = Scatter({482.5f, 0, 456}, n, 5);
        SpawnGroundMark(p.x, 0, p.z, 2.0f);
    }
    for (int n = 0, k = missing(8, kGroundDustCapacity); n < k; ++n) {
        Vec3 p = Scatter({489.5f, 0.5f, 458}, n, 2);
        SpawnGroundDust(p.x, p.y, p.z, 200, 1);
    }
    for (int n = 0, k = missing(6, kDustCloudCapacity); n < k; ++n) {
        Vec3 p = Scatter({496.5f, 0.5f, 458}, n, 1.5f);
        SpawnDustCloud(p.x, p.y, p.z, 1);
    }
    for (int n = 0, k = missing(7, kSprayCapacity); n < k; ++n) {
        Vec3 p = Scatter({503.5f, 0.5f, 458}, n, 1.5f);
        SpawnSpray(p.x, p.y, p.z, 1);
    }
    for (int n = 0, k = missing(3, kDebrisCapacity); n < k; ++n) {
        Vec3 p = Scatter({n % 2 ? 510.5f : 517.5f, 0.5f, 458}, n, 1);
        SpawnDebris(p.x, p.y, p.z, 0.5f, 40, n % 2 ? kTrailSmoke : kTrailDust, 40, 1.6f, 1);
    }
    // The trails beyond what the debris leave, as more debris would.
    for (int n = 0, k = missing(4, kTrailCapacity); n < k; ++n) {
        Vec3 p = Scatter({510.5f, 2, 458}, n, 2);
        SpawnTrail(p.x, p.y, p.z, 0.4f, kTrailSmoke);
    }
    for (int n = 0, k = missing(5, kTrailCapacity); n < k; ++n) {
        Vec3 p = Scatter({517.5f, 2, 458}, n, 2);
        SpawnTrail(p.x, p.y, p.z, 0.4f, kTrailDust);
    }
}

void DrawFrame()
{
    Clear(CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF506070, 1.0f, 0);
    BeginScene();
    // The scene pass's states where its particle blocks begin.
    SetRenderState(RS_LIGHTING, 0);
    SetRenderState(RS_ALPHABLENDENABLE, 1);
    SetRenderState(RS_SRCBLEND, BLEND_SRCALPHA);
    SetRenderState(RS_DESTBLEND, BLEND_INVSRCALPHA);
    DrawParticleQuads();
    DrawParticleSprites();
    EndScene();
    Present();
}

// The same particles every time: the pools filled from one seed, then
// `age` frames of the effects running, topped up as they go.
void Stage(int count, int age)
{
    ClearParticlePools();
    EyeSrand(7);
    Fill(count);
    for (int f = 0; f < age; ++f) {
        DrawFrame();
        if (count >= kTrailCapacity) Fill(count);
    }
}

struct Result {
    double msPerFrame;
    double glDraws, draws;
    std::vector<uint32_t> picture;
};

Result Run(int frames, int count, int age, bool merge)
{
    SetBatching(merge);
    Surface* bb = nullptr;
    GetBackBuffer(&bb);
    Result r;
    // The picture (and the warm-up): the same particles and random tints
    // for both ways.
    Stage(count, age);
    EyeSrand(8);
    DrawFrame();
    ReadSurface(bb, &r.picture);
    // Timed: each frame tops the pools up and draws them.
    FrameStats before = TotalStats();
    auto t0 = std::chrono::steady_clock::now();
    for (int f = 0; f < frames; ++f) {
        Fill(count);
        DrawFrame();
    }
    std::vector<uint32_t> px;
    ReadSurface(bb, &px);  // waits for the last frame to finish
    auto t1 = std::chrono::steady_clock::now();
    FrameStats after = TotalStats();
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
    int count = argc > 2 ? std::atoi(argv[2]) : kTrailCapacity;
    int age = argc > 3 ? std::atoi(argv[3]) : 0;
    if (frames < 1) frames = 1;
    if (count < 1) count = 1;
    if (age < 0) age = 0;
    if (!sys::Init(sys::Backend::Window, false) ||
        !sys::CreateMainWindow({"VARNOK particles", "bench", 800, 600, false}, nullptr) ||
        !CreateDevice(Backend::OpenGL, {800, 600, FMT_X8R8G8B8, true})) {
        std::fprintf(stderr, "particle benchmark: needs a display with OpenGL 3.3\n");
        return 1;
    }
#ifdef VARNOK_PACK
    if (chdir(VARNOK_PACK) != 0) std::fprintf(stderr, "particle benchmark: no data pack at %s\n", VARNOK_PACK);
#endif
    LoadEffectTextures();
    Vec3 eye = kEye, at = kAt;
    if (const char* near = getenv("VARNOK_BENCH_NEAR")) {
        at = {483.5f, 7, 460};
        eye = at - Vec3{0, 0, static_cast<float>(std::atof(near))};
    }
    CameraEye = eye;
    CameraLookAt = at;
    CameraUp = {0, 1, 0};
    BuildCameraFacing();
    ViewMatrix = MatLookAtLH(eye, at, {0, 1, 0});
    SetTransform(TS_VIEW, ViewMatrix);
    SetTransform(TS_PROJECTION, MatPerspectiveFovLH(1.0471976f, 1.3333334f, 0.1f, 12000.0f));
    BuildViewFrustum(&BattleFrustum, ViewMatrix, 60.0f, 1.3333334f, 1.0f, 320.0f);
    paused = 0;

    Result merged = Run(frames, count, age, true);
    Result single = Run(frames, count, age, false);
    PoolCount pools[kParticlePoolCount];
    CountParticlePools(pools);
    size_t differ = 0;
    for (size_t i = 0; i < merged.picture.size(); ++i) differ += merged.picture[i] != single.picture[i];
    std::printf("particle frame at 800 x 600: %.0f draws asked for\n", merged.draws);
    for (const PoolCount& p : pools) std::printf("  %-13s %5d live\n", p.name, p.live);
    std::printf("merged:   %8.2f ms per frame, %6.0f GL draws per frame\n", merged.msPerFrame, merged.glDraws);
    std::printf("unmerged: %8.2f ms per frame, %6.0f GL draws per frame\n", single.msPerFrame, single.glDraws);
    std::printf("pictures: %s (%zu of %zu pixels differ)\n", differ ? "DIFFERENT" : "identical", differ,
                merged.picture.size());
    if (const char* shot = getenv("VARNOK_BENCH_SHOT")) {
        // The merged picture again, on the back buffer to save.
        SetBatching(true);
        Stage(count, age);
        EyeSrand(8);
        DrawFrame();
        Surface* bb = nullptr;
        GetBackBuffer(&bb);
        SaveSurfaceToBmp(bb, shot);
        Release(bb);
    }
    ReleaseEffectTextures();
    ReleaseDevice();
    sys::Shutdown();
    return differ == 0 && merged.glDraws <= 64 ? 0 : 3;
}
