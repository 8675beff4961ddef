// The tank and robot select screens: the kind on show turns in the middle
// panel, drawn by its own pose and draw routines under the battle's shadow
// effect, in front of its side's planet.  The arrows, A / D (or Left /
// Right) and the pad's shoulder buttons (LB / RB) step through every kind;
// Next goes on only with a kind that may fight.  (The d-pad moves the focus
// over the buttons, as on every screen: A on an arrow steps too.)  The two screens differ only in their row of kSides.
#include "services/device.h"
#include "services/display.h"
#include "services/gamepad.h"
#include "services/options.h"
#include "services/scene.h"
#include "battle/frame.h"
#include "battle/hud.h"
#include "frontend/frontend.h"
#include "frontend/menu.h"
#include "sides/player.h"
#include "platform/vk.h"
#include "units/robots/robot_kinds.h"
#include "units/tanks/tank_kinds.h"

namespace {
constexpr MenuBox kBackBox = {62, 508, 160, 542};
constexpr MenuBox kNextBox = {644, 508, 742, 542};
constexpr MenuBox kLeftBox = {65, 285, 95, 315};
constexpr MenuBox kRightBox = {705, 285, 735, 315};
// The panel the preview turns in: what an arrow fades.
constexpr MenuBox kPanel = {130, 115, 665, 425};
constexpr gfx::Rect kNextImage = {451, 200, 612, 295};
constexpr uint32_t kNameColour = 0xFFF4F0E4;
// The "view only" plate of the menu atlas and the height it is shown at,
// under the kind's name.
constexpr gfx::Rect kViewOnlyPlate = {874, 963, 1023, 1023};
constexpr float kViewOnlyPlateY = 182;
constexpr uint32_t kRefusedNext = 0x80808080;

// What the preview's light and eye are; the light direction points towards
// the light, as in the battle.
constexpr Vec3 kEye = {0, 0, -5};
constexpr Vec3 kLightAt = {10, 18, -10};
// The shadow texture's size the previews' effect is told.
constexpr float kPreviewShadowSize = 1536.0f;
// Where the tanks' and the robots' previews stand, but for their kind's shift.
constexpr Vec3 kPreviewTankAt = {0, 0, 3.0f};
// Where the robots' previews stand, but for their kind's shift.
constexpr Vec3 kPreviewRobotAt = {0, 0.6f, 4.0f};

struct SelectSide {
    int32_t* type;
    int32_t first, last;
    uint32_t clear, background;
    SimpleModel* planet;
    bool (*fights)(int32_t kind);
    const char* (*name)(int kind);
    bool (*loaded)(int32_t kind);
    void (*load)(int kind);
    void (*turn)(int32_t kind);           // one step of the preview's turning
    void (*pose)(int32_t kind);
    void (*drawDepth)(int32_t kind);
    void (*draw)(int32_t kind);
};

// --- the tank side ------------------------------------------------------------------
float tankTurn = 0.0f;  // degrees

bool TankLoaded(int32_t kind) { return TankKindOf(kind) && TankKindOf(kind)->loaded != 0; }
void TurnTank(int32_t kind)
{
    tankTurn += 0.9f;
    const TankKind* k = TankKindOf(kind);
    const Vec3 at = kPreviewTankAt + (k ? k->previewShift : Vec3{0, 0, 0});
    PreviewTank.world = MatRotationY(tankTurn * kDegToRad) * MatTranslation(at.x, at.y, at.z);
}
void PoseTank(int32_t kind)
{
    const TankKind* k = TankKindOf(kind);
    SetTankKind(PreviewTank, kind);
    if (k && k->pose) k->pose(PreviewTank);
}
void DrawTankDepth(int32_t kind)
{
    const TankKind* k = TankKindOf(kind);
    if (k && k->drawDepth) k->drawDepth(PreviewTank);
}
void DrawTank(int32_t kind)
{
    const TankKind* k = TankKindOf(kind);
    gfx::SetTransform(gfx::TS_WORLD, PreviewTank.world);
    if (k && k->draw) k->draw(PreviewTank);
}

// --- the robot side -----------------------------------------------------------------
bool RobotLoaded(int32_t kind) { return RobotKindOf(kind) && RobotKindOf(kind)->loaded != 0; }
void TurnRobot(int32_t)
{
    PreviewRobot.World() = MatRotationY(0.017453292f) * PreviewRobot.World();
    PreviewRobot.aimYaw += 0.9f;
}
void PoseRobot(int32_t kind)
{
    // It stands shifted from the others' place by its kind's row.
    const RobotKind* k = RobotKindOf(kind);
    const Vec3 at = kPreviewRobotAt + (k ? k->previewShift : Vec3{0, 0, 0});
    Mat4& w = PreviewRobot.World();
    w.m[3][0] = at.x;
    w.m[3][1] = at.y;
    w.m[3][2] = at.z;
    SetRobotKind(PreviewRobot, kind);
    if (k && k->pose) k->pose(PreviewRobot);
}
void DrawRobotDepth(int32_t kind)
{
    const RobotKind* k = RobotKindOf(kind);
    if (k && k->drawDepth) k->drawDepth(PreviewRobot);
}
void DrawRobot(int32_t kind)
{
    const RobotKind* k = RobotKindOf(kind);
    if (k && k->draw) k->draw(PreviewRobot);
}

enum { kTankSide, kRobotSide };
const SelectSide kSides[2] = {
    {&TankTypeId, kFirstTankKind, kLastTankKind, 0xFF475360, 0xFFFFFFFF, &EarthModel, TankKindFights,
     TankKindName, TankLoaded, LoadTankModels, TurnTank, PoseTank, DrawTankDepth, DrawTank},
    {&RobotTypeId, kFirstRobotKind, kLastRobotKind, 0xFF293542, 0xFF787878, &MercuryModel, RobotKindFights,
     RobotKindName, RobotLoaded, LoadRobotModels, TurnRobot, PoseRobot, DrawRobotDepth, DrawRobot},
};

// Per screen: its gate, its backdrop planet's turn and its key latches.
struct SelectScreenState {
    uint32_t lastRun = 0;
    float planetAngle = 360.0f;
    int32_t upLatch = 0, downLatch = 0;
    int32_t padUpLatch = 0, padDownLatch = 0;  // LB, RB
};
SelectScreenState screens[2];

void StepUp(const SelectSide& side)
{
    *side.type = *side.type >= side.last ? side.first : *side.type + 1;
    FadePanel(kPanel);
}
void StepDown(const SelectSide& side)
{
    *side.type = *side.type <= side.first ? side.last : *side.type - 1;
    FadePanel(kPanel);
}

// Returns true when the kind on show changed (the preview then holds still).
bool Input(const SelectSide& side, SelectScreenState& st)
{
    if (MenuClick(kBackBox, &ButtonState[kBackButton])) {
        ResetPlanets();
        FadeWholeScreen();
        SceneProc = ForcesSelect;
    }
    if (MenuClick(kNextBox, &ButtonState[kNextButton]) && side.fights(*side.type)) {
        FadeWholeScreen();
        SceneProc = StageSet;
    }
    if (MenuClick(kLeftBox, &ButtonState[kLeftArrow])) {
        StepUp(side);
        return true;
    }
    if (MenuClick(kRightBox, &ButtonState[kRightArrow])) {
        StepDown(side);
        return true;
    }
    // The key's latch and the shoulder's are both kept on the step: a key
    // and a shoulder pressed together step once.
    const bool keyUp = KeyPressed('A', VK_LEFT, &st.upLatch);
    if (PadButtonPressed(sys::PAD_LEFT_SHOULDER, &st.padUpLatch) || keyUp) {
        StepUp(side);
        return true;
    }
    const bool keyDown = KeyPressed('D', VK_RIGHT, &st.downLatch);
    if (PadButtonPressed(sys::PAD_RIGHT_SHOULDER, &st.padDownLatch) || keyDown) {
        StepDown(side);
        return true;
    }
    return false;
}

// The textured backdrop quads: the panel and the band of stars above it.
void DrawBackdropQuad(gfx::Texture* tex, float x0, float x1, float y0, float y1, float z)
{
    struct V {
        float x, y, z, u, v;
    };
    const V quad[4] = {{x0, y1, z, 0, 0}, {x1, y1, z, 1, 0}, {x1, y0, z, 1, 1}, {x0, y0, z, 0, 1}};
    gfx::SetTexture(0, tex);
    gfx::SetFVF(gfx::FVF_XYZ | gfx::FVF_TEX1);
    gfx::DrawPrimitiveUP(gfx::PT_TRIANGLEFAN, 2, quad, sizeof(V));
}

// The preview through the shadow effect: the depth pass from the light,
// then the scene pass.
void DrawPreview(const SelectSide& side, int32_t kind)
{
    side.pose(kind);
    if (!TargetShadowMap()) {
        side.draw(kind);
        return;
    }
    SetShadowLighting(Vec3Normalize(kLightAt), kEye, kPreviewShadowSize, kPreviewShadowSize);
    gfx::Clear(gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER, 0xFFFFFFFF, 1.0f, 0);
    if (OptionData.shadowMapSize != 1) {
        gfx::EffectSetTechnique(ShadowEffect, "tecMakeDepthTexture");
        side.drawDepth(kind);
    }
    TargetSceneWithShadows();
    side.draw(kind);
}

void SelectStep(int which)
{
    const SelectSide& side = kSides[which];
    SelectScreenState& st = screens[which];
    if (!MenuTick(&st.lastRun)) return;
    if (!Input(side, st)) side.turn(*side.type);
    const int32_t kind = *side.type;

    CameraEye = kEye;
    ViewMatrix = MatLookAtLH(kEye, {0, 0, 0}, {0, 1, 0});
    ProjectionMatrix = MatPerspectiveFovLH(60.0f * kDegToRad, 4.0f / 3.0f, 1.0f, 2000.0f);
    LightViewMatrix = MatLookAtLH(kLightAt, {0, 0, 0}, {0, 1, 0});
    gfx::SetTransform(gfx::TS_VIEW, ViewMatrix);
    gfx::SetTransform(gfx::TS_PROJECTION, ProjectionMatrix);
    BeginMenuFrame(side.clear);
    BuildViewFrustum(&BattleFrustum, ViewMatrix, 60.0f, 4.0f / 3.0f, 1.0f, 400.0f);

    BeginMenuSprites();
    DrawMenuBackground(FrontEnd.select, side.background);
    DrawMenuImage(FrontEnd.menuLog, kBackImage, 110, 525, ButtonColour(ButtonState[kBackButton], kIdleGrey));
    // A kind that may not fight shows its Next dimmed: the click does nothing.
    uint32_t next = side.fights(kind) ? ButtonColour(ButtonState[kNextButton], kIdleGrey) : kRefusedNext;
    DrawMenuImage(FrontEnd.menuLog, kNextImage, 690, 525, next);
    DrawMenuImage(FrontEnd.logo, kSmallLeftArrow, 80, 300, ButtonColour(ButtonState[kLeftArrow], kArrowIdle));
    DrawMenuImage(FrontEnd.logo, kSmallRightArrow, 720, 300, ButtonColour(ButtonState[kRightArrow], kArrowIdle));
    EndMenuSprites();

    gfx::SetRenderState(gfx::RS_LIGHTING, 0);
    gfx::SetTransform(gfx::TS_WORLD, MatIdentity());
    DrawBackdropQuad(FrontEnd.selectPanel, -7.7f, 7.6f, -3.5f, 5.2f, 9.99f);
    DrawBackdropQuad(FrontEnd.selectBand, -11.56f, 11.54f, 4.35f, 8.7f, 10.0f);

    gfx::SetRenderState(gfx::RS_LIGHTING, 1);
    st.planetAngle -= 0.6f;
    if (st.planetAngle <= 0.0f) st.planetAngle = 360.0f;
    gfx::SetTransform(gfx::TS_WORLD, MatRotationY(st.planetAngle * kDegToRad) * MatTranslation(0, 6.5f, 9.5f));
    DrawSimpleModel(side.planet);

    // A kind shown for the first time loads on this step and shows from
    // the next; a kind without models shows nothing.
    if (!side.loaded(kind)) side.load(kind);
    else DrawPreview(side, kind);
    gfx::SetRenderState(gfx::RS_LIGHTING, 0);

    // The kind's name across the top of the panel, clear of the preview.
    gfx::Rect nameAt{static_cast<int32_t>(kPanel.x0 * scaleX), static_cast<int32_t>(128 * scaleY),
                     static_cast<int32_t>(kPanel.x1 * scaleX), 0};
    gfx::FontDrawText(LargeFont, nullptr, side.name(kind), -1, &nameAt, gfx::DT_CENTER | gfx::DT_NOCLIP,
                      kNameColour);
    // A kind that is only looked at says so on a plate under its name,
    // over the model, so no pose hides it.
    if (!side.fights(kind)) {
        BeginMenuSprites();
        DrawMenuImage(FrontEnd.menuLog, kViewOnlyPlate, (kPanel.x0 + kPanel.x1) / 2.0f, kViewOnlyPlateY, 0xFFFFFFFF);
        EndMenuSprites();
    }
    DrawFade(3);
    EndMenuFrame();
}
}  // namespace

void TankSelect() { SelectStep(kTankSide); }
void RobotSelect() { SelectStep(kRobotSide); }
