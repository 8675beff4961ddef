#include "services/gamepad.h"

#include "services/controls.h"
#include "platform/system.h"

sys::Gamepad PadNow()
{
    sys::PadState s{};
    if (sys::XInputGetState(0, &s) != sys::ERROR_SUCCESS) return sys::Gamepad{};
    return s.gamepad;
}

bool PadButtonDown(uint16_t mask) { return (PadNow().buttons & mask) != 0; }

bool PadButtonPressed(uint16_t mask, int32_t* latch)
{
    if (!PadButtonDown(mask)) {
        *latch = 0;
        return false;
    }
    if (*latch) return false;
    *latch = 1;
    return true;
}

float PadStick(int16_t value, int16_t deadZone)
{
    // -32768 is one further than 32767: it counts as the end too.
    const int dz = deadZone, v = value < -32767 ? -32767 : value;
    if (v > dz) return static_cast<float>(v - dz) / static_cast<float>(32767 - dz);
    if (v < -dz) return -static_cast<float>(-v - dz) / static_cast<float>(32767 - dz);
    return 0.0f;
}

bool MenuPressDown() { return (sys::GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0 || PadButtonDown(sys::PAD_A); }

bool PadTriggerDown(uint8_t value) { return value > sys::PAD_TRIGGER_THRESHOLD; }

bool PadActionDown(BattleAction action)
{
    const sys::Gamepad g = PadNow();
    const int dz = sys::PAD_LEFT_THUMB_DEADZONE;
    switch (action) {
    case kActForward: return g.thumbLY > dz;
    case kActBackward: return g.thumbLY < -dz;
    case kActTurnLeft: return g.thumbLX < -dz;
    case kActTurnRight: return g.thumbLX > dz;
    case kActFire: return PadTriggerDown(g.rightTrigger);
    case kActSwitchWeapon:
        return PadTriggerDown(g.leftTrigger) || (g.buttons & (sys::PAD_LEFT_SHOULDER | sys::PAD_RIGHT_SHOULDER));
    case kActNextView: return (g.buttons & sys::PAD_Y) != 0;
    case kActScoreboard: return (g.buttons & sys::PAD_BACK) != 0;
    case kActPause: return (g.buttons & sys::PAD_START) != 0;
    default: return false;  // the turret and gun: the right stick, by PadAim
    }
}

bool ActionDown(BattleAction action) { return BattleActionDown(action) || PadActionDown(action); }

void PadAim(float* yaw, float* pitch)
{
    const sys::Gamepad g = PadNow();
    *yaw = PadStick(g.thumbRX, sys::PAD_RIGHT_THUMB_DEADZONE);
    *pitch = PadStick(g.thumbRY, sys::PAD_RIGHT_THUMB_DEADZONE);
}
