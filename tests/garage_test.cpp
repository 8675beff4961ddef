// The kinds that are only looked at: the seven tanks and the R-NO.13 and
// R-NO.16 robots.  Where each part of a kind is drawn, from the pack's own
// models; the turret and gun matrices the tank draws store; the FLACKP's
// radar; the R-NO.16's legs, pods, fire timer and mortar shells; and the
// R-NO.13's pose.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "assets/sound.h"
#include "battle/setup.h"
#include "drawn.h"
#include "effects/particles.h"
#include "effects/projectiles.h"
#include "headless_device.h"
#include "platform/crt_rand.h"
#include "records/state.h"
#include "sides/player.h"
#include "sides/robot_side.h"
#include "sides/tank_side.h"
#include "units/robots/robot_kinds.h"
#include "units/tanks/tank_kinds.h"
#include "world/ground.h"
#include "world/map.h"

namespace {
Vec3 Pos(const Mat4& m) { return {m.m[3][0], m.m[3][1], m.m[3][2]}; }

// The live records of a pool of bursts or blasts with this alpha: what
// one spawn put there.
std::vector<Burst> WithAlpha(const Burst* pool, int capacity, int32_t alpha)
{
    std::vector<Burst> out;
    for (int i = 0; i < capacity; ++i)
        if (pool[i].active && pool[i].alpha == alpha) out.push_back(pool[i]);
    return out;
}

// Live particles of the pool the run report calls `name`.
int Live(const char* name)
{
    PoolCount pools[kParticlePoolCount];
    CountParticlePools(pools);
    for (const PoolCount& p : pools)
        if (std::strcmp(p.name, name) == 0) return p.live;
    return -1;
}

void ExpectMatNear(const Mat4& a, const Mat4& b, const char* what)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(a.m[r][c], b.m[r][c], 1e-4f) << what << " [" << r << "][" << c << "]";
}

// The world matrix of every part a draw put on the device, in order: the
// subsets of one part share its matrix, so a run of equal matrices is one part.
std::vector<Mat4> PartWorlds(const std::vector<gfx::DrawnCall>& calls)
{
    std::vector<Mat4> out;
    for (const auto& c : calls)
        if (out.empty() || std::memcmp(&out.back(), &c.world, sizeof(Mat4)) != 0) out.push_back(c.world);
    return out;
}

class Garage : public HeadlessDevice {
protected:
    void SetUp() override
    {
        HeadlessDevice::SetUp();
        ASSERT_EQ(chdir(VARNOK_PACK), 0);
        SetFixedRenderStates();
        // Everything near the origin is in view.
        LookAt({0, 40, -60}, {0, 0, 0});
    }
    void TearDown() override
    {
        ReleaseAllTankModels();
        ReleaseAllRobotModels();
        HeadlessDevice::TearDown();
    }
    static void LookAt(Vec3 eye, Vec3 at)
    {
        CameraEye = eye;
        BuildViewFrustum(&BattleFrustum, MatLookAtLH(eye, at, {0, 1, 0}), 60.0f, 4.0f / 3.0f, 0.1f, 5000.0f);
    }
};

// Where the wheels of one kind stand on the right (x) and the left (leftX).
void AddPairs(std::vector<Vec3>* out, float x, float y, std::initializer_list<float> zs, float leftX)
{
    for (float z : zs) {
        out->push_back({x, y, z});
        out->push_back({leftX, y, z});
    }
}

struct LookedAtTank {
    int kind;
    float turretHeight;
    Vec3 gunOffset;
    float trackDivisor;       // the distance driven over this is how far the track's picture moves (0: no track)
    std::vector<Vec3> parts;  // every part's place on an unturned hull at the origin, in drawing order
};

std::vector<LookedAtTank> LookedAtTanks()
{
    std::vector<LookedAtTank> out;
    {
        LookedAtTank k{3, 0.875f, {0, 0.2f, 0}, 0, {{0, 0, 0}, {0, 0.875f, 0}, {0, 1.075f, 0}}};
        AddPairs(&k.parts, 0.8f, -0.35f, {-1.5f, 1.25f}, -0.8f);
        out.push_back(k);
    }
    {
        LookedAtTank k{4, 0.5f, {0, 0.6f, 1}, 400, {{0, 0, 0}, {0, 0.5f, 0}, {0, 1.1f, 1}, {0.75f, 1.1f, -0.8f},
                                                {-0.75f, 1.1f, -0.8f}, {0, 1.425f, -1.85f}, {1, -0.2f, -0.4f},
                                                {-1, -0.2f, -0.4f}}};
        AddPairs(&k.parts, 0.98f, -0.2f, {-2.55f}, -0.98f);
        AddPairs(&k.parts, 0.98f, -0.4f, {-2.05f, -1.5f, -0.95f, -0.4f, 0.15f, 0.7f, 1.25f}, -0.98f);
        AddPairs(&k.parts, 0.98f, -0.1f, {1.8f}, -0.98f);
        out.push_back(k);
    }
    {
        LookedAtTank k{5, 0.75f, {0, 0.38f, 0.53f}, 600, {{0, 0, 0}, {0, 0.75f, 0}, {0, 1.13f, 0.53f}, {0.75f, -0.19f, -0.4f},
                                                     {-0.95f, -0.19f, -0.4f}, {0.75f, -0.19f, -0.4f},
                                                     {-0.95f, -0.19f, -0.4f}}};
        AddPairs(&k.parts, 0.85f, -0.3f, {-2.11f}, -0.85f);
        AddPairs(&k.parts, 0.85f, -0.1f, {1.2f}, -0.85f);
        out.push_back(k);
    }
    {
        LookedAtTank k{6, 1.05f, {0, 0.15f, 0.65f}, 800, {{0, 0, 0}, {0, 1.05f, 0}, {-1.05f, 1.15f, 0}, {0, 1.2f, 0.65f},
                                                     {0.88f, 0.05f, 0.5f}, {-1.13f, 0.05f, 0.5f}}};
        AddPairs(&k.parts, 0.88f, -0.2f, {2.9f}, -1.13f);
        AddPairs(&k.parts, 0.88f, -0.51f, {2.1f, 1.45f, 0.8f, 0, -0.65f, -1.3f}, -1.13f);
        AddPairs(&k.parts, 0.88f, -0.2f, {-1.9f}, -1.13f);
        out.push_back(k);
    }
    {
        LookedAtTank k{7, 0.75f, {0, -0.2f, 1.15f}, 800, {{0, 0, 0}, {0, 0.75f, 0}, {0, 0.55f, 1.15f}, {-0.35f, 1.15f, -0.5f},
                                                     {-0.55f, 1.35f, -0.05f}, {1.1f, -0.38f, -0.48f},
                                                     {-1.1f, -0.38f, -0.48f}}};
        AddPairs(&k.parts, 1.1f, 0, {-0.4f, 1, -1.7f}, -1.1f);
        AddPairs(&k.parts, 1.1f, -0.56f, {-0.05f, 0.58f, 1.26f, -0.75f, -1.46f, -2.15f}, -1.1f);
        AddPairs(&k.parts, 1.1f, -0.16f, {-2.78f}, -1.1f);
        AddPairs(&k.parts, 1.1f, -0.14f, {1.82f}, -1.1f);
        out.push_back(k);
    }
    {
        LookedAtTank k{8, 0.65f, {-0.25f, 0.225f, 0.36f}, 0, {{0, 0, 0}, {0, 0.65f, 0}, {-0.25f, 0.875f, 0.36f}}};
        AddPairs(&k.parts, 0.8f, -0.5f, {-1.5f, 1.15f}, -0.8f);
        out.push_back(k);
    }
    {
        LookedAtTank k{9, 0.55f, {0, 0.5f, 0}, 800, {{0, 0, 0}, {0, 0.55f, 0}, {0, 1.05f, 0}, {0.9f, -0.65f, -0.6f},
                                                {-0.9f, -0.65f, -0.6f}}};
        AddPairs(&k.parts, 0.9f, -0.7f, {-0.6f}, -0.9f);
        k.parts.push_back({0.9f, -0.7f, -1.22f});
        k.parts.push_back({-0.9f, -0.7f, -1.2f});  // the left one stands a little apart
        AddPairs(&k.parts, 0.9f, -0.7f, {-1.8f, 0, 0.6f}, -0.9f);
        AddPairs(&k.parts, 0.9f, -0.5f, {-2.4f}, -0.9f);
        AddPairs(&k.parts, 0.9f, -0.6f, {1.25f}, -0.9f);
        out.push_back(k);
    }
    return out;
}
}  // namespace

// Every part of every looked-at tank stands where its kind puts it, the
// left side's wheels turned half round; the draw keeps the turret's and
// the gun's matrices; a hull out of view draws nothing but still keeps them.
TEST_F(Garage, EveryLookedAtTankDrawsEachPartInItsPlaceAndKeepsItsTurretAndGun)
{
    for (const LookedAtTank& k : LookedAtTanks()) {
        SCOPED_TRACE(TankKindName(k.kind));
        LoadTankModels(k.kind);
        TankUnit t{};
        SetTankKind(t, k.kind);
        ASSERT_NE(t.row->draw, nullptr);
        EXPECT_FALSE(TankKindCanFight(k.kind));
        t.world = MatIdentity();
        t.cameraDistance = 10;
        std::vector<Mat4> worlds = PartWorlds(DrawCalls([&] { t.row->draw(t); }));
        ASSERT_EQ(worlds.size(), k.parts.size());
        for (size_t i = 0; i < worlds.size(); ++i) {
            Vec3 p = Pos(worlds[i]);
            EXPECT_NEAR(p.x, k.parts[i].x, 1e-4f) << "part " << i;
            EXPECT_NEAR(p.y, k.parts[i].y, 1e-4f) << "part " << i;
            EXPECT_NEAR(p.z, k.parts[i].z, 1e-4f) << "part " << i;
        }
        // The last part is a left wheel: turned half round, its axle points out.
        EXPECT_NEAR(worlds.back().m[0][0], -1.0f, 1e-4f);
        EXPECT_NEAR(worlds.back().m[2][2], -1.0f, 1e-4f);

        // Turned and pitched on a hull moved and turned on the field.
        t.world = MatRotationY(30 * kDegToRad) * MatTranslation(100, 2, 200);
        t.turretYaw = 40;
        t.gunPitch = -8;
        t.trackTravel = 25;
        const Mat4 turret = MatTranslation(0, k.turretHeight, 0) * MatRotationY(40 * kDegToRad) * t.world;
        const Mat4 gun = MatRotationX(-8 * kDegToRad) * MatTranslation(k.gunOffset.x, k.gunOffset.y, k.gunOffset.z) * turret;
        std::vector<gfx::DrawnCall> calls = DrawCalls([&] { t.row->draw(t); });
        worlds = PartWorlds(calls);
        int scrolled = 0;
        for (const auto& c : calls)
            if (c.scrollU != 0) {
                ++scrolled;
                EXPECT_NEAR(c.scrollU, 25 / k.trackDivisor, 1e-6f);
            }
        EXPECT_EQ(scrolled > 0, k.trackDivisor > 0);
        ExpectMatNear(t.turretWorld, turret, "turret");
        ExpectMatNear(t.gunWorld, gun, "gun");  // for the M2A2 the gun's, drawn after its launcher
        ASSERT_EQ(worlds.size(), k.parts.size());
        ExpectMatNear(worlds[1], turret, "the turret as drawn");
        // The right wheels roll forward with the distance driven, the left
        // ones the other way round their half-turned axles.
        const Vec3 r = k.parts[k.parts.size() - 2], l = k.parts.back();
        ExpectMatNear(worlds[worlds.size() - 2], MatRotationX(25 * kDegToRad) * MatTranslation(r.x, r.y, r.z) * t.world,
                      "a right wheel");
        ExpectMatNear(worlds.back(),
                      MatRotationX(-25 * kDegToRad) * MatRotationY(3.14159265f) * MatTranslation(l.x, l.y, l.z) * t.world,
                      "a left wheel");

        // Out of view: nothing drawn, the matrices kept all the same.
        LookAt({100, 40, 260}, {100, 40, 400});
        t.turretYaw = -60;
        EXPECT_TRUE(DrawCalls([&] { t.row->draw(t); }).empty());
        ExpectMatNear(t.turretWorld, MatTranslation(0, k.turretHeight, 0) * MatRotationY(-60 * kDegToRad) * t.world,
                      "turret out of view");
        LookAt({0, 40, -60}, {0, 0, 0});
    }
}

// The FLACKP's radar turns 1.6 degrees a draw and starts over at 360.
TEST_F(Garage, TheFlackpRadarTurnsAStepADrawAndStartsOverPast360)
{
    LoadTankModels(4);
    TankUnit t{};
    SetTankKind(t, 4);
    t.world = MatIdentity();
    t.cameraDistance = 10;
    auto radarDrawnAt = [&](float angle) {
        radarAngle = angle;
        std::vector<Mat4> worlds = PartWorlds(DrawCalls([&] { DrawFlackp(t); }));
        return worlds.at(5);
    };
    const Mat4 mast = MatRotationX(0.314159f) * MatTranslation(0, 0.925f, -1.85f) * MatTranslation(0, 0.5f, 0);
    ExpectMatNear(radarDrawnAt(358.5f), MatRotationY(358.5f * kDegToRad) * mast, "radar at 358.5");
    EXPECT_EQ(radarAngle, 0.0f);  // 360.1 is past the turn
    ExpectMatNear(radarDrawnAt(100), MatRotationY(100 * kDegToRad) * mast, "radar at 100");
    EXPECT_NEAR(radarAngle, 101.6f, 1e-4f);
    radarAngle = 0;
}

namespace {
// An R-NO.16 or R-NO.13 as it spawns, standing at (x, z) on flat ground.
class GarageRobots : public Garage {
protected:
    void SetUp() override
    {
        Garage::SetUp();
        ResetUnitRecords();
        ClearParticlePools();
        for (auto& row : HeightGrid)
            for (float& h : row) h = 0;
        ReleaseSimpleModel(&StageCollision);  // no walls
        StageWorld = MatIdentity();
        Srand(16);
        paused = 0;
        PlayerSide = 0;
        EarthCount = 1;
        MercuryCount = 1;
        LoadRobotModels(kRobotRno16);
        LoadRobotModels(kRobotRno13);
        LoadTankModels(kTankAbrams);
        // The whole field is in view.
        BuildViewFrustum(&BattleFrustum, MatLookAtLH({0, 500, 0}, {500, 0, 500}, {0, 1, 0}), 170.0f, 1.0f, 0.1f,
                         5000.0f);
    }
    static RobotUnit& PlaceRobot(int kind, float x, float z)
    {
        RobotUnit& r = Robots[0];
        SetRobotKind(r, kind);
        SpawnRobot(0);
        r.World() = MatTranslation(x, r.row->groundClearance, z);
        r.row->pose(r);
        return r;
    }
    static TankUnit& PlaceTank(float x, float z)
    {
        TankUnit& t = Tanks[0];
        SetTankKind(t, kTankAbrams);
        SpawnTank(0);
        t.world = t.turretWorld = t.gunWorld = MatTranslation(x, 0.72f, z);
        return t;
    }
    static int Active(const RobotUnit& r)
    {
        int n = 0;
        for (const Projectile& s : r.shells) n += s.state == kShotActive;
        return n;
    }
};
}  // namespace

// A leg swings 2.3 times as far forward as back; the feet hang ahead of the
// knees; a wreck is drawn as its legs and feet, the pods only while the
// second weapon is in hand.
TEST_F(GarageRobots, TheRno16SwingsItsLegsFartherForwardAndAWreckKeepsOnlyItsLegs)
{
    RobotUnit& r = PlaceRobot(kRobotRno16, 50, 50);
    EXPECT_FALSE(RobotKindCanFight(kRobotRno16));
    EXPECT_EQ(r.podAngle, kRobot16PodsIn);
    r.walkPhase = 10;
    r.aimYaw = 20;
    r.aimPitch = -5;
    PoseRobot16(r);
    const Mat4& w = r.World();
    ExpectMatNear(r.partWorld[6], MatRotationX(23 * kDegToRad) * MatTranslation(1.05f, 0.08f, 0.05f) * w, "right leg");
    ExpectMatNear(r.partWorld[5], MatRotationX(-10 * kDegToRad) * MatTranslation(-1.05f, 0.08f, 0.05f) * w, "left leg");
    ExpectMatNear(r.partWorld[7], MatTranslation(-0.08f, -0.7f, 1.13f) * r.partWorld[5], "left foot");
    ExpectMatNear(r.partWorld[8], MatTranslation(0.08f, -0.7f, 1.13f) * r.partWorld[6], "right foot");
    const Mat4 hull = MatRotationY(20 * kDegToRad) * MatTranslation(50, 2.1f + 0.23f, 50);
    ExpectMatNear(r.partWorld[1], hull, "upper hull");
    ExpectMatNear(r.partWorld[3], MatRotationX(-5 * kDegToRad) * MatTranslation(-1.06f, 1.47f, 0.28f) * hull, "left arm");
    ExpectMatNear(r.partWorld[4], MatRotationX(-5 * kDegToRad) * MatTranslation(1.06f, 1.47f, 0.28f) * hull, "right arm");
    r.walkPhase = -10;
    PoseRobot16(r);
    ExpectMatNear(r.partWorld[5], MatRotationX(23 * kDegToRad) * MatTranslation(-1.05f, 0.08f, 0.05f) * w, "left leg ahead");

    CameraEye = {50, 10, 20};
    r.cameraDistance = 30;
    EXPECT_EQ(PartWorlds(DrawCalls([&] { DrawRobot16(r); })).size(), 8u);  // body, upper hull, arms, legs, feet
    r.weapon = 1;
    PoseRobot16(r);
    std::vector<Mat4> withPods = PartWorlds(DrawCalls([&] { DrawRobot16(r); }));
    ASSERT_EQ(withPods.size(), 12u);
    ExpectMatNear(withPods[5], MatTranslation(-0.09f, 0.03f, 0) * r.partWorld[9], "left pod's barrel");
    // The pods hang under the arms' ends, rolled and slid as they come out.
    const Mat4 roll = MatRotationZ(static_cast<float>(r.podAngle) * kDegToRad);
    const float along = r.podSlide + 0.78f;
    ExpectMatNear(r.partWorld[9], roll * MatTranslation(-0.92f, -1.1f, along) * r.partWorld[3], "left pod");
    ExpectMatNear(r.partWorld[10], roll * MatTranslation(0.92f, -1.1f, along) * r.partWorld[4], "right pod");
    r.alive = 0;
    r.walkPhase = 4;
    PoseRobot16(r);
    std::vector<Mat4> wreck = PartWorlds(DrawCalls([&] { DrawRobot16(r); }));
    ASSERT_EQ(wreck.size(), 4u);
    ExpectMatNear(wreck[1], r.partWorld[6], "the wreck's right leg, still posed");
    ExpectMatNear(wreck[2], r.partWorld[7], "the wreck's left foot");
    ExpectMatNear(wreck[3], r.partWorld[8], "the wreck's right foot");
    ExpectMatNear(r.partWorld[6], MatRotationX(4 * 2.3f * kDegToRad) * MatTranslation(1.05f, 0.08f, 0.05f) * w,
                  "right leg of the wreck");
}

// The pods roll out and slide forward together, 2 degrees and 0.015 a
// frame, held where they are out; going in they roll back to -160 and the
// second weapon is out of hand.  The mortars' timer runs 88 frames.  A
// paused game holds them all.
TEST_F(GarageRobots, TheRno16PodsComeOutAndGoInAndItsMortarsWaitOutTheirTimer)
{
    RobotUnit& r = PlaceRobot(kRobotRno16, 50, 50);
    r.weapon = 1;
    r.weaponSwap = 0;
    for (int k = 0; k < 53; ++k) PoseRobot16(r);
    EXPECT_NEAR(r.podSlide, -0.8f + 53 * 0.015f, 1e-4f);
    EXPECT_EQ(r.podAngle, -160 + 53 * 2);
    PoseRobot16(r);
    EXPECT_EQ(r.podSlide, 0.0f);  // 54 steps reach it; held there
    for (int k = 0; k < 40; ++k) PoseRobot16(r);
    EXPECT_EQ(r.podAngle, 0);
    EXPECT_EQ(r.podSlide, 0.0f);
    EXPECT_EQ(r.weapon, 1);
    paused = 1;
    r.weaponSwap = 1;
    PoseRobot16(r);
    EXPECT_EQ(r.podAngle, 0);
    paused = 0;
    for (int k = 0; k < 79; ++k) PoseRobot16(r);
    EXPECT_EQ(r.podAngle, -158);
    EXPECT_EQ(r.weapon, 1);
    EXPECT_EQ(r.podSlide, -0.8f);
    PoseRobot16(r);
    EXPECT_EQ(r.podAngle, -160);
    EXPECT_EQ(r.weapon, 0);

    r.weaponBusy = 1;
    r.fireTimer = 0;
    for (int k = 0; k < 88; ++k) PoseRobot16(r);
    EXPECT_EQ(r.weaponBusy, 1);
    PoseRobot16(r);
    EXPECT_EQ(r.weaponBusy, 0);
    EXPECT_EQ(r.fireTimer, 0);
}

// A mortar shell flies 2.4 a frame with its nose dipping 0.06 degrees a
// frame and a puff of smoke behind; it bursts on the ground, takes 18 to 30
// points from a tank it strikes and leaves the field upward at 80.
TEST_F(GarageRobots, AMortarShellArcsDownBurstsOnTheGroundHurtsTanksAndLeavesAt80)
{
    RobotUnit& r = PlaceRobot(kRobotRno16, 500, 100);
    // Level from 6 up: it falls along its arc onto the ground.
    FireRobot16(r, MatTranslation(500, 6, 100), kRobotWeaponFirst);
    ASSERT_EQ(Active(r), 1);
    UpdateRobot16Shots(r, 0);
    const Mat4 once = MatRotationX(0.0010471975f) * MatTranslation(0, 0, 2.4f) * MatTranslation(500, 6, 100);
    ExpectMatNear(r.shells[0].world, once, "one frame on");
    // In flight it is drawn, its own mesh where it is.
    std::vector<gfx::DrawnCall> drawn = DrawCalls([&] { DrawRobot16Shells(r); });
    ASSERT_FALSE(drawn.empty());
    const ModelPart& shell = Robot16Models.parts[kR16Shell];
    EXPECT_TRUE(drawn[0].mesh && (drawn[0].mesh == shell.lodMeshes[0] || drawn[0].mesh == shell.lodMeshes[1]));
    ExpectMatNear(drawn[0].world, once, "the shell as drawn");
    EXPECT_EQ(Live("puffs"), 1);
    int frames = 1;
    while (Active(r) == 1 && frames < 400) {
        UpdateRobot16Shots(r, 0);
        ++frames;
    }
    EXPECT_EQ(Active(r), 0);
    EXPECT_GT(frames, 30);  // an arc, not a drop: 6 high it travels far
    // On the ground: a fireball 4.6 to 6.8 across, a metre up, and five bursts.
    std::vector<Burst> fireball = WithAlpha(Blasts, kBlastCapacity, 255);
    ASSERT_EQ(fireball.size(), 1u);
    EXPECT_EQ(fireball[0].look, kLookFire2);
    EXPECT_NEAR(fireball[0].position.y, 1.0f, 0.1f);
    EXPECT_GE(fireball[0].size, 4.6f);
    EXPECT_LE(fireball[0].size, 6.8f);
    EXPECT_EQ(WithAlpha(Bursts, kBurstCapacity, 200).size(), 5u);

    // Straight up: it goes on to 80 and is gone past it, in a blast 2 to 3 across.
    ClearParticlePools();
    FireRobot16(r, MatRotationX(-90 * kDegToRad) * MatTranslation(400, 70, 100), kRobotWeaponFirst);
    for (int k = 0; k < 4; ++k) UpdateRobot16Shots(r, 0);
    EXPECT_EQ(Active(r), 1);  // 79.6
    UpdateRobot16Shots(r, 0);
    EXPECT_EQ(Active(r), 0);  // 82
    std::vector<Burst> edge = WithAlpha(Blasts, kBlastCapacity, 200);
    ASSERT_EQ(edge.size(), 1u);
    EXPECT_GE(edge[0].size, 2.0f);
    EXPECT_LE(edge[0].size, 3.0f);

    // Into a tank: 18 to 30 points, the shell's jolt, three blasts of 1.6
    // to 2.0 and three bursts 0.6 above the point it struck.
    TankUnit& t = PlaceTank(300, 108);
    for (int shot = 0; shot < 12; ++shot) {
        ClearParticlePools();
        t.hp = 200;
        t.shakeCode = HitReaction::None;
        FireRobot16(r, MatTranslation(300, 0.9f, 104), kRobotWeaponFirst);
        UpdateRobot16Shots(r, 0);
        EXPECT_EQ(Active(r), 0);
        EXPECT_EQ(t.shakeCode, HitReaction::TankShell);
        EXPECT_GE(200 - t.hp, 18);
        EXPECT_LE(200 - t.hp, 30);
        std::vector<Burst> blasts = WithAlpha(Blasts, kBlastCapacity, 160);
        ASSERT_EQ(blasts.size(), 3u);
        EXPECT_GE(blasts[0].size, 1.6f);
        EXPECT_LE(blasts[0].size, 2.0f);
        std::vector<Burst> bursts = WithAlpha(Bursts, kBurstCapacity, 100);
        ASSERT_EQ(bursts.size(), 3u);
        EXPECT_NEAR(bursts[0].position.y - blasts[0].position.y, 0.6f, 0.05f);
    }
    ClearParticlePools();
    t.hp = 10;
    FireRobot16(r, MatTranslation(300, 0.9f, 104), kRobotWeaponFirst);
    UpdateRobot16Shots(r, 0);
    EXPECT_EQ(r.kills, 1);
    EXPECT_EQ(t.deaths, 1);
    EXPECT_EQ(t.shakeCode, HitReaction::Killed);
    EXPECT_EQ(t.shakeTimer, -25);
    // The tank goes up in three blasts 2.8 to 3.2 across where it stands.
    std::vector<Burst> killed = WithAlpha(Blasts, kBlastCapacity, 255);
    ASSERT_EQ(killed.size(), 3u);
    EXPECT_NEAR(killed[0].position.x, 300.0f, 0.01f);
    EXPECT_GE(killed[0].size, 2.8f);
    EXPECT_LE(killed[0].size, 3.2f);
}

// The R-NO.13's torso sits 0.25 below its pelvis and turns on its own; its
// arms hang behind the shoulders, its head out in front; a foot hangs 1
// below and 0.4 behind each hip.  Shots find it by the torso and feet.
TEST_F(GarageRobots, TheRno13PosesItsTorsoHeadArmsAndFeet)
{
    RobotUnit& r = PlaceRobot(kRobotRno13, 60, 60);
    r.aimYaw = 35;
    r.aimPitch = 6;
    r.walkPhase = 12;
    PoseRobot13(r);
    const Mat4 torso = MatRotationY(35 * kDegToRad) * MatTranslation(60, 2.3f - 0.25f, 60);
    const Mat4 pitch = MatRotationX(6 * kDegToRad);
    ExpectMatNear(r.partWorld[1], torso, "torso");
    ExpectMatNear(r.AimWorld(), pitch * torso, "the frame it aims by");
    ExpectMatNear(r.partWorld[3], pitch * MatTranslation(-0.6f, 0.8f, -0.8f) * torso, "left arm");
    ExpectMatNear(r.partWorld[4], pitch * MatTranslation(0.6f, 0.8f, -0.8f) * torso, "right arm");
    ExpectMatNear(r.partWorld[5], MatRotationX(-12 * kDegToRad) * MatTranslation(-0.5f, -0.78f, 0) * r.World(), "left leg");
    ExpectMatNear(r.partWorld[7],
                  MatTranslation(0, -1, -0.4f) * MatRotationX(-12 * kDegToRad) * MatTranslation(-0.5f, -0.78f, 0) * r.World(),
                  "left foot");
    ExpectMatNear(r.partWorld[8],
                  MatTranslation(0, -1, -0.4f) * MatRotationX(12 * kDegToRad) * MatTranslation(0.5f, -0.78f, 0) * r.World(),
                  "right foot");
    CameraEye = {60, 10, 30};
    r.cameraDistance = 30;
    std::vector<Mat4> parts = PartWorlds(DrawCalls([&] { DrawRobot13(r); }));
    ASSERT_EQ(parts.size(), 9u);
    ExpectMatNear(parts[4], pitch * MatTranslation(0, 0.45f, 0.95f) * torso, "head");
    EXPECT_EQ(r.row->hitModels->upperBody, &Robot13Models.parts[kR13UpperBody]);
    EXPECT_EQ(r.row->fire, nullptr);
}

// Every looked-at kind, standing at its height on flat ground, touches the
// ground and reaches nowhere below it: its row's height fits its model.
TEST_F(GarageRobots, EveryLookedAtKindStandsOnTheGroundAtItsRowsHeight)
{
    auto lowest = [](const std::vector<gfx::DrawnCall>& calls) {
        float low = 1e9f;
        for (const auto& c : calls) {
            gfx::Mesh* mesh = const_cast<gfx::Mesh*>(c.mesh);
            if (!mesh) continue;
            const uint8_t* v = static_cast<const uint8_t*>(gfx::MeshVertices(mesh));
            const uint32_t stride = gfx::FvfStride(gfx::MeshFVF(mesh));
            for (uint32_t k = 0; k < gfx::MeshVertexCount(mesh); ++k) {
                Vec3 p;
                std::memcpy(&p, v + k * stride, sizeof p);
                low = std::fmin(low, Vec3TransformCoord(p, c.world).y);
            }
        }
        return low;
    };
    for (int kind = 3; kind <= kLastTankKind; ++kind) {
        LoadTankModels(kind);
        TankUnit t{};
        SetTankKind(t, kind);
        t.world = MatTranslation(40, t.row->groundClearance, 40);
        t.cameraDistance = 10;
        EXPECT_NEAR(lowest(DrawCalls([&] { t.row->draw(t); })), 0.0f, 0.02f) << TankKindName(kind);
    }
    for (int kind : {kRobotRno16, kRobotRno13}) {
        RobotUnit& r = PlaceRobot(kind, 40, 40);
        r.cameraDistance = 10;
        EXPECT_NEAR(lowest(DrawCalls([&] { r.row->draw(r); })), 0.0f, 0.02f) << RobotKindName(kind);
    }
}
