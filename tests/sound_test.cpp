// Wave files, sound pools and the listener, on the null sound device, and
// every pool played through OpenAL into a wave file.
#include <gtest/gtest.h>
#include "platform/test_hooks.h"
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

#include "assets/sound.h"
#include "assets/wave.h"
#include "battle/state.h"
#include "headless_device.h"
#include "motion/player.h"

namespace {
class Sound : public HeadlessDevice {
protected:
    void SetUp() override
    {
        HeadlessDevice::SetUp();
        InitSound(true, "");
        ASSERT_EQ(chdir(VARNOK_PACK), 0);
    }
    void TearDown() override
    {
        ReleaseSounds();
        ShutdownSound();
        HeadlessDevice::TearDown();
    }
};

// A wave file made of chunks; `riffSize` 0 means the true size.
std::string Wave(const std::string& fmt, const std::string& data, uint32_t dataSize, bool withData = true,
                 uint32_t riffSize = 0)
{
    auto u32 = [](uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
    std::string body = "WAVEfmt " + u32(static_cast<uint32_t>(fmt.size())) + fmt;
    if (withData) body += "data" + u32(dataSize) + data;
    return "RIFF" + u32(riffSize ? riffSize : static_cast<uint32_t>(body.size())) + body;
}

std::string PcmFormat(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits)
{
    std::string f(16, '\0');
    uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    uint32_t avg = rate * align;
    std::memcpy(&f[0], &tag, 2);
    std::memcpy(&f[2], &channels, 2);
    std::memcpy(&f[4], &rate, 4);
    std::memcpy(&f[8], &avg, 4);
    std::memcpy(&f[12], &align, 2);
    std::memcpy(&f[14], &bits, 2);
    return f;
}

std::string WriteTemp(const std::string& bytes)
{
    char path[] = "/tmp/varnok-wave-XXXXXX";
    int fd = mkstemp(path);
    EXPECT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    close(fd);
    return path;
}
}  // namespace

TEST_F(Sound, TheReaderTakesPcmAndKeepsExtraFormatBytes)
{
    WaveFile w;
    ASSERT_TRUE(WaveOpen(&w, "Sound/TankFire.wav"));
    EXPECT_EQ(WaveFormatTag(w), 1);
    EXPECT_EQ(WaveChannels(w), 1);
    EXPECT_EQ(WaveSamplesPerSec(w), 22050u);
    EXPECT_EQ(WaveBitsPerSample(w), 16);
    EXPECT_EQ(w.format.size(), 18u);
    ASSERT_TRUE(WaveReset(&w));
    uint32_t total = w.dataLeft;
    std::vector<uint8_t> buf(1000);
    EXPECT_EQ(WaveRead(&w, 1000, buf.data()), 1000u);
    EXPECT_EQ(w.dataLeft, total - 1000);
    WaveClose(&w);

    // A compressed format: its extra bytes follow the 18-byte header.
    std::string fmt = PcmFormat(2, 1, 22050, 4) + std::string("\x04\x00", 2) + "ABCD";
    std::string path = WriteTemp(Wave(fmt, std::string(64, 'x'), 64));
    ASSERT_TRUE(WaveOpen(&w, path.c_str())) << w.error;
    EXPECT_EQ(w.format.size(), 22u);
    EXPECT_EQ(WaveExtraBytes(w), 4);
    EXPECT_EQ(std::string(w.format.begin() + 18, w.format.end()), "ABCD");
    WaveClose(&w);
    std::remove(path.c_str());
}

TEST_F(Sound, DamagedFilesFailCleanlyAndNeverReadPastTheirEnd)
{
    WaveFile w;
    std::string path = WriteTemp(Wave(PcmFormat(1, 1, 22050, 16).substr(0, 14), "", 0));
    EXPECT_FALSE(WaveOpen(&w, path.c_str()));
    EXPECT_EQ(w.error, "the \"fmt \" chunk is shorter than 16 bytes");
    std::remove(path.c_str());

    path = WriteTemp(Wave(PcmFormat(1, 1, 22050, 16), "", 0, false));
    ASSERT_TRUE(WaveOpen(&w, path.c_str()));
    EXPECT_FALSE(WaveReset(&w));
    EXPECT_EQ(w.error, "no \"data\" chunk");
    WaveClose(&w);
    std::remove(path.c_str());

    // Sizes that claim far more than the file holds.
    for (uint32_t claimed : {1000u, 0xFFFFFFF0u}) {
        path = WriteTemp(Wave(PcmFormat(1, 1, 22050, 16), std::string(100, '\x10'), claimed, true, 0xFFFFFFF0u));
        ASSERT_TRUE(WaveOpen(&w, path.c_str()));
        ASSERT_TRUE(WaveReset(&w));
        EXPECT_EQ(w.dataLeft, 100u) << claimed;
        std::vector<uint8_t> buf(200);
        EXPECT_EQ(WaveRead(&w, 200, buf.data()), 100u);
        WaveClose(&w);
        snd::Buffer* b = CreateSound3D(path.c_str());
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(snd::LengthMs(b), 100u * 1000 / 44100);
        snd::Release(b);
        std::remove(path.c_str());
    }

    for (const std::string& bad : {std::string("RIFX...."), std::string("RIFF\x04\x00\x00\x00WAVE"), std::string()}) {
        path = WriteTemp(bad);
        testing::internal::CaptureStderr();
        EXPECT_EQ(CreateSound3D(path.c_str()), nullptr);
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(err.rfind(path + ": ", 0), 0u) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
        std::remove(path.c_str());
    }
}

TEST_F(Sound, PoolsPlayTheFirstFreeCopyAndDropWhenAllAreBusy)
{
    LoadSounds();
    EXPECT_EQ(EngineBaseFrequency, 22050u);
    ASSERT_NE(TankGunSounds.copies[47], nullptr);
    EXPECT_EQ(TankGunSounds.copies[48], nullptr);
    for (int i = 0; i < 48; ++i) EXPECT_TRUE(PlayPooled(TankGunSounds, {500, 0, 500}));
    EXPECT_FALSE(PlayPooled(TankGunSounds, {500, 0, 500}));  // the 49th shot is silent
    EXPECT_EQ(TankGunSounds.started, 48u);
    EXPECT_EQ(TankGunSounds.dropped, 1u);
    EXPECT_EQ(TankGunSounds.peak, 48u);
    // Once a shot has played out its copy is free again; the first is taken.
    sys::SetVirtualTime(sys::TimeGetTime() + snd::LengthMs(TankGunSounds.copies[0]) + 1);
    EXPECT_EQ(snd::GetStatus(TankGunSounds.copies[0]), 0u);
    EXPECT_TRUE(PlayPooled(TankGunSounds, {0, 0, 0}));
    EXPECT_NE(snd::GetStatus(TankGunSounds.copies[0]) & snd::STATUS_PLAYING, 0u);
    EXPECT_EQ(snd::GetStatus(TankGunSounds.copies[1]), 0u);
    // A looping engine keeps playing until stopped, higher when faster.
    snd::Buffer* engine = TankEngineSounds.copies[3];
    snd::SetFrequency(engine, EngineBaseFrequency * 2);
    snd::Play(engine, true);
    sys::SetVirtualTime(sys::TimeGetTime() + 60000);
    EXPECT_EQ(snd::GetStatus(engine), snd::STATUS_PLAYING | snd::STATUS_LOOPING);
    EXPECT_EQ(snd::GetFrequency(engine), 44100u);
    snd::Stop(engine);
    EXPECT_EQ(snd::GetStatus(engine), 0u);
    // A second load replaces the pools instead of adding to them.
    LoadSounds();
    EXPECT_EQ(TankGunSounds.copies[48], nullptr);
}

TEST_F(Sound, TheListenerSitsAtTheEyeFacingTheLookAtPoint)
{
    EXPECT_FLOAT_EQ(snd::RolloffFactor(), 0.3f);
    PlaceSoundListener({10, 5, 10}, {10, 5, 20}, {0, 2, 0});
    Vec3 front, top;
    snd::ListenerOrientation(&front, &top);
    EXPECT_FLOAT_EQ(front.z, 1.0f);
    EXPECT_FLOAT_EQ(front.x, 0.0f);
    EXPECT_FLOAT_EQ(top.y, 2.0f);
    EXPECT_FLOAT_EQ(snd::ListenerPosition().x, 10.0f);
}

TEST_F(Sound, TenBattlesHoldOneSetOfPools)
{
    for (int k = 0; k < 10; ++k) {
        BattleInit();
        PlayPooled(MachineGunSounds, {900, 2, 900});
    }
    int live = 0;
    for (snd::Buffer* b : MachineGunSounds.copies) live += b != nullptr;
    EXPECT_EQ(live, 128);
    ReleaseBattleTextures();
    ReleaseBattleEffect();
}

TEST(SoundOut, EveryPoolIsHeardThroughOpenAlInAWaveFile)
{
    ASSERT_TRUE(sys::Init(sys::Backend::Headless, true));
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(VARNOK_PACK), 0);
    const std::string out = "/tmp/varnok-sound-out.wav";
    InitSound(false, out);
    if (snd::CurrentBackend() != snd::Backend::OpenAL) {
        ShutdownSound();
        EXPECT_EQ(chdir(cwd), 0);
        GTEST_SKIP() << "OpenAL did not start";
    }
    LoadSounds();
    PlaceSoundListener({0, 0, 0}, {0, 0, 1}, {0, 1, 0});
    SoundPool* pools[] = {&RobotStepSounds, &RobotGunSounds, &RobotMissileSounds, &TankGunSounds, &MachineGunSounds};
    for (SoundPool* p : pools) {
        EXPECT_TRUE(PlayPooled(*p, {0, 0, 4}));  // four units ahead
        for (int k = 0; k < 80; ++k) {
            sys::LoopPass();
            snd::Pump();
        }
    }
    snd::Play(TankEngineSounds.copies[0], true);
    for (int k = 0; k < 60; ++k) {
        sys::LoopPass();
        snd::Pump();
    }
    ReleaseSounds();
    ShutdownSound();
    EXPECT_EQ(chdir(cwd), 0);
    std::ifstream f(out, std::ios::binary);
    std::string w((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    std::remove(out.c_str());
    ASSERT_GT(w.size(), 44u);
    EXPECT_EQ(w.substr(0, 4), "RIFF");
    uint32_t dataBytes;
    std::memcpy(&dataBytes, &w[40], 4);
    EXPECT_EQ(dataBytes, w.size() - 44);
    // Each sound's stretch of the mix (1.28 s a pool at 44100 stereo) is loud.
    size_t stretch = static_cast<size_t>(80 * 16 * 44.1) * 4;
    for (size_t s = 0; s < 6; ++s) {
        int peak = 0;
        for (size_t i = 44 + s * stretch; i + 1 < w.size() && i < 44 + (s + 1) * stretch; i += 2) {
            int16_t v;
            std::memcpy(&v, &w[i], 2);
            peak = std::max(peak, std::abs(static_cast<int>(v)));
        }
        EXPECT_GT(peak, 1500) << "stretch " << s;
    }
}
