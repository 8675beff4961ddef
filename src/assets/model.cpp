#include "assets/model.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "services/device.h"
#include "platform/image.h"
#include "platform/mesh_data.h"
#include "platform/system.h"

namespace {
bool Exists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Texture names in a mesh file are relative to the working directory; a
// name found only beside the mesh file is taken from there.
std::string ResolveTexture(const std::string& name, const std::string& meshPath)
{
    if (Exists(name)) return name;
    size_t slash = meshPath.find_last_of('/');
    if (slash != std::string::npos) {
        std::string beside = meshPath.substr(0, slash + 1) + name;
        if (Exists(beside)) return beside;
    }
    return name;
}

// A picture as a texture of the given size (0: the file's own) with the
// colour key applied: `levels` 1 for the top level alone, 0 for the full
// chain, each level below made from the one above.
gfx::HResult TextureFromFile(gfx::Texture** out, const char* path, uint32_t width, uint32_t height,
                             uint32_t colourKey, uint32_t levels)
{
    Image img;
    std::string error;
    if (!ReadImageFile(path, &img, &error)) {
        std::fprintf(stderr, "%s: %s\n", path, error.c_str());
        return gfx::E_FAIL;
    }
    uint32_t w = width ? width : img.width, h = height ? height : img.height;
    if (w != img.width || h != img.height) img = ScaleImage(img, w, h);
    ApplyColourKey(&img, colourKey);
    gfx::Texture* tex = nullptr;
    if (gfx::Failed(gfx::CreateTexture(w, h, levels, 0, gfx::FMT_A8R8G8B8, gfx::POOL_MANAGED, &tex)) ||
        gfx::Failed(gfx::UpdateTexture(tex, img.argb.data(), w, h))) {
        gfx::Release(tex);
        std::fprintf(stderr, "%s: the texture cannot be created\n", path);
        return gfx::E_FAIL;
    }
    *out = tex;
    return gfx::S_OK;
}

// Materials (ambient = diffuse) and their textures, null where none loads.
// A material's texture has the full chain of levels, so that a model far
// away samples the level its size on screen asks for instead of shimmering.
void LoadMaterials(const MeshData& data, const char* path, uint32_t* count,
                   std::vector<gfx::Material>* materials, std::vector<gfx::Texture*>* textures)
{
    *count = static_cast<uint32_t>(data.materials.size());
    materials->assign(*count, gfx::Material{});
    textures->assign(*count, nullptr);
    for (uint32_t i = 0; i < *count; ++i) {
        (*materials)[i] = data.materials[i].material;
        (*materials)[i].ambient = (*materials)[i].diffuse;
        const std::string& name = data.materials[i].textureFile;
        if (!name.empty()) TextureFromFile(&(*textures)[i], ResolveTexture(name, path).c_str(), 0, 0, 0, 0);
    }
}

void ReleaseTextures(std::vector<gfx::Texture*>* textures)
{
    for (gfx::Texture*& t : *textures) gfx::Release(t);
    textures->clear();
}

void DrawSubsets(gfx::Mesh* mesh, uint32_t count, const std::vector<gfx::Material>& materials,
                 const std::vector<gfx::Texture*>& textures)
{
    for (uint32_t i = 0; i < count; ++i) {
        gfx::SetMaterial(materials[i]);
        gfx::SetTexture(0, textures[i]);
        gfx::DrawSubset(mesh, i);
    }
}
}  // namespace

int LodLevel(float distance) { return distance < LodDistance ? 1 : 0; }  // NaN: 0

void LoadModelPart(ModelPart* part, const char* path)
{
    MeshData data;
    std::string error;
    if (!ReadXFile(path, &data, &error)) {
        std::fprintf(stderr, "%s: %s\n", path, error.c_str());
        return;
    }
    if (gfx::Failed(CreateDeviceMesh(data, &part->sourceMesh))) {
        std::fprintf(stderr, "%s: the mesh cannot be created\n", path);
        return;
    }
    LoadMaterials(data, path, &part->materialCount, &part->materials, &part->textures);

    CleanMesh(&data);
    WeldVertices(&data);
    ValidMesh(data);  // as before, the answer changes nothing
    if (data.FaceCount() == 0 || gfx::Failed(CreateDeviceMesh(data, &part->mesh))) {
        std::fprintf(stderr, "%s: no faces are left after cleaning\n", path);
        gfx::Release(part->sourceMesh);
        ReleaseTextures(&part->textures);
        part->materials.clear();
        part->materialCount = 0;
        return;
    }

    // The progressive mesh: the welded mesh, simplifiable down to the fewest
    // faces the simplifier reaches.
    part->progressiveMesh = gfx::Retain(part->mesh);
    uint32_t minFaces = MinimumFaces(data);
    part->maxFaces = data.FaceCount();
    part->reducedFaces = minFaces + (part->maxFaces - minFaces) / 5;

    part->lodCount = 2;
    for (int i = 0; i < 2; ++i) {
        uint32_t faces = i == 0 ? part->reducedFaces : part->maxFaces;
        MeshData copy = SimplifiedCopy(data, faces);
        if (copy.FaceCount() == 0) copy = data;  // too small to simplify
        OptimizeVertexCache(&copy);
        if (gfx::Failed(CreateDeviceMesh(copy, &part->lodMeshes[i])))
            sys::MessageBox("分割メッシュのクローンに失敗しました", "", sys::MB_OK);
    }
}

gfx::HResult ComputeModelBox(ModelPart* part)
{
    if (!part->mesh) return gfx::E_FAIL;
    Vec3 lo, hi;
    if (!ComputeBoundingBox(gfx::MeshVertices(part->mesh), gfx::MeshVertexCount(part->mesh),
                            gfx::FvfStride(gfx::MeshFVF(part->mesh)), &lo, &hi))
        return gfx::E_FAIL;
    part->box.max = hi;
    part->box.min = lo;
    part->box.halfSize = (hi - lo) * 0.5f;
    return gfx::S_OK;
}

void DrawModelPart(ModelPart* part, float distance)
{
    gfx::Mesh* m = part->lodMeshes[LodLevel(distance)];
    if (!m) return;
    DrawSubsets(m, part->materialCount, part->materials, part->textures);
}

void DrawModelPartSubsets(ModelPart* part, float distance)
{
    gfx::Mesh* m = part->lodMeshes[LodLevel(distance)];
    if (!m) return;
    for (uint32_t i = 0; i < part->materialCount; ++i) gfx::DrawSubset(m, i);
}

void DrawModelPartWithEffect(ModelPart* part, float distance)
{
    gfx::Mesh* m = part->lodMeshes[LodLevel(distance)];
    if (!m) return;
    for (uint32_t i = 0; i < part->materialCount; ++i) {
        const gfx::ColorValue& d = part->materials[i].diffuse;
        Vec4 diffuse = part->textures[i] ? Vec4{0, 0, 0, 0} : Vec4{d.r, d.g, d.b, d.a};
        gfx::EffectSetVector(ShadowEffect, "Diffuse", diffuse);
        gfx::EffectSetTexture(ShadowEffect, "MeshTex", part->textures[i]);
        gfx::EffectCommitChanges(ShadowEffect);
        gfx::DrawSubset(m, i);
    }
}

void ReleaseModelPart(ModelPart* part)
{
    if (!part->mesh) return;
    gfx::Release(part->sourceMesh);
    gfx::Release(part->progressiveMesh);
    for (uint32_t i = 0; i < part->lodCount && i < 2; ++i) gfx::Release(part->lodMeshes[i]);
    part->materials.clear();
    ReleaseTextures(&part->textures);
    gfx::Release(part->mesh);
}

void LoadSimpleModel(SimpleModel* model, const char* path)
{
    MeshData data;
    std::string error;
    if (!ReadXFile(path, &data, &error)) {
        std::fprintf(stderr, "%s: %s\n", path, error.c_str());
        return;
    }
    if (gfx::Failed(CreateDeviceMesh(data, &model->mesh))) {
        std::fprintf(stderr, "%s: the mesh cannot be created\n", path);
        return;
    }
    LoadMaterials(data, path, &model->materialCount, &model->materials, &model->textures);
}

void DrawSimpleModel(SimpleModel* model)
{
    if (!model->mesh) return;
    DrawSubsets(model->mesh, model->materialCount, model->materials, model->textures);
}

void DrawSimpleModelScrolled(SimpleModel* model, float u)
{
    if (!model->mesh) return;
    gfx::SetTextureStageState(0, gfx::TSS_TEXTURETRANSFORMFLAGS, gfx::TTFF_COUNT2);
    Mat4 scroll = MatIdentity();
    scroll.m[2][0] = u;  // a coordinate pair's translation sits in the third row
    scroll.m[2][1] = 0.0f;
    for (uint32_t i = 0; i < model->materialCount; ++i) {
        gfx::SetTransform(gfx::TS_TEXTURE0, scroll);
        gfx::SetMaterial(model->materials[i]);
        gfx::SetTexture(0, model->textures[i]);
        gfx::DrawSubset(model->mesh, i);
    }
    gfx::SetTextureStageState(0, gfx::TSS_TEXTURETRANSFORMFLAGS, gfx::TTFF_DISABLE);
}

void ReleaseSimpleModel(SimpleModel* model)
{
    if (!model->mesh) return;
    model->materials.clear();
    ReleaseTextures(&model->textures);
    gfx::Release(model->mesh);
}

gfx::HResult LoadTexture(gfx::Texture** out, const char* path, uint32_t width, uint32_t height,
                         uint32_t colourKey)
{
    return TextureFromFile(out, path, width, height, colourKey, 1);
}

void BuildViewFrustum(ViewFrustum* f, const Mat4& view, float fovDegrees, float aspect,
                      float nearDistance, float farDistance)
{
    Mat4 inv;
    if (!MatInverse(&inv, view)) inv = MatIdentity();
    auto row = [&](int r) { return Vec3{inv.m[r][0], inv.m[r][1], inv.m[r][2]}; };
    f->eye = row(3);
    f->forward = row(2);
    f->nearDistance = nearDistance;
    f->farDistance = farDistance;
    float h = farDistance * std::tan(fovDegrees / 2 * kDegToRad);
    float w = h * aspect;
    auto corner = [&](float sx, float sy) { return row(0) * (w * sx) + row(1) * (h * sy) + row(2) * farDistance; };
    Vec3 tl = corner(-1, 1), tr = corner(1, 1), br = corner(1, -1), bl = corner(-1, -1);
    f->sideNormals[0] = Vec3Normalize(Vec3Cross(bl, tl));
    f->sideNormals[1] = Vec3Normalize(Vec3Cross(tl, tr));
    f->sideNormals[2] = Vec3Normalize(Vec3Cross(tr, br));
    f->sideNormals[3] = Vec3Normalize(Vec3Cross(br, bl));
}

bool IsSphereInView(const ViewFrustum& f, Vec3 centre, float radius)
{
    Vec3 p = centre - f.eye;
    float d = Vec3Dot(f.forward, p);
    if (d < f.nearDistance - radius || d > f.farDistance + radius) return false;
    for (const Vec3& n : f.sideNormals)
        if (Vec3Dot(n, p) > radius) return false;
    return true;
}
