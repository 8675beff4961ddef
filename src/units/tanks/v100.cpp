// The V100 (kind 8), a four-wheeled armoured car with a small turret whose
// gun sits left of its middle.  It is only looked at: a model set, its
// release, and a draw that poses the turret and gun.
#include "units/tanks/model_tanks.h"
#include "units/tanks/tank_kinds.h"

namespace {
TankModelSet Set;
enum { kBody, kTurret, kGun, kWheel };  // Set.top: the wheel rides in the fourth slot
}  // namespace

const TankHitModels kV100HitModels = {&Set.top[kBody], &Set.top[kTurret]};

void LoadV100()
{
    ReleaseV100();
    LoadTankPart(&Set.top[kBody], "LAND/V100/body.x", true);
    LoadTankPart(&Set.top[kTurret], "LAND/V100/top1.x", true);
    LoadTankPart(&Set.top[kGun], "LAND/V100/top2.x", true);
    LoadTankPart(&Set.top[kWheel], "LAND/V100/wheel.x", true);
}

void ReleaseV100() { ReleaseTankModelSet(Set); }

void DrawV100(TankUnit& t)
{
    DrawTankPart(t, &Set.top[kBody], t.world);
    DrawTankPart(t, &Set.top[kTurret], PlaceTurret(t, 0.65f));
    DrawTankPart(t, &Set.top[kGun], PlaceGun(t, {-0.25f, 0.225f, 0.36f}));
    DrawWheelPair(t, &Set.top[kWheel], 0.8f, -0.5f, -1.5f);  // rear pair, then front
    DrawWheelPair(t, &Set.top[kWheel], 0.8f, -0.5f, 1.15f);
}

TankKind V100Kind()
{
    return ModelOnlyTankKind(8, "V100", 0.92f, {0.95f, 0, 2.5f}, {0, 0, 0}, &kV100HitModels, LoadV100, ReleaseV100, DrawV100);
}
