// The Mercury side in battle: the computer's decisions for every robot but
// the player's, the per-frame update of every robot in use (walking,
// turning, wall rays, footsteps, firing, lock-on, shots, damage, death and
// respawn), and the per-robot draws the battle frame's passes call.  Each
// robot kind's own routines are reached through the table of robot kinds.
#pragma once

#include <cstdint>

#include "math/vecmath.h"

// What the computer keeps for each robot between frames.
struct RobotAiState {
    float desiredHeading;  // patrol heading, degrees
    int32_t wandering;     // 1 while walking a patrol leg
    int32_t driveFrames;   // frames walked in this leg
    int32_t restFrames;    // frames rested since the last leg
    int32_t driveLimit;    // leg length: 100 to 1000 frames
    int32_t restLimit;     // rest length: 20 to 200 frames
    int32_t moveMode;      // manoeuvre while a tank is near: 0..40
    int32_t modeFrames;    // frames in this manoeuvre
    int32_t modeLimit;     // manoeuvre length: 100 to 1000 frames
};
extern RobotAiState RobotAi[16];

// A computer robot sees tanks this close (and only live tanks in use).
constexpr float kRobotSightRange = 186.0f;
// Hit reactions a robot shakes with; a robot frozen by ice keeps its code
// until another hit or a respawn.
constexpr int32_t kFrozenByIce = 444;
// A shake ends when its timer reaches this.
constexpr int32_t kRobotShakeFrames = 30;

void RobotAiDecide();
void RobotSideUpdate();
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


