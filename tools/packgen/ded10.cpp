// The D-ED.10 walking robot: its eleven mesh parts, the armour texture they
// share, and the streak and glow of its shells.
//
// Every part is modelled in the frame its pose matrix gives it (+x right,
// +y up, +z forward; the robot's left is -x):
//   Body.x       hips and pelvis; the body origin stands 2.2 above the ground
//   Head.x       the upper body that turns, centred on its origin 0.4 above
//                the body's (its box is the robot's hit box)
//   LeftArm.x, RightArm.x  gun arms pivoting at their origins, (-0.7 / +0.7,
//                0.2, 0) on the head; muzzles at (-0.4 / +0.4, 0, 1.9)
//   LeftLeg.x, RightLeg.x  hip joints, at (-0.85 / +0.85, -0.05, -0.4) on the body
//   Foot.x       thigh, knee, shin and foot of either leg.  Its origin is the
//                knee, (0, -1, -0.4) in the leg's frame, and its frame is
//                turned 49 degrees about x there, so the mesh is built upright
//                round the knee and turned back by that much.  Centred on
//                the knee (it is a hit box too): the heel spur and the back
//                of the thigh reach as far from it as the toes and the front
//                of the thigh do.
//   weaponpart1.x  missile pod, rolling about its z axis at (-0.45 / +0.45,
//                0.3, 0.96) on the arm: at 0 degrees it stands on the gun
//                housing, at 190 it has rolled over into it
//   weaponpart2.x  the missile, centred on its origin, seated 0.35 above the
//                pod's axis; also the flying missile and its hit box
//
// One texture of five painted regions serves every part, one material each,
// so a part is one subset.  Each flat face of a piece gets a whole plate of
// its region (panel lines at its edges); tubes wrap their region round.
#include <cmath>

#include "pack.h"
#include "plates.h"
#include "shapes.h"
#include "walker_parts.h"

namespace {
constexpr float kFootTilt = 0.8552113f;  // the foot frame's turn about x, radians
constexpr float kGround = -1.15f;        // the ground below the knee at rest
constexpr float kThighTop = 1.24f;       // the back of the thigh's top, above the knee
const char* const kArmour = "LAND/D-ED.10/Armour.png";

// A part plated in this walker's armour.
class Part : public PlatedPart {
public:
    Part() : PlatedPart(ArmourMaterial(kArmour, 18, Rgb(0x3A3A3A))) {}
};

// --- The parts -------------------------------------------------------------

XMesh Body()
{
    Part p;
    // Pelvis: a deep wedge under the turning upper body, its top at y 0.
    p.Add(ExtrudeX({{0.0f, -0.62f}, {0.0f, 0.34f}, {-0.12f, 0.5f}, {-0.38f, 0.42f}, {-0.5f, 0.1f}, {-0.48f, -0.42f},
                    {-0.3f, -0.66f}},
                   -0.52f, 0.52f, 0.05f),
          [](Vec3 n) { return n.y < -0.5f ? kJoint : kPlate; });
    // Chin armour and the glowing core in it.
    p.Add(PlateOn({-0.1f, 0.52f}, {-0.42f, 0.41f}, -0.4f, 0.4f, 0.05f, {-0.33f, 0.94f}), kAccent);
    p.Add(PlateOn({-0.17f, 0.53f}, {-0.3f, 0.485f}, -0.15f, 0.15f, 0.07f, {-0.33f, 0.94f}), kGlow);
    // Hip housings reaching out to the legs' joints.
    for (float s : {-1.0f, 1.0f}) {
        p.Tube({s * 0.4f, -0.05f, -0.4f}, {s * 0.64f, -0.05f, -0.4f}, 0.2f, 12, kJoint, kJoint);
        p.Add(ChamferedBox({s > 0 ? 0.5f : -0.56f, -0.44f, -0.58f}, {s > 0 ? 0.56f : -0.5f, -0.16f, 0.22f}, 0.02f),
              kStripe);
    }
    // Rear actuators from the pelvis to the hip housings.
    for (float s : {-1.0f, 1.0f})
        p.Tube({s * 0.3f, -0.36f, -0.62f}, {s * 0.46f, -0.12f, -0.5f}, 0.06f, 8, kJoint, kJoint);
    return p.Finished();
}

XMesh Head()
{
    Part p;
    // The hull: a raked front, a flat top and a deep back.
    p.Add(Slab({{0.3f, 0.42f}, {0.34f, -0.3f}, {0.26f, -0.56f}, {-0.22f, -0.58f}, {-0.36f, -0.32f},
                    {-0.36f, 0.3f}, {-0.2f, 0.6f}, {0.06f, 0.68f}},
                   [](P2 p) { return p.a > 0.2f ? 0.38f : 0.47f; }, 0.05f),
          [](Vec3 n) { return n.y < -0.5f ? kJoint : kPlate; });
    // Glacis plates: the accent chevron over the front, a darker plate below.
    p.Add(PlateOn({0.08f, 0.66f}, {0.29f, 0.44f}, -0.36f, 0.36f, 0.05f, {0.72f, 0.69f}), kAccent);
    p.Add(PlateOn({-0.18f, 0.6f}, {0.04f, 0.66f}, -0.3f, 0.3f, 0.04f, {-0.26f, 0.96f}), kPlate);
    // Sensor head on top with its visor slit.
    p.Add(ExtrudeX({{0.33f, 0.36f}, {0.44f, 0.24f}, {0.45f, -0.08f}, {0.33f, -0.14f}}, -0.2f, 0.2f, 0.03f),
          [](Vec3 n) { return n.z > 0.3f ? kAccent : kPlate; });
    p.Add(ChamferedBox({-0.3f, 0.26f, -0.48f}, {0.3f, 0.39f, 0.12f}, 0.03f),
          [](Vec3 n) { return n.y > 0.9f ? kAccent : kPlate; });  // spine plate
    p.Add(PlateOn({0.355f, 0.33f}, {0.425f, 0.255f}, -0.16f, 0.16f, 0.03f, {0.73f, 0.68f}), kGlow);
    // Flank armour and the shoulder stubs the arms turn on.
    for (float s : {-1.0f, 1.0f}) {
        p.Add(ChamferedBox({s > 0 ? 0.44f : -0.5f, -0.28f, -0.42f}, {s > 0 ? 0.5f : -0.44f, 0.06f, 0.36f}, 0.02f),
              kStripe);
        p.Tube({s * 0.38f, 0.2f, 0}, {s * 0.6f, 0.2f, 0}, 0.17f, 12, kJoint, kAccent);
    }
    // The front decides the extent along z and the top along y; the engine
    // at the back and the bearing ring below reach exactly as far the other
    // way, so the box is centred on the origin.
    Vec3 lo, hi;
    Bounds(p.Mesh(), &lo, &hi);
    float back = -hi.z, bottom = -hi.y;
    p.Add(ChamferedBox({-0.34f, -0.26f, back + 0.02f}, {0.34f, 0.24f, -0.46f}, 0.04f),
          [](Vec3 n) { return n.z < -0.5f ? kPlate : kJoint; });
    for (float x : {-0.2f, 0.0f, 0.2f})  // cooling fins
        p.Add(ChamferedBox({x - 0.025f, 0.2f, back + 0.06f}, {x + 0.025f, 0.32f, -0.5f}, 0.01f), kAccent);
    for (float s : {-1.0f, 1.0f})  // exhaust glow on the back
        p.Add(ChamferedBox({s > 0 ? 0.06f : -0.28f, -0.16f, back}, {s > 0 ? 0.28f : -0.06f, 0.1f, back + 0.05f}, 0.01f),
              kGlow);
    p.Tube({0, bottom, 0}, {0, bottom + 0.12f, 0}, 0.34f, 16, kJoint, kJoint);
    return p.Finished();
}

// The left arm (-x side); the right one is its mirror.
XMesh LeftArm()
{
    Part p;
    p.Tube({0.18f, 0, 0}, {-0.2f, 0, 0}, 0.18f, 12, kJoint, kJoint);  // shoulder joint
    // Gun housing: its top flat at y 0.2 where the pod stands.
    p.Add(Loft({{-0.46f, -0.4f, -0.03f, 0.21f, 0.2f, 0.06f},
                {-0.38f, -0.4f, -0.03f, 0.26f, 0.23f, 0.08f},
                {1.22f, -0.4f, -0.01f, 0.22f, 0.21f, 0.07f},
                {1.3f, -0.4f, -0.02f, 0.17f, 0.17f, 0.05f}}),
          [](Vec3 n) { return n.y > 0.9f ? kStripe : n.z > 0.5f ? kJoint : kPlate; });
    // Shoulder armour.
    p.Add(ExtrudeX({{0.4f, 0.22f}, {0.44f, -0.1f}, {0.34f, -0.42f}, {0.14f, -0.48f}, {0.12f, 0.3f}}, -0.6f, -0.08f,
                   0.04f),
          [](Vec3 n) { return n.x > 0.5f ? kJoint : kAccent; });
    // Barrel with its shroud, glowing coils and muzzle brake.
    p.Tube({-0.4f, 0, 1.2f}, {-0.4f, 0, 1.5f}, 0.13f, 12, kPlate, kJoint);
    p.Tube({-0.4f, 0, 1.45f}, {-0.4f, 0, 1.8f}, 0.075f, 10, kJoint, kJoint);
    for (float z : {1.56f, 1.65f}) p.Tube({-0.4f, 0, z}, {-0.4f, 0, z + 0.035f}, 0.1f, 10, kGlow, kGlow);
    p.Add(ChamferedBox({-0.52f, -0.075f, 1.76f}, {-0.28f, 0.075f, 1.9f}, 0.025f),
          [](Vec3 n) { return n.z > 0.5f ? kJoint : kPlate; });
    // Status light along the outer side, ammunition feed below.
    p.Add(ChamferedBox({-0.675f, -0.07f, 0.0f}, {-0.6f, 0.02f, 0.9f}, 0.012f), kGlow);
    p.Add(ChamferedBox({-0.52f, -0.36f, -0.3f}, {-0.28f, -0.2f, 0.95f}, 0.03f), kJoint);
    return p.Finished();
}

// Drawn at either pod matrix: symmetric in x.
XMesh Pod()
{
    Part p;
    p.Add(ChamferedBox({-0.16f, -0.1f, -0.45f}, {0.16f, 0.2f, 0.45f}, 0.03f),
          [](Vec3 n) { return std::fabs(n.x) > 0.8f ? kStripe : kPlate; });
    for (float s : {-1.0f, 1.0f})  // guards either side of the missile
        p.Add(ChamferedBox({s > 0 ? 0.13f : -0.19f, -0.06f, -0.38f}, {s > 0 ? 0.19f : -0.13f, 0.3f, 0.32f}, 0),
              kAccent);
    p.Add(ChamferedBox({-0.05f, 0.19f, -0.42f}, {0.05f, 0.265f, 0.4f}, 0.01f), kJoint);  // rail
    p.Add(ChamferedBox({-0.08f, 0.0f, -0.48f}, {0.08f, 0.1f, -0.43f}, 0.01f), kGlow);   // ready light
    for (float z : {-0.5f, 0.44f}) p.Tube({0, 0, z}, {0, 0, z + 0.06f}, 0.07f, 6, kJoint, kJoint);  // hinge pins
    return p.Finished();
}

// Nose forward along +z, centred on its origin, 38 triangles.
XMesh Missile()
{
    Part p;
    std::vector<Vec3> body;
    for (int i = 0; i < 6; ++i) {
        float a = 6.2831853f * i / 6;
        body.push_back({0.065f * std::cos(a), 0.065f * std::sin(a), -0.4f});
        body.push_back({0.075f * std::cos(a), 0.075f * std::sin(a), 0.16f});
    }
    body.push_back({0, 0, 0.4f});
    p.Add(ConvexHull(body), [](Vec3 n) { return n.z > 0.2f ? kAccent : n.z < -0.9f ? kGlow : kPlate; });
    // Two crossed fin plates at 45 degrees.
    for (float d : {1.0f, -1.0f}) {
        Vec3 span = Vec3Normalize({1, d, 0}), side = Vec3Normalize({-d, 1, 0}) * 0.008f;
        std::vector<Vec3> fin;
        for (float k : {-1.0f, 1.0f}) {
            fin.push_back(span * -0.14f + side * k + Vec3{0, 0, -0.4f});
            fin.push_back(span * 0.14f + side * k + Vec3{0, 0, -0.4f});
            fin.push_back(side * k + Vec3{0, 0, -0.1f});
        }
        p.Add(ConvexHull(fin), kJoint);
    }
    return p.Finished();
}

// The left hip (-x side); the right one is its mirror.
XMesh LeftLeg()
{
    Part p;
    p.Tube({0.3f, 0, 0}, {-0.24f, 0, 0}, 0.23f, 14, kJoint, kJoint);
    p.Tube({-0.24f, 0, 0}, {-0.3f, 0, 0}, 0.2f, 14, kAccent, kAccent);
    p.Tube({-0.3f, 0, 0}, {-0.33f, 0, 0}, 0.085f, 8, kGlow, kGlow);
    // A hip actuator block on the outside, above and behind the joint.
    p.Add(ChamferedBox({-0.3f, 0.05f, -0.32f}, {-0.14f, 0.26f, 0.04f}, 0.03f), kPlate);
    return p.Finished();
}

// Thigh, knee, shin and foot, built upright round the knee (the hip is at
// (0, 1, 0.4), the ground at y -1.15), then turned into the foot's frame.
// `thighBack` (the top of the thigh's back edge) and `heel` (the heel spur's
// tip) are where the extents are balanced.
XMesh FootUpright(float thighBack, float heel)
{
    Part p;
    p.Tube({-0.24f, 0, 0}, {0.24f, 0, 0}, 0.21f, 12, kJoint, kAccent);  // knee
    // Thigh beam from the knee up to the hip, a guard on its front.
    p.Add(ExtrudeX({{0.02f, 0.17f}, {0.96f, 0.62f}, {1.24f, 0.44f}, {1.28f, 0.1f}, {0.9f, -0.22f}, {0.0f, -0.19f}},
                   -0.21f, 0.21f, 0.04f),
          [](Vec3 n) { return n.z > 0.3f ? kJoint : kPlate; });
    p.Add(PlateOn({0.16f, 0.27f}, {0.9f, 0.63f}, -0.17f, 0.17f, 0.05f, {-0.44f, 0.9f}), kAccent);
    // Armour hanging over the back of the thigh from above the hip.
    p.Add(ExtrudeX({{1.3f, 0.18f}, {kThighTop, thighBack}, {0.82f, thighBack + 0.12f}, {0.5f, -0.3f}, {0.62f, -0.1f},
                    {1.1f, 0.2f}},
                   -0.26f, 0.26f, 0.04f),
          [](Vec3 n) { return std::fabs(n.x) > 0.9f ? kAccent : n.z < -0.5f ? kStripe : kPlate; });
    // Shin down to the ankle, with its guard in front.
    p.Add(ExtrudeX({{-0.02f, 0.15f}, {-0.8f, 0.24f}, {-0.88f, 0.02f}, {-0.12f, -0.16f}}, -0.19f, 0.19f, 0.03f),
          kPlate);
    p.Add(PlateOn({-0.12f, 0.19f}, {-0.7f, 0.25f}, -0.16f, 0.16f, 0.05f, {0.1f, 1.0f}), kAccent);
    // Knee actuator behind the joint: sleeve on the thigh, rod to the shin.
    p.Tube({0, 0.62f, -0.36f}, {0, 0.2f, -0.33f}, 0.08f, 8, kPlate, kJoint);
    p.Tube({0, 0.3f, -0.33f}, {0, -0.55f, -0.2f}, 0.045f, 8, kJoint, kJoint);
    p.Tube({-0.18f, -0.86f, 0.12f}, {0.18f, -0.86f, 0.12f}, 0.13f, 10, kJoint, kJoint);  // ankle
    // Foot pad, two toes and the heel spur.
    std::vector<Vec3> pad;
    for (float s : {-1.0f, 1.0f}) {
        pad.push_back({s * 0.3f, kGround, -0.2f});
        pad.push_back({s * 0.3f, kGround, 0.48f});
        pad.push_back({s * 0.25f, -0.97f, -0.12f});
        pad.push_back({s * 0.25f, -0.97f, 0.36f});
    }
    p.Add(ConvexHull(pad), [](Vec3 n) { return n.y > 0.5f ? kAccent : kPlate; });
    for (float s : {-1.0f, 1.0f})
        p.Add(ToeOn(kGround, {s * 0.17f, 0.065f, 0.3f, -1.02f, 0.04f, 0.6f, {-1.1f, 0.58f}}), kJoint);
    p.Add(ToeOn(kGround, {0.0f, 0.08f, -0.1f, -0.98f, 0.04f, heel, {-1.08f, heel + 0.03f}}), kJoint);
    XMesh m = p.Finished();
    TransformMesh(&m, MatRotationX(-kFootTilt));
    return m;
}

XMesh Foot()
{
    // In the foot's frame a point (y, z) of the upright build sits at
    // (y cos + z sin, z cos - y sin).  The toes and the front of the thigh
    // fix the largest z and y; the thigh's back and the heel spur, tucked
    // in for a trial build, are then set to reach as far the other way.
    float c = std::cos(kFootTilt), s = std::sin(kFootTilt);
    XMesh trial = FootUpright(0.0f, -0.1f);
    Vec3 lo, hi;
    Bounds(trial, &lo, &hi);
    float thighBack = (-hi.z + kThighTop * s) / c;  // z cos - y sin = -hi.z
    float heel = (-hi.y - kGround * c) / s;         // y cos + z sin = -hi.y
    return FootUpright(thighBack, heel);
}

// --- Pictures --------------------------------------------------------------

// How its plates are painted.
const PlateFinish kFinish{
    .bare = Rgb(0x59626C),
    .mottleX = 28.0f, .mottleY = 28.0f, .contrast = 1.4f, .darken = 0.2f, .speckle = 0.12f,
    .grimeFrom = 0.55f, .grimeBase = 0.4f, .grimeVary = 0.6f, .grimeX = 9.0f, .grimeY = 30.0f, .grimeMix = 0.5f,
    .wearReach = 26.0f, .wearScale = 7.0f, .wearFrom = 0.6f, .wearFade = 80.0f,
    .bevel = 5.5f, .bevelMix = 0.75f, .line = 2.5f,
};

// An armour plate: mottled paint, a panel line round the edge with a
// bevel inside it, rivets, a seam, scratches and grime toward the bottom.
void PaintPlate(Canvas& c, Region region, const Palette& pal, uint32_t seed, bool chipped)
{
    PaintPlateBase(c, region, pal, kFinish, seed, chipped);
    PixelRect r = RegionPixels(region);
    // A seam across the plate, rivets along the edges.
    float seam = r.y + kMargin + (r.h - 2 * kMargin) * 0.42f;
    c.FillRect(r.x + kMargin + 4, seam - 1, r.x + r.w - kMargin - 4, seam + 1, Mix(pal.line, pal.dark, 0.3f));
    c.FillRect(r.x + kMargin + 4, seam + 1, r.x + r.w - kMargin - 4, seam + 2, Mix(pal.bevelLight, pal.light, 0.5f));
    float in = kMargin + 11.0f;
    for (float fx : {0.0f, 0.5f, 1.0f})
        for (float fy : {0.0f, 1.0f}) {
            float cx = r.x + in + fx * (r.w - 2 * in), cy = r.y + in + fy * (r.h - 2 * in);
            c.Disc(cx + 0.6f, cy + 0.8f, 3.2f, pal.bevelShade);
            c.Disc(cx, cy, 2.6f, Mix(pal.light, pal.bevelLight, 0.6f));
        }
    for (int k = 0; k < 14; ++k) {
        float x0 = r.x + kMargin + 12 + Hash01(k, 1, seed + 5) * (r.w - 2 * kMargin - 24);
        float y0 = r.y + kMargin + 12 + Hash01(k, 2, seed + 5) * (r.h - 2 * kMargin - 24);
        float len = 6 + 16 * Hash01(k, 3, seed + 5), ang = Hash01(k, 4, seed + 5) * 3.14159f;
        c.Line(x0, y0, x0 + std::cos(ang) * len, y0 + std::sin(ang) * len, 0.8f, Mix(pal.bevelLight, pal.light, 0.3f));
    }
}

// Joints and actuators: dark oiled metal in rings.
const JointFinish kJoints{
    .seed = 1031, .scale = 20.0f, .dark = Rgb(0x23272D), .light = Rgb(0x3C434B),
    .ribPeriod = 16.0f, .rib = Rgb(0x555E68), .ribMix = 0.45f,
    .groove = 1.5f, .grooveColour = Rgb(0x16191D), .speckle = Rgb(0x1E2126),
    .stain = Rgb(0x1B1C1A), .stainMix = 0.6f, .stainFrom = 0.62f, .stainTo = 0.8f, .stainX = 14.0f, .stainY = 40.0f,
};

// Emissive-looking panels: a dark frame round bars of bright cyan light.
const GlowRamp kGlowRamp{Rgb(0x0B2A31), Rgb(0x1D97AC), Rgb(0x72F1FF), Rgb(0xDAFEFF), 1.6f, 0.6f, 2.0f, 1.55f};

void PaintGlow(Canvas& c)
{
    PixelRect r = RegionPixels(kGlow);
    PaintGlowPanel(c, kGlowRamp, [r](int x, int y, float d) {
        float ly = static_cast<float>(y - r.y);
        float core = Smooth(2.0f, 20.0f, d);
        float bars = 0.75f + 0.25f * std::cos((ly - kMargin) / 29.0f * 6.2831853f);
        float flicker = 0.9f + 0.1f * Fbm(x / 6.0f, ly / 6.0f, 2, 1041);
        return core * bars * flicker;
    });
}

// The warning chevrons: period, stripe and gap colours, wear.
const StripeBand kChevrons{28.0f, Rgb(0xD9691F), Rgb(0x2B3037), 1052, 6.0f, 0.68f};

// Gunmetal with a band of warning chevrons in the accent colour.
void PaintStripe(Canvas& c, const Palette& metal)
{
    PaintPlate(c, kStripe, metal, 1051, false);
    PixelRect r = RegionPixels(kStripe);
    float top = r.y + kMargin + (r.h - 2 * kMargin) * 0.58f, bottom = r.y + r.h - kMargin - 12.0f;
    PaintStripeBand(c, top, bottom, metal.line, kChevrons, [r](int y) { return static_cast<float>(y - r.y); });
}

Canvas ArmourTexture()
{
    Canvas c(kAtlas, kAtlas, Rgb(0x3C434B));
    const Palette metal{Rgb(0x434B55), Rgb(0x68727E), Rgb(0x191C21), Rgb(0x98A2AE), Rgb(0x2A3037), Rgb(0x2B2A25)};
    const Palette accent{Rgb(0xB44A14), Rgb(0xE67A26), Rgb(0x2A160C), Rgb(0xF6A865), Rgb(0x7A3210), Rgb(0x4A2A16)};
    PaintPlate(c, kPlate, metal, 1011, false);
    PaintPlate(c, kAccent, accent, 1021, true);
    PaintJointRings(c, kJoints);
    PaintGlow(c);
    PaintStripe(c, metal);
    return c;
}

// The glowing colour ramp of a shell: white-hot, then yellow, orange, out.
const GlowRamp kHot{Rgb(0x000000), Rgb(0xD2400C), Rgb(0xFFB43C), Rgb(0xFFF6DC), 2.2f, 0.9f, 2.5f, 1.6f};

// 16 x 128: a streak along v, hot in the middle of its width, fading at
// both ends.
Canvas ShellStreak() { return ShotStreak(128, 0.3f, 0.7f, 5.0f, 0.02f, kHot); }

// 64 x 64: a round glow with four faint rays.
Canvas ShellGlow()
{
    return ShotGlow(7.0f, 0.02f, kHot, [](float dx, float dy, float d) {
        return std::exp(-std::fabs(dx * dy) * 60.0f) * Clamp01(1 - d) * 0.35f;
    });
}
}  // namespace

void BuildRobot10(Pack& pack)
{
    pack.Png("LAND/D-ED.10/Armour.png", ArmourTexture());
    pack.Png("LAND/D-ED.10/Cannon11.png", ShellStreak());
    pack.Png("LAND/D-ED.10/Cannon12.png", ShellGlow());

    pack.X("LAND/D-ED.10/Body.x", Body());
    pack.X("LAND/D-ED.10/Head.x", Head());
    WriteMirrored(pack, "LAND/D-ED.10/LeftArm.x", "LAND/D-ED.10/RightArm.x", LeftArm());
    WriteMirrored(pack, "LAND/D-ED.10/LeftLeg.x", "LAND/D-ED.10/RightLeg.x", LeftLeg());
    pack.X("LAND/D-ED.10/Foot.x", Foot());
    pack.X("LAND/D-ED.10/weaponpart1.x", Pod());
    pack.X("LAND/D-ED.10/weaponpart2.x", Missile());
}

namespace {
const bool kRegistered = RegisterKindBuilder("D-ED.10", BuildRobot10);
}  // namespace
