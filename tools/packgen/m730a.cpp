// The M730A missile carrier: a light tracked carrier with the engine and a
// low glazed cab at the front, an open-topped cargo box behind, and in the
// box a turning launcher: the gunner's glazed station between two arms
// that pitch four short-range missiles on their rails, all under
// LAND/M730A/.
//
// Each part is modelled in the frame its matrix in the game places it by
// (+x right, +y up, +z forward; units are world units):
//   body      hull; 2.28 wide, from the tailgate at z -2.62 to the nose at
//             z 1.98; the ground 1.02 below its origin, the box's floor at
//             y 0.15 and its walls up to y 0.5
//   top1      the launcher's turntable and the gunner's station; its origin
//             on the turning axis 0.55 above the hull's origin (the box's
//             floor at its y -0.4), the arms' bosses at y 0.5
//   top2      the launcher: origin on the arms' pivot (turret (0, 0.5, 0)),
//             the cross beam, the two arms and four missiles on their rails
//             at x +-0.78, y +-0.2, their noses at z 0.55
//   tama      one missile, centred on its origin along +z
//   wheel0    the track: one loop centred on x 0 of the frame the game
//             moves by (+-0.9, -0.65, -0.6); u runs along the tread
//   wheel1    road wheel, radius 0.27; wheel2 rear idler, radius 0.25;
//             wheel3 front sprocket, radius 0.25: each centred on its axle,
//             its hub on the outer +x face
#include <cmath>

#include "pack.h"
#include "shapes.h"
#include "tank_pictures.h"
#include "tank_shapes.h"

namespace {
const float kPi = 3.14159265f;

const char* const kCamoFile = "LAND/M730A/M730Camo.png";
const char* const kGearFile = "LAND/M730A/M730Gear.png";

// --- running gear (hull frame) -----------------------------------------------
const float kTrackThickness = 0.05f;
const float kTrackHalfWidth = 0.2f;
const Vec3 kTrackOffset = {0.9f, -0.65f, -0.6f};
const float kRoadWheelRadius = 0.27f;
const float kRoadWheelY = -0.7f;
const float kRoadWheelsZ[] = {-1.8f, -1.21f, -0.6f, 0.0f, 0.6f};  // the left side's second is at -1.2
const float kIdlerRadius = 0.25f;
const Vec3 kIdlerAt = {0.9f, -0.5f, -2.4f};
const float kSprocketRadius = 0.25f;
const Vec3 kSprocketAt = {0.9f, -0.6f, 1.25f};
const float kGroundY = kRoadWheelY - kRoadWheelRadius - kTrackThickness;  // -1.02

// --- hull lines (hull frame) ---------------------------------------------------
const float kHalfWidth = 1.14f;
const float kDeckBottomY = -0.15f;  // over the track's top run
const float kFloorY = 0.15f;        // the cargo box's floor
const float kWallTopY = 0.5f;
const float kTailZ = -2.62f;
const float kCabBackZ = 0.6f;
const float kCabRoofY = 0.7f;

// --- the launcher (gun frame) ---------------------------------------------------
const float kMissileX = 0.78f, kMissileY = 0.2f;
const float kMissileRadius = 0.075f;
const float kMissileTail = -0.95f, kMissileNose = 0.55f;

// --- the running-gear picture (512 x 512) ------------------------------------
// Rows 0..127: the track band, one u repeat = 32 links; rows 128..255:
// road-wheel, sprocket and idler faces, glass, lamp lenses, dark steel;
// rows 256..319: the missile's body along u; rows 320..383: seeker dome,
// grille, bright steel.
Rect Px(float l, float t, float r, float b) { return {l / 512, t / 512, r / 512, b / 512}; }
const float kTrackOuterV0 = 3 / 512.0f, kTrackOuterV1 = 73 / 512.0f;
const float kTrackSideV0 = 80 / 512.0f, kTrackSideV1 = 97 / 512.0f;
const float kTrackInnerV0 = 104 / 512.0f, kTrackInnerV1 = 124 / 512.0f;
const int kLinksPerRepeat = 32;
const Rect kRoadWheelFace = Px(2, 130, 126, 254);
const Rect kSprocketFace = Px(130, 130, 254, 254);
const Rect kIdlerFace = Px(258, 130, 382, 254);
const Rect kGlass = Px(388, 132, 444, 188);
const Rect kLens = Px(452, 132, 508, 188);
const Rect kRedLens = Px(388, 196, 444, 252);
const Rect kDarkSteel = Px(452, 196, 508, 252);
const Rect kRubber = Px(4, 132, 10, 138);
const Rect kMissileBody = Px(0, 258, 512, 318);
const Rect kSeeker = Px(4, 324, 60, 380);
const Rect kGrille = Px(68, 324, 252, 380);
const Rect kBrightSteel = Px(260, 324, 380, 380);

// The track band round the wheels in its own frame (the hull's moved by
// (+-0.9, -0.65, -0.6)): a picture repeat is 800 degrees of a road wheel's
// rim, as the game scrolls u by the wheels' turn / 800.  The loop is cut
// into six stretches.
const TrackBand kTrackBand = {.offsetY = kTrackOffset.y, .offsetZ = kTrackOffset.z, .centreX = 0,
                              .halfWidth = kTrackHalfWidth, .thickness = kTrackThickness, .steps = 16,
                              .repeatDegrees = 800.0f, .repeatRadius = kRoadWheelRadius,
                              .outerV0 = kTrackOuterV0, .outerV1 = kTrackOuterV1, .sideV0 = kTrackSideV0,
                              .sideV1 = kTrackSideV1, .innerV0 = kTrackInnerV0, .innerV1 = kTrackInnerV1,
                              .stretches = 6};

XMaterial Painted(const char* texture) { return {Rgb(0xECEAE2), 6, Rgb(0x181816), Rgb(0), texture}; }

// The camouflage's projection, where the picture spans 5 units.
UvMap Camo(float uOffset, float vOffset) { return ScaledUv(0.2f, uOffset, vOffset); }

// --- pictures ----------------------------------------------------------------

// Three tones in large soft-edged patches: a deep green ground, dark earth
// brown, and black in narrower patches between them; bolt rows on the
// seams; tiles both ways.
Canvas CamoTexture()
{
    const int n = 512;
    Canvas c(n, n);
    const RGBA green = Rgb(0x45512F), brown = Rgb(0x5A452C), black = Rgb(0x20211C);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float fx = x / 128.0f, fy = y / 128.0f;
            float warp = Fbm(fx * 2, fy * 2, 2, 6105, 8) - 0.5f;
            float a = Fbm(fx + warp * 0.8f, fy + warp * 0.3f, 4, 6101, 4);
            float b = Fbm(fx - warp * 0.4f, fy + warp * 0.8f, 4, 6102, 4);
            RGBA col = green;
            col = Mix(col, brown, Smooth(0.55f, 0.6f, a));
            // Black runs in ribbons along the borders of the brown.
            float ribbon = 1.0f - std::fabs(a - 0.55f) * 12.0f;
            col = Mix(col, black, Clamp01(ribbon) * Smooth(0.48f, 0.56f, b) * 0.95f);
            float fine = Fbm(x / 8.0f, y / 8.0f, 3, 6103, 64);
            float shade = 0.88f + 0.22f * fine;
            col = Shaded(col, shade);
            float dust = Smooth(0.58f, 0.85f, Fbm(x / 16.0f, y / 16.0f, 3, 6104, 32)) * 0.25f;
            c.At(x, y) = Mix(col, Rgb(0x807458), dust);
        }
    PaintSeams(&c, {.first = 100.0f, .width = 1.4f, .litOffset = 1.3f, .downParity = 1,
                    .dark = Rgb(0x1C1E16, 0.5f), .darkDown = Rgb(0x1C1E16, 0.45f),
                    .lit = Rgb(0xB0B090, 0.16f), .litDown = Rgb(0xB0B090, 0.14f),
                    .rivetFrom = 6, .rivetStep = 21.33f, .rivetOffset = 6, .rivetRadius = 1.6f,
                    .rivet = Rgb(0x202218, 0.55f), .glintBack = 0.5f, .glintOffset = 5.5f,
                    .glintRadius = 0.7f, .glint = Rgb(0xC0C0A0, 0.3f)});
    return c;
}

// The track band: thirty-two links per repeat, each a pair of black rubber
// pads between steel end connectors and a centre guide; the side shows the
// connectors' wedge bolts.
void PaintTrack(Canvas* c)
{
    const RGBA pad = Rgb(0x262523), steel = Rgb(0x55534A), dark = Rgb(0x34332E), gap = Rgb(0x141412);
    const RGBA mud = Rgb(0x5E5038);
    const int linkPx = 512 / kLinksPerRepeat;
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 512; ++x) {
            float lx = static_cast<float>(x % linkPx) * 16 / linkPx;  // along the link, 0..16
            RGBA col = dark;
            if (y < 77) {
                float ay = std::fabs(y - 38.0f);
                if (ay > 32) col = steel;          // end connectors
                else if (ay < 4) col = steel;      // centre guide
                else col = pad;
                if (lx < 1.5f || lx > 14.5f) col = gap;
            } else if (y < 101) {
                col = dark;
                if (lx > 3 && lx < 13) col = steel;
                if (std::fabs(lx - 8) < 1.5f && std::fabs(y - 89.0f) < 4) col = Rgb(0x807C70);
                if (lx < 1) col = gap;
            } else {
                col = dark;
                if (std::fabs(y - 114.0f) < 4 && lx > 4 && lx < 12) col = steel;
                if (lx < 1 || lx > 15) col = gap;
            }
            float grime = Fbm(x / 16.0f, y / 16.0f, 3, 6111, 32);
            col = Mix(col, mud, Smooth(0.45f, 0.8f, grime) * 0.45f);
            float shade = 0.9f + 0.14f * Hash01(x, y, 6112);
            c->At(x, y) = Shaded(col, shade);
        }
}

enum class Face { RoadWheel, Sprocket, Idler };
void PaintWheel(Canvas* c, const Rect& r, Face face)
{
    const RGBA rubber = Rgb(0x282725), disc = Rgb(0x4A5432), hub = Rgb(0x3A4128), steel = Rgb(0x4A4942);
    PaintRoundFace(c, r, 512, 2, {0, 128, 384, 256}, [&](const FacePoint& p) {
        RGBA col;
        if (face == Face::Sprocket) {
            if (p.d > 0.82f) col = std::cos(p.ang * 10) > 0 ? steel : Rgb(0x1E1E1A);
            else if (p.d > 0.3f) {
                col = disc;
                for (int k = 0; k < 6; ++k) {
                    float ha = k * kPi / 3;
                    if (p.Near(ha, 0.56f, 0.14f)) col = Rgb(0x181814);
                }
            } else col = hub;
        } else {
            if (p.d > 0.78f) col = rubber;
            else if (p.d > 0.26f) col = Mix(disc, Mix(disc, Rgb(0x000000), 0.4f), Smooth(0.4f, 0.78f, p.d));
            else col = hub;
            if (face == Face::RoadWheel && std::fabs(p.d - 0.56f) < 0.02f) col = Mix(col, Rgb(0x8A9070), 0.35f);
            if (face == Face::Idler)
                for (int k = 0; k < 5; ++k) {
                    float ha = k * 2 * kPi / 5;
                    if (p.Near(ha, 0.52f, 0.1f)) col = Rgb(0x181814);
                }
        }
        for (int k = 0; k < 8; ++k) {
            float ba = k * kPi / 4;
            if (p.Near(ba, 0.18f, 0.03f)) col = Rgb(0x7A7C68);
        }
        if (p.d < 0.08f) col = Rgb(0x5E6050);
        float grime = Fbm(p.x / 10.0f, p.y / 10.0f, 3, 6121 + static_cast<int>(face));
        col = Mix(col, Rgb(0x6A5A40), Smooth(0.45f, 0.8f, grime) * 0.45f);
        return col;
    });
}

Canvas GearTexture()
{
    Canvas c(512, 512);
    FillGrain(&c, {0, 0, 512, 512}, Rgb(0x2E2E2A), Rgb(0x44443E), 8.0f, 6131);
    PaintTrack(&c);
    for (int y = 128; y < 256; ++y)
        for (int x = 0; x < 384; ++x) c.At(x, y) = Rgb(0x282725);
    PaintWheel(&c, kRoadWheelFace, Face::RoadWheel);
    PaintWheel(&c, kSprocketFace, Face::Sprocket);
    PaintWheel(&c, kIdlerFace, Face::Idler);
    // Glass with a glint, lamp lenses in their rims.
    c.FillRect(386, 130, 446, 190, Rgb(0x1E2A30));
    c.Line(396, 176, 430, 140, 5, Rgb(0xA0B8C0, 0.35f));
    c.FillRect(450, 130, 510, 190, Rgb(0x2A2A22));
    c.RoundRect(456, 136, 504, 184, 10, Rgb(0xF0E6B8));
    c.Disc(470, 150, 6, Rgb(0xFFFBEE, 0.8f), 3);
    c.FillRect(386, 194, 446, 254, Rgb(0x2A2420));
    c.RoundRect(392, 200, 440, 248, 8, Rgb(0xB82A1C));
    // The missile along u from tail (left) to nose (right): pale body, the
    // motor's joint, a yellow band and a black band behind the seeker.
    for (int y = 256; y < 320; ++y)
        for (int x = 0; x < 512; ++x) {
            float t = x / 512.0f;
            RGBA col = Mix(Rgb(0xC8C6B8), Rgb(0xD8D6CA), Fbm(x / 16.0f, y / 8.0f, 2, 6132));
            if (t < 0.03f) col = Rgb(0x3A3A34);                              // nozzle ring
            if (std::fabs(t - 0.55f) < 0.006f) col = Rgb(0x6A6A60);          // motor joint
            if (t > 0.82f && t < 0.86f) col = Rgb(0xC8A020);                 // yellow band
            if (t > 0.9f && t < 0.93f) col = Rgb(0x2A2A26);                  // black band
            float shade = 0.92f + 0.1f * (1.0f - std::fabs(y - 288.0f) / 32.0f);
            c.At(x, y) = Shaded(col, shade);
        }
    // The seeker's dome: dark glass with a bright glint.
    c.FillRect(0, 320, 64, 384, Rgb(0x1A1E24));
    c.Disc(24, 340, 7, Rgb(0xC8D8E8, 0.7f), 4);
    // Grille: dark slats in a green frame.
    PaintGrille(&c, {64, 320, 256, 384, 8, 328, 6, Rgb(0x45512F), Rgb(0x181A14), Rgb(0x56604A)});
    FillSpeckled(&c, {256, 320, 384, 384}, Rgb(0x6A6A62), Rgb(0x8C8C82), 6133);
    return c;
}

// --- meshes --------------------------------------------------------------------

// The hull: the lower hull between the tracks, the deck over them, the
// sloped engine hood with its grille, the low cab with glass all round, the
// open cargo box with its walls and tailgate, lamps, the exhaust stack,
// stowage boxes and tow hooks.
XMesh Hull()
{
    XMesh m;
    const UvMap uv = Camo(0.15f, 0.45f);
    // Lower hull between the tracks, its nose sloping up to the deck.
    AddPiece(&m,
             ExtrudeX({{-0.6f, -2.5f}, {-0.6f, 1.35f}, {kDeckBottomY, 1.98f}, {kDeckBottomY, kTailZ}, {-0.5f, kTailZ}},
                      -0.68f, 0.68f, 0.02f, uv),
             0);
    // The deck over the tracks: the cargo box's floor and the hood's foot.
    AddPiece(&m,
             ExtrudeX({{kDeckBottomY, kTailZ}, {kDeckBottomY, 1.98f}, {kFloorY - 0.02f, 1.92f}, {kFloorY, 1.7f},
                       {kFloorY, kTailZ}},
                      -kHalfWidth, kHalfWidth, 0.02f, uv),
             0);
    // The engine hood, sloping up from the nose to the windscreen.
    AddPiece(&m, ExtrudeX({{kFloorY - 0.01f, 1.0f}, {kFloorY - 0.01f, 1.92f}, {0.36f, 1.56f}, {0.38f, 1.0f}},
                          -kHalfWidth + 0.02f, kHalfWidth - 0.02f, 0.02f, uv),
             0);
    // The cab: upright sides, a raked windscreen, a flat roof.
    AddPiece(&m, ExtrudeX({{kFloorY, kCabBackZ}, {kFloorY, 1.5f}, {0.38f, 1.5f}, {kCabRoofY, 1.38f}, {kCabRoofY, kCabBackZ}},
                          -1.1f, 1.1f, 0.03f, uv),
             0);
    // The glass: windscreen in two panes, the side windows and the doors'
    // windows.
    const float slope = (1.38f - 1.5f) / (kCabRoofY - 0.38f);
    for (float s : {-1.0f, 1.0f}) {
        std::vector<Vec3> pane;
        for (float y : {0.44f, 0.64f})
            for (float x : {0.1f * s, 1.0f * s})
                for (float t : {0.0f, 0.02f}) pane.push_back({x, y, 1.5f + (y - 0.38f) * slope + t});
        XMesh glass = ConvexHull(pane);
        ProjectInto(&glass, 2, kGlass);
        AddPiece(&m, glass, 1);
    }
    XMesh window = ChamferedBox({1.09f, 0.44f, 0.72f}, {1.12f, 0.63f, 1.3f}, 0);
    ProjectInto(&window, 0, kGlass);
    AddPair(&m, window, 1);
    // The hood's grille, head lamps in their guards, tow hooks.
    {
        float dy = 0.36f - (kFloorY - 0.01f), dz = 1.56f - 1.92f, len = std::hypot(dy, dz);
        Vec3 n = {0, -dz / len, dy / len};
        std::vector<Vec3> g;
        for (float f : {0.25f, 0.8f})
            for (float x : {-0.6f, 0.6f})
                for (float t : {0.0f, 0.015f})
                    g.push_back({x, kFloorY - 0.01f + dy * f + n.y * t, 1.92f + dz * f + n.z * t});
        XMesh grille = ConvexHull(g);
        ProjectInto(&grille, 2, kGrille);
        AddPiece(&m, grille, 1);
    }
    for (float s : {-1.0f, 1.0f}) {
        XMesh lamp = Drum({0.88f * s, 0.22f, 1.8f}, {0.88f * s, 0.22f, 1.9f}, 0.07f, 0.07f, 8);
        ProjectInto(&lamp, 2, kLens);
        AddPiece(&m, lamp, 1);
        AddPiece(&m, ChamferedBox({0.88f * s - 0.1f, 0.3f, 1.74f}, {0.88f * s + 0.1f, 0.33f, 1.96f}, 0.008f, uv), 0);
        XMesh hook = ChamferedBox({0.5f * s - 0.05f, -0.3f, 1.72f}, {0.5f * s + 0.05f, -0.18f, 1.86f}, 0.015f);
        ProjectInto(&hook, 0, kDarkSteel);
        AddPiece(&m, hook, 1);
    }
    // The exhaust stack up the cab's right front corner.
    XMesh stack = Drum({1.0f, 0.36f, 1.62f}, {1.0f, 0.98f, 1.55f}, 0.06f, 0.055f, 6);
    ProjectInto(&stack, 0, kDarkSteel);
    AddPiece(&m, stack, 1);
    // The cargo box's walls and tailgate, open at the top, and the posts
    // along its walls.
    AddPair(&m, ChamferedBox({kHalfWidth - 0.06f, kFloorY - 0.01f, kTailZ}, {kHalfWidth, kWallTopY, kCabBackZ + 0.01f}, 0.01f, uv),
            0);
    AddPiece(&m, ChamferedBox({-kHalfWidth, kFloorY - 0.01f, kTailZ}, {kHalfWidth, kWallTopY, kTailZ + 0.06f}, 0.01f, uv), 0);
    for (float z : {-2.0f, -1.2f, -0.4f})
        AddPair(&m, ChamferedBox({kHalfWidth - 0.005f, kFloorY, z - 0.04f}, {kHalfWidth + 0.025f, kWallTopY, z + 0.04f}, 0, uv),
                0);
    // Reload crates in the box's back corners, clear of the missiles' sweep.
    AddPair(&m, ChamferedBox({0.6f, kFloorY - 0.01f, -2.52f}, {1.06f, 0.42f, -1.85f}, 0.02f, Camo(0.7f, 0.2f)), 0);
    // Stowage boxes low on the walls' outside, over the track.
    AddPair(&m, ChamferedBox({kHalfWidth - 0.01f, -0.12f, -2.35f}, {kHalfWidth + 0.07f, 0.12f, -1.5f}, 0.02f, uv), 0);
    // Tail lamps on the tailgate.
    XMesh tail = ChamferedBox({0.85f, 0.3f, kTailZ - 0.02f}, {0.98f, 0.38f, kTailZ + 0.01f}, 0);
    ProjectInto(&tail, 2, kRedLens);
    AddPair(&m, tail, 1);
    m.materials = {Painted(kCamoFile), Painted(kGearFile)};
    return m;
}

// The turntable on the box's floor and the gunner's station on it: a tall
// glazed cab between two uprights whose round bosses carry the launcher's
// arms at y 0.5; an aerial at the back.
XMesh Turret()
{
    XMesh m;
    const UvMap uv = Camo(0.62f, 0.08f);
    const float floor = kFloorY - 0.55f;  // the box's floor in this frame
    AddPiece(&m, Drum({0, floor - 0.01f, 0}, {0, floor + 0.1f, 0}, 0.72f, 0.7f, 12, uv), 0);
    // The station: a cab with a sloped, glazed front and top.
    {
        std::vector<Vec3> cab;
        Both(&cab, 0.4f, floor + 0.1f, 0.42f);
        Both(&cab, 0.4f, floor + 0.1f, -0.55f);
        Both(&cab, 0.4f, 0.62f, -0.55f);
        Both(&cab, 0.38f, 0.7f, -0.3f);
        Both(&cab, 0.38f, 0.7f, 0.05f);
        Both(&cab, 0.4f, 0.3f, 0.42f);
        AddPiece(&m, ConvexHull(cab, uv), 0);
        // The glazing on its sloped front.
        float dy = 0.7f - 0.3f, dz = 0.05f - 0.42f, len = std::hypot(dy, dz);
        Vec3 n = {0, -dz / len, dy / len};
        std::vector<Vec3> g;
        for (float f : {0.1f, 0.9f})
            for (float x : {-0.32f, 0.32f})
                for (float t : {0.0f, 0.015f}) g.push_back({x, 0.3f + dy * f + n.y * t, 0.42f + dz * f + n.z * t});
        XMesh glass = ConvexHull(g);
        ProjectInto(&glass, 2, kGlass);
        AddPiece(&m, glass, 1);
        XMesh side = ChamferedBox({0.395f, 0.36f, -0.2f}, {0.415f, 0.56f, 0.2f}, 0);
        ProjectInto(&side, 0, kGlass);
        AddPair(&m, side, 1);
    }
    // The uprights and their bosses at the pivot.
    AddPair(&m, ChamferedBox({0.4f, floor + 0.1f, -0.2f}, {0.56f, 0.42f, 0.2f}, 0.03f, uv), 0);
    AddPair(&m, Drum({0.4f, 0.5f, 0}, {0.58f, 0.5f, 0}, 0.16f, 0.16f, 10, uv), 0);
    // The radio box at the back and its aerial, no higher than the raised
    // missiles so the box of this part stays the launcher's.
    AddPiece(&m, ChamferedBox({-0.3f, floor + 0.1f, -0.72f}, {0.3f, 0.1f, -0.55f}, 0.02f, uv), 0);
    XMesh aerial = Drum({0.22f, 0.1f, -0.66f}, {0.23f, 0.84f, -0.7f}, 0.012f, 0.008f, 4);
    ProjectInto(&aerial, 0, kDarkSteel);
    AddPiece(&m, aerial, 1);
    m.materials = {Painted(kCamoFile), Painted(kGearFile)};
    return m;
}

// One missile along +z centred at `at`: its body, the seeker's dome, the
// four tail fins; `sides` round.
XMesh Missile(Vec3 at, int sides)
{
    XMesh m;
    const float len = kMissileNose - kMissileTail, half = len / 2;
    const float noseStart = half - 0.17f;
    XMesh body = Drum({at.x, at.y, at.z - half}, {at.x, at.y, at.z + noseStart}, kMissileRadius, kMissileRadius, sides);
    ProjectInto(&body, 0, kMissileBody);
    AddPiece(&m, body, 0);
    XMesh nose = Drum({at.x, at.y, at.z + noseStart}, {at.x, at.y, at.z + half}, kMissileRadius, 0.022f, sides);
    ProjectInto(&nose, 0, kSeeker);
    AddPiece(&m, nose, 0);
    // Four tail fins in an X, two plates across each other.
    for (float turn : {kPi / 4, -kPi / 4}) {
        XMesh fin = ChamferedBox({-0.16f, -0.006f, -half}, {0.16f, 0.006f, -half + 0.16f}, 0);
        ProjectInto(&fin, 2, kBrightSteel);
        TransformMesh(&fin, MatRotationZ(turn) * MatTranslation(at.x, at.y, at.z));
        AddPiece(&m, fin, 0);
    }
    return m;
}

// The launcher about its pivot: the cross beam through the station, an arm
// each side, a rail under each missile and the four missiles.
XMesh Launcher()
{
    XMesh m;
    const UvMap uv = Camo(0.41f, 0.73f);
    AddPiece(&m, ChamferedBox({-0.7f, -0.07f, -0.1f}, {0.7f, 0.07f, 0.1f}, 0.02f, uv), 0);
    uint32_t slot = 2;  // each missile a subset of its own, so the reduced copy keeps all four
    for (float s : {-1.0f, 1.0f}) {
        // The arm: a plate standing across both rails of its side.
        float x0 = s > 0 ? 0.6f : -0.665f, x1 = s > 0 ? 0.665f : -0.6f;
        AddPiece(&m, ChamferedBox({x0, -0.3f, -0.7f}, {x1, 0.3f, 0.3f}, 0.02f, uv), 0);
        for (float y : {-kMissileY, kMissileY}) {
            // The rail from the arm to the missile's flank.
            float r0 = s > 0 ? 0.66f : -kMissileX, r1 = s > 0 ? kMissileX : -0.66f;
            XMesh rail = ChamferedBox({r0, y - 0.025f, -0.8f}, {r1, y + 0.025f, 0.35f}, 0);
            ProjectInto(&rail, 0, kDarkSteel);
            AddPiece(&m, rail, 1);
            const float mid = (kMissileNose + kMissileTail) / 2;
            AddPiece(&m, Missile({s * kMissileX, y, mid}, 8), slot++);
        }
    }
    m.materials = {Painted(kCamoFile), Painted(kGearFile)};
    m.materials.resize(slot, Painted(kGearFile));
    return m;
}

// The missile in flight, centred on its origin.
XMesh FlyingMissile()
{
    XMesh m = Missile({0, 0, 0}, 6);
    m.materials = {Painted(kGearFile)};
    return m;
}

// A wheel on its axle (x): its face picture on both sides, `tread` round
// its rim, the hub on the outer (+x) face.
XMesh Wheel(float radius, float halfWidth, int sides, const Rect& face, const Rect& tread, float hubRadius)
{
    return FacetedWheel({.radius = radius, .halfWidth = halfWidth, .sides = sides, .face = face, .tread = tread,
                         .hubRadius = hubRadius, .hubTipRadius = hubRadius * 0.7f, .hubLength = 0.04f,
                         .hubRim = kDarkSteel},
                        Painted(kGearFile));
}

// The track, one loop round the sprocket, the idler and the road wheels.
XMesh Track()
{
    std::vector<TrackWheel> wheels = {{kSprocketAt.y, kSprocketAt.z, kSprocketRadius},
                                      {kIdlerAt.y, kIdlerAt.z, kIdlerRadius}};
    for (float z : kRoadWheelsZ) wheels.push_back({kRoadWheelY, z, kRoadWheelRadius});
    return TrackLoop(wheels, kTrackBand, Painted(kGearFile));
}
}  // namespace

void BuildM730a(Pack& pack)
{
    pack.Png(kCamoFile, CamoTexture());
    pack.Png(kGearFile, GearTexture());
    pack.X("LAND/M730A/body.x", Hull());
    pack.X("LAND/M730A/top1.x", Turret());
    pack.X("LAND/M730A/top2.x", Launcher());
    pack.X("LAND/M730A/tama.x", FlyingMissile());
    pack.X("LAND/M730A/wheel0.x", Track());
    pack.X("LAND/M730A/wheel1.x", Wheel(kRoadWheelRadius, 0.13f, 12, kRoadWheelFace, kRubber, 0.06f));
    pack.X("LAND/M730A/wheel2.x", Wheel(kIdlerRadius, 0.13f, 12, kIdlerFace, kRubber, 0.06f));
    pack.X("LAND/M730A/wheel3.x", Wheel(kSprocketRadius, 0.12f, 12, kSprocketFace, kDarkSteel, 0.07f));
}

namespace {
const bool kRegistered = RegisterKindBuilder("M730A", BuildM730a);
}  // namespace
