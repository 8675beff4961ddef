// What both sides' tables of kinds do the same way, for a table of either
// side's rows (TankKind or RobotKind): look a kind up by the name a player
// types, list the kinds that fight, load a kind's models once, release them all.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <strings.h>

#include "records/kinds.h"

// Whether a kind may be taken into battle: its row says it fights and holds
// every routine a battle calls (models, pose, fire, shots, draw).  A row
// that says so without them would field a unit nobody sees and that never
// fires.
inline bool CanFight(const TankKind& k)
{
    return k.fights && k.load && k.pose && k.fire && k.trigger && k.updateShots && k.draw;
}
inline bool CanFight(const RobotKind& k)
{
    return k.fights && k.load && k.pose && k.fire && k.updateShots && k.draw;
}

// The kind a name means: its number ("2") or its name in any case
// ("abrams"); 0 for neither.
template <class Row, int N>
int KindFromText(const Row (&rows)[N], const char* text)
{
    for (const Row& k : rows) {
        char number[16];
        std::snprintf(number, sizeof number, "%d", k.kind);
        if (strcasecmp(text, k.name) == 0 || std::strcmp(text, number) == 0) return k.kind;
    }
    return 0;
}

// The kinds that may fight, in table order, into kinds[0..]; returns how many.
template <class Row, int N>
int FightingKinds(const Row (&rows)[N], int32_t* kinds)
{
    int count = 0;
    for (const Row& k : rows)
        if (CanFight(k)) kinds[count++] = k.kind;
    return count;
}

// A row's models loaded once, whoever asks first; nothing for no row.
template <class Row>
void LoadKindModels(Row* row)
{
    if (!row || row->loaded) return;
    if (row->load) row->load();
    row->loaded = 1;
}

// Every row's models released and its loaded flag cleared.
template <class Row, int N>
void ReleaseKindModels(Row (&rows)[N])
{
    for (Row& k : rows) {
        if (k.release) k.release();
        k.loaded = 0;
    }
}
