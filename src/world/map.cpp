#include "world/map.h"

#include <cmath>

#include "services/device.h"
#include "records/state.h"
#include "world/ground.h"
#include "platform/crt_rand.h"
#include "platform/mesh_data.h"
#include "platform/system.h"


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
    DrawSimpleModel(&MapModel);
    gfx::SetRenderState(gfx::RS_LIGHTING, 0);
}

void ReleaseMap()
{
    gfx::Release(GroundTexture);
    ReleaseSimpleModel(&MapModel);
    ReleaseSimpleModel(&StageCollision);
}
