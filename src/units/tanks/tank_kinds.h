// The tank kinds: one row per kind with its handling, hull box, chase
// camera, crosshair and its own routines (models, pose, weapons, draws).
// A kind lives in its own file under units/tanks/ and adds one row to the
// table in tank_kinds.cpp; the set-up, the side update, the player's
// camera, the command line and the report all read the row, never a
// switch on the kind number.  A null routine means the kind has nothing to
// do at that step (it is not drawn, does not fire, ...), never a crash.
#pragma once

#include <cstdint>

#include "math/vecmath.h"

struct TankUnit;

constexpr int kFirstTankKind = 1;
constexpr int kLastTankKind = 9;
enum : int32_t { kTankTiger = 1, kTankAbrams = 2 };

// Crosshair codes the head-up display draws (a tank's sights).
enum : int32_t { kCrosshairCannon = 36, kCrosshairMachineGun = 144 };
// A crosshair entry that leaves the code as it was.
constexpr int32_t kCrosshairUnchanged = -1;

// Weapon numbers a tank's fire routine takes.
enum : int32_t { kWeaponMainGun = 0, kWeaponSecond = 1 };

struct TankKind {
    const char* name;  // as the scoreboard and the report show it
    bool fights;       // may be driven into battle; the others are only looked at
    // Handling, set at spawn.
    float maxSpeed;
    float acceleration;     // per frame
    float groundClearance;  // hull origin above the ground
    Vec3 boxSize;           // hull extents across (x) and along (z): where the wall rays and dust start
    // The second weapon's mount at spawn (stowed); a kind without one
    // leaves the record's values as they were.
    bool hasSecondMount;
    int32_t secondGunTimer;
    float secondGunGate;
    // Chase camera behind a live tank of this kind (turret frame), and the
    // crosshair for each weapon (kCrosshairUnchanged keeps the last one).
    Vec3 cameraEye;
    int32_t crosshairMain;
    int32_t crosshairSecond;

    // Loads the model set and enters the kind's hit models in TankHitTable;
    // a missing file leaves that part empty (it draws nothing) after a
    // message naming it.
    void (*load)();
    // Releases every part; safe whether or not it was loaded.
    void (*release)();
    // Once a frame for every tank of the kind, alive or not: the main-gun
    // cycle, the second weapon's mount, the part matrices, the wreck.
    void (*pose)(TankUnit& tank);
    // Launches one shot of `weapon` from `muzzle` into the tank's tables.
    void (*fire)(TankUnit& tank, Mat4 muzzle, int weapon);
    // The fire step of the side update while `fire` is set: readiness, the
    // report, fire, muzzle flash.  `slot` is the tank's index.
    void (*trigger)(TankUnit& tank, int slot);
    // Once a frame after the pose: moves the tank's shots and hits.
    void (*updateShots)(TankUnit& tank, int slot);
    // Scene pass (world transform set to the hull), then its shells.
    void (*draw)(TankUnit& tank);
    void (*drawShells)(TankUnit& tank);
    // Additive pass: tracers, flames.
    void (*drawAdditive)(TankUnit& tank);
    // Shadow-map depth pass.
    void (*drawDepth)(TankUnit& tank);
};

// The row of `kind`, or null for a number that is no tank kind.
const TankKind* TankKindOf(int kind);
// "ABRAMS" for 2; "?" for a number that is no tank kind.
const char* TankKindName(int kind);
// Every kind's model set released (at exit).
void ReleaseAllTankModels();

// --- the kinds' own routines -------------------------------------------------------------
// ABRAMS (kind 2), abrams.cpp.
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
// TIGER (kind 1), tiger.cpp: so far only its part matrices.
void PoseTiger(TankUnit& tank);
// The kinds that are only looked at: the turret on the hull.
void PoseTurretOnHull(TankUnit& tank);
