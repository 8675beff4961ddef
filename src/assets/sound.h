// Positional sound: the six pools of buffers the units play from and the
// listener at the camera.  A pool's copies share one file's audio; playing
// takes the first copy that is not playing, and is silent when none is free.
#pragma once

#include <cstdint>
#include <string>

#include "math/vecmath.h"
#include "platform/audio.h"

struct SoundPool {
    const char* file;      // "Sound/....wav"
    int size;              // copies
    snd::Buffer* copies[128];
    // What the report tells of it.
    uint32_t started, dropped, peak;
};

extern SoundPool RobotStepSounds;    // 32
extern SoundPool RobotGunSounds;     // 32
extern SoundPool RobotMissileSounds; // 32
extern SoundPool TankEngineSounds;   // 16: copy i is tank i's engine
extern SoundPool TankGunSounds;      // 48
extern SoundPool MachineGunSounds;   // 128
extern uint32_t EngineBaseFrequency;

// The sound device (a null one when there is none, or headless without
// `waveOut`), with the listener's rolloff of 0.3.
void InitSound(bool headless, const std::string& waveOut);
void ShutdownSound();
// One 3D buffer holding a whole wave file; null (after one line on stderr)
// when the file cannot be read.
snd::Buffer* CreateSound3D(const char* path);
// Releases the earlier pools, then makes the six pools afresh.
void LoadSounds();
void ReleaseSounds();
// Plays a one-shot from a pool at a position; false when every copy is busy.
bool PlayPooled(SoundPool& pool, Vec3 position);
// The listener at the eye, facing the look-at point.
void PlaceSoundListener(Vec3 eye, Vec3 lookAt, Vec3 up);
void RegisterAudioReport();
