// The TIGER heavy tank: a tall slab-sided hull on interleaved road wheels,
// a big boxy turret with a long gun and muzzle brake, four flame projectors
// that rise from the hull's corners, the track, the shell and the flame
// picture, all under LAND/TIGER/.
//
// Each part is modelled in the frame its matrix in the game places it by
// (+x right, +y up, +z forward; units are world units):
//   body      hull; origin 1.36 above the ground, its box centred on the
//             origin (the ring riser stands up into the turret for that)
//   top1      turret with its mantlet; on the hull at y 0.85, centred on its
//             origin (hit box)
//   top2      gun; origin at the trunnions (turret (0, -0.1, 1.25)), the
//             barrel running back into the mantlet so it can recoil, the
//             muzzle at z 4.2
//   weapon1   flame-projector mount: origin on its pivot, its housing along
//             +z (standing up when stowed, pointing ahead when ready)
//   weapon2   flame nozzle on the same pivot, its muzzle 1.3 ahead at y 0.1
//   stailer1  front sprocket, stailer2 rear idler, stailer3 and stailer4 the
//             outer and inner rows of road wheels: centred on the axle (x),
//             the right side's (the left side's are turned half round)
//   tailer    track, one loop for both sides: u runs along the tread
//   tama      the flying shell, centred on its origin (its box is the hit box)
//   fire.jpg  the flame sprite on black, the colour key
#include <cmath>

#include "pack.h"
#include "shapes.h"
#include "tank_pictures.h"
#include "tank_shapes.h"

namespace {
const float kPi = 3.14159265f;

const char* const kCamoFile = "LAND/TIGER/TigerCamo.png";
const char* const kGearFile = "LAND/TIGER/TigerGear.png";

// --- running gear (hull frame) ----------------------------------------------
const float kGroundY = -1.36f;
const float kRoadWheelY = -0.8f;
const float kRoadWheelRadius = 0.495f;  // the track under it reaches the ground
const float kRowOffset = 0.13f;         // the outer row outboard, the inner row inboard of the axle's x
const float kWheelHalfWidth = 0.05f;
const float kSprocketRadius = 0.42f;
const float kIdlerRadius = 0.4f;
const float kIdlerOffset = -0.1f;  // the idler runs between the two rows
const float kTrackThickness = kRoadWheelY - kRoadWheelRadius - kGroundY;  // 0.065
const float kTrackHalfWidth = 0.25f;
const float kTrackOffsetY = -0.7f, kTrackOffsetZ = 0.22f;
const TrackWheel kSprocketAt = {-0.6f, 2.52f, kSprocketRadius};
const TrackWheel kIdlerAt = {-0.72f, -2.12f, kIdlerRadius};
const float kRoadWheelsZ[] = {-1.62f, -1.12f, -0.62f, -0.12f, 0.38f, 0.88f, 1.38f, 1.88f};

// --- the running-gear picture (256 x 256) ------------------------------------
// Rows 0..63: the track band, one u repeat = 4 links; rows 64..191: road
// wheel face (left) and sprocket face (right); rows 192..255: dark steel.
Rect Px(float l, float t, float r, float b) { return {l / 256, t / 256, r / 256, b / 256}; }
const float kTrackOuterV0 = 2 / 256.0f, kTrackOuterV1 = 38 / 256.0f;
const float kTrackSideV0 = 42 / 256.0f, kTrackSideV1 = 50 / 256.0f;
const float kTrackInnerV0 = 52 / 256.0f, kTrackInnerV1 = 62 / 256.0f;
const Rect kRoadWheelFace = Px(2, 66, 126, 190);
const Rect kSprocketFace = Px(130, 66, 254, 190);
const Rect kRubber = Px(4, 68, 8, 72);
const Rect kDarkSteel = Px(140, 200, 250, 250);
const Rect kGlass = Px(10, 200, 40, 230);
const Rect kBrightSteel = Px(60, 200, 120, 250);

// The track band round the wheels: a picture repeat is 800 degrees of
// road-wheel rim.
const TrackBand kTrackBand = {.offsetY = kTrackOffsetY, .offsetZ = kTrackOffsetZ, .centreX = 0,
                              .halfWidth = kTrackHalfWidth, .thickness = kTrackThickness, .steps = 20,
                              .repeatDegrees = 800.0f, .repeatRadius = kRoadWheelRadius,
                              .outerV0 = kTrackOuterV0, .outerV1 = kTrackOuterV1, .sideV0 = kTrackSideV0,
                              .sideV1 = kTrackSideV1, .innerV0 = kTrackInnerV0, .innerV1 = kTrackInnerV1};

XMaterial Painted(const char* texture) { return {Rgb(0xECEAE2), 5, Rgb(0x161614), Rgb(0), texture}; }

// The camouflage's projection, where the picture spans about 6 units: stripes
// a unit or so wide.
UvMap Camo(float uOffset, float vOffset) { return ScaledUv(0.16f, uOffset, vOffset); }

// --- pictures ----------------------------------------------------------------

// Sand-yellow ground with wandering bands of olive green and red-brown laid
// diagonally, soft at the edges, with plate seams, rivets and grime; tiles
// both ways.
Canvas CamoTexture()
{
    const int n = 512;
    Canvas c(n, n);
    const RGBA sand = Rgb(0xB49C62), green = Rgb(0x4B5A2E), brown = Rgb(0x6E4128);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float fx = x / 128.0f, fy = y / 128.0f;
            float warp = Fbm(fx, fy, 3, 1301, 4) - 0.5f;
            // Bands across the diagonal, a whole number of them per tile.
            float phase = 2 * kPi * (x + y) / n * 3 + warp * 5.0f;
            float band = std::sin(phase), band2 = std::sin(phase * 0.5f + 1.7f + warp * 2);
            RGBA col = sand;
            col = Mix(col, green, Smooth(0.45f, 0.6f, band) * Smooth(0.35f, 0.55f, Fbm(fx, fy, 3, 1302, 4) + 0.2f));
            col = Mix(col, brown, Smooth(0.55f, 0.7f, -band) * Smooth(0.0f, 0.3f, band2));
            float fine = Fbm(x / 8.0f, y / 8.0f, 3, 1303, 64);
            float shade = 0.86f + 0.22f * fine;
            col = Shaded(col, shade);
            c.At(x, y) = col;
        }
    // Plate seams every 128 texels with rivet rows beside them.
    PaintSeams(&c, {.first = 40.0f, .width = 1.6f, .litOffset = 1.4f, .downParity = 0,
                    .dark = Rgb(0x2A2616, 0.55f), .darkDown = Rgb(0x2A2616, 0.5f),
                    .lit = Rgb(0xD8C898, 0.2f), .litDown = Rgb(0xD8C898, 0.18f),
                    .rivetFrom = 5, .rivetStep = 14, .rivetOffset = 7, .rivetRadius = 1.6f,
                    .rivet = Rgb(0x2E2A1C, 0.65f), .glintBack = 0.5f, .glintOffset = 6.5f,
                    .glintRadius = 0.7f, .glint = Rgb(0xE0D0A0, 0.35f)});
    // Grime: darker toward the bottom of each tile's rows, a few streaks.
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float streak = Smooth(0.6f, 0.85f, Fbm(x / 6.0f, y / 64.0f, 3, 1304, 0)) * 0.25f;
            c.At(x, y) = Mix(c.At(x, y), Rgb(0x3A3222), streak);
        }
    return c;
}

void PaintWheel(Canvas* c, const Rect& r, bool sprocket)
{
    const RGBA rubber = Rgb(0x2A2926), disc = Rgb(0x8C7A4E), hub = Rgb(0x5E5438), steel = Rgb(0x4A4840);
    PaintRoundFace(c, r, 256, 2, {0, 64, 256, 192}, [&](const FacePoint& p) {
        RGBA col;
        if (!sprocket) {
            // A dished steel disc with a rubber tyre and a ring of bolts.
            if (p.d > 0.86f) col = rubber;
            else if (p.d > 0.28f) col = Mix(disc, Mix(disc, Rgb(0x000000), 0.4f), Smooth(0.5f, 0.86f, p.d));
            else col = hub;
            if (std::fabs(p.d - 0.86f) < 0.015f) col = Mix(col, Rgb(0xB0A070), 0.4f);
            for (int k = 0; k < 12; ++k) {
                float ba = k * kPi / 6;
                if (p.Near(ba, 0.78f, 0.03f)) col = Rgb(0x3A3422);
            }
        } else {
            float tooth = std::cos(p.ang * 18);
            if (p.d > 0.86f) col = tooth > 0.0f ? steel : Rgb(0x22211D);
            else if (p.d > 0.3f) {
                col = disc;
                for (int k = 0; k < 6; ++k) {
                    float ha = k * kPi / 3;
                    if (p.Near(ha, 0.58f, 0.15f)) col = Rgb(0x1E1D16);
                }
            } else col = hub;
        }
        if (p.d < 0.1f) col = Mix(hub, Rgb(0xA09070), 0.3f);
        float grime = Fbm(p.x / 10.0f, p.y / 10.0f, 3, sprocket ? 1312 : 1311);
        col = Mix(col, Rgb(0x5A4A32), Smooth(0.45f, 0.8f, grime) * 0.5f);
        return col;
    });
}

Canvas GearTexture()
{
    Canvas c(256, 256, Rgb(0x2A2926));
    // The track band: four wide cast links per repeat, each with a
    // chevron of grousers, pins at the ends and mud in the hollows.
    const RGBA steel = Rgb(0x4C4A42), dark = Rgb(0x2C2B27), gap = Rgb(0x181816), mud = Rgb(0x66563C);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 256; ++x) {
            float lx = static_cast<float>(x % 64);  // along the link
            RGBA col = dark;
            if (y < 40) {
                float ay = std::fabs(y - 20.0f);
                col = steel;
                float chevron = lx - 20 - ay * 0.6f;
                if (chevron > 0 && chevron < 8) col = Mix(steel, Rgb(0x7A776A), 0.5f);
                if (ay > 17) col = dark;
            } else if (y < 51) {
                col = (lx > 6 && lx < 58) ? steel : Mix(steel, Rgb(0x8A8676), 0.4f);
            } else {
                col = dark;
                if (std::fabs(y - 57.0f) < 3 && lx > 24 && lx < 40) col = steel;  // guide horn
            }
            if (lx < 3 || lx > 61) col = gap;
            col = Mix(col, mud, Smooth(0.45f, 0.8f, Fbm(x / 12.0f, y / 12.0f, 3, 1321, 0)) * 0.5f);
            float shade = 0.9f + 0.15f * Hash01(x, y, 1322);
            c.At(x, y) = Shaded(col, shade);
        }
    PaintWheel(&c, kRoadWheelFace, false);
    PaintWheel(&c, kSprocketFace, true);
    FillGrain(&c, {0, 192, 256, 256}, Rgb(0x2E2E2A), Rgb(0x45443E), 8.0f, 1323);
    c.FillRect(8, 198, 42, 232, Rgb(0x22301F));   // vision glass
    c.Disc(18, 208, 4, Rgb(0xD0E0C0, 0.6f), 2);
    FillSpeckled(&c, {58, 198, 122, 252}, Rgb(0x6E6C64), Rgb(0x8C8A80), 1324);  // bright worn steel
    return c;
}

// The flame: a hot white-yellow core fading through orange to deep red
// tongues, ragged at the edge, on black (the colour key).
Canvas FirePicture()
{
    Canvas c(128, 128, Rgb(0x000000));
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            float dx = (x + 0.5f - 64) / 64, dy = (y + 0.5f - 64) / 64;
            float ang = std::atan2(dy, dx);
            float rag = 0.78f + 0.22f * Fbm(std::cos(ang) * 2 + 3, std::sin(ang) * 2 + 3, 3, 1331);
            float d = std::hypot(dx, dy) / rag;
            if (d >= 1) continue;
            float lick = Fbm(x / 14.0f, y / 14.0f, 3, 1332);
            float heat = Clamp01((1 - d) * (0.8f + 0.5f * lick));
            RGBA col = Mix(Rgb(0x8A1A06), Rgb(0xF06A10), Smooth(0.0f, 0.4f, heat));
            col = Mix(col, Rgb(0xFFD050), Smooth(0.35f, 0.7f, heat));
            col = Mix(col, Rgb(0xFFF8E0), Smooth(0.7f, 0.95f, heat));
            float fade = Smooth(1.0f, 0.55f, d);
            if (fade * 255 < 6) continue;  // stays key black
            c.At(x, y) = Shaded(col, fade);
        }
    return c;
}

// --- meshes --------------------------------------------------------------------

// The hull: a tall box with slab sides over the tracks, a near-vertical
// front plate with the driver's visor and the hull gunner's ball, a sloped
// lower nose, an engine deck with its grilles and two tall exhausts, and
// the turret ring rising into the turret.
XMesh Hull()
{
    XMesh m;
    const UvMap uv = Camo(0.1f, 0.3f);
    // Lower hull between the tracks: its nose and tail slope in.
    AddPiece(&m, ExtrudeX({{-0.98f, -2.3f}, {-0.98f, 2.35f}, {-0.08f, 2.78f}, {-0.08f, -2.72f}}, -1.0f, 1.0f, 0.02f, uv), 0);
    // Upper hull over the full width: a steep front plate, flat deck, a
    // sloped tail.
    AddPiece(&m, ExtrudeX({{-0.08f, -2.72f}, {-0.08f, 2.78f}, {0.3f, 2.72f}, {0.36f, 2.5f}, {0.36f, -2.45f},
                           {0.2f, -2.72f}},
                          -1.62f, 1.62f, 0.03f, uv),
             0);
    // Mudguards running the length over the tracks, flared at the front.
    AddPair(&m, ChamferedBox({1.5f, -0.08f, -2.74f}, {1.64f, -0.03f, 3.05f}, 0.01f, uv), 0);
    // Driver's visor block and the hull gunner's ball mount on the front plate.
    AddPiece(&m, ChamferedBox({0.35f, 0.05f, 2.7f}, {0.85f, 0.26f, 2.82f}, 0.02f, uv), 0);
    XMesh visor = ChamferedBox({0.45f, 0.12f, 2.815f}, {0.75f, 0.17f, 2.825f}, 0);
    ProjectInto(&visor, 2, kGlass);
    AddPiece(&m, visor, 1);
    AddPiece(&m, Drum({-0.6f, 0.12f, 2.72f}, {-0.6f, 0.12f, 2.86f}, 0.14f, 0.11f, 8, uv), 0);
    XMesh mg = Drum({-0.6f, 0.12f, 2.8f}, {-0.6f, 0.12f, 3.05f}, 0.03f, 0.03f, 5);
    ProjectInto(&mg, 0, kDarkSteel);
    AddPiece(&m, mg, 1);
    // Hatches over driver and radio operator.
    AddPair(&m, Drum({0.65f, 0.36f, 1.75f}, {0.65f, 0.4f, 1.75f}, 0.26f, 0.24f, 8, uv), 0);
    // Engine deck grilles and the two exhaust stacks on the tail.
    for (float x : {-0.75f, 0.75f}) {
        XMesh grille = ChamferedBox({x - 0.35f, 0.36f, -2.3f}, {x + 0.35f, 0.39f, -1.5f}, 0);
        ProjectInto(&grille, 1, kDarkSteel);
        AddPiece(&m, grille, 1);
    }
    for (float x : {-0.5f, 0.5f}) {
        XMesh stack = Drum({x, -0.3f, -2.82f}, {x, 0.55f, -2.82f}, 0.09f, 0.08f, 8);
        ProjectInto(&stack, 0, kDarkSteel);
        AddPiece(&m, stack, 1);
    }
    // Tow shackles and spare track links on the front plate.
    AddPair(&m, ChamferedBox({1.15f, -0.6f, 2.5f}, {1.3f, -0.4f, 2.62f}, 0.02f, uv), 0);
    XMesh links = ChamferedBox({-1.4f, -0.05f, 2.73f}, {-0.9f, 0.25f, 2.8f}, 0.01f);
    ProjectInto(&links, 2, kDarkSteel);
    AddPiece(&m, links, 1);
    // The turret ring, standing up into the turret: the hull's box stays
    // centred on its origin, and a hull whose turret is gone shows its ring.
    AddPiece(&m, Drum({0, 0.36f, 0}, {0, 0.98f, 0}, 0.9f, 0.9f, 12, uv), 0);
    m.materials = {Painted(kCamoFile), Painted(kGearFile)};
    return m;
}

// The turret: a big box with near-vertical walls, a thick curved-looking
// front with the mantlet, a commander's cupola at the back left, a loader's
// hatch, stowage bin on the rear, smoke dischargers on the cheeks.
XMesh Turret()
{
    XMesh m;
    const UvMap uv = Camo(0.37f, 0.71f);
    // The main box, its sides leaning in slightly toward the roof.
    std::vector<Vec3> box;
    for (float s : {-1.0f, 1.0f}) {
        box.push_back({0.98f * s, -0.5f, 1.05f});
        box.push_back({1.02f * s, -0.5f, 0.2f});
        box.push_back({0.98f * s, -0.5f, -1.2f});
        box.push_back({0.92f * s, 0.4f, 1.05f});
        box.push_back({0.95f * s, 0.4f, 0.2f});
        box.push_back({0.9f * s, 0.4f, -1.2f});
        box.push_back({0.8f * s, 0.46f, 0.95f});
        box.push_back({0.8f * s, 0.46f, -1.1f});
    }
    AddPiece(&m, ConvexHull(box, uv), 0);
    // The front plate, the mantlet across it and the gun's collar.
    AddPiece(&m, ChamferedBox({-0.95f, -0.42f, 1.05f}, {0.95f, 0.36f, 1.2f}, 0.05f, uv), 0);
    AddPiece(&m, ChamferedBox({-0.6f, -0.36f, 1.2f}, {0.6f, 0.16f, 1.42f}, 0.08f, uv), 0);
    AddPiece(&m, Drum({0, -0.1f, 1.4f}, {0, -0.1f, 1.55f}, 0.17f, 0.15f, 10, uv), 0);
    // Gunner's sight beside the gun.
    XMesh sight = Drum({0.35f, 0.0f, 1.38f}, {0.35f, 0.0f, 1.46f}, 0.05f, 0.05f, 6);
    ProjectInto(&sight, 2, kGlass);
    AddPiece(&m, sight, 1);
    // Commander's cupola at the back left: a drum with vision blocks and a hatch.
    AddPiece(&m, Drum({-0.5f, 0.4f, -0.55f}, {-0.5f, 0.62f, -0.55f}, 0.3f, 0.28f, 10, uv), 0);
    AddPiece(&m, Drum({-0.5f, 0.62f, -0.55f}, {-0.5f, 0.66f, -0.55f}, 0.24f, 0.2f, 10, uv), 0);
    XMesh blocks = Drum({-0.5f, 0.46f, -0.55f}, {-0.5f, 0.56f, -0.55f}, 0.305f, 0.305f, 10);
    ProjectInto(&blocks, 0, kGlass);
    AddPiece(&m, blocks, 1);
    // Loader's hatch, ventilator.
    AddPiece(&m, ChamferedBox({0.25f, 0.44f, -0.4f}, {0.7f, 0.5f, 0.1f}, 0.02f, uv), 0);
    AddPiece(&m, Drum({0.1f, 0.44f, 0.55f}, {0.1f, 0.52f, 0.55f}, 0.1f, 0.08f, 6, uv), 0);
    // Stowage bin across the back.
    AddPiece(&m, ChamferedBox({-0.75f, -0.3f, -1.48f}, {0.75f, 0.22f, -1.18f}, 0.04f, uv), 0);
    // Smoke dischargers on both cheeks.
    for (float s : {-1.0f, 1.0f})
        for (float y : {0.05f, 0.22f}) {
            XMesh tube = Drum({0.96f * s, y, 0.75f}, {1.08f * s, y + 0.08f, 0.9f}, 0.045f, 0.045f, 5);
            ProjectInto(&tube, 0, kDarkSteel);
            AddPiece(&m, tube, 1);
        }
    m.materials = {Painted(kCamoFile), Painted(kGearFile)};
    return m;
}

// The gun: a long barrel from inside the mantlet to the muzzle brake at z
// 4.2, a thicker breech end that recoils into the turret.
XMesh Gun()
{
    XMesh m;
    const UvMap uv = Camo(0.6f, 0.2f);
    AddPiece(&m, Drum({0, 0, -0.5f}, {0, 0, 0.6f}, 0.13f, 0.12f, 10, uv), 0);
    AddPiece(&m, Drum({0, 0, 0.6f}, {0, 0, 3.85f}, 0.095f, 0.075f, 10, uv), 1);
    // The muzzle brake: two baffles with a gap between, dark steel.
    XMesh brake = Drum({0, 0, 3.82f}, {0, 0, 3.98f}, 0.13f, 0.13f, 8);
    ProjectInto(&brake, 0, kDarkSteel);
    AddPiece(&m, brake, 2);
    XMesh neck = Drum({0, 0, 3.98f}, {0, 0, 4.04f}, 0.09f, 0.09f, 8);
    ProjectInto(&neck, 0, kDarkSteel);
    AddPiece(&m, neck, 2);
    XMesh front = Drum({0, 0, 4.04f}, {0, 0, 4.2f}, 0.13f, 0.12f, 8);
    ProjectInto(&front, 0, kBrightSteel);
    AddPiece(&m, front, 2);
    m.materials = {Painted(kCamoFile), Painted(kCamoFile), Painted(kGearFile)};
    return m;
}

// The flame-projector mount: a squat armoured housing round the pivot with
// a cradle along +z that carries the nozzle.
XMesh FlameMount()
{
    XMesh m;
    const UvMap uv = Camo(0.13f, 0.58f);
    AddPiece(&m, ChamferedBox({-0.2f, -0.14f, -0.2f}, {0.2f, 0.2f, 0.2f}, 0.04f, uv), 0);
    AddPiece(&m, Drum({-0.22f, 0, 0}, {0.22f, 0, 0}, 0.1f, 0.1f, 8, uv), 0);  // trunnion
    AddPiece(&m, ChamferedBox({-0.12f, -0.08f, 0.2f}, {0.12f, 0.14f, 0.6f}, 0.03f, uv), 0);
    XMesh tank = Drum({0, 0.23f, -0.18f}, {0, 0.23f, 0.3f}, 0.08f, 0.08f, 8);  // fuel bottle on top
    ProjectInto(&tank, 0, kBrightSteel);
    AddPiece(&m, tank, 1);
    m.materials = {Painted(kCamoFile), Painted(kGearFile)};
    return m;
}

// The nozzle: a tube along +z at y 0.1 from the cradle to the muzzle at 1.3,
// with a ring at the tip.
XMesh FlameNozzle()
{
    XMesh m;
    XMesh tube = Drum({0, 0.1f, 0.5f}, {0, 0.1f, 1.22f}, 0.055f, 0.045f, 8);
    ProjectInto(&tube, 0, kDarkSteel);
    AddPiece(&m, tube, 0);
    XMesh tip = Drum({0, 0.1f, 1.2f}, {0, 0.1f, 1.3f}, 0.07f, 0.065f, 8);
    ProjectInto(&tip, 0, kBrightSteel);
    AddPiece(&m, tip, 0);
    m.materials = {Painted(kGearFile)};
    return m;
}

// A wheel on the axle (x) with its disc centred at x = `across`, a hub on
// its outer (+x) face.
XMesh Wheel(float radius, float across, int sides, const Rect& face)
{
    return FacetedWheel({.radius = radius, .halfWidth = kWheelHalfWidth, .sides = sides, .face = face, .tread = kRubber,
                         .hubRadius = radius * 0.22f, .hubTipRadius = radius * 0.16f, .hubLength = 0.04f,
                         .hubRim = kDarkSteel, .across = across},
                        Painted(kGearFile));
}

// The track, one loop round the sprocket, the idler and the road wheels.
XMesh Track()
{
    std::vector<TrackWheel> wheels = {kSprocketAt, kIdlerAt};
    for (float z : kRoadWheelsZ) wheels.push_back({kRoadWheelY, z, kRoadWheelRadius});
    return TrackLoop(wheels, kTrackBand, Painted(kGearFile));
}

// The shell: a heavy round with a pointed nose and a glowing base, centred
// on its origin.
XMesh Shell()
{
    return GlowingRound({{-0.4f, 0.06f}, {-0.36f, 0.068f}, {0.14f, 0.068f}, {0.28f, 0.045f}, {0.38f, 0.018f}}, 0.4f,
                        {Rgb(0x7A6A48), 12, Rgb(0x505048), Rgb(0x141410), ""},
                        {Rgb(0xFFC070), 0, Rgb(0), Rgb(0xFFA030), ""});
}
}  // namespace

void BuildTiger(Pack& pack)
{
    pack.Png(kCamoFile, CamoTexture());
    pack.Png(kGearFile, GearTexture());
    pack.Jpg("LAND/TIGER/fire.jpg", FirePicture());

    pack.X("LAND/TIGER/body.x", Hull());
    pack.X("LAND/TIGER/top1.x", Turret());
    pack.X("LAND/TIGER/top2.x", Gun());
    pack.X("LAND/TIGER/weapon1.x", FlameMount());
    pack.X("LAND/TIGER/weapon2.x", FlameNozzle());
    pack.X("LAND/TIGER/stailer1.x", Wheel(kSprocketRadius, 0, 12, kSprocketFace));
    pack.X("LAND/TIGER/stailer2.x", Wheel(kIdlerRadius, kIdlerOffset, 12, kRoadWheelFace));
    pack.X("LAND/TIGER/stailer3.x", Wheel(kRoadWheelRadius, kRowOffset, 12, kRoadWheelFace));
    pack.X("LAND/TIGER/stailer4.x", Wheel(kRoadWheelRadius, -kRowOffset, 12, kRoadWheelFace));
    pack.X("LAND/TIGER/tailer.x", Track());
    pack.X("LAND/TIGER/tama.x", Shell());
}

namespace {
const bool kRegistered = RegisterKindBuilder("TIGER", BuildTiger);
}  // namespace
