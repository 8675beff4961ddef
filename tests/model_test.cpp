// Mesh files, the model records built from them, textures, the frustum test
// and ray tests, on the null device.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>

#include "app/device.h"
#include "headless_device.h"
#include "app/options.h"
#include "assets/model.h"
#include "platform/image.h"
#include "platform/mesh_data.h"
#include "platform/system.h"

namespace {
const std::string kData = VARNOK_TEST_DATA;

class Models : public HeadlessDevice {
protected:
    void SetUp() override
    {
        HeadlessDevice::SetUp();
        ASSERT_EQ(chdir("/tmp"), 0);  // textures are looked up here first
    }
};

void ExpectVec(Vec3 v, float x, float y, float z)
{
    EXPECT_NEAR(v.x, x, 1e-5);
    EXPECT_NEAR(v.y, y, 1e-5);
    EXPECT_NEAR(v.z, z, 1e-5);
}

// Positions of face f of a device mesh, in its index order.
std::vector<Vec3> FaceCorners(gfx::Mesh* m, uint32_t f)
{
    uint32_t stride = gfx::FvfStride(gfx::MeshFVF(m));
    const uint8_t* v = static_cast<const uint8_t*>(gfx::MeshVertices(m));
    std::vector<Vec3> out;
    for (int k = 0; k < 3; ++k) {
        Vec3 p;
        std::memcpy(&p, v + gfx::MeshIndices(m)[f * 3 + k] * stride, 12);
        out.push_back(p);
    }
    return out;
}

std::string Slurp(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}
}  // namespace

TEST_F(Models, TextFileReadsThroughFramesExactlyAsWritten)
{
    MeshData d;
    std::string err;
    ASSERT_TRUE(ReadXFile(kData + "/two_frames.x", &d, &err)) << err;
    ASSERT_EQ(d.FaceCount(), 3u);
    ASSERT_EQ(d.materials.size(), 3u);
    EXPECT_TRUE(d.hasNormals);
    EXPECT_TRUE(d.hasTexCoords);
    // Face 0 (0, 3, 2): the child turns x to -z and lifts by 2, the parent
    // moves by 10 along x; the corners keep the file's order.
    const MeshVertex* v = d.vertices.data();
    const uint32_t* i = d.indices.data();
    ExpectVec(v[i[0]].pos, 10, 2, 0);
    ExpectVec(v[i[1]].pos, 10, 3, 0);
    ExpectVec(v[i[2]].pos, 10, 3, -1);
    ExpectVec(v[i[0]].normal, -1, 0, 0);
    EXPECT_FLOAT_EQ(v[i[1]].u, 0.0f);  // vertex 3: (0, 0)
    EXPECT_FLOAT_EQ(v[i[1]].v, 0.0f);
    EXPECT_FLOAT_EQ(v[i[2]].u, 1.0f);  // vertex 2: (1, 0)
    EXPECT_FLOAT_EQ(v[i[0]].v, 1.0f);  // vertex 0: (0, 1)
    EXPECT_EQ(d.attributes[0], 0u);
    EXPECT_EQ(d.attributes[1], 1u);
    EXPECT_EQ(d.attributes[2], 2u);
    const gfx::Material& red = d.materials[0].material;
    EXPECT_FLOAT_EQ(red.diffuse.r, 1);
    EXPECT_FLOAT_EQ(red.power, 12);
    EXPECT_FLOAT_EQ(red.specular.g, 0.5f);
    EXPECT_TRUE(d.materials[0].textureFile.empty());
    EXPECT_EQ(d.materials[1].textureFile, "stripes.bmp");
    EXPECT_FLOAT_EQ(d.materials[1].material.diffuse.a, 0.5f);
    EXPECT_FLOAT_EQ(d.materials[1].material.emissive.g, 0.25f);
}

TEST_F(Models, BinaryFileReadsTheSame)
{
    MeshData d;
    std::string err;
    ASSERT_TRUE(ReadXFile(kData + "/quad_binary.x", &d, &err)) << err;
    EXPECT_EQ(d.FaceCount(), 2u);
    ASSERT_EQ(d.materials.size(), 2u);
    EXPECT_FLOAT_EQ(d.materials[0].material.diffuse.g, 1);
    EXPECT_EQ(d.materials[1].textureFile, "stripes.bmp");
    ExpectVec(d.vertices[d.indices[0]].pos, 0, 0, 0);
    ExpectVec(d.vertices[d.indices[1]].pos, 0, 1, 0);
    ExpectVec(d.vertices[d.indices[2]].pos, 1, 1, 0);
}

TEST_F(Models, ModelPartCleansWeldsAndCutsTwoCopies)
{
    ModelPart part;
    testing::internal::CaptureStderr();
    LoadModelPart(&part, (kData + "/two_frames.x").c_str());
    std::string err = testing::internal::GetCapturedStderr();
    ASSERT_NE(part.mesh, nullptr);
    // The picture beside the mesh file loads; the missing one says so once.
    EXPECT_NE(err.find("no_such_picture.png: cannot be opened"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_EQ(part.materialCount, 3u);
    EXPECT_EQ(part.textures[0], nullptr);
    EXPECT_NE(part.textures[1], nullptr);
    EXPECT_EQ(part.textures[2], nullptr);
    // Ambient is the diffuse colour.
    EXPECT_FLOAT_EQ(part.materials[1].ambient.a, 0.5f);
    EXPECT_FLOAT_EQ(part.materials[0].ambient.r, 1.0f);
    // The degenerate face is gone; the duplicated corner is welded.
    EXPECT_EQ(gfx::MeshFaceCount(part.sourceMesh), 3u);
    EXPECT_EQ(gfx::MeshFaceCount(part.mesh), 2u);
    EXPECT_EQ(gfx::MeshVertexCount(part.mesh), 4u);
    EXPECT_EQ(part.maxFaces, 2u);
    EXPECT_EQ(part.lodCount, 2u);
    EXPECT_EQ(gfx::MeshFaceCount(part.lodMeshes[1]), 2u);
    // One face a subset simplifies to nothing, so the reduced count is 0 and
    // the reduced copy keeps what there is rather than vanish.
    EXPECT_EQ(part.reducedFaces, 0u);
    EXPECT_EQ(gfx::MeshFaceCount(part.lodMeshes[0]), 2u);
    // Winding of the welded mesh is the file's.
    auto c = FaceCorners(part.mesh, 0);
    ExpectVec(c[0], 10, 2, 0);
    ExpectVec(c[1], 10, 3, 0);
    ExpectVec(c[2], 10, 3, -1);

    EXPECT_FALSE(gfx::Failed(ComputeModelBox(&part)));
    ExpectVec(part.box.min, 10, 2, -1);
    ExpectVec(part.box.max, 10, 3, 0);
    ExpectVec(part.box.halfSize, 0, 0.5f, 0.5f);

    gfx::Present();
    DrawModelPart(&part, 10);
    DrawModelPart(&part, NAN);  // a NaN distance takes the reduced copy
    gfx::Present();
    EXPECT_EQ(gfx::LastFrameStats().subsets, 4u);  // two subsets with faces, twice
    ReleaseModelPart(&part);
    EXPECT_EQ(part.mesh, nullptr);
    EXPECT_EQ(part.lodMeshes[0], nullptr);
    EXPECT_TRUE(part.textures.empty());
    ReleaseModelPart(&part);  // twice is harmless
    DrawModelPart(&part, 10);
}

TEST_F(Models, TheReducedCopyKeepsAFifthOfTheWayAboveTheMinimum)
{
    // A finely divided bumpy sheet: plenty for the simplifier to take away.
    MeshData sheet;
    const int n = 40;
    for (int z = 0; z <= n; ++z)
        for (int x = 0; x <= n; ++x)
            sheet.vertices.push_back({{x * 0.1f, 0.05f * std::sin(x * 0.7f) * std::cos(z * 0.5f), z * 0.1f},
                                      {0, 1, 0}, x / float(n), z / float(n)});
    for (int z = 0; z < n; ++z)
        for (int x = 0; x < n; ++x) {
            uint32_t a = z * (n + 1) + x, b = a + 1, c = a + n + 1, d = c + 1;
            sheet.indices.insert(sheet.indices.end(), {a, c, b, b, c, d});
            sheet.attributes.insert(sheet.attributes.end(), 2, x < n / 2 ? 0u : 1u);
        }
    uint32_t minFaces = MinimumFaces(sheet);
    EXPECT_LT(minFaces, sheet.FaceCount() / 10);
    uint32_t target = minFaces + (sheet.FaceCount() - minFaces) / 5;
    MeshData reduced = SimplifiedCopy(sheet, target);
    EXPECT_LE(reduced.FaceCount(), sheet.FaceCount() / 4);
    EXPECT_GT(reduced.FaceCount(), 0u);
    // Both subsets survive, each in one run.
    EXPECT_EQ(reduced.attributes.front(), 0u);
    EXPECT_EQ(reduced.attributes.back(), 1u);
    EXPECT_TRUE(std::is_sorted(reduced.attributes.begin(), reduced.attributes.end()));
    OptimizeVertexCache(&reduced);
    EXPECT_TRUE(std::is_sorted(reduced.attributes.begin(), reduced.attributes.end()));
    EXPECT_TRUE(ValidMesh(reduced));
}

TEST_F(Models, LevelOfDetailSwitchesAtFifty)
{
    EXPECT_EQ(LodLevel(49.999f), 1);
    EXPECT_EQ(LodLevel(50.0f), 0);
    EXPECT_EQ(LodLevel(0.0f), 1);
    EXPECT_EQ(LodLevel(NAN), 0);
    EXPECT_EQ(LodLevel(INFINITY), 0);
}

TEST_F(Models, SimpleModelDrawsAsReadAndScrollsItsTexture)
{
    SimpleModel m;
    LoadSimpleModel(&m, (kData + "/quad_binary.x").c_str());
    ASSERT_NE(m.mesh, nullptr);
    EXPECT_EQ(m.materialCount, 2u);
    EXPECT_NE(m.textures[1], nullptr);
    EXPECT_EQ(gfx::MeshFVF(m.mesh), gfx::FVF_XYZ | gfx::FVF_TEX1);  // no normals in the file
    gfx::Present();
    DrawSimpleModelScrolled(&m, 0.25f);
    EXPECT_FLOAT_EQ(gfx::GetTransform(gfx::TS_TEXTURE0).m[2][0], 0.25f);
    gfx::Present();
    EXPECT_EQ(gfx::LastFrameStats().subsets, 2u);
    ReleaseSimpleModel(&m);
    ReleaseSimpleModel(&m);
    EXPECT_EQ(m.mesh, nullptr);
}

TEST_F(Models, BadMeshFilesLeaveEmptyRecordsWithOneLine)
{
    std::ofstream("/tmp/varnok-bad.x") << "xof 0303txt 0032\nMesh { 3; 0.0;0.0;0.0;, oops";
    for (const std::string& path : {std::string("/tmp/varnok-none.x"), std::string("/tmp/varnok-bad.x")}) {
        ModelPart part;
        SimpleModel simple;
        testing::internal::CaptureStderr();
        LoadModelPart(&part, path.c_str());
        LoadSimpleModel(&simple, path.c_str());
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(part.mesh, nullptr);
        EXPECT_EQ(part.materialCount, 0u);
        EXPECT_EQ(simple.mesh, nullptr);
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 2) << err;
        EXPECT_EQ(err.rfind(path + ": ", 0), 0u) << err;
        EXPECT_LT(err.size(), 500u);
        DrawModelPart(&part, 1);
        DrawSimpleModel(&simple);
        EXPECT_TRUE(gfx::Failed(ComputeModelBox(&part)));
        ReleaseModelPart(&part);
        ReleaseSimpleModel(&simple);
    }
    std::remove("/tmp/varnok-bad.x");
}

TEST_F(Models, TexturesLoadAtTheirSizeOrTheAskedOneWithTheColourKey)
{
    Image img;
    std::string err;
    ASSERT_TRUE(ReadImageFile(kData + "/stripes.bmp", &img, &err)) << err;
    ASSERT_EQ(img.width, 4u);
    EXPECT_EQ(img.argb[0], 0xFFFF0000u);  // the top row first
    EXPECT_EQ(img.argb[4], 0xFF0000FFu);
    Image big = ScaleImage(img, 8, 8);
    EXPECT_EQ(big.argb[0], 0xFFFF0000u);
    EXPECT_EQ(big.argb[7 * 8 + 7], 0xFF0000FFu);
    ApplyColourKey(&img, 0xFF0000FF);
    EXPECT_EQ(img.argb[4], 0u);
    EXPECT_EQ(img.argb[0], 0xFFFF0000u);

    gfx::Texture* t = nullptr;
    ASSERT_FALSE(gfx::Failed(LoadTexture(&t, (kData + "/stripes.bmp").c_str(), 0, 0, 0)));
    gfx::SurfaceDesc desc;
    gfx::GetLevelDesc(t, 0, &desc);
    EXPECT_EQ(desc.width, 4u);
    EXPECT_EQ(desc.height, 2u);
    gfx::Release(t);
    ASSERT_FALSE(gfx::Failed(LoadTexture(&t, (kData + "/stripes.bmp").c_str(), 64, 32, 0xFF000000)));
    gfx::GetLevelDesc(t, 0, &desc);
    EXPECT_EQ(desc.width, 64u);
    gfx::Release(t);

    std::ofstream("/tmp/varnok-bad.png") << "\x89PNG not really";
    for (const char* path : {"/tmp/varnok-none.png", "/tmp/varnok-bad.png"}) {
        testing::internal::CaptureStderr();
        EXPECT_TRUE(gfx::Failed(LoadTexture(&t, path, 0, 0, 0)));
        std::string e = testing::internal::GetCapturedStderr();
        EXPECT_EQ(t, nullptr);
        EXPECT_EQ(e.rfind(std::string(path) + ": ", 0), 0u) << e;
    }
    std::remove("/tmp/varnok-bad.png");
}

TEST_F(Models, FrustumEdgeCases)
{
    ViewFrustum f;
    BuildViewFrustum(&f, MatLookAtLH({0, 0, 0}, {0, 0, 1}, {0, 1, 0}), 60, 1.3333334f, 1.0f, 320.0f);
    ExpectVec(f.eye, 0, 0, 0);
    ExpectVec(f.forward, 0, 0, 1);
    EXPECT_LT(f.sideNormals[0].x, 0);  // left points left
    EXPECT_GT(f.sideNormals[1].y, 0);  // top points up
    EXPECT_TRUE(IsSphereInView(f, {0, 0, 100}, 1));
    // Behind the eye by less than the radius minus the near distance: visible.
    EXPECT_TRUE(IsSphereInView(f, {0, 0, -3}, 5));
    EXPECT_FALSE(IsSphereInView(f, {0, 0, -3}, 3.9f));
    // Beyond the far distance plus the radius: not visible; just inside: visible.
    EXPECT_FALSE(IsSphereInView(f, {0, 0, 326}, 5));
    EXPECT_TRUE(IsSphereInView(f, {0, 0, 324}, 5));
    // Off to the side (60 degrees vertical, 4:3): x beyond the edge plus radius.
    EXPECT_FALSE(IsSphereInView(f, {200, 0, 100}, 1));
    EXPECT_TRUE(IsSphereInView(f, {70, 0, 100}, 1));
    EXPECT_FALSE(IsSphereInView(f, {0, 100, 100}, 1));
}

TEST_F(Models, RayAgainstMeshFindsTheNearestFace)
{
    ModelPart part;
    LoadModelPart(&part, (kData + "/two_frames.x").c_str());
    ASSERT_NE(part.mesh, nullptr);
    uint32_t face = 9999;
    float dist = 9999;
    // From +x toward the quad in the plane x = 10, direction length 2.
    ASSERT_TRUE(IntersectDeviceMesh(part.mesh, {14, 2.5f, -0.25f}, {-2, 0, 0}, &face, &dist));
    EXPECT_NEAR(dist, 2.0f, 1e-5);
    EXPECT_FALSE(IntersectDeviceMesh(part.mesh, {14, 2.5f, -0.25f}, {2, 0, 0}, &face, &dist));
    EXPECT_FALSE(IntersectDeviceMesh(nullptr, {0, 0, 0}, {1, 0, 0}, &face, &dist));
    // The nearest of two faces in line.
    Vec3 pos[6] = {{0, 0, 5}, {1, 0, 5}, {0, 1, 5}, {0, 0, 3}, {1, 0, 3}, {0, 1, 3}};
    uint32_t idx[6] = {0, 1, 2, 3, 4, 5};
    ASSERT_TRUE(IntersectMesh(pos, sizeof(Vec3), idx, 2, {0.2f, 0.2f, 0}, {0, 0, 1}, &face, &dist));
    EXPECT_EQ(face, 1u);
    EXPECT_FLOAT_EQ(dist, 3.0f);

    gfx::Mesh* clone = nullptr;
    ASSERT_FALSE(gfx::Failed(CloneMeshPositionNormalTex(part.sourceMesh, &clone)));
    EXPECT_EQ(gfx::MeshFVF(clone), gfx::FVF_XYZ | gfx::FVF_NORMAL | gfx::FVF_TEX1);
    EXPECT_EQ(gfx::FvfStride(gfx::MeshFVF(clone)), 32u);
    EXPECT_EQ(gfx::MeshFaceCount(clone), 3u);
    gfx::Release(clone);
    ReleaseModelPart(&part);
}

// Whatever the bytes, the loaders return; they never crash.
TEST_F(Models, MangledFilesNeverCrashTheLoaders)
{
    std::vector<std::string> corpus = {Slurp(kData + "/two_frames.x"), Slurp(kData + "/quad_binary.x"),
                                       Slurp(kData + "/stripes.bmp")};
    std::mt19937 rng(1234);
    const std::string path = "/tmp/varnok-fuzz";
    int loaded = 0;
    testing::internal::CaptureStderr();
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = corpus[round % corpus.size()];
        int edits = 1 + rng() % 8;
        for (int e = 0; e < edits && !bytes.empty(); ++e) {
            size_t at = rng() % bytes.size();
            switch (rng() % 4) {
            case 0: bytes[at] = static_cast<char>(rng()); break;
            case 1: bytes.erase(at, 1 + rng() % 16); break;
            case 2: bytes.insert(at, 1 + rng() % 4, static_cast<char>(rng())); break;
            case 3: bytes.resize(at); break;
            }
        }
        bool picture = round % corpus.size() == 2;
        std::string file = path + (picture ? ".bmp" : ".x");
        std::ofstream(file, std::ios::binary) << bytes;
        if (picture) {
            gfx::Texture* t = nullptr;
            loaded += !gfx::Failed(LoadTexture(&t, file.c_str(), 0, 0, 0));
            gfx::Release(t);
        } else {
            ModelPart part;
            LoadModelPart(&part, file.c_str());
            loaded += part.mesh != nullptr;
            ComputeModelBox(&part);
            DrawModelPart(&part, 1);
            ReleaseModelPart(&part);
        }
        std::remove(file.c_str());
    }
    testing::internal::GetCapturedStderr();
    EXPECT_GT(loaded, 0);  // some mutations still load, so the good paths ran too
}
