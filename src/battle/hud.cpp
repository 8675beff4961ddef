#include "battle/hud.h"

#include <cmath>

#include "services/device.h"
#include "services/display.h"
#include "battle/frame.h"
#include "sides/player.h"
#include "platform/crt_rand.h"
#include "units/robots/robot_kinds.h"
#include "units/tanks/tank_kinds.h"

int32_t hudAlert = 0;

const RadarRadii kTankRadar = {106, 102, 112};
const RadarRadii kRobotRadar = {102, 102, 108};

namespace {
// Rectangles of "LAND/Sprite/Char.bmp".
const gfx::Rect kTankBlipRect{177, 31, 196, 55};
const gfx::Rect kRobotBlipRect{199, 31, 220, 51};
const gfx::Rect kRimArrowRect{241, 31, 256, 47};
const gfx::Rect kCannonSight{259, 2, 295, 38};
const gfx::Rect kMachineGunSight{258, 41, 288, 71};
const gfx::Rect kRobotGunSight{299, 2, 362, 41};
const gfx::Rect kRobotMissileSight{366, 2, 510, 146};
const gfx::Rect kLockBox{329, 44, 363, 79};
const Vec3 kTankBlipCentre{9.5f, 12, 0};
const Vec3 kRobotBlipCentre{10.5f, 10, 0};
const Vec3 kRimArrowCentre{7.5f, 8, 0};
const Vec3 kLockBoxCentre{12, 12, 0};

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kDark = 0xFF050505;
constexpr float kRadarCentre = 128;
constexpr float kRadarScale = 0.5f;  // radar pixels per world unit

// The colours and rectangles that tell the two variants apart.
struct HudLook {
    gfx::Rect gaugeFrame;
    uint32_t barColour, frameColour;
    int32_t barBottom;  // the bar's bottom row in HP.bmp
    gfx::Rect radarDisc;
    uint32_t discColour;
};
const HudLook kTankLook = {{0, 0, 256, 256}, 0xA0E10000, 0xA0DEDE02, 256, {257, 1, 511, 255}, 0xA5FFFFFF};
const HudLook kRobotLook = {{0, 256, 256, 512}, 0xA0DC7A00, 0xA0020202, 512, {1, 1, 255, 255}, 0xA0FFFFFF};



struct RadarUnit {
    Vec3 position;
    float heading;
    int32_t alive;
};

// A tank is seen by its turret, a robot by its upper body.
RadarUnit TankOnRadar(const TankUnit& t)
{
    return {Position(t.turretWorld), PoseHeading(t.turretWorld), t.alive};
}
RadarUnit RobotOnRadar(const RobotUnit& r)
{
    return {Position(r.partWorld[1]), PoseHeading(r.partWorld[1]), r.alive};
}

void Add(RadarMarks* out, RadarSprite sprite, const Mat4& transform, uint32_t colour)
{
    if (out->count < static_cast<int>(sizeof out->marks / sizeof out->marks[0]))
        out->marks[out->count++] = {sprite, transform, colour};
}

// A unit relative to the player, turned so the player faces up; false when
// it lies at or beyond `radius`.
bool Relative(const RadarUnit& me, const RadarUnit& u, float radius, Vec3* rel)
{
    Vec3 d = u.position - me.position;
    d.y = 0;
    *rel = Vec3TransformNormal(d * kRadarScale, MatRotationY(-me.heading * kDegToRad));
    return Vec3Length(*rel) < radius;
}

Mat4 BlipTransform(const RadarUnit& me, const RadarUnit& u, Vec3 rel)
{
    return MatRotationZ((u.heading - me.heading) * kDegToRad) *
           MatTranslation(kRadarCentre + rel.x, kRadarCentre - rel.z, 0);
}

template <class Own, class Enemy>
void BuildMarks(const RadarRadii& radii, RadarSprite ownSprite, RadarSprite enemySprite, const Own* own,
                int ownCount, RadarUnit (*ownOnRadar)(const Own&), const Enemy* enemies, int enemyCount,
                RadarUnit (*enemyOnRadar)(const Enemy&), RadarMarks* out)
{
    out->count = 0;
    RadarUnit me = ownOnRadar(own[0]);
    Vec3 rel;
    for (int i = 1; i < ownCount; ++i) {
        RadarUnit u = ownOnRadar(own[i]);
        if (Relative(me, u, radii.ownSide, &rel))
            Add(out, ownSprite, BlipTransform(me, u, rel), u.alive ? kWhite : kDark);
    }
    Add(out, ownSprite, MatTranslation(kRadarCentre, kRadarCentre, 0), me.alive ? kWhite : kDark);
    for (int i = 0; i < enemyCount; ++i) {
        RadarUnit u = enemyOnRadar(enemies[i]);
        if (Relative(me, u, radii.enemy, &rel)) {
            Add(out, enemySprite, BlipTransform(me, u, rel), u.alive ? kWhite : kDark);
        } else if (u.alive) {
            float bearing = LevelHeading(u.position - me.position);
            Add(out, RadarSprite::RimArrow,
                MatTranslation(0, -radii.rim, 0) * MatRotationZ((bearing - me.heading) * kDegToRad) *
                    MatTranslation(kRadarCentre, kRadarCentre, 0),
                kWhite);
        }
    }
}

void DrawRadarMarks(const RadarMarks& marks)
{
    for (int k = 0; k < marks.count; ++k) {
        const RadarMark& m = marks.marks[k];
        switch (m.sprite) {
        case RadarSprite::TankBlip:
            DrawAtlasSprite(CharTexture, kTankBlipRect, m.transform, m.colour, &kTankBlipCentre);
            break;
        case RadarSprite::RobotBlip:
            DrawAtlasSprite(CharTexture, kRobotBlipRect, m.transform, m.colour, &kRobotBlipCentre);
            break;
        case RadarSprite::RimArrow:
            DrawAtlasSprite(CharTexture, kRimArrowRect, m.transform, m.colour, &kRimArrowCentre);
            break;
        }
    }
}

// Steps 2 to 4 of both variants: the alert, the shaking or steady gauge and
// the radar disc.
void GaugeAndDisc(int32_t alive, float hp, const HudLook& look, bool disc)
{
    const float w = static_cast<float>(BackBufferWidth()), h = static_cast<float>(BackBufferHeight());
    float sx = 0.8f, sy = 0.8f;
    if (alive) {
        hudAlert = 0;
    } else {
        hudAlert = 1;
        sx = 0.5f + 0.6f * EyeRand() / 32768.0f;
        sy = 0.5f + 0.6f * EyeRand() / 32768.0f;
    }
    // A unit that is down has no bar; a bar never outgrows its frame.
    int32_t bar = static_cast<int32_t>(hp);
    bar = bar < 0 ? 0 : bar > 256 ? 256 : bar;
    Mat4 at = MatScaling(sx, sy, 1) * MatTranslation(w * 9 / 10, h * 8 / 10, 0);
    gfx::Rect barRect{256, look.barBottom - bar, 512, look.barBottom};
    Vec3 barCentre{128, 128.0f - (256 - bar), 0};
    if (bar > 0) DrawAtlasSprite(HpTexture, barRect, at, look.barColour, &barCentre);
    const Vec3 frameCentre{128, 128, 0};
    DrawAtlasSprite(HpTexture, look.gaugeFrame, at, look.frameColour, &frameCentre);
    if (!disc) return;
    const Vec3 discCentre{128, 128, 0};
    DrawAtlasSprite(RadarTexture, look.radarDisc, MatScaling(0.9f, 0.9f, 1) * MatTranslation(128, 128, 0),
                    look.discColour, &discCentre);
}
}  // namespace

float PoseHeading(const Mat4& pose)
{
    return LevelHeading(Vec3TransformCoord({0, 0, 1}, pose) - Position(pose));
}

void BuildRadarMarks(int playerSide, RadarMarks* out)
{
    if (playerSide == 0)
        BuildMarks(kTankRadar, RadarSprite::TankBlip, RadarSprite::RobotBlip, Tanks, EarthCount, TankOnRadar, Robots,
                   MercuryCount, RobotOnRadar, out);
    else
        BuildMarks(kRobotRadar, RadarSprite::RobotBlip, RadarSprite::TankBlip, Robots, MercuryCount, RobotOnRadar,
                   Tanks, EarthCount, TankOnRadar, out);
}

void DrawAtlasSprite(gfx::Texture* tex, const gfx::Rect& src, const Mat4& transform, uint32_t colour,
                     const Vec3* centre)
{
    if (!tex) return;
    Vec3 middle{(src.right - src.left) / 2.0f, (src.bottom - src.top) / 2.0f, 0};
    gfx::SpriteSetTransform(SpriteBatcher, transform);
    gfx::SpriteDraw(SpriteBatcher, tex, &src, centre ? centre : &middle, nullptr, colour);
}

// The scoreboard is read over the middle of the screen and the radar's
// corner: while it is held the sights and the radar stand aside, and the
// sights leave the result banner alone once the clock has run out.
bool SightsShown() { return !scoreboardHeld && BattleClock >= 1; }
bool RadarShown() { return !scoreboardHeld; }

void DrawTankHud()
{
    const float w = static_cast<float>(BackBufferWidth()), h = static_cast<float>(BackBufferHeight());
    const TankUnit& me = Tanks[0];
    const gfx::Rect* sight = crosshairKind == Crosshair::Cannon        ? &kCannonSight
                             : crosshairKind == Crosshair::MachineGun ? &kMachineGunSight
                                                                     : nullptr;
    if (sight && SightsShown()) DrawAtlasSprite(CharTexture, *sight, MatTranslation(w / 2, h * 9 / 20, 0), 0xB4FFFF00);
    GaugeAndDisc(me.alive, me.hp, kTankLook, RadarShown());
    if (!RadarShown()) return;
    static RadarMarks marks;  // static: a frame allocates nothing
    BuildRadarMarks(0, &marks);
    DrawRadarMarks(marks);
}

void DrawRobotHud()
{
    const float w = static_cast<float>(BackBufferWidth());
    const RobotUnit& me = Robots[0];
    if (SightsShown() && crosshairKind == Crosshair::RobotMissile) {
        if (lockOnShown == 1 && me.lockTarget >= 0 && me.lockTarget < EarthCount) {
            Vec3 at = Vec3Project(Position(Tanks[me.lockTarget].world), gfx::GetViewport(), ProjectionMatrix,
                                  ViewMatrix, MatIdentity());
            DrawAtlasSprite(CharTexture, kLockBox, MatTranslation(at.x, at.y, 0), 0xFF0000FF, &kLockBoxCentre);
        }
        const float h = static_cast<float>(BackBufferHeight());
        DrawAtlasSprite(CharTexture, kRobotMissileSight,
                        MatScaling(w / 512, h / 512, 1) * MatTranslation(w / 2, scaleY * 206, 0), 0xFFFFFF00);
    } else if (SightsShown() && crosshairKind == Crosshair::RobotGun) {
        DrawAtlasSprite(CharTexture, kRobotGunSight, MatTranslation(w / 2, scaleY * 206, 0), 0xFFFFFF00);
    }
    GaugeAndDisc(me.alive, me.hp, kRobotLook, RadarShown());
    if (!RadarShown()) return;
    static RadarMarks marks;
    BuildRadarMarks(1, &marks);
    DrawRadarMarks(marks);
}

void DrawHud()
{
    if (PlayerSide == 0) DrawTankHud();
    else DrawRobotHud();
}

