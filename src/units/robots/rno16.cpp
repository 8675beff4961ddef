// The R-NO.16 robot (kind 103), a heavy walker with a mortar on each arm
// and a weapon pod beside each, on long legs whose knees reach forward.
// Its model set, the pose of its parts, the pods coming out and going in,
// its mortar shells that arc down onto their targets, and its draws.  It is
// only looked at on the select screen; its routines are whole all the same.
#include <algorithm>

#include "records/state.h"
#include "effects/particles.h"
#include "effects/projectiles.h"
#include "world/ground.h"
#include "platform/crt_rand.h"
#include "units/robots/robot_kinds.h"

RobotModelSet Robot16Models;

namespace {
constexpr int kMortarSlots = 30;           // of the robot's 60 first-weapon slots
constexpr float kShellDip = 0.0010471975f;  // radians a frame the shell's nose drops (0.06 degrees)
constexpr float kPartRadius = 1.5f;        // each part is drawn while this sphere round it is in view
constexpr float kPodsRadius = 3.5f;        // the pods while this sphere round the robot is
constexpr int32_t kPodTurn = 2;            // the pods' roll a frame, degrees
constexpr float kPodSlideStep = 0.015f;    // the pods' slide a frame
constexpr float kForwardSwing = 2.3f;      // a leg swings this much farther forward than back

ModelPart* Part(int slot) { return &Robot16Models.parts[slot]; }

void DrawPart(const RobotUnit& r, int slot, const Mat4& w)
{
    if (!IsSphereInView(BattleFrustum, Position(w), kPartRadius)) return;
    gfx::SetTransform(gfx::TS_WORLD, w);
    DrawModelPart(Part(slot), r.cameraDistance);
}

// --- mortar shells: each effect draws its random numbers in argument order ---------------
void MortarGround(Vec3 p)
{
    SpawnBlast(p.x, p.y + 1, p.z, 4.6f + 2.2f * EyeRandFraction(), 255, kLookFire2, 1, 1);
    SpawnBurst(p.x, p.y + 1, p.z, 4.6f + 2.2f * EyeRandFraction(), 200, kLookFire2, 5, 1);
}

void MortarOnUnit(Vec3 p)
{
    SpawnBlast(p.x, p.y, p.z, 1.6f + 0.4f * EyeRandFraction(), 160, kLookFire1, 3, 3);
    SpawnBurst(p.x, p.y + 0.6f, p.z, 0.8f + 1.1f * EyeRandFraction(), 100, kLookFire1, 3, 2);
}

void MortarEdge(Vec3 p) { SpawnBlast(p.x, p.y, p.z, 2.0f + 1.0f * EyeRandFraction(), 200, kLookFire1, 1, 3); }

void TankKilled(Vec3 t)
{
    float size = 2.8f + 0.4f * EyeRandFraction();
    SpawnBlast(t.x, t.y, t.z, size, 255, EyeRand() % 2 + 1, 3, 2);
}

// A mortar shell takes 18 to 30 points from a tank and jolts what it
// strikes; it leaves the field upward at 80.
const ShotRules kMortarRules = {
    {HitTest::Ground, HitTest::Tanks, HitTest::Robots, HitTest::Edge, HitTest::Walls},
    4, 80.0f, 3.0f, 0.0f, true, &Robot16Models.parts[kR16Shell].box, HitReaction::TankShell,
    HitReaction::TankShell, 18, 13, -25,
    MortarGround, MortarEdge, MortarOnUnit, MortarOnUnit, nullptr, TankKilled, nullptr,
};

// The pods come out (rolling down and sliding forward together) when the
// second weapon is taken and go back when it is put away; it is out of
// hand once they are in.  After a volley the pods wait out their recoil.
void MovePods(RobotUnit& r)
{
    if (r.weapon == 1) {
        if (r.weaponSwap == 0) {
            r.podAngle = std::min(r.podAngle + kPodTurn, kRobot16PodsOut);
            r.podSlide = std::min(r.podSlide + kPodSlideStep, 0.0f);
        } else {
            r.podSlide = std::max(r.podSlide - kPodSlideStep, kRobot16SlideIn);
            r.podAngle -= kPodTurn;
            if (r.podAngle <= kRobot16PodsIn) {
                r.podAngle = kRobot16PodsIn;
                r.weapon = 0;
            }
        }
    }
    if (r.secondShotBusy == 1) {
        r.podRecoil += 1;
        if (r.podRecoil > kRobot16RecoilFrames) r.secondShotBusy = r.podRecoil = 0;
    }
}
}  // namespace

// Shots find an R-NO.16 by its upper hull and its feet.
const RobotHitModels kRobot16HitModels = {&Robot16Models.parts[kR16Head], &Robot16Models.parts[kR16RightFoot]};

void LoadRobot16()
{
    ReleaseRobot16();
    LoadModelPart(Part(kR16Body), "LAND/R-NO.16/body.x");
    LoadModelPart(Part(kR16Head), "LAND/R-NO.16/head.x");
    LoadModelPart(Part(kR16Leg), "LAND/R-NO.16/leg.x");
    LoadModelPart(Part(kR16LeftArm), "LAND/R-NO.16/leftarm.x");
    LoadModelPart(Part(kR16RightArm), "LAND/R-NO.16/rightarm.x");
    LoadModelPart(Part(kR16LeftFoot), "LAND/R-NO.16/leftfoot.x");
    LoadModelPart(Part(kR16RightFoot), "LAND/R-NO.16/rightfoot.x");
    // The feet's hit box is a foot's own: the leg's would sit at the feet.
    for (int slot : {kR16Head, kR16Leg, kR16RightFoot}) (void)ComputeModelBox(Part(slot));
    LoadModelPart(Part(kR16Pod), "LAND/R-NO.16/weapon1.x");
    LoadModelPart(Part(kR16PodBarrel), "LAND/R-NO.16/weapon2.x");
    LoadModelPart(Part(kR16Shell), "LAND/R-NO.16/tama.x");
    (void)ComputeModelBox(Part(kR16Shell));
}

void ReleaseRobot16()
{
    for (ModelPart& p : Robot16Models.parts) {
        ReleaseModelPart(&p);
        p.box = OrientedBox{};
    }
}

void PoseRobot16(RobotUnit& r)
{
    if (r.alive) {
        // The upper hull takes the base's position, raised, not its turn.
        const Vec3 at = Position(r.World());
        r.partWorld[1] = MatRotationY(r.aimYaw * kDegToRad) * MatTranslation(at.x, at.y + 0.23f, at.z);
        if (!paused) {
            if (r.weaponBusy == 1) r.fireTimer += 1;
            if (r.fireTimer > kRobot16FireFrames) r.weaponBusy = r.fireTimer = 0;
        }
        const Mat4 pitch = MatRotationX(r.aimPitch * kDegToRad);
        r.partWorld[3] = pitch * MatTranslation(-1.06f, 1.47f, 0.28f) * r.partWorld[1];
        r.partWorld[4] = pitch * MatTranslation(1.06f, 1.47f, 0.28f) * r.partWorld[1];
        r.partWorld[2] = pitch * r.partWorld[1];
        if (!paused) MovePods(r);
        const Mat4 roll = MatRotationZ(static_cast<float>(r.podAngle) * kDegToRad);
        r.partWorld[9] = roll * MatTranslation(-0.92f, -1.1f, r.podSlide + 0.78f) * r.partWorld[3];
        r.partWorld[10] = roll * MatTranslation(0.92f, -1.1f, r.podSlide + 0.78f) * r.partWorld[4];
    }
    // Each leg swings 2.3 times as far forward as back.
    const float left = -r.walkPhase > 0 ? -r.walkPhase * kForwardSwing : -r.walkPhase;
    const float right = r.walkPhase > 0 ? r.walkPhase * kForwardSwing : r.walkPhase;
    r.partWorld[5] = MatRotationX(left * kDegToRad) * MatTranslation(-1.05f, 0.08f, 0.05f) * r.World();
    r.partWorld[6] = MatRotationX(right * kDegToRad) * MatTranslation(1.05f, 0.08f, 0.05f) * r.World();
    r.partWorld[7] = MatTranslation(-0.08f, -0.7f, 1.13f) * r.partWorld[5];
    r.partWorld[8] = MatTranslation(0.08f, -0.7f, 1.13f) * r.partWorld[6];
}

void DrawRobot16(const RobotUnit& r)
{
    // A wreck is its legs and feet.
    if (r.alive) {
        DrawPart(r, kR16Body, r.World());
        DrawPart(r, kR16Head, r.partWorld[1]);
        DrawPart(r, kR16LeftArm, r.partWorld[3]);
        DrawPart(r, kR16RightArm, r.partWorld[4]);
        if (r.weapon == 1 && IsSphereInView(BattleFrustum, Position(r.World()), kPodsRadius)) {
            for (int pod : {9, 10}) {
                DrawPart(r, kR16Pod, r.partWorld[pod]);
                DrawPart(r, kR16PodBarrel, MatTranslation(-0.09f, 0.03f, 0) * r.partWorld[pod]);
            }
        }
    }
    DrawPart(r, kR16Leg, r.partWorld[5]);
    DrawPart(r, kR16Leg, r.partWorld[6]);
    DrawPart(r, kR16LeftFoot, r.partWorld[7]);
    DrawPart(r, kR16RightFoot, r.partWorld[8]);
}

void FireRobot16(RobotUnit& r, const Mat4& muzzle, int)
{
    (void)FireShot(r.shells, kMortarSlots, muzzle, MatTranslation(0, 0, 2.4f));
}

void UpdateRobot16Shots(RobotUnit& r, int slot)
{
    const Shooter me{false, slot};
    for (int i = 0; i < kMortarSlots; ++i) {
        Projectile& s = r.shells[i];
        if (s.state != kShotActive) continue;
        // The nose dips a little every frame: the shell flies an arc.
        s.world = MatRotationX(kShellDip) * s.step * s.world;
        const Vec3 smoke = Vec3TransformCoord({0, 0, -0.16f}, s.world);
        SpawnPuff(smoke.x, smoke.y, smoke.z, 0.18f, 150, PuffKind::GunSmoke);
        RunHitTests(s, kMortarRules, me);
    }
}

void DrawRobot16Shells(const RobotUnit& r)
{
    for (int i = 0; i < kMortarSlots; ++i) {
        const Projectile& s = r.shells[i];
        const Vec3 p = Position(s.world);
        if (s.state != kShotActive || !IsSphereInView(BattleFrustum, p, 2.0f)) continue;
        gfx::SetTransform(gfx::TS_WORLD, s.world);
        DrawModelPart(Part(kR16Shell), PointDistance(p, CameraEye));
    }
}

// Its row of the robot kinds' table: looked at, never fielded; a mortar on
// each arm, both firing at once.
RobotKind Rno16Kind()
{
    RobotKind row = {
        .kind = kRobotRno16,
        .name = "R-NO.16",
        .fights = false,
        .maxSpeed = 0.27f,
        .acceleration = 0.11f,
        .groundClearance = 2.1f,
        .stepLimit = 32,
        .stepRate = 2.3f,
        .boxSize = {1.8f, 0, 1.8f},
        .setsPods = true,
        .podAngle = kRobot16PodsIn,
        .podSlide = kRobot16SlideIn,
        .hasLookAt = true,
        .lookAtHeight = 1.65f,
        .cameraEye = {0, 2.7f, -5.6f},
        .crosshairFirst = Crosshair::RobotGun,
        .crosshairSecond = Crosshair::RobotGun,
        .previewShift = {0, -0.3f, 1.5f},
        .arms = {kArmsBoth, {{-0.75f, -0.55f, 2.0f}, {0.75f, -0.55f, 2.0f}}},
        .pods = {0, {}},
        .firstWeaponReach = 0,
        .hitModels = &kRobot16HitModels,
        .loaded = 0,
        .load = LoadRobot16,
        .release = ReleaseRobot16,
        .pose = PoseRobot16,
        .fire = FireRobot16,
        .updateShots = UpdateRobot16Shots,
        .draw = DrawRobot16,
        .drawShots = DrawRobot16Shells,
        .drawAdditive = nullptr,
        .drawDepth = nullptr,
    };
    return row;
}
