// Scenes and the message loop.  Every screen is a scene routine; the loop
// calls the current one (SceneProc) whenever no window message waits, and a
// scene hands over by storing another routine in SceneProc.
#pragma once

#include "services/state.h"

#include <cstdint>

#include "services/timing.h"



// Names a scene routine for reports and messages.
void NameScene(SceneFn scene, const char* name);
const char* SceneName(SceneFn scene);

// The 16 ms gate every stepping scene passes first: returns false at once
// when less than 16 ms (unsigned difference) have passed since *lastRun;
// otherwise moves *lastRun on by one step, starts a step and returns true.
// Steps keep to a fixed 16 ms schedule, so a scene that fell behind runs
// the steps it owes back to back.  A scene just entered, or one that has
// not stepped for over a second, starts the schedule afresh from now.
bool SceneTick(uint32_t* lastRun);

// Whether the step just started should draw: false while another step is
// already owed, so a slow renderer costs drawn frames rather than game
// time, but true at least every fourth step (the time still owed then is
// let go).  A scene that asks and skips its drawing is counted.
bool SceneDrawsThisStep();
// Steps that asked and were told not to draw.
uint32_t SkippedDraws();

// Runs until the quit message; returns its exit code.  With frameLimit > 0
// the loop posts quit once that many steps have run.
int RunMessageLoop(int64_t frameLimit);

// Steps run since the program started (a step is a scene call past its gate).
uint32_t StepsRun();
// How long the steps took, in milliseconds.
const TimingStats& StepTimes();
// Back to no steps, for a fresh run in the same process.
void ResetSteps();
