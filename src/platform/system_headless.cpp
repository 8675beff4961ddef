// The headless backend of the system layer: no display and no devices.  The
// window is only its size, input comes from the script alone and message
// boxes print on stderr.
#include "platform/system_backend.h"

namespace sys::detail {
namespace {
bool Init() { return true; }
void Shutdown() {}
bool CreateWindow(const WindowDesc&) { return true; }
bool SetClientSize(int, int, bool) { return true; }
void* NativeWindow() { return nullptr; }
void HideWindow() {}
void PumpEvents() {}
void WarpCursor(int, int) {}
void SetRelativeMouse(bool) {}
void ShowMessageBox(const char* text, const char* caption, unsigned) { PrintMessageBox(text, caption); }
}  // namespace

const SystemBackend kHeadlessBackend = {
    "headless",  Init,       Shutdown,   CreateWindow,     SetClientSize, NativeWindow,
    HideWindow,  PumpEvents, WarpCursor, SetRelativeMouse, ShowMessageBox,
};

}  // namespace sys::detail
