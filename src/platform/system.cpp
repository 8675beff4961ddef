// The backend-independent half of the system layer: message queue, key
// tables, cursor, clock and scripted input.
#include <algorithm>
#include <chrono>
#include "platform/test_hooks.h"
#include <cstdio>
#include <deque>
#include <string>
#include <thread>
#include <vector>

#include "platform/input_script.h"
#include "platform/system_backend.h"

namespace sys {
using namespace detail;

namespace {
const SystemBackend* gBackend = nullptr;
Backend gBackendKind = Backend::Headless;
bool gUnattended = false;

std::deque<Message> gQueue;
bool gQuitPosted = false;
int gQuitCode = 0;

WindowProc gProc = nullptr;
bool gWindowExists = false;
int gClientW = 0, gClientH = 0;

bool gDeviceKeys[kKeyCount];
// A press released before anything polled it stays down until polled once,
// so a quick tap between two polls is never lost.
bool gUnseenPress[kKeyCount];
bool gReleaseLater[kKeyCount];
bool gScriptKeys[kKeyCount];
Point gCursor{0, 0};
int gShowCount = 0;

bool gVirtualClock = false;
uint32_t gVirtualTime = 0;
uint32_t gVirtualDrawCost = 0;  // virtual ms each presented frame takes
const std::chrono::steady_clock::time_point gClockStart = std::chrono::steady_clock::now();

const InputScript* gScript = nullptr;
size_t gScriptNext = 0;

// The recorder: events waiting for the step they reach the game in, the
// lines already given a step, and where the cursor stood when the last
// step ended.
bool gRecording = false;
std::vector<std::string> gRecordPending;
std::vector<std::string> gRecorded;
uint32_t gRecordStep = 0;
Point gCursorAtStepEnd{-1, -1};

void Record(const std::string& what)
{
    if (gRecording) gRecordPending.push_back(what);
}
std::string KeyWord(int vk)
{
    char code[8];
    std::snprintf(code, sizeof code, "0x%02X", vk & 0xFF);
    return code;
}
// A mouse button goes to the key table alone; a key also posts its message.
bool IsMouseButton(int vk) { return vk == VK_LBUTTON || vk == VK_RBUTTON || vk == 0x04 || vk == 0x05 || vk == 0x06; }

void ClampCursor()
{
    if (gClientW > 0 && gCursor.x >= gClientW) gCursor.x = gClientW - 1;
    if (gClientH > 0 && gCursor.y >= gClientH) gCursor.y = gClientH - 1;
    if (gCursor.x < 0) gCursor.x = 0;
    if (gCursor.y < 0) gCursor.y = 0;
}
// Releases held back for presses that have now been polled.
void ApplyLateReleases()
{
    for (int vk = 0; vk < kKeyCount; ++vk)
        if (gReleaseLater[vk] && !gUnseenPress[vk]) gDeviceKeys[vk] = gReleaseLater[vk] = false;
    ApplyPadLateReleases();
}
}  // namespace

namespace detail {
bool Recording() { return gRecording; }
void RecordEvent(const std::string& line) { Record(line); }

void RecordAxisEvent(const std::string& axisWord, const std::string& line)
{
    if (!gRecording) return;
    // The axis's last value this step replaces the one before it, unless the
    // pad came or went in between.
    const std::string prefix = axisWord + " ";
    for (auto it = gRecordPending.rbegin(); it != gRecordPending.rend(); ++it) {
        if (*it == "padconnect" || *it == "paddisconnect") break;
        if (it->rfind(prefix, 0) == 0) {
            *it = line;
            return;
        }
    }
    gRecordPending.push_back(line);
}

void PostMessage(uint32_t id, uint32_t wParam)
{
    if (id == MSG_CLOSE) Record("quit");
    gQueue.push_back({id, wParam});
}

void SetDeviceKey(int vk, bool down)
{
    if (vk <= 0 || vk >= kKeyCount) return;
    Record((down ? "press " : "release ") + KeyWord(vk));
    if (down) {
        gDeviceKeys[vk] = gUnseenPress[vk] = true;
        gReleaseLater[vk] = false;
    } else if (gUnseenPress[vk]) {
        gReleaseLater[vk] = true;
    } else {
        gDeviceKeys[vk] = false;
    }
}

void ClearDeviceKeys()
{
    // A recording lets go of what was held, as the window losing focus does.
    for (int vk = 1; vk < kKeyCount; ++vk)
        if (gDeviceKeys[vk]) Record("release " + KeyWord(vk));
    for (int vk = 0; vk < kKeyCount; ++vk) gDeviceKeys[vk] = gUnseenPress[vk] = gReleaseLater[vk] = false;
}

void CursorMovedTo(int x, int y)
{
    gCursor = {x, y};
    ClampCursor();
}

void CursorMovedBy(int dx, int dy)
{
    gCursor.x += dx;
    gCursor.y += dy;
    ClampCursor();
}

bool CursorHidden() { return gShowCount < 0; }

void PrintMessageBox(const char* text, const char* caption)
{
    std::fprintf(stderr, "%s: %s\n", (caption && *caption) ? caption : "VARNOK", text ? text : "");
}
}  // namespace detail

bool Init(Backend backend, bool virtualClock)
{
    gBackendKind = backend;
    gBackend = backend == Backend::Window ? &kWindowBackend : &kHeadlessBackend;
    gVirtualClock = virtualClock || backend == Backend::Headless;
    gVirtualTime = 0;
    gVirtualDrawCost = 0;
    gQueue.clear();
    gQuitPosted = false;
    gQuitCode = 0;
    gShowCount = 0;
    gCursor = {0, 0};
    ClearDeviceKeys();
    ResetPads();
    for (bool& k : gScriptKeys) k = false;
    gScript = nullptr;
    gScriptNext = 0;
    return gBackend->init();
}

void Shutdown()
{
    if (gBackend) gBackend->shutdown();
    gWindowExists = false;
    gProc = nullptr;
    gRecording = false;  // what was recorded stays to be read
}

Backend CurrentBackend() { return gBackendKind; }
void SetUnattended(bool unattended) { gUnattended = unattended; }

bool CreateMainWindow(const WindowDesc& desc, WindowProc proc)
{
    if (!gBackend || !gBackend->createWindow(desc)) return false;
    gProc = proc;
    gWindowExists = true;
    gClientW = desc.width;
    gClientH = desc.height;
    gCursor = {desc.width / 2, desc.height / 2};
    return true;
}

bool SetClientSize(int width, int height, bool fullScreen)
{
    if (!gWindowExists) return false;
    if (!gBackend->setClientSize(width, height, fullScreen)) return false;
    gClientW = width;
    gClientH = height;
    ClampCursor();
    return true;
}

int ClientWidth() { return gClientW; }
int ClientHeight() { return gClientH; }
bool MainWindowExists() { return gWindowExists; }
void* NativeWindow() { return gBackend ? gBackend->nativeWindow() : nullptr; }

// The quit message waits behind every other message, so whatever was posted
// before it is still handled.
bool PeekMessage(Message* msg)
{
    ApplyLateReleases();
    if (gBackend) gBackend->pumpEvents();
    if (!gQueue.empty()) {
        *msg = gQueue.front();
        return true;
    }
    if (gQuitPosted) {
        *msg = {MSG_QUIT, static_cast<uint32_t>(gQuitCode)};
        return true;
    }
    return false;
}

bool GetMessage(Message* msg)
{
    for (;;) {
        ApplyLateReleases();
        if (gBackend) gBackend->pumpEvents();
        if (!gQueue.empty()) {
            *msg = gQueue.front();
            gQueue.pop_front();
            return true;
        }
        if (gQuitPosted) {
            gQuitPosted = false;
            *msg = {MSG_QUIT, static_cast<uint32_t>(gQuitCode)};
            return false;
        }
        Sleep(1);
    }
}

void DispatchMessage(const Message& msg)
{
    if (msg.id == MSG_QUIT) return;
    if (gProc) gProc(msg.id, msg.wParam);
    else DefaultWindowProc(msg.id, msg.wParam);
}

void PostQuitMessage(int exitCode)
{
    gQuitPosted = true;
    gQuitCode = exitCode;
}

intptr_t DefaultWindowProc(uint32_t msg, uint32_t /*wParam*/)
{
    if (msg == MSG_CLOSE && gWindowExists) {
        // Closing destroys the window: it disappears at once and its procedure
        // hears MSG_DESTROY.  The backend object itself goes at Shutdown, after
        // the devices drawing into it are released.
        gWindowExists = false;
        gBackend->hideWindow();
        if (gProc) gProc(MSG_DESTROY, 0);
    }
    return 0;
}

int16_t GetAsyncKeyState(int vk)
{
    if (vk <= 0 || vk >= kKeyCount) return 0;
    gUnseenPress[vk] = false;
    return (gDeviceKeys[vk] || gScriptKeys[vk]) ? static_cast<int16_t>(0x8000) : 0;
}

void GetCursorPos(Point* p) { *p = gCursor; }

void SetCursorPos(int x, int y)
{
    gCursor = {x, y};
    ClampCursor();
    if (gBackend && !CursorHidden()) gBackend->warpCursor(gCursor.x, gCursor.y);
}

int ShowCursor(bool show)
{
    bool wasHidden = CursorHidden();
    gShowCount += show ? 1 : -1;
    if (gBackend && wasHidden != CursorHidden()) gBackend->setRelativeMouse(CursorHidden());
    return gShowCount;
}

int MessageBox(const char* text, const char* caption, unsigned style)
{
    if (!gBackend || gUnattended || gBackendKind == Backend::Headless) PrintMessageBox(text, caption);
    else gBackend->messageBox(text, caption, style);
    return 1;
}

uint32_t TimeGetTime()
{
    if (gVirtualClock) return gVirtualTime;
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - gClockStart);
    return static_cast<uint32_t>(ms.count());
}

void TimeBeginPeriod(uint32_t) {}
void TimeEndPeriod(uint32_t) {}

void Sleep(uint32_t ms)
{
    if (gVirtualClock) return;  // virtual time moves only with the loop
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool VirtualClock() { return gVirtualClock; }

void LoopPass()
{
    if (gVirtualClock) gVirtualTime += 16;
}

void SetVirtualTime(uint32_t ms) { gVirtualTime = ms; }
void SetVirtualDrawCost(uint32_t ms) { gVirtualDrawCost = ms; }

namespace detail {
void ChargeVirtualDraw()
{
    if (gVirtualClock) gVirtualTime += gVirtualDrawCost;
}
}  // namespace detail

namespace {
std::string ScriptLine(const ScriptEvent& e)
{
    switch (e.verb) {
    case ScriptVerb::KeyDown: return "keydown " + KeyWord(e.a);
    case ScriptVerb::KeyUp: return "keyup " + KeyWord(e.a);
    case ScriptVerb::ButtonDown: return std::string("buttondown ") + (e.a == VK_RBUTTON ? "right" : "left");
    case ScriptVerb::ButtonUp: return std::string("buttonup ") + (e.a == VK_RBUTTON ? "right" : "left");
    case ScriptVerb::Move: return "move " + std::to_string(e.a) + " " + std::to_string(e.b);
    case ScriptVerb::Quit: return "quit";
    case ScriptVerb::Press: return "press " + KeyWord(e.a);
    case ScriptVerb::Release: return "release " + KeyWord(e.a);
    case ScriptVerb::PadConnect: return "padconnect";
    case ScriptVerb::PadDisconnect: return "paddisconnect";
    case ScriptVerb::PadDown:
    case ScriptVerb::PadUp: {
        const char* name = PadButtonName(e.a);
        return std::string(e.verb == ScriptVerb::PadDown ? "paddown " : "padup ") + (name ? name : "A");
    }
    case ScriptVerb::PadAxis:
        return std::string("padaxis ") + PadAxisName(static_cast<PadAxis>(e.a)) + " " + std::to_string(e.b);
    }
    return "quit";
}
}  // namespace

void SetInputScript(const InputScript* script)
{
    gScript = script;
    gScriptNext = 0;
}

void ApplyScriptStep(uint32_t step)
{
    if (gRecording) {
        // What came from the keyboard and mouse since the last step.
        gRecordStep = step;
        if (gCursorAtStepEnd.x >= 0 && (gCursor.x != gCursorAtStepEnd.x || gCursor.y != gCursorAtStepEnd.y))
            gRecordPending.push_back("move " + std::to_string(gCursor.x) + " " + std::to_string(gCursor.y));
        for (const std::string& e : gRecordPending) gRecorded.push_back(std::to_string(step) + " " + e);
        gRecordPending.clear();
    }
    if (!gScript) return;
    const auto& ev = gScript->events;
    while (gScriptNext < ev.size() && ev[gScriptNext].step <= step) {
        const ScriptEvent& e = ev[gScriptNext++];
        if (e.step < step) continue;  // its step has passed
        const bool wasRecording = gRecording;
        gRecording = false;  // kept below as the script wrote it
        switch (e.verb) {
        case ScriptVerb::KeyDown:
            gScriptKeys[e.a] = true;
            detail::PostMessage(MSG_KEYDOWN, static_cast<uint32_t>(e.a));
            break;
        case ScriptVerb::KeyUp:
            gScriptKeys[e.a] = false;
            break;
        case ScriptVerb::ButtonDown:
            gScriptKeys[e.a] = true;
            break;
        case ScriptVerb::ButtonUp:
            gScriptKeys[e.a] = false;
            break;
        case ScriptVerb::Move:
            SetCursorPos(e.a, e.b);
            break;
        case ScriptVerb::Quit:
            detail::PostMessage(MSG_CLOSE, 0);
            break;
        case ScriptVerb::Press:
        case ScriptVerb::Release:
            detail::SetDeviceKey(e.a, e.verb == ScriptVerb::Press);
            if (e.verb == ScriptVerb::Press && !IsMouseButton(e.a))
                detail::PostMessage(MSG_KEYDOWN, static_cast<uint32_t>(e.a));
            break;
        // The script's pad is slot 0, player 0's.
        case ScriptVerb::PadConnect:
        case ScriptVerb::PadDisconnect:
            detail::SetPadConnected(0, e.verb == ScriptVerb::PadConnect);
            break;
        case ScriptVerb::PadDown:
        case ScriptVerb::PadUp:
            detail::SetPadButton(0, e.a, e.verb == ScriptVerb::PadDown);
            break;
        case ScriptVerb::PadAxis:
            detail::SetPadAxis(0, e.a, e.b);
            break;
        }
        gRecording = wasRecording;
        if (gRecording) gRecorded.push_back(std::to_string(step) + " " + ScriptLine(e));
    }
}

void StartRecording()
{
    gRecording = true;
    gRecordPending.clear();
    gRecorded.clear();
    gRecordStep = 0;
    gCursorAtStepEnd = {-1, -1};
}

std::vector<std::string> RecordedEvents()
{
    std::vector<std::string> all = gRecorded;
    for (const std::string& e : gRecordPending) all.push_back(std::to_string(std::max<uint32_t>(gRecordStep, 1)) + " " + e);
    return all;
}

void StepEnded()
{
    if (gRecording) gCursorAtStepEnd = gCursor;
}

bool ScriptHasEventsAfter(uint32_t step)
{
    return gScript && !gScript->events.empty() && gScript->events.back().step > step;
}

}  // namespace sys
