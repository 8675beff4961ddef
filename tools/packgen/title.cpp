// The front end's pictures: full-screen backgrounds and the atlases of
// buttons, labels, digits and arrows, each element inside the rectangle the
// screens draw it from.
//
// Backgrounds are painted on an 800 x 600 design canvas and stretched to
// 1024 x 1024, as the screens stretch them back.  Atlas elements reach the
// screen squeezed to three quarters of their height relative to their width,
// so each is painted at screen proportions and stretched to its rectangle.
#include <algorithm>
#include <cmath>
#include <functional>

#include "pack.h"

namespace {
const float kPi = 3.14159265f;

// Paints fn on a canvas of the rectangle's width and 3/4 of its height, then
// stretches that into the rectangle.
void Element(Canvas& atlas, Box r, const std::function<void(Canvas&)>& fn)
{
    int w = static_cast<int>(r.W()), h = static_cast<int>(r.H());
    Canvas tmp(w, std::max(1, static_cast<int>(std::lround(h * 0.75f))));
    fn(tmp);
    atlas.Paste(tmp.Resized(w, h), static_cast<int>(r.l), static_cast<int>(r.t));
}

// A steel plate with a caption: the look of every front-end button.
void Button(Canvas& atlas, Box r, const char* label, float px, RGBA accent = Rgb(0xE0A030))
{
    Element(atlas, r, [&](Canvas& c) {
        float w = c.W(), h = c.H();
        c.RoundRect(2, 2, w - 2, h - 2, h * 0.22f, Rgb(0x2A323C), Rgb(0xB8C4D0), 3);
        for (int y = 6; y < h - 6; ++y)
            c.FillRect(6, static_cast<float>(y), w - 6, y + 1.0f, Rgb(0x6A7886, 0.35f * (1 - y / h)));
        c.FillRect(10, h - 9, w - 10, h - 6, accent);
        c.Text(label, w / 2, h / 2 - 1, px, Rgb(0xF4F0E4), 2, Rgb(0x0A0E12));
    });
}

void Label(Canvas& atlas, Box r, const char* text, float px, RGBA colour, RGBA outline = Rgb(0x0A0E12))
{
    Element(atlas, r, [&](Canvas& c) { c.Text(text, c.W() / 2.0f, c.H() / 2.0f, px, colour, 2, outline); });
}

void Arrow(Canvas& atlas, Box r, float dir /* -1 left, 1 right, -2 up, 2 down */)
{
    Element(atlas, r, [&](Canvas& c) {
        float w = c.W(), h = c.H(), cx = w / 2, cy = h / 2, s = std::min(w, h) * 0.42f;
        c.Disc(cx, cy, std::min(w, h) / 2 - 0.5f, Rgb(0x2A323C), 1);
        c.Ring(cx, cy, std::min(w, h) / 2 - 1.5f, 1.5f, Rgb(0xB8C4D0));
        if (dir == -1) c.Triangle(cx - s, cy, cx + s * 0.6f, cy - s, cx + s * 0.6f, cy + s, Rgb(0xF0D070));
        if (dir == 1) c.Triangle(cx + s, cy, cx - s * 0.6f, cy - s, cx - s * 0.6f, cy + s, Rgb(0xF0D070));
        if (dir == -2) c.Triangle(cx, cy - s, cx - s, cy + s * 0.6f, cx + s, cy + s * 0.6f, Rgb(0xF0D070));
        if (dir == 2) c.Triangle(cx, cy + s, cx - s, cy - s * 0.6f, cx + s, cy - s * 0.6f, Rgb(0xF0D070));
    });
}

// --- backgrounds -------------------------------------------------------------------
Canvas Stretch(const Canvas& design) { return design.Resized(1024, 1024); }

void Sky(Canvas& c, uint32_t top, uint32_t bottom, float horizon)
{
    for (int y = 0; y < c.H(); ++y)
        c.FillRect(0, static_cast<float>(y), static_cast<float>(c.W()), y + 1.0f,
                   Mix(Rgb(top), Rgb(bottom), Clamp01(y / horizon)));
}

void Ridge(Canvas& c, float base, float height, uint32_t colour, uint32_t seed)
{
    for (int x = 0; x < c.W(); ++x) {
        float h = base - height * Fbm(x / 90.0f, 0.5f, 5, seed);
        c.FillRect(static_cast<float>(x), h, x + 1.0f, static_cast<float>(c.H()), Rgb(colour));
    }
}

void TankSilhouette(Canvas& c, float x, float y, float s, RGBA col)
{
    c.RoundRect(x - 70 * s, y - 18 * s, x + 70 * s, y + 10 * s, 12 * s, col);        // tracks
    c.RoundRect(x - 60 * s, y - 34 * s, x + 55 * s, y - 14 * s, 4 * s, col);          // hull
    c.RoundRect(x - 30 * s, y - 56 * s, x + 28 * s, y - 30 * s, 8 * s, col);          // turret
    c.Line(x + 20 * s, y - 46 * s, x + 110 * s, y - 54 * s, 7 * s, col);              // gun
}

void RobotSilhouette(Canvas& c, float x, float y, float s, RGBA col)
{
    c.Line(x - 22 * s, y - 70 * s, x - 40 * s, y - 30 * s, 12 * s, col);  // legs
    c.Line(x - 40 * s, y - 30 * s, x - 30 * s, y, 10 * s, col);
    c.Line(x + 22 * s, y - 70 * s, x + 38 * s, y - 30 * s, 12 * s, col);
    c.Line(x + 38 * s, y - 30 * s, x + 30 * s, y, 10 * s, col);
    c.RoundRect(x - 36 * s, y - 110 * s, x + 36 * s, y - 64 * s, 12 * s, col);  // body
    c.RoundRect(x - 14 * s, y - 128 * s, x + 14 * s, y - 108 * s, 5 * s, col);  // head
    c.Line(x - 36 * s, y - 96 * s, x - 100 * s, y - 104 * s, 8 * s, col);       // cannon arm
    c.RoundRect(x + 34 * s, y - 112 * s, x + 58 * s, y - 84 * s, 4 * s, col);   // missile pod
}

Canvas MainMenu()
{
    Canvas c(800, 600);
    Sky(c, 0x141C2A, 0xB0683A, 360);
    c.Disc(610, 330, 70, Rgb(0xFFC27A, 0.35f), 60);
    Ridge(c, 380, 110, 0x3A3034, 41);
    Ridge(c, 430, 70, 0x241E22, 42);
    Ridge(c, 480, 40, 0x16121A, 43);
    c.FillRect(0, 470, 800, 600, Rgb(0x16121A));
    TankSilhouette(c, 120, 520, 1.0f, Rgb(0x0A080C));
    RobotSilhouette(c, 690, 540, 1.0f, Rgb(0x0A080C));
    c.Text("VARNOK", 400, 118, 118, Rgb(0xF2E6C8), 5, Rgb(0x1A1410));
    c.Text("EARTH  vs  MERCURY", 400, 190, 26, Rgb(0xE8A050), 2.5f, Rgb(0x1A1410));
    return Stretch(c);
}

void Starfield(Canvas& c, uint32_t seed)
{
    for (int y = 0; y < c.H(); ++y)
        for (int x = 0; x < c.W(); ++x) {
            float n = Fbm(x / 140.0f, y / 140.0f, 5, seed);
            RGBA col = Mix(Rgb(0x04050C), Rgb(0x2A1C44), Clamp01((n - 0.45f) * 2.2f));
            col = Mix(col, Rgb(0x123048), Clamp01((Fbm(x / 90.0f, y / 90.0f, 4, seed + 1) - 0.6f) * 2.5f));
            float st = Hash01(x, y, seed + 2);
            if (st > 0.997f) col = Mix(col, Rgb(0xE8ECFF), (st - 0.997f) / 0.003f);
            c.At(x, y) = col;
        }
}

void Frame(Canvas& c, float top, float bottom)
{
    c.FillRect(0, 0, 800, top, Rgb(0x1C222A));
    c.FillRect(0, top - 3, 800, top, Rgb(0xE0A030));
    c.FillRect(0, bottom, 800, 600, Rgb(0x1C222A));
    c.FillRect(0, bottom, 800, bottom + 3, Rgb(0xE0A030));
}

Canvas ForcesBackground()
{
    Canvas c(800, 600);
    Starfield(c, 61);
    Frame(c, 24, 500);
    c.Text("EARTH", 170, 400, 30, Rgb(0x8CC8FF), 2, Rgb(0x05080C));
    c.Text("tank forces", 170, 432, 18, Rgb(0xC8D8E8), 1.5f, Rgb(0x05080C));
    c.Text("MERCURY", 630, 400, 30, Rgb(0xFFA070), 2, Rgb(0x05080C));
    c.Text("walking robots", 630, 432, 18, Rgb(0xE8D0C8), 1.5f, Rgb(0x05080C));
    return Stretch(c);
}

Canvas SelectBackground()
{
    Canvas c(800, 600);
    for (int y = 0; y < 600; ++y) c.FillRect(0, static_cast<float>(y), 800, y + 1.0f, Mix(Rgb(0x2E3A46), Rgb(0x141A20), y / 600.0f));
    for (int x = 0; x < 800; x += 20) c.FillRect(static_cast<float>(x), 0, x + 1.0f, 600, Rgb(0x3C4A58, 0.5f));
    for (int y = 0; y < 600; y += 20) c.FillRect(0, static_cast<float>(y), 800, y + 1.0f, Rgb(0x3C4A58, 0.5f));
    c.FillRect(0, 430, 800, 600, Rgb(0x1C222A));
    c.FillRect(0, 430, 800, 433, Rgb(0xE0A030));
    c.Text("SELECT YOUR UNIT", 400, 470, 30, Rgb(0xF2E6C8), 2, Rgb(0x05080C));
    c.Text("A / D or the arrows to look through the types", 400, 500, 15, Rgb(0xB8C4D0), 1, Rgb(0x05080C));
    return Stretch(c);
}

Canvas SelectPanel()
{
    Canvas c(512, 512);
    for (int y = 0; y < 512; ++y) c.FillRect(0, static_cast<float>(y), 512, y + 1.0f, Mix(Rgb(0x0E1622), Rgb(0x33475C), y / 512.0f));
    // A floor grid running away from the viewer.
    for (int k = -12; k <= 12; ++k) c.Line(256 + k * 8, 300, 256 + k * 60, 512, 1.2f, Rgb(0x6CA0C8, 0.45f));
    for (int k = 0; k < 9; ++k) {
        float y = 300 + 212 * std::pow(k / 8.0f, 1.8f);
        c.FillRect(0, y, 512, y + 1.2f, Rgb(0x6CA0C8, 0.45f));
    }
    c.RoundRect(6, 6, 506, 506, 18, Rgb(0, 0), Rgb(0x8CA8C0), 4);
    return c;
}

Canvas SelectBand()
{
    Canvas c(1024, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 1024; ++x) {
            RGBA col = Mix(Rgb(0x02040C), Rgb(0x1C2C48), y / 256.0f);
            float st = Hash01(x, y, 71);
            if (st > 0.996f) col = Mix(col, Rgb(0xE8ECFF), (st - 0.996f) / 0.004f);
            c.At(x, y) = col;
        }
    return c;
}

Canvas StageBackground()
{
    Canvas c(800, 600, Rgb(0xFFFFFF));  // white: the battlefield shows through
    c.FillRect(0, 0, 800, 44, Rgb(0x1C222A));
    c.FillRect(0, 41, 800, 44, Rgb(0xE0A030));
    c.Text("STAGE SETTINGS", 400, 22, 26, Rgb(0xF2E6C8), 2, Rgb(0x05080C));
    c.RoundRect(20, 318, 780, 590, 16, Rgb(0x1C222A), Rgb(0xB8C4D0), 3);
    c.Text("battlefield", 400, 327, 13, Rgb(0xB8C4D0));
    c.Text("sky", 400, 388, 13, Rgb(0xB8C4D0));
    Canvas out = Stretch(c);
    // Keep the see-through area pure white after stretching.
    for (int y = 0; y < 1024; ++y)
        for (int x = 0; x < 1024; ++x) {
            RGBA& p = out.At(x, y);
            if (p.r > 0.98f && p.g > 0.98f && p.b > 0.98f) p = Rgb(0xFFFFFF);
        }
    return out;
}

Canvas OptionBackground()
{
    Canvas c(800, 600);
    for (int y = 0; y < 600; ++y) c.FillRect(0, static_cast<float>(y), 800, y + 1.0f, Mix(Rgb(0x242C36), Rgb(0x0E1216), y / 600.0f));
    c.FillRect(0, 0, 160, 600, Rgb(0x161B22));
    c.FillRect(158, 0, 161, 600, Rgb(0xE0A030));
    c.RoundRect(200, 80, 780, 520, 16, Rgb(0x1C222A), Rgb(0x6A7886), 3);
    c.Text("OPTIONS", 490, 40, 34, Rgb(0xF2E6C8), 2, Rgb(0x05080C));
    for (float y : {222.0f, 367.0f}) c.FillRect(230, y, 750, y + 2, Rgb(0x3A4450));
    return Stretch(c);
}

// --- atlases -------------------------------------------------------------------------------
Canvas MenuLog()
{
    Canvas c(1024, 1024);
    Button(c, {2, 2, 447, 118}, "START", 52);
    Element(c, {2, 122, 447, 238}, [](Canvas& e) {
        float w = e.W(), h = e.H();
        e.RoundRect(2, 2, w - 2, h - 2, h * 0.22f, Rgb(0x2A323C), Rgb(0x8A949E), 3);
        e.Text("CAMPAIGN", w / 2, h / 2 - 8, 46, Rgb(0xA8A8A0), 2, Rgb(0x0A0E12));
        e.Text("not available", w / 2, h / 2 + 26, 16, Rgb(0xC88060), 1, Rgb(0x0A0E12));
    });
    Button(c, {2, 242, 447, 358}, "OPTIONS", 52);
    Button(c, {2, 362, 447, 478}, "QUIT", 52, Rgb(0xC84830));
    Button(c, {451, 2, 612, 97}, "BACK", 34);
    Button(c, {451, 101, 612, 196}, "START", 34, Rgb(0x50C060));
    Button(c, {451, 200, 612, 295}, "NEXT", 34);
    // The options screen's pieces.
    Button(c, {2, 482, 180, 563}, "DISPLAY", 26);
    Button(c, {184, 482, 362, 563}, "AUDIO", 26);
    Button(c, {366, 482, 544, 563}, "INPUT", 26);
    Button(c, {2, 567, 180, 648}, "APPLY", 28, Rgb(0x50C060));
    Button(c, {184, 567, 362, 648}, "BACK", 28);
    // Row labels keep their lower part clear: the row's value is drawn there.
    auto rowLabel = [&](Box r, const char* text) {
        Element(c, r, [&](Canvas& e) { e.Text(text, e.W() / 2.0f, e.H() * 0.2f, 34, Rgb(0xF2E6C8), 2, Rgb(0x0A0E12)); });
    };
    rowLabel({2, 652, 462, 787}, "RESOLUTION");
    rowLabel({2, 791, 462, 924}, "SCREEN MODE");
    rowLabel({465, 584, 927, 721}, "SHADOWS");
    Label(c, {2, 928, 273, 994}, "640 x 480", 32, Rgb(0xF0D070));
    Label(c, {276, 928, 547, 994}, "800 x 600", 32, Rgb(0xF0D070));
    Label(c, {550, 928, 821, 994}, "1024 x 768", 32, Rgb(0xF0D070));
    Label(c, {466, 775, 619, 848}, "FULL", 34, Rgb(0xF0D070));
    Label(c, {466, 851, 696, 924}, "WINDOW", 34, Rgb(0xF0D070));
    Label(c, {616, 1, 881, 66}, "OFF", 34, Rgb(0xF0D070));
    Label(c, {616, 148, 819, 213}, "LOW", 34, Rgb(0xF0D070));
    Label(c, {616, 215, 911, 280}, "MIDDLE", 34, Rgb(0xF0D070));
    Label(c, {616, 68, 882, 146}, "HIGH", 34, Rgb(0xF0D070));
    Arrow(c, {466, 724, 514, 772}, -1);
    Arrow(c, {517, 724, 564, 772}, 1);
    // The sight over units that can be looked at but not taken into battle;
    // it is drawn centred on (64, 32) of its rectangle.
    Element(c, {874, 963, 1023, 1023}, [](Canvas& e) {
        float cy = 32 * 0.75f;
        e.RoundRect(4, cy - 18, 124, cy + 18, 8, Rgb(0x1C222A), Rgb(0xE0A030), 2);
        e.Text("VIEW ONLY", 64, cy, 17, Rgb(0xF2E6C8));
    });
    return c;
}

Canvas GameLogo()
{
    Canvas c(512, 512);
    Arrow(c, {0, 0, 30, 30}, -1);
    Arrow(c, {30, 0, 60, 30}, 1);
    for (int d = 0; d < 10; ++d) {
        char s[2] = {static_cast<char>('0' + d), 0};
        Element(c, {65 + 35.0f * d, 0, 100 + 35.0f * d, 30}, [&](Canvas& e) {
            e.Text(s, e.W() / 2.0f, e.H() / 2.0f, 26, Rgb(0xFFFFFF), 1.5f, Rgb(0x404040));
        });
    }
    Arrow(c, {420, 0, 440, 20}, -2);
    Arrow(c, {420, 20, 440, 40}, 2);
    Element(c, {0, 31, 165, 71}, [](Canvas& e) { e.RoundRect(1, 1, e.W() - 1.0f, e.H() - 1.0f, 6, Rgb(0xFFFFFF)); });
    Label(c, {0, 71, 165, 111}, "MOUNTAINS", 24, Rgb(0xFFFFFF), Rgb(0x202020));
    const char* skies[] = {"CLOUDY DAY", "MORNING", "DUSK", "EVENING", "SUNSET",
                           "FINE DAY", "NIGHT", "SUNNY DAY", "CLEAR NOON"};
    for (int k = 0; k < 9; ++k) Label(c, {172, 100 + 38.0f * k, 337, 138 + 38.0f * k}, skies[k], 22, Rgb(0xFFFFFF), Rgb(0x202020));
    // The side labels keep their lower half clear: the stage screen puts
    // the unit count there.
    Element(c, {168, 31, 286, 99}, [](Canvas& e) {
        e.Text("EARTH", e.W() / 2.0f, e.H() * 0.22f, 22, Rgb(0xFF9080), 1.5f, Rgb(0x101010));
    });
    Element(c, {287, 31, 404, 99}, [](Canvas& e) {
        e.Text("MERCURY", e.W() / 2.0f, e.H() * 0.22f, 20, Rgb(0x90A8FF), 1.5f, Rgb(0x101010));
    });
    // The minutes sit in the lower left of the time label, "minutes" after them.
    Element(c, {353, 108, 510, 161}, [](Canvas& e) {
        e.Text("BATTLE TIME", e.W() / 2.0f, e.H() * 0.25f, 18, Rgb(0xF2E6C8), 1.5f, Rgb(0x101010));
        e.Text("minutes", e.W() * 0.75f, e.H() * 0.74f, 15, Rgb(0xB8C4D0), 1, Rgb(0x101010));
    });
    return c;
}

Canvas Captions()
{
    Canvas c(512, 512);
    auto caption = [&](Box r, const char* title, const char* line, uint32_t accent) {
        Element(c, r, [&](Canvas& e) {
            float w = e.W(), h = e.H();
            e.RoundRect(6, 4, w - 6, h - 4, 10, Rgb(0x141A22), Rgb(accent), 3);
            e.Text(title, w / 2, h * 0.4f, 30, Rgb(0xF2E6C8), 2, Rgb(0x05080C));
            e.Text(line, w / 2, h * 0.76f, 15, Rgb(accent), 1, Rgb(0x05080C));
        });
    };
    caption({0, 2, 512, 104}, "CHOOSE YOUR SIDE", "point at a planet", 0xE0A030);
    caption({0, 107, 512, 223}, "EARTH FORCES", "heavy tanks: armour and firepower", 0x60A8F0);
    caption({0, 227, 512, 337}, "MERCURY FORCES", "walking robots: cannons and missiles", 0xF08860);
    return c;
}

// The desktop icon: the title's dusk over a mountain ridge, the two armies
// face to face under the game's initial, on a square with round corners.
// Each size is painted at that size rather than shrunk from a large one, so
// the small ones stay sharp; below 48 pixels the armies are left out and the
// initial fills the square.
Canvas Icon(int size)
{
    const float k = size / 256.0f;
    const bool small = size < 48;
    Canvas art(size, size);
    Sky(art, 0x141C2A, 0xB0683A, 190 * k);
    art.Disc(188 * k, 150 * k, 46 * k, Rgb(0xFFC27A, 0.45f), 34 * k);
    const uint32_t ridges[3] = {0x3A3034, 0x241E22, 0x16121A};
    for (int r = 0; r < 3; ++r)
        for (int x = 0; x < size; ++x) {
            float h = (170 + 28 * r - (36 - 10 * r) * Fbm(x / (60 * k), 0.5f, 4, 41 + r)) * k;
            art.FillRect(static_cast<float>(x), h, x + 1.0f, static_cast<float>(size), Rgb(ridges[r]));
        }
    if (!small) {
        TankSilhouette(art, 76 * k, 236 * k, 0.8f * k, Rgb(0x0A080C));
        RobotSilhouette(art, 206 * k, 244 * k, 0.7f * k, Rgb(0x0A080C));
    }
    art.Text("V", 128 * k, (small ? 124 : 82) * k, (small ? 230 : 140) * k, Rgb(0xF2E6C8),
             std::max(1.0f, 6 * k), Rgb(0x1A1410));
    // The round corners: coverage of a rounded square, a pixel's width soft.
    const float radius = 40 * k, half = size / 2.0f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float dx = std::max(std::fabs(x + 0.5f - half) - (half - radius), 0.0f);
            float dy = std::max(std::fabs(y + 0.5f - half) - (half - radius), 0.0f);
            art.At(x, y).a *= Clamp01(radius - std::sqrt(dx * dx + dy * dy) + 0.5f);
        }
    return art;
}
}  // namespace

// The sizes of the desktop icon, as the icon theme's folders name them.
const int kIconSizes[kIconSizeCount] = {16, 24, 32, 48, 64, 128, 256};

void BuildTitle(Pack& pack)
{
    pack.Bmp("Title/MainMenu.bmp", MainMenu());
    pack.KeyedBmp("Title/MenuLog.bmp", MenuLog(), 0xFF00FF);
    pack.KeyedBmp("Title/ForcesSelectMenu.bmp", ForcesBackground(), 0xFFFFFF);
    pack.KeyedBmp("Title/ForcesSelectMenu1.bmp", Captions(), 0xFFFFFF);
    pack.KeyedBmp("Title/SelectMenu.bmp", SelectBackground(), 0xFFFFFF);
    pack.Bmp("Title/Selectback1.bmp", SelectPanel());
    pack.Bmp("Title/Selectback2.bmp", SelectBand());
    pack.Bmp("Title/StageSet.bmp", StageBackground());  // its white is the see-through key
    pack.Bmp("Title/Option.bmp", OptionBackground());
    pack.KeyedBmp("Title/Game_Logo1.bmp", GameLogo(), 0xFF00FF);
    for (int size : kIconSizes) {
        const std::string edge = std::to_string(size);
        pack.Png("Icon/hicolor/" + edge + "x" + edge + "/apps/varnok.png", Icon(size));
    }
}
