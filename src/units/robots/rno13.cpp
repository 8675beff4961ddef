// The R-NO.13 robot (kind 104), a light walker with no gun: a pelvis on two
// legs, a torso that turns on it with two arms behind the shoulders and a
// head out in front.  It is only looked at: its model set, the pose of its
// parts and one draw.
#include "records/state.h"
#include "units/robots/robot_kinds.h"

RobotModelSet Robot13Models;

namespace {
constexpr float kPartRadius = 1.5f;  // each part is drawn while this sphere round it is in view

ModelPart* Part(int slot) { return &Robot13Models.parts[slot]; }

void DrawPart(const RobotUnit& r, int slot, const Mat4& w)
{
    if (!IsSphereInView(BattleFrustum, Position(w), kPartRadius)) return;
    gfx::SetTransform(gfx::TS_WORLD, w);
    DrawModelPart(Part(slot), r.cameraDistance);
}

Mat4 HeadWorld(const RobotUnit& r)
{
    return MatRotationX(r.aimPitch * kDegToRad) * MatTranslation(0, 0.45f, 0.95f) * r.partWorld[1];
}
}  // namespace

// Shots find an R-NO.13 by its torso and its feet.
const RobotHitModels kRobot13HitModels = {&Robot13Models.parts[kR13UpperBody], &Robot13Models.parts[kR13Foot]};

void LoadRobot13()
{
    ReleaseRobot13();
    LoadModelPart(Part(kR13UpperBody), "LAND/R-NO.13/UpperBody.x");
    LoadModelPart(Part(kR13LowerBody), "LAND/R-NO.13/LowerBody.x");
    LoadModelPart(Part(kR13Head), "LAND/R-NO.13/Head.x");
    LoadModelPart(Part(kR13RightArm), "LAND/R-NO.13/RightArm.x");
    LoadModelPart(Part(kR13LeftArm), "LAND/R-NO.13/LeftArm.x");
    LoadModelPart(Part(kR13RightLeg), "LAND/R-NO.13/RightLeg.x");
    LoadModelPart(Part(kR13LeftLeg), "LAND/R-NO.13/LeftLeg.x");
    LoadModelPart(Part(kR13Foot), "LAND/R-NO.13/Foot.x");
    for (int slot = kR13UpperBody; slot <= kR13Foot; ++slot) (void)ComputeModelBox(Part(slot));
}

void ReleaseRobot13()
{
    for (ModelPart& p : Robot13Models.parts) {
        ReleaseModelPart(&p);
        p.box = OrientedBox{};
    }
}

void PoseRobot13(RobotUnit& r)
{
    // The torso takes the base's position, lowered, not its turn.
    const Vec3 at = Position(r.World());
    r.partWorld[1] = MatRotationY(r.aimYaw * kDegToRad) * MatTranslation(at.x, at.y - 0.25f, at.z);
    const Mat4 pitch = MatRotationX(r.aimPitch * kDegToRad);
    r.partWorld[2] = pitch * r.partWorld[1];
    r.partWorld[3] = pitch * MatTranslation(-0.6f, 0.8f, -0.8f) * r.partWorld[1];
    r.partWorld[4] = pitch * MatTranslation(0.6f, 0.8f, -0.8f) * r.partWorld[1];
    const float swing = r.walkPhase * kDegToRad;
    r.partWorld[5] = MatRotationX(-swing) * MatTranslation(-0.5f, -0.78f, 0) * r.World();
    r.partWorld[6] = MatRotationX(swing) * MatTranslation(0.5f, -0.78f, 0) * r.World();
    r.partWorld[7] = MatTranslation(0, -1.0f, -0.4f) * r.partWorld[5];
    r.partWorld[8] = MatTranslation(0, -1.0f, -0.4f) * r.partWorld[6];
}

void DrawRobot13(const RobotUnit& r)
{
    DrawPart(r, kR13LowerBody, r.World());
    DrawPart(r, kR13UpperBody, r.partWorld[1]);
    DrawPart(r, kR13LeftArm, r.partWorld[3]);
    DrawPart(r, kR13RightArm, r.partWorld[4]);
    DrawPart(r, kR13Head, HeadWorld(r));
    DrawPart(r, kR13LeftLeg, r.partWorld[5]);
    DrawPart(r, kR13RightLeg, r.partWorld[6]);
    DrawPart(r, kR13Foot, r.partWorld[7]);
    DrawPart(r, kR13Foot, r.partWorld[8]);
}

// Its row of the robot kinds' table: looked at, never fielded, no weapon.
RobotKind Rno13Kind()
{
    RobotKind row = {
        .kind = kRobotRno13,
        .name = "R-NO.13",
        .fights = false,
        .maxSpeed = 0.35f,
        .acceleration = 0.12f,
        .groundClearance = 2.3f,
        .stepLimit = 30,
        .stepRate = 3,
        .boxSize = {1.2f, 0, 1.6f},
        .setsPods = false,  // keeps the record's pods
        .podAngle = 0,
        .podSlide = 0,
        .hasLookAt = false,  // the camera keeps its last look-at point
        .lookAtHeight = 0,
        .cameraEye = {0, 2.8f, -7.0f},
        .crosshairFirst = Crosshair::RobotGun,
        .crosshairSecond = Crosshair::RobotMissile,
        .previewShift = {0, -0.15f, 0},
        .arms = {kArmsNone, {}},  // it has no firing of its own
        .pods = {0, {}},
        .firstWeaponReach = 0,
        .hitModels = &kRobot13HitModels,
        .loaded = 0,
        .load = LoadRobot13,
        .release = ReleaseRobot13,
        .pose = PoseRobot13,
        .fire = nullptr,
        .updateShots = nullptr,
        .draw = DrawRobot13,
        .drawShots = nullptr,
        .drawAdditive = nullptr,
        .drawDepth = nullptr,
    };
    return row;
}
