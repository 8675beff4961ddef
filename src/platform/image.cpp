#include "platform/image.h"
#include "platform/file_read.h"

#include <stb_image.h>
#include <sys/stat.h>

#include <algorithm>
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
uint32_t Le32(const std::string& b, size_t at)
{
    return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}
uint32_t Be32(const std::string& b, size_t at)
{
    return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) << 24 |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 2])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3]));
}

uint32_t Crc32(const char* data, size_t n)
{
    static uint32_t table[256];
    if (!table[1])
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) c = table[(c ^ static_cast<unsigned char>(data[i])) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

// A JPEG's segments, walked marker by marker as the decoder walks them
// (bytes between segments passed over, and the coded data of each scan), for
// what it would write out of bounds on: a Huffman table of more than 256
// codes.  Empty when none.
std::string JpegDamage(const std::string& b)
{
    if (b.size() < 2 || static_cast<unsigned char>(b[0]) != 0xFF || static_cast<unsigned char>(b[1]) != 0xD8)
        return "";
    auto byte = [&](size_t at) -> unsigned { return at < b.size() ? static_cast<unsigned char>(b[at]) : 0; };
    size_t at = 2;
    while (at + 1 < b.size()) {
        const unsigned marker = byte(at + 1);
        if (byte(at) != 0xFF || marker == 0xFF) {  // padding, or fill before a marker
            ++at;
            continue;
        }
        if (marker == 0xD9) return "";
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // no length
            at += 2;
            continue;
        }
        const int64_t length = (byte(at + 2) << 8 | byte(at + 3));
        if (marker == 0xC4) {
            // Tables follow one another for as long as the length says,
            // each read whole, wherever it ends.
            size_t t = at + 4;
            for (int64_t left = length - 2; left > 0;) {
                unsigned codes = 0;
                for (size_t i = 1; i <= 16; ++i) codes += byte(t + i);
                if (codes > 256) return "a Huffman table of " + std::to_string(codes) + " codes (at most 256)";
                t += 17 + codes;
                left -= 17 + codes;
            }
        }
        at += 2 + static_cast<size_t>(length);
        if (marker == 0xDA) {  // the scan's coded data runs to the next marker
            while (at + 1 < b.size()) {
                const unsigned next = byte(at + 1);
                if (byte(at) == 0xFF && next != 0 && next != 0xFF && !(next >= 0xD0 && next <= 0xD7)) break;
                ++at;
            }
        }
    }
    return "";
}

// What the decoder would pass over in silence: an uncompressed BMP whose
// pixels stop before its rows do, and a PNG cut short or with a chunk whose
// checksum is wrong.  Empty when the file looks whole.
std::string Damage(const std::string& b)
{
    if (b.size() >= 2 && b.compare(0, 2, "BM") == 0) {
        if (b.size() < 34) return "cut short (" + std::to_string(b.size()) + " bytes, no picture header)";
        const uint32_t pixelsAt = Le32(b, 10), compression = Le32(b, 30);
        const int32_t width = static_cast<int32_t>(Le32(b, 18)), height = static_cast<int32_t>(Le32(b, 22));
        const uint32_t bits = static_cast<uint32_t>(static_cast<unsigned char>(b[28])) |
                              static_cast<uint32_t>(static_cast<unsigned char>(b[29])) << 8;
        if ((compression == 0 || compression == 3) && width > 0 && height != 0) {
            const uint64_t row = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
            const uint64_t rows = static_cast<uint64_t>(height < 0 ? -static_cast<int64_t>(height) : height);
            const uint64_t need = uint64_t{pixelsAt} + row * rows;
            if (b.size() < need)
                return "cut short (" + std::to_string(b.size()) + " of " + std::to_string(need) + " bytes)";
        }
        return "";
    }
    if (b.size() >= 8 && b.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0) {
        size_t at = 8;
        while (at + 12 <= b.size()) {
            const uint64_t length = Be32(b, at);
            const std::string type = b.substr(at + 4, 4);
            if (at + 12 + length > b.size())
                return "cut short (the " + Quoted(type) + " chunk runs past the end)";
            if (Crc32(b.data() + at + 4, static_cast<size_t>(length) + 4) != Be32(b, at + 8 + length))
                return "damaged (the " + Quoted(type) + " chunk's checksum is wrong)";
            if (type == "IEND") return "";
            at += 12 + length;
        }
        return "cut short (no IEND chunk)";
    }
    return "";
}

bool Decode(const std::string& path, Image* out, std::string* error)
{
    *out = Image{};
    int w = 0, h = 0, channels = 0;
    std::string bytes;
    if (!ReadRegularFile(path, kLargestPictureFile, "a picture", &bytes, error)) return false;
    const auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
    const int length = static_cast<int>(bytes.size());
    // Only the kinds the game's pictures come in go to the decoder: its
    // readers of other kinds are never needed, and some of them read past
    // their buffers on a damaged file.
    if (!(bytes.compare(0, 2, "BM") == 0 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0 ||
          bytes.compare(0, 2, "\xFF\xD8") == 0)) {
        *error = "not a picture (not a BMP, PNG or JPEG file)";
        return false;
    }
    // The decoder builds a JPEG's tables as it meets them, even while it
    // looks for the size.
    if (std::string damage = JpegDamage(bytes); !damage.empty()) {
        *error = "a damaged picture: " + damage;
        return false;
    }
    // The header first: a damaged size must not make the reader allocate it.
    if (stbi_info_from_memory(data, length, &w, &h, &channels) &&
        (w > 8192 || h > 8192 || static_cast<uint64_t>(w) * static_cast<uint64_t>(h) > kMostPixels)) {
        *error = "picture size out of range (" + std::to_string(w) + " x " + std::to_string(h) + ")";
        return false;
    }
    if (std::string damage = Damage(bytes); !damage.empty()) {
        *error = "a damaged picture: " + damage;
        return false;
    }
    unsigned char* px = stbi_load_from_memory(data, length, &w, &h, &channels, 4);
    if (!px) {
        const char* why = stbi_failure_reason();
        *error = std::string("not a picture (") + (why ? why : "unknown") + ")";
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
