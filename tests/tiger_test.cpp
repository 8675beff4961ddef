// The TIGER: its main gun's cycle, the flame mounts rising and tilting, the
// mounts the hull blocks, the flames' fade and single bounce, its shells'
// damage, and a model set loaded once and released whole.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "effects/particles.h"
#include "effects/projectiles.h"
#include "drawn.h"
#include "headless_device.h"
#include "hit_models.h"
#include "platform/crt_rand.h"
#include "platform/test_hooks.h"
#include "records/state.h"
#include "side_steps.h"
#include "sides/tank_side.h"
#include "units/robots/robot_kinds.h"
#include "units/tanks/tank_kinds.h"
#include "world/ground.h"
#include "world/map.h"

namespace {
class Tiger : public HeadlessDevice {
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
        PlayerSide = 0;
        DemoPlayer = false;
        paused = 0;
        EarthCount = 1;
        MercuryCount = 1;
        ::Shots = {};
        Srand(11);
        LoadTiger();
        SetTankKind(Tanks[0], kTankTiger);
        SpawnTank(0);
        Tanks[0].world = MatTranslation(300, 1.36f, 300);  // on the flat ground, facing +z
        PoseTiger(Tanks[0]);
        SetRobotKind(Robots[0], 101);
        Robots[0].World() = MatTranslation(900, 2.2f, 900);  // far away
        for (Mat4& m : Robots[0].partWorld) m = Robots[0].World();
        Robots[0].alive = 1;
        Robots[0].hp = 256;
        BuildViewFrustum(&BattleFrustum, MatLookAtLH({0, 500, 0}, {500, 0, 500}, {0, 1, 0}), 170.0f, 1.0f, 0.1f,
                         5000.0f);
        CameraEye = {925, 3, 930};
    }
    void TearDown() override
    {
        RestoreHitModels();
        ReleaseSimpleModel(&StageCollision);
        ReleaseTiger();
        HeadlessDevice::TearDown();
    }
    // One flame of tank 0 launched from `muzzle` (a drift drawn as in battle).
    static Projectile& Flame(const Mat4& muzzle)
    {
        TankUnit& t = Tanks[0];
        for (Projectile& b : t.bullets) b.state = kShotFree;
        FireTiger(t, muzzle, kWeaponSecond);
        return t.bullets[0];
    }
    static Vec3 Move(const Projectile& p) { return Vec3TransformNormal(Position(p.step), p.world); }
};

// A wall: a large square facing -z at world z = wallZ.
void BuildWall(float wallZ)
{
    struct V {
        float x, y, z, nx, ny, nz, u, v;
    };
    V verts[4] = {{0, -100, wallZ, 0, 0, -1, 0, 0}, {1000, -100, wallZ, 0, 0, -1, 1, 0},
                  {1000, 100, wallZ, 0, 0, -1, 1, 1}, {0, 100, wallZ, 0, 0, -1, 0, 1}};
    uint32_t idx[6] = {0, 3, 2, 0, 2, 1};
    ReleaseSimpleModel(&StageCollision);
    ASSERT_FALSE(gfx::Failed(gfx::CreateMesh(gfx::FVF_XYZ | gfx::FVF_NORMAL | gfx::FVF_TEX1, verts, 4, idx, 2,
                                             nullptr, &StageCollision.mesh)));
    StageCollision.materialCount = 0;
    StageWorld = MatIdentity();
}
}  // namespace

TEST_F(Tiger, TheMainGunFiresAgainOnTheNinetyFirstFrameNeverSooner)
{
    TankUnit& t = Tanks[0];
    TankControls[0].fire = 1;
    std::vector<int> shotFrames;
    for (int frame = 1; frame <= 300; ++frame) {
        uint64_t before = ::Shots.fired;
        const Mat4 gun = t.gunWorld;
        TankStep();
        if (::Shots.fired > before) shotFrames.push_back(frame);
        if (frame == 1) {
            EXPECT_FLOAT_EQ(t.recoil, -1.2f);  // the gun slides back in its mount
            // The shell leaves the muzzle, 4.2 ahead of the trunnions.
            Vec3 muzzle = Vec3TransformCoord({0, 0, 4.2f}, gun);
            Vec3 shell = Position(t.shells[0].world) - Position(t.shells[0].step);
            EXPECT_LT(PointDistance(shell, muzzle), 0.1f);
        }
        if (frame == 2) {
            EXPECT_NEAR(t.recoil, -1.182f, 1e-5);
            // The shell in flight is drawn where it is.
            std::vector<gfx::DrawnCall> calls = DrawCalls([&] { DrawTankKind(0); });
            bool shell = false;
            for (const auto& c : calls) shell |= c.mesh && PointDistance(Position(c.world), Position(t.shells[0].world)) < 0.01f;
            EXPECT_TRUE(shell);
        }
        EXPECT_LE(t.recoil, 0) << frame;  // the gun never runs out past its rest
    }
    ASSERT_EQ(shotFrames.size(), 4u);
    for (size_t k = 1; k < shotFrames.size(); ++k) EXPECT_EQ(shotFrames[k] - shotFrames[k - 1], 91);
}

TEST_F(Tiger, TheFlameMountsRiseThirtyFourFramesThenTiltFortyFiveAndFireOnlyWhenReady)
{
    TankUnit& t = Tanks[0];
    ControlFlags& f = TankControls[0];
    t.turretYaw = 45;
    EXPECT_EQ(t.secondGunGate, -1.0f);  // stowed at spawn
    EXPECT_EQ(t.secondGunTimer, -90);
    f.switchWeapon = 1;
    f.fire = 1;
    int raised = 0, ready = 0, firstFlame = 0;
    for (int frame = 1; frame <= 100; ++frame) {
        TankStep();
        if (!raised && t.secondGunGate == 0.0f) raised = frame;
        if (!ready && t.secondGunTimer == 0) ready = frame;
        if (!firstFlame && t.bullets[0].state == kShotActive) firstFlame = frame;
        if (frame < raised || !raised) {
            EXPECT_EQ(t.secondGunTimer, -90) << frame;
        }  // no tilt before the top
    }
    EXPECT_EQ(raised, 34);
    EXPECT_EQ(ready, 34 + 44);  // 45 frames of tilt, the first on the frame it reaches the top
    EXPECT_EQ(firstFlame, ready + 1);
    // Tilted all the way but not raised all the way: no flame.
    t.secondGunTimer = 0;
    t.secondGunGate = -0.01f;
    uint64_t before = ::Shots.fired;
    TriggerTiger(t, 0);
    EXPECT_EQ(::Shots.fired, before);
    // Asking for the main gun tilts them down, lowers them, then switches.
    f.fire = 0;
    t.secondGunGate = 0;
    f.switchWeapon = 1;
    int stowed = 0;
    for (int frame = 1; frame <= 100 && !stowed; ++frame) {
        TankStep();
        if (t.weapon == kWeaponMainGun) stowed = frame;
    }
    EXPECT_EQ(stowed, 45 + 33);  // the last frame of tilt is the first of lowering
    EXPECT_EQ(t.secondGunGate, -1.0f);
    EXPECT_EQ(t.secondGunTimer, -90);
}

TEST_F(Tiger, EachFlameMountIsBlockedOnlyInsideItsArc)
{
    const struct {
        int mount;
        float yaw;
        bool blocked;
    } cases[] = {
        // Front right: blocked from 150 to 306, the edges free.
        {0, 150.0f, false}, {0, 150.5f, true}, {0, 305.5f, true}, {0, 306.0f, false}, {0, 45.0f, false},
        // Rear right: free from 32 to 230.
        {1, 31.5f, true}, {1, 32.0f, false}, {1, 135.0f, false}, {1, 230.0f, false}, {1, 230.5f, true},
        // Rear left: free from 135 to 330.
        {2, 134.5f, true}, {2, 135.0f, false}, {2, 225.0f, false}, {2, 330.0f, false}, {2, 330.5f, true},
        // Front left: blocked from 55 to 215, the edges free.
        {3, 55.0f, false}, {3, 55.5f, true}, {3, 214.5f, true}, {3, 215.0f, false}, {3, 315.0f, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TigerMountBlocked(c.mount, c.yaw), c.blocked) << "mount " << c.mount << " at " << c.yaw;
    // Every mount is free over the quarter it fires in.
    for (float yaw = 0.5f; yaw <= 360.0f; yaw += 0.5f) {
        int k = TigerFiringMount(yaw);
        ASSERT_GE(k, 0) << yaw;
        EXPECT_FALSE(TigerMountBlocked(k, yaw)) << yaw;
    }
}

TEST_F(Tiger, TheNozzleOfTheQuarterTheTurretFacesFiresAndFollowsTheGun)
{
    TankUnit& t = Tanks[0];
    t.weapon = kWeaponSecond;
    t.weaponSwap = 0;
    t.secondGunGate = 0;
    t.secondGunTimer = 0;
    t.gunPitch = -10;  // raised
    const struct {
        float yaw;
        float x, z;  // the chosen mount on the hull
    } cases[] = {{90.0f, 1.1f, 1.95f}, {90.5f, 1.1f, -1.95f}, {180.5f, -1.1f, -1.95f}, {359.5f, -1.1f, 1.95f}};
    for (const auto& c : cases) {
        t.turretYaw = c.yaw;
        PoseTiger(t);
        // The turret turns about the hull's centre line, 0.85 above it.
        Vec3 turret = Position(t.turretWorld) - Position(t.world);
        EXPECT_NEAR(turret.x, 0, 1e-4) << c.yaw;
        EXPECT_NEAR(turret.y, 0.85f, 1e-4) << c.yaw;
        EXPECT_NEAR(turret.z, 0, 1e-4) << c.yaw;
        Vec3 pivot = Position(t.mgWorld) - Position(t.world);
        EXPECT_NEAR(pivot.x, c.x, 1e-4) << c.yaw;
        EXPECT_NEAR(pivot.y, 0.4f, 1e-4) << c.yaw;
        EXPECT_NEAR(pivot.z, c.z, 1e-4) << c.yaw;
        // The nozzle points along the turret, raised with the gun.
        Vec3 ahead = Vec3TransformNormal({0, 0, 1}, t.mgWorld);
        EXPECT_NEAR(ahead.y, std::sin(10 * kDegToRad), 1e-4) << c.yaw;
        EXPECT_NEAR(std::atan2(ahead.x, ahead.z) / kDegToRad, c.yaw > 180 ? c.yaw - 360 : c.yaw, 0.01) << c.yaw;
    }
    // A yaw of exactly 0 chooses no mount: the matrix stays as it was.
    Mat4 kept = t.mgWorld;
    t.turretYaw = 0;
    PoseTiger(t);
    EXPECT_EQ(std::memcmp(&kept, &t.mgWorld, sizeof kept), 0);
}

TEST_F(Tiger, AFlameFadesOutInEightyThreeFramesGrowingAsItGoes)
{
    // High over the field, away from everything.
    Projectile& f = Flame(MatTranslation(500, 30, 500));
    EXPECT_EQ(TigerFlameAlpha(f), 255);
    EXPECT_FLOAT_EQ(TigerFlameSize(f), 0.23f);
    // It moves 0.72 ahead a frame and drifts by 0.02 to 0.06.
    Vec3 step = Position(f.step);
    EXPECT_NEAR(step.z, 0.72f, 0.06f);
    float drift = std::sqrt(step.x * step.x + step.y * step.y + (step.z - 0.72f) * (step.z - 0.72f));
    EXPECT_GE(drift, 0.0199f);
    EXPECT_LE(drift, 0.0599f);
    int frames = 0;
    while (f.state == kShotActive && frames < 200) {
        UpdateTigerShots(Tanks[0], 0);
        ++frames;
        if (frames == 53) {
            EXPECT_EQ(TigerFlameAlpha(f), 149);  // -2 a frame while at 151 or more
        }
        if (frames == 54) {
            EXPECT_EQ(TigerFlameAlpha(f), 145);  // then -4
        }
        if (frames == 10) {
            EXPECT_GE(TigerFlameSize(f), 0.23f + 10 * 0.023f - 1e-4f);
            EXPECT_LE(TigerFlameSize(f), 0.23f + 10 * 0.036f + 1e-4f);
        }
    }
    EXPECT_EQ(frames, 83);
}

// Off a wall, the field's edge or the ground a flame bounces once, slowed to
// a third, and flares up where it meets the ground or the edge: back along
// its way off a wall or the edge, off the slope's normal from the ground,
// whether it dips into flat ground or drifts up into rising ground, and it
// never goes under the ground.
TEST_F(Tiger, AFlameBouncesOnceOffWallsTheEdgeAndTheGroundBySlopeAndNeverGoesUnder)
{
    TankUnit& t = Tanks[0];
    enum What { Wall, Ground, Rising, Edge };
    const struct {
        What what;
        Mat4 muzzle;
    } cases[] = {
        // A wall 4.6 ahead: the flame is 2.44 from it when it bounces, and
        // still within the wall's reach of 3 one frame later.
        {Wall, MatTranslation(500, 30, 500.4f), },
        {Ground, MatRotationX(40 * kDegToRad) * MatTranslation(500, 3, 500)},  // dipped 40 degrees
        // Level, 1.5 over ground that rises 1 in 2 ahead of it.
        {Rising, MatTranslation(520, 1.5f, 500)},
        {Edge, MatRotationY(90 * kDegToRad) * MatTranslation(997, 30, 500)},  // out over the east edge
    };
    for (const auto& c : cases) {
        ClearParticlePools();
        ReleaseSimpleModel(&StageCollision);
        for (auto& row : HeightGrid)
            for (float& h : row) h = 0;
        if (c.what == Wall) BuildWall(505);
        if (c.what == Rising)
            for (auto& row : HeightGrid) row[11] = 25;  // from z 500 up to 25 at z 550
        Vec3 up{0, 1, 0};
        if (c.what == Rising) up = Vec3Normalize({0, 2, -1});
        Projectile& f = Flame(c.muzzle);
        int bounces = 0;
        for (int frame = 0; frame < 60 && f.state == kShotActive; ++frame) {
            Vec3 before = Move(f);
            int32_t alpha = TigerFlameAlpha(f);
            UpdateTigerShots(t, 0);
            if (f.state != kShotActive) break;
            Vec3 after = Move(f);
            const bool ground = c.what == Ground || c.what == Rising;
            if (ground ? Vec3Dot(before, up) < 0 && Vec3Dot(after, up) > 0 : Vec3Dot(after, before) < 0) {
                ++bounces;
                EXPECT_NEAR(Vec3Length(after), Vec3Length(before) / 3, 1e-4) << c.what;
                if (ground) {  // mirrored in the slope: what ran along it runs on
                    EXPECT_NEAR(Vec3Dot(after, up), -Vec3Dot(before, up) / 3, 1e-4) << c.what;
                }
                // Dimmed: a fading step, then divided by 1.4 (1.5 off the edge).
                float dim = c.what == Edge ? 1.5f : 1.4f;
                EXPECT_EQ(TigerFlameAlpha(f), static_cast<int32_t>((alpha - (alpha < 151 ? 4 : 2)) / dim));
            }
            if (c.what == Wall) {
                EXPECT_LT(Position(f.world).z, 505.0f);
            }
            float height = 0;
            Vec3 p = Position(f.world);
            if (GroundHeight(p.x, -100, p.z, &height)) {
                EXPECT_GE(p.y, height - 1e-3f) << c.what << " " << frame;
            }
        }
        EXPECT_EQ(bounces, 1) << c.what;
        // Where it met the ground or the field's edge it flared up.
        if (c.what != Wall) {
            PoolCount counts[kParticlePoolCount];
            CountParticlePools(counts);
            int bursts = 0;
            for (const PoolCount& pc : counts)
                if (std::string(pc.name) == "bursts") bursts = pc.live;
            EXPECT_GT(bursts, 0) << c.what;
        }
    }
}

// A flame that meets a robot stays against it: slowed once to 1 / 3.8 of
// its speed, never through it and out, never back and forth, and it burns
// the robot 0.06 to 0.1 a frame for every frame it touches, counting one hit
// for the flame.  A tank in its way it only licks.
TEST_F(Tiger, AFlameHeldAgainstARobotBurnsItEveryFrameItTouches)
{
    TankUnit& t = Tanks[0];
    RobotUnit& r = Robots[0];
    ModelPart upper{}, foot{};
    auto boxPart = [](ModelPart* part, Vec3 half) {
        float v[3][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
        uint32_t idx[3] = {0, 1, 2};
        ASSERT_FALSE(gfx::Failed(gfx::CreateMesh(gfx::FVF_XYZ, v, 3, idx, 1, nullptr, &part->mesh)));
        part->box = OrientedBox{};
        part->box.halfSize = half;
    };
    boxPart(&upper, {1, 1, 1});
    boxPart(&foot, {0.3f, 0.3f, 0.3f});
    SetRobotHitModels(101, &upper, &foot);
    r.World() = MatTranslation(500, 2.2f, 500);  // 5 ahead of the muzzle
    for (Mat4& m : r.partWorld) m = r.World();
    Projectile& f = Flame(MatTranslation(500, 2.2f, 495));
    const float speed = Vec3Length(Move(f));
    int touching = 0;
    float lastZ = 0;
    for (int frame = 0; frame < 90 && f.state == kShotActive; ++frame) {
        const float hp = r.hp;
        UpdateTigerShots(t, 0);
        if (f.state != kShotActive) break;
        const float z = Position(f.world).z;
        if (frame > 0) {
            EXPECT_GE(z, lastZ - 0.05f) << frame;  // drifting, never jumping back
        }
        EXPECT_LT(z, 499.2f) << frame;  // never into the robot's box (1 deep, the flame's own 0.2 ahead)
        lastZ = z;
        if (r.hp < hp) {
            ++touching;
            EXPECT_GE(hp - r.hp, 0.06f - 1e-4f) << frame;
            EXPECT_LE(hp - r.hp, 0.1f + 1e-4f) << frame;
            EXPECT_NEAR(Vec3Length(Move(f)), speed / 3.8f, 1e-3) << frame;  // slowed once, not again
        }
    }
    // Against the robot from its first touch to the end of its life: well
    // over thirty frames of burning from one flame.
    EXPECT_GT(touching, 30);
    EXPECT_EQ(t.shotsHit, 1u);
    RestoreHitModels();
    gfx::Release(upper.mesh);
    gfx::Release(foot.mesh);
}

TEST_F(Tiger, ShellsHurtRobotsByTwentyThreeToThirtySixAndNeverTanks)
{
    TankUnit& t = Tanks[0];
    RobotUnit& r = Robots[0];
    ModelPart upper{}, foot{};
    float v[3][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    uint32_t idx[3] = {0, 1, 2};
    ASSERT_FALSE(gfx::Failed(gfx::CreateMesh(gfx::FVF_XYZ, v, 3, idx, 1, nullptr, &upper.mesh)));
    upper.box.halfSize = {1, 1, 1};
    SetRobotHitModels(101, &upper, &foot);
    r.World() = MatTranslation(500, 2.2f, 500);
    for (Mat4& m : r.partWorld) m = r.World();
    int least = 1000, most = 0;
    for (int shot = 0; shot < 400; ++shot) {
        r.hp = 256;
        r.alive = 1;
        FireShot(t.shells, kTankShellSlots, MatTranslation(500, 2.2f, 500 - 2.3f), MatTranslation(0, 0, 2.3f));
        UpdateTigerShots(t, 0);
        ASSERT_EQ(t.shells[0].state, kShotFree);
        int loss = static_cast<int>(256 - r.hp);
        least = std::min(least, loss);
        most = std::max(most, loss);
    }
    EXPECT_EQ(least, 23);
    EXPECT_EQ(most, 36);
    EXPECT_EQ(r.shakeCode, HitReaction::TankShell);
    // A second TIGER, hit square by a shell: it shakes and loses nothing.
    EarthCount = 2;
    SetTankKind(Tanks[1], kTankTiger);
    SpawnTank(1);
    Tanks[1].world = MatTranslation(200, 1.36f, 200);
    PoseTiger(Tanks[1]);
    FireShot(t.shells, kTankShellSlots, MatTranslation(200, 1.36f, 200 - 2.3f), MatTranslation(0, 0, 2.3f));
    UpdateTigerShots(t, 0);
    EXPECT_EQ(t.shells[0].state, kShotFree);
    EXPECT_EQ(Tanks[1].shakeCode, HitReaction::TankShell);
    EXPECT_EQ(Tanks[1].hp, 256.0f);
    RestoreHitModels();
    gfx::Release(upper.mesh);
}

TEST_F(Tiger, TheModelSetIsLoadedOnceAndReleasedWhole)
{
    ReleaseTiger();
    const int before = gfx::LiveObjects();
    LoadTiger();
    const int loaded = gfx::LiveObjects();
    EXPECT_GT(loaded, before + 11);  // ten meshes and a track, their textures, the flame picture
    LoadTiger();  // a second load replaces the first
    EXPECT_EQ(gfx::LiveObjects(), loaded);
    ReleaseTiger();
    EXPECT_EQ(gfx::LiveObjects(), before);
    // Through the table: the battle and the select screen ask as often as
    // they like, and the set is loaded once.
    TankKind& row = TankKinds[kTankTiger - kFirstTankKind];
    row.loaded = 0;
    static int loads;
    loads = 0;
    void (*own)() = row.load;
    row.load = [] { ++loads, LoadTiger(); };
    LoadTankModels(kTankTiger);
    LoadTankModels(kTankTiger);
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(gfx::LiveObjects(), loaded);
    ReleaseAllTankModels();
    EXPECT_EQ(gfx::LiveObjects(), before);
    EXPECT_EQ(row.loaded, 0);
    row.load = own;
}
