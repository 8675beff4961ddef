// The battlefield: a 20 x 20-cell ground from a height grid under one
// stretched texture, the scenery mesh placed over it, and (on the mountain
// map) the collision mesh the ray tests use.  The ground covers world x and
// z 0..1000, y up.
#pragma once

#include <cstdint>

#include "assets/model.h"
#include "math/vecmath.h"
#include "records/state.h"

constexpr int MapMountainous = 500;
constexpr int MapCity = 501;
constexpr int MapDrawBattle = 100;
constexpr int MapDrawPlain = 200;


// The ground's vertex: position, normal, diffuse colour, one texture pair.
struct GroundVertex {
    float x, y, z;
    float nx, ny, nz;
    uint32_t colour;
    float u, v;
};

void LoadMap();
void DrawMap(int mode);
// The hills and mountains with the device's current view, projection and
// fog: the pieces of the mesh in view, those wholly beyond the fog's end in
// the fog colour alone (without texture or light, which the fog hides).
// The same picture as the whole mesh drawn with its materials.
void DrawScenery();
void ReleaseMap();
// One upward unit normal per grid point from the heights round it.
void ComputeGroundNormals();
