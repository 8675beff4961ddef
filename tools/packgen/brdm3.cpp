// The BRDM3 scout car: a four-wheeled amphibious armoured car with a boat
// nose, a raised crew cab with armoured vision flaps, a low engine deck and
// a small cone turret carrying a heavy machine gun, all under LAND/BRDM3/.
//
// Each part is modelled in the frame its matrix in the game places it by
// (+x right, +y up, +z forward; units are world units):
//   body      hull; the wheels' axles 0.35 below its origin, the ground
//             0.75 below it; 1.94 wide over the wheel arches, from the
//             water-jet housing at z -2.56 to the nose at z 2.52
//   top1      turret; its origin on the ring axis 0.875 above the hull's
//             origin, the cab roof at its y -0.215, a faceted cone up to y
//             0.3
//   top2      heavy machine gun with its coaxial gun; origin at the
//             trunnion (turret (0, 0.2, 0)), the cradle reaching back into
//             the turret, the flash hider at z 1.95
//   wheel     one road wheel, centred on its axle (x), the hub on its outer
//             +x face; radius 0.4, drawn at (+-0.8, -0.35, -1.5 / 1.25)
#include <cmath>

#include "pack.h"
#include "shapes.h"
#include "tank_pictures.h"
#include "tank_shapes.h"

namespace {
const float kPi = 3.14159265f;

const char* const kCamoFile = "LAND/BRDM3/Brdm3Camo.png";
const char* const kGearFile = "LAND/BRDM3/Brdm3Gear.png";

// --- running gear (hull frame) -----------------------------------------------
const float kWheelRadius = 0.4f;
const float kWheelHalfWidth = 0.14f;
const int kWheelSides = 14;

// --- hull lines (hull frame) ---------------------------------------------------
const float kArchY = 0.07f;        // the upper hull's underside, just over the tyres
const float kHullHalfWidth = 0.97f;  // the upper hull over the wheels
const float kRoofY = 0.66f;        // crew cab roof; the turret stands on it
const float kDeckY = 0.56f;        // engine deck behind the cab
const float kCabBackZ = -0.55f;
const float kFlapTopZ = 1.05f;     // the cab's sloped front plate from the roof...
const float kFlapFootY = 0.32f, kFlapFootZ = 1.72f;  // ...down to the nose

// --- the detail picture (256 x 256) -------------------------------------------
// Top left: the wheel face; top right: rubber, glass, lamp lens, dark steel;
// the second row: engine grille; the bottom half: the hull number plates.
Rect Px(float l, float t, float r, float b) { return {l / 256, t / 256, r / 256, b / 256}; }
const Rect kWheelFace = Px(2, 2, 126, 126);
const Rect kRubber = Px(134, 4, 158, 28);
const Rect kGlass = Px(166, 4, 206, 28);
const Rect kLens = Px(214, 4, 250, 28);
const Rect kDarkSteel = Px(134, 36, 250, 60);
const Rect kBrightSteel = Px(134, 68, 250, 92);
const Rect kRustSteel = Px(134, 100, 250, 124);
const Rect kGrille = Px(2, 130, 254, 190);
const Rect kNumber = Px(40, 196, 216, 252);
const Rect kNumberFlipped = Px(216, 196, 40, 252);

XMaterial Painted(const char* texture) { return {Rgb(0xECEAE2), 5, Rgb(0x141612), Rgb(0), texture}; }

// The camouflage's projection, where the picture spans about 4.5 units:
// blotches a unit or so across.
UvMap Camo(float uOffset, float vOffset) { return ScaledUv(0.22f, uOffset, vOffset); }

// --- pictures ----------------------------------------------------------------

// A deep green ground with large soft blotches of black-brown, faded paler
// where the sun and the rain have worked on it, weld seams and rivet rows;
// tiles both ways.
Canvas CamoTexture()
{
    const int n = 512;
    Canvas c(n, n);
    const RGBA green = Rgb(0x4E5E34), faded = Rgb(0x6E7A4C), dark = Rgb(0x2C2A20);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float fx = x / 128.0f, fy = y / 128.0f;
            float warp = Fbm(fx * 2, fy * 2, 2, 3105, 8) - 0.5f;
            float blot = Fbm(fx + warp * 0.7f, fy - warp * 0.5f, 4, 3101, 4);
            float fade = Fbm(fx * 0.5f, fy * 0.5f, 3, 3102, 2);
            RGBA col = Mix(green, faded, Smooth(0.45f, 0.75f, fade) * 0.55f);
            col = Mix(col, dark, Smooth(0.54f, 0.6f, blot) * 0.92f);
            float fine = Fbm(x / 8.0f, y / 8.0f, 3, 3103, 64);
            float shade = 0.88f + 0.2f * fine;
            col = Shaded(col, shade);
            // Dust settles low on every face: a soft band at each tile row's foot.
            float dust = Smooth(0.6f, 0.85f, Fbm(x / 4.0f, y / 32.0f, 3, 3104, 16)) * 0.22f;
            c.At(x, y) = Mix(col, Rgb(0x8A7E5C), dust);
        }
    // Welded plate seams (no rivets on a welded hull), a few bolt heads.
    PaintSeams(&c, {.first = 20.0f, .width = 1.8f, .litOffset = 1.6f, .downParity = 1,
                    .dark = Rgb(0x22261A, 0.5f), .darkDown = Rgb(0x22261A, 0.45f),
                    .lit = Rgb(0xA8B088, 0.18f), .litDown = Rgb(0xA8B088, 0.15f),
                    .rivetFrom = 9, .rivetStep = 64, .rivetOffset = 9, .rivetRadius = 2.2f,
                    .rivet = Rgb(0x262A1C, 0.6f), .glintBack = 0.6f, .glintOffset = 8.4f,
                    .glintRadius = 1.0f, .glint = Rgb(0xB0B890, 0.35f)});
    return c;
}

// The wheel: a heavy tyre with a cross-country tread showing at the
// shoulder, a green steel disc with eight holes, a hub with nuts and the
// tyre-pressure valve block.
void PaintWheel(Canvas* c, const Rect& r)
{
    const RGBA rubber = Rgb(0x262522), disc = Rgb(0x4C5A32), hub = Rgb(0x3A4428);
    PaintRoundFace(c, r, 256, 2, {0, 0, 128, 128}, [&](const FacePoint& p) {
        RGBA col;
        if (p.d > 0.62f) {
            col = rubber;
            // Tread blocks at the shoulder, a moulded ring inside it.
            if (p.d > 0.9f && std::cos(p.ang * 22) > 0.2f) col = Rgb(0x3A3934);
            if (std::fabs(p.d - 0.74f) < 0.012f) col = Rgb(0x34332E);
        } else if (p.d > 0.2f) {
            col = Mix(disc, Mix(disc, Rgb(0x000000), 0.35f), Smooth(0.35f, 0.62f, p.d));
            for (int k = 0; k < 8; ++k) {
                float ha = k * kPi / 4 + 0.4f;
                if (p.Near(ha, 0.42f, 0.08f)) col = Rgb(0x141510);
            }
            if (std::fabs(p.d - 0.6f) < 0.015f) col = Mix(col, Rgb(0x9AA080), 0.4f);
        } else {
            col = hub;
            for (int k = 0; k < 8; ++k) {
                float ba = k * kPi / 4;
                if (p.Near(ba, 0.14f, 0.025f)) col = Rgb(0x7A806A);
            }
        }
        if (p.d < 0.07f) col = Rgb(0x6A6E5E);
        float grime = Fbm(p.x / 10.0f, p.y / 10.0f, 3, 3111);
        col = Mix(col, Rgb(0x5E5038), Smooth(0.45f, 0.8f, grime) * 0.45f);
        return col;
    });
}

Canvas GearTexture()
{
    Canvas c(256, 256, Rgb(0x2E302A));
    FillGrain(&c, {0, 0, 256, 256}, Rgb(0x2C2E28), Rgb(0x3E4038), 8.0f, 3121);
    PaintWheel(&c, kWheelFace);
    c.FillRect(130, 0, 162, 32, Rgb(0x262522));
    // Vision glass: dark green-blue with a glint.
    c.FillRect(164, 2, 208, 30, Rgb(0x1E2A2A));
    c.Disc(174, 10, 4, Rgb(0xC8E0D8, 0.7f), 2);
    // Lamp lens: warm white behind a dark rim.
    c.FillRect(212, 2, 252, 30, Rgb(0x26271F));
    c.RoundRect(216, 6, 248, 26, 6, Rgb(0xE8DCA8));
    c.Disc(224, 12, 4, Rgb(0xFFF8E8, 0.8f), 2);
    // Worn bright steel, and hot exhaust steel gone rusty.
    FillSpeckled(&c, {128, 64, 256, 96}, Rgb(0x66685E), Rgb(0x86887C), 3122);
    FillGrain(&c, {128, 96, 256, 128}, Rgb(0x4A3426), Rgb(0x6E4A30), 6.0f, 3123);
    // The engine grille: green frame round dark louvres.
    PaintGrille(&c, {0, 128, 256, 192, 8, 134, 7, Rgb(0x4A5832), Rgb(0x181A14), Rgb(0x5A6448)});
    // The hull number plate: pale figures on the hull green.
    c.FillRect(0, 192, 256, 256, Rgb(0x4E5E34));
    for (int y = 192; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            c.At(x, y) = Mix(c.At(x, y), Rgb(0x3A4628), Fbm(x / 16.0f, y / 16.0f, 3, 3124) * 0.5f);
    c.Text("318", 128, 225, 58, Rgb(0xE4E0CC));
    return c;
}

// --- meshes --------------------------------------------------------------------

// The hull: a narrow boat-shaped belly between the wheels, the full-width
// upper hull over them in three pieces (the raised crew cab, the lower
// engine deck, the wedge nose), side panels between the wheel arches, the
// vision flaps on the cab's sloped front, hatches, lamps, the folded trim
// vane on the nose, the water-jet housing and the aerial at the back.
XMesh Hull()
{
    XMesh m;
    const UvMap uv = Camo(0.1f, 0.3f);
    // The belly between the wheels: its nose sweeps up to the prow, its
    // tail up to the water-jet housing.
    AddPiece(&m,
             ExtrudeX({{-0.52f, -2.0f}, {-0.52f, 1.7f}, {-0.12f, 2.46f}, {kArchY + 0.01f, 2.5f},
                       {kArchY + 0.01f, -2.42f}, {-0.22f, -2.44f}},
                      -0.62f, 0.62f, 0.03f, uv),
             0);
    // The crew cab: sides leaning in from the arches to the roof, its front
    // a steep plate down to the nose.
    {
        std::vector<Vec3> cab;
        Both(&cab, kHullHalfWidth, kArchY, kCabBackZ);
        Both(&cab, 0.76f, kRoofY, kCabBackZ);
        Both(&cab, 0.74f, kRoofY, kFlapTopZ);
        Both(&cab, 0.9f, kFlapFootY, kFlapFootZ);
        Both(&cab, kHullHalfWidth, kArchY, kFlapFootZ + 0.04f);
        AddPiece(&m, ConvexHull(cab, uv), 0);
    }
    // The engine compartment: a flat deck a step lower, its tail sloping
    // down to the back plate.
    {
        std::vector<Vec3> eng;
        Both(&eng, kHullHalfWidth, kArchY, -0.5f);
        Both(&eng, 0.78f, kDeckY, -0.5f);
        Both(&eng, 0.76f, kDeckY, -2.2f);
        Both(&eng, 0.72f, 0.4f, -2.44f);
        Both(&eng, 0.9f, -0.02f, -2.44f);
        Both(&eng, 0.95f, kArchY, -2.2f);
        AddPiece(&m, ConvexHull(eng, uv), 0);
    }
    // The stern behind the rear wheels, down to the belly line.
    {
        std::vector<Vec3> stern;
        Both(&stern, 0.95f, kArchY + 0.01f, -1.96f);
        Both(&stern, 0.9f, -0.3f, -1.96f);
        Both(&stern, 0.88f, -0.02f, -2.44f);
        Both(&stern, 0.78f, -0.24f, -2.44f);
        AddPiece(&m, ConvexHull(stern, uv), 0);
    }
    // The wedge nose before the front wheels: a long upper plate down to the
    // prow's edge, a short lower plate back to the belly.
    {
        std::vector<Vec3> nose;
        Both(&nose, 0.9f, kFlapFootY + 0.01f, kFlapFootZ - 0.02f);
        Both(&nose, 0.95f, -0.12f, 1.7f);
        Both(&nose, 0.72f, 0.06f, 2.52f);
        Both(&nose, 0.64f, -0.06f, 2.52f);
        Both(&nose, 0.62f, -0.3f, 2.1f);
        AddPiece(&m, ConvexHull(nose, uv), 0);
    }
    // Side panels filling the arches' gap between the wheels (the belly
    // wheels' hatches), leaning in at the foot.
    {
        std::vector<Vec3> side = {{0.6f, -0.3f, -1.03f}, {0.6f, -0.3f, 0.79f}, {0.88f, -0.3f, -1.0f},
                                  {0.88f, -0.3f, 0.76f}, {0.96f, kArchY + 0.01f, -1.05f},
                                  {0.96f, kArchY + 0.01f, 0.81f}, {0.6f, kArchY + 0.01f, -1.05f},
                                  {0.6f, kArchY + 0.01f, 0.81f}};
        AddPair(&m, ConvexHull(side, uv), 0);
    }
    // Mudguard lips along the arches' edges, over both wheels.
    for (float z : {-1.5f, 1.25f})
        AddPair(&m, ChamferedBox({0.86f, kArchY - 0.01f, z - 0.46f}, {1.0f, kArchY + 0.03f, z + 0.46f}, 0.01f, uv), 0);
    // The two armoured vision flaps, closed over the cab's front plate, each
    // with its vision slit, and the slit's glass.
    for (float s : {-1.0f, 1.0f}) {
        float x0 = s > 0 ? 0.08f : -0.68f, x1 = s > 0 ? 0.68f : -0.08f;
        AddPiece(&m, SlopePlate(kRoofY, kFlapTopZ, kFlapFootY, kFlapFootZ, x0, x1, 0.08f, 0.9f, 0.035f, uv), 0);
        XMesh slit = SlopePlate(kRoofY, kFlapTopZ, kFlapFootY, kFlapFootZ, x0 + 0.12f, x1 - 0.12f, 0.22f, 0.32f, 0.05f);
        ProjectInto(&slit, 2, kGlass);
        AddPiece(&m, slit, 1);
    }
    // Crew hatches on the roof behind the flaps, and the vision blocks
    // round the cab's roof edge.
    AddPair(&m, Drum({0.42f, kRoofY - 0.01f, 0.68f}, {0.42f, kRoofY + 0.05f, 0.68f}, 0.22f, 0.2f, 8, uv), 0);
    for (float z : {0.3f, -0.2f}) {
        XMesh block = ChamferedBox({0.74f, kRoofY - 0.1f, z - 0.09f}, {0.8f, kRoofY - 0.02f, z + 0.09f}, 0.01f);
        ProjectInto(&block, 0, kGlass);
        AddPair(&m, block, 1);
    }
    // Head lamps in their guards at the foot of the flaps, and the folded
    // trim vane lying on the nose.
    for (float s : {-1.0f, 1.0f}) {
        XMesh lamp = Drum({0.72f * s, 0.36f, 1.66f}, {0.72f * s, 0.36f, 1.8f}, 0.075f, 0.075f, 8);
        ProjectInto(&lamp, 2, kLens);
        AddPiece(&m, lamp, 1);
        AddPiece(&m, ChamferedBox({0.72f * s - 0.1f, 0.43f, 1.62f}, {0.72f * s + 0.1f, 0.46f, 1.84f}, 0.008f, uv), 0);
    }
    AddPiece(&m, SlopePlate(kFlapFootY + 0.01f, kFlapFootZ - 0.02f, 0.06f, 2.52f, -0.6f, 0.6f, 0.18f, 0.85f, 0.04f, uv), 0);
    // The engine deck: two grilles and the stowage box between them.
    XMesh grille = ChamferedBox({0.18f, kDeckY - 0.01f, -2.05f}, {0.58f, kDeckY + 0.02f, -0.9f}, 0);
    ProjectInto(&grille, 1, kGrille);
    AddPair(&m, grille, 1);
    AddPiece(&m, ChamferedBox({-0.16f, kDeckY - 0.01f, -1.9f}, {0.16f, kDeckY + 0.14f, -1.05f}, 0.03f, uv), 0);
    // The water-jet housing low on the back plate, with its dark outlet.
    AddPiece(&m, ChamferedBox({-0.3f, -0.36f, -2.56f}, {0.3f, 0.02f, -2.38f}, 0.05f, uv), 0);
    XMesh jet = Drum({0, -0.16f, -2.57f}, {0, -0.16f, -2.5f}, 0.13f, 0.13f, 8);
    ProjectInto(&jet, 2, kDarkSteel);
    AddPiece(&m, jet, 1);
    // The exhaust along the left of the engine deck, tail lamps, tow hooks.
    XMesh exhaust = Drum({-0.84f, 0.5f, -2.1f}, {-0.84f, 0.5f, -0.9f}, 0.06f, 0.06f, 6);
    ProjectInto(&exhaust, 0, kRustSteel);
    AddPiece(&m, exhaust, 1);
    XMesh tail = ChamferedBox({0.6f, 0.26f, -2.45f}, {0.72f, 0.32f, -2.41f}, 0);
    ProjectInto(&tail, 2, kLens);
    AddPair(&m, tail, 1);
    for (float s : {-1.0f, 1.0f}) {
        XMesh hook = ChamferedBox({0.45f * s - 0.05f, -0.2f, 2.28f}, {0.45f * s + 0.05f, -0.1f, 2.44f}, 0.015f);
        ProjectInto(&hook, 0, kDarkSteel);
        AddPiece(&m, hook, 1);
    }
    // The aerial on the engine deck's right rear corner, no higher than the
    // turret's roof so the hull's box stays the hull's.
    XMesh aerial = Drum({0.66f, kDeckY, -1.2f}, {0.66f, kDeckY + 0.7f, -1.25f}, 0.014f, 0.01f, 4);
    ProjectInto(&aerial, 0, kDarkSteel);
    AddPiece(&m, aerial, 1);
    AddPiece(&m, Drum({0.66f, kDeckY - 0.01f, -1.2f}, {0.66f, kDeckY + 0.08f, -1.2f}, 0.05f, 0.04f, 6, uv), 0);
    // The hull number on both sides of the cab, reading forward on each.
    XMesh plate = ChamferedBox({0.0f, 0.0f, 0.0f}, {0.012f, 0.17f, 0.62f}, 0);
    // Lean the plate to lie on the cab's side (0.97 at the arch to 0.76 at the roof).
    float lean = std::atan2(kHullHalfWidth - 0.76f, kRoofY - kArchY);
    XMesh right = plate;
    TransformMesh(&right, MatRotationZ(lean) *
                              MatTranslation(kHullHalfWidth - 0.24f * std::tan(lean) - 0.005f, kArchY + 0.24f, -0.2f));
    ProjectInto(&right, 0, kNumber);
    XMesh left = Mirrored(right);
    ProjectInto(&left, 0, kNumberFlipped);
    AddPiece(&m, right, 1);
    AddPiece(&m, left, 1);
    m.materials = {Painted(kCamoFile), Painted(kGearFile)};
    return m;
}

// The turret: an eight-sided cone with a flat top, a raised frame round the
// gun's slot on the front face, the sight's head on the roof beside the gun
// and a vent at the back.
XMesh Turret()
{
    XMesh m;
    const UvMap uv = Camo(0.57f, 0.21f);
    const float base = -0.23f, top = 0.3f;
    AddPiece(&m, Drum({0, base, 0}, {0, top, 0}, 0.56f, 0.4f, 8, uv), 0);
    AddPiece(&m, Drum({0, top - 0.005f, 0}, {0, top + 0.03f, 0}, 0.36f, 0.3f, 8, uv), 0);
    // The ring's collar where the cone meets the roof.
    AddPiece(&m, Drum({0, base - 0.01f, 0}, {0, base + 0.06f, 0}, 0.6f, 0.6f, 8, uv), 0);
    // The frame round the gun slot.
    AddPiece(&m, ChamferedBox({-0.2f, 0.06f, 0.36f}, {0.26f, 0.33f, 0.47f}, 0.03f, uv), 0);
    // Sight head left of the gun, its glass forward.
    AddPiece(&m, ChamferedBox({-0.3f, 0.26f, 0.1f}, {-0.14f, 0.4f, 0.3f}, 0.02f, uv), 0);
    XMesh glass = ChamferedBox({-0.28f, 0.3f, 0.295f}, {-0.16f, 0.37f, 0.31f}, 0);
    ProjectInto(&glass, 2, kGlass);
    AddPiece(&m, glass, 1);
    // The vent dome behind.
    AddPiece(&m, Drum({0.05f, top + 0.02f, -0.2f}, {0.05f, top + 0.09f, -0.2f}, 0.1f, 0.07f, 6, uv), 0);
    m.materials = {Painted(kCamoFile), Painted(kGearFile)};
    return m;
}

// The heavy machine gun: a cradle through the slot, the barrel in its
// perforated cooling jacket, a slim barrel to the flash hider at z 1.95;
// the coaxial gun's short barrel beside it on the right.
XMesh Gun()
{
    XMesh m;
    const UvMap uv = Camo(0.3f, 0.6f);
    AddPiece(&m, ChamferedBox({-0.11f, -0.09f, -0.2f}, {0.17f, 0.09f, 0.58f}, 0.025f, uv), 0);
    XMesh jacket = Drum({0, 0, 0.55f}, {0, 0, 1.25f}, 0.055f, 0.05f, 8);
    ProjectInto(&jacket, 0, kDarkSteel);
    AddPiece(&m, jacket, 1);
    XMesh barrel = Drum({0, 0, 1.2f}, {0, 0, 1.86f}, 0.03f, 0.028f, 6);
    ProjectInto(&barrel, 0, kDarkSteel);
    AddPiece(&m, barrel, 2);
    XMesh hider = Drum({0, 0, 1.83f}, {0, 0, 1.95f}, 0.035f, 0.045f, 6);
    ProjectInto(&hider, 0, kBrightSteel);
    AddPiece(&m, hider, 3);
    XMesh coax = Drum({0.12f, 0.0f, 0.55f}, {0.12f, 0.0f, 1.0f}, 0.02f, 0.018f, 5);
    ProjectInto(&coax, 0, kDarkSteel);
    AddPiece(&m, coax, 4);
    // Each tube its own subset, so the reduced copy keeps every one a tube.
    m.materials = {Painted(kCamoFile), Painted(kGearFile), Painted(kGearFile), Painted(kGearFile), Painted(kGearFile)};
    return m;
}

// A road wheel: the tyre with a flat-faceted tread, its face picture on
// both sides, a hub with the tyre-pressure block on the outer (+x) face.
XMesh Wheel()
{
    return FacetedWheel({.radius = kWheelRadius, .halfWidth = kWheelHalfWidth, .sides = kWheelSides, .face = kWheelFace,
                         .tread = kRubber, .hubRadius = 0.1f, .hubTipRadius = 0.07f, .hubLength = 0.05f,
                         .hubRim = kDarkSteel},
                        Painted(kGearFile));
}
}  // namespace

void BuildBrdm3(Pack& pack)
{
    pack.Png(kCamoFile, CamoTexture());
    pack.Png(kGearFile, GearTexture());
    pack.X("LAND/BRDM3/body.x", Hull());
    pack.X("LAND/BRDM3/top1.x", Turret());
    pack.X("LAND/BRDM3/top2.x", Gun());
    pack.X("LAND/BRDM3/wheel.x", Wheel());
}

namespace {
const bool kRegistered = RegisterKindBuilder("BRDM3", BuildBrdm3);
}  // namespace
