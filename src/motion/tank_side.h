// The Earth side in battle: the computer's decisions for every tank but the
// player's, the per-frame update of every tank in use (driving, turning,
// wall rays, engine sound, firing, shots, damage, death and respawn), and the
// per-tank draws the battle frame's passes call.  Each tank kind's own
// routines are reached through the table of tank kinds.
#pragma once

void TankAiDecide();
void TankSideUpdate();
// A new patrol leg for computer tank `slot`.
void NewTankPatrol(int slot);
// Tank `slot` in the scene pass (its world transform is set), its shadow
// caster in the depth pass, and its additive shots (tracers, flames).
void DrawTankKind(int slot);
void DrawTankDepth(int slot);
void DrawTankAdditiveShots(int slot);
