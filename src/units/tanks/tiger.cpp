// The TIGER tank (kind 1): so far the matrices of its turret and gun on the
// hull; its models, weapons and draws come with its own work.
#include "records/state.h"
#include "units/tanks/tank_kinds.h"

void PoseTiger(TankUnit& t)
{
    t.turretWorld = MatTranslation(0, 0.85f, 0) * MatRotationY(t.turretYaw * kDegToRad) * t.world;
    t.gunWorld = MatRotationX(t.gunPitch * kDegToRad) * MatTranslation(0, -0.1f, 1.25f + t.recoil) * t.turretWorld;
}

// Its row of the tank kinds' table: two flame mounts for its second
// weapon, which the computer fires whenever it is on target and keeps for
// targets within 60.
TankKind TigerKind()
{
    TankKind row = {
        .kind = kTankTiger,
        .name = "TIGER",
        .fights = true,
        .maxSpeed = 0.31f,
        .acceleration = 0.016f,
        .groundClearance = 1.36f,
        .boxSize = {1.5f, 0, 2.8f},
        .hasSecondMount = true,
        .secondGunTimer = -90,
        .secondGunGate = -1.0f,
        .cameraEye = {0, 2.7f, -6.35f},
        .crosshairMain = Crosshair::Cannon,
        .crosshairSecond = Crosshair::Unchanged,
        .previewDrop = 0.0f,
        .secondFiresWhenOnTarget = true,
        .secondWeaponReach = 60.0f,
        .hitModels = nullptr,
        .loaded = 0,
        .load = nullptr,
        .release = nullptr,
        .pose = PoseTiger,
        .fire = nullptr,
        .trigger = nullptr,
        .updateShots = nullptr,
        .draw = nullptr,
        .drawShells = nullptr,
        .drawAdditive = nullptr,
        .drawDepth = nullptr,
    };
    return row;
}
