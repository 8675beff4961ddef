#include "services/controls.h"

#include <algorithm>

#include "platform/system.h"

int32_t BattleKeys[kBattleActionCount] = {
    'W', 'S', 'A', 'D', VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_LBUTTON, VK_RBUTTON, 'Z', VK_TAB, VK_ESCAPE,
};

bool BattleActionDown(BattleAction action)
{
    if (action < 0 || action >= kBattleActionCount) return false;
    return (sys::GetAsyncKeyState(BattleKeys[action]) & 0x8000) != 0;
}

void ResetBattleKeys() { std::copy(std::begin(kDefaultBattleKeys), std::end(kDefaultBattleKeys), BattleKeys); }
