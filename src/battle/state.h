// The battle's state: the settings the front end fills in, the 16 tanks of
// Earth and the 16 robots of Mercury, their handling constants and command
// flags, and the set-up that turns the settings into a ready battle.
#pragma once

#include <cstdint>

#include "effects/projectiles.h"
#include "math/vecmath.h"
#include "platform/gfx.h"
#include "units/robots/robot_kinds.h"

// --- settings --------------------------------------------------------------------
extern int32_t PlayerSide;    // 0 Earth (tank), 1 Mercury (robot)
extern int32_t TankTypeId;    // 1..9
extern int32_t RobotTypeId;   // 101..104
extern int32_t EarthCount;    // 1..16
extern int32_t MercuryCount;  // 1..16
extern int32_t BattleMinutes;
extern int32_t BattleClock;   // ticks left, 3600 a minute
extern int32_t paused;
extern int32_t battleResult;  // 0 draw, 1 Earth won, 2 Mercury won
extern bool DemoPlayer;       // the computer drives the player's unit too (--demo)

constexpr int kMaxUnits = 16;

// What a flown-off part of a destroyed unit starts with.
struct DebrisLaunch {
    float speed;
    float time;
    int32_t tilt;     // degrees
    int32_t heading;  // degrees
};

struct TankUnit {
    char name[64];
    int32_t kind;
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
    int32_t shakeCode;
    int32_t shakeTimer;
    int32_t atBorder;
    int32_t target;
    int32_t engaged;
    float hp;
    int32_t rankSlot;
    int32_t kills;
    int32_t deaths;
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
    int32_t shakeCode;
    int32_t shakeTimer;
    int32_t atBorder;
    int32_t lockTarget;
    int32_t lockedOn;
    float hp;
    int32_t alive;
    int32_t rankSlot;
    int32_t kills;
    int32_t deaths;
    float cameraDistance;
    int32_t weapon;
    int32_t armSide;
    int32_t weaponBusy;
    int32_t weaponSwap;
    int32_t podAngle;
    float podSlide;
    int32_t secondShotBusy;
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

extern TankUnit Tanks[kMaxUnits];
extern RobotUnit Robots[kMaxUnits];
extern Handling TankHandling[kMaxUnits];
extern Handling RobotHandling[kMaxUnits];
extern ControlFlags TankControls[kMaxUnits];
extern ControlFlags RobotControls[kMaxUnits];
extern int32_t TankModelLoaded[10];    // by kind 1..9
extern int32_t RobotModelLoaded[kRobotKindCount];  // by row of the robot kinds' table

// Battle textures and the battle effect.
extern gfx::Texture* StopTexture;
extern gfx::Texture* CharTexture;
extern gfx::Texture* HpTexture;
extern gfx::Texture* RadarTexture;
extern gfx::Texture* BitTexture;
extern gfx::Effect* BattleEffect;

// The settings the last battle started with, kept for the report after the
// title has put the front end's back to their defaults.
struct BattleSettings {
    int32_t started;  // battles started in this run
    int32_t side, tankType, robotType, earthCount, mercuryCount, skyId, minutes;
};
extern BattleSettings LastBattle;

// Every record zeroed with identity matrices, as before any battle.
void ResetUnitRecords();
// The name a player knows a kind by: "TIGER" for 1, "D-ED.10" for 101;
// "?" for a number that is no kind.
const char* UnitKindName(int kind);
void BattleInit();
void SpawnTank(int slot);
void SpawnRobot(int slot);
void ReleaseBattleTextures();
void ReleaseBattleEffect();
// Loads a kind's model set once (the unit-type work fills these in).
void LoadTankModels(int kind);
void LoadRobotModels(int kind);
// Every robot kind's model set released and its loaded flag cleared (at exit).
void ReleaseRobotModels();
