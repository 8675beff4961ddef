// The R-NO.16 walking robot: a slow, heavy artillery walker.  A broad upper
// hull turns on a wide pelvis; from its shoulders hang two heavy mortar arms,
// each with a rotary gun pod that swings out beneath the tube when it is
// taken in hand; a stabiliser column under the hull turns with it.  Its mesh
// parts, the mortar shell and the armour texture they share.
//
// Every part is modelled in the frame its pose matrix gives it (+x right,
// +y up, +z forward; the robot's left is -x):
//   body.x       the pelvis and hip housings; the robot's origin stands 2.1
//                above the ground, the housings end at x -0.83 / +0.83 where
//                the legs' drums begin and the bearing ring tops out at 0.23
//   head.x       the upper hull that turns, its origin 0.23 above the body's
//                (on the bearing ring); shoulder hubs end at x -0.84 / +0.84
//                level with the arms' pivots, (+-1.06, 1.47, 0.28).  Its box
//                is the robot's upper hit box: the stabiliser column under
//                the pelvis reaches as far down as the shoulder hubs reach
//                up, the chin sensor as far ahead as the racks reach behind
//   leftarm.x, rightarm.x  mortar arms pitching about their origins: a
//                shoulder drum, a yoke out and down to the tube, the tube
//                along +z with its mouth at (-0.75 / +0.75, -0.55, 2.0), and
//                a rail under the tube where the pod hangs
//   weapon1.x    the gun pod, rolling about its z axis at (-0.92 / +0.92,
//                -1.1, 0.78) on the arm: at 0 degrees it hangs under the
//                tube, clamped to the rail by the bracket on its top
//   weapon2.x    the pod's barrel cluster, three barrels round its z axis,
//                at (-0.09, 0.03, 0) on the pod, reaching 1.15 ahead
//   leg.x        hip drum and thigh for either side, from the hip forward and
//                down to the knee at (0, -0.7, 1.13) (the feet sit 0.08 to
//                either side of it)
//   leftfoot.x, rightfoot.x  knee, shin and foot, mirror images; the origin
//                is the knee and the sole lies 1.48 below it
//   tama.x       the mortar shell, nose along +z, centred on its origin
//
// One texture of five painted regions serves every part, one material each,
// so a part is one subset.  Each flat face of a piece gets a whole plate of
// its region (panel lines at its edges); tubes wrap their region round.
#include <cmath>
#include <vector>

#include "pack.h"
#include "plates.h"
#include "shapes.h"
#include "walker_parts.h"

namespace {
const char* const kArmour = "LAND/R-NO.16/Armour.png";
constexpr float kSole = -1.48f;  // the ground below the knee, standing
constexpr float kHubRadius = 0.26f;

// A part plated in this walker's armour.
class Part : public PlatedPart {
public:
    Part() : PlatedPart(ArmourMaterial(kArmour, 16, Rgb(0x3C3A38))) {}
};

// --- The parts -------------------------------------------------------------

XMesh Body()
{
    Part p;
    // The pelvis: a broad block under the bearing ring, keeled below.
    p.Add(Slab({{0.12f, -0.55f}, {0.12f, 0.5f}, {-0.05f, 0.66f}, {-0.42f, 0.55f}, {-0.6f, 0.2f}, {-0.6f, -0.3f},
                {-0.4f, -0.62f}},
               [](P2 q) { return q.a < -0.45f ? 0.48f : 0.6f; }, 0.06f),
          [](Vec3 n) { return n.y < -0.5f ? kJoint : std::fabs(n.x) > 0.9f ? kStripe : kPlate; });
    p.Tube({0, 0.12f, 0}, {0, 0.23f, 0}, 0.58f, 14, kJoint, kJoint);  // bearing ring
    // Hip housings out to the legs' drums, an armour plate below each.
    for (float s : {-1.0f, 1.0f}) {
        p.Tube({s * 0.58f, 0.08f, 0.05f}, {s * 0.83f, 0.08f, 0.05f}, 0.24f, 12, kJoint, kJoint);
        p.Add(ChamferedBox({s > 0 ? 0.5f : -0.74f, -0.46f, -0.42f}, {s > 0 ? 0.74f : -0.5f, -0.1f, 0.5f}, 0),
              [](Vec3 n) { return std::fabs(n.x) > 0.9f ? kAccent : kJoint; });
    }
    // The front armour with an amber slot, and a skirt behind.
    p.Add(PlateOn({-0.06f, 0.66f}, {-0.4f, 0.56f}, -0.42f, 0.42f, 0.06f, {-0.3f, 0.95f}), kAccent);
    p.Add(PlateOn({-0.16f, 0.68f}, {-0.28f, 0.64f}, -0.2f, 0.2f, 0.09f, {-0.3f, 0.95f}), kGlow);
    p.Add(PlateOn({-0.02f, -0.58f}, {-0.4f, -0.64f}, -0.4f, 0.4f, 0.06f, {-0.15f, -1.0f}), kAccent);
    return p.Finished();
}

// The hull without the pieces that centre its box.
void HullBody(Part& p)
{
    p.Tube({0, 0, 0}, {0, 0.22f, 0}, 0.55f, 14, kJoint, kJoint);  // bearing
    // The hull: a raked glacis, a flat top, a deep back, narrowing upward.
    p.Add(Slab({{0.2f, -0.85f}, {0.2f, 0.62f}, {0.55f, 0.92f}, {1.25f, 0.7f}, {1.56f, 0.38f}, {1.58f, -0.7f},
                {1.35f, -0.92f}, {0.5f, -0.95f}},
               [](P2 q) { return 0.68f - 0.1f * Clamp01((q.a - 0.2f) / 1.38f); }, 0.06f),
          [](Vec3 n) { return n.y < -0.6f ? kJoint : std::fabs(n.x) > 0.9f ? kStripe : kPlate; });
    // Crimson glacis and roof plates, the amber vision slit between them.
    p.Add(PlateOn({0.56f, 0.905f}, {1.2f, 0.715f}, -0.5f, 0.5f, 0.06f, {0.28f, 0.96f}), kAccent);
    p.Add(PlateOn({1.3f, 0.652f}, {1.5f, 0.458f}, -0.36f, 0.36f, 0.03f, {0.7f, 0.72f}), kGlow);
    p.Add(PlateOn({1.565f, 0.28f}, {1.58f, -0.62f}, -0.44f, 0.44f, 0.05f, {1.0f, 0.02f}), kAccent);
    // The fire-control block on the roof: a sensor housing and the
    // rangefinder across it, a lens glowing at each end.
    p.Add(ChamferedBox({-0.22f, 1.56f, 0.02f}, {0.22f, 1.71f, 0.36f}, 0),
          [](Vec3 n) { return n.z > 0.5f ? kGlow : kJoint; });
    p.Tube({-0.5f, 1.66f, 0.2f}, {0.5f, 1.66f, 0.2f}, 0.055f, 8, kPlate, kGlow);
    // Side skirts, clear of the legs' drums below at any turn.
    for (float s : {-1.0f, 1.0f})
        p.Add(ChamferedBox({s > 0 ? 0.6f : -0.8f, 0.32f, -0.86f}, {s > 0 ? 0.8f : -0.6f, 0.95f, 0.56f}, 0),
              [](Vec3 n) { return std::fabs(n.x) > 0.9f ? kStripe : kJoint; });
    // Shoulder hubs the arms turn on.
    for (float s : {-1.0f, 1.0f})
        p.Tube({s * 0.52f, 1.47f, 0.28f}, {s * 0.84f, 1.47f, 0.28f}, kHubRadius, 14, kJoint, kAccent);
    // Shell racks and exhaust stacks on the back.
    for (float s : {-1.0f, 1.0f}) {
        p.Add(ChamferedBox({s > 0 ? 0.1f : -0.46f, 0.35f, -1.08f}, {s > 0 ? 0.46f : -0.1f, 1.25f, -0.88f}, 0),
              [](Vec3 n) { return n.z < -0.5f ? kStripe : kJoint; });
        p.Tube({s * 0.58f, 0.8f, -0.8f}, {s * 0.58f, 1.62f, -0.8f}, 0.085f, 8, kJoint, kJoint);
        p.Tube({s * 0.58f, 1.62f, -0.8f}, {s * 0.58f, 1.68f, -0.8f}, 0.095f, 8, kGlow, kGlow);
    }
}

XMesh Head()
{
    Part p;
    HullBody(p);
    // The stabiliser column drops through the pelvis to an anchor spike as
    // far below the origin as the hubs rise above it; a chin sensor reaches
    // as far ahead as the racks reach behind.  The box is centred.
    Vec3 lo, hi;
    Bounds(p.Mesh(), &lo, &hi);
    float bottom = -hi.y;
    p.Tube({0, 0, 0}, {0, -1.14f, 0}, 0.17f, 10, kJoint, kJoint);
    p.Tube({0, -0.92f, 0}, {0, -1.0f, 0}, 0.21f, 10, kGlow, kGlow);
    p.Tube({0, -1.14f, 0}, {0, -1.24f, 0}, 0.27f, 10, kAccent, kJoint);
    p.Tube({0, -1.24f, 0}, {0, bottom, 0}, 0.24f, 0.04f, 8, kJoint, kJoint);
    p.Add(ChamferedBox({-0.16f, 0.26f, 0.7f}, {0.16f, 0.5f, -lo.z}, 0),
          [](Vec3 n) { return n.z > 0.5f ? kGlow : kJoint; });
    return p.Finished();
}

// The left mortar arm (-x side); the right one is its mirror.
XMesh LeftArm()
{
    Part p;
    p.Tube({0.22f, 0, 0}, {-0.2f, 0, 0}, 0.3f, 14, kJoint, kJoint);  // shoulder drum
    // The yoke from the drum out and down to the tube's cradle.
    p.Add(Beam({-0.08f, -0.05f, 0.02f}, {0.13f, 0.22f, 0.3f}, {-0.5f, -0.42f, 0.05f}, {0.12f, 0.18f, 0.34f}),
          UndersideJoint(kPlate));
    // The mortar: breech block, cradle, tube with two bands, a flared mouth
    // at (-0.75, -0.55, 2.0), and recoil cylinders along its top.
    const float x = -0.75f, y = -0.55f;
    p.Add(ChamferedBox({x - 0.31f, y - 0.31f, -0.98f}, {x + 0.31f, y + 0.31f, -0.22f}, 0.07f),
          [](Vec3 n) { return n.y > 0.5f ? kAccent : n.z < -0.5f ? kStripe : kPlate; });
    p.Tube({x, y, -0.3f}, {x, y, 0.36f}, 0.33f, 12, kJoint, kPlate);
    p.Tube({x, y, 0.3f}, {x, y, 1.78f}, 0.25f, 12, kPlate, kJoint);
    p.Tube({x, y, 1.0f}, {x, y, 1.08f}, 0.28f, 12, kAccent, kAccent);
    p.Tube({x, y, 1.7f}, {x, y, 1.9f}, 0.28f, 0.31f, 12, kJoint, kJoint);
    p.Tube({x, y, 1.9f}, {x, y, 2.0f}, 0.31f, 12, kAccent, kJoint);
    for (float s : {-1.0f, 1.0f}) p.Tube({x + s * 0.14f, y + 0.29f, -0.2f}, {x + s * 0.14f, y + 0.29f, 0.98f}, 0.06f, 6, kJoint, kJoint);
    // The pauldron: a crimson plate over the shoulder and the breech,
    // sloping down outboard.
    p.Hull({{0.18f, 0.4f, 0.42f}, {0.18f, 0.46f, -0.15f}, {0.18f, 0.38f, -0.72f}, {0.18f, 0.12f, 0.42f},
            {0.18f, 0.12f, -0.72f}, {-1.04f, -0.04f, 0.42f}, {-1.04f, 0.02f, -0.15f}, {-1.04f, -0.06f, -0.72f},
            {-1.04f, -0.3f, 0.42f}, {-1.04f, -0.3f, -0.72f}},
           [](Vec3 n) { return n.y > 0.4f ? kAccent : n.y < -0.4f ? kJoint : kPlate; });
    // The pod's rail under the tube, a status light on the breech.
    p.Add(ChamferedBox({-1.0f, -0.86f, 0.02f}, {-0.84f, -0.72f, 1.42f}, 0), kJoint);
    p.Add(ChamferedBox({x - 0.12f, y - 0.1f, -1.0f}, {x + 0.12f, y + 0.1f, -0.97f}, 0), kGlow);
    return p.Finished();
}

// The gun pod, drawn at either pod matrix; its barrel cluster turns at
// (-0.09, 0.03) in front.
XMesh Pod()
{
    Part p;
    p.Add(ChamferedBox({-0.08f, 0.12f, -0.28f}, {0.08f, 0.26f, 0.38f}, 0), kJoint);  // bracket
    p.Add(Loft({{-0.46f, -0.04f, -0.02f, 0.19f, 0.15f, 0.05f}, {0.36f, -0.04f, -0.02f, 0.19f, 0.15f, 0.05f},
                {0.52f, -0.07f, 0.01f, 0.14f, 0.12f, 0.04f}}),
          [](Vec3 n) { return n.y > 0.5f ? kAccent : std::fabs(n.x) > 0.8f ? kStripe : n.z > 0.5f ? kJoint : kPlate; });
    p.Tube({0, -0.2f, -0.4f}, {0, -0.2f, 0.16f}, 0.13f, 10, kJoint, kJoint);  // ammunition drum
    p.Add(ChamferedBox({-0.1f, -0.06f, -0.49f}, {0.1f, 0.04f, -0.46f}, 0), kGlow);  // ready light
    return p.Finished();
}

// Three barrels round the z axis, so the cluster looks the same at any turn.
XMesh Barrels()
{
    Part p;
    p.Tube({0, 0, 0.3f}, {0, 0, 0.44f}, 0.1f, 8, kJoint, kJoint);
    for (int k = 0; k < 3; ++k) {
        float a = 1.5707963f + 2.0943951f * k;
        float bx = 0.058f * std::cos(a), by = 0.058f * std::sin(a);
        p.Tube({bx, by, 0.42f}, {bx, by, 1.15f}, 0.03f, 5, kPlate, kJoint);
    }
    p.Tube({0, 0, 0.96f}, {0, 0, 1.03f}, 0.098f, 8, kAccent, kGlow);
    return p.Finished();
}

// Hip drum and thigh, symmetric in x.
XMesh Leg()
{
    Part p;
    p.Tube({0.22f, 0, 0}, {-0.22f, 0, 0}, 0.32f, 12, kJoint, kJoint);
    for (float s : {-1.0f, 1.0f}) p.Tube({s * 0.22f, 0, 0}, {s * 0.25f, 0, 0}, 0.22f, 10, kJoint, kAccent);
    // The thigh: thick at the hip (inside the drum's reach, so it clears
    // the hull above at any swing), forward and down to the knee.
    p.Add(Beam({0, 0, 0}, {0.18f, 0.2f, 0.2f}, {0, -0.68f, 1.1f}, {0.17f, 0.19f, 0.19f}), UndersideJoint(kPlate));
    p.Add(PlateOn({0.131f, 0.309f}, {-0.387f, 1.127f}, -0.16f, 0.16f, 0.06f, {0.845f, 0.535f}), kAccent);
    // A ram along the thigh's underside from the drum to the knee.
    p.Tube({0, -0.3f, -0.05f}, {0, -0.62f, 0.4f}, 0.1f, 10, kPlate, kJoint);
    p.Tube({0, -0.55f, 0.3f}, {0, -0.95f, 0.85f}, 0.06f, 8, kJoint, kJoint);
    return p.Finished();
}

// The left knee, shin and foot (outer side -x); the right one is its mirror.
XMesh LeftFoot()
{
    Part p;
    p.Tube({0.26f, 0, 0}, {-0.26f, 0, 0}, 0.25f, 12, kJoint, kJoint);  // knee
    p.Tube({-0.26f, 0, 0}, {-0.3f, 0, 0}, 0.18f, 10, kJoint, kAccent);
    p.Tube({-0.3f, 0, 0}, {-0.32f, 0, 0}, 0.08f, 6, kGlow, kGlow);
    // The knee guard standing in front of the joint.
    p.Hull({{-0.2f, 0.38f, 0.2f}, {0.2f, 0.38f, 0.2f}, {-0.22f, -0.2f, 0.34f}, {0.22f, -0.2f, 0.34f},
            {-0.2f, -0.26f, 0.14f}, {0.2f, -0.26f, 0.14f}, {-0.2f, 0.3f, 0.04f}, {0.2f, 0.3f, 0.04f}},
           [](Vec3 n) { return n.z > 0.3f ? kAccent : kJoint; });
    // The shin down and back to the ankle, its crimson guard in front and a
    // shock strut on the outer side.
    p.Add(Beam({0, -0.1f, -0.02f}, {0.19f, 0.2f, 0.2f}, {0, -1.0f, -0.4f}, {0.16f, 0.16f, 0.16f}), UndersideJoint(kPlate));
    p.Add(PlateOn({-0.32f, 0.17f}, {-0.98f, -0.152f}, -0.15f, 0.15f, 0.05f, {-0.44f, 0.9f}), kAccent);
    p.Tube({-0.24f, -0.16f, -0.2f}, {-0.24f, -0.6f, -0.4f}, 0.075f, 6, kPlate, kJoint);
    p.Tube({-0.24f, -0.5f, -0.35f}, {-0.24f, -1.0f, -0.58f}, 0.045f, 6, kJoint, kJoint);
    p.Tube({-0.2f, -1.08f, -0.42f}, {0.2f, -1.08f, -0.42f}, 0.17f, 10, kJoint, kJoint);  // ankle
    // The foot: a broad pad, wider on the outer side, three claws ahead and
    // a heel behind.
    p.Hull({{-0.44f, kSole, -1.15f}, {0.36f, kSole, -1.15f}, {-0.44f, kSole, 0.4f}, {0.36f, kSole, 0.4f},
            {-0.36f, -1.22f, -1.0f}, {0.28f, -1.22f, -1.0f}, {-0.36f, -1.22f, 0.12f}, {0.28f, -1.22f, 0.12f},
            {-0.4f, -1.36f, 0.48f}, {0.32f, -1.36f, 0.48f}},
           [](Vec3 n) { return n.y > 0.5f ? kAccent : n.y < -0.5f ? kJoint : std::fabs(n.x) > 0.8f ? kStripe : kPlate; });
    for (float cx : {-0.3f, -0.04f, 0.22f})
        p.Add(ToeOn(kSole, {cx, 0.08f, 0.3f, -1.26f, 0.04f, 0.6f, {-1.42f, 0.58f}}), kJoint);
    p.Add(ToeOn(kSole, {-0.04f, 0.12f, -1.0f, -1.28f, 0.06f, -1.32f, {-1.4f, -1.3f}}), kJoint);  // heel
    return p.Finished();
}

// The mortar shell: a fat body with an ogive nose and a boat tail, four fins
// behind, centred on its origin along z; 60 triangles.
XMesh Shell()
{
    Part p;
    std::vector<Vec3> body{{0, 0, 0.4f}};
    for (int i = 0; i < 6; ++i) {
        float a = 6.2831853f * i / 6;
        float c = std::cos(a), s = std::sin(a);
        body.push_back({0.1f * c, 0.1f * s, 0.26f});
        body.push_back({0.15f * c, 0.15f * s, 0.08f});
        body.push_back({0.15f * c, 0.15f * s, -0.14f});
        body.push_back({0.09f * c, 0.09f * s, -0.3f});
    }
    p.Add(ConvexHull(body), [](Vec3 n) { return n.z > 0.3f ? kAccent : n.z < -0.9f ? kGlow : kPlate; });
    for (float d : {1.0f, -1.0f}) {
        Vec3 span = Vec3Normalize({1, d, 0}), side = Vec3Normalize({-d, 1, 0}) * 0.01f;
        std::vector<Vec3> fin;
        for (float k : {-1.0f, 1.0f}) {
            fin.push_back(span * -0.15f + side * k + Vec3{0, 0, -0.4f});
            fin.push_back(span * 0.15f + side * k + Vec3{0, 0, -0.4f});
            fin.push_back(span * -0.1f + side * k + Vec3{0, 0, -0.16f});
            fin.push_back(span * 0.1f + side * k + Vec3{0, 0, -0.16f});
        }
        p.Add(ConvexHull(fin), kJoint);
    }
    return p.Finished();
}

// --- Pictures --------------------------------------------------------------

// How its plates are painted.
const PlateFinish kFinish{
    .bare = Rgb(0x5E5F63),
    .mottleX = 24.0f, .mottleY = 24.0f, .contrast = 1.5f, .darken = 0.25f, .speckle = 0.12f,
    .grimeFrom = 0.45f, .grimeBase = 0.35f, .grimeVary = 0.65f, .grimeX = 10.0f, .grimeY = 22.0f, .grimeMix = 0.55f,
    .wearReach = 30.0f, .wearScale = 8.0f, .wearFrom = 0.58f, .wearFade = 90.0f,
    .bevel = 7.0f, .bevelMix = 0.72f, .line = 3.0f,
};

// A heavy armour plate: blotchy paint, a thick bevelled edge, a weld bead
// across it, a row of big rivets top and bottom, soot and grime below.
void PaintPlate(Canvas& c, Region region, const Palette& pal, uint32_t seed, bool chipped)
{
    PaintPlateBase(c, region, pal, kFinish, seed, chipped);
    PixelRect r = RegionPixels(region);
    // A weld bead across the plate, a little below the middle.
    float seam = r.y + kMargin + (r.h - 2 * kMargin) * 0.56f;
    for (float x = r.x + kMargin + 8.0f; x < r.x + r.w - kMargin - 8.0f; x += 3.0f) {
        c.Disc(x, seam, 2.2f, Mix(pal.line, pal.dark, 0.4f));
        c.Disc(x - 0.5f, seam - 0.7f, 1.2f, Mix(pal.bevelLight, pal.light, 0.4f));
    }
    for (int k = 0; k < 7; ++k)
        for (float fy : {0.0f, 1.0f}) {
            float in = kMargin + 12.0f;
            float cx = r.x + in + k * (r.w - 2 * in) / 6.0f, cy = r.y + in + fy * (r.h - 2 * in);
            c.Disc(cx + 0.8f, cy + 1.0f, 4.0f, pal.bevelShade);
            c.Disc(cx, cy, 3.3f, Mix(pal.light, pal.bevelLight, 0.55f));
            c.Disc(cx - 1.0f, cy - 1.0f, 1.2f, pal.bevelLight);
        }
}

// Joints and actuators: dark burnt steel in rings.
const JointFinish kJoints{
    .seed = 4031, .scale = 22.0f, .dark = Rgb(0x221F1E), .light = Rgb(0x3E3A38),
    .ribPeriod = 20.0f, .rib = Rgb(0x5A5552), .ribMix = 0.45f,
    .groove = 2.0f, .grooveColour = Rgb(0x121010), .speckle = Rgb(0x1C1A19),
    .stain = Rgb(0x3A2A36), .stainMix = 0.5f, .stainFrom = 0.6f, .stainTo = 0.85f, .stainX = 30.0f, .stainY = 30.0f,
};

// Emissive-looking panels: a dark frame round amber bars of light.
const GlowRamp kGlowRamp{Rgb(0x301A04), Rgb(0xE88A12), Rgb(0xFFC24A), Rgb(0xFFF6DE), 1.9f, 0.7f, 2.3f, 1.6f};

void PaintGlow(Canvas& c)
{
    PixelRect r = RegionPixels(kGlow);
    PaintGlowPanel(c, kGlowRamp, [r](int x, int y, float d) {
        float ly = static_cast<float>(y - r.y);
        float core = Smooth(2.0f, 18.0f, d);
        float bars = 0.78f + 0.22f * std::cos((ly - kMargin) / 20.0f * 6.2831853f);
        return core * bars * (0.9f + 0.1f * Fbm(x / 6.0f, ly / 6.0f, 2, 4041));
    });
}

// The crimson stripes: period, stripe and gap colours, wear.
const StripeBand kStripes{36.0f, Rgb(0xB0202E), Rgb(0x26242A), 4052, 7.0f, 0.68f};

// Gunmetal with a broad band of crimson and dark diagonal stripes.
void PaintStripe(Canvas& c, const Palette& metal)
{
    PaintPlate(c, kStripe, metal, 4051, false);
    PixelRect r = RegionPixels(kStripe);
    float top = r.y + kMargin + 18.0f, bottom = r.y + kMargin + (r.h - 2 * kMargin) * 0.5f;
    PaintStripeBand(c, top, bottom, metal.line, kStripes, [r](int y) { return static_cast<float>(y - r.y); });
}

Canvas ArmourTexture()
{
    Canvas c(kAtlas, kAtlas, Rgb(0x3A3A3E));
    const Palette metal{Rgb(0x3B3D43), Rgb(0x60646D), Rgb(0x141518), Rgb(0x8E939C), Rgb(0x23252A), Rgb(0x2A2622)};
    const Palette accent{Rgb(0x7A1422), Rgb(0xC42C3C), Rgb(0x2A060C), Rgb(0xEE7C86), Rgb(0x4E0A14), Rgb(0x3A1A1C)};
    PaintPlate(c, kPlate, metal, 4011, false);
    PaintPlate(c, kAccent, accent, 4021, true);
    PaintJointRings(c, kJoints);
    PaintGlow(c);
    PaintStripe(c, metal);
    return c;
}
}  // namespace

void BuildRobot16(Pack& pack)
{
    pack.Png(kArmour, ArmourTexture());

    pack.X("LAND/R-NO.16/body.x", Body());
    pack.X("LAND/R-NO.16/head.x", Head());
    WriteMirrored(pack, "LAND/R-NO.16/leftarm.x", "LAND/R-NO.16/rightarm.x", LeftArm());
    pack.X("LAND/R-NO.16/leg.x", Leg());
    WriteMirrored(pack, "LAND/R-NO.16/leftfoot.x", "LAND/R-NO.16/rightfoot.x", LeftFoot());
    pack.X("LAND/R-NO.16/weapon1.x", Pod());
    pack.X("LAND/R-NO.16/weapon2.x", Barrels());
    pack.X("LAND/R-NO.16/tama.x", Shell());
}

namespace {
const bool kRegistered = RegisterKindBuilder("R-NO.16", BuildRobot16);
}  // namespace
