// The battlefield's pictures and meshes: ground textures, the mountain
// scenery and its collision shell, the city blocks, the border sign.
//
// Scenery meshes are placed by the stage matrix (scale 100, then a move to
// (500, -0.8, 500)): one model unit is 100 world units and the field's
// 0..1000 is model -5..5.  Ground texture pixel (px, py) covers world
// z = px / 1024 x 1000 and x = py / 1024 x 1000 (the ground maps u along z).
#include <cmath>
#include <functional>

#include "pack.h"

namespace {
const float kPi = 3.14159265f;

// Obstacles inside the field, in model units: outcrops (round) and ridges
// (along a segment).  The start areas (model -4.5..-3 and 3..4.5 on both
// axes) and the diagonal between them stay clear.
struct Obstacle {
    float x0, z0, x1, z1;  // a point (x0 == x1, z0 == z1) or a segment
    float radius, height;
    uint32_t seed;
};
const Obstacle kObstacles[] = {
    {-1.6f, 1.7f, -1.6f, 1.7f, 0.55f, 0.62f, 11},   // outcrop, west of the middle
    {0.7f, -2.6f, 0.7f, -2.6f, 0.5f, 0.55f, 12},    // outcrop, south of the middle
    {-2.8f, -0.8f, -1.2f, 0.4f, 0.32f, 0.42f, 13},  // ridge beside the robots' start
    {2.8f, 0.8f, 1.2f, -0.4f, 0.32f, 0.45f, 14},    // ridge beside the tanks' start
    {-3.4f, 2.6f, -3.4f, 2.6f, 0.42f, 0.5f, 15},    // outcrop in the far corner
    {3.2f, -3.0f, 3.2f, -3.0f, 0.4f, 0.48f, 16},    // outcrop in the other corner
};

float SegmentDistance(float x, float z, const Obstacle& o)
{
    float dx = o.x1 - o.x0, dz = o.z1 - o.z0, len2 = dx * dx + dz * dz;
    float t = len2 > 0 ? Clamp01(((x - o.x0) * dx + (z - o.z0) * dz) / len2) : 0;
    return std::hypot(x - (o.x0 + t * dx), z - (o.z0 + t * dz));
}

// Height of the obstacles at a point (model units); below 0 is under the ground.
float ObstacleHeight(float x, float z)
{
    float h = -0.05f;
    for (const Obstacle& o : kObstacles) {
        float d = SegmentDistance(x, z, o);
        float wobble = 0.75f + 0.5f * Fbm(x * 3.0f, z * 3.0f, 3, o.seed);
        float r = o.radius * wobble;
        if (d >= r * 1.2f) continue;
        float t = Clamp01(1 - d / r);
        float profile = std::pow(t, 0.6f) * (0.85f + 0.3f * Fbm(x * 7.0f, z * 7.0f, 3, o.seed + 7));
        h = std::max(h, o.height * profile - 0.03f);
    }
    return h;
}

// The mountain ring: rising from just outside the field's edge.
float RingHeight(float x, float z)
{
    float edge = std::max(std::fabs(x), std::fabs(z)) - 5.15f;
    if (edge <= 0) return -0.05f;
    float rise = Smooth(0.0f, 2.5f, edge);
    float peaks = 0.6f + 2.6f * Fbm(x * 0.35f, z * 0.35f, 5, 21);
    float crags = 0.25f * Fbm(x * 2.0f, z * 2.0f, 3, 22);
    return rise * (peaks + crags) - 0.05f;
}

// A heightfield over [x0, x1] x [z0, z1]: faces kept where `keep` says,
// material 1 (rock) where steep, 0 (grass) elsewhere.
XMesh Heightfield(float x0, float x1, float z0, float z1, float step, const std::function<float(float, float)>& h,
                  const std::function<bool(float, float, float)>& keep, float uvScale)
{
    XMesh m;
    int nx = static_cast<int>(std::lround((x1 - x0) / step)), nz = static_cast<int>(std::lround((z1 - z0) / step));
    std::vector<uint32_t> id(static_cast<size_t>(nx + 1) * (nz + 1));
    for (int j = 0; j <= nz; ++j)
        for (int i = 0; i <= nx; ++i) {
            float x = x0 + i * step, z = z0 + j * step;
            id[static_cast<size_t>(j) * (nx + 1) + i] = m.AddVertex({x, h(x, z), z}, {0, 1, 0}, x * uvScale, z * uvScale);
        }
    for (int j = 0; j < nz; ++j)
        for (int i = 0; i < nx; ++i) {
            uint32_t a = id[static_cast<size_t>(j) * (nx + 1) + i], b = a + 1;
            uint32_t c = a + nx + 1, d = c + 1;
            Vec3 pa = m.pos[a], pb = m.pos[b], pc = m.pos[c], pd = m.pos[d];
            float cx = (pa.x + pd.x) / 2, cz = (pa.z + pd.z) / 2;
            float top = std::max({pa.y, pb.y, pc.y, pd.y});
            if (!keep(cx, cz, top)) continue;
            Vec3 n = Vec3Normalize(Vec3Cross(pc - pa, pb - pa));
            uint32_t mat = n.y < 0.6f ? 1 : 0;
            m.AddFace(a, c, b, mat);  // (a, c, b): clockwise seen from above
            m.AddFace(b, c, d, mat);
        }
    m.SmoothNormals();
    return m;
}

Canvas RockTexture(uint32_t seed, RGBA dark, RGBA light)
{
    Canvas c(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            float n = Fbm(x / 32.0f, y / 32.0f, 5, seed, 8);
            float strata = 0.5f + 0.5f * std::sin((y / 256.0f * 12 + n * 3) * kPi);
            float grain = Hash01(x, y, seed + 3) * 0.12f;
            c.At(x, y) = Mix(dark, light, Clamp01(n * 0.8f + strata * 0.25f + grain));
        }
    return c;
}

Canvas GrassTexture(uint32_t seed)
{
    Canvas c(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            float tiled = Fbm(x / 32.0f, y / 32.0f, 5, seed, 8);
            float blade = Hash01(x, y, seed + 5);
            RGBA base = Mix(Rgb(0x3E4A26), Rgb(0x6B6A3A), Clamp01(tiled * 1.1f));
            base = Mix(base, Rgb(0x7A6A48), Clamp01((Fbm(x / 16.0f, y / 16.0f, 3, seed + 9, 16) - 0.55f) * 3));
            c.At(x, y) = Mix(base, Rgb(0x2C3418), blade * 0.25f);
        }
    return c;
}

// The 1024 x 1024 ground under the whole field.
Canvas MountainGround()
{
    Canvas c(1024, 1024);
    for (int py = 0; py < 1024; ++py)
        for (int px = 0; px < 1024; ++px) {
            float wz = px / 1024.0f * 1000, wx = py / 1024.0f * 1000;
            float mx = wx / 100 - 5, mz = wz / 100 - 5;  // model units
            float n = Fbm(wx / 90, wz / 90, 6, 31);
            float fine = Fbm(wx / 9, wz / 9, 3, 32);
            RGBA grass = Mix(Rgb(0x46532C), Rgb(0x7B7A45), Clamp01(n * 1.3f - 0.1f));
            RGBA dirt = Mix(Rgb(0x6E5B3C), Rgb(0x8C7654), fine);
            float dirtAmount = Smooth(0.55f, 0.72f, Fbm(wx / 60, wz / 60, 4, 33));
            RGBA g = Mix(grass, dirt, dirtAmount);
            // Scree and darker soil round every obstacle.
            float near = 1e9f;
            for (const Obstacle& o : kObstacles) near = std::min(near, SegmentDistance(mx, mz, o) - o.radius);
            g = Mix(g, Mix(Rgb(0x5A564E), Rgb(0x8A8478), fine), Clamp01(1 - near / 0.25f) * 0.85f);
            // Worn ground at the two start areas and the track between them.
            float startA = std::max(std::fabs(wx - 125), std::fabs(wz - 125));
            float startB = std::max(std::fabs(wx - 875), std::fabs(wz - 875));
            float worn = Clamp01(1 - (std::min(startA, startB) - 60) / 25);
            float track = std::fabs(wx - wz) / 1.4142f;
            worn = std::max(worn, Clamp01(1 - (track - 6 - 8 * Fbm(wx / 40, wz / 40, 2, 34)) / 6) * 0.6f);
            g = Mix(g, Mix(Rgb(0x7D6A4C), Rgb(0x9C8966), fine), worn * (0.6f + 0.4f * fine));
            float shade = 0.85f + 0.3f * fine;
            c.At(px, py) = {g.r * shade, g.g * shade, g.b * shade, 1};
        }
    return c;
}

Canvas CityGround()
{
    Canvas c(1024, 1024, Rgb(0x56585A));
    for (int py = 0; py < 1024; ++py)
        for (int px = 0; px < 1024; ++px) {
            float n = Fbm(px / 16.0f, py / 16.0f, 4, 41);
            RGBA asphalt = Mix(Rgb(0x3C3E40), Rgb(0x5A5C5E), n);
            c.At(px, py) = asphalt;
        }
    // Pavements round the blocks (every 128 pixels, streets 40 wide) and
    // dashed centre lines.
    for (int b = 0; b < 8; ++b) {
        float s = b * 128.0f;
        for (int k = 0; k < 8; ++k) {
            float t = k * 128.0f;
            c.RoundRect(s + 20, t + 20, s + 108, t + 108, 6, Rgb(0x8E8C86), Rgb(0x6E6C66), 3);
        }
        for (float d = 0; d < 1024; d += 32) {
            c.FillRect(s - 1, d, s + 1, d + 16, Rgb(0xD8C860, 0.9f));
            c.FillRect(d, s - 1, d + 16, s + 1, Rgb(0xD8C860, 0.9f));
        }
    }
    return c;
}

// Boxes for the city: each block of the 8 x 8 street grid holds a building.
XMesh CityBlocks()
{
    XMesh m;
    m.materials.push_back({Rgb(0xFFFFFF), 6, Rgb(0x202020), Rgb(0), "Map/CityWall.png"});
    m.materials.push_back({Rgb(0x9A9890), 2, Rgb(0), Rgb(0), ""});
    for (int bx = 0; bx < 8; ++bx)
        for (int bz = 0; bz < 8; ++bz) {
            float cx = -5 + (bx + 0.5f) * 1.25f, cz = -5 + (bz + 0.5f) * 1.25f;
            float half = 0.42f, h = 0.4f + 1.6f * Hash01(bx, bz, 51);
            bool start = (cx < -3 && cz < -3) || (cx > 3 && cz > 3);
            if (start) continue;  // the start areas stay open
            Vec3 lo{cx - half, -0.02f, cz - half}, hi{cx + half, h, cz + half};
            // Four walls (clockwise from outside) and a roof.
            struct Side { Vec3 a, b, c, d, n; };
            Side sides[] = {
                {{lo.x, hi.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, lo.y, lo.z}, {lo.x, lo.y, lo.z}, {0, 0, -1}},
                {{hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}, {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}, {0, 0, 1}},
                {{lo.x, hi.y, hi.z}, {lo.x, hi.y, lo.z}, {lo.x, lo.y, lo.z}, {lo.x, lo.y, hi.z}, {-1, 0, 0}},
                {{hi.x, hi.y, lo.z}, {hi.x, hi.y, hi.z}, {hi.x, lo.y, hi.z}, {hi.x, lo.y, lo.z}, {1, 0, 0}},
            };
            for (const Side& s : sides) {
                float w = std::hypot(s.b.x - s.a.x, s.b.z - s.a.z);
                uint32_t a = m.AddVertex(s.a, s.n, 0, 0), b = m.AddVertex(s.b, s.n, w * 4, 0);
                uint32_t c = m.AddVertex(s.c, s.n, w * 4, (hi.y - lo.y) * 4), d = m.AddVertex(s.d, s.n, 0, (hi.y - lo.y) * 4);
                m.AddFace(a, b, c, 0);
                m.AddFace(a, c, d, 0);
            }
            uint32_t a = m.AddVertex({lo.x, hi.y, lo.z}, {0, 1, 0}, 0, 0), b = m.AddVertex({lo.x, hi.y, hi.z}, {0, 1, 0}, 0, 1);
            uint32_t c = m.AddVertex({hi.x, hi.y, hi.z}, {0, 1, 0}, 1, 1), d = m.AddVertex({hi.x, hi.y, lo.z}, {0, 1, 0}, 1, 0);
            m.AddFace(a, b, c, 1);
            m.AddFace(a, c, d, 1);
        }
    return m;
}

Canvas CityWall()
{
    Canvas c(128, 128, Rgb(0x7C7A74));
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) c.At(x, y) = Mix(Rgb(0x6C6A64), Rgb(0x8C8A84), Fbm(x / 16.0f, y / 16.0f, 3, 61, 8));
    for (int wy = 0; wy < 4; ++wy)
        for (int wx = 0; wx < 4; ++wx) {
            bool lit = Hash01(wx, wy, 62) > 0.7f;
            c.FillRect(wx * 32 + 7, wy * 32 + 8, wx * 32 + 25, wy * 32 + 26, lit ? Rgb(0xC8B870) : Rgb(0x2A3038));
            c.FillRect(wx * 32 + 7, wy * 32 + 16, wx * 32 + 25, wy * 32 + 17, Rgb(0x50504C));
        }
    return c;
}

// The border sign: a warning plate on black (black turns transparent).
Canvas StopSign()
{
    Canvas c(64, 64, Rgb(0x000000));
    c.RoundRect(4, 8, 60, 56, 8, Rgb(0xD8201C), Rgb(0xF4F0E8), 4);
    c.Text("STOP", 32, 32, 19, Rgb(0xFFFFFF));
    // Pure black is the key: keep the plate's own dark pixels off it.
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            RGBA& p = c.At(x, y);
            bool edge = x < 2 || y < 2 || x > 61 || y > 61;
            if (!edge && p.r + p.g + p.b > 0.02f && p.r + p.g + p.b < 0.05f) p = {0.02f, 0.02f, 0.02f, 1};
        }
    return c;
}
}  // namespace

void BuildWorld(Pack& pack)
{
    pack.Png("Map/MountainGrass.png", GrassTexture(71));
    pack.Png("Map/MountainRock.png", RockTexture(72, Rgb(0x3E3A32), Rgb(0x7A7264)));
    pack.Bmp("Map/Mountainous.bmp", MountainGround());
    pack.Bmp("Map/City.bmp", CityGround());
    pack.Png("Map/CityWall.png", CityWall());
    pack.Bmp("Map/Stop.bmp", StopSign());
    pack.Bmp("Map/Bit.bmp", Canvas(1, 1, Rgb(0xFFFFFF)));

    const XMaterial grass{Rgb(0xE8E8E0), 4, Rgb(0x101010), Rgb(0), "Map/MountainGrass.png"};
    const XMaterial rock{Rgb(0xF0ECE4), 10, Rgb(0x303030), Rgb(0), "Map/MountainRock.png"};
    // Obstacles inside the field, finely, and the ring beyond it, coarsely.
    XMesh inner = Heightfield(-5, 5, -5, 5, 0.05f, ObstacleHeight,
                              [](float, float, float top) { return top > -0.02f; }, 1.5f);
    XMesh ring = Heightfield(-16, 16, -16, 16, 0.25f, RingHeight,
                             [](float x, float z, float top) {
                                 return top > -0.02f && std::hypot(x, z) < 15.5f &&
                                        std::max(std::fabs(x), std::fabs(z)) > 4.9f;
                             },
                             0.6f);
    inner.materials = {grass, rock};
    ring.materials = {grass, rock};
    XMesh scenery = inner;
    ring.materials.clear();
    uint32_t base = static_cast<uint32_t>(scenery.pos.size());
    scenery.pos.insert(scenery.pos.end(), ring.pos.begin(), ring.pos.end());
    scenery.normal.insert(scenery.normal.end(), ring.normal.begin(), ring.normal.end());
    scenery.u.insert(scenery.u.end(), ring.u.begin(), ring.u.end());
    scenery.v.insert(scenery.v.end(), ring.v.begin(), ring.v.end());
    for (uint32_t i : ring.faces) scenery.faces.push_back(base + i);
    scenery.material.insert(scenery.material.end(), ring.material.begin(), ring.material.end());
    pack.X("Map/Mountainous.x", scenery);

    // The ray-test shell: the obstacles alone, coarser.
    XMesh shell = Heightfield(-5, 5, -5, 5, 0.1f, ObstacleHeight,
                              [](float, float, float top) { return top > -0.02f; }, 1.5f);
    shell.materials = {grass, rock};
    pack.X("Map/MountainousCollision.x", shell);

    XMesh city = CityBlocks();
    pack.X("Map/City.x", city);
}
