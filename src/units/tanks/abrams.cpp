// The ABRAMS tank (kind 2).
#include "battle/state.h"
#include "units/tanks/tank_kinds.h"

void PoseAbramsParts(TankUnit& t)
{
    t.turretWorld = MatTranslation(0, 0.35f, t.recoil) * MatRotationY(t.turretYaw * kDegToRad) * t.world;
    t.gunWorld = MatRotationX(t.gunPitch * kDegToRad) * MatTranslation(0, 0.3f, 1.15f) * t.turretWorld;
}
