// The robot types: each one's own file poses, fires and draws it.  So far
// each poses its upper body and the arm frame it aims with.
#pragma once

struct RobotUnit;

void PoseRobot10Parts(RobotUnit& r);  // D-ED.10, kind 101
void PoseRobot15Parts(RobotUnit& r);  // R-NO.15, kind 102
void PoseRobotParts(RobotUnit& r);
