// The picture reader: a file is a BMP, PNG or JPEG picture of a size the
// game can use, or refused with a reason (the seeds of other kinds the
// decoder knows, TGA, GIF, PSD, HDR, PNM, show that they are refused).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/image.h"
#include "harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzz::WriteScratch(data, size, "input.pic");
    Image img;
    std::string error;
    if (!ReadImageFile(path, &img, &error)) {
        if (error.empty() || !fuzz::Plain(error) || !img.argb.empty()) std::abort();
        return 0;
    }
    if (img.width == 0 || img.height == 0 || img.argb.size() != size_t{img.width} * img.height) std::abort();
    Image small = ScaleImage(img, 16, 16);
    ApplyColourKey(&small, 0xFF000000u);
    return 0;
}
