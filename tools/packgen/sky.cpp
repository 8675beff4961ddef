// The nine sky domes and the three front-end spheres (Earth, Mercury, stars).
//
// A dome is drawn at scale 400 about the field's middle with fog and lighting
// off, so its look is all in its picture: u runs round the horizon, v from
// the zenith (0) to a little below the horizon (1).  Near the horizon each
// sky fades to its battle fog colour, so fogged mountains stand against it.
#include <cmath>

#include "pack.h"

namespace {
const float kPi = 3.14159265f;
const float kDomeRadius = 4.2f;    // 1680 world units: beyond the mountain ring
const float kLowestDeg = -20.0f;   // the dome reaches this far below the horizon

struct SkyLook {
    const char* file;      // mesh file under Sky/
    uint32_t fog;          // the battle's fog colour for this sky
    uint32_t zenith, horizon;
    float sunAzimuthDeg, sunElevationDeg;  // sun (or moon) position
    uint32_t sunColour;
    float sunSize;         // glow width
    float cloudCover;      // 0 clear .. 1 overcast
    uint32_t cloudLit, cloudShade;
    bool night;
};

// The light comes from (-3, 8, -3): azimuth 225 degrees, high up.
const SkyLook kSkies[] = {
    {"Sky_CloudyDay1", 0x343C40, 0x4A5660, 0x6A747A, 225, 50, 0xB8C0C4, 0.25f, 0.92f, 0x9AA2A8, 0x3E464C, false},
    {"Sky_Morning1", 0x58503C, 0x5C7894, 0xC8B490, 100, 8, 0xFFE2A0, 0.35f, 0.35f, 0xF4DCC0, 0x8A7C70, false},
    {"Sky_Evening1", 0x3E3C2F, 0x3A4252, 0x8A7A5A, 290, 4, 0xF0B060, 0.3f, 0.45f, 0xC09070, 0x4A4038, false},
    {"Sky_Evening2", 0x4B463F, 0x46506A, 0xB09070, 270, 6, 0xFFB870, 0.35f, 0.4f, 0xE0A880, 0x5A4C48, false},
    {"Sky_Evening3", 0x523318, 0x3A2C40, 0xE07A30, 260, 2, 0xFF8A30, 0.45f, 0.5f, 0xF09050, 0x502820, false},
    {"Sky_FineDay1", 0x565F63, 0x3C6EA8, 0xA8BCC8, 225, 55, 0xFFF8E8, 0.2f, 0.25f, 0xFFFFFF, 0x9AA4B0, false},
    {"Sky_Night", 0x2D5064, 0x060C1C, 0x2A4A5E, 60, 35, 0xDDE8FF, 0.08f, 0.15f, 0x4A5A70, 0x101820, true},
    {"Sky_SunnyDay1", 0x48525B, 0x2A64B0, 0x9CB4C8, 225, 60, 0xFFFFF0, 0.18f, 0.12f, 0xFFFFFF, 0xA8B4C4, false},
    {"Sky_SunnyDay2", 0x646464, 0x4A7CB8, 0xC4CCD0, 200, 40, 0xFFFFF4, 0.22f, 0.3f, 0xFFFFFF, 0xB0B4B8, false},
};

Vec3 Direction(float azimuthDeg, float elevationDeg)
{
    float a = azimuthDeg * kPi / 180, e = elevationDeg * kPi / 180;
    return {std::cos(e) * std::cos(a), std::sin(e), std::cos(e) * std::sin(a)};
}

Canvas SkyPicture(const SkyLook& s, uint32_t seed)
{
    const int w = 1024, h = 512;
    Canvas c(w, h);
    Vec3 sun = Direction(s.sunAzimuthDeg, s.sunElevationDeg);
    RGBA fog = Rgb(s.fog), zen = Rgb(s.zenith), hor = Rgb(s.horizon), sunCol = Rgb(s.sunColour);
    for (int y = 0; y < h; ++y) {
        float elev = 90.0f - (y + 0.5f) / h * (90.0f - kLowestDeg);
        for (int x = 0; x < w; ++x) {
            float az = (x + 0.5f) / w * 360.0f;
            Vec3 d = Direction(az, elev);
            float up = Clamp01(elev / 90.0f);
            RGBA col = Mix(hor, zen, std::pow(up, 0.55f));
            // Glow round the sun, wider and warmer near the horizon.
            float cosA = Vec3Dot(d, sun);
            float glow = std::exp((cosA - 1) / (s.sunSize * s.sunSize * 0.35f));
            float halo = std::exp((cosA - 1) / (s.sunSize * 1.6f));
            col = Mix(col, sunCol, Clamp01(halo * 0.35f + glow * 0.6f));
            if (cosA > std::cos(s.night ? 1.6f * kPi / 180 : 1.2f * kPi / 180)) col = Mix(col, Rgb(0xFFFFFF), 0.9f);
            if (s.night) {
                // Stars, fewer and dimmer toward the horizon.
                int sx = static_cast<int>(az * 3), sy = static_cast<int>(elev * 3 + 300);
                float star = Hash01(sx, sy, seed + 77);
                if (star > 0.992f && elev > 3) {
                    float b = (star - 0.992f) / 0.008f * Smooth(3, 30, elev);
                    col = Mix(col, Rgb(0xF0F4FF), Clamp01(b));
                }
                float band = std::exp(-std::pow((d.x * 0.6f + d.z * 0.8f) / 0.25f, 2.0f)) * up;
                col = Mix(col, Rgb(0x30405C), band * 0.35f * Fbm(az / 12, elev / 12, 4, seed + 5));
            }
            // Clouds on a flat layer overhead, seen in perspective.
            if (elev > 0.5f && s.cloudCover > 0) {
                float t = 1.0f / std::max(d.y, 0.02f);
                float px = d.x * t * 0.6f, pz = d.z * t * 0.6f;
                float n = Fbm(px + 40, pz + 40, 6, seed + 9);
                float cover = Smooth(1.0f - s.cloudCover * 0.95f - 0.05f, 1.05f - s.cloudCover * 0.55f, n);
                float fade = Smooth(0.5f, 10.0f, elev);
                float lit = Clamp01(0.5f + 0.5f * cosA + (n - 0.5f));
                RGBA cloud = Mix(Rgb(s.cloudShade), Rgb(s.cloudLit), lit);
                col = Mix(col, cloud, cover * fade);
            }
            // The lowest band melts into the fog colour, as the fogged land does.
            float haze = 1 - Smooth(-2.0f, 14.0f, elev);
            col = Mix(col, fog, haze);
            col.a = 1;
            c.At(x, y) = col;
        }
    }
    return c;
}

// The dome: rows from the zenith to kLowestDeg, seen from inside.
XMesh Dome(const std::string& texture)
{
    XMesh m;
    const int rows = 24, cols = 48;
    for (int r = 0; r <= rows; ++r) {
        float elev = (90.0f - static_cast<float>(r) / rows * (90.0f - kLowestDeg)) * kPi / 180;
        for (int c = 0; c <= cols; ++c) {
            float az = static_cast<float>(c) / cols * 2 * kPi;
            Vec3 d{std::cos(elev) * std::cos(az), std::sin(elev), std::cos(elev) * std::sin(az)};
            m.AddVertex(d * kDomeRadius, -d, static_cast<float>(c) / cols, static_cast<float>(r) / rows);
        }
    }
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            uint32_t a = r * (cols + 1) + c, b = a + 1, d = a + cols + 1, e = d + 1;
            if (r != 0) m.AddFace(a, d, b, 0);  // clockwise seen from inside
            m.AddFace(b, d, e, 0);
        }
    m.materials.push_back({Rgb(0xFFFFFF), 0, Rgb(0), Rgb(0), texture});
    return m;
}

Canvas EarthPicture()
{
    const int w = 1024, h = 512;
    Canvas c(w, h);
    for (int y = 0; y < h; ++y) {
        float lat = 90 - (y + 0.5f) / h * 180;
        for (int x = 0; x < w; ++x) {
            float fx = x / 128.0f, fy = y / 128.0f;
            float land = Fbm(fx, fy, 6, 101, 8);
            float height = land - 0.52f;
            RGBA col;
            if (height < 0) {
                col = Mix(Rgb(0x0A2A5C), Rgb(0x1C5A8C), Clamp01(1 + height * 6));
            } else {
                float dry = Fbm(fx * 2, fy * 2, 4, 102, 16);
                float tropic = 1 - std::fabs(lat) / 90;
                col = Mix(Rgb(0x2F6B2A), Rgb(0x5C7A34), Clamp01(height * 6));
                col = Mix(col, Rgb(0xB89A62), Clamp01((dry - 0.5f) * 3) * tropic);
                col = Mix(col, Rgb(0x7A6A58), Clamp01((height - 0.18f) * 8));
            }
            float ice = Smooth(62, 72, std::fabs(lat) + 6 * Fbm(fx * 3, fy * 3, 3, 103, 24));
            col = Mix(col, Rgb(0xEEF4F8), ice);
            float cloud = Smooth(0.55f, 0.75f, Fbm(fx * 1.5f + 3, fy * 3, 6, 104, 12));
            col = Mix(col, Rgb(0xF8FAFC), cloud * 0.85f);
            col.a = 1;
            c.At(x, y) = col;
        }
    }
    return c;
}

Canvas MercuryPicture()
{
    const int w = 1024, h = 512;
    Canvas c(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float n = Fbm(x / 96.0f, y / 96.0f, 6, 111, 10);
            RGBA col = Mix(Rgb(0x5C5854), Rgb(0xA8A29A), n);
            col.a = 1;
            c.At(x, y) = col;
        }
    // Craters: a dark floor, a bright rim lit from one side.
    for (int i = 0; i < 260; ++i) {
        float cx = Hash01(i, 1, 112) * w, cy = 30 + Hash01(i, 2, 112) * (h - 60);
        float r = 3 + std::pow(Hash01(i, 3, 112), 3.0f) * 38;
        c.Disc(cx, cy, r, Rgb(0x48443F, 0.55f), 2);
        c.Ring(cx - r * 0.12f, cy - r * 0.12f, r, std::max(1.5f, r * 0.18f), Rgb(0xCFC8BC, 0.55f));
    }
    return c;
}

Canvas StarfieldPicture()
{
    const int w = 1024, h = 512;
    Canvas c(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float lat = (y + 0.5f) / h;
            float band = std::exp(-std::pow((lat - 0.5f - 0.12f * std::sin(x / 1024.0f * 2 * kPi)) / 0.09f, 2.0f));
            // Mostly clear: the sphere turns in front of the screen's own
            // picture, adding drifting stars and a faint band of light.
            float neb = Fbm(x / 64.0f, y / 64.0f, 6, 121, 16);
            RGBA col = Mix(Rgb(0x1C1430), Rgb(0x4A4068), neb);
            col.a = 0.3f * band * neb;
            float star = Hash01(x, y, 122);
            if (star > 0.9965f) {
                col = Rgb(star > 0.9994f ? 0xFFF4E0 : 0xC8D4FF);
                col.a = 0.4f + 0.6f * (star - 0.9965f) / 0.0035f;
            }
            c.At(x, y) = col;
        }
    return c;
}
}  // namespace

void BuildSkies(Pack& pack)
{
    uint32_t seed = 300;
    for (const SkyLook& s : kSkies) {
        std::string picture = std::string("Sky/") + s.file + ".png";
        pack.Png(picture, SkyPicture(s, seed++));
        pack.X(std::string("Sky/") + s.file + ".x", Dome(picture));
    }
}

void BuildStars(Pack& pack)
{
    pack.Png("Star/Earth/EarthMap.png", EarthPicture());
    XMesh earth = Sphere(0.9f, 32, 64, false, 0);
    earth.materials.push_back({Rgb(0xFFFFFF), 12, Rgb(0x404850), Rgb(0x101418), "Star/Earth/EarthMap.png"});
    pack.X("Star/Earth/Earth.x", earth);
    pack.Png("Star/Mercury/MercuryMap.png", MercuryPicture());
    XMesh mercury = Sphere(0.9f, 32, 64, false, 0);
    mercury.materials.push_back({Rgb(0xFFFFFF), 4, Rgb(0x181818), Rgb(0x0C0C0C), "Star/Mercury/MercuryMap.png"});
    pack.X("Star/Mercury/Mer.x", mercury);
    pack.Png("Star/universe/Stars.png", StarfieldPicture());
    XMesh stars = Sphere(1.0f, 16, 32, true, 0);
    stars.materials.push_back({Rgb(0xFFFFFF), 0, Rgb(0), Rgb(0xFFFFFF), "Star/universe/Stars.png"});
    pack.X("Star/universe/universe.x", stars);
}
