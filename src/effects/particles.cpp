#include "effects/particles.h"

#include <bit>
#include <cmath>

#include "assets/model.h"
#include "records/state.h"
#include "world/ground.h"
#include "platform/crt_rand.h"
#include "platform/gfx.h"


namespace {

// --- free and taken records -----------------------------------------------------------
// One bit a record (1 = taken) and the first word that may still hold a free
// record: a spawner takes the lowest free record without walking the taken
// ones before it, and a walk over the pool skips free stretches 64 at a time.
// The bits mirror the records' `active` fields.
template <int N>
struct Slots {
    static constexpr int kWords = (N + 63) / 64;
    uint64_t taken[kWords] = {};
    int lowWord = 0;  // no word below this one has a free record
    int live = 0;
    int peak = 0;

    // The bits of word w that stand for records (the last word is partial).
    static constexpr uint64_t RecordBits(int w)
    {
        return N - 64 * w >= 64 ? ~uint64_t{0} : (uint64_t{1} << (N - 64 * w)) - 1;
    }
    // Takes the lowest free record; -1 when the pool is full.
    int Take()
    {
        for (; lowWord < kWords; ++lowWord) {
            uint64_t free = ~taken[lowWord] & RecordBits(lowWord);
            if (free) {
                int bit = std::countr_zero(free);
                taken[lowWord] |= uint64_t{1} << bit;
                if (++live > peak) peak = live;
                return lowWord * 64 + bit;
            }
        }
        return -1;
    }
    void Free(int i)
    {
        taken[i >> 6] &= ~(uint64_t{1} << (i & 63));
        --live;
        if ((i >> 6) < lowWord) lowWord = i >> 6;
    }
    // Calls f(i) for every taken record in index order; f may free record i.
    template <class F>
    void ForEach(F&& f)
    {
        for (int w = 0; w < kWords; ++w) {
            for (uint64_t bits = taken[w]; bits; bits &= bits - 1) f(w * 64 + std::countr_zero(bits));
        }
    }
};

Slots<kPuffCapacity> gPuffSlots;
Slots<kBurstCapacity> gBurstSlots;
Slots<kBlastCapacity> gBlastSlots;
Slots<kDebrisCapacity> gDebrisSlots;
Slots<kTrailCapacity> gSmokeTrailSlots;
Slots<kTrailCapacity> gDustTrailSlots;
Slots<kDustCloudCapacity> gDustCloudSlots;
Slots<kSprayCapacity> gSpraySlots;
Slots<kGroundDustCapacity> gGroundDustSlots;
Slots<kIceCapacity> gIceSlots;
Slots<kGroundMarkCapacity> gGroundMarkSlots;

// Takes the lowest free record of a pool, cleared and marked active, or
// nullptr when the pool is full.
template <class Record, int N>
Record* TakeRecord(Record (&pool)[N], Slots<N>& slots)
{
    int i = slots.Take();
    if (i < 0) return nullptr;
    pool[i] = Record{};
    pool[i].active = 1;
    return &pool[i];
}

template <class Record, int N>
void FreeRecord(Record (&pool)[N], Slots<N>& slots, int i)
{
    pool[i].active = 0;
    slots.Free(i);
}

// --- effect textures ---------------------------------------------------------------------
gfx::Texture* gSmokeTexture = nullptr;       // 8 x 8 sheet
gfx::Texture* gFire1Texture = nullptr;       // 8 x 8 sheet
gfx::Texture* gFire2Texture = nullptr;       // 8 x 8 sheet
gfx::Texture* gGroundTexture = nullptr;
gfx::Texture* gTrailSmokeTexture = nullptr;
gfx::Texture* gGunSmokeTexture = nullptr;
gfx::Texture* gIceTexture = nullptr;
gfx::Texture* gSprayTexture = nullptr;

struct EffectTexture {
    gfx::Texture** texture;
    const char* path;
    uint32_t side;
};
const EffectTexture kEffectTextures[] = {
    {&gSmokeTexture, "LAND/Effect/Smoke.png", 256},
    {&gFire1Texture, "LAND/Effect/explode1.png", 512},
    {&gFire2Texture, "LAND/Effect/explode2.png", 512},
    {&gGroundTexture, "LAND/Effect/Land.png", 128},
    {&gTrailSmokeTexture, "LAND/Effect/MissileSmoke.png", 64},
    {&gGunSmokeTexture, "LAND/Effect/CannonSmoke.png", 64},
    {&gIceTexture, "LAND/Effect/Ice.png", 64},
    {&gSprayTexture, "LAND/Effect/Blood.png", 128},
};

// The sheet of a burst's or blast's look; an unknown look draws untextured.
gfx::Texture* LookTexture(int32_t look)
{
    switch (look) {
    case kLookSmoke: return gSmokeTexture;
    case kLookFire1: return gFire1Texture;
    case kLookFire2: return gFire2Texture;
    }
    return nullptr;
}

gfx::Texture* PuffTexture(PuffKind kind)
{
    switch (kind) {
    case PuffKind::TrailSmoke: return gTrailSmokeTexture;
    case PuffKind::GunSmoke: return gGunSmokeTexture;
    case PuffKind::Ice: return gIceTexture;
    }
    return nullptr;
}

// Sets the texture only when it changes, so a pool walks through its
// particles with one texture call per change of look.
struct TextureInUse {
    gfx::Texture* current = nullptr;
    bool set = false;
    void Use(gfx::Texture* t)
    {
        if (set && t == current) return;
        gfx::SetTexture(0, t);
        current = t;
        set = true;
    }
};

// --- random draws and flight ------------------------------------------------------------
// A fraction in [0, 1), a fresh draw at each use.
float Degrees(int32_t d) { return static_cast<float>(d) * kDegToRad; }

// Debris, ice, dust clouds and sprays fly by this arc with their own clock;
// their angles turn into radians by this coarser factor.
constexpr float kFlightDegToRad = 0.0174f;
Vec3 FlightStep(int32_t tilt, int32_t heading, float speed, float time)
{
    float t = static_cast<float>(tilt) * kFlightDegToRad, h = static_cast<float>(heading) * kFlightDegToRad;
    return {std::sin(t) * speed * time, std::cos(t) * speed * time - 5 * time * time,
            std::sin(t) * speed * std::sin(h) * time};
}

// (0, up, 0) turned about x, then about z, the angles drawn in that order.
Vec3 TurnedUp(float up, int32_t xDegrees, int32_t zDegrees)
{
    return Vec3TransformNormal({0, up, 0}, MatRotationX(Degrees(xDegrees)) * MatRotationZ(Degrees(zDegrees)));
}

// --- drawing -----------------------------------------------------------------------------
struct QuadVertex {
    float x, y, z;
    uint32_t colour;
    float u, v;
};
struct PointVertex {
    float x, y, z;
    uint32_t colour;
};
constexpr uint32_t kQuadFvf = gfx::FVF_XYZ | gfx::FVF_DIFFUSE | gfx::FVF_TEX1;
constexpr uint32_t kPointFvf = gfx::FVF_XYZ | gfx::FVF_DIFFUSE;
constexpr int kSheetSide = 8;      // a sheet is 8 x 8 frames
constexpr int kBurstLastFrame = 50;
constexpr int kBlastLastFrame = 28;
constexpr int32_t kGroundMarkFrames = 240;
constexpr float kGridStep = 50.0f;  // the terrain grid's lines
constexpr float kGridLines = 21.0f;
constexpr float kMarkLift = 0.01f;

uint32_t Argb(int32_t alpha, uint32_t rgb)
{
    uint32_t a = alpha < 0 ? 0u : alpha > 255 ? 255u : static_cast<uint32_t>(alpha);
    return a << 24 | (rgb & 0xFFFFFF);
}
uint32_t White(int32_t alpha) { return Argb(alpha, 0xFFFFFF); }

bool InView(Vec3 centre, float radius) { return IsSphereInView(BattleFrustum, centre, radius); }

// How far a sheet quad may reach from its centre on the screen, as a share
// of the screen's half height: a quarter of the screen's height in all.
constexpr float kMostQuadReach = 0.25f;

// A camera-facing quad of half-size `size` showing sheet frame `frame`.
// Near the camera it stops growing at kMostQuadReach, as point sprites stop
// at 64 pixels: a blast or a cloud of smoke at the lens fills no more of the
// screen, and costs no more to fill, than one a few lengths off.
void DrawSheetQuad(Vec3 at, float size, int32_t frame, uint32_t colour)
{
    const Mat4& view = ViewMatrix;
    const float depth = at.x * view.m[0][2] + at.y * view.m[1][2] + at.z * view.m[2][2] + view.m[3][2];
    const float most = kMostQuadReach * depth / ProjectionMatrix.m[1][1];
    if (size > most) size = std::fmax(most, 0.0f);
    gfx::SetTransform(gfx::TS_WORLD, CameraFacing * MatTranslation(at.x, at.y, at.z));
    int f = frame < 0 ? 0 : frame >= kSheetSide * kSheetSide ? kSheetSide * kSheetSide - 1 : frame;
    constexpr float step = 1.0f / kSheetSide;
    float u = static_cast<float>(f % kSheetSide) * step, v = static_cast<float>(f / kSheetSide) * step;
    const QuadVertex q[4] = {{-size, size, 0, colour, u, v},
                             {size, size, 0, colour, u + step, v},
                             {size, -size, 0, colour, u + step, v + step},
                             {-size, -size, 0, colour, u, v + step}};
    gfx::DrawPrimitiveUP(gfx::PT_TRIANGLEFAN, 2, q, sizeof q[0]);
}

// One point sprite of `size` at the world matrix's origin.
void DrawSprite(const Mat4& world, float size, uint32_t colour)
{
    gfx::SetTransform(gfx::TS_WORLD, world);
    gfx::SetRenderState(gfx::RS_POINTSIZE, gfx::FloatBits(size));
    const PointVertex p{0, 0, 0, colour};
    gfx::DrawPrimitiveUP(gfx::PT_POINTLIST, 1, &p, sizeof p);
}

void DrawSprite(Vec3 at, float size, uint32_t colour)
{
    DrawSprite(MatTranslation(at.x, at.y, at.z), size, colour);
}

// The terrain under (x, z); 0 off the field, where there is no ground.
float TerrainHeight(float x, float z)
{
    float h = 0.0f;
    if (!GroundHeight(x, -1.0e30f, z, &h)) h = 0.0f;
    return h;
}

// The terrain's grid lines (0, 50, ..., 1000) strictly inside (lo, hi):
// the first one's number and how many.
void GridLinesInside(float lo, float hi, int* first, int* count)
{
    // Clamped to the grid before turning into integers (also a NaN).
    float a = std::fmin(std::fmax(std::floor(lo / kGridStep) + 1, 0.0f), kGridLines);
    float b = std::fmax(std::fmin(std::ceil(hi / kGridStep) - 1, kGridLines - 1), -1.0f);
    *first = static_cast<int>(a);
    *count = b >= a ? static_cast<int>(b - a) + 1 : 0;
}

// --- the two blocks of the scene pass -----------------------------------------------------
// The quads draw with z writes off and no culling; these stay in force for
// the additive shots and border signs the scene pass draws next.
void BeginParticleQuads()
{
    gfx::SetRenderState(gfx::RS_ZWRITEENABLE, 0);
    gfx::SetRenderState(gfx::RS_CULLMODE, gfx::CULL_NONE);
}

// Point sprites scaled by distance, blended, unlit, without z writes.
void BeginParticleSprites()
{
    using namespace gfx;
    SetRenderState(RS_CULLMODE, CULL_CCW);
    SetRenderState(RS_POINTSPRITEENABLE, 1);
    SetRenderState(RS_POINTSCALEENABLE, 1);
    SetRenderState(RS_POINTSCALE_A, FloatBits(0.0f));
    SetRenderState(RS_POINTSCALE_B, FloatBits(0.0f));
    SetRenderState(RS_POINTSCALE_C, FloatBits(0.1f));
    SetRenderState(RS_ALPHABLENDENABLE, 1);
    SetRenderState(RS_LIGHTING, 0);
    SetRenderState(RS_ZWRITEENABLE, 0);
}

// Back to the scene's opaque drawing.
void EndParticleSprites()
{
    using namespace gfx;
    SetRenderState(RS_ALPHABLENDENABLE, 0);
    SetRenderState(RS_SRCBLEND, BLEND_SRCALPHA);
    SetRenderState(RS_DESTBLEND, BLEND_INVSRCALPHA);
    SetRenderState(RS_ZWRITEENABLE, 1);
    SetRenderState(RS_LIGHTING, 1);
    SetRenderState(RS_POINTSPRITEENABLE, 0);
    SetRenderState(RS_POINTSCALEENABLE, 0);
}

}  // namespace

// --- spawners ------------------------------------------------------------------------------
void SpawnPuff(float x, float y, float z, float size, int32_t alpha, PuffKind kind)
{
    Puff* p = TakeRecord(Puffs, gPuffSlots);
    if (!p) return;
    p->position = {x, y, z};
    p->alpha = alpha;
    p->size = size;
    p->kind = kind;
    switch (kind) {
    case PuffKind::TrailSmoke: {
        float vx = -0.008f + 0.016f * EyeRandFraction();
        float vy = -0.008f + 0.016f * EyeRandFraction();
        float vz = -0.008f + 0.016f * EyeRandFraction();
        p->velocity = {vx, vy, vz};
        break;
    }
    case PuffKind::GunSmoke: {
        float vx = -0.006f + 0.012f * EyeRandFraction();
        float vy = -0.006f + 0.012f * EyeRandFraction();
        float vz = -0.006f + 0.012f * EyeRandFraction();
        p->velocity = {vx, vy, vz};
        break;
    }
    case PuffKind::Ice: {
        float up = static_cast<float>(EyeRand() % 200 + 100) / 5000.0f;
        int32_t ax = EyeRand() % 360;
        int32_t az = EyeRand() % 360;
        p->velocity = TurnedUp(up, ax, az);
        break;
    }
    default: p->velocity = {0, 0, 0}; break;
    }
}

void SpawnBurst(float x, float y, float z, float size, int32_t alpha, int32_t look, int32_t count,
                int32_t motion)
{
    for (int32_t n = 0; n < count; ++n) {
        Burst* b = TakeRecord(Bursts, gBurstSlots);
        if (!b) return;
        b->position = {x, y, z};
        b->frame = 0;
        b->alpha = alpha;
        b->size = size;
        b->look = look;
        if (motion == 1) {
            float up = 0.085f + 0.08f * EyeRandFraction();
            int32_t ax = EyeRand() % 61 - 30;
            int32_t az = EyeRand() % 61 - 30;
            b->velocity = TurnedUp(up, ax, az);
        } else if (motion == 2) {
            float up = static_cast<float>(EyeRand() % 200 + 100) / 5000.0f;
            int32_t ax = EyeRand() % 21 - 10;
            int32_t az = EyeRand() % 21 - 10;
            b->velocity = TurnedUp(up, ax, az);
        }
    }
}

void SpawnBlast(float x, float y, float z, float size, int32_t alpha, int32_t look, int32_t count,
                int32_t motion)
{
    for (int32_t n = 0; n < count; ++n) {
        Burst* b = TakeRecord(Blasts, gBlastSlots);
        if (!b) return;
        b->position = {x, y, z};
        b->frame = 0;
        b->alpha = alpha;
        b->size = size;
        b->look = look;
        if (motion == 1) {
            b->velocity = {0, 0.045f, 0};
        } else if (motion == 2) {
            b->velocity = {0, 0.035f, 0};
        } else if (motion == 3) {
            float up = static_cast<float>(EyeRand() % 200 + 100) / 10000.0f;
            int32_t ax = EyeRand() % 101 - 50;
            int32_t az = EyeRand() % 101 - 50;
            b->velocity = TurnedUp(up, ax, az);
        }
    }
}

void SpawnDebris(float x, float y, float z, float size, int32_t life, int32_t trail, int32_t spread,
                 float speed, int32_t count)
{
    for (int32_t n = 0; n < count; ++n) {
        Debris* d = TakeRecord(DebrisPool, gDebrisSlots);
        if (!d) return;
        float dx = -0.6f + 1.2f * EyeRandFraction();
        float dy = -0.3f + 0.6f * EyeRandFraction();
        float dz = -0.6f + 1.2f * EyeRandFraction();
        d->position = {x + dx, y + dy, z + dz};
        float least = size / 3.5f;
        d->size = least + EyeRandFraction() * (2 * size - least);
        d->life = EyeRand() % 23 + life - 6;
        d->trail = trail;
        d->speed = speed;
        d->time = 0;
        d->tilt = EyeRand() % (2 * spread + 1) - spread;
        d->heading = EyeRand() % 360;
    }
}

void SpawnKillExplosion(Vec3 at, float blastBase, float blastSpread)
{
    float size = blastBase + blastSpread * EyeRandFraction();
    int32_t alpha = EyeRand() % 66 + 190;
    int32_t look = EyeRand() % 2 + 1;
    SpawnBlast(at.x, at.y, at.z, size, alpha, look, 1, 2);
    int32_t life = EyeRand() % 21 + 60;
    float speed = 1.6f + 0.4f * EyeRandFraction();
    int32_t count = EyeRand() % 3 + 3;
    SpawnDebris(at.x, at.y, at.z, 0.198f, life, kTrailSmoke, 60, speed, count);
    life = EyeRand() % 21 + 60;
    speed = 1.6f + 0.4f * EyeRandFraction();
    count = EyeRand() % 3 + 3;
    SpawnDebris(at.x, at.y, at.z, 0.216f, life, kTrailDust, 60, speed, count);
}

void SpawnTrail(float x, float y, float z, float size, int32_t trail)
{
    TrailParticle* t = trail == kTrailSmoke ? TakeRecord(SmokeTrails, gSmokeTrailSlots)
                       : trail == kTrailDust ? TakeRecord(DustTrails, gDustTrailSlots)
                                             : nullptr;
    if (!t) return;
    t->position = {x, y, z};
    t->size = size;
    t->alpha = EyeRand() % 141 + 20;
}

void SpawnDustCloud(float x, float y, float z, int32_t count)
{
    for (int32_t n = 0; n < count; ++n) {
        Fleck* f = TakeRecord(DustClouds, gDustCloudSlots);
        if (!f) return;
        float dx = -0.08f + 0.16f * EyeRandFraction();
        float dy = 0.12f + 0.28f * EyeRandFraction();
        f->position = {x + dx, y + dy, z};
        f->size = 0.03f + 0.03f * EyeRandFraction();
        f->time = 0;
        f->tilt = EyeRand() % 17 - 8;
        f->heading = EyeRand() % 360;
        f->speed = 0.86f + 0.44f * EyeRandFraction();
        uint32_t a = static_cast<uint32_t>(EyeRand() % 41 + 180);
        uint32_t r = static_cast<uint32_t>(EyeRand() % 44 + 41);
        uint32_t g = static_cast<uint32_t>(EyeRand() % 50 + 42);
        uint32_t b = static_cast<uint32_t>(EyeRand() % 51 + 40);
        f->colour = a << 24 | r << 16 | g << 8 | b;
    }
}

void SpawnSpray(float x, float y, float z, int32_t count)
{
    for (int32_t n = 0; n < count; ++n) {
        Fleck* f = TakeRecord(Sprays, gSpraySlots);
        if (!f) return;
        float dy = 0.13f + 0.16f * EyeRandFraction();
        f->position = {x, y + dy, z};
        f->size = 0.01f + 0.02f * EyeRandFraction();
        f->speed = 0.66f + 0.32f * EyeRandFraction();
        f->time = 0;
        f->tilt = EyeRand() % 153 - 76;
        f->heading = EyeRand() % 360;
        uint32_t a = static_cast<uint32_t>(EyeRand() % 86 + 160);
        uint32_t r = static_cast<uint32_t>(EyeRand() % 54 + 131);
        uint32_t g = static_cast<uint32_t>(EyeRand() % 50 + 132);
        uint32_t b = static_cast<uint32_t>(EyeRand() % 51 + 120);
        f->colour = a << 24 | r << 16 | g << 8 | b;
    }
}

void SpawnGroundDust(float x, float y, float z, int32_t alpha, int32_t count)
{
    for (int32_t n = 0; n < count; ++n) {
        GroundDust* g = TakeRecord(GroundDusts, gGroundDustSlots);
        if (!g) return;
        g->position = {x, y, z};
        g->alpha = alpha;
        g->size = 1 + 0.2f * EyeRandFraction();
        float up = static_cast<float>(EyeRand() % 200 + 100) / 2300.0f;
        int32_t ax = EyeRand() % 180 - 90;
        int32_t az = EyeRand() % 180 - 90;
        g->velocity = TurnedUp(up, ax, az);
    }
}

void SpawnIce(float x, float y, float z, float speed, int32_t count)
{
    for (int32_t n = 0; n < count; ++n) {
        IceShard* s = TakeRecord(IceShards, gIceSlots);
        if (!s) return;
        s->position = {x, y, z};
        s->speed = speed;
        s->time = 0;
        s->size = 0.28f + 0.25f * EyeRandFraction();
        s->tilt = EyeRand() % 73 - 36;
        s->heading = EyeRand() % 360;
    }
}

void SpawnGroundMark(float x, float, float z, float size)
{
    GroundMark* m = TakeRecord(GroundMarks, gGroundMarkSlots);
    if (!m) return;
    m->halfSize = size;
    m->age = 0;
    const float cx[4] = {x - size, x + size, x + size, x - size};
    const float cz[4] = {z - size, z - size, z + size, z + size};
    for (int c = 0; c < 4; ++c) m->corners[c] = {cx[c], TerrainHeight(cx[c], cz[c]), cz[c]};
    int first, acrossX, acrossZ;
    GridLinesInside(x - size, x + size, &first, &acrossX);
    GridLinesInside(z - size, z + size, &first, &acrossZ);
    m->pieces = acrossX && acrossZ ? kMarkCutBoth : acrossX ? kMarkCutAtX : acrossZ ? kMarkCutAtZ : kMarkWhole;
}

// A ground mark is cut into one quad per grid cell it covers, so it bends
// where the terrain does; each piece shows its share of the picture.
// Corners of the mark itself keep the heights taken when it was made;
// corners on a grid line read the terrain.
bool LayGroundMarkPiece(const GroundMark& m, int index, MarkPiece* piece)
{
    float x0 = m.corners[0].x, z0 = m.corners[0].z, x1 = m.corners[2].x, z1 = m.corners[2].z;
    int firstX, cutsX, firstZ, cutsZ;
    GridLinesInside(x0, x1, &firstX, &cutsX);
    GridLinesInside(z0, z1, &firstZ, &cutsZ);
    if (index < 0 || index >= (cutsX + 1) * (cutsZ + 1)) return false;
    int col = index % (cutsX + 1), row = index / (cutsX + 1);
    auto xAt = [&](int i) { return i == 0 ? x0 : i > cutsX ? x1 : kGridStep * static_cast<float>(firstX + i - 1); };
    auto zAt = [&](int j) { return j == 0 ? z0 : j > cutsZ ? z1 : kGridStep * static_cast<float>(firstZ + j - 1); };
    float spanX = x1 - x0, spanZ = z1 - z0;
    // Corners in fan order: (x0, z0), (x1, z0), (x1, z1), (x0, z1) of the piece.
    const int di[4] = {0, 1, 1, 0}, dj[4] = {0, 0, 1, 1};
    for (int c = 0; c < 4; ++c) {
        int i = col + di[c], j = row + dj[c];
        float x = xAt(i), z = zAt(j), y;
        bool edgeX = i == 0 || i > cutsX, edgeZ = j == 0 || j > cutsZ;
        if (edgeX && edgeZ) y = m.corners[i == 0 ? (j == 0 ? 0 : 3) : (j == 0 ? 1 : 2)].y;
        else y = TerrainHeight(x, z);
        piece->corners[c] = {x, y + kMarkLift, z};
        piece->u[c] = spanX > 0 ? (x - x0) / spanX : 0.0f;
        piece->v[c] = spanZ > 0 ? (z1 - z) / spanZ : 0.0f;
    }
    return true;
}

// --- per-frame routines ------------------------------------------------------------------
// Each pool has an update, run once a step in the effects phase, that moves
// its particles on and frees the spent ones, and a draw that only draws what
// the camera sees.  While the battle is paused most particles hold still;
// puffs drift, the sheet frames of bursts play and debris trails grow all
// the same.

void UpdateBlasts()
{
    gBlastSlots.ForEach([&](int i) {
        Burst& b = Blasts[i];
        if (!paused) {
            b.position += b.velocity;
            b.size *= 1.004f;
            if (b.alpha % 2 == 0) ++b.frame;
            b.alpha -= b.alpha > 200 ? 1 : 3;
        }
        if (b.frame > kBlastLastFrame) b.frame = kBlastLastFrame;
        if (b.alpha <= 0) FreeRecord(Blasts, gBlastSlots, i);
    });
}

void DrawBlasts()
{
    gfx::SetRenderState(gfx::RS_DESTBLEND, gfx::BLEND_ONE);
    gfx::SetFVF(kQuadFvf);
    TextureInUse texture;
    gBlastSlots.ForEach([&](int i) {
        const Burst& b = Blasts[i];
        if (!InView(b.position, 2 * b.size)) return;
        texture.Use(LookTexture(b.look));
        DrawSheetQuad(b.position, b.size, b.frame, White(b.alpha));
    });
    gfx::SetRenderState(gfx::RS_DESTBLEND, gfx::BLEND_INVSRCALPHA);
}

void UpdateDebris()
{
    gDebrisSlots.ForEach([&](int i) {
        Debris& d = DebrisPool[i];
        // The trail grows every frame, paused or not.
        SpawnTrail(d.position.x, d.position.y, d.position.z, d.size, d.trail);
        if (paused) return;
        d.velocity = FlightStep(d.tilt, d.heading, d.speed, d.time);
        d.position += d.velocity;
        d.time += 0.0086f;
        d.size *= 1.01f;
        d.life -= 1;
        if (d.position.y < -0.5f || d.life < 1) FreeRecord(DebrisPool, gDebrisSlots, i);
    });
}

void UpdateBursts()
{
    gBurstSlots.ForEach([&](int i) {
        Burst& b = Bursts[i];
        // The sheet plays on while paused.
        if (++b.frame > kBurstLastFrame) b.frame = kBurstLastFrame;
        if (paused) return;
        b.position += b.velocity;
        b.size *= 1.006f;
        b.alpha -= 1;
        if (b.alpha < 1) FreeRecord(Bursts, gBurstSlots, i);
    });
}

void DrawBursts()
{
    gfx::SetFVF(kQuadFvf);
    TextureInUse texture;
    gBurstSlots.ForEach([&](int i) {
        const Burst& b = Bursts[i];
        if (!InView(b.position, 2 * b.size)) return;
        texture.Use(LookTexture(b.look));
        DrawSheetQuad(b.position, b.size, b.frame, White(b.alpha));
    });
}

void UpdateIce()
{
    if (paused) return;
    gIceSlots.ForEach([&](int i) {
        IceShard& s = IceShards[i];
        s.velocity = FlightStep(s.tilt, s.heading, s.speed, s.time);
        s.position += s.velocity;
        s.time += 0.01f;
        if (s.position.y < -0.3f) FreeRecord(IceShards, gIceSlots, i);
    });
}

void DrawIce()
{
    gfx::SetFVF(kQuadFvf);
    gfx::SetTexture(0, gIceTexture);
    gIceSlots.ForEach([&](int i) {
        const IceShard& s = IceShards[i];
        if (!InView(s.position, 2 * s.size)) return;
        // A shard tumbles: a fresh random turn and glint every frame.
        int32_t yaw = EyeRand() % 360;
        int32_t pitch = EyeRand() % 360;
        int32_t roll = EyeRand() % 360;
        Mat4 turn = MatRotationYawPitchRoll(Degrees(yaw), Degrees(pitch), Degrees(roll));
        gfx::SetTransform(gfx::TS_WORLD, turn * CameraFacing * MatTranslation(s.position.x, s.position.y, s.position.z));
        const float corner[4][4] = {{-1, 1, 0, 0}, {1, 1, 1, 0}, {1, -1, 1, 1}, {-1, -1, 0, 1}};
        QuadVertex q[4];
        for (int k = 0; k < 4; ++k) {
            int32_t a = EyeRand() % 76 + 180;
            uint32_t r = static_cast<uint32_t>(EyeRand() % 33 + 223);
            uint32_t g = static_cast<uint32_t>(EyeRand() % 33 + 223);
            q[k] = {corner[k][0] * s.size, corner[k][1] * s.size, 0, Argb(a, r << 16 | g << 8 | 0xFF), corner[k][2],
                    corner[k][3]};
        }
        gfx::DrawPrimitiveUP(gfx::PT_TRIANGLEFAN, 2, q, sizeof q[0]);
    });
}

void UpdateGroundMarks()
{
    if (paused) return;
    gGroundMarkSlots.ForEach([&](int i) {
        if (++GroundMarks[i].age >= kGroundMarkFrames) FreeRecord(GroundMarks, gGroundMarkSlots, i);
    });
}

void DrawGroundMarks()
{
    gfx::SetFVF(kQuadFvf);
    gfx::SetTexture(0, gTrailSmokeTexture);
    gfx::SetTransform(gfx::TS_WORLD, MatIdentity());
    gGroundMarkSlots.ForEach([&](int i) {
        const GroundMark& m = GroundMarks[i];
        if (!InView(m.corners[0], m.halfSize)) return;
        MarkPiece piece;
        for (int k = 0; LayGroundMarkPiece(m, k, &piece); ++k) {
            QuadVertex q[4];
            for (int c = 0; c < 4; ++c)
                q[c] = {piece.corners[c].x, piece.corners[c].y, piece.corners[c].z, 0xFFFFFFFF, piece.u[c], piece.v[c]};
            gfx::DrawPrimitiveUP(gfx::PT_TRIANGLEFAN, 2, q, sizeof q[0]);
        }
    });
}

void UpdateGroundDust()
{
    if (paused) return;
    gGroundDustSlots.ForEach([&](int i) {
        GroundDust& g = GroundDusts[i];
        g.position += g.velocity;
        g.alpha -= EyeRand() % 2 + 1;
        g.size *= 1.01f;
        if (g.alpha <= 0) FreeRecord(GroundDusts, gGroundDustSlots, i);
    });
}

void DrawGroundDust()
{
    gfx::SetFVF(kPointFvf);
    gfx::SetTexture(0, gGroundTexture);
    gGroundDustSlots.ForEach([&](int i) {
        const GroundDust& g = GroundDusts[i];
        if (InView(g.position, 2 * g.size)) DrawSprite(g.position, g.size, White(g.alpha));
    });
}

void UpdatePuffs()
{
    // Puffs drift and fade even while the battle is paused.
    gPuffSlots.ForEach([&](int i) {
        Puff& p = Puffs[i];
        p.position += p.velocity;
        p.alpha -= 5;
        if (p.kind != PuffKind::Ice) p.size += 0.001f;
        if (p.alpha < 1) FreeRecord(Puffs, gPuffSlots, i);
    });
}

void DrawPuffs()
{
    gfx::SetFVF(kPointFvf);
    TextureInUse texture;
    gPuffSlots.ForEach([&](int i) {
        const Puff& p = Puffs[i];
        if (!InView(p.position, 2 * p.size)) return;
        texture.Use(PuffTexture(p.kind));
        Mat4 world = MatTranslation(p.position.x, p.position.y, p.position.z);
        // An ice puff is turned at random each frame; a sprite faces the
        // screen all the same.
        if (p.kind == PuffKind::Ice) world = MatRotationZ(Degrees(EyeRand() % 360)) * world;
        DrawSprite(world, p.size, White(p.alpha));
    });
}

namespace {
// Dust clouds and sprays: flecks of their own colour flying an arc.
template <int N>
void UpdateFlecks(Fleck (&pool)[N], Slots<N>& slots, float timeStep, float floor)
{
    if (paused) return;
    slots.ForEach([&](int i) {
        Fleck& f = pool[i];
        f.position += FlightStep(f.tilt, f.heading, f.speed, f.time);
        f.time += timeStep;
        if (f.position.y < floor) FreeRecord(pool, slots, i);
    });
}

template <int N>
void DrawFlecks(const Fleck (&pool)[N], Slots<N>& slots, gfx::Texture* texture)
{
    gfx::SetFVF(kPointFvf);
    gfx::SetTexture(0, texture);
    slots.ForEach([&](int i) {
        const Fleck& f = pool[i];
        if (InView(f.position, 2 * f.size)) DrawSprite(f.position, f.size, f.colour);
    });
}

// Trails only fade: smoke by 4 a frame, dust by 6.
template <int N>
void UpdateTrails(TrailParticle (&pool)[N], Slots<N>& slots, int32_t fade)
{
    if (paused) return;
    slots.ForEach([&](int i) {
        TrailParticle& t = pool[i];
        t.alpha -= fade;
        if (t.alpha <= 0) FreeRecord(pool, slots, i);
    });
}
}  // namespace

void UpdateDustClouds() { UpdateFlecks(DustClouds, gDustCloudSlots, 0.008f, -0.2f); }
void DrawDustClouds() { DrawFlecks(DustClouds, gDustCloudSlots, gGroundTexture); }
void UpdateSprays() { UpdateFlecks(Sprays, gSpraySlots, 0.012f, -0.1f); }
void DrawSprays() { DrawFlecks(Sprays, gSpraySlots, gSprayTexture); }
void UpdateSmokeTrails() { UpdateTrails(SmokeTrails, gSmokeTrailSlots, 4); }
void UpdateDustTrails() { UpdateTrails(DustTrails, gDustTrailSlots, 6); }

void DrawSmokeTrails()
{
    gfx::SetFVF(kPointFvf);
    gfx::SetTexture(0, gTrailSmokeTexture);
    gSmokeTrailSlots.ForEach([&](int i) {
        const TrailParticle& t = SmokeTrails[i];
        if (!InView(t.position, 2 * t.size)) return;
        // Smoke flickers: a fresh dark tint every frame.
        uint32_t r = static_cast<uint32_t>(EyeRand() % 61 + 30);
        uint32_t g = static_cast<uint32_t>(EyeRand() % 61 + 30);
        uint32_t b = static_cast<uint32_t>(EyeRand() % 71 + 20);
        DrawSprite(t.position, t.size, Argb(t.alpha, r << 16 | g << 8 | b));
    });
}

void DrawDustTrails()
{
    gfx::SetFVF(kPointFvf);
    gfx::SetTexture(0, gGroundTexture);
    gDustTrailSlots.ForEach([&](int i) {
        const TrailParticle& t = DustTrails[i];
        if (InView(t.position, 2 * t.size)) DrawSprite(t.position, t.size, White(t.alpha));
    });
}

void UpdateParticles()
{
    UpdateBlasts();
    UpdateDebris();
    UpdateBursts();
    UpdateIce();
    UpdateGroundMarks();
    UpdateGroundDust();
    UpdatePuffs();
    UpdateDustClouds();
    UpdateSmokeTrails();
    UpdateDustTrails();
    UpdateSprays();
}

void DrawParticleQuads()
{
    BeginParticleQuads();
    DrawBlasts();
    DrawBursts();
    DrawIce();
    DrawGroundMarks();
}

void DrawParticleSprites()
{
    using namespace gfx;
    BeginParticleSprites();
    SetRenderState(RS_POINTSIZE_MIN, FloatBits(0.01f));
    DrawGroundDust();
    DrawPuffs();
    SetRenderState(RS_POINTSIZE_MIN, FloatBits(1.5f));
    DrawDustClouds();
    SetRenderState(RS_POINTSIZE_MIN, FloatBits(0.5f));
    DrawSmokeTrails();
    SetRenderState(RS_DESTBLEND, BLEND_ONE);
    DrawDustTrails();
    SetRenderState(RS_SRCBLEND, BLEND_ONE);
    DrawSprays();
    EndParticleSprites();
}

// --- textures, clearing, counting ---------------------------------------------------------
void LoadEffectTextures()
{
    ReleaseEffectTextures();  // a texture still held is not loaded twice
    // A picture that cannot be read is named on stderr by LoadTexture; its
    // particles draw untextured.
    for (const EffectTexture& t : kEffectTextures) LoadTexture(t.texture, t.path, t.side, t.side, 0);
}

void ReleaseEffectTextures()
{
    for (const EffectTexture& t : kEffectTextures) gfx::Release(*t.texture);
}

void ClearParticlePools()
{
    auto clear = [](auto& pool, auto& slots) {
        for (auto& r : pool) r = {};
        slots = {};
    };
    clear(Puffs, gPuffSlots);
    clear(Bursts, gBurstSlots);
    clear(Blasts, gBlastSlots);
    clear(DebrisPool, gDebrisSlots);
    clear(SmokeTrails, gSmokeTrailSlots);
    clear(DustTrails, gDustTrailSlots);
    clear(DustClouds, gDustCloudSlots);
    clear(Sprays, gSpraySlots);
    clear(GroundDusts, gGroundDustSlots);
    clear(IceShards, gIceSlots);
    clear(GroundMarks, gGroundMarkSlots);
}

void CountParticlePools(PoolCount out[kParticlePoolCount])
{
    auto count = [&](int k, const char* name, const auto& slots) { out[k] = {name, slots.live, slots.peak}; };
    count(0, "puffs", gPuffSlots);
    count(1, "bursts", gBurstSlots);
    count(2, "blasts", gBlastSlots);
    count(3, "debris", gDebrisSlots);
    count(4, "smoke_trails", gSmokeTrailSlots);
    count(5, "dust_trails", gDustTrailSlots);
    count(6, "dust_clouds", gDustCloudSlots);
    count(7, "sprays", gSpraySlots);
    count(8, "ground_dust", gGroundDustSlots);
    count(9, "ice_shards", gIceSlots);
    count(10, "ground_marks", gGroundMarkSlots);
}
