// Matrix conventions checked against values worked out by hand: row vectors,
// left-handed camera and projection, depth 0..1, rotation order.
#include <gtest/gtest.h>

#include <cmath>

#include "math/vecmath.h"

namespace {
constexpr float kEps = 1e-5f;
constexpr float kPi = 3.14159265358979f;

void ExpectVec(Vec3 got, float x, float y, float z, float eps = kEps)
{
    EXPECT_NEAR(got.x, x, eps);
    EXPECT_NEAR(got.y, y, eps);
    EXPECT_NEAR(got.z, z, eps);
}

void ExpectIdentity(const Mat4& m, float eps = 1e-5f)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(m.m[i][j], i == j ? 1.0f : 0.0f, eps) << i << "," << j;
}
}  // namespace

TEST(Math, RowVectorsAndProductOrder)
{
    // Translation sits in the fourth row; A x B applies A first.
    Mat4 t = MatTranslation(10, 20, 30);
    EXPECT_EQ(t.m[3][0], 10);
    EXPECT_EQ(t.m[3][2], 30);
    Mat4 scaleThenMove = MatScaling(2, 2, 2) * MatTranslation(10, 0, 0);
    Mat4 moveThenScale = MatTranslation(10, 0, 0) * MatScaling(2, 2, 2);
    ExpectVec(Vec3TransformCoord({1, 0, 0}, scaleThenMove), 12, 0, 0);
    ExpectVec(Vec3TransformCoord({1, 0, 0}, moveThenScale), 22, 0, 0);
    // Normals take no translation; points are divided by w.
    ExpectVec(Vec3TransformNormal({1, 2, 3}, t), 1, 2, 3);
    Mat4 w2 = MatScaling(1, 1, 1);
    w2.m[3][3] = 2;
    ExpectVec(Vec3TransformCoord({4, 6, 8}, w2), 2, 3, 4);
}

TEST(Math, AxisRotationsTurnTheWayTheGameExpects)
{
    float q = kPi / 2;
    // Yaw 0 faces +z; positive yaw turns toward +x.
    ExpectVec(Vec3TransformNormal({0, 0, 1}, MatRotationY(q)), 1, 0, 0);
    // Positive rotation about x takes +y toward +z, about z takes +x toward +y.
    ExpectVec(Vec3TransformNormal({0, 1, 0}, MatRotationX(q)), 0, 0, 1);
    ExpectVec(Vec3TransformNormal({1, 0, 0}, MatRotationZ(q)), 0, 1, 0);
    // An axis rotation agrees with the axis-aligned ones and normalises its axis.
    Mat4 a = MatRotationAxis({0, 3, 0}, 0.7f), b = MatRotationY(0.7f);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(a.m[i][j], b.m[i][j], kEps);
    ExpectVec(Vec3TransformNormal({1, 0, 0}, MatRotationAxis({1, 1, 0}, kPi)), 0, 1, 0);
}

TEST(Math, YawPitchRollAppliesRollThenPitchThenYaw)
{
    float q = kPi / 2;
    Mat4 m = MatRotationYawPitchRoll(q, q, q);
    // Worked by hand: roll takes x to y, pitch y to z, yaw z to x.
    ExpectVec(Vec3TransformNormal({1, 0, 0}, m), 1, 0, 0);
    ExpectVec(Vec3TransformNormal({0, 1, 0}, m), 0, 0, 1);
    ExpectVec(Vec3TransformNormal({0, 0, 1}, m), 0, -1, 0);
    // Yaw with pitch only: the nose goes down, then turns; yaw-first would
    // leave (1, 0, 0).
    ExpectVec(Vec3TransformNormal({0, 0, 1}, MatRotationYawPitchRoll(q, q, 0)), 0, -1, 0);
}

TEST(Math, HeadingFromTheZAxis)
{
    EXPECT_NEAR(MatHeadingDegrees(MatIdentity()), 0, 1e-3);
    EXPECT_NEAR(MatHeadingDegrees(MatRotationY(30 * kDegToRad)), 30, 1e-3);
    EXPECT_NEAR(MatHeadingDegrees(MatRotationY(-120 * kDegToRad)), -120, 1e-3);
    // Pitch does not change the heading: y is dropped before the angle.
    EXPECT_NEAR(MatHeadingDegrees(MatRotationYawPitchRoll(45 * kDegToRad, 0.5f, 0)), 45, 1e-3);
    EXPECT_NEAR(180.0f * kDegToRad, kPi, 1e-6);
    EXPECT_NEAR(kPi * kRadToDeg, 180.0f, 1e-4);
}

TEST(Math, LookAtIsLeftHanded)
{
    // From -z toward the origin: the view is a plain shift by 10.
    Mat4 v = MatLookAtLH({0, 0, -10}, {0, 0, 0}, {0, 1, 0});
    ExpectVec(Vec3TransformCoord({1, 2, 3}, v), 1, 2, 13);
    // From +x toward the origin: world +z is on the right, 5 ahead.
    Mat4 side = MatLookAtLH({5, 0, 0}, {0, 0, 0}, {0, 1, 0});
    ExpectVec(Vec3TransformCoord({0, 0, 1}, side), 1, 0, 5);
    ExpectVec(Vec3TransformCoord({0, 1, 0}, side), 0, 1, 5);
}

TEST(Math, PerspectiveMapsNearAndFarToZeroAndOne)
{
    Mat4 p = MatPerspectiveFovLH(kPi / 2, 2.0f, 1.0f, 101.0f);
    EXPECT_NEAR(p.m[0][0], 0.5f, kEps);
    EXPECT_NEAR(p.m[1][1], 1.0f, kEps);
    EXPECT_NEAR(p.m[2][2], 1.01f, kEps);
    EXPECT_NEAR(p.m[2][3], 1.0f, kEps);
    EXPECT_NEAR(p.m[3][2], -1.01f, kEps);
    ExpectVec(Vec3TransformCoord({2, 1, 1}, p), 1, 1, 0);
    ExpectVec(Vec3TransformCoord({0, 0, 101}, p), 0, 0, 1);
}

TEST(Math, InverseUndoesAndRefusesSingular)
{
    Mat4 inv;
    ASSERT_TRUE(MatInverse(&inv, MatTranslation(1, 2, 3)));
    ExpectVec(Vec3TransformCoord({0, 0, 0}, inv), -1, -2, -3);
    ASSERT_TRUE(MatInverse(&inv, MatScaling(2, 4, 8)));
    EXPECT_NEAR(inv.m[1][1], 0.25f, kEps);
    Mat4 m = MatScaling(1, 2, 3) * MatRotationYawPitchRoll(0.3f, -0.7f, 1.1f) * MatTranslation(5, -6, 7);
    ASSERT_TRUE(MatInverse(&inv, m));
    ExpectIdentity(m * inv);
    ExpectIdentity(inv * m);
    EXPECT_NEAR(MatDeterminant(m), 6.0f, 1e-4);
    Mat4 untouched = MatIdentity();
    EXPECT_FALSE(MatInverse(&untouched, MatScaling(1, 0, 1)));
    ExpectIdentity(untouched);
}

TEST(Math, ProjectToViewportPixels)
{
    Mat4 id = MatIdentity();
    Viewport full = {0, 0, 800, 600, 0, 1};
    ExpectVec(Vec3Project({0, 0, 0.5f}, full, id, id, id), 400, 300, 0.5f, 1e-3f);
    // Clip (1, 1) is the top right; pixel y grows downward.
    ExpectVec(Vec3Project({1, 1, 0}, full, id, id, id), 800, 0, 0, 1e-3f);
    ExpectVec(Vec3Project({-1, -1, 1}, full, id, id, id), 0, 600, 1, 1e-3f);
    Viewport part = {100, 50, 200, 100, 0.2f, 0.6f};
    ExpectVec(Vec3Project({0.5f, -0.5f, 0.5f}, part, id, id, id), 250, 125, 0.4f, 1e-3f);
    // Through a camera: 10 to the right at depth 10 with 90 degrees vertical
    // field at 4:3 lands at ndc x 0.75.
    Mat4 view = MatLookAtLH({0, 0, -10}, {0, 0, 0}, {0, 1, 0});
    Mat4 proj = MatPerspectiveFovLH(kPi / 2, 800.0f / 600.0f, 1, 1000);
    ExpectVec(Vec3Project({0, 0, 0}, full, proj, view, id), 400, 300, 9000.0f / 999.0f / 10.0f, 1e-3f);
    EXPECT_NEAR(Vec3Project({10, 0, 0}, full, proj, view, id).x, 700, 1e-2);
    // The world matrix applies before the camera: lifted 10, the origin meets
    // the top edge.
    EXPECT_NEAR(Vec3Project({0, 0, 0}, full, proj, view, MatTranslation(0, 10, 0)).y, 0, 1e-2);
}

TEST(Math, RayTriangleDistanceInUnitsOfTheDirection)
{
    Vec3 a{0, 0, 5}, b{1, 0, 5}, c{0, 1, 5};
    float u, v, d;
    ASSERT_TRUE(IntersectTriangle(a, b, c, {0.25f, 0.5f, 0}, {0, 0, 2}, &u, &v, &d));
    EXPECT_NEAR(u, 0.25f, kEps);
    EXPECT_NEAR(v, 0.5f, kEps);
    EXPECT_NEAR(d, 2.5f, kEps);
    // Either face; nothing behind the origin, outside the edges or parallel.
    ASSERT_TRUE(IntersectTriangle(a, b, c, {0.25f, 0.25f, 10}, {0, 0, -1}, &u, &v, &d));
    EXPECT_NEAR(d, 5.0f, kEps);
    EXPECT_FALSE(IntersectTriangle(a, b, c, {0.25f, 0.25f, 0}, {0, 0, -1}, &u, &v, &d));
    EXPECT_FALSE(IntersectTriangle(a, b, c, {0.6f, 0.6f, 0}, {0, 0, 1}, &u, &v, &d));
    EXPECT_FALSE(IntersectTriangle(a, b, c, {0, 0, 0}, {1, 0, 0}, &u, &v, &d));
}

TEST(Math, BoundingBoxReadsPositionsAtTheStride)
{
    struct V { Vec3 p; float n[3]; float uv[2]; };  // 32 bytes
    V verts[3] = {{{1, -2, 3}, {9, 9, 9}, {9, 9}},
                  {{-4, 5, 0}, {-9, -9, -9}, {0, 0}},
                  {{2, 0, -6}, {0, 0, 0}, {0, 0}}};
    Vec3 lo, hi;
    ASSERT_TRUE(ComputeBoundingBox(verts, 3, sizeof(V), &lo, &hi));
    ExpectVec(lo, -4, -2, -6);
    ExpectVec(hi, 2, 5, 3);
    EXPECT_FALSE(ComputeBoundingBox(verts, 0, sizeof(V), &lo, &hi));
}

TEST(Math, VectorHelpers)
{
    ExpectVec(Vec3Cross({1, 0, 0}, {0, 1, 0}), 0, 0, 1);
    EXPECT_FLOAT_EQ(Vec3Dot({1, 2, 3}, {4, 5, 6}), 32);
    EXPECT_FLOAT_EQ(Vec3Length({3, 4, 12}), 13);
    ExpectVec(Vec3Normalize({0, 0, -7}), 0, 0, -1);
    ExpectVec(Vec3Normalize({0, 0, 0}), 0, 0, 0);
    ExpectVec(-(Vec3{1, 2, 3} - Vec3{0, 1, 1}) * 2.0f, -2, -2, -4);
}
