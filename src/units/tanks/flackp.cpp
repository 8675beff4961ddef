// The FLACKP (kind 4), a self-propelled anti-aircraft gun: a turret with a
// gun on each side and a search radar turning on a mast at its back, on a
// tracked hull of seven road wheels a side.  It is only looked at: a model
// set, its release, and a draw that poses the turret, the guns and the radar.
#include "units/tanks/model_tanks.h"
#include "units/tanks/tank_kinds.h"

namespace {
TankModelSet Set;
enum { kBody, kTurret, kGun, kSideGun, kRadar };  // Set.top
enum { kIdler, kRoadWheel };                     // Set.wheel

constexpr float kHalfTurn = 3.14159265f;  // radians
constexpr float kRadarStep = 1.6f;        // degrees a draw
constexpr float kRadarTilt = 0.314159f;   // radians, 18 degrees back
constexpr float kRoadWheelsZ[7] = {-2.05f, -1.5f, -0.95f, -0.4f, 0.15f, 0.7f, 1.25f};
}  // namespace

// The radar's bearing in degrees, kept for the whole run.
float radarAngle = 0.0f;

const TankHitModels kFlackpHitModels = {&Set.top[kBody], &Set.top[kTurret]};

void LoadFlackp()
{
    ReleaseFlackp();
    LoadTankPart(&Set.top[kBody], "LAND/FLACKP/body.x", true);
    LoadTankPart(&Set.top[kTurret], "LAND/FLACKP/top1.x", true);
    LoadTankPart(&Set.top[kGun], "LAND/FLACKP/top2.x", true);
    LoadTankPart(&Set.top[kSideGun], "LAND/FLACKP/top3.x", true);
    LoadTankPart(&Set.top[kRadar], "LAND/FLACKP/top4.x", true);
    LoadSimpleModel(&Set.track, "LAND/FLACKP/wheel1.x");
    LoadTankPart(&Set.wheel[kIdler], "LAND/FLACKP/wheel2.x", false);
    LoadTankPart(&Set.wheel[kRoadWheel], "LAND/FLACKP/wheel3.x", false);
}

void ReleaseFlackp() { ReleaseTankModelSet(Set); }

void DrawFlackp(TankUnit& t)
{
    DrawTankPart(t, &Set.top[kBody], t.world);
    DrawTankPart(t, &Set.top[kTurret], PlaceTurret(t, 0.5f));
    DrawTankPart(t, &Set.top[kGun], PlaceGun(t, {0, 0.6f, 1.0f}));
    // One side gun, and the same rolled over onto the left.
    const float pitch = t.gunPitch * kDegToRad;
    DrawTankPart(t, &Set.top[kSideGun], MatRotationX(pitch) * MatTranslation(0.75f, 0.6f, -0.8f) * t.turretWorld);
    DrawTankPart(t, &Set.top[kSideGun],
                 MatRotationX(-pitch) * MatRotationZ(kHalfTurn) * MatTranslation(-0.75f, 0.6f, -0.8f) * t.turretWorld);
    // The radar, tilted back on its mast, turns a step every draw.
    DrawTankPart(t, &Set.top[kRadar],
                 MatRotationY(radarAngle * kDegToRad) * MatRotationX(kRadarTilt) * MatTranslation(0, 0.925f, -1.85f) *
                     t.turretWorld);
    radarAngle += kRadarStep;
    if (radarAngle >= 360.0f) radarAngle = 0.0f;
    DrawTrack(t, &Set.track, {1.0f, -0.2f, -0.4f}, 400.0f);
    DrawTrack(t, &Set.track, {-1.0f, -0.2f, -0.4f}, 400.0f);
    DrawWheelPair(t, &Set.wheel[kIdler], 0.98f, -0.2f, -2.55f);
    for (float z : kRoadWheelsZ) DrawWheelPair(t, &Set.wheel[kRoadWheel], 0.98f, -0.4f, z);
    DrawWheelPair(t, &Set.wheel[kRoadWheel], 0.98f, -0.1f, 1.8f);
}

TankKind FlackpKind()
{
    return ModelOnlyTankKind(4, "FLACKP", 0.702f, {1.1f, 0, 2.5f}, {0, -0.15f, 0}, &kFlackpHitModels, LoadFlackp, ReleaseFlackp,
                             DrawFlackp);
}
