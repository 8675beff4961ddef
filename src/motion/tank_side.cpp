#include "motion/tank_side.h"

#include "battle/state.h"
#include "effects/projectiles.h"
#include "units/tanks/tank_kinds.h"

void TankAiDecide() {}

// Until the side update exists the tanks are only posed, so the turret, the
// aim and the camera behind them follow the hull on the ground; the shots of
// every tank in use fly on, its wreck's included.
void TankSideUpdate()
{
    for (int i = 0; i < EarthCount; ++i) {
        TankUnit& t = Tanks[i];
        if (t.alive) PoseTankParts(t);
        if (t.kind >= 1 && t.kind <= 9 && TankShotUpdates[t.kind]) TankShotUpdates[t.kind](t, i);
    }
}

void NewTankPatrol(int) {}
void DrawTankKind(int) {}
void DrawTankDepth(int) {}
void DrawTankAdditiveShots(int) {}
