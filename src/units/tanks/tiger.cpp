// The TIGER tank (kind 1).
#include "battle/state.h"
#include "units/tanks/tank_kinds.h"

void PoseTigerParts(TankUnit& t)
{
    t.turretWorld = MatTranslation(0, 0.85f, 0) * MatRotationY(t.turretYaw * kDegToRad) * t.world;
    t.gunWorld = MatRotationX(t.gunPitch * kDegToRad) * MatTranslation(0, -0.1f, 1.25f + t.recoil) * t.turretWorld;
}

void PoseTankParts(TankUnit& t)
{
    if (t.kind == 1) PoseTigerParts(t);
    else if (t.kind == 2) PoseAbramsParts(t);
    else t.turretWorld = t.gunWorld = MatRotationY(t.turretYaw * kDegToRad) * t.world;
}
