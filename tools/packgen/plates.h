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

// --- Painting the regions -------------------------------------------------

// The colours of a painted plate.
struct Palette {
    RGBA dark, light, line, bevelLight, bevelShade, grime;
};

// Distance (pixels) inside the region's plate, negative in the margin, and
// which side is nearest (0 top, 1 left, 2 bottom, 3 right).
float EdgeDistance(const PixelRect& r, int x, int y, int* side);

// How a walker's plates are painted: the mottle of the paint, the grime
// collecting toward the bottom, the wear at the edges and the bevel and
// panel line round them.  Lengths are in pixels.
struct PlateFinish {
    RGBA bare;                 // the metal where the paint is worn off
    float mottleX, mottleY;    // the paint's noise scale across and down
    float contrast, darken;    // the mottle: Clamp01(noise * contrast - darken)
    float speckle;             // the most a pixel darkens at random
    float grimeFrom;           // where grime begins down the plate (0 top, 1 bottom)
    float grimeBase, grimeVary;  // its strength: base + vary * its streaks
    float grimeX, grimeY;      // the streaks' noise scale across and down
    float grimeMix;            // how far full grime covers the paint
    float wearReach;           // how far in from the edge the paint wears
    float wearScale;           // the wear's noise scale
    float wearFrom, wearFade;  // worn where noise > from + distance / fade
    float bevel, bevelMix;     // the bevel's width and how strongly it shows
    float line;                // the panel line's width
};

// Paints a region as one plate in `pal` with `finish`, worn at the edges or
// not; a walker then adds its own seams, rivets and marks.  `seed` and the
// next three numbers seed its noise.
void PaintPlateBase(Canvas& c, Region region, const Palette& pal, const PlateFinish& finish, uint32_t seed,
                    bool worn);

// How a walker's joints and actuators are painted: noisy metal in rings,
// a dark groove at the start of each, perhaps stained (oil, heat).
struct JointFinish {
    uint32_t seed;          // the metal's noise; seed + 1 the stains', seed + 2 the speckle's
    float scale;            // the metal's noise scale, pixels
    RGBA dark, light;       // the metal
    float ribPeriod;        // pixels from ring to ring
    RGBA rib;               // the light on each ring's crown
    float ribMix;           // how strongly it shows
    float groove;           // the groove's width, pixels
    RGBA grooveColour;
    RGBA speckle;           // the colour pixels speckle toward
    RGBA stain = {};        // stains over the rings, none where stainMix is 0
    float stainMix = 0.0f;
    float stainFrom = 0.0f, stainTo = 1.0f;  // the stain noise's ramp
    float stainX = 1.0f, stainY = 1.0f;      // its scale across and down
};

// Paints the joint region in `finish`.
void PaintJointRings(Canvas& c, const JointFinish& finish);

// A glowing colour ramp from `dark` (k = 0) through `mid` and `bright` to
// `white` at the hottest: the walkers' glow panels and their shots.
struct GlowRamp {
    RGBA dark, mid, bright, white;
    float gain;                  // mid at k = 1 / gain
    float brightFrom;            // bright from k = brightFrom / gain on
    float whiteGain, whiteFrom;  // white from k = whiteFrom / whiteGain on
};
RGBA GlowColour(const GlowRamp& ramp, float k);

// Paints the glow region: each pixel (x, y), `d` pixels inside the plate's
// edge (see EdgeDistance), coloured by `ramp` at the level `light` gives it.
void PaintGlowPanel(Canvas& c, const GlowRamp& ramp, const std::function<float(int x, int y, float d)>& light);

// A band of diagonal stripes across the stripe region, rows `top` to
// `bottom`, edged by lines of `line`; the paint below shows through where
// the stripes are worn.
struct StripeBand {
    float period;    // pixels from stripe to stripe along x
    RGBA colour;     // the stripes
    RGBA gap;        // between them
    uint32_t wearSeed;
    float wearScale;  // the wear's noise scale
    float wearFrom;   // worn where the noise passes this
};
// `rowShift` says how far along x the stripes of row y are shifted (a
// slant, or a chevron).
void PaintStripeBand(Canvas& c, float top, float bottom, RGBA line, const StripeBand& band,
                     const std::function<float(int y)>& rowShift);

// The pictures of a walker's shots, on black (the colour key): a streak 16
// pixels wide and `length` long along v, hot in the middle of its width
// (falling off by `spread`), rising over the first `rise` of its length and
// fading out from `fade` on; pixels below `cut` stay black.
Canvas ShotStreak(int length, float rise, float fade, float spread, float cut, const GlowRamp& ramp);
// A 64 x 64 round glow falling off by `spread` plus the `halo` each point
// (dx, dy) at distance d from the centre adds (-1 to 1 across the picture).
Canvas ShotGlow(float spread, float cut, const GlowRamp& ramp,
                const std::function<float(float dx, float dy, float d)>& halo);
