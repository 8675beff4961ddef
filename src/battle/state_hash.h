// The battle's state hash: one 64-bit number for everything the battle's
// rules hold after a step (every unit's record and shots, the command
// flags, the computer's memory, the clock and the rules' generator).  What only the eye takes in is left out: particles, the
// camera, the viewed unit, a unit's distance from the camera.  Two runs
// that agree step by step on it played the same battle; the first step
// where they part is where one of them went astray.
#pragma once

#include <cstdint>
#include <string>

// The hash of the battle's state as it stands now.
uint64_t BattleStateHash();

// After each battle step: keeps the step's hash for the report and writes
// "STEP HASH" to the hash log when one is open.
void NoteBattleStep(uint32_t step);
// The hash the last battle step left (0 before any).
uint64_t LastStateHash();
// "0123456789abcdef": sixteen lower-case hex digits.
std::string StateHashText(uint64_t hash);

// Opens the hash log (--hash-log); false with the reason when the file
// cannot be written.  Closing flushes it; false when the write failed.
bool OpenStateHashLog(const std::string& path, std::string* error);
bool CloseStateHashLog(std::string* error);
