// What sits around the fighting: the pause menu (Escape), the end of the
// battle once the clock has run out, the scoreboard held on Tab, and the 2D
// banners the scene pass draws for them (alert, scoreboard backdrop, pause
// screen, result).  Leaving a battle, by the menu or at the end, goes through
// LeaveBattle, which stops the battle's sounds and releases its textures.
// All 2D layout is for 800 x 600, multiplied by scaleX / scaleY unless a
// comment says unscaled.  Nothing here allocates.
#pragma once

#include <cstddef>
#include <cstdint>

#include "battle/state.h"
#include "services/scene.h"
#include "math/vecmath.h"
#include "platform/gfx.h"

// Steps the end phase lasts, from the first step with the clock run out.
constexpr int32_t kEndPhaseSteps = 300;


// Pause entries in "LAND/Sprite/Char.bmp" and their hit boxes (800 x 600,
// inclusive on every side).
extern const gfx::Rect kPauseEntryRects[3];
extern const gfx::Rect kPauseEntryBoxes[3];
// Result banners by battleResult: 0 draw, 1 Earth won, 2 Mercury won.
extern const gfx::Rect kResultRects[3];
extern const gfx::Rect kAlertRect;

// The pause begins: no entry pressed yet, and a button already held does
// not count as a press.
void OpenPauseMenu();
// While paused: hover flags, and a click (the left button or the pad's A
// pressed and released over the same entry) resumes (1), leaves for
// BattleExitScene (2) or quits (3).  The pad's d-pad up and down move the
// cursor onto the entries one by one; its B resumes.  Returns 1 when the
// battle was left (the caller ends its step).
int PauseMenuInput();
// One unpaused step with the clock run out: the result is decided on the
// first step and kept, the player's command flags are cleared then, the losing side loses 255 hp a step, the camera
// rises; after kEndPhaseSteps steps the battle is left.  Returns 1 then.
int EndOfBattleStep();
// Kills and deaths cleared, the camera back on unit 0, the end phase reset,
// every engine loop and sound stopped, the battle textures released, the
// cursor shown and BattleExitScene installed.
void LeaveBattle();
// A new battle's end phase: no steps counted and no result yet.
void ResetEndOfBattle();
// Every copy of every battle sound pool stopped (engine loops included).
void StopBattleSounds();

// Where a sprite of the 1 x 1 "Map/Bit.bmp" goes: its centre is its
// top-left corner (0, 0), so the texel scaled to a size covers exactly the
// rectangle from the translation on.
struct BitPlacement {
    Mat4 transform;
    Vec3 centre;
};
// The scoreboard's backdrop, 50 pixels in from every edge, and the pause
// screen's dimmer over the whole back buffer.
BitPlacement ScoreboardBackdrop();
BitPlacement PauseDimmer();

// The banners inside the scene pass's sprite batch.
void DrawBanners();
// Both teams' rows, ranked, and the clock: at the end of the frame while
// Tab is held.
void DrawScoreboard();
// Refines a side's row order once: a row with fewer kills gives its place
// to a lower row with more.  `kills` and `rankSlot` of `count` units.
template <class Unit>
void RankScoreRows(Unit* units, int count)
{
    for (int i = 0; i < count; ++i)
        for (int j = 0; j < count; ++j)
            if (units[i].kills < units[j].kills && units[i].rankSlot < units[j].rankSlot) {
                int32_t r = units[i].rankSlot;
                units[i].rankSlot = units[j].rankSlot;
                units[j].rankSlot = r;
            }
}
// "LastTime=MM:SS\n" for a clock of `ticks` (kTicksPerMinute a minute) into `out`.
void FormatBattleClock(int32_t ticks, char* out, size_t size);
