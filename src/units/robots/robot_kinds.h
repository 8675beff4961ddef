// The robot kinds: one row per kind with its handling, walk cycle, footprint,
// chase camera, crosshairs, where its weapons fire from, and its own routines
// (models, pose, fire, shots, draws).  A kind lives in its own file under
// units/robots/ and adds one row to the table in robot_kinds.cpp; the set-up,
// the side update, the player's camera and the command line read the row,
// never a switch on the kind number.  A null routine means the kind has
// nothing to do at that step (it is not drawn, fires nothing, ...), never a
// crash.
#pragma once

#include <cstdint>

#include "assets/model.h"
#include "math/vecmath.h"
#include "platform/gfx.h"

struct RobotUnit;

constexpr int kFirstRobotKind = 101;
constexpr int kRobotKindCount = 4;
constexpr int kLastRobotKind = kFirstRobotKind + kRobotKindCount - 1;
enum : int32_t { kRobotDed10 = 101, kRobotRno15 = 102, kRobotRno16 = 103, kRobotRno13 = 104 };

// Crosshair codes the head-up display draws (a robot's sights).
enum : int32_t { kCrosshairRobotGun = 244, kCrosshairRobotMissile = 344 };

// Weapon numbers a robot's fire routine takes.
enum : int32_t { kRobotWeaponFirst = 0, kRobotWeaponSecond = 1 };

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

// A robot kind's model set: eleven parts (slots 0 and 9 stay empty), the
// shell's streak and glow pictures and the hit box of a shell.
constexpr int kRobotModelParts = 11;
struct RobotModelSet {
    ModelPart parts[kRobotModelParts];
    gfx::Texture* streak = nullptr;
    gfx::Texture* glow = nullptr;
    OrientedBox shellBox{};
};

struct RobotKind {
    int32_t kind;      // 101..104
    const char* name;  // as the scoreboard and the report show it
    bool fights;       // may be driven into battle; the others are only looked at
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
    int32_t crosshairFirst;
    int32_t crosshairSecond;
    // Muzzles of the side update's firing.
    RobotArmGuns arms;
    RobotPodGuns pods;

    // Loads the model set and enters the kind's hit models in RobotHitTable;
    // a missing file leaves that part empty (it draws nothing) after a
    // message naming it.
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

// The table, in kind order (row k is kind 101 + k).  Tests may swap a row's
// routine for a stand-in and put it back.
extern RobotKind RobotKinds[kRobotKindCount];
// The row of `kind`, or null for a number that is no robot kind.
RobotKind* RobotKindOf(int kind);
// "D-ED.10" for 101; "?" for a number that is no robot kind.
const char* RobotKindName(int kind);

// --- the kinds' own routines -------------------------------------------------------------
// D-ED.10 (kind 101), ded10.cpp.  Its model set is readable by tests.
extern RobotModelSet Robot10Models;
enum : int32_t {  // its model set's slots
    kD10Body = 1, kD10Head = 2, kD10RightArm = 3, kD10LeftArm = 4, kD10RightLeg = 5, kD10LeftLeg = 6,
    kD10Foot = 7, kD10Pod = 8, kD10Missile = 10
};
void LoadRobot10();
void ReleaseRobot10();
void PoseRobot10(RobotUnit& robot);
void FireRobot10(RobotUnit& robot, const Mat4& muzzle, int weapon);
void UpdateRobot10Shots(RobotUnit& robot, int slot);
void DrawRobot10(const RobotUnit& robot);
void DrawRobot10Missiles(const RobotUnit& robot);
void DrawRobot10Shells(const RobotUnit& robot);
void DrawRobot10Depth(const RobotUnit& robot);
// The parts a D-ED.10 draws, in order, each with its matrix: body, head,
// arms, the pods and their missiles when shown, legs and feet.  `depth`:
// the depth pass and the near scene path (pods only while alive); otherwise
// the far path (pods whenever the missiles are in hand).  Returns the count.
struct PlacedPart {
    ModelPart* part;
    Mat4 world;
};
constexpr int kMaxPlacedParts = 12;
int Robot10Parts(const RobotUnit& robot, bool depth, PlacedPart out[kMaxPlacedParts]);
// The fire timer's and the pods' limits.
constexpr int32_t kRobot10FireFrames = 23;  // weaponBusy clears past this
constexpr int32_t kRobot10PodsUp = 190;     // pods stowed

// R-NO.15 (kind 102), rno15.cpp: so far its part matrices and fire timer.
void PoseRobot15(RobotUnit& robot);
