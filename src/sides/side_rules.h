// Rules both sides follow the same way: which enemy a unit turns to, and how
// a wreck mends until it comes back.
#pragma once

#include "records/state.h"
#include "world/ground.h"

// The nearest live unit of units[0..count) closer to `from` than `range`:
// its slot, or -1 when there is none (the first of equals wins).
template <class Unit>
int NearestLiveUnit(const Unit* units, int count, Vec3 from, float range)
{
    int found = -1;
    float best = range;
    for (int k = 0; k < count; ++k) {
        float d = PointDistance(Position(units[k]), from);
        if (d < best && units[k].alive) {
            found = k;
            best = d;
        }
    }
    return found;
}

// A wreck mends 0.8 hit points at a time and comes back once past 256.  The
// float sum of those steps drifts above the exact multiple (320 steps from 0
// make 256.0007), so "past 256" means past it by more than that drift: from
// 0 the unit returns on the 321st step, as the exact sum says.  True when
// the unit is whole again.
inline bool MendWreck(float& hp)
{
    constexpr float kWhole = 256.0f, kStep = 0.8f, kDrift = 0.01f;
    hp += kStep;
    return hp > kWhole + kDrift;
}
