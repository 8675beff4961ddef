// The player's control and the chase camera: keyboard and mouse turned into
// the command flags and aim of the player's unit (record 0 of its side), and
// the camera placed behind the unit it follows.
#pragma once

#include <cstdint>

#include "math/vecmath.h"
#include "records/state.h"


// The rotation that turns a quad to face the camera, from CameraEye and
// CameraLookAt.
void BuildCameraFacing();
// The control phase of a battle step: the mouse, keys and pad into record 0's
// command flags and aim (nothing but the view cycling on Z under --demo),
// the fire shake, and for a robot the lock-on through its own sight
// (RobotSightView), never through the window's view.
void TankPlayerControl();
void RobotPlayerControl();
// The view a robot locks on through: its chase camera's, without shake,
// from its own aim, whatever unit the camera follows.
Mat4 RobotSightView(const RobotUnit& r);
// The chase camera behind the viewed unit of the player's side, with its
// shake, and the crosshair of the weapon in its hands: CameraEye,
// CameraLookAt, CameraUp and crosshairKind.
void PlaceChaseCamera();
// The left button and the right trigger are ignored by the control until
// both have been released: fire held when the pause ends does not fire.
void HoldFireUntilReleased();
// Back to the start of a battle: no shake, the camera on unit 0.
void ResetPlayerControl();
