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
#include "drawn.h"
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

TEST_F(Hud, TheEndPhaseLastsThreeHundredStepsThenLeavesKeepingTheScoresForTheReport)
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
    EXPECT_EQ(Tanks[0].kills, 4);  // the report still tells the battle's scores
    EXPECT_EQ(Tanks[2].deaths, 3);
    EXPECT_EQ(viewedUnit, 0);
    EXPECT_EQ(CharTexture, nullptr);
    BattleInit();  // the next battle starts from none
    EXPECT_EQ(Tanks[0].kills, 0);
    EXPECT_EQ(Tanks[2].deaths, 0);
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
    // At 1024 x 768 the boxes grow with the screen (points a little inside
    // and outside their edges).
    scaleX = scaleY = 1.28f;
    const Case scaled[] = {{400, 257, 0}, {530, 257, 0}, {540, 257, -1}, {275, 240, 0}, {265, 257, -1},
                           {510, 345, 1}, {520, 345, -1}, {400, 360, 1}, {475, 430, 2}, {485, 430, -1}};
    for (const Case& c : scaled) {
        sys::SetCursorPos(static_cast<int>(c.x * 1.28f), static_cast<int>(c.y * 1.28f));
        PauseMenuInput();
        for (int k = 0; k < 3; ++k) EXPECT_EQ(pauseHover[k], k == c.hover ? 1 : 0) << c.x << "," << c.y << " " << k;
    }
    scaleX = scaleY = 1;
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
    EXPECT_EQ(Tanks[1].kills, 2);  // kept for the report until the next battle
    EXPECT_EQ(Robots[3].deaths, 1);
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

namespace {
void DrawHudAndBanners()
{
    gfx::SpriteBegin(SpriteBatcher, gfx::SPRITE_ALPHABLEND);
    DrawHud();
    DrawBanners();
    gfx::SpriteEnd(SpriteBatcher);
}
// Rectangles of the battle atlases.
const gfx::Rect kTankBar{256, 0, 512, 256}, kTankFrame{0, 0, 256, 256}, kTankDisc{257, 1, 511, 255};
const gfx::Rect kRobotFrame{0, 256, 256, 512}, kRobotDisc{1, 1, 255, 255};
const gfx::Rect kAlert{2, 2, 256, 28}, kCannon{259, 2, 295, 38}, kMissileSight{366, 2, 510, 146};
const gfx::Rect kDrawBanner{262, 160, 512, 274}, kEarthWins{2, 277, 512, 391}, kMercuryWins{2, 395, 512, 509};
}  // namespace

TEST_F(Hud, TheGaugeShowsTheHitPointsLeftAndShakesWithTheAlertWhileThePlayerIsDown)
{
    SetBackBufferSize(800, 600);
    BattleInit();
    // Whole: a steady gauge at 0.8 size around (720, 480), its bar full.
    Tanks[0].hp = 256;
    Drawn whole(DrawHudAndBanners);
    ASSERT_EQ(whole.Of(HpTexture, kTankFrame).size(), 1u);
    gfx::DrawnSprite frame = whole.Of(HpTexture, kTankFrame)[0];
    EXPECT_NEAR(Middle(frame).x, 720, 1e-3);
    EXPECT_NEAR(Middle(frame).y, 480, 1e-3);
    EXPECT_NEAR(frame.hi.x - frame.lo.x, 256 * 0.8f, 1e-3);
    ASSERT_EQ(whole.Of(HpTexture, kTankBar).size(), 1u);
    EXPECT_NEAR(whole.Of(HpTexture, kTankBar)[0].lo.y, frame.lo.y, 1e-3);  // up to the frame's top
    // The radar disc, 0.9 of its size, round the radar's middle.
    ASSERT_EQ(whole.Of(RadarTexture, kTankDisc).size(), 1u);
    gfx::DrawnSprite disc = whole.Of(RadarTexture, kTankDisc)[0];
    EXPECT_NEAR(Middle(disc).x, 128, 1);
    EXPECT_NEAR(Middle(disc).y, 128, 1);
    EXPECT_NEAR(disc.hi.x - disc.lo.x, 254 * 0.9f, 1e-3);
    EXPECT_NEAR(disc.hi.y - disc.lo.y, 254 * 0.9f, 1e-3);
    EXPECT_TRUE(whole.Of(CharTexture, kAlert).empty());
    // More hit points than a full bar: the bar stays inside its frame.
    Tanks[0].hp = 300;
    EXPECT_EQ(Drawn(DrawHudAndBanners).Of(HpTexture, kTankBar).size(), 1u);
    EXPECT_EQ(hudAlert, 0);

    // Hurt: the bar is cut from the bottom of its column, 100 rows high, and
    // its bottom stays on the frame's.
    Tanks[0].hp = 100.7f;
    Drawn hurt(DrawHudAndBanners);
    auto bar = hurt.Of(HpTexture, gfx::Rect{256, 156, 512, 256});
    ASSERT_EQ(bar.size(), 1u);
    EXPECT_NEAR(bar[0].hi.y, frame.hi.y, 1e-3);
    EXPECT_NEAR(bar[0].hi.y - bar[0].lo.y, 100 * 0.8f, 1e-3);

    // Down, its hit points below zero: no bar, the alert over the middle of
    // the screen at twice its size, and the gauge shaking around its place.
    Tanks[0].alive = 0;
    Tanks[0].hp = -40;
    float widths[2];
    for (float& width : widths) {
        Drawn down(DrawHudAndBanners);
        EXPECT_EQ(hudAlert, 1);
        for (const auto& d : down.sprites) EXPECT_FALSE(d.texture == HpTexture && d.src.left == 256);
        ASSERT_EQ(down.Of(CharTexture, kAlert).size(), 1u);
        gfx::DrawnSprite alert = down.Of(CharTexture, kAlert)[0];
        EXPECT_NEAR(Middle(alert).x, 400, 1e-3);
        EXPECT_NEAR(Middle(alert).y, 300, 1e-3);
        EXPECT_NEAR(alert.hi.x - alert.lo.x, 2 * 254, 1e-3);
        EXPECT_NEAR(alert.hi.y - alert.lo.y, 2 * 26, 1e-3);
        gfx::DrawnSprite shaking = down.Of(HpTexture, kTankFrame).at(0);
        EXPECT_NEAR(Middle(shaking).x, 720, 1e-3);
        width = shaking.hi.x - shaking.lo.x;
        EXPECT_GE(width, 256 * 0.5f);
        EXPECT_LE(width, 256 * 1.1f);
        EXPECT_GE(shaking.hi.y - shaking.lo.y, 256 * 0.5f);
        EXPECT_LE(shaking.hi.y - shaking.lo.y, 256 * 1.1f);
    }
    EXPECT_NE(widths[0], widths[1]);
    // When the clock has run out the alert is gone, though the player is down.
    BattleClock = 0;
    EXPECT_TRUE(Drawn(DrawHudAndBanners).Of(CharTexture, kAlert).empty());

    // Back on its feet: the alert stops.
    BattleClock = 100;
    Tanks[0].alive = 1;
    Tanks[0].hp = 256;
    Drawn back(DrawHudAndBanners);
    EXPECT_EQ(hudAlert, 0);
    EXPECT_TRUE(back.Of(CharTexture, kAlert).empty());

    // A robot player has the robot gauge and disc.
    PlayerSide = 1;
    BattleInit();
    Robots[0].alive = 0;
    Drawn robot(DrawHudAndBanners);
    EXPECT_EQ(hudAlert, 1);
    EXPECT_EQ(robot.Of(HpTexture, kRobotFrame).size(), 1u);
    Robots[0].alive = 1;
    Robots[0].hp = 256;
    EXPECT_EQ(Drawn(DrawHudAndBanners).Of(HpTexture, gfx::Rect{256, 256, 512, 512}).size(), 1u);  // its full bar
    EXPECT_EQ(robot.Of(RadarTexture, kRobotDisc).size(), 1u);
    EXPECT_TRUE(robot.Of(HpTexture, kTankFrame).empty());
}

TEST_F(Hud, TheResultBannerNamesTheWinnerOnceTheClockHasRunOut)
{
    SetBackBufferSize(800, 600);
    struct Case { int earth, mercury; gfx::Rect banner; } cases[] = {
        {3, 1, kEarthWins}, {1, 3, kMercuryWins}, {2, 2, kDrawBanner}};
    for (const Case& c : cases) {
        EndWith(c.earth, c.mercury);
        BattleClock = 1;  // a tick before the end: no banner
        EXPECT_TRUE(Drawn(DrawHudAndBanners).Of(CharTexture, c.banner).empty());
        BattleClock = 0;
        EndOfBattleStep();
        crosshairKind = Crosshair::Cannon;
        Drawn end(DrawHudAndBanners);
        for (gfx::Rect other : {kEarthWins, kMercuryWins, kDrawBanner})
            EXPECT_EQ(end.Of(CharTexture, other).size(), other.top == c.banner.top ? 1u : 0u);
        auto banner = end.Of(CharTexture, c.banner);
        ASSERT_EQ(banner.size(), 1u) << c.earth << ":" << c.mercury;
        EXPECT_NEAR(Middle(banner[0]).x, 400, 1e-3);
        EXPECT_NEAR(Middle(banner[0]).y, 300, 1e-3);
        EXPECT_NEAR(banner[0].hi.x - banner[0].lo.x, (c.banner.right - c.banner.left) * 800.0f / 512, 1e-2);
        // No sight over the banner; the radar stays.
        EXPECT_TRUE(end.Of(CharTexture, kCannon).empty());
        EXPECT_EQ(end.Of(RadarTexture, kTankDisc).size(), 1u);
    }
}

TEST_F(Hud, TheHudBannersAndScoreboardDrawEveryPieceInAHandfulOfDraws)
{
    SetBackBufferSize(800, 600);
    EarthCount = MercuryCount = 16;
    for (int side = 0; side < 2; ++side) {
        PlayerSide = side;
        BattleInit();
        // Each side together, the two sides far apart: every unit is a blip
        // of its own side's radar or an arrow at its rim.
        for (int i = 0; i < 16; ++i) {
            PlaceTank(i, 100 + 5 * i, 100, 0);
            PlaceRobot(i, 900 - 5 * i, 900, 0);
        }
        Tanks[0].alive = Robots[0].alive = 0;  // the alert flashes
        Tanks[3].kills = 4;
        Robots[5].kills = 2;
        paused = 1;
        crosshairKind = side == 0 ? Crosshair::Cannon : Crosshair::RobotMissile;
        lockOnShown = 1;
        scoreboardHeld = 0;
        Drawn hud(DrawHudAndBanners);
        scoreboardHeld = 1;
        gfx::Present();
        Drawn all([] {
            DrawHudAndBanners();
            DrawScoreboard();
        });
        gfx::Present();
        // Gauge; alert, backdrop, dimmer and entries; the scoreboard's two
        // fonts: one draw per texture change.
        EXPECT_LE(gfx::LastFrameStats().glDraws, 9u) << side;
        // The sight in the middle of the screen's width; the scoreboard, read
        // over the middle and the radar's corner, puts the sight and the
        // radar aside while it is held.
        auto sight = hud.Of(CharTexture, side == 0 ? kCannon : kMissileSight);
        ASSERT_EQ(sight.size(), 1u) << side;
        EXPECT_NEAR(Middle(sight[0]).x, 400, 1e-3);
        EXPECT_TRUE(all.Of(CharTexture, side == 0 ? kCannon : kMissileSight).empty()) << side;
        for (const auto& d : all.sprites) EXPECT_NE(d.texture, RadarTexture) << side;
        // The player's own blip sits on the radar's middle.
        auto own = hud.Of(CharTexture, side == 0 ? gfx::Rect{177, 31, 196, 55} : gfx::Rect{199, 31, 220, 51});
        ASSERT_FALSE(own.empty());
        bool centred = false;
        for (const auto& b : own) centred |= std::fabs(Middle(b).x - 128) < 1e-3f && std::fabs(Middle(b).y - 128) < 1e-3f;
        EXPECT_TRUE(centred) << side;
        // The three pause entries, one above the other down the middle.
        float y = 0;
        for (gfx::Rect entry : {gfx::Rect{1, 31, 174, 74}, gfx::Rect{2, 77, 149, 120}, gfx::Rect{2, 123, 100, 167}}) {
            auto e = all.Of(CharTexture, entry);
            ASSERT_EQ(e.size(), 1u);
            EXPECT_NEAR(Middle(e[0]).x, 400, 1e-3);
            EXPECT_GT(Middle(e[0]).y, y);
            y = Middle(e[0]).y;
        }
        // The backdrop and the dimmer, and a blip for each of the 16 units of
        // the player's side and an arrow at the rim for each of the 15 live
        // enemies (the enemy leader is down, and far away).
        EXPECT_EQ(all.Of(BitTexture, gfx::Rect{0, 0, 1, 1}).size(), 2u);
        size_t marks = 0, marksUnderBoard = 0;
        for (const auto& d : hud.sprites) marks += d.texture == CharTexture && d.src.top == 31 && d.src.left >= 177;
        for (const auto& d : all.sprites)
            marksUnderBoard += d.texture == CharTexture && d.src.top == 31 && d.src.left >= 177;
        EXPECT_EQ(marks, 31u) << side;
        EXPECT_EQ(marksUnderBoard, 0u) << side;
        // Both sides' score blocks and the clock, twice for its shadow.
        ASSERT_NE(all.Text("EARTH UNIT"), nullptr);
        ASSERT_NE(all.Text("MERTH UNIT"), nullptr);
        EXPECT_LT(all.Text("EARTH UNIT")->rect.left, all.Text("MERTH UNIT")->rect.left);
        size_t clocks = 0;
        for (const auto& t : all.texts) clocks += t.text == "LastTime=30:00\n";
        EXPECT_EQ(clocks, 2u);
        // At 1024 x 768 the clock and its shadow stay a few pixels apart.
        scaleX = scaleY = 1.28f;
        Drawn large([] { DrawScoreboard(); });
        scaleX = scaleY = 1;
        std::vector<gfx::Rect> at;
        for (const auto& t : large.texts)
            if (t.text == "LastTime=30:00\n") at.push_back(t.rect);
        ASSERT_EQ(at.size(), 2u);
        EXPECT_LE(std::abs(at[0].left - at[1].left), 4);
        EXPECT_LE(std::abs(at[0].top - at[1].top), 5);
        EXPECT_NEAR(at[0].top, 450 * 1.28f, 1);
    }
    scoreboardHeld = 0;
}

TEST_F(Hud, EachWeaponShowsItsOwnSightAtTheMiddleOfTheScreen)
{
    SetBackBufferSize(800, 600);
    struct Case { int side; Crosshair kind; gfx::Rect sight; float y; } cases[] = {
        {0, Crosshair::Cannon, kCannon, 270},
        {0, Crosshair::MachineGun, gfx::Rect{258, 41, 288, 71}, 270},
        {1, Crosshair::RobotGun, gfx::Rect{299, 2, 362, 41}, 206},
        {1, Crosshair::RobotMissile, kMissileSight, 206},
    };
    for (const Case& c : cases) {
        PlayerSide = c.side;
        BattleInit();
        crosshairKind = c.kind;
        Drawn d(DrawHudAndBanners);
        int sights = 0;
        for (gfx::Rect r : {kCannon, gfx::Rect{258, 41, 288, 71}, gfx::Rect{299, 2, 362, 41}, kMissileSight})
            sights += static_cast<int>(d.Of(CharTexture, r).size());
        EXPECT_EQ(sights, 1);
        auto s = d.Of(CharTexture, c.sight);
        ASSERT_EQ(s.size(), 1u);
        EXPECT_NEAR(Middle(s[0]).x, 400, 1e-3);
        EXPECT_NEAR(Middle(s[0]).y, c.y, 1e-3);
    }
}

// A robot whose second weapon fires only with a tank locked (the D-ED.10's
// missiles, the R-NO.15's volleys) shows the lock sight with that weapon in
// hand, and the lock box on the tank once one stands in the sight.
TEST_F(Hud, EveryWeaponThatWaitsForALockShowsTheLockOnTheScreen)
{
    SetBackBufferSize(800, 600);
    const gfx::Rect lockBox{329, 44, 363, 79};
    for (int kind : {101, 102}) {
        PlayerSide = 1;
        RobotTypeId = kind;
        EarthCount = 1;
        BattleInit();
        PlaceRobot(0, 500, 500, 0);
        Robots[0].weapon = 1;
        PlaceTank(0, 500, 560, 0);  // 60 straight ahead: in the sight
        RobotPlayerControl();
        PlaceChaseCamera();
        ViewMatrix = MatLookAtLH(CameraEye, CameraLookAt, CameraUp);
        ProjectionMatrix = MatPerspectiveFovLH(kFieldOfView, kViewAspect, 0.1f, 12000.0f);
        EXPECT_EQ(Robots[0].lockedOn, 1) << kind;
        Drawn d(DrawHudAndBanners);
        EXPECT_EQ(d.Of(CharTexture, kMissileSight).size(), 1u) << kind;
        EXPECT_EQ(d.Of(CharTexture, lockBox).size(), 1u) << kind;
    }
    RobotTypeId = 101;
}

