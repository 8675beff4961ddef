// The table of tank kinds: one row each.
#include "units/tanks/tank_kinds.h"

#include <cmath>

#include "platform/crt_rand.h"
#include "units/kind_table.h"

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

// The rows the kinds with a file of their own give.
TankKind TigerKind();   // tiger.cpp
TankKind AbramsKind();  // abrams.cpp
TankKind Brdm3Kind();   // brdm3.cpp
TankKind FlackpKind();  // flackp.cpp
TankKind Ft17Kind();    // ft17.cpp
TankKind M2a2Kind();    // m2a2.cpp
TankKind M60Kind();     // m60.cpp
TankKind V100Kind();    // v100.cpp
TankKind M730aKind();   // m730a.cpp

// One row per kind, in kind order; each kind gives its row from its own file.
TankKind TankKinds[kLastTankKind] = {
    TigerKind(),
    AbramsKind(),
    Brdm3Kind(),
    FlackpKind(),
    Ft17Kind(),
    M2a2Kind(),
    M60Kind(),
    V100Kind(),
    M730aKind(),
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
