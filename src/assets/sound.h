// Positional sound: the six pools of buffers the units play from and the
// listener at the camera.  A pool's copies share one file's audio; playing
// takes the first copy that is not playing, and is silent when none is free.
// A copy the device gave no source stays empty and is never played.
#pragma once

#include <cstdint>
#include <string>

#include "math/vecmath.h"
#include "services/state.h"
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

// Which level of SoundVolume (services/state.h) a pool plays at, under the
// master level.
enum SoundKind : int32_t { kEffectSound, kEngineSound };

struct SoundPool {
    const char* file;      // "Sound/....wav"
    int size;              // copies
    SoundKind kind;
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
// `waveOut`), with the listener's rolloff of 0.3 and the master level of
// SoundVolume.  Without a sound device it
// says so once and the game plays on silently.  False only when `waveOut`
// was asked for and cannot be written (after a line naming it).
bool InitSound(bool headless, const std::string& waveOut);
void ShutdownSound();  // releases the pools first
// One 3D buffer holding a whole wave file; null (after one line on stderr
// naming the file) when the file cannot be read or no sound device plays
// its format.
snd::Buffer* CreateSound3D(const char* path);
// Releases the earlier pools, then makes the six pools afresh at the levels
// of SoundVolume; a pool that gets fewer copies than it holds says so.
void LoadSounds();
void ReleaseSounds();
// The device's volume for a sound level: 0 silent, kSoundLevelMax as
// recorded, the gain in between proportional to the level.
int32_t SoundLevelVolume(int32_t level);
// Sets the levels on the device: the master on the listener, the engine or
// effects level on every copy of each pool.  LoadSounds and InitSound apply
// SoundVolume; the options screen applies its choices while they change.
void ApplySoundLevels(const SoundLevels& levels);
// Plays a one-shot from a pool at a position; false when every copy is busy.
bool PlayPooled(SoundPool& pool, Vec3 position);
// The listener at the eye, facing the look-at point.
void PlaceSoundListener(Vec3 eye, Vec3 lookAt, Vec3 up);
void RegisterAudioReport();
