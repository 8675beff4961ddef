// The effect-file (.fx) reader, on the null graphics device: a file becomes
// an effect or is refused with "PATH:LINE: what is wrong".
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/gfx.h"
#include "harness.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (!gfx::CreateDevice(gfx::Backend::Null, {800, 600, gfx::FMT_X8R8G8B8, true})) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzz::WriteScratch(data, size, "input.fx");
    gfx::Effect* fx = nullptr;
    std::string errors;
    if (gfx::Failed(gfx::CreateEffectFromFile(path.c_str(), &fx, &errors))) {
        // A refusal that names no file, or quotes control bytes.
        if (fx || errors.rfind(path + ":", 0) != 0 || !fuzz::Plain(errors)) std::abort();
        return 0;
    }
    uint32_t passes = 0;
    if (!gfx::Failed(gfx::EffectBegin(fx, &passes))) {
        for (uint32_t p = 0; p < passes; ++p) {
            gfx::EffectBeginPass(fx, p);
            gfx::EffectEndPass(fx);
        }
        gfx::EffectEnd(fx);
    }
    gfx::Release(fx);
    return 0;
}
