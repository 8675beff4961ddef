// What the tank kinds that are only looked at share: a set of ten model
// slots (five parts, the track, four more parts) and the steps of their one
// draw.  Each such kind has its own file with its loader, its release and a
// draw that poses the turret and gun as it goes; its row has no pose, no
// weapons and no depth draw.
#pragma once

#include "assets/model.h"
#include "math/vecmath.h"
#include "records/kinds.h"
#include "records/units.h"

struct TankModelSet {
    ModelPart top[5];    // body, turrets, guns and other top parts, as the kind puts them
    SimpleModel track;   // the track, drawn on both sides with its picture scrolled
    ModelPart wheel[4];  // wheels and other running gear
};

// Releases all ten slots; empty slots do nothing.  Every loader starts with
// it, so loading a set again replaces it instead of leaking it.
void ReleaseTankModelSet(TankModelSet& set);
// Loads `path` into `part` and, with `box`, computes its box.
void LoadTankPart(ModelPart* part, const char* path, bool box);

// The draw steps.  Every part is drawn only while the sphere of radius 3.5
// round the hull is in view (asked again for each part), with its matrix
// as the world transform and at the tank's camera distance.
void DrawTankPart(const TankUnit& tank, ModelPart* part, const Mat4& world);
// The turret, h above the hull, turned by turretYaw: stored in turretWorld.
Mat4 PlaceTurret(TankUnit& tank, float h);
// A part on the turret pitched with the gun at `offset`: stored in gunWorld.
Mat4 PlaceGun(TankUnit& tank, Vec3 offset);
// A wheel on each side, right then left: the right one at `right` turned
// by trackTravel, the left one at `left` turned back and half round.
void DrawWheels(const TankUnit& tank, ModelPart* wheel, Vec3 right, Vec3 left);
// The same at (x, y, z) and (leftX, y, z).
inline void DrawWheelPair(const TankUnit& tank, ModelPart* wheel, float x, float y, float z, float leftX)
{
    DrawWheels(tank, wheel, {x, y, z}, {leftX, y, z});
}
inline void DrawWheelPair(const TankUnit& tank, ModelPart* wheel, float x, float y, float z)
{
    DrawWheels(tank, wheel, {x, y, z}, {-x, y, z});
}
// A track at `offset` on the hull, its picture moved on by trackTravel / divisor.
void DrawTrack(const TankUnit& tank, SimpleModel* track, Vec3 offset, float divisor);

// The row of such a kind: it never fights, so it has no handling of its
// own beyond its height and its hull's extents, no pose, no weapons and no
// depth draw.
TankKind ModelOnlyTankKind(int32_t kind, const char* name, float groundClearance, Vec3 boxSize, Vec3 previewShift,
                           const TankHitModels* hitModels, void (*load)(), void (*release)(), void (*draw)(TankUnit&));
