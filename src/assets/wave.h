// The wave-file reader: RIFF/WAVE files read chunk by chunk from the file,
// never trusting a size beyond what the file really holds.  It opens any
// format tag and keeps the format's extra bytes; whether a device can play
// the format is for the sound buffer to decide.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct WaveFile {
    std::vector<uint8_t> format;  // the format record: 18 bytes plus cbSize extra
    std::FILE* file = nullptr;
    uint64_t riffStart = 0;   // offset of the RIFF chunk's data ("WAVE")
    uint64_t riffEnd = 0;     // end of the RIFF chunk, within the file
    uint32_t dataLeft = 0;    // audio bytes still unread
    uint64_t dataStart = 0;
    std::string error;        // why the last open or reset failed
    std::string warning;      // what the last reset found amiss but could play past
};

// Opens the file and reads its format; false (file closed) when it is no
// RIFF/WAVE file or its "fmt " chunk is short or damaged.
bool WaveOpen(WaveFile* w, const char* path);
// Finds the "data" chunk from the start; false when there is none.  A chunk
// that claims more than the file holds (a file cut short) gives what is
// there, and says so in `warning`.
bool WaveReset(WaveFile* w);
// Reads up to count audio bytes; returns how many it read.
uint32_t WaveRead(WaveFile* w, uint32_t count, void* dest);
void WaveClose(WaveFile* w);

// The format record's fields.
uint16_t WaveFormatTag(const WaveFile& w);
uint16_t WaveChannels(const WaveFile& w);
uint32_t WaveSamplesPerSec(const WaveFile& w);
uint16_t WaveBitsPerSample(const WaveFile& w);
uint16_t WaveExtraBytes(const WaveFile& w);
// Products of the header's fields, worked out in 64 bits so that no header
// overflows them: bytes in one frame (channels x bits / 8), and a second.
uint64_t WaveFrameBytes(const WaveFile& w);
uint64_t WaveBytesPerSecond(const WaveFile& w);
