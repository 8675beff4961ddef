// The R-NO.15 walking robot: a tall, heavy walker with reverse-jointed
// legs, an ice cannon under each arm and a four-barrel weapon pod in a bay
// on the inner side of each arm.  Its mesh parts, the armour texture they
// share, and the streak and glow of its cannon shots.
//
// Every part is modelled in the frame its pose matrix gives it (+x right,
// +y up, +z forward; the robot's left is -x):
//   body.x       pelvis and hip axles; the body origin stands 2.46 above the
//                ground and the torso's waist ring sits on its top (y 0)
//   head.x       the torso that turns, its origin 0.35 above the body's; the
//                shoulder hubs end at x -0.5 / +0.5 where the arms' begin.
//                Its box is the robot's hit box: the turning column below
//                the waist reaches as far down as the sensor brow reaches up
//   leftarm.x, rightarm.x  arms pitching about their origins, (-1.06 /
//                +1.06, 0.67, 0) on the torso: an ice cannon on the outer
//                side, muzzle at (-0.3 / +0.3, -0.6, 2.4); a bay on the inner
//                side, open at the top and the front, where the pod rides
//   leftleg.x, rightleg.x  hip drum and thigh, from the hip at (-0.53 /
//                +0.53, -0.1, 0.2) on the body, back and down to the knee at
//                (-0.4 / +0.4, -0.65, -0.7) in the leg's frame
//   foot.x       knee, shin and foot of either leg, its origin the knee; the
//                sole lies 1.71 below it, on the ground when standing
//   weapon.x     the four-barrel pod, barrels along +z with their mouths at
//                (+-0.12, +-0.08, 0.9).  The pose pitches it about x: at -90
//                degrees the barrels point up and the pod stands in its bay,
//                slid down 0.6, its muzzles level with the arm's top; at 0
//                the barrels point ahead over the ice cannon
//   tama03.x     the ice shot: a crystal along +z, centred on its origin (its
//                box is the shot's hit box)
//
// One texture of five painted regions serves every part, one material each;
// each flat face gets a whole plate of its region, tubes wrap theirs round.
#include <cmath>

#include "pack.h"
#include "plates.h"
#include "shapes.h"
#include "walker_parts.h"

namespace {
const char* const kArmour = "LAND/R-NO.15/Armour.png";

// A part plated in this walker's armour.
class Part : public PlatedPart {
public:
    Part() : PlatedPart(ArmourMaterial(kArmour, 20, Rgb(0x404048))) {}
};

// --- The parts -------------------------------------------------------------

XMesh Body()
{
    Part p;
    // The pelvis: a deep keeled block under the waist, its top at y 0.
    p.Add(ExtrudeX({{0.0f, -0.4f}, {0.0f, 0.4f}, {-0.12f, 0.56f}, {-0.38f, 0.46f}, {-0.47f, 0.06f}, {-0.38f, -0.36f},
                    {-0.12f, -0.5f}},
                   -0.34f, 0.34f, 0.05f),
          [](Vec3 n) { return n.y < -0.5f ? kJoint : std::fabs(n.x) > 0.9f ? kStripe : kPlate; });
    // Front armour with the reactor glow behind its slot.
    p.Add(PlateOn({-0.1f, 0.57f}, {-0.37f, 0.47f}, -0.28f, 0.28f, 0.05f, {-0.35f, 0.94f}), kAccent);
    p.Add(PlateOn({-0.19f, 0.565f}, {-0.27f, 0.535f}, -0.12f, 0.12f, 0.08f, {-0.35f, 0.94f}), kGlow);
    // Hip axles out to the legs' drums.
    for (float s : {-1.0f, 1.0f}) p.Tube({s * 0.3f, -0.1f, 0.2f}, {s * 0.46f, -0.1f, 0.2f}, 0.13f, 12, kJoint, kJoint);
    // A rear armour skirt.
    p.Add(PlateOn({-0.06f, -0.46f}, {-0.4f, -0.38f}, -0.3f, 0.3f, 0.06f, {-0.2f, -1.0f}), kAccent);
    return p.Finished();
}

XMesh Head()
{
    Part p;
    p.Tube({0, -0.35f, 0}, {0, -0.2f, 0}, 0.38f, 16, kJoint, kJoint);  // waist bearing
    // The chest: wide and deep, a raked lower front, a flat top.
    std::vector<Vec3> chest;
    const P2 outline[] = {{-0.2f, -0.4f}, {-0.2f, 0.34f}, {0.34f, 0.56f}, {0.84f, 0.5f},
                          {1.0f, 0.24f},  {1.0f, -0.34f}, {0.74f, -0.54f}, {0.16f, -0.54f}};
    for (P2 o : outline) {
        float w = o.a > 0.9f ? 0.4f : o.a < 0.0f ? 0.4f : 0.47f;
        for (float s : {-1.0f, 1.0f}) chest.push_back({s * w, o.a, o.b});
    }
    p.Hull(chest, [](Vec3 n) { return n.y < -0.5f ? kJoint : std::fabs(n.x) > 0.85f ? kStripe : kPlate; });
    // Glacis: the accent chevron on the raked front, a plate over it.
    p.Add(PlateOn({-0.16f, 0.36f}, {0.32f, 0.57f}, -0.38f, 0.38f, 0.05f, {-0.36f, 0.93f}), kAccent);
    p.Add(PlateOn({0.38f, 0.57f}, {0.8f, 0.52f}, -0.3f, 0.3f, 0.05f, {0.12f, 0.99f}), kPlate);
    // The sensor brow on top, its visor glowing ice-white.
    p.Add(ExtrudeX({{0.98f, 0.5f}, {1.12f, 0.42f}, {1.14f, 0.0f}, {0.98f, -0.1f}}, -0.22f, 0.22f, 0.03f),
          [](Vec3 n) { return n.z > 0.3f ? kAccent : kPlate; });
    p.Add(PlateOn({1.02f, 0.5f}, {1.1f, 0.455f}, -0.17f, 0.17f, 0.03f, {0.5f, 0.87f}), kGlow);
    // Shoulder hubs the arms turn on.
    for (float s : {-1.0f, 1.0f}) p.Tube({s * 0.36f, 0.67f, 0}, {s * 0.5f, 0.67f, 0}, 0.25f, 14, kJoint, kAccent);
    // Coolant tanks for the ice cannons on the back, with glowing bands.
    for (float s : {-1.0f, 1.0f}) {
        p.Tube({s * 0.2f, 0.02f, -0.64f}, {s * 0.2f, 0.86f, -0.64f}, 0.15f, 10, kPlate, kJoint);
        for (float y : {0.28f, 0.56f}) p.Tube({s * 0.2f, y, -0.64f}, {s * 0.2f, y + 0.06f, -0.64f}, 0.16f, 10, kGlow, kGlow);
    }
    // The turning column reaches as far below the origin as the brow rises
    // above it, and a chin sensor as far ahead as the tanks reach behind:
    // the box is centred on the origin.
    Vec3 lo, hi;
    Bounds(p.Mesh(), &lo, &hi);
    p.Tube({0, -0.2f, 0}, {0, -hi.y + 0.05f, 0}, 0.2f, 12, kJoint, kJoint);
    p.Tube({0, -hi.y + 0.05f, 0}, {0, -hi.y, 0}, 0.2f, 0.14f, 12, kGlow, kGlow);
    p.Add(ChamferedBox({-0.12f, 0.06f, 0.5f}, {0.12f, 0.2f, -lo.z}, 0.03f),
          [](Vec3 n) { return n.z > 0.5f ? kGlow : kJoint; });
    return p.Finished();
}

// The left arm (-x side); the right one is its mirror.
XMesh LeftArm()
{
    Part p;
    p.Tube({0.44f, 0, 0}, {0.555f, 0, 0}, 0.2f, 14, kJoint, kAccent);  // shoulder hub
    // The bay's inner wall, narrowing below so the arm clears the hips.
    std::vector<Vec3> wall;
    for (float x : {0.38f, 0.46f}) {
        for (float z : {-0.6f, 0.5f}) wall.push_back({x, 0.28f, z});
        for (float z : {-0.25f, 0.3f}) wall.push_back({x, -0.92f, z});
    }
    p.Hull(wall, [](Vec3 n) { return n.x < -0.5f ? kJoint : kStripe; });
    // The bay's floor and the bridge over its back.
    p.Add(ChamferedBox({-0.06f, -0.92f, -0.25f}, {0.46f, -0.84f, 0.3f}, 0.02f), kJoint);
    p.Add(ChamferedBox({-0.06f, 0.0f, -0.74f}, {0.46f, 0.28f, -0.5f}, 0.03f),
          [](Vec3 n) { return n.z > 0.5f ? kJoint : kPlate; });
    // The ice cannon's housing.
    p.Add(Loft({{-0.76f, -0.3f, -0.275f, 0.26f, 0.575f, 0.09f},
                {0.95f, -0.3f, -0.275f, 0.26f, 0.575f, 0.09f},
                {1.36f, -0.3f, -0.47f, 0.2f, 0.32f, 0.08f}}),
          [](Vec3 n) { return n.y > 0.9f ? kPlate : n.z > 0.5f ? kJoint : n.x < -0.9f ? kStripe : kPlate; });
    // Shoulder armour over the housing.
    p.Add(PlateOn({0.3f, 0.6f}, {0.3f, -0.7f}, -0.6f, -0.02f, 0.1f, {1.0f, 0.0f}), kAccent);
    // The barrel, its coolant coils and the frost emitter at the muzzle.
    p.Tube({-0.3f, -0.6f, 1.3f}, {-0.3f, -0.6f, 2.16f}, 0.13f, 12, kPlate, kJoint);
    for (float z : {1.58f, 1.84f}) p.Tube({-0.3f, -0.6f, z}, {-0.3f, -0.6f, z + 0.06f}, 0.155f, 12, kGlow, kGlow);
    p.Tube({-0.3f, -0.6f, 2.14f}, {-0.3f, -0.6f, 2.3f}, 0.18f, 0.16f, 12, kAccent, kJoint);
    p.Tube({-0.3f, -0.6f, 2.3f}, {-0.3f, -0.6f, 2.4f}, 0.12f, 0.09f, 12, kJoint, kGlow);
    // A status light down the outer side and a hose from the tanks.
    p.Add(ChamferedBox({-0.585f, -0.2f, -0.2f}, {-0.55f, -0.08f, 0.8f}, 0.01f), kGlow);
    p.Tube({-0.3f, 0.1f, -0.74f}, {-0.3f, -0.3f, -0.9f}, 0.06f, 8, kJoint, kJoint);
    return p.Finished();
}

// Drawn at either pod matrix: symmetric in x.
XMesh Pod()
{
    Part p;
    p.Add(ChamferedBox({-0.17f, -0.13f, -0.22f}, {0.17f, 0.13f, 0.56f}, 0.035f),
          [](Vec3 n) { return std::fabs(n.x) > 0.8f ? kStripe : n.y < -0.8f ? kAccent : kPlate; });
    for (float x : {-0.12f, 0.12f})
        for (float y : {-0.08f, 0.08f}) p.Tube({x, y, 0.5f}, {x, y, 0.9f}, 0.045f, 8, kJoint, kGlow);
    // Sight on top, a ready light on the back.
    p.Add(ChamferedBox({-0.05f, 0.13f, -0.1f}, {0.05f, 0.2f, 0.3f}, 0.015f), kAccent);
    p.Add(ChamferedBox({-0.1f, -0.05f, -0.25f}, {0.1f, 0.05f, -0.22f}, 0.01f), kGlow);
    return p.Finished();
}

// The left hip drum and thigh (-x side); the right one is its mirror.
XMesh LeftLeg()
{
    Part p;
    p.Tube({0.08f, 0, 0}, {-0.18f, 0, 0}, 0.19f, 14, kJoint, kJoint);
    p.Tube({-0.18f, 0, 0}, {-0.22f, 0, 0}, 0.15f, 14, kAccent, kAccent);
    p.Add(Beam({-0.08f, -0.06f, -0.02f}, {0.1f, 0.15f, 0.15f}, {-0.4f, -0.6f, -0.66f}, {0.1f, 0.12f, 0.12f}),
          UndersideJoint(kPlate));
    // Armour on the outside of the thigh.
    p.Add(Beam({-0.21f, -0.12f, 0.0f}, {0.03f, 0.2f, 0.2f}, {-0.52f, -0.5f, -0.55f}, {0.03f, 0.13f, 0.13f}),
          [](Vec3 n) { return n.x < -0.5f ? kAccent : kJoint; });
    return p.Finished();
}

// Knee, shin and foot, round the knee; symmetric in x.
XMesh Foot()
{
    Part p;
    p.Tube({-0.2f, 0, 0}, {0.2f, 0, 0}, 0.19f, 14, kJoint, kAccent);  // knee
    // The shin runs down and forward to the ankle, a guard on its front.
    p.Add(Beam({0, -0.1f, 0.04f}, {0.14f, 0.02f, 0.15f}, {0, -1.22f, 0.46f}, {0.11f, 0.02f, 0.12f}),
          UndersideJoint(kPlate));
    p.Add(Beam({0, -0.08f, 0.2f}, {0.12f, 0.06f, 0.04f}, {0, -0.95f, 0.55f}, {0.09f, 0.06f, 0.04f}),
          [](Vec3 n) { return n.z > 0.3f ? kAccent : kPlate; });
    // The calf actuator behind, the ankle drum below.
    p.Tube({0, -0.12f, -0.2f}, {0, -1.05f, 0.3f}, 0.055f, 8, kJoint, kJoint);
    p.Tube({-0.16f, -1.32f, 0.46f}, {0.16f, -1.32f, 0.46f}, 0.13f, 12, kJoint, kGlow);
    // The foot: a wide pad, three toes ahead and a heel spur, its sole 1.71
    // below the knee.
    constexpr float kSole = -1.71f;
    std::vector<Vec3> pad;
    for (float s : {-1.0f, 1.0f}) {
        pad.push_back({s * 0.3f, kSole, -0.08f});
        pad.push_back({s * 0.3f, kSole, 0.9f});
        pad.push_back({s * 0.22f, -1.46f, 0.14f});
        pad.push_back({s * 0.22f, -1.46f, 0.74f});
    }
    p.Hull(pad, [](Vec3 n) { return n.y > 0.5f ? kAccent : n.y < -0.5f ? kJoint : kPlate; });
    for (float x : {-0.2f, 0.0f, 0.2f})
        p.Add(ToeOn(kSole, {x, 0.07f, 0.8f, -1.56f, 0.04f, 1.16f, {-1.64f, 1.12f}}), kJoint);
    p.Add(ToeOn(kSole, {0.0f, 0.09f, 0.0f, -1.5f, 0.05f, -0.3f, {-1.62f, -0.28f}}), kJoint);
    return p.Finished();
}

// The ice shot: a long hexagonal crystal along +z, 24 triangles, cold and
// bright whatever the light.
XMesh IceShot()
{
    std::vector<Vec3> pts = {{0, 0, 0.34f}, {0, 0, -0.3f}};
    for (int i = 0; i < 6; ++i) {
        float a = 6.2831853f * i / 6;
        for (float z : {-0.07f, 0.09f}) pts.push_back({0.11f * std::cos(a), 0.11f * std::sin(a), z});
    }
    XMesh m = ConvexHull(pts);
    for (size_t i = 0; i < m.pos.size(); ++i) m.u[i] = 0.5f, m.v[i] = 0.5f;
    m.materials = {{Rgb(0xCFEFFF, 0.9f), 40, Rgb(0xFFFFFF), Rgb(0x5C8FC8), ""}};
    return m;
}

// --- Pictures --------------------------------------------------------------

// How its plates are painted.
const PlateFinish kFinish{
    .bare = Rgb(0x66707A),
    .mottleX = 34.0f, .mottleY = 34.0f, .contrast = 1.3f, .darken = 0.15f, .speckle = 0.1f,
    .grimeFrom = 0.5f, .grimeBase = 0.4f, .grimeVary = 0.6f, .grimeX = 8.0f, .grimeY = 26.0f, .grimeMix = 0.45f,
    .wearReach = 22.0f, .wearScale = 6.0f, .wearFrom = 0.62f, .wearFade = 70.0f,
    .bevel = 5.0f, .bevelMix = 0.7f, .line = 2.2f,
};

// An armour plate: cloudy paint, a bevelled panel line round the edge, a
// row of bolts, a recessed seam, worn edges and grime toward the bottom.
void PaintPlate(Canvas& c, Region region, const Palette& pal, uint32_t seed, bool worn)
{
    PaintPlateBase(c, region, pal, kFinish, seed, worn);
    PixelRect r = RegionPixels(region);
    // A recessed seam down the plate, bolts in a row along the top.
    float seam = r.x + kMargin + (r.w - 2 * kMargin) * 0.62f;
    c.FillRect(seam - 1, r.y + kMargin + 4, seam + 1, r.y + r.h - kMargin - 4, Mix(pal.line, pal.dark, 0.3f));
    c.FillRect(seam + 1, r.y + kMargin + 4, seam + 2, r.y + r.h - kMargin - 4, Mix(pal.bevelLight, pal.light, 0.5f));
    for (int k = 0; k < 5; ++k) {
        float cx = r.x + kMargin + 14 + k * (r.w - 2 * kMargin - 28) / 4.0f, cy = r.y + kMargin + 12.0f;
        c.Disc(cx + 0.7f, cy + 0.8f, 3.0f, pal.bevelShade);
        c.Disc(cx, cy, 2.4f, Mix(pal.light, pal.bevelLight, 0.6f));
    }
}

// Joints and actuators: dark blued metal in rings.
const JointFinish kJoints{
    .seed = 2031, .scale = 18.0f, .dark = Rgb(0x1D2129), .light = Rgb(0x363C48),
    .ribPeriod = 12.0f, .rib = Rgb(0x4F5868), .ribMix = 0.4f,
    .groove = 1.2f, .grooveColour = Rgb(0x12141A), .speckle = Rgb(0x1A1D24),
};

// Emissive-looking panels: a dark frame round a frosty white-blue core.
const GlowRamp kGlowRamp{Rgb(0x101838), Rgb(0x3F6FE8), Rgb(0x9FD8FF), Rgb(0xEEFBFF), 1.8f, 0.6f, 2.2f, 1.6f};

void PaintGlow(Canvas& c)
{
    PixelRect r = RegionPixels(kGlow);
    PaintGlowPanel(c, kGlowRamp, [r](int x, int y, float d) {
        float lx = static_cast<float>(x - r.x), ly = static_cast<float>(y - r.y);
        float core = Smooth(2.0f, 18.0f, d);
        float frost = 0.85f + 0.15f * Fbm(lx / 5.0f, ly / 5.0f, 3, 2041);
        return core * frost;
    });
}

// The violet chevrons: period, stripe and gap colours, wear.
const StripeBand kChevrons{24.0f, Rgb(0x7A4FE6), Rgb(0x262A33), 2052, 6.0f, 0.7f};

// Gunmetal with a band of chevrons in the accent violet.
void PaintStripe(Canvas& c, const Palette& metal)
{
    PaintPlate(c, kStripe, metal, 2051, false);
    PixelRect r = RegionPixels(kStripe);
    float top = r.y + kMargin + 16.0f, bottom = r.y + kMargin + (r.h - 2 * kMargin) * 0.45f;
    PaintStripeBand(c, top, bottom, metal.line, kChevrons, [r](int y) { return static_cast<float>(r.y - y); });
}

Canvas ArmourTexture()
{
    Canvas c(kAtlas, kAtlas, Rgb(0x3A404A));
    const Palette metal{Rgb(0x3E4550), Rgb(0x646E7B), Rgb(0x171A20), Rgb(0x96A0AD), Rgb(0x272C35), Rgb(0x2A2A2C)};
    const Palette accent{Rgb(0x3E2384), Rgb(0x6A44D6), Rgb(0x1A1036), Rgb(0xA58BF4), Rgb(0x2A1766), Rgb(0x2C2340)};
    PaintPlate(c, kPlate, metal, 2011, false);
    PaintPlate(c, kAccent, accent, 2021, true);
    PaintJointRings(c, kJoints);
    PaintGlow(c);
    PaintStripe(c, metal);
    return c;
}

// The colour ramp of a cannon shot: white-hot core, pale blue, violet, out.
const GlowRamp kShot{Rgb(0x000000), Rgb(0x5A2CD0), Rgb(0x8FB8FF), Rgb(0xF4F8FF), 2.2f, 0.9f, 2.5f, 1.6f};

// 16 x 64: a streak along v, hot in the middle of its width, fading toward
// both ends.
Canvas CannonStreak() { return ShotStreak(64, 0.35f, 0.8f, 6.0f, 0.03f, kShot); }

// 64 x 64: a round glow with a faint ring.
Canvas CannonGlow()
{
    return ShotGlow(6.0f, 0.03f, kShot, [](float, float, float d) {
        return std::exp(-(d - 0.62f) * (d - 0.62f) * 90.0f) * 0.3f;
    });
}
}  // namespace

void BuildRobot15(Pack& pack)
{
    pack.Png(kArmour, ArmourTexture());
    pack.Png("LAND/R-NO.15/Cannon0.png", CannonGlow());
    pack.Bmp("LAND/R-NO.15/Cannon1.bmp", CannonStreak());

    pack.X("LAND/R-NO.15/body.x", Body());
    pack.X("LAND/R-NO.15/head.x", Head());
    WriteMirrored(pack, "LAND/R-NO.15/leftarm.x", "LAND/R-NO.15/rightarm.x", LeftArm());
    WriteMirrored(pack, "LAND/R-NO.15/leftleg.x", "LAND/R-NO.15/rightleg.x", LeftLeg());
    pack.X("LAND/R-NO.15/foot.x", Foot());
    pack.X("LAND/R-NO.15/weapon.x", Pod());
    pack.X("LAND/R-NO.15/tama03.x", IceShot());
}

namespace {
const bool kRegistered = RegisterKindBuilder("R-NO.15", BuildRobot15);
}  // namespace
