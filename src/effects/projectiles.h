// Projectiles: every unit owns fixed tables of them (a tank 10 shells and
// 100 bullets, a robot 60 shells and 120 bullets or missiles).  A weapon puts
// a shot into the first free slot; once a frame the owner's shot update moves
// each active shot and runs its hit tests in the order its kind sets
// (ground, field edge, tanks, robots, walls for most), spawning the impact
// effects, marking the victim's hit reaction, and for a unit of the other
// side taking hit points and counting kills and deaths.
//
// The kinds differ in numbers, effects, the order of the tests and whether a
// hit frees the slot (a flame bounces on), so each weapon describes itself in
// a ShotRules record and calls the shared routines here.
#pragma once

#include <cstdint>

#include "assets/model.h"
#include "math/vecmath.h"
#include "records/state.h"


enum class HitTest : uint8_t { Ground, Edge, Tanks, Robots, Walls };

// What one weapon's shots do when they meet something.  Effect routines get
// the shot's position; the shared routines call them only when that point is
// in view (effectRadius), except the kill effects, which always play at the
// victim.  A null routine spawns nothing.
struct ShotRules {
    HitTest order[5];
    int testCount;
    float edgeHeight;          // freed above this height (and outside 0..1000 in x and z)
    float effectRadius;        // the visibility test before impact effects
    float wallDistance;        // a wall this close ahead along the shot's z axis is a hit
    bool freeOnHit;            // false: the slot stays active (a flame bounces)
    const OrientedBox* box;    // the shot's hit box
    HitReaction tankReaction;      // shakeCode given to a tank that is hit
    HitReaction robotReaction;     // ... to a robot
    int32_t damageBase;        // an enemy loses damageBase plus a random 0..damageRange-1
    int32_t damageRange;
    int32_t killShakeTimer;    // shakeTimer of a unit this shot kills
    void (*groundEffects)(Vec3 p);
    void (*edgeEffects)(Vec3 p);
    void (*tankEffects)(Vec3 p);
    void (*robotEffects)(Vec3 p);
    void (*wallEffects)(Vec3 p);
    void (*killEffects)(Vec3 victim);
    // Called on every hit when freeOnHit is false (the bounce of a flame).
    void (*onHit)(Projectile& shot, HitTest test);
};

// The unit whose shot it is: its side decides who takes damage (a tank's
// shots hurt only robots, a robot's only tanks) and whose kills rise.
struct Shooter {
    bool isTank;
    int slot;
};

// Puts a shot into the first free slot of table[0..count); false when every
// slot is busy (nothing is fired).
bool FireShot(Projectile* table, int count, const Mat4& world, const Mat4& step);
// One shot's hit tests after it has moved, in the rules' order.  Every test
// runs even after an earlier one hit.  Returns the hits as a bit mask
// (1 << HitTest).
uint32_t RunHitTests(Projectile& shot, const ShotRules& rules, Shooter shooter);
// Turns a homing missile toward `target` by at most 1 to 3 degrees with a
// random roll, and moves it; a target straight ahead only rolls, and one
// exactly behind or at the missile's own position gives no turn axis, so
// the missile only rolls and moves.  Switches between homing and coasting
// by the distance 20.
void SteerMissile(Projectile& missile, Vec3 target);

// Frees every projectile slot of all 16 units of both sides.
void FreeAllShots();

// Adds the `shots` and `effects` sections to the run report.
void RegisterWeaponsReport();
