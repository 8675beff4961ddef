#include "plates.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include "canvas.h"

PixelRect RegionPixels(Region r)
{
    switch (r) {
    case kPlate: return {0, 0, 256, 256};
    case kAccent: return {256, 0, 256, 256};
    case kJoint: return {0, 256, 256, 256};
    case kGlow: return {256, 256, 256, 128};
    case kStripe: return {256, 384, 256, 128};
    }
    return {0, 0, 256, 256};
}

void RegionUv(Region r, float s, float t, float* u, float* v)
{
    PixelRect p = RegionPixels(r);
    *u = (p.x + kMargin + Clamp01(s) * (p.w - 2 * kMargin)) / kAtlas;
    *v = (p.y + kMargin + Clamp01(t) * (p.h - 2 * kMargin)) / kAtlas;
}

void PlateUv(XMesh* m, const RegionOf& regionOf)
{
    std::map<std::array<float, 3>, std::vector<uint32_t>> faces;
    for (size_t i = 0; i < m->pos.size(); ++i)
        faces[{m->normal[i].x, m->normal[i].y, m->normal[i].z}].push_back(static_cast<uint32_t>(i));
    for (const auto& [key, corners] : faces) {
        Vec3 n = m->normal[corners[0]];
        Vec3 down = std::fabs(n.y) < 0.8f ? Vec3{0, -1, 0} : Vec3{0, 0, -1};
        down = Vec3Normalize(down - n * Vec3Dot(n, down));
        Vec3 right = Vec3Cross(down, n);
        float s0 = 1e9f, s1 = -1e9f, t0 = 1e9f, t1 = -1e9f;
        for (uint32_t i : corners) {
            float s = Vec3Dot(m->pos[i], right), t = Vec3Dot(m->pos[i], down);
            s0 = std::min(s0, s), s1 = std::max(s1, s), t0 = std::min(t0, t), t1 = std::max(t1, t);
        }
        Region r = regionOf(n);
        for (uint32_t i : corners) {
            float s = (Vec3Dot(m->pos[i], right) - s0) / std::max(s1 - s0, 1e-6f);
            float t = (Vec3Dot(m->pos[i], down) - t0) / std::max(t1 - t0, 1e-6f);
            RegionUv(r, s, t, &m->u[i], &m->v[i]);
        }
    }
}

void PlatedPart::Add(XMesh piece, const RegionOf& regionOf)
{
    PlateUv(&piece, regionOf);
    AddPiece(&mesh_, piece, 0);
}

void PlatedPart::Tube(Vec3 a, Vec3 b, float ra, float rb, int sides, Region side, Region cap)
{
    XMesh t = Cone(a, b, ra, rb, sides, true);
    XMesh plates = t;
    PlateUv(&plates, [cap](Vec3) { return cap; });
    Vec3 axis = Vec3Normalize(b - a);
    for (size_t i = 0; i < t.pos.size(); ++i) {
        if (std::fabs(Vec3Dot(t.normal[i], axis)) > 0.999f) t.u[i] = plates.u[i], t.v[i] = plates.v[i];
        else RegionUv(side, t.u[i], 1 - t.v[i], &t.u[i], &t.v[i]);
    }
    AddPiece(&mesh_, t, 0);
}

void Bounds(const XMesh& m, Vec3* lo, Vec3* hi)
{
    *lo = {1e9f, 1e9f, 1e9f};
    *hi = {-1e9f, -1e9f, -1e9f};
    for (Vec3 p : m.pos) {
        lo->x = std::min(lo->x, p.x), lo->y = std::min(lo->y, p.y), lo->z = std::min(lo->z, p.z);
        hi->x = std::max(hi->x, p.x), hi->y = std::max(hi->y, p.y), hi->z = std::max(hi->z, p.z);
    }
}

RegionOf UndersideJoint(Region top)
{
    return [top](Vec3 n) { return n.y < -0.6f ? kJoint : top; };
}

XMaterial ArmourMaterial(const std::string& texture, float power, RGBA specular)
{
    return {Rgb(0xF4F4F4), power, specular, Rgb(0), texture};
}

float EdgeDistance(const PixelRect& r, int x, int y, int* side)
{
    float px = x + 0.5f - r.x, py = y + 0.5f - r.y;
    float d[4] = {py - kMargin, px - kMargin, r.h - kMargin - py, r.w - kMargin - px};
    *side = 0;
    for (int i = 1; i < 4; ++i)
        if (d[i] < d[*side]) *side = i;
    return d[*side];
}

void PaintPlateBase(Canvas& c, Region region, const Palette& pal, const PlateFinish& f, uint32_t seed, bool worn)
{
    PixelRect r = RegionPixels(region);
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x) {
            int side;
            float d = EdgeDistance(r, x, y, &side);
            float lx = static_cast<float>(x - r.x), ly = static_cast<float>(y - r.y);
            float n = Fbm(lx / f.mottleX, ly / f.mottleY, 4, seed);
            RGBA col = Mix(pal.dark, pal.light, Clamp01(n * f.contrast - f.darken));
            col = Mix(col, pal.dark, Hash01(x, y, seed + 1) * f.speckle);
            float t = ly / r.h;
            float streaks = Fbm(lx / f.grimeX, ly / f.grimeY, 3, seed + 2);
            float grime = Smooth(f.grimeFrom, 1.0f, t) * (f.grimeBase + f.grimeVary * streaks);
            col = Mix(col, pal.grime, grime * f.grimeMix);
            bool nearEdge = worn && d < f.wearReach;
            if (nearEdge && Fbm(lx / f.wearScale, ly / f.wearScale, 3, seed + 3) > f.wearFrom + d / f.wearFade)
                col = f.bare;
            if (d < f.bevel) col = Mix(col, side < 2 ? pal.bevelLight : pal.bevelShade, f.bevelMix);
            if (d < f.line) col = pal.line;
            c.At(x, y) = col;
        }
}

void PaintJointRings(Canvas& c, const JointFinish& j)
{
    PixelRect r = RegionPixels(kJoint);
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x) {
            float lx = static_cast<float>(x - r.x), ly = static_cast<float>(y - r.y);
            float n = Fbm(lx / j.scale, ly / j.scale, 4, j.seed);
            RGBA col = Mix(j.dark, j.light, n);
            float rib = 0.5f + 0.5f * std::sin(ly / j.ribPeriod * 6.2831853f);
            col = Mix(col, j.rib, rib * rib * j.ribMix);
            if (std::fmod(ly, j.ribPeriod) < j.groove) col = Mix(col, j.grooveColour, 0.8f);
            if (j.stainMix > 0) {
                float stain = Smooth(j.stainFrom, j.stainTo, Fbm(lx / j.stainX, ly / j.stainY, 3, j.seed + 1));
                col = Mix(col, j.stain, stain * j.stainMix);
            }
            c.At(x, y) = Mix(col, j.speckle, Hash01(x, y, j.seed + 2) * 0.15f);
        }
}

RGBA GlowColour(const GlowRamp& g, float k)
{
    RGBA col = Mix(g.dark, g.mid, Clamp01(k * g.gain));
    col = Mix(col, g.bright, Clamp01(k * g.gain - g.brightFrom));
    return Mix(col, g.white, Clamp01(k * g.whiteGain - g.whiteFrom));
}

void PaintGlowPanel(Canvas& c, const GlowRamp& ramp, const std::function<float(int x, int y, float d)>& light)
{
    PixelRect r = RegionPixels(kGlow);
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x) {
            int side;
            float d = EdgeDistance(r, x, y, &side);
            c.At(x, y) = GlowColour(ramp, light(x, y, d));
        }
}

void PaintStripeBand(Canvas& c, float top, float bottom, RGBA line, const StripeBand& band,
                     const std::function<float(int y)>& rowShift)
{
    PixelRect r = RegionPixels(kStripe);
    for (int y = static_cast<int>(top); y < static_cast<int>(bottom); ++y)
        for (int x = r.x + kMargin + 6; x < r.x + r.w - kMargin - 6; ++x) {
            float phase = std::fmod((x - r.x) + rowShift(y) + 1000.0f, band.period);
            RGBA stripe = phase < band.period / 2 ? band.colour : band.gap;
            float wear = Fbm(x / band.wearScale, y / band.wearScale, 3, band.wearSeed);
            c.At(x, y) = Mix(stripe, c.At(x, y), wear > band.wearFrom ? 0.8f : 0.1f);
        }
    c.FillRect(r.x + kMargin + 6, top - 2, r.x + r.w - kMargin - 6, top, line);
    c.FillRect(r.x + kMargin + 6, bottom, r.x + r.w - kMargin - 6, bottom + 2, line);
}

namespace {
constexpr int kStreakWidth = 16;
constexpr int kGlowSize = 64;
const RGBA kKey = Rgb(0x000000);
}  // namespace

Canvas ShotStreak(int length, float rise, float fade, float spread, float cut, const GlowRamp& ramp)
{
    Canvas c(kStreakWidth, length, kKey);
    for (int y = 0; y < length; ++y)
        for (int x = 0; x < kStreakWidth; ++x) {
            float across = (x + 0.5f - kStreakWidth / 2.0f) / (kStreakWidth / 2.0f);
            float t = (y + 0.5f) / length;
            float along = Smooth(0.0f, rise, t) * Smooth(1.0f, fade, t);
            float k = std::exp(-across * across * spread) * along;
            c.At(x, y) = k < cut ? kKey : GlowColour(ramp, k);
        }
    return c;
}

Canvas ShotGlow(float spread, float cut, const GlowRamp& ramp,
                const std::function<float(float dx, float dy, float d)>& halo)
{
    Canvas c(kGlowSize, kGlowSize, kKey);
    const float half = kGlowSize / 2.0f;
    for (int y = 0; y < kGlowSize; ++y)
        for (int x = 0; x < kGlowSize; ++x) {
            float dx = (x + 0.5f - half) / half, dy = (y + 0.5f - half) / half;
            float d = std::hypot(dx, dy);
            float k = std::exp(-d * d * spread) * Clamp01((1 - d) * 4) + halo(dx, dy, d);
            c.At(x, y) = k < cut || d >= 1 ? kKey : GlowColour(ramp, k);
        }
    return c;
}
