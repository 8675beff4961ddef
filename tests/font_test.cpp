// The text fonts on the null device: the pack's face loads and measures like
// a bold sans of its height; truncated, mangled, random and bad-offset
// copies of it never crash the loader, each loads or fails with a message
// naming the file; the built-in face stands in and draws every printable
// character; and the game tells a bad pack font once and still draws text.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "services/device.h"
#include "headless_device.h"
#include "platform/font_face.h"
#include "platform/gfx.h"
#include "run_util.h"

using namespace gfx;

namespace {
const std::string kPackFont = std::string(VARNOK_PACK) + "/Font/DejaVuSans-Bold.ttf";

std::vector<uint8_t> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

uint32_t Get32(const std::vector<uint8_t>& f, size_t at)
{
    return uint32_t{f[at]} << 24 | uint32_t{f[at + 1]} << 16 | uint32_t{f[at + 2]} << 8 | f[at + 3];
}
void Put32(std::vector<uint8_t>& f, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) f[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}
void Put16(std::vector<uint8_t>& f, size_t at, uint16_t v)
{
    f[at] = static_cast<uint8_t>(v >> 8);
    f[at + 1] = static_cast<uint8_t>(v);
}

// One entry of a TrueType table directory: where the entry sits, and the
// table it points at.
struct Table {
    std::string tag;
    size_t entry;
    uint32_t offset, length;
};

std::vector<Table> Tables(const std::vector<uint8_t>& f)
{
    std::vector<Table> tables;
    int count = f[4] << 8 | f[5];
    for (int i = 0; i < count; ++i) {
        size_t e = 12 + 16 * static_cast<size_t>(i);
        std::string tag(f.begin() + static_cast<long>(e), f.begin() + static_cast<long>(e) + 4);
        tables.push_back({tag, e, Get32(f, e + 8), Get32(f, e + 12)});
    }
    return tables;
}

const Table& Find(const std::vector<Table>& tables, const char* tag)
{
    for (const Table& t : tables)
        if (t.tag == tag) return t;
    ADD_FAILURE() << "no table " << tag;
    return tables.front();
}

// What a damaged copy must do: fail (no reading of it is a usable face),
// load (the damage is in parts the loader has no need of), or either.
enum class Expect { Fails, Loads, Either };

struct Damaged {
    std::string what;
    std::vector<uint8_t> bytes;
    Expect expect;
};

// The tables that give a face its outlines, sizes and advances.
bool Required(const std::string& tag)
{
    return tag == "head" || tag == "hhea" || tag == "maxp" || tag == "loca" || tag == "glyf";
}
// The tables that drawing text in one size never reads.
bool Unread(const std::string& tag)
{
    for (const char* t : {"FFTM", "GDEF", "GPOS", "GSUB", "kern", "name", "gasp", "prep", "fpgm", "cvt "})
        if (tag == t) return true;
    return false;
}

// The corpus: every kind of damage a font file meets, from a fixed seed.
std::vector<Damaged> DamagedCopies(const std::vector<uint8_t>& font)
{
    std::vector<Damaged> out;
    std::mt19937 rng(20240611);
    auto below = [&rng](size_t n) { return static_cast<size_t>(rng() % n); };
    const std::vector<Table> tables = Tables(font);
    // Every table the face needs ends before this point.
    size_t needed = 0;
    for (const char* tag : {"head", "hhea", "maxp", "cmap", "loca", "glyf", "hmtx"}) {
        const Table& t = Find(tables, tag);
        needed = std::max<size_t>(needed, t.offset + t.length);
    }

    // Cut short: inside the header, inside the directory, inside each table,
    // and at random points.
    std::vector<size_t> cuts = {0, 1, 3, 4, 11, 12, 13, 27, 28, 100, 12 + 16 * tables.size() - 1};
    for (const Table& t : tables) {
        cuts.push_back(t.offset);
        cuts.push_back(t.offset + t.length / 2);
    }
    for (int i = 0; i < 12; ++i) cuts.push_back(below(font.size()));
    for (size_t n : cuts)
        out.push_back({"cut to " + std::to_string(n) + " bytes",
                       std::vector<uint8_t>(font.begin(), font.begin() + static_cast<long>(n)),
                       n < needed ? Expect::Fails : Expect::Loads});

    // Mangled bytes: anywhere, and within each table.
    for (int i = 0; i < 8; ++i) {
        std::vector<uint8_t> f = font;
        size_t n = size_t{1} << (2 * i % 12);
        for (size_t k = 0; k < n; ++k) f[below(f.size())] = static_cast<uint8_t>(rng());
        out.push_back({std::to_string(n) + " bytes mangled anywhere", f, Expect::Either});
    }
    for (const Table& t : tables) {
        for (int round = 0; round < 2; ++round) {
            std::vector<uint8_t> f = font;
            // The first bytes of a table hold its counts and offsets.
            size_t span = round == 0 ? std::min<size_t>(t.length, 64) : t.length;
            for (int k = 0; k < 16; ++k) f[t.offset + below(span)] = static_cast<uint8_t>(rng());
            out.push_back({"16 bytes mangled in " + t.tag + (round == 0 ? "'s start" : ""), f,
                           Unread(t.tag) ? Expect::Loads : Expect::Either});
        }
    }
    // The first glyph outlines are the Latin letters the game draws.
    {
        const Table& glyf = Find(tables, "glyf");
        for (int i = 0; i < 6; ++i) {
            std::vector<uint8_t> f = font;
            for (int k = 0; k < 64; ++k)
                f[glyf.offset + below(std::min<size_t>(glyf.length, 20000))] = static_cast<uint8_t>(rng());
            out.push_back({"64 bytes mangled in the first outlines", f, Expect::Either});
        }
    }

    // Random bytes, bare and behind a TrueType header with a directory.
    for (size_t n : {1, 12, 100, 5000, 60000}) {
        std::vector<uint8_t> f(n);
        for (uint8_t& b : f) b = static_cast<uint8_t>(rng());
        out.push_back({std::to_string(n) + " random bytes", f, Expect::Fails});
        if (n >= 12 + 16 * tables.size()) {
            std::copy(font.begin(), font.begin() + static_cast<long>(12 + 16 * tables.size()), f.begin());
            out.push_back({std::to_string(n) + " random bytes behind the real header", f, Expect::Fails});
        }
    }
    {
        std::vector<uint8_t> f = font;
        for (size_t i = needed / 2; i < f.size(); ++i) f[i] = static_cast<uint8_t>(rng());
        out.push_back({"random bytes from the middle on", f, Expect::Fails});
    }

    // Directory entries pointing past the end, or with lengths that run past
    // it or wrap around.
    for (const Table& t : tables) {
        struct {
            const char* what;
            uint32_t offset, length;
        } bad[] = {
            {"offset past the end", static_cast<uint32_t>(font.size() + 16), t.length},
            {"offset 0xFFFFFFF0", 0xFFFFFFF0u, t.length},
            {"length past the end", t.offset, static_cast<uint32_t>(font.size() - t.offset + 64)},
            {"offset and length wrapping", 0xFFFFFF00u, 0x200u},
            {"length 0", t.offset, 0},
        };
        for (const auto& b : bad) {
            std::vector<uint8_t> f = font;
            Put32(f, t.entry + 8, b.offset);
            Put32(f, t.entry + 12, b.length);
            out.push_back({t.tag + ": " + b.what, f,
                           Required(t.tag) ? Expect::Fails : Unread(t.tag) ? Expect::Loads : Expect::Either});
        }
    }
    // A directory claiming more tables than the file holds.
    {
        std::vector<uint8_t> f = font;
        Put16(f, 4, 0xFFFF);
        out.push_back({"65535 tables", f, Expect::Either});
    }

    // Faces with no height or an absurd one, so every glyph is far larger
    // than its line; and a face twice its usual size, which still fits.
    const Table& hhea = Find(tables, "hhea");
    const Table& os2 = Find(tables, "OS/2");
    const Table& head = Find(tables, "head");
    auto metrics = [&](const char* what, int ascender, int descender, Expect expect) {
        std::vector<uint8_t> f = font;
        Put16(f, hhea.offset + 4, static_cast<uint16_t>(ascender));
        Put16(f, hhea.offset + 6, static_cast<uint16_t>(descender));
        Put16(f, os2.offset + 68, static_cast<uint16_t>(ascender));
        Put16(f, os2.offset + 70, static_cast<uint16_t>(descender));
        Put16(f, os2.offset + 74, static_cast<uint16_t>(ascender));
        Put16(f, os2.offset + 76, static_cast<uint16_t>(-descender));
        out.push_back({what, f, expect});
    };
    metrics("ascender 0, descender 0", 0, 0, Expect::Fails);
    metrics("descender above the ascender", 100, 200, Expect::Fails);
    metrics("a line one unit high", 1, 0, Expect::Fails);
    metrics("a line 30 units high", 20, -10, Expect::Fails);
    metrics("a line half as high", 950, -242, Expect::Loads);
    {
        std::vector<uint8_t> f = font;
        Put16(f, head.offset + 18, 0);
        out.push_back({"0 units per em", f, Expect::Fails});
    }
    return out;
}

class Fonts : public HeadlessDevice {
protected:
    void SetUp() override
    {
        HeadlessDevice::SetUp();
        dir_ = MakeTempDir();
    }
    void TearDown() override
    {
        std::string cmd = "rm -rf '" + dir_ + "'";
        EXPECT_EQ(std::system(cmd.c_str()), 0);
        HeadlessDevice::TearDown();
    }
    // Draws one line of text with `f` and returns the triangles it took.
    static uint64_t TrianglesFor(Font* f, const char* text, int* heightDrawn = nullptr)
    {
        Present();  // starts a fresh count
        Rect at{10, 10, 0, 0};
        int h = FontDrawText(f, nullptr, text, -1, &at, DT_NOCLIP, 0xFFFFFFFF);
        if (heightDrawn) *heightDrawn = h;
        Present();
        return LastFrameStats().triangles;
    }
    std::string dir_;
};
}  // namespace

TEST_F(Fonts, PackFontLoadsAndMeasuresLikeABoldSansOfItsHeight)
{
    Font* f = nullptr;
    std::string error;
    ASSERT_FALSE(Failed(CreateFont(16, 1000, kPackFont.c_str(), &f, &error))) << error;
    EXPECT_TRUE(error.empty());
    int h = 0;
    EXPECT_EQ(TrianglesFor(f, "VARNOK", &h), 12u);  // one quad a letter
    EXPECT_EQ(h, 16);
    EXPECT_EQ(TrianglesFor(f, "A B\nC", &h), 6u);   // spaces and breaks draw nothing
    EXPECT_EQ(h, 32);
    Release(f);

    for (int height : {16, 28}) {
        SCOPED_TRACE(height);
        BakedFace face;
        ASSERT_TRUE(BakeFontFile(kPackFont.c_str(), height, &face, &error)) << error;
        auto glyph = [&](char c) { return face.glyphs[c - kFontFirstChar]; };
        auto rows = [&](char c) { return glyph(c).y1 - glyph(c).y0; };
        // The baseline sits about four fifths down the line, capitals stand
        // on it about two thirds of a line high, and 'g' hangs below it
        // without leaving the line.
        EXPECT_NEAR(face.ascent, 0.8f * height, 0.05f * height);
        EXPECT_NEAR(rows('H'), 0.65f * height, 0.08f * height);
        EXPECT_EQ(glyph('H').yoff + rows('H'), 0.0f);
        float below = glyph('g').yoff + rows('g');
        EXPECT_GT(below, 0.1f * height);
        EXPECT_LE(below, height - face.ascent + 1);
        // A bold sans: "VARNOK" is about four lines wide, 'M' is much wider
        // than 'i', and figures share one width so numbers do not jiggle.
        float width = 0;
        for (char c : std::string("VARNOK")) width += glyph(c).advance;
        EXPECT_NEAR(width, 4.1f * height, 0.4f * height);
        EXPECT_GT(glyph('M').advance, 2.5f * glyph('i').advance);
        for (char c = '0'; c <= '9'; ++c) EXPECT_FLOAT_EQ(glyph(c).advance, glyph('0').advance) << c;
        // Every printable character has ink, inside the atlas.
        for (int c = 33; c < 127; ++c) {
            const Glyph& g = face.glyphs[c - kFontFirstChar];
            EXPECT_GT(g.x1, g.x0) << static_cast<char>(c);
            EXPECT_GT(g.y1, g.y0) << static_cast<char>(c);
            EXPECT_GE(g.x0, 0.0f);
            EXPECT_GE(g.y0, 0.0f);
            EXPECT_LE(g.x1, static_cast<float>(face.side));
            EXPECT_LE(g.y1, static_cast<float>(face.side));
        }
    }
}

TEST_F(Fonts, DamagedFontsLoadOrFailNamingTheFileAndTheBuiltInFaceStillDraws)
{
    const std::vector<uint8_t> font = ReadAll(kPackFont);
    ASSERT_GT(font.size(), 100000u);
    const std::string path = dir_ + "/damaged.ttf";
    Font* builtin = nullptr;
    ASSERT_FALSE(Failed(CreateBuiltinFont(16, &builtin)));
    for (const Damaged& d : DamagedCopies(font)) {
        SCOPED_TRACE(d.what);
        WriteAll(path, d.bytes);
        Font* f = nullptr;
        std::string error;
        if (Failed(CreateFont(16, 1000, path.c_str(), &f, &error))) {
            EXPECT_NE(d.expect, Expect::Loads) << error;
            EXPECT_EQ(f, nullptr);
            EXPECT_EQ(error.rfind(path + ": ", 0), 0u) << error;
            EXPECT_GT(error.size(), path.size() + 2);
            EXPECT_EQ(TrianglesFor(builtin, "VARNOK"), 12u);
        } else {
            EXPECT_NE(d.expect, Expect::Fails);
            EXPECT_TRUE(error.empty()) << error;
            int h = 0;
            TrianglesFor(f, "VARNOK 0123456789 \xC0\xE9\xFF", &h);  // draws without a fault
            EXPECT_EQ(h, 16);
            Release(f);
        }
    }
    Release(builtin);
}

TEST_F(Fonts, MissingOrNonFontFilesFailWithTheReason)
{
    const std::string text = dir_ + "/notes.ttf";
    WriteAll(text, std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o', '\n'});
    WriteAll(dir_ + "/empty.ttf", {});
    struct {
        std::string path;
        const char* reason;
    } cases[] = {
        {dir_ + "/none.ttf", "cannot be opened"},
        {dir_, "not a file"},
        {dir_ + "/empty.ttf", "empty file"},
        {text, "not a font file"},
    };
    for (const auto& c : cases) {
        Font* f = nullptr;
        std::string error;
        EXPECT_TRUE(Failed(CreateFont(16, 1000, c.path.c_str(), &f, &error)));
        EXPECT_EQ(f, nullptr);
        EXPECT_EQ(error.rfind(c.path + ": " + c.reason, 0), 0u) << error;
    }
}

TEST_F(Fonts, BuiltInFaceDrawsEveryPrintableCharacterDistinctlyAtAnyHeight)
{
    for (int height : {8, 16, 28, 256}) {
        SCOPED_TRACE(height);
        // A line is ten dots, a dot never less than a pixel.
        const float dot = std::max(1.0f, height / 10.0f);
        BakedFace face;
        BakeBuiltinFace(height, &face);
        auto picture = [&](int c) {
            const Glyph& g = face.glyphs[c - kFontFirstChar];
            std::vector<uint8_t> px;
            for (int y = static_cast<int>(g.y0); y < static_cast<int>(g.y1); ++y)
                for (int x = static_cast<int>(g.x0); x < static_cast<int>(g.x1); ++x)
                    px.push_back(face.alpha[static_cast<size_t>(y) * face.side + x]);
            return px;
        };
        const Glyph& H = face.glyphs['H' - kFontFirstChar];
        // Capitals stand on the baseline seven dots high, a dot below the
        // line's top; characters are six dots apart.
        EXPECT_NEAR(face.ascent, 8 * dot, 0.5f);
        EXPECT_NEAR(-H.yoff, 7 * dot, 1.0f);
        EXPECT_NEAR(H.advance, 6 * dot, 0.01f);
        std::vector<std::vector<uint8_t>> seen;
        for (int c = 33; c < 127; ++c) {
            std::vector<uint8_t> px = picture(c);
            EXPECT_TRUE(std::count(px.begin(), px.end(), 255) > 0) << static_cast<char>(c);
            for (size_t k = 0; k < seen.size(); ++k)
                EXPECT_NE(px, seen[k]) << static_cast<char>(c) << " looks like " << static_cast<char>(33 + k);
            seen.push_back(px);
        }
        // Characters beyond ASCII show as a box rather than vanish.
        EXPECT_GT(face.glyphs[0xE9 - kFontFirstChar].x1, face.glyphs[0xE9 - kFontFirstChar].x0);
    }
    Font* f = nullptr;
    ASSERT_FALSE(Failed(CreateBuiltinFont(28, &f)));
    int h = 0;
    EXPECT_EQ(TrianglesFor(f, "Ver.1.01 LastTime=03:00", &h), 2u * 22);
    EXPECT_EQ(h, 28);
    Release(f);
    EXPECT_TRUE(Failed(CreateBuiltinFont(0, &f)));
    EXPECT_TRUE(Failed(CreateBuiltinFont(257, &f)));
}

TEST_F(Fonts, BadPackFontIsToldOnceAndBothSizesStillDrawText)
{
    const std::vector<uint8_t> font = ReadAll(kPackFont);
    struct {
        const char* what;
        std::vector<uint8_t> bytes;  // empty: no font file at all
        const char* message;         // empty: nothing to tell
    } cases[] = {
        {"missing", {}, "Font/DejaVuSans-Bold.ttf: cannot be opened"},
        {"cut short", std::vector<uint8_t>(font.begin(), font.begin() + 5000), "Font/DejaVuSans-Bold.ttf: "},
        {"a text file", {'n', 'o', 't', 'e', 's', '\n'}, "Font/DejaVuSans-Bold.ttf: not a font file"},
        {"whole", font, ""},
    };
    ASSERT_EQ(chdir(dir_.c_str()), 0);
    ASSERT_EQ(mkdir("Font", 0755), 0);
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::remove("Font/DejaVuSans-Bold.ttf");
        if (!c.bytes.empty()) WriteAll("Font/DejaVuSans-Bold.ttf", c.bytes);
        testing::internal::CaptureStderr();
        CreateFonts();
        std::string told = testing::internal::GetCapturedStderr();
        if (*c.message) {
            EXPECT_EQ(told.rfind(c.message, 0), 0u) << told;
            EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << told;
        } else {
            EXPECT_EQ(told, "");
        }
        ASSERT_NE(SmallFont, nullptr);
        ASSERT_NE(LargeFont, nullptr);
        int h = 0;
        EXPECT_EQ(TrianglesFor(SmallFont, "FPS=60", &h), 12u);
        EXPECT_EQ(h, 16);
        EXPECT_EQ(TrianglesFor(LargeFont, "VARNOK", &h), 12u);
        EXPECT_EQ(h, 28);
        Release(SmallFont);
        Release(LargeFont);
    }
}
