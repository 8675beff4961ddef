// The M2A2 infantry fighting vehicle: a tall boxy hull with a long sloping
// glacis, armoured skirts and a rear ramp, on six road wheels with a front
// sprocket; a faceted two-man turret set right of the hull's centre with a
// slim autocannon and a twin missile launcher box on its left side, all
// under LAND/M2A2/.
//
// Each part is modelled in the frame its matrix in the game places it by
// (+x right, +y up, +z forward; units are world units):
//   body     hull; origin 0.86 above the ground (the ground line is y -0.86);
//            its centre line lies at x -0.125, so the turret ring (on the
//            origin) sits a little right of the hull's middle: x -1.375 to
//            1.125, y -0.45 to 0.72 (hatches and bins to 0.88), z -2.35 to 3.35
//   top1     turret; on the hull at y 1.05, origin on the ring's axis: x
//            -0.9 (the launcher's pivot) to 0.82, y -0.33 to 0.35 (the sight
//            head to 0.5, the hidden basket down to -0.63), z -1.3 (rack) to
//            0.88
//   top2     gun; origin at the trunnions (turret (0, 0.15, 0.65)), the
//            mantlet round it, the barrel along +z to the muzzle at z 1.95
//   top3     missile launcher box; origin on its pivot (turret (-1.05, 0.1,
//            0)), the box x -0.18 to 0.18, its arm reaching +x to the turret
//            wall, the two tubes' mouths at z 0.6
//   wheel1   front sprocket, wheel2 road wheel, wheel3 rear idler: centred
//            on the axle (x), the hub on +x (the left side's are turned half
//            round)
//   wheel    track, one loop drawn for both sides at (0.88, 0.05, 0.5) and
//            (-1.13, 0.05, 0.5); centred on x 0 in its own frame, u along
//            the tread
#include <cmath>

#include "pack.h"
#include "shapes.h"
#include "tank_pictures.h"
#include "tank_shapes.h"

namespace {
const float kPi = 3.14159265f;

const char* const kCamoFile = "LAND/M2A2/M2a2Camo.png";
const char* const kGearFile = "LAND/M2A2/M2a2Gear.png";

// --- the hull's layout -------------------------------------------------------
// The hull is modelled about x 0 and moved to its centre line at the end.
const float kHullCentreX = -0.125f;
const float kDeckY = 0.72f;

// --- running gear (hull frame) ----------------------------------------------
const float kGroundY = -0.86f;
const float kRoadWheelY = -0.51f;
const float kRoadWheelRadius = 0.3f;
const float kTrackThickness = kRoadWheelY - kRoadWheelRadius - kGroundY;  // 0.05
const float kSprocketRadius = 0.25f;
const float kIdlerRadius = 0.26f;
const float kWheelHalfWidth = 0.1f;
const float kTrackHalfWidth = 0.2f;
const Vec3 kTrackOffset = {0.88f, 0.05f, 0.5f};  // the right side's; the left's x is -1.13
const float kTrackDivisor = 800.0f;             // the game scrolls u by the distance driven / this
const TrackWheel kSprocketAt = {-0.2f, 2.9f, kSprocketRadius};
const TrackWheel kIdlerAt = {-0.2f, -1.9f, kIdlerRadius};
const float kRoadWheelsZ[] = {2.1f, 1.45f, 0.8f, 0.0f, -0.65f, -1.3f};

// --- the running-gear picture (512 x 512) ------------------------------------
// Rows 0..127: the track band, one u repeat = 24 links; rows 128..383:
// road-wheel face (left) and sprocket face (right); rows 384..511: grille,
// lamps, glass, dark and bright steel.
Rect Px(float l, float t, float r, float b) { return {l / 512, t / 512, r / 512, b / 512}; }
const float kTrackOuterV0 = 3 / 512.0f, kTrackOuterV1 = 73 / 512.0f;
const float kTrackSideV0 = 80 / 512.0f, kTrackSideV1 = 97 / 512.0f;
const float kTrackInnerV0 = 104 / 512.0f, kTrackInnerV1 = 124 / 512.0f;
const int kLinksPerRepeat = 24;
const Rect kRoadWheelFace = Px(4, 132, 252, 380);
const Rect kSprocketFace = Px(260, 132, 508, 380);
const Rect kRubber = Px(6, 134, 12, 140);
const Rect kGrille = Px(4, 388, 188, 508);
const Rect kAmberLamp = Px(196, 390, 244, 442);
const Rect kRedLamp = Px(196, 452, 244, 506);
const Rect kGlass = Px(252, 390, 308, 442);
const Rect kTubeMouth = Px(252, 452, 308, 506);
const Rect kDarkSteel = Px(320, 392, 400, 504);
const Rect kBrightSteel = Px(410, 392, 506, 504);

// The track band round the wheels: it holds a whole number of picture
// repeats, each the distance a road wheel's rim turns through
// kTrackDivisor degrees.
const TrackBand kTrackBand = {.offsetY = kTrackOffset.y, .offsetZ = kTrackOffset.z, .centreX = 0,
                              .halfWidth = kTrackHalfWidth, .thickness = kTrackThickness, .steps = 16,
                              .repeatDegrees = kTrackDivisor, .repeatRadius = kRoadWheelRadius,
                              .outerV0 = kTrackOuterV0, .outerV1 = kTrackOuterV1, .sideV0 = kTrackSideV0,
                              .sideV1 = kTrackSideV1, .innerV0 = kTrackInnerV0, .innerV1 = kTrackInnerV1};

XMaterial Painted(const char* texture) { return {Rgb(0xECEAE2), 6, Rgb(0x1A1A18), Rgb(0), texture}; }
XMaterial Shaded(const char* texture) { return {Rgb(0xB8B4AA), 4, Rgb(0x101010), Rgb(0), texture}; }

// The camouflage's projection.
UvMap Camo(float uOffset, float vOffset) { return ScaledUv(0.2f, uOffset, vOffset); }

// --- pictures ----------------------------------------------------------------

// Desert tan all over, in soft cloudy shades of lighter sand and dusty
// brown, with bolted armour tiles, dust and oil streaks; tiles both ways.
Canvas CamoTexture()
{
    const int n = 512;
    Canvas c(n, n);
    const RGBA tan = Rgb(0xB09A6C), light = Rgb(0xC6B488), brown = Rgb(0x8C7450);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float fx = x / 128.0f, fy = y / 128.0f;
            float a = Fbm(fx, fy, 4, 6101, 4);
            float b = Fbm(fx + 0.3f, fy + 0.7f, 4, 6102, 4);
            RGBA col = tan;
            col = Mix(col, light, Smooth(0.5f, 0.7f, a) * 0.8f);
            col = Mix(col, brown, Smooth(0.55f, 0.75f, b) * 0.6f);
            float fine = Fbm(x / 6.0f, y / 6.0f, 3, 6104, 86);
            float shade = 0.9f + 0.16f * fine;
            c.At(x, y) = Shaded(col, shade);
        }
    // Armour tiles: a grid of plates, each outlined with a dark seam and a
    // row of bolt heads along its top.
    for (int k = 0; k < 4; ++k) {
        float at = k * 128.0f + 20.0f;
        c.Line(0, at, n, at, 1.6f, Rgb(0x4A3E2A, 0.55f));
        c.Line(0, at + 1.4f, n, at + 1.4f, 1.0f, Rgb(0xE0D4B0, 0.25f));
        c.Line(at + 44, 0, at + 44, n, 1.6f, Rgb(0x4A3E2A, 0.5f));
        c.Line(at + 45.4f, 0, at + 45.4f, n, 1.0f, Rgb(0xE0D4B0, 0.22f));
        for (float b = 8; b < n; b += 16) {
            c.Disc(b, at + 7, 1.8f, Rgb(0x5A4C34, 0.6f));
            c.Disc(b - 0.5f, at + 6.4f, 0.8f, Rgb(0xE8DCB8, 0.4f));
        }
    }
    // Oil and dirt streaks running down.
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float streak = Smooth(0.62f, 0.85f, Fbm(x / 5.0f, y / 70.0f, 3, 6105, 0)) * 0.25f;
            c.At(x, y) = Mix(c.At(x, y), Rgb(0x5C4C34), streak);
        }
    return c;
}

// The track band: double-pin links with rubber pads, 24 to the repeat.
void PaintTrack(Canvas* c)
{
    const RGBA pad = Rgb(0x2A2927), steel = Rgb(0x5A5850), darkSteel = Rgb(0x3A3935), gap = Rgb(0x1A1A18);
    const RGBA dust = Rgb(0x8A7A5A);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 512; ++x) {
            float lx = std::fmod(x * kLinksPerRepeat / 512.0f, 1.0f) * 64;
            RGBA col = darkSteel;
            if (y < 77) {
                float ay = std::fabs(y - 38.0f);
                col = pad;
                if (ay > 32) col = steel;  // end connectors
                if (ay < 4) col = steel;   // centre guide
                if (lx < 8 || lx > 56) col = Mix(steel, pad, 0.2f);  // the two pins' bushings
                if (lx < 2 || lx > 62) col = gap;
            } else if (y < 101) {
                col = darkSteel;
                if (lx < 10 || lx > 54) col = Mix(steel, Rgb(0x8A887C), 0.4f);
                if (lx < 2 || lx > 62) col = gap;
            } else {
                if (std::fabs(y - 114.0f) < 6 && lx > 16 && lx < 48) col = steel;
                if (lx < 2 || lx > 62) col = gap;
            }
            float grime = Fbm(x / 16.0f, y / 16.0f, 3, 6131, 32);
            col = Mix(col, dust, Smooth(0.45f, 0.8f, grime) * 0.4f);
            float shade = 0.9f + 0.15f * Hash01(x, y, 6132);
            c->At(x, y) = Shaded(col, shade);
        }
}

// A wheel face: for a road wheel a rubber tyre on a spoked tan disc, for
// the sprocket a ring of teeth round a holed disc.
void PaintWheel(Canvas* c, const Rect& r, bool sprocket)
{
    const RGBA rubber = Rgb(0x2A2926), disc = Rgb(0x9C8862), hub = Rgb(0x6E6048), steel = Rgb(0x4E4C44);
    PaintRoundFace(c, r, 512, 4, {0, 128, 512, 384}, [&](const FacePoint& p) {
        RGBA col;
        if (!sprocket) {
            if (p.d > 0.8f) col = rubber;
            else if (p.d > 0.28f) {
                col = Mix(disc, Mix(disc, Rgb(0x201808), 0.35f), Smooth(0.5f, 0.8f, p.d));
                for (int k = 0; k < 6; ++k) {  // lightening holes between the spokes
                    float ha = k * kPi / 3 + 0.5f;
                    if (p.Near(ha, 0.54f, 0.12f)) col = Rgb(0x1E1C16);
                }
            } else col = hub;
        } else {
            float tooth = std::cos(p.ang * 11);
            if (p.d > 0.82f) col = tooth > 0.0f ? steel : Rgb(0x24231F);
            else if (p.d > 0.3f) {
                col = Mix(disc, Rgb(0x40382A), 0.3f);
                if (std::fabs(p.d - 0.62f) < 0.03f) col = Rgb(0x3A3428);
            } else col = hub;
        }
        for (int k = 0; k < 8; ++k) {
            float ba = k * kPi / 4 + 0.2f, bx = std::cos(ba) * 0.19f * p.rad, by = std::sin(ba) * 0.19f * p.rad;
            float bd = std::hypot(p.dx - bx, p.dy - by);
            if (bd < 0.035f * p.rad) col = Mix(Rgb(0x8C8470), Rgb(0x3A3428), Clamp01(bd / (0.035f * p.rad)));
        }
        if (p.d < 0.09f) col = Mix(hub, Rgb(0x9A9078), 0.3f);
        float grime = Fbm(p.x / 12.0f, p.y / 12.0f, 3, sprocket ? 6142 : 6141);
        col = Mix(col, Rgb(0x7A6A4C), Smooth(0.5f, 0.8f, grime) * 0.4f);
        float shade = 0.9f + 0.15f * Hash01(p.x, p.y, 6143);
        return Shaded(col, shade);
    });
}

Canvas GearTexture()
{
    Canvas c(512, 512, Rgb(0x33342D));
    PaintTrack(&c);
    for (int y = 128; y < 384; ++y)
        for (int x = 0; x < 512; ++x) c.At(x, y) = Rgb(0x2A2926);
    PaintWheel(&c, kRoadWheelFace, false);
    PaintWheel(&c, kSprocketFace, true);
    FillGrain(&c, {0, 384, 512, 512}, Rgb(0x34332C), Rgb(0x4C4A42), 10.0f, 6151);
    // Grille: a tan frame round dark louvres.
    PaintGrille(&c, {0, 384, 192, 512, 10, 394, 14, Rgb(0x9C8A64), Rgb(0x1E1C16), Rgb(0x6A5E44)});
    const LampStyle style = {.inset = 5, .corner = 7, .glintX = 15, .glintY = 14, .glintRadius = 4};
    auto lamp = [&](const Rect& r, RGBA lens) { PaintLamp(&c, r, 512, Rgb(0x26241E), lens, style); };
    lamp(kAmberLamp, Rgb(0xE0A028));
    lamp(kRedLamp, Rgb(0xB82418));
    lamp(kGlass, Rgb(0x2C4450));
    // A missile tube's mouth: a tan rim round a dark cap with a bright seal.
    {
        float l = kTubeMouth.u0 * 512, t = kTubeMouth.v0 * 512, rr = kTubeMouth.u1 * 512, b = kTubeMouth.v1 * 512;
        c.FillRect(l, t, rr, b, Rgb(0x9C8A64));
        c.Disc((l + rr) / 2, (t + b) / 2, (rr - l) / 2 - 3, Rgb(0x2A2620), 1.5f);
        c.Ring((l + rr) / 2, (t + b) / 2, (rr - l) / 2 - 8, 2, Rgb(0xB8A070, 0.8f));
    }
    FillSpeckled(&c, {410, 392, 506, 504}, Rgb(0x6E6C64), Rgb(0x8E8C82), 6152);
    return c;
}

// --- meshes --------------------------------------------------------------------

// The hull, modelled about x 0: the upper hull over the full width with a
// long glacis from the nose to the roof, the lower hull between the tracks,
// armoured skirts down the sides, a trim vane on the glacis, the driver's
// hatch front left, the engine grille front right, the ramp at the back.
// Then moved so its centre line is at kHullCentreX and the turret ring
// (drawn at the hull's origin) sits right of the middle.
XMesh Hull()
{
    XMesh m;
    const UvMap uv = Camo(0.1f, 0.3f);
    AddPiece(&m,
             ExtrudeX({{0.12f, -2.25f}, {0.12f, 3.22f}, {0.3f, 3.32f}, {kDeckY, 1.7f}, {kDeckY, -2.2f}, {0.62f, -2.27f}},
                      -1.23f, 1.23f, 0.03f, uv),
             0);
    AddPiece(&m, ExtrudeX({{-0.45f, -2.2f}, {-0.45f, 2.75f}, {0.12f, 3.35f}, {0.12f, -2.25f}}, -0.76f, 0.76f, 0.02f, uv),
             1);
    // The turret ring riser, at the hull's origin.
    AddPiece(&m, Drum({-kHullCentreX, kDeckY - 0.05f, 0}, {-kHullCentreX, kDeckY + 0.1f, 0}, 0.7f, 0.7f, 12, uv), 0);
    // Armoured skirts: a long plate on each side down over the wheels' tops,
    // raked at the front.
    AddPair(&m,
            ExtrudeX({{0.14f, -2.22f}, {0.14f, 2.95f}, {-0.12f, 2.75f}, {-0.38f, 2.3f}, {-0.38f, -2.15f}, {-0.3f, -2.22f}},
                     1.2f, 1.25f, 0.008f, Camo(0.37f, 0.12f)),
            0);
    // The trim vane: a flat panel lying on the glacis.
    {
        const float z0 = 2.2f, z1 = 3.12f;
        auto glacisY = [](float z) { return 0.3f + (kDeckY - 0.3f) * (3.32f - z) / (3.32f - 1.7f); };
        std::vector<Vec3> vane;
        for (float x : {-1.0f, 1.0f})
            for (float z : {z0, z1})
                for (float t : {0.0f, 0.05f}) vane.push_back({x, glacisY(z) + t, z + t * 0.2f});
        AddPiece(&m, ConvexHull(vane, Camo(0.3f, 0.8f)), 0);
    }
    // Driver's hatch with its periscopes, front left of the roof.
    AddPiece(&m, ChamferedBox({-0.85f, kDeckY - 0.02f, 1.2f}, {-0.4f, kDeckY + 0.1f, 1.62f}, 0.03f, uv), 0);
    AddPiece(&m, Detail(ChamferedBox({-0.8f, kDeckY + 0.03f, 1.615f}, {-0.45f, kDeckY + 0.08f, 1.63f}, 0), 2, kGlass),
             2);
    AddPiece(&m, Drum({-0.62f, kDeckY + 0.08f, 1.38f}, {-0.62f, kDeckY + 0.12f, 1.38f}, 0.17f, 0.15f, 8, uv), 0);
    // Engine grille on the glacis' right, the exhaust outlet beside it.
    {
        std::vector<Vec3> grille;
        auto glacisY = [](float z) { return 0.3f + (kDeckY - 0.3f) * (3.32f - z) / (3.32f - 1.7f); };
        for (float x : {0.3f, 0.95f})
            for (float z : {1.78f, 2.12f})
                for (float t : {0.0f, 0.02f}) grille.push_back({x, glacisY(z) + t, z});
        AddPiece(&m, Detail(ConvexHull(grille), 1, kGrille), 2);
    }
    AddPiece(&m, Detail(ChamferedBox({1.05f, 0.3f, 1.5f}, {1.24f, 0.5f, 1.9f}, 0.02f), 0, kGrille), 2);
    // The ramp on the tail: a raised door with a hinge bar across its foot.
    AddPiece(&m, ChamferedBox({-0.6f, -0.3f, -2.32f}, {0.6f, 0.6f, -2.22f}, 0.03f, Camo(0.7f, 0.2f)), 0);
    AddPiece(&m, Detail(Drum({-0.62f, -0.33f, -2.3f}, {0.62f, -0.33f, -2.3f}, 0.05f, 0.05f, 6), 0, kDarkSteel), 2);
    // Lamps and tow points.
    AddPair(&m, ChamferedBox({0.92f, 0.16f, 3.05f}, {1.12f, 0.3f, 3.22f}, 0.02f, uv), 0);
    AddPair(&m, Detail(ChamferedBox({0.95f, 0.19f, 3.215f}, {1.09f, 0.27f, 3.228f}, 0), 2, kAmberLamp), 2);
    AddPair(&m, Detail(ChamferedBox({0.9f, 0.45f, -2.3f}, {1.08f, 0.58f, -2.26f}, 0), 2, kRedLamp), 2);
    AddPair(&m, Detail(ChamferedBox({0.45f, -0.25f, 2.95f}, {0.58f, -0.1f, 3.12f}, 0.02f), 0, kDarkSteel), 2);
    // Stowage boxes on the rear corners of the roof.
    AddPair(&m, ChamferedBox({0.75f, kDeckY - 0.02f, -2.15f}, {1.15f, kDeckY + 0.16f, -1.45f}, 0.03f, uv), 0);
    TransformMesh(&m, MatTranslation(kHullCentreX, 0, 0));
    m.materials = {Painted(kCamoFile), Shaded(kCamoFile), Painted(kGearFile)};
    return m;
}

// The turret: faceted walls leaning in to a flat roof, a blunt wedge of a
// front round the gun's opening, the launcher's pivot block on the left
// wall, the commander's hatch and the gunner's sight head, smoke
// dischargers on the front corners, a rack at the back; a basket below the
// ring, hidden in the hull.
XMesh Turret()
{
    XMesh m;
    const UvMap uv = Camo(0.37f, 0.71f);
    std::vector<Vec3> body;
    for (float s : {-1.0f, 1.0f}) {
        body.push_back({0.78f * s, -0.33f, 0.5f});
        body.push_back({0.78f * s, -0.33f, -0.95f});
        body.push_back({0.82f * s, 0.12f, 0.55f});
        body.push_back({0.82f * s, 0.12f, -1.0f});
        body.push_back({0.66f * s, 0.35f, 0.4f});
        body.push_back({0.66f * s, 0.35f, -0.9f});
        body.push_back({0.4f * s, -0.33f, 0.82f});
        body.push_back({0.42f * s, 0.22f, 0.88f});
        body.push_back({0.34f * s, 0.35f, 0.66f});
    }
    AddPiece(&m, ConvexHull(body, uv), 0);
    // The launcher's pivot on the left wall.
    AddPiece(&m, Drum({-0.8f, 0.1f, 0}, {-0.9f, 0.1f, 0}, 0.12f, 0.1f, 8, uv), 0);
    AddPiece(&m, ChamferedBox({-0.86f, -0.1f, -0.3f}, {-0.78f, 0.2f, 0.3f}, 0.02f, uv), 0);
    // Commander's hatch at the back right, the gunner's sight head front left.
    AddPiece(&m, Drum({0.34f, 0.34f, -0.45f}, {0.34f, 0.4f, -0.45f}, 0.24f, 0.21f, 10, uv), 0);
    AddPiece(&m, ChamferedBox({-0.5f, 0.33f, 0.15f}, {-0.22f, 0.5f, 0.46f}, 0.03f, uv), 0);
    AddPiece(&m, Detail(ChamferedBox({-0.47f, 0.37f, 0.455f}, {-0.25f, 0.46f, 0.465f}, 0), 2, kGlass), 1);
    // Periscopes round the commander's hatch.
    for (int k = 0; k < 4; ++k) {
        float a = -0.6f + k * 0.4f;
        float x = 0.34f + 0.3f * std::sin(a), z = -0.45f + 0.3f * std::cos(a);
        AddPiece(&m, Detail(ChamferedBox({x - 0.05f, 0.33f, z - 0.03f}, {x + 0.05f, 0.4f, z + 0.03f}, 0.01f), 2, kGlass),
                 1);
    }
    // Smoke dischargers, four to a side, on the front corners.
    for (float s : {-1.0f, 1.0f})
        for (int k = 0; k < 4; ++k) {
            float y = 0.02f + 0.06f * (k % 2), z = 0.42f + 0.09f * (k / 2);
            AddPiece(&m,
                     Detail(Drum({0.62f * s, y, z}, {0.74f * s, y + 0.1f, z + 0.1f}, 0.035f, 0.035f, 5), 0, kDarkSteel),
                     1);
        }
    // Rack across the back and the basket below the ring.
    AddPiece(&m, Detail(ChamferedBox({-0.7f, -0.22f, -1.3f}, {0.7f, 0.18f, -0.96f}, 0.02f), 2, kGrille), 1);
    AddPiece(&m, Drum({0, -0.33f, 0}, {0, -0.33f - 0.3f, 0}, 0.62f, 0.5f, 8, uv), 0);
    m.materials = {Painted(kCamoFile), Painted(kGearFile)};
    return m;
}

// The autocannon: a squat mantlet round the trunnions, the coaxial gun's
// port beside it, a thick recoil sleeve and the long slim barrel with its
// flash hider.  The barrel is a subset of its own so the reduced copy keeps it.
XMesh Gun()
{
    XMesh m;
    const UvMap uv = Camo(0.6f, 0.2f);
    AddPiece(&m, ChamferedBox({-0.22f, -0.15f, -0.15f}, {0.22f, 0.13f, 0.25f}, 0.04f, uv), 0);
    AddPiece(&m, Drum({0, 0, 0.22f}, {0, 0, 0.55f}, 0.07f, 0.06f, 8, uv), 0);
    AddPiece(&m, Detail(Drum({0, 0, 0.5f}, {0, 0, 1.82f}, 0.034f, 0.03f, 8), 0, kDarkSteel), 1);
    AddPiece(&m, Detail(Drum({0, 0, 1.8f}, {0, 0, 1.95f}, 0.03f, 0.048f, 8), 0, kDarkSteel), 2);
    AddPiece(&m, Detail(Drum({0.15f, -0.03f, 0.2f}, {0.15f, -0.03f, 0.36f}, 0.02f, 0.02f, 5), 0, kDarkSteel), 2);
    m.materials = {Painted(kCamoFile), Painted(kGearFile), Painted(kGearFile)};
    return m;
}

// The launcher: a box holding two missile tubes side by side, their mouths
// in its front, armoured doors lining its top, a short arm on its inner
// (+x) side to the turret's pivot.
XMesh Launcher()
{
    XMesh m;
    const UvMap uv = Camo(0.83f, 0.45f);
    AddPiece(&m, ChamferedBox({-0.18f, -0.15f, -0.55f}, {0.18f, 0.15f, 0.6f}, 0.03f, uv), 0);
    AddPiece(&m, ChamferedBox({-0.16f, 0.14f, -0.5f}, {0.16f, 0.19f, 0.45f}, 0.02f, uv), 0);
    for (float x : {-0.085f, 0.085f})
        AddPiece(&m, Detail(Drum({x, 0, 0.59f}, {x, 0, 0.62f}, 0.075f, 0.075f, 8), 2, kTubeMouth), 1);
    AddPiece(&m, ChamferedBox({0.17f, -0.07f, -0.22f}, {0.26f, 0.07f, 0.22f}, 0.015f, uv), 0);
    m.materials = {Painted(kCamoFile), Painted(kGearFile)};
    return m;
}

// A wheel centred on its axle (x), a hub on its outer (+x) face when
// hubRadius > 0.
XMesh Wheel(float radius, float hubRadius, int sides, const Rect& face)
{
    return FacetedWheel({.radius = radius, .halfWidth = kWheelHalfWidth, .sides = sides, .face = face, .tread = kRubber,
                         .hubRadius = hubRadius, .hubTipRadius = hubRadius * 0.7f, .hubLength = 0.035f,
                         .hubRim = kDarkSteel},
                        Painted(kGearFile));
}

// The track, one loop round the sprocket, the idler and the road wheels.
XMesh Track()
{
    std::vector<TrackWheel> wheels = {kSprocketAt, kIdlerAt};
    for (float z : kRoadWheelsZ) wheels.push_back({kRoadWheelY, z, kRoadWheelRadius});
    return TrackLoop(wheels, kTrackBand, Painted(kGearFile));
}
}  // namespace

void BuildM2a2(Pack& pack)
{
    pack.Png(kCamoFile, CamoTexture());
    pack.Png(kGearFile, GearTexture());

    pack.X("LAND/M2A2/body.x", Hull());
    pack.X("LAND/M2A2/top1.x", Turret());
    pack.X("LAND/M2A2/top2.x", Gun());
    pack.X("LAND/M2A2/top3.x", Launcher());
    pack.X("LAND/M2A2/wheel.x", Track());
    pack.X("LAND/M2A2/wheel1.x", Wheel(kSprocketRadius, 0.08f, 14, kSprocketFace));
    pack.X("LAND/M2A2/wheel2.x", Wheel(kRoadWheelRadius, 0, 12, kRoadWheelFace));
    pack.X("LAND/M2A2/wheel3.x", Wheel(kIdlerRadius, 0.08f, 12, kRoadWheelFace));
}

namespace {
const bool kRegistered = RegisterKindBuilder("M2A2", BuildM2a2);
}  // namespace
