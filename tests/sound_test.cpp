// Wave files, sound pools and the listener, on the null sound device; every
// pool and a full machine-gun pool played through OpenAL into a wave file;
// and a missing sound device as the player meets it.
#include <gtest/gtest.h>
#include "platform/test_hooks.h"
#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "assets/sound.h"
#include "units/tanks/tank_kinds.h"
#include "assets/wave.h"
#include "records/state.h"
#include "units/robots/robot_kinds.h"
#include "sides/robot_side.h"
#include "sides/tank_side.h"
#include "battle/setup.h"
#include "headless_device.h"
#include "sides/player.h"
#include "run_util.h"

namespace {
// Every pool's counts back to none.
void ResetPoolCounts();

class Sound : public HeadlessDevice {
protected:
    void SetUp() override
    {
        HeadlessDevice::SetUp();
        ResetPoolCounts();  // whatever a test before played
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

// The header's own block align and rate of bytes; only their low bits are
// kept where a hostile header makes them large.
std::string PcmFormat(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits)
{
    std::string f(16, '\0');
    uint16_t align = static_cast<uint16_t>(uint64_t{channels} * bits / 8);
    uint32_t avg = static_cast<uint32_t>(uint64_t{rate} * align);
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
    std::string path = ScratchDir() + "/wave-XXXXXX";
    int fd = mkstemp(path.data());
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

TEST_F(Sound, HeaderProductsNeverOverflowAndFormatsNoDevicePlaysAreRefusedByName)
{
    struct Case {
        uint16_t tag, channels;
        uint32_t rate;
        uint16_t bits;
        const char* refusal;  // null: a buffer is made
    } cases[] = {
        {1, 65535, 22050, 65535, "65535 channels: a sound device plays 1 or 2"},
        {1, 0, 22050, 16, "0 channels: a sound device plays 1 or 2"},
        {1, 3, 22050, 16, "3 channels: a sound device plays 1 or 2"},
        {1, 2, 22050, 65535, "65535 bits a sample: a sound device plays 8 or 16"},
        {1, 1, 22050, 24, "24 bits a sample: a sound device plays 8 or 16"},
        {1, 1, 22050, 0, "0 bits a sample: a sound device plays 8 or 16"},
        {1, 1, 0, 16, "a rate of 0 samples a second: a sound device plays 100 to 200000"},
        {1, 2, 0xFFFFFFFFu, 16, "a rate of 4294967295 samples a second: a sound device plays 100 to 200000"},
        {3, 1, 22050, 32, "format tag 3 is not PCM: a sound device plays PCM only"},
        {1, 1, 22050, 8, nullptr},
        {1, 2, 44100, 16, nullptr},
    };
    for (const Case& c : cases) {
        std::string fmt = PcmFormat(c.tag, c.channels, c.rate, c.bits);
        if (c.tag != 1) fmt += std::string("\0\0", 2);
        std::string path = WriteTemp(Wave(fmt, std::string(4000, '\x20'), 4000));
        // The reader opens any format and works its products out in full.
        WaveFile w;
        ASSERT_TRUE(WaveOpen(&w, path.c_str())) << w.error;
        EXPECT_EQ(WaveFrameBytes(w), uint64_t{c.channels} * c.bits / 8) << c.channels << " x " << c.bits;
        EXPECT_EQ(WaveBytesPerSecond(w), uint64_t{c.channels} * c.bits / 8 * c.rate);
        WaveClose(&w);
        // Where the sound is made, only what a device plays is taken.
        testing::internal::CaptureStderr();
        snd::Buffer* b = CreateSound3D(path.c_str());
        std::string err = testing::internal::GetCapturedStderr();
        if (c.refusal) {
            EXPECT_EQ(b, nullptr) << c.refusal;
            EXPECT_EQ(err, path + ": " + c.refusal + "\n");
        } else {
            ASSERT_NE(b, nullptr) << err;
            EXPECT_EQ(err, "");
            EXPECT_EQ(snd::LengthMs(b), 4000u * 1000 / (c.rate * c.channels * c.bits / 8));
            snd::Release(b);
        }
        std::remove(path.c_str());
    }
}

namespace {
void ResetPoolCounts()
{
    for (SoundPool* p : {&RobotStepSounds, &RobotGunSounds, &RobotMissileSounds, &TankEngineSounds, &TankGunSounds,
                         &MachineGunSounds})
        p->started = p->dropped = p->peak = 0;
}

// Fills the device's sources but `free` with buffers of a short sound.
std::vector<snd::Buffer*> TakeSources(int free)
{
    std::vector<snd::Buffer*> taken;
    snd::WaveFormat f{1, 1, 22050, 0, 0, 16};
    int16_t silence[64] = {};
    while (static_cast<int>(taken.size()) < snd::kMaxBuffers - free) {
        snd::Buffer* b = snd::CreateBuffer(f, silence, sizeof silence);
        if (!b) break;
        taken.push_back(b);
    }
    return taken;
}

// With 32 sources too few, the machine guns get 96 copies: it is said, and
// the missing ones are never taken for free copies.
void ExpectAShortPoolIsSaidAndNeverOverplayed()
{
    ResetPoolCounts();
    // Every source the device has, and not one more.
    std::vector<snd::Buffer*> taken = TakeSources(0);
    EXPECT_EQ(taken.size(), static_cast<size_t>(snd::kMaxBuffers));
    snd::Buffer* extra = snd::CreateBuffer({1, 1, 22050, 0, 0, 16}, "\0\0", 2);
    EXPECT_EQ(extra, nullptr);
    snd::Release(extra);
    for (snd::Buffer*& b : taken) snd::Release(b);
    taken = TakeSources(288 - 32);
    ASSERT_EQ(taken.size(), static_cast<size_t>(snd::kMaxBuffers - 288 + 32));
    testing::internal::CaptureStderr();
    LoadSounds();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Sound/MachineGun.wav: the sound device gave 96 of its 128 copies a source; the rest are silent\n");
    EXPECT_NE(MachineGunSounds.copies[95], nullptr);
    EXPECT_EQ(MachineGunSounds.copies[96], nullptr);
    int played = 0;
    while (played < 200 && PlayPooled(MachineGunSounds, {0, 0, 4})) ++played;
    EXPECT_EQ(played, 96);
    EXPECT_EQ(MachineGunSounds.started, 96u);
    EXPECT_EQ(MachineGunSounds.dropped, 1u);
    EXPECT_EQ(MachineGunSounds.peak, 96u);
    for (int i = 0; i < 96; ++i)
        ASSERT_NE(snd::GetStatus(MachineGunSounds.copies[i]) & snd::STATUS_PLAYING, 0u) << "copy " << i;
    ReleaseSounds();
    for (snd::Buffer*& b : taken) snd::Release(b);
    ResetPoolCounts();
}
}  // namespace

TEST_F(Sound, ACopyWithoutASourceIsSaidAndNeverPlayed)
{
    ExpectAShortPoolIsSaidAndNeverOverplayed();
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

// The master level scales every sound, and each pool's kind (engine and
// walking loops, or the other sounds) its own level: the device is asked to
// play a copy at their product, nothing at either level 0.  Pools made later
// and a device opened again play at the levels in force.
TEST_F(Sound, EachPoolPlaysAtTheMasterLevelTimesItsKindsLevel)
{
    struct {
        SoundPool* pool;
        bool engine;
    } pools[] = {{&TankGunSounds, false},    {&MachineGunSounds, false}, {&RobotGunSounds, false},
                 {&RobotMissileSounds, false}, {&TankEngineSounds, true}, {&RobotStepSounds, true}};
    auto expect = [&](float effects, float engine, const char* when) {
        for (auto p : pools)
            for (snd::Buffer* b : {p.pool->copies[0], p.pool->copies[p.pool->size - 1]})
                EXPECT_NEAR(snd::NullDeviceGain(b), p.engine ? engine : effects, 0.001f) << p.pool->file << " " << when;
    };
    SoundVolume = {5, 10, 2};
    LoadSounds();
    expect(0.5f, 0.1f, "loaded");
    ApplySoundLevels({10, 0, 10});
    expect(0.0f, 1.0f, "effects off");
    ApplySoundLevels({0, 10, 10});
    expect(0.0f, 0.0f, "master off");
    ApplySoundLevels({7, 10, 10});
    expect(0.7f, 0.7f, "master 7");
    ShutdownSound();
    InitSound(true, "");
    LoadSounds();
    expect(0.5f, 0.1f, "a device opened again");
    SoundVolume = kDefaultSoundLevels;
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
    ReleaseAllTankModels();
    ReleaseAllRobotModels();
    ReleaseBattleTextures();
    ReleaseBattleEffect();
}

namespace {
// OpenAL's loopback device mixing into a wave file at game time, 16 ms a
// pass: the device --audio-out uses.  It needs no sound card, so it must start.
class SoundOut : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sys::Init(sys::Backend::Headless, true));
        ASSERT_NE(getcwd(cwd_, sizeof cwd_), nullptr);
        ASSERT_EQ(chdir(VARNOK_PACK), 0);
        ResetPoolCounts();
        ASSERT_TRUE(InitSound(false, out_));
        ASSERT_EQ(snd::CurrentBackend(), snd::Backend::OpenAL) << snd::InitProblem();
        EXPECT_EQ(snd::CurrentNullReason(), snd::NullReason::None);
    }
    void TearDown() override
    {
        ReleaseSounds();
        ShutdownSound();
        EXPECT_EQ(chdir(cwd_), 0);
        std::remove(out_.c_str());
        sys::Shutdown();
    }
    void Passes(int n)
    {
        for (int k = 0; k < n; ++k) {
            sys::LoopPass();
            snd::Pump();
        }
    }
    // The mix written so far, after checking its header: stereo 16-bit frames.
    std::vector<int16_t> Mix()
    {
        ShutdownSound();  // writes the sizes into the header
        std::ifstream f(out_, std::ios::binary);
        std::string w((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
        EXPECT_GT(w.size(), 44u);
        if (w.size() <= 44) return {};
        EXPECT_EQ(w.substr(0, 4), "RIFF");
        uint32_t dataBytes;
        std::memcpy(&dataBytes, &w[40], 4);
        EXPECT_EQ(dataBytes, w.size() - 44);
        std::vector<int16_t> samples((w.size() - 44) / 2);
        std::memcpy(samples.data(), &w[44], samples.size() * 2);
        return samples;
    }
    // The loudest sample of passes [from, to) of the mix (705 frames a pass).
    static int Peak(const std::vector<int16_t>& mix, int from, int to)
    {
        int peak = 0;
        for (size_t i = static_cast<size_t>(from) * 705 * 2; i < static_cast<size_t>(to) * 705 * 2 && i < mix.size(); ++i)
            peak = std::max(peak, std::abs(static_cast<int>(mix[i])));
        return peak;
    }
    // The root mean square of the same stretch.
    static double Rms(const std::vector<int16_t>& mix, int from, int to)
    {
        double sum = 0;
        size_t n = 0;
        for (size_t i = static_cast<size_t>(from) * 705 * 2; i < static_cast<size_t>(to) * 705 * 2 && i < mix.size(); ++i, ++n)
            sum += static_cast<double>(mix[i]) * mix[i];
        return n ? std::sqrt(sum / static_cast<double>(n)) : 0.0;
    }
    const std::string out_ = ScratchPath("sound-out.wav");
    char cwd_[PATH_MAX];
};
}  // namespace

TEST_F(SoundOut, EveryPoolIsHeardThroughOpenAlInAWaveFile)
{
    LoadSounds();
    PlaceSoundListener({0, 0, 0}, {0, 0, 1}, {0, 1, 0});
    SoundPool* pools[] = {&RobotStepSounds, &RobotGunSounds, &RobotMissileSounds, &TankGunSounds, &MachineGunSounds};
    for (SoundPool* p : pools) {
        EXPECT_TRUE(PlayPooled(*p, {0, 0, 4}));  // four units ahead
        Passes(80);
    }
    snd::Play(TankEngineSounds.copies[0], true);
    Passes(60);
    std::vector<int16_t> mix = Mix();
    // Each sound's stretch of the mix (80 passes a pool) is loud.
    for (int s = 0; s < 6; ++s) EXPECT_GT(Peak(mix, s * 80, s * 80 + 80), 1500) << "stretch " << s;
}

TEST_F(SoundOut, AHundredAndTwentyEightMachineGunShotsAllSoundAndTheNextIsDropped)
{
    LoadSounds();
    PlaceSoundListener({0, 0, 0}, {0, 0, 1}, {0, 1, 0});
    // Far enough ahead that 128 shots at once stay below full scale.
    const Vec3 far{0, 0, 400};
    ASSERT_TRUE(PlayPooled(MachineGunSounds, far));  // one shot, for the level of one
    Passes(20);  // 0.32 s; a shot lasts 0.16 s
    EXPECT_EQ(snd::GetStatus(MachineGunSounds.copies[0]), 0u);
    for (int i = 0; i < 128; ++i) ASSERT_TRUE(PlayPooled(MachineGunSounds, far)) << i;
    EXPECT_FALSE(PlayPooled(MachineGunSounds, far));  // the 129th: every copy is playing
    for (int i = 0; i < 128; ++i)
        ASSERT_NE(snd::GetStatus(MachineGunSounds.copies[i]) & snd::STATUS_PLAYING, 0u) << "copy " << i;
    EXPECT_EQ(MachineGunSounds.started, 129u);
    EXPECT_EQ(MachineGunSounds.dropped, 1u);
    EXPECT_EQ(MachineGunSounds.peak, 128u);
    Passes(20);
    std::vector<int16_t> mix = Mix();
    // The 128 start on the same sample at the same place, so the mix is 128
    // times as loud as one shot, short of full scale: every copy is heard
    // (127 would be 127 times as loud).
    double one = Rms(mix, 0, 20), all = Rms(mix, 20, 40);
    ASSERT_GT(one, 10.0);
    EXPECT_LT(Peak(mix, 20, 40), 32767);
    EXPECT_NEAR(all / one, 128.0, 0.5) << one << " " << all;
}

// The levels reach the sound card: the same shot at half the master level,
// then at half the effects level, is heard at half the loudness; effects off
// silence it.
TEST_F(SoundOut, TheMasterAndEffectsLevelsScaleTheShotsHeard)
{
    LoadSounds();
    PlaceSoundListener({0, 0, 0}, {0, 0, 1}, {0, 1, 0});
    const SoundLevels levels[] = {{10, 10, 10}, {5, 10, 10}, {10, 5, 10}, {10, 0, 10}};
    for (const SoundLevels& l : levels) {
        ApplySoundLevels(l);
        EXPECT_TRUE(PlayPooled(TankGunSounds, {0, 0, 4}));
        Passes(80);
    }
    ApplySoundLevels(SoundVolume);
    std::vector<int16_t> mix = Mix();
    const double full = Rms(mix, 0, 80);
    ASSERT_GT(full, 100.0);
    EXPECT_NEAR(Rms(mix, 80, 160) / full, 0.5, 0.02);
    EXPECT_NEAR(Rms(mix, 160, 240) / full, 0.5, 0.02);
    EXPECT_LT(Rms(mix, 240, 320) / full, 0.01);
}

TEST_F(SoundOut, ACopyWithoutASourceIsSaidAndNeverPlayed)
{
    ExpectAShortPoolIsSaidAndNeverOverplayed();
}

// With no sound card the libraries would fill the terminal while the game
// says nothing.  The device is opened in a fresh process (OpenAL reads its
// settings once a process), with ALSA aimed at a device that does not exist.
TEST(NoSoundDevice, TheGameSaysSoOnceInItsOwnWordsAndTheLibrariesStayQuiet)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto openWithoutADevice = [] {
        std::string conf = ScratchPath("alsoft.conf");
        std::ofstream(conf) << "[general]\ndrivers = alsa\n[alsa]\ndevice = varnok-no-such-device\n";
        setenv("ALSOFT_CONF", conf.c_str(), 1);
        unsetenv("ALSOFT_LOGLEVEL");  // OpenAL's own default: errors are logged
        bool ok = sys::Init(sys::Backend::Headless, true) && InitSound(false, "");
        bool silent = snd::CurrentBackend() == snd::Backend::Null &&
                      snd::CurrentNullReason() == snd::NullReason::NoDevice;
        ShutdownSound();
        std::remove(conf.c_str());
        std::fflush(stderr);
        std::_Exit(ok && silent ? 0 : 1);
    };
    EXPECT_EXIT(openWithoutADevice(), testing::ExitedWithCode(0), "^varnok: no sound device: playing without sound\n$");
}
