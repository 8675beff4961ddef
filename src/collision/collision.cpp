#include "collision/collision.h"

#include <cmath>

#include "records/state.h"
#include "world/ground.h"


namespace {
// How close two units may stand, centre to centre, in the ground plane.
constexpr float kTankContact = 5.0f;
constexpr float kRobotContact = 3.0f;
constexpr float kTankRobotContact = 3.5f;
// How far a robot's feet reach from its centre in the ground plane: a robot
// also keeps this far from a tank's hull, so a long hull's ends do not take
// a leg through the deck where the circles allow it.
constexpr float kRobotFootReach = 1.2f;


// The hit tests run for every live shot against every unit each frame, so
// the small vector steps are kept inline here.
inline float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

// One push of a pair: the first unit moves half the overlap away from the
// second, then the second moves half of what overlap is left.  A pair at
// the same x and z has no direction to part along and stays.
void PushApart(Mat4& first, Mat4& second, float contact)
{
    Vec3 a{first.m[3][0], 0, first.m[3][2]};
    Vec3 b{second.m[3][0], 0, second.m[3][2]};
    float d = PointDistance(a, b);
    if (!(d < contact)) return;
    Vec3 dir = Vec3Normalize(a - b);
    a += dir * ((contact - d) / 2);
    float left = PointDistance(a, b);
    b -= dir * ((contact - left) / 2);
    first.m[3][0] = a.x;
    first.m[3][2] = a.z;
    second.m[3][0] = b.x;
    second.m[3][2] = b.z;
}

// A box's radius: the distance from its centre to a corner.
inline float Radius(const OrientedBox& box) { return std::sqrt(Dot(box.halfSize, box.halfSize)); }

// True when the spheres round the two boxes are apart, so the boxes are too.
inline bool SpheresApart(Vec3 d, float radiusA, float radiusB)
{
    float reach = radiusA + radiusB;
    return Dot(d, d) > reach * reach;
}

// The separating-axis test on boxes whose axes are set: each box's own three
// axes, then the nine cross products, stopping at the first that separates.
bool FifteenAxes(const OrientedBox& a, const OrientedBox& b, Vec3 d)
{
    const Vec3 axesA[3] = {a.axisX, a.axisY, a.axisZ};
    const Vec3 axesB[3] = {b.axisX, b.axisY, b.axisZ};
    for (Vec3 l : axesA)
        if (!BoxAxisOverlap(a, b, l, d)) return false;
    for (Vec3 l : axesB)
        if (!BoxAxisOverlap(a, b, l, d)) return false;
    for (Vec3 i : axesA)
        for (Vec3 j : axesB)
            if (!BoxAxisOverlap(a, b, Cross(i, j), d)) return false;
    return true;
}

bool Loaded(const ModelPart* part) { return part && part->mesh; }

// A shot tried on a unit's boxes: its axes are set once, and only when a
// box comes close enough to need them.
struct PlacedShot {
    OrientedBox box;
    const Mat4& world;
    Vec3 centre;
    float radius;
    bool axesSet;
};

PlacedShot PlaceShot(const OrientedBox& shot, const Mat4& shotWorld)
{
    return {shot, shotWorld, Position(shotWorld), Radius(shot), false};
}

// One of a unit's hit models, placed by `world`, against the shot.
bool PartHit(const ModelPart* part, const Mat4& world, PlacedShot& shot)
{
    if (!Loaded(part)) return false;
    Vec3 d = shot.centre - Position(world);
    if (SpheresApart(d, Radius(part->box), shot.radius)) return false;
    if (!shot.axesSet) SetBoxAxes(&shot.box, shot.world), shot.axesSet = true;
    OrientedBox box = part->box;
    SetBoxAxes(&box, world);
    return FifteenAxes(box, shot.box, d);
}
}  // namespace

// --- separation ----------------------------------------------------------------------------
// Wrecks are pushed too: a burning hull is still in the way.  Slots past the
// counts in use hold units of earlier battles and are left alone.
void SeparateTanks()
{
    for (int i = 0; i < EarthCount; ++i)
        for (int j = i + 1; j < EarthCount; ++j) PushApart(Tanks[i].world, Tanks[j].world, kTankContact);
}

void SeparateRobots()
{
    for (int i = 0; i < MercuryCount; ++i)
        for (int j = i + 1; j < MercuryCount; ++j) PushApart(Robots[i].World(), Robots[j].World(), kRobotContact);
}

// A robot within its feet's reach of a tank's hull (the kind's box across
// and along, turned with the tank) and the tank each move half the overlap
// apart, along the line from the hull's nearest point to the robot.  A robot
// whose centre stands inside the hull leaves by the nearer side; one on the
// hull's centre line has no side to take and stays.
void PushOffHull(Mat4& tank, const Vec3& box, Mat4& robot)
{
    Vec3 across = Vec3Normalize({tank.m[0][0], 0, tank.m[0][2]});
    Vec3 along = Vec3Normalize({tank.m[2][0], 0, tank.m[2][2]});
    const Vec3 d{robot.m[3][0] - tank.m[3][0], 0, robot.m[3][2] - tank.m[3][2]};
    const float x = Dot(d, across), z = Dot(d, along);
    const float gx = x - std::fmax(-box.x, std::fmin(box.x, x));
    const float gz = z - std::fmax(-box.z, std::fmin(box.z, z));
    float gap = std::sqrt(gx * gx + gz * gz);
    Vec3 dir;
    if (gap > 0) {
        if (!(gap < kRobotFootReach)) return;
        dir = across * (gx / gap) + along * (gz / gap);
    } else {
        const float outX = box.x - std::fabs(x), outZ = box.z - std::fabs(z);
        if (outX <= outZ) {
            if (x == 0) return;
            dir = across * (x > 0 ? 1.0f : -1.0f);
            gap = -outX;
        } else {
            if (z == 0) return;
            dir = along * (z > 0 ? 1.0f : -1.0f);
            gap = -outZ;
        }
    }
    const Vec3 push = dir * ((kRobotFootReach - gap) / 2);
    tank.m[3][0] -= push.x;
    tank.m[3][2] -= push.z;
    robot.m[3][0] += push.x;
    robot.m[3][2] += push.z;
}

void SeparateTanksFromRobots()
{
    for (int i = 0; i < EarthCount; ++i)
        for (int j = 0; j < MercuryCount; ++j) {
            PushApart(Tanks[i].world, Robots[j].World(), kTankRobotContact);
            if (Tanks[i].row) PushOffHull(Tanks[i].world, Tanks[i].row->boxSize, Robots[j].World());
        }
}

// --- box tests -----------------------------------------------------------------------------
bool BoxAxisOverlap(const OrientedBox& a, const OrientedBox& b, Vec3 L, Vec3 D)
{
    float reachA = std::fabs(Dot(a.axisX, L)) * a.halfSize.x + std::fabs(Dot(a.axisY, L)) * a.halfSize.y +
                   std::fabs(Dot(a.axisZ, L)) * a.halfSize.z;
    float reachB = std::fabs(Dot(b.axisX, L)) * b.halfSize.x + std::fabs(Dot(b.axisY, L)) * b.halfSize.y +
                   std::fabs(Dot(b.axisZ, L)) * b.halfSize.z;
    return !(std::fabs(Dot(D, L)) > reachA + reachB);
}

void SetBoxAxes(OrientedBox* box, const Mat4& world)
{
    box->axisX = Vec3Normalize({world.m[0][0], world.m[0][1], world.m[0][2]});
    box->axisY = Vec3Normalize({world.m[1][0], world.m[1][1], world.m[1][2]});
    box->axisZ = Vec3Normalize({world.m[2][0], world.m[2][1], world.m[2][2]});
}

bool BoxesOverlapAllAxes(OrientedBox a, OrientedBox b, const Mat4& worldA, const Mat4& worldB)
{
    SetBoxAxes(&a, worldA);
    SetBoxAxes(&b, worldB);
    return FifteenAxes(a, b, Position(worldB) - Position(worldA));
}

bool BoxesOverlap(OrientedBox a, OrientedBox b, const Mat4& worldA, const Mat4& worldB)
{
    Vec3 d = Position(worldB) - Position(worldA);
    if (SpheresApart(d, Radius(a), Radius(b))) return false;
    SetBoxAxes(&a, worldA);
    SetBoxAxes(&b, worldB);
    return FifteenAxes(a, b, d);
}

SweptShot SweepShot(const OrientedBox& shot, const Mat4& shotWorld, Vec3 travel)
{
    const float distance = Vec3Length(travel);
    if (!(distance > 2.0f * shot.halfSize.z)) return {shot, shotWorld, false};
    // A frame whose z axis runs along the path, x kept as near the shot's
    // own as the path allows; centred half way back.
    Vec3 z = travel * (1.0f / distance);
    Vec3 x = Vec3TransformNormal({1, 0, 0}, shotWorld);
    x = x - z * Vec3Dot(x, z);
    if (Vec3Length(x) < 1e-4f) x = std::fabs(z.y) < 0.9f ? Vec3Cross({0, 1, 0}, z) : Vec3Cross(z, {1, 0, 0});
    x = Vec3Normalize(x);
    Vec3 y = Vec3Cross(z, x);
    Vec3 centre = Position(shotWorld) - travel * 0.5f;
    Mat4 w = MatIdentity();
    const Vec3 rows[4] = {x, y, z, centre};
    for (int r = 0; r < 4; ++r) w.m[r][0] = rows[r].x, w.m[r][1] = rows[r].y, w.m[r][2] = rows[r].z;
    OrientedBox box = shot;
    box.halfSize.z += 0.5f * distance;
    return {box, w, true};
}

bool ShotHitsTank(const ModelPart& shot, const Mat4& shotWorld, const TankUnit& tank)
{
    return ShotHitsTankBox(shot.box, shotWorld, tank);
}

bool ShotHitsTankBox(const OrientedBox& shot, const Mat4& shotWorld, const TankUnit& tank)
{
    if (!tank.row || !tank.row->hitModels) return false;
    const TankHitModels& models = *tank.row->hitModels;
    if (!Loaded(models.body) && !Loaded(models.top)) return false;
    PlacedShot s = PlaceShot(shot, shotWorld);
    return PartHit(models.body, tank.world, s) || PartHit(models.top, tank.turretWorld, s);
}

bool ShotHitsRobot(const ModelPart& shot, const Mat4& shotWorld, const RobotUnit& robot)
{
    return ShotHitsRobotBox(shot.box, shotWorld, robot);
}

bool ShotHitsRobotBox(const OrientedBox& shot, const Mat4& shotWorld, const RobotUnit& robot)
{
    if (!robot.row || !robot.row->hitModels) return false;
    const RobotHitModels& models = *robot.row->hitModels;
    if (!Loaded(models.upperBody) && !Loaded(models.foot)) return false;
    PlacedShot s = PlaceShot(shot, shotWorld);
    return PartHit(models.upperBody, robot.partWorld[1], s) || PartHit(models.foot, robot.partWorld[7], s) ||
           PartHit(models.foot, robot.partWorld[8], s);
}
