#include "app/floor.h"

#include "services/device.h"
#include "services/display.h"
#include "services/scene.h"
#include "assets/model.h"
#include "records/codes.h"
#include "platform/gfx.h"

namespace {
gfx::Texture* gLayer = nullptr;
constexpr const char* kLayerPicture = "Map/Mountainous.bmp";  // the ground's picture
constexpr float kDepth = 100.0f;  // far enough into the fog to be tinted by it
}  // namespace

bool StartFloor() { return !gfx::Failed(LoadTexture(&gLayer, kLayerPicture, 0, 0, 0)) && gLayer; }

void FloorScene()
{
    static uint32_t lastRun = 0;
    if (!SceneTick(&lastRun)) return;
    gfx::SetTransform(gfx::TS_VIEW, MatIdentity());
    gfx::SetTransform(gfx::TS_PROJECTION, MatPerspectiveFovLH(kFieldOfView, kViewAspect, 1.0f, 12000.0f));
    gfx::SetTransform(gfx::TS_WORLD, MatIdentity());
    gfx::SetViewport({0, 0, static_cast<uint32_t>(BackBufferWidth()), static_cast<uint32_t>(BackBufferHeight()),
                      0.0f, 1.0f});
    gfx::Clear(gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    gfx::BeginScene();
    gfx::SetRenderState(gfx::RS_LIGHTING, 0);
    gfx::SetRenderState(gfx::RS_FOGENABLE, 1);
    gfx::SetRenderState(gfx::RS_ALPHABLENDENABLE, 0);
    // A quad a little larger than the view at its depth, facing the eye.
    const float h = kDepth * 0.6f, w = h * 1.4f;
    struct V {
        float x, y, z, u, v;
    };
    const V quad[4] = {{-w, h, kDepth, 0, 0}, {w, h, kDepth, 4, 0}, {w, -h, kDepth, 4, 3}, {-w, -h, kDepth, 0, 3}};
    gfx::SetTexture(0, gLayer);
    gfx::SetFVF(gfx::FVF_XYZ | gfx::FVF_TEX1);
    gfx::DrawPrimitiveUP(gfx::PT_TRIANGLEFAN, 2, quad, sizeof(V));
    gfx::SetRenderState(gfx::RS_ALPHABLENDENABLE, 1);
    EndFrame();
}

void StopFloor() { gfx::Release(gLayer); }
