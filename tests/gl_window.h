// One window and one OpenGL device for the whole GL test program: opened
// before its first test and closed after its last, so the suites, in any
// order, never open and close the window system between them.  Each test
// sets the back buffer's size it draws at with Reset.
#pragma once

// Whether the window and the device are up (false without an X display or
// OpenGL 3.3).
bool GlWindowReady();
