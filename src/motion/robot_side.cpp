#include "motion/robot_side.h"

#include "battle/state.h"
#include "effects/projectiles.h"
#include "units/robots/robot_kinds.h"

void RobotAiDecide() {}

// Until the side update exists the robots are only posed, so the upper body,
// the aim and the camera behind them follow the base on the ground; the
// shots of every robot in use fly on, its wreck's included.
void RobotSideUpdate()
{
    for (int i = 0; i < MercuryCount; ++i) {
        RobotUnit& r = Robots[i];
        if (r.alive) PoseRobotParts(r);
        if (r.kind >= 101 && r.kind <= 104 && RobotShotUpdates[r.kind - 100]) RobotShotUpdates[r.kind - 100](r, i);
    }
}

void NewRobotPatrol(int) {}
void DrawRobotKind(int) {}
void DrawRobotDepth(int) {}
void DrawRobotAdditiveShots(int) {}
