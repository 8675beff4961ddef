// Stand-in hit models for tests: a kind's row takes the given boxes until
// RestoreHitModels puts every row back to the kind's own.
#pragma once

#include "records/kinds.h"
#include "units/robots/robot_kinds.h"
#include "units/tanks/tank_kinds.h"

namespace test_hit_models {
inline TankHitModels tank[kLastTankKind];
inline RobotHitModels robot[kRobotKindCount];
inline const TankHitModels* keptTank[kLastTankKind];
inline const RobotHitModels* keptRobot[kRobotKindCount];
inline bool kept = false;
inline void Keep()
{
    if (kept) return;
    for (int i = 0; i < kLastTankKind; ++i) keptTank[i] = TankKinds[i].hitModels;
    for (int i = 0; i < kRobotKindCount; ++i) keptRobot[i] = RobotKinds[i].hitModels;
    kept = true;
}
}  // namespace test_hit_models

inline void SetTankHitModels(int kind, const ModelPart* body, const ModelPart* top)
{
    test_hit_models::Keep();
    int row = kind - kFirstTankKind;
    test_hit_models::tank[row] = {body, top};
    TankKinds[row].hitModels = &test_hit_models::tank[row];
}

inline void SetRobotHitModels(int kind, const ModelPart* upperBody, const ModelPart* foot)
{
    test_hit_models::Keep();
    int row = kind - kFirstRobotKind;
    test_hit_models::robot[row] = {upperBody, foot};
    RobotKinds[row].hitModels = &test_hit_models::robot[row];
}

inline void RestoreHitModels()
{
    if (!test_hit_models::kept) return;
    for (int i = 0; i < kLastTankKind; ++i) TankKinds[i].hitModels = test_hit_models::keptTank[i];
    for (int i = 0; i < kRobotKindCount; ++i) RobotKinds[i].hitModels = test_hit_models::keptRobot[i];
}
