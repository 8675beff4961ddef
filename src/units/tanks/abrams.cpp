// The ABRAMS tank (kind 2): its model set, the pose of its turret, gun,
// roof machine gun, wheels and tracks, its two weapons (a main gun firing
// shells, a roof machine gun firing bullets), their flight and hits, and its
// draws for the scene, the shadow map and the tracers.
#include <cmath>
#include <cstdint>

#include "services/device.h"
#include "assets/model.h"
#include "assets/sound.h"
#include "records/state.h"
#include "effects/particles.h"
#include "effects/projectiles.h"
#include "collision/collision.h"
#include "world/ground.h"
#include "sides/player.h"
#include "sides/tank_side.h"
#include "platform/crt_rand.h"
#include "platform/gfx.h"
#include "units/tanks/tank_kinds.h"
#include "units/unit_draw.h"

namespace {
struct AbramsModelSet {
    ModelPart body;         // hull; hit box
    ModelPart top1;         // turret; hit box
    ModelPart top2;         // gun
    ModelPart top3;         // turret detail, near the camera only
    ModelPart weaponpart1;  // machine-gun mount
    SimpleModel wheel;      // track, drawn on both sides with its texture scrolled
    ModelPart swheel1;      // rear idler
    ModelPart swheel2;      // road wheel
    ModelPart weaponpart2;  // machine-gun barrel
    ModelPart spare;        // never loaded
    ModelPart cannon01;     // flying shell; its box is the shell's hit box
    gfx::Texture* beam11 = nullptr;  // tracer ribbon
    gfx::Texture* beam12 = nullptr;  // tracer head
    OrientedBox bulletBox{};
};
AbramsModelSet Models;

constexpr float kShellDip = 0.0013962634f;  // radians a frame the shell's nose drops (0.08 degrees)
constexpr int kMainGunCycle = 77;           // the main gun is ready once recoilTimer passes this
constexpr int32_t kMountStowed = -120;      // machine-gun mount, degrees
constexpr int32_t kMountKick = -7;          // where a shot throws the mount
constexpr float kRecoil = -0.6f;
constexpr float kNearDraw = 100.0f;    // closer than this the shadowed path draws the tank
constexpr float kShadowReach = 15.0f;  // closer than this the tank casts a shadow

// Road wheels, rear to front: (y, z) of the axle in the hull's frame.
constexpr float kRoadWheels[8][2] = {{-0.485f, -1.99f}, {-0.5f, -1.5f}, {-0.5f, -1.0f}, {-0.5f, -0.5f},
                                     {-0.5f, 0.0f},     {-0.5f, 0.5f},  {-0.5f, 1.1f},  {-0.25f, 2.0f}};
constexpr float kWheelX = 0.98f;

bool Visible(Vec3 p, float radius) { return IsSphereInView(BattleFrustum, p, radius); }

// --- shells -----------------------------------------------------------------------------
// Random draws go into locals in the order the effects take them.
void ShellGroundEffects(Vec3 p)
{
    float blast = 3.2f + 1.0f * EyeRandFraction();
    SpawnBlast(p.x, p.y + 1, p.z, blast, 220, kLookFire2, 1, 1);
    float burst = 3.4f + 1.4f * EyeRandFraction();
    SpawnBurst(p.x, p.y + 1, p.z, burst, 200, kLookFire2, 1, 1);
    int32_t spread = EyeRand() % 16 + 40;
    float speed = 1.6f + 0.2f * EyeRandFraction();
    int32_t count = EyeRand() % 3 + 2;
    SpawnDebris(p.x, p.y, p.z, 0.1f, spread, kTrailSmoke, 35, speed, count);
    spread = EyeRand() % 16 + 40;
    speed = 1.5f + 0.4f * EyeRandFraction();
    count = EyeRand() % 3 + 2;
    SpawnDebris(p.x, p.y, p.z, 0.12f, spread, kTrailDust, 45, speed, count);
}

// A shell striking a unit: the robot hit is the tank hit with a dimmer
// burst and a wider spray of debris.
void ShellUnitEffects(Vec3 p, int32_t burstAlpha, int32_t debrisSpread)
{
    float blast = 1.6f + 0.4f * EyeRandFraction();
    SpawnBlast(p.x, p.y, p.z, blast, 210, kLookSmoke, 1, 3);
    float burst = 0.8f + 1.1f * EyeRandFraction();
    SpawnBurst(p.x, p.y + 0.6f, p.z, burst, burstAlpha, kLookFire1, 2, 2);
    int32_t life = EyeRand() % 8 + 33;
    float speed = 1.5f + 0.3f * EyeRandFraction();
    int32_t count = EyeRand() % 3 + 1;
    SpawnDebris(p.x, p.y, p.z, 0.07f, life, kTrailSmoke, debrisSpread, speed, count);
    life = EyeRand() % 8 + 33;
    speed = 1.5f + 0.3f * EyeRandFraction();
    count = EyeRand() % 3 + 3;
    SpawnDebris(p.x, p.y, p.z, 0.09f, life, kTrailDust, debrisSpread, speed, count);
}
void ShellTankEffects(Vec3 p) { ShellUnitEffects(p, 190, 160); }
void ShellRobotEffects(Vec3 p) { ShellUnitEffects(p, 180, 170); }

void ShellEdgeEffects(Vec3 p)
{
    float blast = 2.0f + 1.0f * EyeRandFraction();
    SpawnBlast(p.x, p.y, p.z, blast, 220, kLookFire1, 1, 3);
}

void ShellWallEffects(Vec3 p)
{
    float blast = 3.6f + 0.6f * EyeRandFraction();
    SpawnBlast(p.x, p.y, p.z, blast, 255, kLookSmoke, 1, 2);
    float burst = 3.2f + 0.7f * EyeRandFraction();
    SpawnBurst(p.x, p.y + 0.6f, p.z, burst, 180, kLookFire1, 1, 2);
    int32_t life = EyeRand() % 16 + 40;
    float speed = 1.4f + 0.3f * EyeRandFraction();
    int32_t count = EyeRand() % 3 + 3;
    SpawnDebris(p.x, p.y, p.z, 0.09f, life, kTrailSmoke, 130, speed, count);
    life = EyeRand() % 16 + 40;
    speed = 1.5f + 0.4f * EyeRandFraction();
    count = EyeRand() % 3 + 3;
    SpawnDebris(p.x, p.y, p.z, 0.11f, life, kTrailDust, 130, speed, count);
}

// A robot this tank destroys, at the robot's position (always shown).
void KillEffects(Vec3 r) { SpawnKillExplosion(r, 2.8f, 0.4f); }

// --- bullets ----------------------------------------------------------------------------
void BulletGroundEffects(Vec3 p) { SpawnDustCloud(p.x, p.y, p.z, 10); }

void BulletUnitEffects(Vec3 p)
{
    SpawnSpray(p.x, p.y, p.z, 12);
    float burst = 0.2f + 0.3f * EyeRandFraction();
    SpawnBurst(p.x, p.y + 0.3f, p.z, burst, 100, kLookFire1, 2, 2);
}

void BulletWallEffects(Vec3 p)
{
    int32_t dust = EyeRand() % 3 + 5;
    SpawnDustCloud(p.x, p.y, p.z, dust);
    int32_t spray = EyeRand() % 2 + 2;
    SpawnSpray(p.x, p.y, p.z, spray);
}

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
    r.edgeHeight = 80.0f;
    r.effectRadius = 3.0f;
    r.wallDistance = 5.0f;
    r.freeOnHit = true;
    r.box = &Models.cannon01.box;
    r.tankReaction = HitReaction::TankShell;
    r.robotReaction = HitReaction::TankShell;
    r.damageBase = 18;
    r.damageRange = 13;
    r.killShakeTimer = -25;
    r.groundEffects = ShellGroundEffects;
    r.edgeEffects = ShellEdgeEffects;
    r.tankEffects = ShellTankEffects;
    r.robotEffects = ShellRobotEffects;
    r.wallEffects = ShellWallEffects;
    r.killEffects = KillEffects;
    return r;
}

// Bullets after their own ground test: field edge, tanks, robots, walls.
ShotRules BulletRules()
{
    ShotRules r{};
    r.order[0] = HitTest::Edge;
    r.order[1] = HitTest::Tanks;
    r.order[2] = HitTest::Robots;
    r.order[3] = HitTest::Walls;
    r.testCount = 4;
    r.edgeHeight = 70.0f;
    r.effectRadius = 2.5f;
    r.wallDistance = 3.0f;
    r.freeOnHit = true;
    r.box = &Models.bulletBox;
    r.tankReaction = HitReaction::Bullet;
    r.robotReaction = HitReaction::Bullet;
    r.damageBase = 1;
    r.damageRange = 2;
    r.killShakeTimer = -25;
    r.groundEffects = BulletGroundEffects;
    r.tankEffects = BulletUnitEffects;
    r.robotEffects = BulletUnitEffects;
    r.wallEffects = BulletWallEffects;
    r.killEffects = KillEffects;
    return r;
}

const ShotRules kShellRules = ShellRules();
const ShotRules kBulletRules = BulletRules();

// --- parts ------------------------------------------------------------------------------
constexpr int kMostParts = 25;

// The parts in drawing order: body, turret (and its detail when asked),
// gun, the machine gun while it is out, the idlers and the road wheels.
int PlaceParts(const TankUnit& t, bool withDetail, PlacedPart out[kMostParts])
{
    int n = 0;
    out[n++] = {&Models.body, t.world};
    out[n++] = {&Models.top1, t.turretWorld};
    if (withDetail) out[n++] = {&Models.top3, t.turretWorld};
    out[n++] = {&Models.top2, t.gunWorld};
    if (t.alive && t.weapon == kWeaponSecond) {
        out[n++] = {&Models.weaponpart1, t.mgWorld};
        out[n++] = {&Models.weaponpart2, MatTranslation(-0.005f, 0.275f, 0.45f) *
                                             MatRotationZ(static_cast<float>(t.mgShots) * kDegToRad) * t.mgWorld};
    }
    Mat4 spinRight = MatRotationX(t.trackTravel * kDegToRad);
    Mat4 spinLeft = MatRotationX(-t.trackTravel * kDegToRad) * MatRotationY(3.14159265f);
    out[n++] = {&Models.swheel1, spinRight * MatTranslation(kWheelX, -0.2f, -2.45f) * t.world};
    out[n++] = {&Models.swheel1, spinLeft * MatTranslation(-kWheelX, -0.2f, -2.45f) * t.world};
    for (const auto& w : kRoadWheels) {
        out[n++] = {&Models.swheel2, spinRight * MatTranslation(kWheelX, w[0], w[1]) * t.world};
        out[n++] = {&Models.swheel2, spinLeft * MatTranslation(-kWheelX, w[0], w[1]) * t.world};
    }
    return n;
}

Mat4 RightTrack(const TankUnit& t, float y) { return MatTranslation(0.965f, y, -0.23f) * t.world; }
Mat4 LeftTrack(const TankUnit& t, float y) { return MatTranslation(-1.0f, y, -0.23f) * t.world; }

}  // namespace

void LoadAbrams()
{
    ReleaseAbrams();  // a second load replaces the first
    LoadModelPart(&Models.body, "LAND/ABRAMS/body.x");
    LoadModelPart(&Models.top1, "LAND/ABRAMS/top1.x");
    LoadModelPart(&Models.top2, "LAND/ABRAMS/top2.x");
    LoadModelPart(&Models.top3, "LAND/ABRAMS/top3.x");
    LoadSimpleModel(&Models.wheel, "LAND/ABRAMS/wheel.x");
    LoadModelPart(&Models.swheel1, "LAND/ABRAMS/swheel1.x");
    LoadModelPart(&Models.swheel2, "LAND/ABRAMS/swheel2.x");
    LoadModelPart(&Models.weaponpart1, "LAND/ABRAMS/weaponpart1.x");
    LoadModelPart(&Models.weaponpart2, "LAND/ABRAMS/weaponpart2.x");
    (void)ComputeModelBox(&Models.body);  // an empty part keeps a zero box and is never hit
    (void)ComputeModelBox(&Models.top1);
    LoadModelPart(&Models.cannon01, "LAND/ABRAMS/Cannon01.x");
    (void)ComputeModelBox(&Models.cannon01);
    (void)LoadTexture(&Models.beam11, "LAND/ABRAMS/beam11.bmp", 16, 64, 0xFF000000);
    (void)LoadTexture(&Models.beam12, "LAND/ABRAMS/beam12.png", 128, 128, 0xFF000000);
    Models.bulletBox = OrientedBox{};
    Models.bulletBox.halfSize = {0.1f, 0.1f, 0.6f};
}

// Shots find an ABRAMS by its hull and its turret.
const TankHitModels kAbramsHitModels = {&Models.body, &Models.top1};

void ReleaseAbrams()
{
    for (ModelPart* p : {&Models.body, &Models.top1, &Models.top2, &Models.top3, &Models.weaponpart1,
                         &Models.swheel1, &Models.swheel2, &Models.weaponpart2, &Models.spare, &Models.spare,
                         &Models.cannon01})
        ReleaseModelPart(p);
    ReleaseSimpleModel(&Models.wheel);
    gfx::Release(Models.beam11);
    gfx::Release(Models.beam12);
}

void PoseAbrams(TankUnit& t)
{
    if (t.alive) {
        if (t.weapon == kWeaponMainGun) {
            if (t.mainGunBusy == 0) {
                t.recoil = 0;
            } else if (t.mainGunBusy == 1) {
                t.recoil = kRecoil;
                t.mainGunBusy = 2;
                t.recoilTimer += 1;
            } else if (t.mainGunBusy == 2) {
                t.recoil = std::fmin(t.recoil + 0.01f, 0.0f);
                t.recoilTimer += 1;
            }
            if (t.recoilTimer > kMainGunCycle) {
                t.mainGunBusy = 0;
                t.recoilTimer = 0;
            }
        } else {
            t.recoil = std::fmin(t.recoil + 0.01f, 0.0f);  // the cycle waits
        }
        t.turretWorld = MatTranslation(0, 0.35f, t.recoil) * MatRotationY(t.turretYaw * kDegToRad) * t.world;
        t.gunWorld = MatRotationX(t.gunPitch * kDegToRad) * MatTranslation(0, 0.3f, 1.15f) * t.turretWorld;
        if (t.weapon == kWeaponSecond) {
            if (t.weaponSwap == 0) {
                t.secondGunTimer = t.secondGunTimer + 2 > 0 ? 0 : t.secondGunTimer + 2;
            } else {
                t.secondGunTimer -= 2;
                if (t.secondGunTimer <= kMountStowed) {
                    t.secondGunTimer = kMountStowed;
                    t.weapon = kWeaponMainGun;  // the switch back is complete
                }
            }
        }
        if (t.weapon == kWeaponSecond)
            t.mgWorld = MatTranslation(0.55f, 0.65f, 0.1f) *
                        MatRotationX(static_cast<float>(t.secondGunTimer) * kDegToRad) *
                        MatRotationX(t.gunPitch * kDegToRad) * t.turretWorld;
        return;
    }
    // The wreck: the turret and the gun fly off and tumble.
    float groundTurret = 0, groundGun = 0;
    (void)GroundHeight(t.turretWorld.m[3][0], 0, t.turretWorld.m[3][2], &groundTurret);
    (void)GroundHeight(t.gunWorld.m[3][0], 0, t.gunWorld.m[3][2], &groundGun);
    TumbleWreckPart(t.turretWorld, t.debris[0], groundTurret, 8, 5);
    TumbleWreckPart(t.gunWorld, t.debris[1], groundGun, 10, 7);
}

void FireAbrams(TankUnit& t, Mat4 muzzle, int weapon)
{
    if (weapon == kWeaponMainGun) {
        FireShot(t.shells, kTankShellSlots, muzzle, MatTranslation(0, 0, 2.2f));
    } else if (weapon == kWeaponSecond) {
        bool free = false;
        for (const Projectile& p : t.bullets) free = free || p.state == kShotFree;
        if (!free) return;  // a full table drops the shot before any spread is drawn
        float y = RandFraction() * 0.24f - 0.12f;
        float p = RandFraction() * 0.24f - 0.12f;
        float q = RandFraction() * 0.24f - 0.12f;
        Mat4 step = MatRotationYawPitchRoll(y * kDegToRad, p * kDegToRad, q * kDegToRad) *
                    MatTranslation(0, -0.008f, 1.8f);
        FireShot(t.bullets, kTankBulletSlots, muzzle, step);
    }
}

void TriggerAbrams(TankUnit& t, int)
{
    if (t.weapon == kWeaponMainGun && t.mainGunBusy == 0) {
        t.mainGunBusy = 1;
        PlayTankGunSound(TankGunSounds, Position(t.gunWorld));
        FireAbrams(t, MatTranslation(0, 0, 1.8f) * t.gunWorld, kWeaponMainGun);
        Vec3 f = Vec3TransformCoord({0, 0, 2.2f}, t.gunWorld);
        float blast = 0.6f + 0.4f * EyeRandFraction();
        SpawnBlast(f.x, f.y, f.z, blast, 160, kLookSmoke, 1, 0);
        float burst = 0.6f + 0.4f * EyeRandFraction();
        SpawnBurst(f.x, f.y, f.z, burst, 100, kLookFire1, 1, 2);
    } else if (t.weapon == kWeaponSecond && t.secondGunTimer == 0) {
        PlayTankGunSound(MachineGunSounds, Position(t.mgWorld));
        t.secondGunTimer = kMountKick;
        t.mgShots += 12;
        Mat4 muzzle = MatTranslation(-0.005f, 0.275f, 1.65f) * t.mgWorld;
        FireAbrams(t, muzzle, kWeaponSecond);
        float blast = 0.3f + 0.3f * EyeRandFraction();
        SpawnBlast(muzzle.m[3][0], muzzle.m[3][1] + 0.1f, muzzle.m[3][2], blast, 80, kLookSmoke, 1, 0);
    }
}

void UpdateAbramsShots(TankUnit& t, int slot)
{
    const Shooter me{true, slot};
    for (Projectile& s : t.shells) {
        if (s.state != kShotActive) continue;
        s.world = MatRotationX(kShellDip) * s.step * s.world;
        Vec3 trail = Vec3TransformCoord({0, 0, -0.16f}, s.world);
        if (Visible(trail, 3.0f)) {
            float size = 0.12f + 0.11f * EyeRandFraction();
            SpawnPuff(trail.x, trail.y, trail.z, size, 150, PuffKind::GunSmoke);
        }
        RunHitTests(s, kShellRules, me);
    }
    for (Projectile& b : t.bullets) {
        if (b.state != kShotActive) continue;
        b.world = b.step * b.world;
        Vec3 p = Position(b.world);
        float ground;
        // A bullet within 0.1 above the terrain has struck it.
        if (GroundHeight(p.x, p.y - 0.1f, p.z, &ground)) {
            if (Visible(p, 2.5f)) BulletGroundEffects(p);
            b.state = kShotFree;
        }
        RunHitTests(b, kBulletRules, me);
    }
}

void DrawAbrams(TankUnit& t)
{
    if (!Visible(Position(t.world), 3.5f)) return;
    PlacedPart parts[kMostParts];
    const float distance = t.cameraDistance;
    if (t.shakeCode == HitReaction::FrozenByIce && BattleEffect) {
        int n = PlaceParts(t, false, parts);
        DrawFrozenParts(parts, n, distance);
    } else if (distance < kNearDraw && ShadowEffect) {
        int n = PlaceParts(t, true, parts);
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
        int n = PlaceParts(t, false, parts);
        for (int k = 0; k < n; ++k) {
            gfx::SetTransform(gfx::TS_WORLD, parts[k].world);
            DrawModelPart(parts[k].part, distance);
        }
    }
    const float scroll = t.trackTravel / 300.0f;
    gfx::SetTransform(gfx::TS_WORLD, RightTrack(t, -0.32f));
    DrawSimpleModelScrolled(&Models.wheel, scroll);
    gfx::SetTransform(gfx::TS_WORLD, LeftTrack(t, -0.32f));
    DrawSimpleModelScrolled(&Models.wheel, scroll);
}

void DrawAbramsDepth(TankUnit& t)
{
    if (!ShadowEffect || !Visible(Position(t.world), 3.5f) || !(t.cameraDistance < kShadowReach)) return;
    // 320 is beyond every detail distance: the reduced copies cast the shadow.
    constexpr float kFar = 320.0f;
    uint32_t passes = 0;
    gfx::EffectBegin(ShadowEffect, &passes);
    gfx::EffectBeginPass(ShadowEffect, 0);
    auto part = [&](ModelPart* p, const Mat4& w, float distance) {
        gfx::EffectSetMatrix(ShadowEffect, "matWLP", w * LightViewMatrix * ProjectionMatrix);
        gfx::EffectCommitChanges(ShadowEffect);
        DrawModelPart(p, distance);
    };
    part(&Models.body, t.world, kFar);
    part(&Models.top1, MatScaling(1, 0.5f, 1) * MatTranslation(0, 0.56f, 0) * t.turretWorld, kFar);
    part(&Models.top3, t.turretWorld, t.cameraDistance);
    part(&Models.top2, t.gunWorld, kFar);
    if (t.alive && t.weapon == kWeaponSecond) {
        part(&Models.weaponpart1, t.mgWorld, kFar);
        part(&Models.weaponpart2,
             MatTranslation(-0.005f, 0.275f, 0.45f) * MatRotationZ(static_cast<float>(t.mgShots) * kDegToRad) *
                 t.mgWorld,
             kFar);
    }
    Mat4 right = RightTrack(t, -0.02f), left = LeftTrack(t, -0.02f);
    gfx::EffectSetMatrix(ShadowEffect, "matWLP", right * LightViewMatrix * ProjectionMatrix);
    gfx::EffectCommitChanges(ShadowEffect);
    DrawSimpleModelScrolled(&Models.wheel, t.trackTravel / 300.0f);
    gfx::EffectSetMatrix(ShadowEffect, "matWLP", left * LightViewMatrix * ProjectionMatrix);
    gfx::EffectCommitChanges(ShadowEffect);
    DrawSimpleModel(&Models.wheel);
    gfx::EffectEndPass(ShadowEffect);
    gfx::EffectEnd(ShadowEffect);
}

void DrawAbramsShells(TankUnit& t)
{
    for (Projectile& s : t.shells) {
        if (s.state != kShotActive) continue;
        Vec3 p = Position(s.world);
        if (!Visible(p, 2.0f)) continue;
        gfx::SetTransform(gfx::TS_WORLD, s.world);
        DrawModelPart(&Models.cannon01, PointDistance(CameraEye, p));
    }
}

void DrawAbramsTracers(TankUnit& t)
{
    struct TracerVertex {
        float x, y, z;
        uint32_t colour;
        float u, v;
    };
    constexpr uint32_t kWhite = 0xFFFFFFFF;
    gfx::SetFVF(gfx::FVF_XYZ | gfx::FVF_DIFFUSE | gfx::FVF_TEX1);
    for (Projectile& b : t.bullets) {
        if (b.state != kShotActive) continue;
        if (!Visible(Position(b.world), 1.0f)) continue;
        gfx::SetTransform(gfx::TS_WORLD, b.world);
        // The ribbon is widened across the line of sight so it never shows
        // edge on: the sideways vector is found in the world and taken into
        // the bullet's own frame, where the vertices are.
        Vec3 tip = Vec3TransformCoord({0, 0, 1}, b.world);
        Vec3 view = Vec3Normalize(tip - CameraEye);
        Vec3 flight = Vec3Normalize(Vec3TransformNormal({0, 0, 1}, b.world));
        Vec3 side = Vec3Cross(view, flight) * 0.1f;
        Mat4 toLocal = MatTranspose(b.world);  // the rotation part is orthonormal
        toLocal.m[0][3] = toLocal.m[1][3] = toLocal.m[2][3] = 0;
        Vec3 c = Vec3TransformNormal(side, toLocal);
        TracerVertex ribbon[4] = {{-0.1f + c.x, c.y, -0.4f + c.z, kWhite, 0, 0},
                                  {0.1f - c.x, -c.y, -0.4f - c.z, kWhite, 0, 1},
                                  {0.1f - c.x, -c.y, 0.4f - c.z, kWhite, 1, 1},
                                  {-0.1f + c.x, c.y, 0.4f + c.z, kWhite, 1, 0}};
        gfx::SetTexture(0, Models.beam11);
        gfx::DrawPrimitiveUP(gfx::PT_TRIANGLEFAN, 2, ribbon, sizeof(TracerVertex));
        TracerVertex head[4] = {{-0.1f, 0.1f, 0, kWhite, 0, 0},
                                {0.1f, 0.1f, 0, kWhite, 0, 1},
                                {0.1f, -0.1f, 0, kWhite, 1, 1},
                                {-0.1f, -0.1f, 0, kWhite, 1, 0}};
        gfx::SetTexture(0, Models.beam12);
        gfx::DrawPrimitiveUP(gfx::PT_TRIANGLEFAN, 2, head, sizeof(TracerVertex));
    }
}

// Its row of the tank kinds' table: the main gun and a roof machine gun.
TankKind AbramsKind()
{
    TankKind row = {
        .kind = kTankAbrams,
        .name = "ABRAMS",
        .fights = true,
        .maxSpeed = 0.33f,
        .acceleration = 0.018f,
        .groundClearance = 0.72f,
        .boxSize = {1.0f, 0, 2.3f},
        .hasSecondMount = true,
        .secondGunTimer = -120,
        .secondGunGate = 0.0f,
        .cameraEye = {0, 2.25f, -6.35f},
        .crosshairMain = Crosshair::Cannon,
        .crosshairSecond = Crosshair::MachineGun,
        .previewShift = {0, 0, 0},
        .secondFiresWhenOnTarget = false,
        .secondWeaponReach = 0,
        .shellStep = 2.2f,
        .shellDip = kShellDip,
        .hitModels = &kAbramsHitModels,
        .loaded = 0,
        .load = LoadAbrams,
        .release = ReleaseAbrams,
        .pose = PoseAbrams,
        .fire = FireAbrams,
        .trigger = TriggerAbrams,
        .updateShots = UpdateAbramsShots,
        .draw = DrawAbrams,
        .drawShells = DrawAbramsShells,
        .drawAdditive = DrawAbramsTracers,
        .drawDepth = DrawAbramsDepth,
    };
    return row;
}
