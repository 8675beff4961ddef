#include "units/robots/robot_kinds.h"

#include "units/kind_table.h"

// The rows the kinds give from their own files.
RobotKind Ded10Kind();  // ded10.cpp
RobotKind Rno15Kind();  // rno15.cpp
RobotKind Rno16Kind();  // rno16.cpp
RobotKind Rno13Kind();  // rno13.cpp

// One row per kind, in kind order.
RobotKind RobotKinds[kRobotKindCount] = {Ded10Kind(), Rno15Kind(), Rno16Kind(), Rno13Kind()};

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
