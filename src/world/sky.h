// The nine sky domes round the battlefield; the chosen one also sets the
// battle's fog colour.
#pragma once

#include <cstdint>

#include "assets/model.h"
#include "records/state.h"


// Fog colour of a sky id; false for an id outside 200..208.
bool SkyFogColour(int32_t skyId, uint32_t* argb);

void LoadSkies();
// Draws the dome of skyId (nothing outside 200..208) with fog off, then
// turns fog back on.
void DrawSky(int32_t skyId);
void ReleaseSkies();
