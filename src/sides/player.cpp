#include "sides/player.h"

#include <algorithm>
#include <cmath>

#include "services/gamepad.h"
#include "records/state.h"
#include "world/ground.h"
#include "sides/tank_side.h"
#include "platform/crt_rand.h"
#include "platform/system.h"


namespace {
int32_t tankShakeFrames = 0, robotShakeFrames = 0;
int32_t fireHeld = 0;  // 1: the left button is ignored until it is released
int32_t tankRightLatch = 0, tankZLatch = 0, robotRightLatch = 0, robotZLatch = 0;

// Held on the keyboard and mouse or on the pad: either sets the action.
bool Down(BattleAction a) { return ActionDown(a); }

// The fire button (or the right trigger), unless it has been held since the pause ended.
bool FireDown()
{
    bool down = Down(kActFire);
    if (!down) fireHeld = 0;
    return down && !fireHeld;
}

// Uniform in [-range/2, range/2).
float Jitter(float range) { return EyeRandFraction() * range - range / 2; }

// The driving, turret and weapon keys (W A S D, the arrows and the right
// button unless rebound; the left stick, the left trigger and the shoulder
// buttons) into a flags record.
void ReadKeys(ControlFlags& f, int32_t* rightLatch)
{
    f.turretLeft = Down(kActTurretLeft);
    f.turretRight = Down(kActTurretRight);
    f.gunDown = Down(kActGunDown);
    f.gunUp = Down(kActGunUp);
    f.forward = Down(kActForward);
    f.turnLeft = Down(kActTurnLeft);
    f.turnRight = Down(kActTurnRight);
    f.backward = Down(kActBackward);
    if (Down(kActSwitchWeapon)) {
        if (!*rightLatch) {
            *rightLatch = 1;
            f.switchWeapon = 1;
        }
    } else {
        *rightLatch = 0;
    }
}

// Mouse travel from the centre in quarter pixels, truncated toward zero.
void MouseSteps(int* mx, int* my)
{
    sys::Point p;
    sys::GetCursorPos(&p);
    *mx = (p.x - kScreenCentreX) / 4;
    *my = (p.y - kScreenCentreY) / 4;
}

float Clamp(float v, float most) { return v > most ? most : v < -most ? -most : v; }

// The right stick's share of one step's aim: the mouse's largest step,
// scaled by how far the stick leans past its dead zone; up raises the gun
// (a smaller pitch).
void PadAimSteps(float mostYaw, float mostPitch, float* yaw, float* pitch)
{
    float x, y;
    PadAim(&x, &y);
    *yaw = mostYaw * x;
    *pitch = -mostPitch * y;
}

void CycleView(int32_t* latch, int count)
{
    if (Down(kActNextView)) {
        if (!*latch) {
            *latch = 1;
            if (++viewedUnit >= count) viewedUnit = 0;
        }
    } else {
        *latch = 0;
    }
}
}  // namespace

void HoldFireUntilReleased() { fireHeld = 1; }

void ResetPlayerControl()
{
    fireHeld = 0;
    viewedUnit = 0;
    cameraShake = 0;
    tankShakeFrames = robotShakeFrames = 0;
    lockOnShown = 0;
}

void BuildCameraFacing()
{
    Vec3 d = CameraLookAt - CameraEye;
    float yaw = LevelHeading(d);
    Vec3 n = Vec3Normalize(d), level = Vec3Normalize({n.x, 0, n.z});
    float c = Vec3Dot(n, level);
    c = c > 1 ? 1 : c < -1 ? -1 : c;
    float pitch = std::acos(c) * kRadToDeg;
    if (n.y > 0) pitch = -pitch;
    CameraFacing = MatRotationX(pitch * kDegToRad) * MatRotationY(yaw * kDegToRad);
}

// --- the chase camera ------------------------------------------------------------------
namespace {
void PlaceTankCamera()
{
    TankUnit& v = Tanks[viewedUnit];
    Vec3 s{0, 0, 0};
    if (cameraShake == 1 || cameraShake == 2) {
        float xz = cameraShake == 1 ? 0.32f : 0.52f, y = cameraShake == 1 ? 0.48f : 0.68f;
        s.x = Jitter(xz);
        s.y = Jitter(y);
        s.z = Jitter(xz);
        if (++tankShakeFrames >= 12) cameraShake = tankShakeFrames = 0;
    }
    CameraLookAt = Vec3TransformCoord({s.x, 1.2f + s.y, s.z}, v.alive ? v.turretWorld : v.world);
    Vec3 eye{0, 2.65f, -6.35f};
    if (const TankKind* kind = v.row) {
        eye = kind->cameraEye;
        Crosshair cross = v.weapon == kWeaponMainGun ? kind->crosshairMain : kind->crosshairSecond;
        if (cross != Crosshair::Unchanged) crosshairKind = cross;
    }
    if (!v.alive) eye = {0, 3.65f, -8.0f};  // further back over a wreck
    CameraEye = Vec3TransformCoord(
        eye, MatRotationX(v.gunPitch * kDegToRad) * MatRotationY(v.turretYaw * kDegToRad) * v.world);
    CameraUp = Vec3TransformCoord({0, CameraLookAt.y + 1, 0}, v.world) - CameraLookAt;
}

void PlaceRobotCamera()
{
    RobotUnit& v = Robots[viewedUnit];
    Vec3 s{0, 0, 0};
    if (cameraShake == 1) {
        s.y = Jitter(0.2f);
        if (++robotShakeFrames >= 10) cameraShake = robotShakeFrames = 0;
    }
    if (const RobotKind* kind = v.row) {
        // A kind without a look-at point keeps the last one.
        if (kind->hasLookAt)
            CameraLookAt = Vec3TransformCoord({s.x, kind->lookAtHeight + s.y, s.z}, v.World());
        Vec3 eye = v.alive ? kind->cameraEye : Vec3{0, 3.8f, -9.0f};  // further back over a wreck
        CameraEye = Vec3TransformCoord(eye, v.AimWorld());
        crosshairKind = v.weapon == kRobotWeaponFirst ? kind->crosshairFirst : kind->crosshairSecond;
    }
    CameraUp = Vec3TransformCoord({0, CameraLookAt.y + 1, 0}, v.AimWorld()) - CameraLookAt;
}
}  // namespace

Mat4 RobotSightView(const RobotUnit& r)
{
    const RobotKind* kind = r.row;
    Vec3 eye = Vec3TransformCoord(kind ? kind->cameraEye : Vec3{0, 3.8f, -9.0f}, r.AimWorld());
    // A kind whose camera keeps its last look-at point looks along its aim.
    Vec3 at = kind && kind->hasLookAt ? Vec3TransformCoord({0, kind->lookAtHeight, 0}, r.World())
                                      : Vec3TransformCoord({0, 0, 20}, r.AimWorld());
    Vec3 up = Vec3TransformCoord({0, at.y + 1, 0}, r.AimWorld()) - at;
    return MatLookAtLH(eye, at, up);
}

void PlaceChaseCamera()
{
    if (PlayerSide == 0) PlaceTankCamera();
    else PlaceRobotCamera();
    // The camera never leaves the field through its red border walls: behind
    // a unit at an edge it stands just inside, looking on as before.
    constexpr float kInside = 0.5f;
    CameraEye.x = std::clamp(CameraEye.x, kInside, kFieldSize - kInside);
    CameraEye.z = std::clamp(CameraEye.z, kInside, kFieldSize - kInside);
}

// --- the player's control -------------------------------------------------------------------
void TankPlayerControl()
{
    // Under --demo the computer drives tank 0: the camera only follows.
    if (DemoPlayer) {
        CycleView(&tankZLatch, EarthCount);
        return;
    }
    TankUnit& me = Tanks[0];
    ControlFlags& f = TankControls[0];
    if (me.shakeCode != HitReaction::FrozenByIce) {
        int mx, my;
        MouseSteps(&mx, &my);
        float padYaw, padPitch;
        PadAimSteps(2.0f, 0.6f, &padYaw, &padPitch);
        // The mouse and the stick together turn no faster than either alone.
        me.turretYaw += Clamp((mx >= 2 ? 2.0f : mx <= -2 ? -2.0f : static_cast<float>(mx)) + padYaw, 2.0f);
        me.gunPitch += Clamp((my >= 1 ? 0.6f : my <= -1 ? -0.6f : 0.0f) + padPitch, 0.6f);
        me.gunPitch = me.gunPitch < -16 ? -16 : me.gunPitch > 10 ? 10 : me.gunPitch;
    }
    sys::SetCursorPos(kScreenCentreX, kScreenCentreY);
    ReadKeys(f, &tankRightLatch);
    if (FireDown()) {
        f.fire = 1;
        if (me.mainGunBusy == 0 && me.weapon == kWeaponMainGun && me.shakeCode != HitReaction::FrozenByIce) cameraShake = 1;
    } else {
        f.fire = 0;
    }
    if (me.hp <= 0) cameraShake = 2;
    CycleView(&tankZLatch, EarthCount);
}

void RobotPlayerControl()
{
    // Under --demo the computer drives robot 0: the camera only follows.
    if (DemoPlayer) {
        CycleView(&robotZLatch, MercuryCount);
        return;
    }
    RobotUnit& me = Robots[0];
    ControlFlags& f = RobotControls[0];
    int mx, my;
    MouseSteps(&mx, &my);
    float padYaw, padPitch;
    PadAimSteps(2.6f, 0.6f, &padYaw, &padPitch);
    me.aimYaw += Clamp((mx >= 3 ? 2.6f : mx <= -3 ? -2.6f : static_cast<float>(mx)) + padYaw, 2.6f);
    me.aimPitch += Clamp((my >= 1 ? 0.6f : my <= -1 ? -0.6f : 0.0f) + padPitch, 0.6f);
    sys::SetCursorPos(kScreenCentreX, kScreenCentreY);
    ReadKeys(f, &robotRightLatch);
    if (FireDown()) {
        f.fire = 1;
        if (me.weaponBusy == 0 && me.weapon == 0) cameraShake = 1;
    } else {
        f.fire = 0;
    }
    // Lock-on: the first live tank within 220 that stands in the sight's box
    // of the robot's own chase view, on the 800 x 600 design screen.  It is
    // the robot's aim that locks, never the window: whichever unit the
    // camera follows, however it shakes and whatever the screen's size.
    Vec3 myPos = Position(me);
    const Mat4 sight = RobotSightView(me);
    const Mat4 projection = MatPerspectiveFovLH(kFieldOfView, kViewAspect, 0.1f, 12000.0f);
    const Viewport vp{0, 0, kDesignWidth, kDesignHeight, 0.0f, 1.0f};
    for (int i = 0; i < EarthCount; ++i) {
        const TankUnit& t = Tanks[i];
        Vec3 pos = Position(t);
        if (!t.alive || PointDistance(pos, myPos) > 220.0f) {
            me.lockedOn = 0;
            continue;
        }
        Vec3 sp = Vec3Project(pos, vp, projection, sight, MatIdentity());
        if (sp.z >= 0 && sp.z <= 1 && sp.x >= 300 && sp.x <= 495 && sp.y >= 135 && sp.y <= 285) {
            lockOnShown = 1;
            me.lockTarget = i;
            me.lockedOn = 1;
            break;
        }
        lockOnShown = 0;
    }
    // The lock box shows exactly while a live tank is locked: missiles leave
    // only then, and a box left over from an earlier lock would say otherwise.
    lockOnShown = me.lockedOn == 1 && me.lockTarget >= 0 && me.lockTarget < EarthCount && Tanks[me.lockTarget].alive;
    CycleView(&robotZLatch, MercuryCount);
}
