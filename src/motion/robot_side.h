// The Mercury side in battle: the computer's decisions for every robot but
// the player's, the per-frame update of every robot in use (walking,
// turning, wall rays, footsteps, firing, lock-on, shots, damage, death and
// respawn), and the per-robot draws the battle frame's passes call.  Each
// robot kind's own routines are reached through the table of robot kinds.
#pragma once

void RobotAiDecide();
void RobotSideUpdate();
// A new patrol leg for computer robot `slot`.
void NewRobotPatrol(int slot);
// Robot `slot` in the scene pass (its world transform is set), its shadow
// caster in the depth pass, and its additive shots (shell glows, ice).
void DrawRobotKind(int slot);
void DrawRobotDepth(int slot);
void DrawRobotAdditiveShots(int slot);
