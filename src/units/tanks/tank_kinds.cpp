// The table of tank kinds: one row each.
#include "units/tanks/tank_kinds.h"

#include <cmath>

#include "platform/crt_rand.h"
#include "units/kind_table.h"

void PoseTurretOnHull(TankUnit& t)
{
    if (!t.alive) return;
    t.turretWorld = t.gunWorld = MatRotationY(t.turretYaw * kDegToRad) * t.world;
}

void TumbleWreckPart(Mat4& part, DebrisLaunch& d, float ground, int spinBase, int spinRange)
{
    float a = 0, b = 0, c = 0;
    if (part.m[3][1] > ground + 0.5f) {
        float tilt = static_cast<float>(d.tilt) * 0.0174f, heading = static_cast<float>(d.heading) * 0.0174f;
        part.m[3][0] += std::sin(tilt) * d.speed * d.time;
        part.m[3][1] += std::cos(tilt) * d.speed * d.time - 5.0f * d.time * d.time;
        part.m[3][2] += std::sin(heading) * std::sin(tilt) * d.speed * d.time;
        d.time += 0.018f;
        a = static_cast<float>(Rand() % spinRange + spinBase);
        b = static_cast<float>(Rand() % spinRange + spinBase);
        c = static_cast<float>(Rand() % spinRange + spinBase);
    }
    part = MatRotationYawPitchRoll(a * kDegToRad, b * kDegToRad, c * kDegToRad) * part;
}

namespace {
// Kinds 3 to 9 are looked at on the select screens; their models and
// weapons arrive with their own work.
constexpr TankKind LookedAt(int32_t kind, const char* name, float previewDrop)
{
    return {kind, name, false, 0.33f, 0.018f, 1.0f, {1.0f, 0, 2.3f}, false, 0, 0, {0, 2.65f, -6.35f},
            Crosshair::Unchanged, Crosshair::Unchanged, previewDrop, false, 0, 0, 0, nullptr, 0, nullptr, nullptr,
            PoseTurretOnHull, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
}
}  // namespace

// The rows the kinds with a file of their own give.
TankKind TigerKind();   // tiger.cpp
TankKind AbramsKind();  // abrams.cpp

// One row per kind, in kind order.  A kind with a file of its own gives its
// row from there.
TankKind TankKinds[kLastTankKind] = {
    TigerKind(),
    AbramsKind(),
    LookedAt(3, "BRDM3", 0.0f),
    LookedAt(4, "FLACKP", -0.4f),
    LookedAt(5, "FT17_BER", 0.0f),
    LookedAt(6, "M2A2", -0.2f),
    LookedAt(7, "M60", 0.0f),
    LookedAt(8, "V100", 0.0f),
    LookedAt(9, "M730A", 0.0f),
};
static_assert(sizeof TankKinds / sizeof TankKinds[0] == kLastTankKind - kFirstTankKind + 1, "a row per kind");

const TankKind* TankKindOf(int kind)
{
    if (kind < kFirstTankKind || kind > kLastTankKind) return nullptr;
    return &TankKinds[kind - kFirstTankKind];
}

const char* TankKindName(int kind)
{
    const TankKind* k = TankKindOf(kind);
    return k ? k->name : "?";
}

int TankKindFromText(const char* text) { return KindFromText(TankKinds, text); }

void SetTankKind(TankUnit& tank, int kind)
{
    tank.kind = kind;
    tank.row = TankKindOf(kind);
}

int FightingTankKinds(int32_t* kinds) { return FightingKinds(TankKinds, kinds); }

void LoadTankModels(int kind)
{
    if (kind >= kFirstTankKind && kind <= kLastTankKind) LoadKindModels(&TankKinds[kind - kFirstTankKind]);
}

void ReleaseAllTankModels() { ReleaseKindModels(TankKinds); }

bool TankKindCanFight(int kind)
{
    const TankKind* k = TankKindOf(kind);
    return k && CanFight(*k);
}
