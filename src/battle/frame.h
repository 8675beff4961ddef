// The battle frame: one step of the battle in a fixed order (input, every
// update, listener and camera, the shadow-depth pass, the scene pass, the
// overlays, the frame counter and the battle clock), and its render passes.
#pragma once

#include <cstdint>

#include "assets/model.h"
#include "math/vecmath.h"
#include "battle/state.h"


void BattleFrame();
void DrawShadowCasters();
void DrawBattleScene();
// The ice look's colour, eye and light, as every frozen unit is drawn with
// (nothing without the battle effect).
void SetIceLook(const Vec3& eye);
// Back to a fresh battle's frame state (latches, counters).
void ResetBattleFrame();
// Adds the battle section to the run report.
void RegisterBattleReport();
