// The TIGER tank (kind 1): so far the matrices of its turret and gun on the
// hull; its models, weapons and draws come with its own work.
#include "records/state.h"
#include "units/tanks/tank_kinds.h"

void PoseTiger(TankUnit& t)
{
    t.turretWorld = MatTranslation(0, 0.85f, 0) * MatRotationY(t.turretYaw * kDegToRad) * t.world;
    t.gunWorld = MatRotationX(t.gunPitch * kDegToRad) * MatTranslation(0, -0.1f, 1.25f + t.recoil) * t.turretWorld;
}
