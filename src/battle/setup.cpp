#include "battle/setup.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "battle/frame.h"
#include "battle/pause.h"
#include "effects/particles.h"
#include "effects/projectiles.h"
#include "platform/crt_rand.h"
#include "platform/system.h"
#include "services/device.h"
#include "services/options.h"
#include "services/scene.h"
#include "assets/sound.h"
#include "sides/robot_side.h"
#include "sides/tank_side.h"
#include "units/robots/robot_kinds.h"
#include "units/tanks/tank_kinds.h"
#include "world/ground.h"
#include "world/sky.h"

namespace {
// Shown once: a battle that cannot start returns to where it came from
// instead of repeating the message every pass.
bool gEffectMessageShown = false;
}  // namespace


void BattleInit()
{
    int firstTank = 0, firstRobot = 0;
    LastBattle = {LastBattle.started + 1, PlayerSide, TankTypeId, RobotTypeId, EarthCount,
                  MercuryCount,         SkyId,      BattleMinutes, BattleClock};
    // Shots still flying when the last battle ended would fly on into this
    // one and score there.
    FreeAllShots();
    // A battle's scores and counts stay in the records after it ends, for
    // the report; each battle starts from none.
    for (TankUnit& t : Tanks) {
        t.kills = t.deaths = 0;
        t.shotsFired = t.shotsHit = 0, t.weapons[0] = t.weapons[1] = WeaponCounts{};
    }
    for (RobotUnit& r : Robots) {
        r.kills = r.deaths = 0;
        r.shotsFired = r.shotsHit = 0, r.weapons[0] = r.weapons[1] = WeaponCounts{};
    }
    if (PlayerSide == 0) {
        SetTankKind(Tanks[0], TankTypeId);
        std::snprintf(Tanks[0].name, sizeof Tanks[0].name, "Player");
        firstTank = 1;
    } else {
        SetRobotKind(Robots[0], RobotTypeId);
        std::snprintf(Robots[0].name, sizeof Robots[0].name, "Player");
        firstRobot = 1;
    }
    sys::ShowCursor(false);
    sys::SetCursorPos(OptionData.screenWidth / 2, OptionData.screenHeight / 2);
    Srand(sys::TimeGetTime());
    // The eye's generator starts from the rules' seed, so a seeded battle
    // looks the same each time too, but it never feeds back into them.
    EyeSrand(RandState() * 2654435761u + 0x9E37u);
    // The computer's units: a kind drawn from the rows that fight.
    int32_t tankKinds[kLastTankKind], robotKinds[kRobotKindCount];
    const int tankChoices = FightingTankKinds(tankKinds), robotChoices = FightingRobotKinds(robotKinds);
    for (int i = firstTank; i < EarthCount; ++i) {
        SetTankKind(Tanks[i], tankChoices > 0 ? tankKinds[Rand() % tankChoices] : 0);
        std::snprintf(Tanks[i].name, sizeof Tanks[i].name, "Tank%02d", i);
    }
    for (int i = firstRobot; i < MercuryCount; ++i) {
        SetRobotKind(Robots[i], robotChoices > 0 ? robotKinds[Rand() % robotChoices] : 0);
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
    // The first step's effects are kept or culled against a view: not the
    // screen's before (a menu's), but the same blank one in every battle,
    // so a battle on a seed plays alike whatever came before it.
    BattleFrustum = ViewFrustum{};
    // Smoke, fire and craters of a battle left before do not show in this one.
    ClearParticlePools();
    ResetEndOfBattle();  // the end phase counts from 0 and no result is kept
    ReleaseBattleEffect();
    std::string errors;
    if (gfx::Failed(gfx::CreateEffectFromFile("LAND/Effect/IceShader.fx", &BattleEffect, &errors))) {
        if (!gEffectMessageShown) {
            TellEffectFailed("LAND/Effect/IceShader.fx", errors);
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
