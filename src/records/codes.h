// The battle's named codes and constants.  Hit reactions, crosshairs and
// puff kinds share some numbers (36, 344, 444) but are different things, so
// each is a type of its own: one cannot be passed where another is meant.
#pragma once

#include <cstdint>

// How a unit reacts to what hit it: its shakeCode until the shake runs out.
enum class HitReaction : int32_t {
    None = 0,
    TankShell = 36,     // a tank's shell
    Bullet = 144,       // a machine-gun bullet
    Shell = 244,        // a robot's shell
    Missile = 344,      // a missile
    FrozenByIce = 444,  // the ice weapon: no driving, turning or firing, no decisions
    Killed = 999,
};

// The sight the head-up display draws for the weapon in hand.
enum class Crosshair : int32_t {
    Unchanged = -1,  // a kind's entry that leaves the sight as it was
    Cannon = 36,
    MachineGun = 144,
    RobotGun = 244,
    RobotMissile = 344,
};

// The texture and motion of a puff.
enum class PuffKind : int32_t {
    GunSmoke = 36,
    TrailSmoke = 344,
    Ice = 444,
};

// The battlefield covers x and z from 0 to this.
constexpr float kFieldSize = 1000.0f;
// The battle clock counts 60 ticks a second.
constexpr int32_t kTicksPerMinute = 3600;
// Screens are laid out for 800 x 600; the mouse is held at its centre.
constexpr int kDesignWidth = 800;
constexpr int kDesignHeight = 600;
constexpr int kScreenCentreX = kDesignWidth / 2;
constexpr int kScreenCentreY = kDesignHeight / 2;
// The battle camera's vertical field of view, and its 4:3 aspect.
constexpr float kFieldOfViewDegrees = 60.0f;
constexpr float kFieldOfView = 1.0471976f;  // the same angle in radians
constexpr float kViewAspect = 1.3333334f;
