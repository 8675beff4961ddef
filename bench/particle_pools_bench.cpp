// Every particle pool held full by spawning each frame, for FRAMES frames
// (3600 by default: a minute of battle) on the null device: the time of a
// frame's spawning plus the scene pass's two particle blocks, which advance
// every pool.  Measured twice: with the camera turned away (everything
// culled: the spawning and the updates alone) and looking at the effects
// (the draws handed to the device as well).  Prints mean and p99 in ms of
// wall-clock time and of the thread's own CPU time (which other programs
// on a busy machine do not inflate).
//
//   varnok_particle_pools_bench [FRAMES]
#include <chrono>
#include <ctime>
#include "platform/test_hooks.h"

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

namespace {
constexpr Vec3 kSpot{500, 3, 460};

void Look(Vec3 eye, Vec3 at)
{
    CameraEye = eye;
    CameraLookAt = at;
    CameraUp = {0, 1, 0};
    BuildCameraFacing();
    ViewMatrix = MatLookAtLH(eye, at, {0, 1, 0});
    gfx::SetTransform(gfx::TS_VIEW, ViewMatrix);
    gfx::SetTransform(gfx::TS_PROJECTION, MatPerspectiveFovLH(1.0471976f, 1.3333334f, 0.1f, 12000.0f));
    BuildViewFrustum(&BattleFrustum, ViewMatrix, 60.0f, 1.3333334f, 1.0f, 320.0f);
}

// Tops every pool up to full through its spawner, as a battle at its
// busiest would: each call asks for more than can fit.
void SpawnAll(int frame)
{
    float x = kSpot.x + static_cast<float>(frame % 7), z = kSpot.z + static_cast<float>(frame % 5);
    for (int n = 0; n < 60; ++n) SpawnPuff(x, kSpot.y, z, 1.0f, 200, n % 2 ? PuffKind::TrailSmoke : PuffKind::GunSmoke);
    SpawnBurst(x, kSpot.y, z, 1.5f, 220, frame % 3, 40, 2);
    SpawnBlast(x, kSpot.y, z, 2.5f, 255, kLookFire1, 2, 3);
    SpawnDebris(x, 0.5f, z, 0.5f, 40, frame % 2, 40, 1.6f, 20);
    SpawnDustCloud(x, 0.5f, z, 60);
    SpawnSpray(x, 0.5f, z, 100);
    SpawnGroundDust(x, 0.5f, z, 200, 60);
    SpawnIce(x, 2, z, 0.6f, 20);
    SpawnGroundMark(x, 0, z, 2.0f);
    // What more debris would leave: the trail pools stay full too.
    for (int n = 0; n < 1200; ++n) {
        SpawnTrail(x, 2, z + static_cast<float>(n) * 0.01f, 0.5f, kTrailSmoke);
        SpawnTrail(x, 2, z + static_cast<float>(n) * 0.01f, 0.5f, kTrailDust);
    }
}

// The thread's CPU time in ms.
double CpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}

struct Stat {
    double mean, p99, worst;
};
Stat Summarise(std::vector<double> ms)
{
    double sum = 0;
    for (double m : ms) sum += m;
    std::sort(ms.begin(), ms.end());
    size_t at = std::min(ms.size() - 1, static_cast<size_t>(0.99 * static_cast<double>(ms.size())));
    return {sum / static_cast<double>(ms.size()), ms[at], ms.back()};
}

struct Figures {
    Stat wall, cpu;
    int lowestLive[kParticlePoolCount];
};

Figures Run(int frames, bool inView)
{
    ClearParticlePools();
    EyeSrand(1);
    if (inView) Look({500, 8, 400}, kSpot);
    else Look({500, 8, 400}, {500, 8, 300});
    // Fill up first: a few seconds of spawning until every pool is full.
    for (int f = 0; f < 600; ++f) {
        SpawnAll(f);
        DrawParticleQuads();
        DrawParticleSprites();
        gfx::Present();
    }
    Figures fig{};
    for (int& l : fig.lowestLive) l = 1 << 30;
    std::vector<double> ms, cpu;
    ms.reserve(static_cast<size_t>(frames));
    cpu.reserve(static_cast<size_t>(frames));
    for (int f = 0; f < frames; ++f) {
        double c0 = CpuMs();
        auto t0 = std::chrono::steady_clock::now();
        SpawnAll(f);
        auto t1 = std::chrono::steady_clock::now();
        double c1 = CpuMs();
        // How full the pools are when the frame draws them (not timed).
        PoolCount pools[kParticlePoolCount];
        CountParticlePools(pools);
        for (int k = 0; k < kParticlePoolCount; ++k) fig.lowestLive[k] = std::min(fig.lowestLive[k], pools[k].live);
        double c2 = CpuMs();
        auto t2 = std::chrono::steady_clock::now();
        DrawParticleQuads();
        DrawParticleSprites();
        auto t3 = std::chrono::steady_clock::now();
        double c3 = CpuMs();
        cpu.push_back((c1 - c0) + (c3 - c2));
        gfx::Present();
        ms.push_back(std::chrono::duration<double, std::milli>((t1 - t0) + (t3 - t2)).count());
    }
    fig.wall = Summarise(ms);
    fig.cpu = Summarise(cpu);
    return fig;
}
}  // namespace

int main(int argc, char** argv)
{
    int frames = argc > 1 ? std::atoi(argv[1]) : 3600;
    if (frames < 1) frames = 1;
    if (!sys::Init(sys::Backend::Headless, true) ||
        !sys::CreateMainWindow({"VARNOK particle pools", "bench", 800, 600, false}, nullptr) ||
        !gfx::CreateDevice(gfx::Backend::Null, {800, 600, gfx::FMT_X8R8G8B8, true})) {
        std::fprintf(stderr, "particle pools benchmark: the null device cannot be made\n");
        return 1;
    }
    paused = 0;
    Figures away = Run(frames, false);
    Figures seen = Run(frames, true);
    PoolCount pools[kParticlePoolCount];
    CountParticlePools(pools);
    std::printf("every pool held full for %d frames (null device)\n", frames);
    const int capacity[kParticlePoolCount] = {kPuffCapacity, kBurstCapacity, kBlastCapacity, kDebrisCapacity,
                                              kTrailCapacity, kTrailCapacity, kDustCloudCapacity, kSprayCapacity,
                                              kGroundDustCapacity, kIceCapacity, kGroundMarkCapacity};
    std::printf("  %-13s %8s %8s %22s\n", "pool", "capacity", "peak", "least live when drawn");
    for (int k = 0; k < kParticlePoolCount; ++k)
        std::printf("  %-13s %8d %8d %22d\n", pools[k].name, capacity[k], pools[k].peak, seen.lowestLive[k]);
    auto line = [](const char* what, const char* clock, const Stat& s) {
        std::printf("%-31s %-5s mean %6.3f ms   p99 %6.3f ms   worst %6.3f ms\n", what, clock, s.mean, s.p99,
                    s.worst);
    };
    line("spawn + update, all culled:", "wall", away.wall);
    line("", "cpu", away.cpu);
    line("spawn + update + draw, in view:", "wall", seen.wall);
    line("", "cpu", seen.cpu);
    gfx::ReleaseDevice();
    sys::Shutdown();
    return 0;
}
