// The sound device's front: buffer records shared by both backends, the
// frequency and length of each buffer, the listener and the rolloff.  What
// only a device does goes through the backend table (audio_internal.h).
#include "platform/audio.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/audio_internal.h"
#include "platform/test_hooks.h"

namespace snd {

namespace {
const AudioBackend* gDevice = &kNullBackend;
NullReason gNullReason = NullReason::Asked;
std::string gProblem;
float gRolloff = 1.0f;
int32_t gListenerVolume = kVolumeMax;
Vec3 gListenerPos{0, 0, 0}, gListenerFront{0, 0, 1}, gListenerTop{0, 1, 0};
std::vector<Buffer*> gBuffers;  // every live buffer, for the rolloff and the source count

// A new copy on `shared`, with its own source; null when there is none.
Buffer* NewBuffer(Shared* shared)
{
    if (gBuffers.size() >= static_cast<size_t>(kMaxBuffers)) return nullptr;
    auto* b = new Buffer;
    b->shared = shared;
    b->frequency = shared->format.samplesPerSec;
    if (!gDevice->createVoice(b)) {
        delete b;
        return nullptr;
    }
    gDevice->setRolloff(b, gRolloff);
    ++shared->refs;
    gBuffers.reserve(kMaxBuffers);  // once: later calls find the room there
    gBuffers.push_back(b);
    return b;
}

void DropShared(Shared* shared)
{
    if (shared->refs > 0) return;
    gDevice->destroyData(shared);
    delete shared;
}
}  // namespace

Backend Init(bool wantNull, const std::string& waveOut)
{
    gDevice = &kNullBackend;
    gNullReason = NullReason::Asked;
    gProblem.clear();
    if (!wantNull || !waveOut.empty()) {
        NullReason why = waveOut.empty() ? NullReason::NoDevice : NullReason::NoWaveOut;
        if (kOpenALBackend.open(waveOut, &why, &gProblem)) {
            gDevice = &kOpenALBackend;
            gNullReason = NullReason::None;
        } else {
            gNullReason = why;
        }
    }
    gRolloff = 1.0f;
    gDevice->setListener(gListenerPos, gListenerFront, gListenerTop);
    SetListenerVolume(kVolumeMax);
    return CurrentBackend();
}

void Shutdown()
{
    while (!gBuffers.empty()) {
        Buffer* b = gBuffers.back();
        Release(b);
    }
    gDevice->close();
    gDevice = &kNullBackend;
}

Backend CurrentBackend() { return gDevice == &kOpenALBackend ? Backend::OpenAL : Backend::Null; }
NullReason CurrentNullReason() { return gNullReason; }
const std::string& InitProblem() { return gProblem; }
void Pump() { gDevice->pump(); }

bool Playable(const WaveFormat& f, std::string* why)
{
    std::string problem;
    if (f.formatTag != 1)
        problem = "format tag " + std::to_string(f.formatTag) + " is not PCM: a sound device plays PCM only";
    else if (f.channels != 1 && f.channels != 2)
        problem = std::to_string(f.channels) + " channels: a sound device plays 1 or 2";
    else if (f.bitsPerSample != 8 && f.bitsPerSample != 16)
        problem = std::to_string(f.bitsPerSample) + " bits a sample: a sound device plays 8 or 16";
    else if (f.samplesPerSec < kMinFrequency || f.samplesPerSec > kMaxFrequency)
        problem = "a rate of " + std::to_string(f.samplesPerSec) + " samples a second: a sound device plays " +
                  std::to_string(kMinFrequency) + " to " + std::to_string(kMaxFrequency);
    if (why) *why = problem;
    return problem.empty();
}

Buffer* CreateBuffer(const WaveFormat& format, const void* data, uint32_t bytes)
{
    if (!Playable(format, nullptr)) return nullptr;
    auto* shared = new Shared;
    shared->format = format;
    // Both fit: at most 2 channels of 16 bits at kMaxFrequency.
    shared->format.blockAlign = static_cast<uint16_t>(format.channels * format.bitsPerSample / 8);
    shared->format.avgBytesPerSec = format.samplesPerSec * shared->format.blockAlign;
    shared->bytes = data ? bytes - bytes % shared->format.blockAlign : 0;
    if (shared->bytes > 0 && !gDevice->createData(shared, data, shared->bytes)) {
        delete shared;
        return nullptr;
    }
    Buffer* b = NewBuffer(shared);
    if (!b) DropShared(shared);
    return b;
}

Buffer* DuplicateBuffer(Buffer* original) { return original ? NewBuffer(original->shared) : nullptr; }

void Release(Buffer*& b)
{
    if (!b) return;
    auto at = std::find(gBuffers.begin(), gBuffers.end(), b);
    if (at != gBuffers.end()) gBuffers.erase(at);
    gDevice->destroyVoice(b);
    --b->shared->refs;
    DropShared(b->shared);
    delete b;
    b = nullptr;
}

uint32_t LengthMs(Buffer* b)
{
    if (!b || b->shared->format.avgBytesPerSec == 0) return 0;
    return static_cast<uint32_t>(static_cast<uint64_t>(b->shared->bytes) * 1000 / b->shared->format.avgBytesPerSec);
}

uint32_t GetStatus(Buffer* b) { return b ? gDevice->status(b) : 0; }

void SetPosition(Buffer* b, Vec3 p)
{
    if (b) gDevice->setPosition(b, p);
}

void SetCurrentPosition(Buffer* b, uint32_t bytes)
{
    if (b) gDevice->setCurrentPosition(b, bytes);
}

void Play(Buffer* b, bool looping)
{
    if (b) gDevice->play(b, looping);
}

void Stop(Buffer* b)
{
    if (b) gDevice->stop(b);
}

uint32_t GetFrequency(Buffer* b) { return b ? b->frequency : 0; }

void SetFrequency(Buffer* b, uint32_t hz)
{
    if (!b) return;
    b->frequency = std::clamp(hz, kMinFrequency, kMaxFrequency);
    uint32_t base = b->shared->format.samplesPerSec;
    if (base > 0) gDevice->setPitch(b, static_cast<float>(b->frequency) / static_cast<float>(base));
}

float VolumeGain(int32_t hundredthsDb)
{
    if (hundredthsDb <= kVolumeMin) return 0.0f;
    return std::pow(10.0f, static_cast<float>(std::min(hundredthsDb, kVolumeMax)) / 2000.0f);
}

void SetVolume(Buffer* b, int32_t hundredthsDb)
{
    if (!b) return;
    b->volume = std::clamp(hundredthsDb, kVolumeMin, kVolumeMax);
    gDevice->setGain(b, VolumeGain(b->volume));
}

int32_t GetVolume(Buffer* b) { return b ? b->volume : kVolumeMax; }

void SetListenerVolume(int32_t hundredthsDb)
{
    gListenerVolume = std::clamp(hundredthsDb, kVolumeMin, kVolumeMax);
    gDevice->setListenerGain(VolumeGain(gListenerVolume));
}

int32_t ListenerVolume() { return gListenerVolume; }

void SetListenerPosition(Vec3 p)
{
    gListenerPos = p;
    gDevice->setListener(gListenerPos, gListenerFront, gListenerTop);
}

void SetListenerOrientation(Vec3 front, Vec3 top)
{
    gListenerFront = front;
    gListenerTop = top;
    gDevice->setListener(gListenerPos, gListenerFront, gListenerTop);
}

void SetRolloffFactor(float rolloff)
{
    gRolloff = rolloff;
    for (Buffer* b : gBuffers) gDevice->setRolloff(b, rolloff);
}

float RolloffFactor() { return gRolloff; }
Vec3 ListenerPosition() { return gListenerPos; }

void ListenerOrientation(Vec3* front, Vec3* top)
{
    *front = gListenerFront;
    *top = gListenerTop;
}

}  // namespace snd
