// The battlefield and the battle loop on the null device: terrain height,
// the ground passes, wall pushes, battle set-up, the frame's pause and clock,
// and the player's control of aim and camera.
#include <gtest/gtest.h>
#include "platform/test_hooks.h"

#include <cmath>
#include <cstring>
#include <sstream>

#include "services/device.h"
#include "services/report.h"
#include "services/options.h"
#include "services/scene.h"
#include "assets/sound.h"
#include "battle/frame.h"
#include "battle/state_hash.h"
#include "records/state.h"
#include "units/robots/robot_kinds.h"
#include "sides/robot_side.h"
#include "sides/tank_side.h"
#include "battle/setup.h"
#include "battle/pause.h"
#include "effects/particles.h"
#include "drawn.h"
#include "headless_device.h"
#include "run_util.h"
#include "world/ground.h"
#include "sides/player.h"
#include "platform/crt_rand.h"
#include "units/tanks/tank_kinds.h"
#include "platform/input_script.h"
#include "platform/mesh_data.h"
#include "world/map.h"
#include "world/sky.h"
#include "run_util.h"
#include "side_steps.h"

namespace {
class Battle : public HeadlessDevice {
protected:
    void SetUp() override
    {
        HeadlessDevice::SetUp();
        ASSERT_EQ(chdir(VARNOK_PACK), 0);
        SetFixedRenderStates();
        CreateSpriteBatcher();
        ResetUnitRecords();
        ResetPlayerControl();
        ResetBattleFrame();
        for (auto& row : HeightGrid)
            for (float& h : row) h = 0;
        PlayerSide = 0;
        TankTypeId = 2;
        RobotTypeId = 101;
        EarthCount = MercuryCount = 4;
        SkyId = 203;
        BattleClock = 30 * 3600;
        paused = 0;
        sys::SetVirtualTime(0);
        ResetSteps();
    }
    void TearDown() override
    {
        // Loaded by set-up; the next test has a new device.
        ReleaseAllTankModels();
        ReleaseAllRobotModels();
        ReleaseBattleTextures();
        ReleaseBattleEffect();
        ReleaseSimpleModel(&StageCollision);
        sys::SetInputScript(nullptr);
        HeadlessDevice::TearDown();
    }
    // A wall: a large square facing -z, at world z = wallZ.
    void BuildWall(float wallZ)
    {
        struct V { float x, y, z, nx, ny, nz, u, v; };
        V verts[4] = {{0, -100, wallZ, 0, 0, -1, 0, 0}, {1000, -100, wallZ, 0, 0, -1, 1, 0},
                      {1000, 100, wallZ, 0, 0, -1, 1, 1}, {0, 100, wallZ, 0, 0, -1, 0, 1}};
        // Wound so the normal (Pos1 - Pos0) x (Pos2 - Pos0) points toward -z.
        uint32_t idx[6] = {0, 3, 2, 0, 2, 1};
        ReleaseSimpleModel(&StageCollision);
        ASSERT_FALSE(gfx::Failed(gfx::CreateMesh(gfx::FVF_XYZ | gfx::FVF_NORMAL | gfx::FVF_TEX1, verts, 4, idx, 2,
                                                 nullptr, &StageCollision.mesh)));
        StageCollision.materialCount = 0;
        StageWorld = MatIdentity();
    }
    void Script(const char* text)
    {
        std::string err;
        ASSERT_TRUE(ParseInputScript(text, "t", &script_, &err)) << err;
        sys::SetInputScript(&script_);
    }
    InputScript script_;
};

Vec3 Pos(const Mat4& m) { return {m.m[3][0], m.m[3][1], m.m[3][2]}; }
}  // namespace

TEST_F(Battle, GroundHeightFollowsTheGridTriangles)
{
    float h = -1;
    EXPECT_TRUE(GroundHeight(123, 0, 456, &h));
    EXPECT_FLOAT_EQ(h, 0);
    HeightGrid[3][3] = 10;  // one raised point
    EXPECT_TRUE(GroundHeight(150, 0, 150, &h));
    EXPECT_NEAR(h, 10, 1e-4);
    EXPECT_TRUE(GroundHeight(125, 0, 150, &h));
    EXPECT_NEAR(h, 5, 1e-3);
    EXPECT_FALSE(GroundHeight(150, 11, 150, &h));  // ground below the asked height
    h = 42;
    EXPECT_FALSE(GroundHeight(-1, 0, 500, &h));    // no ground off the field
    EXPECT_FALSE(GroundHeight(500, 0, 1000, &h));
    EXPECT_FLOAT_EQ(h, 42);
    EXPECT_FLOAT_EQ(PointDistance({1, 2, 3}, {4, 6, 3}), 5);
}

TEST_F(Battle, SetUpPlacesBothSidesInTheirCorners)
{
    EarthCount = MercuryCount = 16;
    BattleInit();
    EXPECT_EQ(SceneProc, BattleFrame);
    EXPECT_STREQ(Tanks[0].name, "Player");
    EXPECT_EQ(Tanks[0].kind, 2);
    EXPECT_STREQ(Tanks[3].name, "Tank03");
    EXPECT_STREQ(Robots[12].name, "Robot12");
    EXPECT_FLOAT_EQ(Pos(Tanks[0].world).x, 925);
    EXPECT_FLOAT_EQ(Pos(Tanks[15].world).x, 865);
    EXPECT_FLOAT_EQ(Pos(Tanks[15].world).z, 865);
    EXPECT_FLOAT_EQ(Pos(Robots[15].World()).x, 155);
    EXPECT_FLOAT_EQ(Pos(Robots[0].World()).z, 95);
    // Settled on the (flat) ground at each kind's clearance, facing -z.
    EXPECT_FLOAT_EQ(Pos(Tanks[0].world).y, 0.72f);
    EXPECT_NEAR(Tanks[0].world.m[2][2], -1, 1e-5);
    for (int i = 0; i < 16; ++i) {
        EXPECT_TRUE(Tanks[i].kind == 1 || Tanks[i].kind == 2) << i;
        EXPECT_TRUE(Robots[i].kind == 101 || Robots[i].kind == 102) << i;
        EXPECT_EQ(Tanks[i].rankSlot, i + 1);
        EXPECT_EQ(Tanks[i].hp, 256);
        float clearance = Robots[i].kind == 101 ? 2.2f : 2.46f;
        EXPECT_FLOAT_EQ(Pos(Robots[i].World()).y, clearance);
    }
    EXPECT_EQ(gfx::GetRenderState(gfx::RS_FOGCOLOR), 0xFF4B463Fu);
    EXPECT_EQ(gfx::BitsFloat(gfx::GetRenderState(gfx::RS_FOGEND)), 230.0f);
    EXPECT_NE(CharTexture, nullptr);
    EXPECT_NE(StopTexture, nullptr);
    EXPECT_NE(BattleEffect, nullptr);

    PlayerSide = 1;
    RobotTypeId = 102;
    BattleInit();
    EXPECT_STREQ(Robots[0].name, "Player");
    EXPECT_EQ(Robots[0].kind, 102);
    EXPECT_STREQ(Tanks[0].name, "Tank00");
}

// The computer's units are drawn from the rows that fight, and each record
// carries its own kind's row; a row that stops fighting is no longer fielded.
TEST_F(Battle, TheComputerFieldsOnlyTheKindsThatFightEachWithItsRow)
{
    EarthCount = MercuryCount = 16;
    BattleInit();
    int tankKinds[kLastTankKind + 1] = {}, robotKinds[kRobotKindCount] = {};
    for (int i = 1; i < 16; ++i) {
        ASSERT_NE(Tanks[i].row, nullptr) << i;
        EXPECT_EQ(Tanks[i].row, TankKindOf(Tanks[i].kind)) << i;
        EXPECT_TRUE(Tanks[i].row->fights) << i;
        ++tankKinds[Tanks[i].kind];
    }
    for (int i = 0; i < 16; ++i) {
        ASSERT_NE(Robots[i].row, nullptr) << i;
        EXPECT_EQ(Robots[i].row, RobotKindOf(Robots[i].kind)) << i;
        EXPECT_TRUE(Robots[i].row->fights) << i;
        ++robotKinds[Robots[i].kind - kFirstRobotKind];
    }
    EXPECT_GT(tankKinds[kTankTiger], 0);
    EXPECT_GT(tankKinds[kTankAbrams], 0);
    EXPECT_GT(robotKinds[0], 0);
    EXPECT_GT(robotKinds[1], 0);

    TankKinds[kTankAbrams - 1].fights = false;
    RobotKinds[0].fights = false;
    BattleInit();
    TankKinds[kTankAbrams - 1].fights = true;
    RobotKinds[0].fights = true;
    EXPECT_EQ(Tanks[0].kind, kTankAbrams) << "the player keeps the kind chosen";
    for (int i = 1; i < 16; ++i) EXPECT_EQ(Tanks[i].kind, kTankTiger) << i;
    for (int i = 0; i < 16; ++i) EXPECT_EQ(Robots[i].kind, kRobotRno15) << i;

    // A row that says it fights but lacks a routine a battle calls is not
    // fielded either, nor offered to the command line.
    auto fire = TankKinds[kTankTiger - 1].fire;
    TankKinds[kTankTiger - 1].fire = nullptr;
    EXPECT_FALSE(TankKindCanFight(kTankTiger));
    BattleInit();
    TankKinds[kTankTiger - 1].fire = fire;
    for (int i = 1; i < 16; ++i) EXPECT_EQ(Tanks[i].kind, kTankAbrams) << i;
}

TEST_F(Battle, ABattleStartsWithEveryShotSlotFreeAndNoEffectLeft)
{
    // Shots still flying and effects still showing when the last battle
    // was left.
    BattleInit();
    for (TankUnit& t : Tanks) t.shells[3].state = t.bullets[99].state = kShotActive;
    for (RobotUnit& r : Robots) r.shells[59].state = r.missiles[7].state = kShotCoasting;
    SpawnGroundMark(100, 0, 100, 3);
    SpawnKillExplosion({100, 0, 100}, 2, 1);
    BattleInit();
    PoolCount pools[kParticlePoolCount];
    CountParticlePools(pools);
    for (const PoolCount& p : pools) EXPECT_EQ(p.live, 0) << p.name;
    for (const TankUnit& t : Tanks) {
        for (const Projectile& p : t.shells) EXPECT_EQ(p.state, kShotFree);
        for (const Projectile& p : t.bullets) EXPECT_EQ(p.state, kShotFree);
    }
    for (const RobotUnit& r : Robots) {
        for (const Projectile& p : r.shells) EXPECT_EQ(p.state, kShotFree);
        for (const Projectile& p : r.missiles) EXPECT_EQ(p.state, kShotFree);
    }
}

TEST_F(Battle, AMissingBattleEffectStopsOnceWithTheMessage)
{
    ASSERT_EQ(chdir(MakeTempDir().c_str()), 0);
    SceneProc = BattleInit;
    testing::internal::CaptureStderr();
    BattleInit();
    std::string err = testing::internal::GetCapturedStderr();
    // The box names the file and why it failed.
    EXPECT_NE(err.find("シェーダーファイル読み込み失敗\nLAND/Effect/IceShader.fx: cannot be opened"), std::string::npos)
        << err;
    EXPECT_EQ(SceneProc, BattleInit);
    sys::Message m;
    EXPECT_TRUE(sys::PeekMessage(&m));
    EXPECT_EQ(m.id, sys::MSG_QUIT);
    // Asked again, it leaves again without a second message.
    testing::internal::CaptureStderr();
    BattleInit();
    err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.find("シェーダーファイル読み込み失敗"), std::string::npos) << err;
    EXPECT_TRUE(sys::PeekMessage(&m));
    EXPECT_EQ(m.id, sys::MSG_QUIT);
}

TEST_F(Battle, SetUpCentresTheCursorAndHazesTheFarField)
{
    sys::SetCursorPos(10, 10);
    gfx::SetRenderState(gfx::RS_FOGSTART, gfx::FloatBits(1.0f));
    gfx::SetRenderState(gfx::RS_FOGEND, gfx::FloatBits(2.0f));
    BattleInit();
    sys::Point p;
    sys::GetCursorPos(&p);
    EXPECT_EQ(p.x, OptionData.screenWidth / 2);
    EXPECT_EQ(p.y, OptionData.screenHeight / 2);
    EXPECT_EQ(gfx::GetRenderState(gfx::RS_FOGENABLE), 1u);
    EXPECT_EQ(gfx::GetRenderState(gfx::RS_FOGSTART), gfx::FloatBits(50.0f));
    EXPECT_EQ(gfx::GetRenderState(gfx::RS_FOGEND), gfx::FloatBits(230.0f));
}

TEST_F(Battle, APausedBattleStillShowsItsFieldAndTheMenuOverIt)
{
    BattleInit();
    paused = 1;
    OpenPauseMenu();
    sys::SetCursorPos(10, 10);  // over no entry
    for (uint32_t t = 16; t <= 64; t += 16) {
        const uint64_t presented = gfx::FramesPresented();
        std::vector<gfx::DrawnSprite> sprites;
        gfx::RecordSprites(&sprites, nullptr);
        sys::SetVirtualTime(t);
        BattleFrame();
        gfx::RecordSprites(nullptr, nullptr);
        EXPECT_EQ(gfx::FramesPresented(), presented + 1) << t;
        int entries = 0;
        for (const auto& d : sprites) entries += d.texture == CharTexture && d.src.top >= 31 && d.src.top <= 123 && d.src.left <= 2;
        EXPECT_EQ(entries, 3) << t;
        EXPECT_EQ(paused, 1);
    }
}

TEST_F(Battle, TheBattlesPicturesLoadAtTheirAtlasSizes)
{
    BattleInit();
    struct Case { gfx::Texture* texture; uint32_t w, h; } cases[] = {
        {CharTexture, 512, 512}, {HpTexture, 512, 512}, {RadarTexture, 512, 512}, {StopTexture, 64, 64},
        {BitTexture, 1, 1}};
    for (const Case& c : cases) ExpectTextureSize(c.texture, c.w, c.h);
}

TEST_F(Battle, TanksTiltTowardTheSlopeAtMostAPointTwoDegreesAFrame)
{
    EarthCount = 1;
    SetTankKind(Tanks[0], 2);
    SpawnTank(0);
    // A steady slope along -z (the tank faces -z): rising 10 every 50.
    for (int i = 0; i <= 20; ++i)
        for (int j = 0; j <= 20; ++j) HeightGrid[i][j] = (20 - j) * 10.0f;
    auto pitch = [] {
        Vec3 f = Vec3Normalize(Vec3TransformNormal({0, 0, 1}, Tanks[0].world));
        return std::asin(f.y) * kRadToDeg;
    };
    float ground;
    ASSERT_TRUE(GroundHeight(925, 0, 925, &ground));
    Tanks[0].world.m[3][1] = ground + 0.72f;  // already standing on the slope, level
    FollowGroundTanks();
    EXPECT_NEAR(pitch(), 1.2f, 0.05f);  // a big difference turns by 1.2
    for (int k = 0; k < 20; ++k) FollowGroundTanks();
    EXPECT_NEAR(pitch(), std::atan(0.2f) * kRadToDeg, 0.5f);  // it settles on the slope
    float h;
    GroundHeight(Pos(Tanks[0].world).x, 0, Pos(Tanks[0].world).z, &h);
    EXPECT_NEAR(Pos(Tanks[0].world).y, h + 0.72f, 1e-3);
}

TEST_F(Battle, UnitsStopAtTheFieldsEdgeAndSayWhere)
{
    EarthCount = MercuryCount = 1;
    SetTankKind(Tanks[0], 2);
    SetRobotKind(Robots[0], 101);
    SpawnTank(0);
    SpawnRobot(0);
    Tanks[0].world.m[3][0] = -5;
    Tanks[0].world.m[3][1] = 10;
    Robots[0].World().m[3][2] = 1001;
    Robots[0].World().m[3][1] = 10;
    FollowGroundTanks();
    FollowGroundRobots();
    // Off the ground grid there is no ground: they sink half a unit a frame.
    EXPECT_FLOAT_EQ(Pos(Tanks[0].world).y, 9.5f);
    EXPECT_FLOAT_EQ(Pos(Robots[0].World()).y, 9.5f);
    EXPECT_FLOAT_EQ(Pos(Tanks[0].world).x, 3);
    EXPECT_EQ(Tanks[0].atBorder, 1);
    EXPECT_FLOAT_EQ(Pos(Robots[0].World()).z, 998);
    EXPECT_EQ(Robots[0].atBorder, 1);
    Tanks[0].world.m[3][0] = 3.5f;
    Robots[0].World().m[3][2] = 997;
    FollowGroundTanks();
    FollowGroundRobots();
    EXPECT_EQ(Tanks[0].atBorder, 0);
    EXPECT_EQ(Robots[0].atBorder, 0);
    // Held at the south edge, a tank keeps saying so.
    Tanks[0].world.m[3][2] = 1;
    FollowGroundTanks();
    EXPECT_FLOAT_EQ(Pos(Tanks[0].world).z, 3);
    FollowGroundTanks();
    EXPECT_EQ(Tanks[0].atBorder, 1);
    // A robot's bob lifts it above its clearance.
    Robots[0].bob = 0.3f;
    FollowGroundRobots();
    EXPECT_FLOAT_EQ(Pos(Robots[0].World()).y, 2.5f);
}

TEST_F(Battle, WallsPushNearUnitsAwayAndSlowThem)
{
    EarthCount = 2;
    for (int i = 0; i < 2; ++i) {
        SetTankKind(Tanks[i], 2);
        SpawnTank(i);
        Tanks[i].world = MatTranslation(500, 1, 500 + i * 100.0f);  // facing +z
        Tanks[i].forwardSpeed = 0.32f;
    }
    BuildWall(501.0f);  // 1.0 ahead of tank 0
    PushTankFromWall(0, kTankWallRays[0]);
    EXPECT_NEAR(Pos(Tanks[0].world).z, 500 - 0.1f, 1e-4);  // (3 - 1) / 20 away from it
    EXPECT_NEAR(Tanks[0].forwardSpeed, 0.2f, 1e-5);
    EXPECT_EQ(TankControls[0].backward, 0);  // the player's unit gets no command

    BuildWall(601.0f);
    PushTankFromWall(1, kTankWallRays[0]);
    EXPECT_EQ(TankControls[1].backward, 1);
    BuildWall(603.5f);  // beyond reach
    Vec3 before = Pos(Tanks[1].world);
    PushTankFromWall(1, kTankWallRays[0]);
    EXPECT_FLOAT_EQ(Pos(Tanks[1].world).z, before.z);

    ReleaseSimpleModel(&StageCollision);  // no collision mesh: nothing is hit
    float d;
    uint32_t f;
    EXPECT_FALSE(RayHitsMesh({0, 0, 0}, {0, 0, 1}, StageCollision, StageWorld, &d, &f));
}

namespace {
// The quarter turn that points a unit's local direction along +z; -1 when
// none does.
float TurnAlongZ(Vec3 dir)
{
    for (float deg : {0.0f, 90.0f, 180.0f, 270.0f})
        if (Vec3TransformNormal(dir, MatRotationY(deg * kDegToRad)).z > 0.99f) return deg;
    return -1;
}
}  // namespace

TEST_F(Battle, EveryWallRayPushesAComputerTankAwayAndSlowsIt)
{
    EarthCount = 2;
    SetTankKind(Tanks[1], 2);
    for (const WallRay& ray : kTankWallRays) {
        SCOPED_TRACE(testing::Message() << "ray " << (&ray - kTankWallRays));
        // Turn the tank so the ray runs toward +z, where the wall stands 1.0
        // from the ray's start.
        const float turn = TurnAlongZ(ray.dir);
        ASSERT_GE(turn, 0) << "the ray runs along no level axis";
        SpawnTank(1);
        TankControls[1] = {};
        Tanks[1].world = MatRotationY(turn * kDegToRad) * MatTranslation(500, 1, 500);
        Tanks[1].forwardSpeed = 0.32f;
        Tanks[1].reverseSpeed = -0.2f;
        Vec3 start = Vec3TransformCoord({ray.sx * Tanks[1].boxSize.x / 2, 0, ray.sz * Tanks[1].boxSize.z / 2},
                                        Tanks[1].world);
        BuildWall(start.z + 1.0f);
        PushTankFromWall(1, ray);
        EXPECT_LT(Pos(Tanks[1].world).z, 500.0f) << "not pushed away from the wall";
        EXPECT_GT(Pos(Tanks[1].world).z, 499.0f) << "pushed too far";
        EXPECT_LE(Tanks[1].forwardSpeed, 0.32f);
        EXPECT_GE(Tanks[1].reverseSpeed, -0.2f);
        EXPECT_TRUE(Tanks[1].forwardSpeed < 0.32f || Tanks[1].reverseSpeed > -0.2f) << "not slowed";
        // A wall ahead sends the computer's tank back, one behind forward.
        EXPECT_EQ(TankControls[1].backward, ray.flag == 1 ? 1 : 0);
        EXPECT_EQ(TankControls[1].forward, ray.flag == 2 ? 1 : 0);
    }
}

TEST_F(Battle, EveryWallRayPushesAComputerRobotAwayAndSlowsIt)
{
    MercuryCount = 2;
    SetRobotKind(Robots[1], 101);
    for (const WallRay& ray : kRobotWallRays) {
        SCOPED_TRACE(testing::Message() << "ray " << (&ray - kRobotWallRays));
        const float turn = TurnAlongZ(ray.dir);
        ASSERT_GE(turn, 0) << "the ray runs along no level axis";
        SpawnRobot(1);
        RobotControls[1] = {};
        Robots[1].World() = MatRotationY(turn * kDegToRad) * MatTranslation(500, 1, 500);
        Robots[1].speed = 0.2f;
        Vec3 start = Vec3TransformCoord({ray.sx * Robots[1].boxSize.x / 2, 0, ray.sz * Robots[1].boxSize.z / 2},
                                        Robots[1].World());
        BuildWall(start.z + 1.0f);
        PushRobotFromWall(1, ray);
        EXPECT_LT(Pos(Robots[1].World()).z, 500.0f) << "not pushed away from the wall";
        EXPECT_GT(Pos(Robots[1].World()).z, 499.0f) << "pushed too far";
        EXPECT_LT(std::fabs(Robots[1].speed), 0.2f) << "not slowed";
        EXPECT_GT(std::fabs(Robots[1].speed), 0.1f) << "all but stopped";
        EXPECT_EQ(RobotControls[1].backward, ray.flag == 1 ? 1 : 0);
        EXPECT_EQ(RobotControls[1].forward, ray.flag == 2 ? 1 : 0);
    }
}

TEST_F(Battle, MouseAndKeysDriveThePlayersFlagsAndAim)
{
    EarthCount = 4;
    BattleInit();
    Script("1 move 407 300\n2 move 408 303\n3 move 400 304\n4 keydown W\n4 buttondown right\n"
           "5 buttonup right\n5 keydown Z\n6 keyup Z\n7 keydown Z\n8 move 400 500\n");
    auto step = [](uint32_t n) { sys::ApplyScriptStep(n); TankPlayerControl(); };
    step(1);
    EXPECT_FLOAT_EQ(Tanks[0].turretYaw, 1);  // 7 / 4 = 1
    step(2);
    EXPECT_FLOAT_EQ(Tanks[0].turretYaw, 3);  // 8 / 4 = 2; 3 / 4 = 0 leaves the gun
    EXPECT_FLOAT_EQ(Tanks[0].gunPitch, 0);
    step(3);
    EXPECT_FLOAT_EQ(Tanks[0].gunPitch, 0.6f);
    sys::Point p;
    sys::GetCursorPos(&p);
    EXPECT_EQ(p.x, 400);  // recentred every frame
    EXPECT_EQ(p.y, 300);
    step(4);
    EXPECT_EQ(TankControls[0].forward, 1);
    EXPECT_EQ(TankControls[0].switchWeapon, 1);
    TankControls[0].switchWeapon = 0;  // the update clears it once acted on
    step(5);
    EXPECT_EQ(TankControls[0].switchWeapon, 0);  // not again while held
    EXPECT_EQ(viewedUnit, 1);
    step(6);
    EXPECT_EQ(viewedUnit, 1);  // only a new press moves the camera on
    step(7);
    EXPECT_EQ(viewedUnit, 2);
    for (int k = 8; k < 40; ++k) {
        sys::SetCursorPos(400, 320);  // held below the middle
        TankPlayerControl();
        ASSERT_EQ(viewedUnit, 2) << "Z held moves the camera on once, at step " << k;
    }
    EXPECT_FLOAT_EQ(Tanks[0].gunPitch, 10);  // held down: stops at 10
    // The camera follows the viewed unit.
    PlaceChaseCamera();
    EXPECT_NEAR(CameraLookAt.z, Pos(Tanks[2].turretWorld).z, 1e-3);
    Tanks[0].hp = 0;
    step(40);
    EXPECT_EQ(cameraShake, 2);
}

// A pad plugged in mid-battle is used from its step on; pulled out, it
// lets go of everything: the tank stops driving and stops firing.
TEST_F(Battle, APadPluggedInMidBattleDrivesAndFiresAndPulledOutLetsGo)
{
    EarthCount = MercuryCount = 1;
    BattleInit();
    Script("5 padconnect\n6 padaxis LEFTY 32767\n6 padaxis RIGHTTRIGGER 255\n40 paddisconnect\n");
    TankUnit& me = Tanks[0];
    const Vec3 start = Pos(me.world);
    uint32_t firedBefore = 0;
    Vec3 stopped{};
    for (uint32_t n = 1; n <= 150; ++n) {
        sys::ApplyScriptStep(n);
        TankPlayerControl();
        if (n < 6) {
            EXPECT_EQ(TankControls[0].forward, 0) << n;
            EXPECT_EQ(TankControls[0].fire, 0) << n;
        } else if (n < 40) {
            ASSERT_EQ(TankControls[0].forward, 1) << n;
            ASSERT_EQ(TankControls[0].fire, 1) << n;
        } else {
            ASSERT_EQ(TankControls[0].forward, 0) << n;
            ASSERT_EQ(TankControls[0].fire, 0) << n;
        }
        TankStep();
        if (n == 40) firedBefore = me.shotsFired;
        if (n == 130) stopped = Pos(me.world);  // it coasts on a little, then stands
    }
    EXPECT_GT(firedBefore, 0u);
    EXPECT_EQ(me.shotsFired, firedBefore);                 // no shot after it was pulled out
    EXPECT_GT(PointDistance(start, stopped), 1.0f);        // it drove
    EXPECT_FLOAT_EQ(me.forwardSpeed, 0.0f);                // and came to a stop
    EXPECT_LT(PointDistance(stopped, Pos(me.world)), 1e-4f);
}

// A stick inside its dead zone does nothing; past it, the left stick drives
// as W A S D do and the right stick aims at the mouse's largest step (2
// degrees a step for a tank's turret, 0.6 for its gun, 2.6 for a robot's
// torso) scaled by how far past; up raises the gun.  With the mouse it
// turns no faster than either alone.
TEST_F(Battle, TheSticksDoNothingInsideTheirDeadZonesAndScaleTheAimPastThem)
{
    EarthCount = MercuryCount = 1;
    BattleInit();
    Script("1 padconnect\n"
           "2 padaxis LEFTY 7849\n2 padaxis LEFTX -7849\n2 padaxis RIGHTX 8689\n2 padaxis RIGHTY -8689\n"
           "3 padaxis LEFTY 7850\n3 padaxis LEFTX -7850\n"
           "4 padaxis LEFTY -7850\n4 padaxis LEFTX 7850\n4 padaxis RIGHTX 32767\n4 padaxis RIGHTY 32767\n"
           "5 padaxis RIGHTX -20728\n5 padaxis RIGHTY -20728\n"
           "6 padaxis RIGHTX 32767\n6 move 480 300\n");
    TankUnit& me = Tanks[0];
    auto step = [](uint32_t n) {
        sys::ApplyScriptStep(n);
        TankPlayerControl();
    };
    step(1);
    const float yaw = me.turretYaw, pitch = me.gunPitch;
    step(2);
    const ControlFlags& f = TankControls[0];
    EXPECT_EQ(f.forward + f.backward + f.turnLeft + f.turnRight, 0);
    EXPECT_FLOAT_EQ(me.turretYaw, yaw);
    EXPECT_FLOAT_EQ(me.gunPitch, pitch);
    step(3);
    EXPECT_EQ(f.forward, 1);
    EXPECT_EQ(f.turnLeft, 1);
    EXPECT_EQ(f.backward + f.turnRight, 0);
    step(4);
    EXPECT_EQ(f.backward, 1);
    EXPECT_EQ(f.turnRight, 1);
    EXPECT_EQ(f.forward + f.turnLeft, 0);
    EXPECT_FLOAT_EQ(me.turretYaw, yaw + 2.0f);      // all the way right
    EXPECT_FLOAT_EQ(me.gunPitch, pitch - 0.6f);     // all the way up: the gun rises
    step(5);                                        // half way past the dead zone, left and down
    EXPECT_FLOAT_EQ(me.turretYaw, yaw + 1.0f);
    EXPECT_FLOAT_EQ(me.gunPitch, pitch - 0.3f);
    step(6);                                        // the stick and the mouse both right
    EXPECT_FLOAT_EQ(me.turretYaw, yaw + 3.0f);

    PlayerSide = 1;
    BattleInit();
    // Pulled out and in again: the tank's sticks let go.
    Script("1 paddisconnect\n1 padconnect\n2 padaxis RIGHTX -32768\n3 padaxis RIGHTX -8000\n"
           "3 padaxis RIGHTY 20728\n");
    RobotUnit& robot = Robots[0];
    sys::ApplyScriptStep(1);
    RobotPlayerControl();
    const float aim = robot.aimYaw, aimPitch = robot.aimPitch;
    sys::ApplyScriptStep(2);
    RobotPlayerControl();
    EXPECT_FLOAT_EQ(robot.aimYaw, aim - 2.6f);
    EXPECT_FLOAT_EQ(robot.aimPitch, aimPitch);
    sys::ApplyScriptStep(3);
    RobotPlayerControl();
    EXPECT_FLOAT_EQ(robot.aimYaw, aim - 2.6f);  // inside the right dead zone
    EXPECT_FLOAT_EQ(robot.aimPitch, aimPitch - 0.3f);
}

// The pad's Start pauses and resumes once per press, as Escape does; the
// trigger held through the pause does not fire until pulled again; the
// d-pad walks the pause menu from RESUME, A presses the entry lit, B
// resumes.
TEST_F(Battle, ThePadPausesWalksThePauseMenuAndHoldsFireThroughIt)
{
    EarthCount = MercuryCount = 1;
    BattleInit();
    Script("1 padconnect\n3 padaxis RIGHTTRIGGER 255\n"
           "5 paddown START\n9 padup START\n"        // paused, the trigger held
           "12 paddown START\n13 padup START\n"      // resumed, the trigger still held
           "16 padaxis RIGHTTRIGGER 0\n18 padaxis RIGHTTRIGGER 31\n"
           "20 paddown START\n21 padup START\n"
           "23 paddown DPADDOWN\n24 padup DPADDOWN\n"  // RESUME lit
           "25 paddown DPADDOWN\n26 padup DPADDOWN\n"  // TITLE
           "27 paddown DPADUP\n28 padup DPADUP\n"      // RESUME again
           "29 paddown A\n31 padup A\n"                // pressed and released: resumed
           "34 paddown START\n35 padup START\n"
           "37 paddown B\n38 padup B\n");              // resumed by B
    sys::SetVirtualTime(0);
    std::vector<int> pausedAt, fireAt, hoverAt;
    for (int k = 0; k < 40; ++k) {
        sys::LoopPass();
        BattleFrame();
        pausedAt.push_back(paused);
        fireAt.push_back(TankControls[0].fire);
        hoverAt.push_back(pauseHover[0] ? 0 : pauseHover[1] ? 1 : pauseHover[2] ? 2 : -1);
    }
    ASSERT_EQ(StepsRun(), 40u);
    auto at = [](const std::vector<int>& v, int step) { return v[step - 1]; };
    EXPECT_EQ(at(fireAt, 3), 1);
    EXPECT_EQ(at(pausedAt, 5), 1);
    EXPECT_EQ(at(pausedAt, 8), 1);  // held Start toggled once
    EXPECT_EQ(at(pausedAt, 12), 0);
    EXPECT_EQ(at(fireAt, 12), 0);   // held through the pause: no fire
    EXPECT_EQ(at(fireAt, 15), 0);
    EXPECT_EQ(at(fireAt, 18), 1);   // pulled again, past the threshold
    EXPECT_EQ(at(pausedAt, 20), 1);
    EXPECT_EQ(at(hoverAt, 22), -1);
    EXPECT_EQ(at(hoverAt, 23), 0);
    EXPECT_EQ(at(hoverAt, 25), 1);
    EXPECT_EQ(at(hoverAt, 27), 0);
    EXPECT_EQ(at(pausedAt, 30), 1);  // A held: not yet
    EXPECT_EQ(at(pausedAt, 31), 0);  // released over RESUME
    EXPECT_EQ(at(pausedAt, 34), 1);
    EXPECT_EQ(at(pausedAt, 36), 1);
    EXPECT_EQ(at(pausedAt, 37), 0);
    EXPECT_EQ(SceneProc, BattleFrame);
}

TEST_F(Battle, TheRobotLocksOnToTheFirstTankInItsSight)
{
    PlayerSide = 1;
    EarthCount = 3;
    BattleInit();
    // Two tanks straight ahead of robot 0, one behind it.
    Robots[0].World() = Robots[0].partWorld[2] = MatTranslation(100, 2, 100);
    Tanks[0].world = MatTranslation(100, 8, 20);  // behind: off the screen
    Tanks[1].world = MatTranslation(100, 8, 150);
    Tanks[2].world = MatTranslation(100, 8, 160);
    // The robot locks through its own sight, not the window's view: here
    // the camera looks back at the tank behind it, on a wider screen.
    ViewMatrix = MatLookAtLH({100, 4.6f, 105}, {100, 3.8f, 90}, {0, 1, 0});
    ProjectionMatrix = MatPerspectiveFovLH(kFieldOfView, 2.0f, 0.1f, 12000);
    sys::SetCursorPos(400, 300);
    RobotPlayerControl();
    EXPECT_EQ(lockOnShown, 1);
    EXPECT_EQ(Robots[0].lockedOn, 1);
    EXPECT_EQ(Robots[0].lockTarget, 1);
    // Every tank driven out of reach: no lock, and no box says otherwise.
    for (int i = 0; i < 3; ++i) Tanks[i].world = MatTranslation(100, 8, 400.0f + 10 * i);
    RobotPlayerControl();
    EXPECT_EQ(Robots[0].lockedOn, 0);
    EXPECT_EQ(lockOnShown, 0);
    // Locked again, then the tank is destroyed: the box goes with it.
    Tanks[1].world = MatTranslation(100, 8, 150);
    RobotPlayerControl();
    ASSERT_EQ(Robots[0].lockedOn, 1);
    Tanks[1].alive = 0;
    Tanks[2].world = MatTranslation(100, 8, 400);
    RobotPlayerControl();
    EXPECT_EQ(lockOnShown, 0);
}

TEST_F(Battle, EscapeTogglesThePauseOnceAndTheClockStandsStill)
{
    // The cursor shows while the pause menu is up and only then.
    auto cursorShown = [] {
        int shown = sys::ShowCursor(true) > 0;
        sys::ShowCursor(false);
        return shown;
    };
    BattleInit();
    Script("3 keydown ESCAPE\n10 keyup ESCAPE\n20 keydown ESCAPE\n21 keyup ESCAPE\n");
    sys::SetVirtualTime(0);
    int32_t clockAtPause = 0;
    for (int k = 0; k < 30; ++k) {
        sys::LoopPass();
        BattleFrame();
        if (StepsRun() == 3) clockAtPause = BattleClock;
        if (StepsRun() == 2) {
            EXPECT_FALSE(cursorShown());
        }
        if (StepsRun() == 15) {
            EXPECT_EQ(paused, 1);  // held Escape toggled only once
            EXPECT_EQ(BattleClock, clockAtPause);
            EXPECT_TRUE(cursorShown());
        }
    }
    EXPECT_EQ(paused, 0);
    EXPECT_FALSE(cursorShown());
}

TEST_F(Battle, TheClockLosesATickEachStepFromTheFirstAndFpsCountsSteps)
{
    fps = 40;  // left from a battle before
    BattleInit();
    ResetBattleFrame();
    EXPECT_EQ(fps, 0);
    int32_t start = BattleClock;
    for (int k = 0; k < 130; ++k) {
        sys::SetVirtualTime(static_cast<uint32_t>(k * 16 + 16));
        BattleFrame();
    }
    EXPECT_GE(fps, 61);
    EXPECT_LE(fps, 63);
    EXPECT_EQ(start - BattleClock, 130);
}

// A slow renderer costs drawn frames, not game time: steps run on a 16 ms
// schedule, the ones owed are run without drawing (at most four steps a
// drawn frame), and step for step the battle is the one a fast renderer
// plays.  Nor does the view: the camera moving on to other units (Z) leaves
// the battle as it was.  The two sides stand 40 apart from the first step,
// so shells, flames, ice and missiles fly and blast and smoke in view.
TEST_F(Battle, WhatIsDrawnAndWhereTheCameraLooksNeverChangeTheBattle)
{
    const std::string log = MakeTempDir() + "/hashes.txt";
    struct Run {
        std::vector<std::string> hashes;
        uint64_t drawn;
        uint32_t skipped, time;
        uint64_t fired;
    };
    auto play = [&](uint32_t drawCost, bool demo, const char* keys) {
        sys::SetVirtualTime(0);
        BattleClock = 30 * 3600;
        PlayerSide = demo ? 1 : 0;
        TankTypeId = 1;  // TIGER: shells, then flames
        RobotTypeId = 102;
        DemoPlayer = demo;
        ResetUnitRecords();
        BattleInit();
        Srand(5);
        for (int i = 0; i < EarthCount; ++i) Tanks[i].world = MatTranslation(480.0f + 12 * i, 0, 480);
        for (int i = 0; i < MercuryCount; ++i)
            Robots[i].World() = MatRotationY(180 * kDegToRad) * MatTranslation(480.0f + 12 * i, 0, 520);
        // The computer's robot 0 starts as a wreck: the alert and its
        // banner shake on the screen while it burns.
        if (demo) Robots[0].hp = 0;
        ResetSteps();
        ResetPlayerControl();
        Script(keys);
        std::string error;
        EXPECT_TRUE(OpenStateHashLog(log, &error)) << error;
        sys::SetVirtualDrawCost(drawCost);
        uint64_t drawnBefore = gfx::FramesPresented(), firedBefore = Shots.fired;
        SceneProc = BattleFrame;
        EXPECT_EQ(RunMessageLoop(400), 0);
        sys::SetVirtualDrawCost(0);
        EXPECT_TRUE(CloseStateHashLog(&error)) << error;
        DemoPlayer = false;
        Run r{{}, gfx::FramesPresented() - drawnBefore, SkippedDraws(), sys::TimeGetTime(), Shots.fired - firedBefore};
        std::istringstream in(ReadFile(log));
        for (std::string line; std::getline(in, line);) r.hashes.push_back(line);
        return r;
    };
    // The player fires the main gun, switches to the flames and fires
    // them, and moves the camera on now and then.
    const char* fighting = "2 buttondown left\n60 buttonup left\n61 buttondown right\n62 buttonup right\n"
                           "150 buttondown left\n100 keydown Z\n101 keyup Z\n250 keydown Z\n251 keyup Z\n"
                           "399 buttonup left\n";
    const char* noView = "2 buttondown left\n60 buttonup left\n61 buttondown right\n62 buttonup right\n"
                         "150 buttondown left\n399 buttonup left\n";
    Run fast = play(0, false, noView), slow = play(30, false, fighting), slowest = play(150, false, fighting);
    EXPECT_EQ(fast.drawn, 400u);
    EXPECT_EQ(fast.skipped, 0u);
    // Drawing takes 30 ms more than a step: about one step in three draws,
    // and 400 steps still take 400 x 16 ms, give or take one frame.
    EXPECT_NEAR(static_cast<double>(slow.drawn), 400.0 * 16 / 46, 8.0);
    EXPECT_EQ(slow.drawn + slow.skipped, 400u);
    EXPECT_NEAR(slow.time, 400 * 16, 46);
    // Far too slow: every fourth step draws, and the game slows down.
    EXPECT_EQ(slowest.drawn, 100u);
    EXPECT_EQ(slowest.skipped, 300u);
    EXPECT_GT(slowest.time, 400u * 16 * 2);
    // The battle was fought, and every step of it was the same in all three.
    EXPECT_GT(fast.fired, 20u);
    ASSERT_EQ(fast.hashes.size(), 400u);
    for (size_t k = 0; k < fast.hashes.size(); ++k) {
        ASSERT_EQ(fast.hashes[k], slow.hashes.at(k)) << "the battle parts at this step";
        ASSERT_EQ(fast.hashes[k], slowest.hashes.at(k)) << "the battle parts at this step";
    }
    // The computer drives the player's robot: Z pressed now and then, and
    // drawn one step in three.
    Run watched = play(0, true, ""), switching = play(30, true, "30 keydown Z\n31 keyup Z\n90 keydown Z\n"
                                                                "91 keyup Z\n200 keydown Z\n201 keyup Z\n");
    EXPECT_GT(watched.fired, 20u);
    EXPECT_EQ(watched.hashes, switching.hashes);
}

TEST_F(Battle, SkiesDrawOnlyTheirOwnIdsAndLeaveFogOn)
{
    gfx::Present();
    DrawSky(199);
    DrawSky(209);
    gfx::Present();
    EXPECT_EQ(gfx::LastFrameStats().subsets, 0u);
    // Each of the nine skies, first and last included, draws its own model.
    LoadSkies();
    for (int sky = 200; sky <= 208; ++sky) {
        std::vector<gfx::DrawnCall> calls = DrawCalls([&] { DrawSky(sky); });
        EXPECT_FALSE(calls.empty()) << sky;
        for (const auto& c : calls) EXPECT_EQ(c.mesh, Skies[sky - 200].mesh) << sky;
    }
    ReleaseSkies();
    EXPECT_EQ(gfx::GetRenderState(gfx::RS_FOGENABLE), 1u);
    uint32_t fog;
    EXPECT_FALSE(SkyFogColour(209, &fog));
    EXPECT_TRUE(SkyFogColour(206, &fog));
    EXPECT_EQ(fog, 0xFF2D5064u);
}

TEST_F(Battle, TheGroundIsLitByItsSlopeAndEachCellIsDrawnOnItsFourHeights)
{
    // A plane 30 up, rising 10 every 50 toward +x and 4 toward +z: every
    // point's normal is the plane's, edges and corners included.
    for (int i = 0; i <= 20; ++i)
        for (int j = 0; j <= 20; ++j) HeightGrid[i][j] = 30 + 10.0f * i + 4.0f * j;
    ComputeGroundNormals();
    const Vec3 plane = Vec3Normalize({-5, 25, -2});
    for (int i = 0; i <= 20; ++i)
        for (int j = 0; j <= 20; ++j) {
            EXPECT_NEAR(GroundNormals[i][j].x, plane.x, 1e-4) << i << "," << j;
            EXPECT_NEAR(GroundNormals[i][j].y, plane.y, 1e-4) << i << "," << j;
            EXPECT_NEAR(GroundNormals[i][j].z, plane.z, 1e-4) << i << "," << j;
        }
    // Everything in view; the device left in another vertex format.
    BuildViewFrustum(&BattleFrustum, MatLookAtLH({500, 3000, -2000}, {500, 0, 500}, {0, 1, 0}), 90.0f, 1.0f,
                     0.1f, 10000.0f);
    gfx::SetFVF(gfx::FVF_XYZ | gfx::FVF_DIFFUSE);
    std::vector<gfx::DrawnCall> calls = DrawCalls([&] { DrawMap(MapDrawPlain); });
    ASSERT_EQ(calls.size(), 400u);
    for (const auto& c : calls) {
        int i = static_cast<int>(std::lround(c.firstVertex.x / 50)), j = static_cast<int>(std::lround(c.firstVertex.z / 50));
        ASSERT_TRUE(i >= 0 && i < 20 && j >= 0 && j < 20);
        EXPECT_NEAR(c.firstVertex.y, HeightGrid[i][j], 1e-3);
        EXPECT_EQ(c.firstColour, 0xFFFFFFFFu);
        // The fan's last corner: one cell along x.
        EXPECT_NEAR(c.lastVertex.x, (i + 1) * 50.0f, 1e-3);
        EXPECT_NEAR(c.lastVertex.y, HeightGrid[i + 1][j], 1e-3);
        EXPECT_NEAR(c.lastVertex.z, j * 50.0f, 1e-3);
    }
    // In battle, the cells within 150 of the camera take the shadows.
    CreateShadowResources(1024);
    ASSERT_NE(ShadowEffect, nullptr);
    CameraEye = {500, 20, 500};
    calls.clear();
    gfx::RecordDraws(&calls);
    DrawMap(MapDrawBattle);
    gfx::RecordDraws(nullptr);
    int nearCells = 0, shadowed = 0;
    for (int i = 0; i < 20; ++i)
        for (int j = 0; j < 20; ++j) nearCells += PointDistance(CameraEye, {i * 50.0f, 0, j * 50.0f}) <= 150.0f;
    for (const auto& c : calls) {
        if (c.effect) {
            ++shadowed;
            continue;
        }
        Vec3 corner{c.firstVertex.x, 0, c.firstVertex.z};
        EXPECT_GT(PointDistance(CameraEye, corner), 150.0f) << corner.x << "," << corner.z;
    }
    EXPECT_GT(nearCells, 4);
    EXPECT_EQ(shadowed, nearCells);
}

TEST_F(Battle, TheMountainMapHasItsFlatCornersAndRandomHeights)
{
    // Heights and normals left from an earlier map must not show through.
    for (auto& row : HeightGrid)
        for (float& h : row) h = -50;
    for (auto& row : GroundNormals)
        for (Vec3& n : row) n = {0, -1, 0};
    SetFixedSeed(true, 77);
    LoadMap();
    SetFixedSeed(false, 0);
    for (int i = 1; i <= 4; ++i)
        for (int j = 1; j <= 4; ++j) {
            EXPECT_EQ(HeightGrid[i][j], 0);
            EXPECT_EQ(HeightGrid[i + 15][j + 15], 0);
        }
    float highest = 0;
    for (auto& row : HeightGrid)
        for (float h : row) {
            EXPECT_GE(h, 0);
            EXPECT_LE(h, 1499 / 130.0f);
            highest = std::max(highest, h);
        }
    EXPECT_GT(highest, 5);
    for (auto& row : GroundNormals)
        for (const Vec3& n : row) EXPECT_GT(n.y, 0);
    EXPECT_NE(StageCollision.mesh, nullptr);
    EXPECT_EQ(gfx::MeshFVF(StageCollision.mesh), gfx::FVF_XYZ | gfx::FVF_NORMAL | gfx::FVF_TEX1);
    EXPECT_FLOAT_EQ(StageWorld.m[0][0], 100);
    EXPECT_FLOAT_EQ(StageWorld.m[3][1], -0.8f);
    ReleaseMap();
    ReleaseMap();
}

TEST_F(Battle, ASlopeJustOverOneDegreeOvershootsOnceAndRollFollowsTheSideSlope)
{
    EarthCount = 1;
    SetTankKind(Tanks[0], 2);
    SpawnTank(0);
    auto angleOf = [](Vec3 local) {
        Vec3 f = Vec3Normalize(Vec3TransformNormal(local, Tanks[0].world));
        return std::asin(f.y) * kRadToDeg;
    };
    // Rising 1.1 degrees toward -z, the way the tank faces.
    float rise = 50.0f * std::tan(1.1f * kDegToRad);
    for (int i = 0; i <= 20; ++i)
        for (int j = 0; j <= 20; ++j) HeightGrid[i][j] = (20 - j) * rise;
    float ground;
    ASSERT_TRUE(GroundHeight(925, 0, 925, &ground));
    Tanks[0].world.m[3][1] = ground + 0.72f;
    FollowGroundTanks();
    EXPECT_NEAR(angleOf({0, 0, 1}), 1.2f, 0.02f);  // more than 1 degree apart: 1.2
    FollowGroundTanks();
    EXPECT_NEAR(angleOf({0, 0, 1}), 1.1f, 0.02f);  // back by the 0.1 overshoot
    // Falling 1.1 degrees the way it faces: the same, nose down.
    for (int i = 0; i <= 20; ++i)
        for (int j = 0; j <= 20; ++j) HeightGrid[i][j] = j * rise;
    SpawnTank(0);
    ASSERT_TRUE(GroundHeight(925, 0, 925, &ground));
    Tanks[0].world.m[3][1] = ground + 0.72f;
    FollowGroundTanks();
    EXPECT_NEAR(angleOf({0, 0, 1}), -1.2f, 0.02f);
    FollowGroundTanks();
    EXPECT_NEAR(angleOf({0, 0, 1}), -1.1f, 0.02f);

    // A side slope: the ground rises toward +x, the tank's left.
    for (int i = 0; i <= 20; ++i)
        for (int j = 0; j <= 20; ++j) HeightGrid[i][j] = i * 10.0f;
    SpawnTank(0);
    ASSERT_TRUE(GroundHeight(925, 0, 925, &ground));
    Tanks[0].world.m[3][1] = ground + 0.72f;
    FollowGroundTanks();
    // Its left side (+x) rises with the ground, its right side (-x) dips.
    const float left = Vec3TransformNormal({1, 0, 0}, Tanks[0].world).x > 0 ? 1.0f : -1.0f;
    EXPECT_NEAR(angleOf({1, 0, 0}) * left, 1.2f, 0.02f);
    for (int k = 0; k < 20; ++k) FollowGroundTanks();
    EXPECT_NEAR(angleOf({1, 0, 0}) * left, std::atan(0.2f) * kRadToDeg, 0.5f);
    EXPECT_NEAR(angleOf({0, 0, 1}), 0.0f, 0.5f);  // no pitch on a side slope
}

TEST_F(Battle, TheCameraSitsBehindAndAboveTheViewedUnitByKind)
{
    EarthCount = 1;
    BattleInit();
    TankUnit& t = Tanks[0];
    t.world = t.turretWorld = MatTranslation(100, 0, 100);
    struct Case { int kind; int alive; Vec3 eye; };
    for (Case c : {Case{2, 1, {100, 2.25f, 93.65f}}, Case{1, 1, {100, 2.7f, 93.65f}},
                   Case{5, 1, {100, 2.65f, 93.65f}}, Case{2, 0, {100, 3.65f, 92.0f}}}) {
        SetTankKind(t, c.kind);
        t.alive = c.alive;
        PlaceChaseCamera();
        EXPECT_NEAR(CameraEye.x, c.eye.x, 1e-3) << c.kind;
        EXPECT_NEAR(CameraEye.y, c.eye.y, 1e-3) << c.kind;
        EXPECT_NEAR(CameraEye.z, c.eye.z, 1e-3) << c.kind;
        EXPECT_NEAR(CameraLookAt.y, 1.2f, 1e-3);
    }
    t.alive = 1;
    SetTankKind(t, 2);
    t.weapon = 1;
    PlaceChaseCamera();
    EXPECT_EQ(crosshairKind, Crosshair::MachineGun);
    // The camera swings with the turret and rises as the gun dips: it stays
    // as far from the turret, behind it.
    t.turretYaw = 90;
    t.gunPitch = 10;
    PlaceChaseCamera();
    Vec3 eye = CameraEye - Vec3{100, 0, 100};
    EXPECT_NEAR(Vec3Length(eye), Vec3Length({0, 2.25f, -6.35f}), 1e-3);
    EXPECT_LT(eye.x, -5);  // behind a turret facing +x
    EXPECT_GT(eye.y, 2.25f);  // above where a level gun would put it
    t.turretYaw = t.gunPitch = 0;

    PlayerSide = 1;
    MercuryCount = 1;
    BattleInit();
    RobotUnit& r = Robots[0];
    SetRobotKind(r, 101);
    r.World() = r.partWorld[2] = MatTranslation(50, 0, 50);
    PlaceChaseCamera();
    EXPECT_NEAR(CameraEye.y, 2.6f, 1e-3);
    EXPECT_NEAR(CameraEye.z, 45.0f, 1e-3);
    EXPECT_NEAR(CameraLookAt.y, 1.8f, 1e-3);
    EXPECT_EQ(crosshairKind, Crosshair::RobotGun);
    // Backed against an edge, facing into the field: the camera stands just
    // inside the border wall, not outside it, whichever edge.
    struct Edge { Mat4 at; } edges[] = {
        {MatRotationY(90 * kDegToRad) * MatTranslation(1, 0, 500)},
        {MatRotationY(-90 * kDegToRad) * MatTranslation(999, 0, 500)},
        {MatTranslation(500, 0, 2)},
        {MatRotationY(180 * kDegToRad) * MatTranslation(500, 0, 998)},
    };
    for (const Edge& e : edges) {
        for (Mat4& m : r.partWorld) m = e.at;
        r.aimYaw = 0;
        PlaceChaseCamera();
        EXPECT_GT(CameraEye.x, 0);
        EXPECT_LT(CameraEye.x, kFieldSize);
        EXPECT_GT(CameraEye.z, 0);
        EXPECT_LT(CameraEye.z, kFieldSize);
    }
}

TEST_F(Battle, AFrameFollowsThePlayerAndDrawsEveryUnitWhereItStandsInsideTheRedWalls)
{
    EarthCount = MercuryCount = 2;
    BattleInit();
    // The player's tank far from where set-up put it, the others ahead of
    // it, and a tank record past the count left over from a bigger battle.
    auto place = [](Mat4* m, float x, float z) { *m = MatTranslation(x, 0.72f, z); };
    place(&Tanks[0].world, 500, 500);
    place(&Tanks[1].world, 490, 540);
    SetTankKind(Tanks[2], kTankAbrams);
    place(&Tanks[2].world, 520, 530);
    Tanks[2].atBorder = 1;
    for (int i = 0; i < 3; ++i) Tanks[i].turretWorld = Tanks[i].world;
    for (int j = 0; j < 2; ++j)
        for (Mat4& m : Robots[j].partWorld) place(&m, 510.0f - 30 * j, 560.0f + 20 * j);
    SpawnGroundDust(500, 1, 530, 200, 5);  // point sprites in view
    std::vector<gfx::DrawnCall> calls;
    gfx::RecordDraws(&calls);
    sys::SetVirtualTime(16);
    BattleFrame();
    gfx::RecordDraws(nullptr);

    // The camera came along: behind the player's tank and above it.
    EXPECT_NEAR(CameraEye.x, 500, 1);
    EXPECT_NEAR(CameraEye.z, 500 - 6.35f, 1);
    EXPECT_GT(CameraEye.y, 1);
    auto meshesNear = [&](Vec3 at) {
        int n = 0;
        for (const auto& c : calls)
            n += (c.mesh || c.texture == StopTexture) && PointDistance(Position(c.world), at) < 4;
        return n;
    };
    EXPECT_GT(meshesNear(Position(Tanks[0].world)), 0);
    EXPECT_GT(meshesNear(Position(Tanks[1].world)), 0);
    EXPECT_GT(meshesNear(Position(Robots[0].World())), 0);
    EXPECT_GT(meshesNear(Position(Robots[1].World())), 0);
    EXPECT_EQ(meshesNear({520, 0.72f, 530}), 0) << "a tank past the count was drawn";
    // Each hull is drawn by its own world.
    for (int i = 0; i < 2; ++i) {
        bool hull = false;
        for (const auto& c : calls) hull |= c.mesh && std::memcmp(&c.world, &Tanks[i].world, sizeof(Mat4)) == 0;
        EXPECT_TRUE(hull) << i;
    }
    // Four translucent red walls standing on the field's four edges.
    int walls = 0;
    for (const auto& c : calls) {
        if (c.mesh || c.firstColour != 0x50FF0000u) continue;
        ++walls;
        EXPECT_EQ(c.texture, BitTexture);
        EXPECT_EQ(c.primitives, 2u);
        EXPECT_TRUE(c.alphaBlend);
        Vec3 v = c.firstVertex;
        EXPECT_TRUE(v.x == 0 || v.x == kFieldSize || v.z == 0 || v.z == kFieldSize) << v.x << ", " << v.z;
        EXPECT_GE(v.y, 16);
    }
    EXPECT_EQ(walls, 4);
    // The dust goes out as point sprites.
    int points = 0;
    for (const auto& c : calls) points += c.type == gfx::PT_POINTLIST;
    EXPECT_GT(points, 0);
}

TEST_F(Battle, ARunningBattleAllocatesNothing)
{
    // The whole loop as the game runs it: scene gate, battle frame with every
    // pass, sound pump and screenshot check, 16 a side, both sides driven,
    // then paused and the scoreboard held; then a pad plugged in, its
    // trigger, shoulder, Start and d-pad, and pulled out.
    InitSound(true, "");
    LoadMap();
    CreateFonts();
    CreateShadowResources(1024);
    DemoPlayer = true;
    EarthCount = MercuryCount = 16;
    Script("30 keydown W\n40 move 500 250\n60 buttondown left\n90 keydown TAB\n"
           "120 keydown P\n150 keydown ESCAPE\n151 keyup ESCAPE\n200 keydown ESCAPE\n201 keyup ESCAPE\n"
           "210 padconnect\n220 padaxis RIGHTTRIGGER 255\n221 paddown RIGHTSHOULDER\n222 padup RIGHTSHOULDER\n"
           "230 paddown START\n231 padup START\n240 paddown DPADDOWN\n241 padup DPADDOWN\n"
           "250 paddown START\n251 padup START\n260 paddisconnect\n");
    ResetSteps();
    SceneProc = BattleInit;
    ASSERT_EQ(RunMessageLoop(2), 0);
    ASSERT_EQ(SceneProc, BattleFrame);
    uint64_t before = HeapAllocationsOnThisThread();
    ASSERT_EQ(RunMessageLoop(400), 0);
    EXPECT_EQ(HeapAllocationsOnThisThread() - before, 0u) << "allocations over 398 battle frames";
    EXPECT_EQ(StepsRun(), 400u);
    DemoPlayer = false;
    ReleaseSounds();
    ReleaseMap();
    ShutdownSound();
}

TEST_F(Battle, TheReportNamesKindsAndNeverShowsANegativeClock)
{
    RegisterBattleReport();
    PlayerSide = 1;
    RobotTypeId = 102;
    EarthCount = 3;
    MercuryCount = 5;
    SkyId = 207;
    BattleMinutes = 45;
    BattleInit();
    sys::SetVirtualTime(16);
    BattleFrame();
    BattleClock = 0;  // the last tick: the step runs the clock out
    sys::SetVirtualTime(32);
    BattleFrame();
    ASSERT_EQ(BattleClock, -1);
    BattleClock = 30 * 3600;  // the title sets the menus' clock again
    std::string json = BuildReport();
    EXPECT_NE(json.find("\"clock\":0,"), std::string::npos) << json;  // the battle's, not the menus'
    EXPECT_EQ(json.find("\"clock\":108000"), std::string::npos);
    // The settings the battle was started with, each under its own name.
    std::string settings = JsonObject(json, "settings");
    EXPECT_EQ(JsonString(settings, "side"), "mercury") << settings;
    EXPECT_EQ(JsonNumber(settings, "robot_type"), 102) << settings;
    EXPECT_EQ(JsonNumber(settings, "earth_count"), 3) << settings;
    EXPECT_EQ(JsonNumber(settings, "mercury_count"), 5) << settings;
    EXPECT_EQ(JsonNumber(settings, "sky"), 207) << settings;
    EXPECT_EQ(JsonNumber(settings, "minutes"), 45) << settings;
    EXPECT_NE(json.find("\"name\":\"Player\",\"kind\":102,\"kind_name\":\"R-NO.15\""), std::string::npos) << json;
    // Each unit where it stands.
    std::string units = JsonArray(json, "units");
    size_t at = units.find("\"slot\":2,");
    at = units.find("\"slot\":2,", units.find("mercury"));
    ASSERT_NE(at, std::string::npos) << units;
    std::string unit = units.substr(at, units.find('}', at) - at);
    EXPECT_NEAR(JsonNumber(unit, "x"), Robots[2].World().m[3][0], 1e-2) << unit;
    EXPECT_NEAR(JsonNumber(unit, "z"), Robots[2].World().m[3][2], 1e-2) << unit;
    PlayerSide = 0;
    BattleInit();
    sys::SetVirtualTime(32);
    BattleFrame();
    json = BuildReport();
    EXPECT_NE(json.find("\"name\":\"Player\",\"kind\":2,\"kind_name\":\"ABRAMS\""), std::string::npos) << json;
    struct Case { int kind; const char* name; } cases[] = {
        {1, "TIGER"}, {9, "M730A"}, {101, "D-ED.10"}, {104, "R-NO.13"}, {0, "?"}, {10, "?"}, {105, "?"}};
    for (const Case& c : cases) EXPECT_STREQ(UnitKindName(c.kind), c.name) << c.kind;
}

// A button held through the pause does not fire when the battle resumes: the
// control waits for it to be released and pressed again.
TEST_F(Battle, AButtonHeldThroughThePauseDoesNotFireOnResuming)
{
    BattleInit();
    Script("3 keydown ESCAPE\n4 keyup ESCAPE\n6 buttondown left\n10 keydown ESCAPE\n11 keyup ESCAPE\n"
           "20 buttonup left\n22 buttondown left\n");
    sys::SetVirtualTime(0);
    for (int k = 0; k < 30 && StepsRun() < 25; ++k) {
        sys::LoopPass();
        BattleFrame();
        if (StepsRun() == 8) {
            EXPECT_EQ(paused, 1);
        }
        if (StepsRun() >= 11 && StepsRun() < 20) {
            EXPECT_EQ(paused, 0);
            EXPECT_EQ(TankControls[0].fire, 0) << "step " << StepsRun();
        }
        if (StepsRun() >= 22) {
            EXPECT_EQ(TankControls[0].fire, 1) << "step " << StepsRun();
        }
    }
    EXPECT_GE(StepsRun(), 22u);
}

// When the clock runs out the player's keys are no longer read, and what was
// held then is let go: the player's unit does not drive on or fire through
// the end phase.
TEST_F(Battle, TheEndPhaseLetsGoOfThePlayersKeys)
{
    BattleInit();
    Script("1 keydown W\n1 buttondown left\n");
    sys::SetVirtualTime(0);
    for (int k = 0; k < 40 && StepsRun() < 5; ++k) {
        sys::LoopPass();
        BattleFrame();
    }
    ASSERT_EQ(TankControls[0].forward, 1);
    ASSERT_EQ(TankControls[0].fire, 1);
    BattleClock = 0;
    for (int k = 0; k < 80 && StepsRun() < 40; ++k) {
        sys::LoopPass();
        BattleFrame();
        EXPECT_EQ(TankControls[0].forward, 0) << "step " << StepsRun();
        EXPECT_EQ(TankControls[0].fire, 0) << "step " << StepsRun();
    }
    EXPECT_GT(endCounter, 30);
    EXPECT_EQ(Tanks[0].forwardSpeed, 0.0f) << "it coasts to a stop";
}

// Every weapon of every fighting tank meets a wall 20 ahead: no shell,
// bullet or flame is ever found past it, whatever its speed, and each is
// done with (burst, or bounced and burnt out) within a few seconds.
TEST_F(Battle, EveryTanksShotsStopAtAWall)
{
    constexpr float kWallZ = 500;
    EarthCount = 1;
    MercuryCount = 0;
    for (int kind = kFirstTankKind; kind <= kLastTankKind; ++kind) {
        if (!TankKindCanFight(kind)) continue;
        LoadTankModels(kind);
        for (int weapon : {kWeaponMainGun, kWeaponSecond})
            for (int start = 0; start < 8; ++start) {  // from eight places a fraction of a step apart
                const float ahead = 20 + 0.29f * start;
                SCOPED_TRACE(std::string(TankKindName(kind)) + (weapon ? " second weapon" : " main gun") + " from " +
                             std::to_string(ahead));
                ResetUnitRecords();
                SetTankKind(Tanks[0], kind);
                SpawnTank(0);
                Tanks[0].world = MatTranslation(500, 5, kWallZ - ahead - 2);  // facing +z, the ground far below
                BuildWall(kWallZ);
                const TankKind& row = *Tanks[0].row;
                row.fire(Tanks[0], MatTranslation(500, 5.5f, kWallZ - ahead), weapon);
                float furthest = 0;
                int live = 0;
                for (int step = 0; step < 300; ++step) {
                    row.updateShots(Tanks[0], 0);
                    live = 0;
                    auto look = [&](const auto& table) {
                        for (const Projectile& p : table)
                            if (p.state != kShotFree) {
                                ++live;
                                furthest = std::max(furthest, p.world.m[3][2]);
                            }
                    };
                    look(Tanks[0].shells);
                    look(Tanks[0].bullets);
                }
                EXPECT_GT(furthest, kWallZ - ahead);  // it flew
                EXPECT_LE(furthest, kWallZ) << "a shot went through the wall";
                EXPECT_EQ(live, 0);
            }
    }
}

// What faces the camera faces it wherever the camera looks: a sheet or a
// sign's face (its local +z) lies along the line of sight, level, looking
// down steeply or up, to every side.
TEST_F(Battle, CameraFacingTurnsAQuadOntoTheLineOfSight)
{
    for (Vec3 look : {Vec3{0, 0, 1}, Vec3{1, 0, 0}, Vec3{-0.6f, -0.5f, 0.3f}, Vec3{0.2f, 0.7f, -0.9f},
                      Vec3{-1, -0.2f, -1}}) {
        CameraEye = {500, 10, 500};
        CameraLookAt = CameraEye + look;
        BuildCameraFacing();
        const Vec3 face = Vec3TransformNormal({0, 0, 1}, CameraFacing), n = Vec3Normalize(look);
        EXPECT_NEAR(face.x, n.x, 1e-4) << look.x << ", " << look.y << ", " << look.z;
        EXPECT_NEAR(face.y, n.y, 1e-4) << look.x << ", " << look.y << ", " << look.z;
        EXPECT_NEAR(face.z, n.z, 1e-4) << look.x << ", " << look.y << ", " << look.z;
    }
}

// Every unit held at the field's edge shows the red sign over it, a tank's
// 2.5 up and a robot's 3 up, the first of each side too; one that is not,
// or is past the counts in use, shows none.
TEST_F(Battle, ASignStandsOverEachUnitHeldAtTheEdge)
{
    EarthCount = MercuryCount = 2;
    BattleInit();
    CameraEye = {500, 20, 400};
    CameraLookAt = {500, 0, 520};
    CameraUp = {0, 1, 0};
    ViewMatrix = MatLookAtLH(CameraEye, CameraLookAt, CameraUp);
    BuildViewFrustum(&BattleFrustum, ViewMatrix, 60.0f, 4.0f / 3.0f, 1.0f, 2000.0f);
    BuildCameraFacing();
    const Vec3 tank0{480, 1, 500}, tank1{500, 1, 500}, robot0{520, 2, 500}, robot1{540, 2, 500};
    Tanks[0].world = MatTranslation(tank0.x, tank0.y, tank0.z);
    Tanks[1].world = MatTranslation(tank1.x, tank1.y, tank1.z);
    Robots[0].World() = MatTranslation(robot0.x, robot0.y, robot0.z);
    Robots[1].World() = MatTranslation(robot1.x, robot1.y, robot1.z);
    Tanks[0].atBorder = Robots[0].atBorder = 1;
    Tanks[1].atBorder = Robots[1].atBorder = 0;
    Tanks[2].atBorder = Robots[2].atBorder = 1;  // past the counts
    std::vector<gfx::DrawnCall> calls = DrawCalls([] { DrawBattleScene(); });
    std::vector<Vec3> signs;
    for (const auto& c : calls)
        if (c.texture == StopTexture) signs.push_back(Position(c.world));
    ASSERT_EQ(signs.size(), 2u);
    EXPECT_NEAR(PointDistance(signs[0], tank0 + Vec3{0, 2.5f, 0}), 0, 1e-3);
    EXPECT_NEAR(PointDistance(signs[1], robot0 + Vec3{0, 3.0f, 0}), 0, 1e-3);
}
