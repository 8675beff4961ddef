// Shots in flight: the shared hit tests with their order and rules, damage,
// kills and hit reactions, homing missiles, and a short battle in which
// synthetic shells fired at a tank hit it, wear it down and kill it.
#include <gtest/gtest.h>

#include <cmath>

#include "services/scene.h"
#include "assets/sound.h"
#include "battle/frame.h"
#include "hit_models.h"
#include "records/state.h"
#include "units/robots/robot_kinds.h"
#include "sides/robot_side.h"
#include "sides/tank_side.h"
#include "battle/setup.h"
#include "effects/particles.h"
#include "effects/projectiles.h"
#include "headless_device.h"
#include "collision/collision.h"
#include "world/ground.h"
#include "sides/player.h"
#include "platform/crt_rand.h"
#include "platform/test_hooks.h"
#include "units/tanks/tank_kinds.h"
#include "world/map.h"
#include "world/sky.h"

namespace {
Vec3 Pos(const Mat4& m) { return {m.m[3][0], m.m[3][1], m.m[3][2]}; }

bool Finite(const Mat4& m)
{
    for (auto& row : m.m)
        for (float v : row)
            if (!std::isfinite(v)) return false;
    return true;
}

int gEffectCalls = 0;
void CountEffect(Vec3) { ++gEffectCalls; }
int gBounces = 0;
void Bounce(Projectile& shot, HitTest) { ++gBounces, shot.step.m[3][2] *= -1.0f / 3.0f; }

class Shots : public HeadlessDevice {
protected:
    void SetUp() override
    {
        HeadlessDevice::SetUp();
        ResetUnitRecords();
        for (auto& row : HeightGrid)
            for (float& h : row) h = 0;
        EarthCount = MercuryCount = 2;
        ::Shots = {};
        // Hit models for the ABRAMS (kind 2) and the D-ED.10 (kind 101).
        MakePart(&hull_, {1.1f, 0.5f, 2.5f});
        MakePart(&turret_, {0.8f, 0.3f, 1.2f});
        MakePart(&upper_, {1.0f, 1.0f, 1.0f});
        MakePart(&foot_, {0.4f, 0.3f, 0.6f});
        SetTankHitModels(2, &hull_, &turret_);
        SetRobotHitModels(101, &upper_, &foot_);
        for (int i = 0; i < 2; ++i) {
            PlaceTank(i, 300.0f + 100.0f * i, 300.0f);
            PlaceRobot(i, 300.0f + 100.0f * i, 600.0f);
        }
        shellBox_ = OrientedBox{};
        shellBox_.halfSize = {0.4f, 0.4f, 1.2f};
        rules_ = ShotRules{};
        rules_.order[0] = HitTest::Ground;
        rules_.order[1] = HitTest::Edge;
        rules_.order[2] = HitTest::Tanks;
        rules_.order[3] = HitTest::Robots;
        rules_.order[4] = HitTest::Walls;
        rules_.testCount = 5;
        rules_.edgeHeight = 100.0f;
        rules_.effectRadius = 3.0f;
        rules_.wallDistance = 5.0f;
        rules_.freeOnHit = true;
        rules_.box = &shellBox_;
        rules_.tankReaction = HitReaction::Shell;
        rules_.robotReaction = HitReaction::Shell;
        rules_.damageBase = 6;
        rules_.damageRange = 8;
        rules_.killShakeTimer = -50;
        // Every test's effects are in view.
        BuildViewFrustum(&BattleFrustum, MatLookAtLH({0, 500, 0}, {500, 0, 500}, {0, 1, 0}), 170.0f, 1.0f, 0.1f,
                         5000.0f);
        gEffectCalls = 0;
        gBounces = 0;
    }
    void TearDown() override
    {
        RestoreHitModels();
        for (ModelPart* p : {&hull_, &turret_, &upper_, &foot_}) gfx::Release(p->mesh);
        HeadlessDevice::TearDown();
    }
    static void MakePart(ModelPart* part, Vec3 half)
    {
        float v[3][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
        uint32_t idx[3] = {0, 1, 2};
        ASSERT_FALSE(gfx::Failed(gfx::CreateMesh(gfx::FVF_XYZ, v, 3, idx, 1, nullptr, &part->mesh)));
        part->box = OrientedBox{};
        part->box.halfSize = half;
    }
    static void PlaceTank(int i, float x, float z)
    {
        TankUnit& t = Tanks[i];
        SetTankKind(t, 2);
        t.alive = 1;
        t.hp = 256;
        t.world = t.turretWorld = MatTranslation(x, 0.72f, z);
    }
    static void PlaceRobot(int i, float x, float z)
    {
        RobotUnit& r = Robots[i];
        SetRobotKind(r, 101);
        r.alive = 1;
        r.hp = 256;
        for (Mat4& m : r.partWorld) m = MatTranslation(x, 2.2f, z);
    }
    Projectile ShotAt(Vec3 p)
    {
        Projectile s{};
        s.world = MatTranslation(p.x, p.y, p.z);
        s.step = MatTranslation(0, 0, 2.2f);
        s.state = kShotActive;
        return s;
    }
    ModelPart hull_, turret_, upper_, foot_;
    OrientedBox shellBox_;
    ShotRules rules_;
};
}  // namespace

TEST_F(Shots, TheFieldEdgeIsJustPastOneThousand)
{
    struct Case {
        Vec3 p;
        bool freed;
    } cases[] = {
        {{1000.0f, 50, 500}, false}, {{1000.01f, 50, 500}, true}, {{0.0f, 50, 500}, false},
        {{-0.01f, 50, 500}, true},   {{500, 50, 1000.0f}, false}, {{500, 50, 1000.01f}, true},
        {{500, 100.0f, 500}, false}, {{500, 100.01f, 500}, true},
    };
    rules_.order[0] = HitTest::Edge;
    rules_.testCount = 1;
    rules_.edgeEffects = CountEffect;
    for (const Case& c : cases) {
        Projectile s = ShotAt(c.p);
        uint32_t hits = RunHitTests(s, rules_, {false, 0});
        EXPECT_EQ(s.state == kShotFree, c.freed) << c.p.x << " " << c.p.y << " " << c.p.z;
        EXPECT_EQ(hits != 0, c.freed);
    }
    EXPECT_EQ(gEffectCalls, 4);
}

TEST_F(Shots, LeavingTheFieldMeetsNoGroundBeyondIt)
{
    // A shell low over the east edge: the ground test, which runs first,
    // finds no ground outside the field; only the edge frees it.
    for (Vec3 p : {Vec3{1000.5f, -5, 500}, Vec3{500, -5, 1003}, Vec3{-2, -5, -2}}) {
        Projectile s = ShotAt(p);
        uint32_t hits = RunHitTests(s, rules_, {false, 0});
        EXPECT_EQ(hits, 1u << static_cast<int>(HitTest::Edge)) << p.x << " " << p.z;
        EXPECT_EQ(s.state, kShotFree);
    }
    Projectile inside = ShotAt({500, -0.5f, 500});
    EXPECT_EQ(RunHitTests(inside, rules_, {false, 0}), 1u << static_cast<int>(HitTest::Ground));
}

TEST_F(Shots, EveryTestRunsAfterAnEarlierHit)
{
    // Just below the ground inside a tank: the ground and the tank both hit.
    Tanks[0].world = Tanks[0].turretWorld = MatTranslation(300, 0, 300);
    Projectile s = ShotAt({300, -0.1f, 300});
    rules_.groundEffects = rules_.tankEffects = CountEffect;
    uint32_t hits = RunHitTests(s, rules_, {false, 0});
    EXPECT_EQ(hits, (1u << static_cast<int>(HitTest::Ground)) | (1u << static_cast<int>(HitTest::Tanks)));
    EXPECT_EQ(gEffectCalls, 2);
    EXPECT_EQ(Tanks[0].shakeCode, HitReaction::Shell);
    EXPECT_LT(Tanks[0].hp, 256);
}

TEST_F(Shots, DamageKillsAndReactionsFollowTheSides)
{
    // A robot's shell brings a tank to exactly 0: a kill.
    rules_.damageBase = 10;
    rules_.damageRange = 1;  // exactly 10
    rules_.killEffects = CountEffect;
    Tanks[0].hp = 10;
    Projectile s = ShotAt(Pos(Tanks[0].world));
    RunHitTests(s, rules_, {false, 1});
    EXPECT_EQ(Tanks[0].hp, 0);
    EXPECT_EQ(Tanks[0].deaths, 1);
    EXPECT_EQ(Tanks[0].shakeCode, HitReaction::Killed);
    EXPECT_EQ(Tanks[0].shakeTimer, -50);
    EXPECT_EQ(Robots[1].kills, 1);
    EXPECT_EQ(::Shots.kills, 1u);
    EXPECT_EQ(gEffectCalls, 1);  // the kill's effects, at the victim

    // A tank at 0, or a wreck, takes nothing and gives no kill, but still
    // shows the hit reaction.
    for (int k = 0; k < 2; ++k) {
        Tanks[0].hp = k == 0 ? 0.0f : 50.0f;
        Tanks[0].alive = k == 0 ? 1 : 0;
        Tanks[0].shakeCode = HitReaction::None;
        s = ShotAt(Pos(Tanks[0].world));
        RunHitTests(s, rules_, {false, 1});
        EXPECT_EQ(Tanks[0].hp, k == 0 ? 0.0f : 50.0f);
        EXPECT_EQ(Tanks[0].shakeCode, HitReaction::Shell);
        EXPECT_EQ(Robots[1].kills, 1);
    }

    // A robot's shell on a robot: effects and the reaction, no damage.
    s = ShotAt(Pos(Robots[0].World()));
    RunHitTests(s, rules_, {false, 1});
    EXPECT_EQ(Robots[0].shakeCode, HitReaction::Shell);
    EXPECT_EQ(Robots[0].hp, 256);
    // A tank's shot on a robot takes hit points.
    s = ShotAt(Pos(Robots[0].World()));
    RunHitTests(s, rules_, {true, 0});
    EXPECT_LT(Robots[0].hp, 256);
    EXPECT_GE(Robots[0].hp, 256 - 13);
    EXPECT_EQ(::Shots.unitHits, 5u);
    // A tank's shot on another tank, and a robot's on another robot, are no
    // unit's hit on itself.
    s = ShotAt(Pos(Tanks[0].world));
    RunHitTests(s, rules_, {true, 1});
    s = ShotAt(Pos(Robots[0].World()));
    RunHitTests(s, rules_, {false, 1});
    EXPECT_EQ(::Shots.unitHits, 7u);
    EXPECT_EQ(::Shots.selfHits, 0u);
}

TEST_F(Shots, UnitsAboveTheCountAndKindsWithoutModelsAreNeverHit)
{
    EarthCount = 1;
    Projectile s = ShotAt(Pos(Tanks[1].world));
    EXPECT_EQ(RunHitTests(s, rules_, {false, 0}), 0u);
    EarthCount = 2;
    SetTankKind(Tanks[1], 5);  // no hit models loaded for this kind
    s = ShotAt(Pos(Tanks[1].world));
    EXPECT_EQ(RunHitTests(s, rules_, {false, 0}), 0u);
    EXPECT_EQ(s.state, kShotActive);
}

TEST_F(Shots, AShotThatIsNotFreedBouncesAndHitsAgain)
{
    rules_.freeOnHit = false;
    rules_.onHit = Bounce;
    rules_.order[0] = HitTest::Tanks;
    rules_.testCount = 1;
    Projectile s = ShotAt(Pos(Tanks[0].world));  // tank 1's shot at tank 0
    RunHitTests(s, rules_, {true, 1});
    RunHitTests(s, rules_, {true, 1});
    EXPECT_EQ(s.state, kShotActive);
    EXPECT_EQ(gBounces, 2);
}

TEST_F(Shots, FiringTakesTheFirstFreeSlotAndNothingWhenAllAreBusy)
{
    Projectile table[3] = {};
    table[0].state = kShotActive;
    EXPECT_TRUE(FireShot(table, 3, MatTranslation(1, 2, 3), MatTranslation(0, 0, 2)));
    EXPECT_EQ(table[1].state, kShotActive);
    EXPECT_EQ(table[1].world.m[3][1], 2);
    EXPECT_TRUE(FireShot(table, 3, MatIdentity(), MatIdentity()));
    EXPECT_FALSE(FireShot(table, 3, MatIdentity(), MatIdentity()));
    EXPECT_EQ(::Shots.fired, 2u);
}

TEST_F(Shots, MissilesHomeCoastAndNeverBreakOnADegenerateTarget)
{
    Srand(7);
    // Straight ahead: no turn, only a roll about its own axis.
    Projectile m = ShotAt({100, 20, 100});
    m.step = MatTranslation(0, 0, 1);
    SteerMissile(m, {100, 20, 200});
    Vec3 ahead = Vec3TransformNormal({0, 0, 1}, m.world);
    EXPECT_NEAR(ahead.x, 0, 1e-5);
    EXPECT_NEAR(ahead.y, 0, 1e-5);
    EXPECT_NEAR(ahead.z, 1, 1e-5);
    EXPECT_NEAR(Pos(m.world).z, 101, 1e-4);

    // Off to the side: it turns toward the target by at most 3 degrees.
    m = ShotAt({100, 20, 100});
    m.step = MatTranslation(0, 0, 1);
    SteerMissile(m, {200, 20, 100});
    ahead = Vec3TransformNormal({0, 0, 1}, m.world);
    EXPECT_GT(ahead.x, std::sin(0.9f * 0.0174533f));
    EXPECT_LT(ahead.x, std::sin(3.1f * 0.0174533f));

    // 19.9 from its target after the move it coasts; 20.1 away it homes.
    m = ShotAt({100, 20, 100});
    m.step = MatTranslation(0, 0, 0);
    SteerMissile(m, {100, 20, 119.9f});
    EXPECT_EQ(m.state, kShotCoasting);
    SteerMissile(m, {100, 20, 120.1f});
    EXPECT_EQ(m.state, kShotActive);

    // Exactly behind, or at its own position: no axis to turn about.
    for (Vec3 target : {Vec3{100, 20, 0}, Vec3{100, 20, 100}}) {
        m = ShotAt({100, 20, 100});
        m.step = MatTranslation(0, 0, 1);
        for (int k = 0; k < 5; ++k) SteerMissile(m, target);
        EXPECT_TRUE(Finite(m.world)) << target.z;
    }
}

// --- a short battle with synthetic shells -------------------------------------------------

namespace {
// A test weapon: robot 0 fires a shell at tank 0 every 12 frames from 40
// units to its left over the flat start area (no other tank stands in the
// way), with a robot shell's effects.
OrientedBox gTestShellBox;
ShotRules gTestRules;

void ShellEffects(Vec3 p)
{
    float size = 0.6f + 0.2f * (Rand() / 32768.0f);
    SpawnBlast(p.x, p.y, p.z, size, 225, kLookSmoke, 1, 3);
    int life = Rand() % 6 + 32;
    float speed = 1.2f + 0.2f * (Rand() / 32768.0f);
    int count = Rand() % 3 + 2;
    SpawnDebris(p.x, p.y, p.z, 0.066f, life, kTrailSmoke, 160, speed, count);
}

void KillEffects(Vec3 t)
{
    float size = 2.6f + 0.6f * (Rand() / 32768.0f);
    int alpha = Rand() % 66 + 190;
    int look = Rand() % 2 + 1;
    SpawnBlast(t.x, t.y, t.z, size, alpha, look, 1, 2);
}

int gFrame = 0;
void TestRobotShots(RobotUnit& robot, int slot)
{
    if (slot != 0) return;
    const TankUnit& target = Tanks[0];
    if (++gFrame % 12 == 0) {
        Vec3 at = Pos(target.world);
        FireShot(robot.shells, 30, MatRotationY(1.5707963f) * MatTranslation(at.x - 40.0f, at.y + 0.3f, at.z),
                 MatTranslation(0, 0, 2.2f));
    }
    for (int i = 0; i < 30; ++i) {
        Projectile& s = robot.shells[i];
        if (s.state != kShotActive) continue;
        s.world = s.step * s.world;
        RunHitTests(s, gTestRules, {false, slot});
    }
}
}  // namespace

TEST(ShotsInBattle, SyntheticShellsWearATankDownAndKillIt)
{
    ASSERT_TRUE(sys::Init(sys::Backend::Headless, true));
    ASSERT_TRUE(sys::CreateMainWindow({"VARNOK", "test", 800, 600, false}, nullptr));
    OptionData = kDefaultOptions;
    ASSERT_EQ(CreateDevice3D(true), 1);
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(VARNOK_PACK), 0);
    SetFixedRenderStates();
    CreateSpriteBatcher();
    InitSound(true, "");
    LoadMap();

    ModelPart hull, turret;
    float v[3][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    uint32_t idx[3] = {0, 1, 2};
    ASSERT_FALSE(gfx::Failed(gfx::CreateMesh(gfx::FVF_XYZ, v, 3, idx, 1, nullptr, &hull.mesh)));
    hull.box.halfSize = {1.1f, 0.6f, 2.5f};
    turret.box.halfSize = {0.8f, 0.3f, 1.2f};
    SetTankHitModels(2, &hull, &turret);
    gTestShellBox = OrientedBox{};
    gTestShellBox.halfSize = {0.4f, 0.4f, 1.2f};
    gTestRules = ShotRules{{HitTest::Ground, HitTest::Edge, HitTest::Tanks, HitTest::Robots, HitTest::Walls},
                           5, 100.0f, 3.0f, 5.0f, true, &gTestShellBox, HitReaction::Shell, HitReaction::Shell, 6, 8, -50,
                           ShellEffects, nullptr, ShellEffects, ShellEffects, ShellEffects, KillEffects, nullptr};
    // Both kinds that fight shoot the test's shells instead of their own.
    RobotKind savedKinds[2] = {RobotKinds[0], RobotKinds[1]};
    RobotKinds[0].updateShots = RobotKinds[1].updateShots = TestRobotShots;

    int live[2][kParticlePoolCount];
    for (int run = 0; run < 2; ++run) {
        ClearParticlePools();
        ResetUnitRecords();
        ResetPlayerControl();
        ResetBattleFrame();
        ::Shots = {};
        gFrame = 0;
        SetFixedSeed(true, 99);
        sys::SetVirtualTime(0);
        PlayerSide = 0;
        TankTypeId = 2;
        EarthCount = MercuryCount = 2;
        SkyId = 203;
        BattleClock = 30 * 3600;
        ResetSteps();
        SceneProc = BattleInit;
        ASSERT_EQ(RunMessageLoop(600), 0);
        const TankUnit& t = Tanks[0];
        // The tank was worn down and killed once (its wreck then mends).
        EXPECT_EQ(t.deaths, 1) << "run " << run;
        EXPECT_EQ(Robots[0].kills, 1);
        EXPECT_GE(::Shots.unitHits, 20u);  // 256 hit points at 6 to 13 a shell
        EXPECT_EQ(::Shots.kills, 1u);
        PoolCount pools[kParticlePoolCount];
        CountParticlePools(pools);
        int peakSum = 0;
        for (int k = 0; k < kParticlePoolCount; ++k) {
            live[run][k] = pools[k].live;
            peakSum += pools[k].peak;
        }
        EXPECT_GT(peakSum, 0);
    }
    for (int k = 0; k < kParticlePoolCount; ++k) EXPECT_EQ(live[0][k], live[1][k]) << k;

    RobotKinds[0] = savedKinds[0];
    RobotKinds[1] = savedKinds[1];
    ReleaseAllTankModels();
    ReleaseAllRobotModels();
    RestoreHitModels();
    SetFixedSeed(false, 0);
    gfx::Release(hull.mesh);
    ReleaseBattleTextures();
    ReleaseBattleEffect();
    ReleaseMap();
    ReleaseSounds();
    ShutdownSound();
    ReleaseShadowResources();
    ReleaseFontsAndSprite();
    ReleaseDevice3D();
    sys::Shutdown();
    EXPECT_EQ(chdir(cwd), 0);
}
