// Loading meshes through the whole model path: reading, cleaning, welding,
// the level-of-detail copies and the vertex-cache order.  A smooth 20000-face
// sheet, and a boxy part like every unit's (hard edges and seams everywhere),
// whose reduced copy takes the welded-surface path.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "../tests/boxy_part.h"
#include "assets/model.h"
#include "platform/gfx.h"
#include "platform/system.h"

namespace {
// A bumpy 100 x 100 sheet in two materials: 20000 faces.
std::string WriteSheet()
{
    const int n = 100;
    std::string path = "/tmp/varnok-bench-sheet.x";
    std::FILE* f = std::fopen(path.c_str(), "w");
    std::fprintf(f, "xof 0303txt 0032\nMesh Sheet {\n %d;\n", (n + 1) * (n + 1));
    for (int z = 0; z <= n; ++z)
        for (int x = 0; x <= n; ++x)
            std::fprintf(f, " %f;%f;%f;%s\n", x * 0.1, 0.2 * std::sin(x * 0.3) * std::cos(z * 0.2), z * 0.1,
                         (z == n && x == n) ? ";" : ",");
    std::fprintf(f, " %d;\n", n * n * 2);
    for (int z = 0; z < n; ++z)
        for (int x = 0; x < n; ++x) {
            int a = z * (n + 1) + x, b = a + 1, c = a + n + 1, d = c + 1;
            bool last = z == n - 1 && x == n - 1;
            std::fprintf(f, " 3;%d,%d,%d;,\n 3;%d,%d,%d;%s\n", a, c, b, b, c, d, last ? ";" : ",");
        }
    std::fprintf(f, " MeshMaterialList {\n 2;\n %d;\n", n * n * 2);
    for (int i = 0; i < n * n * 2; ++i) std::fprintf(f, " %d%s\n", i < n * n ? 0 : 1, i == n * n * 2 - 1 ? ";" : ",");
    std::fprintf(f, "  Material { 0.8;0.8;0.8;1.0;; 8.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }\n");
    std::fprintf(f, "  Material { 0.3;0.5;0.3;1.0;; 8.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }\n }\n}\n");
    std::fclose(f);
    return path;
}

void BM_LoadModelPart20000Faces(benchmark::State& state)
{
    sys::Init(sys::Backend::Headless, true);
    gfx::CreateDevice(gfx::Backend::Null, {800, 600, gfx::FMT_X8R8G8B8, true});
    std::string path = WriteSheet();
    double full = 0, reduced = 0;
    for (auto _ : state) {
        ModelPart part;
        LoadModelPart(&part, path.c_str());
        full = gfx::MeshFaceCount(part.lodMeshes[1]);
        reduced = gfx::MeshFaceCount(part.lodMeshes[0]);
        ReleaseModelPart(&part);
    }
    state.counters["full_faces"] = full;
    state.counters["reduced_faces"] = reduced;
    state.counters["reduced_share"] = full > 0 ? reduced / full : 0;  // target: at most 0.25
    std::remove(path.c_str());
    gfx::ReleaseDevice();
    sys::Shutdown();
}
BENCHMARK(BM_LoadModelPart20000Faces)->Unit(benchmark::kMillisecond);
}  // namespace

void BM_LoadBoxyPart(benchmark::State& state)
{
    sys::Init(sys::Backend::Headless, true);
    gfx::CreateDevice(gfx::Backend::Null, {800, 600, gfx::FMT_X8R8G8B8, true});
    const std::string path = "/tmp/varnok-bench-boxy.x";
    BoxyPart::Tank().Write(path);
    double full = 0, reduced = 0;
    for (auto _ : state) {
        ModelPart part;
        LoadModelPart(&part, path.c_str());
        full = gfx::MeshFaceCount(part.lodMeshes[1]);
        reduced = gfx::MeshFaceCount(part.lodMeshes[0]);
        ReleaseModelPart(&part);
    }
    state.counters["full_faces"] = full;
    state.counters["reduced_faces"] = reduced;
    state.counters["reduced_share"] = full > 0 ? reduced / full : 0;  // target: at most a third
    std::remove(path.c_str());
    gfx::ReleaseDevice();
    sys::Shutdown();
}
BENCHMARK(BM_LoadBoxyPart)->Unit(benchmark::kMillisecond);
