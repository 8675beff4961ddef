// Inside the system layer: the narrow table each backend fills, and the shared
// state (message queue, key tables, cursor) the backends feed.
#pragma once

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

}  // namespace sys::detail
