// The player's control and the chase camera: keyboard and mouse turned into
// the command flags and aim of the player's unit (record 0 of its side), and
// the camera placed behind the unit it follows.
#pragma once

#include <cstdint>

#include "math/vecmath.h"
#include "records/state.h"


void BuildCameraFacing();
void TankPlayerControl();
void RobotPlayerControl();
// Back to the start of a battle: no shake, the camera on unit 0.
void ResetPlayerControl();
