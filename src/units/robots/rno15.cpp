// The R-NO.15 robot (kind 102): so far its part matrices and the timer of
// its first weapon; its models, weapons and draws come with its own work.
#include "records/state.h"
#include "units/robots/robot_kinds.h"

namespace {
constexpr int32_t kFireFrames = 45;  // weaponBusy clears past this
}

void PoseRobot15(RobotUnit& r)
{
    if (r.alive) {
        // The upper body takes the base's position, raised, not its turn.
        const Mat4& w = r.World();
        r.partWorld[1] = MatRotationY(r.aimYaw * kDegToRad) * MatTranslation(w.m[3][0], w.m[3][1] + 0.35f, w.m[3][2]);
        if (r.weaponBusy == 1) r.fireTimer += 1;
        if (r.fireTimer > kFireFrames) r.weaponBusy = r.fireTimer = 0;
        Mat4 pitch = MatRotationX(r.aimPitch * kDegToRad);
        r.partWorld[3] = pitch * MatTranslation(-1.06f, 0.67f, 0) * r.partWorld[1];
        r.partWorld[4] = pitch * MatTranslation(1.06f, 0.67f, 0) * r.partWorld[1];
        r.partWorld[2] = pitch * r.partWorld[1];
    }
    // The legs swing in opposite directions; the feet hang below them.
    float swing = r.walkPhase * kDegToRad;
    r.partWorld[5] = MatRotationX(-swing) * MatTranslation(-0.53f, -0.1f, 0.2f) * r.World();
    r.partWorld[6] = MatRotationX(swing) * MatTranslation(0.53f, -0.1f, 0.2f) * r.World();
    r.partWorld[7] = MatTranslation(-0.4f, -0.65f, -0.7f) * r.partWorld[5];
    r.partWorld[8] = MatTranslation(0.4f, -0.65f, -0.7f) * r.partWorld[6];
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
        .podAngle = -90,
        .podSlide = -0.6f,
        .hasLookAt = true,
        .lookAtHeight = 1.6f,
        .cameraEye = {0, 2.6f, -6.0f},
        .crosshairFirst = Crosshair::RobotGun,
        .crosshairSecond = Crosshair::RobotGun,
        .arms = {kArmsAlternate, {{-0.3f, -0.6f, 2.4f}, {0.3f, -0.6f, 2.4f}}},
        .pods = {4, {{-0.12f, 0.08f, 0.9f}, {0.12f, 0.08f, 0.9f}, {-0.12f, -0.08f, 0.9f}, {0.12f, -0.08f, 0.9f}}},
        .firstWeaponReach = 0,
        .hitModels = nullptr,
        .loaded = 0,
        .load = nullptr,
        .release = nullptr,
        .pose = PoseRobot15,
        .fire = nullptr,
        .updateShots = nullptr,
        .draw = nullptr,
        .drawShots = nullptr,
        .drawAdditive = nullptr,
        .drawDepth = nullptr,
    };
    return row;
}
