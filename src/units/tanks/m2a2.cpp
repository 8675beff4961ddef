// The M2A2 (kind 6), an infantry fighting vehicle: a turret with a slim
// gun and a missile launcher on its left side, on a tracked hull whose
// running gear lies a little left of the turret's ring.  It is only looked
// at: a model set, its release, and a draw that poses turret, gun and
// launcher.
#include "units/tanks/model_tanks.h"
#include "units/tanks/tank_kinds.h"

namespace {
TankModelSet Set;
enum { kBody, kTurret, kGun, kLauncher };  // Set.top
enum { kSprocket, kRoadWheel, kIdler };    // Set.wheel
constexpr float kRightX = 0.88f, kLeftX = -1.13f;  // both sides' running gear
constexpr float kRoadWheelsZ[6] = {2.1f, 1.45f, 0.8f, 0.0f, -0.65f, -1.3f};
}  // namespace

const TankHitModels kM2a2HitModels = {&Set.top[kBody], &Set.top[kTurret]};

void LoadM2a2()
{
    ReleaseM2a2();
    LoadTankPart(&Set.top[kBody], "LAND/M2A2/body.x", true);
    LoadTankPart(&Set.top[kTurret], "LAND/M2A2/top1.x", true);
    LoadTankPart(&Set.top[kGun], "LAND/M2A2/top2.x", true);
    LoadTankPart(&Set.top[kLauncher], "LAND/M2A2/top3.x", true);
    LoadSimpleModel(&Set.track, "LAND/M2A2/wheel.x");
    LoadTankPart(&Set.wheel[kSprocket], "LAND/M2A2/wheel1.x", false);
    LoadTankPart(&Set.wheel[kRoadWheel], "LAND/M2A2/wheel2.x", false);
    LoadTankPart(&Set.wheel[kIdler], "LAND/M2A2/wheel3.x", false);
}

void ReleaseM2a2() { ReleaseTankModelSet(Set); }

void DrawM2a2(TankUnit& t)
{
    DrawTankPart(t, &Set.top[kBody], t.world);
    DrawTankPart(t, &Set.top[kTurret], PlaceTurret(t, 1.05f));
    // The launcher pitches with the gun; the gun is placed after it, so
    // gunWorld ends up holding the gun's matrix.
    DrawTankPart(t, &Set.top[kLauncher], PlaceGun(t, {-1.05f, 0.1f, 0}));
    DrawTankPart(t, &Set.top[kGun], PlaceGun(t, {0, 0.15f, 0.65f}));
    DrawTrack(t, &Set.track, {kRightX, 0.05f, 0.5f}, 800.0f);
    DrawTrack(t, &Set.track, {kLeftX, 0.05f, 0.5f}, 800.0f);
    DrawWheelPair(t, &Set.wheel[kSprocket], kRightX, -0.2f, 2.9f, kLeftX);
    for (float z : kRoadWheelsZ) DrawWheelPair(t, &Set.wheel[kRoadWheel], kRightX, -0.51f, z, kLeftX);
    DrawWheelPair(t, &Set.wheel[kIdler], kRightX, -0.2f, -1.9f, kLeftX);
}

TankKind M2a2Kind()
{
    return ModelOnlyTankKind(6, "M2A2", 0.862f, {1.1f, 0, 2.6f}, {0, -0.1f, 0.3f}, &kM2a2HitModels, LoadM2a2, ReleaseM2a2, DrawM2a2);
}
