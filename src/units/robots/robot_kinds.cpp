#include "units/robots/robot_kinds.h"

#include "units/kind_table.h"

// The rows the kinds with a file of their own give.
RobotKind Ded10Kind();  // ded10.cpp
RobotKind Rno15Kind();  // rno15.cpp

// One row per kind, in kind order.  A kind with a file of its own gives its
// row from there; the R-NO.16 and the R-NO.13 are only looked at so far and
// have no routines of their own.
RobotKind RobotKinds[kRobotKindCount] = {
    Ded10Kind(),
    Rno15Kind(),
    {
        .kind = kRobotRno16,
        .name = "R-NO.16",
        .fights = false,
        .maxSpeed = 0.27f,
        .acceleration = 0.11f,
        .groundClearance = 2.1f,
        .stepLimit = 32,
        .stepRate = 2.3f,
        .boxSize = {1.8f, 0, 1.8f},
        .setsPods = true,
        .podAngle = -160,
        .podSlide = -0.8f,
        .hasLookAt = true,
        .lookAtHeight = 1.65f,
        .cameraEye = {0, 2.7f, -5.6f},
        .crosshairFirst = Crosshair::RobotGun,
        .crosshairSecond = Crosshair::RobotGun,
        .arms = {kArmsBoth, {{-0.75f, -0.55f, 2.0f}, {0.75f, -0.55f, 2.0f}}},
        .pods = {0, {}},
        .firstWeaponReach = 0,
        .hitModels = nullptr,
        .loaded = 0,
        .load = nullptr,
        .release = nullptr,
        .pose = nullptr,
        .fire = nullptr,
        .updateShots = nullptr,
        .draw = nullptr,
        .drawShots = nullptr,
        .drawAdditive = nullptr,
        .drawDepth = nullptr,
    },
    {
        .kind = kRobotRno13,
        .name = "R-NO.13",
        .fights = false,
        .maxSpeed = 0.35f,
        .acceleration = 0.12f,
        .groundClearance = 2.3f,
        .stepLimit = 30,
        .stepRate = 3,
        .boxSize = {1.2f, 0, 1.6f},
        .setsPods = false,  // keeps the record's pods
        .podAngle = 0,
        .podSlide = 0,
        .hasLookAt = false,  // the camera keeps its last look-at point
        .lookAtHeight = 0,
        .cameraEye = {0, 2.8f, -7.0f},
        .crosshairFirst = Crosshair::RobotGun,
        .crosshairSecond = Crosshair::RobotMissile,
        .arms = {kArmsNone, {}},  // it has no firing of its own
        .pods = {0, {}},
        .firstWeaponReach = 0,
        .hitModels = nullptr,
        .loaded = 0,
        .load = nullptr,
        .release = nullptr,
        .pose = nullptr,
        .fire = nullptr,
        .updateShots = nullptr,
        .draw = nullptr,
        .drawShots = nullptr,
        .drawAdditive = nullptr,
        .drawDepth = nullptr,
    },
};

RobotKind* RobotKindOf(int kind)
{
    if (kind < kFirstRobotKind || kind > kLastRobotKind) return nullptr;
    return &RobotKinds[kind - kFirstRobotKind];
}

const char* RobotKindName(int kind)
{
    const RobotKind* k = RobotKindOf(kind);
    return k ? k->name : "?";
}

int RobotKindFromText(const char* text) { return KindFromText(RobotKinds, text); }

void SetRobotKind(RobotUnit& robot, int kind)
{
    robot.kind = kind;
    robot.row = RobotKindOf(kind);
}

int FightingRobotKinds(int32_t* kinds) { return FightingKinds(RobotKinds, kinds); }

void LoadRobotModels(int kind) { LoadKindModels(RobotKindOf(kind)); }

void ReleaseAllRobotModels() { ReleaseKindModels(RobotKinds); }

bool RobotKindCanFight(int kind)
{
    const RobotKind* k = RobotKindOf(kind);
    return k && CanFight(*k);
}
