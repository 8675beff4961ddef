// The front end on the null device: the buttons' click and hover rules, the
// design space at other resolutions, the pacing gate, what the title puts
// back, stepping through the kinds, the stage limits, Start, and the
// options screen's Apply when the device takes the mode and when it does not.
#include <gtest/gtest.h>
#include "platform/test_hooks.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <cstring>
#include <string>

#include "services/device.h"
#include "services/display.h"
#include "services/controls.h"
#include "services/options.h"
#include "services/scene.h"
#include "services/settings.h"
#include "assets/sound.h"
#include "battle/frame.h"
#include "battle/pause.h"
#include "records/state.h"
#include "sides/robot_side.h"
#include "sides/tank_side.h"
#include "battle/setup.h"
#include "frontend/frontend.h"
#include "services/report.h"
#include "frontend/menu.h"
#include "drawn.h"
#include "menu_atlases.h"
#include "headless_device.h"
#include "platform/input_script.h"
#include "run_util.h"
#include "units/robots/robot_kinds.h"
#include "units/tanks/tank_kinds.h"
#include "world/sky.h"

namespace {
class FrontEndTest : public HeadlessDevice {
protected:
    void SetUp() override
    {
        HeadlessDevice::SetUp();
        ASSERT_EQ(chdir(VARNOK_PACK), 0);
        SetFixedRenderStates();
        CreateSpriteBatcher();
        CreateFonts();
        CreateShadowResources(1024);
        ResetMenuState();
        time_ = 1000;
        sys::SetVirtualTime(time_);
        ResetSteps();
        PlayerSide = 0;
        TitleInit();
    }
    void TearDown() override
    {
        gfx::RefuseResets(false);
        ReleaseFrontEnd();
        ReleaseFrontEndModels();
        ReleaseAllTankModels();
        ReleaseAllRobotModels();
        ReleaseBattleTextures();
        ReleaseBattleEffect();
        sys::SetInputScript(nullptr);
        SceneProc = nullptr;
        HeadlessDevice::TearDown();
    }
    void Input(const std::string& line)
    {
        std::string err;
        ASSERT_TRUE(ParseInputScript("1 " + line + "\n", "t", &script_, &err)) << err;
        sys::SetInputScript(&script_);
        sys::ApplyScriptStep(1);
    }
    // One step of whatever scene is installed, 16 ms after the last.
    void Step()
    {
        time_ += 16;
        sys::SetVirtualTime(time_);
        if (SceneProc) SceneProc();
    }
    void MoveTo(float designX, float designY)
    {
        sys::SetCursorPos(static_cast<int>(std::lround(designX * scaleX)),
                          static_cast<int>(std::lround(designY * scaleY)));
    }
    // As a player clicks: onto the point with the button up, press,
    // release; a step each.
    void Click(float designX, float designY)
    {
        MoveTo(designX, designY);
        Input("buttonup left");
        Step();
        Input("buttondown left");
        Step();
        Input("buttonup left");
        Step();
    }
    void Press(const char* key)
    {
        Input(std::string("keydown ") + key);
        Step();
        Input(std::string("keyup ") + key);
        Step();
    }
    // A pad button pressed for a step and released for one (the script's
    // pad plugged in first, as it stays).
    void PadPress(const char* button)
    {
        PadInput(std::string("paddown ") + button);
        Step();
        PadInput(std::string("padup ") + button);
        Step();
    }
    void PadInput(const std::string& line)
    {
        std::string err;
        ASSERT_TRUE(ParseInputScript("1 padconnect\n1 " + line + "\n", "t", &script_, &err)) << err;
        sys::SetInputScript(&script_);
        sys::ApplyScriptStep(1);
    }
    // The design point the cursor stands on.
    sys::Point DesignCursor()
    {
        sys::Point p;
        sys::GetCursorPos(&p);
        return {static_cast<int>(std::lround(p.x / scaleX)), static_cast<int>(std::lround(p.y / scaleY))};
    }
    // From the title to the select screen of a side, the fade run out.
    void ToSelectScreen(int side)
    {
        Step();  // the title's first step
        Click(400, 260);
        Click(side == 0 ? 170 : 630, 290);
        ASSERT_EQ(SceneProc, side == 0 ? &TankSelect : &RobotSelect);
    }
    uint32_t time_ = 0;
    InputScript script_;
};

// A press clicks once, on the step it begins, on the button the pointer is
// over then, wherever the pointer was a step before (a tablet or a quick
// hand moves and presses at once); held, or dragged onto a button after it
// began elsewhere, it clicks nothing more.
TEST_F(FrontEndTest, APressClicksOnceOnTheButtonItBeginsOn)
{
    const MenuBox a{100, 100, 200, 150}, b{300, 100, 400, 150};
    int32_t stateA = 0, stateB = 0;
    int fired = 0;
    uint32_t lastRun = 0;
    auto step = [&] {
        time_ += 16;
        sys::SetVirtualTime(time_);
        ASSERT_TRUE(MenuTick(&lastRun));
        fired += MenuClick(a, &stateA) ? 1 : 0;
        fired += MenuClick(b, &stateB) ? 1 : 0;
    };
    sys::SetCursorPos(150, 120);
    step();
    EXPECT_EQ(stateA, kButtonHover);
    Input("buttondown left");
    for (int i = 0; i < 10; ++i) step();  // held: one click
    EXPECT_EQ(fired, 1);
    sys::SetCursorPos(350, 120);  // onto the other button, still held
    for (int i = 0; i < 5; ++i) step();
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(stateA, kButtonIdle);
    EXPECT_EQ(stateB, kButtonHover);
    Input("buttonup left");
    step();
    Input("buttondown left");
    step();
    EXPECT_EQ(fired, 2);
    EXPECT_EQ(stateB, kButtonPressed);
    // Let go away from every button, then moved onto one and pressed in the
    // same step: a click.
    Input("buttonup left");
    sys::SetCursorPos(600, 500);
    step();
    Input("buttondown left");
    sys::SetCursorPos(150, 120);
    step();
    EXPECT_EQ(fired, 3);
    EXPECT_EQ(stateA, kButtonPressed);
    // A press that begins off every button and is dragged onto one: none.
    Input("buttonup left");
    sys::SetCursorPos(600, 500);
    step();
    Input("buttondown left");
    step();
    sys::SetCursorPos(150, 120);
    for (int i = 0; i < 5; ++i) step();
    EXPECT_EQ(fired, 3);
    EXPECT_EQ(stateA, kButtonHover);
}

TEST_F(FrontEndTest, HitBoxesScaleWithTheScreen)
{
    const MenuBox start{230, 230, 570, 290};
    struct Case {
        int w, h, x, y;
        bool inside;
    } cases[] = {
        {640, 480, 184, 184, true},  {640, 480, 183, 200, false}, {640, 480, 456, 232, true},
        {640, 480, 457, 232, false}, {640, 480, 300, 233, false}, {640, 480, 300, 232, true},
        {1024, 768, 295, 295, true}, {1024, 768, 294, 300, false}, {1024, 768, 729, 371, true},
        {1024, 768, 730, 300, false}, {1024, 768, 500, 372, false}, {800, 600, 230, 230, true},
        {800, 600, 570, 290, true},  {800, 600, 571, 290, false},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(sys::SetClientSize(c.w, c.h, false));
        SetBackBufferSize(c.w, c.h);
        sys::SetCursorPos(c.x, c.y);
        EXPECT_EQ(CursorIn(start), c.inside) << c.w << "x" << c.h << " at " << c.x << "," << c.y;
    }
}

TEST_F(FrontEndTest, AScreenCalledAgainWithin15MsDrawsNothing)
{
    Step();
    const uint64_t presented = gfx::FramesPresented();
    const uint32_t steps = StepsRun();
    for (uint32_t later : {1u, 15u}) {
        sys::SetVirtualTime(time_ + later);
        TitleMenu();
        EXPECT_EQ(gfx::FramesPresented(), presented) << later << " ms later";
    }
    sys::SetVirtualTime(time_ + 16);
    TitleMenu();
    EXPECT_EQ(gfx::FramesPresented(), presented + 1);
    EXPECT_EQ(StepsRun(), steps + 1);
}

TEST_F(FrontEndTest, TheTitlePutsTheBattleDefaultsBackAndKeepsTheSide)
{
    PlayerSide = 1;
    EarthCount = 12;
    MercuryCount = 2;
    SkyId = 207;
    TankTypeId = 1;
    RobotTypeId = 102;
    BattleMinutes = 90;
    BattleClock = 17;
    PreviewTank = TankUnit{};
    PreviewRobot = RobotUnit{};
    ButtonState[kBackButton] = kButtonPressed;
    ReleaseFrontEnd();
    TitleInit();
    EXPECT_EQ(SceneProc, &TitleMenu);
    EXPECT_EQ(PlayerSide, 1);
    EXPECT_EQ(EarthCount, 4);
    EXPECT_EQ(MercuryCount, 4);
    EXPECT_EQ(SkyId, 203);
    EXPECT_EQ(TankTypeId, 2);
    EXPECT_EQ(RobotTypeId, 101);
    EXPECT_EQ(BattleMinutes, 30);
    EXPECT_EQ(BattleClock, 30 * 3600);
    EXPECT_EQ(ButtonState[kBackButton], kButtonIdle);
    EXPECT_NE(FrontEnd.menuLog, nullptr);
    EXPECT_NE(StarSphere.mesh, nullptr);
    // The previews stand whole: alive, full hit points, every robot part
    // where the robot is.
    EXPECT_EQ(PreviewTank.alive, 1);
    EXPECT_FLOAT_EQ(PreviewTank.hp, 256);
    EXPECT_FLOAT_EQ(PreviewTank.turretWorld.m[3][2], 3.0f);
    EXPECT_EQ(PreviewRobot.alive, 1);
    EXPECT_FLOAT_EQ(PreviewRobot.hp, 256);
    for (const Mat4& m : PreviewRobot.partWorld) {
        EXPECT_FLOAT_EQ(m.m[3][1], 0.6f);
        EXPECT_FLOAT_EQ(m.m[3][2], 4.0f);
    }
}

TEST_F(FrontEndTest, BackFromABattleTheTitleHoldsNothingOfIt)
{
    std::string errors;
    ASSERT_FALSE(gfx::Failed(gfx::CreateEffectFromFile("LAND/Effect/IceShader.fx", &BattleEffect, &errors))) << errors;
    ASSERT_FALSE(gfx::Failed(LoadTexture(&CharTexture, "LAND/Sprite/Char.bmp", 512, 512, 0xFFFF00FF)));
    ReleaseFrontEnd();  // a battle runs without the front end
    BattleExitScene = TitleInit;
    LeaveBattle();
    ASSERT_EQ(SceneProc, &TitleInit);
    SceneProc();
    EXPECT_EQ(SceneProc, &TitleMenu);
    EXPECT_EQ(BattleEffect, nullptr);
    EXPECT_EQ(CharTexture, nullptr);
    EXPECT_NE(FrontEnd.menuLog, nullptr);
    EXPECT_NE(BitTexture, nullptr);  // the fades' texture, loaded again
    BattleExitScene = nullptr;
}

TEST_F(FrontEndTest, TheFadeIsBlackWithItsAlphaAndRunsItsCourse)
{
    EXPECT_EQ(FadeColour(255), 0xFF000000u);
    EXPECT_EQ(FadeColour(128), 0x80000000u);
    EXPECT_EQ(FadeColour(0), 0u);
    for (auto [step, steps] : {std::pair{3, 85}, std::pair{2, 128}}) {
        FadeWholeScreen();
        EXPECT_EQ(FadeRect.right, 800);
        EXPECT_EQ(FadeRect.bottom, 600);
        int n = 0;
        while (FadeAlpha > 0 && n < 1000) {
            DrawFade(step);
            ++n;
        }
        EXPECT_EQ(n, steps) << "falling by " << step;
    }
}

TEST_F(FrontEndTest, ArrowsAndKeysStepThroughEveryKindAndWrapAround)
{
    ToSelectScreen(0);
    EXPECT_EQ(TankTypeId, 2);
    Click(80, 300);  // the left arrow counts up
    EXPECT_EQ(TankTypeId, 3);
    EXPECT_EQ(FadeRect.left, 130);
    EXPECT_EQ(FadeRect.bottom, 425);
    for (int i = 0; i < 6; ++i) Click(80, 300);
    EXPECT_EQ(TankTypeId, 9);
    Click(80, 300);
    EXPECT_EQ(TankTypeId, 1);
    FadeAlpha = 0;
    Click(720, 300);  // the right arrow counts down, past the first to the last
    EXPECT_EQ(TankTypeId, 9);
    EXPECT_GT(FadeAlpha, 0) << "each step fades the panel";
    FadeAlpha = 0;
    Press("A");
    EXPECT_EQ(TankTypeId, 1);
    EXPECT_GT(FadeAlpha, 0);
    Press("RIGHT");
    EXPECT_EQ(TankTypeId, 9);
    // Holding A steps once; D pressed meanwhile steps back once; holding
    // both steps no further.
    Input("keydown A");
    Step();
    EXPECT_EQ(TankTypeId, 1);
    Input("keydown D");
    Step();
    EXPECT_EQ(TankTypeId, 9);
    for (int i = 0; i < 5; ++i) Step();
    EXPECT_EQ(TankTypeId, 9);
    Input("keyup A");
    Input("keyup D");
    Step();

    Click(110, 525);  // Back, and the robots
    EXPECT_EQ(SceneProc, &ForcesSelect);
    Click(630, 290);
    ASSERT_EQ(SceneProc, &RobotSelect);
    EXPECT_EQ(RobotTypeId, 101);
    Click(720, 300);
    EXPECT_EQ(RobotTypeId, 104);
    Click(80, 300);
    EXPECT_EQ(RobotTypeId, 101);
    Press("LEFT");
    Press("LEFT");
    Press("LEFT");
    Press("LEFT");
    EXPECT_EQ(RobotTypeId, 101);
}

TEST_F(FrontEndTest, AnArrowClickEndsTheStepsInputAndTheTurning)
{
    ToSelectScreen(0);
    MoveTo(80, 300);
    Step();
    const Mat4 before = PreviewTank.world;
    // The arrow and the key on one step: the arrow steps, the key is not
    // looked at, the preview holds still.
    Input("buttondown left");
    Input("keydown D");
    Step();
    EXPECT_EQ(TankTypeId, 3);
    EXPECT_EQ(std::memcmp(&before, &PreviewTank.world, sizeof before), 0);
    Input("buttonup left");
    Step();  // now the key is seen
    EXPECT_EQ(TankTypeId, 2);
}

TEST_F(FrontEndTest, NextGoesOnOnlyWithAKindThatMayFight)
{
    for (int side : {0, 1}) {
        ReleaseFrontEnd();
        TitleInit();
        ToSelectScreen(side);
        int32_t* type = side == 0 ? &TankTypeId : &RobotTypeId;
        const int first = side == 0 ? 1 : 101, last = side == 0 ? 9 : 104;
        for (int kind = first; kind <= last; ++kind) {
            *type = kind;
            Click(690, 525);
            const bool fights = kind == 1 || kind == 2 || kind == 101 || kind == 102;
            EXPECT_EQ(SceneProc == &StageSet, fights) << kind;
            EXPECT_EQ(*type, kind);
            if (SceneProc == &StageSet) Click(210, 530);  // back to the select screen of the side
            ASSERT_EQ(SceneProc, side == 0 ? &TankSelect : &RobotSelect) << kind;
        }
    }
}

TEST_F(FrontEndTest, AKindLoadsTheFirstTimeItIsShownAndDrawsFromTheNextStep)
{
    static int loads, draws;
    static int32_t drawnAlive;
    loads = draws = 0;
    RobotKind saved = RobotKinds[2];  // R-NO.16: looked at only
    RobotKinds[2].load = [] { ++loads; };
    RobotKinds[2].draw = [](const RobotUnit& r) {
        ++draws;
        drawnAlive = r.alive;
    };
    ToSelectScreen(1);
    RobotTypeId = 103;
    Step();
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(draws, 0);
    Step();
    Step();
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(draws, 2);
    EXPECT_EQ(drawnAlive, 1);
    RobotKinds[2] = saved;
    // A kind with no routines at all shows nothing and nothing fails.
    RobotTypeId = 104;
    Step();
    Step();
    EXPECT_EQ(SceneProc, &RobotSelect);
}

TEST_F(FrontEndTest, ThePreviewIsLitFromTheSameSideAsTheBattle)
{
    ToSelectScreen(0);
    Step();
    Vec4 dir{};
    ASSERT_TRUE(gfx::EffectGetVector(ShadowEffect, "vecLightDir", &dir));
    const Vec3 toLight = Vec3Normalize({10, 18, -10});
    EXPECT_NEAR(dir.x, toLight.x, 1e-5f);
    EXPECT_NEAR(dir.y, toLight.y, 1e-5f);
    EXPECT_NEAR(dir.z, toLight.z, 1e-5f);
    // The kinds' draw routines read the screen's camera and light.
    const Mat4 view = MatLookAtLH({0, 0, -5}, {0, 0, 0}, {0, 1, 0});
    const Mat4 light = MatLookAtLH({10, 18, -10}, {0, 0, 0}, {0, 1, 0});
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            EXPECT_FLOAT_EQ(ViewMatrix.m[r][c], view.m[r][c]);
            EXPECT_FLOAT_EQ(LightViewMatrix.m[r][c], light.m[r][c]);
        }
}

TEST_F(FrontEndTest, TheStageKeepsItsLimitsAndStartHandsOverToTheBattle)
{
    ToSelectScreen(0);
    Click(690, 525);
    ASSERT_EQ(SceneProc, &StageSet);
    std::string skies;
    for (int i = 0; i < 10; ++i) {
        Click(560, 410);
        skies += std::to_string(SkyId) + " ";
    }
    EXPECT_EQ(skies, "204 205 206 207 208 200 201 202 203 204 ");
    for (int i = 0; i < 6; ++i) Click(240, 410);
    EXPECT_EQ(SkyId, 207);
    struct Arrow {
        float x, y;
        int32_t* value;
        int32_t stop;
    } arrows[] = {
        {66, 420, &EarthCount, 16}, {66, 450, &EarthCount, 1},       {733, 420, &MercuryCount, 16},
        {733, 450, &MercuryCount, 1}, {560, 475, &BattleMinutes, 90}, {240, 475, &BattleMinutes, 5},
    };
    for (const Arrow& a : arrows) {
        for (int i = 0; i < 25; ++i) Click(a.x, a.y);
        EXPECT_EQ(*a.value, a.stop) << a.x << "," << a.y;
    }
    EXPECT_EQ(SceneProc, &StageSet);
    for (int i = 0; i < 17; ++i) Click(560, 475);
    EXPECT_EQ(BattleMinutes, 90);
    // Start: the clock from the minutes, the front end's pictures released
    // and nothing more drawn on that step; the 1 x 1 texture stays for the
    // battle.
    MoveTo(590, 530);
    Step();
    Input("buttondown left");
    const uint64_t presented = gfx::FramesPresented();
    Step();
    EXPECT_EQ(SceneProc, &BattleInit);
    EXPECT_EQ(BattleClock, 324000);
    EXPECT_EQ(gfx::FramesPresented(), presented);
    EXPECT_EQ(FrontEnd.menuLog, nullptr);
    EXPECT_EQ(FrontEnd.logo, nullptr);
    EXPECT_NE(BitTexture, nullptr);
    ReleaseFrontEnd();  // again: nothing left to release, nothing fails
    // The planets stay for the next visit to the title, which takes them as
    // they are rather than loading them again.
    const gfx::Mesh* earth = EarthModel.mesh;
    ASSERT_NE(earth, nullptr);
    TitleInit();
    EXPECT_EQ(EarthModel.mesh, earth);
    EXPECT_NE(FrontEnd.menuLog, nullptr);
}

TEST_F(FrontEndTest, TheForcesScreenSwingsTheHoveredPlanetAndFadesItsCaption)
{
    Step();
    Click(400, 260);
    ASSERT_EQ(SceneProc, &ForcesSelect);
    MoveTo(170, 290);  // over Earth
    for (int i = 0; i < 29; ++i) Step();
    // Both planets are drawn where they swing: Earth on the left, near;
    // Mercury on the right, far.
    Drawn captions;
    const float starsBefore = StarSphereAngle;
    std::vector<gfx::DrawnCall> calls = DrawCalls([&] { captions = Drawn([&] { Step(); }); });
    int left = 0, right = 0;
    for (const auto& c : calls) {
        if (!c.mesh) continue;
        Vec3 at = Position(c.world);
        left += at.x == -2.0f && at.z == 0.0f;
        right += at.x == 2.5f && at.z == 1.0f;
    }
    EXPECT_GT(left, 0);
    EXPECT_GT(right, 0);
    // Round them the sphere of stars, turning slowly.
    int stars = 0;
    for (const auto& c : calls) stars += c.mesh == StarSphere.mesh && c.mesh;
    EXPECT_GT(stars, 0);
    EXPECT_NEAR(StarSphereAngle, starsBefore + 0.01f, 1e-4);
    // The caption hangs centred across the top of the screen.
    bool centred = false;
    for (const auto& s : captions.sprites)
        centred |= s.texture == FrontEnd.forcesCaptions && std::fabs(Middle(s).x - 400) < 1 && s.lo.y < 150;
    EXPECT_TRUE(centred);
    EXPECT_FLOAT_EQ(EarthSwing.x, -2.0f);
    EXPECT_FLOAT_EQ(EarthSwing.z, 0.0f);
    EXPECT_EQ(EarthCaptionAlpha, 90);
    EXPECT_EQ(NeutralCaptionAlpha, 195);
    MoveTo(400, 290);  // between the halves
    Click(400, 290);
    EXPECT_EQ(SceneProc, &ForcesSelect);
    for (int i = 0; i < 200; ++i) Step();
    EXPECT_FLOAT_EQ(EarthSwing.x, -2.5f);
    EXPECT_EQ(EarthCaptionAlpha, 0);
    EXPECT_EQ(NeutralCaptionAlpha, 255);
    // Over Mercury it swings near in turn.
    MoveTo(630, 290);
    for (int i = 0; i < 30; ++i) Step();
    EXPECT_FLOAT_EQ(MercurySwing.x, 2.0f);
    EXPECT_FLOAT_EQ(MercurySwing.z, 0.0f);
    // Into the robots and back: both planets start far again.
    Click(630, 290);
    ASSERT_EQ(SceneProc, &RobotSelect);
    EXPECT_EQ(PlayerSide, 1);
    Click(110, 525);
    EXPECT_FLOAT_EQ(MercurySwing.x, 2.5f);
    EXPECT_FLOAT_EQ(MercurySwing.z, 1.0f);
}

namespace {
gfx::Rect DigitRect(int d) { return {65 + 35 * d, 0, 100 + 35 * d, 30}; }
}  // namespace

TEST_F(FrontEndTest, TheTitleFillsTheScreenAtEverySizeWithTheVersionInItsCorner)
{
    for (auto size : {std::pair{800, 600}, std::pair{1024, 768}}) {
        UseScreenSize(size.first, size.second);
        TitleInit();
        sys::Point cursor;
        sys::GetCursorPos(&cursor);
        EXPECT_EQ(cursor.x, OptionData.screenWidth / 2);  // the middle of the size the game started with
        EXPECT_EQ(cursor.y, OptionData.screenHeight / 2);
        Drawn d([&] { Step(); });
        // The whole picture over the whole screen.
        bool background = false;
        for (const auto& s : d.sprites)
            background |= s.texture == FrontEnd.mainMenu && s.lo.x == 0 && s.lo.y == 0 &&
                          std::fabs(s.hi.x - size.first) < 1e-2f && std::fabs(s.hi.y - size.second) < 1e-2f;
        EXPECT_TRUE(background) << size.first;
        // The buttons stand where they are clicked: START's picture covers
        // the point (400, 260) of the design, scaled.
        bool start = false;
        for (const auto& s : d.sprites)
            start |= s.texture == FrontEnd.menuLog && s.lo.x < 400 * scaleX && s.hi.x > 400 * scaleX &&
                     s.lo.y < 260 * scaleY && s.hi.y > 260 * scaleY;
        EXPECT_TRUE(start) << size.first;
        bool version = false;
        for (const auto& t : d.texts) version |= t.text == "Ver.1.01" && t.rect.left == 100 && t.rect.top == 50;
        EXPECT_TRUE(version) << size.first;
    }
    scaleX = scaleY = 1;
}

TEST_F(FrontEndTest, TheStageShowsEachCountInDigitsAndLightsOnlyTheArrowUnderTheCursor)
{
    ToSelectScreen(0);
    Click(690, 525);
    ASSERT_EQ(SceneProc, &StageSet);
    for (int i = 0; i < 12; ++i) Click(66, 420);  // Earth 16
    Click(733, 450);                               // Mercury 3
    for (int i = 0; i < 5; ++i) Click(560, 475);   // 55 minutes
    ASSERT_EQ(EarthCount, 16);
    ASSERT_EQ(MercuryCount, 3);
    ASSERT_EQ(BattleMinutes, 55);
    MoveTo(400, 150);  // over no arrow
    Step();
    for (int32_t h : StageArrowHover) EXPECT_EQ(h, 0);
    Drawn d([&] { Step(); });
    // Tens left of units, each number on its own row.
    struct Number { int tens, units; float y; } numbers[] = {{1, 6, 435}, {0, 3, 435}, {5, 5, 475}};
    for (const Number& n : numbers) {
        auto tens = d.Of(FrontEnd.logo, DigitRect(n.tens));
        auto units = d.Of(FrontEnd.logo, DigitRect(n.units));
        bool found = false;
        for (const auto& t : tens)
            for (const auto& u : units)
                found |= t.lo.y == u.lo.y && t.lo.x < u.lo.x && std::fabs(t.lo.y - n.y) < 40;
        EXPECT_TRUE(found) << n.tens << n.units;
    }
    // The chosen sky's name plate, and no other.
    for (int k = 0; k < 9; ++k)
        EXPECT_EQ(d.Of(FrontEnd.logo, gfx::Rect{172, 100 + 38 * k, 337, 138 + 38 * k}).size(), SkyId == 200 + k ? 1u : 0u)
            << k;
    // Digits drawn are only those of the numbers on the screen.
    int digits = 0;
    for (int k = 0; k < 10; ++k) digits += static_cast<int>(d.Of(FrontEnd.logo, DigitRect(k)).size());
    EXPECT_EQ(digits, 6);
    MoveTo(66, 420);
    Step();
    for (int k = 0; k < 6; ++k) EXPECT_EQ(StageArrowHover[k], k == 0 ? 1 : 0) << k;
}

// Every screen walked with the pad alone: the d-pad moves the cursor onto
// the nearest button that way (its hover shows the focus), A presses it as
// the left button does, B presses the screen's Back; the shoulders step
// through the kinds.  At 1024 x 768 the focus lands on the buttons scaled.
TEST_F(FrontEndTest, ThePadWalksEveryScreenWithTheDPadAAndB)
{
    ASSERT_TRUE(sys::SetClientSize(1024, 768, false));
    UseScreenSize(1024, 768);
    MoveTo(400, 300);
    Step();                 // the title shows its buttons
    PadPress("DPADUP");     // from the middle, over no button: up to START
    EXPECT_EQ(ButtonState[kTitleStart], kButtonHover);
    EXPECT_EQ(DesignCursor().x, 400);
    EXPECT_EQ(DesignCursor().y, 260);
    PadPress("DPADDOWN");
    EXPECT_EQ(ButtonState[kTitleSecond], kButtonHover);
    EXPECT_EQ(ButtonState[kTitleStart], kButtonIdle);
    PadPress("DPADDOWN");
    PadPress("DPADDOWN");
    EXPECT_EQ(ButtonState[kTitleQuit], kButtonHover);
    PadPress("DPADDOWN");   // nothing further down: the focus stays
    PadPress("DPADLEFT");   // nor to the side
    EXPECT_EQ(ButtonState[kTitleQuit], kButtonHover);
    PadPress("DPADUP");
    EXPECT_EQ(ButtonState[kTitleOptions], kButtonHover);
    PadPress("B");          // the title has no Back: nothing
    EXPECT_EQ(SceneProc, &TitleMenu);
    PadPress("A");
    ASSERT_EQ(SceneProc, &OptionsScreen);
    PadPress("B");          // the options screen's Back
    ASSERT_EQ(SceneProc, &TitleMenu);

    for (int k = 0; k < 4; ++k) PadPress("DPADUP");  // from the options' Back: QUIT first
    EXPECT_EQ(ButtonState[kTitleStart], kButtonHover);
    PadInput("paddown A");  // held into the next screen: presses nothing there
    Step();
    ASSERT_EQ(SceneProc, &ForcesSelect);
    Step();
    PadInput("padup A");
    Step();
    PadPress("DPADLEFT");   // Earth's half
    EXPECT_EQ(EarthHovered, 1);
    PadPress("DPADRIGHT");  // Mercury's
    EXPECT_EQ(MercuryHovered, 1);
    EXPECT_EQ(EarthHovered, 0);
    PadPress("DPADLEFT");
    PadPress("A");
    ASSERT_EQ(SceneProc, &TankSelect);

    EXPECT_EQ(TankTypeId, 2);
    PadPress("RIGHTSHOULDER");  // as D
    EXPECT_EQ(TankTypeId, 1);
    PadPress("LEFTSHOULDER");   // as A
    PadPress("LEFTSHOULDER");
    EXPECT_EQ(TankTypeId, 3);
    Step();
    PadPress("DPADRIGHT");      // from Earth's half: the right arrow
    EXPECT_EQ(ButtonState[kRightArrow], kButtonHover);
    PadPress("A");              // the arrow pressed
    EXPECT_EQ(TankTypeId, 2);
    PadPress("DPADDOWN");       // Next, below it
    EXPECT_EQ(ButtonState[kNextButton], kButtonHover);
    PadPress("DPADLEFT");       // Back, across
    EXPECT_EQ(ButtonState[kBackButton], kButtonHover);
    PadPress("DPADRIGHT");
    PadPress("A");
    ASSERT_EQ(SceneProc, &StageSet);
    PadPress("B");
    ASSERT_EQ(SceneProc, &TankSelect);
    PadPress("B");
    ASSERT_EQ(SceneProc, &ForcesSelect);
    PadPress("B");
    EXPECT_EQ(SceneProc, &TitleMenu);
    UseScreenSize(800, 600);
}

class OptionsScreenTest : public FrontEndTest {
protected:
    void SetUp() override
    {
        FrontEndTest::SetUp();
        dir_ = MakeTempDir();
        MirrorPack(VARNOK_PACK, dir_, false);  // the effects a mode's reset loads again
        ASSERT_EQ(mkdir((dir_ + "/Data").c_str(), 0755), 0);
        ASSERT_EQ(chdir(dir_.c_str()), 0);
        WriteFile(dir_ + "/Data/OptionData.dat", "0\r\n800\r\n600\r\n1024\r\n");
        Step();
        Click(400, 420);
        ASSERT_EQ(SceneProc, &OptionsScreen);
    }
    void TearDown() override
    {
        std::system(("rm -rf " + dir_).c_str());
        FrontEndTest::TearDown();
    }
    std::string dir_;
};

TEST_F(OptionsScreenTest, ApplyRunsTheChosenModeAtOnceAndStoresIt)
{
    EXPECT_EQ(ResolutionChoice, 1);
    EXPECT_EQ(ScreenModeChoice, 1);
    EXPECT_EQ(ShadowChoice, 2);
    Click(666, 165);  // 1024 x 768
    Click(666, 455);  // shadows high
    Click(78, 518);   // Apply
    EXPECT_EQ(BackBufferWidth(), 1024);
    EXPECT_EQ(BackBufferHeight(), 768);
    EXPECT_FLOAT_EQ(scaleX, 1.28f);
    EXPECT_FLOAT_EQ(scaleY, 1.28f);
    EXPECT_EQ(sys::ClientWidth(), 1024);
    EXPECT_EQ(OptionData.shadowMapSize, 1600);
    EXPECT_EQ(ReadFile(dir_ + "/Data/OptionData.dat"), "0\r\n1024\r\n768\r\n1600\r\n");
    EXPECT_EQ(FadeAlpha, 251);  // the fade started and ran two steps
    // The hit boxes grew with the screen: the arrows answer where they are drawn.
    Click(310, 165);
    Click(310, 165);
    Click(310, 310);  // full screen
    Click(78, 518);
    EXPECT_EQ(BackBufferWidth(), 640);
    EXPECT_FALSE(PresentParams.windowed);
    EXPECT_FLOAT_EQ(scaleX, 0.8f);
    EXPECT_EQ(ReadFile(dir_ + "/Data/OptionData.dat"), "1\r\n640\r\n480\r\n1600\r\n");
    // Back drops what was not applied.
    Click(666, 165);
    Click(78, 565);
    EXPECT_EQ(SceneProc, &TitleMenu);
    EXPECT_EQ(BackBufferWidth(), 640);
    EXPECT_EQ(ReadFile(dir_ + "/Data/OptionData.dat"), "1\r\n640\r\n480\r\n1600\r\n");
}

// A save that fails says so on screen, naming the file and the reason; the
// game goes on with what was applied, and the file keeps the old settings.
TEST_F(OptionsScreenTest, ASaveThatFailsIsToldWithTheFileAndTheReason)
{
    ASSERT_EQ(chmod((dir_ + "/Data/OptionData.dat").c_str(), 0444), 0);
    Click(666, 165);  // 1024 x 768
    ::testing::internal::CaptureStderr();
    Click(78, 518);
    std::string told = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(told.find("VARNOK: The settings could not be saved in Data/OptionData.dat: it is read-only.\n"
                        "They apply until the game is closed."),
              std::string::npos)
        << told;
    EXPECT_EQ(BackBufferWidth(), 1024);
    EXPECT_EQ(ReadFile(dir_ + "/Data/OptionData.dat"), "0\r\n800\r\n600\r\n1024\r\n");
}

// A replay's APPLY runs what was chosen and writes neither of the player's
// files; the foot of the screen says so.
TEST_F(OptionsScreenTest, AReplaysApplyRunsTheModeSavesNothingAndSaysSo)
{
    ReplayingSession = true;
    Click(666, 165);  // 1024 x 768
    Click(78, 518);   // Apply
    ReplayingSession = false;
    EXPECT_EQ(BackBufferWidth(), 1024);
    EXPECT_EQ(ReadFile(dir_ + "/Data/OptionData.dat"), "0\r\n800\r\n600\r\n1024\r\n");
    EXPECT_NE(access((dir_ + "/Data/SettingData.dat").c_str(), F_OK), 0);
    bool told = false;
    for (const auto& t : Drawn([] { EndFrame(); }).texts)
        told |= t.text == "A replay saves nothing: what was applied holds until the game is closed.";
    EXPECT_TRUE(told);
}

TEST_F(OptionsScreenTest, AModeTheDeviceRefusesLeavesTheRunningSettingsAndTheFile)
{
    gfx::RefuseResets(true);
    Click(666, 165);
    Click(666, 310);
    Click(310, 455);
    Click(78, 518);
    EXPECT_EQ(BackBufferWidth(), 800);
    EXPECT_EQ(BackBufferHeight(), 600);
    EXPECT_TRUE(PresentParams.windowed);
    EXPECT_FLOAT_EQ(scaleX, 1.0f);
    EXPECT_EQ(OptionData.shadowMapSize, 1024);
    EXPECT_NE(ShadowTexture, nullptr);
    EXPECT_EQ(ReadFile(dir_ + "/Data/OptionData.dat"), "0\r\n800\r\n600\r\n1024\r\n");
    // The choices show what runs again.
    EXPECT_EQ(ResolutionChoice, 1);
    EXPECT_EQ(ScreenModeChoice, 1);
    EXPECT_EQ(ShadowChoice, 2);
}
}  // namespace

// The input tab: a click on a row waits for the next key or button, which
// changes places with the action that had it; Apply puts the keys in force
// and saves them in the settings file (the options file keeps its four
// lines), Back drops what was not applied.  The audio tab's levels are
// heard at once and dropped by Back too.
TEST_F(OptionsScreenTest, TheInputTabRebindsByClickAndKeyApplySavesItAndBackDropsIt)
{
    const std::string settings = dir_ + "/Data/SettingData.dat";
    auto row = [](BattleAction a) { return 118.0f + 26.0f * static_cast<float>(a) + 11.0f; };
    Click(78, 137);  // INPUT
    ASSERT_EQ(OptionsTab, kInputTab);
    MoveTo(300, row(kActFire));  // a click held a while: the button it holds is not the key
    Input("buttondown left");
    Step();
    Step();
    Input("buttonup left");
    Step();
    EXPECT_EQ(KeyChoice[kActFire], VK_LBUTTON);
    Press("W");  // forward's key: forward takes the left button
    EXPECT_EQ(KeyChoice[kActFire], 'W');
    EXPECT_EQ(KeyChoice[kActForward], VK_LBUTTON);
    // A row waiting takes a click as its button, and that click presses
    // nothing else: here the right button, then the left over Apply.
    Click(300, row(kActGunUp));
    MoveTo(78, 518);
    Input("buttondown right");
    Step();
    Input("buttonup right");
    Step();
    EXPECT_EQ(KeyChoice[kActGunUp], VK_RBUTTON);
    EXPECT_EQ(KeyChoice[kActSwitchWeapon], VK_UP);
    Click(300, row(kActPause));
    MoveTo(78, 518);  // the left button over Apply, held: it binds and applies nothing
    Input("buttondown left");
    Step();
    Step();
    Input("buttonup left");
    Step();
    EXPECT_EQ(KeyChoice[kActPause], VK_LBUTTON);
    EXPECT_EQ(KeyChoice[kActForward], VK_ESCAPE);
    EXPECT_EQ(BattleKeys[kActFire], VK_LBUTTON);  // nothing applied yet
    struct stat st {};
    EXPECT_NE(stat(settings.c_str(), &st), 0);
    // T, which takes screenshots, is passed over; five seconds without a
    // key end the wait with nothing changed.
    Click(300, row(kActNextView));
    Press("T");
    Press("X");
    EXPECT_EQ(KeyChoice[kActNextView], 'X');
    Click(300, row(kActNextView));
    for (int k = 0; k < 300; ++k) Step();
    Press("V");
    EXPECT_EQ(KeyChoice[kActNextView], 'X');
    Click(78, 518);  // Apply
    EXPECT_EQ(BattleKeys[kActFire], 'W');
    EXPECT_EQ(BattleKeys[kActPause], VK_LBUTTON);
    std::string problem;
    SettingRecord saved = ReadSettingsFile(settings.c_str(), &problem);
    EXPECT_EQ(problem, "");
    for (int a = 0; a < kBattleActionCount; ++a) EXPECT_EQ(saved.keys[a], KeyChoice[a]) << a;
    EXPECT_EQ(ReadFile(dir_ + "/Data/OptionData.dat"), "0\r\n800\r\n600\r\n1024\r\n");
    // Back after a change keeps what was applied, in force and in the file.
    const std::string kept = ReadFile(settings);
    Click(300, row(kActFire));
    Press("Q");
    Click(78, 86);  // AUDIO: master down, heard at once
    Click(310, 165);
    EXPECT_EQ(snd::ListenerVolume(), SoundLevelVolume(9));
    Click(78, 565);  // Back
    EXPECT_EQ(SceneProc, &TitleMenu);
    EXPECT_EQ(snd::ListenerVolume(), snd::kVolumeMax);
    EXPECT_EQ(BattleKeys[kActFire], 'W');
    EXPECT_EQ(SoundVolume.master, kSoundLevelMax);
    EXPECT_EQ(ReadFile(settings), kept);
    // The next visit starts from what is in force.
    Step();
    Click(400, 420);
    EXPECT_EQ(KeyChoice[kActFire], 'W');
    EXPECT_EQ(VolumeChoice.master, kSoundLevelMax);
    ResetBattleKeys();
}

TEST_F(OptionsScreenTest, EveryButtonIsDrawnWhereItIsClicked)
{
    for (auto size : {std::pair{800, 600}, std::pair{1024, 768}}) {
        UseScreenSize(size.first, size.second);
        Drawn d([&] { Step(); });
        // Back, Apply, the three tabs, and the arrows of the first tab.
        const std::pair<float, float> points[] = {{78, 565}, {78, 518}, {78, 35}, {78, 86}, {78, 137},
                                                  {310, 165}, {666, 165}};
        for (auto p : points) {
            bool under = false;
            for (const auto& sprite : d.sprites)
                under |= sprite.texture != FrontEnd.options && sprite.lo.x <= p.first * scaleX &&
                         sprite.hi.x >= p.first * scaleX && sprite.lo.y <= p.second * scaleY &&
                         sprite.hi.y >= p.second * scaleY;
            EXPECT_TRUE(under) << p.first << ", " << p.second << " at " << size.first;
        }
    }
    scaleX = scaleY = 1;
}

TEST_F(FrontEndTest, TheReportHoldsEveryChoiceTheMenusHold)
{
    RegisterMenuReport();
    PlayerSide = 1;
    TankTypeId = 5;
    RobotTypeId = 102;
    EarthCount = 7;
    MercuryCount = 9;
    SkyId = 206;
    BattleMinutes = 65;
    ResolutionChoice = 2;
    ScreenModeChoice = 0;
    ShadowChoice = 3;
    std::string menu = JsonObject(BuildReport(), "menu");
    EXPECT_EQ(JsonString(menu, "side"), "mercury") << menu;
    const std::pair<const char*, double> fields[] = {
        {"tank_type", 5}, {"robot_type", 102}, {"earth_count", 7}, {"mercury_count", 9}, {"sky", 206},
        {"minutes", 65}, {"resolution_choice", 2}, {"screen_mode_choice", 0}, {"shadow_choice", 3}};
    for (auto f : fields) EXPECT_EQ(JsonNumber(menu, f.first), f.second) << f.first << " in " << menu;
}

TEST_F(FrontEndTest, TheKindsNameStaysAtTheTopOfThePanelAtEverySize)
{
    ToSelectScreen(0);
    for (auto size : {std::pair{800, 600}, std::pair{1024, 768}}) {
        UseScreenSize(size.first, size.second);
        Drawn d([&] { Step(); });
        bool named = false;
        for (const auto& t : d.texts)
            named |= t.text == "ABRAMS" && t.rect.top == static_cast<int32_t>(128 * scaleY);
        EXPECT_TRUE(named) << size.first;
    }
    scaleX = scaleY = 1;
}

TEST_F(OptionsScreenTest, TheModeShownIsTheModeRunning)
{
    // Left on INPUT, the screen opens again on DISPLAY.
    Click(78, 137);
    ASSERT_EQ(OptionsTab, kInputTab);
    Click(78, 565);
    Click(400, 420);
    EXPECT_EQ(OptionsTab, kDisplayTab);
    // Opened while the game runs full screen, the screen choice says so.
    Click(78, 565);  // back to the title
    PresentParams.windowed = false;
    Step();
    Click(400, 420);
    ASSERT_EQ(SceneProc, &OptionsScreen);
    EXPECT_EQ(ScreenModeChoice, 0);
    Click(78, 565);
    PresentParams.windowed = true;
    Step();
    Click(400, 420);
    EXPECT_EQ(ScreenModeChoice, 1);
}

TEST_F(FrontEndTest, TheMenusPicturesLoadAtTheirSizesUnderARedHaze)
{
    Step();
    EXPECT_EQ(gfx::GetRenderState(gfx::RS_FOGCOLOR), 0xFFDC1414u);
    struct Case { gfx::Texture* texture; uint32_t w, h; } cases[] = {
        {FrontEnd.mainMenu, 1024, 1024}, {FrontEnd.menuLog, 1024, 1024}, {FrontEnd.forcesCaptions, 512, 512},
        {FrontEnd.selectBand, 1024, 256}, {FrontEnd.logo, 512, 512}};
    for (const Case& c : cases) ExpectTextureSize(c.texture, c.w, c.h);
}

// All nine tanks and all four robots show models of their own, each kind
// different from every other; the kinds that are only looked at show the
// "view only" plate under their name, over the model so no pose hides it,
// the ones that fight do not.
TEST_F(FrontEndTest, EveryKindOnTheSelectScreensShowsItsOwnModelAndTheViewOnlyOnesThePlate)
{
    const gfx::Rect sight{874, 963, 1023, 1023};
    for (int side : {0, 1}) {
        if (side == 1) {
            Click(110, 525);  // back to the forces screen
            Click(630, 290);
            ASSERT_EQ(SceneProc, &RobotSelect);
        } else {
            ToSelectScreen(0);
        }
        std::vector<std::set<const gfx::Mesh*>> seen;
        const int count = side == 0 ? kLastTankKind : kRobotKindCount;
        for (int n = 0; n < count; ++n) {
            const int kind = side == 0 ? TankTypeId : RobotTypeId;
            SCOPED_TRACE(side == 0 ? TankKindName(kind) : RobotKindName(kind));
            Step();  // a kind shown for the first time loads on this step
            std::set<const gfx::Mesh*> meshes;
            Drawn sprites;
            std::vector<gfx::DrawnCall> calls = DrawCalls([&] { sprites = Drawn([&] { Step(); }); });
            for (const auto& c : calls)
                if (c.mesh) meshes.insert(c.mesh);
            EXPECT_GE(meshes.size(), 3u);
            for (const auto& other : seen) EXPECT_NE(meshes, other);
            seen.push_back(meshes);
            const bool fights = side == 0 ? TankKindCanFight(kind) : RobotKindCanFight(kind);
            const auto plate = sprites.Of(FrontEnd.menuLog, sight);
            ASSERT_EQ(plate.size(), fights ? 0u : 1u);
            if (!fights) {
                size_t lastMesh = 0;
                for (size_t i = 0; i < calls.size(); ++i)
                    if (calls[i].mesh) lastMesh = i + 1;
                EXPECT_GE(plate[0].drawsBefore, lastMesh) << "the plate is drawn under the model";
                const gfx::DrawnText* name = sprites.Text(side == 0 ? TankKindName(kind) : RobotKindName(kind));
                ASSERT_NE(name, nullptr);
                EXPECT_GE(plate[0].lo.y, name->rect.top + 24);  // clear of the name
                EXPECT_LE(plate[0].hi.y, 220);                  // in the panel's top, where models seldom reach
                EXPECT_NEAR(Middle(plate[0]).x, 397.5f, 20);
            }
            if (side == 1) {  // a robot stands where its row shifts it, clear of its name
                const Vec3 shift = RobotKindOf(kind)->previewShift;
                EXPECT_NEAR(PreviewRobot.World().m[3][1], 0.6f + shift.y, 1e-5f);
                EXPECT_NEAR(PreviewRobot.World().m[3][2], 4.0f + shift.z, 1e-5f);
            }
            Click(720, 300);  // on to the next kind
        }
    }
}


// Every kind turns inside the panel's frame on its select screen: each
// vertex of every part drawn, over a whole turn, lands within the frame (a
// gun swinging past the frame or tracks cut by its foot are what a player
// sees first).  Drawn without the shadow effect, so each part's world is
// the device's.
TEST_F(FrontEndTest, EveryKindTurnsInsideThePanelsFrame)
{
    constexpr float kLeft = 138, kTop = 122, kRight = 658, kBottom = 418;  // the frame as the picture draws it
    gfx::Effect* shadow = ShadowEffect;
    ShadowEffect = nullptr;
    for (int side : {0, 1}) {
        if (side == 1) {
            Click(110, 525);
            Click(630, 290);
        } else {
            ToSelectScreen(0);
        }
        const int count = side == 0 ? kLastTankKind : kRobotKindCount;
        for (int n = 0; n < count; ++n) {
            const int kind = side == 0 ? TankTypeId : RobotTypeId;
            SCOPED_TRACE(side == 0 ? TankKindName(kind) : RobotKindName(kind));
            Step();  // loads
            float lo[2] = {1e9f, 1e9f}, hi[2] = {-1e9f, -1e9f};
            for (int turn = 0; turn < 400; turn += 8) {
                std::vector<gfx::DrawnCall> calls = DrawCalls([&] { Step(); });
                const Mat4 viewProj = ViewMatrix * ProjectionMatrix;
                for (const auto& c : calls) {
                    if (!c.mesh || c.world.m[3][2] > 9.0f) continue;  // the planet behind
                    gfx::Mesh* mesh = const_cast<gfx::Mesh*>(c.mesh);
                    const auto* bytes = static_cast<const uint8_t*>(gfx::MeshVertices(mesh));
                    const uint32_t stride = gfx::FvfStride(gfx::MeshFVF(mesh));
                    const uint32_t* index = gfx::MeshIndices(mesh);
                    const uint32_t* subset = gfx::MeshAttributes(mesh);
                    const Mat4 place = c.world * viewProj;
                    for (uint32_t f = 0; f < gfx::MeshFaceCount(mesh); ++f) {
                        if (subset[f] != c.subset) continue;
                        for (int k = 0; k < 3; ++k) {
                            Vec3 p;
                            std::memcpy(&p, bytes + static_cast<size_t>(index[3 * f + k]) * stride, 12);
                            const Vec3 s = Vec3TransformCoord(p, place);
                            const float x = (s.x + 1) * 400, y = (1 - s.y) * 300;
                            lo[0] = std::min(lo[0], x), hi[0] = std::max(hi[0], x);
                            lo[1] = std::min(lo[1], y), hi[1] = std::max(hi[1], y);
                        }
                    }
                }
                for (int skip = 0; skip < 7; ++skip) Step();
            }
            EXPECT_GE(lo[0], kLeft);
            EXPECT_LE(hi[0], kRight);
            EXPECT_GE(lo[1], kTop);
            EXPECT_LE(hi[1], kBottom);
            Click(720, 300);
        }
    }
    ShadowEffect = shadow;
}

// Every sprite a menu screen draws from an atlas is cut from exactly one of
// the pictures the pack lays out in it: a rectangle off by a pixel shows a
// sliver of the next picture or cuts its own.  The title, the forces screen
// with each planet hovered, both select screens through every kind, the
// stage with its arrows hovered, and the options screen's three tabs.
TEST_F(FrontEndTest, EverySpriteOfTheMenusIsAWholePictureOfItsAtlas)
{
    std::vector<gfx::DrawnSprite> seen;
    auto look = [&](int steps) {
        for (int k = 0; k < steps; ++k) {
            Drawn d([&] { Step(); });
            seen.insert(seen.end(), d.sprites.begin(), d.sprites.end());
        }
    };
    look(2);
    Click(400, 260);  // the forces screen
    for (float x : {170.0f, 630.0f}) {
        MoveTo(x, 290);
        look(3);
    }
    Click(170, 290);  // the tanks, every kind
    for (int n = 0; n < kLastTankKind; ++n) {
        look(2);
        Click(720, 300);
    }
    Click(690, 525);  // the stage
    ASSERT_EQ(SceneProc, &StageSet);
    for (auto [x, y] : {std::pair{66.0f, 420.0f}, std::pair{240.0f, 350.0f}, std::pair{560.0f, 410.0f}}) {
        MoveTo(x, y);
        look(2);
    }
    Click(210, 530);  // back to the tanks, to the forces, the robots
    Click(110, 525);
    Click(630, 290);
    ASSERT_EQ(SceneProc, &RobotSelect);
    for (int n = 0; n < kRobotKindCount; ++n) {
        look(2);
        Click(720, 300);
    }
    Click(110, 525);
    Click(400, 540);  // the title
    Click(400, 420);  // options, each tab
    ASSERT_EQ(SceneProc, &OptionsScreen);
    for (float y : {35.0f, 86.0f, 137.0f}) {
        Click(78, y);
        look(2);
    }
    const struct {
        gfx::Texture* atlas;
        std::vector<Rect4> pictures;
        const char* name;
    } atlases[] = {{FrontEnd.menuLog, MenuLogRects(), "Title/MenuLog.bmp"},
                   // The stage's time arrows have always been cut a pixel short of
                   // the arrows' pictures.
                   {FrontEnd.logo, [] { auto r = LogoRects(); r.push_back({0, 0, 29, 29}); r.push_back({30, 0, 59, 29}); return r; }(),
                    "Title/Game_Logo1.bmp"},
                   {FrontEnd.forcesCaptions, ForcesCaptionRects(), "Title/ForcesSelectMenu1.bmp"}};
    int checked = 0;
    for (const auto& s : seen)
        for (const auto& a : atlases) {
            if (s.texture != a.atlas) continue;
            ++checked;
            bool whole = false;
            for (const Rect4& r : a.pictures)
                whole |= s.src.left == r.l && s.src.top == r.t && s.src.right == r.r && s.src.bottom == r.b;
            EXPECT_TRUE(whole) << a.name << " (" << s.src.left << ", " << s.src.top << ")-(" << s.src.right << ", "
                               << s.src.bottom << ") is no picture of it";
        }
    EXPECT_GT(checked, 100);
    // The stage names both sides over their counts.
    for (const gfx::Rect label : {gfx::Rect{168, 31, 286, 99}, gfx::Rect{287, 31, 404, 99}}) {
        int drawn = 0;
        for (const auto& s : seen)
            drawn += s.texture == FrontEnd.logo && s.src.left == label.left && s.src.top == label.top &&
                     s.src.right == label.right && s.src.bottom == label.bottom;
        EXPECT_GT(drawn, 0) << label.left;
    }
}
