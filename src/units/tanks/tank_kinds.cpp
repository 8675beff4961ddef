// The table of tank kinds: one row each.
#include "units/tanks/tank_kinds.h"

#include "battle/state.h"

void PoseTurretOnHull(TankUnit& t)
{
    if (!t.alive) return;
    t.turretWorld = t.gunWorld = MatRotationY(t.turretYaw * kDegToRad) * t.world;
}

namespace {
// Kinds 3 to 9 are looked at on the select screens; their models and
// weapons arrive with their own work.
constexpr TankKind LookedAt(const char* name)
{
    return {name, false, 0.33f, 0.018f, 1.0f, {1.0f, 0, 2.3f}, false, 0, 0, {0, 2.65f, -6.35f},
            kCrosshairUnchanged, kCrosshairUnchanged, nullptr, nullptr, PoseTurretOnHull,
            nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
}

const TankKind kTankKinds[kLastTankKind] = {
    // TIGER: two flame mounts for its second weapon.
    {"TIGER", true, 0.31f, 0.016f, 1.36f, {1.5f, 0, 2.8f}, true, -90, -1.0f, {0, 2.7f, -6.35f}, kCrosshairCannon,
     kCrosshairUnchanged, nullptr, nullptr, PoseTiger, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
     nullptr},
    // ABRAMS: main gun and a roof machine gun.
    {"ABRAMS", true, 0.33f, 0.018f, 0.72f, {1.0f, 0, 2.3f}, true, -120, 0.0f, {0, 2.25f, -6.35f}, kCrosshairCannon,
     kCrosshairMachineGun, LoadAbrams, ReleaseAbrams, PoseAbrams, FireAbrams, TriggerAbrams, UpdateAbramsShots,
     DrawAbrams, DrawAbramsShells, DrawAbramsTracers, DrawAbramsDepth},
    LookedAt("BRDM3"),
    LookedAt("FLACKP"),
    LookedAt("FT17_BER"),
    LookedAt("M2A2"),
    LookedAt("M60"),
    LookedAt("V100"),
    LookedAt("M730A"),
};
}  // namespace

const TankKind* TankKindOf(int kind)
{
    if (kind < kFirstTankKind || kind > kLastTankKind) return nullptr;
    return &kTankKinds[kind - kFirstTankKind];
}

const char* TankKindName(int kind)
{
    const TankKind* k = TankKindOf(kind);
    return k ? k->name : "?";
}

void ReleaseAllTankModels()
{
    for (int kind = kFirstTankKind; kind <= kLastTankKind; ++kind) {
        const TankKind* k = TankKindOf(kind);
        if (k->release) k->release();
        TankModelLoaded[kind] = 0;
    }
}
