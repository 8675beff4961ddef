// Every reader of outside data (meshes, pictures, sounds, effects, scripts,
// the options file, fonts) refuses what is not a regular file, and a file
// larger than its kind ever is, by name and without waiting: a named pipe
// would stall start-up, /dev/zero would be read until memory ran out, and a
// folder is no file.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "assets/wave.h"
#include "headless_device.h"
#include "platform/font_face.h"
#include "platform/gfx.h"
#include "platform/image.h"
#include "platform/input_script.h"
#include "platform/mesh_data.h"
#include "run_util.h"
#include "services/options.h"

namespace {
class Readers : public HeadlessDevice {};

// Each reader: false (or the defaults) with its message.
struct Reader {
    const char* name;
    std::function<bool(const std::string& path, std::string* message)> read;
};

std::vector<Reader> AllReaders()
{
    return {
        {"mesh", [](const std::string& p, std::string* m) { MeshData d; return ReadXFile(p, &d, m); }},
        {"picture", [](const std::string& p, std::string* m) { Image i; return ReadImageFile(p, &i, m); }},
        {"sound",
         [](const std::string& p, std::string* m) {
             WaveFile w;
             bool ok = WaveOpen(&w, p.c_str());
             *m = w.error;
             WaveClose(&w);
             return ok;
         }},
        {"effect",
         [](const std::string& p, std::string* m) {
             gfx::Effect* fx = nullptr;
             bool ok = !gfx::Failed(gfx::CreateEffectFromFile(p.c_str(), &fx, m));
             gfx::Release(fx);
             return ok;
         }},
        {"script", [](const std::string& p, std::string* m) { InputScript s; return LoadInputScript(p, &s, m); }},
        {"options",
         [](const std::string& p, std::string* m) {
             ::testing::internal::CaptureStderr();
             OptionRecord o = ReadOptionsFile(p.c_str());
             *m = ::testing::internal::GetCapturedStderr();
             return m->empty() && o.screenWidth != 0;
         }},
        {"font",
         [](const std::string& p, std::string* m) {
             gfx::BakedFace f;
             return gfx::BakeFontFile(p.c_str(), 16, &f, m);
         }},
    };
}
}  // namespace

TEST_F(Readers, EveryReaderRefusesAPipeADeviceAndAFolderAndSaysWhich)
{
    std::string fifo = ScratchPath("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string folder = MakeTempDir();
    struct Case {
        std::string path;
        const char* says;
    } cases[] = {{fifo, "a named pipe"}, {"/dev/zero", "a device"}, {folder, "a folder"}};
    for (const Reader& r : AllReaders())
        for (const Case& c : cases) {
            std::string message;
            EXPECT_FALSE(r.read(c.path, &message)) << r.name << " " << c.path;
            EXPECT_NE(message.find("not a file"), std::string::npos) << r.name << ": " << message;
            if (std::string(r.name) != "font") {
                EXPECT_NE(message.find(c.says), std::string::npos) << r.name << ": " << message;
            }
        }
    unlink(fifo.c_str());
}

TEST_F(Readers, AFileFarLargerThanItsKindIsRefusedBeforeItIsRead)
{
    // A sparse file: large, but taking no room.
    std::string big = ScratchPath("big");
    int fd = open(big.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, off_t{80} << 20), 0);
    close(fd);
    for (const Reader& r : AllReaders()) {
        std::string message;
        EXPECT_FALSE(r.read(big, &message)) << r.name;
        EXPECT_NE(message.find("too large for"), std::string::npos) << r.name << ": " << message;
    }
    unlink(big.c_str());
}

// Damage the decoders would pass over in silence is named: a picture cut
// short or with a broken checksum is refused, a header claiming a huge
// picture is refused before room is made for it, and a sound cut short
// plays what is there with a warning.
TEST_F(Readers, DamagedPicturesAndSoundsAreNamed)
{
    auto picture = [](const std::string& bytes) {
        std::string path = ScratchPath("damaged.pic");
        WriteFile(path, bytes);
        Image img;
        std::string error;
        EXPECT_FALSE(ReadImageFile(path, &img, &error)) << bytes.size();
        EXPECT_TRUE(img.argb.empty());
        return error;
    };
    // A 64 x 64 BMP of 24 bits, cut in half, and its header alone.
    std::string bmp = ReadFile(VARNOK_PACK "/Map/Stop.bmp");
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_NE(picture(bmp.substr(0, bmp.size() / 2)).find("a damaged picture: cut short ("), std::string::npos);
    EXPECT_NE(picture(bmp.substr(0, 54)).find("cut short (54 of"), std::string::npos);
    // A PNG with one byte of its pixels changed, and one cut short.
    std::string png = ReadFile(VARNOK_PACK "/LAND/Effect/Ice.png");
    size_t idat = png.find("IDAT");
    ASSERT_NE(idat, std::string::npos);
    std::string flipped = png;
    flipped[idat + 10] = static_cast<char>(flipped[idat + 10] ^ 0x40);
    EXPECT_NE(picture(flipped).find("the 'IDAT' chunk's checksum is wrong"), std::string::npos);
    EXPECT_NE(picture(png.substr(0, png.size() - 20)).find("cut short"), std::string::npos);
    // A JPEG header that claims 8000 x 8000.
    const unsigned char jpeg[] = {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x11, 0x08, 0x1F, 0x40, 0x1F, 0x40, 0x03,
                                  0x01, 0x11, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11, 0x01, 0xFF, 0xD9};
    EXPECT_EQ(picture(std::string(reinterpret_cast<const char*>(jpeg), sizeof jpeg)),
              "picture size out of range (8000 x 8000)");

    // A chunk's type of control bytes is quoted masked.
    std::string odd = png;
    odd.replace(idat, 4, "\x1b[2J");
    EXPECT_NE(picture(odd).find("the '?[2J' chunk's checksum is wrong"), std::string::npos);
    // A JPEG whose Huffman table counts more codes than the decoder holds
    // (it would write past its table), before and after the frame header.
    const std::string head = "\xFF\xD8", frame = std::string(reinterpret_cast<const char*>(jpeg) + 2, 19);
    const std::string table = std::string("\xFF\xC4\x10\x03\x00", 5) + std::string(16, '\xFF') +
                              std::string(4080, '\x01') + "\xFF\xD9";
    EXPECT_EQ(picture(head + table), "a damaged picture: a Huffman table of 4080 codes (at most 256)");
    EXPECT_EQ(picture(head + frame + table), "a damaged picture: a Huffman table of 4080 codes (at most 256)");
    // The decoder passes over bytes between segments to the next marker.
    EXPECT_EQ(picture(head + frame + "\x12\x34" + table),
              "a damaged picture: a Huffman table of 4080 codes (at most 256)");
    // The segment's length leaves one byte after its first table: the
    // decoder reads a whole second table from there.
    const std::string two = std::string("\xFF\xC4\x00\x14\x00", 5) + std::string(16, '\0') + "\x01" +
                            std::string(16, '\x11') + std::string(272, '\x01');
    EXPECT_EQ(picture(head + two), "a damaged picture: a Huffman table of 272 codes (at most 256)");

    // Kinds the game's pictures never come in are refused before the
    // decoder sees them: a 16-bit PGM its reader would read past, a TGA.
    const std::string pgm("P5\n2 2\n2555\x01\x02\0\0\0\0\0\0\n\0\x01\x02\0\0\0\0\0\0\n\0@\x80\xff", 34);
    EXPECT_EQ(picture(pgm), "not a picture (not a BMP, PNG or JPEG file)");
    const std::string tga("\0\0\x02\0\0\0\0\0\0\0\0\0\x01\0\x01\0\x20\x08\x10\x20\x30\x40", 22);
    EXPECT_EQ(picture(tga), "not a picture (not a BMP, PNG or JPEG file)");

    // A sound cut in half still opens and plays its first half, and says so.
    std::string wav = ReadFile(VARNOK_PACK "/Sound/TankFire.wav");
    std::string cut = ScratchPath("cut.wav");
    WriteFile(cut, wav.substr(0, wav.size() / 2));
    WaveFile w;
    ASSERT_TRUE(WaveOpen(&w, cut.c_str())) << w.error;
    ASSERT_TRUE(WaveReset(&w)) << w.error;
    EXPECT_NE(w.warning.find("cut short ("), std::string::npos) << w.warning;
    EXPECT_LT(w.dataLeft, wav.size() / 2);
    WaveClose(&w);
    WriteFile(cut, wav);
    ASSERT_TRUE(WaveOpen(&w, cut.c_str()));
    ASSERT_TRUE(WaveReset(&w));
    EXPECT_EQ(w.warning, "");
    WaveClose(&w);
}
