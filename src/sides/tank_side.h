// The Earth side in battle: the computer's decisions for every tank but the
// player's, the per-frame update of every tank in use (driving, turning,
// wall rays, engine sound, firing, shots, damage, death and respawn), and the
// per-tank draws the battle frame's passes call.  Each tank kind's own
// numbers and routines are reached through the row its record carries.
// Only slots below EarthCount and robots below MercuryCount take part.
#pragma once

#include <cstdint>

#include "math/vecmath.h"
#include "records/state.h"

struct SoundPool;

// A computer tank engages a live robot closer than this.
constexpr float kTankEngageRange = 180.0f;

// Tank `slot` back at its start point, whole, with its kind's handling.
void SpawnTank(int slot);
void TankAiDecide();
void TankSideUpdate();
// The shots phase for unit `slot`: its kind moves its shots and runs their
// hit tests.
void UpdateTankShots(int slot);
// A new patrol leg for tank `slot`: heading back into the field near an
// edge, fresh leg, rest and manoeuvre lengths, and a weapon choice for a
// computer-driven tank.
void NewTankPatrol(int slot);
// The nearest live robot within kTankEngageRange becomes tank `slot`'s
// target (engaged 1); with none, engaged is 0 and the target is kept.
void ChooseTankTarget(int slot);
// Whether the computer drives tank `slot` (every tank but the player's,
// and the player's too under --demo).
bool ComputerDrivesTank(int slot);

// Plays one gun report from `pool` at `at` when the camera is within 100.
void PlayTankGunSound(SoundPool& pool, Vec3 at);
// Every tank's engine loop stops: when a battle ends or is left, and
// before a new one starts.
void StopTankEngines();
// The dust a track throws at a speed (forward >= 0, reverse <= 0): alpha of
// the ground-dust puffs.
int32_t ForwardDustAlpha(float forwardSpeed);
int32_t ReverseDustAlpha(float reverseSpeed);

// Tank `slot` in the scene pass (its world transform is set), its shadow
// caster in the depth pass, and its additive shots (tracers, flames).
void DrawTankKind(int slot);
void DrawTankDepth(int slot);
void DrawTankAdditiveShots(int slot);
