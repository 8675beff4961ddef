// The null backend of the graphics device: every call succeeds and nothing is
// drawn.  The device above it still keeps all state and counts every draw, so
// headless runs and tests exercise the same paths as the window.
#include "platform/gfx_internal.h"

namespace gfx {
namespace {
bool Init(const PresentParameters&) { return true; }
void Shutdown() {}
bool Resize(uint32_t, uint32_t) { return true; }
Format DisplayFormat() { return FMT_X8R8G8B8; }
bool CreateTextureNull(Texture*) { return true; }
void UploadTexture(Texture*, const uint32_t*) {}
void DestroyTexture(Texture*) {}
bool CreateDepth(Surface*) { return true; }
void DestroyDepth(Surface*) {}
void Clear(const DeviceState&, uint32_t, uint32_t, float) {}
void DrawBatch(const DeviceState&, PrimitiveType, const BatchVertex*, uint32_t, Texture* const*, uint32_t) {}
bool CreateMeshNull(Mesh*) { return true; }
void DestroyMesh(Mesh*) {}
void DrawMesh(const DeviceState&, Mesh*, const SubsetRange&) {}
bool CompileEffect(Effect*, std::string*) { return true; }
void DestroyEffect(Effect*) {}
bool Present() { return true; }

// A null surface reads back as opaque black.
bool ReadSurfaceNull(const DeviceState&, Surface* s, std::vector<uint32_t>* argb,
                     std::vector<float>* floats)
{
    size_t n = static_cast<size_t>(s->width) * s->height;
    if (argb) argb->assign(n, 0xFF000000u);
    if (floats) floats->assign(s->format == FMT_R32F ? n : 0, 0.0f);
    return true;
}
}  // namespace

const DeviceBackend kNullBackend = {
    Init,           Shutdown,      Resize,       DisplayFormat, CreateTextureNull, UploadTexture,
    DestroyTexture, CreateDepth,   DestroyDepth, Clear,         DrawBatch,         CreateMeshNull,
    DestroyMesh,    DrawMesh,      CompileEffect, DestroyEffect, Present,          ReadSurfaceNull,
    nullptr,
};

}  // namespace gfx
