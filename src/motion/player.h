// The player's control and the chase camera: keyboard and mouse turned into
// the command flags and aim of the player's unit (record 0 of its side), and
// the camera placed behind the unit it follows.
#pragma once

#include <cstdint>

#include "math/vecmath.h"

extern Vec3 CameraEye;
extern Vec3 CameraLookAt;
extern Vec3 CameraUp;
extern Mat4 CameraFacing;    // turns a quad toward the camera
extern int32_t viewedUnit;   // the unit of the player's side the camera follows
extern int32_t cameraShake;  // 0 none, 1 fire shake, 2 heavy shake
extern int32_t crosshairKind;
extern int32_t lockOnShown;

void BuildCameraFacing();
void TankPlayerControl();
void RobotPlayerControl();
// Back to the start of a battle: no shake, the camera on unit 0.
void ResetPlayerControl();
