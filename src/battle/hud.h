// The player's head-up display, drawn inside the scene pass's sprite batch:
// the crosshair by weapon (and the robot's lock box), the hit-point gauge,
// and a radar that points the player's facing up the screen, with blips for
// both sides and arrows on its rim for enemies out of range.  One variant
// for a tank player and one for a robot player.  The radar keeps its pixel
// size at every resolution; crosshair and gauge follow the back buffer.
#pragma once

#include <cstdint>

#include "battle/state.h"
#include "math/vecmath.h"
#include "platform/gfx.h"


// What a radar mark shows.
enum class RadarSprite { TankBlip, RobotBlip, RimArrow };

struct RadarMark {
    RadarSprite sprite;
    Mat4 transform;  // sprite transform in back-buffer pixels
    uint32_t colour;
};

// Every mark of one frame: own side, the player, the enemy.
struct RadarMarks {
    RadarMark marks[2 * kMaxUnits + 1];
    int count;
};

// The radii of one variant, in radar pixels.
struct RadarRadii {
    float ownSide, enemy, rim;
};
extern const RadarRadii kTankRadar;
extern const RadarRadii kRobotRadar;

// The heading of a pose in degrees: 0 along +z, positive toward +x.
float PoseHeading(const Mat4& pose);
// The radar marks for the player's side `playerSide` (0 tank, 1 robot) as
// the units stand now.
void BuildRadarMarks(int playerSide, RadarMarks* out);

// One sprite of an atlas: `src` with its centre at its middle (or `centre`)
// through `transform`.  Nothing is drawn without the texture.
void DrawAtlasSprite(gfx::Texture* tex, const gfx::Rect& src, const Mat4& transform, uint32_t colour,
                     const Vec3* centre = nullptr);

// The variant of PlayerSide; sets hudAlert.
void DrawHud();
void DrawTankHud();
void DrawRobotHud();
