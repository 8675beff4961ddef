// Pieces both tanks' generators build the same way: a rectangle of a
// picture, projections onto it, faceted drums, mirrored pairs, wheel faces
// and hand-wound quads.
#pragma once

#include "math/vecmath.h"
#include "shapes.h"
#include "writers.h"

// A rectangle of a picture in texture coordinates.
struct Rect {
    float u0, v0, u1, v1;
};

// Projects a piece onto a rectangle of a picture along one axis (0: seen
// along x, 1: from above, 2: from ahead).
void ProjectInto(XMesh* m, int axis, const Rect& r);
// A round solid between the centres a and b with flat facets.
XMesh Drum(Vec3 a, Vec3 b, float ra, float rb, int sides, const UvMap& uv = {});
// The piece mirrored to the left side (x negated).
XMesh Mirrored(XMesh m);
// A right-side piece and its mirror, both on `material`.
void AddPair(XMesh* into, const XMesh& right, uint32_t material);
// A wheel's caps take the face picture, its tread the tread rectangle.
void WheelUv(XMesh* m, const Rect& face, float radius, const Rect& tread);
// A quad of four given corners, wound so its face looks along `out`.
void Quad(XMesh* m, const Vec3 p[4], const Vec3 n[4], const float u[4], const float v[4], Vec3 out);
