#include "motion/ground.h"

#include <cmath>
#include <cstring>

#include "battle/state.h"
#include "platform/mesh_data.h"
#include "world/map.h"

bool GroundHeight(float x, float minHeight, float z, float* outHeight)
{
    if (!(x >= 0 && x < 1000 && z >= 0 && z < 1000)) return false;
    int i = static_cast<int>(x / 50.0f), j = static_cast<int>(z / 50.0f);
    if (i > 19) i = 19;
    if (j > 19) j = 19;
    Vec3 a{50.0f * i, HeightGrid[i][j], 50.0f * j};
    Vec3 b{50.0f * i, HeightGrid[i][j + 1], 50.0f * (j + 1)};
    Vec3 c{50.0f * (i + 1), HeightGrid[i + 1][j + 1], 50.0f * (j + 1)};
    Vec3 d{50.0f * (i + 1), HeightGrid[i + 1][j], 50.0f * j};
    float u, v, dis;
    Vec3 from{x, 0, z}, up{0, 1, 0};
    if (!IntersectTriangle(a, b, c, from, up, &u, &v, &dis) && !IntersectTriangle(a, c, d, from, up, &u, &v, &dis))
        return false;
    *outHeight = dis;
    return dis >= minHeight;
}

bool RayHitsMesh(Vec3 rayStart, Vec3 rayDir, const SimpleModel& model, Mat4 modelWorld, float* distance,
                 uint32_t* face)
{
    Mat4 inv;
    if (!model.mesh || !MatInverse(&inv, modelWorld)) return false;
    return IntersectDeviceMesh(model.mesh, Vec3TransformCoord(rayStart, inv), Vec3TransformNormal(rayDir, inv), face,
                               distance);
}

float PointDistance(Vec3 a, Vec3 b) { return Vec3Length(a - b); }

namespace {
Vec3 Position(const Mat4& m) { return {m.m[3][0], m.m[3][1], m.m[3][2]}; }

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
        if (GroundHeight(r.world.m[3][0], 0, r.world.m[3][2], &h))
            r.world.m[3][1] = h + RobotHandling[j].groundClearance + r.bob;
        else
            r.world.m[3][1] -= 0.5f;
        ClampInto(r.world, 2, 998, &r.atBorder);
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
    Push(r.world, r.boxSize, ray, r.speed, RobotControls[slot], slot == 0);
}
