// The sound device on OpenAL Soft, and its null twin.  OpenAL's world is
// right-handed: positions and directions cross over with z negated.
#include "platform/audio.h"
#include "platform/test_hooks.h"

#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/system.h"

namespace snd {

struct Shared {
    int refs = 1;
    WaveFormat format{};
    uint32_t bytes = 0;
    ALuint alBuffer = 0;
};

struct Buffer {
    Shared* shared = nullptr;
    ALuint source = 0;
    // The null device's own account of playing.
    bool playing = false;
    bool looping = false;
    uint32_t startMs = 0;
    uint32_t frequency = 0;
};

namespace {
Backend gBackend = Backend::Null;
ALCdevice* gDevice = nullptr;
ALCcontext* gContext = nullptr;
bool gLoopback = false;
std::FILE* gWave = nullptr;
uint32_t gWaveBytes = 0;
uint32_t gLastPumpMs = 0;
const uint32_t kMixRate = 44100;
float gRolloff = 1.0f;
Vec3 gListenerPos{0, 0, 0}, gListenerFront{0, 0, 1}, gListenerTop{0, 1, 0};
std::vector<Buffer*> gBuffers;  // every live buffer, for the rolloff

bool AL() { return gBackend == Backend::OpenAL; }

void WriteWaveHeader()
{
    auto u32 = [](uint32_t v) { std::fwrite(&v, 4, 1, gWave); };
    auto u16 = [](uint16_t v) { std::fwrite(&v, 2, 1, gWave); };
    std::fseek(gWave, 0, SEEK_SET);
    std::fwrite("RIFF", 1, 4, gWave);
    u32(36 + gWaveBytes);
    std::fwrite("WAVEfmt ", 1, 8, gWave);
    u32(16);
    u16(1);
    u16(2);
    u32(kMixRate);
    u32(kMixRate * 4);
    u16(4);
    u16(16);
    std::fwrite("data", 1, 4, gWave);
    u32(gWaveBytes);
    std::fseek(gWave, 0, SEEK_END);
}

bool OpenOpenAL(const std::string& waveOut)
{
    if (!waveOut.empty()) {
        if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback")) {
            std::fprintf(stderr, "varnok: this OpenAL cannot mix into a file\n");
            return false;
        }
        gWave = std::fopen(waveOut.c_str(), "wb");
        if (!gWave) {
            std::fprintf(stderr, "%s: the sound output cannot be written\n", waveOut.c_str());
            return false;
        }
        gDevice = alcLoopbackOpenDeviceSOFT(nullptr);
        ALCint attrs[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT, ALC_SHORT_SOFT,
                          ALC_FREQUENCY, static_cast<ALCint>(kMixRate), 0};
        gContext = gDevice ? alcCreateContext(gDevice, attrs) : nullptr;
        gLoopback = true;
        gWaveBytes = 0;
        WriteWaveHeader();
    } else {
        gDevice = alcOpenDevice(nullptr);
        gContext = gDevice ? alcCreateContext(gDevice, nullptr) : nullptr;
    }
    if (!gContext) {
        if (gDevice) alcCloseDevice(gDevice);
        gDevice = nullptr;
        if (gWave) std::fclose(gWave), gWave = nullptr;
        return false;
    }
    alcMakeContextCurrent(gContext);
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    gLastPumpMs = sys::TimeGetTime();
    return true;
}

Vec3 ToAL(Vec3 v) { return {v.x, v.y, -v.z}; }

ALenum AlFormat(const WaveFormat& f)
{
    if (f.formatTag != 1) return 0;
    if (f.channels == 1) return f.bitsPerSample == 8 ? AL_FORMAT_MONO8 : f.bitsPerSample == 16 ? AL_FORMAT_MONO16 : 0;
    if (f.channels == 2) return f.bitsPerSample == 8 ? AL_FORMAT_STEREO8 : f.bitsPerSample == 16 ? AL_FORMAT_STEREO16 : 0;
    return 0;
}

Buffer* NewBuffer(Shared* shared)
{
    auto* b = new Buffer;
    b->shared = shared;
    b->frequency = shared->format.samplesPerSec;
    if (AL()) {
        alGenSources(1, &b->source);
        if (shared->alBuffer) alSourcei(b->source, AL_BUFFER, static_cast<ALint>(shared->alBuffer));
        alSourcef(b->source, AL_REFERENCE_DISTANCE, 1.0f);
        alSourcef(b->source, AL_ROLLOFF_FACTOR, gRolloff);
    }
    gBuffers.push_back(b);
    return b;
}
}  // namespace

Backend Init(bool wantNull, const std::string& waveOut)
{
    gBackend = Backend::Null;
    if (!wantNull || !waveOut.empty()) {
        if (OpenOpenAL(waveOut)) gBackend = Backend::OpenAL;
        else if (!waveOut.empty()) std::fprintf(stderr, "varnok: no sound is written: OpenAL did not start\n");
    }
    gRolloff = 1.0f;
    return gBackend;
}

void Shutdown()
{
    for (Buffer* b : std::vector<Buffer*>(gBuffers)) {
        Buffer* copy = b;
        Release(copy);
    }
    if (gContext) {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(gContext);
    }
    if (gDevice) alcCloseDevice(gDevice);
    gContext = nullptr;
    gDevice = nullptr;
    if (gWave) {
        WriteWaveHeader();
        std::fclose(gWave);
        gWave = nullptr;
    }
    gLoopback = false;
    gBackend = Backend::Null;
}

Backend CurrentBackend() { return gBackend; }

void Pump()
{
    if (!gLoopback || !gWave) return;
    uint32_t now = sys::TimeGetTime();
    uint32_t elapsed = now - gLastPumpMs;
    if (elapsed > 1000) elapsed = 1000;  // a long pause is not worth a second of silence
    gLastPumpMs = now;
    uint32_t frames = elapsed * kMixRate / 1000;
    if (frames == 0) return;
    static std::vector<int16_t> mix;  // grows once, then is reused
    if (mix.size() < frames * 2) mix.resize(frames * 2);
    alcRenderSamplesSOFT(gDevice, mix.data(), static_cast<ALCsizei>(frames));
    std::fwrite(mix.data(), 2, frames * 2, gWave);
    gWaveBytes += frames * 4;
}

Buffer* CreateBuffer(const WaveFormat& format, const void* data, uint32_t bytes)
{
    auto* shared = new Shared;
    shared->format = format;
    shared->bytes = bytes;
    if (AL() && bytes > 0 && data) {
        ALenum alFormat = AlFormat(format);
        if (alFormat) {
            alGenBuffers(1, &shared->alBuffer);
            alBufferData(shared->alBuffer, alFormat, data, static_cast<ALsizei>(bytes - bytes % format.blockAlign),
                         static_cast<ALsizei>(format.samplesPerSec));
        }
    }
    return NewBuffer(shared);
}

Buffer* DuplicateBuffer(Buffer* original)
{
    if (!original) return nullptr;
    ++original->shared->refs;
    return NewBuffer(original->shared);
}

void Release(Buffer*& b)
{
    if (!b) return;
    for (size_t i = 0; i < gBuffers.size(); ++i)
        if (gBuffers[i] == b) {
            gBuffers.erase(gBuffers.begin() + static_cast<long>(i));
            break;
        }
    if (b->source) {
        alSourceStop(b->source);
        alDeleteSources(1, &b->source);
    }
    if (--b->shared->refs == 0) {
        if (b->shared->alBuffer) alDeleteBuffers(1, &b->shared->alBuffer);
        delete b->shared;
    }
    delete b;
    b = nullptr;
}

uint32_t LengthMs(Buffer* b)
{
    if (!b || b->shared->format.avgBytesPerSec == 0) return 0;
    return static_cast<uint32_t>(static_cast<uint64_t>(b->shared->bytes) * 1000 / b->shared->format.avgBytesPerSec);
}

uint32_t GetStatus(Buffer* b)
{
    if (!b) return 0;
    if (AL()) {
        ALint state = 0, looping = 0;
        alGetSourcei(b->source, AL_SOURCE_STATE, &state);
        alGetSourcei(b->source, AL_LOOPING, &looping);
        if (state != AL_PLAYING) return 0;
        return STATUS_PLAYING | (looping ? uint32_t{STATUS_LOOPING} : 0u);
    }
    if (!b->playing) return 0;
    if (!b->looping) {
        // A one-shot plays for its length, shorter at a higher frequency.
        uint64_t length = LengthMs(b);
        uint32_t base = b->shared->format.samplesPerSec;
        if (b->frequency > 0 && base > 0) length = length * base / b->frequency;
        if (sys::TimeGetTime() - b->startMs >= length) b->playing = false;
    }
    return b->playing ? STATUS_PLAYING | (b->looping ? uint32_t{STATUS_LOOPING} : 0u) : 0u;
}

void SetPosition(Buffer* b, Vec3 p)
{
    if (!b || !AL()) return;
    Vec3 q = ToAL(p);
    alSource3f(b->source, AL_POSITION, q.x, q.y, q.z);
}

void SetCurrentPosition(Buffer* b, uint32_t bytes)
{
    if (!b) return;
    if (AL()) alSourcei(b->source, AL_BYTE_OFFSET, static_cast<ALint>(bytes));
    b->startMs = sys::TimeGetTime();
}

void Play(Buffer* b, bool looping)
{
    if (!b) return;
    b->playing = true;
    b->looping = looping;
    b->startMs = sys::TimeGetTime();
    if (AL()) {
        alSourcei(b->source, AL_LOOPING, looping ? AL_TRUE : AL_FALSE);
        ALint state = 0;
        alGetSourcei(b->source, AL_SOURCE_STATE, &state);
        if (state != AL_PLAYING) alSourcePlay(b->source);
    }
}

void Stop(Buffer* b)
{
    if (!b) return;
    b->playing = false;
    if (AL()) alSourceStop(b->source);
}

uint32_t GetFrequency(Buffer* b) { return b ? b->frequency : 0; }

void SetFrequency(Buffer* b, uint32_t hz)
{
    if (!b) return;
    // The device's range, as the original's was.
    if (hz < 100) hz = 100;
    if (hz > 200000) hz = 200000;
    b->frequency = hz;
    uint32_t base = b->shared->format.samplesPerSec;
    if (AL() && base > 0) alSourcef(b->source, AL_PITCH, static_cast<float>(hz) / static_cast<float>(base));
}

void SetListenerPosition(Vec3 p)
{
    gListenerPos = p;
    if (!AL()) return;
    Vec3 q = ToAL(p);
    alListener3f(AL_POSITION, q.x, q.y, q.z);
}

void SetListenerOrientation(Vec3 front, Vec3 top)
{
    gListenerFront = front;
    gListenerTop = top;
    if (!AL()) return;
    Vec3 f = ToAL(front), t = ToAL(top);
    float o[6] = {f.x, f.y, f.z, t.x, t.y, t.z};
    alListenerfv(AL_ORIENTATION, o);
}

void SetRolloffFactor(float rolloff)
{
    gRolloff = rolloff;
    if (!AL()) return;
    for (Buffer* b : gBuffers) alSourcef(b->source, AL_ROLLOFF_FACTOR, rolloff);
}

float RolloffFactor() { return gRolloff; }
Vec3 ListenerPosition() { return gListenerPos; }

void ListenerOrientation(Vec3* front, Vec3* top)
{
    *front = gListenerFront;
    *top = gListenerTop;
}

}  // namespace snd
