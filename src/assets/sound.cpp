#include "assets/sound.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/report.h"
#include "assets/wave.h"

SoundPool RobotStepSounds{"Sound/RobotWalk.wav", 32, {}, 0, 0, 0};
SoundPool RobotGunSounds{"Sound/RobotFire.wav", 32, {}, 0, 0, 0};
SoundPool RobotMissileSounds{"Sound/MFire.wav", 32, {}, 0, 0, 0};
SoundPool TankEngineSounds{"Sound/TankSlowMove.wav", 16, {}, 0, 0, 0};
SoundPool TankGunSounds{"Sound/TankFire.wav", 48, {}, 0, 0, 0};
SoundPool MachineGunSounds{"Sound/MachineGun.wav", 128, {}, 0, 0, 0};
uint32_t EngineBaseFrequency = 0;

namespace {
snd::Backend gBackendUsed = snd::Backend::Null;  // for the report, written after shutdown
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

void InitSound(bool headless, const std::string& waveOut)
{
    gBackendUsed = snd::Init(headless, waveOut);
    snd::SetRolloffFactor(0.3f);
}

void ShutdownSound() { snd::Shutdown(); }

snd::Buffer* CreateSound3D(const char* path)
{
    WaveFile wave;
    if (!WaveOpen(&wave, path) || !WaveReset(&wave)) {
        std::fprintf(stderr, "%s: %s\n", path, wave.error.c_str());
        WaveClose(&wave);
        return nullptr;
    }
    snd::WaveFormat format{};
    format.formatTag = WaveFormatTag(wave);
    format.channels = WaveChannels(wave);
    format.samplesPerSec = WaveSamplesPerSec(wave);
    format.bitsPerSample = WaveBitsPerSample(wave);
    format.blockAlign = static_cast<uint16_t>(format.channels * format.bitsPerSample / 8);
    format.avgBytesPerSec = format.samplesPerSec * format.blockAlign;
    std::vector<uint8_t> data(wave.dataLeft);  // never more than the file holds
    uint32_t got = WaveRead(&wave, static_cast<uint32_t>(data.size()), data.data());
    WaveClose(&wave);
    if (format.formatTag != 1 || format.blockAlign == 0 || got == 0) {
        std::fprintf(stderr, "%s: no PCM sound in it\n", path);
        return nullptr;
    }
    return snd::CreateBuffer(format, data.data(), got);
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
        for (int i = 1; i < p->size; ++i) p->copies[i] = snd::DuplicateBuffer(p->copies[0]);
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
