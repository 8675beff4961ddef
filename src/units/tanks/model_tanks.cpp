#include "units/tanks/model_tanks.h"

#include "records/state.h"
#include "platform/gfx.h"

namespace {
constexpr float kHullRadius = 3.5f;
constexpr float kHalfTurn = 3.14159265f;  // radians

bool HullInView(const TankUnit& t) { return IsSphereInView(BattleFrustum, Position(t.world), kHullRadius); }
}  // namespace

void ReleaseTankModelSet(TankModelSet& set)
{
    for (ModelPart& p : set.top) {
        ReleaseModelPart(&p);
        p.box = OrientedBox{};
    }
    ReleaseSimpleModel(&set.track);
    for (ModelPart& p : set.wheel) {
        ReleaseModelPart(&p);
        p.box = OrientedBox{};
    }
}

void LoadTankPart(ModelPart* part, const char* path, bool box)
{
    LoadModelPart(part, path);
    if (box) (void)ComputeModelBox(part);  // an empty part keeps a zero box
}

void DrawTankPart(const TankUnit& t, ModelPart* part, const Mat4& world)
{
    if (!HullInView(t)) return;
    gfx::SetTransform(gfx::TS_WORLD, world);
    DrawModelPart(part, t.cameraDistance);
}

Mat4 PlaceTurret(TankUnit& t, float h)
{
    t.turretWorld = MatTranslation(0, h, 0) * MatRotationY(t.turretYaw * kDegToRad) * t.world;
    return t.turretWorld;
}

Mat4 PlaceGun(TankUnit& t, Vec3 offset)
{
    t.gunWorld = MatRotationX(t.gunPitch * kDegToRad) * MatTranslation(offset.x, offset.y, offset.z) * t.turretWorld;
    return t.gunWorld;
}

void DrawWheels(const TankUnit& t, ModelPart* wheel, Vec3 right, Vec3 left)
{
    const float turn = t.trackTravel * kDegToRad;
    DrawTankPart(t, wheel, MatRotationX(turn) * MatTranslation(right.x, right.y, right.z) * t.world);
    DrawTankPart(t, wheel, MatRotationX(-turn) * MatRotationY(kHalfTurn) * MatTranslation(left.x, left.y, left.z) * t.world);
}

void DrawTrack(const TankUnit& t, SimpleModel* track, Vec3 offset, float divisor)
{
    if (!HullInView(t)) return;
    gfx::SetTransform(gfx::TS_WORLD, MatTranslation(offset.x, offset.y, offset.z) * t.world);
    DrawSimpleModelScrolled(track, t.trackTravel / divisor);
}

TankKind ModelOnlyTankKind(int32_t kind, const char* name, float groundClearance, Vec3 boxSize, Vec3 previewShift,
                           const TankHitModels* hitModels, void (*load)(), void (*release)(), void (*draw)(TankUnit&))
{
    TankKind row = {
        .kind = kind,
        .name = name,
        .fights = false,
        .maxSpeed = 0.33f,
        .acceleration = 0.018f,
        .groundClearance = groundClearance,
        .boxSize = boxSize,
        .hasSecondMount = false,
        .secondGunTimer = 0,
        .secondGunGate = 0,
        .cameraEye = {0, 2.65f, -6.35f},
        .crosshairMain = Crosshair::Unchanged,
        .crosshairSecond = Crosshair::Unchanged,
        .previewShift = previewShift,
        .secondFiresWhenOnTarget = false,
        .secondWeaponReach = 0,
        .shellStep = 0,
        .shellDip = 0,
        .hitModels = hitModels,
        .loaded = 0,
        .load = load,
        .release = release,
        .pose = nullptr,
        .fire = nullptr,
        .trigger = nullptr,
        .updateShots = nullptr,
        .draw = draw,
        .drawShells = nullptr,
        .drawAdditive = nullptr,
        .drawDepth = nullptr,
    };
    return row;
}
