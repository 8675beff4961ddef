#include "assets/sound.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "services/report.h"
#include "assets/wave.h"

SoundPool RobotStepSounds{"Sound/RobotWalk.wav", kRobotStepCopies, kEngineSound, {}, 0, 0, 0};
SoundPool RobotGunSounds{"Sound/RobotFire.wav", kRobotGunCopies, kEffectSound, {}, 0, 0, 0};
SoundPool RobotMissileSounds{"Sound/MFire.wav", kRobotMissileCopies, kEffectSound, {}, 0, 0, 0};
SoundPool TankEngineSounds{"Sound/TankSlowMove.wav", kTankEngineCopies, kEngineSound, {}, 0, 0, 0};
SoundPool TankGunSounds{"Sound/TankFire.wav", kTankGunCopies, kEffectSound, {}, 0, 0, 0};
SoundPool MachineGunSounds{"Sound/MachineGun.wav", kMachineGunCopies, kEffectSound, {}, 0, 0, 0};
uint32_t EngineBaseFrequency = 0;

namespace {
// For the report, written after shutdown.
snd::Backend gBackendUsed = snd::Backend::Null;
snd::NullReason gNullReason = snd::NullReason::Asked;
SoundPool* const kPools[6] = {&RobotStepSounds, &RobotGunSounds,  &RobotMissileSounds,
                              &TankEngineSounds, &TankGunSounds, &MachineGunSounds};

std::string BaseName(const char* file)
{
    std::string s(file);
    size_t slash = s.find_last_of('/'), dot = s.find_last_of('.');
    return s.substr(slash + 1, dot - slash - 1);
}

void WriteAudioReport(JsonWriter& w)
{
    w.BeginObject("audio");
    w.String("backend", gBackendUsed == snd::Backend::OpenAL ? "openal" : "null");
    switch (gNullReason) {
    case snd::NullReason::None: break;
    case snd::NullReason::Asked: w.String("null_reason", "headless"); break;
    case snd::NullReason::NoDevice: w.String("null_reason", "no sound device"); break;
    case snd::NullReason::NoWaveOut: w.String("null_reason", "--audio-out could not start"); break;
    }
    w.BeginObject("pools");
    for (const SoundPool* p : kPools) {
        w.BeginObject(BaseName(p->file).c_str());
        w.Integer("started", p->started);
        w.Integer("dropped", p->dropped);
        w.Integer("peak", p->peak);
        w.EndObject();
    }
    w.EndObject();
    w.EndObject();
}
}  // namespace

bool InitSound(bool headless, const std::string& waveOut)
{
    gBackendUsed = snd::Init(headless, waveOut);
    gNullReason = snd::CurrentNullReason();
    snd::SetRolloffFactor(0.3f);
    ApplySoundLevels(SoundVolume);
    if (gNullReason == snd::NullReason::NoDevice)
        std::fprintf(stderr, "varnok: no sound device: playing without sound\n");
    if (gNullReason == snd::NullReason::NoWaveOut) {
        std::fprintf(stderr, "varnok: --audio-out %s: %s; no sound is written\n", waveOut.c_str(),
                     snd::InitProblem().c_str());
        return false;
    }
    return true;
}

void ShutdownSound()
{
    ReleaseSounds();  // the device takes every buffer with it
    snd::Shutdown();
}

snd::Buffer* CreateSound3D(const char* path)
{
    WaveFile wave;
    if (!WaveOpen(&wave, path) || !WaveReset(&wave)) {
        std::fprintf(stderr, "%s: %s\n", path, wave.error.c_str());
        WaveClose(&wave);
        return nullptr;
    }
    if (!wave.warning.empty()) std::fprintf(stderr, "%s: %s\n", path, wave.warning.c_str());
    snd::WaveFormat format{};
    format.formatTag = WaveFormatTag(wave);
    format.channels = WaveChannels(wave);
    format.samplesPerSec = WaveSamplesPerSec(wave);
    format.bitsPerSample = WaveBitsPerSample(wave);
    std::string why;
    if (!snd::Playable(format, &why)) {
        std::fprintf(stderr, "%s: %s\n", path, why.c_str());
        WaveClose(&wave);
        return nullptr;
    }
    // A playable format's frame is 1 to 4 bytes and its second at most 800000.
    format.blockAlign = static_cast<uint16_t>(WaveFrameBytes(wave));
    format.avgBytesPerSec = static_cast<uint32_t>(WaveBytesPerSecond(wave));
    std::vector<uint8_t> data(wave.dataLeft);  // never more than the file holds
    uint32_t got = WaveRead(&wave, static_cast<uint32_t>(data.size()), data.data());
    WaveClose(&wave);
    if (got < format.blockAlign) {
        std::fprintf(stderr, "%s: no sound in it\n", path);
        return nullptr;
    }
    snd::Buffer* b = snd::CreateBuffer(format, data.data(), got);
    if (!b) std::fprintf(stderr, "%s: the sound device cannot take it\n", path);
    return b;
}

void ReleaseSounds()
{
    for (SoundPool* p : kPools)
        for (snd::Buffer*& b : p->copies) snd::Release(b);
}

void LoadSounds()
{
    ReleaseSounds();
    for (SoundPool* p : kPools) {
        p->copies[0] = CreateSound3D(p->file);
        if (p == &TankEngineSounds) EngineBaseFrequency = snd::GetFrequency(p->copies[0]);
        if (!p->copies[0]) continue;
        int made = 1;
        while (made < p->size && (p->copies[made] = snd::DuplicateBuffer(p->copies[0])) != nullptr) ++made;
        if (made < p->size)
            std::fprintf(stderr, "%s: the sound device gave %d of its %d copies a source; the rest are silent\n",
                         p->file, made, p->size);
    }
    ApplySoundLevels(SoundVolume);
}

int32_t SoundLevelVolume(int32_t level)
{
    if (level <= 0) return snd::kVolumeMin;
    if (level >= kSoundLevelMax) return snd::kVolumeMax;
    // The gain is level / kSoundLevelMax: 2000 x log10 of it in hundredths of a decibel.
    return static_cast<int32_t>(std::lround(2000.0 * std::log10(static_cast<double>(level) / kSoundLevelMax)));
}

void ApplySoundLevels(const SoundLevels& levels)
{
    snd::SetListenerVolume(SoundLevelVolume(levels.master));
    for (SoundPool* p : kPools) {
        const int32_t volume = SoundLevelVolume(p->kind == kEngineSound ? levels.engine : levels.effects);
        for (snd::Buffer* b : p->copies) snd::SetVolume(b, volume);
    }
}

bool PlayPooled(SoundPool& pool, Vec3 position)
{
    int playing = 0;
    snd::Buffer* free = nullptr;
    for (int i = 0; i < pool.size; ++i) {
        snd::Buffer* b = pool.copies[i];
        if (!b) continue;
        if (snd::GetStatus(b) & snd::STATUS_PLAYING) ++playing;
        else if (!free) free = b;
    }
    if (!free) {
        if (pool.copies[0]) ++pool.dropped;
        return false;
    }
    snd::SetPosition(free, position);
    snd::SetCurrentPosition(free, 0);
    snd::Play(free, false);
    ++pool.started;
    if (static_cast<uint32_t>(playing + 1) > pool.peak) pool.peak = static_cast<uint32_t>(playing + 1);
    return true;
}

void PlaceSoundListener(Vec3 eye, Vec3 lookAt, Vec3 up)
{
    snd::SetListenerPosition(eye);
    snd::SetListenerOrientation(Vec3Normalize(lookAt - eye), up);
}

void RegisterAudioReport() { AddReportSection(WriteAudioReport); }
