// The battle's unit records: a tank, a robot, the shots each one owns, the
// ten command flags that steer it and what the computer keeps for it between
// frames.  Plain data: zero is a free shot slot and a unit of no kind, and
// the routines that act on these live in the layers above.
#pragma once

#include <cstdint>

#include "math/vecmath.h"
#include "records/codes.h"

struct TankKind;
struct RobotKind;

// Units a side may field.
constexpr int kMaxUnits = 16;

// --- shots ---------------------------------------------------------------------------------
// A plain record: zero is a free slot (the unit records are zero-filled and
// their matrices set to identity before any battle).
struct Projectile {
    Mat4 world;        // the translation row is the position
    Mat4 step;         // motion a frame in the shot's own frame: world = step x world
    int32_t state;     // kShotFree, kShotActive, kShotCoasting
    int32_t spare[2];  // free for a kind's own use (a flame's size and alpha)
};

enum : int32_t { kShotFree = 0, kShotActive = 1, kShotCoasting = 2 };

// Every unit owns fixed tables: a tank 10 shells and 100 bullets, a robot
// 60 shells and 120 bullets or missiles.
constexpr int kTankShellSlots = 10;
constexpr int kTankBulletSlots = 100;
constexpr int kRobotShellSlots = 60;
constexpr int kRobotBulletSlots = 120;

// What a flown-off part of a destroyed unit starts with.
struct DebrisLaunch {
    float speed;
    float time;
    int32_t tilt;     // degrees
    int32_t heading;  // degrees
};

// What one weapon of a unit did this battle, for the report.
struct WeaponCounts {
    uint32_t fired;  // shots, flames and missiles that left it
    uint32_t hits;   // of them, those that met a unit of the other side
    uint32_t kills;
    float damage;    // hit points they took from units of the other side
};

// --- units ---------------------------------------------------------------------------------
struct TankUnit {
    char name[64];
    int32_t kind;
    // The row of its kind in the tank kinds' table, set with the kind (null:
    // no kind, nothing to do).  Everything that differs by kind is read here.
    const TankKind* row;
    int32_t alive;
    Mat4 world;
    Mat4 turretWorld;
    Mat4 gunWorld;
    float heading;
    float turnRate;
    float turretYaw;
    float gunPitch;
    float trackTravel;
    float forwardSpeed;
    float reverseSpeed;
    HitReaction shakeCode;
    int32_t shakeTimer;
    int32_t atBorder;
    int32_t target;
    int32_t engaged;
    float hp;
    int32_t rankSlot;
    int32_t kills;
    int32_t deaths;
    uint32_t shotsFired;  // this battle, for the report
    uint32_t shotsHit;    // of them, those that met a unit of the other side
    WeaponCounts weapons[2];  // the main gun and the second weapon
    float cameraDistance;
    int32_t weapon;
    int32_t mainGunBusy;
    float recoil;
    int32_t recoilTimer;
    Mat4 mgWorld;
    int32_t weaponSwap;
    int32_t secondGunTimer;
    float secondGunGate;
    int32_t mgShots;
    DebrisLaunch debris[2];
    Vec3 boxSize;
    Projectile shells[kTankShellSlots];    // main gun
    Projectile bullets[kTankBulletSlots];  // second weapon
};

struct RobotUnit {
    char name[64];
    int32_t kind;
    // The row of its kind in the robot kinds' table, set with the kind.
    const RobotKind* row;
    // [0] the legs' base (World()): its translation row is the position;
    // [1] upper body, [2] the arm frame it aims with (AimWorld()), [3] and
    // [4] the left and right arms, [5] and [6] the legs, [7] and [8] the
    // feet, [9] and [10] the pods.
    Mat4 partWorld[11];
    float aimYaw;
    float aimPitch;
    float walkPhase;
    float stepLimit;
    float stepRate;
    float legHeading;
    float bob;
    float speed;
    int32_t stepDir;
    HitReaction shakeCode;
    int32_t shakeTimer;
    int32_t atBorder;
    int32_t lockTarget;
    int32_t lockedOn;
    float hp;
    int32_t alive;
    int32_t rankSlot;
    int32_t kills;
    int32_t deaths;
    uint32_t shotsFired;  // this battle, for the report
    uint32_t shotsHit;    // of them, those that met a unit of the other side
    WeaponCounts weapons[2];  // the first weapon and the second
    float cameraDistance;
    int32_t weapon;
    int32_t armSide;
    int32_t weaponBusy;
    int32_t weaponSwap;
    int32_t podAngle;
    float podSlide;
    int32_t secondShotBusy;
    int32_t podRecoil;  // frames since a volley, while secondShotBusy
    int32_t fireTimer;  // frames since a first-weapon shot, while weaponBusy
    DebrisLaunch debris[3];
    Vec3 boxSize;
    Projectile shells[kRobotShellSlots];      // first weapon
    Projectile missiles[kRobotBulletSlots];   // second weapon: missiles or volleys

    // The base matrix is element 0 of the parts, so moving the robot moves
    // the one matrix every reader sees.
    Mat4& World() { return partWorld[0]; }
    const Mat4& World() const { return partWorld[0]; }
    Mat4& AimWorld() { return partWorld[2]; }
    const Mat4& AimWorld() const { return partWorld[2]; }
};

// Where a unit stands: the translation row of its matrix.
inline Vec3 Position(const TankUnit& t) { return Position(t.world); }
inline Vec3 Position(const RobotUnit& r) { return Position(r.World()); }

struct Handling {
    float maxSpeed;
    float acceleration;
    float groundClearance;
};

// Ten command flags per unit: the player's control writes record 0 of the
// player's side, the computer's decisions the others; the updates obey all.
struct ControlFlags {
    int32_t forward, turnLeft, backward, turnRight, gunUp, gunDown, turretRight, turretLeft, fire,
        switchWeapon;
};

// --- the computer's memory ----------------------------------------------------------------
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

// Counts for the run report.
struct ShotCounts {
    uint64_t fired;
    uint64_t unitHits;
    uint64_t kills;
    uint64_t selfHits;  // of the unit hits, shots that met the unit that fired them
};

// The settings the last battle started with, kept for the report after the
// title has put the front end's back to their defaults.
struct BattleSettings {
    int32_t started;  // battles started in this run
    int32_t side, tankType, robotType, earthCount, mercuryCount, skyId, minutes;
    int32_t clockLeft;  // ticks the clock had left at the battle's last step (0 once run out)
};
