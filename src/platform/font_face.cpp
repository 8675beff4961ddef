// Glyph atlases baked from font files with FreeType, and the built-in face.
//
// A font file comes from outside and may be damaged anywhere, so everything
// FreeType hands back is checked before it is used: the face must be an
// outline face with a height, each glyph's box must fit a cell of a few line
// heights before it is rasterised, and each bitmap is copied by its own
// rows, width and pitch into a place the packer has checked.  FreeType runs
// on an allocator of its own with a budget, so a damaged count in a file
// ends in an error, not in gigabytes.
#include "platform/font_face.h"
#include "platform/file_read.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_MODULE_H
#include FT_OUTLINE_H
#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace gfx {

namespace {
// --- FreeType on a budget ---------------------------------------------------------------------
constexpr size_t kFreeTypeBudget = size_t{64} << 20;  // far above what any real face needs
constexpr uint64_t kLargestFontFile = uint64_t{32} << 20;

struct Budget {
    size_t held = 0;
};

void* FtAlloc(FT_Memory memory, long size)
{
    auto* b = static_cast<Budget*>(memory->user);
    if (size <= 0 || static_cast<size_t>(size) > kFreeTypeBudget - b->held) return nullptr;
    void* p = std::malloc(static_cast<size_t>(size));
    if (p) b->held += malloc_usable_size(p);
    return p;
}

void FtFree(FT_Memory memory, void* block)
{
    if (!block) return;
    static_cast<Budget*>(memory->user)->held -= malloc_usable_size(block);
    std::free(block);
}

void* FtRealloc(FT_Memory memory, long /*curSize*/, long newSize, void* block)
{
    auto* b = static_cast<Budget*>(memory->user);
    size_t old = block ? malloc_usable_size(block) : 0;
    if (newSize <= 0 || static_cast<size_t>(newSize) > kFreeTypeBudget - (b->held - old))
        return nullptr;
    void* p = std::realloc(block, static_cast<size_t>(newSize));
    if (p) b->held = b->held - old + malloc_usable_size(p);
    return p;
}

// The words FreeType has for its error codes.
const char* FreeTypeErrorText(FT_Error error)
{
#undef FTERRORS_H_
#define FT_ERROR_START_LIST switch (error) {
#define FT_ERRORDEF(e, v, s) \
    case v:                  \
        return s;
#define FT_ERROR_END_LIST }
#include FT_ERRORS_H
    return "unknown error";
}

std::string Why(const char* what, FT_Error error)
{
    return std::string(what) + " (" + FreeTypeErrorText(error) + ")";
}

// One library and at most one face, released in the right order.
class FreeTypeSession {
public:
    FreeTypeSession()
    {
        memory_.user = &budget_;
        memory_.alloc = FtAlloc;
        memory_.free = FtFree;
        memory_.realloc = FtRealloc;
        error_ = FT_New_Library(&memory_, &library_);
        if (!error_) FT_Add_Default_Modules(library_);
    }
    ~FreeTypeSession()
    {
        if (face) FT_Done_Face(face);
        if (library_) FT_Done_Library(library_);
    }
    FreeTypeSession(const FreeTypeSession&) = delete;
    FreeTypeSession& operator=(const FreeTypeSession&) = delete;
    FT_Error Error() const { return error_; }
    FT_Library Library() const { return library_; }
    FT_Face face = nullptr;

private:
    Budget budget_;
    FT_MemoryRec_ memory_{};
    FT_Library library_ = nullptr;
    FT_Error error_ = 0;
};

bool ReadFontFile(const char* path, std::vector<uint8_t>* bytes, std::string* error)
{
    std::string text;
    if (!ReadRegularFile(path, kLargestFontFile, "a font", &text, error)) return false;
    if (text.empty()) {
        *error = "empty file, not a font";
        return false;
    }
    bytes->assign(text.begin(), text.end());
    return true;
}

// TrueType and OpenType files, alone or in a collection, open with one of
// four tags; FreeType reads other formats too, which the game never ships.
bool HasFontSignature(const std::vector<uint8_t>& bytes)
{
    if (bytes.size() < 12) return false;
    uint32_t tag = uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
    return tag == 0x00010000u || tag == 0x4F54544Fu /* OTTO */ || tag == 0x74727565u /* true */ ||
           tag == 0x74746366u /* ttcf */;
}

// Why a file FreeType refused is damaged, where its table directory can
// tell: a table that runs past the end of the file, as in a file cut short.
// Empty when the directory looks whole.
std::string DirectoryDamage(const std::vector<uint8_t>& bytes)
{
    auto u32 = [&bytes](size_t at) {
        return uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 | uint32_t{bytes[at + 2]} << 8 |
               bytes[at + 3];
    };
    if (bytes.size() < 12 || u32(0) == 0x74746366u) return "";  // collections hold several directories
    size_t tables = size_t{bytes[4]} << 8 | bytes[5];
    if (12 + 16 * tables > bytes.size()) return "the table directory runs past the end of the file";
    for (size_t i = 0; i < tables; ++i) {
        size_t entry = 12 + 16 * i;
        uint64_t end = uint64_t{u32(entry + 8)} + u32(entry + 12);
        if (end <= bytes.size()) continue;
        std::string tag;
        for (size_t k = 0; k < 4; ++k) {
            char c = static_cast<char>(bytes[entry + k]);
            tag += c >= 32 && c < 127 ? c : '?';
        }
        return "the '" + tag + "' table runs past the end of the file";
    }
    return "";
}

// --- glyph bitmaps and the packer ------------------------------------------------------------
struct GlyphBitmap {
    int width = 0, rows = 0;
    std::vector<uint8_t> alpha;  // width x rows
    float xoff = 0, yoff = 0, advance = 0;
};

// Shelves of glyphs left to right, top to bottom, one texel apart so that
// filtering never mixes neighbours.  False when they do not fit.
bool Pack(const std::vector<GlyphBitmap>& bitmaps, int side, BakedFace* out)
{
    out->side = side;
    out->alpha.assign(static_cast<size_t>(side) * side, 0);
    int x = 1, y = 1, bottom = 1;
    for (int i = 0; i < kFontGlyphs; ++i) {
        const GlyphBitmap& b = bitmaps[i];
        Glyph& g = out->glyphs[i];
        g = {0, 0, 0, 0, b.xoff, b.yoff, b.advance};
        if (b.width <= 0 || b.rows <= 0) continue;
        if (b.width + 2 > side || b.rows + 2 > side) return false;
        if (x + b.width + 1 > side) {
            x = 1;
            y = bottom;
        }
        if (y + b.rows + 1 > side) return false;
        for (int r = 0; r < b.rows; ++r)
            std::copy_n(b.alpha.data() + static_cast<size_t>(r) * b.width, b.width,
                        out->alpha.data() + static_cast<size_t>(y + r) * side + x);
        g.x0 = static_cast<float>(x);
        g.y0 = static_cast<float>(y);
        g.x1 = static_cast<float>(x + b.width);
        g.y1 = static_cast<float>(y + b.rows);
        x += b.width + 1;
        bottom = std::max(bottom, y + b.rows + 1);
    }
    return true;
}

// The atlas grows from a size that suits the height until the glyphs fit.
constexpr int kLargestAtlas = 4096;

bool PackGrowing(const std::vector<GlyphBitmap>& bitmaps, int height, BakedFace* out)
{
    for (int side = height <= 20 ? 256 : height <= 40 ? 512 : 1024; side <= kLargestAtlas; side *= 2)
        if (Pack(bitmaps, side, out)) return true;
    return false;
}

std::string CharName(int ch)
{
    char name[32];
    if (ch == ' ')
        std::snprintf(name, sizeof name, "the space");
    else if (ch > 32 && ch < 127)
        std::snprintf(name, sizeof name, "'%c'", ch);
    else
        std::snprintf(name, sizeof name, "character %d", ch);
    return name;
}

// --- the font file ------------------------------------------------------------------------------
// Loads one glyph into `b`; false with *error when the file's glyph is
// damaged or larger than a cell of `cell` pixels.
bool LoadGlyph(FT_Face face, int ch, double unitScale, int cell, GlyphBitmap* b, std::string* error)
{
    // Outlines only, unhinted, as drawn at the requested size; advances in
    // font units, scaled here exactly as the outlines are.
    FT_Error e = FT_Load_Char(face, static_cast<FT_ULong>(ch),
                              FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP | FT_LOAD_LINEAR_DESIGN);
    if (e) {
        *error = Why(("damaged glyph for " + CharName(ch)).c_str(), e);
        return false;
    }
    FT_GlyphSlot slot = face->glyph;
    double advance = static_cast<double>(slot->linearHoriAdvance) * unitScale;
    if (!(advance >= 0 && advance <= 4.0 * cell)) {
        *error = "damaged glyph for " + CharName(ch) + " (advance out of range)";
        return false;
    }
    b->advance = static_cast<float>(advance);
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE) {
        *error = "damaged glyph for " + CharName(ch) + " (not an outline)";
        return false;
    }
    if (slot->outline.n_points == 0) return true;  // nothing to draw, as a space
    // The box the rasteriser would fill, checked before it allocates it.
    FT_BBox box;
    FT_Outline_Get_CBox(&slot->outline, &box);
    int64_t left = static_cast<int64_t>(box.xMin) >> 6;
    int64_t right = (static_cast<int64_t>(box.xMax) + 63) >> 6;
    int64_t bottom = static_cast<int64_t>(box.yMin) >> 6;
    int64_t top = (static_cast<int64_t>(box.yMax) + 63) >> 6;
    if (right - left > cell || top - bottom > cell || std::llabs(left) > 2 * cell ||
        std::llabs(top) > 2 * cell || std::llabs(bottom) > 2 * cell) {
        *error = "damaged glyph for " + CharName(ch) + " (" + std::to_string(right - left) + " x " +
                 std::to_string(top - bottom) + " pixels at " + std::to_string(left) + ", " +
                 std::to_string(top) + ", outside a " + std::to_string(cell) + "-pixel cell)";
        return false;
    }
    e = FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL);
    if (e) {
        *error = Why(("damaged glyph for " + CharName(ch)).c_str(), e);
        return false;
    }
    const FT_Bitmap& bm = slot->bitmap;
    int width = static_cast<int>(bm.width), rows = static_cast<int>(bm.rows);
    int pitch = std::abs(bm.pitch);
    if (width == 0 || rows == 0) return true;
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY || bm.num_grays != 256 || !bm.buffer ||
        width > cell + 2 || rows > cell + 2 || pitch < width ||
        std::abs(slot->bitmap_left) > 2 * cell + 2 || std::abs(slot->bitmap_top) > 2 * cell + 2) {
        *error = "damaged glyph for " + CharName(ch) + " (unexpected bitmap)";
        return false;
    }
    b->width = width;
    b->rows = rows;
    b->xoff = static_cast<float>(slot->bitmap_left);
    b->yoff = static_cast<float>(-slot->bitmap_top);
    b->alpha.resize(static_cast<size_t>(width) * rows);
    for (int r = 0; r < rows; ++r) {
        // A negative pitch stores the rows bottom first.
        int from = bm.pitch < 0 ? rows - 1 - r : r;
        std::copy_n(bm.buffer + static_cast<size_t>(from) * pitch, width,
                    b->alpha.data() + static_cast<size_t>(r) * width);
    }
    return true;
}
}  // namespace

bool BakeFontFile(const char* path, int height, BakedFace* out, std::string* error)
{
    *out = BakedFace{};
    if (!path || !*path) {
        *error = "no font file named";
        return false;
    }
    if (height <= 0 || height > 256) {
        *error = std::to_string(height) + " is not a font height (1 to 256 pixels)";
        return false;
    }
    std::vector<uint8_t> bytes;
    if (!ReadFontFile(path, &bytes, error)) return false;
    if (!HasFontSignature(bytes)) {
        *error = "not a font file (no TrueType or OpenType signature)";
        return false;
    }
    FreeTypeSession ft;
    if (ft.Error()) {
        *error = Why("the font library cannot start", ft.Error());
        return false;
    }
    FT_Error e = FT_New_Memory_Face(ft.Library(), bytes.data(), static_cast<FT_Long>(bytes.size()), 0,
                                    &ft.face);
    if (e) {
        ft.face = nullptr;
        std::string where = DirectoryDamage(bytes);
        *error = where.empty() ? Why("damaged font", e) : "damaged font (" + where + ")";
        return false;
    }
    FT_Face face = ft.face;
    if (!FT_IS_SCALABLE(face)) {
        *error = "not an outline font";
        return false;
    }
    // Texts are Latin-1, which is the first 256 code points of Unicode.
    if (FT_Select_Charmap(face, FT_ENCODING_UNICODE)) {
        *error = "damaged font (no Unicode character map)";
        return false;
    }
    // The ascender-to-descender span is `height` pixels.
    int span = face->ascender - face->descender;
    if (face->units_per_EM == 0 || span <= 0) {
        *error = "damaged font (zero-size face: ascender " + std::to_string(face->ascender) +
                 ", descender " + std::to_string(face->descender) + ")";
        return false;
    }
    FT_Size_RequestRec request{FT_SIZE_REQUEST_TYPE_REAL_DIM, 0, height * 64, 0, 0};
    e = FT_Request_Size(face, &request);
    if (e) {
        *error = Why(("cannot be sized to " + std::to_string(height) + " pixels").c_str(), e);
        return false;
    }
    // FreeType may round the size to whole pixels per em; a transform takes
    // the outlines back to the exact size, so the glyphs keep their
    // proportions at every height.
    double unitScale = static_cast<double>(height) / span;   // pixels per font unit
    double sized = static_cast<double>(face->size->metrics.y_scale) / 65536.0 / 64.0;
    double fix = sized > 0 ? unitScale / sized : 0;
    if (!(fix > 0.25 && fix < 4.0)) {
        *error = "damaged font (cannot be sized to " + std::to_string(height) + " pixels)";
        return false;
    }
    FT_Matrix m{static_cast<FT_Fixed>(std::lround(fix * 65536.0)), 0, 0,
                static_cast<FT_Fixed>(std::lround(fix * 65536.0))};
    FT_Set_Transform(face, &m, nullptr);

    // A glyph may reach a line above and below its own, and be two lines wide.
    const int cell = 2 * height + 4;
    std::vector<GlyphBitmap> bitmaps(kFontGlyphs);
    for (int i = 0; i < kFontGlyphs; ++i)
        if (!LoadGlyph(face, kFontFirstChar + i, unitScale, cell, &bitmaps[i], error)) return false;
    // A face that draws nothing for a printable character has lost its
    // outlines (or never had them for this code).
    for (int ch = '!'; ch <= '~'; ++ch)
        if (bitmaps[ch - kFontFirstChar].width == 0) {
            *error = "damaged font (no outline for " + CharName(ch) + ")";
            return false;
        }
    if (!PackGrowing(bitmaps, height, out)) {
        *error = "the glyphs do not fit in a " + std::to_string(kLargestAtlas) + "-texel atlas";
        return false;
    }
    out->ascent = static_cast<float>(face->ascender * unitScale);
    return true;
}

// --- the built-in face -------------------------------------------------------------------------
namespace {
// Printable ASCII, 5 dots wide and 9 rows high: rows 0 to 6 stand on the
// baseline (capitals fill them), rows 7 and 8 hang below it.  Bit 4 of a
// row is its left dot.
constexpr int kDotColumns = 5, kDotRows = 9;
constexpr uint8_t kDots[95][kDotRows] = {
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},  // ' '
    {0x04, 0x04, 0x04, 0x04, 0x04, 0x00, 0x04, 0x00, 0x00},  // '!'
    {0x0A, 0x0A, 0x0A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},  // '"'
    {0x0A, 0x0A, 0x1F, 0x0A, 0x1F, 0x0A, 0x0A, 0x00, 0x00},  // '#'
    {0x04, 0x0F, 0x14, 0x0E, 0x05, 0x1E, 0x04, 0x00, 0x00},  // '$'
    {0x18, 0x19, 0x02, 0x04, 0x08, 0x13, 0x03, 0x00, 0x00},  // '%'
    {0x0C, 0x12, 0x14, 0x08, 0x15, 0x12, 0x0D, 0x00, 0x00},  // '&'
    {0x04, 0x04, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},  // '\''
    {0x02, 0x04, 0x08, 0x08, 0x08, 0x04, 0x02, 0x00, 0x00},  // '('
    {0x08, 0x04, 0x02, 0x02, 0x02, 0x04, 0x08, 0x00, 0x00},  // ')'
    {0x00, 0x04, 0x15, 0x0E, 0x15, 0x04, 0x00, 0x00, 0x00},  // '*'
    {0x00, 0x04, 0x04, 0x1F, 0x04, 0x04, 0x00, 0x00, 0x00},  // '+'
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C, 0x04, 0x08},  // ','
    {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00, 0x00, 0x00},  // '-'
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C, 0x00, 0x00},  // '.'
    {0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x00, 0x00, 0x00},  // '/'
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E, 0x00, 0x00},  // '0'
    {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E, 0x00, 0x00},  // '1'
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F, 0x00, 0x00},  // '2'
    {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E, 0x00, 0x00},  // '3'
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02, 0x00, 0x00},  // '4'
    {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E, 0x00, 0x00},  // '5'
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E, 0x00, 0x00},  // '6'
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08, 0x00, 0x00},  // '7'
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E, 0x00, 0x00},  // '8'
    {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C, 0x00, 0x00},  // '9'
    {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00, 0x00, 0x00},  // ':'
    {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x04, 0x08, 0x00},  // ';'
    {0x02, 0x04, 0x08, 0x10, 0x08, 0x04, 0x02, 0x00, 0x00},  // '<'
    {0x00, 0x00, 0x1F, 0x00, 0x1F, 0x00, 0x00, 0x00, 0x00},  // '='
    {0x08, 0x04, 0x02, 0x01, 0x02, 0x04, 0x08, 0x00, 0x00},  // '>'
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x00, 0x04, 0x00, 0x00},  // '?'
    {0x0E, 0x11, 0x01, 0x0D, 0x15, 0x15, 0x0E, 0x00, 0x00},  // '@'
    {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11, 0x00, 0x00},  // 'A'
    {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E, 0x00, 0x00},  // 'B'
    {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E, 0x00, 0x00},  // 'C'
    {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C, 0x00, 0x00},  // 'D'
    {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F, 0x00, 0x00},  // 'E'
    {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10, 0x00, 0x00},  // 'F'
    {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F, 0x00, 0x00},  // 'G'
    {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11, 0x00, 0x00},  // 'H'
    {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E, 0x00, 0x00},  // 'I'
    {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C, 0x00, 0x00},  // 'J'
    {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11, 0x00, 0x00},  // 'K'
    {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F, 0x00, 0x00},  // 'L'
    {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11, 0x00, 0x00},  // 'M'
    {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11, 0x00, 0x00},  // 'N'
    {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E, 0x00, 0x00},  // 'O'
    {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10, 0x00, 0x00},  // 'P'
    {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D, 0x00, 0x00},  // 'Q'
    {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11, 0x00, 0x00},  // 'R'
    {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E, 0x00, 0x00},  // 'S'
    {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x00, 0x00},  // 'T'
    {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E, 0x00, 0x00},  // 'U'
    {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04, 0x00, 0x00},  // 'V'
    {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A, 0x00, 0x00},  // 'W'
    {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11, 0x00, 0x00},  // 'X'
    {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04, 0x00, 0x00},  // 'Y'
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F, 0x00, 0x00},  // 'Z'
    {0x0E, 0x08, 0x08, 0x08, 0x08, 0x08, 0x0E, 0x00, 0x00},  // '['
    {0x00, 0x10, 0x08, 0x04, 0x02, 0x01, 0x00, 0x00, 0x00},  // '\\'
    {0x0E, 0x02, 0x02, 0x02, 0x02, 0x02, 0x0E, 0x00, 0x00},  // ']'
    {0x04, 0x0A, 0x11, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},  // '^'
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x1F, 0x00},  // '_'
    {0x08, 0x04, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},  // '`'
    {0x00, 0x00, 0x0E, 0x01, 0x0F, 0x11, 0x0F, 0x00, 0x00},  // 'a'
    {0x10, 0x10, 0x16, 0x19, 0x11, 0x11, 0x1E, 0x00, 0x00},  // 'b'
    {0x00, 0x00, 0x0E, 0x10, 0x10, 0x11, 0x0E, 0x00, 0x00},  // 'c'
    {0x01, 0x01, 0x0D, 0x13, 0x11, 0x11, 0x0F, 0x00, 0x00},  // 'd'
    {0x00, 0x00, 0x0E, 0x11, 0x1F, 0x10, 0x0E, 0x00, 0x00},  // 'e'
    {0x06, 0x09, 0x08, 0x1C, 0x08, 0x08, 0x08, 0x00, 0x00},  // 'f'
    {0x00, 0x00, 0x0F, 0x11, 0x11, 0x11, 0x0F, 0x01, 0x0E},  // 'g'
    {0x10, 0x10, 0x16, 0x19, 0x11, 0x11, 0x11, 0x00, 0x00},  // 'h'
    {0x04, 0x00, 0x0C, 0x04, 0x04, 0x04, 0x0E, 0x00, 0x00},  // 'i'
    {0x02, 0x00, 0x06, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C},  // 'j'
    {0x10, 0x10, 0x12, 0x14, 0x18, 0x14, 0x12, 0x00, 0x00},  // 'k'
    {0x0C, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E, 0x00, 0x00},  // 'l'
    {0x00, 0x00, 0x1A, 0x15, 0x15, 0x15, 0x15, 0x00, 0x00},  // 'm'
    {0x00, 0x00, 0x16, 0x19, 0x11, 0x11, 0x11, 0x00, 0x00},  // 'n'
    {0x00, 0x00, 0x0E, 0x11, 0x11, 0x11, 0x0E, 0x00, 0x00},  // 'o'
    {0x00, 0x00, 0x1E, 0x11, 0x11, 0x11, 0x1E, 0x10, 0x10},  // 'p'
    {0x00, 0x00, 0x0F, 0x11, 0x11, 0x11, 0x0F, 0x01, 0x01},  // 'q'
    {0x00, 0x00, 0x16, 0x19, 0x10, 0x10, 0x10, 0x00, 0x00},  // 'r'
    {0x00, 0x00, 0x0F, 0x10, 0x0E, 0x01, 0x1E, 0x00, 0x00},  // 's'
    {0x08, 0x08, 0x1C, 0x08, 0x08, 0x09, 0x06, 0x00, 0x00},  // 't'
    {0x00, 0x00, 0x11, 0x11, 0x11, 0x13, 0x0D, 0x00, 0x00},  // 'u'
    {0x00, 0x00, 0x11, 0x11, 0x11, 0x0A, 0x04, 0x00, 0x00},  // 'v'
    {0x00, 0x00, 0x11, 0x11, 0x15, 0x15, 0x0A, 0x00, 0x00},  // 'w'
    {0x00, 0x00, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x00, 0x00},  // 'x'
    {0x00, 0x00, 0x11, 0x11, 0x11, 0x11, 0x0F, 0x01, 0x0E},  // 'y'
    {0x00, 0x00, 0x1F, 0x02, 0x04, 0x08, 0x1F, 0x00, 0x00},  // 'z'
    {0x03, 0x04, 0x04, 0x08, 0x04, 0x04, 0x03, 0x00, 0x00},  // '{'
    {0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x00},  // '|'
    {0x18, 0x04, 0x04, 0x02, 0x04, 0x04, 0x18, 0x00, 0x00},  // '}'
    {0x00, 0x00, 0x08, 0x15, 0x02, 0x00, 0x00, 0x00, 0x00},  // '~'
};
// Every other character: a hollow box, so that a missing letter shows.
constexpr uint8_t kBoxDots[kDotRows] = {0x1F, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1F, 0x00, 0x00};
// A line is 10 dots: one above the capitals, 7 to the baseline, 2 below;
// a character is 6 dots wide with its space.
constexpr int kLineDots = 10, kAscentDots = 8, kTopDots = 1, kAdvanceDots = 6;
}  // namespace

void BakeBuiltinFace(int height, BakedFace* out)
{
    *out = BakedFace{};
    height = std::clamp(height, 1, 256);
    // Dot edges fall on whole pixels, so every dot is solid: at heights that
    // are not a multiple of 10 some dots are a pixel wider than others.  A dot
    // is never less than a pixel, so below 10 pixels the letters stay whole
    // and reach past their line.
    const double dot = std::max(1.0, height / static_cast<double>(kLineDots));
    auto edge = [dot](int i) { return static_cast<int>(std::lround(i * dot)); };
    std::vector<GlyphBitmap> bitmaps(kFontGlyphs);
    for (int i = 0; i < kFontGlyphs; ++i) {
        int ch = kFontFirstChar + i;
        const uint8_t* dots = ch < 127 ? kDots[ch - 32] : kBoxDots;
        GlyphBitmap& b = bitmaps[i];
        b.advance = static_cast<float>(kAdvanceDots * dot);
        b.xoff = 0;
        b.yoff = static_cast<float>(edge(kTopDots) - edge(kAscentDots));
        if (std::all_of(dots, dots + kDotRows, [](uint8_t r) { return r == 0; })) continue;
        b.width = edge(kDotColumns);
        b.rows = edge(kDotRows);
        b.alpha.assign(static_cast<size_t>(b.width) * b.rows, 0);
        for (int r = 0; r < kDotRows; ++r)
            for (int c = 0; c < kDotColumns; ++c) {
                if (!(dots[r] >> (kDotColumns - 1 - c) & 1)) continue;
                for (int y = edge(r); y < edge(r + 1); ++y)
                    for (int x = edge(c); x < edge(c + 1); ++x)
                        b.alpha[static_cast<size_t>(y) * b.width + x] = 255;
            }
    }
    // The largest face needs 128 x 230-pixel glyphs, which fit the largest atlas.
    PackGrowing(bitmaps, height, out);
    out->ascent = static_cast<float>(edge(kAscentDots));
}

}  // namespace gfx
