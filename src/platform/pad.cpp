// Game controllers: the four slots the backends and scripts feed, and
// XInputGetState, which reads them.  Only slot 0, the game's pad, is
// recorded: a script's pad verbs drive that slot alone.  Nothing here
// allocates but the lines of a running recording: a stick sends hundreds of
// moves a second in the middle of a battle.
#include "platform/pad.h"

#include <string>

#include "platform/input_script.h"
#include "platform/system_backend.h"

namespace sys {
namespace {
struct Slot {
    bool connected;
    PadState state;
    uint16_t unseen;        // pressed since the last read
    uint16_t releaseLater;  // released before a read saw the press
};
Slot gSlots[PAD_SLOT_COUNT];

bool InRange(int slot) { return slot >= 0 && slot < static_cast<int>(PAD_SLOT_COUNT); }

int16_t* StickField(Gamepad& g, PadAxis axis)
{
    switch (axis) {
    case PadAxis::LeftX: return &g.thumbLX;
    case PadAxis::LeftY: return &g.thumbLY;
    case PadAxis::RightX: return &g.thumbRX;
    case PadAxis::RightY: return &g.thumbRY;
    default: return nullptr;
    }
}

int AxisValue(const Gamepad& g, PadAxis axis)
{
    switch (axis) {
    case PadAxis::LeftTrigger: return g.leftTrigger;
    case PadAxis::RightTrigger: return g.rightTrigger;
    default: return *StickField(const_cast<Gamepad&>(g), axis);
    }
}
}  // namespace

uint32_t XInputGetState(uint32_t slot, PadState* state)
{
    if (slot >= PAD_SLOT_COUNT || !gSlots[slot].connected) {
        *state = PadState{};
        return ERROR_DEVICE_NOT_CONNECTED;
    }
    *state = gSlots[slot].state;
    gSlots[slot].unseen = 0;
    return ERROR_SUCCESS;
}

namespace detail {
int FreePadSlot()
{
    for (int k = 0; k < static_cast<int>(PAD_SLOT_COUNT); ++k)
        if (!gSlots[k].connected) return k;
    return -1;
}

int PlugInPad()
{
    const int slot = FreePadSlot();
    if (slot >= 0) SetPadConnected(slot, true);
    return slot;
}

bool PadConnected(int slot) { return InRange(slot) && gSlots[slot].connected; }

void SetPadConnected(int slot, bool connected)
{
    if (!InRange(slot) || gSlots[slot].connected == connected) return;
    if (slot == 0) RecordEvent(connected ? "padconnect" : "paddisconnect");
    // In or out, the pad starts from nothing held; the packet number goes on.
    const uint32_t packet = gSlots[slot].state.packetNumber;
    gSlots[slot] = Slot{};
    gSlots[slot].connected = connected;
    gSlots[slot].state.packetNumber = packet + 1;
}

void SetPadButton(int slot, int bit, bool down)
{
    const char* name = PadButtonName(bit);
    if (!PadConnected(slot) || !name) return;
    Slot& s = gSlots[slot];
    const uint16_t b = static_cast<uint16_t>(bit);
    if (slot == 0 && Recording()) RecordEvent(std::string(down ? "paddown " : "padup ") + name);
    if (down) {
        s.state.gamepad.buttons |= b;
        s.unseen |= b;
        s.releaseLater &= static_cast<uint16_t>(~b);
    } else if (s.unseen & b) {
        s.releaseLater |= b;  // let go once a read has seen the press
    } else {
        s.state.gamepad.buttons &= static_cast<uint16_t>(~b);
    }
    ++s.state.packetNumber;
}

void SetPadAxis(int slot, int axis, int value)
{
    if (!PadConnected(slot) || axis < 0 || axis >= kPadAxisCount) return;
    const PadAxis a = static_cast<PadAxis>(axis);
    int lo, hi;
    PadAxisRange(a, &lo, &hi);
    value = value < lo ? lo : value > hi ? hi : value;
    Gamepad& g = gSlots[slot].state.gamepad;
    if (AxisValue(g, a) == value) return;
    if (slot == 0 && Recording()) {
        const std::string word = std::string("padaxis ") + PadAxisName(a);
        RecordAxisEvent(word, word + " " + std::to_string(value));
    }
    if (a == PadAxis::LeftTrigger) g.leftTrigger = static_cast<uint8_t>(value);
    else if (a == PadAxis::RightTrigger) g.rightTrigger = static_cast<uint8_t>(value);
    else *StickField(g, a) = static_cast<int16_t>(value);
    ++gSlots[slot].state.packetNumber;
}

void ReleasePadInputs()
{
    for (int k = 0; k < static_cast<int>(PAD_SLOT_COUNT); ++k) {
        Slot& s = gSlots[k];
        if (!s.connected) continue;
        for (uint16_t b = 1; b != 0; b = static_cast<uint16_t>(b << 1))
            if ((s.state.gamepad.buttons & b) && k == 0 && Recording())
                RecordEvent(std::string("padup ") + PadButtonName(b));
        for (int a = 0; a < kPadAxisCount; ++a) SetPadAxis(k, a, 0);
        s.state.gamepad.buttons = s.unseen = s.releaseLater = 0;
        ++s.state.packetNumber;
    }
}

void ResetPads()
{
    for (Slot& s : gSlots) s = Slot{};
}

void ApplyPadLateReleases()
{
    for (Slot& s : gSlots) {
        const uint16_t gone = static_cast<uint16_t>(s.releaseLater & ~s.unseen);
        if (!gone) continue;
        s.state.gamepad.buttons &= static_cast<uint16_t>(~gone);
        s.releaseLater &= static_cast<uint16_t>(~gone);
        ++s.state.packetNumber;
    }
}
}  // namespace detail

}  // namespace sys
