// Mesh records and their loaders, textures with a colour key, and the
// sphere-against-frustum test every draw routine uses.
//
// ModelPart: a unit's mesh, cleaned and welded, with two level-of-detail
// copies (reduced beyond LodDistance, full within) and its box.
// SimpleModel: a mesh drawn as read (skies, terrain, title models, tracks).
// The material textures of both have their full chain of levels; LoadTexture
// (pictures for sprites and effects) makes one level.
#pragma once

#include <cstdint>
#include <vector>

#include "math/vecmath.h"
#include "platform/gfx.h"

constexpr float LodDistance = 50.0f;

struct OrientedBox {
    Vec3 max;
    Vec3 min;
    Vec3 axisX;
    Vec3 axisY;
    Vec3 axisZ;
    Vec3 halfSize;
};

struct ModelPart {
    gfx::Mesh* mesh = nullptr;  // non-null means loaded
    uint32_t materialCount = 0;
    std::vector<gfx::Material> materials;
    std::vector<gfx::Texture*> textures;
    OrientedBox box{};
    gfx::Mesh* lodMeshes[2] = {nullptr, nullptr};  // [0] reduced, [1] full
    gfx::Mesh* sourceMesh = nullptr;
    gfx::Mesh* progressiveMesh = nullptr;
    uint32_t maxFaces = 0;
    uint32_t reducedFaces = 0;
    uint32_t lodCount = 0;
};

struct SimpleModel {
    gfx::Mesh* mesh = nullptr;
    uint32_t materialCount = 0;
    std::vector<gfx::Material> materials;
    std::vector<gfx::Texture*> textures;
};

struct ViewFrustum {
    Vec3 eye;
    Vec3 forward;
    Vec3 sideNormals[4];  // left, top, right, bottom; pointing out
    float nearDistance;
    float farDistance;
};

void LoadModelPart(ModelPart* part, const char* path);
gfx::HResult ComputeModelBox(ModelPart* part);
void DrawModelPart(ModelPart* part, float distance);
void DrawModelPartSubsets(ModelPart* part, float distance);
// Inside a pass of the shared shadow-map effect.
void DrawModelPartWithEffect(ModelPart* part, float distance);
void ReleaseModelPart(ModelPart* part);

void LoadSimpleModel(SimpleModel* model, const char* path);
void DrawSimpleModel(SimpleModel* model);
void DrawSimpleModelScrolled(SimpleModel* model, float u);
void ReleaseSimpleModel(SimpleModel* model);

// One level (no mip chain); width or height 0: the file's own size;
// colourKey 0: none.
gfx::HResult LoadTexture(gfx::Texture** out, const char* path, uint32_t width, uint32_t height,
                         uint32_t colourKey);

void BuildViewFrustum(ViewFrustum* frustum, const Mat4& view, float fovDegrees, float aspect,
                      float nearDistance, float farDistance);
bool IsSphereInView(const ViewFrustum& frustum, Vec3 centre, float radius);

// Which level-of-detail copy a distance selects: 1 full, 0 reduced.
int LodLevel(float distance);
