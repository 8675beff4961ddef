// The battle scene's own shared state: what the frame, the pause menu, the
// end of the battle and the head-up display keep between steps.  The
// battle's records (units, settings, camera) are below, in records/state.h.
#pragma once

#include <cstdint>

#include "records/state.h"
#include "services/scene.h"

// ============================ shared state ==============================================
extern int32_t scoreboardHeld;  // Tab is held: the scoreboard is drawn
extern int32_t pauseHover[3];   // 1 while the cursor is over pause entry 1, 2, 3
extern int32_t endCounter;      // steps of the end phase so far; 0 outside it
extern int32_t hudAlert;        // 1 while the player's unit is down
// The scene a battle hands over to when it ends or is left: the title's
// initialisation.  Set once at start-up.
extern SceneFn BattleExitScene;
// =========================================================================================
