// The R-NO.15 robot (kind 102): its model set, the pose of its parts (a
// turning torso, two gun arms with a weapon pod in a bay on each, swinging
// reverse-jointed legs, and a wreck whose torso and arms fly off), its ice
// shots that freeze what they strike, its cannon volleys, and its draws in
// the depth pass, the scene pass (lit, or icy while frozen), the lit shots
// pass and the additive pass.
#include <algorithm>
#include <cmath>

#include "services/device.h"
#include "records/state.h"
#include "effects/particles.h"
#include "effects/projectiles.h"
#include "collision/collision.h"
#include "world/ground.h"
#include "platform/crt_rand.h"
#include "units/robots/robot_kinds.h"
#include "units/unit_draw.h"

RobotModelSet Robot15Models;

namespace {
constexpr int kIceSlots = 30;              // of the robot's 60 first-weapon slots
constexpr int kCannonSlots = 50;           // of its 120 second-weapon slots
constexpr float kSlideStep = 0.023f;       // the pods' slide a frame
constexpr int32_t kPitchStep = 4;          // the pods' pitch a frame, degrees
constexpr float kDebrisRadians = 0.0174f;  // a wreck's flying parts turn degrees with this
constexpr float kShadowReach = 15.0f;      // robots nearer the camera cast shadows
constexpr float kNearDraw = 100.0f;        // nearer: drawn with the shadow effect

ModelPart* Part(int slot) { return &Robot15Models.parts[slot]; }

// --- ice shots: what they leave where they strike ---------------------------------------
void IceGround(Vec3 p) { SpawnGroundMark(p.x, p.y, p.z, 3.2f + 1.4f * EyeRandFraction()); }
void IceEdge(Vec3 p) { SpawnIce(p.x, p.y, p.z, 1.0f, EyeRand() % 4 + 6); }
void IceTank(Vec3 p) { SpawnIce(p.x, p.y, p.z, 0.5f, EyeRand() % 3 + 3); }
void IceShatters(Vec3 p) { SpawnIce(p.x, p.y, p.z, 1.0f, EyeRand() % 3 + 3); }  // on a robot or a wall

// A tank blown up by either weapon, at its position.
void TankKilled(Vec3 t) { SpawnKillExplosion(t, 2.6f, 0.6f); }

// --- cannon shots: each draws its random numbers in argument order -----------------------
// Two showers of debris, one trailing smoke and one dust.
void CannonDebris(Vec3 p, float smokeSize, float dustSize, int32_t life, int32_t spread, float speedBase,
                  float speedRange)
{
    float speed = speedBase + speedRange * EyeRandFraction();
    int32_t count = EyeRand() % 3 + 1;
    SpawnDebris(p.x, p.y, p.z, smokeSize, life, kTrailSmoke, spread, speed, count);
    speed = speedBase + speedRange * EyeRandFraction();
    count = EyeRand() % 3 + 1;
    SpawnDebris(p.x, p.y, p.z, dustSize, life, kTrailDust, spread, speed, count);
}

void CannonGround(Vec3 p)
{
    SpawnBurst(p.x, p.y + 1, p.z, 1.4f + 0.4f * EyeRandFraction(), 60, kLookFire1, 1, 2);
    CannonDebris(p, 0.056f, 0.066f, 38, 23, 1.3f, 0.3f);
}

void CannonEdge(Vec3 p) { SpawnBlast(p.x, p.y, p.z, 1.6f + 0.2f * EyeRandFraction(), 180, kLookFire1, 1, 3); }

void CannonTank(Vec3 p)
{
    SpawnBlast(p.x, p.y, p.z, 0.6f + 0.2f * EyeRandFraction(), 220, kLookSmoke, 1, 3);
    SpawnBurst(p.x, p.y + 0.8f, p.z, 0.8f + 0.2f * EyeRandFraction(), 100, kLookFire1, 1, 2);
    CannonDebris(p, 0.068f, 0.076f, 32, 160, 1.4f, 0.2f);
}

void CannonRobot(Vec3 p)
{
    SpawnBlast(p.x, p.y, p.z, 0.4f + 0.2f * EyeRandFraction(), 160, kLookSmoke, 1, 3);
    SpawnBurst(p.x, p.y + 1, p.z, 0.6f + 0.2f * EyeRandFraction(), 100, kLookFire1, 1, 2);
    CannonDebris(p, 0.068f, 0.076f, 36, 160, 1.4f, 0.2f);
}

void CannonWall(Vec3 p)
{
    SpawnBlast(p.x, p.y, p.z, 0.6f + 0.2f * EyeRandFraction(), 220, kLookSmoke, 1, 3);
    SpawnBurst(p.x, p.y + 0.8f, p.z, 0.8f + 0.2f * EyeRandFraction(), 100, kLookFire1, 1, 2);
    CannonDebris(p, 0.076f, 0.076f, 32, 130, 1.4f, 0.2f);
}

constexpr HitTest kShotOrder[5] = {HitTest::Ground, HitTest::Edge, HitTest::Tanks, HitTest::Robots, HitTest::Walls};

// An ice shot freezes what it strikes and chips 1 to 3 points off a tank.
const ShotRules kIceRules = {
    {kShotOrder[0], kShotOrder[1], kShotOrder[2], kShotOrder[3], kShotOrder[4]},
    5, 100.0f, 3.0f, 5.0f, true, &Robot15Models.parts[kR15IceShot].box, HitReaction::FrozenByIce,
    HitReaction::FrozenByIce, 1, 3, -66,
    IceGround, IceEdge, IceTank, IceShatters, IceShatters, TankKilled, nullptr,
};

// A cannon shot takes 3 to 5 points.
const ShotRules kCannonRules = {
    {kShotOrder[0], kShotOrder[1], kShotOrder[2], kShotOrder[3], kShotOrder[4]},
    5, 350.0f, 3.0f, 5.0f, true, &Robot15Models.shellBox, HitReaction::Shell, HitReaction::Shell, 3, 3, -50,
    CannonGround, CannonEdge, CannonTank, CannonRobot, CannonWall, TankKilled, nullptr,
};

// Where the torso stands: on the base, raised, turned by the aim.
Mat4 TorsoWorld(const RobotUnit& r)
{
    const Mat4& w = r.World();
    return MatRotationY(r.aimYaw * kDegToRad) * MatTranslation(w.m[3][0], w.m[3][1] + 0.35f, w.m[3][2]);
}

// A wreck's torso and arms fly off and tumble until they lie on the ground.
// Off the field there is no ground: height 0 there.
void FlyApart(RobotUnit& r)
{
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

// The pods come out of their bays (slide up, then pitch their barrels down
// to the front) when the cannon is taken, and go back the other way when it
// is put away; the cannon is out of hand once they are in.  After a volley
// the pods wait out their recoil.
void MovePods(RobotUnit& r)
{
    if (r.weapon == 1) {
        if (r.weaponSwap == 0) {
            if (r.podSlide < 0) {
                r.podSlide += kSlideStep;
                if (!(r.podSlide < 0)) r.podSlide = 0;
            } else {
                r.podSlide = 0;
                r.podAngle = std::min(r.podAngle + kPitchStep, kRobot15PodsOut);
            }
        } else if (r.podAngle > kRobot15PodsIn) {
            r.podAngle -= kPitchStep;
            if (r.podAngle <= kRobot15PodsIn) r.podAngle = kRobot15PodsIn;
        } else {
            r.podAngle = kRobot15PodsIn;
            r.podSlide -= kSlideStep;
            if (r.podSlide <= kRobot15SlideIn) {
                r.podSlide = kRobot15SlideIn;
                r.weapon = 0;
            }
        }
    }
    if (r.secondShotBusy == 1) {
        r.podRecoil += 1;
        if (r.podRecoil > kRobot15RecoilFrames) r.secondShotBusy = r.podRecoil = 0;
    }
}

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

// Shots find an R-NO.15 by its torso and its feet.
const RobotHitModels kRobot15HitModels = {&Robot15Models.parts[kR15Head], &Robot15Models.parts[kR15Foot]};

void LoadRobot15()
{
    // A second load replaces the set instead of leaving the first behind.
    ReleaseRobot15();
    RobotModelSet& m = Robot15Models;
    LoadModelPart(Part(kR15Body), "LAND/R-NO.15/body.x");
    LoadModelPart(Part(kR15Head), "LAND/R-NO.15/head.x");
    LoadModelPart(Part(kR15Foot), "LAND/R-NO.15/foot.x");
    LoadModelPart(Part(kR15LeftArm), "LAND/R-NO.15/leftarm.x");
    LoadModelPart(Part(kR15RightArm), "LAND/R-NO.15/rightarm.x");
    LoadModelPart(Part(kR15LeftLeg), "LAND/R-NO.15/leftleg.x");
    LoadModelPart(Part(kR15RightLeg), "LAND/R-NO.15/rightleg.x");
    LoadModelPart(Part(kR15Pod), "LAND/R-NO.15/weapon.x");
    for (int slot : {kR15Head, kR15Foot}) (void)ComputeModelBox(Part(slot));  // an empty part keeps a zero box
    (void)LoadTexture(&m.glow, "LAND/R-NO.15/Cannon0.png", 64, 64, 0xFF000000);
    (void)LoadTexture(&m.streak, "LAND/R-NO.15/Cannon1.bmp", 16, 64, 0xFF000000);
    m.shellBox = OrientedBox{};
    m.shellBox.halfSize = {0.2f, 0.2f, 1.0f};
    LoadModelPart(Part(kR15IceShot), "LAND/R-NO.15/tama03.x");
    (void)ComputeModelBox(Part(kR15IceShot));
}

void ReleaseRobot15()
{
    for (ModelPart& p : Robot15Models.parts) {
        ReleaseModelPart(&p);
        p.box = OrientedBox{};
    }
    gfx::Release(Robot15Models.streak);
    gfx::Release(Robot15Models.glow);
}

void PoseRobot15(RobotUnit& r)
{
    if (r.alive) {
        // The torso takes the base's position, raised, not its turn.
        r.partWorld[1] = TorsoWorld(r);
        if (!paused) {
            if (r.weaponBusy == 1) r.fireTimer += 1;
            if (r.fireTimer > kRobot15FireFrames) r.weaponBusy = r.fireTimer = 0;
        }
        Mat4 pitch = MatRotationX(r.aimPitch * kDegToRad);
        r.partWorld[3] = pitch * MatTranslation(-1.06f, 0.67f, 0) * r.partWorld[1];
        r.partWorld[4] = pitch * MatTranslation(1.06f, 0.67f, 0) * r.partWorld[1];
        r.partWorld[2] = pitch * r.partWorld[1];
        if (!paused) MovePods(r);
        // Each pod sits in the inner bay of its arm; a wreck's pods stay
        // where they were when it fell.
        Mat4 podPitch = MatRotationX(static_cast<float>(r.podAngle) * kDegToRad);
        r.partWorld[9] = podPitch * MatTranslation(0.2f, r.podSlide, 0) * r.partWorld[3];
        r.partWorld[10] = podPitch * MatTranslation(-0.2f, r.podSlide, 0) * r.partWorld[4];
    } else {
        FlyApart(r);
    }
    // The legs swing in opposite directions; the shins hang from the knees.
    float swing = r.walkPhase * kDegToRad;
    r.partWorld[5] = MatRotationX(-swing) * MatTranslation(-0.53f, -0.1f, 0.2f) * r.World();
    r.partWorld[6] = MatRotationX(swing) * MatTranslation(0.53f, -0.1f, 0.2f) * r.World();
    r.partWorld[7] = MatTranslation(-0.4f, -0.65f, -0.7f) * r.partWorld[5];
    r.partWorld[8] = MatTranslation(0.4f, -0.65f, -0.7f) * r.partWorld[6];
}

void FireRobot15(RobotUnit& r, const Mat4& muzzle, int weapon)
{
    if (weapon == kRobotWeaponFirst) {
        (void)FireShot(r.shells, kIceSlots, muzzle, MatTranslation(0, -0.016f, 1.66f));
        return;
    }
    // The pods were placed with the torso before the robot walked and
    // turned this step; the volley leaves from where they are now, or it
    // would start inside the robot's own body and strike it.
    Mat4 placedWith;
    Mat4 now = muzzle;
    if (MatInverse(&placedWith, r.partWorld[1])) now = muzzle * placedWith * TorsoWorld(r);
    (void)FireShot(r.missiles, kCannonSlots, now, MatTranslation(0, -0.026f, 1.1f));
}

void UpdateRobot15Shots(RobotUnit& r, int slot)
{
    const Shooter me{false, slot};
    // Ice shots spin as they fly and leave a trail of frost.
    for (int i = 0; i < kIceSlots; ++i) {
        Projectile& s = r.shells[i];
        if (s.state != kShotActive) continue;
        int32_t spin = Rand() % 22 - 3;
        s.world = MatRotationZ(static_cast<float>(spin) * kDegToRad) * s.step * s.world;
        Vec3 p = Position(s.world);
        if (IsSphereInView(BattleFrustum, p, 3.0f)) SpawnPuff(p.x, p.y, p.z, 0.06f + 0.06f * EyeRandFraction(), 250, PuffKind::Ice);
        RunHitTests(s, kIceRules, me);
    }
    // A cannon shot jolts a tank only if nothing else is shaking it: a tank
    // already reacting to a hit (frozen, shaken, blown up) keeps that.
    HitReaction before[kMaxUnits];
    for (int i = 0; i < kCannonSlots; ++i) {
        Projectile& c = r.missiles[i];
        if (c.state != kShotActive) continue;
        c.world = c.step * c.world;
        for (int t = 0; t < EarthCount; ++t) before[t] = Tanks[t].shakeCode;
        RunHitTests(c, kCannonRules, me);
        for (int t = 0; t < EarthCount; ++t)
            if (before[t] != HitReaction::None && Tanks[t].shakeCode == HitReaction::Shell) Tanks[t].shakeCode = before[t];
    }
}

int Robot15Parts(const RobotUnit& r, bool depth, PlacedPart out[kMaxPlacedParts])
{
    int n = 0;
    auto add = [&](int slot, const Mat4& w) { out[n++] = {Part(slot), w}; };
    // The left arm and leg (the -x side) are the meshes named so, whatever
    // their slot numbers.
    add(kR15Body, r.World());
    add(kR15Head, r.partWorld[1]);
    add(kR15LeftArm, r.partWorld[3]);
    add(kR15RightArm, r.partWorld[4]);
    if (r.weapon == 1 && (r.alive || !depth)) {  // the pods show while the cannon is in hand
        add(kR15Pod, r.partWorld[9]);
        add(kR15Pod, r.partWorld[10]);
    }
    add(kR15LeftLeg, r.partWorld[5]);
    add(kR15RightLeg, r.partWorld[6]);
    add(kR15Foot, r.partWorld[7]);
    add(kR15Foot, r.partWorld[8]);
    return n;
}

void DrawRobot15Depth(const RobotUnit& r)
{
    if (!ShadowEffect || !IsSphereInView(BattleFrustum, Position(r.World()), 2.5f) || !(r.cameraDistance < kShadowReach))
        return;
    PlacedPart parts[kMaxPlacedParts];
    int n = Robot15Parts(r, true, parts);
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

void DrawRobot15(const RobotUnit& r)
{
    if (!IsSphereInView(BattleFrustum, Position(r.World()), 1.5f)) return;
    PlacedPart parts[kMaxPlacedParts];
    if (r.shakeCode == HitReaction::FrozenByIce && BattleEffect) {
        int n = Robot15Parts(r, false, parts);
        DrawFrozenParts(parts, n, r.cameraDistance);
        return;
    }
    if (r.cameraDistance < kNearDraw && ShadowEffect) {
        // Near: lit and shadowed by the shadow effect, fogged as the ground is.
        int n = Robot15Parts(r, true, parts);
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
    int n = Robot15Parts(r, false, parts);
    for (int i = 0; i < n; ++i) {
        gfx::SetTransform(gfx::TS_WORLD, parts[i].world);
        DrawModelPart(parts[i].part, r.cameraDistance);
    }
}

// Camera-facing quads of the additive pass: no normals, no lighting.
void DrawRobot15Cannon(const RobotUnit& r)
{
    gfx::SetFVF(gfx::FVF_XYZ | gfx::FVF_DIFFUSE | gfx::FVF_TEX1);
    for (int i = 0; i < kCannonSlots; ++i) {
        const Projectile& s = r.missiles[i];
        Vec3 p = Position(s.world);
        if (s.state != kShotActive || !IsSphereInView(BattleFrustum, p, 3.0f)) continue;
        gfx::SetTransform(gfx::TS_WORLD, s.world);
        // The streak turns its face to the camera: its sides move out along
        // the direction across both the line of sight and the flight.
        Vec3 row[3];
        for (int k = 0; k < 3; ++k) row[k] = Vec3Normalize({s.world.m[k][0], s.world.m[k][1], s.world.m[k][2]});
        Vec3 across = Vec3Cross(Vec3Normalize(CameraEye - p), row[2]) * 0.1f;
        Vec3 w{Vec3Dot(across, row[0]), Vec3Dot(across, row[1]), Vec3Dot(across, row[2])};  // in the shot's frame
        const uint32_t streakColour = 0xA6FFFFFF, white = 0xFFFFFFFF;
        constexpr float kHalf = 0.14f, kLength = 3.2f, kGlow = 0.12f;
        ShotVertex streak[4] = {
            {-kHalf - w.x, -w.y, -kLength - w.z, streakColour, 0, 1},
            {kHalf + w.x, w.y, -kLength + w.z, streakColour, 1, 1},
            {kHalf + w.x, w.y, kLength + w.z, streakColour, 1, 0},
            {-kHalf - w.x, -w.y, kLength - w.z, streakColour, 0, 0},
        };
        gfx::SetTexture(0, Robot15Models.streak);
        gfx::DrawPrimitiveUP(gfx::PT_TRIANGLEFAN, 2, streak, sizeof(ShotVertex));
        ShotVertex glow[4] = {
            {-kGlow, kGlow, 0, white, 0, 0},
            {kGlow, kGlow, 0, white, 1, 0},
            {kGlow, -kGlow, 0, white, 1, 1},
            {-kGlow, -kGlow, 0, white, 0, 1},
        };
        gfx::SetTexture(0, Robot15Models.glow);
        gfx::DrawPrimitiveUP(gfx::PT_TRIANGLEFAN, 2, glow, sizeof(ShotVertex));
    }
}

// The ice shots are meshes, lit with the units.
void DrawRobot15IceShots(const RobotUnit& r)
{
    for (int i = 0; i < kIceSlots; ++i) {
        const Projectile& s = r.shells[i];
        Vec3 p = Position(s.world);
        if (s.state != kShotActive || !IsSphereInView(BattleFrustum, p, 2.0f)) continue;
        gfx::SetTransform(gfx::TS_WORLD, s.world);
        DrawModelPart(Part(kR15IceShot), PointDistance(p, CameraEye));
    }
}

// Its row of the robot kinds' table.
RobotKind Rno15Kind()
{
    RobotKind row = {
        .kind = kRobotRno15,
        .name = "R-NO.15",
        .fights = true,
        .maxSpeed = 0.28f,
        .acceleration = 0.118f,
        .groundClearance = 2.46f,
        .stepLimit = 42,
        .stepRate = 4.8f,
        .boxSize = {1.2f, 0, 1.6f},
        .setsPods = true,
        .podAngle = kRobot15PodsIn,
        .podSlide = kRobot15SlideIn,
        .hasLookAt = true,
        .lookAtHeight = 1.6f,
        .cameraEye = {0, 2.6f, -6.0f},
        .crosshairFirst = Crosshair::RobotGun,
        // The volley waits for a lock, as the D-ED.10's missiles do: the
        // lock sight shows the box a tank must stand in and the lock on it.
        .crosshairSecond = Crosshair::RobotMissile,
        .previewShift = {0, 0.15f, 0},
        .arms = {kArmsAlternate, {{-0.3f, -0.6f, 2.4f}, {0.3f, -0.6f, 2.4f}}},
        .pods = {4, {{-0.12f, 0.08f, 0.9f}, {0.12f, 0.08f, 0.9f}, {-0.12f, -0.08f, 0.9f}, {0.12f, -0.08f, 0.9f}}},
        .firstWeaponReach = 0,
        .hitModels = &kRobot15HitModels,
        .loaded = 0,
        .load = LoadRobot15,
        .release = ReleaseRobot15,
        .pose = PoseRobot15,
        .fire = FireRobot15,
        .updateShots = UpdateRobot15Shots,
        .draw = DrawRobot15,
        .drawShots = DrawRobot15IceShots,
        .drawAdditive = DrawRobot15Cannon,
        .drawDepth = DrawRobot15Depth,
    };
    return row;
}
