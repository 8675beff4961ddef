// Game controllers, read the way XInput reads them: up to four pads in
// slots 0..3, each polled for its whole state at once.  The first pad
// connected is player 0 (slot 0); a pad plugged in later takes the lowest
// free slot, and one pulled out reads as not connected from then on, having
// let go of everything it held.
//
// XInput's names, ours: XINPUT_STATE is PadState, XINPUT_GAMEPAD Gamepad
// (wButtons buttons, bLeftTrigger leftTrigger, sThumbLX thumbLX, ...),
// XINPUT_GAMEPAD_A PAD_A, XINPUT_GAMEPAD_LEFT_THUMB_DEADZONE
// PAD_LEFT_THUMB_DEADZONE, XUSER_MAX_COUNT PAD_SLOT_COUNT; the values are
// XInput's own.
//
// The window backend reads real pads (SDL2's game controllers, hot-plugged);
// an input script drives slot 0 with its pad verbs (input_script.h) under
// either backend, and a recording keeps slot 0's events.
#pragma once

#include <cstdint>

namespace sys {

// What XInputGetState returns: the state was read, or the slot holds no pad.
enum : uint32_t {
    ERROR_SUCCESS = 0,
    ERROR_DEVICE_NOT_CONNECTED = 1167,
};

constexpr uint32_t PAD_SLOT_COUNT = 4;

// Button bits, XInput's values.
enum : uint16_t {
    PAD_DPAD_UP = 0x0001,
    PAD_DPAD_DOWN = 0x0002,
    PAD_DPAD_LEFT = 0x0004,
    PAD_DPAD_RIGHT = 0x0008,
    PAD_START = 0x0010,
    PAD_BACK = 0x0020,
    PAD_LEFT_THUMB = 0x0040,
    PAD_RIGHT_THUMB = 0x0080,
    PAD_LEFT_SHOULDER = 0x0100,
    PAD_RIGHT_SHOULDER = 0x0200,
    PAD_A = 0x1000,
    PAD_B = 0x2000,
    PAD_X = 0x4000,
    PAD_Y = 0x8000,
};

// How far a stick must lean (either way, on one axis) and a trigger be
// pulled before it counts: XInput's recommended dead zones.
constexpr int16_t PAD_LEFT_THUMB_DEADZONE = 7849;
constexpr int16_t PAD_RIGHT_THUMB_DEADZONE = 8689;
constexpr uint8_t PAD_TRIGGER_THRESHOLD = 30;

// One pad's controls.  Sticks run -32768..32767, right and up positive (as
// XInput has them: pushing a stick away from the player is +Y); triggers
// 0 (released) to 255 (pulled all the way).
struct Gamepad {
    uint16_t buttons;
    uint8_t leftTrigger;
    uint8_t rightTrigger;
    int16_t thumbLX;
    int16_t thumbLY;
    int16_t thumbRX;
    int16_t thumbRY;
};

// A pad's state: the packet number changes whenever anything on the pad
// does (connection, a button, an axis), so two equal numbers mean nothing
// moved between the two reads.
struct PadState {
    uint32_t packetNumber;
    Gamepad gamepad;
};

// The pad in `slot` (0..3): ERROR_SUCCESS and its state, or
// ERROR_DEVICE_NOT_CONNECTED and a zeroed state.  A button pressed and
// released between two reads is seen held once, as a key is.
uint32_t XInputGetState(uint32_t slot, PadState* state);

}  // namespace sys
