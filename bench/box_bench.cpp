// The weapons' worst frame: every projectile slot of 16 tanks and 16 robots
// in flight (a tank's 10 shells and 100 bullets, a robot's 60 shells and 120
// missiles: 4640 shots), each tried against all 32 units by their hit boxes.
//
// Two fields: "spread", the units scattered over the battlefield with each
// shot within 200 units of its owner, and "melee", all 32 units and every
// shot packed into a 40 x 40 square, where few pairs are far enough apart to
// be turned away early.  Each is timed with the hit tests as the game calls
// them (reject=1) and with every box pair put through all fifteen axes
// (reject=0).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

#include "assets/model.h"
#include "records/state.h"
#include "units/robots/robot_kinds.h"
#include "units/tanks/tank_kinds.h"
#include "sides/robot_side.h"
#include "sides/tank_side.h"
#include "battle/setup.h"
#include "collision/collision.h"
#include "platform/gfx.h"
#include "platform/system.h"

namespace {
constexpr int kTankShells = 10, kTankBullets = 100, kRobotShells = 60, kRobotMissiles = 120;

struct Shot {
    const OrientedBox* box;
    Mat4 world;
};

struct Random {
    std::mt19937 engine{77u};
    float Uniform(float lo, float hi) { return lo + (hi - lo) * float((engine() >> 8) * (1.0 / 16777216.0)); }
};

Mat4 Place(float yawDeg, float pitchDeg, float rollDeg, Vec3 at)
{
    return MatRotationYawPitchRoll(yawDeg * kDegToRad, pitchDeg * kDegToRad, rollDeg * kDegToRad) *
           MatTranslation(at.x, at.y, at.z);
}

void MakeCuboid(ModelPart* part, Vec3 lo, Vec3 hi)
{
    float v[8][3];
    for (int i = 0; i < 8; ++i) {
        v[i][0] = i & 1 ? hi.x : lo.x;
        v[i][1] = i & 2 ? hi.y : lo.y;
        v[i][2] = i & 4 ? hi.z : lo.z;
    }
    const uint32_t idx[36] = {0, 2, 1, 1, 2, 3, 4, 5, 6, 5, 7, 6, 0, 1, 4, 1, 5, 4,
                              2, 6, 3, 3, 6, 7, 0, 4, 2, 2, 4, 6, 1, 3, 5, 3, 7, 5};
    if (gfx::Failed(gfx::CreateMesh(gfx::FVF_XYZ, v, 8, idx, 12, nullptr, &part->mesh)) ||
        gfx::Failed(ComputeModelBox(part)))
        std::abort();
}

OrientedBox ShotBox(float hx, float hy, float hz)
{
    OrientedBox b{};
    b.halfSize = {hx, hy, hz};
    return b;
}

// Two tank kinds and two robot kinds, all 16 a side, placed at random over
// the field or the melee square; each shot near its owner, inside the same
// square.
std::vector<Shot> SetUpField(bool melee)
{
    static const OrientedBox tankShell = ShotBox(0.1f, 0.1f, 0.5f), bullet = ShotBox(0.03f, 0.03f, 0.3f);
    static const OrientedBox robotShell = ShotBox(0.15f, 0.15f, 0.6f), missile = ShotBox(0.1f, 0.1f, 0.4f);
    Random r;
    float lo = melee ? 480 : 0, hi = melee ? 520 : 1000, reach = melee ? 20 : 200;
    auto near = [&](Vec3 c) {
        auto clamp = [&](float v) { return v < lo ? lo : v > hi ? hi : v; };
        return Vec3{clamp(c.x + r.Uniform(-reach, reach)), c.y + r.Uniform(-1, 4), clamp(c.z + r.Uniform(-reach, reach))};
    };
    ResetUnitRecords();
    EarthCount = MercuryCount = kMaxUnits;
    std::vector<Shot> shots;
    for (int i = 0; i < kMaxUnits; ++i) {
        TankUnit& t = Tanks[i];
        SetTankKind(t, 1 + i % 2);
        Vec3 at{r.Uniform(lo, hi), 1.5f, r.Uniform(lo, hi)};
        t.world = Place(r.Uniform(-180, 180), r.Uniform(-8, 8), r.Uniform(-8, 8), at);
        t.turretWorld = Place(r.Uniform(-180, 180), 0, 0, {at.x, at.y + 1.4f, at.z});
        for (int k = 0; k < kTankShells + kTankBullets; ++k)
            shots.push_back({k < kTankShells ? &tankShell : &bullet,
                             Place(r.Uniform(-180, 180), r.Uniform(-10, 10), 0, near(at))});

        RobotUnit& b = Robots[i];
        SetRobotKind(b, 101 + i % 2);
        at = {r.Uniform(lo, hi), 0, r.Uniform(lo, hi)};
        float yaw = r.Uniform(-180, 180);
        b.World() = Place(yaw, 0, 0, at);
        b.partWorld[1] = Place(yaw + r.Uniform(-30, 30), 0, 0, {at.x, 4, at.z});
        b.partWorld[7] = Place(yaw, 0, 0, {at.x - 0.8f, 0.1f, at.z});
        b.partWorld[8] = Place(yaw, 0, 0, {at.x + 0.8f, 0.1f, at.z});
        for (int k = 0; k < kRobotShells + kRobotMissiles; ++k)
            shots.push_back({k < kRobotShells ? &robotShell : &missile,
                             Place(r.Uniform(-180, 180), r.Uniform(-10, 10), 0, near({at.x, 3, at.z}))});
    }
    return shots;
}

// The same pairs the hit tests try, each through all fifteen axes.
bool TankAllAxes(const Shot& s, const TankUnit& t)
{
    const TankHitModels& m = *t.row->hitModels;
    return BoxesOverlapAllAxes(m.body->box, *s.box, t.world, s.world) ||
           BoxesOverlapAllAxes(m.top->box, *s.box, t.turretWorld, s.world);
}
bool RobotAllAxes(const Shot& s, const RobotUnit& b)
{
    const RobotHitModels& m = *b.row->hitModels;
    return BoxesOverlapAllAxes(m.upperBody->box, *s.box, b.partWorld[1], s.world) ||
           BoxesOverlapAllAxes(m.foot->box, *s.box, b.partWorld[7], s.world) ||
           BoxesOverlapAllAxes(m.foot->box, *s.box, b.partWorld[8], s.world);
}

void BM_EveryShotAgainstEveryUnit(benchmark::State& state)
{
    const bool melee = state.range(0) != 0, reject = state.range(1) != 0;
    sys::Init(sys::Backend::Headless, true);
    gfx::CreateDevice(gfx::Backend::Null, {800, 600, gfx::FMT_X8R8G8B8, true});
    ModelPart hull, turret, upperBody, foot;
    MakeCuboid(&hull, {-1.6f, -0.6f, -2.8f}, {1.6f, 0.6f, 2.8f});
    MakeCuboid(&turret, {-1.1f, -0.4f, -1.3f}, {1.1f, 0.4f, 1.3f});
    MakeCuboid(&upperBody, {-1.2f, -1.0f, -0.9f}, {1.2f, 1.2f, 0.9f});
    MakeCuboid(&foot, {-0.35f, 0, -0.6f}, {0.35f, 0.2f, 0.6f});
    // Both fighting kinds of each side take these boxes for the run.
    const TankHitModels tankBoxes{&hull, &turret};
    const RobotHitModels robotBoxes{&upperBody, &foot};
    const TankHitModels* tankKept[2] = {TankKinds[0].hitModels, TankKinds[1].hitModels};
    const RobotHitModels* robotKept[2] = {RobotKinds[0].hitModels, RobotKinds[1].hitModels};
    for (int row : {0, 1}) TankKinds[row].hitModels = &tankBoxes, RobotKinds[row].hitModels = &robotBoxes;
    std::vector<Shot> shots = SetUpField(melee);

    int64_t hits = 0;
    for (auto _ : state) {
        hits = 0;
        for (const Shot& s : shots) {
            for (int i = 0; i < kMaxUnits; ++i)
                hits += reject ? ShotHitsTankBox(*s.box, s.world, Tanks[i]) : TankAllAxes(s, Tanks[i]);
            for (int i = 0; i < kMaxUnits; ++i)
                hits += reject ? ShotHitsRobotBox(*s.box, s.world, Robots[i]) : RobotAllAxes(s, Robots[i]);
        }
        benchmark::DoNotOptimize(hits);
    }
    state.counters["shots"] = double(shots.size());
    state.counters["unit_tests"] = double(shots.size() * 2 * kMaxUnits);
    state.counters["hits"] = double(hits);

    for (int row : {0, 1}) TankKinds[row].hitModels = tankKept[row], RobotKinds[row].hitModels = robotKept[row];
    for (ModelPart* p : {&hull, &turret, &upperBody, &foot}) gfx::Release(p->mesh);
    ResetUnitRecords();
    gfx::ReleaseDevice();
    sys::Shutdown();
}
BENCHMARK(BM_EveryShotAgainstEveryUnit)
    ->ArgNames({"melee", "reject"})
    ->Args({0, 1})
    ->Args({0, 0})
    ->Args({1, 1})
    ->Args({1, 0})
    ->Unit(benchmark::kMillisecond);
}  // namespace
