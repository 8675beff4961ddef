#include "services/scene.h"

#include <chrono>
#include <map>

#include "services/device.h"
#include "platform/audio.h"
#include "platform/system.h"

SceneFn SceneProc = nullptr;

namespace {
std::map<SceneFn, const char*>& Names()
{
    static std::map<SceneFn, const char*> names;
    return names;
}

using Clock = std::chrono::steady_clock;

// Steps are 16 ms of game time.  A step that comes due while the last one
// is still being drawn is run without drawing, up to four steps a drawn
// frame; past that the owed time is let go, and the game runs slower.
constexpr uint32_t kStepMs = 16;
constexpr uint32_t kMaxStepsPerDraw = 4;
// Longer than this since a scene's last step (a load, a dragged window) and
// it owes nothing: it goes on from now.
constexpr uint32_t kStallMs = 1000;

uint32_t gSteps = 0;
SceneFn gSteppedScene = nullptr;  // the scene the last step ran in
uint32_t gStepsSinceDraw = 0;     // steps since the last one that drew
bool gDrawThisStep = true;
bool gSkippedThisStep = false;  // the step asked and did not draw
uint32_t gSkippedDraws = 0;
bool gStepOpen = false;
Clock::time_point gStepStart;
TimingStats gStepTimes;

}  // namespace

void NameScene(SceneFn scene, const char* name) { Names()[scene] = name; }

const char* SceneName(SceneFn scene)
{
    auto it = Names().find(scene);
    return it != Names().end() ? it->second : (scene ? "unnamed" : "none");
}

bool SceneTick(uint32_t* lastRun)
{
    uint32_t now = sys::TimeGetTime();
    if (now - *lastRun < kStepMs) return false;
    // A scene just entered owes no steps from its last visit.
    if (SceneProc != gSteppedScene || now - *lastRun > kStallMs) {
        gSteppedScene = SceneProc;
        *lastRun = now - kStepMs;
        gStepsSinceDraw = 0;
    }
    *lastRun += kStepMs;
    const bool owing = now - *lastRun >= kStepMs;
    gDrawThisStep = !owing || gStepsSinceDraw + 1 >= kMaxStepsPerDraw;
    if (gDrawThisStep) {
        gStepsSinceDraw = 0;
        if (owing) *lastRun = now;  // too far behind to catch up: let the rest go
    } else {
        ++gStepsSinceDraw;
    }
    gSkippedThisStep = false;
    ++gSteps;
    gStepOpen = true;
    gStepStart = Clock::now();
    sys::ApplyScriptStep(gSteps);
    return true;
}

int RunMessageLoop(int64_t frameLimit)
{
    sys::Message msg{};
    bool limitPosted = false;
    for (;;) {
        if (sys::PeekMessage(&msg)) {
            if (!sys::GetMessage(&msg)) break;
            sys::DispatchMessage(msg);
            continue;
        }
        // A pass after a step that skipped its drawing took next to no
        // time: a virtual clock stands still for it.
        if (!gSkippedThisStep) sys::LoopPass();
        gSkippedThisStep = false;
        uint32_t before = gSteps;
        gStepOpen = false;
        if (SceneProc) SceneProc();
        if (gStepOpen) {
            std::chrono::duration<float, std::milli> took = Clock::now() - gStepStart;
            gStepTimes.Add(took.count());
            gStepOpen = false;
            sys::StepEnded();
        }
        ScreenshotCheck();
        snd::Pump();
        if (frameLimit > 0 && !limitPosted && gSteps >= frameLimit) {
            sys::PostQuitMessage(0);
            limitPosted = true;
        }
        // Nothing stepped: wait a little rather than spin a core; the gate
        // alone decides when the next step runs.
        if (gSteps == before) sys::Sleep(1);
    }
    return static_cast<int>(msg.wParam);
}

bool SceneDrawsThisStep()
{
    if (!gDrawThisStep && !gSkippedThisStep) {
        gSkippedThisStep = true;
        ++gSkippedDraws;
    }
    return gDrawThisStep;
}

uint32_t SkippedDraws() { return gSkippedDraws; }

uint32_t StepsRun() { return gSteps; }
const TimingStats& StepTimes() { return gStepTimes; }

void ResetSteps()
{
    gSteps = 0;
    gSteppedScene = nullptr;
    gStepsSinceDraw = 0;
    gDrawThisStep = true;
    gSkippedThisStep = false;
    gSkippedDraws = 0;
    gStepOpen = false;
    gStepTimes.Clear();
}
