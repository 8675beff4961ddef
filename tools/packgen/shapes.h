// Solids for the units' models: convex pieces built from planar faces, each
// face wound clockwise seen from outside with a flat normal, and textured by
// a planar projection along its main axis (u and v = the two other
// coordinates x `scale` + offset, so a tileable texture wraps over them).
//
// Every builder returns a mesh with one material slot (index 0) for the
// caller to fill; Append merges pieces.  Coordinates are the part's own
// frame: +x right, +y up, +z forward.
#pragma once

#include <vector>

#include "math/vecmath.h"
#include "writers.h"

// A point of a 2D outline.
struct P2 {
    float a, b;
};

struct UvMap {
    float scale = 0.25f;        // texture repeats per unit
    float uOffset = 0, vOffset = 0;
};

// A convex solid from its corner points: the hull of `points`.  Faces are
// found by brute force, so keep it to a few dozen points.
XMesh ConvexHull(const std::vector<Vec3>& points, const UvMap& uv = {});

// An axis-aligned box from min to max with every edge cut by `chamfer`
// (0 for sharp edges).
XMesh ChamferedBox(Vec3 min, Vec3 max, float chamfer, const UvMap& uv = {});

// A side profile in the y-z plane (points {y, z}, in order round the
// outline, convex) extruded from x0 to x1: hulls, turrets, wedges.
// `inset` pulls the two end caps' outlines in by that much, bevelling the
// side edges.
XMesh ExtrudeX(const std::vector<P2>& profileYZ, float x0, float x1, float inset = 0.0f,
               const UvMap& uv = {});

// The same with the profile in the x-y plane extruded along z.
XMesh ExtrudeZ(const std::vector<P2>& profileXY, float z0, float z1, float inset = 0.0f,
               const UvMap& uv = {});

// A cylinder between the centres a and b, `sides` round, smooth sides and
// flat caps; u runs round the side (0..1 once), v along it.
XMesh Cylinder(Vec3 a, Vec3 b, float radius, int sides, bool caps = true);
// A tapered cylinder (cone frustum) with radii ra at a and rb at b.
XMesh Cone(Vec3 a, Vec3 b, float ra, float rb, int sides, bool caps = true);

// Moves every vertex and normal of the mesh through `m` (row vectors).
void TransformMesh(XMesh* mesh, const Mat4& m);
// Sets every face's material to `material` (an index into the materials the
// caller will give the finished mesh).
void SetMaterial(XMesh* mesh, uint32_t material);
// Appends `piece` with its faces on material slot `material` of `into`,
// whose material list the caller sets once at the end.
void AddPiece(XMesh* into, const XMesh& piece, uint32_t material);
