// The program: start-up in its fixed order, the message loop, shutdown in
// its fixed order.  Returns the process exit code.
#pragma once

#include <cstdint>

int VarnokMain(int argc, const char* const* argv);

// The window procedure: closing the window and F1 post quit (0); every other
// key-down is swallowed, since the game polls its input.
intptr_t MainWindowProc(uint32_t msg, uint32_t wParam);
