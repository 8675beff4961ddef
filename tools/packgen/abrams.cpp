// The ABRAMS main battle tank: hull, turret, gun, roof rotary gun, wheels,
// track, shell and tracer pictures, all under LAND/ABRAMS/.
//
// Each part is modelled in the frame its matrix in the game places it by
// (+x right, +y up, +z forward; units are world units):
//   body        hull; origin 0.72 above the ground, centred on its origin
//               (its box is the hull's hit box): 2.26 x 0.9 x 5
//   top1        turret; on the hull at y 0.35, centred on its origin (hit
//               box), the part below the deck a hidden turret basket
//   top3        turret fittings (sights, hatches, bustle rack), turret frame
//   top2        gun; origin at the trunnions (turret (0, 0.3, 1.15)), the
//               muzzle 1.8 ahead
//   weaponpart1 roof rotary-gun housing; its own z is the barrels' axis
//   weaponpart2 the barrel cluster; origin on the top barrel's root, 0.275
//               above the housing's axis, so it spins round that axis
//   swheel2     road wheel, swheel1 rear sprocket: centred on the axle, the
//               hub on +x (the left side's wheels are turned half round)
//   wheel       track, one loop for both sides: u runs along the tread
//   Cannon01    the flying shell, centred on its origin (its box is the hit box)
#include <cmath>

#include "pack.h"
#include "shapes.h"
#include "tank_pictures.h"
#include "tank_shapes.h"

namespace {
const float kPi = 3.14159265f;

const char* const kCamoFile = "LAND/ABRAMS/AbramsCamo.png";
const char* const kLowerFile = "LAND/ABRAMS/AbramsLower.png";
const char* const kGearFile = "LAND/ABRAMS/AbramsGear.png";

// --- where the running gear sits (hull frame) -------------------------------
// The track's own frame is the hull's moved by (0.965, -0.32, -0.23) on the
// right and (-1.0, -0.32, -0.23) on the left: its centre line is put 0.0175
// to the right so that the two tracks lie evenly about the wheels at +-0.98.
const float kTrackOffsetY = -0.32f, kTrackOffsetZ = -0.23f;
const float kTrackCentreX = 0.0175f;
const float kTrackHalfWidth = 0.11f;
const float kTrackThickness = 0.04f;
const float kRoadWheelRadius = 0.178f;
const float kSprocketRadius = 0.198f;
// Wheel centres (y, z) in the hull frame: the sprocket, then the road wheels
// rear to front (the last, raised one is the front idler).
const P2 kSprocketAt = {-0.2f, -2.45f};
const P2 kRoadWheelsAt[] = {{-0.485f, -1.99f}, {-0.5f, -1.5f}, {-0.5f, -1.0f}, {-0.5f, -0.5f},
                            {-0.5f, 0.0f},     {-0.5f, 0.5f},  {-0.5f, 1.1f},  {-0.25f, 2.0f}};

// --- the running-gear picture (512 x 512) ------------------------------------
// Rows 0..127: the track band, one u repeat = 8 links across the width;
// rows 128..383: road-wheel face (left) and sprocket face (right);
// rows 384..511: grille, lamp lenses, sight glass and bare dark steel.
Rect Px(float l, float t, float r, float b) { return {l / 512, t / 512, r / 512, b / 512}; }
const float kTrackOuterV0 = 3 / 512.0f, kTrackOuterV1 = 73 / 512.0f;
const float kTrackSideV0 = 80 / 512.0f, kTrackSideV1 = 97 / 512.0f;
const float kTrackInnerV0 = 104 / 512.0f, kTrackInnerV1 = 124 / 512.0f;
const int kLinksPerRepeat = 8;
const Rect kRoadWheelFace = Px(4, 132, 252, 380);
const Rect kSprocketFace = Px(260, 132, 508, 380);
const Rect kRubber = Px(6, 134, 12, 140);
const Rect kGrille = Px(4, 388, 252, 508);
const Rect kAmberLamp = Px(262, 390, 318, 442);
const Rect kRedLamp = Px(262, 452, 318, 506);
const Rect kGlass = Px(326, 390, 382, 442);
const Rect kDarkSteel = Px(392, 392, 504, 504);

// The track band round the wheels: one picture repeat per 5.236 wheel radii
// of band, as the wheels turn trackTravel degrees while the picture moves
// trackTravel / 300 repeats.
const TrackBand kTrackBand = {.offsetY = kTrackOffsetY, .offsetZ = kTrackOffsetZ, .centreX = kTrackCentreX,
                              .halfWidth = kTrackHalfWidth, .thickness = kTrackThickness, .steps = 16,
                              .repeatDegrees = 300.0f, .repeatRadius = kRoadWheelRadius,
                              .outerV0 = kTrackOuterV0, .outerV1 = kTrackOuterV1, .sideV0 = kTrackSideV0,
                              .sideV1 = kTrackSideV1, .innerV0 = kTrackInnerV0, .innerV1 = kTrackInnerV1};

XMaterial Painted(const char* texture) { return {Rgb(0xECEAE2), 6, Rgb(0x1A1A18), Rgb(0), texture}; }

// The camouflage's projection, where the 512 picture spans 5 units: patches a
// unit or so across.
UvMap Camo(float uOffset, float vOffset) { return ScaledUv(0.2f, uOffset, vOffset); }

// --- pictures ----------------------------------------------------------------

// Three-tone camouflage in large soft patches over a sand-olive ground, with
// plate seams, bolt rows and a little wear; tiles both ways.
Canvas CamoTexture()
{
    const int n = 512;
    Canvas c(n, n);
    const RGBA sand = Rgb(0xA39868), olive = Rgb(0x6C6C3A), green = Rgb(0x35412A), brown = Rgb(0x5E4E34);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float fx = x / 128.0f, fy = y / 128.0f;
            // Patch fields, warped a little so edges wander.
            float warp = Fbm(fx * 2, fy * 2, 2, 905, 8) - 0.5f;
            float a = Fbm(fx + warp * 0.6f, fy, 4, 901, 4);
            float b = Fbm(fx, fy + warp * 0.6f, 4, 902, 4);
            float d = Fbm(fx + 0.5f, fy + 0.5f, 4, 903, 4);
            RGBA col = olive;
            col = Mix(col, sand, Smooth(0.54f, 0.60f, a));
            col = Mix(col, green, Smooth(0.55f, 0.61f, b));
            col = Mix(col, brown, Smooth(0.60f, 0.66f, d) * 0.85f);
            // Paint wear and dust: fine mottling, lighter specks.
            float fine = Fbm(x / 8.0f, y / 8.0f, 3, 904, 64);
            float shade = 0.88f + 0.2f * fine;
            col = Shaded(col, shade);
            float speck = Hash01(x, y, 907);
            if (speck > 0.997f) col = Mix(col, Rgb(0xB0A680), 0.3f);
            c.At(x, y) = col;
        }
    // Plate seams every 128 texels (about 1.25 units), broken here and there,
    // with bolt rows beside them.
    for (int k = 0; k < 4; ++k) {
        float at = k * 128.0f + 64.0f;
        for (int s = 0; s < 8; ++s) {
            if (Hash01(k, s, 911) < 0.3f) continue;
            float from = s * 64.0f, to = from + 64.0f;
            c.Line(from, at, to, at, 1.4f, Rgb(0x23261A, 0.55f));
            c.Line(from, at + 1.2f, to, at + 1.2f, 1.0f, Rgb(0xC8C098, 0.18f));
            if (Hash01(k, s, 913) < 0.5f) {
                c.Line(at, from, at, to, 1.4f, Rgb(0x23261A, 0.5f));
                c.Line(at + 1.2f, from, at + 1.2f, to, 1.0f, Rgb(0xC8C098, 0.16f));
            }
            if (Hash01(k, s, 912) < 0.5f)
                for (float b = from + 6; b < to; b += 12) {
                    c.Disc(b, at + 6, 1.5f, Rgb(0x2A2C20, 0.6f));
                    c.Disc(b - 0.4f, at + 5.6f, 0.7f, Rgb(0xC0B890, 0.35f));
                }
        }
    }
    return c;
}

// The lower hull: dusty sand with darker grime blotches; tiles both ways.
Canvas LowerTexture()
{
    Canvas c(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            float n = Fbm(x / 64.0f, y / 64.0f, 4, 921, 4);
            float fine = Fbm(x / 8.0f, y / 8.0f, 3, 922, 32);
            RGBA col = Mix(Rgb(0x8E8660), Rgb(0xA69C74), n);
            col = Mix(col, Rgb(0x5A4E38), Smooth(0.55f, 0.72f, Fbm(x / 32.0f, y / 32.0f, 3, 923, 8)) * 0.6f);
            float shade = 0.9f + 0.16f * fine;
            c.At(x, y) = Shaded(col, shade);
        }
    return c;
}

// The track band: eight links across the picture's width.
void PaintTrack(Canvas* c)
{
    const RGBA pad = Rgb(0x2E2D2A), steel = Rgb(0x57554C), darkSteel = Rgb(0x3C3B35), gap = Rgb(0x1C1C19);
    const RGBA mud = Rgb(0x6A5A40);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 512; ++x) {
            const int linkPx = 512 / kLinksPerRepeat;
            int link = x / linkPx;
            float lx = static_cast<float>(x % linkPx) * 64 / linkPx;  // along the link, 0..64
            RGBA col = darkSteel;
            if (y < 77) {
                // Outer face: end connectors at both edges, two rubber pads
                // with a steel centre strip, a grouser bar, a gap to the next link.
                float ay = std::fabs(y - 38.0f);  // from the centre line
                if (ay > 30) col = steel;
                else if (ay < 4) col = Mix(steel, darkSteel, 0.4f);
                else col = pad;
                if (lx > 26 && lx < 34 && ay <= 30) col = Mix(steel, pad, 0.35f);  // grouser
                if (lx < 3 || lx > 61) col = gap;
            } else if (y < 101) {
                // Side: the link's edge with its end connector and pin.
                col = darkSteel;
                if (lx > 8 && lx < 56 && y > 82 && y < 96) col = steel;
                if ((lx > 2 && lx < 10) || (lx > 54 && lx < 62)) col = Mix(steel, Rgb(0x8A887C), 0.4f);
                if (lx < 2 || lx > 62) col = gap;
            } else {
                // Inner face: running surface with a guide horn in the middle.
                col = darkSteel;
                if (std::fabs(y - 114.0f) < 5 && lx > 20 && lx < 44) col = steel;
                if (lx < 2 || lx > 62) col = gap;
            }
            float grime = Fbm(x / 16.0f, y / 16.0f, 3, 931 + link % 2, 32);
            col = Mix(col, mud, Smooth(0.45f, 0.8f, grime) * 0.45f);
            float shade = 0.9f + 0.15f * Hash01(x, y, 932);
            c->At(x, y) = Shaded(col, shade);
        }
}

// A wheel face in a square of the picture: tyre or toothed ring, disc,
// bolts, hub.  The square's corners hold tyre rubber.
void PaintWheel(Canvas* c, const Rect& r, bool sprocket)
{
    const RGBA rubber = Rgb(0x2A2926), disc = Rgb(0x596038), hub = Rgb(0x444830), steel = Rgb(0x45443C);
    PaintRoundFace(c, r, 512, 4, {0, 128, 512, 384}, [&](const FacePoint& p) {
        RGBA col;
        if (!sprocket) {
            if (p.d > 0.8f) col = rubber;
            else if (p.d > 0.3f) {
                col = Mix(disc, Mix(disc, Rgb(0x000000), 0.35f), Smooth(0.55f, 0.8f, p.d));  // dished toward the rim
                if (std::fabs(p.d - 0.6f) < 0.025f) col = Mix(disc, Rgb(0xA0A080), 0.25f);
            } else col = hub;
            if (p.d > 0.78f && p.d < 0.8f) col = Mix(col, Rgb(0x8A8A70), 0.5f);
        } else {
            float tooth = std::cos(p.ang * 12);
            if (p.d > 0.84f) col = tooth > 0.1f ? steel : Rgb(0x262521);
            else if (p.d > 0.3f) {
                col = disc;
                for (int k = 0; k < 8; ++k) {  // lightening holes
                    float ha = k * kPi / 4;
                    if (p.Near(ha, 0.57f, 0.13f)) col = Rgb(0x1E1F18);
                }
            } else col = hub;
        }
        // A bolt circle on the hub and a cap in the middle.
        for (int k = 0; k < 8; ++k) {
            float ba = k * kPi / 4 + 0.2f, bx = std::cos(ba) * 0.2f * p.rad, by = std::sin(ba) * 0.2f * p.rad;
            float bd = std::hypot(p.dx - bx, p.dy - by);
            if (bd < 0.035f * p.rad) col = Mix(Rgb(0x7C7C66), Rgb(0x2A2A22), Clamp01(bd / (0.035f * p.rad)));
        }
        if (p.d < 0.09f) col = Mix(hub, Rgb(0x8A8A70), 0.3f);
        float grime = Fbm(p.x / 12.0f, p.y / 12.0f, 3, sprocket ? 942 : 941);
        col = Mix(col, Rgb(0x6A5A40), Smooth(0.5f, 0.8f, grime) * 0.4f);
        float shade = 0.9f + 0.15f * Hash01(p.x, p.y, 943);
        return Shaded(col, shade);
    });
}

Canvas GearTexture()
{
    Canvas c(512, 512, Rgb(0x3A3B33));
    PaintTrack(&c);
    for (int y = 128; y < 384; ++y)
        for (int x = 0; x < 512; ++x) c.At(x, y) = Rgb(0x2A2926);
    PaintWheel(&c, kRoadWheelFace, false);
    PaintWheel(&c, kSprocketFace, true);
    // Details: dark steel everywhere first, with grain.
    FillGrain(&c, {0, 384, 512, 512}, Rgb(0x33342D), Rgb(0x4A4B42), 10.0f, 951);
    // Grille: an olive frame round dark slats.
    PaintGrille(&c, {0, 384, 256, 512, 12, 394, 14, Rgb(0x5E6038), Rgb(0x1C1D18), Rgb(0x56574A)});
    // Lamps: amber and red lenses in dark housings; sight glass with a glint.
    const LampStyle style = {.inset = 6, .corner = 8, .glintX = 18, .glintY = 16, .glintRadius = 5};
    auto lamp = [&](const Rect& r, RGBA lens) { PaintLamp(&c, r, 512, Rgb(0x26271F), lens, style); };
    lamp(kAmberLamp, Rgb(0xE0A028));
    lamp(kRedLamp, Rgb(0xB82418));
    lamp(kGlass, Rgb(0x283C48));
    return c;
}

// The tracer ribbon: bright along its middle, fading across (v, 64 rows)
// and toward its tail (u = 0); black elsewhere, the colour key.
Canvas BeamRibbon()
{
    Canvas c(16, 64, Rgb(0x000000));
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 16; ++x) {
            float across = (y + 0.5f - 32) / 32;  // -1..1
            float along = (x + 0.5f) / 16;        // tail 0 .. head 1
            float core = std::exp(-across * across * 40), glow = std::exp(-across * across * 9);
            float len = Smooth(0.0f, 0.45f, along) * Smooth(1.0f, 0.88f, along);
            float i = (core + 0.45f * glow) * len * (0.55f + 0.45f * along);
            RGBA col = Mix(Rgb(0xFFC23C), Rgb(0xFFFAE6), Clamp01(core * 1.2f));
            float k = Clamp01(i);
            if (k * 255 < 2) continue;  // stays key black
            c.At(x, y) = Shaded(col, k);
        }
    return c;
}

// The tracer's head: a round glow, white-yellow in the middle, orange at the rim.
Canvas BeamHead()
{
    Canvas c(128, 128, Rgb(0x000000));
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            float d = std::hypot(x + 0.5f - 64, y + 0.5f - 64) / 64;
            if (d >= 1) continue;
            float core = std::exp(-d * d * 30), glow = std::exp(-d * d * 6) * (1 - d);
            float i = Clamp01(core + 0.6f * glow);
            RGBA col = Mix(Rgb(0xFFB834), Rgb(0xFFFAE4), Clamp01(core * 1.3f));
            if (i * 255 < 2) continue;
            c.At(x, y) = Shaded(col, i);
        }
    return c;
}

// --- meshes --------------------------------------------------------------------

XMesh Hull()
{
    XMesh m;
    // Upper hull over the full width (sponsons over the tracks): a long
    // shallow glacis up to the deck, a bevelled rear.
    AddPiece(&m,
             ExtrudeX({{0.06f, -2.47f}, {0.06f, 2.42f}, {0.09f, 2.5f}, {0.17f, 1.55f}, {0.17f, -2.41f}, {0.12f, -2.47f}},
                      -1.08f, 1.08f, 0.025f, Camo(0.13f, 0.41f)),
             0);
    // Lower hull between the tracks, in the dusty lower paint.
    UvMap lower;
    lower.scale = 0.4f;
    AddPiece(&m, ExtrudeX({{-0.45f, -2.2f}, {-0.45f, 1.8f}, {0.08f, 2.46f}, {0.08f, -2.45f}, {-0.2f, -2.45f}}, -0.78f, 0.78f,
                          0.02f, lower),
             1);
    // The turret ring, standing into the turret (it shows when the turret is gone).
    AddPiece(&m, Drum({0, 0.15f, 0}, {0, 0.45f, 0}, 0.62f, 0.62f, 12, Camo(0.2f, 0.6f)), 0);
    // Side skirts, one plate down each side with a raked front.
    XMesh skirt = ExtrudeX({{0.165f, -2.36f}, {0.165f, 2.38f}, {0.06f, 2.45f}, {-0.22f, 2.2f}, {-0.38f, 1.76f},
                            {-0.38f, -2.3f}, {-0.3f, -2.36f}},
                           1.095f, 1.13f, 0.006f, Camo(0.37f, 0.12f));
    AddPair(&m, skirt, 0);
    // Driver's periscope block behind the glacis.
    AddPiece(&m, ChamferedBox({-0.2f, 0.12f, 1.5f}, {0.2f, 0.205f, 1.72f}, 0.02f, Camo(0.6f, 0.2f)), 0);
    // Engine deck grille and the rear exhaust grille.
    XMesh deck = ChamferedBox({-0.62f, 0.16f, -2.3f}, {0.62f, 0.182f, -1.6f}, 0);
    ProjectInto(&deck, 1, kGrille);
    AddPiece(&m, deck, 2);
    XMesh exhaust = ChamferedBox({-0.55f, -0.12f, -2.5f}, {0.55f, 0.1f, -2.44f}, 0.012f);
    ProjectInto(&exhaust, 2, kGrille);
    AddPiece(&m, exhaust, 2);
    // Lamps: tail lights at the rear corners, head lamps on the front fenders.
    XMesh tail = ChamferedBox({0.8f, 0.02f, -2.5f}, {0.96f, 0.1f, -2.46f}, 0);
    ProjectInto(&tail, 2, kRedLamp);
    AddPair(&m, tail, 2);
    XMesh head = ChamferedBox({0.8f, 0.06f, 2.24f}, {0.96f, 0.15f, 2.36f}, 0.01f);
    ProjectInto(&head, 2, kAmberLamp);
    AddPair(&m, head, 2);
    m.materials = {Painted(kCamoFile), Painted(kLowerFile), Painted(kGearFile)};
    return m;
}

// The turret's armour: a long low body with a rear bustle, two raked cheeks
// either side of the gun's recess, and the turret basket below the deck line
// (inside the hull) so the part is centred on its origin.
XMesh Turret()
{
    XMesh m;
    const UvMap uv = Camo(0.71f, 0.33f);
    std::vector<Vec3> body;
    for (float s : {-1.0f, 1.0f}) {
        body.push_back({0.82f * s, -0.16f, 1.10f});
        body.push_back({0.86f * s, -0.16f, -0.30f});
        body.push_back({0.80f * s, -0.16f, -1.02f});
        body.push_back({0.78f * s, -0.06f, -1.30f});  // the bustle's underside rises to the back
        body.push_back({0.80f * s, 0.29f, 1.08f});
        body.push_back({0.82f * s, 0.29f, -0.30f});
        body.push_back({0.76f * s, 0.29f, -1.30f});
        body.push_back({0.74f * s, 0.34f, 1.04f});
        body.push_back({0.76f * s, 0.34f, -0.30f});
        body.push_back({0.70f * s, 0.34f, -1.26f});
    }
    AddPiece(&m, ConvexHull(body, uv), 0);
    std::vector<Vec3> cheek = {{0.28f, -0.16f, 1.30f}, {0.90f, -0.16f, 0.55f}, {0.89f, -0.16f, 0.20f},
                               {0.28f, -0.16f, 0.90f}, {0.29f, 0.29f, 1.28f},  {0.87f, 0.29f, 0.55f},
                               {0.86f, 0.29f, 0.20f},  {0.30f, 0.337f, 1.22f}, {0.80f, 0.337f, 0.53f},
                               {0.80f, 0.337f, 0.20f}, {0.30f, 0.337f, 0.90f}};
    AddPair(&m, ConvexHull(cheek, uv), 0);
    AddPiece(&m, Drum({0, -0.34f, 0}, {0, -0.16f, 0}, 0.45f, 0.45f, 10, uv), 0);
    m.materials = {Painted(kCamoFile)};
    return m;
}

// Fittings on the turret roof and sides, drawn only near the camera.
XMesh TurretFittings()
{
    XMesh m;
    const UvMap uv = Camo(0.23f, 0.77f);
    // Commander's independent viewer on the left front: a post and a head.
    AddPiece(&m, Drum({-0.45f, 0.32f, 0.62f}, {-0.45f, 0.45f, 0.62f}, 0.07f, 0.07f, 8, uv), 0);
    AddPiece(&m, ChamferedBox({-0.56f, 0.44f, 0.53f}, {-0.34f, 0.56f, 0.74f}, 0.025f, uv), 0);
    XMesh glass = ChamferedBox({-0.52f, 0.465f, 0.735f}, {-0.38f, 0.535f, 0.755f}, 0);
    ProjectInto(&glass, 2, kGlass);
    AddPiece(&m, glass, 1);
    // Gunner's sight housing right of the gun, its glass facing forward.
    AddPiece(&m, ChamferedBox({0.03f, 0.32f, 0.56f}, {0.23f, 0.45f, 0.82f}, 0.03f, uv), 0);
    XMesh sight = ChamferedBox({0.06f, 0.35f, 0.815f}, {0.2f, 0.42f, 0.83f}, 0);
    ProjectInto(&sight, 2, kGlass);
    AddPiece(&m, sight, 1);
    // Loader's hatch on the left, the cover of the roof gun's bay on the right.
    AddPiece(&m, Drum({-0.45f, 0.33f, -0.22f}, {-0.45f, 0.37f, -0.22f}, 0.2f, 0.19f, 10, uv), 0);
    AddPiece(&m, ChamferedBox({0.36f, 0.33f, -0.46f}, {0.72f, 0.358f, 0.36f}, 0.012f, uv), 0);
    // Bustle rack across the back, and stowage bins on the turret's sides.
    XMesh rack = ChamferedBox({-0.74f, -0.06f, -1.56f}, {0.74f, 0.24f, -1.29f}, 0.02f);
    ProjectInto(&rack, 2, kGrille);
    AddPiece(&m, rack, 1);
    AddPair(&m, ChamferedBox({0.855f, -0.08f, -1.2f}, {0.97f, 0.22f, -0.42f}, 0.02f, uv), 0);
    // Smoke grenade launchers on the cheeks.
    AddPair(&m, ChamferedBox({0.89f, 0.1f, 0.1f}, {1.0f, 0.22f, 0.42f}, 0.025f, uv), 0);
    // Wind sensor mast and two whip antennas at the back.
    XMesh mast = Drum({0.12f, 0.33f, -1.0f}, {0.12f, 0.62f, -1.0f}, 0.014f, 0.014f, 5);
    ProjectInto(&mast, 0, kDarkSteel);
    AddPiece(&m, mast, 1);
    XMesh whip = Drum({0.62f, 0.3f, -1.16f}, {0.62f, 1.1f, -1.2f}, 0.016f, 0.011f, 4);
    ProjectInto(&whip, 0, kDarkSteel);
    AddPair(&m, whip, 1);
    m.materials = {Painted(kCamoFile), Painted(kGearFile)};
    return m;
}

// The main gun about its trunnions: mantlet, collar, a long tapered tube
// with the fume extractor a third of the way out, the muzzle at z 1.8.  The
// tube has a subset of its own, so the reduced copy keeps a tube.
XMesh Gun()
{
    XMesh m;
    const UvMap uv = Camo(0.5f, 0.5f);
    AddPiece(&m, ChamferedBox({-0.2f, -0.15f, -0.22f}, {0.2f, 0.14f, 0.2f}, 0.035f, uv), 0);
    AddPiece(&m, Drum({0, 0, 0.19f}, {0, 0, 0.34f}, 0.105f, 0.09f, 12, uv), 0);
    AddPiece(&m, Drum({0, 0, 0.86f}, {0, 0, 1.16f}, 0.08f, 0.08f, 12, uv), 0);
    AddPiece(&m, Drum({0, 0, 0.33f}, {0, 0, 1.74f}, 0.064f, 0.048f, 12, uv), 1);
    XMesh muzzle = Drum({0, 0, 1.72f}, {0, 0, 1.8f}, 0.058f, 0.058f, 12);
    ProjectInto(&muzzle, 0, kDarkSteel);
    AddPiece(&m, muzzle, 2);
    m.materials = {Painted(kCamoFile), Painted(kCamoFile), Painted(kGearFile)};
    return m;
}

// The roof gun's housing; its z axis is the barrel cluster's axis.  A post
// and cradle below it reach down to the roof when it stands raised.
XMesh GunMount()
{
    XMesh m;
    const UvMap uv = Camo(0.31f, 0.9f);
    AddPiece(&m, Drum({0, 0, -0.42f}, {0, 0, 0.36f}, 0.19f, 0.19f, 10, uv), 0);
    AddPiece(&m, Drum({0, 0, -0.42f}, {0, 0, -0.5f}, 0.19f, 0.12f, 10, uv), 0);
    AddPiece(&m, Drum({0, 0, 0.34f}, {0, 0, 0.45f}, 0.31f, 0.31f, 12, uv), 0);  // the barrels' bearing
    AddPiece(&m, ChamferedBox({0.17f, -0.16f, -0.38f}, {0.36f, 0.08f, 0.14f}, 0.025f, uv), 0);  // ammunition box
    AddPiece(&m, ChamferedBox({-0.06f, 0.17f, -0.3f}, {0.06f, 0.27f, -0.04f}, 0.015f, uv), 0);  // sight
    AddPiece(&m,
             ConvexHull({{-0.1f, -0.1f, -0.28f}, {0.1f, -0.1f, -0.28f}, {-0.1f, -0.1f, 0.18f}, {0.1f, -0.1f, 0.18f},
                         {-0.16f, -0.35f, -0.34f}, {0.16f, -0.35f, -0.34f}, {-0.16f, -0.35f, 0.24f}, {0.16f, -0.35f, 0.24f}},
                        uv),
             0);
    m.materials = {Painted(kCamoFile), Painted(kGearFile)};
    return m;
}

// Six barrels round the housing's axis, which lies at (0.005, -0.275) in this
// frame; the first barrel's muzzle is the firing point (0, 0, 1.2).  The
// barrels and their clamps are two subsets, so the reduced copy keeps barrels.
XMesh Barrels()
{
    XMesh m;
    const float ax = 0.005f, ay = -0.275f;
    const float radius = std::hypot(ax, ay), first = std::atan2(-ay, -ax);
    for (int k = 0; k < 6; ++k) {
        float a = first + k * kPi / 3;
        float x = ax + radius * std::cos(a), y = ay + radius * std::sin(a);
        XMesh barrel = Drum({x, y, 0}, {x, y, 1.2f}, 0.028f, 0.028f, 6);
        ProjectInto(&barrel, 0, kDarkSteel);
        AddPiece(&m, barrel, 0);
    }
    // Two open clamps, each a hexagon of straps from barrel to barrel.
    for (float z : {0.04f, 0.92f})
        for (int k = 0; k < 6; ++k) {
            float a0 = first + k * kPi / 3, a1 = a0 + kPi / 3;
            Vec3 p0 = {ax + radius * std::cos(a0), ay + radius * std::sin(a0), 0};
            Vec3 p1 = {ax + radius * std::cos(a1), ay + radius * std::sin(a1), 0};
            Vec3 out = Vec3Normalize(Vec3{(p0.x + p1.x) / 2 - ax, (p0.y + p1.y) / 2 - ay, 0}) * 0.022f;
            std::vector<Vec3> strap;
            for (Vec3 p : {p0, p1})
                for (float o : {-1.0f, 1.0f})
                    for (float dz : {0.0f, 0.05f}) strap.push_back({p.x + out.x * o, p.y + out.y * o, z + dz});
            XMesh piece = ConvexHull(strap);
            ProjectInto(&piece, 2, kDarkSteel);
            AddPiece(&m, piece, 1);
        }
    XMesh spindle = Drum({ax, ay, 0}, {ax, ay, 0.97f}, 0.06f, 0.06f, 6);
    ProjectInto(&spindle, 0, kDarkSteel);
    AddPiece(&m, spindle, 1);
    m.materials = {Painted(kGearFile), Painted(kGearFile)};
    return m;
}

// A wheel centred on its axle (x), with a hub on the +x side when hubRadius > 0
// (the road wheels' hubs are painted, to spare sixteen of them).
XMesh Wheel(float radius, float halfWidth, float hubRadius, int sides, const Rect& face)
{
    return FacetedWheel({.radius = radius, .halfWidth = halfWidth, .sides = sides, .face = face, .tread = kRubber,
                         .hubRadius = hubRadius, .hubTipRadius = hubRadius * 0.7f, .hubLength = 0.03f,
                         .hubSides = sides / 2 + 2, .hubRim = kDarkSteel},
                        Painted(kGearFile));
}

// The track, one loop round the sprocket and the road wheels (the front
// idler among them).
XMesh Track()
{
    std::vector<TrackWheel> wheels = {{kSprocketAt.a, kSprocketAt.b, kSprocketRadius}};
    for (P2 w : kRoadWheelsAt) wheels.push_back({w.a, w.b, kRoadWheelRadius});
    return TrackLoop(wheels, kTrackBand, Painted(kGearFile));
}

// The shell: a round with an ogive nose and a glowing tracer in its base,
// centred on its origin (its box is the shell's hit box).
XMesh Shell()
{
    return GlowingRound({{-0.34f, 0.04f}, {-0.30f, 0.046f}, {0.12f, 0.046f}, {0.24f, 0.032f}, {0.32f, 0.014f}}, 0.34f,
                        {Rgb(0x8C8262), 12, Rgb(0x505048), Rgb(0x141410), ""},
                        {Rgb(0xFFD080), 0, Rgb(0), Rgb(0xFFB040), ""});
}
}  // namespace

void BuildAbrams(Pack& pack)
{
    pack.Png(kCamoFile, CamoTexture());
    pack.Png(kLowerFile, LowerTexture());
    pack.Png(kGearFile, GearTexture());
    pack.Bmp("LAND/ABRAMS/beam11.bmp", BeamRibbon());
    pack.Png("LAND/ABRAMS/beam12.png", BeamHead());

    pack.X("LAND/ABRAMS/body.x", Hull());
    pack.X("LAND/ABRAMS/top1.x", Turret());
    pack.X("LAND/ABRAMS/top3.x", TurretFittings());
    pack.X("LAND/ABRAMS/top2.x", Gun());
    pack.X("LAND/ABRAMS/weaponpart1.x", GunMount());
    pack.X("LAND/ABRAMS/weaponpart2.x", Barrels());
    pack.X("LAND/ABRAMS/swheel2.x", Wheel(kRoadWheelRadius, 0.085f, 0, 10, kRoadWheelFace));
    pack.X("LAND/ABRAMS/swheel1.x", Wheel(kSprocketRadius, 0.09f, 0.075f, 12, kSprocketFace));
    pack.X("LAND/ABRAMS/wheel.x", Track());
    pack.X("LAND/ABRAMS/Cannon01.x", Shell());
}

namespace {
const bool kRegistered = RegisterKindBuilder("ABRAMS", BuildAbrams);
}  // namespace
