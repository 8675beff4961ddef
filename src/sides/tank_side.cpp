#include "sides/tank_side.h"


#include <algorithm>
#include <cmath>

#include "assets/sound.h"
#include "records/state.h"
#include "effects/particles.h"
#include "effects/projectiles.h"
#include "world/ground.h"
#include "sides/player.h"
#include "sides/side_rules.h"
#include "platform/audio.h"
#include "platform/crt_rand.h"


namespace {
constexpr float kGunPitchUp = -16.0f;   // most the gun rises (degrees, + is down)
constexpr float kGunPitchDown = 10.0f;  // most it dips
constexpr float kTurretStep = 1.5f;     // degrees a frame the computer turns a turret
constexpr float kGunStep = 0.3f;        // degrees a frame the computer moves a gun
constexpr float kHearGuns = 100.0f;     // guns further from the camera are not played

float Clamp(float v, float lo, float hi) { return v < lo ? lo : v > hi ? hi : v; }

// --- hit reactions ----------------------------------------------------------------------
struct Shake {
    HitReaction code;
    float reach;  // position jitter, uniform in [-reach, reach) on x and z
    int32_t step; // shakeTimer a frame
};
constexpr Shake kShakes[] = {
    {HitReaction::TankShell, 0.18f, 4}, {HitReaction::Bullet, 0.01f, 16}, {HitReaction::Shell, 0.03f, 8},
    {HitReaction::Missile, 0.05f, 8},   {HitReaction::FrozenByIce, 0.0f, 1},   {HitReaction::Killed, 0.38f, 4},
};

void ShakeFromHit(TankUnit& t, ControlFlags& f)
{
    for (const Shake& s : kShakes) {
        if (s.code != t.shakeCode) continue;
        if (s.reach > 0) {
            float x = RandFraction() * 2 * s.reach - s.reach;
            float z = RandFraction() * 2 * s.reach - s.reach;
            t.world.m[3][0] += x;
            t.world.m[3][2] += z;
        }
        t.shakeTimer += s.step;
        if (s.code == HitReaction::FrozenByIce)
            f.turnLeft = f.forward = f.backward = f.turnRight = f.fire = f.switchWeapon = 0;
        break;
    }
    if (t.shakeTimer > 119) {
        t.shakeCode = HitReaction::None;
        t.shakeTimer = 0;
    }
}

// --- driving ----------------------------------------------------------------------------
void Drive(TankUnit& t, const Handling& h, const ControlFlags& f)
{
    if (f.turretLeft) t.turretYaw -= 2;
    if (f.turretRight) t.turretYaw += 2;
    if (t.turretYaw > 360) t.turretYaw -= 360;
    if (t.turretYaw <= 0) t.turretYaw += 360;
    if (f.gunDown) t.gunPitch = std::min(t.gunPitch + 0.5f, kGunPitchDown);
    if (f.gunUp) t.gunPitch = std::max(t.gunPitch - 0.5f, kGunPitchUp);

    if (f.forward) t.forwardSpeed = std::min(t.forwardSpeed + h.acceleration, h.maxSpeed);
    else if (f.backward) t.reverseSpeed = std::max(t.reverseSpeed - h.acceleration / 6 * 5, -(h.maxSpeed / 6 * 5));

    if (f.turnLeft || f.turnRight) {
        // Turning drives the hull at about half speed.
        t.forwardSpeed += h.acceleration;
        if (t.forwardSpeed > h.maxSpeed / 2) t.forwardSpeed = std::max(t.forwardSpeed - 0.02f, h.maxSpeed / 2);
        t.turnRate = f.turnLeft ? -1.0f : 1.0f;
        t.heading += t.turnRate;
    } else {
        t.turnRate = 0;
    }
    if (t.heading > 360) t.heading -= 360;
    if (t.heading < 0) t.heading += 360;

    if (t.forwardSpeed > 0) t.forwardSpeed = std::max(t.forwardSpeed - 0.005f, 0.0f);
    if (t.reverseSpeed < 0) t.reverseSpeed = std::min(t.reverseSpeed + 0.005f, 0.0f);
}

// Dust at the four corners of the tracks.
void TrackDust(const TankUnit& t, int32_t alpha)
{
    float w = t.boxSize.x - 0.2f, l = t.boxSize.z - 0.4f;
    const Vec3 corners[4] = {{-w, -0.6f, l}, {w, -0.6f, l}, {-w, -0.6f, -l}, {w, -0.6f, -l}};
    for (const Vec3& c : corners) {
        Vec3 p = Vec3TransformCoord(c, t.world);
        SpawnGroundDust(p.x, p.y, p.z, alpha, 1);
    }
}

void Engine(const TankUnit& t, int slot)
{
    snd::Buffer* engine = slot < TankEngineSounds.size ? TankEngineSounds.copies[slot] : nullptr;
    if (!engine) return;  // no sound for this tank
    snd::SetPosition(engine, Position(t.world));
    float s = t.forwardSpeed + t.reverseSpeed;
    if (s >= -0.05f && s <= 0.1f) {
        snd::Stop(engine);
        return;
    }
    float hz = std::fabs(std::trunc(static_cast<float>(EngineBaseFrequency) * s * 9));
    snd::SetFrequency(engine, static_cast<uint32_t>(hz));
    if (!(snd::GetStatus(engine) & snd::STATUS_PLAYING)) {
        snd::Play(engine, true);
        ++TankEngineSounds.started;  // the report counts the loops begun
    }
}

void StopEngine(int slot)
{
    if (slot < TankEngineSounds.size) snd::Stop(TankEngineSounds.copies[slot]);  // a null one is skipped
}

// --- damage smoke -----------------------------------------------------------------------
void Smoke(const Mat4& frame, Vec3 at, float size, int32_t alpha)
{
    Vec3 p = Vec3TransformCoord(at, frame);
    int32_t look = EyeRand() % 3;
    SpawnBurst(p.x, p.y, p.z, size, alpha, look, 1, 2);
}

const Vec3 kBackLeftNear{-0.6f, 0, -2.2f}, kBackRightNear{0.6f, 0, -2.2f};
const Vec3 kFrontLeft{-0.7f, 0, 1.8f}, kFrontRight{0.7f, 0, 1.8f};
const Vec3 kBackLeft{-0.7f, 0, -2.2f}, kBackRight{0.7f, 0, -2.2f};
const Vec3 kTurretBack{0, 0, -1.2f};  // in the turret's frame

// The five points of a badly hurt tank or a wreck.
void HeavySmoke(const TankUnit& t, float size, int32_t alpha)
{
    Smoke(t.world, kFrontLeft, size, alpha);
    Smoke(t.world, kFrontRight, size, alpha);
    Smoke(t.world, kBackLeft, size, alpha);
    Smoke(t.world, kBackRight, size, alpha);
    Smoke(t.turretWorld, kTurretBack, size, alpha);
}

void DamageSmoke(const TankUnit& t, int r)
{
    if (t.hp > 125 && t.hp < 200 && r < 4) {
        Smoke(t.world, kBackLeftNear, 0.7f, 110);
        Smoke(t.world, kBackRightNear, 0.7f, 110);
    } else if (t.hp > 75 && t.hp < 125 && r < 4) {
        Smoke(t.world, kBackLeftNear, 0.75f, 130);
        Smoke(t.world, kBackRightNear, 0.75f, 130);
        Smoke(t.turretWorld, kTurretBack, 0.75f, 130);
    } else if (t.hp < 75 && r < 3) {
        HeavySmoke(t, 0.8f, 150);
    }
}

// --- the computer's decisions -------------------------------------------------------------
void Engage(int i, TankUnit& t, ControlFlags& f, TankAiState& ai)
{
    f.forward = f.turnLeft = f.backward = f.turnRight = 0;
    switch (ai.moveMode) {
    case 1: f.turnLeft = 1; break;
    case 2: f.backward = 1; break;
    case 3: f.turnRight = 1; break;
    case 4: break;
    default: f.forward = 1; break;
    }
    // A patrol may have drawn a shorter limit than the count already run.
    if (++ai.modeFrames >= ai.modeLimit) {
        NewTankPatrol(i);
        ai.modeFrames = 0;
    }
    const RobotUnit& target = Robots[t.target];
    float d = Wrap180(YawToTarget(t.turretWorld, target.World()));
    if (d >= kTurretStep) {
        t.turretYaw += kTurretStep;
    } else if (d <= -kTurretStep) {
        t.turretYaw -= kTurretStep;
    } else {
        t.turretYaw += d;  // on target: fire or not
        if (t.weapon == kWeaponSecond) f.fire = (t.row && t.row->secondFiresWhenOnTarget) || Rand() % 6 == 2;
        else f.fire = Rand() % 26 == 2;
    }
    float e = PitchToTarget(t.gunWorld, target.partWorld[1]);
    // The shell's nose drops a little every frame: the gun aims above the
    // target by the arc that brings the shell down on it.
    if (t.weapon == kWeaponMainGun && t.row) {
        float distance = PointDistance(Position(t.gunWorld), Position(target.partWorld[1]));
        e -= ArcLift(t.row->shellStep, t.row->shellDip, distance) * kRadToDeg;
    }
    if (e >= kGunStep) t.gunPitch += kGunStep;
    if (e <= -kGunStep) t.gunPitch -= kGunStep;
    // As for the player: a gun pitched further dips into its own hull.
    t.gunPitch = Clamp(t.gunPitch, kGunPitchUp, kGunPitchDown);
}

void Patrol(int i, TankUnit& t, ControlFlags& f, TankAiState& ai)
{
    f.fire = 0;
    if (ai.restFrames >= ai.restLimit) {
        ai.restFrames = 0;
        ai.wandering = 1;
    }
    if (f.forward) ++ai.driveFrames;
    else ++ai.restFrames;
    if (ai.driveFrames >= ai.driveLimit) {
        NewTankPatrol(i);
        ai.driveFrames = 0;
        ai.wandering = 0;
    }
    if (ai.wandering) {
        Vec3 ahead = Vec3TransformCoord({0, 0, 1}, t.world) - Position(t.world);
        float d = Clamp(Wrap180(ai.desiredHeading - LevelHeading(ahead)), -1, 1);
        t.turnRate = d;
        t.world = MatRotationY(d * kDegToRad) * t.world;
        // Flags left from a fight would make the tank circle for the leg.
        f.turnLeft = f.turnRight = f.backward = 0;
        f.forward = 1;
    } else {
        f.turnLeft = f.turnRight = f.forward = f.backward = 0;
    }
}
}  // namespace

void SpawnTank(int slot)
{
    TankUnit& t = Tanks[slot];
    float x = 925.0f - (slot / 4) * 20.0f, z = 925.0f - (slot % 4) * 20.0f;
    t.world = MatRotationY(3.14159265f) * MatTranslation(x, 10, z);
    t.turretWorld = t.gunWorld = t.mgWorld = t.world;
    t.heading = 180;
    t.turnRate = t.turretYaw = t.gunPitch = t.trackTravel = t.forwardSpeed = t.reverseSpeed = 0;
    t.shakeCode = HitReaction::None;
    t.shakeTimer = t.engaged = t.weapon = t.mainGunBusy = 0;
    // A tank killed in the middle of a main-gun cycle would otherwise come
    // back with its next cycle cut short.
    t.recoil = 0;
    t.recoilTimer = 0;
    t.hp = 256;
    t.alive = 1;
    for (DebrisLaunch& d : t.debris) {
        d.speed = 1.66f + 1.0000001f * RandFraction();
        d.time = 0;
        d.tilt = Rand() % 61 - 30;
        d.heading = Rand() % 360;
    }
    const TankKind* k = t.row;
    if (!k) return;
    if (k->hasSecondMount) {
        t.secondGunTimer = k->secondGunTimer;
        t.secondGunGate = k->secondGunGate;
    }
    TankHandling[slot] = {k->maxSpeed, k->acceleration, k->groundClearance};
    t.boxSize = k->boxSize;
}

bool ComputerDrivesTank(int slot) { return !(PlayerSide == 0 && slot == 0 && !DemoPlayer); }

void ChooseTankTarget(int slot)
{
    TankUnit& t = Tanks[slot];
    int found = NearestLiveUnit(Robots, MercuryCount, Position(t), kTankEngageRange);
    if (found >= 0) t.target = found;
    t.engaged = found >= 0;
}

void NewTankPatrol(int slot)
{
    TankUnit& t = Tanks[slot];
    TankAiState& ai = TankAi[slot];
    int lo = -180, hi = 180;
    Vec3 p = Position(t.world);
    if (p.x < 300) lo = 45, hi = 135;
    if (p.x > 850) lo = 225, hi = 315;
    if (p.z < 300) lo = -45, hi = 45;
    if (p.z > 850) lo = 135, hi = 225;
    float heading = static_cast<float>(lo + Rand() % (hi - lo + 1));
    if (heading > 180) heading -= 360;
    if (heading < -180) heading += 360;
    ai.desiredHeading = heading;
    ai.driveLimit = 100 + 100 * (Rand() % 10);
    ai.restLimit = 30 + 30 * (Rand() % 10);
    ai.modeLimit = 100 + Rand() % 201;
    ai.moveMode = Rand() % 8;
    // The weapon is the computer's choice only for the tanks it drives.
    if (!ComputerDrivesTank(slot)) return;
    ControlFlags& f = TankControls[slot];
    // A kind whose second weapon has a reach goes back to the main gun for
    // a target beyond it; the others pick at random.
    const float reach = t.row ? t.row->secondWeaponReach : 0;
    bool targetFar = reach > 0 && t.target >= 0 && t.target < MercuryCount &&
                     PointDistance(Position(Robots[t.target].World()), p) > reach;
    if (targetFar) {
        if (t.weapon == kWeaponSecond) f.switchWeapon = 1;
    } else {
        f.switchWeapon = Rand() % 2;
    }
}

void TankAiDecide()
{
    for (int i = 0; i < EarthCount; ++i) {
        if (!ComputerDrivesTank(i)) continue;
        TankUnit& t = Tanks[i];
        // A wreck or a frozen tank decides nothing.
        if (!t.alive || t.shakeCode == HitReaction::FrozenByIce) continue;
        ChooseTankTarget(i);
        if (t.engaged) Engage(i, t, TankControls[i], TankAi[i]);
        else Patrol(i, t, TankControls[i], TankAi[i]);
    }
}

int32_t ForwardDustAlpha(float forwardSpeed)
{
    float s = forwardSpeed * 200;
    return s > 35 ? 30 : s < 25 ? 3 : 18;
}

int32_t ReverseDustAlpha(float reverseSpeed) { return -reverseSpeed * 200 > 35 ? 28 : 3; }

void PlayTankGunSound(SoundPool& pool, Vec3 at)
{
    if (PointDistance(CameraEye, at) < kHearGuns) PlayPooled(pool, at);
}

void StopTankEngines()
{
    for (int i = 0; i < kMaxUnits; ++i) StopEngine(i);
}

void TankSideUpdate()
{
    for (int i = 0; i < EarthCount; ++i) {
        TankUnit& t = Tanks[i];
        ControlFlags& f = TankControls[i];
        const TankKind* kind = t.row;
        ShakeFromHit(t, f);
        if (t.alive) {
            Drive(t, TankHandling[i], f);
            for (const WallRay& ray : kTankWallRays) PushTankFromWall(i, ray);
            // The tracks run whether or not they are seen; their dust is
            // raised only in view.
            bool inView = IsSphereInView(BattleFrustum, Position(t.world), 5.0f);
            t.trackTravel += (t.forwardSpeed + t.reverseSpeed) * 50;
            if (t.forwardSpeed != 0 && inView) TrackDust(t, ForwardDustAlpha(t.forwardSpeed));
            if (t.reverseSpeed != 0 && inView) TrackDust(t, ReverseDustAlpha(t.reverseSpeed));
            t.world = MatRotationY(t.turnRate * kDegToRad) * MatTranslation(0, 0, t.reverseSpeed) *
                      MatTranslation(0, 0, t.forwardSpeed) * t.world;
            Engine(t, i);
            if (f.fire && kind && kind->trigger) kind->trigger(t, i);
            if (f.switchWeapon) {
                if (t.weapon == kWeaponMainGun) {
                    t.weapon = kWeaponSecond;
                    t.weaponSwap = 0;
                } else {
                    t.weaponSwap = 1;
                }
                f.switchWeapon = 0;
            }
        }
        if (kind && kind->pose) kind->pose(t);

        int r = Rand() % 30;
        DamageSmoke(t, r);
        if (t.hp <= 0) {
            if (t.alive) StopEngine(i);
            t.alive = 0;
            f.turnLeft = f.forward = f.backward = f.turnRight = f.fire = 0;
        }
        if (!t.alive && r < 6) {
            HeavySmoke(t, 0.8f, 150);
            Smoke(t.gunWorld, {0, 0, 0}, 0.8f, 150);
            if (MendWreck(t.hp)) SpawnTank(i);
        }
    }
}

void DrawTankKind(int slot)
{
    TankUnit& t = Tanks[slot];
    const TankKind* kind = t.row;
    if (!kind) return;
    if (kind->draw) kind->draw(t);
    if (kind->drawShells) kind->drawShells(t);
}

void DrawTankDepth(int slot)
{
    const TankKind* kind = Tanks[slot].row;
    if (kind && kind->drawDepth) kind->drawDepth(Tanks[slot]);
}

void DrawTankAdditiveShots(int slot)
{
    const TankKind* kind = Tanks[slot].row;
    if (kind && kind->drawAdditive) kind->drawAdditive(Tanks[slot]);
}

void UpdateTankShots(int slot)
{
    TankUnit& t = Tanks[slot];
    if (t.row && t.row->updateShots) t.row->updateShots(t, slot);
}
