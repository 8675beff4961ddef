// The tank kinds: one row per kind with its handling, hull box, chase
// camera, crosshairs, preview, hit models, the computer's use of its
// weapons and its own routines (models, pose, weapons, draws).  A kind lives
// in its own file under units/tanks/ and adds one row to the table in
// tank_kinds.cpp; the set-up, the side update, the player's camera, the
// select screen, the command line and the report all read the row, never a
// switch on the kind number.
#pragma once

#include <cstdint>

#include "math/vecmath.h"
#include "records/kinds.h"
#include "records/units.h"

constexpr int kFirstTankKind = 1;
constexpr int kLastTankKind = 9;
enum : int32_t { kTankTiger = 1, kTankAbrams = 2 };

// The table, in kind order (row k is kind 1 + k).  Tests may swap a row's
// routine for a stand-in and put it back.
extern TankKind TankKinds[kLastTankKind];

// The row of `kind`, or null for a number that is no tank kind.
const TankKind* TankKindOf(int kind);
// "ABRAMS" for 2; "?" for a number that is no tank kind.
const char* TankKindName(int kind);
// The kind a name given on the command line means: its number ("2") or its
// name in any case ("abrams"); 0 for neither.
int TankKindFromText(const char* text);
// Gives the tank its kind and the kind's row (0: no kind, no row).
void SetTankKind(TankUnit& tank, int kind);
// Whether `kind` may be taken into battle: its row says it fights and holds
// every routine a battle calls.  False for a number that is no kind.
bool TankKindCanFight(int kind);
// The kinds the computer fields, in kind order: the rows that may fight.
// Returns how many, into kinds[0..].
int FightingTankKinds(int32_t kinds[kLastTankKind]);
// Loads a kind's model set once, whoever asks first (a battle or the select
// screen); nothing for a number that is no kind.
void LoadTankModels(int kind);
// Every kind's model set released and its loaded flag cleared.
void ReleaseAllTankModels();

// --- the kinds' own routines, where tests call them -----------------------------------------

// ABRAMS (kind 2), abrams.cpp.
extern const TankHitModels kAbramsHitModels;  // hull and turret
void LoadAbrams();
void ReleaseAbrams();
void PoseAbrams(TankUnit& tank);
void FireAbrams(TankUnit& tank, Mat4 muzzle, int weapon);
void TriggerAbrams(TankUnit& tank, int slot);
void UpdateAbramsShots(TankUnit& tank, int slot);
void DrawAbrams(TankUnit& tank);
void DrawAbramsShells(TankUnit& tank);
void DrawAbramsTracers(TankUnit& tank);
void DrawAbramsDepth(TankUnit& tank);
// TIGER (kind 1), tiger.cpp.
extern const TankHitModels kTigerHitModels;  // hull and turret
void LoadTiger();
void ReleaseTiger();
void PoseTiger(TankUnit& tank);
void FireTiger(TankUnit& tank, Mat4 muzzle, int weapon);
void TriggerTiger(TankUnit& tank, int slot);
void UpdateTigerShots(TankUnit& tank, int slot);
void DrawTiger(TankUnit& tank);
void DrawTigerShells(TankUnit& tank);
void DrawTigerFlames(TankUnit& tank);
void DrawTigerDepth(TankUnit& tank);
// The TIGER's flame projectors, four on the hull's corners (k = 0..3: front
// right, rear right, rear left, front left): whether the hull blocks
// mount k at this turret yaw (its nozzle then rests, dipped 3 degrees), and
// the mount that fires at this yaw (-1 for none: a yaw of exactly 0).
bool TigerMountBlocked(int k, float turretYaw);
int TigerFiringMount(float turretYaw);
// A flame's alpha (255 at launch) and size (0.23 at launch), kept in the
// shot's two spare words.
int32_t TigerFlameAlpha(const Projectile& flame);
float TigerFlameSize(const Projectile& flame);
// A destroyed tank's turret or gun flying off on its launch values and
// tumbling (spinBase up to spinBase + spinRange - 1 degrees a frame about
// each axis) until it lies within 0.5 of the ground.
void TumbleWreckPart(Mat4& part, DebrisLaunch& d, float ground, int spinBase, int spinRange);
// The kinds that are only looked at (3 to 9): a load, a release and a draw
// each, the draw setting its parts' world transforms and storing the
// turret's and gun's matrices as it goes.
void LoadBrdm3();
void ReleaseBrdm3();
void DrawBrdm3(TankUnit& tank);
void LoadFlackp();
void ReleaseFlackp();
void DrawFlackp(TankUnit& tank);
extern float radarAngle;  // the FLACKP's radar bearing, degrees: 1.6 more each draw, back to 0 at 360
void LoadFt17();
void ReleaseFt17();
void DrawFt17(TankUnit& tank);
void LoadM2a2();
void ReleaseM2a2();
void DrawM2a2(TankUnit& tank);
void LoadM60();
void ReleaseM60();
void DrawM60(TankUnit& tank);
void LoadV100();
void ReleaseV100();
void DrawV100(TankUnit& tank);
void LoadM730a();
void ReleaseM730a();
void DrawM730a(TankUnit& tank);
