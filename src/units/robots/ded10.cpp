// The D-ED.10 robot (kind 101).
#include "battle/state.h"
#include "units/robots/robot_kinds.h"

namespace {
// The upper body takes the base's position (raised by `lift`), not its turn.
void PoseUpper(RobotUnit& r, float lift, Vec3 leftArm, Vec3 rightArm)
{
    Vec3 p = Vec3TransformCoord({0, 0, 0}, r.world);
    r.partWorld[1] = MatRotationY(r.aimYaw * kDegToRad) * MatTranslation(p.x, p.y + lift, p.z);
    Mat4 pitch = MatRotationX(r.aimPitch * kDegToRad);
    r.partWorld[3] = pitch * MatTranslation(leftArm.x, leftArm.y, leftArm.z) * r.partWorld[1];
    r.partWorld[4] = pitch * MatTranslation(rightArm.x, rightArm.y, rightArm.z) * r.partWorld[1];
    r.partWorld[2] = pitch * r.partWorld[1];
}
}  // namespace

void PoseRobot10Parts(RobotUnit& r) { PoseUpper(r, 0.4f, {-0.7f, 0.2f, 0}, {0.7f, 0.2f, 0}); }
void PoseRobot15Parts(RobotUnit& r) { PoseUpper(r, 0.35f, {-1.06f, 0.67f, 0}, {1.06f, 0.67f, 0}); }

void PoseRobotParts(RobotUnit& r)
{
    if (r.kind == 102) PoseRobot15Parts(r);
    else PoseRobot10Parts(r);
}
