// One step of a side as the battle runs it for the tests that drive a side
// without the whole battle frame: the unit updates, then the shots phase.
#pragma once

#include "records/state.h"
#include "sides/robot_side.h"
#include "sides/tank_side.h"

inline void TankStep()
{
    TankSideUpdate();
    for (int i = 0; i < EarthCount; ++i) UpdateTankShots(i);
}

inline void RobotStep()
{
    RobotSideUpdate();
    for (int j = 0; j < MercuryCount; ++j) UpdateRobotShots(j);
}
