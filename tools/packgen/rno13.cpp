// The R-NO.13 walking robot: a light, fast scout built to run down and cut
// up what it finds.  It carries no gun: two long blade arms reach forward
// from shoulders high on its back, its sensor head hangs forward on a neck,
// a tail balances it behind, and it runs on three-jointed bird legs.  Its
// mesh parts and the armour texture they share.
//
// Every part is modelled in the frame its pose matrix gives it (+x right,
// +y up, +z forward; the robot's left is -x):
//   LowerBody.x  pelvis, hip axles and tail; the robot's origin stands 2.3
//                above the ground and the pelvis's bearing ring tops out
//                0.45 below it
//   UpperBody.x  the hunched torso that turns, its origin 0.25 below the
//                pelvis's; it sits on the pelvis's ring, its shoulder hubs
//                end at x -0.45 / +0.45 level with the arms' pivots and its
//                neck runs forward to the head's pivot.  Its box is the
//                robot's hit box: the turning column under the pelvis reaches
//                as far down as the back's hump reaches up, and the neck's
//                end as far ahead as the shoulder hubs reach behind
//   LeftArm.x, RightArm.x  blade arms pitching about their origins, (-0.6 /
//                +0.6, 0.8, -0.8) on the torso: upper arm, elbow, forearm and
//                a long blade whose point is 2.35 ahead of the shoulder
//   Head.x       the sensor head pitching about its origin, (0, 0.45, 0.95)
//                on the torso, its nose 0.58 ahead of the pivot
//   LeftLeg.x, RightLeg.x  hip drum, thigh forward and down to the knee at
//                (0, -0.5, 0.26), shin back and down to the ankle at
//                (0, -1, -0.4), where the foot hangs
//   Foot.x       ankle, the long foot bone and three toes, for either leg;
//                its origin is the ankle and the sole lies 0.52 below it.
//                Its box is the feet's hit box: the spur behind the ankle
//                rises as high and reaches as far back as the toes reach
//                down and ahead
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
const char* const kArmour = "LAND/R-NO.13/Armour.png";
constexpr float kSole = -0.52f;  // the ground below the ankle, standing

// A part plated in this walker's armour.
class Part : public PlatedPart {
public:
    Part() : PlatedPart(ArmourMaterial(kArmour, 24, Rgb(0x46483E))) {}
};

// --- The parts -------------------------------------------------------------

XMesh LowerBody()
{
    Part p;
    // The pelvis: a short keeled block between the hips, its top 0.5 below
    // the origin so the torso turns freely over it.
    p.Add(Slab({{-0.5f, -0.34f}, {-0.5f, 0.3f}, {-0.62f, 0.42f}, {-0.9f, 0.3f}, {-1.02f, 0.0f}, {-0.94f, -0.3f},
                {-0.72f, -0.44f}},
               [](P2 q) { return q.a < -0.85f ? 0.2f : 0.3f; }, 0.04f),
          [](Vec3 n) { return n.y < -0.5f ? kJoint : std::fabs(n.x) > 0.9f ? kStripe : kPlate; });
    // The bearing ring the torso turns on.
    p.Tube({0, -0.5f, 0}, {0, -0.45f, 0}, 0.3f, 16, kJoint, kJoint);
    // Hip axles out to the legs' drums.
    for (float s : {-1.0f, 1.0f}) p.Tube({s * 0.26f, -0.78f, 0}, {s * 0.37f, -0.78f, 0}, 0.1f, 10, kJoint, kJoint);
    // A glowing core in the pelvis's nose.
    p.Add(PlateOn({-0.66f, 0.43f}, {-0.82f, 0.35f}, -0.1f, 0.1f, 0.05f, {-0.45f, 0.9f}), kGlow);
    // The tail: a tapered boom behind the pelvis, a fin on it and a light at
    // its tip.
    p.Add(Loft({{-0.3f, 0, -0.72f, 0.13f, 0.1f, 0.03f}, {-1.4f, 0, -0.56f, 0.045f, 0.04f, 0.012f}}),
          UndersideJoint(kPlate));
    p.Add(ConvexHull({{-0.015f, -0.6f, -0.6f}, {0.015f, -0.6f, -0.6f}, {-0.015f, -0.6f, -1.3f},
                      {0.015f, -0.6f, -1.3f}, {-0.01f, -0.46f, -1.34f}, {0.01f, -0.46f, -1.34f}}),
          kAccent);
    p.Tube({0, -0.56f, -1.4f}, {0, -0.56f, -1.46f}, 0.04f, 0.028f, 8, kGlow, kGlow);
    return p.Finished();
}

XMesh UpperBody()
{
    Part p;
    p.Tube({0, -0.2f, 0}, {0, -0.1f, 0}, 0.3f, 16, kJoint, kJoint);  // bearing
    // The hunched hull: a deep back rising to a hump over the shoulders,
    // sloping down to the neck.
    p.Add(Slab({{-0.1f, 0.42f}, {-0.1f, -0.5f}, {0.55f, -0.95f}, {1.0f, -0.85f}, {1.08f, -0.45f}, {0.6f, 0.55f},
                {0.2f, 0.62f}},
               [](P2 q) { return 0.41f - 0.15f * Clamp01((q.a - 0.1f) / 0.98f); }, 0.05f),
          [](Vec3 n) { return n.y < -0.6f ? kJoint : n.z < -0.7f ? kStripe : kPlate; });
    // The accent spine over the hump and down the slope, flank armour.
    p.Add(PlateOn({1.08f, -0.45f}, {0.653f, 0.44f}, -0.2f, 0.2f, 0.06f, {0.9f, 0.43f}), kAccent);
    p.Add(PlateOn({1.0f, -0.85f}, {1.08f, -0.45f}, -0.2f, 0.2f, 0.05f, {0.98f, -0.2f}), kAccent);
    for (float s : {-1.0f, 1.0f})
        p.Add(ChamferedBox({s > 0 ? 0.3f : -0.45f, -0.04f, -0.46f}, {s > 0 ? 0.45f : -0.3f, 0.34f, 0.4f}, 0.025f),
              [](Vec3 n) { return std::fabs(n.x) > 0.9f ? kStripe : kJoint; });
    // Two glowing vents on the back, under the overhang.
    for (float s : {-1.0f, 1.0f})
        p.Add(PlateOn({0.1f, -0.638f}, {0.42f, -0.86f}, s > 0 ? 0.08f : -0.26f, s > 0 ? 0.26f : -0.08f, 0.04f,
                      {-0.55f, -0.83f}),
              kGlow);
    // Shoulder hubs the arms turn on.
    for (float s : {-1.0f, 1.0f}) p.Tube({s * 0.28f, 0.8f, -0.8f}, {s * 0.45f, 0.8f, -0.8f}, 0.17f, 12, kJoint, kAccent);
    // The neck and the guard over it.
    p.Tube({0, 0.45f, 0.45f}, {0, 0.45f, 0.86f}, 0.085f, 10, kJoint, kJoint);
    p.Add(PlateOn({0.6f, 0.5f}, {0.56f, 0.8f}, -0.1f, 0.1f, 0.04f, {1.0f, 0.1f}), kAccent);
    // The turning column reaches as far down as the hump rises, and the
    // neck's end as far ahead as the hubs reach behind: the box is centred.
    Vec3 lo, hi;
    Bounds(p.Mesh(), &lo, &hi);
    p.Tube({0, -0.2f, 0}, {0, -hi.y + 0.06f, 0}, 0.11f, 10, kJoint, kJoint);
    p.Tube({0, -hi.y + 0.06f, 0}, {0, -hi.y, 0}, 0.11f, 0.07f, 10, kGlow, kGlow);
    p.Tube({0, 0.45f, 0.84f}, {0, 0.45f, -lo.z}, 0.06f, 8, kJoint, kJoint);
    return p.Finished();
}

XMesh Head()
{
    Part p;
    p.Tube({-0.13f, 0, 0}, {0.13f, 0, 0}, 0.1f, 10, kJoint, kJoint);  // pivot drum
    // A wedge of a head: an accent shell over a glowing visor slit, a jaw
    // below, all running to a blunt nose.
    p.Add(Loft({{-0.12f, 0, 0.08f, 0.17f, 0.075f, 0.04f},
                {0.2f, 0, 0.08f, 0.2f, 0.08f, 0.05f},
                {0.56f, 0, 0.025f, 0.05f, 0.025f, 0.01f}}),
          [](Vec3 n) { return n.y < -0.6f ? kJoint : n.z < -0.6f ? kPlate : kAccent; });
    p.Add(Loft({{0.02f, 0, 0.0f, 0.19f, 0.03f, 0.0f}, {0.2f, 0, 0.0f, 0.215f, 0.03f, 0.0f},
                {0.55f, 0, -0.005f, 0.06f, 0.02f, 0.0f}}),
          kGlow);
    p.Add(Loft({{-0.1f, 0, -0.07f, 0.15f, 0.06f, 0.03f},
                {0.2f, 0, -0.07f, 0.18f, 0.06f, 0.03f},
                {0.5f, 0, -0.035f, 0.05f, 0.03f, 0.01f}}),
          UndersideJoint(kPlate));
    // Mandibles under the jaw.
    for (float s : {-1.0f, 1.0f}) {
        std::vector<Vec3> m;
        for (float k : {-1.0f, 1.0f}) {
            m.push_back({s * 0.1f + k * 0.02f, -0.1f, 0.1f});
            m.push_back({s * 0.1f + k * 0.02f, -0.06f, 0.3f});
            m.push_back({s * 0.07f + k * 0.01f, -0.16f, 0.52f});
        }
        p.Hull(m, [](Vec3) { return kJoint; });
    }
    // The sensor crest: two antennae swept back over the torso.
    for (float s : {-1.0f, 1.0f}) {
        p.Tube({s * 0.08f, 0.12f, -0.02f}, {s * 0.16f, 0.52f, -0.5f}, 0.022f, 0.012f, 5, kJoint, kJoint);
        p.Tube({s * 0.16f, 0.52f, -0.5f}, {s * 0.165f, 0.54f, -0.53f}, 0.02f, 5, kGlow, kGlow);
    }
    return p.Finished();
}

// The left arm (-x side); the right one is its mirror.
XMesh LeftArm()
{
    Part p;
    p.Tube({0.15f, 0, 0}, {-0.15f, 0, 0}, 0.16f, 12, kJoint, kAccent);  // shoulder
    // A pauldron over the shoulder swept up and back into a fin: from behind
    // the two fins stand out in a wide V.
    p.Hull({{0.08f, 0.2f, 0.22f}, {-0.2f, 0.17f, 0.24f}, {0.08f, 0.22f, -0.2f}, {-0.22f, -0.1f, 0.16f},
            {-0.22f, -0.1f, -0.2f}, {0.08f, 0.08f, 0.22f}, {0.08f, 0.08f, -0.2f}, {-0.44f, 0.5f, -0.5f},
            {-0.4f, 0.5f, -0.46f}, {-0.38f, 0.44f, -0.52f}},
           [](Vec3 n) { return n.y < -0.5f || n.x > 0.7f ? kJoint : kAccent; });
    // Upper arm forward and out to the elbow, a piston along its underside.
    p.Add(Beam({-0.06f, -0.02f, 0.06f}, {0.08f, 0.1f, 0.1f}, {-0.2f, -0.22f, 0.62f}, {0.065f, 0.075f, 0.075f}),
          UndersideJoint(kPlate));
    p.Tube({-0.08f, -0.14f, -0.02f}, {-0.2f, -0.36f, 0.5f}, 0.035f, 6, kJoint, kJoint);
    p.Tube({-0.1f, -0.22f, 0.62f}, {-0.3f, -0.22f, 0.62f}, 0.095f, 10, kJoint, kAccent);  // elbow
    // The forearm housing with an accent plate on top.
    p.Add(Loft({{0.56f, -0.2f, -0.28f, 0.07f, 0.1f, 0.03f}, {1.0f, -0.2f, -0.27f, 0.075f, 0.12f, 0.03f},
                {1.3f, -0.2f, -0.3f, 0.05f, 0.085f, 0.02f}}),
          [](Vec3 n) { return n.y < -0.5f ? kJoint : kPlate; });
    p.Add(PlateOn({-0.175f, 0.6f}, {-0.15f, 1.12f}, -0.28f, -0.12f, 0.04f, {1.0f, 0.0f}), kAccent);
    // The blade, tapering to its point 2.35 ahead of the shoulder, and its
    // glowing edge.
    p.Hull({{-0.225f, -0.5f, 1.12f}, {-0.175f, -0.5f, 1.12f}, {-0.225f, -0.14f, 1.12f}, {-0.175f, -0.14f, 1.12f},
            {-0.22f, -0.46f, 1.85f}, {-0.18f, -0.46f, 1.85f}, {-0.215f, -0.28f, 1.85f}, {-0.185f, -0.28f, 1.85f},
            {-0.205f, -0.38f, 2.35f}, {-0.195f, -0.38f, 2.35f}},
           [](Vec3 n) { return std::fabs(n.x) > 0.8f ? kStripe : kJoint; });
    p.Hull({{-0.212f, -0.525f, 1.16f}, {-0.188f, -0.525f, 1.16f}, {-0.212f, -0.49f, 1.16f},
            {-0.188f, -0.49f, 1.16f}, {-0.205f, -0.44f, 2.2f}, {-0.195f, -0.44f, 2.2f}, {-0.205f, -0.41f, 2.2f},
            {-0.195f, -0.41f, 2.2f}},
           [](Vec3) { return kGlow; });
    return p.Finished();
}

// The left leg (-x side); the right one is its mirror.
XMesh LeftLeg()
{
    Part p;
    p.Tube({0.14f, 0, 0}, {-0.13f, 0, 0}, 0.15f, 12, kJoint, kJoint);  // hip drum
    p.Tube({-0.13f, 0, 0}, {-0.17f, 0, 0}, 0.12f, 12, kAccent, kGlow);
    // The thigh, forward and down to the knee, armoured outside.
    p.Add(Beam({0, -0.05f, 0.03f}, {0.1f, 0.12f, 0.12f}, {0, -0.5f, 0.26f}, {0.075f, 0.085f, 0.085f}),
          UndersideJoint(kPlate));
    p.Add(Beam({-0.125f, -0.1f, 0.04f}, {0.022f, 0.15f, 0.16f}, {-0.11f, -0.42f, 0.22f}, {0.02f, 0.08f, 0.09f}),
          [](Vec3 n) { return n.x < -0.5f ? kAccent : kJoint; });
    p.Tube({0.1f, -0.5f, 0.26f}, {-0.1f, -0.5f, 0.26f}, 0.095f, 10, kJoint, kJoint);  // knee
    // The shin back and down to the ankle, a calf piston behind it.
    p.Add(Beam({0, -0.52f, 0.24f}, {0.06f, 0.07f, 0.07f}, {0, -0.98f, -0.38f}, {0.05f, 0.06f, 0.06f}),
          [](Vec3 n) { return n.z > 0.3f ? kAccent : kPlate; });
    p.Tube({0, -0.16f, -0.1f}, {0, -0.84f, -0.25f}, 0.035f, 6, kJoint, kJoint);
    p.Tube({0, -0.12f, -0.08f}, {0, -0.38f, -0.16f}, 0.05f, 6, kPlate, kJoint);
    return p.Finished();
}

// Ankle, foot bone, toes, back toe and the guard over the shin, built with
// the back toe's tip and the guard's top where the caller puts them.
// Symmetric in x.
XMesh FootWith(float backToe, float guardTop)
{
    Part p;
    p.Tube({-0.12f, 0, 0}, {0.12f, 0, 0}, 0.095f, 10, kJoint, kAccent);  // ankle
    // The long foot bone, down and forward to the ball of the foot.
    p.Add(Beam({0, -0.03f, 0.02f}, {0.065f, 0.065f, 0.065f}, {0, -0.38f, 0.24f}, {0.075f, 0.06f, 0.07f}),
          [](Vec3 n) { return n.z > 0.3f ? kAccent : kPlate; });
    // The pad under the ball, three toes splayed forward and one behind.
    p.Add(ChamferedBox({-0.15f, kSole, 0.06f}, {0.15f, -0.38f, 0.38f}, 0.03f),
          [](Vec3 n) { return n.y > 0.5f ? kAccent : kJoint; });
    for (float s : {-1.0f, 0.0f, 1.0f}) {
        float tipX = s * 0.18f, tipZ = s == 0 ? 0.56f : 0.48f;
        p.Hull({{s * 0.1f - 0.045f, kSole, 0.26f}, {s * 0.1f + 0.045f, kSole, 0.26f},
                {s * 0.1f - 0.04f, -0.42f, 0.26f}, {s * 0.1f + 0.04f, -0.42f, 0.26f},
                {tipX - 0.015f, kSole, tipZ}, {tipX + 0.015f, kSole, tipZ}, {tipX, -0.49f, tipZ - 0.02f}},
               [](Vec3) { return kJoint; });
    }
    p.Hull({{-0.045f, kSole, 0.1f}, {0.045f, kSole, 0.1f}, {-0.04f, -0.42f, 0.12f}, {0.04f, -0.42f, 0.12f},
            {-0.015f, kSole, backToe}, {0.015f, kSole, backToe}, {0, -0.48f, backToe + 0.03f}},
           [](Vec3) { return kJoint; });
    // An accent guard over the back of the shin, which comes down from the
    // knee at (0, 0.48, 0.64) to the ankle.
    const P2 ankle{0.02f, 0.02f}, dir{0.596f, 0.803f}, out{0.803f, -0.596f};
    constexpr float kOff = 0.065f, kThick = 0.035f;
    auto along = [&](float t) { return P2{ankle.a + out.a * kOff + dir.a * t, ankle.b + out.b * kOff + dir.b * t}; };
    float tTop = (guardTop - kThick * (out.a - dir.a) - ankle.a - out.a * kOff) / dir.a;
    p.Add(PlateOn(along(0.08f), along(tTop), -0.07f, 0.07f, kThick, out), kAccent);
    return p.Finished();
}

XMesh Foot()
{
    // The sole fixes the lowest y; the shin guard is then set to rise as far
    // above the ankle.  The back toe reaches half as far as the front one.
    XMesh trial = FootWith(-0.1f, 0.2f);
    Vec3 lo, hi;
    Bounds(trial, &lo, &hi);
    return FootWith(-0.5f * hi.z, -lo.y);
}

// --- Pictures --------------------------------------------------------------

// How its plates are painted.
const PlateFinish kFinish{
    .bare = Rgb(0x6E7468),
    .mottleX = 40.0f, .mottleY = 14.0f, .contrast = 1.3f, .darken = 0.15f, .speckle = 0.1f,
    .grimeFrom = 0.55f, .grimeBase = 0.4f, .grimeVary = 0.6f, .grimeX = 6.0f, .grimeY = 32.0f, .grimeMix = 0.45f,
    .wearReach = 20.0f, .wearScale = 5.0f, .wearFrom = 0.64f, .wearFade = 70.0f,
    .bevel = 5.0f, .bevelMix = 0.7f, .line = 2.2f,
};

// An armour plate: streaky paint, a bevelled panel line round the edge, a
// diagonal seam across one corner, a pair of vents, bolts at the corners,
// worn edges and grime toward the bottom.
void PaintPlate(Canvas& c, Region region, const Palette& pal, uint32_t seed, bool worn)
{
    PaintPlateBase(c, region, pal, kFinish, seed, worn);
    PixelRect r = RegionPixels(region);
    // The diagonal seam across the upper right corner.
    float x0 = r.x + r.w * 0.55f, y0 = r.y + kMargin + 3.0f, x1 = r.x + r.w - kMargin - 3.0f, y1 = r.y + r.h * 0.42f;
    c.Line(x0, y0, x1, y1, 2.0f, Mix(pal.line, pal.dark, 0.3f));
    c.Line(x0 - 1.5f, y0 + 1.5f, x1 - 1.5f, y1 + 1.5f, 1.0f, Mix(pal.bevelLight, pal.light, 0.5f));
    // Vent slots low on the left.
    for (int k = 0; k < 4; ++k) {
        float vy = r.y + r.h * 0.62f + k * 7.0f;
        c.RoundRect(r.x + kMargin + 14.0f, vy, r.x + kMargin + 58.0f, vy + 3.5f, 1.5f, pal.line);
    }
    float in = kMargin + 10.0f;
    for (float fx : {0.0f, 1.0f})
        for (float fy : {0.0f, 1.0f}) {
            float cx = r.x + in + fx * (r.w - 2 * in), cy = r.y + in + fy * (r.h - 2 * in);
            c.Disc(cx + 0.6f, cy + 0.8f, 3.0f, pal.bevelShade);
            c.Disc(cx, cy, 2.4f, Mix(pal.light, pal.bevelLight, 0.6f));
        }
}

// Joints and actuators: dark olive-grey metal in rings.
const JointFinish kJoints{
    .seed = 3031, .scale = 18.0f, .dark = Rgb(0x202320), .light = Rgb(0x3A3F38),
    .ribPeriod = 10.0f, .rib = Rgb(0x545B50), .ribMix = 0.4f,
    .groove = 1.2f, .grooveColour = Rgb(0x121411), .speckle = Rgb(0x1C1F1B),
};

// Emissive-looking panels: a dark frame round a hot red core, pulsing
// along the panel.
const GlowRamp kGlowRamp{Rgb(0x3A0C08), Rgb(0xE8301C), Rgb(0xFF8050), Rgb(0xFFEEDC), 2.0f, 0.7f, 2.4f, 1.6f};

void PaintGlow(Canvas& c)
{
    PixelRect r = RegionPixels(kGlow);
    PaintGlowPanel(c, kGlowRamp, [r](int x, int y, float d) {
        float lx = static_cast<float>(x - r.x);
        float core = Smooth(2.0f, 16.0f, d);
        float pulse = 0.8f + 0.2f * std::cos((lx - kMargin) / 24.0f * 6.2831853f);
        return core * pulse * (0.9f + 0.1f * Fbm(lx / 5.0f, y / 5.0f, 2, 3041));
    });
}

// The lime chevrons: period, stripe and gap colours, wear.
const StripeBand kChevrons{30.0f, Rgb(0x9CCB22), Rgb(0x262A24), 3052, 6.0f, 0.7f};

// Gunmetal with a band of lime chevrons.
void PaintStripe(Canvas& c, const Palette& metal)
{
    PaintPlate(c, kStripe, metal, 3051, false);
    PixelRect r = RegionPixels(kStripe);
    float top = r.y + kMargin + (r.h - 2 * kMargin) * 0.3f, bottom = r.y + kMargin + (r.h - 2 * kMargin) * 0.7f;
    float mid = (top + bottom) / 2;  // the chevrons point along the middle row
    PaintStripeBand(c, top, bottom, metal.line, kChevrons, [mid](int y) { return std::fabs(y - mid) * 1.2f; });
}

Canvas ArmourTexture()
{
    Canvas c(kAtlas, kAtlas, Rgb(0x3A3F3A));
    const Palette metal{Rgb(0x3F4542), Rgb(0x67706B), Rgb(0x161917), Rgb(0x99A39C), Rgb(0x262B28), Rgb(0x2C2C26)};
    const Palette accent{Rgb(0x5E8E10), Rgb(0xA4D82A), Rgb(0x1E2C06), Rgb(0xD4F27C), Rgb(0x3C5C0A), Rgb(0x34401A)};
    PaintPlate(c, kPlate, metal, 3011, false);
    PaintPlate(c, kAccent, accent, 3021, true);
    PaintJointRings(c, kJoints);
    PaintGlow(c);
    PaintStripe(c, metal);
    return c;
}
}  // namespace

void BuildRobot13(Pack& pack)
{
    pack.Png(kArmour, ArmourTexture());

    pack.X("LAND/R-NO.13/LowerBody.x", LowerBody());
    pack.X("LAND/R-NO.13/UpperBody.x", UpperBody());
    pack.X("LAND/R-NO.13/Head.x", Head());
    WriteMirrored(pack, "LAND/R-NO.13/LeftArm.x", "LAND/R-NO.13/RightArm.x", LeftArm());
    WriteMirrored(pack, "LAND/R-NO.13/LeftLeg.x", "LAND/R-NO.13/RightLeg.x", LeftLeg());
    pack.X("LAND/R-NO.13/Foot.x", Foot());
}

namespace {
const bool kRegistered = RegisterKindBuilder("R-NO.13", BuildRobot13);
}  // namespace
