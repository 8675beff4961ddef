// The battle's sprite atlases: "LAND/Sprite/Char.bmp" (pause entries,
// banners, crosshairs, blips), "HP.bmp" (gauges) and "radar.bmp" (discs).
// Every picture sits inside the rectangle the game draws it from; the rest
// is the file's key colour.  Sprites the game tints (blips, bars, banners)
// are drawn light so the tint shows.
#include <cmath>

#include "pack.h"

namespace {
const float kPi = 3.14159265f;

// A menu plate filling its rectangle with a caption.
void Plate(Canvas& c, Box b, const char* text, RGBA face, RGBA edge, float textPx)
{
    c.RoundRect(b.l + 1, b.t + 1, b.r - 1, b.b - 1, std::min(b.H(), b.W()) * 0.22f, face, edge, 2.5f);
    c.Text(text, b.Cx(), b.Cy(), textPx, Rgb(0xFFFFFF), 2.0f, Rgb(0x101418));
}

void Banner(Canvas& c, Box b, const char* title, const char* line, RGBA accent)
{
    c.RoundRect(b.l + 2, b.t + 2, b.r - 2, b.b - 2, 14, Rgb(0x14181C, 0.92f), accent, 4);
    c.FillRect(b.l + 14, b.t + 14, b.r - 14, b.t + 18, accent);
    c.FillRect(b.l + 14, b.b - 18, b.r - 14, b.b - 14, accent);
    c.Text(title, b.Cx(), b.Cy() - 10, 44, Rgb(0xFFFFFF), 3, Rgb(0x000000));
    c.Text(line, b.Cx(), b.Cy() + 28, 17, Rgb(0xE8E0C8), 1.5f, Rgb(0x000000));
}

// A simple tank seen from above, nose up, filling its box.
void TankBlip(Canvas& c, Box b)
{
    float cx = b.Cx(), w = b.W(), h = b.H();
    c.RoundRect(b.l + 1, b.t + 4, b.l + w * 0.3f, b.b - 1, 2, Rgb(0xFFFFFF));   // left track
    c.RoundRect(b.r - w * 0.3f, b.t + 4, b.r - 1, b.b - 1, 2, Rgb(0xFFFFFF));   // right track
    c.FillRect(b.l + w * 0.25f, b.t + 7, b.r - w * 0.25f, b.b - 3, Rgb(0xE0E0E0));
    c.Disc(cx, b.t + h * 0.6f, w * 0.22f, Rgb(0xFFFFFF));
    c.Line(cx, b.t + h * 0.6f, cx, b.t + 2.0f, 2.5f, Rgb(0xFFFFFF));             // gun points up
}

void RobotBlip(Canvas& c, Box b)
{
    float cx = b.Cx(), cy = b.Cy() + 1;
    c.Disc(cx - 5.5f, cy + 3, 3.2f, Rgb(0xFFFFFF));
    c.Disc(cx + 5.5f, cy + 3, 3.2f, Rgb(0xFFFFFF));
    c.Disc(cx, cy, 5.5f, Rgb(0xFFFFFF));
    c.Triangle(cx - 4, cy - 3, cx + 4, cy - 3, cx, b.t + 1, Rgb(0xFFFFFF));      // facing up
}

void Reticle(Canvas& c, Box b, RGBA col, bool robot)
{
    float cx = b.Cx(), cy = b.Cy(), r = std::min(b.W(), b.H()) / 2 - 2;
    if (!robot) {
        c.Ring(cx, cy, r * 0.8f, 2.0f, col);
        c.Line(cx, b.t + 1, cx, cy - r * 0.35f, 2, col);
        c.Line(cx, cy + r * 0.35f, cx, b.b - 1, 2, col);
        c.Line(b.l + 1, cy, cx - r * 0.35f, cy, 2, col);
        c.Line(cx + r * 0.35f, cy, b.r - 1, cy, 2, col);
        c.Disc(cx, cy, 1.5f, col);
    } else {
        c.Ring(cx, cy, r * 0.92f, 2.5f, col);
        c.Ring(cx, cy, r * 0.55f, 1.5f, Rgb(0xFFFFFF, col.a * 0.8f));
        for (int k = 0; k < 4; ++k) {
            float a = k * kPi / 2;
            c.Line(cx + std::cos(a) * r * 0.62f, cy + std::sin(a) * r * 0.62f, cx + std::cos(a) * r, cy + std::sin(a) * r, 3, col);
        }
        for (int k = 0; k < 36; ++k) {
            float a = k * kPi / 18, in = k % 3 == 0 ? 0.8f : 0.86f;
            c.Line(cx + std::cos(a) * r * in, cy + std::sin(a) * r * in, cx + std::cos(a) * r * 0.92f,
                   cy + std::sin(a) * r * 0.92f, 1.2f, col);
        }
        c.Disc(cx, cy, 2, col);
    }
}

// A wide reticle for the robot's cannon: brackets and a centre pip.
void WideReticle(Canvas& c, Box b, RGBA col)
{
    float cx = b.Cx(), cy = b.Cy();
    float x0 = b.l + 3, x1 = b.r - 3, y0 = b.t + 3, y1 = b.b - 3;
    for (float sx : {-1.0f, 1.0f}) {
        float x = sx < 0 ? x0 : x1;
        c.Line(x, y0, x, y1, 2.5f, col);
        c.Line(x, y0, x - sx * 10, y0, 2.5f, col);
        c.Line(x, y1, x - sx * 10, y1, 2.5f, col);
    }
    c.Line(cx - 14, cy, cx - 5, cy, 2, col);
    c.Line(cx + 5, cy, cx + 14, cy, 2, col);
    c.Line(cx, cy + 5, cx, cy + 12, 2, col);
    c.Disc(cx, cy, 1.8f, col);
}

Canvas CharAtlas()
{
    Canvas c(512, 512);
    RGBA steel = Rgb(0x2C3A48, 0.95f), edge = Rgb(0xA8B8C8);
    Plate(c, {1, 31, 174, 74}, "RESUME", steel, edge, 24);
    Plate(c, {2, 77, 149, 120}, "TITLE", steel, edge, 24);
    Plate(c, {2, 123, 100, 167}, "QUIT", steel, edge, 24);
    // The alert banner is tinted at random every frame: white on a dark strip.
    Box alert{2, 2, 256, 28};
    c.RoundRect(alert.l, alert.t, alert.r, alert.b, 6, Rgb(0x202020, 0.85f), Rgb(0xFFFFFF), 2);
    c.Text("WARNING: UNIT DOWN", alert.Cx(), alert.Cy(), 17, Rgb(0xFFFFFF));
    TankBlip(c, {177, 31, 196, 55});
    RobotBlip(c, {199, 31, 220, 51});
    // The rim arrow points up (away from the radar's middle).
    c.Triangle(248.5f, 32, 255, 46, 242, 46, Rgb(0xFFFFFF));
    Reticle(c, {259, 2, 295, 38}, Rgb(0xFFFFFF), false);
    Reticle(c, {258, 41, 288, 71}, Rgb(0xFFFFFF), false);
    c.Line(273, 44, 273, 68, 1.5f, Rgb(0xFFFFFF));  // the second sight adds a finer cross
    WideReticle(c, {299, 2, 362, 41}, Rgb(0xFFFFFF));
    Reticle(c, {366, 2, 510, 146}, Rgb(0xFFFFFF), true);
    // The lock box brackets a target round (12, 12) of its rectangle.
    Box lock{329, 44, 363, 79};
    float lx = lock.l + 12, ly = lock.t + 12;
    for (float sx : {-1.0f, 1.0f})
        for (float sy : {-1.0f, 1.0f}) {
            float x = lx + sx * 10, y = ly + sy * 10;
            c.Line(x, y, x - sx * 5, y, 2, Rgb(0xFFFFFF));
            c.Line(x, y, x, y - sy * 5, 2, Rgb(0xFFFFFF));
        }
    c.Text("LOCK", lock.l + 17, lock.t + 29, 9, Rgb(0xFFFFFF));
    Banner(c, {2, 277, 512, 391}, "EARTH FORCES WIN", "The robots of Mercury are beaten back", Rgb(0x3C8CDC));
    Banner(c, {2, 395, 512, 509}, "MERCURY FORCES WIN", "The tanks of Earth are overrun", Rgb(0xDC5A32));
    Banner(c, {262, 160, 512, 274}, "DRAW", "Neither side gives way", Rgb(0xC8B450));
    return c;
}

Canvas HpAtlas()
{
    Canvas c(512, 512);
    for (int half = 0; half < 2; ++half) {
        float top = half * 256.0f;
        // The frame: a tall capsule outline with tick marks, tinted by the game.
        c.RoundRect(84, top + 8, 172, top + 248, 20, Rgb(0xFFFFFF, 0.18f), Rgb(0xFFFFFF), 6);
        for (int k = 1; k < 8; ++k) {
            float y = top + 8 + k * 30;
            c.Line(172, y, 188, y, 3, Rgb(0xFFFFFF));
        }
        // The bar: the capsule's inside, light so its tint shows; rows count
        // from the bottom as the hit points run down.
        c.RoundRect(256 + 92, top + 16, 256 + 164, top + 240, 14, Rgb(0xFFFFFF));
        for (int k = 1; k < 8; ++k) c.FillRect(256 + 92, top + 8 + k * 30 - 1, 256 + 164, top + 8 + k * 30 + 1, Rgb(0xB0B0B0));
    }
    return c;
}

Canvas RadarAtlas()
{
    Canvas c(512, 512);
    for (int side = 0; side < 2; ++side) {
        Box b = side ? Box{257, 1, 511, 255} : Box{1, 1, 255, 255};
        float cx = b.Cx(), cy = b.Cy(), r = b.W() / 2 - 2;
        RGBA deep = side ? Rgb(0x0C2A1C) : Rgb(0x2A0C24), line = side ? Rgb(0x48D890) : Rgb(0xD858B8);
        c.Disc(cx, cy, r, deep);
        // A sweep glow and range rings.
        for (int y = static_cast<int>(b.t); y < static_cast<int>(b.b); ++y)
            for (int x = static_cast<int>(b.l); x < static_cast<int>(b.r); ++x) {
                float dx = x + 0.5f - cx, dy = y + 0.5f - cy, d = std::hypot(dx, dy);
                if (d > r - 1) continue;
                float ang = std::atan2(dx, -dy);
                float sweep = std::exp(-std::fmod(ang + 2 * kPi, 2 * kPi) * 1.5f);
                c.Blend(x, y, line, 0.25f * sweep + 0.08f * (1 - d / r));
            }
        for (float k : {0.33f, 0.66f}) c.Ring(cx, cy, r * k, 1.5f, RGBA{line.r, line.g, line.b, 0.6f});
        c.Ring(cx, cy, r - 2, 3, line);
        c.Line(cx, cy - r + 4, cx, cy + r - 4, 1, RGBA{line.r, line.g, line.b, 0.5f});
        c.Line(cx - r + 4, cy, cx + r - 4, cy, 1, RGBA{line.r, line.g, line.b, 0.5f});
        c.Triangle(cx, cy - r + 6, cx - 6, cy - r + 16, cx + 6, cy - r + 16, line);  // forward mark
    }
    return c;
}
}  // namespace

void BuildHud(Pack& pack)
{
    pack.KeyedBmp("LAND/Sprite/Char.bmp", CharAtlas(), 0xFF00FF);
    pack.KeyedBmp("LAND/Sprite/HP.bmp", HpAtlas(), 0xFF00FF);
    pack.KeyedBmp("LAND/Sprite/radar.bmp", RadarAtlas(), 0xFFFFFF);
}
