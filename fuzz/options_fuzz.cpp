// The options file (Data/OptionData.dat) as the game reads it at start-up:
// whatever the bytes, the reader gives four settings the options screen
// could have written.
#include <cstdint>
#include <cstdlib>

#include "harness.h"
#include "services/options.h"

namespace {
bool OneOf(int32_t v, std::initializer_list<int32_t> set)
{
    for (int32_t s : set)
        if (v == s) return true;
    return false;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzz::WriteScratch(data, size, "OptionData.dat");
    OptionRecord o = ReadOptionsFile(path.c_str());
    if (!OneOf(o.fullScreen, {0, 1}) || !OneOf(o.shadowMapSize, {1, 512, 1024, 1600}) ||
        !((o.screenWidth == 640 && o.screenHeight == 480) || (o.screenWidth == 800 && o.screenHeight == 600) ||
          (o.screenWidth == 1024 && o.screenHeight == 768)))
        std::abort();  // a setting the options screen could not have written
    return 0;
}
