// The M60 (kind 7), a main battle tank: a long hull, a big rounded turret
// with a long gun, and a commander's cupola with a machine gun of its own.
// It is only looked at: a model set, its release, and a draw that poses the
// turret, the gun and the cupola's gun.
#include "units/tanks/model_tanks.h"
#include "units/tanks/tank_kinds.h"

namespace {
TankModelSet Set;
enum { kBody, kTurret, kGun, kCupola, kCupolaGun };  // Set.top
enum { kRoller, kRoadWheel, kRearWheel, kFrontWheel };  // Set.wheel
constexpr float kWheelX = 1.1f;
constexpr float kRollersZ[3] = {-0.4f, 1.0f, -1.7f};
constexpr float kRoadWheelsZ[6] = {-0.05f, 0.58f, 1.26f, -0.75f, -1.46f, -2.15f};
}  // namespace

const TankHitModels kM60HitModels = {&Set.top[kBody], &Set.top[kTurret]};

void LoadM60()
{
    ReleaseM60();
    LoadTankPart(&Set.top[kBody], "LAND/M60/body.x", true);
    LoadTankPart(&Set.top[kTurret], "LAND/M60/top1.x", true);
    LoadTankPart(&Set.top[kGun], "LAND/M60/top2.x", true);
    LoadTankPart(&Set.top[kCupola], "LAND/M60/top3.x", true);
    LoadTankPart(&Set.top[kCupolaGun], "LAND/M60/top4.x", true);
    LoadSimpleModel(&Set.track, "LAND/M60/wheel0.x");
    LoadTankPart(&Set.wheel[kRoller], "LAND/M60/wheel1.x", false);
    LoadTankPart(&Set.wheel[kRoadWheel], "LAND/M60/wheel2.x", false);
    LoadTankPart(&Set.wheel[kRearWheel], "LAND/M60/wheel3.x", false);
    LoadTankPart(&Set.wheel[kFrontWheel], "LAND/M60/wheel4.x", false);
}

void ReleaseM60() { ReleaseTankModelSet(Set); }

void DrawM60(TankUnit& t)
{
    DrawTankPart(t, &Set.top[kBody], t.world);
    DrawTankPart(t, &Set.top[kTurret], PlaceTurret(t, 0.75f));
    DrawTankPart(t, &Set.top[kGun], PlaceGun(t, {0, -0.2f, 1.15f}));
    // The cupola sits fixed on the turret; its gun pitches with the main gun.
    const Mat4 cupola = MatTranslation(-0.35f, 0.4f, -0.5f) * t.turretWorld;
    DrawTankPart(t, &Set.top[kCupola], cupola);
    DrawTankPart(t, &Set.top[kCupolaGun],
                 MatRotationX(t.gunPitch * kDegToRad) * MatTranslation(-0.2f, 0.2f, 0.45f) * cupola);
    DrawTrack(t, &Set.track, {kWheelX, -0.38f, -0.48f}, 800.0f);
    DrawTrack(t, &Set.track, {-kWheelX, -0.38f, -0.48f}, 800.0f);
    for (float z : kRollersZ) DrawWheelPair(t, &Set.wheel[kRoller], kWheelX, 0, z);
    for (float z : kRoadWheelsZ) DrawWheelPair(t, &Set.wheel[kRoadWheel], kWheelX, -0.56f, z);
    DrawWheelPair(t, &Set.wheel[kRearWheel], kWheelX, -0.16f, -2.78f);
    DrawWheelPair(t, &Set.wheel[kFrontWheel], kWheelX, -0.14f, 1.82f);
}

TankKind M60Kind()
{
    return ModelOnlyTankKind(7, "M60", 0.912f, {1.2f, 0, 2.6f}, {0, 0, 2.5f}, &kM60HitModels, LoadM60, ReleaseM60, DrawM60);
}
