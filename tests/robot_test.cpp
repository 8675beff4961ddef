// The Mercury side: a robot's walk (legs, stride, footsteps), its weapons
// (arm guns, pods and homing missiles, the fire timer, the kinds' firing
// rules and sounds), the computer's decisions (target, patrol,
// manoeuvres), damage, death and the return at the start point, the
// D-ED.10's pose and draw lists, and a duel in which kills and deaths are
// counted on both sides.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>

#include "services/device.h"
#include "assets/sound.h"
#include "battle/frame.h"
#include "hit_models.h"
#include "records/state.h"
#include "side_steps.h"
#include "sides/tank_side.h"
#include "battle/setup.h"
#include "effects/particles.h"
#include "effects/projectiles.h"
#include "drawn.h"
#include "headless_device.h"
#include "collision/collision.h"
#include "world/ground.h"
#include "sides/player.h"
#include "sides/robot_side.h"
#include "platform/crt_rand.h"
#include "platform/mesh_data.h"
#include "platform/test_hooks.h"
#include "units/robots/robot_kinds.h"
#include "units/tanks/tank_kinds.h"
#include "world/map.h"

namespace {
Vec3 Pos(const Mat4& m) { return {m.m[3][0], m.m[3][1], m.m[3][2]}; }

bool Same(const Mat4& a, const Mat4& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool Finite(const Mat4& m)
{
    for (auto& row : m.m)
        for (float v : row)
            if (!std::isfinite(v)) return false;
    return true;
}

class RobotSide : public HeadlessDevice {
protected:
    void SetUp() override
    {
        HeadlessDevice::SetUp();
        ASSERT_EQ(chdir(VARNOK_PACK), 0);
        SetFixedRenderStates();
        CreateSpriteBatcher();
        InitSound(true, "");
        LoadSounds();
        for (SoundPool* p : {&RobotStepSounds, &RobotGunSounds, &RobotMissileSounds})
            p->started = p->dropped = p->peak = 0;
        ResetUnitRecords();
        ResetPlayerControl();
        ResetBattleFrame();
        ClearParticlePools();
        for (auto& row : HeightGrid)
            for (float& h : row) h = 0;
        ReleaseSimpleModel(&StageCollision);
        StageWorld = MatIdentity();
        SetFixedSeed(true, 5);
        Srand(5);
        PlayerSide = 1;
        DemoPlayer = false;
        RobotTypeId = 101;
        EarthCount = MercuryCount = 2;
        BattleClock = 30 * 3600;
        paused = 0;
        ::Shots = {};
        for (RobotAiState& ai : RobotAi) ai = RobotAiState{};
        // Hit models of a tank and of the D-ED.10, so shots find them.
        MakePart(&hull_, {1.1f, 0.6f, 2.5f});
        MakePart(&turret_, {0.8f, 0.4f, 1.2f});
        MakePart(&upper_, {1.0f, 1.0f, 1.0f});
        MakePart(&foot_, {0.4f, 0.3f, 0.6f});
        for (int kind : {1, 2}) SetTankHitModels(kind, &hull_, &turret_);
        SetRobotHitModels(101, &upper_, &foot_);
        Robot10Models.shellBox = OrientedBox{};
        Robot10Models.shellBox.halfSize = {0.4f, 0.4f, 1.2f};
        Robot10Models.parts[kD10Missile].box.halfSize = {0.2f, 0.2f, 0.6f};
        // Every effect and every robot is in view, and the camera is near.
        BuildViewFrustum(&BattleFrustum, MatLookAtLH({0, 500, 0}, {500, 0, 500}, {0, 1, 0}), 170.0f, 1.0f, 0.1f,
                         5000.0f);
        CameraEye = {100, 5, 100};
    }
    void TearDown() override
    {
        RestoreHitModels();
        for (ModelPart* p : {&hull_, &turret_, &upper_, &foot_}) gfx::Release(p->mesh);
        ReleaseAllRobotModels();
        ReleaseAllTankModels();  // both loaded by a battle's set-up
        Robot10Models.parts[kD10Missile].box = OrientedBox{};
        ReleaseBattleTextures();
        ReleaseBattleEffect();
        ReleaseSounds();
        ShutdownSound();
        SetFixedSeed(false, 0);
        DemoPlayer = false;
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
    // Robot `slot` of `kind` spawned, then moved to (x, z) on the ground.
    static RobotUnit& PlaceRobot(int slot, int kind, float x, float z)
    {
        RobotUnit& r = Robots[slot];
        SetRobotKind(r, kind);
        SpawnRobot(slot);
        r.World() = MatTranslation(x, 2.2f, z);
        PoseRobot(r);
        return r;
    }
    static void PoseRobot(RobotUnit& r)
    {
        if (const RobotKind* k = RobotKindOf(r.kind); k && k->pose) k->pose(r);
    }
    static TankUnit& PlaceTank(int slot, float x, float z)
    {
        TankUnit& t = Tanks[slot];
        SetTankKind(t, 2);
        t.alive = 1;
        t.hp = 256;
        t.world = t.turretWorld = t.gunWorld = MatTranslation(x, 0.72f, z);
        return t;
    }
    // One battle frame's robot work, as the battle frame orders it.
    static void Frame()
    {
        FollowGroundRobots();
        RobotAiDecide();
        RobotStep();
        SeparateRobots();
    }
    ModelPart hull_, turret_, upper_, foot_;
};
}  // namespace

TEST_F(RobotSide, LegsTurnTowardTheirKeysHeadingAndSettleOnIt)
{
    // Aim straight ahead (+z); the key sets where the legs head.
    struct Case {
        const char* key;
        int32_t ControlFlags::*flag;
        float heading;  // where the legs settle, degrees
    } cases[] = {
        {"W walks where it aims", &ControlFlags::forward, 0},
        {"A walks to the left of its aim", &ControlFlags::turnLeft, -90},
        {"D walks to the right of its aim", &ControlFlags::turnRight, 90},
        {"S turns about and walks away from its aim", &ControlFlags::backward, 180},
    };
    for (const Case& c : cases) {
        RobotUnit& r = PlaceRobot(0, 101, 500, 500);
        MercuryCount = 1;
        RobotControls[0] = {};
        RobotControls[0].*c.flag = 1;
        for (int k = 0; k < 300; ++k) RobotStep();
        float wanted = c.heading == 180 ? 180.0f : c.heading;
        EXPECT_NEAR(std::fabs(r.legHeading), std::fabs(wanted), 1e-4) << c.key;
        // The body's matrix turned as the legs did: it walks along them.
        Vec3 before = Pos(r.World());
        RobotStep();
        Vec3 step = Pos(r.World()) - before;
        float rad = wanted * kDegToRad;
        EXPECT_NEAR(step.x, 0.3f * std::sin(rad), 1e-3) << c.key;
        EXPECT_NEAR(step.z, 0.3f * std::cos(rad), 1e-3) << c.key;
        // Settled legs stay settled: no stepping to and fro across the aim.
        float settled = r.legHeading;
        for (int k = 0; k < 5; ++k) RobotStep();
        EXPECT_EQ(r.legHeading, settled) << c.key;
    }

    // Legs 90 degrees off the aim swing 0.9 a frame and take the aim after
    // 100 frames; the robot walks on meanwhile.
    RobotUnit& r = PlaceRobot(0, 101, 500, 500);
    r.aimYaw = 90;
    RobotControls[0] = {};
    RobotControls[0].forward = 1;
    for (int k = 0; k < 50; ++k) RobotStep();
    EXPECT_NEAR(r.legHeading, 45, 1e-3);
    EXPECT_GT(Pos(r.World()).z, 500.0f);
    for (int k = 0; k < 50; ++k) RobotStep();
    EXPECT_FLOAT_EQ(r.legHeading, 90);
    EXPECT_NEAR(MatHeadingDegrees(r.World()), 90, 0.01);
}

TEST_F(RobotSide, TheStrideReversesPastItsLimitAndAFootLandsWithEachReversal)
{
    MercuryCount = 1;
    RobotUnit& r = PlaceRobot(0, 101, 500, 500);
    RobotControls[0].forward = 1;
    float highest = 0, lowest = 0;
    int reversals = 0, lastDir = r.stepDir;
    for (int k = 0; k < 100; ++k) {
        RobotStep();
        highest = std::max(highest, r.walkPhase);
        lowest = std::min(lowest, r.walkPhase);
        EXPECT_FLOAT_EQ(r.bob, std::fabs(r.walkPhase) / 40);
        if (r.stepDir != lastDir) ++reversals, lastDir = r.stepDir;
    }
    // 3 a frame past 30 (kind 101's limit) before it turns.
    EXPECT_FLOAT_EQ(highest, 33);
    EXPECT_FLOAT_EQ(lowest, -33);
    EXPECT_GE(reversals, 4);
    EXPECT_EQ(RobotStepSounds.started, static_cast<uint32_t>(reversals));
    EXPECT_FLOAT_EQ(r.speed, 0.3f);

    // Keys up: the speed is gone within 4 frames and the legs close to 0 by
    // half a step a frame without swinging past it.
    RobotControls[0].forward = 0;
    r.walkPhase = 4;
    for (int k = 0; k < 4; ++k) RobotStep();
    EXPECT_EQ(r.speed, 0);
    EXPECT_EQ(r.walkPhase, 0);
    EXPECT_EQ(r.bob, 0);
    uint32_t steps = RobotStepSounds.started;
    for (int k = 0; k < 20; ++k) RobotStep();
    EXPECT_EQ(r.walkPhase, 0);
    EXPECT_EQ(RobotStepSounds.started, steps);  // standing still makes no footsteps
}

TEST_F(RobotSide, PodsSwingDownAndUpInTheirSteps)
{
    RobotUnit& r = PlaceRobot(0, 101, 500, 500);
    EXPECT_EQ(r.podAngle, 190);  // stowed at spawn
    struct Case {
        const char* what;
        int32_t start, weapon, swap, busy;
        int frames;
        int32_t angle, weaponAfter, busyAfter;
    } cases[] = {
        {"down by 2 a frame to 0", 190, 1, 0, 0, 94, 2, 1, 0},
        {"never below 0", 190, 1, 0, 0, 200, 0, 1, 0},
        {"from an odd angle it stops at 0", 5, 1, 0, 0, 3, 0, 1, 0},
        {"up by 2 to exactly 190, then the guns", 0, 1, 1, 0, 95, 190, 0, 0},
        {"after a launch: up by 4 less 2", 0, 1, 0, 1, 1, 4, 1, 1},
        {"the fast swing ends past 190", 188, 0, 0, 1, 1, 192, 0, 0},
        {"and may end at 193", 189, 0, 0, 1, 1, 193, 0, 0},
    };
    for (const Case& c : cases) {
        r.podAngle = c.start;
        r.weapon = c.weapon;
        r.weaponSwap = c.swap;
        r.secondShotBusy = c.busy;
        for (int k = 0; k < c.frames; ++k) PoseRobot10(r);
        EXPECT_EQ(r.podAngle, c.angle) << c.what;
        EXPECT_EQ(r.weapon, c.weaponAfter) << c.what;
        EXPECT_EQ(r.secondShotBusy, c.busyAfter) << c.what;
    }
    // The pods roll on the arms by their angle, the left one way, the right
    // the other.
    r.weapon = 1;
    r.weaponSwap = 0;
    r.podAngle = 90;
    PoseRobot10(r);  // 88 after this frame's step
    Mat4 left = MatRotationZ(88 * kDegToRad) * MatTranslation(-0.45f, 0.3f, 0.96f) * r.partWorld[3];
    Mat4 right = MatRotationZ(-88 * kDegToRad) * MatTranslation(0.45f, 0.3f, 0.96f) * r.partWorld[4];
    EXPECT_TRUE(Same(r.partWorld[9], left));
    EXPECT_TRUE(Same(r.partWorld[10], right));
}

TEST_F(RobotSide, TheFireTimerClearsOnTheFrameItWouldReachTwentyFour)
{
    RobotUnit& r = PlaceRobot(0, 101, 500, 500);
    r.weaponBusy = 1;
    for (int k = 0; k < 23; ++k) PoseRobot10(r);
    EXPECT_EQ(r.weaponBusy, 1);
    EXPECT_EQ(r.fireTimer, 23);
    PoseRobot10(r);
    EXPECT_EQ(r.weaponBusy, 0);
    EXPECT_EQ(r.fireTimer, 0);
}

TEST_F(RobotSide, ArmGunsFireByKindAndWaitForTheirTimers)
{
    MercuryCount = 4;
    EarthCount = 0;
    RobotUnit& ded = PlaceRobot(0, 101, 100, 100);
    RobotUnit& rno15 = PlaceRobot(1, 102, 140, 100);
    RobotUnit& rno16 = PlaceRobot(2, 103, 180, 100);
    RobotUnit& rno13 = PlaceRobot(3, 104, 220, 100);
    for (int i = 0; i < 4; ++i) RobotControls[i].fire = 1;
    RobotStep();
    // The D-ED.10: one shell from the left arm first, then the arms take turns.
    int active = 0;
    for (const Projectile& s : ded.shells) active += s.state == kShotActive;
    EXPECT_EQ(active, 1);
    EXPECT_EQ(ded.weaponBusy, 1);
    EXPECT_EQ(ded.armSide, 1);
    // "Sound/RobotFire.wav": the D-ED.10's, the R-NO.15's and both R-NO.16 mortars'
    EXPECT_EQ(RobotGunSounds.started, 4u);
    EXPECT_EQ(RobotMissileSounds.started, 0u);
    // The other kinds keep the same readiness rules: the R-NO.15 alternates
    // its arms, the R-NO.16 fires both mortars at once.
    EXPECT_EQ(rno15.weaponBusy, 1);
    EXPECT_EQ(rno15.armSide, 1);
    EXPECT_EQ(rno16.weaponBusy, 1);
    EXPECT_EQ(rno16.armSide, 0);
    int mortars = 0;
    for (const Projectile& s : rno16.shells) mortars += s.state == kShotActive;
    EXPECT_EQ(mortars, 2);
    EXPECT_EQ(rno13.weaponBusy, 0);  // it has no gun of its own
    // Held down, the D-ED.10 fires again only once its timer has run out.
    auto dedShells = [&] {
        int n = 0;
        for (const Projectile& s : ded.shells) n += s.state != kShotFree;
        return n;
    };
    for (int k = 0; k < 23; ++k) RobotStep();
    EXPECT_EQ(dedShells(), 1);
    RobotStep();
    RobotStep();
    EXPECT_EQ(dedShells(), 2);
    EXPECT_EQ(ded.armSide, 0);
    // Shells leave the left arm 1.9 ahead of it, the next the right arm.
    Mat4 muzzle = MatTranslation(-0.4f, 0, 1.9f) * ded.partWorld[3];
    FireRobot10(ded, muzzle, kRobotWeaponFirst);
    const Projectile* newest = nullptr;
    for (const Projectile& s : ded.shells)
        if (s.state == kShotActive && Same(s.world, muzzle)) newest = &s;
    ASSERT_NE(newest, nullptr);
    EXPECT_FLOAT_EQ(newest->step.m[3][2], 1.86f);
    EXPECT_FLOAT_EQ(newest->step.m[3][1], -0.008f);

    // A full shell table drops the shot and overwrites nothing.
    for (int i = 0; i < 30; ++i) ded.shells[i].state = kShotActive, ded.shells[i].world = MatTranslation(0, 0, i);
    FireRobot10(ded, muzzle, kRobotWeaponFirst);
    for (int i = 0; i < 30; ++i) EXPECT_FLOAT_EQ(ded.shells[i].world.m[3][2], i);
    EXPECT_EQ(ded.shells[30].state, kShotFree);
}

TEST_F(RobotSide, MissilesLaunchWithThePodsDownAndATankLockedAndHomeOnIt)
{
    EarthCount = 1;
    MercuryCount = 1;
    TankUnit& tank = PlaceTank(0, 100, 160);
    struct Case {
        const char* what;
        int32_t podAngle, lockedOn, busy;
        int launched;
    } cases[] = {
        {"pods down, tank locked: one from each pod", 0, 1, 0, 2},
        {"pods still swinging", 10, 1, 0, 0},
        {"no tank locked", 0, 0, 0, 0},
        {"the last launch not over", 0, 1, 1, 0},
    };
    for (const Case& c : cases) {
        RobotUnit& r = PlaceRobot(0, 101, 100, 100);
        r.weapon = 1;
        r.podAngle = c.podAngle;
        r.lockTarget = 0;
        r.lockedOn = c.lockedOn;
        r.secondShotBusy = c.busy;
        PoseRobot10(r);
        r.podAngle = c.podAngle;  // as the update meets it
        RobotMissileSounds.started = 0;
        RobotControls[0] = {};
        RobotControls[0].fire = 1;
        RobotStep();
        int flying = 0;
        for (const Projectile& m : r.missiles) flying += m.state != kShotFree;
        EXPECT_EQ(flying, c.launched) << c.what;
        EXPECT_EQ(RobotMissileSounds.started, c.launched ? 1u : 0u) << c.what;  // "Sound/MFire.wav"
        if (c.launched) {
            EXPECT_EQ(r.secondShotBusy, 1) << c.what;
        }
        for (Projectile& m : r.missiles) m.state = kShotFree;
    }

    // Launched 15 degrees off to the side and level, a missile turns onto
    // the locked tank and hits it.
    RobotUnit& r = PlaceRobot(0, 101, 100, 100);
    r.lockTarget = 0;
    r.lockedOn = 1;
    tank.world = tank.turretWorld = MatTranslation(100, 0.72f, 220);
    Mat4 aside = MatRotationY(15 * kDegToRad) * MatTranslation(100, 4, 104);
    FireRobot10(r, aside, kRobotWeaponSecond);
    ASSERT_EQ(r.missiles[0].state, kShotActive);
    float speed = r.missiles[0].step.m[3][2];
    EXPECT_GE(speed, 1.0f);
    EXPECT_LT(speed, 1.2f);
    for (int k = 0; k < 200 && r.missiles[0].state != kShotFree; ++k) UpdateRobot10Shots(r, 0);
    EXPECT_EQ(r.missiles[0].state, kShotFree);
    EXPECT_EQ(tank.shakeCode, HitReaction::Missile);
    EXPECT_LE(tank.hp, 256 - 10);
    EXPECT_GE(tank.hp, 256 - 18);
}

TEST_F(RobotSide, AComputerRobotTargetsTheNearestLiveTankInUse)
{
    MercuryCount = 1;
    EarthCount = 3;
    PlaceRobot(0, 101, 100, 100);
    struct Case {
        const char* what;
        float d0, d1, d2, d3;  // distances of tanks 0..3 (3 is not in use)
        int dead;              // a tank that is a wreck, or -1
        int32_t lockedOn, target;
    } cases[] = {
        {"the nearest", 150, 60, 100, 500, -1, 1, 1},
        {"a wreck is passed over", 150, 60, 100, 500, 1, 1, 2},
        {"a tank past the count in use is no target", 150, 60, 100, 10, -1, 1, 1},
        {"nothing within 186", 190, 186, 300, 10, -1, 0, -1},
        {"the first of two at the same distance", 80, 80, 300, 500, -1, 1, 0},
    };
    for (const Case& c : cases) {
        float d[4] = {c.d0, c.d1, c.d2, c.d3};
        for (int k = 0; k < 4; ++k) PlaceTank(k, 100, 100 + d[k]);
        if (c.dead >= 0) Tanks[c.dead].alive = 0;
        Robots[0].lockTarget = -1;
        Robots[0].lockedOn = 1;
        ChooseRobotTarget(0);
        EXPECT_EQ(Robots[0].lockedOn, c.lockedOn) << c.what;
        if (c.target >= 0) {
            EXPECT_EQ(Robots[0].lockTarget, c.target) << c.what;
        }
    }
}

TEST_F(RobotSide, AComputerRobotWithNoTankNearPatrolsAndNeverFires)
{
    PlayerSide = 0;  // every robot is the computer's
    EarthCount = 1;
    MercuryCount = 1;
    PlaceTank(0, 520, 500).alive = 0;  // near, but a wreck
    RobotUnit& r = PlaceRobot(0, 101, 500, 500);
    NewRobotPatrol(0);
    int legs = 0, walked = 0;
    bool wasWalking = false;
    for (int k = 0; k < 5000; ++k) {
        Frame();
        EXPECT_EQ(RobotControls[0].fire, 0);
        bool walking = RobotControls[0].forward != 0;
        if (walking) ++walked;
        if (walking && !wasWalking) ++legs;
        if (!walking && wasWalking) {
            EXPECT_GE(walked, 100);
            EXPECT_LE(walked, 1000);
            walked = 0;
        }
        wasWalking = walking;
    }
    EXPECT_GE(legs, 2);
    EXPECT_EQ(::Shots.fired, 0u);
    EXPECT_NE(Pos(r.World()).x, 500.0f);  // it walked off
}

TEST_F(RobotSide, PatrolLegsNearTheEdgesHeadBackIntoTheField)
{
    PlayerSide = 0;
    struct Case {
        float x, z, lo, hi;
    } cases[] = {
        {500, 500, -180, 180}, {950, 500, -135, -45}, {100, 500, 45, 135},   {500, 100, -45, 45},
        {100, 100, 30, 60},    {950, 100, -60, -30},  {100, 950, 120, 150}, {950, 950, -150, -120},
    };
    for (const Case& c : cases) {
        PlaceRobot(0, 101, c.x, c.z);
        for (int k = 0; k < 300; ++k) {
            NewRobotPatrol(0);
            const RobotAiState& ai = RobotAi[0];
            EXPECT_GE(ai.desiredHeading, c.lo) << c.x << "," << c.z;
            EXPECT_LE(ai.desiredHeading, c.hi) << c.x << "," << c.z;
            EXPECT_GE(ai.driveLimit, 100);
            EXPECT_LE(ai.driveLimit, 1000);
            EXPECT_GE(ai.restLimit, 20);  // it rests between legs
            EXPECT_LE(ai.restLimit, 200);
            EXPECT_GE(ai.modeLimit, 100);
            EXPECT_LE(ai.modeLimit, 1000);
            EXPECT_LE(ai.moveMode, 40);
        }
    }
    // North edge: the range 135..225 comes back as -180..-135 and 135..180.
    PlaceRobot(0, 101, 500, 950);
    for (int k = 0; k < 300; ++k) {
        NewRobotPatrol(0);
        EXPECT_GE(std::fabs(RobotAi[0].desiredHeading), 135);
    }
}

TEST_F(RobotSide, TheManoeuvreEndsWhenItsFramesReachOrPassTheLimit)
{
    PlayerSide = 0;
    EarthCount = 1;
    MercuryCount = 1;
    PlaceTank(0, 100, 150);
    struct Case {
        int32_t frames, limit;
        bool ends;
    } cases[] = {{10, 40, false}, {38, 40, false}, {39, 40, true}, {40, 40, true}, {500, 120, true}};
    for (const Case& c : cases) {
        PlaceRobot(0, 101, 100, 100);
        RobotAi[0].modeFrames = c.frames;
        RobotAi[0].modeLimit = c.limit;
        RobotAiDecide();
        ASSERT_EQ(Robots[0].lockedOn, 1);
        if (c.ends) {
            EXPECT_EQ(RobotAi[0].modeFrames, 0) << c.frames << " of " << c.limit;
            EXPECT_GE(RobotAi[0].modeLimit, 100);  // a new manoeuvre was drawn
        } else {
            EXPECT_EQ(RobotAi[0].modeFrames, c.frames + 1);
        }
    }
    // The manoeuvre's keys by its mode.
    struct Mode {
        int32_t mode;
        int32_t forward, left, back, right;
    } modes[] = {{0, 0, 1, 0, 0}, {9, 0, 1, 0, 0}, {10, 0, 0, 1, 0}, {25, 0, 0, 0, 1}, {39, 1, 0, 0, 0}, {40, 0, 0, 0, 0}};
    for (const Mode& m : modes) {
        RobotAi[0].moveMode = m.mode;
        RobotAi[0].modeFrames = 0;
        RobotAi[0].modeLimit = 1000;
        RobotControls[0] = {1, 1, 1, 1, 0, 0, 0, 0, 0, 0};
        RobotAiDecide();
        const ControlFlags& f = RobotControls[0];
        EXPECT_EQ(f.forward, m.forward) << m.mode;
        EXPECT_EQ(f.turnLeft, m.left) << m.mode;
        EXPECT_EQ(f.backward, m.back) << m.mode;
        EXPECT_EQ(f.turnRight, m.right) << m.mode;
    }
}

TEST_F(RobotSide, AnEngagedRobotTurnsOntoItsTankAndFiresOnlyWhenOnIt)
{
    PlayerSide = 0;
    EarthCount = 1;
    MercuryCount = 1;
    RobotUnit& r = PlaceRobot(0, 101, 100, 100);
    PlaceTank(0, 160, 100);  // due east: 90 degrees to the right
    RobotAi[0].modeLimit = 100000;
    RobotAi[0].moveMode = 40;  // stand
    int fired = 0, frames = 0;
    while (r.aimYaw < 88.4f && frames < 100) {
        RobotAiDecide();
        EXPECT_EQ(RobotControls[0].fire, 0);  // still turning
        PoseRobot10(r);
        ++frames;
    }
    EXPECT_EQ(frames, 59);  // 1.5 a frame
    for (int k = 0; k < 400; ++k) {
        RobotAiDecide();
        PoseRobot10(r);
        fired += RobotControls[0].fire;
    }
    EXPECT_NEAR(r.aimYaw, 90, 1e-3);
    EXPECT_GT(fired, 0);
    EXPECT_LT(fired, 40);  // about one frame in 38

    // Frozen by ice, it does not aim: it walks its patrol instead.
    r.shakeCode = HitReaction::FrozenByIce;
    float before = r.aimYaw;
    RobotAi[0].desiredHeading = before;
    RobotAi[0].driveLimit = RobotAi[0].restLimit = 1000;
    RobotAiDecide();
    EXPECT_EQ(RobotControls[0].fire, 0);
    EXPECT_EQ(r.aimYaw, before);
    // ... and keeps the code, without a jitter, until another hit.
    Vec3 at = Pos(r.World());
    for (int k = 0; k < 100; ++k) RobotStep();
    EXPECT_EQ(r.shakeCode, HitReaction::FrozenByIce);
    EXPECT_EQ(Pos(r.World()).x, at.x);
}

// An engaged computer robot raises its arms to a tank above it and lowers
// them to one below, a step at a time, until they point at it.
TEST_F(RobotSide, AnEngagedRobotPitchesItsArmsOntoATankAboveOrBelow)
{
    PlayerSide = 0;
    EarthCount = 1;
    MercuryCount = 1;
    for (float tankY : {-5.0f, 12.0f}) {
        SCOPED_TRACE(tankY);
        RobotUnit& r = PlaceRobot(0, 101, 100, 100);
        TankUnit& t = PlaceTank(0, 100, 140);  // straight ahead
        t.world.m[3][1] = t.turretWorld.m[3][1] = t.gunWorld.m[3][1] = tankY;
        RobotAi[0] = RobotAiState{};
        RobotAi[0].modeLimit = 100000;
        RobotAi[0].moveMode = 40;  // stand
        r.aimPitch = 0;
        for (int k = 0; k < 200; ++k) {
            RobotAiDecide();
            PoseRobot10(r);
        }
        // Pitch is measured downward-positive or upward-positive by the
        // arms; either way it points at the tank now: ahead and level with it.
        const Vec3 dir = Vec3Normalize(Vec3TransformNormal({0, 0, 1}, r.AimWorld()));
        const Vec3 to = Vec3Normalize(Pos(t.world) - Pos(r.AimWorld()));
        EXPECT_GT(std::fabs(r.aimPitch), 5.0f);
        EXPECT_NEAR(dir.y, to.y, 0.05f) << "arms at " << r.aimPitch;
    }
}

TEST_F(RobotSide, SetUpLeavesThePlayersWeaponAloneAndSpawnClearsEveryFlag)
{
    EarthCount = 4;
    MercuryCount = 16;
    int computerSwitches = 0;
    for (uint32_t seed = 1; seed <= 10; ++seed) {
        SetFixedSeed(true, seed);
        RobotControls[0].switchWeapon = 0;
        BattleInit();
        EXPECT_EQ(RobotControls[0].switchWeapon, 0) << "seed " << seed;
        for (int i = 1; i < 16; ++i) computerSwitches += RobotControls[i].switchWeapon;
    }
    EXPECT_GT(computerSwitches, 0);  // the computer's robots do draw a weapon

    // Keys held when a battle ended do not steer the slot in the next one.
    RobotControls[3] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    SpawnRobot(3);
    const ControlFlags& f = RobotControls[3];
    for (int32_t flag : {f.forward, f.turnLeft, f.backward, f.turnRight, f.gunUp, f.gunDown, f.turretRight,
                         f.turretLeft, f.fire, f.switchWeapon})
        EXPECT_EQ(flag, 0);
}

TEST_F(RobotSide, AWholeRobotMakesNoSmokeAndAHurtOneSmokesMoreTheWorseItIs)
{
    PlayerSide = 0;
    EarthCount = 1;
    MercuryCount = 1;
    PlaceTank(0, 900, 900);
    auto smokeOver = [](float hp) {
        ClearParticlePools();
        PlaceRobot(0, 101, 300, 300);
        Robots[0].hp = hp;
        RobotControls[0] = {};
        for (int k = 0; k < 300; ++k) RobotStep();
        PoolCount counts[kParticlePoolCount];
        CountParticlePools(counts);
        int live = 0;
        for (const PoolCount& c : counts) live += c.live;
        return live;
    };
    DemoPlayer = false;
    PlayerSide = 1;  // robot 0 is the player's and stands still
    EXPECT_EQ(smokeOver(256), 0);
    int light = smokeOver(150), middle = smokeOver(100), heavy = smokeOver(50);
    EXPECT_GT(light, 0);
    EXPECT_GT(middle, light);
    EXPECT_GT(heavy, middle);
}

TEST_F(RobotSide, TheAimRisesAndDipsOnlyAsFarAsTheArmsGo)
{
    PlayerSide = 1;
    MercuryCount = 1;
    EarthCount = 0;
    PlaceRobot(0, 101, 300, 300);
    RobotControls[0] = {};
    RobotControls[0].gunUp = 1;
    for (int k = 0; k < 200; ++k) RobotStep();
    EXPECT_FLOAT_EQ(Robots[0].aimPitch, -35);
    RobotControls[0] = {};
    RobotControls[0].gunDown = 1;
    RobotStep();
    EXPECT_FLOAT_EQ(Robots[0].aimPitch, -34.5f);  // half a degree a frame
    for (int k = 0; k < 200; ++k) RobotStep();
    EXPECT_FLOAT_EQ(Robots[0].aimPitch, 20);
    // The right button takes up the second weapon; again, it goes back.
    RobotControls[0] = {};
    Robots[0].weapon = 0;
    RobotControls[0].switchWeapon = 1;
    RobotStep();
    EXPECT_EQ(Robots[0].weapon, 1);
    EXPECT_EQ(RobotControls[0].switchWeapon, 0);  // once per press
    RobotControls[0].switchWeapon = 1;
    RobotStep();
    EXPECT_EQ(Robots[0].weaponSwap, 1);
}

TEST_F(RobotSide, OnlyRobotsNearTheCameraCastShadowsAndEveryPartOfThemDoes)
{
    CreateShadowResources(1024);
    ASSERT_NE(ShadowEffect, nullptr);
    BuildViewFrustum(&BattleFrustum, MatLookAtLH({300, 10, 280}, {300, 2, 300}, {0, 1, 0}), 90.0f, 1.0f, 0.1f,
                     1000.0f);
    MercuryCount = 1;
    for (int kind : {101, 102}) {
        LoadRobotModels(kind);
        PlaceRobot(0, kind, 300, 300);
        auto depthDraws = [](float distance) {
            Robots[0].cameraDistance = distance;
            std::vector<gfx::DrawnCall> calls = DrawCalls([&] { DrawRobotDepth(0); });
            return calls;
        };
        std::vector<gfx::DrawnCall> near = depthDraws(10), far = depthDraws(20);
        EXPECT_FALSE(near.empty()) << kind;
        EXPECT_TRUE(far.empty()) << kind;
        // Every part drawn near the camera casts its shadow.
        std::vector<gfx::DrawnCall> drawn = DrawCalls([&] { DrawRobotKind(0); });
        EXPECT_EQ(near.size(), drawn.size()) << kind;
    }
}

TEST_F(RobotSide, RobotsPastTheCountInUseAreLeftAlone)
{
    PlayerSide = 0;
    MercuryCount = 2;
    EarthCount = 1;
    PlaceTank(0, 120, 110);
    for (int i = 0; i < 2; ++i) PlaceRobot(i, 101, 100 + 10.0f * i, 100);
    RobotUnit& idle = PlaceRobot(5, 101, 110, 100);
    idle.hp = -10;
    RobotControls[5] = {1, 0, 0, 0, 0, 0, 0, 0, 1, 0};
    RobotUnit before = idle;
    ControlFlags flagsBefore = RobotControls[5];
    RobotAiState aiBefore = RobotAi[5];
    for (int k = 0; k < 50; ++k) Frame();
    EXPECT_EQ(std::memcmp(&before, &idle, sizeof idle), 0);
    EXPECT_EQ(std::memcmp(&flagsBefore, &RobotControls[5], sizeof flagsBefore), 0);
    EXPECT_EQ(std::memcmp(&aiBefore, &RobotAi[5], sizeof aiBefore), 0);
}

TEST_F(RobotSide, AWrecksFlyingPartsStopOnTheGroundEvenOffTheField)
{
    struct Case {
        const char* what;
        float x, z, ground, y;
        bool falls;
    } cases[] = {
        {"in the field, high up", 500, 500, 0, 6, true},
        {"in the field, resting", 500, 500, 0, 0.5f, false},
        {"on raised ground, resting", 500, 500, 10, 10.4f, false},
        {"off the field, high up", -4, 500, 0, 6, true},
        {"off the field, low", 1003, 500, 0, 0.4f, false},
    };
    for (const Case& c : cases) {
        for (auto& row : HeightGrid)
            for (float& h : row) h = c.ground;
        RobotUnit& r = PlaceRobot(0, 101, 500, 500);
        r.alive = 0;
        r.debris[0] = {2.0f, 0.5f, 10, 90};
        r.partWorld[1] = MatTranslation(c.x, c.y, c.z);
        PoseRobot10(r);
        bool moved = !Same(r.partWorld[1], MatTranslation(c.x, c.y, c.z));
        EXPECT_EQ(moved, c.falls) << c.what;
        // Left to fall, it comes to rest no lower than half a unit under
        // where it stopped being above the ground, and stays there.
        for (int k = 0; k < 400; ++k) PoseRobot10(r);
        EXPECT_TRUE(Finite(r.partWorld[1])) << c.what;
        Mat4 rest = r.partWorld[1];
        PoseRobot10(r);
        EXPECT_TRUE(Same(rest, r.partWorld[1])) << c.what;
        EXPECT_LE(Pos(rest).y, c.ground + 0.5f) << c.what;
    }
}

TEST_F(RobotSide, ADestroyedRobotBurnsThenReturnsToItsStartPoint)
{
    PlayerSide = 0;
    MercuryCount = 6;
    EarthCount = 0;
    RobotUnit& r = PlaceRobot(5, 101, 400, 300);
    r.hp = 0;
    RobotControls[5] = {1, 1, 1, 1, 0, 0, 0, 0, 1, 1};
    MercuryCount = 6;
    for (int i = 0; i < 5; ++i) PlaceRobot(i, 101, 600 + 10.0f * i, 600), Robots[i].hp = 256;
    RobotStep();
    EXPECT_EQ(r.alive, 0);
    const ControlFlags& f = RobotControls[5];
    EXPECT_EQ(f.forward + f.turnLeft + f.backward + f.turnRight + f.fire + f.switchWeapon, 0);
    // 0.8 a frame on about one frame in five: a little over 320 mends.
    int mends = r.hp > 0 ? 1 : 0, frames = 1;
    float last = r.hp;
    while (!r.alive && frames < 5000) {
        RobotStep();
        ++frames;
        if (r.hp > last || r.alive) ++mends;
        last = r.hp;
    }
    EXPECT_EQ(r.alive, 1);
    EXPECT_NEAR(mends, 321, 1);
    EXPECT_GT(frames, 900);
    EXPECT_LT(frames, 2600);
    EXPECT_EQ(r.hp, 256);
    // Slot 5: column 1, row 1 of the start grid.
    EXPECT_FLOAT_EQ(Pos(r.World()).x, 115);
    EXPECT_FLOAT_EQ(Pos(r.World()).z, 115);
    EXPECT_EQ(r.podAngle, 190);
    EXPECT_EQ(r.weapon, 0);
}

TEST_F(RobotSide, EachMeshIsDrawnAtItsOwnPartsMatrix)
{
    LoadRobot10();  // the pack's models if it has them; empty parts otherwise
    // Shots find a D-ED.10 by its head (the upper body) and its foot.
    EXPECT_EQ(kRobot10HitModels.upperBody, &Robot10Models.parts[kD10Head]);
    EXPECT_EQ(kRobot10HitModels.foot, &Robot10Models.parts[kD10Foot]);
    EXPECT_FLOAT_EQ(Robot10Models.shellBox.halfSize.z, 1.2f);

    RobotUnit& r = PlaceRobot(0, 101, 300, 300);
    r.aimYaw = 30;
    r.walkPhase = 20;
    PoseRobot10(r);
    PlacedPart parts[kMaxPlacedParts];
    auto matrixOf = [&](int slot, int nth, bool depth) -> const Mat4* {
        int n = Robot10Parts(r, depth, parts);
        for (int i = 0; i < n; ++i)
            if (parts[i].part == &Robot10Models.parts[slot] && nth-- == 0) return &parts[i].world;
        return nullptr;
    };
    auto at = [&](int slot, int nth, const Mat4& expected) {
        const Mat4* m = matrixOf(slot, nth, true);
        return m && Same(*m, expected);
    };
    struct Case {
        int slot, nth, matrix;
    } cases[] = {
        {kD10Body, 0, 0},     {kD10Head, 0, 1},     {kD10LeftArm, 0, 3}, {kD10RightArm, 0, 4},
        {kD10LeftLeg, 0, 5},  {kD10RightLeg, 0, 6}, {kD10Foot, 0, 7},    {kD10Foot, 1, 8},
    };
    for (const Case& c : cases) {
        const Mat4* m = matrixOf(c.slot, c.nth, true);
        ASSERT_NE(m, nullptr) << c.slot;
        EXPECT_TRUE(Same(*m, r.partWorld[c.matrix])) << "slot " << c.slot << " at partWorld[" << c.matrix << "]";
    }
    // The left arm and leg are the -x side.
    EXPECT_LT(Pos(r.partWorld[5]).x, Pos(r.World()).x);
    EXPECT_LT(Pos(r.partWorld[7]).x, Pos(r.partWorld[8]).x);
    // Pods and missiles only with the missiles in hand; a wreck's pods show
    // only on the far path.
    EXPECT_EQ(matrixOf(kD10Pod, 0, true), nullptr);
    r.weapon = 1;
    EXPECT_TRUE(at(kD10Pod, 0, r.partWorld[9]));
    EXPECT_TRUE(at(kD10Pod, 1, r.partWorld[10]));
    EXPECT_TRUE(at(kD10Missile, 0, MatTranslation(0, 0.35f, 0) * r.partWorld[9]));
    r.secondShotBusy = 1;
    EXPECT_EQ(matrixOf(kD10Missile, 0, true), nullptr);
    r.alive = 0;
    EXPECT_EQ(matrixOf(kD10Pod, 0, true), nullptr);
    EXPECT_NE(matrixOf(kD10Pod, 0, false), nullptr);
}

TEST_F(RobotSide, AScriptedDuelCountsKillsAndDeathsOnBothSides)
{
    // A computer D-ED.10 and a tank face each other 60 apart.  The robot
    // fights until the tank is a wreck; then tank shells are fired at the
    // robot until it falls.
    PlayerSide = 0;
    EarthCount = 1;
    MercuryCount = 1;
    TankUnit& tank = PlaceTank(0, 500, 560);
    RobotUnit& r = PlaceRobot(0, 101, 500, 500);
    RobotAi[0].moveMode = 40;
    RobotAi[0].modeLimit = 100000;
    CameraEye = {500, 6, 490};  // the shots are heard
    int frames = 0;
    while (tank.alive && frames < 20000) {
        Frame();
        if (tank.hp <= 0) tank.alive = 0;  // the tank side's death step
        ++frames;
    }
    EXPECT_EQ(tank.alive, 0) << "after " << frames << " frames, tank hp " << tank.hp;
    EXPECT_EQ(r.kills, 1);
    EXPECT_EQ(tank.deaths, 1);
    EXPECT_EQ(tank.shakeCode, HitReaction::Killed);
    EXPECT_GT(RobotGunSounds.started, 0u);

    // The tank's shells at the robot's head.
    OrientedBox tankShell{};
    tankShell.halfSize = {0.3f, 0.3f, 1.0f};
    ShotRules rules{};
    rules.order[0] = HitTest::Robots;
    rules.testCount = 1;
    rules.effectRadius = 3.0f;
    rules.freeOnHit = true;
    rules.box = &tankShell;
    rules.robotReaction = HitReaction::TankShell;
    rules.damageBase = 20;
    rules.damageRange = 10;
    rules.killShakeTimer = -50;
    int hits = 0;
    while (r.alive && hits < 100) {
        Projectile s{};
        s.world = r.partWorld[1];
        s.state = kShotActive;
        RunHitTests(s, rules, {true, 0});
        ++hits;
        Frame();
    }
    EXPECT_EQ(r.alive, 0);
    EXPECT_EQ(r.deaths, 1);
    EXPECT_EQ(tank.kills, 1);
    // The wreck shakes, burns and its head flies off.
    Vec3 head = Pos(r.partWorld[1]);
    for (int k = 0; k < 20; ++k) Frame();
    EXPECT_NE(Pos(r.partWorld[1]).y, head.y);
}

TEST_F(RobotSide, WallRaysOverTheStageMeetTheSameFaceAsTestingEveryFace)
{
    // The stage's collision mesh is searched by columns; every ray must
    // still find the nearest face, as a face-by-face search does.
    LoadMap();
    ASSERT_NE(StageCollision.mesh, nullptr);
    ASSERT_GE(gfx::MeshFaceCount(StageCollision.mesh), 256u);
    Mat4 inv;
    ASSERT_TRUE(MatInverse(&inv, StageWorld));
    int hits = 0;
    for (int k = 0; k < 3000; ++k) {
        Vec3 from{Rand() % 1000 * 1.0f, Rand() % 400 / 10.0f - 5, Rand() % 1000 * 1.0f};
        float yaw = Rand() % 3600 / 10.0f * kDegToRad, pitch = (Rand() % 200 - 100) / 100.0f;
        if (k % 3 == 0) pitch = 0;  // the wall rays are level
        Vec3 dir = Vec3Normalize({std::sin(yaw), pitch, std::cos(yaw)});
        if (k % 50 == 0) dir = {0, -1, 0};
        float gridDistance = 9999, everyDistance = 9999;
        uint32_t gridFace = 9999, everyFace = 9999;
        bool grid = RayHitsMesh(from, dir, StageCollision, StageWorld, &gridDistance, &gridFace);
        bool every = IntersectDeviceMesh(StageCollision.mesh, Vec3TransformCoord(from, inv),
                                         Vec3TransformNormal(dir, inv), &everyFace, &everyDistance);
        ASSERT_EQ(grid, every) << k;
        if (!every) continue;
        ++hits;
        EXPECT_EQ(gridFace, everyFace) << k;
        EXPECT_FLOAT_EQ(gridDistance, everyDistance) << k;
    }
    EXPECT_GT(hits, 300);
    ReleaseMap();
}

TEST_F(RobotSide, TheCameraSitsBehindTheViewedRobotByKindAndADemoLeavesTheKeysAlone)
{
    MercuryCount = 1;
    struct Case {
        int kind, alive, weapon;
        float eyeY, eyeZ, lookY;  // lookY < 0: the last look-at point stays
        Crosshair crosshair;
    } cases[] = {
        {101, 1, 0, 2.6f, 45.0f, 1.8f, Crosshair::RobotGun},  {101, 1, 1, 2.6f, 45.0f, 1.8f, Crosshair::RobotMissile},
        {102, 1, 1, 2.6f, 44.0f, 1.6f, Crosshair::RobotMissile},  {103, 1, 0, 2.7f, 44.4f, 1.65f, Crosshair::RobotGun},
        {104, 1, 1, 2.8f, 43.0f, -1, Crosshair::RobotMissile}, {101, 0, 0, 3.8f, 41.0f, 1.8f, Crosshair::RobotGun},
    };
    for (const Case& c : cases) {
        RobotUnit& r = Robots[0];
        SetRobotKind(r, c.kind);
        SpawnRobot(0);
        r.alive = c.alive;
        r.weapon = c.weapon;
        r.World() = r.partWorld[2] = MatTranslation(50, 0, 50);
        CameraLookAt = {7, 7, 7};
        PlaceChaseCamera();
        EXPECT_NEAR(CameraEye.y, c.eyeY, 1e-3) << c.kind;
        EXPECT_NEAR(CameraEye.z, c.eyeZ, 1e-3) << c.kind;
        EXPECT_NEAR(CameraLookAt.y, c.lookY < 0 ? 7 : c.lookY, 1e-3) << c.kind;
        EXPECT_EQ(crosshairKind, c.crosshair) << c.kind;
        // The view it makes stands upright: the world's up is up on the screen.
        const Mat4 view = MatLookAtLH(CameraEye, CameraLookAt, CameraUp);
        EXPECT_GT(Vec3TransformNormal({0, 1, 0}, view).y, 0.5f) << c.kind;
    }
    // Under --demo the keys and the mouse do not reach robot 0.
    DemoPlayer = true;
    SetRobotKind(Robots[0], 101);
    SpawnRobot(0);
    sys::SetCursorPos(480, 300);
    RobotPlayerControl();
    EXPECT_EQ(Robots[0].aimYaw, 0);
    EXPECT_EQ(RobotControls[0].forward, 0);
    DemoPlayer = false;
    sys::SetCursorPos(480, 300);
    RobotPlayerControl();
    EXPECT_FLOAT_EQ(Robots[0].aimYaw, 2.6f);
}

// A robot wreck mends 0.8 at a time on the frames the side update draws for
// it and comes back whole on the 321st mending step from 0, as a tank does:
// the float sum passes 256 one step early and must not count.
TEST_F(RobotSide, AWreckComesBackOnItsThreeHundredAndTwentyFirstMendingStep)
{
    RobotUnit& r = PlaceRobot(1, 101, 500, 500);
    r.hp = 0;
    RobotStep();
    ASSERT_EQ(r.alive, 0);
    int mends = r.hp > 0 ? 1 : 0;
    for (int frames = 0; !r.alive && frames < 20000; ++frames) {
        float before = r.hp;
        RobotStep();
        if (!r.alive ? r.hp > before : true) ++mends;
    }
    ASSERT_EQ(r.alive, 1);
    EXPECT_EQ(mends, 321);
    EXPECT_EQ(r.hp, 256);
}

// A computer D-ED.10's shells come down on a still tank near or far: at
// least 9 of 10 hit at 40, 100 and 170.
TEST_F(RobotSide, AComputerRobotsShellsComeDownOnAStillTankNearOrFar)
{
    LoadTankModels(kTankAbrams);
    LoadRobotModels(kRobotDed10);
    PlayerSide = 0;  // every robot is the computer's
    EarthCount = 1;
    MercuryCount = 1;
    for (float range : {40.0f, 100.0f, 170.0f}) {
        ::Shots = {};
        RobotUnit& r = PlaceRobot(0, kRobotDed10, 500, 300);
        TankUnit& t = Tanks[0];
        SetTankKind(t, kTankAbrams);
        SpawnTank(0);
        t.world = MatTranslation(500, 0.72f, 300 + range);
        PoseAbrams(t);
        RobotAi[0] = RobotAiState{};
        uint64_t fired = 0, hits = 0;
        for (int frame = 0; frame < 8000 && fired < 10; ++frame) {
            RobotAi[0].moveMode = 40;  // it holds still and fights
            RobotAi[0].modeLimit = 1 << 30;
            RobotControls[0].switchWeapon = 0;
            r.weapon = kRobotWeaponFirst;
            t.hp = 256;
            t.alive = 1;
            RobotAiDecide();
            RobotSideUpdate();
            uint64_t before = ::Shots.unitHits;
            UpdateRobotShots(0);
            hits += ::Shots.unitHits - before;
            fired = ::Shots.fired;
        }
        for (int frame = 0; frame < 200; ++frame) {
            uint64_t before = ::Shots.unitHits;
            UpdateRobotShots(0);
            hits += ::Shots.unitHits - before;
        }
        EXPECT_EQ(fired, 10u) << range;
        EXPECT_GE(hits, 9u) << "at " << range << ": " << hits << " of " << fired << " hit";
    }
}

// Each robot weapon that strikes a tank takes its own range of hit points,
// every value of it over enough shots and none outside: the D-ED.10's gun 6
// to 13 and its missiles 10 to 18, the R-NO.15's ice 1 to 3 and its cannon
// 3 to 5.
TEST_F(RobotSide, EachRobotWeaponHurtsATankWithinItsOwnRange)
{
    struct Case { const char* kind; int weapon, least, most; } cases[] = {
        {"D-ED.10", kWeaponMainGun, 6, 13}, {"D-ED.10", kWeaponSecond, 10, 18},
        {"R-NO.15", kWeaponMainGun, 1, 3}, {"R-NO.15", kWeaponSecond, 3, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + (c.weapon ? " second weapon" : " first weapon"));
        const int kind = RobotKindFromText(c.kind);
        LoadRobotModels(kind);
        RobotUnit& r = PlaceRobot(0, kind, 500, 480);
        const RobotKind& row = *r.row;
        int least = 1000, most = 0, hits = 0;
        for (int shot = 0; shot < 300; ++shot) {
            TankUnit& t = PlaceTank(0, 500, 500);
            t.shakeCode = HitReaction::None;
            row.fire(r, MatTranslation(500, 0.8f, 496), c.weapon);
            for (int step = 0; step < 60; ++step) row.updateShots(r, 0);
            const int loss = static_cast<int>(256 - t.hp);
            if (loss == 0) continue;
            ++hits;
            least = std::min(least, loss);
            most = std::max(most, loss);
        }
        EXPECT_GT(hits, 200);
        EXPECT_EQ(least, c.least);
        EXPECT_EQ(most, c.most);
    }
}
