// Scripted input: a text file of timed input events that drive the game
// without a person at the keyboard (tests, demos, benchmarks).
//
//   STEP VERB ARGS        one event a line; blank lines and # comments ignored
//   keydown KEY | keyup KEY | move X Y | buttondown left|right
//   buttonup left|right | quit
//   press KEY | release KEY    a key or button as the keyboard and mouse give
//                              it (a press is seen once even if released
//                              before the game looks); buttons are 0x01, 0x02
//
// A recorded session also carries, on lines of their own without a step,
//   seed N          the seed the run was started with
//   args FLAG ...   the command-line flags it was started with
//   options F W H S the display settings it ran on (screen mode, width,
//                   height, shadow map size)
//   keys K ...      the battle's keys it started with, a virtual-key code an
//                   action (the player may have rebound them)
//
// KEY is a letter, a digit, F1..F12, ESCAPE, TAB, SPACE, RETURN, LEFT, RIGHT,
// UP, DOWN or a virtual-key code 0xNN.  STEP counts scene steps from 1; an
// event applies just before the scene call of its step.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class ScriptVerb { KeyDown, KeyUp, Move, ButtonDown, ButtonUp, Quit, Press, Release };

struct ScriptEvent {
    uint32_t step;
    ScriptVerb verb;
    int a;  // key code, button code or x
    int b;  // y
};

struct InputScript {
    std::vector<ScriptEvent> events;  // in step order; file order within a step
    bool hasSeed = false;
    uint32_t seed = 0;
    std::vector<std::string> args;  // flags to start with, before the command line's own
    bool hasOptions = false;
    int32_t options[4] = {0, 0, 0, 0};
    std::vector<int32_t> keys;  // empty: the keys of the settings file
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
