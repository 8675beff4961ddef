// Particle pictures and the six sounds.
//
// Sheets hold 8 x 8 frames, frame f at column f mod 8 and row f div 8.
// Particles are tinted by their vertex colour, so most pictures are white
// shapes whose alpha carries the form.
#include <cmath>

#include "pack.h"

namespace {
const float kPi = 3.14159265f;

// A billowing puff in a cell: soft edge, lumpy inside.
void Puff(Canvas& c, int ox, int oy, int size, float radius, float density, RGBA inner, RGBA outer, uint32_t seed)
{
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float dx = (x + 0.5f) / size * 2 - 1, dy = (y + 0.5f) / size * 2 - 1;
            float d = std::hypot(dx, dy);
            float lump = Fbm(dx * 3 + seed % 17, dy * 3 + seed % 29, 5, seed);
            float edge = radius * (0.75f + 0.5f * lump);
            float a = Clamp01((edge - d) / (edge * 0.45f)) * density * (0.7f + 0.5f * lump);
            RGBA col = Mix(inner, outer, Clamp01(d / std::max(edge, 0.01f)));
            col.a = Clamp01(a);
            c.At(ox + x, oy + y) = col;
        }
}

Canvas SmokeSheet()
{
    Canvas c(256, 256);
    for (int f = 0; f < 64; ++f) {
        float t = f / 63.0f;
        Puff(c, (f % 8) * 32, (f / 8) * 32, 32, 0.35f + 0.55f * t, 1.0f - 0.85f * t, Rgb(0xB4B0AA), Rgb(0x6E6A66),
             500 + f / 4);
    }
    return c;
}

// An explosion over 64 frames: a white-hot core that swells, turns orange,
// then to dark smoke that thins away.
Canvas ExplosionSheet(uint32_t seed, uint32_t hot, uint32_t fire)
{
    const int cell = 64;
    Canvas c(512, 512);
    for (int f = 0; f < 64; ++f) {
        float t = f / 63.0f;
        int ox = (f % 8) * cell, oy = (f / 8) * cell;
        float radius = 0.3f + 0.65f * std::sqrt(t);
        float heat = Clamp01(1 - t * 1.8f);
        for (int y = 0; y < cell; ++y)
            for (int x = 0; x < cell; ++x) {
                float dx = (x + 0.5f) / cell * 2 - 1, dy = (y + 0.5f) / cell * 2 - 1;
                float d = std::hypot(dx, dy);
                float lump = Fbm(dx * 3.5f + t * 2, dy * 3.5f - t * 3, 5, seed);
                float edge = radius * (0.7f + 0.55f * lump);
                float inside = Clamp01((edge - d) / (edge * 0.35f));
                float core = Clamp01(1 - d / (edge * (0.3f + 0.5f * heat)));
                RGBA smoke = Mix(Rgb(0x2A2622), Rgb(0x5C5650), lump);
                RGBA flame = Mix(Rgb(fire), Rgb(hot), core);
                RGBA col = Mix(smoke, flame, Clamp01(heat * 1.4f * (0.6f + 0.6f * lump)));
                col.a = inside * Clamp01(1.15f - t) * (0.75f + 0.35f * lump);
                c.At(ox + x, oy + y) = col;
            }
        // Sparks thrown out in the first frames.
        if (t < 0.35f)
            for (int s = 0; s < 10; ++s) {
                float ang = Hash01(s, 1, seed) * 2 * kPi, dist = (0.2f + 0.7f * t / 0.35f) * (0.6f + 0.4f * Hash01(s, 2, seed));
                c.Disc(ox + cell / 2 + std::cos(ang) * dist * cell / 2, oy + cell / 2 + std::sin(ang) * dist * cell / 2, 1.3f,
                       Rgb(hot, 1 - t / 0.35f), 1);
            }
    }
    return c;
}

Canvas SoftSprite(int size, float radius, float lumpiness, uint32_t seed)
{
    Canvas c(size, size);
    Puff(c, 0, 0, size, radius, 1.0f, Rgb(0xFFFFFF), Rgb(0xE8E8E8), seed);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float dx = (x + 0.5f) / size * 2 - 1, dy = (y + 0.5f) / size * 2 - 1;
            float soft = Clamp01(1 - std::hypot(dx, dy) / radius);
            RGBA& p = c.At(x, y);
            p.a = Clamp01(p.a * lumpiness + soft * soft * (1 - lumpiness));
        }
    return c;
}

// A bright crystal: a few sharp spikes from the centre.
Canvas IceSprite()
{
    Canvas c(64, 64);
    for (int s = 0; s < 6; ++s) {
        float a = s * kPi / 3 + 0.2f, len = 26 - (s % 2) * 9;
        float ex = 32 + std::cos(a) * len, ey = 32 + std::sin(a) * len;
        float px = std::cos(a + kPi / 2) * 4.5f, py = std::sin(a + kPi / 2) * 4.5f;
        c.Triangle(32 + px, 32 + py, ex, ey, 32 - px, 32 - py, Rgb(0xD8F4FF, 0.9f));
        c.Line(32, 32, ex, ey, 1.5f, Rgb(0xFFFFFF));
    }
    c.Disc(32, 32, 7, Rgb(0xFFFFFF), 4);
    return c;
}

// Droplets flung from a hit: white, tinted by the particle's colour.
Canvas SpraySprite()
{
    Canvas c(128, 128);
    c.Disc(64, 64, 22, Rgb(0xFFFFFF, 0.95f), 10);
    for (int i = 0; i < 26; ++i) {
        float a = Hash01(i, 1, 131) * 2 * kPi, d = 18 + Hash01(i, 2, 131) * 40;
        float r = 2 + Hash01(i, 3, 131) * 6;
        c.Disc(64 + std::cos(a) * d, 64 + std::sin(a) * d, r, Rgb(0xFFFFFF, 0.9f), 2);
    }
    return c;
}

// --- sounds ---------------------------------------------------------------------
const uint32_t kRate = 22050;

struct Noise {
    uint32_t state;
    float Next()
    {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) / 8388608.0f - 1.0f;
    }
};

float Env(float t, float attack, float decay) { return (t < attack ? t / attack : 1.0f) * std::exp(-t / decay); }

// A looping engine: harmonics of whole hertz and noise filtered round the
// loop, so the end joins the start without a click.
std::vector<float> EngineLoop()
{
    const size_t n = kRate;  // one second
    std::vector<float> out(n);
    Noise rnd{7};
    std::vector<float> noise(n);
    for (float& v : noise) v = rnd.Next();
    std::vector<float> rumble(n), grit(n);
    float lp = 0, lp2 = 0, g1 = 0, g2 = 0;
    for (int pass = 0; pass < 2; ++pass)  // twice round, so the filters are settled at the seam
        for (size_t i = 0; i < n; ++i) {
            lp += (noise[i] - lp) * 0.05f;
            rumble[i] = lp2 += (lp - lp2) * 0.05f;
            g1 += (noise[i] - g1) * 0.2f;
            grit[i] = g2 += (g1 - g2) * 0.2f;
        }
    for (size_t i = 0; i < n; ++i) {
        float t = static_cast<float>(i) / kRate;
        float firing = 0.5f + 0.5f * std::sin(2 * kPi * 12 * t);  // twelve firings a second
        float tone = 0.45f * std::sin(2 * kPi * 36 * t) + 0.3f * std::sin(2 * kPi * 72 * t + 0.7f) +
                     0.15f * std::sin(2 * kPi * 108 * t + 1.3f) + 0.08f * std::sin(2 * kPi * 216 * t);
        float clatter = 0.5f * grit[i] * (0.5f + 0.5f * std::sin(2 * kPi * 24 * t));
        out[i] = 0.55f * (tone * (0.6f + 0.4f * firing) + rumble[i] * 6.0f + clatter);
    }
    return out;
}

std::vector<float> Shot(float seconds, float boomHz, float decay, float noiseAmount, float noiseCutoff, uint32_t seed)
{
    size_t n = static_cast<size_t>(seconds * kRate);
    std::vector<float> out(n);
    Noise rnd{seed};
    float lp = 0, lp2 = 0;
    for (size_t i = 0; i < n; ++i) {
        float t = static_cast<float>(i) / kRate;
        float crack = rnd.Next() * std::exp(-t / 0.012f);
        lp += (rnd.Next() - lp) * noiseCutoff;
        lp2 += (lp - lp2) * noiseCutoff;
        float rumble = lp2 * 3 * Env(t, 0.002f, decay) * noiseAmount;
        float freq = boomHz * (1 + 1.5f * std::exp(-t / 0.03f));
        float boom = std::sin(2 * kPi * freq * t) * Env(t, 0.001f, decay * 0.6f);
        out[i] = 0.9f * std::tanh(1.6f * (crack * 0.6f + rumble + boom * 0.7f));
    }
    return out;
}

std::vector<float> Footstep()
{
    size_t n = static_cast<size_t>(0.4f * kRate);
    std::vector<float> out(n);
    Noise rnd{41};
    float lp = 0;
    for (size_t i = 0; i < n; ++i) {
        float t = static_cast<float>(i) / kRate;
        lp += (rnd.Next() - lp) * 0.08f;
        float thud = std::sin(2 * kPi * 55 * t) * Env(t, 0.003f, 0.06f) + lp * 4 * Env(t, 0.001f, 0.03f);
        float clank = (0.5f * std::sin(2 * kPi * 183 * t) + 0.35f * std::sin(2 * kPi * 437 * t) +
                       0.25f * std::sin(2 * kPi * 871 * t)) * Env(t, 0.001f, 0.09f);
        float servo = 0.12f * std::sin(2 * kPi * (620 + 300 * t) * t) * Env(t - 0.05f > 0 ? t - 0.05f : 0, 0.03f, 0.08f) *
                      (t > 0.05f ? 1.0f : 0.0f);
        out[i] = 0.8f * std::tanh(thud * 0.9f + clank * 0.5f + servo);
    }
    return out;
}

std::vector<float> RobotGun()
{
    size_t n = static_cast<size_t>(0.55f * kRate);
    std::vector<float> out(n);
    Noise rnd{53};
    float phase = 0;
    for (size_t i = 0; i < n; ++i) {
        float t = static_cast<float>(i) / kRate;
        float freq = 900 * std::exp(-t / 0.09f) + 90;
        phase += 2 * kPi * freq / kRate;
        float zap = (std::sin(phase) > 0 ? 0.5f : -0.5f) * Env(t, 0.002f, 0.12f);
        float body = std::sin(2 * kPi * 70 * t) * Env(t, 0.002f, 0.1f);
        float hiss = rnd.Next() * Env(t, 0.001f, 0.05f) * 0.6f;
        out[i] = 0.8f * std::tanh(zap * 0.8f + body + hiss);
    }
    return out;
}

std::vector<float> MissileLaunch()
{
    size_t n = static_cast<size_t>(1.1f * kRate);
    std::vector<float> out(n);
    Noise rnd{67};
    float lp = 0, bp = 0;
    for (size_t i = 0; i < n; ++i) {
        float t = static_cast<float>(i) / kRate;
        float cutoff = 0.02f + 0.25f * Smooth(0.0f, 0.6f, t);
        float x = rnd.Next();
        lp += (x - lp) * cutoff;
        bp += (lp - bp) * 0.5f;
        float roar = (lp - bp * 0.5f) * 2.5f * (t < 0.08f ? t / 0.08f : 1.0f) * std::exp(-std::max(0.0f, t - 0.5f) / 0.25f);
        float pop = std::sin(2 * kPi * 90 * t) * Env(t, 0.001f, 0.04f);
        out[i] = 0.85f * std::tanh(roar + pop * 0.8f);
    }
    return out;
}
}  // namespace

void BuildEffects(Pack& pack)
{
    pack.Png("LAND/Effect/Smoke.png", SmokeSheet());
    pack.Png("LAND/Effect/explode1.png", ExplosionSheet(601, 0xFFF2C0, 0xF07A1C));
    pack.Png("LAND/Effect/explode2.png", ExplosionSheet(602, 0xFFE070, 0xD8401A));
    pack.Png("LAND/Effect/Land.png", SoftSprite(128, 0.8f, 0.5f, 611));
    pack.Png("LAND/Effect/MissileSmoke.png", SoftSprite(64, 0.85f, 0.6f, 612));
    pack.Png("LAND/Effect/CannonSmoke.png", SoftSprite(64, 0.8f, 0.8f, 613));
    pack.Png("LAND/Effect/Ice.png", IceSprite());
    pack.Png("LAND/Effect/Blood.png", SpraySprite());
}

void BuildSounds(Pack& pack)
{
    pack.Wav("Sound/TankSlowMove.wav", EngineLoop(), kRate);
    pack.Wav("Sound/TankFire.wav", Shot(1.3f, 48, 0.35f, 1.0f, 0.04f, 21), kRate);
    pack.Wav("Sound/MachineGun.wav", Shot(0.16f, 160, 0.035f, 0.6f, 0.25f, 22), kRate);
    pack.Wav("Sound/RobotWalk.wav", Footstep(), kRate);
    pack.Wav("Sound/RobotFire.wav", RobotGun(), kRate);
    pack.Wav("Sound/MFire.wav", MissileLaunch(), kRate);
}
