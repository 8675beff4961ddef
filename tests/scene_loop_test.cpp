// The scene loop on the headless backend: the 16 ms gate, scripted input
// arriving just before its step, and every way out of the loop.
#include <gtest/gtest.h>
#include "platform/test_hooks.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/entry.h"
#include "services/scene.h"
#include "platform/input_script.h"
#include "platform/pad.h"
#include "platform/system.h"
#include "platform/system_backend.h"

namespace {
struct Seen {
    uint32_t step;
    bool keyA;
    sys::Point cursor;
};
std::vector<Seen> gSeen;
int gQuitAtStep = 0;

void RecordingScene()
{
    static uint32_t last = 0;
    if (!SceneTick(&last)) return;
    sys::Point p;
    sys::GetCursorPos(&p);
    gSeen.push_back({StepsRun(), (sys::GetAsyncKeyState('A') & 0x8000) != 0, p});
    if (gQuitAtStep && StepsRun() == static_cast<uint32_t>(gQuitAtStep)) sys::PostQuitMessage(7);
}

void SecondScene()
{
    static uint32_t last = 0;
    if (!SceneTick(&last)) return;
    gSeen.push_back({StepsRun() + 1000, false, {0, 0}});
}

void SwitchingScene()
{
    static uint32_t last = 0;
    if (!SceneTick(&last)) return;
    if (StepsRun() == 3) SceneProc = SecondScene;
}

class SceneLoop : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sys::Init(sys::Backend::Headless, true));
        ASSERT_TRUE(sys::CreateMainWindow({"VARNOK", "test", 800, 600, false}, MainWindowProc));
        ResetSteps();
        gSeen.clear();
        gQuitAtStep = 0;
        SceneProc = RecordingScene;
    }
    void TearDown() override
    {
        sys::SetInputScript(nullptr);
        sys::Shutdown();
    }
    int RunWithScript(const char* text, int64_t frameLimit = 100)
    {
        std::string err;
        EXPECT_TRUE(ParseInputScript(text, "t", &script_, &err)) << err;
        sys::SetInputScript(&script_);
        return RunMessageLoop(frameLimit);
    }
    InputScript script_;
};
}  // namespace

TEST(SceneTick, GatesOnSixteenMillisecondsAcrossTheWrap)
{
    ASSERT_TRUE(sys::Init(sys::Backend::Headless, true));
    ResetSteps();
    uint32_t last = 1000;
    sys::SetVirtualTime(1015);
    EXPECT_FALSE(SceneTick(&last));
    EXPECT_EQ(last, 1000u);
    sys::SetVirtualTime(1016);
    EXPECT_TRUE(SceneTick(&last));
    EXPECT_EQ(last, 1016u);
    EXPECT_FALSE(SceneTick(&last));  // a second call in the same millisecond draws nothing
    last = 0xFFFFFFF8u;              // the clock wraps after 49.7 days
    sys::SetVirtualTime(7);
    EXPECT_FALSE(SceneTick(&last));
    sys::SetVirtualTime(8);
    EXPECT_TRUE(SceneTick(&last));
    EXPECT_EQ(StepsRun(), 2u);
    sys::Shutdown();
}

// Behind its schedule a scene runs the steps it owes without drawing, four
// steps a drawn frame at most; further behind, the rest is let go.  A scene
// just entered owes nothing from its last visit.
TEST(SceneTick, OwedStepsRunUndrawnAtMostFourAFrameAndTheRestIsLetGo)
{
    ASSERT_TRUE(sys::Init(sys::Backend::Headless, true));
    ResetSteps();
    SceneProc = RecordingScene;
    uint32_t last = 0;
    std::vector<bool> draws;
    auto stepsAt = [&](uint32_t now) {
        sys::SetVirtualTime(now);
        draws.clear();
        while (SceneTick(&last)) draws.push_back(SceneDrawsThisStep());
    };
    stepsAt(16);
    EXPECT_EQ(draws, std::vector<bool>({true}));
    stepsAt(82);  // the frame took 66 ms: three steps owed besides this one
    EXPECT_EQ(draws, std::vector<bool>({false, false, false, true}));
    EXPECT_EQ(last, 80u);
    stepsAt(282);  // 200 ms: four steps, then the rest is let go
    EXPECT_EQ(draws, std::vector<bool>({false, false, false, true}));
    stepsAt(297);
    EXPECT_TRUE(draws.empty());
    stepsAt(298);
    EXPECT_EQ(draws, std::vector<bool>({true}));
    EXPECT_EQ(SkippedDraws(), 6u);
    SceneProc = SecondScene;  // its last step was long ago, but less than a second
    last = 0;
    stepsAt(900);
    EXPECT_EQ(draws, std::vector<bool>({true}));
    EXPECT_EQ(last, 900u);
    SceneProc = RecordingScene;
    sys::Shutdown();
}

// The keyboard and mouse as recorded play back the same to the game: keys
// held and let go, a tap that came and went between two steps (seen once),
// the cursor where each step found it, with the game's own moves of it
// left to the game, and the keys let go when the window loses the focus.
TEST(Recording, DeviceInputRecordedPlaysBackTheSameToEveryStep)
{
    struct Poll {
        bool a, b;
        sys::Point cursor;
        bool operator==(const Poll& o) const
        {
            return a == o.a && b == o.b && cursor.x == o.cursor.x && cursor.y == o.cursor.y;
        }
    };
    auto run = [](bool live, const InputScript* script) {
        EXPECT_TRUE(sys::Init(sys::Backend::Headless, true));
        EXPECT_TRUE(sys::CreateMainWindow({"VARNOK", "test", 800, 600, false}, MainWindowProc));
        sys::SetInputScript(script);
        ResetSteps();
        std::vector<Poll> polls;
        uint32_t last = 0;
        for (int k = 1; k <= 12; ++k) {
            if (live) {
                if (k == 3) sys::detail::SetDeviceKey('A', true);
                if (k == 5) {
                    sys::detail::SetDeviceKey('B', true);  // a tap between two steps
                    sys::detail::SetDeviceKey('B', false);
                    sys::detail::SetDeviceKey('A', false);
                }
                if (k == 6) sys::detail::CursorMovedTo(120, 340);
                if (k == 9) sys::detail::CursorMovedBy(15, -40);
                if (k == 10) sys::detail::SetDeviceKey('A', true);
                if (k == 11) sys::detail::ClearDeviceKeys();  // the window lost the focus
            }
            sys::Message m;
            while (sys::PeekMessage(&m) && sys::GetMessage(&m)) sys::DispatchMessage(m);
            sys::LoopPass();
            if (SceneTick(&last)) {
                Poll p{(sys::GetAsyncKeyState('A') & 0x8000) != 0, (sys::GetAsyncKeyState('B') & 0x8000) != 0, {}};
                sys::GetCursorPos(&p.cursor);
                polls.push_back(p);
                if (k == 7) sys::SetCursorPos(400, 300);  // the game centres it
                sys::StepEnded();
            }
        }
        return polls;
    };
    sys::StartRecording();
    std::vector<Poll> live = run(true, nullptr);
    std::string text;
    for (const std::string& line : sys::RecordedEvents()) text += line + "\n";
    sys::Shutdown();
    EXPECT_NE(text.find("5 press 0x42\n5 release 0x42\n5 release 0x41\n"), std::string::npos) << text;
    InputScript script;
    std::string err;
    ASSERT_TRUE(ParseInputScript(text, "recorded", &script, &err)) << err << "\n" << text;
    std::vector<Poll> replayed = run(false, &script);
    sys::SetInputScript(nullptr);
    sys::Shutdown();
    ASSERT_EQ(live.size(), 12u);
    EXPECT_TRUE(live[4].b);  // the tap was seen
    EXPECT_FALSE(live[5].b);
    EXPECT_TRUE(live[9].a);
    EXPECT_FALSE(live[10].a);
    EXPECT_TRUE(live == replayed);
    for (size_t i = 0; i < live.size() && i < replayed.size(); ++i)
        EXPECT_TRUE(live[i] == replayed[i]) << "step " << i + 1;
}

// Pads plugged in and pulled out as the window backend reports them: the
// first is player 0 (slot 0), the next slot 1; one pulled out reads as not
// connected with nothing held, and a pad plugged in later takes the lowest
// free slot.  Slot 0's events, recorded (a stick's hundreds of moves a step
// as its last value), play back the same to every step.
TEST(Recording, PadsPluggedInAndOutPlayBackTheSameToEveryStep)
{
    struct Poll {
        uint32_t result;
        sys::Gamepad pad;
        bool secondConnected;
        bool operator==(const Poll& o) const
        {
            return result == o.result && pad.buttons == o.pad.buttons && pad.leftTrigger == o.pad.leftTrigger &&
                   pad.rightTrigger == o.pad.rightTrigger && pad.thumbLX == o.pad.thumbLX &&
                   pad.thumbLY == o.pad.thumbLY && pad.thumbRX == o.pad.thumbRX && pad.thumbRY == o.pad.thumbRY;
        }
    };
    const int leftX = static_cast<int>(PadAxis::LeftX), trigger = static_cast<int>(PadAxis::RightTrigger);
    auto run = [&](bool live, const InputScript* script) {
        EXPECT_TRUE(sys::Init(sys::Backend::Headless, true));
        EXPECT_TRUE(sys::CreateMainWindow({"VARNOK", "test", 800, 600, false}, MainWindowProc));
        sys::SetInputScript(script);
        ResetSteps();
        std::vector<Poll> polls;
        uint32_t last = 0;
        for (int k = 1; k <= 12; ++k) {
            if (live) {
                using namespace sys::detail;
                if (k == 2) {
                    EXPECT_EQ(PlugInPad(), 0);  // the first pad is player 0
                }
                if (k == 3) {
                    EXPECT_EQ(PlugInPad(), 1);
                    SetPadButton(1, sys::PAD_X, true);  // not the game's pad: not recorded
                    SetPadButton(0, sys::PAD_A, true);
                    for (int v = 0; v <= 30000; v += 100) SetPadAxis(0, leftX, v);
                    SetPadAxis(0, trigger, 200);
                }
                if (k == 5) {
                    SetPadButton(0, sys::PAD_B, true);  // a tap between two steps
                    SetPadButton(0, sys::PAD_B, false);
                }
                if (k == 7) SetPadConnected(0, false);  // pulled out, A and the stick held
                if (k == 8) SetPadButton(0, sys::PAD_Y, true);  // nothing there to press
                if (k == 9) {
                    EXPECT_EQ(PlugInPad(), 0);  // the lowest free slot
                    SetPadButton(0, sys::PAD_START, true);
                    SetPadAxis(0, leftX, -5000);
                }
                if (k == 11) ReleasePadInputs();  // the window lost the focus
            }
            sys::Message m;
            while (sys::PeekMessage(&m) && sys::GetMessage(&m)) sys::DispatchMessage(m);
            sys::LoopPass();
            if (SceneTick(&last)) {
                Poll p{};
                sys::PadState st{};
                p.result = sys::XInputGetState(0, &st);
                p.pad = st.gamepad;
                sys::PadState second{};
                p.secondConnected = sys::XInputGetState(1, &second) == sys::ERROR_SUCCESS;
                polls.push_back(p);
                sys::StepEnded();
            }
        }
        return polls;
    };
    sys::StartRecording();
    std::vector<Poll> live = run(true, nullptr);
    std::string text;
    for (const std::string& line : sys::RecordedEvents()) text += line + "\n";
    sys::Shutdown();
    EXPECT_NE(text.find("3 paddown A\n3 padaxis LEFTX 30000\n3 padaxis RIGHTTRIGGER 200\n"), std::string::npos)
        << text;
    EXPECT_EQ(text.find("paddown X"), std::string::npos) << text;
    EXPECT_EQ(text.find("paddown Y"), std::string::npos) << text;
    InputScript script;
    std::string err;
    ASSERT_TRUE(ParseInputScript(text, "recorded", &script, &err)) << err << "\n" << text;
    std::vector<Poll> replayed = run(false, &script);
    sys::SetInputScript(nullptr);
    sys::Shutdown();
    ASSERT_EQ(live.size(), 12u);
    EXPECT_EQ(live[0].result, sys::ERROR_DEVICE_NOT_CONNECTED);
    EXPECT_EQ(live[1].result, sys::ERROR_SUCCESS);
    EXPECT_EQ(live[2].pad.buttons, sys::PAD_A);
    EXPECT_EQ(live[2].pad.thumbLX, 30000);
    EXPECT_EQ(live[2].pad.rightTrigger, 200);
    EXPECT_TRUE(live[2].secondConnected);
    EXPECT_EQ(live[4].pad.buttons, sys::PAD_A | sys::PAD_B);  // the tap was seen once
    EXPECT_EQ(live[5].pad.buttons, sys::PAD_A);
    // Pulled out: not connected, nothing held; the second pad stays.
    EXPECT_EQ(live[6].result, sys::ERROR_DEVICE_NOT_CONNECTED);
    EXPECT_EQ(live[6].pad.buttons, 0);
    EXPECT_EQ(live[6].pad.thumbLX, 0);
    EXPECT_EQ(live[7].result, sys::ERROR_DEVICE_NOT_CONNECTED);
    EXPECT_TRUE(live[7].secondConnected);
    // Plugged in again: only what is held on it now.
    EXPECT_EQ(live[8].result, sys::ERROR_SUCCESS);
    EXPECT_EQ(live[8].pad.buttons, sys::PAD_START);
    EXPECT_EQ(live[8].pad.thumbLX, -5000);
    EXPECT_EQ(live[8].pad.rightTrigger, 0);
    EXPECT_EQ(live[10].result, sys::ERROR_SUCCESS);
    EXPECT_EQ(live[10].pad.buttons, 0);
    EXPECT_EQ(live[10].pad.thumbLX, 0);
    // The replay has no second pad, but player 0's pad is the same.
    ASSERT_EQ(replayed.size(), live.size());
    for (size_t i = 0; i < live.size(); ++i) EXPECT_TRUE(live[i] == replayed[i]) << "step " << i + 1;
}

TEST_F(SceneLoop, FrameLimitEndsTheLoopCleanly)
{
    EXPECT_EQ(RunMessageLoop(5), 0);
    ASSERT_EQ(gSeen.size(), 5u);
    EXPECT_EQ(gSeen.back().step, 5u);
    EXPECT_EQ(StepTimes().count, 5u);
}

TEST_F(SceneLoop, F1QuitsAtItsStepAndOtherKeysOnlyReachPolling)
{
    EXPECT_EQ(RunWithScript("3 keydown A\n5 keyup A\n8 keydown F1\n"), 0);
    ASSERT_EQ(gSeen.size(), 8u);  // the step F1 arrives in still runs
    // An event applies just before the scene call of its step.
    EXPECT_FALSE(gSeen[1].keyA);
    EXPECT_TRUE(gSeen[2].keyA);
    EXPECT_TRUE(gSeen[3].keyA);
    EXPECT_FALSE(gSeen[4].keyA);
}

TEST_F(SceneLoop, ClosingTheWindowQuitsWithZero)
{
    EXPECT_EQ(RunWithScript("4 quit\n"), 0);
    EXPECT_EQ(gSeen.size(), 4u);
    EXPECT_FALSE(sys::MainWindowExists());
}

TEST_F(SceneLoop, AScenePostingQuitGivesItsExitCode)
{
    gQuitAtStep = 6;
    EXPECT_EQ(RunMessageLoop(100), 7);
    EXPECT_EQ(gSeen.size(), 6u);
}

TEST_F(SceneLoop, ScenesHandOverThroughSceneProc)
{
    SceneProc = SwitchingScene;
    EXPECT_EQ(RunMessageLoop(6), 0);
    // Steps 4, 5 and 6 ran in the second scene.
    ASSERT_EQ(gSeen.size(), 3u);
    EXPECT_EQ(gSeen[0].step, 1004u);
    EXPECT_EQ(SceneProc, SecondScene);
}

TEST_F(SceneLoop, CursorMovesStayInsideTheClientArea)
{
    RunWithScript("2 move 100 200\n3 move 5000 -40\n", 3);
    ASSERT_EQ(gSeen.size(), 3u);
    EXPECT_EQ(gSeen[1].cursor.x, 100);
    EXPECT_EQ(gSeen[1].cursor.y, 200);
    EXPECT_EQ(gSeen[2].cursor.x, 799);
    EXPECT_EQ(gSeen[2].cursor.y, 0);
}

TEST(SystemLayer, CursorShowCounterAndMessageBoxes)
{
    ASSERT_TRUE(sys::Init(sys::Backend::Headless, true));
    EXPECT_EQ(sys::ShowCursor(false), -1);
    EXPECT_EQ(sys::ShowCursor(false), -2);
    EXPECT_EQ(sys::ShowCursor(true), -1);
    EXPECT_EQ(sys::ShowCursor(true), 0);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(sys::MessageBox("Direct3D の作成に失敗しました。", "ERROR", sys::MB_ICONERROR), 1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "ERROR: Direct3D の作成に失敗しました。\n");
    // Keys outside the table read as up rather than out of bounds.
    EXPECT_EQ(sys::GetAsyncKeyState(-1), 0);
    EXPECT_EQ(sys::GetAsyncKeyState(100000), 0);
    sys::Shutdown();
}

TEST(StepTimings, PercentilesMatchTheSortedSamplesWithinOnePercent)
{
    // Step times spread over four decades, as a run with loading hitches has.
    uint32_t seed = 12345;
    auto next = [&] {
        seed = seed * 214013u + 2531011u;
        return static_cast<double>((seed >> 8) & 0xFFFF) / 65536.0;
    };
    TimingStats t;
    std::vector<float> all;
    for (int i = 0; i < 20000; ++i) {
        float ms = static_cast<float>(0.01 * std::pow(10.0, 4.0 * next()));
        t.Add(ms);
        all.push_back(ms);
    }
    std::sort(all.begin(), all.end());
    for (double p : {0.0, 0.01, 0.5, 0.9, 0.99, 0.999, 1.0}) {
        double exact = all[static_cast<size_t>(p * (all.size() - 1) + 0.5)];
        EXPECT_NEAR(t.Percentile(p), exact, exact * 0.01) << p;
    }
    double sum = 0;
    for (float v : all) sum += v;
    EXPECT_NEAR(t.Mean(), sum / all.size(), 1e-9 * sum);
    EXPECT_EQ(t.max, all.back());

    // No samples, zero, negative and NaN times neither crash nor skew it.
    TimingStats e;
    EXPECT_EQ(e.Percentile(0.99), 0.0);
    EXPECT_EQ(e.Mean(), 0.0);
    for (float v : {0.0f, -1.0f, std::nanf("")}) e.Add(v);
    EXPECT_EQ(e.count, 3u);
    EXPECT_EQ(e.Percentile(1.0), 0.0);
    EXPECT_EQ(e.Mean(), 0.0);
}
