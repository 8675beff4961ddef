// Walkers' armour, painted on plates: one 512 x 512 texture of five
// regions (plates, accent, joints, glow, stripes), each flat face of a
// piece given a whole plate of the region its normal picks (panel lines at
// its edges), tubes wrapped round by theirs.  A walker's file paints the
// regions with the painters below, in its own colours and finish, and
// builds its parts with PlatedPart.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "canvas.h"
#include "math/vecmath.h"
#include "shapes.h"
#include "writers.h"

constexpr int kAtlas = 512;
constexpr int kMargin = 6;

enum Region { kPlate, kAccent, kJoint, kGlow, kStripe };

struct PixelRect {
    int x, y, w, h;
};

// Where a region lies in the texture, in pixels.
PixelRect RegionPixels(Region r);
// The texture coordinates of a region's painted plate, inside its margin.
void RegionUv(Region r, float s, float t, float* u, float* v);

using RegionOf = std::function<Region(Vec3 normal)>;

// Joints on the faces turned down (normal y below -0.6), `top` elsewhere.
RegionOf UndersideJoint(Region top);

// A walker's one armour material: near-white, so the painted texture shows
// as it is, with the walker's own shine.
XMaterial ArmourMaterial(const std::string& texture, float power, RGBA specular);

// Texture for a piece of flat faces: each face (its corners share one
// normal) is spread over a whole plate of the region its normal picks, v
// running down the face (toward the back on flat tops).
void PlateUv(XMesh* m, const RegionOf& regionOf);

// A part built of plated pieces, with the walker's one armour material.
class PlatedPart {
public:
    explicit PlatedPart(XMaterial armour) : armour_(std::move(armour)) {}
    // A solid of flat faces, all in one region or a region per face.
    void Add(const XMesh& piece, Region r) { Add(piece, [r](Vec3) { return r; }); }
    void Add(XMesh piece, const RegionOf& regionOf);
    // A tube from a to b: its side wrapped once round by `side`, its caps
    // plates of `cap`.
    void Tube(Vec3 a, Vec3 b, float ra, float rb, int sides, Region side, Region cap);
    void Tube(Vec3 a, Vec3 b, float r, int sides, Region side, Region cap) { Tube(a, b, r, r, sides, side, cap); }
    // The convex hull of a few points, textured by face.
    void Hull(const std::vector<Vec3>& points, const RegionOf& regionOf) { Add(ConvexHull(points), regionOf); }

    XMesh& Mesh() { return mesh_; }
    XMesh Finished() const
    {
        XMesh m = mesh_;
        m.materials = {armour_};
        return m;
    }

private:
    XMaterial armour_;
    XMesh mesh_;
};

// The box round a mesh's corners.
void Bounds(const XMesh& m, Vec3* lo, Vec3* hi);
