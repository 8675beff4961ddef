#include "gl_window.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/gfx.h"
#include "platform/system.h"

namespace {
constexpr int kWindowSize = 256;  // as large as any test's back buffer
bool gReady = false;

class GlWindow : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY")) return;
        gReady = sys::Init(sys::Backend::Window, true) &&
                 sys::CreateMainWindow({"VARNOK GL test", "test", kWindowSize, kWindowSize, false}, nullptr) &&
                 gfx::CreateDevice(gfx::Backend::OpenGL, {kWindowSize, kWindowSize, gfx::FMT_X8R8G8B8, true});
    }
    void TearDown() override
    {
        gfx::ReleaseDevice();
        sys::Shutdown();
        gReady = false;
    }
};

[[maybe_unused]] ::testing::Environment* const gWindow = ::testing::AddGlobalTestEnvironment(new GlWindow);
}  // namespace

bool GlWindowReady() { return gReady; }
