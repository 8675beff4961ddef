// The M730A (kind 9), a tracked carrier with a missile launcher on a
// turning mount.  It is only looked at: a model set (with one missile,
// loaded for its box and never drawn), its release, and a draw that poses
// the mount and its rails.
#include "units/tanks/model_tanks.h"
#include "units/tanks/tank_kinds.h"

namespace {
TankModelSet Set;
enum { kBody, kMount, kRails, kMissile };          // Set.top
enum { kRoadWheel, kIdler, kSprocket };            // Set.wheel
constexpr float kWheelX = 0.9f;
// Road wheels, right side z with the left side's own z.
constexpr float kRoadWheelsZ[5][2] = {{-0.6f, -0.6f}, {-1.22f, -1.2f}, {-1.8f, -1.8f}, {0, 0}, {0.6f, 0.6f}};
}  // namespace

const TankHitModels kM730aHitModels = {&Set.top[kBody], &Set.top[kMount]};

void LoadM730a()
{
    ReleaseM730a();
    LoadTankPart(&Set.top[kBody], "LAND/M730A/body.x", true);
    LoadTankPart(&Set.top[kMount], "LAND/M730A/top1.x", true);
    LoadTankPart(&Set.top[kRails], "LAND/M730A/top2.x", true);
    LoadTankPart(&Set.top[kMissile], "LAND/M730A/tama.x", true);
    LoadSimpleModel(&Set.track, "LAND/M730A/wheel0.x");
    LoadTankPart(&Set.wheel[kRoadWheel], "LAND/M730A/wheel1.x", false);
    LoadTankPart(&Set.wheel[kIdler], "LAND/M730A/wheel2.x", false);
    LoadTankPart(&Set.wheel[kSprocket], "LAND/M730A/wheel3.x", false);
}

void ReleaseM730a() { ReleaseTankModelSet(Set); }

void DrawM730a(TankUnit& t)
{
    DrawTankPart(t, &Set.top[kBody], t.world);
    DrawTankPart(t, &Set.top[kMount], PlaceTurret(t, 0.55f));
    DrawTankPart(t, &Set.top[kRails], PlaceGun(t, {0, 0.5f, 0}));
    DrawTrack(t, &Set.track, {kWheelX, -0.65f, -0.6f}, 800.0f);
    DrawTrack(t, &Set.track, {-kWheelX, -0.65f, -0.6f}, 800.0f);
    for (const auto& z : kRoadWheelsZ)
        DrawWheels(t, &Set.wheel[kRoadWheel], {kWheelX, -0.7f, z[0]}, {-kWheelX, -0.7f, z[1]});
    DrawWheelPair(t, &Set.wheel[kIdler], kWheelX, -0.5f, -2.4f);
    DrawWheelPair(t, &Set.wheel[kSprocket], kWheelX, -0.6f, 1.25f);
}

TankKind M730aKind()
{
    return ModelOnlyTankKind(9, "M730A", 1.02f, {1.05f, 0, 2.2f}, {0, 0, 0}, &kM730aHitModels, LoadM730a, ReleaseM730a,
                             DrawM730a);
}
