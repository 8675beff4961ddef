#include "battle/frame.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "services/device.h"
#include "services/display.h"
#include "services/gamepad.h"
#include "services/options.h"
#include "services/report.h"
#include "services/scene.h"
#include "assets/sound.h"
#include "battle/hud.h"
#include "battle/pause.h"
#include "battle/setup.h"
#include "battle/state_hash.h"
#include "records/state.h"
#include "effects/particles.h"
#include "effects/projectiles.h"
#include "collision/collision.h"
#include "world/ground.h"
#include "sides/player.h"
#include "sides/robot_side.h"
#include "sides/tank_side.h"
#include "platform/system.h"
#include "world/map.h"
#include "world/sky.h"

int32_t scoreboardHeld = 0;

namespace {
uint32_t lastStep = 0;
int32_t escapeLatch = 0;
int32_t framesThisSecond = 0;
uint32_t secondMark = 0;

using Clock = std::chrono::steady_clock;
TimingStats gUpdateMs, gDrawMs;


struct QuadVertex {
    float x, y, z;
    uint32_t colour;
    float u, v;
};

void DrawQuad(const Vec3 corners[4], uint32_t colour)
{
    const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    QuadVertex q[4];
    for (int k = 0; k < 4; ++k) q[k] = {corners[k].x, corners[k].y, corners[k].z, colour, uv[k][0], uv[k][1]};
    gfx::DrawPrimitiveUP(gfx::PT_TRIANGLEFAN, 2, q, sizeof(QuadVertex));
}

// The red sign over a unit held at the field's edge.
void BorderSign(const Vec3& pos, float lift)
{
    Vec3 at{pos.x, pos.y + lift, pos.z};
    if (!IsSphereInView(BattleFrustum, at, 1.0f)) return;
    gfx::SetTransform(gfx::TS_WORLD, CameraFacing * MatTranslation(at.x, at.y, at.z));
    const Vec3 c[4] = {{-0.5f, 0.5f, 0}, {0.5f, 0.5f, 0}, {0.5f, -0.5f, 0}, {-0.5f, -0.5f, 0}};
    DrawQuad(c, 0xA0FFFFFF);
}

void WriteBattleReport(JsonWriter& w)
{
    if (gUpdateMs.count == 0) return;  // no battle was fought
    w.BeginObject("battle");
    w.Integer("clock", LastBattle.clockLeft);  // the last battle's, whatever the title has set since
    w.Integer("result", battleResult);
    w.Integer("fps", fps);
    w.Integer("battles_started", LastBattle.started);
    w.String("state_hash", StateHashText(LastStateHash()));
    w.BeginObject("settings");
    w.String("side", LastBattle.side == 0 ? "earth" : "mercury");
    w.Integer("tank_type", LastBattle.tankType);
    w.Integer("robot_type", LastBattle.robotType);
    w.Integer("earth_count", LastBattle.earthCount);
    w.Integer("mercury_count", LastBattle.mercuryCount);
    w.Integer("sky", LastBattle.skyId);
    w.Integer("minutes", LastBattle.minutes);
    w.EndObject();
    w.BeginArray("camera_eye");
    for (float c : {CameraEye.x, CameraEye.y, CameraEye.z}) w.Number(nullptr, c);
    w.EndArray();
    w.BeginArray("camera_look_at");
    for (float c : {CameraLookAt.x, CameraLookAt.y, CameraLookAt.z}) w.Number(nullptr, c);
    w.EndArray();
    w.BeginArray("units");
    auto unit = [&](const char* side, int slot, const char* name, int kind, int alive, float hp, int kills,
                    int deaths, uint32_t fired, uint32_t hit, const WeaponCounts (&weapons)[2], const Mat4& world) {
        w.BeginObject();
        w.String("side", side);
        w.Integer("slot", slot);
        w.String("name", name);
        w.Integer("kind", kind);
        w.String("kind_name", UnitKindName(kind));
        w.Bool("alive", alive != 0);
        w.Number("hp", hp);
        w.Integer("kills", kills);
        w.Integer("deaths", deaths);
        w.Integer("fired", fired);
        w.Integer("hits", hit);
        w.Number("x", world.m[3][0]);
        w.Number("y", world.m[3][1]);
        w.Number("z", world.m[3][2]);
        // Last, so the unit's own fields come before any nested object.
        w.BeginArray("weapons");  // the first weapon, then the second
        for (const WeaponCounts& c : weapons) {
            w.BeginObject();
            w.Integer("fired", c.fired);
            w.Integer("hits", c.hits);
            w.Number("damage", c.damage);
            w.Integer("kills", c.kills);
            w.EndObject();
        }
        w.EndArray();
        w.EndObject();
    };
    // The units of the last battle, whatever the menus have set since.
    for (int i = 0; i < LastBattle.earthCount; ++i) {
        const TankUnit& t = Tanks[i];
        unit("earth", i, t.name, t.kind, t.alive, t.hp, t.kills, t.deaths, t.shotsFired, t.shotsHit, t.weapons, t.world);
    }
    for (int i = 0; i < LastBattle.mercuryCount; ++i) {
        const RobotUnit& r = Robots[i];
        unit("mercury", i, r.name, r.kind, r.alive, r.hp, r.kills, r.deaths, r.shotsFired, r.shotsHit, r.weapons, r.World());
    }
    w.EndArray();
    auto stats = [&](const char* key, const TimingStats& t) {
        w.BeginObject(key);
        w.Number("mean", t.Mean());
        w.Number("p99", t.Percentile(0.99));
        w.EndObject();
    };
    w.BeginObject("step_ms");
    stats("update", gUpdateMs);
    stats("draw", gDrawMs);
    w.EndObject();
    w.EndObject();
}
}  // namespace

void RegisterBattleReport()
{
    AddReportSection(WriteBattleReport);
    RegisterWeaponsReport();
}

void ResetBattleFrame()
{
    escapeLatch = 0;
    framesThisSecond = 0;
    fps = 0;
    scoreboardHeld = 0;
    secondMark = sys::TimeGetTime();
    lastStep = 0;  // the first step runs at once, whenever the last battle stepped
}

void DrawShadowCasters()
{
    gfx::SetRenderState(gfx::RS_FOGENABLE, 0);
    gfx::SetRenderState(gfx::RS_ALPHABLENDENABLE, 0);
    for (int i = 0; i < EarthCount; ++i) DrawTankDepth(i);
    for (int i = 0; i < MercuryCount; ++i) DrawRobotDepth(i);
    gfx::SetRenderState(gfx::RS_FOGENABLE, 1);
    gfx::SetRenderState(gfx::RS_ALPHABLENDENABLE, 1);
}

void DrawBattleScene()
{
    using namespace gfx;
    MarkPass("units");
    SetRenderState(RS_LIGHTING, 1);
    for (int i = 0; i < EarthCount; ++i) {
        SetTransform(TS_WORLD, Tanks[i].world);
        DrawTankKind(i);
    }
    for (int i = 0; i < MercuryCount; ++i) {
        SetTransform(TS_WORLD, Robots[i].World());
        DrawRobotKind(i);
    }
    DrawMap(MapDrawBattle);
    MarkPass("sky");
    SetRenderState(RS_LIGHTING, 0);
    DrawSky(SkyId);
    MarkPass("particles");
    DrawParticleQuads();  // leaves z writes and culling off for what follows
    MarkPass("shots");
    SetRenderState(RS_DESTBLEND, BLEND_ONE);
    for (int i = 0; i < EarthCount; ++i) DrawTankAdditiveShots(i);
    for (int i = 0; i < MercuryCount; ++i) DrawRobotAdditiveShots(i);
    SetRenderState(RS_DESTBLEND, BLEND_INVSRCALPHA);

    MarkPass("walls and signs");
    SetFVF(FVF_XYZ | FVF_DIFFUSE | FVF_TEX1);
    SetTexture(0, StopTexture);
    for (int i = 0; i < EarthCount; ++i)
        if (Tanks[i].atBorder) BorderSign(Position(Tanks[i].world), 2.5f);
    for (int i = 0; i < MercuryCount; ++i)
        if (Robots[i].atBorder) BorderSign(Position(Robots[i].World()), 3.0f);

    // Four translucent red walls on the field's edges.
    SetRenderState(RS_ZWRITEENABLE, 1);
    SetTransform(TS_WORLD, MatIdentity());
    SetTexture(0, BitTexture);
    constexpr float F = kFieldSize;
    const Vec3 walls[4][4] = {
        {{0, 16, 0}, {F, 16, 0}, {F, 0, 0}, {0, 0, 0}},
        {{0, 20, 0}, {0, 20, F}, {0, 0, F}, {0, 0, 0}},
        {{F, 20, 0}, {F, 20, F}, {F, 0, F}, {F, 0, 0}},
        {{0, 20, F}, {F, 20, F}, {F, 0, F}, {0, 0, F}},
    };
    for (const auto& wall : walls) DrawQuad(wall, 0x50FF0000);

    // The point-sprite pools, culling back on; the block sets up and
    // restores its own states (blending off, z writes and lighting on).
    MarkPass("point sprites");
    DrawParticleSprites();

    MarkPass("hud");
    SpriteBegin(SpriteBatcher, SPRITE_ALPHABLEND);
    DrawHud();
    DrawBanners();
    SpriteEnd(SpriteBatcher);
}

namespace {
// --- the phases of a battle step -----------------------------------------------------------
// Input: the pause key (Escape) or the pad's Start pauses and resumes (once per press); while
// paused the pause menu takes the mouse and the pad.  Returns true when the battle was left.
bool ReadBattleInput()
{
    if (ActionDown(kActPause)) {
        if (!escapeLatch) {
            escapeLatch = 1;
            paused = !paused;
            sys::ShowCursor(paused != 0);
            if (paused) OpenPauseMenu();
            else HoldFireUntilReleased();  // a button held through the pause does not fire
        }
    } else {
        escapeLatch = 0;
    }
    if (BattleClock < 0) BattleClock = 0;
    if (paused) return PauseMenuInput() == 1;
    scoreboardHeld = ActionDown(kActScoreboard);
    return false;
}

// Control: the player's keys and mouse while the clock runs, the end phase
// once it has run out.  Returns true when the battle was left.
bool ControlStep()
{
    if (BattleClock == 0) return EndOfBattleStep() == 1;
    if (PlayerSide == 0) TankPlayerControl();
    else RobotPlayerControl();
    return false;
}

// Unit updates: every unit drives or walks, turns, fires and takes its
// pose; then they keep apart and settle on the ground.
void UpdateUnits()
{
    TankSideUpdate();
    RobotSideUpdate();
    SeparateTanks();
    SeparateRobots();
    SeparateTanksFromRobots();
    FollowGroundTanks();
    FollowGroundRobots();
}

// Shots: every unit's shots move and meet what they hit, tanks first.
void UpdateShots()
{
    for (int i = 0; i < EarthCount; ++i) UpdateTankShots(i);
    for (int i = 0; i < MercuryCount; ++i) UpdateRobotShots(i);
}

// The clock: steps in the last whole second (the P key shows them), and
// one tick of the battle clock each step it runs.  Steps keep to real time
// however slowly the frames are drawn, so the clock does too, and the same
// steps always end the battle at the same one.
void TickBattleClock()
{
    ++framesThisSecond;
    uint32_t now = sys::TimeGetTime();
    if (now - secondMark >= 1000) {
        fps = framesThisSecond;
        framesThisSecond = 0;
        secondMark = now;
    }
    if (!paused) BattleClock -= 1;
    LastBattle.clockLeft = std::max(BattleClock, 0);
}

// View: the chase camera while the battle runs (it stands still while
// paused and rises on its own in the end phase), the listener, the matrices
// and the frustum every draw and the next step's spawns read, and each
// unit's distance from the camera.
void PlaceView(bool chasing)
{
    if (chasing) PlaceChaseCamera();
    BuildCameraFacing();
    PlaceSoundListener(CameraEye, CameraLookAt, CameraUp);
    ViewMatrix = MatLookAtLH(CameraEye, CameraLookAt, CameraUp);
    ProjectionMatrix = MatPerspectiveFovLH(kFieldOfView, kViewAspect, 0.1f, 12000.0f);
    Vec3 lightEye{CameraEye.x, CameraEye.y + 18, CameraEye.z - 6};
    LightViewMatrix = MatLookAtLH(lightEye, CameraLookAt, {0, 1, 0});
    BuildViewFrustum(&BattleFrustum, ViewMatrix, kFieldOfViewDegrees, kViewAspect, 1.0f, 320.0f);
    for (int i = 0; i < EarthCount; ++i) Tanks[i].cameraDistance = PointDistance(CameraEye, Position(Tanks[i]));
    for (int i = 0; i < MercuryCount; ++i) Robots[i].cameraDistance = PointDistance(CameraEye, Position(Robots[i]));
}

// Drawing: reads the state the phases left and changes none of it.
void DrawBattleFrame()
{
    gfx::SetTransform(gfx::TS_VIEW, ViewMatrix);
    gfx::SetTransform(gfx::TS_PROJECTION, ProjectionMatrix);
    gfx::SurfaceDesc shadowDesc{};
    if (ShadowTexture) gfx::GetLevelDesc(ShadowTexture, 0, &shadowDesc);
    SetShadowLighting({-8, 24, -8}, CameraEye, static_cast<float>(shadowDesc.width),
                      static_cast<float>(shadowDesc.height));
    SetIceLook(CameraEye);
    gfx::SetViewport({0, 0, static_cast<uint32_t>(BackBufferWidth()), static_cast<uint32_t>(BackBufferHeight()),
                      0.0f, 1.0f});
    gfx::MarkPass("clear");
    gfx::Clear(gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER, 0x00C8C8C8, 1.0f, 0);
    gfx::BeginScene();

    // The depth pass into the shadow texture; without the shadow resources
    // the scene is drawn unshadowed.
    gfx::MarkPass("shadow depth");
    if (TargetShadowMap()) {
        if (OptionData.shadowMapSize != 1) {
            gfx::Clear(gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER, 0xFFFFFFFF, 1.0f, 0);
            gfx::EffectSetTechnique(ShadowEffect, "tecMakeDepthTexture");
            DrawShadowCasters();
        }
        TargetSceneWithShadows();
    }
    DrawBattleScene();

    if (sys::GetAsyncKeyState('P') & 0x8000) {
        char text[32];
        std::snprintf(text, sizeof text, "FPS=%d\n", fps);
        gfx::Rect at{600, 50, 0, 0};
        gfx::FontDrawText(SmallFont, nullptr, text, -1, &at, gfx::DT_NOCLIP, 0xFFFFFD7B);
    }
    if (scoreboardHeld) DrawScoreboard();
    EndFrame();
}
}  // namespace

void SetIceLook(const Vec3& eye)
{
    if (!BattleEffect) return;
    gfx::EffectSetVector(BattleEffect, "Diffuse", {0, 1, 1, 1});
    gfx::EffectSetVector(BattleEffect, "vecEye", {eye.x, eye.y, eye.z, 0});
    gfx::EffectSetVector(BattleEffect, "vecLightDir", {1, -1, 1, 0});
}


// One step of the battle, phase by phase.
void BattleFrame()
{
    if (!SceneTick(&lastStep)) return;
    auto started = Clock::now();

    if (ReadBattleInput()) return;  // input
    const bool running = !paused;
    const bool chasing = running && BattleClock > 0;
    if (running) {
        if (ControlStep()) return;  // control
        TankAiDecide();             // decisions
        RobotAiDecide();
        UpdateUnits();              // unit updates, separation, ground
        UpdateShots();              // shots
    }
    TickBattleClock();              // the clock
    NoteBattleStep(StepsRun());     // the state hash: the rules are done with the step
    UpdateParticles();              // effects
    PlaceView(chasing);             // camera and view
    auto updated = Clock::now();
    gUpdateMs.Add(std::chrono::duration<float, std::milli>(updated - started).count());

    // Drawing, unless the renderer is behind and another step is owed.
    if (!SceneDrawsThisStep()) return;
    DrawBattleFrame();

    auto drawn = Clock::now();
    gDrawMs.Add(std::chrono::duration<float, std::milli>(drawn - updated).count());
}
