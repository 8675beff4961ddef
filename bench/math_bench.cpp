// The matrix work every unit does each frame: world matrices built from
// yaw-pitch-roll and chained parents, points and normals transformed.
#include <benchmark/benchmark.h>

#include "math/vecmath.h"

static void BM_WorldMatrixChain(benchmark::State& state)
{
    float a = 0.0f;
    for (auto _ : state) {
        Mat4 body = MatRotationYawPitchRoll(a, 0.1f, 0.05f) * MatTranslation(500, 2, 500);
        Mat4 turret = MatRotationY(a * 2) * MatTranslation(0, 1.5f, 0) * body;
        Mat4 gun = MatRotationX(-0.2f) * MatTranslation(0, 0.3f, 1) * turret;
        benchmark::DoNotOptimize(gun);
        a += 0.001f;
    }
}
BENCHMARK(BM_WorldMatrixChain);

static void BM_TransformCoord(benchmark::State& state)
{
    Mat4 m = MatLookAtLH({0, 10, -20}, {0, 0, 0}, {0, 1, 0}) *
             MatPerspectiveFovLH(0.8f, 4.0f / 3.0f, 1, 2000);
    Vec3 v{1, 2, 3};
    for (auto _ : state) {
        v = Vec3TransformCoord(v, m);
        benchmark::DoNotOptimize(v);
        v.z += 5;
    }
}
BENCHMARK(BM_TransformCoord);

static void BM_Inverse(benchmark::State& state)
{
    Mat4 m = MatRotationYawPitchRoll(0.3f, 0.2f, 0.1f) * MatTranslation(1, 2, 3);
    Mat4 inv;
    for (auto _ : state) {
        benchmark::DoNotOptimize(MatInverse(&inv, m));
        benchmark::DoNotOptimize(inv);
    }
}
BENCHMARK(BM_Inverse);

static void BM_IntersectTriangle(benchmark::State& state)
{
    float u, v, d;
    float x = 0.0f;
    for (auto _ : state) {
        bool hit = IntersectTriangle({0, 0, 5}, {1, 0, 5}, {0, 1, 5}, {x, 0.25f, 0}, {0, 0, 1}, &u, &v, &d);
        benchmark::DoNotOptimize(hit);
        x = x > 1.0f ? 0.0f : x + 0.01f;
    }
}
BENCHMARK(BM_IntersectTriangle);
