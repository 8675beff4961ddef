#include "services/controls.h"

#include <algorithm>
#include <cstdio>

#include "platform/system.h"

int32_t BattleKeys[kBattleActionCount] = {
    'W', 'S', 'A', 'D', VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_LBUTTON, VK_RBUTTON, 'Z', VK_TAB, VK_ESCAPE,
};

namespace {
struct ActionNames {
    const char* key;
    const char* label;
};
constexpr ActionNames kActionNames[kBattleActionCount] = {
    {"forward", "Forward"},
    {"backward", "Backward"},
    {"turn_left", "Turn left"},
    {"turn_right", "Turn right"},
    {"turret_left", "Turret left"},  // a robot's torso
    {"turret_right", "Turret right"},
    {"gun_up", "Gun up"},
    {"gun_down", "Gun down"},
    {"fire", "Fire"},
    {"switch_weapon", "Switch weapon"},
    {"next_view", "Next view"},
    {"scoreboard", "Scoreboard"},
    {"pause", "Pause"},
};

struct NamedKey {
    int32_t vk;
    const char* name;
};
constexpr NamedKey kNamedKeys[] = {
    {VK_LBUTTON, "Left button"}, {VK_RBUTTON, "Right button"}, {VK_TAB, "Tab"},
    {VK_RETURN, "Return"},       {VK_SHIFT, "Shift"},          {VK_CONTROL, "Ctrl"},
    {VK_ESCAPE, "Escape"},       {VK_SPACE, "Space"},          {VK_LEFT, "Left"},
    {VK_UP, "Up"},               {VK_RIGHT, "Right"},          {VK_DOWN, "Down"},
};
// Keys that act on every screen whatever the battle's controls are.
constexpr int32_t kReservedKeys[] = {VK_F1, 'T', 'P'};
}  // namespace

bool BattleActionDown(BattleAction action)
{
    if (action < 0 || action >= kBattleActionCount) return false;
    return (sys::GetAsyncKeyState(BattleKeys[action]) & 0x8000) != 0;
}

void ResetBattleKeys() { std::copy(std::begin(kDefaultBattleKeys), std::end(kDefaultBattleKeys), BattleKeys); }

const char* BattleActionKey(BattleAction action) { return kActionNames[action].key; }
const char* BattleActionLabel(BattleAction action) { return kActionNames[action].label; }

const char* KeyName(int32_t vk)
{
    for (const NamedKey& k : kNamedKeys)
        if (k.vk == vk) return k.name;
    // Letters, digits and F1..F12 name themselves: "W", "7", "F5".
    static char own[kKeyCount][4];
    const bool letterOrDigit = (vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9');
    if (letterOrDigit) std::snprintf(own[vk], sizeof own[vk], "%c", static_cast<char>(vk));
    else if (vk >= VK_F1 && vk <= VK_F12) std::snprintf(own[vk], sizeof own[vk], "F%d", vk - VK_F1 + 1);
    else return nullptr;
    return own[vk];
}

bool BindableKey(int32_t vk)
{
    return KeyName(vk) != nullptr && std::find(std::begin(kReservedKeys), std::end(kReservedKeys), vk) ==
                                         std::end(kReservedKeys);
}

int BattleActionOfKey(const int32_t keys[kBattleActionCount], int32_t vk)
{
    for (int a = 0; a < kBattleActionCount; ++a)
        if (keys[a] == vk) return a;
    return -1;
}

bool BindBattleKey(int32_t keys[kBattleActionCount], BattleAction action, int32_t vk)
{
    if (!BindableKey(vk)) return false;
    const int holder = BattleActionOfKey(keys, vk);
    if (holder >= 0) keys[holder] = keys[action];
    keys[action] = vk;
    return true;
}
