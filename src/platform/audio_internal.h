// Inside the sound device: the buffer records and the narrow table each
// backend fills.  audio.cpp is the front every caller meets: it keeps the
// records, the frequencies, the listener and the rolloff, and calls the
// table only for what a device itself does.
#pragma once

#include <string>

#include "platform/audio.h"

namespace snd {

// The audio every copy of one sound shares.
struct Shared {
    int refs = 0;  // buffers on it
    WaveFormat format{};
    uint32_t bytes = 0;
    uint32_t deviceData = 0;  // OpenAL: the buffer name
};

struct Buffer {
    Shared* shared = nullptr;
    uint32_t voice = 0;  // OpenAL: the source name
    uint32_t frequency = 0;
    int32_t volume = kVolumeMax;
    // The null device's own account of playing, on the game clock, and of
    // the gain it was asked to play at.
    float nullGain = 1.0f;
    bool playing = false;
    bool looping = false;
    uint32_t startMs = 0;
};

struct AudioBackend {
    // Opens the device, or with `waveOut` a device that mixes into that wave
    // file.  False when it cannot, with `why` (NoDevice or NoWaveOut) and,
    // for the wave file, `problem` set; the library's own logging of the
    // attempt stays off the terminal.
    bool (*open)(const std::string& waveOut, NullReason* why, std::string* problem);
    // Closes the device; every buffer is gone by then.
    void (*close)();
    // Mixes the game time since the last call into the wave file, if any.
    void (*pump)();
    // Hands `bytes` of the shared format's audio to the device (at least one
    // whole frame); false when the device refuses it.
    bool (*createData)(Shared* s, const void* data, uint32_t bytes);
    void (*destroyData)(Shared* s);
    // A source for one copy, playing the shared audio; false when the device
    // has none left.
    bool (*createVoice)(Buffer* b);
    void (*destroyVoice)(Buffer* b);
    uint32_t (*status)(Buffer* b);  // STATUS_* bits
    void (*setPosition)(Buffer* b, Vec3 p);
    void (*setCurrentPosition)(Buffer* b, uint32_t bytes);
    // Starts (or, when already playing, goes on playing) once or looping.
    void (*play)(Buffer* b, bool looping);
    void (*stop)(Buffer* b);
    // Plays at `ratio` times the audio's own rate (b->frequency is set).
    void (*setPitch)(Buffer* b, float ratio);
    void (*setRolloff)(Buffer* b, float rolloff);
    // Scales the amplitude by `gain` (0 silent, 1 as recorded): one buffer,
    // or every buffer through the listener.
    void (*setGain)(Buffer* b, float gain);
    void (*setListenerGain)(float gain);
    void (*setListener)(Vec3 position, Vec3 front, Vec3 top);
};

extern const AudioBackend kOpenALBackend;
extern const AudioBackend kNullBackend;

}  // namespace snd
