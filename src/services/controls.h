// The battle's controls: which key or mouse button does each thing.  The
// defaults are the keys the game has always had; BattleKeys holds the ones in
// force.
#pragma once

#include "services/state.h"
#include "platform/vk.h"

constexpr int32_t kDefaultBattleKeys[kBattleActionCount] = {
    'W', 'S', 'A', 'D',                      // drive or walk: forward, back, turn left, turn right
    VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN,       // turret (or torso) left and right, gun up and down
    VK_LBUTTON, VK_RBUTTON,                  // fire, switch weapons
    'Z', VK_TAB, VK_ESCAPE,                  // next unit's view, scoreboard while held, pause
};

// True while the action's key is held.
bool BattleActionDown(BattleAction action);
// Puts the default keys back.
void ResetBattleKeys();
