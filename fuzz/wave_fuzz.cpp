// The sound reader: a wave file opened, its data found and read, and the
// sound made as the game makes it (on the null sound device).  A file is
// played or refused with a reason; nothing is read beyond what it holds.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "assets/sound.h"
#include "assets/wave.h"
#include "platform/audio.h"
#include "harness.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    snd::Init(true, "");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzz::WriteScratch(data, size, "input.wav");
    WaveFile w;
    if (WaveOpen(&w, path.c_str())) {
        WaveFrameBytes(w);
        WaveBytesPerSecond(w);
        WaveExtraBytes(w);
        if (WaveReset(&w)) {
            if (w.dataLeft > size) std::abort();  // more sound than the file holds
            std::vector<uint8_t> buf(4096);
            while (WaveRead(&w, static_cast<uint32_t>(buf.size()), buf.data()) > 0) {
            }
        } else if (w.error.empty() || !fuzz::Plain(w.error)) {
            std::abort();
        }
    } else if (w.error.empty() || !fuzz::Plain(w.error)) {
        std::abort();  // refused without a reason
    }
    WaveClose(&w);
    snd::Buffer* b = CreateSound3D(path.c_str());
    snd::Release(b);
    return 0;
}
