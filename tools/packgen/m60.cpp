// The M60 main battle tank of the Cold War: a long hull with a rounded cast
// nose, stowage bins on the fenders, six road wheels with return rollers;
// a big rounded cast turret with a narrow nose and a long gun under a
// searchlight; the commander's cupola with its own machine gun, all under
// LAND/M60/.
//
// Each part is modelled in the frame its matrix in the game places it by
// (+x right, +y up, +z forward; units are world units):
//   body     hull; origin 0.91 above the ground (the ground line is y -0.91):
//            x -1.38 to 1.38 over the fenders, y -0.5 to 0.42 (the ring
//            riser to 0.5), z -3.1 to 2.56
//   top1     turret; on the hull at y 0.75, origin on the ring's axis: x
//            +-0.99, y -0.33 to 0.43 (the wind sensor to 0.62, the hidden basket
//            down to -0.63), z -1.78 (bustle rack) to 1.42 (nose)
//   top2     gun; origin at the trunnions (turret (0, -0.2, 1.15)), the
//            shield round them, the searchlight above, the muzzle at z 3.15
//   top3     commander's cupola, fixed to the turret at (-0.35, 0.4, -0.5):
//            origin on its axis at the roof; a drum of radius 0.3 up to y
//            0.27, the machine gun's cradle reaching forward to z 0.45
//   top4     the cupola's machine gun: origin on its pivot (cupola (-0.2,
//            0.2, 0.45)), the barrel along +z to z 0.7
//   wheel1   return roller, wheel2 road wheel, wheel3 rear sprocket, wheel4
//            front idler: centred on the axle (x), the hub on +x (the left
//            side's are turned half round)
//   wheel0   track, one loop drawn for both sides at (+-1.1, -0.38, -0.48);
//            u runs along the tread
#include <cmath>

#include "pack.h"
#include "shapes.h"
#include "tank_pictures.h"
#include "tank_shapes.h"

namespace {
const float kPi = 3.14159265f;

const char* const kCamoFile = "LAND/M60/M60Camo.png";
const char* const kGearFile = "LAND/M60/M60Gear.png";

// --- running gear (hull frame) ----------------------------------------------
const float kGroundY = -0.91f;
const float kRoadWheelY = -0.56f;
const float kRoadWheelRadius = 0.3f;
const float kTrackThickness = kRoadWheelY - kRoadWheelRadius - kGroundY;  // 0.05
const float kRollerRadius = 0.08f;
const float kSprocketRadius = 0.24f;  // its top, the idler's and the rollers' all at y 0.08
const float kIdlerRadius = 0.22f;
const float kWheelHalfWidth = 0.11f;
const float kTrackHalfWidth = 0.23f;
const Vec3 kTrackOffset = {1.1f, -0.38f, -0.48f};
const float kTrackDivisor = 800.0f;  // the game scrolls u by the distance driven / this
const TrackWheel kSprocketAt = {-0.16f, -2.78f, kSprocketRadius};
const TrackWheel kIdlerAt = {-0.14f, 1.82f, kIdlerRadius};
const float kRoadWheelsZ[] = {-0.05f, 0.58f, 1.26f, -0.75f, -1.46f, -2.15f};
const float kRollersZ[] = {-0.4f, 1.0f, -1.7f};

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
const Rect kLampGlass = Px(252, 452, 308, 506);
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

// The camouflage's projection.
UvMap Camo(float uOffset, float vOffset) { return ScaledUv(0.2f, uOffset, vOffset); }

// --- pictures ----------------------------------------------------------------

// Olive drab all over, faded and uneven: sun-bleached lighter clouds,
// darker weathered patches, the rough grain of cast armour, weld seams and
// rust-brown grime; tiles both ways.
Canvas CamoTexture()
{
    const int n = 512;
    Canvas c(n, n);
    const RGBA drab = Rgb(0x4F5530), faded = Rgb(0x666A42), dark = Rgb(0x393E24), rust = Rgb(0x5A4630);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float fx = x / 128.0f, fy = y / 128.0f;
            float a = Fbm(fx, fy, 4, 7101, 4);
            float b = Fbm(fx + 0.6f, fy + 0.2f, 4, 7102, 4);
            RGBA col = drab;
            col = Mix(col, faded, Smooth(0.5f, 0.72f, a) * 0.7f);
            col = Mix(col, dark, Smooth(0.55f, 0.72f, b) * 0.6f);
            // Cast armour's pitted grain.
            float grain = Fbm(x / 3.0f, y / 3.0f, 2, 7103, 171);
            float fine = Fbm(x / 9.0f, y / 9.0f, 3, 7104, 57);
            float shade = 0.86f + 0.14f * fine + 0.1f * grain;
            c.At(x, y) = Shaded(col, shade);
        }
    // Weld seams and a few bolt rows.
    for (int k = 0; k < 2; ++k) {
        float at = k * 256.0f + 70.0f;
        c.Line(0, at, n, at, 2.0f, Rgb(0x2E3220, 0.5f));
        c.Line(0, at + 1.6f, n, at + 1.6f, 1.0f, Rgb(0x9A9C78, 0.2f));
        c.Line(at + 60, 0, at + 60, n, 2.0f, Rgb(0x2E3220, 0.45f));
        for (float b = 6; b < n; b += 18) c.Disc(b, at + 8, 1.6f, Rgb(0x2C3020, 0.55f));
    }
    // Rust-brown grime and dust collecting low.
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float grime = Smooth(0.6f, 0.85f, Fbm(x / 10.0f, y / 40.0f, 3, 7105, 0)) * 0.3f;
            c.At(x, y) = Mix(c.At(x, y), rust, grime);
        }
    return c;
}

// The track band: rubber-padded double-pin links with end connectors and
// a centre guide, 24 to the repeat.
void PaintTrack(Canvas* c)
{
    const RGBA pad = Rgb(0x2B2A27), steel = Rgb(0x57554D), darkSteel = Rgb(0x393835), gap = Rgb(0x191917);
    const RGBA mud = Rgb(0x5C4E38);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 512; ++x) {
            float lx = std::fmod(x * kLinksPerRepeat / 512.0f, 1.0f) * 64;
            RGBA col = darkSteel;
            if (y < 77) {
                float ay = std::fabs(y - 38.0f);
                col = pad;
                if (ay > 30) col = steel;
                if (ay < 5) col = Mix(steel, darkSteel, 0.5f);
                if ((lx < 10 || lx > 54) && ay <= 30) col = Mix(steel, pad, 0.5f);
                if (lx < 2 || lx > 62) col = gap;
            } else if (y < 101) {
                col = (lx > 10 && lx < 54) ? darkSteel : Mix(steel, Rgb(0x8A887C), 0.35f);
                if (lx < 2 || lx > 62) col = gap;
            } else {
                if (std::fabs(y - 114.0f) < 6 && lx > 20 && lx < 44) col = steel;
                if (lx < 2 || lx > 62) col = gap;
            }
            float grime = Fbm(x / 16.0f, y / 16.0f, 3, 7131, 32);
            col = Mix(col, mud, Smooth(0.45f, 0.8f, grime) * 0.45f);
            float shade = 0.9f + 0.15f * Hash01(x, y, 7132);
            c->At(x, y) = Shaded(col, shade);
        }
}

// A wheel face: a road wheel's rubber tyre on a plain dished drab disc
// with a big hub cap, or the sprocket's ring of teeth round a holed disc.
void PaintWheel(Canvas* c, const Rect& r, bool sprocket)
{
    const RGBA rubber = Rgb(0x292825), disc = Rgb(0x4C5230), hub = Rgb(0x3C4026), steel = Rgb(0x4A4942);
    PaintRoundFace(c, r, 512, 4, {0, 128, 512, 384}, [&](const FacePoint& p) {
        RGBA col;
        if (!sprocket) {
            if (p.d > 0.84f) col = rubber;
            else if (p.d > 0.36f) col = Mix(disc, Mix(disc, Rgb(0x101008), 0.4f), Smooth(0.45f, 0.84f, p.d));
            else col = Mix(hub, Rgb(0x5A5E40), Smooth(0.36f, 0.0f, p.d) * 0.5f);  // the domed cap
        } else {
            float tooth = std::cos(p.ang * 13);
            if (p.d > 0.84f) col = tooth > 0.1f ? steel : Rgb(0x23221E);
            else if (p.d > 0.3f) {
                col = disc;
                for (int k = 0; k < 6; ++k) {
                    float ha = k * kPi / 3;
                    if (p.Near(ha, 0.58f, 0.14f)) col = Rgb(0x1C1D16);
                }
            } else col = hub;
        }
        for (int k = 0; k < 10; ++k) {
            float ba = k * kPi / 5, bx = std::cos(ba) * 0.3f * p.rad, by = std::sin(ba) * 0.3f * p.rad;
            float bd = std::hypot(p.dx - bx, p.dy - by);
            if (bd < 0.03f * p.rad) col = Mix(Rgb(0x7C7C66), Rgb(0x2A2A22), Clamp01(bd / (0.03f * p.rad)));
        }
        float grime = Fbm(p.x / 12.0f, p.y / 12.0f, 3, sprocket ? 7142 : 7141);
        col = Mix(col, Rgb(0x5C4E38), Smooth(0.5f, 0.8f, grime) * 0.45f);
        float shade = 0.9f + 0.15f * Hash01(p.x, p.y, 7143);
        return Shaded(col, shade);
    });
}

Canvas GearTexture()
{
    Canvas c(512, 512, Rgb(0x33342D));
    PaintTrack(&c);
    for (int y = 128; y < 384; ++y)
        for (int x = 0; x < 512; ++x) c.At(x, y) = Rgb(0x292825);
    PaintWheel(&c, kRoadWheelFace, false);
    PaintWheel(&c, kSprocketFace, true);
    FillGrain(&c, {0, 384, 512, 512}, Rgb(0x32332C), Rgb(0x4A4A42), 10.0f, 7151);
    // Grille: a drab frame round dark louvres.
    PaintGrille(&c, {0, 384, 192, 512, 10, 394, 14, Rgb(0x4C5230), Rgb(0x1A1B16), Rgb(0x5A5C48)});
    const LampStyle style = {.inset = 5, .corner = 7, .glintX = 15, .glintY = 14, .glintRadius = 4};
    auto lamp = [&](const Rect& r, RGBA lens) { PaintLamp(&c, r, 512, Rgb(0x25261F), lens, style); };
    lamp(kAmberLamp, Rgb(0xE0A028));
    lamp(kRedLamp, Rgb(0xB82418));
    lamp(kGlass, Rgb(0x2A4250));
    // The searchlight's face: a big round lens with a bright glint.
    {
        float l = kLampGlass.u0 * 512, t = kLampGlass.v0 * 512, rr = kLampGlass.u1 * 512, b = kLampGlass.v1 * 512;
        c.FillRect(l, t, rr, b, Rgb(0x3A3E26));
        c.Disc((l + rr) / 2, (t + b) / 2, (rr - l) / 2 - 4, Rgb(0x5C6A74), 1.5f);
        c.Disc((l + rr) / 2 - 6, (t + b) / 2 - 6, 6, Rgb(0xF0F4E8, 0.8f), 4);
    }
    FillSpeckled(&c, {410, 392, 506, 504}, Rgb(0x6E6C64), Rgb(0x8E8C82), 7152);
    return c;
}

// --- meshes --------------------------------------------------------------------

// The hull: a boat-shaped body between the tracks with a rounded cast nose
// and a long upper glacis; flat fenders over the tracks carrying stowage
// bins; the driver's hatch on the centre line; the engine deck's grilles and
// the rear grille doors; head lamp clusters with their guards.
XMesh Hull()
{
    XMesh m;
    const UvMap uv = Camo(0.1f, 0.3f);
    AddPiece(&m,
             ExtrudeX({{-0.5f, -2.9f}, {-0.5f, 1.85f}, {-0.3f, 2.28f}, {-0.05f, 2.47f}, {0.15f, 2.52f}, {0.42f, 1.62f},
                       {0.42f, -2.85f}, {0.3f, -3.0f}, {-0.3f, -3.0f}},
                      -0.86f, 0.86f, 0.06f, uv),
             0);
    // Fenders over the tracks, full length, the front ends tilted up.
    AddPair(&m, ChamferedBox({0.86f, 0.15f, -3.08f}, {1.38f, 0.19f, 1.9f}, 0.01f, uv), 0);
    AddPair(&m,
            ConvexHull({{0.86f, 0.15f, 1.88f}, {1.38f, 0.15f, 1.88f}, {0.86f, 0.19f, 1.88f}, {1.38f, 0.19f, 1.88f},
                        {0.86f, 0.24f, 2.36f}, {1.38f, 0.24f, 2.36f}, {0.86f, 0.28f, 2.36f}, {1.38f, 0.28f, 2.36f}},
                       uv),
            0);
    // Stowage bins along the fenders.
    for (float z0 : {-2.85f, -1.25f, 0.2f}) {
        float z1 = z0 + (z0 > 0 ? 1.0f : 1.35f);
        AddPair(&m, ChamferedBox({0.88f, 0.19f, z0}, {1.34f, 0.42f, z1}, 0.03f, Camo(0.37f, 0.12f)), 0);
    }
    // The turret ring riser.
    AddPiece(&m, Drum({0, 0.38f, 0}, {0, 0.5f, 0}, 0.78f, 0.78f, 12, uv), 0);
    // Driver's hatch and periscopes on the centre line ahead of the turret.
    AddPiece(&m, Drum({0, 0.4f, 1.3f}, {0, 0.47f, 1.3f}, 0.22f, 0.2f, 8, uv), 0);
    AddPiece(&m, Detail(ChamferedBox({-0.2f, 0.42f, 1.5f}, {0.2f, 0.5f, 1.56f}, 0.01f), 2, kGlass), 1);
    // Engine deck grilles and the rear grille doors.
    for (float x : {-0.42f, 0.42f})
        AddPiece(&m, Detail(ChamferedBox({x - 0.36f, 0.42f, -2.75f}, {x + 0.36f, 0.45f, -1.35f}, 0), 1, kGrille), 1);
    AddPiece(&m, Detail(ChamferedBox({-0.75f, -0.15f, -3.06f}, {0.75f, 0.32f, -2.98f}, 0.015f), 2, kGrille), 1);
    // Head lamp clusters on the front fenders inside guards, tail lamps.
    for (float s : {-1.0f, 1.0f}) {
        AddPiece(&m, ChamferedBox({0.98f * s - 0.1f, 0.3f, 2.08f}, {0.98f * s + 0.1f, 0.44f, 2.22f}, 0.02f, uv), 0);
        AddPiece(&m, Detail(ChamferedBox({0.98f * s - 0.07f, 0.32f, 2.215f}, {0.98f * s + 0.07f, 0.42f, 2.228f}, 0), 2,
                            kAmberLamp),
                 1);
        AddPiece(&m, Detail(Drum({0.98f * s, 0.46f, 2.1f}, {0.98f * s, 0.46f, 2.3f}, 0.018f, 0.018f, 4), 0, kDarkSteel), 1);
        AddPiece(&m,
                 Detail(ChamferedBox({1.0f * s - 0.08f, 0.24f, -3.1f}, {1.0f * s + 0.08f, 0.34f, -3.07f}, 0), 2, kRedLamp),
                 1);
    }
    // Tow eyes on the nose.
    AddPair(&m, Detail(ChamferedBox({0.4f, -0.12f, 2.38f}, {0.52f, 0.02f, 2.56f}, 0.02f), 0, kDarkSteel), 1);
    m.materials = {Painted(kCamoFile), Painted(kGearFile)};
    return m;
}

// The turret: a rounded casting, narrow at the nose and broad behind,
// built from stacked outlines; a bustle rack behind; the loader's hatch,
// the gunner's sight dome, smoke dischargers on the cheeks, a wind sensor;
// a basket below the ring, hidden in the hull.
XMesh Turret()
{
    XMesh m;
    const UvMap uv = Camo(0.37f, 0.71f);
    // Half the outline seen from above, nose to tail, (x, z).
    const P2 plan[] = {{0.3f, 1.42f}, {0.62f, 0.95f}, {0.86f, 0.3f}, {0.95f, -0.4f}, {0.92f, -1.0f}, {0.72f, -1.38f}};
    // The outline's scale and its z shift at each height: the casting
    // rounds over toward the roof.
    const struct { float y, scale, dz; } rings[] = {
        {-0.33f, 0.96f, 0.0f}, {0.05f, 1.0f, 0.0f}, {0.3f, 0.9f, -0.06f}, {0.43f, 0.68f, -0.14f}};
    std::vector<Vec3> body;
    for (const auto& ring : rings)
        for (P2 p : plan)
            for (float s : {-1.0f, 1.0f}) body.push_back({p.a * ring.scale * s, ring.y, p.b * ring.scale + ring.dz});
    AddPiece(&m, ConvexHull(body, uv), 0);
    // The bustle rack across the back.
    AddPiece(&m, Detail(ChamferedBox({-0.78f, -0.12f, -1.78f}, {0.78f, 0.24f, -1.3f}, 0.02f), 2, kGrille), 1);
    // Loader's hatch on the right, the gunner's sight dome ahead of it.
    AddPiece(&m, ChamferedBox({0.2f, 0.4f, -0.7f}, {0.62f, 0.46f, -0.2f}, 0.02f, uv), 0);
    AddPiece(&m, Drum({0.42f, 0.36f, 0.35f}, {0.42f, 0.5f, 0.35f}, 0.12f, 0.08f, 8, uv), 0);
    AddPiece(&m, Detail(ChamferedBox({0.36f, 0.41f, 0.45f}, {0.48f, 0.47f, 0.47f}, 0), 2, kGlass), 1);
    // Smoke dischargers on both cheeks.
    for (float s : {-1.0f, 1.0f})
        for (int k = 0; k < 3; ++k) {
            float z = 0.35f + 0.12f * k;
            AddPiece(&m,
                     Detail(Drum({0.82f * s, 0.14f, z}, {0.96f * s, 0.24f, z + 0.08f}, 0.04f, 0.04f, 5), 0, kDarkSteel),
                     1);
        }
    // Wind sensor mast at the back.
    AddPiece(&m, Detail(Drum({0.1f, 0.38f, -1.1f}, {0.1f, 0.62f, -1.1f}, 0.015f, 0.015f, 4), 0, kDarkSteel), 1);
    // The basket below the ring.
    AddPiece(&m, Drum({0, -0.33f, 0}, {0, -0.63f, 0}, 0.74f, 0.6f, 8, uv), 0);
    m.materials = {Painted(kCamoFile), Painted(kGearFile)};
    return m;
}

// The gun: a rounded shield over the trunnions, the big searchlight above
// it, a long tube with the fume extractor two thirds of the way out and a
// plain muzzle at z 3.15.  The tube is a subset of its own so the reduced
// copy keeps it.
XMesh Gun()
{
    XMesh m;
    const UvMap uv = Camo(0.6f, 0.2f);
    AddPiece(&m, Drum({0, 0, -0.1f}, {0, 0, 0.38f}, 0.24f, 0.17f, 10, uv), 0);
    AddPiece(&m, Drum({0, 0, 0.36f}, {0, 0, 0.5f}, 0.13f, 0.11f, 10, uv), 0);
    AddPiece(&m, Drum({0, 0, 0.48f}, {0, 0, 3.08f}, 0.072f, 0.062f, 10, uv), 1);
    AddPiece(&m, Drum({0, 0, 1.55f}, {0, 0, 2.0f}, 0.1f, 0.1f, 10, uv), 1);
    AddPiece(&m, Detail(Drum({0, 0, 3.05f}, {0, 0, 3.15f}, 0.075f, 0.075f, 10), 0, kDarkSteel), 2);
    // The searchlight on its bracket above the shield.
    AddPiece(&m, ChamferedBox({-0.06f, 0.16f, -0.02f}, {0.06f, 0.26f, 0.2f}, 0.015f, uv), 0);
    AddPiece(&m, ChamferedBox({-0.22f, 0.25f, -0.08f}, {0.22f, 0.58f, 0.32f}, 0.05f, uv), 0);
    AddPiece(&m, Detail(ChamferedBox({-0.18f, 0.28f, 0.315f}, {0.18f, 0.55f, 0.33f}, 0), 2, kLampGlass), 2);
    m.materials = {Painted(kCamoFile), Painted(kCamoFile), Painted(kGearFile)};
    return m;
}

// The commander's cupola: a drum with vision blocks round it and a domed
// hatch, the machine gun's armoured cradle bulging forward on its left.
XMesh Cupola()
{
    XMesh m;
    const UvMap uv = Camo(0.23f, 0.57f);
    AddPiece(&m, Drum({0, -0.08f, 0}, {0, 0.18f, 0}, 0.3f, 0.29f, 12, uv), 0);
    AddPiece(&m, Detail(Drum({0, 0.07f, 0}, {0, 0.14f, 0}, 0.305f, 0.305f, 12), 0, kGlass), 1);
    AddPiece(&m, Drum({0, 0.18f, 0}, {0, 0.27f, 0}, 0.26f, 0.17f, 10, uv), 0);
    AddPiece(&m,
             ConvexHull({{-0.32f, -0.02f, 0.05f}, {-0.08f, -0.02f, 0.05f}, {-0.32f, 0.2f, 0.05f}, {-0.08f, 0.2f, 0.05f},
                         {-0.3f, 0.0f, 0.42f}, {-0.1f, 0.0f, 0.42f}, {-0.28f, 0.16f, 0.42f}, {-0.12f, 0.16f, 0.42f}},
                        uv),
             0);
    m.materials = {Painted(kCamoFile), Painted(kGearFile)};
    return m;
}

// The cupola's heavy machine gun: receiver, ammunition box on its left,
// the barrel with a flash hider.
XMesh CupolaGun()
{
    XMesh m;
    const UvMap uv = Camo(0.53f, 0.17f);
    AddPiece(&m, Detail(ChamferedBox({-0.05f, -0.05f, -0.3f}, {0.05f, 0.06f, 0.05f}, 0.01f), 0, kDarkSteel), 0);
    AddPiece(&m, ChamferedBox({-0.14f, -0.06f, -0.22f}, {-0.05f, 0.06f, -0.04f}, 0.01f, uv), 1);
    AddPiece(&m, Detail(Drum({0, 0, 0.04f}, {0, 0, 0.66f}, 0.022f, 0.02f, 6), 0, kDarkSteel), 0);
    AddPiece(&m, Detail(Drum({0, 0, 0.62f}, {0, 0, 0.72f}, 0.03f, 0.03f, 6), 0, kBrightSteel), 0);
    m.materials = {Painted(kGearFile), Painted(kCamoFile)};
    return m;
}

// A wheel centred on its axle (x), a hub on its outer (+x) face when
// hubRadius > 0.
XMesh Wheel(float radius, float halfWidth, float hubRadius, int sides, const Rect& face)
{
    return FacetedWheel({.radius = radius, .halfWidth = halfWidth, .sides = sides, .face = face, .tread = kRubber,
                         .hubRadius = hubRadius, .hubTipRadius = hubRadius * 0.7f, .hubLength = 0.035f,
                         .hubRim = kDarkSteel},
                        Painted(kGearFile));
}

// The track, one loop round the sprocket, the idler, the return rollers and
// the road wheels.
XMesh Track()
{
    std::vector<TrackWheel> wheels = {kSprocketAt, kIdlerAt};
    for (float z : kRollersZ) wheels.push_back({0.0f, z, kRollerRadius});
    for (float z : kRoadWheelsZ) wheels.push_back({kRoadWheelY, z, kRoadWheelRadius});
    return TrackLoop(wheels, kTrackBand, Painted(kGearFile));
}
}  // namespace

void BuildM60(Pack& pack)
{
    pack.Png(kCamoFile, CamoTexture());
    pack.Png(kGearFile, GearTexture());

    pack.X("LAND/M60/body.x", Hull());
    pack.X("LAND/M60/top1.x", Turret());
    pack.X("LAND/M60/top2.x", Gun());
    pack.X("LAND/M60/top3.x", Cupola());
    pack.X("LAND/M60/top4.x", CupolaGun());
    pack.X("LAND/M60/wheel0.x", Track());
    pack.X("LAND/M60/wheel1.x", Wheel(kRollerRadius, 0.06f, 0, 8, kRoadWheelFace));
    pack.X("LAND/M60/wheel2.x", Wheel(kRoadWheelRadius, kWheelHalfWidth, 0, 12, kRoadWheelFace));
    pack.X("LAND/M60/wheel3.x", Wheel(kSprocketRadius, kWheelHalfWidth, 0.08f, 14, kSprocketFace));
    pack.X("LAND/M60/wheel4.x", Wheel(kIdlerRadius, kWheelHalfWidth, 0.07f, 12, kRoadWheelFace));
}

namespace {
const bool kRegistered = RegisterKindBuilder("M60", BuildM60);
}  // namespace
