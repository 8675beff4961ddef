// The system layer: one main window, its message queue, polled keyboard and
// mouse state, message boxes and the millisecond clock.
//
// Two backends sit behind it: a real window (SDL2) and a headless twin with no
// display, whose clock is virtual and whose input comes only from a script.
// Scripted input can be mixed into either.  Game code reaches the operating
// system only through here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/vk.h"

struct InputScript;

namespace sys {

enum class Backend { Window, Headless };

// Window messages the game sees.  Key-down messages carry the virtual-key
// code in wParam; the quit message carries the exit code.
enum : uint32_t {
    MSG_DESTROY = 0x0002,
    MSG_CLOSE = 0x0010,
    MSG_QUIT = 0x0012,
    MSG_KEYDOWN = 0x0100,
};

struct Message {
    uint32_t id;
    uint32_t wParam;
};

// The window procedure: receives every dispatched message.
using WindowProc = intptr_t (*)(uint32_t msg, uint32_t wParam);

struct WindowDesc {
    const char* title;
    const char* className;  // the X11 WM_CLASS where the window system has one
    int width, height;      // client area in pixels
    bool fullScreen;
};

struct Point {
    int x, y;
};

// Brings the backend up.  `virtualClock` makes the clock advance 16 ms per
// loop pass instead of following real time (always so when headless).
// Returns false with a reason on stderr when the backend cannot start.
bool Init(Backend backend, bool virtualClock);
void Shutdown();
Backend CurrentBackend();
// True when no person is watching: headless, or input comes from a script or a
// frame limit.  Message boxes then go to stderr instead of waiting for a click.
void SetUnattended(bool unattended);

// --- window ----------------------------------------------------------------
bool CreateMainWindow(const WindowDesc& desc, WindowProc proc);
// A new client size and mode.  Full screen stretches the picture over the
// display's mode; false (the window as it was) when the display has no mode
// that large or the window system refuses.
bool SetClientSize(int width, int height, bool fullScreen);
// The window's icon, from a picture file: the window list and the taskbar
// show it.  Nothing to do without a window of the window system (headless).
// False with *error naming the file and the problem; the window keeps the
// system's icon.
bool SetWindowIcon(const char* path, std::string* error);
int ClientWidth();
int ClientHeight();
bool MainWindowExists();
// The backend's own window object (SDL_Window*), for the graphics backend.
void* NativeWindow();

// --- messages ----------------------------------------------------------------
// Looks at the next message without removing it; false when none waits.
bool PeekMessage(Message* msg);
// Removes the next message; false when it is the quit message.
bool GetMessage(Message* msg);
void DispatchMessage(const Message& msg);
void PostQuitMessage(int exitCode);
// What an unhandled message gets: the close command destroys the window.
intptr_t DefaultWindowProc(uint32_t msg, uint32_t wParam);

// --- polled input ------------------------------------------------------------
// High bit (0x8000) set while the key or button is down.
int16_t GetAsyncKeyState(int vk);
// Cursor in client pixels.  While the cursor is hidden it is a virtual cursor
// moved by relative mouse motion, so recentring it every frame works anywhere.
void GetCursorPos(Point* p);
void SetCursorPos(int x, int y);
// Show counter: +1 or -1; the cursor shows while the counter is 0 or more.
int ShowCursor(bool show);

// --- message boxes -----------------------------------------------------------
enum : unsigned { MB_OK = 0x0, MB_ICONERROR = 0x10 };
// Modal box with the caption and text (UTF-8); headless or unattended it
// prints "caption: text" on stderr instead.  Returns 1 (OK).
int MessageBox(const char* text, const char* caption, unsigned style);

// --- clock -------------------------------------------------------------------
// Milliseconds; wraps around after 2^32.
uint32_t TimeGetTime();
void TimeBeginPeriod(uint32_t ms);
void TimeEndPeriod(uint32_t ms);
void Sleep(uint32_t ms);
bool VirtualClock();
// The message loop calls this before each scene call, except right after a
// step that skipped its drawing (a pass that takes next to no time): a
// virtual clock moves on 16 ms.
void LoopPass();

// --- scripted input ----------------------------------------------------------
// The script stays owned by the caller and must outlive its use.
void SetInputScript(const InputScript* script);
// Applies the script's events of `step` (scene steps count from 1).
void ApplyScriptStep(uint32_t step);

// --- recording ---------------------------------------------------------------
// Starts keeping every input event the game receives, from the keyboard and
// mouse and from a script, with the step it reaches the game in, until
// Shutdown.
void StartRecording();
// What was kept, as input-script lines ("12 press 0x41", "30 move 400 260"),
// in order; events after the last step are given the last step.
std::vector<std::string> RecordedEvents();
// The message loop calls this after each step: a cursor moved after it is
// recorded with the next step.
void StepEnded();
// True when the script has events after `step`.
bool ScriptHasEventsAfter(uint32_t step);

}  // namespace sys
