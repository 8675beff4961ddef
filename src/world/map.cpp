#include "world/map.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "services/device.h"
#include "records/state.h"
#include "world/ground.h"
#include "platform/crt_rand.h"
#include "platform/mesh_data.h"
#include "platform/system.h"

namespace {
// The scenery mesh cut into squares of the map, so that only the squares in
// view are drawn: one mesh whose subset piece x materials + material holds
// that material's faces in that square.
constexpr int kPieceGrid = 16;
struct MapPiece {
    Vec3 centre;  // the bounding sphere in the world
    float radius;
};
gfx::Mesh* gPieceMesh = nullptr;
std::vector<MapPiece> gPieces;

void ReleaseMapPieces()
{
    gfx::Release(gPieceMesh);
    gPieces.clear();
}

// Cuts MapModel into pieces by where each face's middle lies; placed by
// StageWorld.  Without the pieces the mesh is drawn whole.
void BuildMapPieces()
{
    ReleaseMapPieces();
    gfx::Mesh* m = MapModel.mesh;
    if (!m || MapModel.materialCount == 0) return;
    const uint32_t fvf = gfx::MeshFVF(m), stride = gfx::FvfStride(fvf);
    const uint32_t faces = gfx::MeshFaceCount(m), vertexCount = gfx::MeshVertexCount(m);
    const auto* bytes = static_cast<const unsigned char*>(gfx::MeshVertices(m));
    const uint32_t* indices = gfx::MeshIndices(m);
    const uint32_t* attributes = gfx::MeshAttributes(m);
    if (!bytes || !indices || !attributes || faces == 0) return;
    auto position = [&](uint32_t v) {
        Vec3 p;
        std::memcpy(&p, bytes + static_cast<size_t>(v) * stride, sizeof p);
        return p;
    };
    float lo[2] = {1e30f, 1e30f}, hi[2] = {-1e30f, -1e30f};
    for (uint32_t v = 0; v < vertexCount; ++v) {
        Vec3 p = position(v);
        lo[0] = std::min(lo[0], p.x), hi[0] = std::max(hi[0], p.x);
        lo[1] = std::min(lo[1], p.z), hi[1] = std::max(hi[1], p.z);
    }
    auto cellOf = [&](float x, float l, float h) {
        int c = h > l ? static_cast<int>((x - l) / (h - l) * kPieceGrid) : 0;
        return std::clamp(c, 0, kPieceGrid - 1);
    };
    const uint32_t materials = MapModel.materialCount;
    std::vector<uint32_t> newAttributes(faces);
    std::vector<Vec3> lowCorner(kPieceGrid * kPieceGrid, {1e30f, 1e30f, 1e30f});
    std::vector<Vec3> highCorner(kPieceGrid * kPieceGrid, {-1e30f, -1e30f, -1e30f});
    for (uint32_t f = 0; f < faces; ++f) {
        Vec3 a = position(indices[3 * f]), b = position(indices[3 * f + 1]), c = position(indices[3 * f + 2]);
        int piece = cellOf((a.x + b.x + c.x) / 3, lo[0], hi[0]) * kPieceGrid +
                    cellOf((a.z + b.z + c.z) / 3, lo[1], hi[1]);
        newAttributes[f] = static_cast<uint32_t>(piece) * materials + std::min(attributes[f], materials - 1);
        for (Vec3 p : {a, b, c}) {
            Vec3 w = Vec3TransformCoord(p, StageWorld);
            Vec3& l = lowCorner[piece];
            Vec3& h = highCorner[piece];
            l = {std::min(l.x, w.x), std::min(l.y, w.y), std::min(l.z, w.z)};
            h = {std::max(h.x, w.x), std::max(h.y, w.y), std::max(h.z, w.z)};
        }
    }
    if (gfx::Failed(gfx::CreateMesh(fvf, bytes, vertexCount, indices, faces, newAttributes.data(), &gPieceMesh))) {
        gPieceMesh = nullptr;
        return;
    }
    for (int k = 0; k < kPieceGrid * kPieceGrid; ++k) {
        const Vec3 &l = lowCorner[k], &h = highCorner[k];
        if (l.x > h.x) gPieces.push_back({{0, 0, 0}, -1.0f});  // no faces here
        else gPieces.push_back({(l + h) * 0.5f, Vec3Length(h - l) * 0.5f});
    }
}

// Whether a sphere reaches inside the view volume of view x projection
// (clip depth 0 to w): its planes read straight off the matrix's columns.
bool SphereInClipVolume(const Mat4& m, Vec3 c, float r)
{
    // Plane k is w + s x column j, for the column and sign of each side.
    const int columns[6] = {0, 0, 1, 1, 2, 2};
    const float signs[6] = {1, -1, 1, -1, 1, -1};
    for (int k = 0; k < 6; ++k) {
        const int j = columns[k];
        const float s = signs[k], w = k == 4 ? 0.0f : 1.0f;  // the near plane is z alone
        const Vec4 p{w * m.m[0][3] + s * m.m[0][j], w * m.m[1][3] + s * m.m[1][j], w * m.m[2][3] + s * m.m[2][j],
                     w * m.m[3][3] + s * m.m[3][j]};
        float len = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
        if (p.x * c.x + p.y * c.y + p.z * c.z + p.w < -r * len) return false;
    }
    return true;
}

}  // namespace

void DrawScenery()
{
    if (!gPieceMesh) {
        DrawSimpleModel(&MapModel);
        return;
    }
    const Mat4 view = gfx::GetTransform(gfx::TS_VIEW);
    const Mat4 viewProjection = view * gfx::GetTransform(gfx::TS_PROJECTION);
    // Linear fog by view depth leaves nothing of a surface wholly beyond its
    // end but the fog colour: such pieces are drawn without texture or light.
    const bool fogged = gfx::GetRenderState(gfx::RS_FOGENABLE) &&
                        gfx::GetRenderState(gfx::RS_FOGVERTEXMODE) == gfx::FOG_LINEAR;
    const float fogEnd = gfx::BitsFloat(gfx::GetRenderState(gfx::RS_FOGEND));
    const Vec3 depthAxis{view.m[0][2], view.m[1][2], view.m[2][2]};
    const float depthScale = Vec3Length(depthAxis);
    enum : uint8_t { kHidden, kShown, kFogOnly };
    uint8_t look[kPieceGrid * kPieceGrid];
    for (size_t k = 0; k < gPieces.size(); ++k) {
        const MapPiece& p = gPieces[k];
        look[k] = kHidden;
        if (p.radius < 0 || !SphereInClipVolume(viewProjection, p.centre, p.radius)) continue;
        const float nearest = Vec3Dot(p.centre, depthAxis) + view.m[3][2] - p.radius * depthScale;
        look[k] = fogged && nearest > fogEnd ? kFogOnly : kShown;
    }
    // Nearest first, so the depth test turns away what lies behind before
    // it is shaded.
    uint16_t order[kPieceGrid * kPieceGrid];
    float depth[kPieceGrid * kPieceGrid];
    int count = 0;
    for (size_t k = 0; k < gPieces.size(); ++k)
        if (look[k] != kHidden) {
            depth[k] = Vec3Dot(gPieces[k].centre, depthAxis);
            order[count++] = static_cast<uint16_t>(k);
        }
    std::sort(order, order + count, [&](uint16_t a, uint16_t b) { return depth[a] < depth[b]; });
    for (uint32_t i = 0; i < MapModel.materialCount; ++i) {
        gfx::SetMaterial(MapModel.materials[i]);
        gfx::SetTexture(0, MapModel.textures[i]);
        for (int n = 0; n < count; ++n)
            if (look[order[n]] == kShown) gfx::DrawSubset(gPieceMesh, order[n] * MapModel.materialCount + i);
    }
    const uint32_t lighting = gfx::GetRenderState(gfx::RS_LIGHTING);
    gfx::SetRenderState(gfx::RS_LIGHTING, 0);
    gfx::SetTexture(0, nullptr);
    for (int n = 0; n < count; ++n)
        for (uint32_t i = 0; i < MapModel.materialCount; ++i)
            if (look[order[n]] == kFogOnly) gfx::DrawSubset(gPieceMesh, order[n] * MapModel.materialCount + i);
    gfx::SetRenderState(gfx::RS_LIGHTING, lighting);
}

void ComputeGroundNormals()
{
    // The average of the normals of the grid triangles meeting at each point.
    for (int i = 0; i <= 20; ++i)
        for (int j = 0; j <= 20; ++j) {
            auto p = [](int a, int b) { return Vec3{a * 50.0f, HeightGrid[a][b], b * 50.0f}; };
            Vec3 sum{0, 0, 0};
            for (int di = -1; di <= 0; ++di)
                for (int dj = -1; dj <= 0; ++dj) {
                    int a = i + di, b = j + dj;
                    if (a < 0 || b < 0 || a >= 20 || b >= 20) continue;
                    // Cell (a, b) splits along (a, b)-(a+1, b+1); both halves face up.
                    Vec3 A = p(a, b), B = p(a, b + 1), C = p(a + 1, b + 1), D = p(a + 1, b);
                    sum += Vec3Normalize(Vec3Cross(B - A, C - A));
                    sum += Vec3Normalize(Vec3Cross(C - A, D - A));
                }
            Vec3 n = Vec3Normalize(sum);
            GroundNormals[i][j] = n.y > 0 ? n : Vec3{0, 1, 0};
        }
}

void LoadMap()
{
    if (MapId == MapMountainous) {
        LoadTexture(&GroundTexture, "Map/Mountainous.bmp", 1024, 1024, 0);
        Srand(sys::TimeGetTime());
        for (int i = 0; i <= 20; ++i)
            for (int j = 0; j <= 20; ++j) HeightGrid[i][j] = (Rand() % 1500) / 130.0f;
        for (int i = 1; i <= 4; ++i)
            for (int j = 1; j <= 4; ++j) {
                HeightGrid[i][j] = 0;
                HeightGrid[i + 15][j + 15] = 0;
            }
        LoadSimpleModel(&MapModel, "Map/Mountainous.x");
        LoadSimpleModel(&StageCollision, "Map/MountainousCollision.x");
        // The ray tests read a copy in the position, normal, texture layout.
        gfx::Mesh* clone = nullptr;
        if (StageCollision.mesh && !gfx::Failed(CloneMeshPositionNormalTex(StageCollision.mesh, &clone))) {
            gfx::Release(StageCollision.mesh);
            StageCollision.mesh = clone;
        }
    } else if (MapId == MapCity) {
        LoadTexture(&GroundTexture, "Map/City.bmp", 1024, 1024, 0);
        for (auto& row : HeightGrid)
            for (float& h : row) h = 0;
        LoadSimpleModel(&MapModel, "Map/City.x");
    }
    ComputeGroundNormals();
    StageWorld = MatScaling(100, 100, 100) * MatTranslation(500, -0.8f, 500);
    BuildMapPieces();
}

void DrawMap(int mode)
{
    gfx::MarkPass("ground cells");
    gfx::SetFVF(gfx::FVF_XYZ | gfx::FVF_NORMAL | gfx::FVF_DIFFUSE | gfx::FVF_TEX1);
    GroundVertex v[4];
    gfx::Material black{};
    gfx::SetTexture(0, GroundTexture);
    gfx::SetMaterial(black);
    if (mode == MapDrawBattle || mode == MapDrawPlain) {
        if (mode == MapDrawBattle && ShadowEffect) {
            gfx::EffectSetVector(ShadowEffect, "Diffuse", {0, 0, 0, 0});
            gfx::EffectSetTexture(ShadowEffect, "MeshTex", GroundTexture);
        }
        for (int i = 0; i < 20; ++i)
            for (int j = 0; j < 20; ++j) {
                Mat4 cellWorld = MatTranslation(i * 50.0f, 0, j * 50.0f);
                if (!IsSphereInView(BattleFrustum, {i * 50.0f, 0, j * 50.0f}, 80.0f)) continue;
                auto set = [&](GroundVertex& gv, float x, int a, int b, float z) {
                    const Vec3& n = GroundNormals[a][b];
                    gv = {x, HeightGrid[a][b], z, n.x, n.y, n.z, 0xFFFFFFFFu, b / 20.0f, a / 20.0f};
                };
                set(v[0], 0, i, j, 0);
                set(v[1], 0, i, j + 1, 50);
                set(v[2], 50, i + 1, j + 1, 50);
                set(v[3], 50, i + 1, j, 0);
                float d = PointDistance(CameraEye, {i * 50.0f, 0, j * 50.0f});
                if (mode == MapDrawPlain || d > 150.0f || !ShadowEffect) {
                    gfx::SetTransform(gfx::TS_WORLD, cellWorld);
                    gfx::DrawPrimitiveUP(gfx::PT_TRIANGLEFAN, 2, v, sizeof(GroundVertex));
                } else {
                    // Near cells take the shadows.  Fog stays on: the shadow
                    // effect fogs from the device's fog state as the far
                    // cells are fogged, so the two meet without a seam.
                    gfx::SetRenderState(gfx::RS_ALPHABLENDENABLE, 0);
                    uint32_t passes = 0;
                    gfx::EffectBegin(ShadowEffect, &passes);
                    gfx::EffectBeginPass(ShadowEffect, 0);
                    gfx::EffectSetMatrix(ShadowEffect, "matWCP", cellWorld * ViewMatrix * ProjectionMatrix);
                    gfx::EffectSetMatrix(ShadowEffect, "matWLP", cellWorld * LightViewMatrix * ProjectionMatrix);
                    gfx::EffectSetMatrix(ShadowEffect, "matWLPT",
                                         cellWorld * LightViewMatrix * ProjectionMatrix * ShadowBias);
                    gfx::EffectSetMatrix(ShadowEffect, "matW", cellWorld);
                    gfx::EffectCommitChanges(ShadowEffect);
                    gfx::DrawPrimitiveUP(gfx::PT_TRIANGLEFAN, 2, v, sizeof(GroundVertex));
                    gfx::EffectEndPass(ShadowEffect);
                    gfx::EffectEnd(ShadowEffect);
                    gfx::SetRenderState(gfx::RS_ALPHABLENDENABLE, 1);
                }
            }
    }
    gfx::MarkPass("hills and mountains");
    gfx::SetRenderState(gfx::RS_LIGHTING, 1);
    gfx::SetTransform(gfx::TS_WORLD, StageWorld);
    DrawScenery();
    gfx::SetRenderState(gfx::RS_LIGHTING, 0);
}

void ReleaseMap()
{
    gfx::Release(GroundTexture);
    ReleaseMapPieces();
    ReleaseSimpleModel(&MapModel);
    ReleaseSimpleModel(&StageCollision);
}
