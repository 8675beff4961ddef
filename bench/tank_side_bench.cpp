// The tank side at its busiest, headless on the null device: 16 ABRAMS
// facing 16 robots that stand still 100 ahead (kept alive, so the shooting
// never stops), every tank firing its roof machine gun whenever the mount
// is up and a main-gun shell every 78 frames, for FRAMES frames (3600 by
// default).  Times the tank side's part of a battle frame: the decisions
// and the update with every shot's flight and hits.  Prints mean and p99
// in ms of wall-clock and of the thread's CPU time, and the shots in the
// air.
//
//   varnok_tank_side_bench [FRAMES]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "battle/frame.h"
#include "records/state.h"
#include "units/robots/robot_kinds.h"
#include "sides/robot_side.h"
#include "battle/setup.h"
#include "effects/particles.h"
#include "effects/projectiles.h"
#include "collision/collision.h"
#include "world/ground.h"
#include "sides/player.h"
#include "sides/tank_side.h"
#include "platform/crt_rand.h"
#include "platform/gfx.h"
#include "platform/system.h"
#include "platform/test_hooks.h"
#include "units/tanks/tank_kinds.h"
#include "world/map.h"

namespace {
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

void Look(Vec3 eye, Vec3 at)
{
    CameraEye = eye;
    CameraLookAt = at;
    CameraUp = {0, 1, 0};
    BuildCameraFacing();
    ViewMatrix = MatLookAtLH(eye, at, {0, 1, 0});
    BuildViewFrustum(&BattleFrustum, ViewMatrix, 60.0f, 1.3333334f, 1.0f, 320.0f);
}

void HoldRobotsStill()
{
    for (int j = 0; j < MercuryCount; ++j) {
        RobotUnit& r = Robots[j];
        r.alive = 1;
        r.hp = 256;
        r.shakeCode = HitReaction::None;
        r.shakeTimer = 0;
    }
}
struct Result {
    Stat wall, cpu;
    uint64_t fired, hits;
    double inAir;
};

Result Run(int frames)
{
    ::Shots = {};
    ClearParticlePools();
    ResetUnitRecords();
    Srand(1);
    PlayerSide = 0;
    DemoPlayer = true;  // the computer aims every tank
    paused = 0;
    EarthCount = MercuryCount = 16;
    for (int i = 0; i < 16; ++i) {
        SetTankKind(Tanks[i], kTankAbrams);
        LoadTankModels(kTankAbrams);
        SpawnTank(i);
        NewTankPatrol(i);
        SetRobotKind(Robots[i], 101);
        LoadRobotModels(101);
        // Each robot 100 ahead of its tank (the tanks face -z).
        Vec3 t{Tanks[i].world.m[3][0], 0, Tanks[i].world.m[3][2]};
        Robots[i].World() = MatTranslation(t.x, 0, t.z - 100);
    }
    FollowGroundTanks();
    FollowGroundRobots();
    for (int j = 0; j < 16; ++j)
        for (Mat4& m : Robots[j].partWorld) m = Robots[j].World();
    for (int i = 0; i < 16; ++i) {
        Tanks[i].weapon = kWeaponSecond;  // the mount rises in the first 60 frames
        Tanks[i].weaponSwap = 0;
    }
    Look({895, 12, 945}, {895, 0, 800});

    std::vector<double> ms, cpu;
    ms.reserve(static_cast<size_t>(frames));
    cpu.reserve(static_cast<size_t>(frames));
    uint64_t inAir = 0;
    for (int f = 0; f < frames; ++f) {
        HoldRobotsStill();
        FollowGroundTanks();
        double c0 = CpuMs();
        auto t0 = std::chrono::steady_clock::now();
        TankAiDecide();
        for (int i = 0; i < 16; ++i) {
            ControlFlags& c = TankControls[i];
            c.fire = 1;  // the machine gun fires whenever its mount is up
            c.switchWeapon = 0;
            // The main gun too, on its own 78-frame cycle.
            if (f % 78 == i % 78) FireAbrams(Tanks[i], MatTranslation(0, 0, 1.8f) * Tanks[i].gunWorld, kWeaponMainGun);
        }
        TankSideUpdate();
        for (int i = 0; i < EarthCount; ++i) UpdateTankShots(i);
        auto t1 = std::chrono::steady_clock::now();
        double c1 = CpuMs();
        ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        cpu.push_back(c1 - c0);
        SeparateTanks();
        // Particles age as in a battle (drawn on the null device).
        DrawParticleQuads();
        DrawParticleSprites();
        gfx::Present();
        for (const TankUnit& t : Tanks) {
            for (const Projectile& p : t.shells) inAir += p.state != kShotFree;
            for (const Projectile& p : t.bullets) inAir += p.state != kShotFree;
        }
    }
    Result r{Summarise(ms), Summarise(cpu), ::Shots.fired, ::Shots.unitHits, static_cast<double>(inAir) / frames};
    return r;
}
}  // namespace

int main(int argc, char** argv)
{
    int frames = argc > 1 ? std::atoi(argv[1]) : 3600;
    if (frames < 1) frames = 1;
    if (!sys::Init(sys::Backend::Headless, true) ||
        !sys::CreateMainWindow({"VARNOK tank side", "bench", 800, 600, false}, nullptr) ||
        !gfx::CreateDevice(gfx::Backend::Null, {800, 600, gfx::FMT_X8R8G8B8, true})) {
        std::fprintf(stderr, "tank side benchmark: the null device cannot be made\n");
        return 1;
    }
    if (chdir(VARNOK_PACK) != 0) {
        std::fprintf(stderr, "tank side benchmark: no data pack at %s\n", VARNOK_PACK);
        return 1;
    }
    LoadMap();
    Result withWalls = Run(frames);
    // The same without the stage's collision mesh: what the walls' rays cost.
    ReleaseSimpleModel(&StageCollision);
    Result noWalls = Run(frames);
    std::printf("16 ABRAMS against 16 still robots, both weapons firing, %d frames (null device)\n", frames);
    auto line = [](const char* what, const Result& r) {
        std::printf("%s\n  shots fired %llu, unit hits %llu, shots in the air %.1f a frame on average\n", what,
                    static_cast<unsigned long long>(r.fired), static_cast<unsigned long long>(r.hits), r.inAir);
        std::printf("  decisions + update + shots: wall mean %6.3f ms  p99 %6.3f ms  worst %6.3f ms\n", r.wall.mean,
                    r.wall.p99, r.wall.worst);
        std::printf("                              cpu  mean %6.3f ms  p99 %6.3f ms  worst %6.3f ms\n", r.cpu.mean,
                    r.cpu.p99, r.cpu.worst);
    };
    line("with the stage's walls:", withWalls);
    line("without walls (no wall rays for hulls and shots):", noWalls);
    ReleaseAllTankModels();
    ReleaseAllRobotModels();
    ReleaseMap();
    gfx::ReleaseDevice();
    sys::Shutdown();
    return 0;
}
