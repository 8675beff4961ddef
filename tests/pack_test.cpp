// The generated data pack: every file the game reads is there and loads the
// way its loader expects, and the field's layout leaves room to play.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "assets/model.h"
#include "headless_device.h"
#include "menu_atlases.h"
#include "platform/image.h"
#include "platform/mesh_data.h"
#include "platform/test_hooks.h"
#include "units/robots/robot_kinds.h"
#include "units/tanks/tank_kinds.h"

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

// Every kind of both tables finds every file its load asks for: a missing
// or damaged one would be named on stderr.  A new kind is checked here by
// its row alone.
TEST_F(Pack, EveryKindsModelsLoadFromThePackWithoutAWord)
{
    int loaded = 0;
    auto check = [&](const char* name, void (*load)(), void (*release)()) {
        if (!load) return;
        testing::internal::CaptureStderr();
        load();
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << name;
        if (release) release();
        ++loaded;
    };
    for (const TankKind& k : TankKinds) check(k.name, k.load, k.release);
    for (const RobotKind& k : RobotKinds) check(k.name, k.load, k.release);
    EXPECT_GE(loaded, 2);
    // Both walkers come whole: nine parts each (legs, feet, body, arms, pods).
    for (int kind : {101, 102}) {
        LoadRobotModels(kind);
        const RobotModelSet& set = kind == 101 ? Robot10Models : Robot15Models;
        int parts = 0;
        for (const ModelPart& p : set.parts) parts += p.mesh != nullptr;
        EXPECT_EQ(parts, 9) << kind;
    }
    ReleaseAllRobotModels();
}

// Every kind's loader puts back what it holds before it loads: a set loaded
// twice and released once leaves no device object behind.
TEST_F(Pack, EveryKindsSetLoadedTwiceIsGoneAfterOneRelease)
{
    int kinds = 0;
    auto check = [&](const char* name, void (*load)(), void (*release)()) {
        if (!load || !release) return;
        release();
        const int before = gfx::LiveObjects();
        load();
        const int once = gfx::LiveObjects();
        EXPECT_GT(once, before) << name;
        load();
        EXPECT_EQ(gfx::LiveObjects(), once) << name << ": the second load kept the first one's objects";
        release();
        EXPECT_EQ(gfx::LiveObjects(), before) << name;
        ++kinds;
    };
    for (const TankKind& k : TankKinds) check(k.name, k.load, k.release);
    for (const RobotKind& k : RobotKinds) check(k.name, k.load, k.release);
    EXPECT_GE(kinds, 4);
}

// Every unit model file of both sides is in the pack, loads through the
// units' loader with at least one subset and a box; a walker's body (what
// its World() places) lies inside the footprint its wall rays start from.
TEST_F(Pack, EveryUnitModelLoadsWithASubsetAndEachWalkersBodyFitsItsFootprint)
{
    const std::vector<std::string> kinds[] = {
        {"TIGER", "body", "top1", "top2", "weapon1", "weapon2", "stailer1", "stailer2", "stailer3", "stailer4",
         "tailer", "tama"},
        {"ABRAMS", "body", "top1", "top2", "top3", "weaponpart1", "weaponpart2", "wheel", "swheel1", "swheel2",
         "Cannon01"},
        {"BRDM3", "body", "top1", "top2", "wheel"},
        {"FLACKP", "body", "top1", "top2", "top3", "top4", "wheel1", "wheel2", "wheel3"},
        {"FT17_BER", "body", "top1", "top2", "wheel", "wheel1", "wheel2", "wheel3"},
        {"M2A2", "body", "top1", "top2", "top3", "wheel", "wheel1", "wheel2", "wheel3"},
        {"M60", "body", "top1", "top2", "top3", "top4", "wheel0", "wheel1", "wheel2", "wheel3", "wheel4"},
        {"V100", "body", "top1", "top2", "wheel"},
        {"M730A", "body", "top1", "top2", "tama", "wheel0", "wheel1", "wheel2", "wheel3"},
        {"D-ED.10", "Body", "Head", "Foot", "LeftArm", "RightArm", "LeftLeg", "RightLeg", "weaponpart1",
         "weaponpart2"},
        {"R-NO.15", "body", "head", "foot", "leftarm", "rightarm", "leftleg", "rightleg", "weapon", "tama03"},
        {"R-NO.16", "body", "head", "leg", "leftarm", "rightarm", "leftfoot", "rightfoot", "weapon1", "weapon2",
         "tama"},
        {"R-NO.13", "LowerBody", "UpperBody", "Head", "LeftArm", "RightArm", "LeftLeg", "RightLeg", "Foot"},
    };
    int files = 0;
    for (const auto& kind : kinds) {
        for (size_t i = 1; i < kind.size(); ++i) {
            const std::string path = "LAND/" + kind[0] + "/" + kind[i] + ".x";
            testing::internal::CaptureStderr();
            ModelPart part;
            LoadModelPart(&part, path.c_str());
            EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << path;
            ASSERT_NE(part.mesh, nullptr) << path;
            EXPECT_GE(part.materialCount, 1u) << path;
            EXPECT_FALSE(gfx::Failed(ComputeModelBox(&part))) << path;
            EXPECT_GT(part.box.halfSize.x * part.box.halfSize.y * part.box.halfSize.z, 0.0f) << path;
            const RobotKind* row = RobotKindOf(RobotKindFromText(kind[0].c_str()));
            if (i == 1 && row) {
                for (float x : {part.box.min.x, part.box.max.x}) EXPECT_LE(std::fabs(x), row->boxSize.x) << path;
                for (float z : {part.box.min.z, part.box.max.z}) EXPECT_LE(std::fabs(z), row->boxSize.z) << path;
            }
            ReleaseModelPart(&part);
            ++files;
        }
    }
    EXPECT_EQ(files, 106);
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

TEST_F(Pack, RobotTenPartsLoadCentredAndStandWhereTheirMatricesPutThem)
{
    // Every part loads through the game's loader with its texture; the parts
    // the hit tests place by their origins (upper body, foot, missile) are
    // centred on them.
    const struct { const char* name; bool centred; } parts[] = {
        {"Body", false}, {"Head", true},  {"RightArm", false},    {"LeftArm", false},     {"RightLeg", false},
        {"LeftLeg", false}, {"Foot", true}, {"weaponpart1", false}, {"weaponpart2", true}};
    for (const auto& part : parts) {
        std::string path = std::string("LAND/D-ED.10/") + part.name + ".x";
        testing::internal::CaptureStderr();
        ModelPart model;
        LoadModelPart(&model, path.c_str());
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << path;
        ASSERT_NE(model.mesh, nullptr) << path;
        ASSERT_EQ(model.materialCount, 1u) << path;
        EXPECT_NE(model.textures[0], nullptr) << path;
        ASSERT_FALSE(gfx::Failed(ComputeModelBox(&model))) << path;
        Vec3 centre = (model.box.min + model.box.max) * 0.5f;
        if (part.centred) {
            EXPECT_NEAR(centre.x, 0, 0.005f) << path;
            EXPECT_NEAR(centre.y, 0, 0.005f) << path;
            EXPECT_NEAR(centre.z, 0, 0.005f) << path;
        }
        ReleaseModelPart(&model);
    }
    auto read = [](const char* name) {
        MeshData d;
        std::string err;
        EXPECT_TRUE(ReadXFile((std::string("LAND/D-ED.10/") + name + ".x").c_str(), &d, &err)) << err;
        return d;
    };
    // Standing still, each foot's sole is on the ground 2.2 below the body.
    MeshData foot = read("Foot");
    for (float side : {-0.85f, 0.85f}) {
        Mat4 m = MatRotationX(0.8552113f) * MatTranslation(0, -1, -0.4f) * MatTranslation(side, -0.05f, -0.4f);
        float lowest = 1e9f;
        for (const MeshVertex& v : foot.vertices) lowest = std::min(lowest, Vec3TransformCoord(v.pos, m).y);
        EXPECT_NEAR(lowest, -2.2f, 0.005f);
    }
    // Each gun's muzzle is its foremost point, where its shells start.
    for (auto [name, x] : {std::pair{"LeftArm", -0.4f}, std::pair{"RightArm", 0.4f}}) {
        MeshData arm = read(name);
        float front = -1e9f;
        for (const MeshVertex& v : arm.vertices) front = std::max(front, v.pos.z);
        EXPECT_NEAR(front, 1.9f, 0.005f) << name;
        for (const MeshVertex& v : arm.vertices) {
            if (v.pos.z > front - 0.01f) {
                EXPECT_LT(std::hypot(v.pos.x - x, v.pos.y), 0.2f) << name;
            }
        }
    }
    // The shell pictures keep their loader's sizes and a keyed black surround;
    // the armour has no key colour in it.
    const struct { const char* name; uint32_t w, h; } keyed[] = {{"Cannon11", 16, 128}, {"Cannon12", 64, 64}};
    for (const auto& k : keyed) {
        Image img;
        std::string err;
        ASSERT_TRUE(ReadImageFile((std::string("LAND/D-ED.10/") + k.name + ".png").c_str(), &img, &err)) << err;
        ASSERT_EQ(img.width, k.w) << k.name;
        ASSERT_EQ(img.height, k.h) << k.name;
        ApplyColourKey(&img, 0xFF000000);
        EXPECT_EQ(img.argb[0], 0u) << k.name;
        EXPECT_EQ(img.argb[(k.h / 2) * k.w + k.w / 2] >> 24, 0xFFu) << k.name;
    }
    Image armour;
    std::string err;
    ASSERT_TRUE(ReadImageFile("LAND/D-ED.10/Armour.png", &armour, &err)) << err;
    for (uint32_t p : armour.argb) {
        uint32_t rgb = p & 0xFFFFFF;
        ASSERT_TRUE(rgb != 0 && rgb != 0xFFFFFF && rgb != 0xFF00FF) << std::hex << p;
    }
}

TEST_F(Pack, AbramsPartsLoadTexturedAndSitWhereTheirMatricesPutThem)
{
    // Every part loads through the game's loader with a texture on each
    // painted subset, and its box has the size and centre its matrix and the
    // hit tests take for granted: the hit tests centre the hull, turret and
    // shell boxes on the part's origin, and wheels turn about their own x axis.
    const struct {
        const char* path;
        Vec3 size;      // extent, each axis within `slack`
        float slack;
        bool centred;   // box centre on the origin
        bool axle;      // centred on the x axis
        bool painted;   // every subset textured
    } parts[] = {
        {"LAND/ABRAMS/body.x", {2.2f, 0.9f, 5.0f}, 0.1f, true, false, true},
        {"LAND/ABRAMS/top1.x", {1.8f, 0.68f, 2.6f}, 0.1f, true, false, true},
        {"LAND/ABRAMS/Cannon01.x", {0.09f, 0.09f, 0.68f}, 0.03f, true, false, false},
        {"LAND/ABRAMS/swheel2.x", {0.17f, 0.36f, 0.36f}, 0.03f, false, true, true},
        {"LAND/ABRAMS/swheel1.x", {0.21f, 0.4f, 0.4f}, 0.03f, false, true, true},
        {"LAND/ABRAMS/top2.x", {0.4f, 0.3f, 2.02f}, 0.05f, false, false, true},
        {"LAND/ABRAMS/top3.x", {2.0f, 1.2f, 2.4f}, 0.2f, false, false, true},
        {"LAND/ABRAMS/weaponpart1.x", {0.66f, 0.65f, 0.95f}, 0.05f, false, false, true},
        {"LAND/ABRAMS/weaponpart2.x", {0.55f, 0.6f, 1.2f}, 0.05f, false, false, true},
    };
    for (const auto& p : parts) {
        testing::internal::CaptureStderr();
        ModelPart part;
        LoadModelPart(&part, p.path);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << p.path;
        ASSERT_NE(part.mesh, nullptr) << p.path;
        ASSERT_FALSE(gfx::Failed(ComputeModelBox(&part))) << p.path;
        Vec3 size = part.box.max - part.box.min, centre = (part.box.max + part.box.min) * 0.5f;
        EXPECT_NEAR(size.x, p.size.x, p.slack) << p.path;
        EXPECT_NEAR(size.y, p.size.y, p.slack) << p.path;
        EXPECT_NEAR(size.z, p.size.z, p.slack) << p.path;
        if (p.centred) {
            EXPECT_LT(Vec3Length(centre), 0.01f) << p.path;
        }
        if (p.axle) {
            EXPECT_LT(std::fabs(centre.y) + std::fabs(centre.z), 0.01f) << p.path;
        }
        for (uint32_t i = 0; p.painted && i < part.materialCount; ++i) EXPECT_NE(part.textures[i], nullptr) << p.path;
        ReleaseModelPart(&part);
    }
    auto read = [](const char* path) {
        MeshData d;
        std::string err;
        EXPECT_TRUE(ReadXFile(path, &d, &err)) << path << ": " << err;
        return d;
    };
    // Shells leave at the gun's muzzle, 1.8 ahead of its trunnions; bullets
    // at the first barrel's muzzle, (0, 0, 1.2) in the barrels' frame.
    float front = -1e9f, nearest = 1e9f;
    for (const MeshVertex& v : read("LAND/ABRAMS/top2.x").vertices) front = std::max(front, v.pos.z);
    for (const MeshVertex& v : read("LAND/ABRAMS/weaponpart2.x").vertices)
        nearest = std::min(nearest, Vec3Length(v.pos - Vec3{0, 0, 1.2f}));
    EXPECT_NEAR(front, 1.8f, 0.01f);
    EXPECT_LT(nearest, 0.03f);

    // The track, placed 0.32 down and 0.23 back from the hull's origin (0.72
    // above the ground): its ground run is on the ground and it reaches round
    // the rear sprocket at z -2.45.  Along the ground run u grows toward the
    // front, so a growing u offset (the wheels turning forward) carries the
    // links backward under the hull, about as fast as the wheels' rims move.
    SimpleModel track;
    testing::internal::CaptureStderr();
    LoadSimpleModel(&track, "LAND/ABRAMS/wheel.x");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_NE(track.mesh, nullptr);
    EXPECT_NE(track.textures[0], nullptr);
    ReleaseSimpleModel(&track);
    MeshData band = read("LAND/ABRAMS/wheel.x");
    float lowest = 1e9f, rear = 1e9f;
    for (const MeshVertex& v : band.vertices) lowest = std::min(lowest, v.pos.y), rear = std::min(rear, v.pos.z);
    EXPECT_NEAR(lowest - 0.32f, -0.72f, 0.01f);
    EXPECT_LT(rear - 0.23f, -2.45f - 0.2f);
    float uAtRear = 0, uAtFront = 0, zRear = 1e9f, zFront = -1e9f;
    for (const MeshVertex& v : band.vertices) {
        if (v.pos.y > lowest + 0.001f || v.normal.y > -0.9f) continue;
        if (v.pos.z < zRear) zRear = v.pos.z, uAtRear = v.u;
        if (v.pos.z > zFront) zFront = v.pos.z, uAtFront = v.u;
    }
    ASSERT_GT(zFront - zRear, 2.0f);
    EXPECT_GT(uAtFront, uAtRear);
    EXPECT_NEAR((uAtFront - uAtRear) / (zFront - zRear), 1.07f, 0.1f);

    // The tracer pictures: black (the key) round a bright yellow-white streak
    // (along u, brightest toward the head) or a round glow.  The painted
    // pictures are opaque and never land on a key colour.
    const struct { const char* path; uint32_t w, h, brightX; } tracers[] = {
        {"LAND/ABRAMS/beam11.bmp", 16, 64, 12}, {"LAND/ABRAMS/beam12.png", 128, 128, 64}};
    for (const auto& t : tracers) {
        Image img;
        std::string err;
        ASSERT_TRUE(ReadImageFile(t.path, &img, &err)) << t.path << ": " << err;
        ASSERT_EQ(img.width, t.w) << t.path;
        ASSERT_EQ(img.height, t.h) << t.path;
        ApplyColourKey(&img, 0xFF000000);
        EXPECT_EQ(img.argb[0] >> 24, 0u) << t.path;
        uint32_t bright = img.argb[(t.h / 2) * t.w + t.brightX];
        EXPECT_EQ(bright >> 24, 0xFFu) << t.path;
        EXPECT_GT((bright >> 16) & 0xFF, 0xE0u) << t.path;
        EXPECT_GT((bright >> 8) & 0xFF, 0xC0u) << t.path;
    }
    for (const char* path : {"LAND/ABRAMS/AbramsCamo.png", "LAND/ABRAMS/AbramsLower.png", "LAND/ABRAMS/AbramsGear.png"}) {
        Image img;
        std::string err;
        ASSERT_TRUE(ReadImageFile(path, &img, &err)) << path << ": " << err;
        EXPECT_EQ(img.width, img.height) << path;
        int keyed = 0;
        for (uint32_t p : img.argb) {
            uint32_t rgb = p & 0xFFFFFF;
            keyed += rgb == 0 || rgb == 0xFFFFFF || rgb == 0xFF00FF || (p >> 24) != 0xFF;
        }
        EXPECT_EQ(keyed, 0) << path;
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

namespace {
// Each named rectangle holds non-key content, and nothing spills over its
// border: the ring of pixels just outside is key colour wherever it is not
// inside another named rectangle.
void CheckAtlas(const char* path, uint32_t key, uint32_t w, uint32_t h, const std::vector<Rect4>& rects)
{
    Image img;
    std::string err;
    ASSERT_TRUE(ReadImageFile(path, &img, &err)) << path << ": " << err;
    ASSERT_EQ(img.width, w) << path;
    ASSERT_EQ(img.height, h) << path;
    auto isKey = [&](int x, int y) { return (img.argb[static_cast<size_t>(y) * w + x] & 0xFFFFFF) == key; };
    auto named = [&](int x, int y) {
        for (const Rect4& r : rects)
            if (x >= r.l && x < r.r && y >= r.t && y < r.b) return true;
        return false;
    };
    for (const Rect4& r : rects) {
        int content = 0;
        for (int y = r.t; y < r.b; ++y)
            for (int x = r.l; x < r.r; ++x) content += !isKey(x, y);
        EXPECT_GT(content, (r.r - r.l) * (r.b - r.t) / 50)
            << path << " (" << r.l << ", " << r.t << ")-(" << r.r << ", " << r.b << ") is nearly empty";
        for (int x = r.l - 1; x <= r.r; ++x)
            for (int y : {r.t - 1, r.b}) {
                if (x < 0 || y < 0 || x >= static_cast<int>(w) || y >= static_cast<int>(h) || named(x, y)) continue;
                EXPECT_TRUE(isKey(x, y)) << path << ": content at (" << x << ", " << y << ") outside ("
                                         << r.l << ", " << r.t << ")-(" << r.r << ", " << r.b << ")";
            }
        for (int y = r.t - 1; y <= r.b; ++y)
            for (int x : {r.l - 1, r.r}) {
                if (x < 0 || y < 0 || x >= static_cast<int>(w) || y >= static_cast<int>(h) || named(x, y)) continue;
                EXPECT_TRUE(isKey(x, y)) << path << ": content at (" << x << ", " << y << ") outside ("
                                         << r.l << ", " << r.t << ")-(" << r.r << ", " << r.b << ")";
            }
    }
}
}  // namespace

TEST_F(Pack, BattleAtlasesHoldEveryPictureInItsRectangle)
{
    CheckAtlas("LAND/Sprite/Char.bmp", 0xFF00FF, 512, 512,
               {{1, 31, 174, 74}, {2, 77, 149, 120}, {2, 123, 100, 167}, {2, 2, 256, 28}, {2, 277, 512, 391},
                {2, 395, 512, 509}, {262, 160, 512, 274}, {259, 2, 295, 38}, {258, 41, 288, 71},
                {299, 2, 362, 41}, {366, 2, 510, 146}, {329, 44, 363, 79}, {177, 31, 196, 55},
                {199, 31, 220, 51}, {241, 31, 256, 47}});
    CheckAtlas("LAND/Sprite/HP.bmp", 0xFF00FF, 512, 512,
               {{256, 0, 512, 256}, {0, 0, 256, 256}, {256, 256, 512, 512}, {0, 256, 256, 512}});
    CheckAtlas("LAND/Sprite/radar.bmp", 0xFFFFFF, 512, 512, {{257, 1, 511, 255}, {1, 1, 255, 255}});
}

TEST_F(Pack, FrontEndAtlasesHoldEveryPictureInItsRectangle)
{
    CheckAtlas("Title/MenuLog.bmp", 0xFF00FF, 1024, 1024, MenuLogRects());
    CheckAtlas("Title/Game_Logo1.bmp", 0xFF00FF, 512, 512, LogoRects());
    CheckAtlas("Title/ForcesSelectMenu1.bmp", 0xFFFFFF, 512, 512, ForcesCaptionRects());
    const struct { const char* path; uint32_t w, h; } full[] = {
        {"Title/MainMenu.bmp", 1024, 1024},  {"Title/ForcesSelectMenu.bmp", 1024, 1024},
        {"Title/SelectMenu.bmp", 1024, 1024}, {"Title/Selectback1.bmp", 512, 512},
        {"Title/Selectback2.bmp", 1024, 256}, {"Title/StageSet.bmp", 1024, 1024},
        {"Title/Option.bmp", 1024, 1024}};
    for (const auto& f : full) {
        Image img;
        std::string err;
        ASSERT_TRUE(ReadImageFile(f.path, &img, &err)) << f.path;
        EXPECT_EQ(img.width, f.w) << f.path;
        EXPECT_EQ(img.height, f.h) << f.path;
    }
    // The stage screen lets the battlefield show through above its panel.
    Image stage;
    std::string err;
    ReadImageFile("Title/StageSet.bmp", &stage, &err);
    EXPECT_EQ(stage.argb[400 * 1024 + 512] & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_NE(stage.argb[900 * 1024 + 512] & 0xFFFFFF, 0xFFFFFFu);
}

// The boxes shots find each fighting kind by are set once its models load,
// and each holds its part's whole mesh about the part's origin, as the hit
// tests place it: a box never computed lets every shot through.
TEST_F(Pack, EveryFightingKindsHitBoxesHoldTheirParts)
{
    auto expectHolds = [](const ModelPart* part, const char* what) {
        ASSERT_NE(part, nullptr) << what;
        ASSERT_NE(part->mesh, nullptr) << what;
        const Vec3 h = part->box.halfSize;
        EXPECT_GT(std::min({h.x, h.y, h.z}), 0.05f) << what;
        const auto* bytes = static_cast<const uint8_t*>(gfx::MeshVertices(part->mesh));
        const uint32_t stride = gfx::FvfStride(gfx::MeshFVF(part->mesh));
        const Vec3 mid = (part->box.min + part->box.max) * 0.5f;
        for (uint32_t v = 0; v < gfx::MeshVertexCount(part->mesh); ++v) {
            Vec3 p;
            std::memcpy(&p, bytes + static_cast<size_t>(v) * stride, 12);
            p = p - mid;
            ASSERT_TRUE(std::fabs(p.x) <= h.x + 1e-3f && std::fabs(p.y) <= h.y + 1e-3f && std::fabs(p.z) <= h.z + 1e-3f)
                << what << ": vertex " << v << " (" << p.x << ", " << p.y << ", " << p.z << ") outside its box (" << h.x << ", " << h.y << ", " << h.z << ") min (" << part->box.min.x << ", " << part->box.min.y << ", " << part->box.min.z << ")";
        }
    };
    for (int kind = kFirstTankKind; kind <= kLastTankKind; ++kind) {
        if (!TankKindCanFight(kind)) continue;
        LoadTankModels(kind);
        const TankHitModels* m = TankKindOf(kind)->hitModels;
        ASSERT_NE(m, nullptr) << TankKindName(kind);
        expectHolds(m->body, TankKindName(kind));
        expectHolds(m->top, TankKindName(kind));
    }
    for (int kind = kFirstRobotKind; kind <= kLastRobotKind; ++kind) {
        if (!RobotKindCanFight(kind)) continue;
        LoadRobotModels(kind);
        const RobotHitModels* m = RobotKindOf(kind)->hitModels;
        ASSERT_NE(m, nullptr) << RobotKindName(kind);
        expectHolds(m->upperBody, RobotKindName(kind));
        expectHolds(m->foot, RobotKindName(kind));
    }
    ReleaseAllTankModels();
    ReleaseAllRobotModels();
}
