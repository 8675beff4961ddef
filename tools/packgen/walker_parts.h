// Solids the walkers' parts are built of: box beams, lofted housings,
// bevelled slabs and plates laid on a side outline, toes on a sole.  Each
// returns a plain mesh (material slot 0) for a PlatedPart to texture; the
// sizes and outlines are the walker's own, given by its file.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "math/vecmath.h"
#include "pack.h"
#include "shapes.h"
#include "writers.h"

// The eight corners of a box round `centre` with half sizes hx, hy, hz: a
// cross-section to hull with another into a beam.
void Section(std::vector<Vec3>* pts, Vec3 centre, float hx, float hy, float hz);

// A beam between two box sections: centre a with half sizes ha, centre b
// with half sizes hb.
XMesh Beam(Vec3 a, Vec3 ha, Vec3 b, Vec3 hb);

// A cross-section for Loft: a rectangle round (cx, cy) with half sizes hw
// and hh and its corners cut by `cut` (none at 0), at depth z.
struct Ring {
    float z, cx, cy, hw, hh, cut;
};

// The hull of the rings along z: housings, heads, pods, blades.
XMesh Loft(const std::vector<Ring>& rings);

// A side profile (points {y, z} round a convex outline) made solid across x
// to the half width `halfWidth` gives each point, edges bevelled by `inset`:
// hulls that narrow toward the top or the front.
XMesh Slab(const std::vector<P2>& profile, const std::function<float(P2)>& halfWidth, float inset);

// An armour plate lying on the side outline a-b (points {y, z}) from x0 to
// x1, `thick` thick toward `out`, its outer face bevelled in by `thick`.
XMesh PlateOn(P2 a, P2 b, float x0, float x1, float thick, P2 out);

// A toe, claw or spur standing on the sole, pointing along z: centred on x
// `cx`, `rootHalf` wide each side at its root (depth rootZ, its top there
// at y rootTop), narrowing to `tipHalf` at its tip on the sole (depth
// tipZ), its top over the tip at tipTop {y, z}.
struct Toe {
    float cx, rootHalf, rootZ, rootTop, tipHalf, tipZ;
    P2 tipTop;
};
XMesh ToeOn(float sole, const Toe& toe);

// Turns a left-side part into its right-side mirror.
void MirrorX(XMesh* m);
// Writes a left-side part to `left` and its mirror to `right`.
void WriteMirrored(Pack& pack, const std::string& left, const std::string& right, XMesh m);
