// Scripted input: a text file of timed input events that drive the game
// without a person at the keyboard (tests, demos, benchmarks).
//
//   STEP VERB ARGS        one event a line; blank lines and # comments ignored
//   keydown KEY | keyup KEY | move X Y | buttondown left|right
//   buttonup left|right | quit
//   press KEY | release KEY    a key or button as the keyboard and mouse give
//                              it (a press is seen once even if released
//                              before the game looks); buttons are 0x01, 0x02
//   padconnect | paddisconnect the script's game controller (player 0's, slot
//                              0 of platform/pad.h) plugged in / pulled out;
//                              pulled out it lets go of every button and axis
//   paddown BUTTON | padup BUTTON   a pad button pressed / released (a press
//                              is seen once even if released before the game
//                              looks)
//   padaxis AXIS VALUE         a stick axis to -32768..32767 (Y up positive,
//                              as XInput has it) or a trigger to 0..255
// Pad events need the pad connected: a paddown, padup or padaxis at a step
// where no padconnect stands before it (in step order) is refused.
//
// A recorded session also carries, on lines of their own without a step,
//   seed N          the seed the run was started with
//   args FLAG ...   the command-line flags it was started with
//   options F W H S the display settings it ran on (screen mode, width,
//                   height, shadow map size)
//   keys K ...      the battle's keys it started with, a virtual-key code an
//                   action (the player may have rebound them)
//   volume M E N    the master, effects and engine volume it played at
// Each is read here as numbers; what values the game takes is checked by
// the game, which names the line (argsLine, ...) when it refuses one.
//
// KEY is a letter, a digit, F1..F12, ESCAPE, TAB, SPACE, RETURN, LEFT, RIGHT,
// UP, DOWN or a virtual-key code 0xNN.  BUTTON is A, B, X, Y, START, BACK,
// LEFTSHOULDER, RIGHTSHOULDER, LEFTTHUMB, RIGHTTHUMB (the sticks pressed in),
// DPADUP, DPADDOWN, DPADLEFT or DPADRIGHT; AXIS is LEFTX, LEFTY, RIGHTX,
// RIGHTY, LEFTTRIGGER or RIGHTTRIGGER.  Names of keys, buttons and axes may
// be in either case.  STEP counts scene steps from 1; an event applies just
// before the scene call of its step.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class ScriptVerb {
    KeyDown, KeyUp, Move, ButtonDown, ButtonUp, Quit, Press, Release,
    PadConnect, PadDisconnect, PadDown, PadUp, PadAxis,
};

// A pad's axes as scripts and recordings name them.
enum class PadAxis { LeftX, LeftY, RightX, RightY, LeftTrigger, RightTrigger };
constexpr int kPadAxisCount = 6;

struct ScriptEvent {
    uint32_t step;
    ScriptVerb verb;
    int a;  // key code, button code, x, pad button bit or pad axis
    int b;  // y or the axis value
};

struct InputScript {
    std::vector<ScriptEvent> events;  // in step order; file order within a step
    bool hasSeed = false;
    uint32_t seed = 0;
    std::vector<std::string> args;  // flags to start with, before the command line's own
    bool hasOptions = false;
    int32_t options[4] = {0, 0, 0, 0};
    std::vector<int32_t> keys;  // empty: the keys of the settings file
    bool hasVolume = false;
    int32_t volume[3] = {0, 0, 0};
    // The line each header line was read from (0: none).
    int argsLine = 0, optionsLine = 0, keysLine = 0, volumeLine = 0;
};

// Parses the text of a script.  On a malformed line returns false with
// *error = "NAME:LINE: what is wrong".
bool ParseInputScript(const std::string& text, const std::string& name, InputScript* out,
                      std::string* error);
bool LoadInputScript(const std::string& path, InputScript* out, std::string* error);
// True when the script ends the run: a quit line or F1 pressed (keydown or
// press).
bool ScriptQuits(const InputScript& script);
// Key name or 0xNN code to its virtual-key code; -1 when it names no key.
int KeyCodeFromName(const std::string& name);
// Pad button name to its bit (sys::PAD_A, ...); -1 when it names none.
int PadButtonFromName(const std::string& name);
// The name of a pad button's bit; nullptr for anything but one known bit.
const char* PadButtonName(int bit);
// Pad axis name to its PadAxis; -1 when it names none.
int PadAxisFromName(const std::string& name);
const char* PadAxisName(PadAxis axis);
// The values an axis takes: -32768..32767 for a stick, 0..255 for a trigger.
void PadAxisRange(PadAxis axis, int* lo, int* hi);
