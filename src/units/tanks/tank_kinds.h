// The tank types: each one's own file poses, fires and draws it.  So far
// each poses the matrices of its turret and gun from the hull.
#pragma once

struct TankUnit;

void PoseAbramsParts(TankUnit& t);  // kind 2
void PoseTigerParts(TankUnit& t);   // kind 1
// The pose of any kind: the part tables of the kinds that fight, and the
// turret on the hull for the kinds that are only looked at.
void PoseTankParts(TankUnit& t);
