// What every front-end screen shares: the design space (800 x 600, scaled
// by scaleX / scaleY), the buttons with their hover and press states, the
// click that fires once per press, the key latches, atlas pictures drawn
// as sprites at design positions, and the black fade after a change.
// Each screen (title.cpp, forces.cpp, ...) is one scene routine that
// passes MenuTick first and draws with these; none of it allocates.
#pragma once

#include <cstdint>

#include "math/vecmath.h"
#include "frontend/frontend.h"
#include "platform/gfx.h"

// A design-space rectangle, inclusive on every side.
struct MenuBox {
    int32_t x0, y0, x1, y1;
};


// Pictures several screens share: the Back button in "Title/MenuLog.bmp",
// the small arrows in "Title/Game_Logo1.bmp".
constexpr gfx::Rect kBackImage = {451, 2, 612, 97};
constexpr gfx::Rect kSmallLeftArrow = {0, 0, 30, 30};
constexpr gfx::Rect kSmallRightArrow = {30, 0, 60, 30};

// Colours a button is modulated by.
constexpr uint32_t kIdleGrey = 0xFFC8C8C8;
constexpr uint32_t kOptionsIdleGrey = 0xFFB4B4B4;
constexpr uint32_t kArrowIdle = 0xC8C8C8C8;
constexpr uint32_t kHoverWhite = 0xFFFFFFFF;
constexpr uint32_t kPressedGrey = 0xFFA0A0A0;

// Every state, the latch and the fade cleared, as at start-up.
void ResetMenuState();

// The pacing gate: true (and the time stored) when more than 15 ms have
// passed since *lastRun; the caller then runs one step.  The step starts
// with the pad's turn: each d-pad press moves the cursor onto the middle of
// the nearest button that way among those the screen's MenuClick calls saw
// on its last step (over no button, from the cursor; none that way, the
// nearest of all), so the hover shows the focus; B moves it onto the
// screen's Back button (the state ButtonState[kBackButton] or
// [kOptionsBack]) and presses it for the step.  A press on a screen's first
// step, whose buttons are not known yet, is acted on at its second.
bool MenuTick(uint32_t* lastRun);

// The cursor in back-buffer pixels.
void MenuCursor(int* x, int* y);
// Whether the cursor is inside the box scaled to the screen.
bool CursorIn(const MenuBox& box);
// The click rule for one button: outside, its state goes idle; inside, it
// hovers, and the first step a press is seen (latch clear) it is pressed,
// the latch set, and true returned: the caller runs the action.  The latch
// clears only over some button with the left button up.  The pad's A
// presses as the left button does.  Each call also makes the button one
// the d-pad can move to.
bool MenuClick(const MenuBox& box, int32_t* state);
// A key pair's latch: true on the step either key is first seen down.
bool KeyPressed(int vkA, int vkB, int32_t* latch);
// The colour for a state with the screen's idle colour.
uint32_t ButtonColour(int32_t state, uint32_t idle);

// Viewport over the back buffer, target and depth cleared, scene begun.
void BeginMenuFrame(uint32_t clearColour);
// The sprite batch the pictures are drawn in.
void BeginMenuSprites();
void EndMenuSprites();
// Atlas pixels to screen pixels: the atlases are drawn for a screen 1024
// pixels wide and high.
Mat4 MenuAtlasScale();
// A picture stretched over the whole screen.
void DrawMenuBackground(gfx::Texture* tex, uint32_t colour);
// `src` of an atlas with its centre at design (x, y), atlas pixels scaled
// as if the atlas were drawn for a 1024-pixel-wide screen.
void DrawMenuImage(gfx::Texture* tex, const gfx::Rect& src, float x, float y, uint32_t colour);

// Starts a fade over the whole screen or over one panel (design space).
void FadeWholeScreen();
void FadePanel(const MenuBox& panel);
// While a fade runs: the black overlay at FadeAlpha, then FadeAlpha falls
// by `step` (3, or 2 on the options screen).
void DrawFade(int32_t step);
// End of the step: end the scene and present.
void EndMenuFrame();
// Black with FadeAlpha as its alpha.
uint32_t FadeColour(int32_t alpha);
