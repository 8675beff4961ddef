#include "assets/wave.h"
#include "platform/file_read.h"

#include <algorithm>
#include <cstring>

namespace {
uint32_t U32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint64_t FileSize(std::FILE* f)
{
    long at = std::ftell(f);
    std::fseek(f, 0, SEEK_END);
    long size = std::ftell(f);
    std::fseek(f, at, SEEK_SET);
    return size < 0 ? 0 : static_cast<uint64_t>(size);
}

// Walks the chunks between `from` and `end` to the one named `id`; leaves
// the file at its data and gives its size, cut to what the file holds.
bool FindChunk(std::FILE* f, uint64_t from, uint64_t end, const char* id, uint64_t* dataAt, uint32_t* size)
{
    uint64_t at = from;
    while (at + 8 <= end) {
        uint8_t head[8];
        if (std::fseek(f, static_cast<long>(at), SEEK_SET) != 0 || std::fread(head, 1, 8, f) != 8) return false;
        uint64_t length = U32(head + 4);
        if (std::memcmp(head, id, 4) == 0) {
            *dataAt = at + 8;
            *size = static_cast<uint32_t>(std::min<uint64_t>(length, end - (at + 8)));
            return true;
        }
        at += 8 + length + (length & 1);  // chunks are word aligned
    }
    return false;
}

bool Fail(WaveFile* w, const std::string& why)
{
    w->error = why;
    if (w->file) std::fclose(w->file);
    w->file = nullptr;
    w->format.clear();
    return false;
}
}  // namespace

bool WaveOpen(WaveFile* w, const char* path)
{
    WaveClose(w);
    w->error.clear();
    std::string why;
    if (!CheckRegularFile(path, uint64_t{64} << 20, "a sound", &why)) return Fail(w, why);
    w->file = std::fopen(path, "rb");
    if (!w->file) return Fail(w, "cannot be opened");
    uint64_t size = FileSize(w->file);
    uint8_t riff[12];
    if (std::fread(riff, 1, 12, w->file) != 12 || std::memcmp(riff, "RIFF", 4) != 0 ||
        std::memcmp(riff + 8, "WAVE", 4) != 0)
        return Fail(w, "not a RIFF/WAVE file");
    w->riffStart = 8;
    w->riffEnd = std::min<uint64_t>(size, 8 + static_cast<uint64_t>(U32(riff + 4)));
    uint64_t fmtAt;
    uint32_t fmtSize;
    if (!FindChunk(w->file, 12, w->riffEnd, "fmt ", &fmtAt, &fmtSize)) return Fail(w, "no \"fmt \" chunk");
    if (fmtSize < 16) return Fail(w, "the \"fmt \" chunk is shorter than 16 bytes");
    uint8_t pcm[16];
    std::fseek(w->file, static_cast<long>(fmtAt), SEEK_SET);
    if (std::fread(pcm, 1, 16, w->file) != 16) return Fail(w, "the format is cut short");
    uint16_t extra = 0;
    if (U16(pcm) != 1) {
        uint8_t n[2];
        if (fmtSize < 18 || std::fread(n, 1, 2, w->file) != 2) return Fail(w, "the format's extra size is missing");
        extra = U16(n);
        if (18u + extra > fmtSize) return Fail(w, "the format's extra bytes run past its chunk");
    }
    w->format.assign(18 + extra, 0);
    std::memcpy(w->format.data(), pcm, 16);
    w->format[16] = static_cast<uint8_t>(extra);
    w->format[17] = static_cast<uint8_t>(extra >> 8);
    if (extra > 0 && std::fread(w->format.data() + 18, 1, extra, w->file) != extra)
        return Fail(w, "the format's extra bytes are cut short");
    return true;
}

bool WaveReset(WaveFile* w)
{
    if (!w->file) return false;
    uint64_t at;
    uint32_t size;
    if (!FindChunk(w->file, w->riffStart + 4, w->riffEnd, "data", &at, &size)) {
        w->error = "no \"data\" chunk";
        w->dataLeft = 0;
        return false;
    }
    w->dataStart = at;
    w->dataLeft = size;
    w->warning.clear();
    uint8_t length[4];
    if (std::fseek(w->file, static_cast<long>(at - 4), SEEK_SET) == 0 && std::fread(length, 1, 4, w->file) == 4 &&
        U32(length) > size)
        w->warning = "cut short (" + std::to_string(size) + " of " + std::to_string(U32(length)) +
                     " bytes of sound); playing what is there";
    std::fseek(w->file, static_cast<long>(at), SEEK_SET);
    return true;
}

uint32_t WaveRead(WaveFile* w, uint32_t count, void* dest)
{
    if (!w->file) return 0;
    uint32_t n = std::min(count, w->dataLeft);
    size_t got = std::fread(dest, 1, n, w->file);
    w->dataLeft -= static_cast<uint32_t>(got);
    return static_cast<uint32_t>(got);
}

void WaveClose(WaveFile* w)
{
    if (w->file) std::fclose(w->file);
    w->file = nullptr;
    w->format.clear();
    w->dataLeft = 0;
}

uint16_t WaveFormatTag(const WaveFile& w) { return w.format.size() >= 18 ? U16(&w.format[0]) : 0; }
uint16_t WaveChannels(const WaveFile& w) { return w.format.size() >= 18 ? U16(&w.format[2]) : 0; }
uint32_t WaveSamplesPerSec(const WaveFile& w) { return w.format.size() >= 18 ? U32(&w.format[4]) : 0; }
uint16_t WaveBitsPerSample(const WaveFile& w) { return w.format.size() >= 18 ? U16(&w.format[14]) : 0; }
uint16_t WaveExtraBytes(const WaveFile& w) { return w.format.size() >= 18 ? U16(&w.format[16]) : 0; }

uint64_t WaveFrameBytes(const WaveFile& w) { return uint64_t{WaveChannels(w)} * WaveBitsPerSample(w) / 8; }
uint64_t WaveBytesPerSecond(const WaveFile& w) { return WaveFrameBytes(w) * WaveSamplesPerSec(w); }
