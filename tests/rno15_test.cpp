// The R-NO.15: its models standing on the ground, its ice gun's rhythm,
// its pods' way out and in, its cannon volleys, what its ice shots and
// cannon shots do to tanks and robots (freeze, thaw, damage, reactions,
// marks on the ground at the field's edges), the passes its shots are drawn
// in, and a loader that keeps no second copy of its models.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>

#include "assets/sound.h"
#include "battle/frame.h"
#include "battle/setup.h"
#include "effects/particles.h"
#include "effects/projectiles.h"
#include "headless_device.h"
#include "hit_models.h"
#include "platform/crt_rand.h"
#include "platform/test_hooks.h"
#include "records/state.h"
#include "side_steps.h"
#include "sides/player.h"
#include "sides/robot_side.h"
#include "sides/tank_side.h"
#include "units/robots/robot_kinds.h"
#include "units/tanks/tank_kinds.h"
#include "world/ground.h"
#include "world/map.h"

namespace {
constexpr int kFreezeFrames = 120;  // ice holds tanks and robots this long

Vec3 Pos(const Mat4& m) { return {m.m[3][0], m.m[3][1], m.m[3][2]}; }

int Active(const Projectile* table, int count)
{
    int n = 0;
    for (int i = 0; i < count; ++i) n += table[i].state != kShotFree;
    return n;
}

class Rno15 : public HeadlessDevice {
protected:
    void SetUp() override
    {
        HeadlessDevice::SetUp();
        ASSERT_EQ(chdir(VARNOK_PACK), 0);
        SetFixedRenderStates();
        InitSound(true, "");
        LoadSounds();
        ResetUnitRecords();
        ResetPlayerControl();
        ClearParticlePools();
        for (auto& row : HeightGrid)
            for (float& h : row) h = 0;
        ReleaseSimpleModel(&StageCollision);  // no walls
        StageWorld = MatIdentity();
        Srand(15);
        PlayerSide = 0;  // the player drives a tank: every robot is the computer's
        DemoPlayer = false;
        EarthCount = 1;
        MercuryCount = 1;
        paused = 0;
        ::Shots = {};
        for (RobotAiState& ai : RobotAi) ai = RobotAiState{};
        for (TankAiState& ai : TankAi) ai = TankAiState{};
        LoadRobotModels(kRobotRno15);  // the pack's models: the real hit boxes
        MakePart(&hull_, {1.1f, 0.6f, 2.5f});
        MakePart(&turret_, {0.8f, 0.4f, 1.2f});
        SetTankHitModels(kTankAbrams, &hull_, &turret_);
        // Everything on the field is in view.
        BuildViewFrustum(&BattleFrustum, MatLookAtLH({0, 500, 0}, {500, 0, 500}, {0, 1, 0}), 170.0f, 1.0f, 0.1f,
                         5000.0f);
        CameraEye = {100, 5, 100};
    }
    void TearDown() override
    {
        RestoreHitModels();
        for (ModelPart* p : {&hull_, &turret_}) gfx::Release(p->mesh);
        ReleaseAllRobotModels();
        ReleaseAllTankModels();
        ReleaseBattleEffect();
        ReleaseSounds();
        ShutdownSound();
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
    // Robot `slot`, an R-NO.15 spawned and stood on the flat ground at (x, z).
    static RobotUnit& PlaceRobot(int slot, float x, float z)
    {
        RobotUnit& r = Robots[slot];
        SetRobotKind(r, kRobotRno15);
        SpawnRobot(slot);
        r.World() = MatTranslation(x, 2.46f, z);
        PoseRobot15(r);
        return r;
    }
    static TankUnit& PlaceTank(int slot, float x, float z)
    {
        TankUnit& t = Tanks[slot];
        SetTankKind(t, kTankAbrams);
        SpawnTank(slot);
        t.world = t.turretWorld = t.gunWorld = MatTranslation(x, 0.72f, z);
        return t;
    }
    // An R-NO.15 with its pods out and a tank locked, ready for a volley.
    static RobotUnit& PodsOut(int slot, float x, float z)
    {
        RobotUnit& r = PlaceRobot(slot, x, z);
        r.weapon = 1;
        r.weaponSwap = 0;
        r.podAngle = kRobot15PodsOut;
        r.podSlide = 0;
        r.lockTarget = 0;
        r.lockedOn = 1;
        PoseRobot15(r);
        return r;
    }
    // What one call of `draw` sent to the device.
    template <class F>
    static gfx::FrameStats Stats(F draw)
    {
        gfx::Present();
        draw();
        gfx::Present();
        return gfx::LastFrameStats();
    }
    ModelPart hull_, turret_;
};
}  // namespace

TEST_F(Rno15, StandingFeetRestOnTheGroundAndEveryPartJoinsItsMatrix)
{
    // The soles of both feet touch the ground (y 0) under a robot standing
    // with its body 2.46 up, and no part reaches below it.
    RobotUnit& r = PlaceRobot(0, 500, 500);
    PlacedPart parts[kMaxPlacedParts];
    int n = Robot15Parts(r, false, parts);
    ASSERT_EQ(n, 8);  // body, torso, two arms, two legs, two feet: no pods with the ice gun in hand
    float lowest[kMaxPlacedParts];
    for (int i = 0; i < n; ++i) {
        gfx::Mesh* mesh = parts[i].part->mesh;
        ASSERT_NE(mesh, nullptr) << i;
        const uint8_t* v = static_cast<const uint8_t*>(gfx::MeshVertices(mesh));
        uint32_t stride = gfx::FvfStride(gfx::MeshFVF(mesh));
        lowest[i] = 1e9f;
        for (uint32_t k = 0; k < gfx::MeshVertexCount(mesh); ++k) {
            Vec3 p;
            std::memcpy(&p, v + k * stride, sizeof p);
            lowest[i] = std::fmin(lowest[i], Vec3TransformCoord(p, parts[i].world).y);
        }
    }
    EXPECT_NEAR(lowest[6], 0.0f, 0.005f);  // left foot
    EXPECT_NEAR(lowest[7], 0.0f, 0.005f);  // right foot
    for (int i = 0; i < 6; ++i) EXPECT_GT(lowest[i], 0.3f) << "part " << i << " reaches the ground";
    // The meshes named left stand on the -x side, drawn at the left matrices.
    struct Case {
        int slot, nth, matrix;
    } cases[] = {
        {kR15Body, 0, 0},    {kR15Head, 0, 1},     {kR15LeftArm, 0, 3}, {kR15RightArm, 0, 4},
        {kR15LeftLeg, 0, 5}, {kR15RightLeg, 0, 6}, {kR15Foot, 0, 7},    {kR15Foot, 1, 8},
    };
    for (const Case& c : cases) {
        int seen = 0;
        const Mat4* at = nullptr;
        for (int i = 0; i < n; ++i)
            if (parts[i].part == &Robot15Models.parts[c.slot] && seen++ == c.nth) at = &parts[i].world;
        ASSERT_NE(at, nullptr) << c.slot;
        EXPECT_EQ(std::memcmp(at, &r.partWorld[c.matrix], sizeof(Mat4)), 0) << "slot " << c.slot;
    }
    EXPECT_LT(Pos(r.partWorld[3]).x, Pos(r.World()).x);
    EXPECT_LT(Pos(r.partWorld[5]).x, Pos(r.World()).x);
}

TEST_F(Rno15, TheIceGunFiresOncePerCycleFromAlternateArms)
{
    EarthCount = 0;
    RobotUnit& r = PlaceRobot(0, 300, 300);
    // The computer leaves the trigger alone here: the keys are held by hand.
    auto step = [&] {
        RobotControls[0] = {};
        RobotControls[0].fire = 1;
        RobotStep();
    };
    step();
    EXPECT_EQ(Active(r.shells, kRobotShellSlots), 1);
    EXPECT_EQ(r.weaponBusy, 1);
    EXPECT_EQ(r.armSide, 1);  // the left arm fired, the right is next
    // The shot left the left arm's muzzle, 2.4 ahead, and has flown one step.
    Vec3 left = Vec3TransformCoord({-0.3f, -0.6f, 2.4f}, r.partWorld[3]);
    EXPECT_NEAR(Pos(r.shells[0].world).x, left.x, 1e-3f);
    EXPECT_NEAR(Pos(r.shells[0].world).z, left.z + 1.66f, 2e-2f);
    // Held down, it fires again only once its 45-frame timer has run out:
    // the pose clears it on the 46th frame, and the 47th fires.
    for (int k = 2; k <= 46; ++k) step();
    EXPECT_EQ(::Shots.fired, 1u);
    step();
    EXPECT_EQ(::Shots.fired, 2u);
    EXPECT_EQ(r.armSide, 0);
    Vec3 right = Vec3TransformCoord({0.3f, -0.6f, 2.4f}, r.partWorld[4]);
    EXPECT_NEAR(Pos(r.shells[1].world).x, right.x, 1e-3f);
}

TEST_F(Rno15, PodsSlideOutBeforePitchingAndPitchInBeforeSliding)
{
    RobotUnit& r = PlaceRobot(0, 300, 300);
    ASSERT_EQ(r.podAngle, kRobot15PodsIn);
    ASSERT_FLOAT_EQ(r.podSlide, kRobot15SlideIn);
    // Out: the pods slide up with their barrels still up, then pitch down
    // to the front 4 degrees a frame, and stop there.
    r.weapon = 1;
    r.weaponSwap = 0;
    int frames = 0;
    while (r.podSlide < 0 && frames < 100) {
        EXPECT_EQ(r.podAngle, kRobot15PodsIn) << "pitching before the slide is done, frame " << frames;
        PoseRobot15(r);
        ++frames;
    }
    EXPECT_EQ(frames, 27);  // 0.6 at 0.023 a frame
    EXPECT_EQ(r.podSlide, 0.0f);
    for (int k = 0; k < 30; ++k) PoseRobot15(r);
    EXPECT_EQ(r.podAngle, kRobot15PodsOut);
    EXPECT_EQ(r.podSlide, 0.0f);
    // The ready pods point their barrels ahead, level with the arms.
    Vec3 ahead = Vec3TransformNormal({0, 0, 1}, r.partWorld[9]);
    Vec3 armAhead = Vec3TransformNormal({0, 0, 1}, r.partWorld[3]);
    EXPECT_NEAR(Vec3Dot(ahead, armAhead), 1.0f, 1e-4f);

    // In: the pods pitch up to exactly -90 before they slide; they stop at a
    // slide of -0.6, the cannon goes out of hand and they are no longer drawn.
    r.weaponSwap = 1;
    struct Step {
        int frames;
        int32_t angle;
        float slide;
        int32_t weapon;
    } steps[] = {
        {22, -88, 0.0f, 1},                // 4 a frame
        {1, -90, 0.0f, 1},                 // -92 held at -90, not yet sliding
        {1, -90, -0.023f, 1},              // now the slide
        {25, -90, -0.023f * 26, 1},
        {1, -90, kRobot15SlideIn, 0},      // held at -0.6; the cannon is put away
    };
    for (const Step& s : steps) {
        for (int k = 0; k < s.frames; ++k) PoseRobot15(r);
        EXPECT_EQ(r.podAngle, s.angle);
        EXPECT_NEAR(r.podSlide, s.slide, 1e-4f);
        EXPECT_EQ(r.weapon, s.weapon);
    }
    EXPECT_EQ(r.podSlide, kRobot15SlideIn);
    PlacedPart parts[kMaxPlacedParts];
    EXPECT_EQ(Robot15Parts(r, false, parts), 8);
}

TEST_F(Rno15, VolleysOfEightWaitOutTheRecoilAndTakeOnlyFreeSlots)
{
    TankUnit& tank = PlaceTank(0, 300, 420);  // locked, out of reach of the shots for a while
    (void)tank;
    RobotUnit& r = PodsOut(0, 300, 300);
    auto hold = [&] {
        RobotControls[0] = {};
        RobotControls[0].fire = 1;
        RobotControls[0].switchWeapon = 0;
        RobotSideUpdate();  // no shots phase: every volley stays in its slots
    };
    struct Case {
        const char* what;
        int busyBefore;  // cannon slots taken before the volley
        int fired;
    } cases[] = {
        {"an empty table takes all eight", 0, 8},
        {"45 taken: the five free", 45, 5},
        {"50 taken: none", 50, 0},
    };
    for (const Case& c : cases) {
        for (Projectile& m : r.missiles) m.state = kShotFree;
        for (int i = 0; i < c.busyBefore; ++i) r.missiles[i].state = kShotActive;
        r.secondShotBusy = r.podRecoil = 0;
        hold();
        EXPECT_EQ(Active(r.missiles, kRobotBulletSlots) - c.busyBefore, c.fired) << c.what;
        EXPECT_EQ(r.secondShotBusy, 1) << c.what;
    }
    // After a volley the pods wait 72 frames; the 73rd fires the next.
    for (Projectile& m : r.missiles) m.state = kShotFree;
    r.secondShotBusy = r.podRecoil = 0;
    hold();
    ASSERT_EQ(Active(r.missiles, kRobotBulletSlots), 8);
    int frames = 0;
    while (Active(r.missiles, kRobotBulletSlots) == 8 && frames < 200) {
        hold();
        ++frames;
    }
    EXPECT_EQ(frames, 73);
    EXPECT_EQ(Active(r.missiles, kRobotBulletSlots), 16);
    // Eight muzzles, four on each pod, none twice.
    for (int i = 0; i < 8; ++i)
        for (int j = i + 1; j < 8; ++j)
            EXPECT_GT(PointDistance(Pos(r.missiles[i].world), Pos(r.missiles[j].world)), 0.1f) << i << ", " << j;
}

// A robot striding while its torso aims across its legs, to either side,
// and its pods fire volley after volley: the shots leave over a swinging
// foot and fly on, never striking the robot that fired them.
TEST_F(Rno15, AStridingRobotFiringAcrossItsLegsIsNeverHitByItsOwnVolley)
{
    // Over rough ground, as on the battlefield.
    for (int i = 0; i <= 20; ++i)
        for (int j = 0; j <= 20; ++j) HeightGrid[i][j] = static_cast<float>((i * 7 + j * 3) % 11);
    ComputeGroundNormals();
    PlaceTank(0, 300, 800);  // locked, far ahead
    RobotUnit& r = PodsOut(0, 300, 300);
    int volleys = 0;
    for (int step = 0; step < 1500; ++step) {
        RobotControls[0] = {};
        RobotControls[0].fire = 1;
        RobotControls[0].forward = 1;
        r.aimYaw = r.legHeading + (step % 600 < 300 ? 90.0f : -90.0f);
        r.aimPitch = 5.0f * std::sin(step * 0.031f);
        r.lockedOn = 1;
        r.lockTarget = 0;
        const int busy = r.secondShotBusy;
        RobotSideUpdate();
        FollowGroundRobots();
        volleys += busy == 0 && r.secondShotBusy == 1;
        UpdateRobotShots(0);
        ASSERT_EQ(r.shakeCode, HitReaction::None) << "struck by its own shot at step " << step;
        if (Position(r.World()).z > 700) r.World().m[3][2] = 300;  // back before it reaches the tank
    }
    EXPECT_GT(volleys, 15);
    EXPECT_EQ(::Shots.selfHits, 0u);
}

// A wreck's arms fly off and tumble; its pods stay where they were when it
// fell.
TEST_F(Rno15, AWrecksPodsStayWhereTheyFellWhileItsArmsFlyOff)
{
    RobotUnit& r = PodsOut(0, 300, 300);
    const Mat4 pods[2] = {r.partWorld[9], r.partWorld[10]};
    const Vec3 arm = Pos(r.partWorld[3]);
    r.alive = 0;
    r.hp = 0;
    for (int frame = 0; frame < 20; ++frame) PoseRobot15(r);
    EXPECT_GT(PointDistance(Pos(r.partWorld[3]), arm), 0.5f);  // the arm flew
    for (int k = 0; k < 2; ++k)
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) EXPECT_EQ(r.partWorld[9 + k].m[i][j], pods[k].m[i][j]) << k;
}

TEST_F(Rno15, AFrozenTankCannotDriveOrFireUntilTheIceThaws)
{
    TankUnit& t = PlaceTank(0, 300, 330);
    RobotUnit& r = PlaceRobot(0, 300, 300);
    // An ice shot flying at the tank's side, one step short of it.
    r.shells[0].state = kShotActive;
    r.shells[0].world = MatRotationY(90 * kDegToRad) * MatTranslation(297.5f, 1.2f, 330);
    r.shells[0].step = MatTranslation(0, -0.016f, 1.66f);
    UpdateRobot15Shots(r, 0);
    ASSERT_EQ(r.shells[0].state, kShotFree);
    EXPECT_EQ(t.shakeCode, HitReaction::FrozenByIce);
    EXPECT_GE(t.hp, 256 - 3);
    EXPECT_LE(t.hp, 256 - 1);
    // Held at the wheel and the trigger, it neither moves nor fires while
    // frozen; on the frame the ice thaws it drives and fires again.
    Vec3 at = Pos(t.world);
    for (int k = 1; k < kFreezeFrames; ++k) {
        TankControls[0] = {};
        TankControls[0].forward = TankControls[0].fire = 1;
        TankStep();
    }
    EXPECT_EQ(t.shakeCode, HitReaction::FrozenByIce);
    EXPECT_EQ(Pos(t.world).z, at.z);
    EXPECT_EQ(Active(t.shells, kTankShellSlots), 0);
    for (int k = 0; k < 3; ++k) {
        TankControls[0] = {};
        TankControls[0].forward = TankControls[0].fire = 1;
        TankStep();
    }
    EXPECT_EQ(t.shakeCode, HitReaction::None);
    EXPECT_NE(Pos(t.world).z, at.z);
    EXPECT_GT(Active(t.shells, kTankShellSlots), 0);
}

TEST_F(Rno15, ARobotFrozenByAFriendlyShotThawsAndFightsAgain)
{
    // Robot 1 freezes robot 0 with an ice shot; robot 0, a computer robot
    // with a tank in range, holds its fire while frozen and fires again
    // once the ice has run out.
    MercuryCount = 2;
    PlaceTank(0, 300, 360);
    RobotUnit& r = PlaceRobot(0, 300, 300);
    RobotUnit& friendly = PlaceRobot(1, 330, 300);
    friendly.shells[0].state = kShotActive;
    friendly.shells[0].world = MatRotationY(-90 * kDegToRad) * MatTranslation(301, Pos(r.partWorld[1]).y, 300);
    friendly.shells[0].step = MatTranslation(0, 0, 1.0f);
    UpdateRobot15Shots(friendly, 1);
    ASSERT_EQ(r.shakeCode, HitReaction::FrozenByIce);
    EXPECT_EQ(r.hp, 256);  // robots take no damage from robots
    MercuryCount = 1;  // the friend leaves the field: only robot 0 fights on
    // Frozen, it decides nothing: the ice holds it where it stands, its
    // torso turned where it was, though its patrol would turn it.
    r.aimYaw = 40;  // away from the tank and from its patrol's heading
    RobotAi[0].desiredHeading = -50;
    int firedWhileFrozen = 0, frames = 0;
    uint64_t before = ::Shots.fired;
    Vec3 at = Pos(r.World());
    const float aim = r.aimYaw;
    while (r.shakeCode == HitReaction::FrozenByIce && frames < 1000) {
        RobotAiDecide();
        RobotStep();
        ++frames;
        EXPECT_EQ(Pos(r.World()).z, at.z) << "walked while frozen, frame " << frames;
        EXPECT_EQ(r.aimYaw, aim) << "turned its torso while frozen, frame " << frames;
    }
    firedWhileFrozen = static_cast<int>(::Shots.fired - before);
    EXPECT_EQ(frames, kFreezeFrames);
    EXPECT_EQ(firedWhileFrozen, 0);
    // Thawed, it turns on the tank and fires within a few seconds.
    for (int k = 0; k < 600 && ::Shots.fired == before; ++k) {
        RobotAiDecide();
        RobotStep();
    }
    EXPECT_GT(::Shots.fired, before);
}

TEST_F(Rno15, ACannonShotKeepsAShakingTanksReactionButStillDamagesIt)
{
    struct Case {
        const char* what;
        HitReaction before, after;
    } cases[] = {
        {"still", HitReaction::None, HitReaction::Shell},
        {"frozen", HitReaction::FrozenByIce, HitReaction::FrozenByIce},
        {"shaken by a missile", HitReaction::Missile, HitReaction::Missile},
    };
    for (const Case& c : cases) {
        TankUnit& t = PlaceTank(0, 300, 310);
        RobotUnit& r = PlaceRobot(0, 300, 300);
        t.shakeCode = c.before;
        t.shakeTimer = 7;
        r.missiles[0].state = kShotActive;
        r.missiles[0].world = MatTranslation(300, 1.0f, 306);
        r.missiles[0].step = MatTranslation(0, -0.026f, 1.1f);
        UpdateRobot15Shots(r, 0);
        EXPECT_EQ(r.missiles[0].state, kShotFree) << c.what;
        EXPECT_EQ(t.shakeCode, c.after) << c.what;
        EXPECT_EQ(t.shakeTimer, 7) << c.what;
        EXPECT_GE(t.hp, 256 - 5) << c.what;
        EXPECT_LE(t.hp, 256 - 3) << c.what;
    }
}

TEST_F(Rno15, IceOnTheGroundAtTheFieldsEdgesLeavesAMarkOnDefinedHeights)
{
    // The terrain rises toward +x so a corner read off the field would show.
    for (int i = 0; i <= 20; ++i)
        for (int j = 0; j <= 20; ++j) HeightGrid[i][j] = 3.0f + 0.5f * i;
    RobotUnit& r = PlaceRobot(0, 500, 500);
    for (float x : {999.0f, 0.5f}) {
        ClearParticlePools();
        float ground = 0;
        ASSERT_TRUE(GroundHeight(x, -100, 500, &ground));
        r.shells[0].state = kShotActive;
        r.shells[0].world = MatRotationX(90 * kDegToRad) * MatTranslation(x, ground + 0.5f, 500);  // diving
        r.shells[0].step = MatTranslation(0, 0, 1.0f);
        UpdateRobot15Shots(r, 0);
        EXPECT_EQ(r.shells[0].state, kShotFree) << x;
        const GroundMark& m = GroundMarks[0];
        ASSERT_EQ(m.active, 1) << x;
        EXPECT_GE(m.halfSize, 3.2f) << x;
        EXPECT_LT(m.halfSize, 4.6f) << x;
        for (const Vec3& c : m.corners) {
            float h = -1;
            bool onField = GroundHeight(c.x, -100, c.z, &h);
            EXPECT_TRUE(std::isfinite(c.y)) << x;
            EXPECT_FLOAT_EQ(c.y, onField ? h : 0.0f) << x << ": corner at " << c.x;
        }
        MarkPiece piece;
        for (int k = 0; LayGroundMarkPiece(m, k, &piece); ++k)
            for (const Vec3& v : piece.corners) EXPECT_TRUE(std::isfinite(v.y)) << x;
    }
}

TEST_F(Rno15, CannonStreaksDrawInTheAdditivePassAndIceShotsInTheLitPass)
{
    RobotUnit& r = PlaceRobot(0, 100, 100);
    const RobotKind& row = *RobotKindOf(kRobotRno15);
    r.missiles[0].state = kShotActive;
    r.missiles[0].world = MatTranslation(100, 5, 130);
    r.shells[0].state = kShotActive;
    r.shells[0].world = MatTranslation(102, 5, 130);
    r.shells[1].state = kShotActive;
    r.shells[1].world = MatTranslation(104, 5, 130);
    ASSERT_NE(row.drawAdditive, nullptr);
    ASSERT_NE(row.drawShots, nullptr);
    // The additive pass: a streak and a glow, camera-facing quads from user
    // memory (two triangles, four vertices each), no meshes.
    gfx::FrameStats additive = Stats([&] { row.drawAdditive(r); });
    EXPECT_EQ(additive.draws, 2u);
    EXPECT_EQ(additive.vertices, 8u);
    EXPECT_EQ(additive.subsets, 0u);
    // The lit pass: the two ice crystals as meshes, no quads.
    gfx::FrameStats lit = Stats([&] { row.drawShots(r); });
    EXPECT_EQ(lit.subsets, 2u);
    EXPECT_EQ(lit.triangles, 2u * gfx::MeshFaceCount(Robot15Models.parts[kR15IceShot].lodMeshes[1]));
}

TEST_F(Rno15, LoadingTwiceKeepsOneCopyAndTheLoadedFlagIsObeyed)
{
    // The set is loaded (SetUp) and the row says so: asking again loads nothing.
    RobotKind& row = *RobotKindOf(kRobotRno15);
    ASSERT_EQ(row.loaded, 1);
    gfx::Mesh* body = Robot15Models.parts[kR15Body].mesh;
    LoadRobotModels(kRobotRno15);
    EXPECT_EQ(Robot15Models.parts[kR15Body].mesh, body);
    // Load again and release once: every device object the set holds is
    // gone, the first load's as well as the second's.
    ReleaseRobot15();
    const int before = gfx::LiveObjects();
    LoadRobot15();
    const int loaded = gfx::LiveObjects();
    ASSERT_GT(loaded, before);
    LoadRobot15();
    EXPECT_EQ(gfx::LiveObjects(), loaded) << "the second load kept the first one's objects";
    ReleaseRobot15();
    EXPECT_EQ(gfx::LiveObjects(), before);
    EXPECT_EQ(Robot15Models.parts[kR15Body].mesh, nullptr);
    EXPECT_EQ(Robot15Models.glow, nullptr);
}
