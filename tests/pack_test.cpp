// The generated data pack: every file the game reads is there and loads the
// way its loader expects, and the field's layout leaves room to play.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

#include "assets/model.h"
#include "headless_device.h"
#include "platform/image.h"
#include "platform/mesh_data.h"

namespace {
class Pack : public HeadlessDevice {
protected:
    void SetUp() override
    {
        HeadlessDevice::SetUp();
        ASSERT_EQ(chdir(VARNOK_PACK), 0);
    }
};

std::string Slurp(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

uint32_t U32(const std::string& s, size_t at)
{
    uint32_t v;
    std::memcpy(&v, s.data() + at, 4);
    return v;
}
}  // namespace

TEST_F(Pack, EveryWorldFileIsThere)
{
    const char* files[] = {
        "Map/Mountainous.bmp", "Map/City.bmp", "Map/Mountainous.x", "Map/MountainousCollision.x", "Map/City.x",
        "Map/Bit.bmp", "Map/Stop.bmp", "Sky/Sky_CloudyDay1.x", "Sky/Sky_Morning1.x", "Sky/Sky_Evening1.x",
        "Sky/Sky_Evening2.x", "Sky/Sky_Evening3.x", "Sky/Sky_FineDay1.x", "Sky/Sky_Night.x",
        "Sky/Sky_SunnyDay1.x", "Sky/Sky_SunnyDay2.x", "Star/Earth/Earth.x", "Star/Mercury/Mer.x",
        "Star/universe/universe.x", "LAND/Effect/Smoke.png", "LAND/Effect/explode1.png",
        "LAND/Effect/explode2.png", "LAND/Effect/Land.png", "LAND/Effect/MissileSmoke.png",
        "LAND/Effect/CannonSmoke.png", "LAND/Effect/Ice.png", "LAND/Effect/Blood.png",
        "LAND/Effect/ShadowMap.fx", "LAND/Effect/IceShader.fx", "Sound/TankSlowMove.wav", "Sound/TankFire.wav",
        "Sound/MachineGun.wav", "Sound/RobotWalk.wav", "Sound/RobotFire.wav", "Sound/MFire.wav",
        "Font/DejaVuSans-Bold.ttf"};
    for (const char* f : files) EXPECT_EQ(access(f, R_OK), 0) << f;
}

TEST_F(Pack, MeshesLoadWithTheirTexturesThroughTheGamesLoader)
{
    const struct { const char* path; uint32_t subsets; } meshes[] = {
        {"Map/Mountainous.x", 2}, {"Map/City.x", 2},          {"Sky/Sky_Night.x", 1},
        {"Sky/Sky_Evening2.x", 1}, {"Star/Earth/Earth.x", 1}, {"Star/Mercury/Mer.x", 1},
        {"Star/universe/universe.x", 1}};
    for (const auto& m : meshes) {
        testing::internal::CaptureStderr();
        SimpleModel model;
        LoadSimpleModel(&model, m.path);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << m.path;
        ASSERT_NE(model.mesh, nullptr) << m.path;
        EXPECT_EQ(model.materialCount, m.subsets) << m.path;
        EXPECT_NE(model.textures[0], nullptr) << m.path;
        EXPECT_EQ(gfx::MeshFVF(model.mesh), gfx::FVF_XYZ | gfx::FVF_NORMAL | gfx::FVF_TEX1) << m.path;
        ReleaseSimpleModel(&model);
    }
}

TEST_F(Pack, SkiesEncloseTheFieldAndTheMountainsRingIt)
{
    // Every sky at scale 400 about (500, 0, 500) reaches past the field's corners.
    for (const char* sky : {"Sky/Sky_CloudyDay1.x", "Sky/Sky_SunnyDay2.x"}) {
        MeshData d;
        std::string err;
        ASSERT_TRUE(ReadXFile(sky, &d, &err)) << err;
        float nearest = 1e9f, lowest = 0;
        for (const MeshVertex& v : d.vertices) {
            nearest = std::min(nearest, Vec3Length(v.pos));
            lowest = std::min(lowest, v.pos.y);
        }
        EXPECT_GT(nearest * 400, 1000.0f) << sky;  // the field's corners are 707 from the middle
        EXPECT_LT(lowest, 0.0f) << sky;            // and it reaches below the horizon
    }
    MeshData scenery;
    std::string err;
    ASSERT_TRUE(ReadXFile("Map/Mountainous.x", &scenery, &err)) << err;
    float farthest = 0;
    for (const MeshVertex& v : scenery.vertices) farthest = std::max(farthest, std::hypot(v.pos.x, v.pos.z));
    EXPECT_LT(farthest * 100, 4.2f * 400);  // inside the dome
}

TEST_F(Pack, TheCollisionShellBlocksInsideTheFieldButNotAtTheStarts)
{
    SimpleModel shell;
    LoadSimpleModel(&shell, "Map/MountainousCollision.x");
    ASSERT_NE(shell.mesh, nullptr);
    gfx::Mesh* clone = nullptr;
    ASSERT_FALSE(gfx::Failed(CloneMeshPositionNormalTex(shell.mesh, &clone)));
    EXPECT_LE(gfx::MeshVertexCount(clone), 65535u);
    EXPECT_EQ(gfx::FvfStride(gfx::MeshFVF(clone)), 32u);
    // Faces are wound so their normals point out of the obstacle (upward here).
    const uint8_t* v = static_cast<const uint8_t*>(gfx::MeshVertices(clone));
    const uint32_t* idx = gfx::MeshIndices(clone);
    auto at = [&](uint32_t i) {
        Vec3 p;
        std::memcpy(&p, v + i * 32, 12);
        return p;
    };
    for (uint32_t f = 0; f < gfx::MeshFaceCount(clone); ++f) {
        Vec3 a = at(idx[f * 3]), b = at(idx[f * 3 + 1]), c = at(idx[f * 3 + 2]);
        ASSERT_GT(Vec3Cross(b - a, c - a).y, 0.0f) << "face " << f;
    }
    // Rays across the field at a unit's height: the starts and the diagonal
    // between them are open, the obstacles stop a shot somewhere.
    Mat4 stage = MatScaling(100, 100, 100) * MatTranslation(500, -0.8f, 500);
    Mat4 inv;
    ASSERT_TRUE(MatInverse(&inv, stage));
    auto hits = [&](Vec3 from, Vec3 to, float* dist) {
        Vec3 dir = Vec3Normalize(to - from);
        uint32_t face;
        bool hit = IntersectDeviceMesh(clone, Vec3TransformCoord(from, inv), Vec3TransformNormal(dir, inv), &face, dist);
        return hit && *dist < Vec3Length(to - from);
    };
    float dist;
    EXPECT_FALSE(hits({60, 4, 60}, {190, 4, 190}, &dist));
    EXPECT_FALSE(hits({810, 4, 810}, {940, 4, 940}, &dist));
    EXPECT_FALSE(hits({60, 4, 190}, {190, 4, 60}, &dist));
    EXPECT_FALSE(hits({125, 6, 125}, {875, 6, 875}, &dist));  // the route between the starts
    int blocked = 0;
    for (int z = 100; z < 1000; z += 100) blocked += hits({5, 8, static_cast<float>(z)}, {995, 8, static_cast<float>(z)}, &dist);
    EXPECT_GE(blocked, 3);
    gfx::Release(clone);
    ReleaseSimpleModel(&shell);
}

TEST_F(Pack, PicturesDecodeAtTheirLoadersSizes)
{
    const struct { const char* path; uint32_t w, h; } pictures[] = {
        {"Map/Mountainous.bmp", 1024, 1024}, {"Map/City.bmp", 1024, 1024}, {"Map/Bit.bmp", 1, 1},
        {"Map/Stop.bmp", 64, 64}, {"LAND/Effect/Smoke.png", 256, 256}, {"LAND/Effect/explode1.png", 512, 512},
        {"LAND/Effect/explode2.png", 512, 512}, {"LAND/Effect/Land.png", 128, 128},
        {"LAND/Effect/MissileSmoke.png", 64, 64}, {"LAND/Effect/CannonSmoke.png", 64, 64},
        {"LAND/Effect/Ice.png", 64, 64}, {"LAND/Effect/Blood.png", 128, 128}};
    for (const auto& p : pictures) {
        Image img;
        std::string err;
        ASSERT_TRUE(ReadImageFile(p.path, &img, &err)) << p.path << ": " << err;
        EXPECT_EQ(img.width, p.w) << p.path;
        EXPECT_EQ(img.height, p.h) << p.path;
    }
    // The border sign: its black surround is keyed away, the plate is not.
    Image stop;
    std::string err;
    ReadImageFile("Map/Stop.bmp", &stop, &err);
    ApplyColourKey(&stop, 0xFF000000);
    EXPECT_EQ(stop.argb[0], 0u);
    EXPECT_EQ(stop.argb[63 * 64 + 63], 0u);
    int opaque = 0;
    for (uint32_t p : stop.argb) opaque += (p >> 24) != 0;
    EXPECT_GT(opaque, 64 * 40);
    // Particle sheets fade: the last frame holds less than the first.
    Image smoke;
    ReadImageFile("LAND/Effect/Smoke.png", &smoke, &err);
    auto alphaOf = [&](int frame) {
        double sum = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) sum += smoke.argb[((frame / 8) * 32 + y) * 256 + (frame % 8) * 32 + x] >> 24;
        return sum;
    };
    EXPECT_GT(alphaOf(0), 0);
    EXPECT_LT(alphaOf(63), alphaOf(20));
}

TEST_F(Pack, SoundsAre16BitMonoPcmWaves)
{
    for (const char* name : {"TankSlowMove", "TankFire", "MachineGun", "RobotWalk", "RobotFire", "MFire"}) {
        std::string w = Slurp(std::string("Sound/") + name + ".wav");
        ASSERT_GT(w.size(), 44u) << name;
        EXPECT_EQ(w.substr(0, 4), "RIFF") << name;
        EXPECT_EQ(w.substr(8, 8), "WAVEfmt ") << name;
        EXPECT_EQ(U32(w, 4), w.size() - 8) << name;
        EXPECT_EQ(w[20], 1) << name;   // PCM
        EXPECT_EQ(w[22], 1) << name;   // one channel, as 3D sound wants
        EXPECT_EQ(w[34], 16) << name;  // bits per sample
        EXPECT_EQ(w.substr(36, 4), "data") << name;
        EXPECT_EQ(U32(w, 40), w.size() - 44) << name;
        // Not silent, not clipped flat.
        int16_t peak = 0;
        for (size_t i = 44; i + 1 < w.size(); i += 2) {
            int16_t s;
            std::memcpy(&s, &w[i], 2);
            peak = std::max<int16_t>(peak, static_cast<int16_t>(std::abs(s)));
        }
        EXPECT_GT(peak, 8000) << name;
    }
    // The engine loops without a click: its ends meet.
    std::string e = Slurp("Sound/TankSlowMove.wav");
    int16_t first, last;
    std::memcpy(&first, &e[44], 2);
    std::memcpy(&last, &e[e.size() - 2], 2);
    EXPECT_LT(std::abs(first - last), 2500);
}
