// Scripted input: a text file of timed input events that drive the game
// without a person at the keyboard (tests, demos, benchmarks).
//
//   STEP VERB ARGS        one event a line; blank lines and # comments ignored
//   keydown KEY | keyup KEY | move X Y | buttondown left|right
//   buttonup left|right | quit
//
// KEY is a letter, a digit, F1..F12, ESCAPE, TAB, SPACE, RETURN, LEFT, RIGHT,
// UP, DOWN or a virtual-key code 0xNN.  STEP counts scene steps from 1; an
// event applies just before the scene call of its step.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class ScriptVerb { KeyDown, KeyUp, Move, ButtonDown, ButtonUp, Quit };

struct ScriptEvent {
    uint32_t step;
    ScriptVerb verb;
    int a;  // key code, button code or x
    int b;  // y
};

struct InputScript {
    std::vector<ScriptEvent> events;  // in step order; file order within a step
};

// Parses the text of a script.  On a malformed line returns false with
// *error = "NAME:LINE: what is wrong".
bool ParseInputScript(const std::string& text, const std::string& name, InputScript* out,
                      std::string* error);
bool LoadInputScript(const std::string& path, InputScript* out, std::string* error);
// True when the script ends the run: a quit line or F1 pressed.
bool ScriptQuits(const InputScript& script);
// Key name or 0xNN code to its virtual-key code; -1 when it names no key.
int KeyCodeFromName(const std::string& name);
