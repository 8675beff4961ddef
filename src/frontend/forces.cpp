// The forces screen: Earth on the left, Mercury on the right, turning in
// front of the stars.  The planet under the cursor swings forward and turns
// faster, and its caption fades in; a click on it chooses the side.
#include <algorithm>

#include "services/device.h"
#include "services/display.h"
#include "services/scene.h"
#include "battle/frame.h"
#include "battle/hud.h"
#include "frontend/frontend.h"
#include "frontend/menu.h"

namespace {
constexpr MenuBox kBackBox = {352, 525, 452, 559};
constexpr MenuBox kEarthHalf = {100, 220, 240, 360};
constexpr MenuBox kMercuryHalf = {560, 220, 700, 360};
constexpr gfx::Rect kNeutralCaption = {0, 2, 512, 104};
constexpr gfx::Rect kEarthCaption = {0, 107, 512, 223};
constexpr gfx::Rect kMercuryCaption = {0, 227, 512, 337};

uint32_t lastRun = 0;
int32_t sideClickState = 0;  // the halves have no state of their own to show

void Raise(int32_t* alpha, int32_t by) { *alpha = *alpha + by > 255 ? 255 : *alpha + by; }
void Lower(int32_t* alpha, int32_t by) { *alpha = *alpha - by < 0 ? 0 : *alpha - by; }

void Input()
{
    if (MenuClick(kBackBox, &ButtonState[kBackButton])) {
        FadeWholeScreen();
        SceneProc = TitleMenu;
    }
    EarthHovered = CursorIn(kEarthHalf) ? 1 : 0;
    if (MenuClick(kEarthHalf, &sideClickState)) {
        PlayerSide = 0;
        FadeWholeScreen();
        SceneProc = TankSelect;
    }
    MercuryHovered = CursorIn(kMercuryHalf) ? 1 : 0;
    if (MenuClick(kMercuryHalf, &sideClickState)) {
        PlayerSide = 1;
        FadeWholeScreen();
        SceneProc = RobotSelect;
    }
}

void FadeCaptions()
{
    if (EarthHovered) {
        Raise(&EarthCaptionAlpha, 3);
        Lower(&NeutralCaptionAlpha, 2);
        Lower(&MercuryCaptionAlpha, 2);
    } else if (MercuryHovered) {
        Raise(&MercuryCaptionAlpha, 3);
        Lower(&NeutralCaptionAlpha, 2);
        Lower(&EarthCaptionAlpha, 2);
    } else {
        Raise(&NeutralCaptionAlpha, 2);
        Lower(&EarthCaptionAlpha, 2);
        Lower(&MercuryCaptionAlpha, 2);
    }
}

// A caption hangs centred just below the top edge.
void DrawCaption(const gfx::Rect& src, int32_t alpha)
{
    if (alpha <= 0 || !SpriteBatcher) return;
    const Vec3 centre{(src.right - src.left) / 2.0f, -30.0f * scaleY, 0};
    DrawAtlasSprite(FrontEnd.forcesCaptions, src, MenuAtlasScale() * MatTranslation(BackBufferWidth() / 2.0f, 0, 0),
                    FadeColour(alpha) | 0x00FFFFFF, &centre);
}

void Spin(float* angle, float by)
{
    if (*angle >= 360.0f) *angle = 0.0f;
    *angle += by;
}

void DrawPlanet(SimpleModel* model, const PlanetSwing& p)
{
    gfx::SetTransform(gfx::TS_WORLD, MatRotationY(p.angle * kDegToRad) * MatTranslation(p.x, 0, p.z));
    DrawSimpleModel(model);
}

void MovePlanets()
{
    if (!EarthHovered) {
        EarthSwing.x = std::max(EarthSwing.x - 0.025f, -2.5f);
        EarthSwing.z = std::min(EarthSwing.z + 0.05f, 1.0f);
        Spin(&EarthSwing.angle, 0.6f);
    } else {
        EarthSwing.x = std::min(EarthSwing.x + 0.025f, -2.0f);
        EarthSwing.z = std::max(EarthSwing.z - 0.05f, 0.0f);
        Spin(&EarthSwing.angle, 1.0f);
    }
    if (!MercuryHovered) {
        MercurySwing.x = std::min(MercurySwing.x + 0.025f, 2.5f);
        MercurySwing.z = std::min(MercurySwing.z + 0.05f, 1.0f);
        Spin(&MercurySwing.angle, 0.8f);
    } else {
        MercurySwing.x = std::max(MercurySwing.x - 0.025f, 2.0f);
        MercurySwing.z = std::max(MercurySwing.z - 0.05f, 0.0f);
        Spin(&MercurySwing.angle, 1.2f);
    }
}
}  // namespace

void ForcesSelect()
{
    if (!MenuTick(&lastRun)) return;
    Input();
    FadeCaptions();

    ViewMatrix = MatLookAtLH({0, 0, -5}, {0, 0, 0}, {0, 1, 0});
    ProjectionMatrix = MatPerspectiveFovLH(60.0f * kDegToRad, 4.0f / 3.0f, 1.0f, 2000.0f);
    gfx::SetTransform(gfx::TS_VIEW, ViewMatrix);
    gfx::SetTransform(gfx::TS_PROJECTION, ProjectionMatrix);
    BeginMenuFrame(0xFF000000);
    BuildViewFrustum(&BattleFrustum, ViewMatrix, 60.0f, 4.0f / 3.0f, 1.0f, 400.0f);

    BeginMenuSprites();
    DrawMenuBackground(FrontEnd.forces, kHoverWhite);
    DrawCaption(kNeutralCaption, NeutralCaptionAlpha);
    DrawCaption(kEarthCaption, EarthCaptionAlpha);
    DrawCaption(kMercuryCaption, MercuryCaptionAlpha);
    DrawMenuImage(FrontEnd.menuLog, kBackImage, 400, 540, ButtonColour(ButtonState[kBackButton], kIdleGrey));
    EndMenuSprites();

    gfx::SetRenderState(gfx::RS_LIGHTING, 1);
    MovePlanets();
    DrawPlanet(&EarthModel, EarthSwing);
    DrawPlanet(&MercuryModel, MercurySwing);
    gfx::SetRenderState(gfx::RS_LIGHTING, 0);

    if (StarSphereAngle >= 360.0f) StarSphereAngle = 0.0f;
    StarSphereAngle += 0.01f;
    gfx::SetTransform(gfx::TS_WORLD, MatScaling(18, 18, 18) * MatRotationY(StarSphereAngle * kDegToRad));
    DrawSimpleModel(&StarSphere);

    DrawFade(3);
    EndMenuFrame();
}
