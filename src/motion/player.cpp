#include "motion/player.h"

#include <cmath>

#include "app/display.h"
#include "battle/state.h"
#include "motion/ground.h"
#include "platform/crt_rand.h"
#include "platform/gfx.h"
#include "platform/system.h"

Vec3 CameraEye{0, 0, 0};
Vec3 CameraLookAt{0, 0, 1};
Vec3 CameraUp{0, 1, 0};
Mat4 CameraFacing = MatIdentity();
int32_t viewedUnit = 0;
int32_t cameraShake = 0;
int32_t crosshairKind = 36;
int32_t lockOnShown = 0;

namespace {
int32_t tankShakeFrames = 0, robotShakeFrames = 0;
int32_t tankRightLatch = 0, tankZLatch = 0, robotRightLatch = 0, robotZLatch = 0;

bool Down(int vk) { return (sys::GetAsyncKeyState(vk) & 0x8000) != 0; }

// Uniform in [-range/2, range/2).
float Jitter(float range) { return Rand() / 32768.0f * range - range / 2; }

float Heading(Vec3 d)
{
    Vec3 h = Vec3Normalize({d.x, 0, d.z});
    float c = h.z > 1 ? 1 : h.z < -1 ? -1 : h.z;
    float a = std::acos(c) * kRadToDeg;
    return h.x < 0 ? -a : a;
}

// The arrow keys, W A S D and both buttons into a flags record.
void ReadKeys(ControlFlags& f, int32_t* rightLatch)
{
    f.turretLeft = Down(VK_LEFT);
    f.turretRight = Down(VK_RIGHT);
    f.gunDown = Down(VK_DOWN);
    f.gunUp = Down(VK_UP);
    f.forward = Down('W');
    f.turnLeft = Down('A');
    f.turnRight = Down('D');
    f.backward = Down('S');
    if (Down(VK_RBUTTON)) {
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
    *mx = (p.x - 400) / 4;
    *my = (p.y - 300) / 4;
}

void CycleView(int32_t* latch, int count)
{
    if (Down('Z')) {
        if (!*latch) {
            *latch = 1;
            if (++viewedUnit >= count) viewedUnit = 0;
        }
    } else {
        *latch = 0;
    }
}
}  // namespace

void ResetPlayerControl()
{
    viewedUnit = 0;
    cameraShake = 0;
    tankShakeFrames = robotShakeFrames = 0;
    lockOnShown = 0;
}

void BuildCameraFacing()
{
    Vec3 d = CameraLookAt - CameraEye;
    float yaw = Heading(d);
    Vec3 n = Vec3Normalize(d), level = Vec3Normalize({n.x, 0, n.z});
    float c = Vec3Dot(n, level);
    c = c > 1 ? 1 : c < -1 ? -1 : c;
    float pitch = std::acos(c) * kRadToDeg;
    if (n.y > 0) pitch = -pitch;
    CameraFacing = MatRotationX(pitch * kDegToRad) * MatRotationY(yaw * kDegToRad);
}

void TankPlayerControl()
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
    if (v.kind == 1) {
        eye = {0, 2.7f, -6.35f};
        if (v.weapon == 0) crosshairKind = 36;
    } else if (v.kind == 2) {
        eye = {0, 2.25f, -6.35f};
        crosshairKind = v.weapon == 0 ? 36 : 144;
    }
    if (!v.alive) eye = {0, 3.65f, -8.0f};
    CameraEye = Vec3TransformCoord(
        eye, MatRotationX(v.gunPitch * kDegToRad) * MatRotationY(v.turretYaw * kDegToRad) * v.world);
    CameraUp = Vec3TransformCoord({0, CameraLookAt.y + 1, 0}, v.world) - CameraLookAt;

    TankUnit& me = Tanks[0];
    ControlFlags& f = TankControls[0];
    if (me.shakeCode != 444) {
        int mx, my;
        MouseSteps(&mx, &my);
        me.turretYaw += mx >= 2 ? 2.0f : mx <= -2 ? -2.0f : static_cast<float>(mx);
        me.gunPitch += my >= 1 ? 0.6f : my <= -1 ? -0.6f : 0.0f;
        me.gunPitch = me.gunPitch < -16 ? -16 : me.gunPitch > 10 ? 10 : me.gunPitch;
    }
    sys::SetCursorPos(400, 300);
    ReadKeys(f, &tankRightLatch);
    if (Down(VK_LBUTTON)) {
        f.fire = 1;
        if (me.mainGunBusy == 0 && me.weapon == 0 && me.shakeCode != 444) cameraShake = 1;
    } else {
        f.fire = 0;
    }
    if (me.hp <= 0) cameraShake = 2;
    CycleView(&tankZLatch, EarthCount);
}

void RobotPlayerControl()
{
    RobotUnit& v = Robots[viewedUnit];
    Vec3 s{0, 0, 0};
    if (cameraShake == 1) {
        s.y = Jitter(0.2f);
        if (++robotShakeFrames >= 10) cameraShake = robotShakeFrames = 0;
    }
    struct View { float lookY; Vec3 eye; int cross0, cross1; };
    static const View views[4] = {{1.8f, {0, 2.6f, -5.0f}, 244, 344}, {1.6f, {0, 2.6f, -6.0f}, 244, 244},
                                  {1.65f, {0, 2.7f, -5.6f}, 244, 244}, {0, {0, 2.8f, -7.0f}, 244, 344}};
    int k = v.kind - 101;
    if (k >= 0 && k < 4) {
        const View& view = views[k];
        // The fourth kind keeps the last look-at point.
        if (k != 3) CameraLookAt = Vec3TransformCoord({s.x, view.lookY + s.y, s.z}, v.world);
        Vec3 eye = v.alive ? view.eye : Vec3{0, 3.8f, -9.0f};
        CameraEye = Vec3TransformCoord(eye, v.AimWorld());
        crosshairKind = v.weapon == 0 ? view.cross0 : view.cross1;
    }
    CameraUp = Vec3TransformCoord({0, CameraLookAt.y + 1, 0}, v.AimWorld()) - CameraLookAt;

    RobotUnit& me = Robots[0];
    ControlFlags& f = RobotControls[0];
    int mx, my;
    MouseSteps(&mx, &my);
    me.aimYaw += mx >= 3 ? 2.6f : mx <= -3 ? -2.6f : static_cast<float>(mx);
    me.aimPitch += my >= 1 ? 0.6f : my <= -1 ? -0.6f : 0.0f;
    sys::SetCursorPos(400, 300);
    ReadKeys(f, &robotRightLatch);
    if (Down(VK_LBUTTON)) {
        f.fire = 1;
        if (me.weaponBusy == 0 && me.weapon == 0) cameraShake = 1;
    } else {
        f.fire = 0;
    }
    // Lock-on: the first live tank within 220 that stands in the sight's box.
    Vec3 myPos{me.world.m[3][0], me.world.m[3][1], me.world.m[3][2]};
    Viewport vp = gfx::GetViewport();
    Mat4 proj = gfx::GetTransform(gfx::TS_PROJECTION), view = gfx::GetTransform(gfx::TS_VIEW);
    float wx = BackBufferWidth() / 800.0f, hy = BackBufferHeight() / 600.0f;
    for (int i = 0; i < EarthCount; ++i) {
        const TankUnit& t = Tanks[i];
        Vec3 pos{t.world.m[3][0], t.world.m[3][1], t.world.m[3][2]};
        if (!t.alive || PointDistance(pos, myPos) > 220.0f) {
            me.lockedOn = 0;
            continue;
        }
        Vec3 sp = Vec3Project(pos, vp, proj, view, MatIdentity());
        if (sp.z >= 0 && sp.z <= 1 && sp.x >= 300 * wx && sp.x <= 495 * wx && sp.y >= 135 * hy && sp.y <= 285 * hy) {
            lockOnShown = 1;
            me.lockTarget = i;
            me.lockedOn = 1;
            break;
        }
        lockOnShown = 0;
    }
    CycleView(&robotZLatch, MercuryCount);
}
