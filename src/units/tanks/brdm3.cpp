// The BRDM3 (kind 3), a four-wheeled scout car with a small gun turret.  It
// is only looked at: a model set, its release, and a draw that poses the
// turret and gun.
#include "units/tanks/model_tanks.h"
#include "units/tanks/tank_kinds.h"

namespace {
TankModelSet Set;
enum { kBody, kTurret, kGun, kWheel };  // Set.top: the wheel rides in the fourth slot
}  // namespace

const TankHitModels kBrdm3HitModels = {&Set.top[kBody], &Set.top[kTurret]};

void LoadBrdm3()
{
    ReleaseBrdm3();
    LoadTankPart(&Set.top[kBody], "LAND/BRDM3/body.x", true);
    LoadTankPart(&Set.top[kTurret], "LAND/BRDM3/top1.x", true);
    LoadTankPart(&Set.top[kGun], "LAND/BRDM3/top2.x", true);
    LoadTankPart(&Set.top[kWheel], "LAND/BRDM3/wheel.x", true);
}

void ReleaseBrdm3() { ReleaseTankModelSet(Set); }

void DrawBrdm3(TankUnit& t)
{
    DrawTankPart(t, &Set.top[kBody], t.world);
    DrawTankPart(t, &Set.top[kTurret], PlaceTurret(t, 0.875f));
    DrawTankPart(t, &Set.top[kGun], PlaceGun(t, {0, 0.2f, 0}));
    DrawWheelPair(t, &Set.top[kWheel], 0.8f, -0.35f, -1.5f);  // rear pair, then front
    DrawWheelPair(t, &Set.top[kWheel], 0.8f, -0.35f, 1.25f);
}

TankKind Brdm3Kind()
{
    return ModelOnlyTankKind(3, "BRDM3", 0.75f, {0.9f, 0, 2.4f}, {0, 0, 0}, &kBrdm3HitModels, LoadBrdm3, ReleaseBrdm3,
                             DrawBrdm3);
}
