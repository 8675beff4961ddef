#include "motion/aim.h"

#include <algorithm>
#include <cmath>

namespace {
Vec3 Position(const Mat4& m) { return {m.m[3][0], m.m[3][1], m.m[3][2]}; }
}  // namespace

float LevelHeading(Vec3 d)
{
    Vec3 h = Vec3Normalize({d.x, 0, d.z});
    float a = std::acos(std::clamp(h.z, -1.0f, 1.0f)) * kRadToDeg;
    return h.x < 0 ? -a : a;
}

float Dip(Vec3 d)
{
    Vec3 n = Vec3Normalize(d), level = Vec3Normalize({n.x, 0, n.z});
    float a = std::acos(std::clamp(Vec3Dot(n, level), -1.0f, 1.0f)) * kRadToDeg;
    return n.y > 0 ? -a : a;
}

float YawToTarget(const Mat4& own, const Mat4& other)
{
    Vec3 from = Position(own);
    Vec3 ahead = Vec3TransformCoord({0, 0, 1}, own) - from;
    return LevelHeading(Position(other) - from) - LevelHeading(ahead);
}

float PitchToTarget(const Mat4& own, const Mat4& other)
{
    Vec3 from = Position(own);
    Vec3 ahead = Vec3TransformCoord({0, 0, 1}, own) - from;
    return Dip(Position(other) - from) - Dip(ahead);
}
