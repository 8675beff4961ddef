// Vectors and 4 x 4 matrices shared by every module.
//
// Row vectors: a point transforms as v x M, the translation sits in the fourth
// row, and A x B applies A first.  The world is left-handed (+x right, +y up,
// +z ahead); clip depth runs 0..1.  Angles in records are degrees; the
// helpers here take radians.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr float kDegToRad = 0.017453292f;  // radians = degrees x this
constexpr float kRadToDeg = 57.295776f;    // degrees = radians x this

struct Vec3 {
    float x, y, z;
};

struct Vec4 {
    float x, y, z, w;
};

struct Mat4 {
    float m[4][4];
};

// The rectangle a scene is drawn into, in back-buffer pixels, with its depth range.
struct Viewport {
    uint32_t x, y, width, height;
    float minZ, maxZ;
};

// --- vectors ---------------------------------------------------------------
inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator-(Vec3 a) { return {-a.x, -a.y, -a.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline Vec3 operator*(float s, Vec3 a) { return a * s; }
inline Vec3& operator+=(Vec3& a, Vec3 b) { return a = a + b; }
inline Vec3& operator-=(Vec3& a, Vec3 b) { return a = a - b; }

float Vec3Dot(Vec3 a, Vec3 b);
Vec3 Vec3Cross(Vec3 a, Vec3 b);
float Vec3Length(Vec3 a);
// A zero vector stays zero, as the platform library left it.
Vec3 Vec3Normalize(Vec3 a);
// Point (w = 1) through M, divided by the resulting w.
Vec3 Vec3TransformCoord(Vec3 v, const Mat4& m);
// Direction (w = 0) through M: no translation, no divide.
Vec3 Vec3TransformNormal(Vec3 v, const Mat4& m);
// (x, y, z, 1) through M, w kept.
Vec4 Vec3Transform(Vec3 v, const Mat4& m);
// World point to viewport pixels: x right from the viewport's left edge,
// y down from its top edge, z mapped into minZ..maxZ.
Vec3 Vec3Project(Vec3 v, const Viewport& vp, const Mat4& proj, const Mat4& view,
                 const Mat4& world);

// --- matrices --------------------------------------------------------------
Mat4 MatIdentity();
Mat4 MatMultiply(const Mat4& a, const Mat4& b);  // a applies first
inline Mat4 operator*(const Mat4& a, const Mat4& b) { return MatMultiply(a, b); }
Mat4 MatTranslation(float x, float y, float z);
Mat4 MatScaling(float x, float y, float z);
Mat4 MatRotationX(float radians);
Mat4 MatRotationY(float radians);
Mat4 MatRotationZ(float radians);
// Rotation about an axis through the origin; the axis need not be unit length.
Mat4 MatRotationAxis(Vec3 axis, float radians);
// Roll about z first, then pitch about x, then yaw about y.
Mat4 MatRotationYawPitchRoll(float yaw, float pitch, float roll);
Mat4 MatTranspose(const Mat4& a);
float MatDeterminant(const Mat4& a);
// False (and *out untouched) when the matrix cannot be inverted.
bool MatInverse(Mat4* out, const Mat4& a);
// Left-handed camera: view space looks down +z with +y up.
Mat4 MatLookAtLH(Vec3 eye, Vec3 at, Vec3 up);
// Left-handed projection mapping view depth zn..zf to clip depth 0..1.
Mat4 MatPerspectiveFovLH(float fovY, float aspect, float zn, float zf);

// Where a matrix puts the origin: its translation row.
inline Vec3 Position(const Mat4& m) { return {m.m[3][0], m.m[3][1], m.m[3][2]}; }

// An angle in degrees brought into [-180, 180].
float Wrap180(float degrees);

// --- headings and aim ----------------------------------------------------------
// The level heading of a direction, degrees in -180..180: 0 along +z,
// positive toward +x; 0 for a direction with no level part.
float LevelHeading(Vec3 d);
// Heading of a matrix's z axis seen from above.
float MatHeadingDegrees(const Mat4& m);
// The angle of a direction below the level, degrees (negative upward).
float Dip(Vec3 d);
// Degrees to turn right so that `own`'s forward axis faces `other`'s origin
// (level only), and degrees to pitch down to face it.
float YawToTarget(const Mat4& own, const Mat4& other);
float PitchToTarget(const Mat4& own, const Mat4& other);
// How far above the straight line to a point `distance` away a shot must
// leave, in radians, when it moves `step` a frame and its direction turns
// down by `dip` radians a frame: its path is then an arc through the point.
// 0 for a shot that flies straight (dip 0) and for a point out of its reach.
float ArcLift(float step, float dip, float distance);

// --- intersection and bounds -------------------------------------------------
// Ray against triangle p0 p1 p2, either face.  On a hit returns true with the
// barycentric u (towards p1), v (towards p2) and the distance along the ray in
// units of dir's length (0 or more).
bool IntersectTriangle(Vec3 p0, Vec3 p1, Vec3 p2, Vec3 origin, Vec3 dir, float* u, float* v,
                       float* dist);
// Smallest box holding `count` positions read at `stride`-byte steps.
// Returns false (and zero boxes) when count is 0.
bool ComputeBoundingBox(const void* firstPosition, size_t count, size_t stride, Vec3* min,
                        Vec3* max);
