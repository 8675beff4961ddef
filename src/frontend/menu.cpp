#include "frontend/menu.h"

#include <cmath>

#include "services/device.h"
#include "services/display.h"
#include "services/gamepad.h"
#include "services/scene.h"
#include "battle/hud.h"
#include "records/state.h"
#include "platform/system.h"

int32_t ButtonState[kButtonStateCount] = {};
int32_t ClickLatch = 0;
int32_t FadeAlpha = 0;
gfx::Rect FadeRect = {0, 0, 0, 0};

namespace {
// --- the pad's focus ------------------------------------------------------------------
// Every button MenuClick saw on a step, in design space, with its state:
// the step before (the screen as it stands, if it is still the same
// screen) and the step running.
constexpr int kMaxButtons = 64;
struct SeenButton {
    MenuBox box;
    const int32_t* state;
};
struct ButtonsSeen {
    SeenButton at[kMaxButtons];
    int count = 0;
    SceneFn scene = nullptr;
};
ButtonsSeen lastStep, thisStep;
// The d-pad's latches (up, down, left, right) and B's.
int32_t dpadLatch[4] = {0, 0, 0, 0};
int32_t backLatch = 0;
// A d-pad way or B pressed and not yet acted on, and the screen it was
// pressed on: on a screen's first step its buttons are not known yet, so
// the press waits for the next step (another screen by then drops it).
int pendingWay = -1;
bool pendingBack = false;
SceneFn pendingScene = nullptr;
// B acted on: Back is pressed on this step, as a click would press it.
bool backPress = false;

struct Centre {
    float x, y;
};
Centre CentreOf(const MenuBox& b) { return {(b.x0 + b.x1) / 2.0f, (b.y0 + b.y1) / 2.0f}; }

bool SameBox(const MenuBox& a, const MenuBox& b)
{
    return a.x0 == b.x0 && a.y0 == b.y0 && a.x1 == b.x1 && a.y1 == b.y1;
}

// The cursor onto the middle of a button: the hover lights it as the mouse would.
void FocusOn(const MenuBox& b)
{
    const Centre c = CentreOf(b);
    sys::SetCursorPos(static_cast<int>(std::lround(c.x * scaleX)), static_cast<int>(std::lround(c.y * scaleY)));
}

// The nearest button from the focused one (or from the cursor, over none)
// whose middle lies that way; the distance across the way counts twice.
// Over no button, with none that way, the nearest of all.
void MoveFocus(int dx, int dy)
{
    const ButtonsSeen& seen = lastStep;
    int focus = -1;
    for (int i = 0; i < seen.count && focus < 0; ++i)
        if (CursorIn(seen.at[i].box)) focus = i;
    Centre from;
    if (focus >= 0) {
        from = CentreOf(seen.at[focus].box);
    } else {
        int x = 0, y = 0;
        MenuCursor(&x, &y);
        from = {x / scaleX, y / scaleY};
    }
    int best = -1, nearest = -1;
    float bestScore = 0, nearestDistance = 0;
    for (int i = 0; i < seen.count; ++i) {
        if (focus >= 0 && SameBox(seen.at[i].box, seen.at[focus].box)) continue;
        const Centre c = CentreOf(seen.at[i].box);
        const float vx = c.x - from.x, vy = c.y - from.y;
        const float distance = vx * vx + vy * vy;
        if (nearest < 0 || distance < nearestDistance) {
            nearest = i;
            nearestDistance = distance;
        }
        const float along = vx * dx + vy * dy;
        const float across = vx * dy - vy * dx;
        if (along <= 0) continue;
        const float score = along + 2 * (across < 0 ? -across : across);
        if (best < 0 || score < bestScore) {
            best = i;
            bestScore = score;
        }
    }
    if (best < 0 && focus < 0) best = nearest;
    if (best >= 0) FocusOn(seen.at[best].box);
}

// The pad's turn at the start of a menu step: the d-pad moves the focus over
// the buttons the screen showed on its last step, B moves it onto the
// screen's Back button and presses it.
void PadMenuStep()
{
    lastStep = thisStep;
    thisStep.count = 0;
    thisStep.scene = SceneProc;
    backPress = false;
    static const struct {
        uint16_t bit;
        int dx, dy;
    } kWays[4] = {{sys::PAD_DPAD_UP, 0, -1}, {sys::PAD_DPAD_DOWN, 0, 1}, {sys::PAD_DPAD_LEFT, -1, 0},
                  {sys::PAD_DPAD_RIGHT, 1, 0}};
    for (int k = 0; k < 4; ++k)
        if (PadButtonPressed(kWays[k].bit, &dpadLatch[k])) {
            pendingWay = k;
            pendingScene = SceneProc;
        }
    if (PadButtonPressed(sys::PAD_B, &backLatch)) {
        pendingBack = true;
        pendingScene = SceneProc;
    }
    if (pendingScene != SceneProc) {
        pendingWay = -1;
        pendingBack = false;
        return;
    }
    if (lastStep.scene != SceneProc || lastStep.count == 0) return;  // its buttons are not known yet
    if (pendingWay >= 0) MoveFocus(kWays[pendingWay].dx, kWays[pendingWay].dy);
    for (int i = 0; i < lastStep.count && pendingBack; ++i) {
        const int32_t* st = lastStep.at[i].state;
        if (st != &ButtonState[kBackButton] && st != &ButtonState[kOptionsBack]) continue;
        FocusOn(lastStep.at[i].box);
        backPress = true;
        ClickLatch = 0;  // a new press, whatever the last click left
        break;
    }
    pendingWay = -1;
    pendingBack = false;
}

// What presses a button: the left button, the pad's A, or B on its step.
bool ClickDown()
{
    return MenuPressDown() || backPress;
}

// A press clicks on the step it begins, on whatever button the pointer is
// over then, wherever the pointer was a step before: from its second step
// on it is latched, so a press that began off every button and is dragged
// onto one does not click, and a held one clicks once.  Letting go, over a
// button or not, clears the latch.
bool pressWasDown = false;
void LatchHeldPress()
{
    const bool down = ClickDown();
    if (!down) ClickLatch = 0;
    else if (pressWasDown) ClickLatch = 1;
    pressWasDown = down;
}
}  // namespace

void ResetMenuState()
{
    for (int32_t& s : ButtonState) s = kButtonIdle;
    ClickLatch = 0;
    FadeAlpha = 0;
    FadeRect = {0, 0, 0, 0};
    lastStep = thisStep = ButtonsSeen{};
    for (int32_t& l : dpadLatch) l = 0;
    backLatch = 0;
    pendingWay = -1;
    pendingBack = false;
    pendingScene = nullptr;
    backPress = false;
    pressWasDown = false;
}

bool MenuTick(uint32_t* lastRun)
{
    // "More than 15 ms" and the scene gate's "at least 16 ms" are one rule
    // on whole milliseconds; the shared gate also counts the step.
    if (!SceneTick(lastRun)) return false;
    PadMenuStep();
    LatchHeldPress();
    return true;
}

void MenuCursor(int* x, int* y)
{
    sys::Point p{};
    sys::GetCursorPos(&p);
    *x = p.x;
    *y = p.y;
}

bool CursorIn(const MenuBox& box)
{
    int x = 0, y = 0;
    MenuCursor(&x, &y);
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    return box.x0 * scaleX <= fx && fx <= box.x1 * scaleX && box.y0 * scaleY <= fy && fy <= box.y1 * scaleY;
}

bool MenuClick(const MenuBox& box, int32_t* state)
{
    if (thisStep.count < kMaxButtons) thisStep.at[thisStep.count++] = {box, state};
    if (!CursorIn(box)) {
        *state = kButtonIdle;
        return false;
    }
    *state = kButtonHover;
    if (!ClickDown()) {
        ClickLatch = 0;
        return false;
    }
    if (ClickLatch) return false;
    ClickLatch = 1;
    *state = kButtonPressed;
    return true;
}

bool KeyPressed(int vkA, int vkB, int32_t* latch)
{
    bool down = (sys::GetAsyncKeyState(vkA) & 0x8000) || (sys::GetAsyncKeyState(vkB) & 0x8000);
    if (!down) {
        *latch = 0;
        return false;
    }
    if (*latch) return false;
    *latch = 1;
    return true;
}

uint32_t ButtonColour(int32_t state, uint32_t idle)
{
    switch (state) {
    case kButtonHover: return kHoverWhite;
    case kButtonPressed: return kPressedGrey;
    default: return idle;
    }
}

void BeginMenuFrame(uint32_t clearColour)
{
    gfx::SetViewport({0, 0, static_cast<uint32_t>(BackBufferWidth()), static_cast<uint32_t>(BackBufferHeight()),
                      0.0f, 1.0f});
    gfx::Clear(gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER, clearColour, 1.0f, 0);
    gfx::BeginScene();
}

void BeginMenuSprites()
{
    if (SpriteBatcher) gfx::SpriteBegin(SpriteBatcher, gfx::SPRITE_ALPHABLEND);
}

void EndMenuSprites()
{
    if (!SpriteBatcher) return;
    gfx::SpriteSetTransform(SpriteBatcher, MatIdentity());
    gfx::SpriteEnd(SpriteBatcher);
}

Mat4 MenuAtlasScale()
{
    return MatScaling(static_cast<float>(BackBufferWidth()) / 1024.0f,
                      static_cast<float>(BackBufferHeight()) / 1024.0f, 0.0f);
}

void DrawMenuBackground(gfx::Texture* tex, uint32_t colour)
{
    if (!SpriteBatcher || !tex) return;
    gfx::SpriteSetTransform(SpriteBatcher, MenuAtlasScale());
    gfx::SpriteDraw(SpriteBatcher, tex, nullptr, nullptr, nullptr, colour);
}

void DrawMenuImage(gfx::Texture* tex, const gfx::Rect& src, float x, float y, uint32_t colour)
{
    if (!SpriteBatcher) return;
    DrawAtlasSprite(tex, src, MenuAtlasScale() * MatTranslation(x * scaleX, y * scaleY, 0), colour);
}

void FadeWholeScreen()
{
    FadeAlpha = 255;
    FadeRect = {0, 0, BackBufferWidth(), BackBufferHeight()};
}

void FadePanel(const MenuBox& panel)
{
    FadeAlpha = 255;
    FadeRect = {static_cast<int32_t>(panel.x0 * scaleX), static_cast<int32_t>(panel.y0 * scaleY),
                static_cast<int32_t>(panel.x1 * scaleX), static_cast<int32_t>(panel.y1 * scaleY)};
}

uint32_t FadeColour(int32_t alpha)
{
    // Shifted as unsigned: alpha 255 into the top byte of a signed int would overflow.
    return static_cast<uint32_t>(alpha & 0xFF) << 24;
}

void DrawFade(int32_t step)
{
    if (FadeAlpha <= 0) return;
    if (SpriteBatcher && BitTexture) {
        // The texel's top-left corner is its centre, so scaled it covers the
        // rectangle from the corner on.
        BeginMenuSprites();
        const float w = static_cast<float>(FadeRect.right - FadeRect.left);
        const float h = static_cast<float>(FadeRect.bottom - FadeRect.top);
        const Vec3 corner{0, 0, 0};
        DrawAtlasSprite(BitTexture, {0, 0, 1, 1},
                        MatScaling(w, h, 0) * MatTranslation(static_cast<float>(FadeRect.left),
                                                             static_cast<float>(FadeRect.top), 0),
                        FadeColour(FadeAlpha), &corner);
        EndMenuSprites();
    }
    FadeAlpha -= step;
    if (FadeAlpha < 0) FadeAlpha = 0;
}

void EndMenuFrame() { EndFrame(); }
