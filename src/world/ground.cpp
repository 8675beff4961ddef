#include "world/ground.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "records/state.h"
#include "platform/mesh_data.h"
#include "world/map.h"

bool GroundAt(float x, float z, float* height, Vec3* normal)
{
    if (!(x >= 0 && x < kFieldSize && z >= 0 && z < kFieldSize)) return false;
    int i = static_cast<int>(x / 50.0f), j = static_cast<int>(z / 50.0f);
    if (i > 19) i = 19;
    if (j > 19) j = 19;
    Vec3 a{50.0f * i, HeightGrid[i][j], 50.0f * j};
    Vec3 b{50.0f * i, HeightGrid[i][j + 1], 50.0f * (j + 1)};
    Vec3 c{50.0f * (i + 1), HeightGrid[i + 1][j + 1], 50.0f * (j + 1)};
    Vec3 d{50.0f * (i + 1), HeightGrid[i + 1][j], 50.0f * j};
    float u, v, dis;
    Vec3 from{x, 0, z}, up{0, 1, 0};
    Vec3 n;
    if (IntersectTriangle(a, b, c, from, up, &u, &v, &dis)) n = Vec3Cross(b - a, c - a);
    else if (IntersectTriangle(a, c, d, from, up, &u, &v, &dis)) n = Vec3Cross(c - a, d - a);
    else return false;
    *height = dis;
    if (normal) *normal = Vec3Normalize(n.y < 0 ? -n : n);
    return true;
}

bool GroundHeight(float x, float minHeight, float z, float* outHeight)
{
    float height;
    if (!GroundAt(x, z, &height, nullptr)) return false;
    *outHeight = height;
    return height >= minHeight;
}

namespace {
// The faces of a large mesh sorted into square columns of its x-z plane,
// so a ray tests only the faces of the columns it crosses, nearest column
// first, and stops once a hit lies before the next column.  The answer is
// the same as testing every face.  Built on the first ray at a mesh (the
// stage's collision mesh: before a battle's first frame is over) and kept
// until a ray asks about another mesh.
constexpr uint32_t kGridMinFaces = 256;  // smaller meshes are tested face by face
constexpr int kGridSide = 64;

struct FaceGrid {
    const void* vertices = nullptr;
    const uint32_t* indices = nullptr;
    uint32_t vertexCount = 0, faceCount = 0, stride = 0;
    Vec3 firstVertex{}, lastVertex{};
    float minX = 0, minZ = 0, cellX = 1, cellZ = 1;
    std::vector<uint32_t> first;  // kGridSide * kGridSide + 1 offsets into faces
    std::vector<uint32_t> faces;
};
FaceGrid gGrid;

Vec3 VertexAt(const void* vertices, uint32_t stride, uint32_t i)
{
    Vec3 p;
    std::memcpy(&p, static_cast<const uint8_t*>(vertices) + static_cast<size_t>(i) * stride, sizeof p);
    return p;
}

bool GridIsFor(gfx::Mesh* mesh)
{
    const void* v = gfx::MeshVertices(mesh);
    uint32_t count = gfx::MeshVertexCount(mesh), stride = gfx::FvfStride(gfx::MeshFVF(mesh));
    if (gGrid.vertices != v || gGrid.indices != gfx::MeshIndices(mesh) || gGrid.vertexCount != count ||
        gGrid.faceCount != gfx::MeshFaceCount(mesh) || gGrid.stride != stride || count == 0)
        return false;
    Vec3 a = VertexAt(v, stride, 0), b = VertexAt(v, stride, count - 1);
    return std::memcmp(&a, &gGrid.firstVertex, sizeof a) == 0 && std::memcmp(&b, &gGrid.lastVertex, sizeof b) == 0;
}

void BuildGrid(gfx::Mesh* mesh)
{
    FaceGrid& g = gGrid;
    g.vertices = gfx::MeshVertices(mesh);
    g.indices = gfx::MeshIndices(mesh);
    g.vertexCount = gfx::MeshVertexCount(mesh);
    g.faceCount = gfx::MeshFaceCount(mesh);
    g.stride = gfx::FvfStride(gfx::MeshFVF(mesh));
    g.firstVertex = VertexAt(g.vertices, g.stride, 0);
    g.lastVertex = VertexAt(g.vertices, g.stride, g.vertexCount - 1);
    float lo[2] = {g.firstVertex.x, g.firstVertex.z}, hi[2] = {lo[0], lo[1]};
    for (uint32_t i = 0; i < g.vertexCount; ++i) {
        Vec3 p = VertexAt(g.vertices, g.stride, i);
        lo[0] = std::min(lo[0], p.x), hi[0] = std::max(hi[0], p.x);
        lo[1] = std::min(lo[1], p.z), hi[1] = std::max(hi[1], p.z);
    }
    g.minX = lo[0];
    g.minZ = lo[1];
    g.cellX = hi[0] > lo[0] ? (hi[0] - lo[0]) / kGridSide : 1.0f;
    g.cellZ = hi[1] > lo[1] ? (hi[1] - lo[1]) / kGridSide : 1.0f;
    // The columns each face's x-z bounds touch, widened a little so a hit on
    // a column's edge is found from either side.
    auto span = [&](uint32_t f, int* x0, int* x1, int* z0, int* z1) {
        float fx[2] = {1e30f, -1e30f}, fz[2] = {1e30f, -1e30f};
        for (int k = 0; k < 3; ++k) {
            Vec3 p = VertexAt(g.vertices, g.stride, g.indices[f * 3 + k]);
            fx[0] = std::min(fx[0], p.x), fx[1] = std::max(fx[1], p.x);
            fz[0] = std::min(fz[0], p.z), fz[1] = std::max(fz[1], p.z);
        }
        float px = g.cellX * 1e-3f, pz = g.cellZ * 1e-3f;
        auto cell = [](float v, float lo, float size) {
            return std::clamp(static_cast<int>(std::floor((v - lo) / size)), 0, kGridSide - 1);
        };
        *x0 = cell(fx[0] - px, g.minX, g.cellX), *x1 = cell(fx[1] + px, g.minX, g.cellX);
        *z0 = cell(fz[0] - pz, g.minZ, g.cellZ), *z1 = cell(fz[1] + pz, g.minZ, g.cellZ);
    };
    g.first.assign(kGridSide * kGridSide + 1, 0);
    int x0, x1, z0, z1;
    for (uint32_t f = 0; f < g.faceCount; ++f) {
        span(f, &x0, &x1, &z0, &z1);
        for (int x = x0; x <= x1; ++x)
            for (int z = z0; z <= z1; ++z) ++g.first[x * kGridSide + z + 1];
    }
    for (size_t c = 1; c < g.first.size(); ++c) g.first[c] += g.first[c - 1];
    g.faces.assign(g.first.back(), 0);
    std::vector<uint32_t> fill(g.first.begin(), g.first.end() - 1);
    for (uint32_t f = 0; f < g.faceCount; ++f) {
        span(f, &x0, &x1, &z0, &z1);
        for (int x = x0; x <= x1; ++x)
            for (int z = z0; z <= z1; ++z) g.faces[fill[x * kGridSide + z]++] = f;
    }
}

// The nearest face the model-space ray meets, walking the columns it crosses.
bool GridRay(Vec3 o, Vec3 d, uint32_t* face, float* distance)
{
    const FaceGrid& g = gGrid;
    bool hit = false;
    float best = 0;
    uint32_t bestFace = 0;
    auto column = [&](int x, int z) {
        for (uint32_t k = g.first[x * kGridSide + z]; k < g.first[x * kGridSide + z + 1]; ++k) {
            uint32_t f = g.faces[k];
            float u, v, t;
            if (!IntersectTriangle(VertexAt(g.vertices, g.stride, g.indices[f * 3]),
                                   VertexAt(g.vertices, g.stride, g.indices[f * 3 + 1]),
                                   VertexAt(g.vertices, g.stride, g.indices[f * 3 + 2]), o, d, &u, &v, &t))
                continue;
            if (!hit || t < best || (t == best && f < bestFace)) hit = true, best = t, bestFace = f;
        }
    };
    float maxX = g.minX + g.cellX * kGridSide, maxZ = g.minZ + g.cellZ * kGridSide;
    // Where the ray is over the grid: t in [enter, leave].
    float enter = 0, leave = 1e30f;
    auto slab = [&](float o1, float d1, float lo, float hi) {
        if (d1 == 0) return o1 >= lo && o1 <= hi;
        float a = (lo - o1) / d1, b = (hi - o1) / d1;
        if (a > b) std::swap(a, b);
        enter = std::max(enter, a);
        leave = std::min(leave, b);
        return enter <= leave;
    };
    if (!slab(o.x, d.x, g.minX, maxX) || !slab(o.z, d.z, g.minZ, maxZ)) return false;
    Vec3 at = o + d * enter;
    int x = std::clamp(static_cast<int>(std::floor((at.x - g.minX) / g.cellX)), 0, kGridSide - 1);
    int z = std::clamp(static_cast<int>(std::floor((at.z - g.minZ) / g.cellZ)), 0, kGridSide - 1);
    int stepX = d.x > 0 ? 1 : -1, stepZ = d.z > 0 ? 1 : -1;
    const float kNever = 1e30f;
    float nextX = d.x == 0 ? kNever : (g.minX + (x + (d.x > 0 ? 1 : 0)) * g.cellX - o.x) / d.x;
    float nextZ = d.z == 0 ? kNever : (g.minZ + (z + (d.z > 0 ? 1 : 0)) * g.cellZ - o.z) / d.z;
    float deltaX = d.x == 0 ? kNever : g.cellX / std::fabs(d.x);
    float deltaZ = d.z == 0 ? kNever : g.cellZ / std::fabs(d.z);
    for (;;) {
        column(x, z);
        float next = std::min(nextX, nextZ);
        if ((hit && best <= next) || next > leave) break;
        if (nextX < nextZ) {
            x += stepX;
            nextX += deltaX;
        } else {
            z += stepZ;
            nextZ += deltaZ;
        }
        if (x < 0 || x >= kGridSide || z < 0 || z >= kGridSide) break;
    }
    if (hit) {
        if (face) *face = bestFace;
        if (distance) *distance = best;
    }
    return hit;
}
}  // namespace

bool RayHitsMesh(Vec3 rayStart, Vec3 rayDir, const SimpleModel& model, Mat4 modelWorld, float* distance,
                 uint32_t* face)
{
    Mat4 inv;
    if (!model.mesh || !MatInverse(&inv, modelWorld)) return false;
    Vec3 o = Vec3TransformCoord(rayStart, inv), d = Vec3TransformNormal(rayDir, inv);
    if (gfx::MeshFaceCount(model.mesh) < kGridMinFaces) return IntersectDeviceMesh(model.mesh, o, d, face, distance);
    if (!GridIsFor(model.mesh)) BuildGrid(model.mesh);
    return GridRay(o, d, face, distance);
}

float PointDistance(Vec3 a, Vec3 b) { return Vec3Length(a - b); }

namespace {

// The angle in degrees between a direction and its level copy, negative
// when it points up.
float SlopeDegrees(Vec3 dir)
{
    Vec3 level = Vec3Normalize({dir.x, 0, dir.z});
    float d = Vec3Dot(dir, level);
    d = d > 1 ? 1 : d < -1 ? -1 : d;
    float a = std::acos(d) * kRadToDeg;
    return dir.y > 0 ? -a : a;
}

float Limit(float d) { return d > 1.0f ? 1.2f : d < -1.0f ? -1.2f : d; }

// Clamps a position into [lo, hi]: the border flag goes up when a clamp
// acts and down once x and z are both strictly inside.
void ClampInto(Mat4& m, float lo, float hi, int32_t* atBorder)
{
    for (int k : {0, 2}) {
        if (m.m[3][k] < lo) m.m[3][k] = lo, *atBorder = 1;
        if (m.m[3][k] > hi) m.m[3][k] = hi, *atBorder = 1;
    }
    if (m.m[3][0] > lo && m.m[3][0] < hi && m.m[3][2] > lo && m.m[3][2] < hi) *atBorder = 0;
}
}  // namespace

void FollowGroundTanks()
{
    for (int i = 0; i < EarthCount; ++i) {
        TankUnit& t = Tanks[i];
        float clearance = TankHandling[i].groundClearance;
        Vec3 o = Position(t.world);
        float h;
        if (GroundHeight(o.x, 0, o.z, &h)) t.world.m[3][1] = h + clearance;
        else t.world.m[3][1] -= 0.5f;
        // Pitch toward the slope ahead, then roll toward the slope beside.
        for (int axis = 0; axis < 2; ++axis) {
            Vec3 local = axis == 0 ? Vec3{0, 0, 1} : Vec3{1, 0, 0};
            Vec3 p = Vec3TransformCoord(local, t.world);
            float current = SlopeDegrees(Vec3Normalize(p - o));
            Vec3 probe = Vec3TransformCoord(local, t.world);
            if (!GroundHeight(probe.x, 0, probe.z, &h)) continue;
            probe.y = h + clearance;
            float target = SlopeDegrees(Vec3Normalize(probe - o));
            if (axis == 0) {
                t.world = MatRotationX(Limit(target - current) * kDegToRad) * t.world;
            } else {
                t.world = MatRotationZ(Limit(current - target) * kDegToRad) * t.world;
            }
        }
        ClampInto(t.world, 3, 997, &t.atBorder);
    }
}

void FollowGroundRobots()
{
    for (int j = 0; j < MercuryCount; ++j) {
        RobotUnit& r = Robots[j];
        float h;
        Mat4& world = r.World();
        if (GroundHeight(world.m[3][0], 0, world.m[3][2], &h))
            world.m[3][1] = h + RobotHandling[j].groundClearance + r.bob;
        else
            world.m[3][1] -= 0.5f;
        ClampInto(world, 2, 998, &r.atBorder);
    }
}

const WallRay kTankWallRays[6] = {
    {0, 0, {0, 0, 1}, 5.0f, 20, false, 0, 1.6f, 1},
    {1, 1, {1, 0, 0}, 6.0f, 12, false, 0, 1.06f, 0},
    {-1, 1, {-1, 0, 0}, 6.0f, 12, false, 0, 1.06f, 0},
    {0, 0, {0, 0, -1}, 5.0f, 20, false, 1, 1.4f, 2},
    {1, -1, {1, 0, 0}, 8.0f, 12, true, 1, 1.06f, 0},
    {-1, -1, {-1, 0, 0}, 5.0f, 12, true, 1, 1.06f, 0},
};

const WallRay kRobotWallRays[4] = {
    {0, 0, {0, 0, 1}, 5.0f, 20, true, 0, 1.6f, 1},
    {1, 1, {1, 0, 0}, 8.0f, 12, false, 0, 1.06f, 0},
    {-1, 1, {-1, 0, 0}, 6.0f, 12, false, 0, 1.06f, 0},
    {0, 0, {0, 0, -1}, 5.0f, 12, false, 0, 1.08f, 0},
};

namespace {
// The push away from the wall a ray meets, or false when it meets none near.
bool WallPush(const Mat4& world, Vec3 boxSize, const WallRay& ray, Vec3* push)
{
    Vec3 dir = Vec3TransformNormal(ray.dir, world);
    Vec3 start = Vec3TransformCoord({ray.sx * boxSize.x / 2, 0, ray.sz * boxSize.z / 2}, world);
    float distance = 9999.0f;
    uint32_t face = 9999;
    if (!RayHitsMesh(start, dir, StageCollision, StageWorld, &distance, &face) || !(distance < ray.limit))
        return false;
    const uint8_t* v = static_cast<const uint8_t*>(gfx::MeshVertices(StageCollision.mesh));
    uint32_t stride = gfx::FvfStride(gfx::MeshFVF(StageCollision.mesh));
    const uint32_t* idx = gfx::MeshIndices(StageCollision.mesh) + face * 3;
    Vec3 p[3];
    for (int k = 0; k < 3; ++k) std::memcpy(&p[k], v + static_cast<size_t>(idx[k]) * stride, sizeof(Vec3));
    Vec3 wallDir = Vec3Normalize(Vec3Cross(p[1] - p[0], p[2] - p[0]));
    float c = Vec3Dot(wallDir, -dir);
    float k = std::fabs(3.0f / c);
    if (!(k >= distance)) return false;
    *push = wallDir * ((k - distance) * c) * (1.0f / ray.div);
    return true;
}

void SetFlag(ControlFlags& f, int flag)
{
    if (flag == 1) f.backward = 1;
    if (flag == 2) f.forward = 1;
}
}  // namespace

namespace {
// Moves the unit off the wall, damps the speed and, for units other than
// record 0 of their side, sets the ray's command.
void Push(Mat4& world, Vec3 boxSize, const WallRay& ray, float& speed, ControlFlags& flags, bool recordZero)
{
    Vec3 push;
    if (!WallPush(world, boxSize, ray, &push)) return;
    world.m[3][0] += push.x;
    if (ray.moveY) world.m[3][1] += push.y;
    world.m[3][2] += push.z;
    speed /= ray.damp;
    if (!recordZero) SetFlag(flags, ray.flag);
}
}  // namespace

void PushTankFromWall(int slot, const WallRay& ray)
{
    TankUnit& t = Tanks[slot];
    Push(t.world, t.boxSize, ray, ray.speed == 0 ? t.forwardSpeed : t.reverseSpeed, TankControls[slot], slot == 0);
}

void PushRobotFromWall(int slot, const WallRay& ray)
{
    RobotUnit& r = Robots[slot];
    Push(r.World(), r.boxSize, ray, r.speed, RobotControls[slot], slot == 0);
}
