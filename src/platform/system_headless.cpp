// The headless backend of the system layer: no display and no devices.  The
// window is only its size, input comes from the script alone and message
// boxes print on stderr.
//
// Ctrl+C (SIGINT) and SIGTERM close the run as closing a window does: the
// game leaves by its loop and writes its report and recording.  A second
// one, while the first is still being answered, ends it at once.
#include <signal.h>

#include "platform/system_backend.h"

namespace sys::detail {
namespace {
volatile sig_atomic_t gStopAsked = 0;
bool gStopPosted = false;

void AskStop(int) { gStopAsked = 1; }

void CatchStops(void (*handler)(int))
{
    struct sigaction sa {};
    sa.sa_handler = handler;
    sa.sa_flags = handler == SIG_DFL ? 0 : SA_RESETHAND;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGINT, SIGTERM}) sigaction(sig, &sa, nullptr);
}

bool Init()
{
    gStopAsked = 0;
    gStopPosted = false;
    CatchStops(AskStop);
    return true;
}
void Shutdown() { CatchStops(SIG_DFL); }
bool CreateWindow(const WindowDesc&) { return true; }
bool SetClientSize(int, int, bool) { return true; }
void* NativeWindow() { return nullptr; }
void HideWindow() {}
void PumpEvents()
{
    if (gStopAsked && !gStopPosted) {
        gStopPosted = true;
        PostMessage(MSG_CLOSE, 0);
    }
}
void WarpCursor(int, int) {}
void SetRelativeMouse(bool) {}
void ShowMessageBox(const char* text, const char* caption, unsigned) { PrintMessageBox(text, caption); }
}  // namespace

const SystemBackend kHeadlessBackend = {
    "headless",  Init,       Shutdown,   CreateWindow,     SetClientSize, NativeWindow,
    HideWindow,  PumpEvents, WarpCursor, SetRelativeMouse, ShowMessageBox,
};

}  // namespace sys::detail
