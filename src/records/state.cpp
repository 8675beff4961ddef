#include "records/state.h"

#include <cstring>

// --- the settings ---------------------------------------------------------------------------
int32_t PlayerSide = 0;
int32_t TankTypeId = 2;
int32_t RobotTypeId = 101;
int32_t EarthCount = 4;
int32_t MercuryCount = 4;
int32_t BattleMinutes = 30;
int32_t BattleClock = 30 * kTicksPerMinute;
int32_t paused = 0;
int32_t battleResult = 0;
bool DemoPlayer = false;
BattleSettings LastBattle = {};

// --- the units ---------------------------------------------------------------------------
TankUnit Tanks[kMaxUnits];
RobotUnit Robots[kMaxUnits];
Handling TankHandling[kMaxUnits];
Handling RobotHandling[kMaxUnits];
ControlFlags TankControls[kMaxUnits];
ControlFlags RobotControls[kMaxUnits];
TankAiState TankAi[kMaxUnits];
RobotAiState RobotAi[kMaxUnits];
ShotCounts Shots;

// --- the camera and the frame's view --------------------------------------------------------
Vec3 CameraEye{0, 0, 0};
Vec3 CameraLookAt{0, 0, 1};
Vec3 CameraUp{0, 1, 0};
Mat4 CameraFacing = MatIdentity();
int32_t viewedUnit = 0;
int32_t cameraShake = 0;
Crosshair crosshairKind = Crosshair::Cannon;
int32_t lockOnShown = 0;
Mat4 ViewMatrix = MatIdentity();
Mat4 ProjectionMatrix = MatIdentity();
Mat4 LightViewMatrix = MatIdentity();
ViewFrustum BattleFrustum{};
int32_t fps = 0;

// --- the battlefield ---------------------------------------------------------------------------
int32_t MapId = 500;  // the mountains
float HeightGrid[21][21];
Vec3 GroundNormals[21][21];
gfx::Texture* GroundTexture = nullptr;
SimpleModel MapModel;
SimpleModel StageCollision;
Mat4 StageWorld = MatIdentity();
int32_t SkyId = 203;
SimpleModel Skies[9];

// --- battle textures and the battle effect ---------------------------------------------------
gfx::Texture* StopTexture = nullptr;
gfx::Texture* CharTexture = nullptr;
gfx::Texture* HpTexture = nullptr;
gfx::Texture* RadarTexture = nullptr;
gfx::Texture* BitTexture = nullptr;
gfx::Effect* BattleEffect = nullptr;

// --- the particle pools ---------------------------------------------------------------------
Puff Puffs[kPuffCapacity];
Burst Bursts[kBurstCapacity];
Burst Blasts[kBlastCapacity];
Debris DebrisPool[kDebrisCapacity];
TrailParticle SmokeTrails[kTrailCapacity];
TrailParticle DustTrails[kTrailCapacity];
Fleck DustClouds[kDustCloudCapacity];
Fleck Sprays[kSprayCapacity];
GroundDust GroundDusts[kGroundDustCapacity];
IceShard IceShards[kIceCapacity];
GroundMark GroundMarks[kGroundMarkCapacity];

void ResetUnitRecords()
{
    std::memset(Tanks, 0, sizeof Tanks);
    std::memset(Robots, 0, sizeof Robots);
    for (TankUnit& t : Tanks) {
        t.world = t.turretWorld = t.gunWorld = t.mgWorld = MatIdentity();
        for (Projectile& p : t.shells) p.world = MatIdentity();
        for (Projectile& p : t.bullets) p.world = MatIdentity();
    }
    for (RobotUnit& r : Robots) {
        for (Mat4& m : r.partWorld) m = MatIdentity();
        for (Projectile& p : r.shells) p.world = MatIdentity();
        for (Projectile& p : r.missiles) p.world = MatIdentity();
    }
    std::memset(TankControls, 0, sizeof TankControls);
    std::memset(RobotControls, 0, sizeof RobotControls);
}

