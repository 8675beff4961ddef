// Units keep apart and shots find their targets.
//
// The separation passes run at the end of every battle frame, after both
// sides have moved: overlapping pairs are pushed apart in the ground plane,
// circles (tanks 5.0 apart, robots 3.0, a tank and a robot 3.5); a robot
// also keeps its feet's reach (1.2) from a tank's hull, its kind's box.
//
// The box tests are separating-axis tests between oriented boxes placed by
// world matrices.  A unit's boxes come from its kind's hit models (a tank's
// hull and turret, a robot's upper body and foot), which each kind's file
// names in its row of its side's table.  A kind whose hit models are not
// loaded is never hit.
#pragma once

#include "assets/model.h"
#include "math/vecmath.h"
#include "records/state.h"


// --- separation ------------------------------------------------------------------------
void SeparateTanks();
void SeparateRobots();
void SeparateTanksFromRobots();

// --- box tests -----------------------------------------------------------------------------
// Whether the projections of the two boxes (axes and half sizes as set) on
// L overlap, given the offset D between their centres.  A zero L overlaps.
bool BoxAxisOverlap(const OrientedBox& a, const OrientedBox& b, Vec3 L, Vec3 D);
// Whether box a placed by worldA and box b placed by worldB overlap.  The
// centres are the matrices' origins; the axes are the matrices' own rows,
// normalised, and the half sizes the boxes' own.
// Pairs whose centres are further apart than the two boxes' radii (the
// lengths of their half sizes) are turned away before the fifteen axes.
bool BoxesOverlap(OrientedBox a, OrientedBox b, const Mat4& worldA, const Mat4& worldB);
// The same fifteen-axis test without that early rejection: the same answer,
// kept for the benchmark and the tests that prove the rejection harmless.
bool BoxesOverlapAllAxes(OrientedBox a, OrientedBox b, const Mat4& worldA, const Mat4& worldB);
// Sets the box's axes to the rows 0, 1, 2 of its world matrix (its x, y and
// z axes in the world), each normalised.
void SetBoxAxes(OrientedBox* box, const Mat4& world);

// The box a shot swept this frame: from where it was (`travel` back from
// shotWorld's origin) to where it is, as one box along the path, when it
// moved further than its box is long; otherwise its own box where it is.
// A fast shot so never passes through a thin target between two frames.
struct SweptShot {
    OrientedBox box;
    Mat4 world;
    bool swept;
};
SweptShot SweepShot(const OrientedBox& shot, const Mat4& shotWorld, Vec3 travel);

// A shot given as a model part (its box) or as a bare box, with its world.
bool ShotHitsTank(const ModelPart& shot, const Mat4& shotWorld, const TankUnit& tank);
bool ShotHitsTankBox(const OrientedBox& shot, const Mat4& shotWorld, const TankUnit& tank);
bool ShotHitsRobot(const ModelPart& shot, const Mat4& shotWorld, const RobotUnit& robot);
bool ShotHitsRobotBox(const OrientedBox& shot, const Mat4& shotWorld, const RobotUnit& robot);
