// The Mercury side in battle: the computer's decisions for every robot but
// the player's, the per-frame update of every robot in use (walking,
// turning, wall rays, footsteps, firing, lock-on, shots, damage, death and
// respawn), and the per-robot draws the battle frame's passes call.  Each
// robot kind's own numbers and routines are reached through the row its
// record carries.
#pragma once

#include <cstdint>

#include "math/vecmath.h"
#include "records/state.h"


// A computer robot sees tanks this close (and only live tanks in use).
constexpr float kRobotSightRange = 186.0f;
// A shake ends when its timer reaches this.
constexpr int32_t kRobotShakeFrames = 30;

// Robot `slot` back at its start point, whole, with its kind's handling.
void SpawnRobot(int slot);
void RobotAiDecide();
void RobotSideUpdate();
// The shots phase for unit `slot`: its kind moves its shots and runs their
// hit tests.
void UpdateRobotShots(int slot);
// The nearest live tank in use within sight becomes robot `slot`'s target
// (lockTarget, lockedOn); none in sight clears lockedOn.
void ChooseRobotTarget(int slot);
// A new patrol leg for computer robot `slot`: heading back into the field
// near its edges, leg and rest lengths, the next manoeuvre, and a weapon
// choice (never for the player's own robot).
void NewRobotPatrol(int slot);
// Robot `slot` in the scene pass (its world transform is set), its shadow
// caster in the depth pass, and its additive shots (shell glows, ice).
void DrawRobotKind(int slot);
void DrawRobotDepth(int slot);
void DrawRobotAdditiveShots(int slot);


