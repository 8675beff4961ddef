// The FT17_BER light tank: a small tank of the First World War, a tall
// narrow riveted hull between two big track frames, a rounded engine
// compartment ending in a long tail skid, a small cast turret with a
// mushroom vent and a short gun, a large front idler and a rear sprocket,
// all under LAND/FT17_BER/.
//
// Each part is modelled in the frame its matrix in the game places it by
// (+x right, +y up, +z forward; units are world units):
//   body      hull; 1.2 wide between the track frames, from the tail's end
//             at z -3.22 to the nose at z 1.36; the ground 0.8 below its
//             origin
//   top1      turret; its origin on the ring axis 0.75 above the hull's
//             origin, a twelve-sided drum up to y 0.58, the dome and the
//             vent cap to y 0.82
//   top2      gun; origin at the trunnions (turret (0, 0.38, 0.53)), a
//             round mantlet across them, the muzzle at z 0.66
//   wheel     the track: one loop in the frame the game moves by (0.75,
//             -0.19, -0.4) on the right and (-0.95, -0.19, -0.4) on the
//             left, so its centre line lies at x +0.1 of that frame and the
//             two copies land on x +-0.85; u runs along the tread
//   wheel3    the track frame in the same frame as the track: the girder,
//             its leaf spring, the bogies and their small road wheels
//   wheel1    rear sprocket, radius 0.45, centred on its axle, hub on +x;
//             drawn at (+-0.85, -0.3, -2.11)
//   wheel2    front idler, radius 0.5, centred on its axle, hub on +x;
//             drawn at (+-0.85, -0.1, 1.2)
#include <algorithm>
#include <cmath>

#include "pack.h"
#include "shapes.h"
#include "tank_pictures.h"
#include "tank_shapes.h"

namespace {
const float kPi = 3.14159265f;

const char* const kCamoFile = "LAND/FT17_BER/Ft17Camo.png";
const char* const kGearFile = "LAND/FT17_BER/Ft17Gear.png";

// --- running gear (hull frame) -----------------------------------------------
const float kGroundY = -0.8f;
const float kTrackThickness = 0.05f;
const float kTrackHalfWidth = 0.17f;
const Vec3 kTrackOffset = {0.75f, -0.19f, -0.4f};  // the right copy's; its centre line is x +0.1 of it
const float kTrackCentreX = 0.1f;
const float kSprocketRadius = 0.45f;  // wheel1
const Vec3 kSprocketAt = {0.85f, -0.3f, -2.11f};
const float kIdlerRadius = 0.5f;      // wheel2
const Vec3 kIdlerAt = {0.85f, -0.1f, 1.2f};
const float kWheelHalfWidth = 0.11f;
const float kRoadWheelRadius = 0.11f;
const float kRoadWheelY = kGroundY + kTrackThickness + kRoadWheelRadius;
const float kRoadWheelsZ[] = {-1.5f, -1.1f, -0.7f, -0.3f, 0.1f, 0.5f};
const float kGirderHalfWidth = 0.11f;

// --- hull lines (hull frame) ---------------------------------------------------
const float kHullHalf = 0.6f;
const float kBellyY = -0.45f;
const float kRoofY = 0.72f;

// --- the running-gear picture (512 x 512) ------------------------------------
// Rows 0..127: the track band, one u repeat = 16 links; rows 128..383:
// sprocket face (left) and idler face (right); rows 384..511: road-wheel
// face, dark steel, vision glass, rusty steel and bright steel.
Rect Px(float l, float t, float r, float b) { return {l / 512, t / 512, r / 512, b / 512}; }
const float kTrackOuterV0 = 3 / 512.0f, kTrackOuterV1 = 73 / 512.0f;
const float kTrackSideV0 = 80 / 512.0f, kTrackSideV1 = 97 / 512.0f;
const float kTrackInnerV0 = 104 / 512.0f, kTrackInnerV1 = 124 / 512.0f;
const int kLinksPerRepeat = 16;
const Rect kSprocketFace = Px(4, 132, 252, 380);
const Rect kIdlerFace = Px(260, 132, 508, 380);
const Rect kRoadWheelFace = Px(4, 388, 124, 508);
const Rect kDarkSteel = Px(136, 392, 248, 504);
const Rect kGlass = Px(264, 392, 312, 440);
const Rect kRust = Px(328, 392, 376, 504);
const Rect kBrightSteel = Px(392, 392, 504, 504);
const Rect kTyreRim = Px(6, 134, 12, 140);

// The track band round the wheels in the track's frame: a picture repeat
// is 600 degrees of the sprocket's rim, as the game scrolls u by the
// wheels' turn / 600.  The loop is cut into four stretches.
const TrackBand kTrackBand = {.offsetY = kTrackOffset.y, .offsetZ = kTrackOffset.z, .centreX = kTrackCentreX,
                              .halfWidth = kTrackHalfWidth, .thickness = kTrackThickness, .steps = 18,
                              .repeatDegrees = 600.0f, .repeatRadius = kSprocketRadius,
                              .outerV0 = kTrackOuterV0, .outerV1 = kTrackOuterV1, .sideV0 = kTrackSideV0,
                              .sideV1 = kTrackSideV1, .innerV0 = kTrackInnerV0, .innerV1 = kTrackInnerV1,
                              .stretches = 4};

XMaterial Painted(const char* texture) { return {Rgb(0xECEAE2), 4, Rgb(0x121210), Rgb(0), texture}; }

// The camouflage's projection, where the picture spans 3.3 units: patches
// half a unit or so across.
UvMap Camo(float uOffset, float vOffset) { return ScaledUv(0.3f, uOffset, vOffset); }

// --- pictures ----------------------------------------------------------------

// Patches of ochre, leaf green, chestnut brown and pale stone, each parted
// from the next by a dark brushed line, painted over riveted plates; tiles
// both ways (the patches are the cells round points scattered on a torus).
Canvas CamoTexture()
{
    const int n = 512;
    Canvas c(n, n);
    const RGBA palette[] = {Rgb(0xA8864C), Rgb(0x5C6838), Rgb(0x6E4A30), Rgb(0xA49C7E), Rgb(0x5C6838)};
    const int cells = 22;
    float px[cells], py[cells];
    int colour[cells];
    for (int k = 0; k < cells; ++k) {
        px[k] = Hash01(k, 1, 5101) * n;
        py[k] = Hash01(k, 2, 5101) * n;
        colour[k] = static_cast<int>(Hash01(k, 3, 5101) * 5) % 5;
    }
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            // Wobble the edges.
            float wx = x + (Fbm(x / 32.0f, y / 32.0f, 3, 5102, 16) - 0.5f) * 60;
            float wy = y + (Fbm(x / 32.0f, y / 32.0f, 3, 5103, 16) - 0.5f) * 60;
            float d1 = 1e9f, d2 = 1e9f;
            int near = 0;
            for (int k = 0; k < cells; ++k)
                for (int ox = -1; ox <= 1; ++ox)
                    for (int oy = -1; oy <= 1; ++oy) {
                        float d = std::hypot(wx - px[k] - ox * n, wy - py[k] - oy * n);
                        if (d < d1) d2 = d1, d1 = d, near = k;
                        else if (d < d2) d2 = d;
                    }
            RGBA col = palette[colour[near]];
            float edge = d2 - d1;  // twice the distance to the border, roughly
            col = Mix(col, Rgb(0x2A2418), Smooth(7.0f, 2.5f, edge) * 0.9f);
            float fine = Fbm(x / 8.0f, y / 8.0f, 3, 5104, 64);
            float shade = 0.86f + 0.22f * fine;
            col = Shaded(col, shade);
            c.At(x, y) = col;
        }
    // Riveted plate edges: a seam with a row of round rivet heads, lit from above.
    for (int k = 0; k < 4; ++k) {
        float at = k * 128.0f + 60.0f;
        c.Line(0, at, n, at, 1.6f, Rgb(0x1E1A12, 0.6f));
        c.Line(at, 0, at, n, 1.6f, Rgb(0x1E1A12, 0.55f));
        for (float b = 4; b < n; b += 10.667f) {
            c.Disc(b, at + 6, 2.2f, Rgb(0x241E14, 0.55f));
            c.Disc(b - 0.5f, at + 5.3f, 1.2f, Rgb(0xE0D0A8, 0.35f));
            c.Disc(at + 6, b, 2.2f, Rgb(0x241E14, 0.5f));
            c.Disc(at + 5.5f, b - 0.7f, 1.2f, Rgb(0xE0D0A8, 0.3f));
        }
    }
    // Mud splashed low.
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float splash = Smooth(0.62f, 0.78f, Fbm(x / 16.0f, y / 16.0f, 4, 5105, 32)) * 0.5f;
            c.At(x, y) = Mix(c.At(x, y), Rgb(0x56462E), splash);
        }
    return c;
}

// The track band: sixteen cast plates per repeat, each with a raised bar
// across it, hinged at the ends; the side shows the link lugs and pins.
void PaintTrack(Canvas* c)
{
    const RGBA steel = Rgb(0x4E4A40), dark = Rgb(0x302E28), gap = Rgb(0x161512), mud = Rgb(0x5E4C34);
    const int linkPx = 512 / kLinksPerRepeat;
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 512; ++x) {
            float lx = static_cast<float>(x % linkPx) * 32 / linkPx;  // along the link, 0..32
            RGBA col = dark;
            if (y < 77) {
                col = steel;
                if (lx > 13 && lx < 19) col = Mix(steel, Rgb(0x86827A), 0.45f);  // the bar
                if (lx > 19 && lx < 21) col = Mix(steel, Rgb(0x000000), 0.35f);   // its shadow
                float ay = std::fabs(y - 38.0f);
                if (ay > 33) col = dark;
                if (lx < 2 || lx > 30) col = gap;
            } else if (y < 101) {
                col = dark;
                if (lx > 4 && lx < 28 && y > 83 && y < 95) col = steel;
                if (std::hypot(lx - 3.0f, y - 89.0f) < 3) col = Rgb(0x7A766C);  // pin head
                if (lx < 1) col = gap;
            } else {
                col = dark;
                if (std::fabs(y - 114.0f) < 6 && lx > 8 && lx < 24) col = steel;
                if (lx < 2 || lx > 30) col = gap;
            }
            float grime = Fbm(x / 8.0f, y / 8.0f, 3, 5111, 64);
            col = Mix(col, mud, Smooth(0.4f, 0.75f, grime) * 0.55f);
            float shade = 0.9f + 0.15f * Hash01(x, y, 5112);
            c->At(x, y) = Shaded(col, shade);
        }
}

// A wheel face in a square of the picture: the sprocket's toothed steel
// rim and six spokes, the idler's broad wooden rim bound in steel on eight
// spokes, or the little road wheel's plain disc.
enum class Face { Sprocket, Idler, RoadWheel };
void PaintWheel(Canvas* c, const Rect& r, Face face)
{
    const RGBA steel = Rgb(0x4C4A42), darkSteel = Rgb(0x2E2C26), wood = Rgb(0x6E5436), paint = Rgb(0x5C6838);
    PaintRoundFace(c, r, 512, 3, {0, 0, 512, 512}, [&](const FacePoint& p) {
        RGBA col = darkSteel;
        if (face == Face::Sprocket) {
            if (p.d > 0.86f) col = std::cos(p.ang * 13) > 0 ? steel : darkSteel;
            else if (p.d > 0.74f) col = paint;
            else if (p.d > 0.2f) {
                float spoke = std::fabs(std::sin(p.ang * 3));  // six spokes
                col = spoke < 0.16f ? paint : Rgb(0x1A1914);
            } else col = paint;
        } else if (face == Face::Idler) {
            if (p.d > 0.9f) col = steel;
            else if (p.d > 0.66f) {
                col = Mix(wood, Rgb(0x8A6C48), Fbm(p.ang * 8, p.d * 20, 3, 5121));
                if (std::fabs(p.d - 0.78f) < 0.01f) col = Mix(col, Rgb(0x2A2016), 0.5f);
            } else if (p.d > 0.58f) col = steel;
            else if (p.d > 0.2f) {
                float spoke = std::fabs(std::sin(p.ang * 4));  // eight spokes
                col = spoke < 0.2f ? paint : Rgb(0x1A1914);
            } else col = paint;
        } else {
            col = p.d > 0.8f ? steel : Mix(paint, darkSteel, Smooth(0.3f, 0.8f, p.d) * 0.4f);
        }
        if (p.d < 0.12f) col = Mix(darkSteel, Rgb(0x8A867A), 0.3f);
        for (int k = 0; k < 6; ++k) {  // hub bolts
            float ba = k * kPi / 3;
            if (p.Near(ba, 0.16f, 0.03f)) col = Rgb(0x9A9484);
        }
        float grime = Fbm(p.x / 12.0f, p.y / 12.0f, 3, 5122 + static_cast<int>(face));
        col = Mix(col, Rgb(0x5E4C34), Smooth(0.45f, 0.8f, grime) * 0.5f);
        float shade = 0.9f + 0.15f * Hash01(p.x, p.y, 5123);
        return Shaded(col, shade);
    });
}

Canvas GearTexture()
{
    Canvas c(512, 512, Rgb(0x302E28));
    PaintTrack(&c);
    FillGrain(&c, {0, 128, 512, 512}, Rgb(0x2A2924), Rgb(0x403E36), 10.0f, 5131);
    PaintWheel(&c, kSprocketFace, Face::Sprocket);
    PaintWheel(&c, kIdlerFace, Face::Idler);
    PaintWheel(&c, kRoadWheelFace, Face::RoadWheel);
    c.FillRect(260, 388, 316, 444, Rgb(0x141812));
    c.Disc(276, 402, 6, Rgb(0xC0D0B0, 0.5f), 3);
    FillGrain(&c, {324, 388, 380, 508}, Rgb(0x4E3222), Rgb(0x7A4A2A), 5.0f, 5132);
    FillSpeckled(&c, {388, 388, 508, 508}, Rgb(0x6A685E), Rgb(0x8E8A7C), 5133);
    return c;
}

// --- meshes --------------------------------------------------------------------

// An outline from its points {y, z} extruded across the hull from -half to
// half, its side edges bevelled.
XMesh Across(const std::vector<P2>& profile, float half, float bevel, const UvMap& uv)
{
    return ExtrudeX(profile, -half, half, bevel, uv);
}

// The hull: the fighting compartment with the driver's doors and visor in
// its nose, the engine compartment with its rounded back, louvres on top,
// the silencer, and the tail skid behind.
XMesh Hull()
{
    XMesh m;
    const UvMap uv = Camo(0.1f, 0.2f);
    // The fighting compartment: a steep nose, the driver's sloped visor
    // plate up to the roof the turret stands on.
    const P2 visorFoot = {0.1f, 1.36f}, visorTop = {0.58f, 0.82f};
    AddPiece(&m,
             Across({{kBellyY, -0.62f}, {kBellyY, 1.0f}, {-0.25f, 1.34f}, visorFoot, visorTop, {kRoofY, 0.6f},
                     {kRoofY, -0.62f}},
                    kHullHalf, 0.025f, uv),
             0);
    // The engine compartment, a little narrower and lower, rounding down at
    // the back.
    AddPiece(&m,
             Across({{kBellyY, -2.42f}, {kBellyY, -0.6f}, {0.64f, -0.6f}, {0.6f, -1.5f}, {0.5f, -2.0f}, {0.3f, -2.3f},
                     {0.05f, -2.42f}},
                    kHullHalf - 0.03f, 0.025f, uv),
             0);
    // The driver's doors on the nose and the visor with its slits.
    for (float s : {-1.0f, 1.0f}) {
        float x0 = s > 0 ? 0.02f : -0.5f, x1 = s > 0 ? 0.5f : -0.02f;
        AddPiece(&m, ChamferedBox({x0, -0.22f, 1.33f}, {x1, 0.08f, 1.38f}, 0.012f, uv), 0);
    }
    AddPiece(&m, SlopePlate(visorFoot.a, visorFoot.b, visorTop.a, visorTop.b, -0.42f, 0.42f, 0.12f, 0.8f, 0.03f, uv), 0);
    XMesh slits = SlopePlate(visorFoot.a, visorFoot.b, visorTop.a, visorTop.b, -0.3f, 0.3f, 0.5f, 0.58f, 0.04f);
    ProjectInto(&slits, 2, kGlass);
    AddPiece(&m, slits, 1);
    // Vision slits in the fighting compartment's sides.
    XMesh side = ChamferedBox({kHullHalf - 0.01f, 0.38f, 0.35f}, {kHullHalf + 0.02f, 0.44f, 0.7f}, 0);
    ProjectInto(&side, 0, kGlass);
    AddPair(&m, side, 1);
    // A lamp on the left of the nose.
    XMesh lamp = Drum({-0.36f, 0.25f, 1.25f}, {-0.36f, 0.25f, 1.42f}, 0.07f, 0.08f, 8);
    ProjectInto(&lamp, 2, kBrightSteel);
    AddPiece(&m, lamp, 1);
    // Louvres on the engine deck, the filler cap, the silencer on the right.
    for (int k = 0; k < 4; ++k) {
        float z = -0.8f - 0.16f * k;
        XMesh louvre = ChamferedBox({-0.4f, 0.61f - 0.01f * k, z - 0.06f}, {0.1f, 0.66f - 0.01f * k, z + 0.03f}, 0);
        ProjectInto(&louvre, 1, kDarkSteel);
        AddPiece(&m, louvre, 1);
    }
    AddPiece(&m, Drum({-0.3f, 0.58f, -1.6f}, {-0.3f, 0.65f, -1.6f}, 0.09f, 0.07f, 6, uv), 0);
    XMesh silencer = Drum({0.36f, 0.7f, -0.75f}, {0.36f, 0.62f, -1.9f}, 0.1f, 0.1f, 8);
    ProjectInto(&silencer, 0, kRust);
    AddPiece(&m, silencer, 1);
    for (float z : {-0.9f, -1.7f})
        AddPiece(&m, ChamferedBox({0.3f, 0.56f, z - 0.03f}, {0.42f, 0.64f, z + 0.03f}, 0, uv), 0);
    // The tail skid: two side rails from the back plate, rising rearward,
    // with cross bars at their ends.
    AddPair(&m,
            ExtrudeX({{-0.4f, -2.3f}, {0.12f, -2.3f}, {0.26f, -3.1f}, {0.2f, -3.22f}, {0.02f, -3.22f}, {-0.22f, -2.95f}},
                     0.38f, 0.44f, 0.008f, uv),
            0);
    for (P2 bar : {P2{0.12f, -3.12f}, P2{-0.18f, -2.75f}}) {
        XMesh rod = Drum({-0.42f, bar.a, bar.b}, {0.42f, bar.a, bar.b}, 0.045f, 0.045f, 6);
        ProjectInto(&rod, 0, kDarkSteel);
        AddPiece(&m, rod, 1);
    }
    m.materials = {Painted(kCamoFile), Painted(kGearFile)};
    return m;
}

// The turret: a twelve-sided cast drum, a shallow dome, the mushroom vent
// on its stalk, the lugs either side of the gun, the vision slits and the
// rear door.
XMesh Turret()
{
    XMesh m;
    const UvMap uv = Camo(0.43f, 0.66f);
    AddPiece(&m, Drum({0, -0.05f, 0}, {0, 0.58f, 0}, 0.52f, 0.46f, 12, uv), 0);
    AddPiece(&m, Drum({0, 0.575f, 0}, {0, 0.66f, 0}, 0.46f, 0.32f, 12, uv), 0);
    AddPiece(&m, Drum({0, 0.65f, 0}, {0, 0.77f, 0}, 0.1f, 0.09f, 6, uv), 0);
    AddPiece(&m, Drum({0, 0.76f, 0}, {0, 0.83f, 0}, 0.21f, 0.16f, 10, uv), 0);
    for (float s : {-1.0f, 1.0f})
        AddPiece(&m, ChamferedBox({0.16f * s - 0.04f, 0.24f, 0.38f}, {0.16f * s + 0.04f, 0.52f, 0.6f}, 0.015f, uv), 0);
    // Vision slits round the sides.
    for (float a : {-1.1f, -0.5f, 0.5f, 1.1f, 2.3f, -2.3f}) {
        float r = 0.5f;
        Vec3 c = {std::sin(a) * r, 0.45f, std::cos(a) * r};
        XMesh slit = ChamferedBox({-0.09f, -0.02f, -0.02f}, {0.09f, 0.02f, 0.02f}, 0);
        ProjectInto(&slit, 2, kGlass);
        TransformMesh(&slit, MatRotationY(a) * MatTranslation(c.x, c.y, c.z));
        AddPiece(&m, slit, 1);
    }
    // The rear door, hinged at its top.
    AddPiece(&m, ChamferedBox({-0.2f, 0.02f, -0.52f}, {0.2f, 0.42f, -0.44f}, 0.02f, uv), 0);
    m.materials = {Painted(kCamoFile), Painted(kGearFile)};
    return m;
}

// The gun: a round mantlet across the trunnions, the short barrel with its
// muzzle ring, the recoil cylinder beneath and the breech behind.
XMesh Gun()
{
    XMesh m;
    const UvMap uv = Camo(0.77f, 0.12f);
    AddPiece(&m, Drum({-0.12f, 0, 0}, {0.12f, 0, 0}, 0.13f, 0.13f, 10, uv), 0);
    AddPiece(&m, ChamferedBox({-0.08f, -0.1f, -0.35f}, {0.08f, 0.08f, 0.0f}, 0.02f, uv), 0);
    XMesh barrel = Drum({0, 0.01f, 0.08f}, {0, 0.01f, 0.62f}, 0.045f, 0.038f, 8);
    ProjectInto(&barrel, 0, kDarkSteel);
    AddPiece(&m, barrel, 1);
    XMesh muzzle = Drum({0, 0.01f, 0.6f}, {0, 0.01f, 0.66f}, 0.05f, 0.05f, 8);
    ProjectInto(&muzzle, 0, kBrightSteel);
    AddPiece(&m, muzzle, 1);
    XMesh recoil = Drum({0, -0.07f, 0.08f}, {0, -0.07f, 0.34f}, 0.035f, 0.035f, 6);
    ProjectInto(&recoil, 0, kDarkSteel);
    AddPiece(&m, recoil, 1);
    m.materials = {Painted(kCamoFile), Painted(kGearFile)};
    return m;
}

// A wheel on its axle (x), hub on the outer (+x) face.
XMesh Wheel(float radius, float halfWidth, int sides, const Rect& face)
{
    return FacetedWheel({.radius = radius, .halfWidth = halfWidth, .sides = sides, .face = face, .tread = kTyreRim,
                         .hubRadius = radius * 0.2f, .hubTipRadius = radius * 0.14f, .hubLength = 0.05f,
                         .hubRim = kDarkSteel},
                        Painted(kGearFile));
}

// From the hull frame to the track's (and the track frame's) own frame.
Vec3 ToTrack(Vec3 hull) { return hull - kTrackOffset; }

// The track, one loop round the sprocket, the idler and the road wheels.
XMesh Track()
{
    std::vector<TrackWheel> wheels = {{kSprocketAt.y, kSprocketAt.z, kSprocketRadius},
                                      {kIdlerAt.y, kIdlerAt.z, kIdlerRadius}};
    for (float z : kRoadWheelsZ) wheels.push_back({kRoadWheelY, z, kRoadWheelRadius});
    return TrackLoop(wheels, kTrackBand, Painted(kGearFile));
}

// The track frame, in the track's frame: the box girder between the
// track's runs, its top just under the upper run, a leaf spring along its
// outer face, three bogies hanging from it, each with two small road
// wheels on the ground run.
XMesh TrackFrame()
{
    XMesh m;
    const UvMap uv = Camo(0.29f, 0.53f);
    const float cx = kTrackCentreX;
    // The girder's outline (hull frame {y, z}), moved into the track's frame.
    const P2 outline[] = {{-0.5f, -1.62f}, {-0.5f, 0.5f}, {-0.36f, 0.66f}, {0.29f, 0.66f}, {0.13f, -1.62f}};
    std::vector<P2> local;
    for (P2 p : outline) local.push_back({p.a - kTrackOffset.y, p.b - kTrackOffset.z});
    AddPiece(&m, ExtrudeX(local, cx - kGirderHalfWidth, cx + kGirderHalfWidth, 0.02f, uv), 0);
    // The leaf spring (three leaves, the longest on top), its hangers and the
    // bogies (a bracket from the girder's foot down over each pair of
    // wheels), on both faces: the same frame serves either side.
    for (float sx : {-1.0f, 1.0f}) {
        const float face = cx + sx * kGirderHalfWidth;
        auto slab = [&](float out0, float out1, float y0, float y1, float z0, float z1) {
            float xa = face + sx * out0, xb = face + sx * out1;
            return ChamferedBox({std::min(xa, xb), y0, z0}, {std::max(xa, xb), y1, z1}, 0);
        };
        for (int k = 0; k < 3; ++k) {
            float half = 0.8f - 0.22f * k, mid = -0.5f - kTrackOffset.z;
            float y = 0.0f - 0.05f * k - kTrackOffset.y;
            XMesh leaf = slab(-0.005f, 0.035f - 0.005f * k, y - 0.045f, y, mid - half, mid + half);
            ProjectInto(&leaf, 0, kDarkSteel);
            AddPiece(&m, leaf, 1);
        }
        for (float z : {-1.32f, 0.32f}) {
            float lz = z - kTrackOffset.z, ly = -0.08f - kTrackOffset.y;
            XMesh hanger = slab(-0.005f, 0.035f, ly - 0.05f, ly + 0.12f, lz - 0.04f, lz + 0.04f);
            ProjectInto(&hanger, 0, kDarkSteel);
            AddPiece(&m, hanger, 1);
        }
        const float top = -0.49f - kTrackOffset.y, wy = kRoadWheelY - kTrackOffset.y;
        for (int b = 0; b < 3; ++b) {
            float z0 = kRoadWheelsZ[2 * b] - kTrackOffset.z, z1 = kRoadWheelsZ[2 * b + 1] - kTrackOffset.z;
            std::vector<Vec3> bracket;
            for (float x : {face - sx * 0.01f, face + sx * 0.03f}) {
                bracket.push_back({x, top, z0 + 0.05f});
                bracket.push_back({x, top, z1 - 0.05f});
                bracket.push_back({x, wy, z0 - 0.04f});
                bracket.push_back({x, wy, z1 + 0.04f});
            }
            AddPiece(&m, ConvexHull(bracket, uv), 0);
        }
    }
    // The road wheels.
    for (float z : kRoadWheelsZ) {
        Vec3 c = ToTrack({kIdlerAt.x, kRoadWheelY, z});
        float corner = FacetedRadius(kRoadWheelRadius, 8);
        XMesh wheel = Drum({c.x - 0.1f, c.y, c.z}, {c.x + 0.1f, c.y, c.z}, corner, corner, 8);
        for (Vec3& p : wheel.pos) p = p - c;
        WheelUv(&wheel, kRoadWheelFace, kRoadWheelRadius, kDarkSteel);
        for (Vec3& p : wheel.pos) p = p + c;
        AddPiece(&m, wheel, 1);
    }
    m.materials = {Painted(kCamoFile), Painted(kGearFile)};
    return m;
}
}  // namespace

void BuildFt17(Pack& pack)
{
    pack.Png(kCamoFile, CamoTexture());
    pack.Png(kGearFile, GearTexture());
    pack.X("LAND/FT17_BER/body.x", Hull());
    pack.X("LAND/FT17_BER/top1.x", Turret());
    pack.X("LAND/FT17_BER/top2.x", Gun());
    pack.X("LAND/FT17_BER/wheel.x", Track());
    pack.X("LAND/FT17_BER/wheel3.x", TrackFrame());
    pack.X("LAND/FT17_BER/wheel1.x", Wheel(kSprocketRadius, kWheelHalfWidth, 12, kSprocketFace));
    pack.X("LAND/FT17_BER/wheel2.x", Wheel(kIdlerRadius, kWheelHalfWidth, 14, kIdlerFace));
}

namespace {
const bool kRegistered = RegisterKindBuilder("FT17_BER", BuildFt17);
}  // namespace
