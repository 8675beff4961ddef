#include "sides/robot_side.h"


#include <algorithm>
#include <cmath>

#include "assets/sound.h"
#include "records/state.h"
#include "effects/particles.h"
#include "effects/projectiles.h"
#include "world/ground.h"
#include "sides/player.h"
#include "sides/side_rules.h"
#include "platform/crt_rand.h"


namespace {
constexpr float kLegTurn = 0.9f;         // degrees a frame the legs turn toward their target
constexpr float kAiTurn = 1.5f;          // degrees a frame the computer turns the upper body
constexpr float kAiPitch = 0.5f;         // degrees a frame the computer raises or lowers the arms
constexpr float kStopping = 0.09f;       // speed lost a frame with no movement key
constexpr float kSoundRange = 100.0f;    // shots are heard within this of the camera
constexpr int32_t kFreezeFrames = 120;   // ice holds a robot this long, as it holds a tank


// Whether the player's keys and mouse drive robot `slot` (the computer
// drives every other robot, and the player's too in a demo).
bool PlayerDrives(int slot) { return slot == 0 && PlayerSide == 1 && !DemoPlayer; }

// How a hit shakes a robot: the reach of the random step a frame and how
// fast the shake runs out.  A code not listed runs out without a jitter.
// Ice holds a robot still, without a jitter, and thaws after kFreezeFrames.
struct Shake {
    HitReaction code;
    float reach;
    int32_t step;
};
constexpr Shake kShakes[] = {
    {HitReaction::TankShell, 0.2f, 1}, {HitReaction::Bullet, 0.01f, 4}, {HitReaction::Shell, 0.06f, 2},
    {HitReaction::Missile, 0.09f, 2},  {HitReaction::FrozenByIce, 0.0f, 1},  {HitReaction::Killed, 0.36f, 1},
};

void ShakeFromHit(RobotUnit& r, ControlFlags& f)
{
    if (r.shakeCode == HitReaction::None) return;
    Shake s{r.shakeCode, 0.0f, 1};
    for (const Shake& k : kShakes)
        if (k.code == r.shakeCode) s = k;
    if (s.reach > 0) {
        float dx = RandFraction() * 2 * s.reach - s.reach;
        float dz = RandFraction() * 2 * s.reach - s.reach;
        r.World().m[3][0] += dx;
        r.World().m[3][2] += dz;
    }
    r.shakeTimer += s.step;
    const bool frozen = r.shakeCode == HitReaction::FrozenByIce;
    if (frozen) f.turnLeft = f.forward = f.backward = f.turnRight = f.fire = f.switchWeapon = 0;
    if (r.shakeTimer >= (frozen ? kFreezeFrames : kRobotShakeFrames)) {
        r.shakeCode = HitReaction::None;
        r.shakeTimer = 0;
    }
}

// Legs and speed from the movement keys; returns the legs' turn this frame.
float Walk(RobotUnit& r, const ControlFlags& f, const Handling& h)
{
    // The first key held, in this order, sets where the legs head.
    float offset;
    if (f.forward) offset = 0;
    else if (f.turnLeft) offset = -90;
    else if (f.turnRight) offset = 90;
    else if (f.backward) offset = 180;  // turns about and walks away from its aim
    else {
        r.speed = std::max(0.0f, r.speed - kStopping);
        float settle = r.stepRate / 2;
        r.walkPhase = r.walkPhase > 0 ? std::max(0.0f, r.walkPhase - settle) : std::min(0.0f, r.walkPhase + settle);
        return 0;
    }
    float target = r.aimYaw + offset;
    r.walkPhase += r.stepDir == 0 ? r.stepRate : -r.stepRate;
    r.speed = std::min(r.speed + h.acceleration, h.maxSpeed);
    float d = r.legHeading - target;  // into (0, 360]
    while (d <= 0) d += 360.0f;
    while (d > 360.0f) d -= 360.0f;
    // Legs within one step of their target take it, so they settle there
    // instead of stepping to and fro across it.
    if (d >= 360.0f - kLegTurn || d <= kLegTurn) {
        float turn = d <= kLegTurn ? -d : 360.0f - d;
        r.legHeading = target;
        return turn;
    }
    float turn = d <= 180.0f ? -kLegTurn : kLegTurn;
    r.legHeading += turn;
    return turn;
}

void Footstep(RobotUnit& r)
{
    // Dust where the legs meet the ground near each turn of the stride,
    // while the robot is in sight: a puff from each leg.
    if (std::fabs(r.walkPhase) > r.stepLimit - 6 && r.speed > 0 &&
        IsSphereInView(BattleFrustum, Position(r.World()), 5.0f)) {
        int32_t alpha = r.speed * 200 > 35 ? 30 : 3;
        for (int leg : {5, 6}) {
            Vec3 p = Position(r.partWorld[leg]);
            SpawnGroundDust(p.x, p.y - (r.bob + 1.2f), p.z, alpha, 1);
        }
    }
    if (r.walkPhase > r.stepLimit && r.stepDir == 0) {
        r.stepDir = 1;
        PlayPooled(RobotStepSounds, Position(r.partWorld[7]));
    } else if (r.walkPhase < -r.stepLimit && r.stepDir == 1) {
        r.stepDir = 0;
        PlayPooled(RobotStepSounds, Position(r.partWorld[8]));
    }
}

bool Heard(Vec3 at) { return PointDistance(CameraEye, at) < kSoundRange; }

// The fire key, by the kind's guns: the first weapon from the arms once the
// last shot's timer has run out, the second from the pods once they are
// down with a tank locked.
void Fire(RobotUnit& r, const RobotKind& k)
{
    if (r.weapon == kRobotWeaponFirst) {
        if (k.arms.mode == kArmsNone || r.weaponBusy != 0) return;
        r.weaponBusy = 1;
        for (int arm = 0; arm < 2; ++arm) {
            if (k.arms.mode == kArmsAlternate && arm != r.armSide) continue;
            Vec3 o = k.arms.muzzle[arm];
            Mat4 muzzle = MatTranslation(o.x, o.y, o.z) * r.partWorld[3 + arm];
            if (!k.fire) continue;
            k.fire(r, muzzle, kRobotWeaponFirst);
            if (Heard(Position(muzzle))) PlayPooled(RobotGunSounds, Position(muzzle));
        }
        if (k.arms.mode == kArmsAlternate) r.armSide = !r.armSide;
        return;
    }
    if (k.pods.perPod == 0 || r.secondShotBusy != 0 || r.podAngle != 0 || r.lockedOn != 1) return;
    r.secondShotBusy = 1;
    bool heard = false;
    Vec3 at{};
    for (int pod = 9; pod <= 10; ++pod)
        for (int n = 0; n < k.pods.perPod; ++n) {
            Vec3 o = k.pods.muzzle[n];
            Mat4 muzzle = MatTranslation(o.x, o.y, o.z) * r.partWorld[pod];
            if (!k.fire) continue;
            k.fire(r, muzzle, kRobotWeaponSecond);
            if (!heard && Heard(Position(muzzle))) heard = true, at = Position(muzzle);
        }
    if (heard) PlayPooled(RobotMissileSounds, at);  // one report a launch or volley
}

// Smoke puffs from the origins of the robot's parts: body, head, arms, then
// legs and feet as the damage grows.
void SmokeFrom(const RobotUnit& r, int count, float size, int32_t alpha)
{
    static const int kParts[] = {0, 1, 4, 3, 5, 6, 7, 8};
    for (int i = 0; i < count; ++i) {
        Vec3 p = Position(r.partWorld[kParts[i]]);
        SpawnBurst(p.x, p.y, p.z, size, alpha, kLookFire1, 1, 2);
    }
}
}  // namespace

void SpawnRobot(int slot)
{
    RobotUnit& r = Robots[slot];
    float x = 95.0f + (slot / 4) * 20.0f, z = 95.0f + (slot % 4) * 20.0f;
    r.World() = MatTranslation(x, 10, z);
    for (int k = 1; k <= 10; ++k) r.partWorld[k] = r.World();
    r.aimYaw = r.aimPitch = r.legHeading = r.speed = 0;
    r.shakeCode = HitReaction::None;
    r.shakeTimer = r.lockedOn = r.weapon = r.secondShotBusy = r.podRecoil = 0;
    // A fresh start for the walk cycle and the gun as well: a robot that
    // died mid-stride or mid-shot does not come back in that state.
    r.walkPhase = r.bob = 0;
    r.stepDir = r.weaponBusy = r.fireTimer = r.weaponSwap = 0;
    r.hp = 256;
    r.alive = 1;
    for (int k = 0; k < 3; ++k) {
        DebrisLaunch& d = r.debris[k];
        d.speed = k == 0 ? 1.66f + 1.0000001f * RandFraction() : 1.86f + 0.9f * RandFraction();
        d.time = 0;
        d.tilt = Rand() % 61 - 30;
        d.heading = Rand() % 360;
    }
    // Keys held when the last battle ended, or a computer's last orders,
    // would otherwise go on steering this slot.
    RobotControls[slot] = ControlFlags{};
    const RobotKind* k = r.row;
    if (!k) return;
    r.stepLimit = k->stepLimit;
    r.stepRate = k->stepRate;
    if (k->setsPods) {
        r.podAngle = k->podAngle;
        r.podSlide = k->podSlide;
    }
    RobotHandling[slot] = {k->maxSpeed, k->acceleration, k->groundClearance};
    r.boxSize = k->boxSize;
}

void ChooseRobotTarget(int slot)
{
    RobotUnit& r = Robots[slot];
    int found = NearestLiveUnit(Tanks, EarthCount, Position(r), kRobotSightRange);
    if (found >= 0) r.lockTarget = found;
    r.lockedOn = found >= 0;
}

void NewRobotPatrol(int slot)
{
    RobotUnit& r = Robots[slot];
    RobotAiState& ai = RobotAi[slot];
    ControlFlags& f = RobotControls[slot];
    Vec3 p = Position(r.World());
    // Near an edge or a corner the leg heads back into the field.
    int lo = -180, hi = 180;
    bool west = p.x < 300, east = p.x > 940, south = p.z < 300, north = p.z > 940;
    if (west) lo = 45, hi = 135;
    if (east) lo = -135, hi = -45;
    if (south) lo = -45, hi = 45;
    if (north) lo = 135, hi = 225;
    if (west && south) lo = 30, hi = 60;
    if (east && south) lo = -60, hi = -30;
    if (west && north) lo = 120, hi = 150;
    if (east && north) lo = -150, hi = -120;
    int heading = lo + Rand() % (hi - lo + 1);
    ai.desiredHeading = Wrap180(static_cast<float>(heading));
    int32_t drive = Rand() % 10;
    ai.driveLimit = 100 + 100 * drive;
    int32_t rest = Rand() % 10;
    ai.restLimit = 20 + 20 * rest;
    ai.modeLimit = 100 + Rand() % 901;
    ai.moveMode = Rand() % 41;
    // The player's own robot keeps the weapon in hand.
    // A kind whose first weapon has a reach takes it for a tank within it.
    const float reach = r.row ? r.row->firstWeaponReach : 0;
    bool close = reach > 0 && r.lockTarget >= 0 && r.lockTarget < EarthCount &&
                 PointDistance(Position(Tanks[r.lockTarget].world), p) < reach;
    if (close) {
        if (!PlayerDrives(slot)) f.switchWeapon = r.weapon == 1 ? 1 : 0;
    } else {
        int32_t pick = Rand() % 2;
        if (!PlayerDrives(slot)) f.switchWeapon = pick;
    }
}

void RobotAiDecide()
{
    for (int j = 0; j < MercuryCount; ++j) {
        if (PlayerDrives(j)) continue;
        RobotUnit& r = Robots[j];
        RobotAiState& ai = RobotAi[j];
        ControlFlags& f = RobotControls[j];
        // A frozen robot decides nothing, its torso's turn included.
        if (r.shakeCode == HitReaction::FrozenByIce) continue;
        ChooseRobotTarget(j);
        if (r.lockedOn == 0) {
            // Patrol: walk a leg, rest, walk the next.
            f.fire = 0;
            if (ai.restFrames >= ai.restLimit) {
                ai.restFrames = 0;
                ai.wandering = 1;
            }
            if (f.forward) ai.driveFrames += 1;
            else ai.restFrames += 1;
            if (ai.driveFrames >= ai.driveLimit) {
                NewRobotPatrol(j);
                ai.driveFrames = 0;
                ai.wandering = 0;
            }
            f.fire = 0;
            f.switchWeapon = 0;
            if (ai.wandering) {
                f.forward = 1;
                f.turnLeft = f.backward = f.turnRight = 0;
            } else {
                f.forward = 0;
            }
            r.aimYaw += std::clamp(ai.desiredHeading - r.aimYaw, -kAiTurn, kAiTurn);
            continue;
        }
        // A tank in sight: manoeuvre, turn to it, and fire when on it.
        f.turnLeft = ai.moveMode <= 9;
        f.backward = ai.moveMode >= 10 && ai.moveMode <= 19;
        f.turnRight = ai.moveMode >= 20 && ai.moveMode <= 29;
        f.forward = ai.moveMode >= 30 && ai.moveMode <= 39;
        ai.modeFrames += 1;
        if (ai.modeFrames >= ai.modeLimit) {  // reached or passed: a limit drawn lower still ends it
            NewRobotPatrol(j);
            ai.modeFrames = 0;
        }
        const Mat4& target = Tanks[r.lockTarget].world;
        float d = Wrap180(YawToTarget(r.partWorld[1], target));
        if (d >= kAiTurn) {
            r.aimYaw += kAiTurn;
        } else if (d <= -kAiTurn) {
            r.aimYaw -= kAiTurn;
        } else {
            r.aimYaw += d;
            f.fire = Rand() % 38 == 2 ? 1 : 0;
        }
        float e = PitchToTarget(r.AimWorld(), target);
        if (e >= kAiPitch) r.aimPitch += kAiPitch;
        else if (e <= -kAiPitch) r.aimPitch -= kAiPitch;
        r.aimPitch = std::clamp(r.aimPitch, -30.0f, 16.0f);
    }
}

void RobotSideUpdate()
{
    for (int j = 0; j < MercuryCount; ++j) {
        RobotUnit& r = Robots[j];
        ControlFlags& f = RobotControls[j];
        const RobotKind* kind = r.row;
        ShakeFromHit(r, f);
        if (r.alive) {
            if (f.turretLeft) r.aimYaw -= 1.0f;
            if (f.turretRight) r.aimYaw += 1.0f;
            if (f.gunDown) r.aimPitch += 0.5f;
            if (f.gunUp) r.aimPitch -= 0.5f;
            r.aimYaw = Wrap180(r.aimYaw);
            r.legHeading = Wrap180(r.legHeading);
            r.aimPitch = std::clamp(r.aimPitch, -35.0f, 20.0f);
            float legTurn = Walk(r, f, RobotHandling[j]);
            r.bob = std::fabs(r.walkPhase) / 40.0f;
            for (const WallRay& ray : kRobotWallRays) PushRobotFromWall(j, ray);
            r.World() = MatRotationY(legTurn * kDegToRad) * MatTranslation(0, 0, r.speed) * r.World();
            Footstep(r);
            if (f.fire && kind) Fire(r, *kind);
            if (f.switchWeapon) {
                if (r.weapon == 0) {
                    r.weapon = 1;
                    r.weaponSwap = 0;
                } else {
                    r.weaponSwap = 1;
                }
                f.switchWeapon = 0;
            }
        }
        if (kind && kind->pose) kind->pose(r);
        // Damage smoke, thicker as the hit points fall.
        int32_t draw = Rand() % 30;
        if (r.hp > 125 && r.hp < 175 && draw < 1) SmokeFrom(r, 4, 0.6f, 120);
        if (r.hp > 75 && r.hp < 125 && draw < 2) SmokeFrom(r, 4, 0.5f, 140);
        if (r.hp < 75 && draw < 3) SmokeFrom(r, 6, 0.5f, 150);
        if (r.hp <= 0) {
            r.alive = 0;
            f.turnLeft = f.forward = f.backward = f.turnRight = f.fire = f.switchWeapon = 0;
        }
        // A wreck burns and mends on about one frame in five, and comes back
        // at its start point once whole.
        if (!r.alive && draw < 6) {
            SmokeFrom(r, 8, 0.5f, 160);
            if (MendWreck(r.hp)) SpawnRobot(j);
        }
    }
}

void DrawRobotKind(int slot)
{
    const RobotUnit& r = Robots[slot];
    const RobotKind* k = r.row;
    if (!k) return;
    if (k->draw) k->draw(r);
    if (k->drawShots) k->drawShots(r);
}

void DrawRobotDepth(int slot)
{
    const RobotUnit& r = Robots[slot];
    const RobotKind* k = r.row;
    if (k && k->drawDepth) k->drawDepth(r);
}

void DrawRobotAdditiveShots(int slot)
{
    const RobotUnit& r = Robots[slot];
    const RobotKind* k = r.row;
    if (k && k->drawAdditive) k->drawAdditive(r);
}

void UpdateRobotShots(int slot)
{
    RobotUnit& r = Robots[slot];
    if (r.row && r.row->updateShots) r.row->updateShots(r, slot);
}
