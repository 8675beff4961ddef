#include "frontend/menu.h"

#include "services/device.h"
#include "services/display.h"
#include "services/scene.h"
#include "battle/hud.h"
#include "records/state.h"
#include "platform/system.h"

int32_t ButtonState[kButtonStateCount] = {};
int32_t ClickLatch = 0;
int32_t FadeAlpha = 0;
gfx::Rect FadeRect = {0, 0, 0, 0};

void ResetMenuState()
{
    for (int32_t& s : ButtonState) s = kButtonIdle;
    ClickLatch = 0;
    FadeAlpha = 0;
    FadeRect = {0, 0, 0, 0};
}

bool MenuTick(uint32_t* lastRun)
{
    // "More than 15 ms" and the scene gate's "at least 16 ms" are one rule
    // on whole milliseconds; the shared gate also counts the step.
    return SceneTick(lastRun);
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
    if (!CursorIn(box)) {
        *state = kButtonIdle;
        return false;
    }
    *state = kButtonHover;
    if (!(sys::GetAsyncKeyState(VK_LBUTTON) & 0x8000)) {
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
