// The TIGER tank (kind 1): its model set, the pose of its turret, long gun,
// four flame projectors, wheels and tracks, its two weapons (a main gun
// firing shells, the flame projectors throwing burning flames that grow,
// fade and bounce once off what they meet), their flight and hits, and its
// draws for the scene, the shadow map, the shells and the flames.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "services/device.h"
#include "assets/model.h"
#include "assets/sound.h"
#include "records/state.h"
#include "effects/particles.h"
#include "effects/projectiles.h"
#include "collision/collision.h"
#include "world/ground.h"
#include "sides/tank_side.h"
#include "platform/crt_rand.h"
#include "platform/gfx.h"
#include "units/tanks/tank_kinds.h"
#include "units/unit_draw.h"

namespace {
struct TigerModelSet {
    ModelPart body;      // hull; hit box
    ModelPart top1;      // turret; hit box
    ModelPart top2;      // gun
    ModelPart weapon1;   // flame-projector mount, four of them
    ModelPart weapon2;   // flame nozzle, one on each mount
    SimpleModel tailer;  // track, drawn on both sides with its texture scrolled
    ModelPart stailer1;  // front wheel
    ModelPart stailer2;  // rear wheel
    ModelPart stailer3;  // road wheels, first row
    ModelPart stailer4;  // road wheels, second row
    ModelPart tama;      // flying shell; its box is the shell's hit box
    gfx::Texture* fire = nullptr;  // flame sprite
    OrientedBox bulletBox{};       // a flame's hit box
};
TigerModelSet Models;

constexpr float kShellDip = 0.0013962634f;  // radians a frame the shell's nose drops (0.08 degrees)
constexpr int kMainGunCycle = 90;           // the main gun is ready once recoilTimer passes this
constexpr float kRecoil = -1.2f;            // the gun slides back in its mount when it fires
constexpr float kRecoilReturn = 0.018f;
constexpr float kMountRise = 0.03f;         // flame mounts: height a frame, -1 stowed to 0 raised
constexpr int32_t kMountTilt = 2;           // then elevation a frame, -90 stowed to 0 ready
constexpr int32_t kMountStowed = -90;
constexpr float kNozzleRest = -0.05235988f;  // radians: a blocked nozzle dips 3 degrees
constexpr float kNearDraw = 100.0f;          // closer than this the shadowed path draws the tank
constexpr float kShadowReach = 15.0f;        // closer than this the tank casts a shadow
constexpr float kFlameSpeed = 0.72f;         // forward a frame
constexpr float kFlameReach = 5.0f;          // flame effects show when this sphere is in view
constexpr float kFlameHeldSlowing = 3.8f;    // a flame against a unit goes on at 1 / 3.8 of its speed

// Flame mounts on the hull's corners, (x, z), front right first, clockwise
// seen from above.
constexpr float kMounts[4][2] = {{1.1f, 1.95f}, {1.1f, -1.95f}, {-1.1f, -1.95f}, {-1.1f, 1.95f}};

// Wheels on the right side (x, y, z); each is drawn mirrored on the left.
struct WheelAt {
    ModelPart* part;
    float x, y, z;
};
constexpr int kWheelCount = 10;
const WheelAt kWheels[kWheelCount] = {
    {&Models.stailer1, 1.32f, -0.6f, 2.52f},   {&Models.stailer2, 1.44f, -0.72f, -2.12f},
    {&Models.stailer3, 1.34f, -0.8f, -1.62f},  {&Models.stailer3, 1.34f, -0.8f, -0.62f},
    {&Models.stailer3, 1.34f, -0.8f, 0.38f},   {&Models.stailer3, 1.34f, -0.8f, 1.38f},
    {&Models.stailer4, 1.34f, -0.8f, -1.12f},  {&Models.stailer4, 1.34f, -0.8f, -0.12f},
    {&Models.stailer4, 1.34f, -0.8f, 0.88f},   {&Models.stailer4, 1.34f, -0.8f, 1.88f}};

bool Visible(Vec3 p, float radius) { return IsSphereInView(BattleFrustum, p, radius); }

// --- shells -----------------------------------------------------------------------------
// Random draws go into locals in the order the effects take them.
void ShellGroundEffects(Vec3 p)
{
    float blast = 4.0f + 0.9f * EyeRandFraction();
    SpawnBlast(p.x, p.y + 1, p.z, blast, 250, kLookFire2, 1, 1);
    float burst = 5.0f + 1.8f * EyeRandFraction();
    SpawnBurst(p.x, p.y + 1, p.z, burst, 200, kLookFire2, 2, 1);
    int32_t life = EyeRand() % 16 + 40;
    float speed = 1.6f + 0.2f * EyeRandFraction();
    int32_t count = EyeRand() % 3 + 2;
    SpawnDebris(p.x, p.y, p.z, 0.112f, life, kTrailSmoke, 35, speed, count);
    life = EyeRand() % 16 + 40;
    speed = 1.5f + 0.4f * EyeRandFraction();
    count = EyeRand() % 3 + 2;
    SpawnDebris(p.x, p.y, p.z, 0.115f, life, kTrailDust, 45, speed, count);
}

// A shell striking a unit: the robot hit is the tank hit a little smaller.
void ShellUnitEffects(Vec3 p, float blastBase, float burstBase, float burstSpread, float smokeDebris)
{
    float blast = blastBase + 0.4f * EyeRandFraction();
    SpawnBlast(p.x, p.y, p.z, blast, 255, kLookSmoke, 1, 3);
    float burst = burstBase + burstSpread * EyeRandFraction();
    SpawnBurst(p.x, p.y + 0.6f, p.z, burst, 120, kLookFire1, 2, 2);
    int32_t life = EyeRand() % 8 + 33;
    float speed = 1.5f + 0.3f * EyeRandFraction();
    int32_t count = EyeRand() % 3 + 2;
    SpawnDebris(p.x, p.y, p.z, smokeDebris, life, kTrailSmoke, 160, speed, count);
    life = EyeRand() % 8 + 33;
    speed = 1.5f + 0.3f * EyeRandFraction();
    count = EyeRand() % 4 + 3;
    SpawnDebris(p.x, p.y, p.z, 0.126f, life, kTrailDust, 160, speed, count);
}
void ShellTankEffects(Vec3 p) { ShellUnitEffects(p, 1.9f, 1.6f, 0.4f, 0.111f); }
void ShellRobotEffects(Vec3 p) { ShellUnitEffects(p, 1.8f, 1.5f, 0.3f, 0.116f); }

void ShellEdgeEffects(Vec3 p)
{
    float blast = 3.0f + 1.0f * EyeRandFraction();
    SpawnBlast(p.x, p.y, p.z, blast, 200, kLookFire1, 1, 3);
}

void ShellWallEffects(Vec3 p)
{
    float blast = 4.3f + 0.8f * EyeRandFraction();
    SpawnBlast(p.x, p.y, p.z, blast, 255, kLookSmoke, 1, 2);
    float burst = 4.2f + 0.8f * EyeRandFraction();
    SpawnBurst(p.x, p.y + 0.6f, p.z, burst, 180, kLookFire1, 1, 2);
    float speed = 1.4f + 0.3f * EyeRandFraction();
    int32_t count = EyeRand() % 3 + 3;
    SpawnDebris(p.x, p.y, p.z, 0.12f, 50, kTrailSmoke, 130, speed, count);
    speed = 1.5f + 0.4f * EyeRandFraction();
    count = EyeRand() % 3 + 3;
    SpawnDebris(p.x, p.y, p.z, 0.136f, 50, kTrailDust, 130, speed, count);
}

// A robot a shell destroys, at the robot's position (always shown).
void ShellKillEffects(Vec3 r) { SpawnKillExplosion(r, 3.2f, 0.4f); }

// Shells: ground, tanks (no damage: one side), robots, field edge, walls.
ShotRules ShellRules()
{
    ShotRules r{};
    r.order[0] = HitTest::Ground;
    r.order[1] = HitTest::Tanks;
    r.order[2] = HitTest::Robots;
    r.order[3] = HitTest::Edge;
    r.order[4] = HitTest::Walls;
    r.testCount = 5;
    r.edgeHeight = 150.0f;
    r.effectRadius = 3.0f;
    r.wallDistance = 5.0f;
    r.freeOnHit = true;
    r.box = &Models.tama.box;
    r.tankReaction = HitReaction::TankShell;
    r.robotReaction = HitReaction::TankShell;
    r.damageBase = 23;
    r.damageRange = 14;
    r.killShakeTimer = -25;
    r.groundEffects = ShellGroundEffects;
    r.edgeEffects = ShellEdgeEffects;
    r.tankEffects = ShellTankEffects;
    r.robotEffects = ShellRobotEffects;
    r.wallEffects = ShellWallEffects;
    r.killEffects = ShellKillEffects;
    return r;
}
const ShotRules kShellRules = ShellRules();

// --- flames -----------------------------------------------------------------------------
// A flame keeps its alpha in the first spare word and its size, as float
// bits, in the second.
int32_t& Alpha(Projectile& f) { return f.spare[0]; }
float Size(const Projectile& f)
{
    float s;
    std::memcpy(&s, &f.spare[1], sizeof s);
    return s;
}
void SetSize(Projectile& f, float s) { std::memcpy(&f.spare[1], &s, sizeof s); }

// Where the flame goes this frame, in the world.
Vec3 Heading(const Projectile& f) { return Vec3TransformNormal(Position(f.step), f.world); }

// A flame that meets something loses some of its glow, swells a little and
// bounces back, slowed to `1 / slowing` of its speed.
void Bounce(Projectile& f, float swell, float dim, float slowing)
{
    SetSize(f, Size(f) * swell);
    Alpha(f) = static_cast<int32_t>(static_cast<float>(Alpha(f)) / dim);
    float k = -1.0f / slowing;
    f.step.m[3][0] *= k;
    f.step.m[3][1] *= k;
    f.step.m[3][2] *= k;
}

// Whether a flame heading along `d` from `p` closes on a unit at `at`,
// across the ground.
bool Closing(Vec3 d, Vec3 p, Vec3 at) { return d.x * (at.x - p.x) + d.z * (at.z - p.z) > 0; }

// A flame touching a unit: a burst of fire against it.
void FlameUnitBurst(const Projectile& f, Vec3 p)
{
    if (!Visible(p, kFlameReach)) return;
    int32_t alpha = EyeRand() % 16 + 40;
    SpawnBurst(p.x, p.y + 0.2f, p.z, Size(f), alpha, kLookFire1, 1, 2);
}

// A robot the flames burn out, at its position (always shown).
void FlameKillEffects(Vec3 r)
{
    float size = 2.8f + 0.4f * EyeRandFraction();
    int32_t look = EyeRand() % 2 + 1;
    SpawnBlast(r.x, r.y, r.z, size, 255, look, 3, 2);
    int32_t life = EyeRand() % 21 + 60;
    float speed = 1.6f + 0.4f * EyeRandFraction();
    int32_t count = EyeRand() % 3 + 3;
    SpawnDebris(r.x, r.y, r.z, 0.198f, life, kTrailSmoke, 60, speed, count);
    life = EyeRand() % 21 + 60;
    speed = 1.6f + 0.4f * EyeRandFraction();
    count = EyeRand() % 3 + 3;
    SpawnDebris(r.x, r.y, r.z, 0.216f, life, kTrailDust, 60, speed, count);
}

// Sets the flame's motion a frame to `v` in the world (its step moves it
// along its own axes, which are the muzzle's and never turn).
void SetHeading(Projectile& f, Vec3 v)
{
    const Mat4& w = f.world;
    f.step.m[3][0] = v.x * w.m[0][0] + v.y * w.m[0][1] + v.z * w.m[0][2];
    f.step.m[3][1] = v.x * w.m[1][0] + v.y * w.m[1][1] + v.z * w.m[1][2];
    f.step.m[3][2] = v.x * w.m[2][0] + v.y * w.m[2][1] + v.z * w.m[2][2];
}

// One flame's frame: it moves and flickers, fades and grows, then meets the
// ground, the field's edge, the units and the walls in that order.  Off the
// ground, the edge and the walls it bounces once: only off what it is
// moving towards, so it travels away slowed instead of bouncing back and
// forth; off the ground along the slope's normal, whatever the slope.  A
// unit it meets holds it: the flame is slowed to 1 / 3.8 of its speed once
// and stays against the unit, licking a tank and burning a robot every
// frame it touches, until it fades or the unit moves away.
void UpdateFlame(Projectile& f, int slot)
{
    const Vec3 was = Position(f.world);
    f.world = f.step * f.world;
    const float size = Size(f);
    const float spread = size / 4.6f + size / 4.8f;
    f.world.m[3][0] += -size / 4.6f + spread * RandFraction();
    f.world.m[3][1] += -size / 4.6f + spread * RandFraction();

    Alpha(f) -= Alpha(f) < 151 ? 4 : 2;
    if (Alpha(f) < 31) {
        f.state = kShotFree;
        return;
    }
    SetSize(f, Size(f) + 0.023f + 0.013f * RandFraction());

    const Vec3 p = Position(f.world);
    const Vec3 d = Heading(f);
    float ground = 0;
    Vec3 normal{0, 1, 0};
    if (GroundAt(p.x, p.z, &ground, &normal) && ground >= p.y) {
        f.world.m[3][1] = ground;  // never under the ground
        if (Vec3Dot(d, normal) < 0) {
            if (Visible(p, kFlameReach)) SpawnBurst(p.x, p.y, p.z, Size(f), 32, kLookFire1, 1, 2);
            Bounce(f, 1.001f, 1.4f, 3.0f);  // dims and swells; the turn is the slope's
            SetHeading(f, (d - 2 * Vec3Dot(d, normal) * normal) * (1.0f / 3.0f));
        }
    }
    const bool outward = (p.x > kFieldSize && d.x > 0) || (p.x < 0 && d.x < 0) || (p.y > 60.0f && d.y > 0) ||
                         (p.z > kFieldSize && d.z > 0) || (p.z < 0 && d.z < 0);
    if (outward) {
        if (Visible(p, kFlameReach)) SpawnBurst(p.x, p.y, p.z, Size(f), 32, kLookFire1, 1, 2);
        Bounce(f, 1.005f, 1.5f, 3.0f);
    }
    bool held = false, heldByRobot = false;
    for (int i = 0; i < EarthCount; ++i) {
        TankUnit& tank = Tanks[i];
        if (!ShotHitsTankBox(Models.bulletBox, f.world, tank)) continue;
        FlameUnitBurst(f, p);
        ++Shots.unitHits;
        tank.shakeCode = HitReaction::None;  // one side: the flames only lick it
        held = held || Closing(Heading(f), p, Position(tank));
    }
    for (int j = 0; j < MercuryCount; ++j) {
        RobotUnit& robot = Robots[j];
        if (!ShotHitsRobotBox(Models.bulletBox, f.world, robot)) continue;
        FlameUnitBurst(f, p);
        ++Shots.unitHits;
        robot.shakeCode = HitReaction::None;
        if (Closing(Heading(f), p, Position(robot))) held = heldByRobot = true;
        if (!robot.alive || !(robot.hp > 0)) continue;
        const float burn = 0.06f + 0.04f * RandFraction();  // it burns a little every frame it is touched
        robot.hp -= burn;
        Tanks[slot].weapons[1].damage += burn;
        if (robot.hp > 0) continue;
        Tanks[slot].kills += 1;
        ++Tanks[slot].weapons[1].kills;
        robot.deaths += 1;
        robot.shakeCode = HitReaction::Killed;
        robot.shakeTimer = -25;
        ++Shots.kills;
        FlameKillEffects(Position(robot));
    }
    if (held) {
        // Against the unit: back where it was, and slowed the first time.
        f.world.m[3][0] = was.x;
        f.world.m[3][1] = was.y;
        f.world.m[3][2] = was.z;
        const Vec3 v = Heading(f);
        if (Vec3Length(v) > kFlameSpeed / kFlameHeldSlowing + 1e-4f) {
            // It swells and dims once, as off anything it meets, and goes on slowed.
            SetSize(f, Size(f) * 1.002f);
            Alpha(f) = static_cast<int32_t>(static_cast<float>(Alpha(f)) / 1.5f);
            SetHeading(f, v * (1.0f / kFlameHeldSlowing));
            if (heldByRobot) {  // one hit a flame, however long it burns
                ++Tanks[slot].shotsHit;
                ++Tanks[slot].weapons[1].hits;
            }
        }
    }
    Vec3 ahead = Vec3TransformNormal({0, 0, 1}, f.world);
    float distance = 9999.0f;
    uint32_t face = 9999;
    if (Vec3Dot(Heading(f), ahead) > 0 && RayHitsMesh(p, ahead, StageCollision, StageWorld, &distance, &face) &&
        distance < 3.0f) {
        if (Visible(p, kFlameReach)) SpawnBurst(p.x, p.y, p.z, Size(f), 44, kLookFire1, 1, 1);
        Bounce(f, 1.001f, 1.4f, 3.0f);
    }
}

// --- parts ------------------------------------------------------------------------------
// Mount k: it rises out of the hull on the gate, turns with the turret and
// tilts up with the elevation; `lift` is its height over the gate.
Mat4 MountWorld(const TankUnit& t, int k, float lift)
{
    return MatRotationX(static_cast<float>(t.secondGunTimer) * kDegToRad) * MatRotationY(t.turretYaw * kDegToRad) *
           MatTranslation(kMounts[k][0], t.secondGunGate + lift, kMounts[k][1]) * t.world;
}

// Nozzle k follows the gun's pitch, unless the hull blocks it: then it rests.
Mat4 NozzleWorld(const TankUnit& t, int k, const Mat4& mount)
{
    float pitch = TigerMountBlocked(k, t.turretYaw) ? kNozzleRest : t.gunPitch * kDegToRad;
    return MatRotationX(pitch) * mount;
}

Mat4 Track(const TankUnit& t, float side, float y) { return MatTranslation(side * 1.275f, y, 0.22f) * t.world; }

Mat4 RightWheel(const TankUnit& t, const WheelAt& w)
{
    return MatRotationX(t.trackTravel * kDegToRad) * MatTranslation(w.x, w.y, w.z) * t.world;
}
Mat4 LeftWheel(const TankUnit& t, const WheelAt& w)
{
    return MatRotationX(-t.trackTravel * kDegToRad) * MatRotationY(3.14159265f) * MatTranslation(-w.x, w.y, w.z) *
           t.world;
}

constexpr int kMostParts = 3 + 8 + 2 * kWheelCount;

// The parts in drawing order: body, turret, gun, the flame projectors while
// they are out (each mount, then its nozzle), the wheels right then left.
int PlaceParts(const TankUnit& t, PlacedPart out[kMostParts])
{
    int n = 0;
    out[n++] = {&Models.body, t.world};
    out[n++] = {&Models.top1, t.turretWorld};
    out[n++] = {&Models.top2, t.gunWorld};
    if (t.weapon != kWeaponMainGun)
        for (int k = 0; k < 4; ++k) {
            Mat4 mount = MountWorld(t, k, 0.4f);
            out[n++] = {&Models.weapon1, mount};
            out[n++] = {&Models.weapon2, NozzleWorld(t, k, mount)};
        }
    for (const WheelAt& w : kWheels) {
        out[n++] = {w.part, RightWheel(t, w)};
        out[n++] = {w.part, LeftWheel(t, w)};
    }
    return n;
}
}  // namespace

bool TigerMountBlocked(int k, float yaw)
{
    switch (k) {
    case 0: return yaw > 150 && yaw < 306;
    case 1: return yaw > 230 || yaw < 32;   // free from 32 to 230
    case 2: return yaw > 330 || yaw < 135;  // free from 135 to 330
    case 3: return yaw > 55 && yaw < 215;
    default: return true;
    }
}

int TigerFiringMount(float yaw)
{
    if (yaw > 0 && yaw <= 90) return 0;
    if (yaw > 90 && yaw <= 180) return 1;
    if (yaw > 180 && yaw <= 270) return 2;
    if (yaw > 270 && yaw <= 360) return 3;
    return -1;
}

int32_t TigerFlameAlpha(const Projectile& flame) { return flame.spare[0]; }
float TigerFlameSize(const Projectile& flame) { return Size(flame); }

void LoadTiger()
{
    ReleaseTiger();  // a second load replaces the first
    LoadModelPart(&Models.body, "LAND/TIGER/body.x");
    LoadModelPart(&Models.top1, "LAND/TIGER/top1.x");
    LoadModelPart(&Models.top2, "LAND/TIGER/top2.x");
    LoadModelPart(&Models.weapon1, "LAND/TIGER/weapon1.x");
    LoadModelPart(&Models.weapon2, "LAND/TIGER/weapon2.x");
    LoadSimpleModel(&Models.tailer, "LAND/TIGER/tailer.x");
    LoadModelPart(&Models.stailer1, "LAND/TIGER/stailer1.x");
    LoadModelPart(&Models.stailer2, "LAND/TIGER/stailer2.x");
    LoadModelPart(&Models.stailer3, "LAND/TIGER/stailer3.x");
    LoadModelPart(&Models.stailer4, "LAND/TIGER/stailer4.x");
    (void)ComputeModelBox(&Models.body);  // an empty part keeps a zero box and is never hit
    (void)ComputeModelBox(&Models.top1);
    LoadModelPart(&Models.tama, "LAND/TIGER/tama.x");
    (void)ComputeModelBox(&Models.tama);
    (void)LoadTexture(&Models.fire, "LAND/TIGER/fire.jpg", 128, 128, 0xFF000000);
    Models.bulletBox = OrientedBox{};
    Models.bulletBox.halfSize = {0.3f, 0.3f, 0.3f};
}

// Shots find a TIGER by its hull and its turret.
const TankHitModels kTigerHitModels = {&Models.body, &Models.top1};

void ReleaseTiger()
{
    for (ModelPart* p : {&Models.body, &Models.top1, &Models.top2, &Models.weapon1, &Models.weapon2,
                         &Models.stailer1, &Models.stailer2, &Models.stailer3, &Models.stailer4, &Models.tama})
        ReleaseModelPart(p);
    ReleaseSimpleModel(&Models.tailer);
    gfx::Release(Models.fire);
}

void PoseTiger(TankUnit& t)
{
    if (!t.alive) {
        // The wreck: the turret and the gun fly off and tumble.
        float groundTurret = 0, groundGun = 0;
        (void)GroundHeight(t.turretWorld.m[3][0], 0, t.turretWorld.m[3][2], &groundTurret);
        (void)GroundHeight(t.gunWorld.m[3][0], 0, t.gunWorld.m[3][2], &groundGun);
        TumbleWreckPart(t.turretWorld, t.debris[0], groundTurret, 8, 5);
        TumbleWreckPart(t.gunWorld, t.debris[1], groundGun, 10, 7);
        return;
    }
    t.turretWorld = MatTranslation(0, 0.85f, 0) * MatRotationY(t.turretYaw * kDegToRad) * t.world;
    // The main gun's cycle runs whichever weapon is in hand: the gun slides
    // back when it fires and runs out again.
    if (t.mainGunBusy == 0) {
        t.recoil = 0;
    } else if (t.mainGunBusy == 1) {
        t.recoil = kRecoil;
        t.mainGunBusy = 2;
        t.recoilTimer += 1;
    } else if (t.mainGunBusy == 2) {
        t.recoil = std::fmin(t.recoil + kRecoilReturn, 0.0f);
        t.recoilTimer += 1;
    }
    if (t.recoilTimer > kMainGunCycle) {
        t.mainGunBusy = 0;
        t.recoilTimer = 0;
    }
    t.gunWorld = MatRotationX(t.gunPitch * kDegToRad) * MatTranslation(0, -0.1f, 1.25f + t.recoil) * t.turretWorld;

    // The flame mounts rise one unit out of the hull, then tilt up from
    // standing to pointing ahead; stowing runs the same way back.
    if (t.weapon == kWeaponSecond) {
        if (t.weaponSwap == 0) {
            t.secondGunGate += kMountRise;
            if (t.secondGunGate > 0) {
                t.secondGunGate = 0;
                t.secondGunTimer = t.secondGunTimer + kMountTilt > 0 ? 0 : t.secondGunTimer + kMountTilt;
            }
        } else {
            t.secondGunTimer -= kMountTilt;
            if (t.secondGunTimer <= kMountStowed) {
                t.secondGunTimer = kMountStowed;
                t.secondGunGate -= kMountRise;
                if (t.secondGunGate < -1) {
                    t.secondGunGate = -1;
                    t.weapon = kWeaponMainGun;  // the switch back is complete
                }
            }
        }
    }
    if (t.weapon != kWeaponMainGun) {
        int k = TigerFiringMount(t.turretYaw);
        if (k >= 0) t.mgWorld = NozzleWorld(t, k, MountWorld(t, k, 0.4f));
    }
}

void FireTiger(TankUnit& t, Mat4 muzzle, int weapon)
{
    if (weapon == kWeaponMainGun) {
        FireShot(t.shells, kTankShellSlots, muzzle, MatTranslation(0, 0, 2.3f));
    } else if (weapon == kWeaponSecond) {
        int slot = 0;
        while (slot < kTankBulletSlots && t.bullets[slot].state != kShotFree) ++slot;
        if (slot == kTankBulletSlots) return;  // a full table drops the flame before any drift is drawn
        // A slight drift, mostly upward: a lift of 0.02 to 0.0598 a frame
        // leaned up to 12 degrees either way.
        float roll = static_cast<float>(Rand() % 25 - 12) * kDegToRad;
        float pitch = static_cast<float>(Rand() % 25 - 12) * kDegToRad;
        float lift = static_cast<float>(Rand() % 200 + 100) / 5000.0f;
        Vec3 v = Vec3TransformCoord({0, lift, 0}, MatRotationYawPitchRoll(0, pitch, roll));
        FireShot(t.bullets, kTankBulletSlots, muzzle, MatTranslation(v.x, v.y, v.z + kFlameSpeed));
        Alpha(t.bullets[slot]) = 255;
        SetSize(t.bullets[slot], 0.23f);
    }
}

void TriggerTiger(TankUnit& t, int)
{
    if (t.weapon == kWeaponMainGun && t.mainGunBusy == 0) {
        t.mainGunBusy = 1;
        PlayTankGunSound(TankGunSounds, Position(t.gunWorld));
        FireTiger(t, MatTranslation(0, 0, 4.2f) * t.gunWorld, kWeaponMainGun);
        Vec3 f = Vec3TransformCoord({0, 0, 4.4f}, t.gunWorld);
        float blast = 1.0f + 0.3f * EyeRandFraction();
        SpawnBlast(f.x, f.y, f.z, blast, 180, kLookSmoke, 1, 0);
        float burst = 1.2f + 0.6f * EyeRandFraction();
        SpawnBurst(f.x, f.y, f.z, burst, 120, kLookFire1, 1, 2);
    } else if (t.weapon == kWeaponSecond && t.secondGunTimer == 0 && t.secondGunGate == 0.0f) {
        // Only with the mounts raised and tilted all the way to ready.
        Mat4 muzzle = MatTranslation(0, 0.1f, 1.3f) * t.mgWorld;
        FireTiger(t, muzzle, kWeaponSecond);
        float burst = 0.2f + 0.2f * EyeRandFraction();
        SpawnBurst(muzzle.m[3][0], muzzle.m[3][1], muzzle.m[3][2], burst, 60, kLookSmoke, 1, 2);
    }
}

void UpdateTigerShots(TankUnit& t, int slot)
{
    const Shooter me{true, slot};
    for (Projectile& s : t.shells) {
        if (s.state != kShotActive) continue;
        s.world = MatRotationX(kShellDip) * s.step * s.world;
        Vec3 trail = Vec3TransformCoord({0, 0, -0.18f}, s.world);
        if (Visible(trail, 3.0f)) {
            float size = 0.14f + 0.11f * EyeRandFraction();
            SpawnPuff(trail.x, trail.y, trail.z, size, 140, PuffKind::GunSmoke);
        }
        RunHitTests(s, kShellRules, me);
    }
    for (Projectile& f : t.bullets)
        if (f.state == kShotActive) UpdateFlame(f, slot);
}

void DrawTiger(TankUnit& t)
{
    if (!Visible(Position(t.world), 3.5f)) return;
    PlacedPart parts[kMostParts];
    const int n = PlaceParts(t, parts);
    const float distance = t.cameraDistance;
    if (t.shakeCode == HitReaction::FrozenByIce && BattleEffect) {
        DrawFrozenParts(parts, n, distance);
    } else if (distance < kNearDraw && ShadowEffect) {
        uint32_t passes = 0;
        gfx::EffectBegin(ShadowEffect, &passes);
        gfx::EffectBeginPass(ShadowEffect, 0);
        for (int k = 0; k < n; ++k) {
            const Mat4& w = parts[k].world;
            gfx::EffectSetMatrix(ShadowEffect, "matWCP", w * ViewMatrix * ProjectionMatrix);
            gfx::EffectSetMatrix(ShadowEffect, "matWLP", w * LightViewMatrix * ProjectionMatrix);
            gfx::EffectSetMatrix(ShadowEffect, "matWLPT", w * LightViewMatrix * ProjectionMatrix * ShadowBias);
            gfx::EffectSetMatrix(ShadowEffect, "matW", w);
            gfx::EffectCommitChanges(ShadowEffect);
            DrawModelPartWithEffect(parts[k].part, distance);
        }
        gfx::EffectEndPass(ShadowEffect);
        gfx::EffectEnd(ShadowEffect);
    } else {
        for (int k = 0; k < n; ++k) {
            gfx::SetTransform(gfx::TS_WORLD, parts[k].world);
            DrawModelPart(parts[k].part, distance);
        }
    }
    const float scroll = t.trackTravel / 800.0f;
    gfx::SetTransform(gfx::TS_WORLD, Track(t, 1, -0.7f));
    DrawSimpleModelScrolled(&Models.tailer, scroll);
    gfx::SetTransform(gfx::TS_WORLD, Track(t, -1, -0.7f));
    DrawSimpleModelScrolled(&Models.tailer, scroll);
}

void DrawTigerDepth(TankUnit& t)
{
    if (!ShadowEffect || !Visible(Position(t.world), 3.5f) || !(t.cameraDistance < kShadowReach)) return;
    // 320 is beyond every detail distance: the reduced copies cast the shadow.
    constexpr float kFar = 320.0f;
    uint32_t passes = 0;
    gfx::EffectBegin(ShadowEffect, &passes);
    gfx::EffectBeginPass(ShadowEffect, 0);
    auto place = [&](const Mat4& w) {
        gfx::EffectSetMatrix(ShadowEffect, "matWLP", w * LightViewMatrix * ProjectionMatrix);
        gfx::EffectCommitChanges(ShadowEffect);
    };
    auto part = [&](ModelPart* p, const Mat4& w) {
        place(w);
        DrawModelPart(p, kFar);
    };
    part(&Models.body, t.world);
    part(&Models.top1, t.turretWorld);
    part(&Models.top2, t.gunWorld);
    if (t.weapon != kWeaponMainGun)
        for (int k = 0; k < 4; ++k) {
            Mat4 mount = MountWorld(t, k, 0.72f);
            part(&Models.weapon1, mount);
            part(&Models.weapon2, NozzleWorld(t, k, mount));
        }
    place(Track(t, 1, -0.68f));
    DrawSimpleModel(&Models.tailer);
    place(Track(t, -1, -0.68f));
    DrawSimpleModel(&Models.tailer);
    for (int w = 0; w < 2; ++w) {  // the front and rear wheels; the road wheels cast no shadow
        part(kWheels[w].part, RightWheel(t, kWheels[w]));
        part(kWheels[w].part, LeftWheel(t, kWheels[w]));
    }
    gfx::EffectEndPass(ShadowEffect);
    gfx::EffectEnd(ShadowEffect);
}

void DrawTigerShells(TankUnit& t)
{
    for (Projectile& s : t.shells) {
        if (s.state != kShotActive) continue;
        Vec3 p = Position(s.world);
        if (!Visible(p, 2.0f)) continue;
        gfx::SetTransform(gfx::TS_WORLD, s.world);
        DrawModelPart(&Models.tama, PointDistance(CameraEye, p));
    }
}

// The flames as point sprites of their own size, scaled with distance as
// the particle sprites are, white with the flame's alpha over the fire
// picture.  The sprite states are switched on here and off again after.
void DrawTigerFlames(TankUnit& t)
{
    struct FlameVertex {
        float x, y, z;
        uint32_t colour;
    };
    using namespace gfx;
    SetRenderState(RS_POINTSPRITEENABLE, 1);
    SetRenderState(RS_POINTSCALEENABLE, 1);
    SetRenderState(RS_POINTSCALE_A, FloatBits(0.0f));
    SetRenderState(RS_POINTSCALE_B, FloatBits(0.0f));
    SetRenderState(RS_POINTSCALE_C, FloatBits(0.1f));
    SetFVF(FVF_XYZ | FVF_DIFFUSE);
    SetTexture(0, Models.fire);
    for (Projectile& f : t.bullets) {
        if (f.state != kShotActive) continue;
        if (!Visible(Position(f.world), Size(f))) continue;
        SetTransform(TS_WORLD, f.world);
        SetRenderState(RS_POINTSIZE, FloatBits(Size(f)));
        const FlameVertex v{0, 0, 0, static_cast<uint32_t>(Alpha(f) & 0xFF) << 24 | 0xFFFFFFu};
        DrawPrimitiveUP(PT_POINTLIST, 1, &v, sizeof v);
    }
    SetRenderState(RS_POINTSPRITEENABLE, 0);
    SetRenderState(RS_POINTSCALEENABLE, 0);
}

// Its row of the tank kinds' table: four flame projectors for its second
// weapon, which the computer fires whenever it is on target and keeps for
// targets within 60.
TankKind TigerKind()
{
    TankKind row = {
        .kind = kTankTiger,
        .name = "TIGER",
        .fights = true,
        .maxSpeed = 0.31f,
        .acceleration = 0.016f,
        .groundClearance = 1.36f,
        .boxSize = {1.5f, 0, 2.8f},
        .hasSecondMount = true,
        .secondGunTimer = -90,
        .secondGunGate = -1.0f,
        .cameraEye = {0, 2.7f, -6.35f},
        .crosshairMain = Crosshair::Cannon,
        .crosshairSecond = Crosshair::Unchanged,
        .previewShift = {0, 0, 4.5f},
        .secondFiresWhenOnTarget = true,
        .secondWeaponReach = 60.0f,
        .shellStep = 2.3f,
        .shellDip = kShellDip,
        .hitModels = &kTigerHitModels,
        .loaded = 0,
        .load = LoadTiger,
        .release = ReleaseTiger,
        .pose = PoseTiger,
        .fire = FireTiger,
        .trigger = TriggerTiger,
        .updateShots = UpdateTigerShots,
        .draw = DrawTiger,
        .drawShells = DrawTigerShells,
        .drawAdditive = DrawTigerFlames,
        .drawDepth = DrawTigerDepth,
    };
    return row;
}
