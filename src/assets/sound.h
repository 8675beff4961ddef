// Positional sound: the six pools of buffers the units play from and the
// listener at the camera.  A pool's copies share one file's audio; playing
// takes the first copy that is not playing, and is silent when none is free.
// A copy the device gave no source stays empty and is never played.
#pragma once

#include <cstdint>
#include <string>

#include "math/vecmath.h"
#include "platform/audio.h"

// Copies in each pool: as many of its sounds as may overlap.
constexpr int kRobotStepCopies = 32;
constexpr int kRobotGunCopies = 32;
constexpr int kRobotMissileCopies = 32;
constexpr int kTankEngineCopies = 16;  // one per tank slot
constexpr int kTankGunCopies = 48;
constexpr int kMachineGunCopies = 128;
constexpr int kMostCopies = kMachineGunCopies;
static_assert(kRobotStepCopies + kRobotGunCopies + kRobotMissileCopies + kTankEngineCopies + kTankGunCopies +
                      kMachineGunCopies <=
                  snd::kMaxBuffers,
              "the sound device must have a source for every copy of every pool");

struct SoundPool {
    const char* file;      // "Sound/....wav"
    int size;              // copies
    snd::Buffer* copies[kMostCopies];  // null where the device gave none
    // What the report tells of it.
    uint32_t started, dropped, peak;
};

extern SoundPool RobotStepSounds;
extern SoundPool RobotGunSounds;
extern SoundPool RobotMissileSounds;
extern SoundPool TankEngineSounds;  // copy i is tank i's engine
extern SoundPool TankGunSounds;
extern SoundPool MachineGunSounds;
extern uint32_t EngineBaseFrequency;

// The sound device (a null one when there is none, or headless without
// `waveOut`), with the listener's rolloff of 0.3.  Without a sound device it
// says so once and the game plays on silently.  False only when `waveOut`
// was asked for and cannot be written (after a line naming it).
bool InitSound(bool headless, const std::string& waveOut);
void ShutdownSound();  // releases the pools first
// One 3D buffer holding a whole wave file; null (after one line on stderr
// naming the file) when the file cannot be read or no sound device plays
// its format.
snd::Buffer* CreateSound3D(const char* path);
// Releases the earlier pools, then makes the six pools afresh; a pool that
// gets fewer copies than it holds says so.
void LoadSounds();
void ReleaseSounds();
// Plays a one-shot from a pool at a position; false when every copy is busy.
bool PlayPooled(SoundPool& pool, Vec3 position);
// The listener at the eye, facing the look-at point.
void PlaceSoundListener(Vec3 eye, Vec3 lookAt, Vec3 up);
void RegisterAudioReport();
