// The D-ED.10 robot (kind 101): its model set, the pose of its ten parts
// (turning torso, arm cannons, swinging legs, missile pods, and a wreck
// whose head and arms fly off), its shells and homing missiles, and its
// draws in the depth pass, the scene pass and the additive pass.
#include <cmath>

#include "services/device.h"
#include "records/state.h"
#include "effects/particles.h"
#include "effects/projectiles.h"
#include "collision/collision.h"
#include "world/ground.h"
#include "sides/player.h"
#include "platform/crt_rand.h"
#include "units/robots/robot_kinds.h"
#include "units/unit_draw.h"

RobotModelSet Robot10Models;

namespace {
constexpr int kShellSlots = 30;    // of the robot's 60 shell slots
constexpr int kMissileSlots = 8;   // of its 120 second-weapon slots
constexpr float kDebrisRadians = 0.0174f;  // a wreck's flying parts turn degrees with this
constexpr float kShadowReach = 15.0f;  // robots nearer the camera cast shadows
constexpr float kNearDraw = 100.0f;    // nearer: drawn with the shadow effect


ModelPart* Part(int slot) { return &Robot10Models.parts[slot]; }

// --- impact effects: each draws its random numbers in argument order -----------------
void ShellGround(Vec3 p)
{
    float size = 1.2f + 0.3f * EyeRandFraction();
    SpawnBurst(p.x, p.y + 1, p.z, size, 120, kLookFire1, 1, 2);
    float speed = 1.3f + 0.2f * EyeRandFraction();
    int32_t count = EyeRand() % 2 + 2;
    SpawnDebris(p.x, p.y, p.z, 0.066f, 42, kTrailSmoke, 20, speed, count);
    speed = 1.3f + 0.2f * EyeRandFraction();
    count = EyeRand() % 4 + 3;
    SpawnDebris(p.x, p.y, p.z, 0.076f, 42, kTrailDust, 16, speed, count);
}

void ShellEdge(Vec3 p) { SpawnBlast(p.x, p.y, p.z, 1.0f + 0.5f * EyeRandFraction(), 200, kLookFire1, 1, 3); }

// A shell bursting on a unit: blast `alpha`, debris speed `speedBase`.
void ShellOnUnit(Vec3 p, int32_t alpha, float speedBase)
{
    SpawnBlast(p.x, p.y, p.z, 0.6f + 0.2f * EyeRandFraction(), alpha, kLookSmoke, 1, 3);
    SpawnBurst(p.x, p.y + 1, p.z, 0.6f + 0.4f * EyeRandFraction(), 100, kLookFire1, 2, 2);
    int32_t life = EyeRand() % 6 + 32;
    float speed = speedBase + 0.2f * EyeRandFraction();
    int32_t count = EyeRand() % 3 + 2;
    SpawnDebris(p.x, p.y, p.z, 0.066f, life, kTrailSmoke, 160, speed, count);
    life = EyeRand() % 6 + 32;
    speed = speedBase + 0.2f * EyeRandFraction();
    count = EyeRand() % 3 + 2;
    SpawnDebris(p.x, p.y, p.z, 0.086f, life, kTrailDust, 160, speed, count);
}
void ShellTank(Vec3 p) { ShellOnUnit(p, 225, 1.2f); }
void ShellRobot(Vec3 p) { ShellOnUnit(p, 180, 1.4f); }

void ShellWall(Vec3 p)
{
    SpawnBlast(p.x, p.y, p.z, 0.6f + 0.4f * EyeRandFraction(), 225, kLookSmoke, 1, 0);
    SpawnBurst(p.x, p.y + 0.6f, p.z, 0.8f + 0.3f * EyeRandFraction(), 180, kLookFire1, 1, 0);
    float speed = 1.2f + 0.2f * EyeRandFraction();
    int32_t count = EyeRand() % 2 + 3;
    SpawnDebris(p.x, p.y, p.z, 0.076f, 40, kTrailSmoke, 130, speed, count);
    speed = 1.2f + 0.2f * EyeRandFraction();
    count = EyeRand() % 2 + 3;
    SpawnDebris(p.x, p.y, p.z, 0.086f, 40, kTrailDust, 130, speed, count);
}

// A tank blown up by a shell or a missile, at its position.
void TankKilled(Vec3 t) { SpawnKillExplosion(t, 2.6f, 0.6f); }

void MissileGround(Vec3 p)
{
    SpawnBlast(p.x, p.y + 1, p.z, 2.6f + 1.2f * EyeRandFraction(), 180, kLookFire2, 1, 3);
    SpawnBurst(p.x, p.y + 1, p.z, 2.8f + 1.2f * EyeRandFraction(), 180, kLookFire2, 2, 2);
    float speed = 1.6f + 0.2f * EyeRandFraction();
    int32_t count = EyeRand() % 3 + 2;
    SpawnDebris(p.x, p.y, p.z, 0.126f, 45, kTrailSmoke, 45, speed, count);
    speed = 1.5f + 0.4f * EyeRandFraction();
    count = EyeRand() % 4 + 2;
    SpawnDebris(p.x, p.y, p.z, 0.126f, 45, kTrailDust, 55, speed, count);
}

void MissileEdge(Vec3 p) { SpawnBlast(p.x, p.y, p.z, 2.6f + 0.2f * EyeRandFraction(), 180, kLookFire1, 1, 3); }

void MissileOnUnit(Vec3 p, float burstLift)
{
    SpawnBlast(p.x, p.y, p.z, 2.6f + 0.2f * EyeRandFraction(), 210, kLookSmoke, 1, 3);
    SpawnBurst(p.x, p.y + burstLift, p.z, 2.6f + 0.4f * EyeRandFraction(), 100, kLookFire1, 2, 2);
    int32_t life = EyeRand() % 8 + 33;
    float speed = 1.4f + 0.3f * EyeRandFraction();
    int32_t count = EyeRand() % 3 + 1;
    SpawnDebris(p.x, p.y, p.z, 0.126f, life, kTrailSmoke, 160, speed, count);
    life = EyeRand() % 8 + 33;
    speed = 1.4f + 0.3f * EyeRandFraction();
    count = EyeRand() % 3 + 3;
    SpawnDebris(p.x, p.y, p.z, 0.146f, life, kTrailDust, 160, speed, count);
}
void MissileTank(Vec3 p) { MissileOnUnit(p, 0.8f); }
void MissileRobot(Vec3 p) { MissileOnUnit(p, 1.0f); }

void MissileWall(Vec3 p)
{
    SpawnBlast(p.x, p.y, p.z, 2.6f + 0.4f * EyeRandFraction(), 225, kLookSmoke, 1, 0);
    SpawnBurst(p.x, p.y + 0.6f, p.z, 2.8f + 0.3f * EyeRandFraction(), 180, kLookFire1, 1, 0);
    float speed = 1.4f + 0.3f * EyeRandFraction();
    int32_t count = EyeRand() % 2 + 3;
    SpawnDebris(p.x, p.y, p.z, 0.126f, 40, kTrailSmoke, 130, speed, count);
    speed = 1.4f + 0.3f * EyeRandFraction();
    count = EyeRand() % 2 + 3;
    SpawnDebris(p.x, p.y, p.z, 0.146f, 40, kTrailDust, 130, speed, count);
}

constexpr HitTest kShotOrder[5] = {HitTest::Ground, HitTest::Edge, HitTest::Tanks, HitTest::Robots, HitTest::Walls};

const ShotRules kShellRules = {
    {kShotOrder[0], kShotOrder[1], kShotOrder[2], kShotOrder[3], kShotOrder[4]},
    5, 100.0f, 3.0f, 5.0f, true, &Robot10Models.shellBox, HitReaction::Shell, HitReaction::Shell, 6, 8, -50,
    ShellGround, ShellEdge, ShellTank, ShellRobot, ShellWall, TankKilled, nullptr,
};

const ShotRules kMissileRules = {
    {kShotOrder[0], kShotOrder[1], kShotOrder[2], kShotOrder[3], kShotOrder[4]},
    5, 350.0f, 3.0f, 5.0f, true, &Robot10Models.parts[kD10Missile].box, HitReaction::Missile, HitReaction::Missile, 10, 9, -50,
    MissileGround, MissileEdge, MissileTank, MissileRobot, MissileWall, TankKilled, nullptr,
};

// The shadow effect's matrices for a part, then the draw.
void DrawWithEffect(ModelPart* part, const Mat4& w, float distance)
{
    gfx::EffectSetMatrix(ShadowEffect, "matWCP", w * ViewMatrix * ProjectionMatrix);
    gfx::EffectSetMatrix(ShadowEffect, "matWLP", w * LightViewMatrix * ProjectionMatrix);
    gfx::EffectSetMatrix(ShadowEffect, "matWLPT", w * LightViewMatrix * ProjectionMatrix * ShadowBias);
    gfx::EffectSetMatrix(ShadowEffect, "matW", w);
    gfx::EffectCommitChanges(ShadowEffect);
    DrawModelPartWithEffect(part, distance);
}

struct ShotVertex {
    float x, y, z;
    uint32_t colour;
    float u, v;
};
}  // namespace

void LoadRobot10()
{
    // A second load replaces the set instead of leaving the first behind.
    ReleaseRobot10();
    RobotModelSet& m = Robot10Models;
    LoadModelPart(Part(kD10Body), "LAND/D-ED.10/Body.x");
    LoadModelPart(Part(kD10Head), "LAND/D-ED.10/Head.x");
    LoadModelPart(Part(kD10Foot), "LAND/D-ED.10/Foot.x");
    LoadModelPart(Part(kD10LeftArm), "LAND/D-ED.10/LeftArm.x");
    LoadModelPart(Part(kD10RightArm), "LAND/D-ED.10/RightArm.x");
    LoadModelPart(Part(kD10LeftLeg), "LAND/D-ED.10/LeftLeg.x");
    LoadModelPart(Part(kD10RightLeg), "LAND/D-ED.10/RightLeg.x");
    for (int slot : {kD10Body, kD10Head, kD10Foot, kD10LeftArm, kD10RightArm, kD10LeftLeg, kD10RightLeg})
        (void)ComputeModelBox(Part(slot));  // an empty part keeps a zero box
    (void)LoadTexture(&m.streak, "LAND/D-ED.10/Cannon11.png", 16, 128, 0xFF000000);
    (void)LoadTexture(&m.glow, "LAND/D-ED.10/Cannon12.png", 64, 64, 0xFF000000);
    m.shellBox = OrientedBox{};
    m.shellBox.halfSize = {0.4f, 0.4f, 1.2f};
    LoadModelPart(Part(kD10Pod), "LAND/D-ED.10/weaponpart1.x");
    LoadModelPart(Part(kD10Missile), "LAND/D-ED.10/weaponpart2.x");
    (void)ComputeModelBox(Part(kD10Missile));
}

// Shots find a D-ED.10 by its upper body and its feet.
const RobotHitModels kRobot10HitModels = {&Robot10Models.parts[kD10Head], &Robot10Models.parts[kD10Foot]};

void ReleaseRobot10()
{
    for (ModelPart& p : Robot10Models.parts) ReleaseModelPart(&p);
    gfx::Release(Robot10Models.streak);
    gfx::Release(Robot10Models.glow);
}

void PoseRobot10(RobotUnit& r)
{
    if (r.alive) {
        // The head takes the body's position, raised, not its turn.
        Vec3 at = Position(r.World());
        r.partWorld[1] = MatRotationY(r.aimYaw * kDegToRad) * MatTranslation(at.x, at.y + 0.4f, at.z);
        if (r.weaponBusy == 1) r.fireTimer += 1;
        if (r.fireTimer > kRobot10FireFrames) r.weaponBusy = r.fireTimer = 0;
        Mat4 pitch = MatRotationX(r.aimPitch * kDegToRad);
        r.partWorld[3] = pitch * MatTranslation(-0.7f, 0.2f, 0) * r.partWorld[1];
        r.partWorld[4] = pitch * MatTranslation(0.7f, 0.2f, 0) * r.partWorld[1];
        r.partWorld[2] = pitch * r.partWorld[1];
        // The pods swing down when the missiles are taken and up when
        // they are put away; after a launch they swing up fast and come
        // down with fresh missiles.
        if (r.weapon == 1) {
            if (r.weaponSwap == 0) {
                r.podAngle -= 2;
                if (r.podAngle <= 0) r.podAngle = 0;
            } else {
                r.podAngle += 2;
                if (r.podAngle >= kRobot10PodsUp) {
                    r.podAngle = kRobot10PodsUp;
                    r.weapon = 0;
                }
            }
        }
        if (r.secondShotBusy == 1) {
            r.podAngle += 4;
            if (r.podAngle >= kRobot10PodsUp) r.secondShotBusy = 0;
        }
        float roll = static_cast<float>(r.podAngle) * kDegToRad;
        r.partWorld[9] = MatRotationZ(roll) * MatTranslation(-0.45f, 0.3f, 0.96f) * r.partWorld[3];
        r.partWorld[10] = MatRotationZ(-roll) * MatTranslation(0.45f, 0.3f, 0.96f) * r.partWorld[4];
    } else {
        // A wreck: the head and both arms fly off and tumble until they lie
        // on the ground.  Off the field there is no ground: height 0 there.
        static const int kFlying[3] = {1, 3, 4};
        for (int k = 0; k < 3; ++k) {
            Mat4& m = r.partWorld[kFlying[k]];
            float ground = 0.0f;
            (void)GroundHeight(m.m[3][0], 0, m.m[3][2], &ground);
            if (!(m.m[3][1] > ground + 0.5f)) continue;
            DebrisLaunch& d = r.debris[k];
            float v = d.speed, t = d.time;
            float tilt = static_cast<float>(d.tilt) * kDebrisRadians;
            float heading = static_cast<float>(d.heading) * kDebrisRadians;
            m.m[3][0] += std::sin(tilt) * v * t;
            m.m[3][1] += std::cos(tilt) * v * t - 5 * t * t;
            m.m[3][2] += std::sin(tilt) * v * std::sin(heading) * t;
            d.time += 0.018f;
            int32_t pitch = Rand() % 5 + 8;
            int32_t yaw = Rand() % 5 + 8;
            int32_t roll = Rand() % 5 + 8;
            m = MatRotationYawPitchRoll(yaw * kDegToRad, pitch * kDegToRad, roll * kDegToRad) * m;
        }
    }
    // The legs swing in opposite directions; each foot hangs tilted below
    // its leg, its sole on the ground.
    float swing = r.walkPhase * kDegToRad;
    r.partWorld[5] = MatRotationX(-swing) * MatTranslation(-0.85f, -0.05f, -0.4f) * r.World();
    r.partWorld[6] = MatRotationX(swing) * MatTranslation(0.85f, -0.05f, -0.4f) * r.World();
    Mat4 foot = MatRotationX(0.8552113f) * MatTranslation(0, -1, -0.4f);
    r.partWorld[7] = foot * r.partWorld[5];
    r.partWorld[8] = foot * r.partWorld[6];
}

void FireRobot10(RobotUnit& r, const Mat4& muzzle, int weapon)
{
    if (weapon == kRobotWeaponFirst) {
        (void)FireShot(r.shells, kShellSlots, muzzle, MatTranslation(0, -0.008f, 1.86f));
        return;
    }
    for (int i = 0; i < kMissileSlots; ++i) {
        if (r.missiles[i].state != kShotFree) continue;
        float speed = 1 + RandFraction() * 0.2f;
        int32_t spread = Rand() % 19 - 10;
        (void)FireShot(&r.missiles[i], 1, MatRotationX(spread * kDegToRad) * muzzle, MatTranslation(0, 0, speed));
        return;
    }
}

void UpdateRobot10Shots(RobotUnit& r, int slot)
{
    const Shooter me{false, slot};
    for (int i = 0; i < kShellSlots; ++i) {
        Projectile& s = r.shells[i];
        if (s.state != kShotActive) continue;
        s.world = s.step * s.world;
        RunHitTests(s, kShellRules, me);
    }
    // Missiles home on the tank locked last; an index outside the table
    // steers at the first tank.
    int target = r.lockTarget >= 0 && r.lockTarget < kMaxUnits ? r.lockTarget : 0;
    Vec3 at = Position(Tanks[target].world);
    for (int i = 0; i < kMissileSlots; ++i) {
        Projectile& m = r.missiles[i];
        if (m.state == kShotFree) continue;
        SteerMissile(m, at);
        Vec3 tail = Vec3TransformCoord({0, 0, -0.3f}, m.world);
        if (IsSphereInView(BattleFrustum, tail, 3.0f)) SpawnPuff(tail.x, tail.y, tail.z, 0.16f + 0.1f * EyeRandFraction(), 215, PuffKind::TrailSmoke);
        RunHitTests(m, kMissileRules, me);
    }
}

int Robot10Parts(const RobotUnit& r, bool depth, PlacedPart out[kMaxPlacedParts])
{
    int n = 0;
    auto add = [&](int slot, const Mat4& w) { out[n++] = {Part(slot), w}; };
    // The left arm and leg (the -x side) are the meshes named so, whatever
    // their slot numbers.
    add(kD10Body, r.World());
    add(kD10Head, r.partWorld[1]);
    add(kD10LeftArm, r.partWorld[3]);
    add(kD10RightArm, r.partWorld[4]);
    if (r.weapon == 1 && (r.alive || !depth)) {
        add(kD10Pod, r.partWorld[9]);
        add(kD10Pod, r.partWorld[10]);
        if (r.secondShotBusy == 0) {  // the missiles sit on the pods until launched
            add(kD10Missile, MatTranslation(0, 0.35f, 0) * r.partWorld[9]);
            add(kD10Missile, MatTranslation(0, 0.35f, 0) * r.partWorld[10]);
        }
    }
    add(kD10LeftLeg, r.partWorld[5]);
    add(kD10RightLeg, r.partWorld[6]);
    add(kD10Foot, r.partWorld[7]);
    add(kD10Foot, r.partWorld[8]);
    return n;
}

void DrawRobot10Depth(const RobotUnit& r)
{
    if (!ShadowEffect || !IsSphereInView(BattleFrustum, Position(r.World()), 2.5f) || !(r.cameraDistance < kShadowReach))
        return;
    PlacedPart parts[kMaxPlacedParts];
    int n = Robot10Parts(r, true, parts);
    uint32_t passes = 0;
    gfx::EffectBegin(ShadowEffect, &passes);
    gfx::EffectBeginPass(ShadowEffect, 0);
    for (int i = 0; i < n; ++i) {
        gfx::EffectSetMatrix(ShadowEffect, "matWLP", parts[i].world * LightViewMatrix * ProjectionMatrix);
        gfx::EffectCommitChanges(ShadowEffect);
        DrawModelPart(parts[i].part, 320.0f);  // shadows always from the reduced copy
    }
    gfx::EffectEndPass(ShadowEffect);
    gfx::EffectEnd(ShadowEffect);
}

void DrawRobot10(const RobotUnit& r)
{
    if (!IsSphereInView(BattleFrustum, Position(r.World()), 1.5f)) return;
    PlacedPart parts[kMaxPlacedParts];
    if (r.shakeCode == HitReaction::FrozenByIce && BattleEffect) {
        DrawFrozenParts(parts, Robot10Parts(r, false, parts), r.cameraDistance);
        return;
    }
    if (r.cameraDistance < kNearDraw && ShadowEffect) {
        // Near: lit and shadowed by the shadow effect.  Fog stays on, as for
        // the near ground: the effect fogs from the device's fog state, so a
        // robot and the ground it stands on fade alike.
        int n = Robot10Parts(r, true, parts);
        gfx::SetRenderState(gfx::RS_ALPHABLENDENABLE, 0);
        uint32_t passes = 0;
        gfx::EffectBegin(ShadowEffect, &passes);
        gfx::EffectBeginPass(ShadowEffect, 0);
        for (int i = 0; i < n; ++i) DrawWithEffect(parts[i].part, parts[i].world, r.cameraDistance);
        gfx::EffectEndPass(ShadowEffect);
        gfx::EffectEnd(ShadowEffect);
        gfx::SetRenderState(gfx::RS_ALPHABLENDENABLE, 1);
        return;
    }
    int n = Robot10Parts(r, false, parts);
    for (int i = 0; i < n; ++i) {
        gfx::SetTransform(gfx::TS_WORLD, parts[i].world);
        DrawModelPart(parts[i].part, r.cameraDistance);
    }
}

void DrawRobot10Shells(const RobotUnit& r)
{
    gfx::SetFVF(gfx::FVF_XYZ | gfx::FVF_DIFFUSE | gfx::FVF_TEX1);
    for (int i = 0; i < kShellSlots; ++i) {
        const Projectile& s = r.shells[i];
        Vec3 p = Position(s.world);
        if (s.state != kShotActive || !IsSphereInView(BattleFrustum, p, 3.0f)) continue;
        gfx::SetTransform(gfx::TS_WORLD, s.world);
        // The streak turns its face to the camera: its sides move out along
        // the direction across both the line of sight and the flight.
        Vec3 row[3];
        for (int k = 0; k < 3; ++k) row[k] = Vec3Normalize({s.world.m[k][0], s.world.m[k][1], s.world.m[k][2]});
        Vec3 across = Vec3Cross(Vec3Normalize(CameraEye - p), row[2]) * 0.1f;
        Vec3 w{Vec3Dot(across, row[0]), Vec3Dot(across, row[1]), Vec3Dot(across, row[2])};  // in the shell's frame
        const uint32_t white = 0xFFFFFFFF;
        ShotVertex streak[4] = {
            {-0.3f - w.x, -w.y, -1.4f - w.z, white, 0, 1},
            {0.3f + w.x, w.y, -1.4f + w.z, white, 1, 1},
            {0.3f + w.x, w.y, 1.4f + w.z, white, 1, 0},
            {-0.3f - w.x, -w.y, 1.4f - w.z, white, 0, 0},
        };
        gfx::SetTexture(0, Robot10Models.streak);
        gfx::DrawPrimitiveUP(gfx::PT_TRIANGLEFAN, 2, streak, sizeof(ShotVertex));
        ShotVertex glow[4] = {
            {-0.2f, 0.2f, 0, white, 0, 0},
            {0.2f, 0.2f, 0, white, 1, 0},
            {0.2f, -0.2f, 0, white, 1, 1},
            {-0.2f, -0.2f, 0, white, 0, 1},
        };
        gfx::SetTexture(0, Robot10Models.glow);
        gfx::DrawPrimitiveUP(gfx::PT_TRIANGLEFAN, 2, glow, sizeof(ShotVertex));
    }
}

void DrawRobot10Missiles(const RobotUnit& r)
{
    for (int i = 0; i < kMissileSlots; ++i) {
        const Projectile& m = r.missiles[i];
        Vec3 p = Position(m.world);
        if (m.state == kShotFree || !IsSphereInView(BattleFrustum, p, 2.0f)) continue;
        gfx::SetTransform(gfx::TS_WORLD, m.world);
        DrawModelPart(Part(kD10Missile), PointDistance(p, CameraEye));
    }
}

// Its row of the robot kinds' table.
RobotKind Ded10Kind()
{
    RobotKind row = {
        .kind = kRobotDed10,
        .name = "D-ED.10",
        .fights = true,
        .maxSpeed = 0.3f,
        .acceleration = 0.12f,
        .groundClearance = 2.2f,
        .stepLimit = 30,
        .stepRate = 3,
        .boxSize = {1.2f, 0, 1.6f},
        .setsPods = true,
        .podAngle = kRobot10PodsUp,
        .podSlide = 0,
        .hasLookAt = true,
        .lookAtHeight = 1.8f,
        .cameraEye = {0, 2.6f, -5.0f},
        .crosshairFirst = Crosshair::RobotGun,
        .crosshairSecond = Crosshair::RobotMissile,
        .previewShift = {0, 0, 0},
        .arms = {kArmsAlternate, {{-0.4f, 0, 1.9f}, {0.4f, 0, 1.9f}}},
        .pods = {1, {{0, 0.5f, 0.08f}}},
        .firstWeaponReach = 30.0f,
        .hitModels = &kRobot10HitModels,
        .loaded = 0,
        .load = LoadRobot10,
        .release = ReleaseRobot10,
        .pose = PoseRobot10,
        .fire = FireRobot10,
        .updateShots = UpdateRobot10Shots,
        .draw = DrawRobot10,
        .drawShots = DrawRobot10Missiles,
        .drawAdditive = DrawRobot10Shells,
        .drawDepth = DrawRobot10Depth,
    };
    return row;
}
