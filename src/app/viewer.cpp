#include "app/viewer.h"

#include <cmath>
#include <cstdio>

#include "services/device.h"
#include "services/display.h"
#include "services/scene.h"
#include "assets/model.h"
#include "records/codes.h"
#include "platform/system.h"

namespace {
ModelPart gModel;
float gDistance = 0;
float gYaw = 0;
Vec3 gCentre{0, 0, 0};
std::string gOut;
bool gUnlit = false;
}  // namespace

bool StartViewer(const std::string& path, float distance, const std::string& outBmp, bool unlit)
{
    gUnlit = unlit;
    LoadModelPart(&gModel, path.c_str());
    if (!gModel.mesh) return false;
    ComputeModelBox(&gModel);
    const OrientedBox& b = gModel.box;
    gCentre = (b.min + b.max) * 0.5f;
    float radius = Vec3Length(b.halfSize);
    gDistance = distance > 0 ? distance : std::fmax(radius * 2.6f, 0.5f);
    gOut = outBmp;
    std::printf("%s: %u subsets, %u faces full, %u faces reduced, box (%.3f, %.3f, %.3f) to "
                "(%.3f, %.3f, %.3f)\n",
                path.c_str(), gModel.materialCount, gfx::MeshFaceCount(gModel.lodMeshes[1]),
                gfx::MeshFaceCount(gModel.lodMeshes[0]), b.min.x, b.min.y, b.min.z, b.max.x, b.max.y,
                b.max.z);
    std::printf("camera distance %.3f: drawing the %s copy\n", gDistance,
                LodLevel(gDistance) ? "full" : "reduced");
    std::fflush(stdout);
    return true;
}

void ViewerScene()
{
    static uint32_t lastRun = 0;
    if (!SceneTick(&lastRun)) return;
    gYaw += 1.0f;  // a degree a frame
    Vec3 eye = gCentre + Vec3{0, gDistance * 0.35f, -gDistance};
    gfx::SetTransform(gfx::TS_VIEW, MatLookAtLH(eye, gCentre, {0, 1, 0}));
    gfx::SetTransform(gfx::TS_PROJECTION,
                      MatPerspectiveFovLH(kFieldOfView, kViewAspect, 0.1f, 12000.0f));
    gfx::SetViewport({0, 0, static_cast<uint32_t>(BackBufferWidth()),
                      static_cast<uint32_t>(BackBufferHeight()), 0.0f, 1.0f});
    gfx::Clear(gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER, 0xFF5A6470, 1.0f, 0);
    gfx::BeginScene();
    gfx::SetRenderState(gfx::RS_LIGHTING, gUnlit ? 0 : 1);
    gfx::SetRenderState(gfx::RS_FOGENABLE, 0);
    gfx::SetTransform(gfx::TS_WORLD, MatTranslation(-gCentre.x, -gCentre.y, -gCentre.z) *
                                         MatRotationY(gYaw * kDegToRad) *
                                         MatTranslation(gCentre.x, gCentre.y, gCentre.z));
    DrawModelPart(&gModel, gDistance);
    gfx::SetRenderState(gfx::RS_FOGENABLE, 1);
    gfx::Rect at = {8, 8, 0, 0};
    char text[96];
    std::snprintf(text, sizeof text, "%u faces (%s copy)",
                  gfx::MeshFaceCount(gModel.lodMeshes[LodLevel(gDistance)]),
                  LodLevel(gDistance) ? "full" : "reduced");
    gfx::FontDrawText(SmallFont, nullptr, text, -1, &at, gfx::DT_NOCLIP, 0xFFFFFFFF);
    if (!gOut.empty()) {
        gfx::EndScene();
        if (gfx::Failed(gfx::SaveSurfaceToBmp(BackBufferSurface, gOut.c_str())))
            std::fprintf(stderr, "%s: the picture cannot be written\n", gOut.c_str());
        sys::PostQuitMessage(0);
    }
    EndFrame();
}

void StopViewer() { ReleaseModelPart(&gModel); }
