// Inside the system layer: the narrow table each backend fills, and the shared
// state (message queue, key tables, cursor) the backends feed.
#pragma once

#include <string>

#include "platform/system.h"

namespace sys::detail {

struct SystemBackend {
    const char* name;
    bool (*init)();
    void (*shutdown)();
    bool (*createWindow)(const WindowDesc& desc);
    // False when the window system cannot show that size in that mode; the
    // window is then as it was.
    bool (*setClientSize)(int width, int height, bool fullScreen);
    void* (*nativeWindow)();
    void (*hideWindow)();
    void (*pumpEvents)();           // turns device events into messages and key state
    void (*warpCursor)(int x, int y);
    void (*setRelativeMouse)(bool relative);  // on while the cursor is hidden
    void (*messageBox)(const char* text, const char* caption, unsigned style);
};

extern const SystemBackend kWindowBackend;
extern const SystemBackend kHeadlessBackend;

void PostMessage(uint32_t id, uint32_t wParam);
void SetDeviceKey(int vk, bool down);
void ClearDeviceKeys();
void CursorMovedTo(int x, int y);
void CursorMovedBy(int dx, int dy);
bool CursorHidden();
void PrintMessageBox(const char* text, const char* caption);
// A presented frame moves a virtual clock on by the draw cost tests set.
void ChargeVirtualDraw();
// True while a recording runs: the events' lines are made only then.
bool Recording();
// Keeps an input event, as a script line without its step, for the step it
// reaches the game in (while a recording runs).
void RecordEvent(const std::string& line);
// The same for a stick or trigger: a later value of the axis within one step
// replaces the earlier one (a real stick sends hundreds a second).
void RecordAxisEvent(const std::string& axisWord, const std::string& line);

// --- game controllers (pad.cpp): what the backends and scripts feed ---------------
// The lowest slot with no pad; -1 when all four hold one.
int FreePadSlot();
// A pad plugged in: it takes the lowest free slot, returned (-1 and nothing
// done when all four are taken).
int PlugInPad();
bool PadConnected(int slot);
// A pad into a free slot, or out of its slot: out, every button and axis it
// held lets go.  Nothing happens for a slot already so.
void SetPadConnected(int slot, bool connected);
// A button bit (sys::PAD_A, ...) pressed or released on a connected pad.
void SetPadButton(int slot, int bit, bool down);
// An axis (PadAxis of input_script.h) to a value in its range, clamped.
void SetPadAxis(int slot, int axis, int value);
// Every button and axis of every pad let go, the pads staying connected
// (the window lost the focus).
void ReleasePadInputs();
// Every slot empty, as at start-up.
void ResetPads();
// Releases held back for presses that have now been read.
void ApplyPadLateReleases();

}  // namespace sys::detail
