// The stage screen, the last before a battle: over a slowly turning view of
// the battlefield under the chosen sky the player sets the sky, the units a
// side and the battle's length.  Start turns the minutes into the battle
// clock, releases the front end and starts the battle.
#include <algorithm>

#include "services/device.h"
#include "services/display.h"
#include "services/scene.h"
#include "battle/frame.h"
#include "battle/setup.h"
#include "records/state.h"
#include "frontend/frontend.h"
#include "frontend/menu.h"
#include "sides/player.h"
#include "world/map.h"
#include "world/sky.h"

namespace {
constexpr MenuBox kBackBox = {162, 515, 260, 548};
constexpr MenuBox kStartBox = {544, 515, 641, 548};
constexpr MenuBox kMapLeftBox = {220, 330, 260, 370};
constexpr MenuBox kMapRightBox = {540, 330, 580, 370};
constexpr MenuBox kSkyLeftBox = {220, 390, 260, 430};
constexpr MenuBox kSkyRightBox = {540, 390, 580, 430};
// The Earth count's down arrow is the small one.
constexpr MenuBox kArrowBoxes[kStageArrowCount] = {
    {58, 412, 74, 428},    // Earth count up
    {61, 445, 71, 455},    // Earth count down
    {725, 412, 741, 428},  // Mercury count up
    {725, 442, 741, 458},  // Mercury count down
    {220, 460, 260, 490},  // time down
    {540, 460, 580, 490},  // time up
};

constexpr int32_t kFirstSky = 200, kLastSky = 208;
constexpr int32_t kFewestUnits = 1, kMostUnits = 16;
constexpr int32_t kShortest = 5, kLongest = 90, kMinutesStep = 5;

constexpr gfx::Rect kStartImage = {451, 101, 612, 196};
constexpr gfx::Rect kPlateImage = {0, 31, 165, 71};
constexpr gfx::Rect kMapName = {0, 71, 165, 111};
constexpr gfx::Rect kEarthLabel = {168, 31, 286, 99};
constexpr gfx::Rect kMercuryLabel = {287, 31, 404, 99};
constexpr gfx::Rect kCountUp = {420, 0, 440, 20};
constexpr gfx::Rect kCountDown = {420, 20, 440, 40};
constexpr gfx::Rect kMinutesLabel = {353, 108, 510, 161};
constexpr gfx::Rect kTimeLeft = {0, 0, 29, 29};
constexpr gfx::Rect kTimeRight = {30, 0, 59, 29};
constexpr uint32_t kCountArrowIdle = 0xA0A0A0A0;

constexpr Vec3 kViewCentre = {500, 25, 500};
constexpr Vec3 kLightAt = {10, 18, -10};

uint32_t lastRun = 0;
float panAngle = 0.0f;  // degrees

gfx::Rect SkyName(int32_t sky)
{
    int32_t k = sky - kFirstSky;
    return {172, 100 + 38 * k, 337, 138 + 38 * k};
}

gfx::Rect Digit(int32_t d) { return {65 + 35 * d, 0, 100 + 35 * d, 30}; }

void DrawNumber(int32_t value, float tensX, float unitsX, float y, uint32_t colour)
{
    DrawMenuImage(FrontEnd.logo, Digit(value / 10 % 10), tensX, y, colour);
    DrawMenuImage(FrontEnd.logo, Digit(value % 10), unitsX, y, colour);
}

// Returns true when Start ran: the front end is released and the step ends.
bool Input()
{
    if (MenuClick(kBackBox, &ButtonState[kBackButton])) {
        FadeWholeScreen();
        SceneProc = PlayerSide == 0 ? TankSelect : RobotSelect;
    }
    if (MenuClick(kStartBox, &ButtonState[kNextButton])) {
        BattleClock = BattleMinutes * kTicksPerMinute;
        ReleaseFrontEnd();
        ResetPlayerControl();
        ResetBattleFrame();
        SceneProc = BattleInit;
        return true;
    }
    // One battlefield: its arrows only light up.
    MenuClick(kMapLeftBox, &ButtonState[kMapLeft]);
    MenuClick(kMapRightBox, &ButtonState[kMapRight]);
    if (MenuClick(kSkyLeftBox, &ButtonState[kSkyLeft])) SkyId = SkyId <= kFirstSky ? kLastSky : SkyId - 1;
    if (MenuClick(kSkyRightBox, &ButtonState[kSkyRight])) SkyId = SkyId >= kLastSky ? kFirstSky : SkyId + 1;
    int32_t state = 0;
    auto arrow = [&](int which) {
        bool fired = MenuClick(kArrowBoxes[which], &state);
        StageArrowHover[which] = state != kButtonIdle ? 1 : 0;
        return fired;
    };
    if (arrow(kEarthUp)) EarthCount = std::min(EarthCount + 1, kMostUnits);
    if (arrow(kEarthDown)) EarthCount = std::max(EarthCount - 1, kFewestUnits);
    if (arrow(kMercuryUp)) MercuryCount = std::min(MercuryCount + 1, kMostUnits);
    if (arrow(kMercuryDown)) MercuryCount = std::max(MercuryCount - 1, kFewestUnits);
    if (arrow(kTimeDown)) BattleMinutes = std::max(BattleMinutes - kMinutesStep, kShortest);
    if (arrow(kTimeUp)) BattleMinutes = std::min(BattleMinutes + kMinutesStep, kLongest);
    return false;
}

void DrawBattlefield()
{
    panAngle += 0.3f;
    Vec3 away = Vec3TransformCoord({0, 0, 1}, MatRotationYawPitchRoll(panAngle * kDegToRad, 0.20943951f, 0));
    CameraEye = kViewCentre + away;
    ViewMatrix = MatLookAtLH(CameraEye, kViewCentre, {0, 1, 0});
    ProjectionMatrix = MatPerspectiveFovLH(60.0f * kDegToRad, 4.0f / 3.0f, 1.0f, 20000.0f);
    LightViewMatrix = MatLookAtLH(kViewCentre + kLightAt, kViewCentre, {0, 1, 0});
    gfx::SetTransform(gfx::TS_VIEW, ViewMatrix);
    gfx::SetTransform(gfx::TS_PROJECTION, ProjectionMatrix);
    BeginMenuFrame(0xFF0000DE);
    BuildViewFrustum(&BattleFrustum, ViewMatrix, 60.0f, 4.0f / 3.0f, 1.0f, 2000.0f);
    gfx::SetRenderState(gfx::RS_LIGHTING, 0);
    DrawSky(SkyId);
    SetShadowLighting(Vec3Normalize(kLightAt), kViewCentre, 1536.0f, 1536.0f);
    TargetSceneWithShadows();
    DrawMap(MapDrawPlain);
}

void DrawPanel()
{
    const float centre = 400.0f;  // design x of the screen's middle
    BeginMenuSprites();
    DrawMenuBackground(FrontEnd.stage, 0xFFA0A0A0);
    DrawMenuImage(FrontEnd.menuLog, kBackImage, 210, 530, ButtonColour(ButtonState[kBackButton], kIdleGrey));
    DrawMenuImage(FrontEnd.menuLog, kStartImage, 590, 530, ButtonColour(ButtonState[kNextButton], kIdleGrey));
    DrawMenuImage(FrontEnd.logo, kSmallLeftArrow, 240, 350, ButtonColour(ButtonState[kMapLeft], kArrowIdle));
    DrawMenuImage(FrontEnd.logo, kSmallRightArrow, 560, 350, ButtonColour(ButtonState[kMapRight], kArrowIdle));
    DrawMenuImage(FrontEnd.logo, kSmallLeftArrow, 240, 410, ButtonColour(ButtonState[kSkyLeft], kArrowIdle));
    DrawMenuImage(FrontEnd.logo, kSmallRightArrow, 560, 410, ButtonColour(ButtonState[kSkyRight], kArrowIdle));
    DrawMenuImage(FrontEnd.logo, kPlateImage, centre, 350, 0x9B000000);
    DrawMenuImage(FrontEnd.logo, kMapName, centre, 350, 0xFFA0A014);
    DrawMenuImage(FrontEnd.logo, kPlateImage, centre, 410, 0x9B000000);
    DrawMenuImage(FrontEnd.logo, SkyName(SkyId), centre, 410, 0xFFFFFFFF);

    DrawMenuImage(FrontEnd.logo, kEarthLabel, 133, 420, 0xFFFFFFFF);
    DrawNumber(EarthCount, 123, 175, 435, 0xFFFF0000);
    DrawMenuImage(FrontEnd.logo, kMercuryLabel, 666, 420, 0xFFFFFFFF);
    DrawNumber(MercuryCount, 640, 693, 435, 0xFF0000FF);
    auto hover = [](int which, uint32_t idle) { return StageArrowHover[which] ? kHoverWhite : idle; };
    DrawMenuImage(FrontEnd.logo, kCountUp, 66, 420, hover(kEarthUp, kCountArrowIdle));
    DrawMenuImage(FrontEnd.logo, kCountUp, 733, 420, hover(kMercuryUp, kCountArrowIdle));
    DrawMenuImage(FrontEnd.logo, kCountDown, 66, 450, hover(kEarthDown, kCountArrowIdle));
    DrawMenuImage(FrontEnd.logo, kCountDown, 733, 450, hover(kMercuryDown, kCountArrowIdle));

    DrawMenuImage(FrontEnd.logo, kMinutesLabel, centre, 465, 0xFFFFFFFF);
    DrawMenuImage(FrontEnd.logo, kTimeLeft, 240, 475, hover(kTimeDown, kArrowIdle));
    DrawMenuImage(FrontEnd.logo, kTimeRight, 560, 475, hover(kTimeUp, kArrowIdle));
    DrawNumber(BattleMinutes, 330, 380, 475, 0xFFFFFF00);
    EndMenuSprites();
}
}  // namespace

void StageSet()
{
    if (!MenuTick(&lastRun)) return;
    // After Start nothing more is drawn with the pictures it released.
    if (Input()) return;
    DrawBattlefield();
    DrawPanel();
    DrawFade(3);
    EndMenuFrame();
}
