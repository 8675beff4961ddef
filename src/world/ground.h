// Keeping units on the terrain and out of the stage's walls: the height
// under a point, rays against a placed mesh, the ground pass of each side
// and the wall-ray push.
#pragma once

#include <cstdint>

#include "assets/model.h"
#include "math/vecmath.h"

struct TankUnit;
struct RobotUnit;
struct ControlFlags;

// The terrain height under (x, z) into *outHeight; true when there is ground
// there at or above minHeight.  Points outside [0, 1000) have no ground.
bool GroundHeight(float x, float minHeight, float z, float* outHeight);
// The terrain under (x, z): its height and the upward unit normal of the
// triangle there (normal may be null); false outside the field.
bool GroundAt(float x, float z, float* height, Vec3* normal);
// A world ray against a model placed by modelWorld: the nearest face and the
// distance in units of rayDir's length.
bool RayHitsMesh(Vec3 rayStart, Vec3 rayDir, const SimpleModel& model, Mat4 modelWorld, float* distance,
                 uint32_t* face);
float PointDistance(Vec3 a, Vec3 b);

void FollowGroundTanks();
void FollowGroundRobots();

// One wall ray of the tables below, for one unit.
struct WallRay {
    float sx, sz;        // start, in halves of the box size (-1, 0 or 1)
    Vec3 dir;            // local direction
    float limit;         // trigger distance
    float div;           // push divisor
    bool moveY;          // the push also moves y
    int speed;           // 0 forwardSpeed / speed, 1 reverseSpeed
    float damp;          // the speed is divided by this
    int flag;            // 0 none, 1 backward, 2 forward
};
extern const WallRay kTankWallRays[6];
extern const WallRay kRobotWallRays[4];

// Runs one ray for tank or robot `slot` (isPlayerSlot: record 0 of its side,
// which is pushed but never given a command).
void PushTankFromWall(int slot, const WallRay& ray);
void PushRobotFromWall(int slot, const WallRay& ray);
