// The FLACKP self-propelled anti-aircraft gun: a long low hull on seven
// road wheels, a big boxy turret carrying twin long cannon on its sides, a
// tracking radar on its front and a search radar spinning on a mast at its
// rear, all under LAND/FLACKP/.
//
// Each part is modelled in the frame its matrix in the game places it by
// (+x right, +y up, +z forward; units are world units):
//   body     hull; origin 0.7 above the ground (the ground line is y -0.7),
//            2.52 wide over the skirts, y -0.45 to 0.45, z -2.86 (tail lamps) to
//            2.62 (tow shackles); the
//            turret ring stands up into the turret
//   top1     turret; on the hull at y 0.5, origin on the ring's axis; the
//            body spans x +-0.62, y -0.05 to 0.74, z -2.1 to 0.95, with the
//            radar's mast at the back (its top at (0, 0.925, -1.85)) and
//            the side guns' trunnion bosses at x +-0.62, y 0.6, z -0.8
//   top2     tracking radar: origin on its trunnion (turret (0, 0.6, 1)),
//            the dish facing +z, pitching with the guns
//   top3     one side gun, modelled for the right side: origin on its
//            trunnion (turret (0.75, 0.6, -0.8)), the housing from z -0.55
//            to 1.5, the barrel to its muzzle at z 3.45; the same above and
//            below y 0, so the left copy, rolled half round, matches
//   top4     search radar: origin on the mast's axis at the mast's top, it
//            turns about its own y; the antenna faces -z, 1.2 wide
//   wheel2   rear idler, wheel3 road wheel: centred on the axle (x), the
//            hub on +x (the left side's wheels are turned half round)
//   wheel1   track, one loop drawn for both sides at (+-1, -0.2, -0.4);
//            u runs along the tread
#include <cmath>

#include "pack.h"
#include "shapes.h"
#include "tank_pictures.h"
#include "tank_shapes.h"

namespace {
const float kPi = 3.14159265f;

const char* const kCamoFile = "LAND/FLACKP/FlackpCamo.png";
const char* const kGearFile = "LAND/FLACKP/FlackpGear.png";

// --- running gear (hull frame) ----------------------------------------------
const float kGroundY = -0.7f;
const float kRoadWheelY = -0.4f;
const float kRoadWheelRadius = 0.25f;
const float kTrackThickness = kRoadWheelY - kRoadWheelRadius - kGroundY;  // 0.05
const float kIdlerRadius = 0.21f;
const float kWheelHalfWidth = 0.1f;
const float kTrackHalfWidth = 0.2f;
const Vec3 kTrackOffset = {1.0f, -0.2f, -0.4f};
const float kTrackDivisor = 400.0f;  // the game scrolls u by the distance driven / this
const TrackWheel kIdlerAt = {-0.2f, -2.55f, kIdlerRadius};
const float kRoadWheelsZ[] = {-2.05f, -1.5f, -0.95f, -0.4f, 0.15f, 0.7f, 1.25f};
const TrackWheel kFrontWheelAt = {-0.1f, 1.8f, kRoadWheelRadius};  // the raised front one

// --- the running-gear picture (512 x 512) ------------------------------------
// Rows 0..127: the track band, one u repeat = 10 links; rows 128..383:
// road-wheel face (left) and idler face (right); rows 384..511: grille,
// lamps, glass, dark and bright steel.
Rect Px(float l, float t, float r, float b) { return {l / 512, t / 512, r / 512, b / 512}; }
const float kTrackOuterV0 = 3 / 512.0f, kTrackOuterV1 = 73 / 512.0f;
const float kTrackSideV0 = 80 / 512.0f, kTrackSideV1 = 97 / 512.0f;
const float kTrackInnerV0 = 104 / 512.0f, kTrackInnerV1 = 124 / 512.0f;
const int kLinksPerRepeat = 10;
const Rect kRoadWheelFace = Px(4, 132, 252, 380);
const Rect kIdlerFace = Px(260, 132, 508, 380);
const Rect kRubber = Px(6, 134, 12, 140);
const Rect kGrille = Px(4, 388, 188, 508);
const Rect kAmberLamp = Px(196, 390, 244, 442);
const Rect kRedLamp = Px(196, 452, 244, 506);
const Rect kGlass = Px(252, 390, 308, 442);
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
// The belly and the hull's sides between the tracks, a shade darker.
XMaterial Shaded(const char* texture) { return {Rgb(0xB4B2AA), 4, Rgb(0x101010), Rgb(0), texture}; }

// The camouflage's projection, where the picture spans 5 units: patches a
// unit or so across.
UvMap Camo(float uOffset, float vOffset) { return ScaledUv(0.2f, uOffset, vOffset); }

// --- pictures ----------------------------------------------------------------

// Three-tone camouflage of the northern woods: bronze green ground with big
// blotches of leather brown and tar black, their edges fairly crisp, plate
// seams and weld lines; tiles both ways.
Canvas CamoTexture()
{
    const int n = 512;
    Canvas c(n, n);
    const RGBA green = Rgb(0x44502F), brown = Rgb(0x5E4630), black = Rgb(0x24261F);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float fx = x / 128.0f, fy = y / 128.0f;
            float warp = Fbm(fx * 2, fy * 2, 2, 4105, 8) - 0.5f;
            float a = Fbm(fx + warp * 0.5f, fy - warp * 0.3f, 4, 4101, 4);
            float b = Fbm(fx - warp * 0.4f, fy + warp * 0.5f, 4, 4102, 4);
            RGBA col = green;
            col = Mix(col, brown, Smooth(0.53f, 0.56f, a));
            col = Mix(col, black, Smooth(0.58f, 0.61f, b));
            float fine = Fbm(x / 8.0f, y / 8.0f, 3, 4104, 64);
            float shade = 0.88f + 0.2f * fine;
            col = Shaded(col, shade);
            if (Hash01(x, y, 4107) > 0.996f) col = Mix(col, Rgb(0x8C8A70), 0.3f);
            c.At(x, y) = col;
        }
    // Plate seams every 128 texels, with weld beads beside some of them.
    PaintSeams(&c, {.first = 96.0f, .width = 1.4f, .litOffset = 1.3f, .downParity = 1,
                    .dark = Rgb(0x181A14, 0.5f), .darkDown = Rgb(0x181A14, 0.45f),
                    .lit = Rgb(0xA8A888, 0.15f), .litDown = Rgb(0xA8A888, 0.14f),
                    .rivetFrom = 4, .rivetStep = 6, .rivetOffset = -4, .rivetRadius = 1.1f,
                    .rivet = Rgb(0x2A2C22, 0.3f)});
    // Dust settling low on every tile.
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float dust = Smooth(0.55f, 0.85f, Fbm(x / 24.0f, y / 48.0f, 3, 4106, 0)) * 0.22f;
            c.At(x, y) = Mix(c.At(x, y), Rgb(0x7A6E52), dust);
        }
    return c;
}

// The track band: rubber-padded links with end connectors.
void PaintTrack(Canvas* c)
{
    const RGBA pad = Rgb(0x2C2B28), steel = Rgb(0x56544B), darkSteel = Rgb(0x3A3934), gap = Rgb(0x1A1A17);
    const RGBA mud = Rgb(0x5A4C36);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 512; ++x) {
            float lx = std::fmod(x * kLinksPerRepeat / 512.0f, 1.0f) * 64;  // along the link, 0..64
            int link = x * kLinksPerRepeat / 512;
            RGBA col = darkSteel;
            if (y < 77) {
                float ay = std::fabs(y - 38.0f);
                col = ay > 31 ? steel : pad;
                if (ay < 5) col = darkSteel;  // centre guide
                if (lx > 24 && lx < 36 && ay <= 31 && ay >= 5) col = Mix(steel, pad, 0.3f);  // grouser
                if (lx < 4 || lx > 60) col = gap;
            } else if (y < 101) {
                col = (lx > 8 && lx < 56 && y > 82 && y < 96) ? steel : darkSteel;
                if ((lx > 2 && lx < 10) || (lx > 54 && lx < 62)) col = Mix(steel, Rgb(0x8A887C), 0.4f);
                if (lx < 2 || lx > 62) col = gap;
            } else {
                if (std::fabs(y - 114.0f) < 5 && lx > 18 && lx < 46) col = steel;
                if (lx < 2 || lx > 62) col = gap;
            }
            float grime = Fbm(x / 16.0f, y / 16.0f, 3, 4131 + link % 2, 32);
            col = Mix(col, mud, Smooth(0.45f, 0.8f, grime) * 0.45f);
            float shade = 0.9f + 0.15f * Hash01(x, y, 4132);
            c->At(x, y) = Shaded(col, shade);
        }
}

// A wheel face in a square of the picture: tyre, dished disc, bolt ring, hub.
void PaintWheel(Canvas* c, const Rect& r, bool idler)
{
    const RGBA rubber = Rgb(0x282724), disc = Rgb(0x46502E), hub = Rgb(0x3A4028);
    PaintRoundFace(c, r, 512, 4, {0, 128, 512, 384}, [&](const FacePoint& p) {
        RGBA col;
        if (p.d > (idler ? 0.9f : 0.82f)) col = idler ? Rgb(0x43423B) : rubber;
        else if (p.d > 0.3f) {
            col = Mix(disc, Mix(disc, Rgb(0x101008), 0.4f), Smooth(0.5f, 0.82f, p.d));
            if (idler)
                for (int k = 0; k < 6; ++k) {
                    float ha = k * kPi / 3;
                    if (p.Near(ha, 0.6f, 0.14f)) col = Rgb(0x1E1F18);
                }
        } else col = hub;
        for (int k = 0; k < 10; ++k) {
            float ba = k * kPi / 5, bx = std::cos(ba) * 0.22f * p.rad, by = std::sin(ba) * 0.22f * p.rad;
            float bd = std::hypot(p.dx - bx, p.dy - by);
            if (bd < 0.035f * p.rad) col = Mix(Rgb(0x7C7C66), Rgb(0x2A2A22), Clamp01(bd / (0.035f * p.rad)));
        }
        if (p.d < 0.1f) col = Mix(hub, Rgb(0x8A8A70), 0.3f);
        float grime = Fbm(p.x / 12.0f, p.y / 12.0f, 3, idler ? 4142 : 4141);
        col = Mix(col, Rgb(0x5A4C36), Smooth(0.5f, 0.8f, grime) * 0.45f);
        float shade = 0.9f + 0.15f * Hash01(p.x, p.y, 4143);
        return Shaded(col, shade);
    });
}

Canvas GearTexture()
{
    Canvas c(512, 512, Rgb(0x33342D));
    PaintTrack(&c);
    for (int y = 128; y < 384; ++y)
        for (int x = 0; x < 512; ++x) c.At(x, y) = Rgb(0x282724);
    PaintWheel(&c, kRoadWheelFace, false);
    PaintWheel(&c, kIdlerFace, true);
    FillGrain(&c, {0, 384, 512, 512}, Rgb(0x303129), Rgb(0x4A4B42), 10.0f, 4151);
    // Grille: a green frame round dark slats.
    PaintGrille(&c, {0, 384, 192, 512, 10, 394, 14, Rgb(0x445030), Rgb(0x1A1B16), Rgb(0x55574A)});
    const LampStyle style = {.inset = 5, .corner = 7, .glintX = 15, .glintY = 14, .glintRadius = 4};
    auto lamp = [&](const Rect& r, RGBA lens) { PaintLamp(&c, r, 512, Rgb(0x25261F), lens, style); };
    lamp(kAmberLamp, Rgb(0xE0A028));
    lamp(kRedLamp, Rgb(0xB82418));
    lamp(kGlass, Rgb(0x2A4A58));
    FillSpeckled(&c, {410, 392, 506, 504}, Rgb(0x6E6C64), Rgb(0x8E8C82), 4152);
    return c;
}

// --- meshes --------------------------------------------------------------------

// The hull: a long low box with a shallow glacis, the deck over the full
// width, a raked tail; the lower hull between the tracks; side skirts over
// the upper half of the wheels; engine grilles, lamps and the driver's hatch.
XMesh Hull()
{
    XMesh m;
    const UvMap uv = Camo(0.1f, 0.3f);
    AddPiece(&m, ExtrudeX({{0.22f, -2.8f}, {0.22f, 2.55f}, {0.45f, 1.7f}, {0.45f, -2.55f}, {0.36f, -2.8f}}, -1.25f,
                          1.25f, 0.03f, uv),
             0);
    AddPiece(&m, ExtrudeX({{-0.45f, -2.5f}, {-0.45f, 1.95f}, {0.22f, 2.55f}, {0.22f, -2.8f}, {-0.15f, -2.8f}}, -0.78f,
                          0.78f, 0.02f, uv),
             1);
    // The turret ring, standing up into the turret.
    AddPiece(&m, Drum({0, 0.4f, 0}, {0, 0.6f, 0}, 0.62f, 0.62f, 12, uv), 0);
    // Side skirts hanging over the upper half of the wheels, raked at the front.
    AddPair(&m,
            ExtrudeX({{0.24f, -2.68f}, {0.24f, 2.22f}, {0.02f, 2.0f}, {-0.2f, 1.6f}, {-0.2f, -2.6f}, {-0.1f, -2.68f}},
                     1.22f, 1.26f, 0.006f, Camo(0.37f, 0.12f)),
            0);
    // Driver's hatch and periscopes at the front right of the deck.
    AddPiece(&m, Drum({0.5f, 0.44f, 1.3f}, {0.5f, 0.49f, 1.3f}, 0.2f, 0.18f, 8, uv), 0);
    AddPiece(&m, ChamferedBox({0.3f, 0.44f, 1.52f}, {0.72f, 0.52f, 1.66f}, 0.02f, uv), 0);
    AddPiece(&m, Detail(ChamferedBox({0.34f, 0.46f, 1.655f}, {0.68f, 0.5f, 1.665f}, 0), 2, kGlass), 2);
    // Engine deck grilles and the exhaust grille on the tail.
    for (float x : {-0.55f, 0.55f})
        AddPiece(&m, Detail(ChamferedBox({x - 0.4f, 0.45f, -2.45f}, {x + 0.4f, 0.47f, -1.45f}, 0), 1, kGrille), 2);
    AddPiece(&m, Detail(ChamferedBox({-0.7f, 0.0f, -2.86f}, {0.7f, 0.2f, -2.79f}, 0.01f), 2, kGrille), 2);
    // Lamps: boxed head lamps on the front corners, tail lamps at the back.
    AddPair(&m, ChamferedBox({0.92f, 0.28f, 2.02f}, {1.14f, 0.45f, 2.2f}, 0.02f, uv), 0);
    AddPair(&m, Detail(ChamferedBox({0.96f, 0.31f, 2.195f}, {1.1f, 0.42f, 2.21f}, 0), 2, kAmberLamp), 2);
    AddPair(&m, Detail(ChamferedBox({0.95f, 0.26f, -2.84f}, {1.12f, 0.36f, -2.79f}, 0), 2, kRedLamp), 2);
    // Tow shackles on the nose.
    AddPair(&m, Detail(ChamferedBox({0.5f, 0.05f, 2.42f}, {0.62f, 0.17f, 2.62f}, 0.02f), 0, kDarkSteel), 2);
    m.materials = {Painted(kCamoFile), Shaded(kCamoFile), Painted(kGearFile)};
    return m;
}

// The turret: a tall box with near-vertical walls and a chamfered roof, the
// radar's raised base and mast at the rear, the trunnion bosses the side
// guns hang on, hatches, sights and smoke dischargers; a basket below the
// ring, hidden in the hull.
XMesh Turret()
{
    XMesh m;
    const UvMap uv = Camo(0.37f, 0.71f);
    std::vector<Vec3> body;
    for (float s : {-1.0f, 1.0f}) {
        body.push_back({0.6f * s, -0.05f, 0.95f});
        body.push_back({0.62f * s, -0.05f, -1.72f});
        body.push_back({0.62f * s, 0.64f, 0.8f});
        body.push_back({0.62f * s, 0.64f, -1.8f});
        body.push_back({0.52f * s, 0.74f, 0.7f});
        body.push_back({0.52f * s, 0.74f, -1.74f});
    }
    AddPiece(&m, ConvexHull(body, uv), 0);
    // The radar's base: a raised box over the rear, the mast on it.
    AddPiece(&m, ChamferedBox({-0.4f, 0.3f, -2.1f}, {0.4f, 0.8f, -1.6f}, 0.06f, uv), 0);
    AddPiece(&m, Drum({0, 0.79f, -1.85f}, {0, 0.86f, -1.85f}, 0.17f, 0.12f, 10, uv), 0);
    AddPiece(&m, Detail(Drum({0, 0.85f, -1.85f}, {0, 0.925f, -1.85f}, 0.08f, 0.08f, 8), 0, kDarkSteel), 1);
    // Trunnion bosses on both walls.
    AddPair(&m, Drum({0.6f, 0.6f, -0.8f}, {0.64f, 0.6f, -0.8f}, 0.2f, 0.18f, 10, uv), 0);
    // Commander's and gunner's hatches, their sights facing forward.
    AddPair(&m, Drum({0.28f, 0.73f, -0.55f}, {0.28f, 0.78f, -0.55f}, 0.18f, 0.16f, 8, uv), 0);
    AddPair(&m, ChamferedBox({0.18f, 0.73f, 0.1f}, {0.4f, 0.86f, 0.34f}, 0.025f, uv), 0);
    AddPair(&m, Detail(ChamferedBox({0.21f, 0.76f, 0.335f}, {0.37f, 0.83f, 0.345f}, 0), 2, kGlass), 1);
    // Smoke dischargers on the rear corners, four to a side.
    for (float s : {-1.0f, 1.0f})
        for (int k = 0; k < 4; ++k) {
            float z = -1.2f - 0.12f * k;
            AddPiece(&m,
                     Detail(Drum({0.6f * s, 0.36f, z}, {0.74f * s, 0.42f, z + 0.06f}, 0.04f, 0.04f, 5), 0, kDarkSteel),
                     1);
        }
    // Stowage box on the turret's back, below the radar base.
    AddPiece(&m, ChamferedBox({-0.55f, -0.02f, -1.98f}, {0.55f, 0.28f, -1.7f}, 0.03f, uv), 0);
    // The basket below the ring.
    AddPiece(&m, Drum({0, -0.6f, 0}, {0, -0.05f, 0}, 0.5f, 0.55f, 8, uv), 0);
    m.materials = {Painted(kCamoFile), Painted(kGearFile)};
    return m;
}

// The tracking radar on the turret's front: a round dish facing forward on
// a short yoke; it pitches with the guns.
XMesh TrackingRadar()
{
    XMesh m;
    const UvMap uv = Camo(0.6f, 0.2f);
    AddPiece(&m, ChamferedBox({-0.13f, -0.13f, -0.2f}, {0.13f, 0.13f, 0.02f}, 0.03f, uv), 0);
    AddPiece(&m, Drum({0, 0, 0}, {0, 0, 0.08f}, 0.29f, 0.29f, 12, uv), 0);
    AddPiece(&m, Detail(Drum({0, 0, 0.08f}, {0, 0, 0.13f}, 0.29f, 0.24f, 12), 2, kDarkSteel), 1);
    // The feed on three struts in front of the dish.
    AddPiece(&m, Detail(Drum({0, 0, 0.12f}, {0, 0, 0.3f}, 0.03f, 0.03f, 5), 0, kBrightSteel), 1);
    AddPiece(&m, Detail(Drum({0, 0, 0.28f}, {0, 0, 0.34f}, 0.06f, 0.05f, 6), 0, kDarkSteel), 1);
    m.materials = {Painted(kCamoFile), Painted(kGearFile)};
    return m;
}

// One side gun: a long armoured housing on the trunnion with ammunition
// chutes above and below, a tapered nose, the barrel with its cooling
// jacket and a muzzle device.  The barrel is a subset of its own so the
// reduced copy keeps it.
XMesh SideGun()
{
    XMesh m;
    const UvMap uv = Camo(0.23f, 0.57f);
    AddPiece(&m, ChamferedBox({-0.12f, -0.2f, -0.55f}, {0.16f, 0.2f, 1.15f}, 0.04f, uv), 0);
    AddPiece(&m,
             ConvexHull({{-0.12f, -0.18f, 1.14f}, {0.16f, -0.18f, 1.14f}, {-0.12f, 0.18f, 1.14f}, {0.16f, 0.18f, 1.14f},
                         {-0.04f, -0.09f, 1.5f}, {0.1f, -0.09f, 1.5f}, {-0.04f, 0.09f, 1.5f}, {0.1f, 0.09f, 1.5f}},
                        uv),
             0);
    for (float y : {0.2f, -0.26f})
        AddPiece(&m, ChamferedBox({-0.06f, y, -0.35f}, {0.1f, y + 0.06f, 0.5f}, 0.015f, uv), 0);
    AddPiece(&m, Detail(Drum({0.03f, 0, 1.45f}, {0.03f, 0, 1.9f}, 0.065f, 0.06f, 8), 0, kDarkSteel), 2);
    AddPiece(&m, Detail(Drum({0.03f, 0, 1.85f}, {0.03f, 0, 3.3f}, 0.042f, 0.036f, 8), 0, kDarkSteel), 1);
    AddPiece(&m, Detail(Drum({0.03f, 0, 3.25f}, {0.03f, 0, 3.45f}, 0.065f, 0.06f, 8), 0, kBrightSteel), 2);
    m.materials = {Painted(kCamoFile), Painted(kGearFile), Painted(kGearFile)};
    return m;
}

// The search radar: a turntable on the mast, an arm up to a wide curved
// antenna facing -z, its feed on a boom in front of the antenna's hollow.
// The antenna is four flat panels, so the hollow stays hollow.
XMesh SearchRadar()
{
    XMesh m;
    const UvMap uv = Camo(0.81f, 0.43f);
    AddPiece(&m, Drum({0, 0, 0}, {0, 0.07f, 0}, 0.14f, 0.13f, 10, uv), 0);
    AddPiece(&m, ChamferedBox({-0.06f, 0.06f, -0.04f}, {0.06f, 0.2f, 0.12f}, 0.015f, uv), 0);
    const float halfSpan = 0.62f, y0 = 0.12f, y1 = 0.44f, depth = 0.16f, thick = 0.03f;
    auto bow = [&](float x) { return -0.12f + depth * (1 - (x / halfSpan) * (x / halfSpan)); };
    for (int k = 0; k < 4; ++k) {
        float xa = -halfSpan + k * halfSpan / 2, xb = xa + halfSpan / 2;
        std::vector<Vec3> panel;
        for (float x : {xa, xb})
            for (float y : {y0, y1})
                for (float t : {0.0f, thick}) panel.push_back({x, y, bow(x) + t});
        AddPiece(&m, ConvexHull(panel, uv), 0);
    }
    // The feed boom from the arm to in front of the hollow (toward -z).
    AddPiece(&m, Detail(Drum({0, 0.16f, 0}, {0, 0.28f, -0.3f}, 0.018f, 0.018f, 5), 0, kDarkSteel), 1);
    AddPiece(&m, Detail(ChamferedBox({-0.07f, 0.24f, -0.36f}, {0.07f, 0.32f, -0.26f}, 0.01f), 0, kDarkSteel), 1);
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

// The track, one loop round the idler and the road wheels (the raised
// front one first).
XMesh Track()
{
    std::vector<TrackWheel> wheels = {kIdlerAt, kFrontWheelAt};
    for (float z : kRoadWheelsZ) wheels.push_back({kRoadWheelY, z, kRoadWheelRadius});
    return TrackLoop(wheels, kTrackBand, Painted(kGearFile));
}
}  // namespace

void BuildFlackp(Pack& pack)
{
    pack.Png(kCamoFile, CamoTexture());
    pack.Png(kGearFile, GearTexture());

    pack.X("LAND/FLACKP/body.x", Hull());
    pack.X("LAND/FLACKP/top1.x", Turret());
    pack.X("LAND/FLACKP/top2.x", TrackingRadar());
    pack.X("LAND/FLACKP/top3.x", SideGun());
    pack.X("LAND/FLACKP/top4.x", SearchRadar());
    pack.X("LAND/FLACKP/wheel1.x", Track());
    pack.X("LAND/FLACKP/wheel2.x", Wheel(kIdlerRadius, 0.08f, 12, kIdlerFace));
    pack.X("LAND/FLACKP/wheel3.x", Wheel(kRoadWheelRadius, 0, 12, kRoadWheelFace));
}

namespace {
const bool kRegistered = RegisterKindBuilder("FLACKP", BuildFlackp);
}  // namespace
