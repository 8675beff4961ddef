// What the battle's state hash costs against the step it is taken in: a
// 16 v 16 demo battle on the null device, seed 1, STEPS steps (6000 by
// default: the armies meet at about 4000, so the shots fly).  After each
// step the hash is taken twice more and timed: the first time after the
// step's drawing has gone through the caches (more than a step pays, as it
// hashes right after the shots have moved), the second with everything at
// hand (less than it pays).  Both are set against the step's update phase
// (the battle report's update time) and the whole step.
//
//   varnok_state_hash_bench [STEPS]
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "battle/frame.h"
#include "battle/setup.h"
#include "battle/state_hash.h"
#include "records/state.h"
#include "services/device.h"
#include "services/report.h"
#include "services/scene.h"
#include "platform/crt_rand.h"
#include "platform/gfx.h"
#include "platform/system.h"
#include "platform/test_hooks.h"
#include "world/map.h"

namespace {
using Clock = std::chrono::steady_clock;
double Ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

// The update phase's mean from the battle report, in ms.
double UpdateMeanMs()
{
    const std::string report = BuildReport();
    const std::string key = "\"update\":{\"mean\":";
    size_t at = report.find(key);
    return at == std::string::npos ? 0 : std::atof(report.c_str() + at + key.size());
}
}  // namespace

int main(int argc, char** argv)
{
    int steps = argc > 1 ? std::atoi(argv[1]) : 6000;
    if (steps < 1) steps = 1;
    if (!sys::Init(sys::Backend::Headless, true) ||
        !sys::CreateMainWindow({"VARNOK state hash", "bench", 800, 600, false}, nullptr) ||
        !gfx::CreateDevice(gfx::Backend::Null, {800, 600, gfx::FMT_X8R8G8B8, true})) {
        std::fprintf(stderr, "state hash benchmark: the null device cannot be made\n");
        return 1;
    }
    if (chdir(VARNOK_PACK) != 0) {
        std::fprintf(stderr, "state hash benchmark: no data pack at %s\n", VARNOK_PACK);
        return 1;
    }
    SetFixedSeed(true, 1);
    SetFixedRenderStates();
    CreateSpriteBatcher();
    LoadMap();
    RegisterBattleReport();
    PlayerSide = 0;
    DemoPlayer = true;
    EarthCount = MercuryCount = 16;
    BattleClock = 90 * kTicksPerMinute;
    sys::SetVirtualTime(0);
    BattleInit();
    ResetBattleFrame();
    double step = 0, cold = 0, warm = 0;
    uint64_t sink = 0;
    for (int k = 0; k < steps; ++k) {
        sys::SetVirtualTime(static_cast<uint32_t>(k * 16 + 16));
        auto t0 = Clock::now();
        BattleFrame();
        auto t1 = Clock::now();
        sink ^= BattleStateHash();
        auto t2 = Clock::now();
        sink ^= BattleStateHash() >> 1;
        auto t3 = Clock::now();
        step += Ms(t0, t1);
        cold += Ms(t1, t2);
        warm += Ms(t2, t3);
    }
    step /= steps;
    cold /= steps;
    warm /= steps;
    const double update = UpdateMeanMs();
    std::printf("16 v 16 demo battle, %d steps, null device (%016llx)\n", steps, static_cast<unsigned long long>(sink));
    std::printf("  update phase %8.4f ms a step, the whole step %8.4f ms\n", update, step);
    std::printf("  state hash   %8.4f ms after drawing: %5.2f%% of the update, %5.2f%% of the step\n", cold,
                100 * cold / update, 100 * cold / step);
    std::printf("               %8.4f ms at hand:       %5.2f%% of the update, %5.2f%% of the step\n", warm,
                100 * warm / update, 100 * warm / step);
    ReleaseMap();
    gfx::ReleaseDevice();
    sys::Shutdown();
    return 0;
}
