// The Earth side: driving, the ABRAMS's main gun and roof machine gun,
// death, the wreck and its return, engine and gun sounds, track dust, and
// the computer's decisions (targets, patrol legs, manoeuvres, aim).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <set>

#include "assets/sound.h"
#include "battle/frame.h"
#include "hit_models.h"
#include "records/state.h"
#include "side_steps.h"
#include "units/robots/robot_kinds.h"
#include "sides/robot_side.h"
#include "battle/setup.h"
#include "effects/particles.h"
#include "effects/projectiles.h"
#include "drawn.h"
#include "headless_device.h"
#include "platform/test_hooks.h"
#include "collision/collision.h"
#include "world/ground.h"
#include "sides/player.h"
#include "sides/tank_side.h"
#include "platform/audio.h"
#include "platform/crt_rand.h"
#include "units/tanks/tank_kinds.h"
#include "world/map.h"

namespace {
Vec3 Pos(const Mat4& m) { return {m.m[3][0], m.m[3][1], m.m[3][2]}; }

class Tank : public HeadlessDevice {
protected:
    void SetUp() override
    {
        HeadlessDevice::SetUp();
        ASSERT_EQ(chdir(VARNOK_PACK), 0);
        ResetUnitRecords();
        ClearParticlePools();
        ReleaseSimpleModel(&StageCollision);  // no walls
        for (auto& row : HeightGrid)
            for (float& h : row) h = 0;
        for (TankAiState& a : TankAi) a = {};
        PlayerSide = 0;
        DemoPlayer = false;
        paused = 0;
        EarthCount = 2;
        MercuryCount = 2;
        ::Shots = {};
        Srand(7);
        for (int i = 0; i < 2; ++i) {
            SetTankKind(Tanks[i], kTankAbrams);
            SpawnTank(i);
            Tanks[i].world.m[3][1] = 0.72f;  // on the flat ground
            PoseAbrams(Tanks[i]);
            SetRobotKind(Robots[i], 101);
            Robots[i].World() = MatTranslation(100.0f + 20 * i, 2.2f, 100);
            for (Mat4& m : Robots[i].partWorld) m = Robots[i].World();
            Robots[i].alive = 1;
            Robots[i].hp = 256;
        }
        // Everything on the field is in view.
        BuildViewFrustum(&BattleFrustum, MatLookAtLH({0, 500, 0}, {500, 0, 500}, {0, 1, 0}), 170.0f, 1.0f, 0.1f,
                         5000.0f);
        CameraEye = {925, 3, 930};
    }
    void TearDown() override
    {
        DemoPlayer = false;
        ReleaseAllTankModels();  // no kind's set outlives its test
        ReleaseAllRobotModels();
        HeadlessDevice::TearDown();
    }
    static void Frames(int n)
    {
        for (int k = 0; k < n; ++k) TankStep();
    }
};
}  // namespace

TEST_F(Tank, TheMainGunFiresAgainOnTheSeventyEighthFrameNeverSooner)
{
    // A tank killed half-way through a cycle comes back with a whole one.
    TankUnit& t = Tanks[0];
    t.mainGunBusy = 2;
    t.recoilTimer = 40;
    t.recoil = -0.2f;
    SpawnTank(0);
    t.world.m[3][1] = 0.72f;
    EXPECT_EQ(t.recoilTimer, 0);
    EXPECT_EQ(t.recoil, 0.0f);
    EXPECT_EQ(t.mainGunBusy, 0);

    TankControls[0].fire = 1;
    std::vector<int> shotFrames;
    for (int frame = 1; frame <= 240; ++frame) {
        uint64_t before = ::Shots.fired;
        TankStep();
        if (::Shots.fired > before) shotFrames.push_back(frame);
        if (frame == 1) {
            EXPECT_FLOAT_EQ(t.recoil, -0.6f);  // the turret kicks back
        }
        if (frame == 2) {
            EXPECT_NEAR(t.recoil, -0.59f, 1e-6);
        }
        EXPECT_LE(t.recoil, 0) << frame;  // the turret never runs out past its rest
    }
    ASSERT_EQ(shotFrames.size(), 4u);
    for (size_t k = 1; k < shotFrames.size(); ++k) EXPECT_EQ(shotFrames[k] - shotFrames[k - 1], 78);

    // With the machine gun selected the recoil still relaxes, but the cycle waits.
    t.mainGunBusy = 2;
    t.recoilTimer = 10;
    t.recoil = -0.3f;
    t.weapon = kWeaponSecond;
    t.weaponSwap = 0;
    TankControls[0].fire = 0;
    Frames(5);
    EXPECT_EQ(t.recoilTimer, 10);
    EXPECT_NEAR(t.recoil, -0.25f, 1e-5);
}

TEST_F(Tank, TheMachineGunMountRisesKicksSevenDegreesAndComesBack)
{
    TankUnit& t = Tanks[0];
    ControlFlags& f = TankControls[0];
    EXPECT_EQ(t.secondGunTimer, -120);  // stowed at spawn
    f.switchWeapon = 1;
    TankStep();
    EXPECT_EQ(t.weapon, kWeaponSecond);
    EXPECT_EQ(f.switchWeapon, 0);  // acted on once
    EXPECT_EQ(t.secondGunTimer, -118);
    f.fire = 1;
    std::vector<int> shotFrames;
    for (int frame = 2; frame <= 75; ++frame) {
        uint64_t before = ::Shots.fired;
        TankStep();
        if (::Shots.fired > before) {
            shotFrames.push_back(frame);
            EXPECT_EQ(t.secondGunTimer, -5) << frame;  // kicked to -7, risen 2 in the same frame
        }
    }
    // Raised after 60 frames, then one shot every 4 frames (-5, -3, -1, 0).
    ASSERT_GE(shotFrames.size(), 3u);
    EXPECT_EQ(shotFrames[0], 61);
    EXPECT_EQ(shotFrames[1], 65);
    EXPECT_EQ(shotFrames[2], 69);
    EXPECT_EQ(t.mgShots, 12 * static_cast<int>(shotFrames.size()));
    // Asking for the main gun lowers the mount to -120, then switches.
    f.fire = 0;
    f.switchWeapon = 1;
    TankStep();
    EXPECT_EQ(t.weaponSwap, 1);
    Frames(58);
    EXPECT_EQ(t.weapon, kWeaponSecond);
    Frames(2);
    EXPECT_EQ(t.secondGunTimer, -120);
    EXPECT_EQ(t.weapon, kWeaponMainGun);
}

TEST_F(Tank, AFullShellTableFiresNothing)
{
    TankUnit& t = Tanks[0];
    for (Projectile& p : t.shells) p.state = kShotActive;
    FireAbrams(t, t.gunWorld, kWeaponMainGun);
    EXPECT_EQ(::Shots.fired, 0u);
    t.shells[9].state = kShotFree;
    FireAbrams(t, t.gunWorld, kWeaponMainGun);
    EXPECT_EQ(::Shots.fired, 1u);
    EXPECT_EQ(t.shells[9].state, kShotActive);
    FireAbrams(t, t.gunWorld, 7);  // no such weapon
    EXPECT_EQ(::Shots.fired, 1u);
}

TEST_F(Tank, AShellFliesOutAndBurstsOnTheGround)
{
    TankUnit& t = Tanks[0];
    t.gunPitch = 10;  // dipped: the shell meets the ground soon
    PoseAbrams(t);
    TankControls[0].fire = 1;
    TankStep();
    TankControls[0].fire = 0;
    ASSERT_EQ(t.shells[0].state, kShotActive);
    Vec3 start = Pos(t.shells[0].world);
    int blastsBefore = 0;
    for (const Burst& b : Blasts) blastsBefore += b.active;
    int frames = 0;
    while (t.shells[0].state == kShotActive && frames < 200) {
        TankStep();
        ++frames;
    }
    EXPECT_EQ(t.shells[0].state, kShotFree);
    EXPECT_GT(frames, 1);
    int blasts = 0;
    for (const Burst& b : Blasts) blasts += b.active;
    EXPECT_GT(blasts, blastsBefore);  // the burst on the ground
    EXPECT_LT(start.z, 925.0f);  // it left ahead of the tank, which faces -z
    EXPECT_GT(start.z, 915.0f);
}

TEST_F(Tank, AWreckComesBackInItsStartSlotWhenItsHitPointsPass256)
{
    InitSound(true, "");
    LoadSounds();
    TankUnit& t = Tanks[1];
    t.world = MatTranslation(500, 0.72f, 500);
    t.forwardSpeed = 0.3f;
    TankStep();
    ASSERT_TRUE(snd::GetStatus(TankEngineSounds.copies[1]) & snd::STATUS_PLAYING);
    t.hp = 0;  // exactly 0 is destroyed in this frame
    TankControls[1].forward = 1;
    float hpBefore = t.hp;
    TankStep();
    EXPECT_EQ(t.alive, 0);
    EXPECT_EQ(TankControls[1].forward, 0);
    EXPECT_FALSE(snd::GetStatus(TankEngineSounds.copies[1]) & snd::STATUS_PLAYING);  // the engine dies with it
    int wreckFrames = t.hp > hpBefore ? 1 : 0;
    int frames = 1;
    while (!t.alive && frames < 20000) {
        hpBefore = t.hp;
        TankStep();
        ++frames;
        if (!t.alive) {
            EXPECT_TRUE(t.hp == hpBefore || std::fabs(t.hp - hpBefore - 0.8f) < 1e-3f);
            if (t.hp > hpBefore) ++wreckFrames;
        } else {
            ++wreckFrames;  // the frame it comes back on
        }
    }
    ASSERT_EQ(t.alive, 1);
    EXPECT_EQ(wreckFrames, 321);
    EXPECT_GT(frames, 321 * 3);  // one frame in five on average
    EXPECT_EQ(t.hp, 256);
    EXPECT_FLOAT_EQ(Pos(t.world).x, 925);  // slot 1: column 1, row 0
    EXPECT_FLOAT_EQ(Pos(t.world).z, 905);
    ReleaseSounds();
    ShutdownSound();
}

TEST_F(Tank, TheWrecksTurretFliesOffAndLiesStill)
{
    TankUnit& t = Tanks[0];
    TankStep();
    t.hp = -3;
    t.debris[0] = {2.0f, 0, 20, 90};
    t.debris[1] = {2.0f, 0, -20, 45};
    TankStep();
    ASSERT_EQ(t.alive, 0);
    Vec3 hull = Pos(t.world);
    float highest = 0;
    for (int k = 0; k < 400; ++k) {
        TankStep();
        highest = std::max(highest, Pos(t.turretWorld).y);
        if (t.alive) break;
    }
    ASSERT_EQ(t.alive, 0);
    EXPECT_GT(highest, hull.y + 1.5f);  // thrown up
    Vec3 landed = Pos(t.turretWorld);
    EXPECT_LE(landed.y, 0.5f);  // down within reach of the ground, and lying there
    TankStep();
    Vec3 again = Pos(t.turretWorld);
    EXPECT_FLOAT_EQ(again.x, landed.x);
    EXPECT_FLOAT_EQ(again.z, landed.z);

    // A turret that starts within 0.5 of the ground never moves.
    t.turretWorld = MatTranslation(300, 0.3f, 300);
    t.debris[0] = {2.5f, 0, 10, 10};
    PoseAbrams(t);
    EXPECT_FLOAT_EQ(Pos(t.turretWorld).x, 300);
    EXPECT_FLOAT_EQ(Pos(t.turretWorld).y, 0.3f);
}

TEST_F(Tank, WHeldRampsTheSpeedAndReleasedItCoastsDown)
{
    struct Case {
        int kind;
        float maxSpeed, acceleration;
    } cases[] = {{kTankTiger, 0.31f, 0.016f}, {kTankAbrams, 0.33f, 0.018f}, {5, 0.33f, 0.018f}};
    for (const Case& c : cases) {
        TankUnit& t = Tanks[0];
        SetTankKind(t, c.kind);
        SpawnTank(0);
        TankControls[0] = {};
        TankControls[0].forward = 1;
        TankStep();
        // Each frame adds the acceleration and coasting takes 0.005.
        EXPECT_NEAR(t.forwardSpeed, c.acceleration - 0.005f, 1e-6) << c.kind;
        EXPECT_NEAR(t.trackTravel, t.forwardSpeed * 50, 1e-5) << c.kind;  // the tracks roll with the speed
        Frames(60);
        EXPECT_NEAR(t.forwardSpeed, c.maxSpeed - 0.005f, 1e-5) << c.kind;  // held at the top
        TankControls[0].forward = 0;
        float top = t.forwardSpeed;
        Frames(10);
        EXPECT_NEAR(t.forwardSpeed, top - 0.05f, 1e-5) << c.kind;
        Frames(100);
        EXPECT_EQ(t.forwardSpeed, 0.0f) << c.kind;
        // Reverse runs at five sixths, and coasts back to 0 too.
        TankControls[0].backward = 1;
        Frames(80);
        EXPECT_NEAR(t.reverseSpeed, -(c.maxSpeed / 6 * 5) + 0.005f, 1e-5) << c.kind;
        TankControls[0].backward = 0;
        Frames(100);
        EXPECT_EQ(t.reverseSpeed, 0.0f) << c.kind;
    }
}

TEST_F(Tank, TurningAtFullSpeedSlowsToHalfAndTurnsADegreeAFrame)
{
    TankUnit& t = Tanks[0];
    ControlFlags& f = TankControls[0];
    f.forward = 1;
    Frames(60);
    f.turnLeft = 1;
    float heading = t.heading;
    float yaw0 = std::atan2(t.world.m[2][0], t.world.m[2][2]) * kRadToDeg;
    Frames(10);
    EXPECT_NEAR(t.heading, heading - 10, 1e-3);
    float yaw1 = std::atan2(t.world.m[2][0], t.world.m[2][2]) * kRadToDeg;
    EXPECT_NEAR(std::remainder(yaw1 - yaw0, 360.0f), -10, 1e-2);
    f.forward = 0;
    Frames(60);
    EXPECT_NEAR(t.forwardSpeed, 0.33f / 2 - 0.005f, 1e-5);  // about half speed
    f.turnLeft = 0;
    f.turnRight = 1;
    TankStep();
    EXPECT_EQ(t.turnRate, 1.0f);
}

TEST_F(Tank, TheGunStopsAtSixteenUpAndTenDownForDriverAndComputer)
{
    TankUnit& t = Tanks[0];
    ControlFlags& f = TankControls[0];
    f.gunUp = 1;
    Frames(50);
    EXPECT_FLOAT_EQ(t.gunPitch, -16);
    f.gunUp = 0;
    f.gunDown = 1;
    Frames(60);
    EXPECT_FLOAT_EQ(t.gunPitch, 10);

    // A computer tank aiming at a robot high above and one right under its gun.
    struct Case {
        float robotY;
        float limit;
    } cases[] = {{60.0f, -16.0f}, {-30.0f, 10.0f}};
    for (const Case& c : cases) {
        TankUnit& ai = Tanks[1];
        SpawnTank(1);
        ai.world = MatTranslation(500, 0.72f, 500);
        PoseAbrams(ai);
        MercuryCount = 1;
        Robots[0].World() = MatTranslation(500, c.robotY, 504);
        for (Mat4& m : Robots[0].partWorld) m = Robots[0].World();
        TankAi[1].moveMode = 4;  // hold still
        TankAi[1].modeLimit = 100000;
        for (int k = 0; k < 200; ++k) {
            TankAiDecide();
            EXPECT_GE(ai.gunPitch, -16.0f);
            EXPECT_LE(ai.gunPitch, 10.0f);
            TankStep();
        }
        EXPECT_FLOAT_EQ(ai.gunPitch, c.limit) << c.robotY;
    }
}

TEST_F(Tank, AComputerTankTargetsTheNearestLiveRobotWithinReach)
{
    MercuryCount = 3;
    Tanks[1].world = MatTranslation(500, 0.72f, 500);
    struct Robot {
        float distance;
        int alive;
    };
    struct Case {
        Robot robots[4];  // the fourth is above the count in use
        int engaged, target;
    } cases[] = {
        {{{150, 1}, {100, 0}, {120, 1}, {10, 1}}, 1, 2},  // the dead one and the stale slot are passed over
        {{{170, 1}, {179.9f, 1}, {175, 1}, {10, 1}}, 1, 0},
        {{{180, 1}, {200, 1}, {190, 1}, {10, 1}}, 0, 5},  // none within reach: the old target stays
        {{{50, 0}, {60, 0}, {70, 0}, {10, 1}}, 0, 5},
    };
    for (const Case& c : cases) {
        for (int j = 0; j < 4; ++j) {
            Robots[j].World() = MatTranslation(500 + c.robots[j].distance, 0.72f, 500);
            Robots[j].alive = c.robots[j].alive;
        }
        Tanks[1].target = 5;
        Tanks[1].engaged = 0;
        ChooseTankTarget(1);
        EXPECT_EQ(Tanks[1].engaged, c.engaged) << c.robots[0].distance;
        EXPECT_EQ(Tanks[1].target, c.target) << c.robots[0].distance;
    }
}

TEST_F(Tank, PatrolLegsDriveAndRestForTheirDrawnLengths)
{
    // Far from every robot: tank 1 patrols.
    TankAiState& ai = TankAi[1];
    ControlFlags& f = TankControls[1];
    ai = {};
    ai.restLimit = 60;
    ai.driveLimit = 200;
    ai.desiredHeading = 180;
    f = {};
    int firstForward = 0, lastForward = 0;
    for (int frame = 1; frame <= 270; ++frame) {
        TankAiDecide();
        if (f.forward) {
            if (!firstForward) firstForward = frame;
            lastForward = frame;
        }
    }
    EXPECT_EQ(firstForward, 61);             // rested 60 frames
    EXPECT_EQ(lastForward - firstForward + 1, 200);  // drove 200
    EXPECT_EQ(ai.wandering, 0);

    // Drawn limits and headings back into the field from each edge.
    struct Where {
        float x, z;
        float lo, hi;  // the heading range before it is brought into (-180, 180]
    } places[] = {{500, 500, -180, 180}, {100, 500, 45, 135}, {900, 500, 225, 315},
                  {500, 100, -45, 45},   {900, 100, -45, 45}, {500, 900, 135, 225}};
    for (const Where& w : places) {
        Tanks[1].world = MatTranslation(w.x, 0.72f, w.z);
        for (int k = 0; k < 200; ++k) {
            NewTankPatrol(1);
            float h = ai.desiredHeading;
            EXPECT_GE(h, -180.0f);
            EXPECT_LE(h, 180.0f);
            float unwrapped = h < w.lo ? h + 360 : h;
            EXPECT_GE(unwrapped, w.lo) << w.x << "," << w.z;
            EXPECT_LE(unwrapped, w.hi) << w.x << "," << w.z;
            EXPECT_EQ(ai.driveLimit % 100, 0);
            EXPECT_GE(ai.driveLimit, 100);
            EXPECT_LE(ai.driveLimit, 1000);
            EXPECT_EQ(ai.restLimit % 30, 0);
            EXPECT_GE(ai.restLimit, 30);
            EXPECT_LE(ai.restLimit, 300);
            EXPECT_GE(ai.modeLimit, 100);
            EXPECT_LE(ai.modeLimit, 300);
            EXPECT_GE(ai.moveMode, 0);
            EXPECT_LE(ai.moveMode, 7);
        }
    }
}

TEST_F(Tank, AWanderingTankTurnsTheShortWayToItsHeadingADegreeAFrame)
{
    TankAiState& ai = TankAi[1];
    for (float want : {30.0f, -30.0f, 0.5f}) {
        Tanks[1].world = MatTranslation(500, 0.72f, 500);  // facing +z: heading 0
        ai = {};
        ai.wandering = 1;
        ai.restLimit = ai.driveLimit = 1000;
        ai.desiredHeading = want;
        TankControls[1] = {};
        for (int k = 0; k < 10; ++k) TankAiDecide();
        Vec3 ahead = Vec3TransformNormal({0, 0, 1}, Tanks[1].world);
        float heading = LevelHeading(ahead);
        float expected = std::fabs(want) < 10 ? want : (want > 0 ? 10.0f : -10.0f);
        EXPECT_NEAR(Wrap180(heading), expected, 1e-2) << want;
    }
}

TEST_F(Tank, OnTargetAComputerTanksSecondWeaponFiresAsItsRowSays)
{
    // A robot straight ahead of tank 1's turret: on target every frame.
    MercuryCount = 1;
    Robots[0].World() = MatTranslation(500, 0.72f, 530);
    for (Mat4& m : Robots[0].partWorld) m = Robots[0].World();
    struct Case { int kind; int lo, hi; } cases[] = {{kTankAbrams, 60, 140}, {kTankTiger, 600, 600}};
    for (const Case& c : cases) {
        SetTankKind(Tanks[1], c.kind);
        Tanks[1].world = Tanks[1].turretWorld = Tanks[1].gunWorld = MatTranslation(500, 0.72f, 500);
        Tanks[1].turretYaw = 0;
        Tanks[1].engaged = 1;
        Tanks[1].target = 0;
        Tanks[1].weapon = kWeaponSecond;
        TankAi[1] = {};
        TankAi[1].modeLimit = 100000;
        int fired = 0;
        for (int k = 0; k < 600; ++k) {
            Tanks[1].turretWorld = Tanks[1].world;
            TankAiDecide();
            fired += TankControls[1].fire;
        }
        EXPECT_GE(fired, c.lo) << c.kind;  // about one frame in six, or every frame
        EXPECT_LE(fired, c.hi) << c.kind;
    }
}

TEST_F(Tank, APatrolLegClearsTheFlagsLeftFromAFight)
{
    TankAiState& ai = TankAi[1];
    ControlFlags& f = TankControls[1];
    ai.wandering = 1;
    ai.restLimit = 1000;
    ai.driveLimit = 1000;
    ai.desiredHeading = 180;
    f.turnLeft = f.turnRight = f.backward = f.fire = 1;
    TankAiDecide();
    EXPECT_EQ(f.forward, 1);
    EXPECT_EQ(f.turnLeft, 0);
    EXPECT_EQ(f.turnRight, 0);
    EXPECT_EQ(f.backward, 0);
    EXPECT_EQ(f.fire, 0);
}

TEST_F(Tank, AManoeuvreEndsOnceItsCountReachesOrPassesItsLimit)
{
    MercuryCount = 1;
    Tanks[1].world = MatTranslation(120, 0.72f, 150);  // 50 from robot 0
    TankAiState& ai = TankAi[1];
    struct Case {
        int frames, limit;
        bool ends;
    } cases[] = {{118, 120, false}, {119, 120, true}, {150, 120, true}};
    for (const Case& c : cases) {
        ai.modeFrames = c.frames;
        ai.modeLimit = c.limit;
        TankAiDecide();
        ASSERT_EQ(Tanks[1].engaged, 1);
        if (c.ends) EXPECT_EQ(ai.modeFrames, 0) << c.frames;
        else EXPECT_EQ(ai.modeFrames, c.frames + 1) << c.frames;
    }
}

TEST_F(Tank, WrecksAndFrozenTanksMakeNoDecisions)
{
    TankUnit& t = Tanks[1];
    TankAiState& ai = TankAi[1];
    for (int variant = 0; variant < 2; ++variant) {
        SpawnTank(1);
        if (variant == 0) t.alive = 0;
        else t.shakeCode = HitReaction::FrozenByIce;
        ai.wandering = 1;
        ai.restLimit = ai.driveLimit = 1000;
        ai.desiredHeading = 90;  // a quarter turn away
        TankControls[1] = {};
        Mat4 before = t.world;
        TankAiDecide();
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) EXPECT_EQ(t.world.m[r][c], before.m[r][c]) << variant;
        EXPECT_EQ(TankControls[1].forward, 0) << variant;
    }
    // A frozen tank holds still and cannot fire for 120 frames.
    TankControls[1].forward = TankControls[1].fire = 1;
    Vec3 at = Pos(t.world);
    uint64_t shots = ::Shots.fired;
    for (int k = 0; k < 119; ++k) {
        TankStep();
        TankControls[1].forward = TankControls[1].fire = 1;
    }
    EXPECT_EQ(::Shots.fired, shots);
    EXPECT_FLOAT_EQ(Pos(t.world).z, at.z);
    EXPECT_EQ(t.shakeCode, HitReaction::FrozenByIce);
    TankStep();
    EXPECT_EQ(t.shakeCode, HitReaction::None);
}

TEST_F(Tank, OnlyTheUnitsInUseTakePart)
{
    EarthCount = 1;
    MercuryCount = 1;
    // Tank slot 1 is above the count: stale from an earlier battle.
    TankControls[1].forward = 1;
    Tanks[1].forwardSpeed = 0.3f;
    Vec3 stale = Pos(Tanks[1].world);
    TankAiDecide();
    TankStep();
    EXPECT_FLOAT_EQ(Pos(Tanks[1].world).z, stale.z);
    EXPECT_EQ(TankControls[1].forward, 1);
    // Robot slot 1, above its count, stands right beside the player's tank.
    DemoPlayer = true;
    Robots[1].World() = MatTranslation(925, 2, 915);
    ChooseTankTarget(0);
    EXPECT_EQ(Tanks[0].engaged, 0);
}

TEST_F(Tank, TheComputerDrivesThePlayersTankOnlyInTheDemo)
{
    MercuryCount = 1;
    Robots[0].World() = MatTranslation(925, 2.2f, 880);  // within reach of both tanks
    TankAi[0].moveMode = TankAi[1].moveMode = 0;  // forward
    TankAi[0].modeLimit = TankAi[1].modeLimit = 1000;
    TankAiDecide();
    EXPECT_EQ(TankControls[0].forward, 0);
    EXPECT_EQ(TankControls[1].forward, 1);
    DemoPlayer = true;
    TankAiDecide();
    EXPECT_EQ(TankControls[0].forward, 1);
    // A new leg draws a weapon only for a tank the computer drives.
    DemoPlayer = false;
    for (int k = 0; k < 50; ++k) {
        TankControls[0].switchWeapon = 0;
        NewTankPatrol(0);
        EXPECT_EQ(TankControls[0].switchWeapon, 0);
    }
}

TEST_F(Tank, EngineRumbleFollowsSpeedAndStopsWithTheBattle)
{
    InitSound(true, "");
    LoadSounds();
    ASSERT_NE(TankEngineSounds.copies[0], nullptr);
    ASSERT_GT(EngineBaseFrequency, 0u);
    TankUnit& t = Tanks[0];
    struct Case {
        float forward, reverse;
        bool playing;
    } cases[] = {{0.3f, 0, true}, {0.08f, 0, false}, {0.0f, -0.04f, false}, {0.0f, -0.2f, true}, {0.11f, 0, true}};
    for (const Case& c : cases) {
        t.forwardSpeed = c.forward + 0.005f;  // coasting takes 0.005 before the engine hears it
        t.reverseSpeed = c.reverse == 0 ? 0 : c.reverse - 0.005f;
        TankStep();
        bool playing = snd::GetStatus(TankEngineSounds.copies[0]) & snd::STATUS_PLAYING;
        EXPECT_EQ(playing, c.playing) << c.forward << " " << c.reverse;
        if (c.playing) {
            float s = t.forwardSpeed + t.reverseSpeed;  // the move leaves the speeds as they were
            uint32_t expected = static_cast<uint32_t>(std::fabs(std::trunc(EngineBaseFrequency * s * 9)));
            EXPECT_NEAR(snd::GetFrequency(TankEngineSounds.copies[0]), expected, 2.0) << c.forward;
        }
    }
    // A tank without an engine sound drives on silently.
    snd::Release(TankEngineSounds.copies[1]);
    Tanks[1].forwardSpeed = 0.3f;
    TankStep();
    EXPECT_GT(Tanks[1].forwardSpeed, 0.2f);
    // Leaving or ending the battle stops every loop.
    t.forwardSpeed = 0.3f;
    TankStep();
    ASSERT_TRUE(snd::GetStatus(TankEngineSounds.copies[0]) & snd::STATUS_PLAYING);
    StopTankEngines();
    EXPECT_FALSE(snd::GetStatus(TankEngineSounds.copies[0]) & snd::STATUS_PLAYING);
    ReleaseSounds();
    ShutdownSound();
}

TEST_F(Tank, GunReportsPlayNearTheCameraOnly)
{
    InitSound(true, "");
    LoadSounds();
    TankUnit& t = Tanks[0];
    TankControls[0].fire = 1;
    uint32_t before = TankGunSounds.started;
    TankStep();
    EXPECT_EQ(TankGunSounds.started, before + 1);
    CameraEye = {500, 3, 500};  // far away: the next shot is silent
    Frames(78);
    EXPECT_EQ(TankGunSounds.started, before + 1);
    EXPECT_GT(::Shots.fired, 1u);
    CameraEye = {925, 3, 930};
    t.weapon = kWeaponSecond;
    t.weaponSwap = 0;
    t.secondGunTimer = 0;
    uint32_t mg = MachineGunSounds.started;
    TankStep();
    EXPECT_EQ(MachineGunSounds.started, mg + 1);
    ReleaseSounds();
    ShutdownSound();
}

TEST_F(Tank, ReverseDustIsFaintUpToThirtyFiveAndThickAbove)
{
    struct Case {
        float speed;
        int32_t alpha;
    } forward[] = {{0.2f, 30}, {0.176f, 30}, {0.175f, 18}, {0.125f, 18}, {0.124f, 3}, {0.01f, 3}},
      reverse[] = {{-0.2f, 28}, {-0.176f, 28}, {-0.175f, 3}, {-0.15f, 3}, {-0.124f, 3}, {-0.01f, 3}};
    for (const Case& c : forward) EXPECT_EQ(ForwardDustAlpha(c.speed), c.alpha) << c.speed;
    for (const Case& c : reverse) EXPECT_EQ(ReverseDustAlpha(c.speed), c.alpha) << c.speed;

    // In a battle the track throws four puffs of that alpha.
    for (float speed : {-0.15f, -0.2f}) {
        ClearParticlePools();
        Tanks[0].reverseSpeed = speed - 0.005f;  // coasting takes 0.005 first
        TankStep();
        int puffs = 0;
        for (const GroundDust& d : GroundDusts)
            if (d.active) {
                ++puffs;
                EXPECT_EQ(d.alpha, ReverseDustAlpha(speed)) << speed;
            }
        EXPECT_EQ(puffs, 4) << speed;
    }
}

TEST_F(Tank, AWholeTankMakesNoSmokeAndAHurtOneSmokesMoreTheWorseItIs)
{
    auto smokeOver = [](float hp) {
        ClearParticlePools();
        Tanks[0].hp = hp;
        Tanks[0].world = MatTranslation(500, 0.72f, 500);
        Tanks[0].turretWorld = Tanks[0].world;
        TankControls[0] = {};
        for (int k = 0; k < 200; ++k) TankStep();
        PoolCount counts[kParticlePoolCount];
        CountParticlePools(counts);
        int live = 0;
        for (const PoolCount& c : counts) live += c.live;
        return live;
    };
    EXPECT_EQ(smokeOver(256), 0);
    int light = smokeOver(150), heavy = smokeOver(50);
    EXPECT_GT(light, 0);
    EXPECT_GT(heavy, light);
}

TEST_F(Tank, ReversingGathersSpeedAndTheTurretTurnsRoundAndRound)
{
    // Backing up: a little more each frame, up to five sixths of the top speed.
    const Handling& h = TankHandling[0];
    TankControls[0] = {};
    TankControls[0].backward = 1;
    TankStep();
    EXPECT_LT(Tanks[0].reverseSpeed, 0);
    EXPECT_GT(Tanks[0].reverseSpeed, -h.maxSpeed / 6);
    for (int k = 0; k < 300; ++k) TankStep();
    EXPECT_NEAR(Tanks[0].reverseSpeed, -(h.maxSpeed / 6 * 5) + 0.005f, 1e-4);
    // The turret turns 2 degrees a frame and its angle stays within a turn.
    TankControls[0] = {};
    TankControls[0].turretRight = 1;
    float most = 0;
    for (int k = 0; k < 400; ++k) {
        TankStep();
        most = std::max(most, Tanks[0].turretYaw);
        EXPECT_GT(Tanks[0].turretYaw, 0);
    }
    EXPECT_LE(most, 362);
    TankControls[0] = {};
    TankControls[0].turretLeft = 1;
    const float yaw = Tanks[0].turretYaw;
    TankStep();
    EXPECT_FLOAT_EQ(Wrap180(yaw - Tanks[0].turretYaw), 2) << "two degrees a frame";
    for (int k = 0; k < 400; ++k) {
        TankStep();
        EXPECT_GT(Tanks[0].turretYaw, 0);
        EXPECT_LE(Tanks[0].turretYaw, 362);
    }
}

TEST_F(Tank, TheMainGunFlashesAtItsMuzzleAndTracersAreDrawnWhereTheyFly)
{
    TankUnit& t = Tanks[0];
    ClearParticlePools();
    TankControls[0] = {};
    TankControls[0].fire = 1;
    TankStep();
    // Smoke and a flash at the muzzle, 2.2 along the gun.
    Vec3 muzzle = Vec3TransformCoord({0, 0, 2.2f}, t.gunWorld);
    int nearMuzzle = 0;
    for (const Burst* pool : {Bursts, Blasts})
        for (int i = 0; i < 50; ++i)
            nearMuzzle += pool[i].active && PointDistance(pool[i].position, muzzle) < 1.0f;
    EXPECT_GE(nearMuzzle, 2);
    // The machine gun's tracers: each drawn by its own world.
    t.weapon = kWeaponSecond;
    t.secondGunGate = 0;
    for (int k = 0; k < 80; ++k) TankStep();
    std::vector<gfx::DrawnCall> calls = DrawCalls([&] { DrawTankAdditiveShots(0); });
    int live = 0;
    for (const Projectile& b : t.bullets) {
        if (b.state != kShotActive) continue;
        ++live;
        bool drawn = false;
        for (const auto& c : calls) drawn |= std::memcmp(&c.world, &b.world, sizeof(Mat4)) == 0;
        EXPECT_TRUE(drawn);
    }
    EXPECT_GT(live, 0);
}

TEST_F(Tank, EveryKindDrivesAtItsRowsSpeedAndRidesAtItsRowsHeight)
{
    for (int kind = kFirstTankKind; kind <= kLastTankKind; ++kind) {
        const TankKind* k = TankKindOf(kind);
        ASSERT_NE(k, nullptr);
        EXPECT_STREQ(UnitKindName(kind), k->name);
        SetTankKind(Tanks[0], kind);
        SpawnTank(0);
        Tanks[0].world = MatTranslation(500, 0, 500);
        Tanks[0].turretWorld = Tanks[0].world;
        TankControls[0] = {};
        TankControls[0].forward = 1;
        // Held forward, it gathers speed by its acceleration and holds its
        // top speed; the ground puts its hull at its clearance.
        int frames = static_cast<int>(std::ceil(k->maxSpeed / k->acceleration)) + 2;
        Frames(frames);
        FollowGroundTanks();
        EXPECT_NEAR(Tanks[0].world.m[3][1], k->groundClearance, 1e-3) << k->name;
        float z = Tanks[0].world.m[3][2];
        Frames(60);
        // (less the drag of 0.005 a frame, which leaves it a little short)
        EXPECT_NEAR(Tanks[0].world.m[3][2] - z, 60 * k->maxSpeed, 0.03f * 60 * k->maxSpeed) << k->name;
        // Whatever else it has, firing, switching and drawing do not fault.
        TankControls[0].fire = TankControls[0].switchWeapon = 1;
        Frames(3);
        DrawTankKind(0);
        DrawTankDepth(0);
        DrawTankAdditiveShots(0);
    }
    EXPECT_EQ(TankKindOf(0), nullptr);
    EXPECT_EQ(TankKindOf(10), nullptr);
    EXPECT_STREQ(TankKindName(10), "?");
    // A record holding no kind at all is driven but never drawn or fired.
    SetTankKind(Tanks[0], 0);
    TankControls[0].fire = 1;
    uint64_t shots = ::Shots.fired;
    Frames(2);
    DrawTankKind(0);
    EXPECT_EQ(::Shots.fired, shots);
}

namespace {
// A unit part that only carries a hit box (one triangle so it counts as loaded).
void BoxPart(ModelPart* part, Vec3 half)
{
    float v[3][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    uint32_t idx[3] = {0, 1, 2};
    ASSERT_FALSE(gfx::Failed(gfx::CreateMesh(gfx::FVF_XYZ, v, 3, idx, 1, nullptr, &part->mesh)));
    part->box = OrientedBox{};
    part->box.halfSize = half;
}
}  // namespace

TEST_F(Tank, AbramsShellsAndBulletsHurtOnlyRobotsAndLeaveAboveEighty)
{
    ModelPart upper, foot;
    BoxPart(&upper, {1, 1, 1});
    BoxPart(&foot, {0.3f, 0.3f, 0.3f});
    SetRobotHitModels(101, &upper, &foot);
    RobotUnit& r = Robots[0];
    r.World() = MatTranslation(500, 2.2f, 500);
    for (Mat4& m : r.partWorld) m = r.World();
    TankUnit& t = Tanks[0];
    // A shell that arrives inside the robot this frame, fired level along +z.
    auto shellAt = [&](float y, float z) {
        FireShot(t.shells, kTankShellSlots, MatTranslation(500, y, z - 2.2f), MatTranslation(0, 0, 2.2f));
    };
    struct Case {
        float hp;
        int alive;
        int kills;      // the shooter's, after the hit
        HitReaction shake;  // the robot's reaction
    } cases[] = {{18, 1, 1, HitReaction::Killed}, {31, 1, 0, HitReaction::TankShell}, {0, 1, 0, HitReaction::TankShell},
                 {100, 0, 0, HitReaction::TankShell}};
    for (const Case& c : cases) {
        r.hp = c.hp;
        r.alive = c.alive;
        r.shakeCode = HitReaction::None;
        r.deaths = 0;
        t.kills = 0;
        shellAt(2.2f, 500);
        UpdateAbramsShots(t, 0);
        EXPECT_EQ(t.shells[0].state, kShotFree) << c.hp;
        EXPECT_EQ(t.kills, c.kills) << c.hp;
        EXPECT_EQ(r.shakeCode, c.shake) << c.hp;
        if (c.kills) {
            EXPECT_EQ(r.deaths, 1);
            EXPECT_EQ(r.shakeTimer, -25);
        }
        if (c.hp == 31) {
            EXPECT_GE(r.hp, 1);  // 18 to 30 a shell
            EXPECT_LE(r.hp, 13);
        }
        if (c.hp == 0 || !c.alive) {
            EXPECT_EQ(r.hp, c.hp);  // no damage to a wreck or a robot at 0
        }
    }
    // A bullet takes 1 or 2.
    r.alive = 1;
    r.hp = 100;
    FireShot(t.bullets, kTankBulletSlots, MatTranslation(500, 2.2f, 498.2f), MatTranslation(0, 0, 1.8f));
    UpdateAbramsShots(t, 0);
    EXPECT_EQ(t.bullets[0].state, kShotFree);
    EXPECT_EQ(r.shakeCode, HitReaction::Bullet);
    EXPECT_GE(r.hp, 98);
    EXPECT_LE(r.hp, 99);
    // The field's ceiling for shells is 80: at 80 exactly a shell flies on.
    shellAt(80.0f, 300);
    UpdateAbramsShots(t, 0);
    EXPECT_EQ(t.shells[0].state, kShotActive);
    t.shells[0].state = kShotFree;
    shellAt(80.01f, 300);
    UpdateAbramsShots(t, 0);
    EXPECT_EQ(t.shells[0].state, kShotFree);
    RestoreHitModels();
    gfx::Release(upper.mesh);
    gfx::Release(foot.mesh);
}

// The computer aims its main gun so that the shell, whose nose drops a
// little every frame, comes down on the target: a still D-ED.10 on flat
// ground at 40, 100 and 170 is hit by at least 9 of 10 shells.
TEST_F(Tank, AComputerTanksShellsComeDownOnAStillRobotNearOrFar)
{
    LoadTankModels(kTankAbrams);
    LoadRobotModels(kRobotDed10);
    PlayerSide = 1;  // every tank is the computer's
    EarthCount = 1;
    MercuryCount = 1;
    for (float range : {40.0f, 100.0f, 170.0f}) {
        ::Shots = {};
        TankUnit& t = Tanks[0];
        SpawnTank(0);
        t.world = MatTranslation(500, 0.72f, 300);  // facing +z
        t.turretYaw = 0;
        t.gunPitch = 0;
        RobotUnit& r = Robots[0];
        SetRobotKind(r, kRobotDed10);
        SpawnRobot(0);
        r.World() = MatTranslation(500, 2.2f, 300 + range);
        PoseRobot10(r);
        TankAi[0] = TankAiState{};
        uint64_t fired = 0, hits = 0;
        for (int frame = 0; frame < 6000 && fired < 10; ++frame) {
            TankAi[0].moveMode = 4;  // it holds still and fights
            TankAi[0].modeLimit = 1 << 30;
            TankControls[0].switchWeapon = 0;
            t.weapon = kWeaponMainGun;
            r.hp = 256;  // it stands whatever it takes
            r.alive = 1;
            TankAiDecide();
            TankSideUpdate();
            // Count only shells that have met something or flown out.
            uint64_t before = ::Shots.unitHits;
            UpdateTankShots(0);
            hits += ::Shots.unitHits - before;
            fired = ::Shots.fired;
        }
        for (int frame = 0; frame < 200; ++frame) {  // the last shell lands
            uint64_t before = ::Shots.unitHits;
            UpdateTankShots(0);
            hits += ::Shots.unitHits - before;
        }
        EXPECT_EQ(fired, 10u) << range;
        EXPECT_GE(hits, 9u) << "at " << range << ": " << hits << " of " << fired << " hit";
    }
}

// A hit jolts a tank on the ground plane by its reaction's reach each
// frame it shakes (a shell 0.18 at most, a wreck's blast 0.38), and never
// upward; the ice holds it still.
TEST_F(Tank, AHitJoltsTheTankByItsReactionsReachAndTheIceHoldsItStill)
{
    EarthCount = 1;
    struct Case { HitReaction code; float reach; } cases[] = {
        {HitReaction::TankShell, 0.18f}, {HitReaction::Killed, 0.38f}, {HitReaction::FrozenByIce, 0.0f}};
    for (const Case& c : cases) {
        float most = 0;
        for (int k = 0; k < 200; ++k) {
            Tanks[0].world = MatTranslation(300, 0.72f, 300);
            Tanks[0].forwardSpeed = Tanks[0].reverseSpeed = Tanks[0].turnRate = 0;
            Tanks[0].shakeCode = c.code;
            Tanks[0].alive = 1;
            Tanks[0].hp = 200;
            TankControls[0] = {};
            TankSideUpdate();
            const Vec3 p = Position(Tanks[0].world);
            EXPECT_FLOAT_EQ(p.y, 0.72f);
            most = std::max({most, std::fabs(p.x - 300), std::fabs(p.z - 300)});
        }
        EXPECT_LE(most, c.reach + 1e-4f) << static_cast<int>(c.code);
        EXPECT_GE(most, c.reach * 0.9f) << static_cast<int>(c.code);
    }
}
