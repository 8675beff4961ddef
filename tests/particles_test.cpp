// The particle pools on the null device: fading and freeing rules, sheet
// frames, the lowest-free-record choice, pause rules, debris trails, ground
// marks on the terrain grid, visibility, and the draw count of a full frame.
#include <gtest/gtest.h>
#include "platform/test_hooks.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <cstdlib>
#include <string>
#include <vector>

#include "battle/frame.h"
#include "records/state.h"
#include "units/robots/robot_kinds.h"
#include "units/tanks/tank_kinds.h"
#include "sides/robot_side.h"
#include "sides/tank_side.h"
#include "battle/setup.h"
#include "effects/particles.h"
#include "drawn.h"
#include "headless_device.h"
#include "world/ground.h"
#include "sides/player.h"
#include "platform/crt_rand.h"
#include "world/map.h"
#include "run_util.h"

namespace {

// The camera stands at (500, 5, 400) and looks along +z.
constexpr Vec3 kEye{500, 5, 400};
constexpr Vec3 kAhead{500, 5, 450};

class Particles : public HeadlessDevice {
protected:
    void SetUp() override
    {
        HeadlessDevice::SetUp();
        ASSERT_EQ(chdir(VARNOK_PACK), 0);
        ClearParticlePools();
        EyeSrand(4242);
        paused = 0;
        for (auto& row : HeightGrid)
            for (float& h : row) h = 0;
        LookFrom(kEye, {500, 5, 500});
        LoadEffectTextures();
    }
    void TearDown() override
    {
        ReleaseEffectTextures();
        ClearParticlePools();
        paused = 0;
        HeadlessDevice::TearDown();
    }
    static void LookFrom(Vec3 eye, Vec3 at)
    {
        CameraEye = eye;
        CameraLookAt = at;
        CameraUp = {0, 1, 0};
        BuildCameraFacing();
        ViewMatrix = MatLookAtLH(eye, at, {0, 1, 0});
        gfx::SetTransform(gfx::TS_VIEW, ViewMatrix);
        ProjectionMatrix = MatPerspectiveFovLH(1.0471976f, 1.3333334f, 0.1f, 12000.0f);
        gfx::SetTransform(gfx::TS_PROJECTION, ProjectionMatrix);
        BuildViewFrustum(&BattleFrustum, ViewMatrix, 60.0f, 1.3333334f, 1.0f, 320.0f);
    }
    // What one call of `draw` sent to the device.
    template <class F>
    static gfx::FrameStats Stats(F draw)
    {
        gfx::Present();
        draw();
        gfx::Present();
        return gfx::LastFrameStats();
    }
    static PoolCount Count(int pool)
    {
        PoolCount c[kParticlePoolCount];
        CountParticlePools(c);
        return c[pool];
    }
};

enum { kPuffs, kBursts, kBlasts, kDebris, kSmokeTrails, kDustTrails, kDustClouds, kSprays, kGroundDust, kIce, kMarks };

TEST_F(Particles, BlastAlphaLosesOneAbove200ThenThreeAndTheBlastIsFreedAtZeroOrBelow)
{
    struct Case {
        int32_t start;
        std::vector<int32_t> firstAlphas;  // after each of the first frames
        int framesAlive;                   // frames until it is freed
    };
    const Case cases[] = {
        {201, {200, 197, 194}, 68},  // 200 - 3 x 67 = -1
        {202, {201, 200, 197}, 69},
        {200, {197, 194, 191}, 67},
        {3, {}, 1},                  // exactly 0: freed
        {4, {1}, 2},                 // -2: freed
    };
    for (const Case& c : cases) {
        ClearParticlePools();
        SpawnBlast(kAhead.x, kAhead.y, kAhead.z, 1.0f, c.start, kLookFire1, 1, 0);
        ASSERT_EQ(Blasts[0].active, 1);
        int frames = 0;
        while (Blasts[0].active && frames < 1000) {
            UpdateBlasts();
            ++frames;
            if (Blasts[0].active && frames <= static_cast<int>(c.firstAlphas.size())) {
                EXPECT_EQ(Blasts[0].alpha, c.firstAlphas[frames - 1]) << "start " << c.start << " frame " << frames;
            }
        }
        EXPECT_EQ(frames, c.framesAlive) << "start " << c.start;
        EXPECT_EQ(Count(kBlasts).live, 0);
    }
}

TEST_F(Particles, SheetFramesStopAt50ForBurstsAnd28ForBlasts)
{
    SpawnBurst(kAhead.x, kAhead.y, kAhead.z, 1.0f, 255, kLookSmoke, 1, 0);
    SpawnBlast(kAhead.x, kAhead.y, kAhead.z, 1.0f, 255, kLookFire2, 1, 0);
    int burstMax = 0, blastMax = 0, burstFrameAt50 = -1;
    for (int f = 1; f <= 120; ++f) {
        UpdateBursts();
        UpdateBlasts();
        if (f == 50) burstFrameAt50 = Bursts[0].frame;
        burstMax = std::max(burstMax, Bursts[0].frame);
        if (Blasts[0].active) blastMax = std::max(blastMax, Blasts[0].frame);
    }
    EXPECT_EQ(burstFrameAt50, 50);  // one frame a frame until then
    EXPECT_EQ(burstMax, 50);
    EXPECT_EQ(Bursts[0].frame, 50);
    EXPECT_EQ(blastMax, 28);  // a blast's sheet steps on even alphas only
    EXPECT_EQ(Blasts[0].frame, 28);
}

TEST_F(Particles, SpawnTakesTheLowestFreeRecordsAndDropsWhatDoesNotFit)
{
    struct Case {
        std::vector<int> freed;  // records emptied out of a full pool
        int count;               // then spawned
        std::vector<int> placed;
    };
    const Case cases[] = {
        {{30, 10, 20}, 5, {10, 20, 30}},  // 3 free records: 3 placed, 2 dropped
        {{30, 10, 20}, 2, {10, 20}},      // the lowest first, the rest stays free
        {{0, 49}, 1, {0}},
        {{49}, 3, {49}},
    };
    for (const Case& c : cases) {
        ClearParticlePools();
        SpawnBlast(kAhead.x, kAhead.y, kAhead.z, 1.0f, 255, kLookSmoke, kBlastCapacity, 0);
        ASSERT_EQ(Count(kBlasts).live, kBlastCapacity);
        for (int i : c.freed) Blasts[i].alpha = 1;  // gone after one frame
        UpdateBlasts();
        ASSERT_EQ(Count(kBlasts).live, kBlastCapacity - static_cast<int>(c.freed.size()));
        SpawnBlast(kAhead.x, kAhead.y, kAhead.z, 2.5f, 99, kLookSmoke, c.count, 0);
        std::vector<int> placed;
        for (int i = 0; i < kBlastCapacity; ++i)
            if (Blasts[i].active && Blasts[i].alpha == 99) placed.push_back(i);
        EXPECT_EQ(placed, c.placed);
        EXPECT_EQ(Count(kBlasts).live,
                  kBlastCapacity - static_cast<int>(c.freed.size()) + static_cast<int>(c.placed.size()));
    }

    // In the 15000-record trail pool, across words of the free-record map:
    // freed records are found from the lowest up, a record freed below the
    // last one taken is found again, and a full pool drops the particle.
    ClearParticlePools();
    for (int i = 0; i < kTrailCapacity; ++i) SpawnTrail(1, 1, 1, 0.5f, kTrailSmoke);
    ASSERT_EQ(Count(kSmokeTrails).live, kTrailCapacity);
    paused = 0;
    for (int i : {14999, 64, 63, 7000}) SmokeTrails[i].alpha = 1;
    UpdateSmokeTrails();
    SpawnTrail(2, 2, 2, 0.5f, kTrailSmoke);
    SpawnTrail(3, 3, 3, 0.5f, kTrailSmoke);
    EXPECT_EQ(SmokeTrails[63].position.x, 2);
    EXPECT_EQ(SmokeTrails[64].position.x, 3);
    SmokeTrails[5].alpha = 1;
    UpdateSmokeTrails();
    for (float x : {4.0f, 5.0f, 6.0f, 7.0f}) SpawnTrail(x, 0, 0, 0.5f, kTrailSmoke);
    EXPECT_EQ(SmokeTrails[5].position.x, 4);
    EXPECT_EQ(SmokeTrails[7000].position.x, 5);
    EXPECT_EQ(SmokeTrails[14999].position.x, 6);
    EXPECT_EQ(Count(kSmokeTrails).live, kTrailCapacity);  // the fourth was dropped
}

TEST_F(Particles, DebrisLeaveATrailEveryFrameAlsoWhilePausedAtAFixedPoint)
{
    SpawnDebris(kAhead.x, 3, kAhead.z, 0.4f, 60, kTrailSmoke, 30, 1.5f, 1);
    SpawnDebris(kAhead.x, 3, kAhead.z, 0.4f, 60, kTrailDust, 30, 1.5f, 1);
    // Let them fly a few frames so they are moving when the pause comes.
    for (int f = 0; f < 3; ++f) UpdateDebris();
    EXPECT_EQ(Count(kSmokeTrails).live, 3);
    EXPECT_EQ(Count(kDustTrails).live, 3);

    paused = 1;
    const Debris before = DebrisPool[0];
    for (int f = 0; f < 10; ++f) UpdateDebris();
    EXPECT_EQ(Count(kSmokeTrails).live, 13);
    EXPECT_EQ(Count(kDustTrails).live, 13);
    for (int i = 3; i < 13; ++i) {
        EXPECT_EQ(SmokeTrails[i].position.x, before.position.x);
        EXPECT_EQ(SmokeTrails[i].position.y, before.position.y);
        EXPECT_EQ(SmokeTrails[i].position.z, before.position.z);
        EXPECT_EQ(SmokeTrails[i].size, before.size);
        EXPECT_GE(SmokeTrails[i].alpha, 20);
        EXPECT_LE(SmokeTrails[i].alpha, 160);
    }
    EXPECT_EQ(DebrisPool[0].position.y, before.position.y);
    EXPECT_EQ(DebrisPool[0].life, before.life);
    EXPECT_EQ(DebrisPool[0].time, before.time);

    paused = 0;
    UpdateDebris();
    EXPECT_NE(DebrisPool[0].position.y, before.position.y);
    EXPECT_EQ(DebrisPool[0].life, before.life - 1);
}

TEST_F(Particles, OnlyPuffsAndBurstSheetsAdvanceWhilePaused)
{
    SpawnPuff(kAhead.x, kAhead.y, kAhead.z, 0.5f, 200, PuffKind::TrailSmoke);
    SpawnBurst(kAhead.x, kAhead.y, kAhead.z, 1.0f, 200, kLookFire1, 1, 1);
    SpawnBlast(kAhead.x, kAhead.y, kAhead.z, 1.0f, 200, kLookFire1, 1, 1);
    SpawnGroundDust(kAhead.x, kAhead.y, kAhead.z, 200, 1);
    SpawnDustCloud(kAhead.x, kAhead.y, kAhead.z, 1);
    SpawnSpray(kAhead.x, kAhead.y, kAhead.z, 1);
    SpawnIce(kAhead.x, kAhead.y, kAhead.z, 1.0f, 1);
    SpawnTrail(kAhead.x, kAhead.y, kAhead.z, 0.3f, kTrailSmoke);
    SpawnTrail(kAhead.x, kAhead.y, kAhead.z, 0.3f, kTrailDust);
    SpawnGroundMark(kAhead.x, 0, kAhead.z, 2.0f);
    // One running frame so every flight is under way.
    UpdateParticles();

    paused = 1;
    const Puff puff = Puffs[0];
    const Burst burst = Bursts[0], blast = Blasts[0];
    const GroundDust dust = GroundDusts[0];
    const Fleck cloud = DustClouds[0], spray = Sprays[0];
    const IceShard ice = IceShards[0];
    const TrailParticle smoke = SmokeTrails[0], dustTrail = DustTrails[0];
    const GroundMark mark = GroundMarks[0];
    for (int f = 0; f < 5; ++f) {
        UpdateParticles();
        DrawParticleQuads();
        DrawParticleSprites();
    }
    // Puffs drift and fade.
    EXPECT_NE(Puffs[0].position.x, puff.position.x);
    EXPECT_EQ(Puffs[0].alpha, puff.alpha - 25);
    EXPECT_NEAR(Puffs[0].size, puff.size + 0.005f, 1e-6f);
    // A burst's sheet plays on; nothing else of it moves.
    EXPECT_EQ(Bursts[0].frame, burst.frame + 5);
    EXPECT_EQ(Bursts[0].position.y, burst.position.y);
    EXPECT_EQ(Bursts[0].alpha, burst.alpha);
    EXPECT_EQ(Bursts[0].size, burst.size);
    // Everything else holds.
    EXPECT_EQ(Blasts[0].frame, blast.frame);
    EXPECT_EQ(Blasts[0].position.y, blast.position.y);
    EXPECT_EQ(Blasts[0].alpha, blast.alpha);
    EXPECT_EQ(GroundDusts[0].position.y, dust.position.y);
    EXPECT_EQ(GroundDusts[0].alpha, dust.alpha);
    EXPECT_EQ(DustClouds[0].position.y, cloud.position.y);
    EXPECT_EQ(DustClouds[0].time, cloud.time);
    EXPECT_EQ(Sprays[0].position.y, spray.position.y);
    EXPECT_EQ(IceShards[0].position.y, ice.position.y);
    EXPECT_EQ(SmokeTrails[0].alpha, smoke.alpha);
    EXPECT_EQ(DustTrails[0].alpha, dustTrail.alpha);
    EXPECT_EQ(GroundMarks[0].age, mark.age);
    PoolCount counts[kParticlePoolCount];
    CountParticlePools(counts);
    for (const PoolCount& c : counts) EXPECT_EQ(c.live, std::string(c.name) == "debris" ? 0 : 1) << c.name;

    paused = 0;
    UpdateParticles();
    EXPECT_NE(Blasts[0].position.y, blast.position.y);
    EXPECT_NE(GroundDusts[0].position.y, dust.position.y);
    EXPECT_EQ(SmokeTrails[0].alpha, smoke.alpha - 4);
    EXPECT_EQ(DustTrails[0].alpha, dustTrail.alpha - 6);
    EXPECT_EQ(GroundMarks[0].age, mark.age + 1);
}

namespace {
// The least and most of `of` over the first `n` records of a pool.
template <class T, class F>
std::pair<float, float> Spread(const T* pool, int n, F of)
{
    float least = 1e9f, most = -1e9f;
    for (int i = 0; i < n; ++i) {
        least = std::min(least, of(pool[i]));
        most = std::max(most, of(pool[i]));
    }
    return {least, most};
}
// Over its whole range: within it, and reaching near both ends.
void ExpectCovers(std::pair<float, float> seen, float lo, float hi, const char* what)
{
    float slack = (hi - lo) * 0.1f + 1e-6f;
    EXPECT_GE(seen.first, lo - 1e-4f) << what;
    EXPECT_LE(seen.second, hi + 1e-4f) << what;
    EXPECT_LT(seen.first, lo + slack) << what;
    EXPECT_GT(seen.second, hi - slack) << what;
}
float LeanAcross(Vec3 v) { return std::atan2(-v.x, v.y) * kRadToDeg; }        // about z
float LeanAlong(Vec3 v) { return std::asin(v.z / Vec3Length(v)) * kRadToDeg; }  // about x
}  // namespace

TEST_F(Particles, SmokeDriftsAndBurstsLeanOverTheirWholeRanges)
{
    for (int i = 0; i < 300; ++i) SpawnPuff(0, 0, 0, 1, 255, PuffKind::TrailSmoke);
    ExpectCovers(Spread(Puffs, 300, [](const Puff& p) { return p.velocity.x; }), -0.008f, 0.008f, "smoke x");
    ExpectCovers(Spread(Puffs, 300, [](const Puff& p) { return p.velocity.y; }), -0.008f, 0.008f, "smoke y");
    ExpectCovers(Spread(Puffs, 300, [](const Puff& p) { return p.velocity.z; }), -0.008f, 0.008f, "smoke z");
    ClearParticlePools();
    for (int i = 0; i < 300; ++i) SpawnPuff(0, 0, 0, 1, 255, PuffKind::GunSmoke);
    ExpectCovers(Spread(Puffs, 300, [](const Puff& p) { return p.velocity.x; }), -0.006f, 0.006f, "gun smoke x");
    ExpectCovers(Spread(Puffs, 300, [](const Puff& p) { return p.velocity.y; }), -0.006f, 0.006f, "gun smoke y");
    ExpectCovers(Spread(Puffs, 300, [](const Puff& p) { return p.velocity.z; }), -0.006f, 0.006f, "gun smoke z");

    // Bursts and blasts go up, leaning each way by up to their motion's angle.
    struct Case { const char* what; void (*spawn)(); const Burst* pool; float lean; } cases[] = {
        {"burst, motion 1", [] { SpawnBurst(0, 0, 0, 1, 255, 0, 300, 1); }, Bursts, 30},
        {"burst, motion 2", [] { SpawnBurst(0, 0, 0, 1, 255, 0, 300, 2); }, Bursts, 10},
        {"blast, motion 3", [] { SpawnBlast(0, 0, 0, 1, 255, 0, 50, 3); }, Blasts, 50},
    };
    for (const Case& c : cases) {
        ClearParticlePools();
        c.spawn();
        int n = c.pool == Blasts ? 50 : 300;
        ExpectCovers(Spread(c.pool, n, [](const Burst& b) { return LeanAcross(b.velocity); }), -c.lean, c.lean, c.what);
        ExpectCovers(Spread(c.pool, n, [](const Burst& b) { return LeanAlong(b.velocity); }), -c.lean, c.lean, c.what);
    }
}

TEST_F(Particles, ABurstIsDrawnAsOpaqueAsItsAlphaAndNoMore)
{
    for (int alpha : {200, 0, -40, 400}) {
        ClearParticlePools();
        SpawnBurst(kAhead.x, kAhead.y, kAhead.z, 1.0f, alpha, kLookFire1, 1, 0);
        std::vector<gfx::DrawnCall> calls = DrawCalls([&] { DrawParticleQuads(); });
        ASSERT_EQ(calls.size(), 1u) << alpha;
        EXPECT_EQ(calls[0].firstColour, static_cast<uint32_t>(std::clamp(alpha, 0, 255)) << 24 | 0xFFFFFFu) << alpha;
    }
}

// A blast or a burst at the lens stops growing at a quarter of the
// screen's height, so close fire costs no more to fill than fire a few
// lengths off; further off every quad keeps its own size.
TEST_F(Particles, SheetQuadsNearTheCameraStopAtAQuarterOfTheScreen)
{
    const float tanHalf = std::tan(1.0471976f / 2);
    for (float ahead : {2.0f, 4.0f, 40.0f}) {
        ClearParticlePools();
        SpawnBlast(kEye.x, kEye.y, kEye.z + ahead, 2.5f, 200, kLookSmoke, 1, 0);
        SpawnBurst(kEye.x, kEye.y, kEye.z + ahead, 2.5f, 200, kLookFire1, 1, 0);
        std::vector<gfx::DrawnCall> calls = DrawCalls([&] { DrawParticleQuads(); });
        ASSERT_EQ(calls.size(), 2u) << ahead;
        for (const auto& c : calls) {
            // From the quad's top left corner to its bottom left: twice its half-size.
            const float half = PointDistance(c.firstVertex, c.lastVertex) / 2;
            const float screenShare = 2 * half / (2 * ahead * tanHalf);
            if (ahead < 10) {
                EXPECT_NEAR(screenShare, 0.25f, 1e-3) << ahead;
            } else {
                EXPECT_NEAR(half, 2.5f, 1e-3) << ahead;
            }
        }
    }
}

TEST_F(Particles, DustAndSprayFlecksTakeTheirOwnTints)
{
    // Each channel of a fleck's colour over its range: dust brown, spray
    // light grey.
    struct Case { const char* what; void (*spawn)(); const Fleck* pool; int lo[4], hi[4]; } cases[] = {
        {"dust", [] { SpawnDustCloud(0, 0, 0, 900); }, DustClouds, {180, 41, 42, 40}, {220, 84, 91, 90}},
        {"spray", [] { SpawnSpray(0, 0, 0, 900); }, Sprays, {160, 131, 132, 120}, {245, 184, 181, 170}},
    };
    for (const Case& c : cases) {
        ClearParticlePools();
        c.spawn();
        for (int channel = 0; channel < 4; ++channel) {
            int shift = 24 - 8 * channel;
            auto seen = Spread(c.pool, 900, [shift](const Fleck& f) { return static_cast<float>(f.colour >> shift & 0xFF); });
            ExpectCovers(seen, static_cast<float>(c.lo[channel]), static_cast<float>(c.hi[channel]), c.what);
        }
    }
}

TEST_F(Particles, BlastsAddLightBurstsBlendOverAndIceShardsStayFlat)
{
    SpawnBlast(kAhead.x, kAhead.y, kAhead.z, 1.0f, 200, kLookFire1, 1, 0);
    SpawnBurst(kAhead.x + 2, kAhead.y, kAhead.z, 1.0f, 200, kLookFire1, 1, 0);
    SpawnIce(kAhead.x - 2, kAhead.y, kAhead.z, 0.5f, 1);
    std::vector<gfx::DrawnCall> calls = DrawCalls([&] { DrawParticleQuads(); });
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].destBlend, static_cast<uint32_t>(gfx::BLEND_ONE));  // the blast
    EXPECT_EQ(calls[1].destBlend, static_cast<uint32_t>(gfx::BLEND_INVSRCALPHA));  // the burst
    // A shard is a flat square however it tumbles: its corner lies its
    // half-diagonal from its middle.
    EXPECT_NEAR(PointDistance(calls[2].firstVertex, IceShards[0].position), std::sqrt(2.0f) * IceShards[0].size, 1e-3);
}

TEST_F(Particles, EachSpritePoolDrawsWithItsPictureAndItsLeastSize)
{
    // Ground dust and puffs may shrink to almost nothing far away; dust
    // clouds keep 1.5 pixels and trails half a pixel.
    SpawnGroundDust(kAhead.x, kAhead.y, kAhead.z, 200, 1);
    SpawnPuff(kAhead.x, kAhead.y, kAhead.z, 1.0f, 200, PuffKind::GunSmoke);
    SpawnDustCloud(kAhead.x, kAhead.y, kAhead.z, 1);
    gfx::SetTexture(0, nullptr);
    std::vector<gfx::DrawnCall> calls = DrawCalls([&] { DrawParticleSprites(); });
    ASSERT_EQ(calls.size(), 3u);
    const float least[3] = {0.01f, 0.01f, 1.5f};
    for (int k = 0; k < 3; ++k) {
        EXPECT_NE(calls[k].texture, nullptr) << k;
        EXPECT_EQ(calls[k].type, gfx::PT_POINTLIST) << k;
        EXPECT_FLOAT_EQ(calls[k].pointSizeMin, least[k]) << k;
    }
}

TEST_F(Particles, SheetFramesStepThroughTheirPicturesAndSmokeFlickersDark)
{
    // A burst shows frame k of its 8 x 8 sheet: column k % 8, row k / 8.
    for (int frame : {0, 10, 27}) {
        ClearParticlePools();
        SpawnBurst(kAhead.x, kAhead.y, kAhead.z, 1.0f, 200, kLookFire1, 1, 0);
        Bursts[0].frame = frame;
        gfx::SetTexture(0, nullptr);
        std::vector<gfx::DrawnCall> calls = DrawCalls([&] { DrawParticleQuads(); });
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_NE(calls[0].texture, nullptr);
        EXPECT_FLOAT_EQ(calls[0].firstU, (frame % 8) / 8.0f) << frame;
        EXPECT_FLOAT_EQ(calls[0].firstV, (frame / 8) / 8.0f) << frame;
    }
    // A smoke trail is drawn in a dark tint that changes frame to frame.
    ClearParticlePools();
    SpawnTrail(kAhead.x, kAhead.y, kAhead.z, 1.0f, kTrailSmoke);
    std::set<uint32_t> tints;
    for (int k = 0; k < 40; ++k) {
        std::vector<gfx::DrawnCall> calls = DrawCalls([&] { DrawParticleSprites(); });
        ASSERT_EQ(calls.size(), 1u);
        uint32_t c = calls[0].firstColour;
        EXPECT_GE(c >> 16 & 0xFF, 30u);
        EXPECT_LE(c >> 16 & 0xFF, 90u);
        EXPECT_GE(c >> 8 & 0xFF, 30u);
        EXPECT_LE(c >> 8 & 0xFF, 90u);
        EXPECT_GE(c & 0xFF, 20u);
        EXPECT_LE(c & 0xFF, 90u);
        tints.insert(c);
    }
    EXPECT_GT(tints.size(), 20u);
}

TEST_F(Particles, FlecksAndIceShardsFlyOnEachStep)
{
    SpawnSpray(kAhead.x, kAhead.y, kAhead.z, 1);
    SpawnDustCloud(kAhead.x, kAhead.y, kAhead.z, 1);
    SpawnIce(kAhead.x, kAhead.y, kAhead.z, 1.0f, 1);
    const Vec3 spray = Sprays[0].position, dust = DustClouds[0].position, ice = IceShards[0].position;
    paused = 0;
    UpdateParticles();  // a fleck leaves on its second step
    UpdateParticles();
    EXPECT_GT(PointDistance(Sprays[0].position, spray), 0.001f);
    EXPECT_GT(PointDistance(DustClouds[0].position, dust), 0.001f);
    EXPECT_GT(PointDistance(IceShards[0].position, ice), 0.001f);
    // And they come down again: each falls below the height it reached.
    struct Track { const char* what; const Vec3* at; float top; bool fell; } tracks[] = {
        {"spray", &Sprays[0].position, spray.y, false},
        {"dust", &DustClouds[0].position, dust.y, false},
        {"ice", &IceShards[0].position, ice.y, false}};
    for (int k = 0; k < 60; ++k) {
        UpdateParticles();
        for (Track& t : tracks) {
            t.top = std::max(t.top, t.at->y);
            t.fell |= t.at->y < t.top - 0.01f;
        }
    }
    for (const Track& t : tracks) EXPECT_TRUE(t.fell) << t.what << " never came down";
}

TEST_F(Particles, AKillThrowsSixToTenPiecesThatLastAboutASecond)
{
    int least = 99, most = 0;
    float shortest = 1e9f, longest = 0;
    for (int k = 0; k < 60; ++k) {
        ClearParticlePools();
        SpawnKillExplosion({500, 10, 500}, 1.0f, 0.5f);
        int pieces = 0;
        for (const Debris& d : DebrisPool) {
            if (d.life <= 0) continue;
            ++pieces;
            shortest = std::min(shortest, static_cast<float>(d.life));
            longest = std::max(longest, static_cast<float>(d.life));
        }
        least = std::min(least, pieces);
        most = std::max(most, pieces);
    }
    EXPECT_EQ(least, 6);
    EXPECT_EQ(most, 10);
    // Each batch lives 60 to 80 frames, each piece 6 less to 16 more.
    ExpectCovers({shortest, longest}, 54, 96, "debris life");
    // Its life over, a piece is gone even high in the air.
    ClearParticlePools();
    SpawnKillExplosion({500, 300, 500}, 1.0f, 0.5f);
    ASSERT_GE(Count(kDebris).live, 6);
    for (int k = 0; k < 97; ++k) UpdateParticles();
    EXPECT_EQ(Count(kDebris).live, 0);
}

TEST_F(Particles, RandomSpeedsAreRealDivisions)
{
    struct Case {
        const char* what;
        void (*spawn)();
        float (*speed)(int i);
        int pool, count;
        float lo, hi;  // the speed range
    };
    const Case cases[] = {
        {"ice puff", [] { SpawnPuff(0, 0, 0, 1, 255, PuffKind::Ice); },
         [](int i) { return Vec3Length(Puffs[i].velocity); }, kPuffs, 300, 100 / 5000.0f, 299 / 5000.0f},
        {"burst, motion 2", [] { SpawnBurst(0, 0, 0, 1, 255, 0, 300, 2); },
         [](int i) { return Vec3Length(Bursts[i].velocity); }, kBursts, 300, 100 / 5000.0f, 299 / 5000.0f},
        {"blast, motion 3", [] { SpawnBlast(0, 0, 0, 1, 255, 0, 50, 3); },
         [](int i) { return Vec3Length(Blasts[i].velocity); }, kBlasts, 50, 100 / 10000.0f, 299 / 10000.0f},
        {"ground dust", [] { SpawnGroundDust(0, 0, 0, 255, 300); },
         [](int i) { return Vec3Length(GroundDusts[i].velocity); }, kGroundDust, 300, 100 / 2300.0f, 299 / 2300.0f},
    };
    for (const Case& c : cases) {
        ClearParticlePools();
        if (c.pool == kPuffs)
            for (int i = 0; i < c.count; ++i) c.spawn();
        else
            c.spawn();
        ASSERT_EQ(Count(c.pool).live, c.count) << c.what;
        float least = 1e9f, most = 0;
        for (int i = 0; i < c.count; ++i) {
            least = std::min(least, c.speed(i));
            most = std::max(most, c.speed(i));
        }
        EXPECT_GE(least, c.lo * 0.9999f) << c.what;
        EXPECT_LE(most, c.hi * 1.0001f) << c.what;
        // Spread over the range, not one value.
        EXPECT_LT(least, c.lo + (c.hi - c.lo) * 0.1f) << c.what;
        EXPECT_GT(most, c.hi - (c.hi - c.lo) * 0.1f) << c.what;
    }
}

TEST_F(Particles, DebrisScatterOverTheirWholeRangesAndNoFurther)
{
    // 300 pieces of size 0.7 and life 50, tilted up to 20 degrees.
    EyeSrand(77);
    SpawnDebris(100, 10, 200, 0.7f, 50, kTrailDust, 20, 1.2f, 300);
    struct Range {
        const char* what;
        float (*of)(const Debris&);
        float lo, hi;
    } ranges[] = {
        {"x", [](const Debris& d) { return d.position.x; }, 99.4f, 100.6f},
        {"y", [](const Debris& d) { return d.position.y; }, 9.7f, 10.3f},
        {"z", [](const Debris& d) { return d.position.z; }, 199.4f, 200.6f},
        {"size", [](const Debris& d) { return d.size; }, 0.2f, 1.4f},
        {"life", [](const Debris& d) { return static_cast<float>(d.life); }, 44, 66},
        {"tilt", [](const Debris& d) { return static_cast<float>(d.tilt); }, -20, 20},
        {"heading", [](const Debris& d) { return static_cast<float>(d.heading); }, 0, 359},
    };
    int live = 0;
    for (const Debris& d : DebrisPool) {
        if (d.life <= 0) continue;
        ++live;
        EXPECT_EQ(d.trail, kTrailDust);
        EXPECT_EQ(d.speed, 1.2f);
    }
    ASSERT_EQ(live, 300);
    for (const Range& r : ranges) {
        float least = 1e9f, most = -1e9f;
        for (int i = 0; i < 300; ++i) {
            least = std::min(least, r.of(DebrisPool[i]));
            most = std::max(most, r.of(DebrisPool[i]));
        }
        EXPECT_GE(least, r.lo - 1e-4f) << r.what;
        EXPECT_LE(most, r.hi + 1e-4f) << r.what;
        EXPECT_LT(least, r.lo + (r.hi - r.lo) * 0.1f) << r.what;
        EXPECT_GT(most, r.hi - (r.hi - r.lo) * 0.1f) << r.what;
    }
}

TEST_F(Particles, GroundMarksAreCutAlongTheGridLinesAndLieOnTheTerrain)
{
    // A terrain rising 10 a grid cell toward +x and 4 toward +z.
    for (int i = 0; i <= 20; ++i)
        for (int j = 0; j <= 20; ++j) HeightGrid[i][j] = 10.0f * i + 4.0f * j;
    auto terrain = [](float x, float z) {
        float h = -1;
        return GroundHeight(x, -1000, z, &h) ? h : 0.0f;
    };
    struct Case {
        float x, z, size;
        int32_t pieces;
        int quads;
    };
    const Case cases[] = {
        {125, 125, 5, kMarkWhole, 1},
        {100, 125, 5, kMarkCutAtX, 2},
        {125, 150, 5, kMarkCutAtZ, 2},
        {100, 150, 5, kMarkCutBoth, 4},
        {105, 125, 5, kMarkWhole, 1},  // a line on the mark's edge does not cut it
        {998, 510, 5, kMarkCutAtX, 2},  // across the east edge
        {2, 997, 5, kMarkCutBoth, 4},   // across the west and north edges
    };
    for (const Case& c : cases) {
        ClearParticlePools();
        SpawnGroundMark(c.x, 123, c.z, c.size);
        const GroundMark& m = GroundMarks[0];
        EXPECT_EQ(m.pieces, c.pieces) << c.x << ", " << c.z;
        // The corners read the terrain; off the field there is none and they lie at 0.
        for (const Vec3& corner : m.corners) EXPECT_FLOAT_EQ(corner.y, terrain(corner.x, corner.z));
        MarkPiece piece;
        int quads = 0;
        float area = 0;
        for (; LayGroundMarkPiece(m, quads, &piece); ++quads) {
            area += (piece.corners[2].x - piece.corners[0].x) * (piece.corners[2].z - piece.corners[0].z);
            for (int k = 0; k < 4; ++k) {
                const Vec3& v = piece.corners[k];
                EXPECT_FLOAT_EQ(v.y, terrain(v.x, v.z) + 0.01f) << c.x << ", " << c.z << " piece " << quads;
                // Each piece shows its share of the picture.
                EXPECT_FLOAT_EQ(piece.u[k], (v.x - (c.x - c.size)) / (2 * c.size));
                EXPECT_FLOAT_EQ(piece.v[k], ((c.z + c.size) - v.z) / (2 * c.size));
            }
            // No piece reaches across a grid line.
            auto cell = [](float lo, float hi) { return std::floor(lo / 50) == std::ceil(hi / 50) - 1; };
            EXPECT_TRUE(cell(piece.corners[0].x, piece.corners[2].x)) << c.x << ", " << c.z << " piece " << quads;
            EXPECT_TRUE(cell(piece.corners[0].z, piece.corners[2].z)) << c.x << ", " << c.z << " piece " << quads;
        }
        EXPECT_EQ(quads, c.quads) << c.x << ", " << c.z;
        EXPECT_FLOAT_EQ(area, 4 * c.size * c.size);
        // And the draw sends one quad a piece.
        float h = m.corners[0].y;
        LookFrom({c.x, h + 30, c.z - 30}, {c.x, h, c.z});
        EXPECT_EQ(Stats([] { DrawGroundMarks(); }).draws, static_cast<uint64_t>(c.quads));
    }
    // On a grid line the height is the terrain's there, not a corner's.
    ClearParticlePools();
    SpawnGroundMark(100, 0, 125, 5);
    MarkPiece left;
    ASSERT_TRUE(LayGroundMarkPiece(GroundMarks[0], 0, &left));
    EXPECT_EQ(left.corners[1].x, 100);
    EXPECT_FLOAT_EQ(left.corners[1].y, 10 * 2 + 4 * 2.4f + 0.01f);
}

TEST_F(Particles, GroundMarksFadeAfter240Frames)
{
    SpawnGroundMark(kAhead.x, 0, kAhead.z, 2);
    for (int f = 0; f < 239; ++f) UpdateGroundMarks();
    EXPECT_EQ(GroundMarks[0].active, 1);
    UpdateGroundMarks();
    EXPECT_EQ(GroundMarks[0].active, 0);
}

TEST_F(Particles, ParticlesOutsideTheViewAreNotDrawnButStillAdvanceAndDrawsChangeNothing)
{
    // The culling frustum reaches 320 ahead; a particle counts as seen while
    // a sphere of twice its size there touches the frustum.
    struct Case {
        Vec3 at;
        bool drawn;
    };
    const Case cases[] = {
        {{500, 5, 450}, true},
        {{500, 5, 380}, false},               // behind the camera
        {{500, 5, 400 + 320 + 1.9f}, true},   // past the far distance by less than 2 x size
        {{500, 5, 400 + 320 + 2.1f}, false},
    };
    for (const Case& c : cases) {
        ClearParticlePools();
        SpawnBurst(c.at.x, c.at.y, c.at.z, 1.0f, 100, kLookSmoke, 1, 0);
        EXPECT_EQ(Stats([] { DrawBursts(); }).draws, c.drawn ? 1u : 0u) << c.at.z;
        EXPECT_EQ(Bursts[0].alpha, 100) << "a draw changes nothing";
        UpdateBursts();
        EXPECT_EQ(Bursts[0].alpha, 99) << c.at.z;
    }
}

TEST_F(Particles, MissingEffectPicturesDrawUntextured)
{
    ReleaseEffectTextures();
    ASSERT_EQ(chdir(MakeTempDir().c_str()), 0);
    testing::internal::CaptureStderr();
    LoadEffectTextures();
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("LAND/Effect/Smoke.png"), std::string::npos) << said;
    SpawnBurst(kAhead.x, kAhead.y, kAhead.z, 1.0f, 100, kLookFire1, 1, 0);
    SpawnPuff(kAhead.x, kAhead.y, kAhead.z, 1.0f, 100, PuffKind::GunSmoke);
    EXPECT_EQ(Stats([] {
                  DrawParticleQuads();
                  DrawParticleSprites();
              }).draws,
              2u);
    ReleaseEffectTextures();
    ReleaseEffectTextures();  // twice is harmless
}

TEST_F(Particles, CountsTellLiveRecordsAndTheMostSeenAtOnce)
{
    SpawnBurst(kAhead.x, kAhead.y, kAhead.z, 1.0f, 1, kLookSmoke, 10, 0);
    SpawnBurst(kAhead.x, kAhead.y, kAhead.z, 1.0f, 255, kLookSmoke, 5, 0);
    EXPECT_EQ(Count(kBursts).live, 15);
    EXPECT_EQ(Count(kBursts).peak, 15);
    UpdateBursts();  // the ten with alpha 1 go
    EXPECT_EQ(Count(kBursts).live, 5);
    EXPECT_EQ(Count(kBursts).peak, 15);
    SpawnIce(kAhead.x, kAhead.y, kAhead.z, 1.0f, kIceCapacity + 20);
    EXPECT_EQ(Count(kIce).live, kIceCapacity);
    EXPECT_EQ(Count(kIce).peak, kIceCapacity);
    const char* names[kParticlePoolCount] = {"puffs", "bursts", "blasts", "debris", "smoke_trails", "dust_trails",
                                             "dust_clouds", "sprays", "ground_dust", "ice_shards", "ground_marks"};
    for (int k = 0; k < kParticlePoolCount; ++k) EXPECT_STREQ(Count(k).name, names[k]);
    // Pools are left as they are by a new battle's set-up; only the
    // process-state reset empties them.
    ClearParticlePools();
    EXPECT_EQ(Count(kBursts).live, 0);
    EXPECT_EQ(Count(kBursts).peak, 0);
}

TEST_F(Particles, AFullFrameReachesTheDeviceInFewDrawsAndRestoresTheSceneStates)
{
    gfx::SetRenderState(gfx::RS_ALPHABLENDENABLE, 1);
    gfx::SetRenderState(gfx::RS_LIGHTING, 0);
    // Every pool full, in front of the camera.
    const PuffKind kinds[3] = {PuffKind::Ice, PuffKind::GunSmoke, PuffKind::TrailSmoke};
    for (int i = 0; i < kPuffCapacity; ++i) SpawnPuff(kAhead.x, kAhead.y, kAhead.z, 0.4f, 200, kinds[i % 3]);
    for (int look = 0; look < 3; ++look)
        SpawnBurst(kAhead.x, kAhead.y, kAhead.z, 1, 255, look, kBurstCapacity / 3 + 1, 2);
    SpawnBlast(kAhead.x, kAhead.y, kAhead.z, 1, 255, kLookFire1, kBlastCapacity, 3);
    SpawnDebris(kAhead.x, 3, kAhead.z, 0.3f, 40, kTrailSmoke, 40, 1.0f, kDebrisCapacity);
    for (int i = 0; i < kTrailCapacity; ++i) {
        SpawnTrail(kAhead.x, kAhead.y, kAhead.z, 0.3f, kTrailSmoke);
        SpawnTrail(kAhead.x, kAhead.y, kAhead.z, 0.3f, kTrailDust);
    }
    SpawnDustCloud(kAhead.x, kAhead.y, kAhead.z, kDustCloudCapacity);
    SpawnSpray(kAhead.x, kAhead.y, kAhead.z, kSprayCapacity);
    SpawnGroundDust(kAhead.x, kAhead.y, kAhead.z, 255, kGroundDustCapacity);
    SpawnIce(kAhead.x, kAhead.y, kAhead.z, 1, kIceCapacity);
    // The marks within one grid cell: one quad each.
    for (int i = 0; i < kGroundMarkCapacity; ++i)
        SpawnGroundMark(505.0f + i % 10 * 2, 0, 455.0f + i / 10 * 2, 1);
    PoolCount counts[kParticlePoolCount];
    CountParticlePools(counts);
    uint64_t particles = 0;
    for (int k = 0; k < kParticlePoolCount; ++k)
        if (k != kDebris) particles += static_cast<uint64_t>(counts[k].live);

    gfx::FrameStats s = Stats([] {
        DrawParticleQuads();
        DrawParticleSprites();
    });
    EXPECT_EQ(s.draws, particles);  // all seen, one draw each
    EXPECT_LE(s.glDraws, 64u);
    using namespace gfx;
    EXPECT_EQ(GetRenderState(RS_ZWRITEENABLE), 1u);
    EXPECT_EQ(GetRenderState(RS_ALPHABLENDENABLE), 0u);
    EXPECT_EQ(GetRenderState(RS_SRCBLEND), static_cast<uint32_t>(BLEND_SRCALPHA));
    EXPECT_EQ(GetRenderState(RS_DESTBLEND), static_cast<uint32_t>(BLEND_INVSRCALPHA));
    EXPECT_EQ(GetRenderState(RS_LIGHTING), 1u);
    EXPECT_EQ(GetRenderState(RS_CULLMODE), static_cast<uint32_t>(CULL_CCW));
    EXPECT_EQ(GetRenderState(RS_POINTSPRITEENABLE), 0u);
    EXPECT_EQ(GetRenderState(RS_POINTSCALEENABLE), 0u);
}

TEST_F(Particles, TheSameSeedGivesTheSameParticles)
{
    auto run = [] {
        ClearParticlePools();
        EyeSrand(99);
        std::vector<float> trace;
        for (int f = 0; f < 100; ++f) {
            if (f % 10 == 0) {
                SpawnDebris(500, 3, 450, 0.4f, 50, f % 20 ? kTrailDust : kTrailSmoke, 40, 1.3f, 5);
                SpawnBurst(500, 3, 450, 1, 200, kLookFire2, 4, 1);
                SpawnGroundDust(500, 0, 450, 150, 6);
            }
            DrawParticleQuads();
            DrawParticleSprites();
        }
        PoolCount counts[kParticlePoolCount];
        CountParticlePools(counts);
        for (const PoolCount& c : counts) trace.push_back(static_cast<float>(c.live));
        for (int i = 0; i < 40; ++i) trace.push_back(DustTrails[i].position.y + SmokeTrails[i].position.x);
        return trace;
    };
    EXPECT_EQ(run(), run());
}

}  // namespace
