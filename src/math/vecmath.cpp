#include "math/vecmath.h"

#include <algorithm>
#include <cmath>
#include <cstring>

float Vec3Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vec3 Vec3Cross(Vec3 a, Vec3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Vec3Length(Vec3 a) { return std::sqrt(Vec3Dot(a, a)); }

Vec3 Vec3Normalize(Vec3 a)
{
    float len = Vec3Length(a);
    if (len == 0.0f) return {0.0f, 0.0f, 0.0f};
    return a * (1.0f / len);
}

Vec4 Vec3Transform(Vec3 v, const Mat4& m)
{
    Vec4 r;
    r.x = v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0] + m.m[3][0];
    r.y = v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1] + m.m[3][1];
    r.z = v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2] + m.m[3][2];
    r.w = v.x * m.m[0][3] + v.y * m.m[1][3] + v.z * m.m[2][3] + m.m[3][3];
    return r;
}

Vec3 Vec3TransformCoord(Vec3 v, const Mat4& m)
{
    Vec4 r = Vec3Transform(v, m);
    float inv = (r.w != 0.0f) ? 1.0f / r.w : 0.0f;
    return {r.x * inv, r.y * inv, r.z * inv};
}

Vec3 Vec3TransformNormal(Vec3 v, const Mat4& m)
{
    return {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0],
            v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1],
            v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2]};
}

Vec3 Vec3Project(Vec3 v, const Viewport& vp, const Mat4& proj, const Mat4& view,
                 const Mat4& world)
{
    Vec3 c = Vec3TransformCoord(v, world * view * proj);
    return {vp.x + (1.0f + c.x) * vp.width * 0.5f, vp.y + (1.0f - c.y) * vp.height * 0.5f,
            vp.minZ + c.z * (vp.maxZ - vp.minZ)};
}

Mat4 MatIdentity()
{
    Mat4 r{};
    r.m[0][0] = r.m[1][1] = r.m[2][2] = r.m[3][3] = 1.0f;
    return r;
}

Mat4 MatMultiply(const Mat4& a, const Mat4& b)
{
    Mat4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] +
                        a.m[i][3] * b.m[3][j];
    return r;
}

Mat4 MatTranslation(float x, float y, float z)
{
    Mat4 r = MatIdentity();
    r.m[3][0] = x;
    r.m[3][1] = y;
    r.m[3][2] = z;
    return r;
}

Mat4 MatScaling(float x, float y, float z)
{
    Mat4 r{};
    r.m[0][0] = x;
    r.m[1][1] = y;
    r.m[2][2] = z;
    r.m[3][3] = 1.0f;
    return r;
}

Mat4 MatRotationX(float a)
{
    float c = std::cos(a), s = std::sin(a);
    Mat4 r = MatIdentity();
    r.m[1][1] = c;
    r.m[1][2] = s;
    r.m[2][1] = -s;
    r.m[2][2] = c;
    return r;
}

Mat4 MatRotationY(float a)
{
    float c = std::cos(a), s = std::sin(a);
    Mat4 r = MatIdentity();
    r.m[0][0] = c;
    r.m[0][2] = -s;
    r.m[2][0] = s;
    r.m[2][2] = c;
    return r;
}

Mat4 MatRotationZ(float a)
{
    float c = std::cos(a), s = std::sin(a);
    Mat4 r = MatIdentity();
    r.m[0][0] = c;
    r.m[0][1] = s;
    r.m[1][0] = -s;
    r.m[1][1] = c;
    return r;
}

Mat4 MatRotationAxis(Vec3 axis, float a)
{
    Vec3 n = Vec3Normalize(axis);
    float c = std::cos(a), s = std::sin(a), t = 1.0f - c;
    Mat4 r = MatIdentity();
    r.m[0][0] = t * n.x * n.x + c;
    r.m[0][1] = t * n.x * n.y + s * n.z;
    r.m[0][2] = t * n.x * n.z - s * n.y;
    r.m[1][0] = t * n.x * n.y - s * n.z;
    r.m[1][1] = t * n.y * n.y + c;
    r.m[1][2] = t * n.y * n.z + s * n.x;
    r.m[2][0] = t * n.x * n.z + s * n.y;
    r.m[2][1] = t * n.y * n.z - s * n.x;
    r.m[2][2] = t * n.z * n.z + c;
    return r;
}

Mat4 MatRotationYawPitchRoll(float yaw, float pitch, float roll)
{
    return MatRotationZ(roll) * MatRotationX(pitch) * MatRotationY(yaw);
}

Mat4 MatTranspose(const Mat4& a)
{
    Mat4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) r.m[i][j] = a.m[j][i];
    return r;
}

// Cofactor expansion shared by the determinant and the inverse.
static void Cofactors(const Mat4& a, float inv[16])
{
    const float* m = &a.m[0][0];
    inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] +
             m[9] * m[7] * m[14] + m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
    inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] -
             m[8] * m[7] * m[14] - m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
    inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] +
             m[8] * m[7] * m[13] + m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
    inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] -
              m[8] * m[6] * m[13] - m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
    inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] -
             m[9] * m[3] * m[14] - m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
    inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] +
             m[8] * m[3] * m[14] + m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
    inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] -
             m[8] * m[3] * m[13] - m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
    inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] +
              m[8] * m[2] * m[13] + m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
    inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] +
             m[5] * m[3] * m[14] + m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
    inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] -
             m[4] * m[3] * m[14] - m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
    inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] +
              m[4] * m[3] * m[13] + m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
    inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] -
              m[4] * m[2] * m[13] - m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
    inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] -
             m[5] * m[3] * m[10] - m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
    inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] +
             m[4] * m[3] * m[10] + m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
    inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] -
              m[4] * m[3] * m[9] - m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
    inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] +
              m[4] * m[2] * m[9] + m[8] * m[1] * m[6] - m[8] * m[2] * m[5];
}

float MatDeterminant(const Mat4& a)
{
    float inv[16];
    Cofactors(a, inv);
    const float* m = &a.m[0][0];
    return m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
}

bool MatInverse(Mat4* out, const Mat4& a)
{
    float inv[16];
    Cofactors(a, inv);
    const float* m = &a.m[0][0];
    float det = m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
    if (det == 0.0f || !std::isfinite(det)) return false;
    float s = 1.0f / det;
    for (int i = 0; i < 16; ++i) (&out->m[0][0])[i] = inv[i] * s;
    return true;
}

Mat4 MatLookAtLH(Vec3 eye, Vec3 at, Vec3 up)
{
    Vec3 z = Vec3Normalize(at - eye);
    Vec3 x = Vec3Normalize(Vec3Cross(up, z));
    Vec3 y = Vec3Cross(z, x);
    Mat4 r = MatIdentity();
    r.m[0][0] = x.x; r.m[0][1] = y.x; r.m[0][2] = z.x;
    r.m[1][0] = x.y; r.m[1][1] = y.y; r.m[1][2] = z.y;
    r.m[2][0] = x.z; r.m[2][1] = y.z; r.m[2][2] = z.z;
    r.m[3][0] = -Vec3Dot(x, eye);
    r.m[3][1] = -Vec3Dot(y, eye);
    r.m[3][2] = -Vec3Dot(z, eye);
    return r;
}

Mat4 MatPerspectiveFovLH(float fovY, float aspect, float zn, float zf)
{
    float yScale = 1.0f / std::tan(fovY * 0.5f);
    Mat4 r{};
    r.m[0][0] = yScale / aspect;
    r.m[1][1] = yScale;
    r.m[2][2] = zf / (zf - zn);
    r.m[2][3] = 1.0f;
    r.m[3][2] = -zn * zf / (zf - zn);
    return r;
}

float Wrap180(float degrees) { return std::remainder(degrees, 360.0f); }

float LevelHeading(Vec3 d)
{
    Vec3 level{d.x, 0, d.z};
    if (Vec3Length(level) == 0) return 0;
    Vec3 h = Vec3Normalize(level);
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

float ArcLift(float step, float dip, float distance)
{
    if (!(dip > 0) || !(step > 0)) return 0;
    // The points a shot passes lie on a circle of this radius; the first
    // chord leaves at the aim, each next one turned down by `dip`.
    float radius = step / (2 * std::sin(dip / 2));
    float half = distance / (2 * radius);
    if (half > 1) return 0;
    return std::asin(half) - dip / 2;
}

float MatHeadingDegrees(const Mat4& m) { return LevelHeading({m.m[2][0], 0.0f, m.m[2][2]}); }

bool IntersectTriangle(Vec3 p0, Vec3 p1, Vec3 p2, Vec3 origin, Vec3 dir, float* u, float* v,
                       float* dist)
{
    Vec3 e1 = p1 - p0, e2 = p2 - p0;
    Vec3 p = Vec3Cross(dir, e2);
    float det = Vec3Dot(e1, p);
    if (std::fabs(det) < 1e-12f) return false;  // ray parallel to the plane
    float inv = 1.0f / det;
    Vec3 t = origin - p0;
    float bu = Vec3Dot(t, p) * inv;
    if (bu < 0.0f || bu > 1.0f) return false;
    Vec3 q = Vec3Cross(t, e1);
    float bv = Vec3Dot(dir, q) * inv;
    if (bv < 0.0f || bu + bv > 1.0f) return false;
    float d = Vec3Dot(e2, q) * inv;
    if (d < 0.0f) return false;
    if (u) *u = bu;
    if (v) *v = bv;
    if (dist) *dist = d;
    return true;
}

bool ComputeBoundingBox(const void* firstPosition, size_t count, size_t stride, Vec3* min,
                        Vec3* max)
{
    *min = *max = {0.0f, 0.0f, 0.0f};
    if (count == 0 || firstPosition == nullptr) return false;
    const unsigned char* p = static_cast<const unsigned char*>(firstPosition);
    Vec3 lo, hi;
    std::memcpy(&lo, p, sizeof lo);
    hi = lo;
    for (size_t i = 1; i < count; ++i) {
        Vec3 q;
        std::memcpy(&q, p + i * stride, sizeof q);
        if (q.x < lo.x) lo.x = q.x;
        if (q.y < lo.y) lo.y = q.y;
        if (q.z < lo.z) lo.z = q.z;
        if (q.x > hi.x) hi.x = q.x;
        if (q.y > hi.y) hi.y = q.y;
        if (q.z > hi.z) hi.z = q.z;
    }
    *min = lo;
    *max = hi;
    return true;
}
