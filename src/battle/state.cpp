#include "battle/state.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "app/options.h"
#include "app/scene.h"
#include "assets/model.h"
#include "assets/sound.h"
#include "battle/frame.h"
#include "effects/particles.h"
#include "motion/ground.h"
#include "motion/robot_side.h"
#include "motion/tank_side.h"
#include "platform/crt_rand.h"
#include "platform/system.h"
#include "world/sky.h"

int32_t PlayerSide = 0;
int32_t TankTypeId = 2;
int32_t RobotTypeId = 101;
int32_t EarthCount = 4;
int32_t MercuryCount = 4;
int32_t BattleMinutes = 30;
int32_t BattleClock = 30 * 3600;
int32_t paused = 0;
int32_t battleResult = 0;
bool DemoPlayer = false;

TankUnit Tanks[kMaxUnits];
RobotUnit Robots[kMaxUnits];
Handling TankHandling[kMaxUnits];
Handling RobotHandling[kMaxUnits];
ControlFlags TankControls[kMaxUnits];
ControlFlags RobotControls[kMaxUnits];
int32_t TankModelLoaded[10];
int32_t RobotModelLoaded[5];

gfx::Texture* StopTexture = nullptr;
gfx::Texture* CharTexture = nullptr;
gfx::Texture* HpTexture = nullptr;
gfx::Texture* RadarTexture = nullptr;
gfx::Texture* BitTexture = nullptr;
gfx::Effect* BattleEffect = nullptr;

namespace {
float R() { return Rand() / 32768.0f; }

// Shown once: a battle that cannot start returns to where it came from
// instead of repeating the message every pass.
bool gEffectMessageShown = false;
}  // namespace

void ResetUnitRecords()
{
    std::memset(Tanks, 0, sizeof Tanks);
    std::memset(Robots, 0, sizeof Robots);
    for (TankUnit& t : Tanks) {
        t.world = t.turretWorld = t.gunWorld = t.mgWorld = MatIdentity();
        for (Projectile& p : t.shells) p.world = MatIdentity();
        for (Projectile& p : t.bullets) p.world = MatIdentity();
    }
    for (RobotUnit& r : Robots) {
        r.world = MatIdentity();
        for (Mat4& m : r.partWorld) m = MatIdentity();
        for (Projectile& p : r.shells) p.world = MatIdentity();
        for (Projectile& p : r.missiles) p.world = MatIdentity();
    }
    std::memset(TankControls, 0, sizeof TankControls);
    std::memset(RobotControls, 0, sizeof RobotControls);
}

void LoadTankModels(int kind)
{
    if (kind < 1 || kind > 9 || TankModelLoaded[kind]) return;
    TankModelLoaded[kind] = 1;
}

void LoadRobotModels(int kind)
{
    if (kind < 101 || kind > 104 || RobotModelLoaded[kind - 100]) return;
    RobotModelLoaded[kind - 100] = 1;
}

void SpawnTank(int slot)
{
    TankUnit& t = Tanks[slot];
    float x = 925.0f - (slot / 4) * 20.0f, z = 925.0f - (slot % 4) * 20.0f;
    t.world = MatRotationY(3.14159265f) * MatTranslation(x, 10, z);
    t.turretWorld = t.gunWorld = t.mgWorld = t.world;
    t.heading = 180;
    t.turnRate = t.turretYaw = t.gunPitch = t.trackTravel = t.forwardSpeed = t.reverseSpeed = 0;
    t.shakeCode = t.shakeTimer = t.engaged = t.weapon = t.mainGunBusy = 0;
    t.hp = 256;
    t.alive = 1;
    for (DebrisLaunch& d : t.debris) {
        d.speed = 1.66f + 1.0000001f * R();
        d.time = 0;
        d.tilt = Rand() % 61 - 30;
        d.heading = Rand() % 360;
    }
    Handling& h = TankHandling[slot];
    if (t.kind == 1) {
        t.secondGunTimer = -90;
        t.secondGunGate = -1;
        h = {0.31f, 0.016f, 1.36f};
        t.boxSize = {1.5f, 0, 2.8f};
    } else if (t.kind == 2) {
        t.secondGunTimer = -120;
        t.secondGunGate = 0;
        h = {0.33f, 0.018f, 0.72f};
        t.boxSize = {1.0f, 0, 2.3f};
    } else {
        h = {0.33f, 0.018f, 1.0f};
        t.boxSize = {1.0f, 0, 2.3f};
    }
}

void SpawnRobot(int slot)
{
    RobotUnit& r = Robots[slot];
    float x = 95.0f + (slot / 4) * 20.0f, z = 95.0f + (slot % 4) * 20.0f;
    r.world = MatTranslation(x, 10, z);
    for (int k = 1; k <= 10; ++k) r.partWorld[k] = r.world;
    r.partWorld[0] = r.world;
    r.aimYaw = r.aimPitch = r.legHeading = r.speed = 0;
    r.shakeCode = r.shakeTimer = r.lockedOn = r.weapon = r.secondShotBusy = 0;
    r.hp = 256;
    r.alive = 1;
    for (int k = 0; k < 3; ++k) {
        DebrisLaunch& d = r.debris[k];
        d.speed = k == 0 ? 1.66f + 1.0000001f * R() : 1.86f + 0.9f * R();
        d.time = 0;
        d.tilt = Rand() % 61 - 30;
        d.heading = Rand() % 360;
    }
    static const float stepLimit[4] = {30, 42, 32, 30}, stepRate[4] = {3, 4.8f, 2.3f, 3};
    static const Handling handling[4] = {{0.3f, 0.12f, 2.2f}, {0.28f, 0.118f, 2.46f},
                                         {0.27f, 0.11f, 2.1f}, {0.35f, 0.12f, 2.3f}};
    int k = r.kind - 101;
    if (k < 0 || k > 3) return;
    r.stepLimit = stepLimit[k];
    r.stepRate = stepRate[k];
    if (r.kind == 101) r.podAngle = 190;
    if (r.kind == 102) r.podAngle = -90, r.podSlide = -0.6f;
    if (r.kind == 103) r.podAngle = -160, r.podSlide = -0.8f;
    RobotHandling[slot] = handling[k];
    r.boxSize = r.kind == 103 ? Vec3{1.8f, 0, 1.8f} : Vec3{1.2f, 0, 1.6f};
}

void BattleInit()
{
    int firstTank = 0, firstRobot = 0;
    // Shots still flying when the last battle ended would fly on into this
    // one and score there.
    FreeAllShots();
    if (PlayerSide == 0) {
        Tanks[0].kind = TankTypeId;
        std::snprintf(Tanks[0].name, sizeof Tanks[0].name, "Player");
        firstTank = 1;
    } else {
        Robots[0].kind = RobotTypeId;
        std::snprintf(Robots[0].name, sizeof Robots[0].name, "Player");
        firstRobot = 1;
    }
    sys::ShowCursor(false);
    sys::SetCursorPos(OptionData.screenWidth / 2, OptionData.screenHeight / 2);
    Srand(sys::TimeGetTime());
    for (int i = firstTank; i < EarthCount; ++i) {
        Tanks[i].kind = Rand() % 2 + 1;
        std::snprintf(Tanks[i].name, sizeof Tanks[i].name, "Tank%02d", i);
    }
    for (int i = firstRobot; i < MercuryCount; ++i) {
        Robots[i].kind = Rand() % 2 + 101;
        std::snprintf(Robots[i].name, sizeof Robots[i].name, "Robot%02d", i);
    }
    for (int i = 0; i < EarthCount; ++i) {
        LoadTankModels(Tanks[i].kind);
        SpawnTank(i);
        NewTankPatrol(i);
        Tanks[i].rankSlot = i + 1;
    }
    for (int i = 0; i < MercuryCount; ++i) {
        LoadRobotModels(Robots[i].kind);
        SpawnRobot(i);
        NewRobotPatrol(i);
        Robots[i].rankSlot = i + 1;
    }
    ReleaseBattleTextures();  // a texture still held from before is not loaded twice
    LoadTexture(&StopTexture, "Map/Stop.bmp", 64, 64, 0xFF000000);
    LoadTexture(&CharTexture, "LAND/Sprite/Char.bmp", 512, 512, 0xFFFF00FF);
    LoadTexture(&HpTexture, "LAND/Sprite/HP.bmp", 512, 512, 0xFFFF00FF);
    LoadTexture(&RadarTexture, "LAND/Sprite/radar.bmp", 512, 512, 0xFFFFFFFF);
    // The 1 x 1 texture of walls and backdrops comes with the title screen;
    // a battle started straight from the command line loads it here.
    LoadTexture(&BitTexture, "Map/Bit.bmp", 1, 1, 0);
    LoadEffectTextures();
    FollowGroundTanks();
    FollowGroundRobots();
    gfx::SetRenderState(gfx::RS_FOGENABLE, 1);
    uint32_t fog;
    if (SkyFogColour(SkyId, &fog)) gfx::SetRenderState(gfx::RS_FOGCOLOR, fog);
    gfx::SetRenderState(gfx::RS_FOGVERTEXMODE, gfx::FOG_LINEAR);
    gfx::SetRenderState(gfx::RS_FOGSTART, gfx::FloatBits(50.0f));
    gfx::SetRenderState(gfx::RS_FOGEND, gfx::FloatBits(230.0f));
    LoadSounds();
    paused = 0;
    ReleaseBattleEffect();
    std::string errors;
    if (gfx::Failed(gfx::CreateEffectFromFile("LAND/Effect/IceShader.fx", &BattleEffect, &errors))) {
        if (!gEffectMessageShown) {
            if (!errors.empty()) std::fprintf(stderr, "%s\n", errors.c_str());
            sys::MessageBox("シェーダーファイル読み込み失敗", "", sys::MB_OK);
            gEffectMessageShown = true;
        }
        // Without it the battle cannot be drawn: leave rather than ask again
        // every pass.
        ReleaseBattleTextures();
        sys::ShowCursor(true);
        sys::PostQuitMessage(1);
        return;
    }
    SceneProc = BattleFrame;
}

void ReleaseBattleTextures()
{
    ReleaseEffectTextures();
    gfx::Release(BitTexture);
    gfx::Release(StopTexture);
    gfx::Release(CharTexture);
    gfx::Release(HpTexture);
    gfx::Release(RadarTexture);
}

void ReleaseBattleEffect() { gfx::Release(BattleEffect); }

const char* UnitKindName(int kind)
{
    static const char* const kTanks[] = {"TIGER", "ABRAMS", "BRDM3", "FLACKP", "FT17_BER",
                                         "M2A2",  "M60",    "V100",  "M730A"};
    static const char* const kRobots[] = {"D-ED.10", "R-NO.15", "R-NO.16", "R-NO.13"};
    if (kind >= 1 && kind <= 9) return kTanks[kind - 1];
    if (kind >= 101 && kind <= 104) return kRobots[kind - 101];
    return "?";
}
