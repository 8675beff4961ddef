#include "battle/pause.h"

#include <cmath>
#include <cstdio>

#include "services/device.h"
#include "services/display.h"
#include "services/gamepad.h"
#include "assets/sound.h"
#include "battle/frame.h"
#include "battle/hud.h"
#include "battle/setup.h"
#include "records/state.h"
#include "sides/player.h"
#include "sides/tank_side.h"
#include "platform/crt_rand.h"
#include "platform/system.h"

int32_t pauseHover[3] = {0, 0, 0};
int32_t endCounter = 0;
SceneFn BattleExitScene = nullptr;

const gfx::Rect kPauseEntryRects[3] = {{1, 31, 174, 74}, {2, 77, 149, 120}, {2, 123, 100, 167}};
const gfx::Rect kPauseEntryBoxes[3] = {{270, 237, 535, 277}, {290, 325, 515, 365}, {325, 405, 480, 450}};
const gfx::Rect kResultRects[3] = {{262, 160, 512, 274}, {2, 277, 512, 391}, {2, 395, 512, 509}};
const gfx::Rect kAlertRect = {2, 2, 256, 28};

namespace {
// The pause menu's click: the entry under the cursor when the left button
// went down (-1: none), and the button as the last step saw it.
int pressedEntry = -1;
bool buttonWasDown = false;
// The pad's latches: the d-pad's up and down, and B.
int32_t padUpLatch = 0, padDownLatch = 0, padBLatch = 0;


// The d-pad's focus is the cursor moved onto the middle of an entry, so the
// hover lights it as the mouse would.
void FocusEntry(int k)
{
    const gfx::Rect& b = kPauseEntryBoxes[k];
    sys::SetCursorPos(static_cast<int>(std::lround((b.left + b.right) / 2.0f * scaleX)),
                      static_cast<int>(std::lround((b.top + b.bottom) / 2.0f * scaleY)));
}

bool Inside(const sys::Point& p, const gfx::Rect& box)
{
    return p.x >= box.left * scaleX && p.x <= box.right * scaleX && p.y >= box.top * scaleY &&
           p.y <= box.bottom * scaleY;
}

// The losing side's live units lose 255 hp: a full unit keeps 1 and goes
// down on the next step.
void HurtLosers()
{
    if (battleResult == 1) {
        for (int i = 0; i < MercuryCount; ++i)
            if (Robots[i].alive) Robots[i].hp -= 255;
    } else if (battleResult == 2) {
        for (int i = 0; i < EarthCount; ++i)
            if (Tanks[i].alive) Tanks[i].hp -= 255;
    }
}

void Text(gfx::Font* font, const char* text, float x, float y, uint32_t colour)
{
    gfx::Rect at{static_cast<int32_t>(x), static_cast<int32_t>(y), 0, 0};
    gfx::FontDrawText(font, SpriteBatcher, text, -1, &at, gfx::DT_NOCLIP, colour);
}

template <class Unit>
void ScoreBlock(Unit* units, int count, float x, const char* title, uint32_t titleColour, uint32_t diedColour)
{
    Text(SmallFont, title, (x - 10) * scaleX, 50 * scaleY, titleColour);
    Text(SmallFont, "NAME", x * scaleX, 70 * scaleY, 0xB4FFFFFF);
    Text(SmallFont, "Killed", (x + 100) * scaleX, 70 * scaleY, 0xB4DE0202);
    Text(SmallFont, "Died", (x + 200) * scaleX, 70 * scaleY, 0xB40202E1);
    RankScoreRows(units, count);
    char number[16];
    for (int i = 0; i < count; ++i) {
        float y = 100 * scaleY + 16.0f * units[i].rankSlot;  // the row step is not scaled
        Text(SmallFont, units[i].name, x * scaleX, y, 0xB4FFFFFF);
        std::snprintf(number, sizeof number, "%6d", units[i].kills);
        Text(SmallFont, number, (x + 100) * scaleX, y, 0xB4DE0202);
        std::snprintf(number, sizeof number, "%6d", units[i].deaths);
        Text(SmallFont, number, (x + 200) * scaleX, y, diedColour);
    }
}
}  // namespace

void OpenPauseMenu()
{
    pressedEntry = -1;
    buttonWasDown = MenuPressDown();
    // Pad buttons already held count as no press either.
    padUpLatch = PadButtonDown(sys::PAD_DPAD_UP);
    padDownLatch = PadButtonDown(sys::PAD_DPAD_DOWN);
    padBLatch = PadButtonDown(sys::PAD_B);
    for (int32_t& h : pauseHover) h = 0;
}

int PauseMenuInput()
{
    sys::Point p{};
    sys::GetCursorPos(&p);  // already in client pixels
    // The d-pad walks the entries, from RESUME when none is lit; it stops
    // at the ends.
    const bool up = PadButtonPressed(sys::PAD_DPAD_UP, &padUpLatch);
    const bool down = PadButtonPressed(sys::PAD_DPAD_DOWN, &padDownLatch);
    if (up || down) {
        int at = -1;
        for (int k = 0; k < 3; ++k)
            if (Inside(p, kPauseEntryBoxes[k])) at = k;
        FocusEntry(at < 0 ? 0 : up ? (at > 0 ? at - 1 : 0) : (at < 2 ? at + 1 : 2));
        sys::GetCursorPos(&p);
    }
    bool button = MenuPressDown();
    int over = -1;
    for (int k = 0; k < 3; ++k) {
        pauseHover[k] = Inside(p, kPauseEntryBoxes[k]) ? 1 : 0;
        if (pauseHover[k]) over = k;
    }
    // An entry fires when the button is pressed and released over it; a
    // button held in from elsewhere, or dragged across, fires nothing.
    if (button && !buttonWasDown) pressedEntry = over;
    int fired = !button && buttonWasDown && over >= 0 && over == pressedEntry ? over : -1;
    if (!button) pressedEntry = -1;
    buttonWasDown = button;
    // B resumes, as RESUME does (Start resumes by the pause toggle itself).
    if (PadButtonPressed(sys::PAD_B, &padBLatch) && fired < 0) fired = 0;
    if (fired == 0) {
        paused = 0;
        sys::ShowCursor(false);
        HoldFireUntilReleased();
    }
    if (fired == 1) {
        LeaveBattle();
        return 1;
    }
    if (fired == 2) sys::PostQuitMessage(0);
    return 0;
}

int EndOfBattleStep()
{
    // Decided once: shots still in flight may change the totals later, and
    // the banner and the losing side must not change with them.
    if (endCounter == 0) {
        // The player's keys are no longer read: what was held when the clock
        // ran out must not drive the unit on through the end phase.
        if (!DemoPlayer) (PlayerSide == 0 ? TankControls[0] : RobotControls[0]) = ControlFlags{};
        int earth = 0, mercury = 0;
        for (int i = 0; i < EarthCount; ++i) earth += Tanks[i].kills;
        for (int i = 0; i < MercuryCount; ++i) mercury += Robots[i].kills;
        battleResult = mercury < earth ? 1 : earth < mercury ? 2 : 0;
    }
    HurtLosers();
    if (CameraEye.y < 16) CameraEye.y += 0.5f;  // the camera rises as the battle ends
    if (++endCounter < kEndPhaseSteps) return 0;
    LeaveBattle();
    return 1;
}

void StopBattleSounds()
{
    StopTankEngines();
    for (SoundPool* pool : {&RobotStepSounds, &RobotGunSounds, &RobotMissileSounds, &TankEngineSounds,
                            &TankGunSounds, &MachineGunSounds})
        for (int k = 0; k < pool->size; ++k)
            if (pool->copies[k]) snd::Stop(pool->copies[k]);
}

void LeaveBattle()
{
    endCounter = 0;
    viewedUnit = 0;
    StopBattleSounds();
    ReleaseBattleTextures();
    // The pause screen already shows the cursor.
    if (!paused) sys::ShowCursor(true);
    paused = 0;
    for (int32_t& h : pauseHover) h = 0;
    SceneProc = BattleExitScene;
}

void ResetEndOfBattle()
{
    endCounter = 0;
    battleResult = 0;
}

void FormatBattleClock(int32_t ticks, char* out, size_t size)
{
    if (ticks < 0) ticks = 0;
    std::snprintf(out, size, "LastTime=%02d:%02d\n", ticks / kTicksPerMinute, ticks % kTicksPerMinute / 60);
}

BitPlacement ScoreboardBackdrop()
{
    const float w = static_cast<float>(BackBufferWidth()), h = static_cast<float>(BackBufferHeight());
    return {MatScaling(w - 100, h - 100, 1) * MatTranslation(50, 50, 0), {0, 0, 0}};
}

BitPlacement PauseDimmer()
{
    const float w = static_cast<float>(BackBufferWidth()), h = static_cast<float>(BackBufferHeight());
    return {MatScaling(w, h, 1), {0, 0, 0}};
}

void DrawBanners()
{
    const float w = static_cast<float>(BackBufferWidth()), h = static_cast<float>(BackBufferHeight());
    if (hudAlert && BattleClock >= 1) {
        uint32_t alpha = static_cast<uint32_t>(EyeRand() % 255 + 1);
        uint32_t r = EyeRand() & 0xFF, g = EyeRand() & 0xFF, b = EyeRand() & 0xFF;
        DrawAtlasSprite(CharTexture, kAlertRect, MatScaling(2, 2, 1) * MatTranslation(w / 2, h / 2, 0),
                        alpha << 24 | r << 16 | g << 8 | b);
    }
    const gfx::Rect bit{0, 0, 1, 1};
    if (scoreboardHeld) {
        BitPlacement at = ScoreboardBackdrop();
        DrawAtlasSprite(BitTexture, bit, at.transform, 0x3CB4003C, &at.centre);
    }
    if (paused) {
        BitPlacement at = PauseDimmer();
        DrawAtlasSprite(BitTexture, bit, at.transform, 0x3C050505, &at.centre);
        const float ys[3] = {h * 3 / 7, h * 4 / 7, h * 5 / 7};
        for (int k = 0; k < 3; ++k)
            DrawAtlasSprite(CharTexture, kPauseEntryRects[k],
                            MatScaling(w / 512, h / 512, 1) * MatTranslation(w / 2, ys[k], 0),
                            pauseHover[k] ? 0xFFFFFFFF : 0xA0FFFFFF);
    }
    if (BattleClock < 1 && battleResult >= 0 && battleResult <= 2)
        DrawAtlasSprite(CharTexture, kResultRects[battleResult],
                        MatScaling(w / 512, h / 512, 1) * MatTranslation(w / 2, h / 2, 0), 0xA0FFFFFF);
}

void DrawScoreboard()
{
    // One batch for every line: the small font's rows merge into one draw,
    // the clock's into another.
    gfx::SpriteBegin(SpriteBatcher, gfx::SPRITE_ALPHABLEND);
    gfx::SpriteSetTransform(SpriteBatcher, MatIdentity());
    ScoreBlock(Tanks, EarthCount, 100, "EARTH UNIT", 0xB4C8C8C8, 0xB40202FF);
    ScoreBlock(Robots, MercuryCount, 400, "MERTH UNIT", 0xB4050505, 0xB40202DE);
    char clock[32];
    FormatBattleClock(BattleClock, clock, sizeof clock);
    Text(LargeFont, clock, 360 * scaleX, 450 * scaleY, 0xB4FFFFFF);
    Text(LargeFont, clock, 362 * scaleX, 447 * scaleY, 0xB41616DE);
    gfx::SpriteEnd(SpriteBatcher);
}
