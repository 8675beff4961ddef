// The null backend of the sound device: nothing is heard, but every buffer
// keeps its playing status on the game clock (a one-shot plays for its
// length, shorter at a higher frequency; a loop plays until stopped), so the
// pools behave as they do on a real device.  It keeps the gains it was
// asked for, so a test hears what a device would.
#include "platform/audio_internal.h"
#include "platform/system.h"

namespace snd {
namespace {
float gNullListenerGain = 1.0f;

bool OpenNull(const std::string&, NullReason*, std::string*) { return true; }
void CloseNull() {}
void PumpNull() {}
bool CreateDataNull(Shared*, const void*, uint32_t) { return true; }
void DestroyDataNull(Shared*) {}
bool CreateVoiceNull(Buffer*) { return true; }
void DestroyVoiceNull(Buffer*) {}

uint32_t StatusNull(Buffer* b)
{
    if (!b->playing) return 0;
    if (!b->looping) {
        uint64_t length = LengthMs(b);
        uint32_t base = b->shared->format.samplesPerSec;
        if (b->frequency > 0 && base > 0) length = length * base / b->frequency;
        if (sys::TimeGetTime() - b->startMs >= length) b->playing = false;
    }
    return b->playing ? STATUS_PLAYING | (b->looping ? uint32_t{STATUS_LOOPING} : 0u) : 0u;
}

void SetPositionNull(Buffer*, Vec3) {}
void SetCurrentPositionNull(Buffer* b, uint32_t) { b->startMs = sys::TimeGetTime(); }

void PlayNull(Buffer* b, bool looping)
{
    b->playing = true;
    b->looping = looping;
    b->startMs = sys::TimeGetTime();
}

void StopNull(Buffer* b) { b->playing = false; }
void SetPitchNull(Buffer*, float) {}
void SetRolloffNull(Buffer*, float) {}
void SetGainNull(Buffer* b, float gain) { b->nullGain = gain; }
void SetListenerGainNull(float gain) { gNullListenerGain = gain; }
void SetListenerNull(Vec3, Vec3, Vec3) {}
}  // namespace

float NullDeviceGain(Buffer* b) { return b ? gNullListenerGain * b->nullGain : 0.0f; }

const AudioBackend kNullBackend = {
    .open = OpenNull,
    .close = CloseNull,
    .pump = PumpNull,
    .createData = CreateDataNull,
    .destroyData = DestroyDataNull,
    .createVoice = CreateVoiceNull,
    .destroyVoice = DestroyVoiceNull,
    .status = StatusNull,
    .setPosition = SetPositionNull,
    .setCurrentPosition = SetCurrentPositionNull,
    .play = PlayNull,
    .stop = StopNull,
    .setPitch = SetPitchNull,
    .setRolloff = SetRolloffNull,
    .setGain = SetGainNull,
    .setListenerGain = SetListenerGainNull,
    .setListener = SetListenerNull,
};

}  // namespace snd
