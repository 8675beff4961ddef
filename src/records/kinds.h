// What a row of a side's table of kinds holds: everything that differs by
// kind.  The tables themselves, and each kind's own routines, live with the
// unit kinds (units/); a unit record carries a pointer to its row, so the
// systems below the kinds reach a kind's numbers and routines through the
// record they are given, never by the kind's number.  A null routine means
// the kind has nothing to do at that step (it is not drawn, does not fire,
// ...), never a crash.
#pragma once

#include <cstdint>

#include "assets/model.h"
#include "math/vecmath.h"
#include "records/codes.h"

struct TankUnit;
struct RobotUnit;

// Weapon numbers a tank's fire routine takes.
enum : int32_t { kWeaponMainGun = 0, kWeaponSecond = 1 };
// Weapon numbers a robot's fire routine takes.
enum : int32_t { kRobotWeaponFirst = 0, kRobotWeaponSecond = 1 };

// The boxes shots find a tank by: its hull, placed by its world, and its
// turret, placed by its turretWorld.  Parts that are not loaded are never hit.
struct TankHitModels {
    const ModelPart* body;
    const ModelPart* top;
};

// The boxes shots find a robot by: its upper body (partWorld[1]) and each
// foot (partWorld[7] and [8]).
struct RobotHitModels {
    const ModelPart* upperBody;
    const ModelPart* foot;
};

struct TankKind {
    int32_t kind;      // 1..9
    const char* name;  // as the scoreboard, the report and the command line name it
    bool fights;       // may be driven into battle, and the computer fields it; the others are only looked at
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
    // crosshair for each weapon (Crosshair::Unchanged keeps the last one).
    Vec3 cameraEye;
    Crosshair crosshairMain;
    Crosshair crosshairSecond;
    // How far the preview on the select screen stands from the others'
    // place, so the whole tank turns inside the panel.
    Vec3 previewShift;
    // The computer's use of the second weapon: whether it fires it every
    // frame it is on target (otherwise one frame in six), and the range
    // beyond which it goes back to the main gun (0: it picks at random).
    bool secondFiresWhenOnTarget;
    float secondWeaponReach;
    // The main gun's shell: how far it moves a frame and how much its nose
    // drops a frame (radians), so the computer aims above its target by the
    // arc that brings the shell down on it.
    float shellStep;
    float shellDip;
    // The boxes shots find it by; null: it is never hit.
    const TankHitModels* hitModels;
    // Set once its models are loaded, by the battle or the select screen;
    // cleared when they are released.
    int32_t loaded;

    // Loads the model set; a missing file leaves that part empty (it draws
    // nothing) after a message naming it.
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

// Where a kind's first weapon fires from, on the arms: muzzle[0] on the left
// arm (partWorld[3]), muzzle[1] on the right (partWorld[4]).
struct RobotArmGuns {
    int32_t mode;  // kArmsNone, kArmsAlternate (armSide picks the arm, then flips), kArmsBoth
    Vec3 muzzle[2];
};
enum : int32_t { kArmsNone = 0, kArmsAlternate = 1, kArmsBoth = 2 };

// Where a kind's second weapon fires from: `perPod` shots from each pod
// (partWorld[9] and [10]), at these offsets on the pod.  It fires only with
// the pods down (podAngle 0) and a tank locked.
struct RobotPodGuns {
    int32_t perPod;  // 0: the kind has no second weapon here
    Vec3 muzzle[4];
};

struct RobotKind {
    int32_t kind;      // 101..104
    const char* name;  // as the scoreboard, the report and the command line name it
    bool fights;       // may be driven into battle, and the computer fields it; the others are only looked at
    // Handling, set at spawn.
    float maxSpeed;
    float acceleration;     // per frame
    float groundClearance;  // body origin above the ground
    // Walk cycle: the legs' swing reverses past stepLimit and changes by
    // stepRate a frame while walking.
    float stepLimit;
    float stepRate;
    Vec3 boxSize;  // footprint across (x) and along (z): the wall rays
    // Pods at spawn; a kind without a spawn pose for them keeps the
    // record's values.
    bool setsPods;
    int32_t podAngle;
    float podSlide;
    // Chase camera: the look-at point above the body (hasLookAt false keeps
    // the last one), the eye behind the arm frame while alive, and the
    // crosshair for each weapon.
    bool hasLookAt;
    float lookAtHeight;
    Vec3 cameraEye;
    Crosshair crosshairFirst;
    Crosshair crosshairSecond;
    // How far the preview on the select screen stands from the others'
    // place (y up, z away from the eye), so the whole robot shows in the
    // panel, clear of its name.
    Vec3 previewShift;
    // Muzzles of the side update's firing.
    RobotArmGuns arms;
    RobotPodGuns pods;
    // A computer robot of this kind this close to its tank takes its first
    // weapon (0: it picks at random).
    float firstWeaponReach;
    // The boxes shots find it by; null: it is never hit.
    const RobotHitModels* hitModels;
    // Set once its models are loaded; cleared when they are released.
    int32_t loaded;

    // Loads the model set; a missing file leaves that part empty (it draws
    // nothing) after a message naming it.
    void (*load)();
    // Releases every part and picture; safe whether or not it was loaded.
    void (*release)();
    // Once a frame for every robot of the kind, alive or not: the part
    // matrices, the fire timer, the pods, the flying-apart of a wreck.
    void (*pose)(RobotUnit& robot);
    // Puts one shot of `weapon` from `muzzle` into the robot's tables.
    void (*fire)(RobotUnit& robot, const Mat4& muzzle, int weapon);
    // Once a frame after the pose: moves the robot's shots and hits.  `slot`
    // is the robot's index (whose kills rise).
    void (*updateShots)(RobotUnit& robot, int slot);
    // Scene pass, then its shots drawn as models (missiles).
    void (*draw)(const RobotUnit& robot);
    void (*drawShots)(const RobotUnit& robot);
    // Additive pass: shell streaks and glows.
    void (*drawAdditive)(const RobotUnit& robot);
    // Shadow-map depth pass.
    void (*drawDepth)(const RobotUnit& robot);
};
