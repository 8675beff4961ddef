// The title: where the game starts and every battle comes back to.  Its
// initialisation loads the front end and puts the battle settings back to
// their defaults; the main menu offers start, a second button with no
// action yet, options and quit.
#include "battle/setup.h"
#include "services/device.h"
#include "services/display.h"
#include "services/options.h"
#include "services/scene.h"
#include "frontend/frontend.h"
#include "frontend/menu.h"
#include "platform/system.h"
#include "world/sky.h"

namespace {
struct TitleButton {
    gfx::Rect image;  // in "Title/MenuLog.bmp"
    float x, y;       // where its centre goes
    MenuBox box;
    int state;        // its ButtonState
};
const TitleButton kTitleButtons[4] = {
    {{2, 2, 447, 118}, 400, 260, {230, 230, 570, 290}, kTitleStart},
    {{2, 122, 447, 238}, 400, 340, {230, 310, 570, 370}, kTitleSecond},
    {{2, 242, 447, 358}, 400, 420, {230, 390, 570, 450}, kTitleOptions},
    {{2, 362, 447, 478}, 400, 500, {230, 470, 570, 530}, kTitleQuit},
};

constexpr uint32_t kTitleClear = 0xFF0000FF;
constexpr uint32_t kVersionColour = 0xFFFFFF00;
constexpr uint32_t kFrontEndFog = 0xFFDC1414;

uint32_t lastRun = 0;

void TitleAction(int button)
{
    switch (button) {
    case 0:
        ResetPlanets();
        FadeWholeScreen();
        SceneProc = ForcesSelect;
        break;
    case 2:
        FillOptionChoices();
        FadeWholeScreen();
        SceneProc = OptionsScreen;
        break;
    case 3:
        sys::PostQuitMessage(0);
        break;
    default:
        break;  // the second button only lights up
    }
}
}  // namespace

void SetFrontEndFog()
{
    gfx::SetRenderState(gfx::RS_FOGENABLE, 1);
    gfx::SetRenderState(gfx::RS_FOGCOLOR, kFrontEndFog);
    gfx::SetRenderState(gfx::RS_FOGVERTEXMODE, gfx::FOG_LINEAR);
    gfx::SetRenderState(gfx::RS_FOGSTART, gfx::FloatBits(60.0f));
    gfx::SetRenderState(gfx::RS_FOGEND, gfx::FloatBits(2000.0f));
}

void SetFrontEndRenderStates()
{
    using namespace gfx;
    // What the device starts with and a battle changes on its way: the
    // screens draw their 3D with depth, blending (the star sphere shows the
    // picture behind it through its clear texels), culling and the light.
    SetRenderState(RS_ZENABLE, ZB_TRUE);
    SetRenderState(RS_ZWRITEENABLE, 1);
    SetRenderState(RS_ALPHABLENDENABLE, 1);
    SetRenderState(RS_SRCBLEND, BLEND_SRCALPHA);
    SetRenderState(RS_DESTBLEND, BLEND_INVSRCALPHA);
    SetRenderState(RS_CULLMODE, CULL_CCW);
    SetRenderState(RS_LIGHTING, 1);
    SetRenderState(RS_POINTSPRITEENABLE, 0);
    SetRenderState(RS_POINTSCALEENABLE, 0);
    SetFrontEndFog();
}

void TitleInit()
{
    LoadFrontEnd();
    // The cursor starts in the middle of the size the game started with.
    sys::SetCursorPos(OptionData.screenWidth / 2, OptionData.screenHeight / 2);
    ResetPreviewUnits();
    SetFrontEndRenderStates();
    for (int32_t& s : ButtonState) s = kButtonIdle;
    // The battle's defaults; the side chosen last stays.
    EarthCount = 4;
    MercuryCount = 4;
    SkyId = 203;
    TankTypeId = 2;
    RobotTypeId = 101;
    BattleMinutes = 30;
    BattleClock = 30 * kTicksPerMinute;
    NeutralCaptionAlpha = 255;
    EarthCaptionAlpha = MercuryCaptionAlpha = 0;
    for (int32_t& h : StageArrowHover) h = 0;
    ReleaseBattleEffect();
    SceneProc = TitleMenu;
}

void TitleMenu()
{
    if (!MenuTick(&lastRun)) return;
    for (int i = 0; i < 4; ++i) {
        const TitleButton& b = kTitleButtons[i];
        if (MenuClick(b.box, &ButtonState[b.state])) TitleAction(i);
    }
    BeginMenuFrame(kTitleClear);
    BeginMenuSprites();
    DrawMenuBackground(FrontEnd.mainMenu, kHoverWhite);
    for (const TitleButton& b : kTitleButtons)
        DrawMenuImage(FrontEnd.menuLog, b.image, b.x, b.y, ButtonColour(ButtonState[b.state], kIdleGrey));
    EndMenuSprites();
    // The version stays where it is whatever the resolution.
    gfx::Rect at{100, 50, 200, 300};
    gfx::FontDrawText(SmallFont, nullptr, kGameVersion, -1, &at, gfx::DT_NOCLIP, kVersionColour);
    DrawFade(3);
    EndMenuFrame();
}
