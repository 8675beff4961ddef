#include "units/robots/robot_kinds.h"

#include "units/kind_table.h"

// One row per kind, in kind order.  The D-ED.10 and the R-NO.15 fight; the
// other two are only looked at so far and have no routines of their own.
RobotKind RobotKinds[kRobotKindCount] = {
    {
        .kind = kRobotDed10,
        .name = "D-ED.10",
        .fights = true,
        .maxSpeed = 0.3f,
        .acceleration = 0.12f,
        .groundClearance = 2.2f,
        .stepLimit = 30,
        .stepRate = 3,
        .boxSize = {1.2f, 0, 1.6f},
        .setsPods = true,
        .podAngle = kRobot10PodsUp,
        .podSlide = 0,
        .hasLookAt = true,
        .lookAtHeight = 1.8f,
        .cameraEye = {0, 2.6f, -5.0f},
        .crosshairFirst = Crosshair::RobotGun,
        .crosshairSecond = Crosshair::RobotMissile,
        .arms = {kArmsAlternate, {{-0.4f, 0, 1.9f}, {0.4f, 0, 1.9f}}},
        .pods = {1, {{0, 0.5f, 0.08f}}},
        .firstWeaponReach = 30.0f,
        .hitModels = &kRobot10HitModels,
        .loaded = 0,
        .load = LoadRobot10,
        .release = ReleaseRobot10,
        .pose = PoseRobot10,
        .fire = FireRobot10,
        .updateShots = UpdateRobot10Shots,
        .draw = DrawRobot10,
        .drawShots = DrawRobot10Missiles,
        .drawAdditive = DrawRobot10Shells,
        .drawDepth = DrawRobot10Depth,
    },
    {
        .kind = kRobotRno15,
        .name = "R-NO.15",
        .fights = true,
        .maxSpeed = 0.28f,
        .acceleration = 0.118f,
        .groundClearance = 2.46f,
        .stepLimit = 42,
        .stepRate = 4.8f,
        .boxSize = {1.2f, 0, 1.6f},
        .setsPods = true,
        .podAngle = -90,
        .podSlide = -0.6f,
        .hasLookAt = true,
        .lookAtHeight = 1.6f,
        .cameraEye = {0, 2.6f, -6.0f},
        .crosshairFirst = Crosshair::RobotGun,
        .crosshairSecond = Crosshair::RobotGun,
        .arms = {kArmsAlternate, {{-0.3f, -0.6f, 2.4f}, {0.3f, -0.6f, 2.4f}}},
        .pods = {4, {{-0.12f, 0.08f, 0.9f}, {0.12f, 0.08f, 0.9f}, {-0.12f, -0.08f, 0.9f}, {0.12f, -0.08f, 0.9f}}},
        .firstWeaponReach = 0,
        .hitModels = nullptr,
        .loaded = 0,
        .load = nullptr,
        .release = nullptr,
        .pose = PoseRobot15,
        .fire = nullptr,
        .updateShots = nullptr,
        .draw = nullptr,
        .drawShots = nullptr,
        .drawAdditive = nullptr,
        .drawDepth = nullptr,
    },
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
