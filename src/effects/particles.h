// Particle effects: smoke, fire, explosions, dust, debris trails, ice and
// ground marks, each kind in a fixed pool of plain records (nothing is
// allocated after start).  Weapons and unit updates call a spawner; the
// battle step's effects phase moves every pool on, and its scene pass draws
// what the camera sees.  A full pool drops new particles without notice.  Pools are
// not cleared between battles: what is still alive carries on.
#pragma once

#include <cstdint>

#include "math/vecmath.h"
#include "records/particles.h"
#include "records/state.h"

// --- spawners: each fills the lowest free records until `count` are placed
// or the pool ends --------------------------------------------------------------------
void SpawnPuff(float x, float y, float z, float size, int32_t alpha, PuffKind kind);
void SpawnBurst(float x, float y, float z, float size, int32_t alpha, int32_t look, int32_t count,
                int32_t motion);
void SpawnBlast(float x, float y, float z, float size, int32_t alpha, int32_t look, int32_t count,
                int32_t motion);
void SpawnDebris(float x, float y, float z, float size, int32_t life, int32_t trail, int32_t spread,
                 float speed, int32_t count);
void SpawnDustCloud(float x, float y, float z, int32_t count);
void SpawnSpray(float x, float y, float z, int32_t count);
void SpawnGroundDust(float x, float y, float z, int32_t alpha, int32_t count);
void SpawnIce(float x, float y, float z, float speed, int32_t count);
void SpawnGroundMark(float x, float y, float z, float size);
// A unit blown up at `at`: a fireball of blastBase plus up to blastSpread,
// and two showers of debris, one trailing smoke and one dust.
void SpawnKillExplosion(Vec3 at, float blastBase, float blastSpread);
// One trail particle (trail kTrailSmoke or kTrailDust) at a point, with a
// random alpha: what each debris leaves every frame.
void SpawnTrail(float x, float y, float z, float size, int32_t trail);

// The index-th piece of a ground mark laid on the terrain: the mark cut
// along the grid lines it crosses (pieces in rows of constant z), corners in
// fan order raised 0.01 above the ground, with each piece's share of the
// picture.  False past the last piece.
struct MarkPiece {
    Vec3 corners[4];
    float u[4], v[4];
};
bool LayGroundMarkPiece(const GroundMark& mark, int index, MarkPiece* piece);

// --- per-step routines -------------------------------------------------------------------
// The effects phase of a battle step: every pool moves on in this order
// (blasts, debris, bursts, ice, ground marks, ground dust, puffs, dust
// clouds, smoke trails, dust trails, sprays) and frees its spent particles.
// While `paused` most hold still; puffs drift, the sheet frames of bursts
// play and debris trails grow all the same.
void UpdateParticles();
// Each pool on its own, for tests.
void UpdateBlasts();
void UpdateDebris();  // moves debris and emits their trails (also while paused)
void UpdateBursts();
void UpdateIce();
void UpdateGroundMarks();
void UpdateGroundDust();
void UpdatePuffs();
void UpdateDustClouds();
void UpdateSmokeTrails();
void UpdateDustTrails();
void UpdateSprays();

// --- draws, in the scene pass's order ----------------------------------------------------
// Each walks its pool in index order and draws the particles inside
// BattleFrustum as they stand; a draw changes no particle.
// Quads (z writes off, no culling): blasts draw additively and set the blend
// back themselves.
void DrawBlasts();
void DrawBursts();
void DrawIce();
void DrawGroundMarks();
// Point sprites: the caller has set up the point-sprite states.
void DrawGroundDust();
void DrawPuffs();
void DrawDustClouds();
void DrawSmokeTrails();
void DrawDustTrails();
void DrawSprays();

// The scene pass's two particle blocks with their render states.
// DrawParticleQuads sets z writes off and culling off and leaves them so:
// the additive shots and border signs after it draw under the same states.
// DrawParticleSprites sets culling CCW, point sprites and point scaling
// (A 0, B 0, C 0.1), alpha blending on, lighting off and z writes off, the
// minimum point size and blend factors of each pool, and ends with alpha
// blending off, SRCALPHA / INVSRCALPHA, z writes on, lighting on, point
// sprites and point scaling off (the minimum point size stays at 0.5).
// The quads expect alpha blending on and lighting off, as the scene pass
// leaves them after the sky; both draw with the frame's view, projection,
// BattleFrustum and CameraFacing.
void DrawParticleQuads();    // blasts, bursts, ice, ground marks
void DrawParticleSprites();  // ground dust, puffs, dust clouds, trails, sprays

// The eight effect textures, loaded at battle set-up and released with the
// battle's textures; drawing without them draws untextured.
void LoadEffectTextures();
void ReleaseEffectTextures();

// Every pool emptied: for a fresh process state in tests and benchmarks only
// (battles never clear the pools).
void ClearParticlePools();

// Live records and the most seen at once, per pool, for the run report.
struct PoolCount {
    const char* name;
    int live;
    int peak;
};
constexpr int kParticlePoolCount = 11;
void CountParticlePools(PoolCount out[kParticlePoolCount]);
