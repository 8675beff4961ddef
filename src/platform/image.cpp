#include "platform/image.h"
#include "platform/file_read.h"

#include <stb_image.h>
#include <sys/stat.h>

#include <map>

#include "platform/test_hooks.h"

namespace {
// Pictures already decoded, by path, kept only when a test asks: a file
// rewritten since (another size or time) is read again.
struct Decoded {
    off_t size;
    struct timespec modified;
    Image image;
};
bool gKeepDecoded = false;
std::map<std::string, Decoded> gDecoded;

bool Same(const struct stat& st, const Decoded& d)
{
    return st.st_size == d.size && st.st_mtim.tv_sec == d.modified.tv_sec &&
           st.st_mtim.tv_nsec == d.modified.tv_nsec;
}

bool Decode(const std::string& path, Image* out, std::string* error);
}  // namespace

void KeepDecodedPictures(bool keep)
{
    gKeepDecoded = keep;
    if (!keep) gDecoded.clear();
}

bool ReadImageFile(const std::string& path, Image* out, std::string* error)
{
    struct stat st;
    if (!gKeepDecoded || stat(path.c_str(), &st) != 0) return Decode(path, out, error);
    auto it = gDecoded.find(path);
    if (it != gDecoded.end() && Same(st, it->second)) {
        *out = it->second.image;
        return true;
    }
    if (!Decode(path, out, error)) return false;
    gDecoded[path] = {st.st_size, st.st_mtim, *out};
    return true;
}

namespace {
// The largest picture the game reads: the pack's biggest is 1024 x 1024; a
// header that claims far more is damaged, and is refused before the pixels
// are given room.
constexpr uint64_t kLargestPictureFile = uint64_t{64} << 20;
constexpr uint64_t kMostPixels = uint64_t{4096} * 4096;
}  // namespace

namespace {
bool Decode(const std::string& path, Image* out, std::string* error)
{
    *out = Image{};
    int w = 0, h = 0, channels = 0;
    if (!CheckRegularFile(path, kLargestPictureFile, "a picture", error)) return false;
    // The header first: a damaged size must not make the reader allocate it.
    if (stbi_info(path.c_str(), &w, &h, &channels) &&
        (w > 8192 || h > 8192 || static_cast<uint64_t>(w) * static_cast<uint64_t>(h) > kMostPixels)) {
        *error = "picture size out of range (" + std::to_string(w) + " x " + std::to_string(h) + ")";
        return false;
    }
    unsigned char* px = stbi_load(path.c_str(), &w, &h, &channels, 4);
    if (!px) {
        const char* why = stbi_failure_reason();
        *error = (why && std::string(why) == "can't fopen") ? "cannot be opened" :
                 std::string("not a picture (") + (why ? why : "unknown") + ")";
        return false;
    }
    if (w <= 0 || h <= 0 || w > 8192 || h > 8192) {
        stbi_image_free(px);
        *error = "picture size out of range";
        return false;
    }
    out->width = static_cast<uint32_t>(w);
    out->height = static_cast<uint32_t>(h);
    out->argb.resize(static_cast<size_t>(w) * h);
    for (size_t i = 0; i < out->argb.size(); ++i) {
        const unsigned char* p = px + i * 4;
        out->argb[i] = static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[0]) << 16 |
                       static_cast<uint32_t>(p[1]) << 8 | p[2];
    }
    stbi_image_free(px);
    return true;
}
}  // namespace

Image ScaleImage(const Image& src, uint32_t width, uint32_t height)
{
    Image out;
    out.width = width;
    out.height = height;
    out.argb.resize(static_cast<size_t>(width) * height);
    for (uint32_t y = 0; y < height; ++y) {
        uint32_t sy = static_cast<uint32_t>((static_cast<uint64_t>(y) * src.height) / height);
        for (uint32_t x = 0; x < width; ++x) {
            uint32_t sx = static_cast<uint32_t>((static_cast<uint64_t>(x) * src.width) / width);
            out.argb[static_cast<size_t>(y) * width + x] = src.argb[static_cast<size_t>(sy) * src.width + sx];
        }
    }
    return out;
}

void ApplyColourKey(Image* img, uint32_t key)
{
    if (key == 0) return;
    for (uint32_t& p : img->argb)
        if (p == key) p = 0;
}
