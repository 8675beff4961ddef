// What every unit kind draws the same way: a part placed by its own matrix,
// and the icy look of a unit frozen by the ice weapon.
#pragma once

#include "assets/model.h"
#include "math/vecmath.h"

struct PlacedPart {
    ModelPart* part;
    Mat4 world;
};

// The parts through the battle's ice effect at `distance` from the camera,
// unfogged and opaque as the effect draws them; fog and blending are back on
// after.  The caller has checked that the effect exists.
void DrawFrozenParts(const PlacedPart* parts, int count, float distance);
