// The V100 armoured car: a four-wheeled car whose hull is a faceted boat,
// widest at a waist line over the tyres and sloping in above and below it,
// with a long pointed bow, side doors, a winch in the nose and a low
// angular one-man turret carrying a twin machine-gun mount left of its
// centre, all under LAND/V100/.
//
// Each part is modelled in the frame its matrix in the game places it by
// (+x right, +y up, +z forward; units are world units):
//   body      hull; the axles 0.5 below its origin, the ground 0.92 below
//             it; 2.04 wide at the waist, from the tail at z -2.5 to the
//             winch at z 2.72
//   top1      turret; its origin on the ring axis 0.65 above the hull's
//             origin, the hull roof at its y -0.23, its own roof at y 0.28,
//             the vision cupola on its right-hand side
//   top2      the twin machine guns; origin at the mount's pivot (turret
//             (-0.25, 0.225, 0.36)), the heavy barrel on its axis, the
//             light one 0.14 to its right, the flash hider at z 1.22
//   wheel     one wheel, centred on its axle (x), the hub on its outer +x
//             face; radius 0.42, drawn at (+-0.8, -0.5, -1.5 / 1.15)
#include <cmath>

#include "pack.h"
#include "shapes.h"
#include "tank_pictures.h"
#include "tank_shapes.h"

namespace {
const float kPi = 3.14159265f;

const char* const kCamoFile = "LAND/V100/V100Camo.png";
const char* const kGearFile = "LAND/V100/V100Gear.png";

// --- running gear (hull frame) -----------------------------------------------
const float kWheelRadius = 0.42f;
const float kWheelHalfWidth = 0.15f;
const int kWheelSides = 12;

// --- hull lines (hull frame) ---------------------------------------------------
const float kWaistY = -0.02f;   // the widest line, just over the tyres
const float kWaistHalf = 1.02f;
const float kRoofY = 0.42f;
const float kRoofHalf = 0.66f;
const float kBellyY = -0.55f;
const float kBellyHalf = 0.58f;
const float kRoofFrontZ = 1.1f, kRoofBackZ = -1.6f;
const float kNoseTopY = 0.04f, kNoseZ = 2.56f;
const float kTailTopY = 0.22f, kTailZ = -2.47f;

// --- the detail picture (256 x 256) -------------------------------------------
Rect Px(float l, float t, float r, float b) { return {l / 256, t / 256, r / 256, b / 256}; }
const Rect kWheelFace = Px(2, 2, 126, 126);
const Rect kRubber = Px(134, 4, 158, 28);
const Rect kGlass = Px(166, 4, 206, 28);
const Rect kLens = Px(214, 4, 250, 28);
const Rect kDarkSteel = Px(134, 36, 250, 60);
const Rect kBrightSteel = Px(134, 68, 250, 92);
const Rect kRedLens = Px(134, 100, 174, 124);
const Rect kGrille = Px(2, 130, 254, 190);
const Rect kStar = Px(76, 200, 124, 248);

XMaterial Painted(const char* texture) { return {Rgb(0xECEAE2), 6, Rgb(0x181814), Rgb(0), texture}; }

// The camouflage's projection, where the picture spans 5 units.
UvMap Camo(float uOffset, float vOffset) { return ScaledUv(0.2f, uOffset, vOffset); }

// --- pictures ----------------------------------------------------------------

// A pale khaki ground brushed over with long ragged stripes of dark olive,
// black-brown cores inside the widest of them, run along the hull's length;
// tiles both ways.
Canvas CamoTexture()
{
    const int n = 512;
    Canvas c(n, n);
    const RGBA khaki = Rgb(0xAEA27A), olive = Rgb(0x4A4A2C), black = Rgb(0x24221A);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float fx = x / 128.0f, fy = y / 128.0f;
            // Bands along u, six to a tile, wandering with the noise and
            // broken into lengths by a second noise.
            float wander = Fbm(fx, fy, 3, 4101, 4) - 0.5f;
            float band = std::sin(2 * kPi * 6 * y / n + wander * 9.0f);
            float breakup = Fbm(fx * 2, fy * 2, 3, 4102, 8);
            float rag = (Fbm(x / 8.0f, y / 8.0f, 2, 4106, 64) - 0.5f) * 0.3f;
            RGBA col = khaki;
            col = Mix(col, olive, Smooth(0.02f, 0.12f, band + rag) * Smooth(0.36f, 0.44f, breakup));
            col = Mix(col, black, Smooth(0.72f, 0.8f, band + rag) * Smooth(0.46f, 0.54f, breakup));
            float fine = Fbm(x / 8.0f, y / 8.0f, 3, 4103, 64);
            float shade = 0.88f + 0.2f * fine;
            col = Shaded(col, shade);
            float dust = Smooth(0.55f, 0.85f, Fbm(x / 16.0f, y / 16.0f, 3, 4104, 32)) * 0.2f;
            c.At(x, y) = Mix(col, Rgb(0xA89C78), dust);
        }
    // Plate seams and bolt rows.
    PaintSeams(&c, {.first = 88.0f, .width = 1.5f, .litOffset = 1.4f, .downParity = 0,
                    .dark = Rgb(0x2A2818, 0.5f), .darkDown = Rgb(0x2A2818, 0.45f),
                    .lit = Rgb(0xD0C8A0, 0.2f), .litDown = Rgb(0xD0C8A0, 0.18f),
                    .rivetFrom = 4, .rivetStep = 16, .rivetOffset = 6, .rivetRadius = 1.4f,
                    .rivet = Rgb(0x2C2A1E, 0.55f), .glintBack = 0.4f, .glintOffset = 5.6f,
                    .glintRadius = 0.6f, .glint = Rgb(0xD8D0A8, 0.3f)});
    return c;
}

// The wheel: a deep tyre with bar tread at the shoulder, a split steel rim
// in khaki with ten lugs round a domed hub.
void PaintWheel(Canvas* c, const Rect& r)
{
    const RGBA rubber = Rgb(0x282724), rim = Rgb(0x8E8462), hub = Rgb(0x6E6648);
    PaintRoundFace(c, r, 256, 2, {0, 0, 128, 128}, [&](const FacePoint& p) {
        RGBA col;
        if (p.d > 0.58f) {
            col = rubber;
            if (p.d > 0.88f && std::fabs(std::sin(p.ang * 14)) > 0.55f) col = Rgb(0x3C3B36);
        } else if (p.d > 0.24f) {
            col = Mix(rim, Mix(rim, Rgb(0x000000), 0.45f), Smooth(0.3f, 0.58f, p.d));
            if (std::fabs(p.d - 0.45f) < 0.02f) col = Rgb(0x4A4430);  // the split ring's seam
        } else {
            col = Mix(hub, Rgb(0xA8A080), Smooth(0.24f, 0.0f, p.d) * 0.4f);
        }
        for (int k = 0; k < 10; ++k) {
            float ba = k * kPi / 5;
            if (p.Near(ba, 0.32f, 0.035f)) col = Rgb(0x3A3626);
        }
        float grime = Fbm(p.x / 10.0f, p.y / 10.0f, 3, 4111);
        col = Mix(col, Rgb(0x6A5A40), Smooth(0.45f, 0.8f, grime) * 0.45f);
        return col;
    });
}

Canvas GearTexture()
{
    Canvas c(256, 256);
    FillGrain(&c, {0, 0, 256, 256}, Rgb(0x2E2E2A), Rgb(0x42423C), 8.0f, 4121);
    PaintWheel(&c, kWheelFace);
    c.FillRect(130, 0, 162, 32, Rgb(0x282724));
    c.FillRect(164, 2, 208, 30, Rgb(0x1C2830));
    c.Disc(175, 10, 4, Rgb(0xD0E4F0, 0.7f), 2);
    c.FillRect(212, 2, 252, 30, Rgb(0x2A2A22));
    c.RoundRect(216, 6, 248, 26, 6, Rgb(0xF0E4B0));
    c.Disc(224, 12, 4, Rgb(0xFFFAEC, 0.8f), 2);
    FillSpeckled(&c, {128, 64, 256, 96}, Rgb(0x6A6A62), Rgb(0x8A8A80), 4122);
    c.FillRect(132, 98, 176, 126, Rgb(0x2A2420));
    c.RoundRect(136, 102, 172, 122, 5, Rgb(0xB02418));
    // The grille: khaki frame round dark mesh.
    c.FillRect(0, 128, 256, 192, Rgb(0x8A8060));
    for (int y = 134; y < 186; ++y)
        for (int x = 6; x < 250; ++x) c.At(x, y) = ((x / 3 + y / 3) % 2) ? Rgb(0x1A1A16) : Rgb(0x3A3A30);
    // A pale star in a ring on the khaki, the allied recognition mark.
    c.FillRect(64, 192, 136, 256, Rgb(0x9C9068));
    c.Ring(100, 224, 24, 3, Rgb(0xE2DCC4));
    const float outer = 21, inner = 21 * 0.382f;
    for (int k = 0; k < 5; ++k) {
        float a = -kPi / 2 + k * 2 * kPi / 5;
        float ox = 100 + std::cos(a) * outer, oy = 224 + std::sin(a) * outer;
        c.Triangle(100, 224, ox, oy, 100 + std::cos(a + kPi / 5) * inner, 224 + std::sin(a + kPi / 5) * inner,
                   Rgb(0xE2DCC4));
        c.Triangle(100, 224, ox, oy, 100 + std::cos(a - kPi / 5) * inner, 224 + std::sin(a - kPi / 5) * inner,
                   Rgb(0xE2DCC4));
    }
    return c;
}

// --- meshes --------------------------------------------------------------------

// A plate lying on a sloped side: the side's line runs from `foot` to
// `head` (points {x, y}); the plate covers the fractions f0 to f1 of it,
// from z0 to z1, `thick` proud of it, outward toward +x.
XMesh SidePlate(P2 foot, P2 head, float f0, float f1, float z0, float z1, float thick, const UvMap& uv = {})
{
    float dx = head.a - foot.a, dy = head.b - foot.b, len = std::hypot(dx, dy);
    float nx = dy / len, ny = -dx / len;
    if (nx < 0) nx = -nx, ny = -ny;
    std::vector<Vec3> pts;
    for (float f : {f0, f1})
        for (float z : {z0, z1})
            for (float t : {0.0f, thick}) pts.push_back({foot.a + dx * f + nx * t, foot.b + dy * f + ny * t, z});
    return ConvexHull(pts, uv);
}

// The waist's half-width at z, along its plan outline.
float WaistHalfAt(float z)
{
    if (z > 1.5f) return kWaistHalf + (0.5f - kWaistHalf) * (z - 1.5f) / (kNoseZ + 0.06f - 1.5f);
    if (z < -1.95f) return 1.0f + (0.75f - 1.0f) * (z + 1.95f) / (kTailZ - 0.03f + 1.95f);
    return kWaistHalf;
}

// The hull: the faceted upper hull over the waist, its lower half in four
// pieces so the wheels sit in open arches (keel, bow, stern, the side
// between the wheels), doors, the driver's vision hatch, lamps, the winch,
// engine grilles, the exhaust and the aerials.
XMesh Hull()
{
    XMesh m;
    const UvMap uv = Camo(0.2f, 0.1f);
    {
        std::vector<Vec3> up;
        Both(&up, 1.0f, kWaistY, -1.95f);
        Both(&up, kWaistHalf, kWaistY, 1.5f);
        Both(&up, 0.5f, kWaistY, kNoseZ + 0.06f);
        Both(&up, 0.75f, kWaistY, kTailZ - 0.03f);
        Both(&up, kRoofHalf, kRoofY, kRoofBackZ);
        Both(&up, kRoofHalf, kRoofY, kRoofFrontZ);
        Both(&up, 0.42f, kNoseTopY, kNoseZ);
        Both(&up, 0.6f, kTailTopY, kTailZ);
        AddPiece(&m, ConvexHull(up, uv), 0);
    }
    {  // the keel between the wheels, its bow and stern swept up to the waist
        std::vector<Vec3> keel;
        Both(&keel, 0.62f, kWaistY + 0.01f, -2.3f);
        Both(&keel, 0.62f, kWaistY + 0.01f, 1.9f);
        Both(&keel, 0.45f, kWaistY + 0.01f, kNoseZ);
        Both(&keel, kBellyHalf, kBellyY, -1.9f);
        Both(&keel, kBellyHalf, kBellyY, 1.75f);
        Both(&keel, 0.5f, kWaistY - 0.15f, -2.44f);
        AddPiece(&m, ConvexHull(keel, uv), 0);
    }
    {  // the bow's lower facets before the front wheels
        std::vector<Vec3> bow;
        Both(&bow, WaistHalfAt(1.62f), kWaistY + 0.01f, 1.62f);
        Both(&bow, 0.5f, kWaistY + 0.01f, kNoseZ + 0.05f);
        Both(&bow, 0.6f, kBellyY + 0.1f, 1.62f);
        Both(&bow, 0.44f, kWaistY - 0.12f, kNoseZ);
        AddPiece(&m, ConvexHull(bow, uv), 0);
    }
    {  // the stern's lower facets behind the rear wheels
        std::vector<Vec3> stern;
        Both(&stern, WaistHalfAt(-1.97f), kWaistY + 0.01f, -1.97f);
        Both(&stern, 0.75f, kWaistY + 0.01f, kTailZ - 0.02f);
        Both(&stern, 0.6f, kBellyY + 0.05f, -1.97f);
        Both(&stern, 0.55f, kWaistY - 0.2f, kTailZ);
        AddPiece(&m, ConvexHull(stern, uv), 0);
    }
    {  // the lower side between the arches, sloping in to the belly
        std::vector<Vec3> side = {{0.6f, kBellyY + 0.02f, -1.02f}, {0.6f, kBellyY + 0.02f, 0.66f},
                                  {kWaistHalf - 0.01f, kWaistY + 0.01f, -1.04f},
                                  {kWaistHalf - 0.01f, kWaistY + 0.01f, 0.68f}, {0.6f, kWaistY + 0.01f, -1.04f},
                                  {0.6f, kWaistY + 0.01f, 0.68f}};
        AddPair(&m, ConvexHull(side, uv), 0);
    }
    // A rubbing strake along the waist, and the arches' lips.
    AddPair(&m, ChamferedBox({kWaistHalf - 0.04f, kWaistY - 0.02f, -1.02f}, {kWaistHalf + 0.03f, kWaistY + 0.04f, 0.66f},
                             0.015f, uv),
            0);
    // The side doors between the wheels: a plate on the upper slope with its
    // vision block, and a step below.
    const P2 foot{kWaistHalf, kWaistY}, head{kRoofHalf, kRoofY};
    AddPair(&m, SidePlate(foot, head, 0.12f, 0.86f, -0.75f, 0.35f, 0.03f, uv), 0);
    XMesh port = SidePlate(foot, head, 0.55f, 0.72f, -0.35f, -0.05f, 0.045f);
    ProjectInto(&port, 0, kGlass);
    AddPair(&m, port, 1);
    // The recognition star in its ring, on a round plate on the slope over
    // the front wheels.
    {
        float dx = head.a - foot.a, dy = head.b - foot.b, len = std::hypot(dx, dy);
        Vec3 n = {dy / len, -dx / len, 0};
        Vec3 at = {foot.a + dx * 0.48f, foot.b + dy * 0.48f, 0.93f};
        XMesh star = Drum(at - n * 0.004f, at + n * 0.01f, 0.2f, 0.2f, 10);
        ProjectInto(&star, 0, kStar);
        AddPair(&m, star, 1);
    }
    // The driver's hatch at the front left of the roof with its vision
    // blocks looking over the bow.
    AddPiece(&m, ChamferedBox({-0.58f, kRoofY - 0.01f, 0.62f}, {-0.12f, kRoofY + 0.08f, 1.08f}, 0.025f, uv), 0);
    XMesh blocks = ChamferedBox({-0.54f, kRoofY + 0.01f, 1.06f}, {-0.16f, kRoofY + 0.06f, 1.1f}, 0);
    ProjectInto(&blocks, 2, kGlass);
    AddPiece(&m, blocks, 1);
    // The commander's hatch behind the turret, and a hatch over the engine.
    AddPiece(&m, Drum({0.0f, kRoofY - 0.01f, -1.05f}, {0.0f, kRoofY + 0.05f, -1.05f}, 0.24f, 0.21f, 8, uv), 0);
    // Head lamps in their guards on the bow, the winch in the nose.
    for (float s : {-1.0f, 1.0f}) {
        Vec3 at = {0.5f * s, 0.16f, 2.08f};
        XMesh lamp = Drum({at.x, at.y, at.z}, {at.x, at.y, at.z + 0.1f}, 0.07f, 0.07f, 8);
        ProjectInto(&lamp, 2, kLens);
        AddPiece(&m, lamp, 1);
        AddPiece(&m, ChamferedBox({at.x - 0.11f, at.y + 0.07f, at.z - 0.1f}, {at.x + 0.11f, at.y + 0.1f, at.z + 0.14f},
                                  0.01f, uv),
                 0);
        AddPiece(&m, ChamferedBox({at.x - 0.11f, at.y - 0.1f, at.z - 0.1f}, {at.x - 0.09f, at.y + 0.09f, at.z + 0.14f},
                                  0, uv),
                 0);
        AddPiece(&m, ChamferedBox({at.x + 0.09f, at.y - 0.1f, at.z - 0.1f}, {at.x + 0.11f, at.y + 0.09f, at.z + 0.14f},
                                  0, uv),
                 0);
    }
    AddPiece(&m, ChamferedBox({-0.3f, -0.24f, 2.42f}, {0.3f, 0.02f, 2.72f}, 0.05f, uv), 0);
    XMesh drum = Drum({-0.22f, -0.1f, 2.62f}, {0.22f, -0.1f, 2.62f}, 0.08f, 0.08f, 8);
    ProjectInto(&drum, 0, kDarkSteel);
    AddPiece(&m, drum, 1);
    // Engine grilles on the sloped rear deck, the rear door's frame, the
    // exhaust box on the back, tail lamps.
    XMesh grille = SlopePlate(kRoofY, kRoofBackZ, kTailTopY, kTailZ, 0.1f, 0.52f, 0.08f, 0.85f, 0.02f);
    ProjectInto(&grille, 1, kGrille);
    AddPair(&m, grille, 1);
    AddPiece(&m, ChamferedBox({-0.45f, -0.02f, -2.58f}, {0.05f, 0.16f, -2.45f}, 0.03f, uv), 0);
    XMesh muffler = Drum({0.12f, 0.07f, -2.56f}, {0.52f, 0.07f, -2.56f}, 0.08f, 0.08f, 8);
    ProjectInto(&muffler, 0, kDarkSteel);
    AddPiece(&m, muffler, 1);
    XMesh tail = ChamferedBox({0.52f, 0.14f, -2.5f}, {0.64f, 0.2f, -2.46f}, 0);
    ProjectInto(&tail, 2, kRedLens);
    AddPair(&m, tail, 1);
    // Two aerials on the rear corners of the roof, no higher than the
    // turret's cupola so the hull's box stays the hull's.
    for (float s : {-1.0f, 1.0f}) {
        AddPiece(&m, Drum({0.55f * s, kRoofY - 0.01f, -1.5f}, {0.55f * s, kRoofY + 0.08f, -1.5f}, 0.05f, 0.04f, 6, uv), 0);
        XMesh whip = Drum({0.55f * s, kRoofY + 0.06f, -1.5f}, {0.57f * s, kRoofY + 0.68f, -1.57f}, 0.013f, 0.009f, 4);
        ProjectInto(&whip, 0, kDarkSteel);
        AddPiece(&m, whip, 1);
    }
    m.materials = {Painted(kCamoFile), Painted(kGearFile)};
    return m;
}

// The turret: a low body of eight sloped facets, longer than wide, a steep
// front face; the vision cupola on the right of the roof with its ring of
// blocks and hatch; smoke dischargers on both sides.
XMesh Turret()
{
    XMesh m;
    const UvMap uv = Camo(0.61f, 0.47f);
    const float base = -0.25f, roof = 0.28f;
    {
        std::vector<Vec3> body;
        Both(&body, 0.42f, base, 0.52f);
        Both(&body, 0.62f, base, 0.2f);
        Both(&body, 0.62f, base, -0.36f);
        Both(&body, 0.42f, base, -0.62f);
        Both(&body, 0.34f, roof, 0.44f);
        Both(&body, 0.47f, roof, 0.16f);
        Both(&body, 0.47f, roof, -0.3f);
        Both(&body, 0.32f, roof, -0.5f);
        AddPiece(&m, ConvexHull(body, uv), 0);
    }
    // The ring's collar on the hull roof.
    AddPiece(&m, Drum({0, base - 0.02f, 0}, {0, base + 0.05f, 0}, 0.6f, 0.6f, 10, uv), 0);
    // The cupola: a short drum with its blocks, the hatch on top.
    const Vec3 cup = {0.16f, roof, -0.12f};
    AddPiece(&m, Drum({cup.x, cup.y - 0.02f, cup.z}, {cup.x, cup.y + 0.04f, cup.z}, 0.26f, 0.26f, 8, uv), 0);
    XMesh blocks = Drum({cup.x, cup.y + 0.04f, cup.z}, {cup.x, cup.y + 0.1f, cup.z}, 0.245f, 0.235f, 8);
    ProjectInto(&blocks, 0, kGlass);
    AddPiece(&m, blocks, 2);  // a subset of its own: the reduced copy keeps the cupola's ring
    AddPiece(&m, Drum({cup.x, cup.y + 0.1f, cup.z}, {cup.x, cup.y + 0.14f, cup.z}, 0.25f, 0.2f, 8, uv), 0);
    // Smoke dischargers: three tubes on each side, raked forward and up.
    for (float s : {-1.0f, 1.0f})
        for (int k = 0; k < 3; ++k) {
            float z = -0.2f + 0.1f * k;
            XMesh tube = Drum({0.5f * s, 0.02f, z}, {0.62f * s, 0.12f, z + 0.06f}, 0.04f, 0.04f, 5);
            ProjectInto(&tube, 0, kDarkSteel);
            AddPiece(&m, tube, 1);
        }
    // A stowage bin across the back.
    AddPiece(&m, ChamferedBox({-0.3f, -0.12f, -0.7f}, {0.3f, 0.12f, -0.52f}, 0.025f, uv), 0);
    m.materials = {Painted(kCamoFile), Painted(kGearFile), Painted(kGearFile)};
    return m;
}

// The twin guns: a mantlet box round the pivot, the heavy gun's jacket,
// barrel and cone flash hider on the axis, the light gun to its right.
XMesh Gun()
{
    XMesh m;
    const UvMap uv = Camo(0.35f, 0.82f);
    AddPiece(&m, ChamferedBox({-0.1f, -0.09f, -0.12f}, {0.22f, 0.05f, 0.2f}, 0.03f, uv), 0);
    XMesh jacket = Drum({0, -0.02f, 0.18f}, {0, -0.02f, 0.52f}, 0.045f, 0.045f, 8);
    ProjectInto(&jacket, 0, kDarkSteel);
    AddPiece(&m, jacket, 1);
    XMesh barrel = Drum({0, -0.02f, 0.5f}, {0, -0.02f, 1.14f}, 0.026f, 0.024f, 6);
    ProjectInto(&barrel, 0, kDarkSteel);
    AddPiece(&m, barrel, 2);
    XMesh hider = Drum({0, -0.02f, 1.1f}, {0, -0.02f, 1.22f}, 0.03f, 0.045f, 6);
    ProjectInto(&hider, 0, kBrightSteel);
    AddPiece(&m, hider, 3);
    XMesh light = Drum({0.14f, -0.02f, 0.18f}, {0.14f, -0.02f, 0.78f}, 0.018f, 0.016f, 5);
    ProjectInto(&light, 0, kDarkSteel);
    AddPiece(&m, light, 4);
    // Each tube its own subset, so the reduced copy keeps every one a tube.
    m.materials = {Painted(kCamoFile), Painted(kGearFile), Painted(kGearFile), Painted(kGearFile), Painted(kGearFile)};
    return m;
}

// A wheel: the tyre's faceted tread, its face picture on both sides, the
// hub on the outer (+x) face.
XMesh Wheel()
{
    return FacetedWheel({.radius = kWheelRadius, .halfWidth = kWheelHalfWidth, .sides = kWheelSides, .face = kWheelFace,
                         .tread = kRubber, .hubRadius = 0.11f, .hubTipRadius = 0.06f, .hubLength = 0.06f,
                         .hubRim = kDarkSteel},
                        Painted(kGearFile));
}
}  // namespace

void BuildV100(Pack& pack)
{
    pack.Png(kCamoFile, CamoTexture());
    pack.Png(kGearFile, GearTexture());
    pack.X("LAND/V100/body.x", Hull());
    pack.X("LAND/V100/top1.x", Turret());
    pack.X("LAND/V100/top2.x", Gun());
    pack.X("LAND/V100/wheel.x", Wheel());
}

namespace {
const bool kRegistered = RegisterKindBuilder("V100", BuildV100);
}  // namespace
