// The particle records: one plain record per particle of each kind, in
// fixed pools (nothing is allocated after start).  The pools themselves are
// shared state (records/state.h); the spawners, motion and draws live in
// effects/particles.
#pragma once

#include <cstdint>

#include "math/vecmath.h"
#include "records/codes.h"

// --- pool capacities ------------------------------------------------------------------
constexpr int kPuffCapacity = 1920;
constexpr int kBurstCapacity = 1600;
constexpr int kBlastCapacity = 50;
constexpr int kDebrisCapacity = 300;
constexpr int kTrailCapacity = 15000;  // smoke trail and dust trail each
constexpr int kDustCloudCapacity = 960;
constexpr int kSprayCapacity = 960;
constexpr int kGroundDustCapacity = 1280;
constexpr int kIceCapacity = 60;
constexpr int kGroundMarkCapacity = 100;

// Burst and blast looks (the sprite sheet).
enum : int32_t { kLookSmoke = 0, kLookFire1 = 1, kLookFire2 = 2 };
// Debris trails.
enum : int32_t { kTrailSmoke = 0, kTrailDust = 1 };
// How a ground mark is cut by the terrain grid's lines (every 50 units):
// whole, by a line of constant x, by a line of constant z, or by both.
enum : int32_t { kMarkWhole = 1, kMarkCutAtX = 2, kMarkCutAtZ = 3, kMarkCutBoth = 4 };

// --- records --------------------------------------------------------------------------
struct Puff {
    Vec3 position;
    Vec3 velocity;
    int32_t active;
    int32_t alpha;
    float size;
    PuffKind kind;
};

struct Burst {  // bursts and blasts
    Vec3 position;
    Vec3 velocity;
    int32_t frame;
    int32_t active;
    int32_t alpha;
    float size;
    int32_t look;
};

struct Debris {
    int32_t active;
    float speed;
    float time;
    int32_t tilt;     // degrees
    int32_t heading;  // degrees
    float size;
    Vec3 position;
    Vec3 velocity;
    int32_t life;
    int32_t trail;    // kTrailSmoke or kTrailDust
};

struct TrailParticle {
    int32_t active;
    Vec3 position;
    float size;
    int32_t alpha;
};

struct IceShard {
    int32_t active;
    float speed;
    float time;
    int32_t tilt;
    int32_t heading;
    float size;
    Vec3 position;
    Vec3 velocity;
};

struct Fleck {  // dust clouds and sprays
    Vec3 position;
    float size;
    int32_t active;
    float speed;
    float time;
    int32_t tilt;
    int32_t heading;
    uint32_t colour;  // ARGB
};

struct GroundDust {
    Vec3 position;
    Vec3 velocity;
    int32_t active;
    int32_t alpha;
    float size;
};

struct GroundMark {
    float halfSize;
    int32_t age;
    int32_t active;
    Vec3 corners[4];
    int32_t pieces;  // 1 whole; 2 or 3 cut by grid lines of one direction; 4 by both
};

