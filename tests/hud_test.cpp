// Around the fighting, on the null device: the end of a battle and its
// result, leaving by the pause menu, the scoreboard's order and clock, the
// radar's marks and the 1 x 1 backdrops.
#include <gtest/gtest.h>
#include "platform/test_hooks.h"

#include <cmath>
#include <string>

#include "services/device.h"
#include "services/display.h"
#include "services/scene.h"
#include "assets/sound.h"
#include "battle/frame.h"
#include "battle/hud.h"
#include "battle/pause.h"
#include "records/state.h"
#include "units/robots/robot_kinds.h"
#include "sides/robot_side.h"
#include "battle/setup.h"
#include "headless_device.h"
#include "sides/player.h"
#include "sides/tank_side.h"
#include "platform/input_script.h"
#include "units/tanks/tank_kinds.h"
#include "world/map.h"

namespace {
// Where a battle hands over to in these tests.
void ExitScene() {}

class Hud : public HeadlessDevice {
protected:
    void SetUp() override
    {
        HeadlessDevice::SetUp();
        ASSERT_EQ(chdir(VARNOK_PACK), 0);
        SetFixedRenderStates();
        CreateSpriteBatcher();
        CreateFonts();
        InitSound(true, "");
        ResetUnitRecords();
        ResetPlayerControl();
        ResetBattleFrame();
        for (auto& row : HeightGrid)
            for (float& h : row) h = 0;
        PlayerSide = 0;
        TankTypeId = 2;
        RobotTypeId = 101;
        EarthCount = MercuryCount = 4;
        BattleClock = 30 * 3600;
        paused = 0;
        BattleExitScene = ExitScene;
        sys::SetVirtualTime(0);
        ResetSteps();
    }
    void TearDown() override
    {
        ReleaseAllTankModels();
        ReleaseAllRobotModels();
        ReleaseBattleTextures();
        ReleaseBattleEffect();
        ReleaseSounds();
        ShutdownSound();
        sys::SetInputScript(nullptr);
        BattleExitScene = nullptr;
        HeadlessDevice::TearDown();
    }
    void Script(const char* text)
    {
        std::string err;
        ASSERT_TRUE(ParseInputScript(text, "t", &script_, &err)) << err;
        sys::SetInputScript(&script_);
    }
    // A battle whose clock has just run out with these kill totals (in
    // slot 0 of each side).
    void EndWith(int earthKills, int mercuryKills)
    {
        BattleInit();
        Tanks[0].kills = earthKills;
        Robots[0].kills = mercuryKills;
        BattleClock = 0;
    }
    InputScript script_;
};

void Place(Mat4* pose, float x, float z, float headingDeg)
{
    *pose = MatRotationY(headingDeg * kDegToRad) * MatTranslation(x, 0, z);
}
void PlaceTank(int i, float x, float z, float heading, int alive = 1)
{
    Place(&Tanks[i].world, x, z, heading);
    Tanks[i].turretWorld = Tanks[i].world;
    Tanks[i].alive = alive;
}
void PlaceRobot(int i, float x, float z, float heading, int alive = 1)
{
    for (Mat4& m : Robots[i].partWorld) Place(&m, x, z, heading);
    Robots[i].alive = alive;
}
}  // namespace

TEST_F(Hud, TheSideWithFewerKillsLosesAndEqualKillsHurtNobody)
{
    struct Case { int earth, mercury, result; } cases[] = {{3, 1, 1}, {1, 3, 2}, {2, 2, 0}, {0, 0, 0}};
    for (const Case& c : cases) {
        EndWith(c.earth, c.mercury);
        EXPECT_EQ(EndOfBattleStep(), 0);
        EXPECT_EQ(battleResult, c.result) << c.earth << ":" << c.mercury;
        for (int i = 0; i < 4; ++i) {
            EXPECT_FLOAT_EQ(Tanks[i].hp, c.result == 2 ? 1 : 256) << c.earth << ":" << c.mercury;
            EXPECT_FLOAT_EQ(Robots[i].hp, c.result == 1 ? 1 : 256) << c.earth << ":" << c.mercury;
        }
    }
}

TEST_F(Hud, AFullHealthLoserSurvivesTheFirstEndStepWithOneHitPoint)
{
    EndWith(0, 1);  // Earth loses
    Tanks[1].alive = 0;  // a wreck is not hurt again
    Tanks[1].hp = -20;
    EndOfBattleStep();
    EXPECT_FLOAT_EQ(Tanks[0].hp, 1);
    EXPECT_FLOAT_EQ(Tanks[1].hp, -20);
    EndOfBattleStep();
    EXPECT_LE(Tanks[0].hp, 0);  // down on the second step
    EXPECT_FLOAT_EQ(Robots[0].hp, 256);
}

TEST_F(Hud, TheResultIsDecidedOnTheFirstEndStepAndKept)
{
    EndWith(2, 1);
    EndOfBattleStep();
    ASSERT_EQ(battleResult, 1);
    // A shell still in flight scores for Mercury: the totals turn round.
    Robots[1].kills = 5;
    for (int k = 0; k < 10; ++k) EndOfBattleStep();
    EXPECT_EQ(battleResult, 1);
    EXPECT_FLOAT_EQ(Tanks[0].hp, 256);  // the winners stay whole
    EXPECT_LE(Robots[0].hp, 0);
}

TEST_F(Hud, TheEndPhaseLastsThreeHundredStepsThenLeavesWithScoresCleared)
{
    EndWith(4, 1);
    Tanks[2].deaths = 3;
    viewedUnit = 2;
    CameraEye = {500, 10, 500};
    for (int k = 1; k < kEndPhaseSteps; ++k) ASSERT_EQ(EndOfBattleStep(), 0) << k;
    EXPECT_FLOAT_EQ(CameraEye.y, 16);  // risen by 0.5 a step, then held
    EXPECT_EQ(SceneProc, BattleFrame);
    EXPECT_EQ(EndOfBattleStep(), 1);
    EXPECT_EQ(SceneProc, ExitScene);
    EXPECT_EQ(endCounter, 0);
    EXPECT_EQ(Tanks[0].kills, 0);
    EXPECT_EQ(Tanks[2].deaths, 0);
    EXPECT_EQ(viewedUnit, 0);
    EXPECT_EQ(CharTexture, nullptr);
}

TEST_F(Hud, LeavingByThePauseMenuInTheEndPhaseGivesTheNextBattleAFullEndPhase)
{
    EndWith(1, 0);
    for (int k = 0; k < 120; ++k) EndOfBattleStep();
    ASSERT_EQ(endCounter, 120);
    paused = 1;
    OpenPauseMenu();
    Script("1 buttondown left\n2 buttonup left\n");
    sys::SetCursorPos(400, 345);  // a click on the second entry
    sys::ApplyScriptStep(1);
    EXPECT_EQ(PauseMenuInput(), 0);
    sys::ApplyScriptStep(2);
    EXPECT_EQ(PauseMenuInput(), 1);
    EXPECT_EQ(endCounter, 0);
    EXPECT_EQ(SceneProc, ExitScene);
    EXPECT_EQ(paused, 0);

    // Even a counter left over from elsewhere starts again at 0.
    endCounter = 250;
    EndWith(0, 0);
    EXPECT_EQ(endCounter, 0);
    int steps = 1;
    while (EndOfBattleStep() == 0) ++steps;
    EXPECT_EQ(steps, kEndPhaseSteps);
}

TEST_F(Hud, PauseEntriesHighlightUnderTheCursorAndAClickResumesLeavesOrQuits)
{
    BattleInit();
    struct Case { int x, y; int hover; } cases[] = {
        {270, 237, 0}, {535, 277, 0}, {269, 250, -1}, {400, 278, -1}, {290, 325, 1}, {515, 365, 1},
        {516, 340, -1}, {325, 405, 2}, {480, 450, 2}, {400, 451, -1}, {400, 300, -1}};
    for (const Case& c : cases) {
        paused = 1;
        sys::SetCursorPos(c.x, c.y);
        EXPECT_EQ(PauseMenuInput(), 0);  // no button: nothing but the highlight
        for (int k = 0; k < 3; ++k) EXPECT_EQ(pauseHover[k], k == c.hover ? 1 : 0) << c.x << "," << c.y << " " << k;
    }
    // An entry fires on a click: the button pressed and released over it.
    Script("1 buttondown left\n2 buttonup left\n3 buttondown left\n4 buttonup left\n"
           "5 buttondown left\n6 buttonup left\n7 buttondown left\n8 buttonup left\n");
    auto at = [](uint32_t step, int x, int y) {
        if (step) sys::ApplyScriptStep(step);
        sys::SetCursorPos(x, y);
        return PauseMenuInput();
    };
    paused = 1;
    OpenPauseMenu();
    // Pressed at the centre, dragged across TITLE and released on QUIT: nothing.
    EXPECT_EQ(at(1, 400, 300), 0);
    EXPECT_EQ(at(0, 400, 345), 0);
    EXPECT_EQ(at(2, 400, 420), 0);
    sys::Message m;
    EXPECT_FALSE(sys::PeekMessage(&m));
    EXPECT_EQ(paused, 1);
    EXPECT_EQ(SceneProc, BattleFrame);
    // RESUME: nothing on the press, resumed on the release.
    EXPECT_EQ(at(3, 400, 250), 0);
    EXPECT_EQ(paused, 1);
    EXPECT_EQ(at(4, 400, 250), 0);
    EXPECT_EQ(paused, 0);
    EXPECT_EQ(SceneProc, BattleFrame);

    paused = 1;
    EXPECT_EQ(at(5, 400, 420), 0);  // QUIT
    EXPECT_EQ(at(6, 400, 420), 0);
    ASSERT_TRUE(sys::PeekMessage(&m));
    EXPECT_EQ(m.id, sys::MSG_QUIT);

    Tanks[1].kills = 2;
    Robots[3].deaths = 1;
    EXPECT_EQ(at(7, 400, 345), 0);  // TITLE leaves on the release
    EXPECT_EQ(at(8, 400, 345), 1);
    EXPECT_EQ(SceneProc, ExitScene);
    EXPECT_EQ(Tanks[1].kills, 0);
    EXPECT_EQ(Robots[3].deaths, 0);
}

TEST_F(Hud, LeavingABattleStopsEverySoundAndReleasesItsTexturesOnce)
{
    // Both ways out: the menu's second entry and the end of the phase.
    for (int way = 0; way < 2; ++way) {
        BattleInit();
        snd::Play(TankEngineSounds.copies[0], true);
        snd::Play(TankEngineSounds.copies[3], true);
        ASSERT_TRUE(PlayPooled(TankGunSounds, {0, 0, 0}));
        ASSERT_TRUE(PlayPooled(RobotStepSounds, {0, 0, 0}));
        ASSERT_TRUE(PlayPooled(MachineGunSounds, {0, 0, 0}));
        // A second holder of a texture: a release too many would free it
        // under us (the sanitizer build sees that).
        gfx::Texture* held = gfx::Retain(CharTexture);
        if (way == 0) {
            paused = 1;
            OpenPauseMenu();
            Script("1 buttondown left\n2 buttonup left\n");
            sys::SetCursorPos(400, 345);
            sys::ApplyScriptStep(1);
            ASSERT_EQ(PauseMenuInput(), 0);
            sys::ApplyScriptStep(2);
            ASSERT_EQ(PauseMenuInput(), 1);
        } else {
            BattleClock = 0;
            while (EndOfBattleStep() == 0) {}
        }
        EXPECT_EQ(SceneProc, ExitScene);
        for (SoundPool* pool : {&TankEngineSounds, &TankGunSounds, &RobotStepSounds, &MachineGunSounds})
            for (int k = 0; k < pool->size; ++k)
                EXPECT_FALSE(snd::GetStatus(pool->copies[k]) & snd::STATUS_PLAYING) << pool->file << " " << k;
        for (gfx::Texture* t : {CharTexture, HpTexture, RadarTexture, BitTexture, StopTexture})
            EXPECT_EQ(t, nullptr) << way;
        gfx::Release(held);
        sys::SetInputScript(nullptr);
    }
}

TEST_F(Hud, TheScoreboardPutsMoreKillsHigherAndKeepsTiesInOrder)
{
    TankUnit t[3] = {};
    int kills[3] = {0, 5, 2};
    for (int i = 0; i < 3; ++i) {
        t[i].kills = kills[i];
        t[i].rankSlot = i + 1;
    }
    RankScoreRows(t, 3);
    EXPECT_EQ(t[0].rankSlot, 3);
    EXPECT_EQ(t[1].rankSlot, 1);
    EXPECT_EQ(t[2].rankSlot, 2);
    // Equal kills keep the rows they have.
    RobotUnit r[3] = {};
    for (int i = 0; i < 3; ++i) {
        r[i].kills = 1;
        r[i].rankSlot = 3 - i;
    }
    RankScoreRows(r, 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(r[i].rankSlot, 3 - i);
}

TEST_F(Hud, TheClockTextShowsMinutesAndSeconds)
{
    struct Case { int32_t ticks; const char* text; } cases[] = {
        {5400, "LastTime=01:30\n"}, {108000, "LastTime=30:00\n"}, {59, "LastTime=00:00\n"},
        {3660, "LastTime=01:01\n"}, {0, "LastTime=00:00\n"}, {324000, "LastTime=90:00\n"}};
    char text[32];
    for (const Case& c : cases) {
        FormatBattleClock(c.ticks, text, sizeof text);
        EXPECT_STREQ(text, c.text) << c.ticks;
    }
}

TEST_F(Hud, RadarBlipsTurnWithThePlayersHeadingAndFarEnemiesBecomeRimArrows)
{
    EarthCount = 2;
    MercuryCount = 4;
    PlaceTank(0, 500, 500, 90);      // the player faces +x
    PlaceTank(1, 600, 500, 0);       // 100 ahead of it, facing +z
    PlaceRobot(0, 500, 400, 90);     // 100 to its right
    PlaceRobot(1, 500 + 204, 500, 0);  // exactly on the range: an arrow
    PlaceRobot(2, 500, 800, 0, 0);   // far and destroyed: not shown
    PlaceRobot(3, 400, 500, 0, 0);   // near and destroyed: a dark blip
    RadarMarks m;
    BuildRadarMarks(0, &m);
    ASSERT_EQ(m.count, 5);
    auto at = [&](int k) { return Vec3{m.marks[k].transform.m[3][0], m.marks[k].transform.m[3][1], 0}; };
    // The friend ahead sits straight up from the middle, turned 90 degrees
    // to the left (it faces the player's left).
    EXPECT_EQ(m.marks[0].sprite, RadarSprite::TankBlip);
    EXPECT_NEAR(at(0).x, 128, 1e-3);
    EXPECT_NEAR(at(0).y, 78, 1e-3);
    EXPECT_NEAR(m.marks[0].transform.m[0][1], std::sin(-90 * kDegToRad), 1e-5);
    EXPECT_EQ(m.marks[0].colour, 0xFFFFFFFFu);
    // The player in the middle.
    EXPECT_NEAR(at(1).x, 128, 1e-3);
    EXPECT_NEAR(at(1).y, 128, 1e-3);
    // The robot on the right, facing the same way as the player.
    EXPECT_EQ(m.marks[2].sprite, RadarSprite::RobotBlip);
    EXPECT_NEAR(at(2).x, 178, 1e-3);
    EXPECT_NEAR(at(2).y, 128, 1e-3);
    EXPECT_NEAR(m.marks[2].transform.m[0][0], 1, 1e-5);
    // Straight ahead on the range: an arrow at the top of the rim.
    EXPECT_EQ(m.marks[3].sprite, RadarSprite::RimArrow);
    EXPECT_NEAR(at(3).x, 128, 1e-3);
    EXPECT_NEAR(at(3).y, 128 - kTankRadar.rim, 1e-3);
    // Behind and within range, destroyed: dark.
    EXPECT_EQ(m.marks[4].sprite, RadarSprite::RobotBlip);
    EXPECT_NEAR(at(4).y, 178, 1e-3);
    EXPECT_EQ(m.marks[4].colour, 0xFF050505u);

    // The player turns to face -z: the robot on the right is now ahead, the
    // far one on the right becomes an arrow on the left rim.
    PlaceTank(0, 500, 500, 180);
    BuildRadarMarks(0, &m);
    EXPECT_NEAR(at(2).x, 128, 1e-3);
    EXPECT_NEAR(at(2).y, 78, 1e-3);
    EXPECT_NEAR(at(3).x, 128 - kTankRadar.rim, 1e-3);
    EXPECT_NEAR(at(3).y, 128, 1e-3);

    // The robot player's radar: its own side within 204, tanks as blips.
    PlaceRobot(0, 500, 500, 0);
    PlaceRobot(1, 500, 500 + 203, 0);  // own side: 101.5 < 102
    PlaceTank(0, 500 + 300, 500, 0);  // a tank to the right, beyond range
    PlaceTank(1, 500, 450, 0);
    BuildRadarMarks(1, &m);
    EXPECT_EQ(m.marks[0].sprite, RadarSprite::RobotBlip);
    EXPECT_NEAR(at(0).y, 128 - 101.5f, 1e-3);
    EXPECT_EQ(m.marks[3].sprite, RadarSprite::RimArrow);
    EXPECT_NEAR(at(3).x, 128 + kRobotRadar.rim, 1e-3);
    EXPECT_EQ(m.marks[4].sprite, RadarSprite::TankBlip);
    EXPECT_NEAR(at(4).y, 153, 1e-3);
}

TEST_F(Hud, TheBackdropsCoverTheirWholeRectangles)
{
    SetBackBufferSize(800, 600);
    auto corners = [](const BitPlacement& p, Vec3* lo, Vec3* hi) {
        *lo = Vec3TransformCoord(Vec3{0, 0, 0} - p.centre, p.transform);
        *hi = Vec3TransformCoord(Vec3{1, 1, 0} - p.centre, p.transform);
    };
    Vec3 lo, hi;
    corners(PauseDimmer(), &lo, &hi);
    EXPECT_NEAR(lo.x, 0, 1e-3);
    EXPECT_NEAR(lo.y, 0, 1e-3);
    EXPECT_NEAR(hi.x, 800, 1e-3);
    EXPECT_NEAR(hi.y, 600, 1e-3);
    corners(ScoreboardBackdrop(), &lo, &hi);
    EXPECT_NEAR(lo.x, 50, 1e-3);
    EXPECT_NEAR(lo.y, 50, 1e-3);
    EXPECT_NEAR(hi.x, 750, 1e-3);
    EXPECT_NEAR(hi.y, 550, 1e-3);
}

TEST_F(Hud, ADownedPlayerRaisesTheAlertUntilItIsBack)
{
    BattleInit();
    auto draw = [] {
        gfx::SpriteBegin(SpriteBatcher, gfx::SPRITE_ALPHABLEND);
        DrawHud();
        DrawBanners();
        gfx::SpriteEnd(SpriteBatcher);
    };
    Tanks[0].alive = 0;
    Tanks[0].hp = -40;  // a bar below zero is drawn as none
    draw();
    EXPECT_EQ(hudAlert, 1);
    Tanks[0].alive = 1;
    Tanks[0].hp = 256;
    draw();
    EXPECT_EQ(hudAlert, 0);
    PlayerSide = 1;
    BattleInit();
    Robots[0].alive = 0;
    draw();
    EXPECT_EQ(hudAlert, 1);
}

TEST_F(Hud, TheHudBannersAndScoreboardTakeAHandfulOfDraws)
{
    EarthCount = MercuryCount = 16;
    BattleInit();
    for (int side = 0; side < 2; ++side) {
        PlayerSide = side;
        BattleInit();
        Tanks[0].alive = Robots[0].alive = 0;  // the alert flashes
        paused = 1;
        scoreboardHeld = 1;
        crosshairKind = side == 0 ? Crosshair::Cannon : Crosshair::RobotMissile;
        lockOnShown = 1;
        gfx::Present();
        gfx::SpriteBegin(SpriteBatcher, gfx::SPRITE_ALPHABLEND);
        DrawHud();
        DrawBanners();
        gfx::SpriteEnd(SpriteBatcher);
        DrawScoreboard();
        gfx::Present();
        // Crosshair, gauge, disc and blips; alert, backdrop, dimmer and
        // entries; the scoreboard's two fonts: one draw per texture change.
        EXPECT_LE(gfx::LastFrameStats().glDraws, 9u) << side;
        EXPECT_GE(gfx::LastFrameStats().draws, 40u) << side;  // 33 blips and arrows at least
    }
    scoreboardHeld = 0;
}

TEST_F(Hud, TheCentreSightSitsInTheMiddleOfTheScreen)
{
    gfx::Texture* atlas = nullptr;
    ASSERT_FALSE(gfx::Failed(LoadTexture(&atlas, "Title/MenuLog.bmp", 1024, 1024, 0xFFFF00FF)));
    gfx::Present();
    DrawCentreSight(nullptr);  // no atlas: nothing, no fault
    gfx::Present();
    EXPECT_EQ(gfx::LastFrameStats().draws, 0u);
    DrawCentreSight(atlas);
    gfx::Present();
    EXPECT_EQ(gfx::LastFrameStats().draws, 1u);
    EXPECT_EQ(gfx::LastFrameStats().vertices, 4u);
    gfx::Release(atlas);
}
