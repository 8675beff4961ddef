// The sound device: positional buffers heard by one listener.  A buffer
// holds PCM audio; a duplicate shares its audio and plays on its own.  Two
// backends: OpenAL Soft, and a null device that keeps each buffer's playing
// status on the game clock so pool logic behaves the same without sound.
//
// Positions are in the game's left-handed world; distance fades as
// min / (min + rolloff x (distance - min)) beyond the minimum distance 1.
#pragma once

#include <cstdint>
#include <string>

#include "math/vecmath.h"

namespace snd {

enum class Backend { OpenAL, Null };

struct WaveFormat {
    uint16_t formatTag;  // 1 PCM
    uint16_t channels;
    uint32_t samplesPerSec;
    uint32_t avgBytesPerSec;
    uint16_t blockAlign;
    uint16_t bitsPerSample;
};

struct Buffer;

// OpenAL when a device opens (a null device otherwise, or when asked for).
// With `waveOut` the mixed output is written to that wave file instead of a
// sound card, at game time (see Pump).  Returns the backend in use.
Backend Init(bool wantNull, const std::string& waveOut);
void Shutdown();
Backend CurrentBackend();
// Mixes the time the clock moved on since the last call into the wave file
// (when writing one).  Called once per loop pass.
void Pump();

Buffer* CreateBuffer(const WaveFormat& format, const void* data, uint32_t bytes);
Buffer* DuplicateBuffer(Buffer* original);
void Release(Buffer*& b);

enum : uint32_t { STATUS_PLAYING = 0x1, STATUS_LOOPING = 0x4 };
uint32_t GetStatus(Buffer* b);
void SetPosition(Buffer* b, Vec3 p);
void SetCurrentPosition(Buffer* b, uint32_t bytes);  // 0 rewinds
void Play(Buffer* b, bool looping);
void Stop(Buffer* b);
uint32_t GetFrequency(Buffer* b);
void SetFrequency(Buffer* b, uint32_t hz);
uint32_t LengthMs(Buffer* b);

void SetListenerPosition(Vec3 p);
// Front and top in the game's world; the listener hears front as ahead.
void SetListenerOrientation(Vec3 front, Vec3 top);
void SetRolloffFactor(float rolloff);
float RolloffFactor();

}  // namespace snd
