// The renderer's floor: one textured, fogged layer over the whole screen
// each frame and nothing else, so a benchmark can weigh a frame of the game
// in such layers on the machine it runs on.
#pragma once

// Loads the layer's picture; false when it does not load.
bool StartFloor();
// The floor's scene routine.
void FloorScene();
void StopFloor();
