// The battle's records: every piece of state the battle's systems, the unit
// kinds, the battle scene and the front end share, declared here and only
// here, under the names the design gives them.  Data only: the routines that
// act on it live in the layers above.  A new global needs a reason a record
// passed to the routines that use it would not serve.
#pragma once

#include <cstdint>

#include "assets/model.h"
#include "math/vecmath.h"
#include "platform/gfx.h"
#include "records/codes.h"
#include "records/kinds.h"
#include "records/particles.h"
#include "records/units.h"

// ============================ shared state ==============================================

// --- the settings the front end fills in ----------------------------------------------------
extern int32_t PlayerSide;    // 0 Earth (tank), 1 Mercury (robot)
extern int32_t TankTypeId;    // 1..9
extern int32_t RobotTypeId;   // 101..104
extern int32_t EarthCount;    // 1..16
extern int32_t MercuryCount;  // 1..16
extern int32_t BattleMinutes;
extern int32_t BattleClock;   // ticks left, kTicksPerMinute a minute
extern int32_t paused;
extern int32_t battleResult;  // 0 draw, 1 Earth won, 2 Mercury won
extern bool DemoPlayer;       // the computer drives the player's unit too (--demo)
// The settings the last battle started with.
extern BattleSettings LastBattle;

// --- the units ---------------------------------------------------------------------------
extern TankUnit Tanks[kMaxUnits];
extern RobotUnit Robots[kMaxUnits];
extern Handling TankHandling[kMaxUnits];
extern Handling RobotHandling[kMaxUnits];
extern ControlFlags TankControls[kMaxUnits];
extern ControlFlags RobotControls[kMaxUnits];
extern TankAiState TankAi[kMaxUnits];
extern RobotAiState RobotAi[kMaxUnits];
extern ShotCounts Shots;

// --- the camera and the frame's view --------------------------------------------------------
extern Vec3 CameraEye;
extern Vec3 CameraLookAt;
extern Vec3 CameraUp;
extern Mat4 CameraFacing;    // turns a quad toward the camera
extern int32_t viewedUnit;   // the unit of the player's side the camera follows
extern int32_t cameraShake;  // 0 none, 1 fire shake, 2 heavy shake
extern Crosshair crosshairKind;
extern int32_t lockOnShown;
extern Mat4 ViewMatrix;
extern Mat4 ProjectionMatrix;
extern Mat4 LightViewMatrix;
extern ViewFrustum BattleFrustum;  // what the camera sees this step
extern int32_t fps;                // steps in the last whole second

// --- the battlefield ---------------------------------------------------------------------------
extern int32_t MapId;
extern float HeightGrid[21][21];
extern Vec3 GroundNormals[21][21];
extern gfx::Texture* GroundTexture;
extern SimpleModel MapModel;
extern SimpleModel StageCollision;
extern Mat4 StageWorld;
extern int32_t SkyId;  // 200..208
extern SimpleModel Skies[9];

// --- battle textures and the battle effect ---------------------------------------------------
extern gfx::Texture* StopTexture;
extern gfx::Texture* CharTexture;
extern gfx::Texture* HpTexture;
extern gfx::Texture* RadarTexture;
extern gfx::Texture* BitTexture;
extern gfx::Effect* BattleEffect;

// --- the particle pools ---------------------------------------------------------------------
// Readable by tests and the report.  A record is taken and freed only by
// its spawner and its update routine (the pools keep a map of free records
// beside them).
extern Puff Puffs[kPuffCapacity];
extern Burst Bursts[kBurstCapacity];
extern Burst Blasts[kBlastCapacity];
extern Debris DebrisPool[kDebrisCapacity];
extern TrailParticle SmokeTrails[kTrailCapacity];
extern TrailParticle DustTrails[kTrailCapacity];
extern Fleck DustClouds[kDustCloudCapacity];
extern Fleck Sprays[kSprayCapacity];
extern GroundDust GroundDusts[kGroundDustCapacity];
extern IceShard IceShards[kIceCapacity];
extern GroundMark GroundMarks[kGroundMarkCapacity];

// =========================================================================================

// Every unit record zeroed with identity matrices and no kind, as before any battle.
void ResetUnitRecords();
