// The robot kinds: one row per kind with its handling, walk cycle, footprint,
// chase camera, crosshairs, where its weapons fire from, its hit models, the
// computer's use of its weapons, and its own routines (models, pose, fire,
// shots, draws).  A kind lives in its own file under
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
#include "records/kinds.h"
#include "records/units.h"
#include "units/unit_draw.h"

constexpr int kFirstRobotKind = 101;
constexpr int kRobotKindCount = 4;
constexpr int kLastRobotKind = kFirstRobotKind + kRobotKindCount - 1;
enum : int32_t { kRobotDed10 = 101, kRobotRno15 = 102, kRobotRno16 = 103, kRobotRno13 = 104 };

// A robot kind's model set: eleven parts (which stay empty is the kind's), the
// shell's streak and glow pictures and the hit box of a shell.
constexpr int kRobotModelParts = 11;
struct RobotModelSet {
    ModelPart parts[kRobotModelParts];
    gfx::Texture* streak = nullptr;
    gfx::Texture* glow = nullptr;
    OrientedBox shellBox{};
};

// The table, in kind order (row k is kind 101 + k).  Tests may swap a row's
// routine for a stand-in and put it back.
extern RobotKind RobotKinds[kRobotKindCount];
// The row of `kind`, or null for a number that is no robot kind.
RobotKind* RobotKindOf(int kind);
// "D-ED.10" for 101; "?" for a number that is no robot kind.
const char* RobotKindName(int kind);
// The kind a name given on the command line means: its number ("101") or
// its name in any case ("d-ed.10"); 0 for neither.
int RobotKindFromText(const char* text);
// Gives the robot its kind and the kind's row (0: no kind, no row).
void SetRobotKind(RobotUnit& robot, int kind);
// Whether `kind` may be taken into battle: its row says it fights and holds
// every routine a battle calls.  False for a number that is no kind.
bool RobotKindCanFight(int kind);
// The kinds the computer fields, in kind order: the rows that may fight.
// Returns how many, into kinds[0..].
int FightingRobotKinds(int32_t kinds[kRobotKindCount]);
// Loads a kind's model set once, whoever asks first; nothing for a number
// that is no kind.
void LoadRobotModels(int kind);
// Every kind's model set released and its loaded flag cleared.
void ReleaseAllRobotModels();

// --- the kinds' own routines, where tests call them -----------------------------------------

// D-ED.10 (kind 101), ded10.cpp.  Its model set is readable by tests.
extern RobotModelSet Robot10Models;
extern const RobotHitModels kRobot10HitModels;  // upper body and feet
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
constexpr int kMaxPlacedParts = 12;
int Robot10Parts(const RobotUnit& robot, bool depth, PlacedPart out[kMaxPlacedParts]);
// The fire timer's and the pods' limits.
constexpr int32_t kRobot10FireFrames = 23;  // weaponBusy clears past this
constexpr int32_t kRobot10PodsUp = 190;     // pods stowed

// R-NO.15 (kind 102), rno15.cpp.  Its model set is readable by tests.
extern RobotModelSet Robot15Models;
extern const RobotHitModels kRobot15HitModels;  // torso and feet
enum : int32_t {  // its model set's slots
    kR15Body = 1, kR15Head = 2, kR15RightArm = 3, kR15LeftArm = 4, kR15RightLeg = 5, kR15LeftLeg = 6,
    kR15Foot = 7, kR15Pod = 8, kR15IceShot = 10
};
void LoadRobot15();
void ReleaseRobot15();
void PoseRobot15(RobotUnit& robot);
void FireRobot15(RobotUnit& robot, const Mat4& muzzle, int weapon);
void UpdateRobot15Shots(RobotUnit& robot, int slot);
void DrawRobot15(const RobotUnit& robot);
void DrawRobot15IceShots(const RobotUnit& robot);  // lit: the ice shots' meshes
void DrawRobot15Cannon(const RobotUnit& robot);    // additive: the cannon's streaks and glows
void DrawRobot15Depth(const RobotUnit& robot);
// The parts an R-NO.15 draws, in order, as Robot10Parts gives the D-ED.10's:
// body, torso, arms, the pods while the cannon is in hand, legs and feet.
int Robot15Parts(const RobotUnit& robot, bool depth, PlacedPart out[kMaxPlacedParts]);
// Its fire timer, pods and volleys.
constexpr int32_t kRobot15FireFrames = 45;    // weaponBusy clears past this
constexpr int32_t kRobot15PodsOut = 0;        // pitch of pods ready to fire
constexpr int32_t kRobot15PodsIn = -90;       // pitch of stowed pods, barrels up
constexpr float kRobot15SlideIn = -0.6f;      // slide of pods down in their bays
constexpr int32_t kRobot15RecoilFrames = 72;  // secondShotBusy clears past this

// R-NO.16 (kind 103), rno16.cpp: a mortar on each arm, a pod beside each.
// Its model set is readable by tests.
extern RobotModelSet Robot16Models;
extern const RobotHitModels kRobot16HitModels;  // upper hull and feet
enum : int32_t {  // its model set's slots (0 stays empty)
    kR16Body = 1, kR16Head = 2, kR16RightArm = 3, kR16LeftArm = 4, kR16RightFoot = 5, kR16LeftFoot = 6,
    kR16Leg = 7, kR16Pod = 8, kR16PodBarrel = 9, kR16Shell = 10
};
void LoadRobot16();
void ReleaseRobot16();
void PoseRobot16(RobotUnit& robot);
void FireRobot16(RobotUnit& robot, const Mat4& muzzle, int weapon);
void UpdateRobot16Shots(RobotUnit& robot, int slot);
void DrawRobot16(const RobotUnit& robot);
void DrawRobot16Shells(const RobotUnit& robot);
constexpr int32_t kRobot16FireFrames = 88;    // weaponBusy clears past this
constexpr int32_t kRobot16PodsOut = 0;        // roll of pods ready to fire
constexpr int32_t kRobot16PodsIn = -160;      // roll of stowed pods
constexpr float kRobot16SlideIn = -0.8f;      // slide of stowed pods
constexpr int32_t kRobot16RecoilFrames = 72;  // secondShotBusy clears past this

// R-NO.13 (kind 104), rno13.cpp: no weapon.  Its model set is readable by tests.
extern RobotModelSet Robot13Models;
extern const RobotHitModels kRobot13HitModels;  // torso and feet
enum : int32_t {  // its model set's slots (8 to 10 stay empty)
    kR13UpperBody = 0, kR13LowerBody = 1, kR13Head = 2, kR13RightArm = 3, kR13LeftArm = 4, kR13RightLeg = 5,
    kR13LeftLeg = 6, kR13Foot = 7
};
void LoadRobot13();
void ReleaseRobot13();
void PoseRobot13(RobotUnit& robot);
void DrawRobot13(const RobotUnit& robot);
