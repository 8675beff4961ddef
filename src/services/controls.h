// The battle's controls: which key or mouse button does each thing.  The
// defaults are the keys the game has always had; BattleKeys holds the ones in
// force.  The options screen rebinds them through BindBattleKey, which
// swaps, so every action keeps a key and no key does two things.
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

// An action's name in the settings file ("turn_left") and on the options
// screen ("Turn left").
const char* BattleActionKey(BattleAction action);
const char* BattleActionLabel(BattleAction action);
// A key's name as the options screen shows it ("W", "Left", "Right button");
// null for a code the keyboard and mouse never give.
const char* KeyName(int32_t vk);
// Whether an action may be bound to the key: one the keyboard or mouse gives
// and that does nothing of its own everywhere (F1 quits, T takes a
// screenshot, P shows the frame rate).
bool BindableKey(int32_t vk);
// Binds the action to the key in `keys`; the action that had the key takes
// this action's old one.  False, and nothing changed, for a key that is not
// bindable.
bool BindBattleKey(int32_t keys[kBattleActionCount], BattleAction action, int32_t vk);
// The action bound to the key, or -1.
int BattleActionOfKey(const int32_t keys[kBattleActionCount], int32_t vk);
