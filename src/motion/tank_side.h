// The Earth side in battle: the computer's decisions for every tank but the
// player's, the per-frame update of every tank in use (driving, turning,
// wall rays, engine sound, firing, shots, damage, death and respawn), and the
// per-tank draws the battle frame's passes call.  Each tank kind's own
// routines are reached through the table of tank kinds (units/tanks/).
// Only slots below EarthCount and robots below MercuryCount take part.
#pragma once

#include <cstdint>

#include "math/vecmath.h"

struct SoundPool;

// A hit reaction that freezes the unit (the ice weapon): no driving,
// turning or firing, and no decisions, until it wears off.
constexpr int32_t kShakeFrozen = 444;
// A computer tank engages a live robot closer than this.
constexpr float kTankEngageRange = 180.0f;

// What a computer tank is doing, one record per tank slot.
struct TankAiState {
    float desiredHeading;  // patrol heading, degrees in (-180, 180]
    int32_t wandering;     // 1 while driving a patrol leg
    int32_t driveFrames;   // frames driven in this leg
    int32_t restFrames;    // frames rested since the last leg
    int32_t driveLimit;    // leg length: 100 + 100 x (0..9)
    int32_t restLimit;     // rest length: 30 + 30 x (0..9)
    int32_t moveMode;      // manoeuvre while engaged, 0..7
    int32_t modeFrames;    // frames in this manoeuvre
    int32_t modeLimit;     // manoeuvre length: 100..300
};
extern TankAiState TankAi[16];

void TankAiDecide();
void TankSideUpdate();
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
