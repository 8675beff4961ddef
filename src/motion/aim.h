// Aiming arithmetic both sides share: the level heading and the dip of a
// direction, and the turn and pitch that face one pose toward another.
#pragma once

#include "math/vecmath.h"

// The level heading of a direction, degrees: 0 along +z, positive toward +x.
float LevelHeading(Vec3 d);
// The angle of a direction below the level, degrees (negative upward).
float Dip(Vec3 d);
// Degrees to turn right so that `own`'s forward axis faces `other`'s origin
// (level only), and degrees to pitch down to face it.
float YawToTarget(const Mat4& own, const Mat4& other);
float PitchToTarget(const Mat4& own, const Mat4& other);
