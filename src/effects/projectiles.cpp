#include "effects/projectiles.h"

#include <algorithm>
#include <cmath>

#include "services/report.h"
#include "records/state.h"
#include "effects/particles.h"
#include "collision/collision.h"
#include "world/ground.h"
#include "platform/crt_rand.h"
#include "world/map.h"


namespace {
constexpr float kDegrees = 0.017453292f;  // radians a degree


void Effects(void (*spawn)(Vec3), Vec3 p, float radius)
{
    if (spawn && IsSphereInView(BattleFrustum, p, radius)) spawn(p);
}

// A unit of the other side loses hit points; the shot that brings it to 0
// or below is a kill.  A wreck, or a unit already at 0, takes nothing.
template <class Victim>
void Damage(Victim& victim, const ShotRules& rules, int32_t& shooterKills, WeaponCounts* weapon)
{
    if (!victim.alive || !(victim.hp > 0)) return;
    int32_t loss = rules.damageBase;
    if (rules.damageRange > 0) loss += Rand() % rules.damageRange;
    victim.hp -= static_cast<float>(loss);
    if (weapon) weapon->damage += static_cast<float>(loss);
    if (victim.hp > 0) return;
    shooterKills += 1;
    if (weapon) ++weapon->kills;
    victim.deaths += 1;
    victim.shakeCode = HitReaction::Killed;
    victim.shakeTimer = rules.killShakeTimer;
    ++Shots.kills;
    if (rules.killEffects) rules.killEffects(Position(victim));
}

int32_t& ShooterKills(Shooter s) { return s.isTank ? Tanks[s.slot].kills : Robots[s.slot].kills; }

void Hit(Projectile& shot, const ShotRules& rules, HitTest test, uint32_t* hits)
{
    *hits |= 1u << static_cast<int>(test);
    if (rules.freeOnHit) shot.state = kShotFree;
    else if (rules.onHit) rules.onHit(shot, test);
}

void WriteWeaponsReport(JsonWriter& w)
{
    w.BeginObject("shots");
    w.Integer("fired", static_cast<long long>(Shots.fired));
    w.Integer("unit_hits", static_cast<long long>(Shots.unitHits));
    w.Integer("kills", static_cast<long long>(Shots.kills));
    w.Integer("self_hits", static_cast<long long>(Shots.selfHits));
    w.EndObject();
    PoolCount pools[kParticlePoolCount];
    CountParticlePools(pools);
    w.BeginObject("effects");
    for (const PoolCount& p : pools) {
        w.BeginObject(p.name);
        w.Integer("live", p.live);
        w.Integer("peak", p.peak);
        w.EndObject();
    }
    w.EndObject();
}

// The slot of the unit a swept shot meets first along its path: the one
// whose origin lies least far along it (-1: none on the path).
struct FirstOnPath {
    int tank = -1;
    int robot = -1;
};

template <class Unit, class Test>
int FirstAlongPath(const Unit* units, int count, const SweptShot& path, Vec3 from, Vec3 travel, Test hits)
{
    int best = -1;
    float bestAlong = 0;
    for (int i = 0; i < count; ++i) {
        if (!hits(path.box, path.world, units[i])) continue;
        float along = Vec3Dot(Position(units[i]) - from, travel);
        if (best < 0 || along < bestAlong) best = i, bestAlong = along;
    }
    return best;
}

// The unit that owns a shot's slot, found by the slot's address: its count
// of shots fired and the counts of the weapon whose table holds the slot
// (null for a slot of no unit).
struct Owner {
    uint32_t* fired = nullptr;
    WeaponCounts* weapon = nullptr;
};
template <size_t N>
bool Within(const Projectile* slot, const Projectile (&table)[N])
{
    return slot >= table && slot < table + N;
}
Owner OwnerOf(const Projectile* slot)
{
    for (TankUnit& t : Tanks) {
        if (Within(slot, t.shells)) return {&t.shotsFired, &t.weapons[0]};
        if (Within(slot, t.bullets)) return {&t.shotsFired, &t.weapons[1]};
    }
    for (RobotUnit& r : Robots) {
        if (Within(slot, r.shells)) return {&r.shotsFired, &r.weapons[0]};
        if (Within(slot, r.missiles)) return {&r.shotsFired, &r.weapons[1]};
    }
    return {};
}

// Whether unit `slot`, whose box test gave `boxHit`, is hit: every unit the
// box meets, unless a first along a swept path was found (`first`).
bool OnPath(int slot, int first, bool boxHit) { return boxHit && (first < 0 || slot == first); }
}  // namespace

bool FireShot(Projectile* table, int count, const Mat4& world, const Mat4& step)
{
    for (int i = 0; i < count; ++i) {
        if (table[i].state != kShotFree) continue;
        table[i].state = kShotActive;
        table[i].world = world;
        table[i].step = step;
        ++Shots.fired;
        Owner owner = OwnerOf(&table[i]);
        if (owner.fired) ++*owner.fired;
        if (owner.weapon) ++owner.weapon->fired;
        return true;
    }
    return false;
}

uint32_t RunHitTests(Projectile& shot, const ShotRules& rules, Shooter shooter)
{
    uint32_t hits = 0;
    WeaponCounts* weapon = OwnerOf(&shot).weapon;
    Vec3 p = Position(shot.world);
    // The path the shot came this frame: its step's translation through its
    // axes (what it turned on the way is small).  Units are tried against
    // the whole path, so a fast shot cannot pass through a target between
    // two frames; of the units on a swept path, a shot that ends on a hit
    // meets only the first along it.
    const Vec3 travel =
        Vec3TransformNormal({shot.step.m[3][0], shot.step.m[3][1], shot.step.m[3][2]}, shot.world);
    const SweptShot path = rules.box ? SweepShot(*rules.box, shot.world, travel) : SweptShot{};
    // A shot never meets the unit that fired it: it leaves from the unit's
    // own guns, and a volley from pods over striding feet would otherwise
    // strike them.
    const int ownTank = shooter.isTank ? shooter.slot : -1, ownRobot = shooter.isTank ? -1 : shooter.slot;
    auto tankHit = [&](const OrientedBox& box, const Mat4& world, const TankUnit& t) {
        return &t - Tanks != ownTank && ShotHitsTankBox(box, world, t);
    };
    auto robotHit = [&](const OrientedBox& box, const Mat4& world, const RobotUnit& r) {
        return &r - Robots != ownRobot && ShotHitsRobotBox(box, world, r);
    };
    FirstOnPath first;
    if (path.swept && rules.freeOnHit) {
        first.tank = FirstAlongPath(Tanks, EarthCount, path, p - travel, travel, tankHit);
        first.robot = FirstAlongPath(Robots, MercuryCount, path, p - travel, travel, robotHit);
    }
    for (int k = 0; k < rules.testCount; ++k) {
        HitTest test = rules.order[k];
        switch (test) {
        case HitTest::Ground: {
            float height = 0.0f;  // outside the field there is no ground
            if (GroundHeight(p.x, p.y, p.z, &height)) {
                Effects(rules.groundEffects, p, rules.effectRadius);
                Hit(shot, rules, test, &hits);
            }
            break;
        }
        case HitTest::Edge:
            if (p.x > kFieldSize || p.x < 0.0f || p.y > rules.edgeHeight || p.z > kFieldSize || p.z < 0.0f) {
                Effects(rules.edgeEffects, p, rules.effectRadius);
                Hit(shot, rules, test, &hits);
            }
            break;
        case HitTest::Tanks:
            if (!rules.box) break;
            for (int i = 0; i < EarthCount; ++i) {
                if (!OnPath(i, first.tank, tankHit(path.box, path.world, Tanks[i]))) continue;
                TankUnit& tank = Tanks[i];
                Effects(rules.tankEffects, p, rules.effectRadius);
                Hit(shot, rules, test, &hits);
                ++Shots.unitHits;
                if (shooter.isTank && shooter.slot == i) ++Shots.selfHits;
                tank.shakeCode = rules.tankReaction;
                if (!shooter.isTank) {
                    ++Robots[shooter.slot].shotsHit;
                    if (weapon) ++weapon->hits;
                    Damage(tank, rules, ShooterKills(shooter), weapon);
                }
            }
            break;
        case HitTest::Robots:
            if (!rules.box) break;
            for (int j = 0; j < MercuryCount; ++j) {
                if (!OnPath(j, first.robot, robotHit(path.box, path.world, Robots[j]))) continue;
                RobotUnit& robot = Robots[j];
                Effects(rules.robotEffects, p, rules.effectRadius);
                Hit(shot, rules, test, &hits);
                ++Shots.unitHits;
                if (!shooter.isTank && shooter.slot == j) ++Shots.selfHits;
                robot.shakeCode = rules.robotReaction;
                if (shooter.isTank) {
                    ++Tanks[shooter.slot].shotsHit;
                    if (weapon) ++weapon->hits;
                    Damage(robot, rules, ShooterKills(shooter), weapon);
                }
            }
            break;
        case HitTest::Walls: {
            float distance = 9999.0f;
            uint32_t face = 9999;
            Vec3 ahead = Vec3TransformNormal({0, 0, 1}, shot.world);
            if (RayHitsMesh(p, ahead, StageCollision, StageWorld, &distance, &face) &&
                distance < rules.wallDistance) {
                Effects(rules.wallEffects, p, rules.effectRadius);
                Hit(shot, rules, test, &hits);
            }
            break;
        }
        }
    }
    return hits;
}

void SteerMissile(Projectile& missile, Vec3 target)
{
    if (missile.state == kShotActive) {
        Mat4 inverse;
        Vec3 towards{0, 0, 1};
        if (MatInverse(&inverse, missile.world)) towards = Vec3TransformCoord(target, inverse);
        Vec3 d = Vec3Normalize(towards);
        const Vec3 forward{0, 0, 1};
        Vec3 axis = Vec3Cross(forward, d);
        float c = std::clamp(Vec3Dot(forward, d), -1.0f, 1.0f);
        float turn = std::acos(c) * 57.295776f;
        float limit = 1.0f + 2.0f * (RandFraction());
        turn = std::min(turn, limit);
        int32_t roll = Rand() % 22 - 3;
        // A target straight behind, or at the missile itself, gives no axis
        // to turn about: the missile only rolls this frame.
        Mat4 turning = MatIdentity();
        if (Vec3Length(axis) > 1e-6f) turning = MatRotationAxis(Vec3Normalize(axis), turn * kDegrees);
        missile.world = MatRotationZ(static_cast<float>(roll) * kDegrees) * turning * missile.step * missile.world;
        if (PointDistance(Position(missile.world), target) < 20.0f) missile.state = kShotCoasting;
    }
    if (missile.state == kShotCoasting) {
        int32_t roll = Rand() % 22 - 3;
        missile.world = MatRotationZ(static_cast<float>(roll) * kDegrees) * missile.step * missile.world;
        if (PointDistance(Position(missile.world), target) > 20.0f) missile.state = kShotActive;
    }
}

void FreeAllShots()
{
    for (TankUnit& t : Tanks) {
        for (Projectile& p : t.shells) p.state = kShotFree;
        for (Projectile& p : t.bullets) p.state = kShotFree;
    }
    for (RobotUnit& r : Robots) {
        for (Projectile& p : r.shells) p.state = kShotFree;
        for (Projectile& p : r.missiles) p.state = kShotFree;
    }
}

void RegisterWeaponsReport() { AddReportSection(WriteWeaponsReport); }
