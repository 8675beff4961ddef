// The OpenAL Soft backend of the sound device: one source per buffer copy,
// one OpenAL buffer per shared audio, the listener, and for --audio-out a
// loopback device whose mix is written to a wave file at game time.
// OpenAL's world is right-handed: positions and directions cross over with
// z negated.
#include <dlfcn.h>

#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/audio_internal.h"
#include "platform/system.h"

namespace snd {
namespace {
ALCdevice* gDevice = nullptr;
ALCcontext* gContext = nullptr;
std::FILE* gWave = nullptr;
uint32_t gWaveBytes = 0;
uint32_t gLastPumpMs = 0;
const uint32_t kMixRate = 44100;

Vec3 ToAL(Vec3 v) { return {v.x, v.y, -v.z}; }

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

// With no sound card, opening a device makes the libraries talk: OpenAL Soft
// logs at the level in ALSOFT_LOGLEVEL (errors, unless set), and ALSA prints
// its errors through libasound's error handler on stderr.  The game says
// what a missing device means in one line of its own, so while the device
// opens OpenAL logs nothing (unless the user asked for a level) and ALSA's
// handler, reached in the libasound that OpenAL Soft itself loads, says
// nothing; the handler goes back to ALSA's default afterwards.
using AlsaErrorHandler = void (*)(const char* file, int line, const char* function, int err, const char* fmt, ...);
using AlsaSetHandler = int (*)(AlsaErrorHandler);

void AlsaKeepsQuiet(const char*, int, const char*, int, const char*, ...) {}

struct QuietLibraries {
    void* alsa = nullptr;
    AlsaSetHandler setHandler = nullptr;
};

QuietLibraries QuietenLibraries()
{
    setenv("ALSOFT_LOGLEVEL", "0", 0);  // read once, at OpenAL's first call
    QuietLibraries q;
    q.alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (q.alsa) q.setHandler = reinterpret_cast<AlsaSetHandler>(dlsym(q.alsa, "snd_lib_error_set_handler"));
    if (q.setHandler) q.setHandler(AlsaKeepsQuiet);
    return q;
}

void RestoreLibraries(const QuietLibraries& q)
{
    if (q.setHandler) q.setHandler(nullptr);  // ALSA's own handler again
    if (q.alsa) dlclose(q.alsa);
}

void CloseDevice()
{
    if (gContext) {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(gContext);
    }
    if (gDevice) alcCloseDevice(gDevice);
    gContext = nullptr;
    gDevice = nullptr;
}

bool OpenDevice(const std::string& waveOut, NullReason* why, std::string* problem)
{
    // Every copy of every pool needs its own source; OpenAL Soft grants 256
    // unless asked for more.  Sounds may be mono or stereo.
    const ALCint sources[] = {ALC_MONO_SOURCES, kMaxBuffers, ALC_STEREO_SOURCES, kMaxBuffers};
    if (waveOut.empty()) {
        *why = NullReason::NoDevice;
        gDevice = alcOpenDevice(nullptr);
        const ALCint attrs[] = {sources[0], sources[1], sources[2], sources[3], 0};
        gContext = gDevice ? alcCreateContext(gDevice, attrs) : nullptr;
        return gContext != nullptr;
    }
    *why = NullReason::NoWaveOut;
    if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback")) {
        *problem = "this OpenAL cannot mix into a file";
        return false;
    }
    gWave = std::fopen(waveOut.c_str(), "wb");
    if (!gWave) {
        *problem = std::string("cannot be written: ") + std::strerror(errno);
        return false;
    }
    gDevice = alcLoopbackOpenDeviceSOFT(nullptr);
    const ALCint attrs[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT, ALC_SHORT_SOFT,
                            ALC_FREQUENCY, static_cast<ALCint>(kMixRate), sources[0], sources[1], sources[2],
                            sources[3], 0};
    gContext = gDevice ? alcCreateContext(gDevice, attrs) : nullptr;
    if (!gContext) {
        std::fclose(gWave);
        gWave = nullptr;
        std::remove(waveOut.c_str());
        *problem = "OpenAL cannot mix 16-bit stereo at 44100 Hz into a file";
        return false;
    }
    gWaveBytes = 0;
    WriteWaveHeader();
    return true;
}

bool OpenQuietlyAL(const std::string& waveOut, NullReason* why, std::string* problem)
{
    QuietLibraries quiet = QuietenLibraries();
    bool ok = OpenDevice(waveOut, why, problem);
    RestoreLibraries(quiet);
    if (!ok) {
        CloseDevice();
        return false;
    }
    alcMakeContextCurrent(gContext);
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    gLastPumpMs = sys::TimeGetTime();
    return true;
}

void CloseAL()
{
    CloseDevice();
    if (gWave) {
        WriteWaveHeader();
        std::fclose(gWave);
        gWave = nullptr;
    }
}

void PumpAL()
{
    if (!gWave) return;
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

ALenum AlFormat(const WaveFormat& f)
{
    if (f.channels == 1) return f.bitsPerSample == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16;
    return f.bitsPerSample == 8 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16;
}

bool CreateDataAL(Shared* s, const void* data, uint32_t bytes)
{
    alGetError();
    ALuint name = 0;
    alGenBuffers(1, &name);
    if (alGetError() != AL_NO_ERROR) return false;
    alBufferData(name, AlFormat(s->format), data, static_cast<ALsizei>(bytes),
                 static_cast<ALsizei>(s->format.samplesPerSec));
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &name);
        return false;
    }
    s->deviceData = name;
    return true;
}

void DestroyDataAL(Shared* s)
{
    if (s->deviceData) alDeleteBuffers(1, &s->deviceData);
    s->deviceData = 0;
}

bool CreateVoiceAL(Buffer* b)
{
    alGetError();
    ALuint source = 0;
    alGenSources(1, &source);
    if (alGetError() != AL_NO_ERROR) return false;  // every source the device grants is taken
    if (b->shared->deviceData) alSourcei(source, AL_BUFFER, static_cast<ALint>(b->shared->deviceData));
    alSourcef(source, AL_REFERENCE_DISTANCE, 1.0f);
    if (alGetError() != AL_NO_ERROR) {
        alDeleteSources(1, &source);
        return false;
    }
    b->voice = source;
    return true;
}

void DestroyVoiceAL(Buffer* b)
{
    alSourceStop(b->voice);
    alDeleteSources(1, &b->voice);
    b->voice = 0;
}

uint32_t StatusAL(Buffer* b)
{
    ALint state = 0, looping = 0;
    alGetSourcei(b->voice, AL_SOURCE_STATE, &state);
    alGetSourcei(b->voice, AL_LOOPING, &looping);
    if (state != AL_PLAYING) return 0;
    return STATUS_PLAYING | (looping ? uint32_t{STATUS_LOOPING} : 0u);
}

void SetPositionAL(Buffer* b, Vec3 p)
{
    Vec3 q = ToAL(p);
    alSource3f(b->voice, AL_POSITION, q.x, q.y, q.z);
}

void SetCurrentPositionAL(Buffer* b, uint32_t bytes) { alSourcei(b->voice, AL_BYTE_OFFSET, static_cast<ALint>(bytes)); }

void PlayAL(Buffer* b, bool looping)
{
    alSourcei(b->voice, AL_LOOPING, looping ? AL_TRUE : AL_FALSE);
    ALint state = 0;
    alGetSourcei(b->voice, AL_SOURCE_STATE, &state);
    if (state != AL_PLAYING) alSourcePlay(b->voice);
}

void StopAL(Buffer* b) { alSourceStop(b->voice); }
void SetPitchAL(Buffer* b, float ratio) { alSourcef(b->voice, AL_PITCH, ratio); }
void SetRolloffAL(Buffer* b, float rolloff) { alSourcef(b->voice, AL_ROLLOFF_FACTOR, rolloff); }
void SetGainAL(Buffer* b, float gain) { alSourcef(b->voice, AL_GAIN, gain); }
void SetListenerGainAL(float gain) { alListenerf(AL_GAIN, gain); }

void SetListenerAL(Vec3 position, Vec3 front, Vec3 top)
{
    Vec3 p = ToAL(position), f = ToAL(front), t = ToAL(top);
    alListener3f(AL_POSITION, p.x, p.y, p.z);
    float o[6] = {f.x, f.y, f.z, t.x, t.y, t.z};
    alListenerfv(AL_ORIENTATION, o);
}
}  // namespace

const AudioBackend kOpenALBackend = {
    .open = OpenQuietlyAL,
    .close = CloseAL,
    .pump = PumpAL,
    .createData = CreateDataAL,
    .destroyData = DestroyDataAL,
    .createVoice = CreateVoiceAL,
    .destroyVoice = DestroyVoiceAL,
    .status = StatusAL,
    .setPosition = SetPositionAL,
    .setCurrentPosition = SetCurrentPositionAL,
    .play = PlayAL,
    .stop = StopAL,
    .setPitch = SetPitchAL,
    .setRolloff = SetRolloffAL,
    .setGain = SetGainAL,
    .setListenerGain = SetListenerGainAL,
    .setListener = SetListenerAL,
};

}  // namespace snd
