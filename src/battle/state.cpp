#include "battle/state.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "app/options.h"
#include "app/scene.h"
#include "assets/model.h"
#include "assets/sound.h"
#include "battle/frame.h"
#include "battle/pause.h"
#include "effects/particles.h"
#include "motion/ground.h"
#include "motion/robot_side.h"
#include "motion/tank_side.h"
#include "platform/crt_rand.h"
#include "platform/system.h"
#include "units/tanks/tank_kinds.h"
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
int32_t RobotModelLoaded[kRobotKindCount];

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
        for (Mat4& m : r.partWorld) m = MatIdentity();
        for (Projectile& p : r.shells) p.world = MatIdentity();
        for (Projectile& p : r.missiles) p.world = MatIdentity();
    }
    std::memset(TankControls, 0, sizeof TankControls);
    std::memset(RobotControls, 0, sizeof RobotControls);
}

void LoadTankModels(int kind)
{
    const TankKind* k = TankKindOf(kind);
    if (!k || TankModelLoaded[kind]) return;
    if (k->load) k->load();
    TankModelLoaded[kind] = 1;
}

void LoadRobotModels(int kind)
{
    const RobotKind* k = RobotKindOf(kind);
    if (!k || RobotModelLoaded[kind - kFirstRobotKind]) return;
    if (k->load) k->load();
    RobotModelLoaded[kind - kFirstRobotKind] = 1;
}

void ReleaseRobotModels()
{
    for (int row = 0; row < kRobotKindCount; ++row) {
        if (RobotKinds[row].release) RobotKinds[row].release();
        RobotModelLoaded[row] = 0;
    }
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
    // A tank killed in the middle of a main-gun cycle would otherwise come
    // back with its next cycle cut short.
    t.recoil = 0;
    t.recoilTimer = 0;
    t.hp = 256;
    t.alive = 1;
    for (DebrisLaunch& d : t.debris) {
        d.speed = 1.66f + 1.0000001f * R();
        d.time = 0;
        d.tilt = Rand() % 61 - 30;
        d.heading = Rand() % 360;
    }
    const TankKind* k = TankKindOf(t.kind);
    if (!k) return;
    if (k->hasSecondMount) {
        t.secondGunTimer = k->secondGunTimer;
        t.secondGunGate = k->secondGunGate;
    }
    TankHandling[slot] = {k->maxSpeed, k->acceleration, k->groundClearance};
    t.boxSize = k->boxSize;
}

void SpawnRobot(int slot)
{
    RobotUnit& r = Robots[slot];
    float x = 95.0f + (slot / 4) * 20.0f, z = 95.0f + (slot % 4) * 20.0f;
    r.World() = MatTranslation(x, 10, z);
    for (int k = 1; k <= 10; ++k) r.partWorld[k] = r.World();
    r.aimYaw = r.aimPitch = r.legHeading = r.speed = 0;
    r.shakeCode = r.shakeTimer = r.lockedOn = r.weapon = r.secondShotBusy = 0;
    // A fresh start for the walk cycle and the gun as well: a robot that
    // died mid-stride or mid-shot does not come back in that state.
    r.walkPhase = r.bob = 0;
    r.stepDir = r.weaponBusy = r.fireTimer = r.weaponSwap = 0;
    r.hp = 256;
    r.alive = 1;
    for (int k = 0; k < 3; ++k) {
        DebrisLaunch& d = r.debris[k];
        d.speed = k == 0 ? 1.66f + 1.0000001f * R() : 1.86f + 0.9f * R();
        d.time = 0;
        d.tilt = Rand() % 61 - 30;
        d.heading = Rand() % 360;
    }
    // Keys held when the last battle ended, or a computer's last orders,
    // would otherwise go on steering this slot.
    RobotControls[slot] = ControlFlags{};
    const RobotKind* k = RobotKindOf(r.kind);
    if (!k) return;
    r.stepLimit = k->stepLimit;
    r.stepRate = k->stepRate;
    if (k->setsPods) {
        r.podAngle = k->podAngle;
        r.podSlide = k->podSlide;
    }
    RobotHandling[slot] = {k->maxSpeed, k->acceleration, k->groundClearance};
    r.boxSize = k->boxSize;
}

BattleSettings LastBattle = {};

void BattleInit()
{
    int firstTank = 0, firstRobot = 0;
    LastBattle = {LastBattle.started + 1, PlayerSide, TankTypeId, RobotTypeId, EarthCount,
                  MercuryCount,         SkyId,      BattleMinutes};
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
        Robots[i].kind = Rand() % 2 + kRobotDed10;  // D-ED.10 or R-NO.15
        std::snprintf(Robots[i].name, sizeof Robots[i].name, "Robot%02d", i);
    }
    StopTankEngines();  // loops left running by an earlier battle
    for (int i = 0; i < EarthCount; ++i) {
        LoadTankModels(Tanks[i].kind);
        SpawnTank(i);
        TankControls[i] = ControlFlags{};
        TankAi[i] = TankAiState{};
        NewTankPatrol(i);
        Tanks[i].rankSlot = i + 1;
    }
    for (int i = 0; i < MercuryCount; ++i) {
        LoadRobotModels(Robots[i].kind);
        SpawnRobot(i);
        RobotAi[i] = RobotAiState{};  // patrols and manoeuvres start afresh
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
    ResetEndOfBattle();  // the end phase counts from 0 and no result is kept
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
    if (TankKindOf(kind)) return TankKindName(kind);
    if (RobotKindOf(kind)) return RobotKindName(kind);
    return "?";
}
