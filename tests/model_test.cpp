// Mesh files, the model records built from them, textures, the frustum test
// and ray tests, on the null device.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <new>
#include <random>

#include "services/device.h"
#include "boxy_part.h"
#include "headless_device.h"
#include "services/options.h"
#include "assets/model.h"
#include "platform/alloc_ceiling.h"
#include "platform/image.h"
#include "platform/mesh_data.h"
#include "platform/system.h"
#include "run_util.h"

namespace {
const std::string kData = VARNOK_TEST_DATA;

class Models : public HeadlessDevice {
protected:
    void SetUp() override
    {
        HeadlessDevice::SetUp();
        ASSERT_EQ(chdir(MakeTempDir().c_str()), 0);  // textures are looked up here first
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

// Files as exporters write them: the format's templates with their GUIDs,
// vertex colours, 32-bit words and float bit patterns in a vertex
// declaration, frames in a chain and side by side, binary files with
// templates and with 64-bit floats.  None of those numbers is a count.
TEST_F(Models, FilesAsExportersWriteThemLoad)
{
    struct Case {
        const char* file;
        uint32_t faces, materials;
        Vec3 lo, hi;
        bool normals, texCoords;
    };
    const Case cases[] = {
        {"exporter_templates.x", 2, 1, {-1, 0, -1}, {1, 0, 1}, true, true},
        {"vertex_colours.x", 2, 1, {0, 0, 0}, {1, 1, 0}, false, false},
        {"float_bits.x", 1, 1, {0, 0, 0}, {1, 1, 0}, false, false},
        // Hull lifted 1, turret 2 above it, gun 5 ahead of the turret, a
        // wheel 7 to the left of the origin.
        {"several_frames.x", 4, 1, {-7, 0, 0}, {1, 4, 5}, false, false},
        {"binary_templates.x", 2, 1, {-1, 3, -1}, {1, 3, 1}, false, false},
        {"binary_doubles.x", 2, 2, {0, 0, 0}, {1, 1, 0}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        MeshData d;
        std::string err;
        if (!ReadXFile(kData + "/" + c.file, &d, &err)) {
            ADD_FAILURE() << err;
            continue;
        }
        EXPECT_EQ(d.FaceCount(), c.faces);
        EXPECT_EQ(d.materials.size(), c.materials);
        EXPECT_EQ(d.hasNormals, c.normals);
        EXPECT_EQ(d.hasTexCoords, c.texCoords);
        Vec3 lo = d.vertices[0].pos, hi = lo;
        for (const MeshVertex& v : d.vertices) {
            lo = {std::min(lo.x, v.pos.x), std::min(lo.y, v.pos.y), std::min(lo.z, v.pos.z)};
            hi = {std::max(hi.x, v.pos.x), std::max(hi.y, v.pos.y), std::max(hi.z, v.pos.z)};
        }
        ExpectVec(lo, c.lo.x, c.lo.y, c.lo.z);
        ExpectVec(hi, c.hi.x, c.hi.y, c.hi.z);

        ModelPart part;
        testing::internal::CaptureStderr();
        LoadModelPart(&part, (kData + "/" + c.file).c_str());
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_NE(part.mesh, nullptr);
        ReleaseModelPart(&part);
    }
    MeshData olive;
    std::string err;
    ASSERT_TRUE(ReadXFile(kData + "/exporter_templates.x", &olive, &err)) << err;
    EXPECT_FLOAT_EQ(olive.materials[0].material.diffuse.g, 0.6f);
    ASSERT_TRUE(ReadXFile(kData + "/binary_templates.x", &olive, &err)) << err;
    EXPECT_FLOAT_EQ(olive.materials[0].material.diffuse.g, 0.6f);
}

// A count where the format puts one, larger than the file could hold, is
// refused before the reader reserves room for it; so are binary lists and
// names running past the end, and what the reader would follow out of its
// arrays: faces using vertices or normals the mesh lacks, skin weights on
// missing vertices, face materials in a list without a material.
TEST_F(Models, DamagedCountsAndIndicesAreRefusedByName)
{
    const std::string head = "xof 0303txt 0032\n";
    const std::string quad = "4;0;0;0;,1;0;0;,1;1;0;,0;1;0;;\n";
    auto w16 = [](uint16_t v) { return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; };
    auto u32 = [](uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
    // Binary tokens: 1 a name, 10 an opening brace, 6 and 7 integer and float lists.
    const std::string bin = std::string("xof 0303bin 0032") + w16(1) + u32(4) + "Mesh" + w16(10);
    const std::string tzip = "xof 0303tzip0032" + u32(0) + w16(0);
    // One compressed block holding `text` in a stored deflate block.
    auto stored = [&](const std::string& text) {
        const auto n = static_cast<uint16_t>(text.size());
        const std::string deflate = "\x01" + w16(n) + w16(static_cast<uint16_t>(~n)) + text;
        return w16(static_cast<uint16_t>(deflate.size())) + "CK" + deflate;
    };
    struct Case {
        std::string bytes;
        const char* says;
    };
    const Case cases[] = {
        {head + "Mesh M {\n4000000000;\n0;0;0;;\n1;\n3;0,0,0;;\n}\n", "4000000000 vertices"},
        {head + "Mesh M {\n" + quad + "3000000000;\n3;0,1,2;;\n}\n", "3000000000 faces"},
        {head + "Mesh M {\n-1;\n0;0;0;;\n1;\n3;0,0,0;;\n}\n", "-1 vertices (a count below zero)"},
        {head + "Mesh M {\n" + quad + "1;\n2000000000;0,1,2;;\n}\n", "2000000000 corners"},
        {head + "Mesh M {\n" + quad + "1;\n3;0,1,2;;\nMeshNormals {\n3000000000;\n0;0;1;;\n}\n}\n",
         "3000000000 normals"},
        {head + "Mesh M {\n" + quad + "1;\n3;0,1,2;;\nMeshTextureCoords {\n3000000000;\n0;0;;\n}\n}\n",
         "3000000000 texture coordinates"},
        {head + "Mesh M {\n" + quad + "1;\n3;0,1,2;;\nMeshVertexColors {\n3000000000;\n}\n}\n",
         "3000000000 vertex colours"},
        {head + "Mesh M {\n" + quad + "1;\n3;0,1,2;;\nMeshMaterialList {\n1;\n3000000000;\n0;;\n}\n}\n",
         "3000000000 face materials"},
        {head + "Mesh M {\n" + quad + "1;\n3;0,1,4;;\n}\n", "vertex 4 of 4"},
        {head + "Mesh M {\n" + quad + "2;\n3;0,1,2;,\n0;;\n}\n", "face 1 without corners"},
        // A template lacking its closing brace ends at the next one, as the
        // reader takes it; the mesh after it is still checked.
        {head + "template A {\n<3D82AB5E-62DA-11cf-AB39-0020AF71E433>\nDWORD x;\ntemplate B {\n" +
             "<3D82AB5F-62DA-11cf-AB39-0020AF71E433>\n}\nMesh M {\n" + quad + "1;\n3;0,1,4;;\n}\n",
         "vertex 4 of 4"},
        {head + "Mesh M {\n" + quad +
             "1;\n3;0,1,2;;\nMeshNormals {\n1;\n0;0;1;;\n1;\n3;0,0,1;;\n}\n}\n",
         "normal 1 of 1"},
        {head + "Mesh M {\n" + quad + "1;\n3;0,1,2;;\nMeshMaterialList {\n1;\n1;\n0;;\n}\n}\n",
         "a material list for 1 face without a material"},
        {head + "Mesh M {\n" + quad + "1;\n3;0,1,2;;\nSkinWeights {\n\"Hull\";\n2;\n0,\n90000000;\n" +
             "1.0,\n1.0;\n1.0,0.0,0.0,0.0,\n0.0,1.0,0.0,0.0,\n0.0,0.0,1.0,0.0,\n0.0,0.0,0.0,1.0;;\n}\n}\n",
         "skin weight on vertex 90000000 of 4"},
        {bin + w16(6) + u32(1u << 30) + u32(3), "a list of 1073741824 numbers"},
        // Where the reader wants a token (here, the next object's type).
        {head.substr(0, 8) + "bin 0032" + w16(7) + u32(1u << 30) + u32(0), "a list of 1073741824 numbers"},
        {head.substr(0, 8) + "bin 0032" + w16(1) + u32(100) + "Quad", "a name of 100 bytes"},
        // Where it wants a number, a token id other than a list's is passed
        // over and the number read after it.
        {bin + w16(7) + u32(1u << 30) + u32(0), "byte 34: 1073741824 vertices"},
        // Where the library would give up half way through (and leave what it
        // had built unfreed), or build what the rest of it reads out of bounds.
        {head + "Frame F {\n Mesh M {\n ! 3;\n0;0;0;;\n}\n}\n", "line 4: a whole number expected"},
        {head + "Frame F {\n Mesh M {\n" + quad + "1;\n3;0,1,2;;\n}\n", "line 8: the file ends inside a frame"},
        {bin + w16(6) + u32(1) + u32(0) + w16(6) + u32(1) + u32(0), "the file ends inside a mesh"},
        {head + "Mesh M {\n" + quad + "1;\n3;0,1,2;;\n}\n}\n", "line 7: a closing brace outside any object"},
        {head + "Mesh{0;0;}Frame{Mesh{0;0;}}", "meshes both inside and outside frames"},
        {head + "Mesh M {\n" + quad + "1;\n3;0,1,2;;\nMeshTextureCoords {\n3;\n0;0;,0;0;,0;0;;\n}\n}\n",
         "3 texture coordinates for 4 vertices"},
        {head + "Mesh M {\n" + quad + "1;\n3;0,1,2;;\nMeshMaterialList {\n1;\n2;\n0,0;;\n}\n}\n",
         "2 face materials for 1 face"},
        {head + "Mesh M {\n" + quad + "1;\n3;0,1,2;;\nMeshNormals {\n1;\n0;0;1;;\n2;\n3;0,0,0;,\n3;0,0,0;;\n}\n}\n",
         "2 face normals for 1 face"},
        {head + "Mesh M {\n" + quad + "1;\n3;0,1,2;;\nMeshVertexColors {\n4;\n9;1;1;1;1;;\n}\n}\n",
         "a colour for vertex 9 of 4"},
        {head + "AnimationSet {\nAnimation {\nAnimationKey {\n7;\n1;\n0;3;1,1,1;;;\n}\n}\n}\n",
         "an animation key of kind 7"},
        {head + "AnimationSet {\nAnimation {\nAnimationKey {\n2;\n1;\n0;4;1,1,1,1;;;\n}\n}\n}\n",
         "an animation key of kind 2 with 4 values"},
        {head + "Frame " + std::string(1024, 'F') + " {\n}\n", "a frame name of 1024 bytes"},
        {head + [] {
             std::string nest;
             for (int i = 0; i < 65; ++i) nest += "Frame {\n";
             return nest + std::string(65, '}');
         }(),
         "frames nested more than 64 deep"},
        // Compressed files: the blocks as the library inflates them, then
        // what they inflate to.  A stored deflate block holds its bytes as
        // they are.
        {tzip + w16(8) + "XX" + std::string(8, '\0'), "byte 24: a compressed block without its 'CK'"},
        {tzip + w16(40000) + "CK", "byte 22: a compressed block of 40000 bytes, more than a block holds"},
        {tzip + w16(100) + "CK" + "abcd", "byte 26: a compressed block of 100 bytes runs past the end of the file"},
        {tzip + w16(4) + "CK" + "\xff\xff\xff\xff", "byte 26: a compressed block that does not inflate"},
        {tzip + [&] {
             std::string blocks;
             for (int i = 0; i < 1600; ++i) blocks += w16(0) + "CK";
             return blocks;
         }(),
         "compressed blocks that would take 50 MB"},
        {tzip + stored("Mesh M {\n" + quad + "1;\n3;0,1,4;;\n}\n"), "inflated, line 4: face 0 uses vertex 4 of 4"},
    };
    const std::string path = ScratchPath("damaged.x");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        std::ofstream(path, std::ios::binary) << c.bytes;
        MeshData d;
        std::string err;
        EXPECT_FALSE(ReadXFile(path, &d, &err));
        EXPECT_NE(err.find(c.says), std::string::npos) << err;
        EXPECT_EQ(d.FaceCount(), 0u);
        ModelPart part;
        testing::internal::CaptureStderr();
        LoadModelPart(&part, path.c_str());
        std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(said.rfind(path + ": not a mesh file (", 0), 0u) << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_EQ(part.mesh, nullptr);
    }
    std::remove(path.c_str());
}

// A damaged binary file on which the library, left to itself, gives up after
// reserving 33 MB for its vertices, and never frees them: refused first,
// with the file named.
TEST_F(Models, ADamagedBinaryFileIsRefusedBeforeTheLibraryReservesItsCount)
{
    const std::string path = kData + "/leaking_binary.x";
    ASSERT_EQ(Slurp(path).size(), 471u);
    MeshData d;
    std::string err;
    EXPECT_FALSE(ReadXFile(path, &d, &err));
    EXPECT_EQ(err, "not a mesh file (byte 48: 2750000 vertices in a file of 471 bytes)");
    ModelPart part;
    testing::internal::CaptureStderr();
    LoadModelPart(&part, path.c_str());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), path + ": " + err + "\n");
    EXPECT_EQ(part.mesh, nullptr);
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

// Every kind is built of chamfered boxes, cylinders and wedges whose edges
// are all hard edges and texture seams.  The reduced copy of such a part is
// still reduced, keeps each subset and keeps the part's outline.
TEST_F(Models, TheReducedCopyOfABoxyPartIsReducedAndKeepsItsOutline)
{
    const BoxyPart tank = BoxyPart::Tank();
    const std::string path = ScratchPath("boxy-part.x");
    ASSERT_TRUE(tank.Write(path));
    ModelPart part;
    LoadModelPart(&part, path.c_str());
    std::remove(path.c_str());
    ASSERT_NE(part.mesh, nullptr);
    gfx::Mesh* full = part.lodMeshes[1];
    gfx::Mesh* reduced = part.lodMeshes[0];
    ASSERT_EQ(gfx::MeshFaceCount(full), tank.FaceCount());
    EXPECT_LE(gfx::MeshFaceCount(reduced), tank.FaceCount() / 3) << "of " << tank.FaceCount();
    for (uint32_t subset = 0; subset < 4; ++subset) {
        const uint32_t* a = gfx::MeshAttributes(reduced);
        EXPECT_NE(std::find(a, a + gfx::MeshFaceCount(reduced), subset), a + gfx::MeshFaceCount(reduced))
            << "subset " << subset;
    }
    // The box of the vertices each copy uses.
    auto box = [](gfx::Mesh* m, Vec3* lo, Vec3* hi) {
        const uint8_t* v = static_cast<const uint8_t*>(gfx::MeshVertices(m));
        uint32_t stride = gfx::FvfStride(gfx::MeshFVF(m));
        *lo = {1e30f, 1e30f, 1e30f};
        *hi = {-1e30f, -1e30f, -1e30f};
        for (uint32_t i = 0; i < gfx::MeshFaceCount(m) * 3; ++i) {
            Vec3 p;
            std::memcpy(&p, v + gfx::MeshIndices(m)[i] * stride, 12);
            *lo = {std::min(lo->x, p.x), std::min(lo->y, p.y), std::min(lo->z, p.z)};
            *hi = {std::max(hi->x, p.x), std::max(hi->y, p.y), std::max(hi->z, p.z)};
        }
    };
    Vec3 fullLo, fullHi, lo, hi;
    box(full, &fullLo, &fullHi);
    box(reduced, &lo, &hi);
    const float tolerance = 0.03f * Vec3Length(fullHi - fullLo);
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_NEAR((&lo.x)[axis], (&fullLo.x)[axis], tolerance) << "axis " << axis;
        EXPECT_NEAR((&hi.x)[axis], (&fullHi.x)[axis], tolerance) << "axis " << axis;
    }
    ReleaseModelPart(&part);
}

// A fine grille of crossing slats: every corner sits where slats cross, so
// both careful simplifiers are held everywhere.  Slats closer together than
// the outline may move are merged instead, and the grille keeps its size.
TEST_F(Models, AFineGrilleReducesByMergingSlats)
{
    MeshData grille;
    const int n = 40;
    const float gap = 0.2f;
    auto corner = [&](int x, int y, int z) { return static_cast<uint32_t>((x * 2 + y) * (n + 1) + z); };
    for (int x = 0; x <= n; ++x)
        for (int y = 0; y <= 1; ++y)
            for (int z = 0; z <= n; ++z) grille.vertices.push_back({{x * gap, float(y), z * gap}, {0, 0, 0}, 0, 0});
    auto quad = [&](uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
        grille.indices.insert(grille.indices.end(), {a, b, c, a, c, d});
        grille.attributes.insert(grille.attributes.end(), 2, 0u);
    };
    for (int i = 0; i <= n; ++i)
        for (int j = 0; j < n; ++j) {
            quad(corner(j, 0, i), corner(j, 1, i), corner(j + 1, 1, i), corner(j + 1, 0, i));  // slats along x
            quad(corner(i, 0, j), corner(i, 1, j), corner(i, 1, j + 1), corner(i, 0, j + 1));  // slats along z
        }
    uint32_t minFaces = MinimumFaces(grille);
    MeshData reduced = SimplifiedCopy(grille, minFaces + (grille.FaceCount() - minFaces) / 5);
    EXPECT_LT(reduced.FaceCount(), grille.FaceCount() / 2) << "of " << grille.FaceCount();
    EXPECT_GT(reduced.FaceCount(), 0u);
    EXPECT_TRUE(ValidMesh(reduced));
    Vec3 lo{1e30f, 1e30f, 1e30f}, hi{-1e30f, -1e30f, -1e30f};
    for (uint32_t i : reduced.indices) {
        Vec3 p = reduced.vertices[i].pos;
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
    const float tolerance = 0.05f * n * gap;  // the outline's allowance
    EXPECT_NEAR(lo.x, 0, tolerance);
    EXPECT_NEAR(lo.y, 0, 1e-5);
    EXPECT_NEAR(lo.z, 0, tolerance);
    EXPECT_NEAR(hi.x, n * gap, tolerance);
    EXPECT_NEAR(hi.y, 1, 1e-5);
    EXPECT_NEAR(hi.z, n * gap, tolerance);
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
    std::ofstream(ScratchPath("bad.x")) << "xof 0303txt 0032\nMesh { 3; 0.0;0.0;0.0;, oops";
    for (const std::string& path : {ScratchPath("none.x"), ScratchPath("bad.x")}) {
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

    std::ofstream(ScratchPath("bad.png")) << "\x89PNG not really";
    for (const std::string& name : {ScratchPath("none.png"), ScratchPath("bad.png")}) {
        const char* path = name.c_str();
        testing::internal::CaptureStderr();
        EXPECT_TRUE(gfx::Failed(LoadTexture(&t, path, 0, 0, 0)));
        std::string e = testing::internal::GetCapturedStderr();
        EXPECT_EQ(t, nullptr);
        EXPECT_EQ(e.rfind(std::string(path) + ": ", 0), 0u) << e;
    }
}

// A model's material texture has every level down to 1 x 1, so a model far
// away samples a level as small as it is drawn; a colour-keyed picture has
// one level, and so has a render target, which is drawn into at level 0.
TEST_F(Models, MaterialTexturesHaveTheFullChainOfLevels)
{
    ModelPart part;
    SimpleModel simple;
    testing::internal::CaptureStderr();
    LoadModelPart(&part, (kData + "/two_frames.x").c_str());
    LoadSimpleModel(&simple, (kData + "/quad_binary.x").c_str());
    testing::internal::GetCapturedStderr();
    gfx::Texture* keyed = nullptr;
    ASSERT_FALSE(gfx::Failed(LoadTexture(&keyed, (kData + "/stripes.bmp").c_str(), 0, 0, 0xFF0000FF)));
    gfx::Texture *wide = nullptr, *three = nullptr, *target = nullptr;
    ASSERT_FALSE(gfx::Failed(gfx::CreateTexture(256, 64, 0, 0, gfx::FMT_A8R8G8B8, gfx::POOL_MANAGED, &wide)));
    ASSERT_FALSE(gfx::Failed(gfx::CreateTexture(64, 64, 3, 0, gfx::FMT_A8R8G8B8, gfx::POOL_MANAGED, &three)));
    ASSERT_FALSE(gfx::Failed(
        gfx::CreateTexture(32, 32, 0, gfx::USAGE_RENDERTARGET, gfx::FMT_R32F, gfx::POOL_DEFAULT, &target)));
    ASSERT_NE(part.textures[1], nullptr);
    ASSERT_NE(simple.textures[1], nullptr);
    struct Case {
        gfx::Texture* tex;
        uint32_t lastLevel, width, height;  // the last level and its size
    };
    const Case cases[] = {
        {part.textures[1], 2, 1, 1},    // stripes.bmp, 4 x 2: 2 x 1, then 1 x 1
        {simple.textures[1], 2, 1, 1},
        {keyed, 0, 4, 2},
        {wide, 8, 1, 1},                // 256 x 64 down to 1 x 1: the short side stays 1
        {three, 2, 16, 16},
        {target, 0, 32, 32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lastLevel);
        gfx::SurfaceDesc d{};
        ASSERT_FALSE(gfx::Failed(gfx::GetLevelDesc(c.tex, c.lastLevel, &d)));
        EXPECT_EQ(d.width, c.width);
        EXPECT_EQ(d.height, c.height);
        EXPECT_TRUE(gfx::Failed(gfx::GetLevelDesc(c.tex, c.lastLevel + 1, &d)));
    }
    gfx::SurfaceDesc d{};
    ASSERT_FALSE(gfx::Failed(gfx::GetLevelDesc(wide, 6, &d)));
    EXPECT_EQ(d.width, 4u);
    EXPECT_EQ(d.height, 1u);
    for (gfx::Texture* t : {keyed, wide, three, target}) gfx::Release(t);
    ReleaseModelPart(&part);
    ReleaseSimpleModel(&simple);
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

// Under a ceiling, a request beyond it fails as an allocation failure
// however large it is: a damaged count asking for nearly all of memory never
// reaches the heap.
TEST(AllocationCeiling, RefusesWhatItCannotHoldHoweverLarge)
{
    AllocationCeiling ceiling(size_t{1} << 20);
    for (size_t n : {size_t{2} << 20, SIZE_MAX / 2, SIZE_MAX - 16})
        EXPECT_THROW(static_cast<void>(::operator new(n)), std::bad_alloc) << n;
    void* p = ::operator new(1000);
    EXPECT_NE(p, nullptr);
    ::operator delete(p);
}

// Whatever the bytes, the loaders return; they never crash.
TEST_F(Models, MangledFilesNeverCrashTheLoaders)
{
    // The picture last; the mesh files in text and binary, with templates,
    // vertex colours, several frames and 64-bit floats.
    std::vector<std::string> corpus;
    for (const char* name : {"two_frames.x", "quad_binary.x", "exporter_templates.x", "vertex_colours.x",
                             "several_frames.x", "binary_templates.x", "binary_doubles.x", "stripes.bmp"})
        corpus.push_back(Slurp(kData + "/" + name));
    std::mt19937 rng(1234);
    const std::string path = ScratchPath("fuzz");
    int loaded = 0, refused = 0;
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
        bool picture = round % corpus.size() == corpus.size() - 1;
        std::string file = path + (picture ? ".bmp" : ".x");
        std::ofstream(file, std::ios::binary) << bytes;
        testing::internal::CaptureStderr();
        bool ok = false;
        if (picture) {
            gfx::Texture* t = nullptr;
            ok = !gfx::Failed(LoadTexture(&t, file.c_str(), 0, 0, 0));
            gfx::Release(t);
        } else {
            ModelPart part;
            LoadModelPart(&part, file.c_str());
            ok = part.mesh != nullptr;
            if (ok) {
                // What loads is whole: every face's corners inside the
                // vertices, every face in a subset the part has, a finite box.
                for (int level = 0; level < 2; ++level) {
                    gfx::Mesh* m = part.lodMeshes[level] ? part.lodMeshes[level] : part.mesh;
                    const uint32_t* index = gfx::MeshIndices(m);
                    const uint32_t* subset = gfx::MeshAttributes(m);
                    for (uint32_t f = 0; f < gfx::MeshFaceCount(m); ++f) {
                        for (int k = 0; k < 3; ++k) ASSERT_LT(index[3 * f + k], gfx::MeshVertexCount(m)) << round;
                        ASSERT_LT(subset[f], std::max(part.materialCount, 1u)) << round;
                    }
                }
            }
            ComputeModelBox(&part);
            if (ok) {
                for (float v : {part.box.halfSize.x, part.box.halfSize.y, part.box.halfSize.z})
                    EXPECT_TRUE(std::isfinite(v)) << round;
            }
            DrawModelPart(&part, 1);
            ReleaseModelPart(&part);
        }
        const std::string told = testing::internal::GetCapturedStderr();
        loaded += ok;
        if (!ok) {
            ++refused;
            // A refusal names the file, so a player knows which one to mend.
            EXPECT_NE(told.find(file), std::string::npos) << "round " << round << ": " << told;
        }
        std::remove(file.c_str());
    }
    EXPECT_GT(loaded, 0);  // some mutations still load, so the good paths ran too
    EXPECT_GT(refused, 0);
}

// A compressed file (MSZIP blocks, text or binary) reads as its plain form:
// the same faces at the same places, through a dictionary carried from one
// block to the next.
TEST_F(Models, ACompressedFileReadsAsItsPlainForm)
{
    for (const auto& [plain, compressed] : {std::pair<const char*, const char*>{"cube.x", "cube_tzip.x"},
                                            {"quad_binary.x", "quad_bzip.x"}}) {
        MeshData a, b;
        std::string err;
        ASSERT_TRUE(ReadXFile(kData + "/" + plain, &a, &err)) << err;
        ASSERT_TRUE(ReadXFile(kData + "/" + compressed, &b, &err)) << compressed << ": " << err;
        ASSERT_GT(a.FaceCount(), 0u);
        EXPECT_EQ(a.FaceCount(), b.FaceCount()) << compressed;
        EXPECT_EQ(a.indices, b.indices) << compressed;
        EXPECT_EQ(a.attributes, b.attributes) << compressed;
        ASSERT_EQ(a.vertices.size(), b.vertices.size()) << compressed;
        for (size_t i = 0; i < a.vertices.size(); ++i)
            EXPECT_TRUE(a.vertices[i].pos.x == b.vertices[i].pos.x && a.vertices[i].pos.y == b.vertices[i].pos.y &&
                        a.vertices[i].pos.z == b.vertices[i].pos.z)
                << compressed << ", vertex " << i;
    }
}
