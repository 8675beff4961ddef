// The sound device: positional buffers heard by one listener.  A buffer
// holds PCM audio; a duplicate shares its audio and plays on its own.  Two
// backends behind one table: OpenAL Soft (audio_openal.cpp), and a null
// device (audio_null.cpp) that keeps each buffer's playing status on the
// game clock so pool logic behaves the same without sound.
//
// Positions are in the game's left-handed world; distance fades as
// min / (min + rolloff x (distance - min)) beyond the minimum distance 1.
// Volumes are attenuations in hundredths of a decibel, as a sound card's
// buffers take them: kVolumeMax (0) plays the sound as recorded,
// kVolumeMin (-10000) silences it.  A buffer's volume and the listener's
// (the master volume, over every buffer) multiply.
#pragma once

#include <cstdint>
#include <string>

#include "math/vecmath.h"

namespace snd {

enum class Backend { OpenAL, Null };

// Why the device of the last Init is the null one.
enum class NullReason {
    None,       // it is not: OpenAL is up
    Asked,      // Init was asked for no device (and no wave file)
    NoDevice,   // no sound device opened
    NoWaveOut,  // the mix into a wave file could not start (InitProblem says why)
};

struct WaveFormat {
    uint16_t formatTag;  // 1 PCM
    uint16_t channels;
    uint32_t samplesPerSec;
    uint32_t avgBytesPerSec;
    uint16_t blockAlign;
    uint16_t bitsPerSample;
};

// Buffers alive at once, duplicates included: the device is asked for this
// many sources, and creating one more gives null on both backends.
constexpr int kMaxBuffers = 320;
// The volumes SetVolume and SetListenerVolume take (they clamp to them).
constexpr int32_t kVolumeMin = -10000, kVolumeMax = 0;
// The frequencies a buffer plays at; SetFrequency clamps to them.
constexpr uint32_t kMinFrequency = 100, kMaxFrequency = 200000;

struct Buffer;

// OpenAL when a device opens (a null device otherwise, or when asked for).
// With `waveOut` the mixed output is written to that wave file instead of a
// sound card, at game time (see Pump).  Returns the backend in use.  The
// libraries' own logging of a device that fails to open is kept off the
// terminal; the caller says what it means for the game.
Backend Init(bool wantNull, const std::string& waveOut);
void Shutdown();
Backend CurrentBackend();
NullReason CurrentNullReason();
// What kept the wave-file output from starting, in a few words; empty when
// nothing did.
const std::string& InitProblem();
// Mixes the time the clock moved on since the last call into the wave file
// (when writing one).  Called once per loop pass.
void Pump();

// True when a sound device can play the format: PCM, 1 or 2 channels, 8 or
// 16 bits, kMinFrequency to kMaxFrequency samples a second.  Otherwise
// false, with `why` (when given) saying what is wrong ("3 channels: ...").
[[nodiscard]] bool Playable(const WaveFormat& format, std::string* why);
// A buffer holding a copy of `bytes` of audio; null when the format is not
// Playable, the device refuses the audio, or no source is left for it.
// blockAlign and avgBytesPerSec are worked out from the other fields.
[[nodiscard]] Buffer* CreateBuffer(const WaveFormat& format, const void* data, uint32_t bytes);
// A second buffer on the same audio; null when no source is left for it.
[[nodiscard]] Buffer* DuplicateBuffer(Buffer* original);
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
// A new buffer, a duplicate too, plays at kVolumeMax.
void SetVolume(Buffer* b, int32_t hundredthsDb);
int32_t GetVolume(Buffer* b);  // kVolumeMax for no buffer
// The factor a volume scales the sound's amplitude by: 10^(v / 2000), and 0
// at kVolumeMin.
float VolumeGain(int32_t hundredthsDb);

void SetListenerPosition(Vec3 p);
// Front and top in the game's world; the listener hears front as ahead.
void SetListenerOrientation(Vec3 front, Vec3 top);
void SetRolloffFactor(float rolloff);
float RolloffFactor();
// The master volume: Init sets kVolumeMax.
void SetListenerVolume(int32_t hundredthsDb);
int32_t ListenerVolume();

}  // namespace snd
