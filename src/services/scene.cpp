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
uint32_t gSteps = 0;
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
    if (now - *lastRun < 16) return false;
    *lastRun = now;
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
        sys::LoopPass();
        uint32_t before = gSteps;
        gStepOpen = false;
        if (SceneProc) SceneProc();
        if (gStepOpen) {
            std::chrono::duration<float, std::milli> took = Clock::now() - gStepStart;
            gStepTimes.Add(took.count());
            gStepOpen = false;
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

uint32_t StepsRun() { return gSteps; }
const TimingStats& StepTimes() { return gStepTimes; }

void ResetSteps()
{
    gSteps = 0;
    gStepOpen = false;
    gStepTimes.Clear();
}
