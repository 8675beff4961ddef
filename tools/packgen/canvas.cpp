#include "canvas.h"

#include <stb_image_write.h>
#include <stb_truetype.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

RGBA Mix(RGBA a, RGBA b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

float Clamp01(float v) { return v < 0 ? 0 : v > 1 ? 1 : v; }

float Smooth(float e0, float e1, float x)
{
    float t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

float Hash01(int x, int y, uint32_t seed)
{
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / 16777216.0f;
}

float ValueNoise(float x, float y, uint32_t seed, int wrap)
{
    int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
    float fx = x - xi, fy = y - yi;
    auto h = [&](int a, int b) {
        if (wrap > 0) {
            a = ((a % wrap) + wrap) % wrap;
            b = ((b % wrap) + wrap) % wrap;
        }
        return Hash01(a, b, seed);
    };
    float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    float a = h(xi, yi), b = h(xi + 1, yi), c = h(xi, yi + 1), d = h(xi + 1, yi + 1);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

float Fbm(float x, float y, int octaves, uint32_t seed, int wrap)
{
    float sum = 0, amp = 0.5f, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += ValueNoise(x, y, seed + o * 101u, wrap) * amp;
        norm += amp;
        x *= 2;
        y *= 2;
        if (wrap > 0) wrap *= 2;
        amp *= 0.5f;
    }
    return sum / norm;
}

Canvas::Canvas(int w, int h, RGBA fill) : w_(w), h_(h), px_(static_cast<size_t>(w) * h, fill) {}

void Canvas::Blend(int x, int y, RGBA c, float cover)
{
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    float a = Clamp01(c.a * cover);
    if (a <= 0) return;
    RGBA& d = At(x, y);
    float outA = a + d.a * (1 - a);
    if (outA <= 0) return;
    d.r = (c.r * a + d.r * d.a * (1 - a)) / outA;
    d.g = (c.g * a + d.g * d.a * (1 - a)) / outA;
    d.b = (c.b * a + d.b * d.a * (1 - a)) / outA;
    d.a = outA;
}

void Canvas::Fill(RGBA c) { std::fill(px_.begin(), px_.end(), c); }

void Canvas::FillRect(float x0, float y0, float x1, float y1, RGBA c)
{
    for (int y = std::max(0, static_cast<int>(std::floor(y0))); y < std::min(h_, static_cast<int>(std::ceil(y1))); ++y)
        for (int x = std::max(0, static_cast<int>(std::floor(x0))); x < std::min(w_, static_cast<int>(std::ceil(x1))); ++x) {
            float cx = Clamp01(std::min(x + 1.0f, x1) - std::max(static_cast<float>(x), x0));
            float cy = Clamp01(std::min(y + 1.0f, y1) - std::max(static_cast<float>(y), y0));
            Blend(x, y, c, cx * cy);
        }
}

void Canvas::RoundRect(float x0, float y0, float x1, float y1, float radius, RGBA fill, RGBA border,
                       float borderWidth)
{
    for (int y = std::max(0, static_cast<int>(y0) - 1); y < std::min(h_, static_cast<int>(y1) + 2); ++y)
        for (int x = std::max(0, static_cast<int>(x0) - 1); x < std::min(w_, static_cast<int>(x1) + 2); ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            float qx = std::max(std::max(x0 + radius - px, px - (x1 - radius)), 0.0f);
            float qy = std::max(std::max(y0 + radius - py, py - (y1 - radius)), 0.0f);
            float dist = std::sqrt(qx * qx + qy * qy) - radius;  // < 0 inside
            float inside = Clamp01(0.5f - dist);
            if (inside <= 0) continue;
            if (borderWidth > 0) {
                float inner = Clamp01(0.5f - (dist + borderWidth));
                Blend(x, y, border, inside * (1 - inner));
                Blend(x, y, fill, inner);
            } else {
                Blend(x, y, fill, inside);
            }
        }
}

void Canvas::Disc(float cx, float cy, float radius, RGBA c, float softness)
{
    for (int y = std::max(0, static_cast<int>(cy - radius - softness) - 1);
         y < std::min(h_, static_cast<int>(cy + radius + softness) + 2); ++y)
        for (int x = std::max(0, static_cast<int>(cx - radius - softness) - 1);
             x < std::min(w_, static_cast<int>(cx + radius + softness) + 2); ++x) {
            float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
            Blend(x, y, c, Clamp01((radius - d) / softness + 0.5f));
        }
}

void Canvas::Ring(float cx, float cy, float radius, float width, RGBA c)
{
    for (int y = std::max(0, static_cast<int>(cy - radius - width) - 1);
         y < std::min(h_, static_cast<int>(cy + radius + width) + 2); ++y)
        for (int x = std::max(0, static_cast<int>(cx - radius - width) - 1);
             x < std::min(w_, static_cast<int>(cx + radius + width) + 2); ++x) {
            float d = std::fabs(std::hypot(x + 0.5f - cx, y + 0.5f - cy) - radius);
            Blend(x, y, c, Clamp01(width / 2 - d + 0.5f));
        }
}

void Canvas::Line(float x0, float y0, float x1, float y1, float width, RGBA c)
{
    float minx = std::min(x0, x1) - width, maxx = std::max(x0, x1) + width;
    float miny = std::min(y0, y1) - width, maxy = std::max(y0, y1) + width;
    float dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
    for (int y = std::max(0, static_cast<int>(miny)); y < std::min(h_, static_cast<int>(maxy) + 1); ++y)
        for (int x = std::max(0, static_cast<int>(minx)); x < std::min(w_, static_cast<int>(maxx) + 1); ++x) {
            float px = x + 0.5f - x0, py = y + 0.5f - y0;
            float t = len2 > 0 ? Clamp01((px * dx + py * dy) / len2) : 0;
            float d = std::hypot(px - t * dx, py - t * dy);
            Blend(x, y, c, Clamp01(width / 2 - d + 0.5f));
        }
}

void Canvas::Triangle(float x0, float y0, float x1, float y1, float x2, float y2, RGBA c)
{
    float minx = std::min({x0, x1, x2}), maxx = std::max({x0, x1, x2});
    float miny = std::min({y0, y1, y2}), maxy = std::max({y0, y1, y2});
    auto edge = [](float ax, float ay, float bx, float by, float px, float py) {
        float ex = bx - ax, ey = by - ay, l = std::hypot(ex, ey);
        return ((px - ax) * ey - (py - ay) * ex) / (l > 0 ? l : 1);
    };
    float area = (x1 - x0) * (y2 - y0) - (y1 - y0) * (x2 - x0);
    float s = area > 0 ? -1.0f : 1.0f;
    for (int y = std::max(0, static_cast<int>(miny) - 1); y < std::min(h_, static_cast<int>(maxy) + 2); ++y)
        for (int x = std::max(0, static_cast<int>(minx) - 1); x < std::min(w_, static_cast<int>(maxx) + 2); ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            float d = std::min({s * edge(x0, y0, x1, y1, px, py), s * edge(x1, y1, x2, y2, px, py),
                                s * edge(x2, y2, x0, y0, px, py)});
            Blend(x, y, c, Clamp01(d + 0.5f));
        }
}

namespace {
std::vector<unsigned char> gTtf;
stbtt_fontinfo gFont;
bool gFontReady = false;
}  // namespace

bool LoadPackFont(const std::string& ttfPath)
{
    std::ifstream f(ttfPath, std::ios::binary);
    gTtf.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    gFontReady = !gTtf.empty() && stbtt_InitFont(&gFont, gTtf.data(), 0);
    return gFontReady;
}

float Canvas::TextWidth(const std::string& s, float px) const
{
    if (!gFontReady) return 0;
    float scale = stbtt_ScaleForPixelHeight(&gFont, px), w = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        int adv, lsb;
        stbtt_GetCodepointHMetrics(&gFont, static_cast<unsigned char>(s[i]), &adv, &lsb);
        w += adv * scale;
        if (i + 1 < s.size())
            w += scale * stbtt_GetCodepointKernAdvance(&gFont, static_cast<unsigned char>(s[i]),
                                                       static_cast<unsigned char>(s[i + 1]));
    }
    return w;
}

float Canvas::Text(const std::string& s, float cx, float cy, float px, RGBA c, float outline, RGBA outlineColour)
{
    if (!gFontReady) return 0;
    float scale = stbtt_ScaleForPixelHeight(&gFont, px);
    int ascent, descent, gap;
    stbtt_GetFontVMetrics(&gFont, &ascent, &descent, &gap);
    float width = TextWidth(s, px);
    float baseline = cy + (ascent + descent) * scale * 0.5f;
    // Coverage of the whole string in a box around it, so an outline goes
    // under every glyph.
    int r = static_cast<int>(std::ceil(outline));
    int bx0 = static_cast<int>(std::floor(cx - width / 2 - px)) - r, by0 = static_cast<int>(std::floor(cy - px)) - r;
    int bw = static_cast<int>(width + 2 * px) + 2 * r + 2, bh = static_cast<int>(2 * px) + 2 * r + 2;
    std::vector<float> cover(static_cast<size_t>(bw) * bh, 0.0f);
    auto cov = [&](int x, int y) -> float& { return cover[static_cast<size_t>(y - by0) * bw + (x - bx0)]; };
    auto inBox = [&](int x, int y) { return x >= bx0 && y >= by0 && x < bx0 + bw && y < by0 + bh; };
    float x = cx - width / 2;
    for (size_t i = 0; i < s.size(); ++i) {
        int ch = static_cast<unsigned char>(s[i]);
        int adv, lsb;
        stbtt_GetCodepointHMetrics(&gFont, ch, &adv, &lsb);
        int gw, gh, xo, yo;
        float sub = x - std::floor(x);
        unsigned char* bmp = stbtt_GetCodepointBitmapSubpixel(&gFont, scale, scale, sub, 0, ch, &gw, &gh, &xo, &yo);
        int ox = static_cast<int>(std::floor(x)) + xo, oy = static_cast<int>(std::floor(baseline)) + yo;
        for (int j = 0; j < gh; ++j)
            for (int k = 0; k < gw; ++k)
                if (inBox(ox + k, oy + j)) cov(ox + k, oy + j) = std::max(cov(ox + k, oy + j), bmp[j * gw + k] / 255.0f);
        stbtt_FreeBitmap(bmp, nullptr);
        x += adv * scale;
        if (i + 1 < s.size()) x += scale * stbtt_GetCodepointKernAdvance(&gFont, ch, static_cast<unsigned char>(s[i + 1]));
    }
    if (outline > 0) {
        for (int y = by0; y < by0 + bh; ++y)
            for (int xx = bx0; xx < bx0 + bw; ++xx) {
                float best = 0;
                for (int dy = -r; dy <= r && best < 1; ++dy)
                    for (int dx = -r; dx <= r; ++dx) {
                        if (!inBox(xx + dx, y + dy)) continue;
                        float d = std::hypot(static_cast<float>(dx), static_cast<float>(dy));
                        if (d > outline + 0.5f) continue;
                        best = std::max(best, cov(xx + dx, y + dy) * Clamp01(outline + 0.5f - d));
                    }
                if (best > 0) Blend(xx, y, outlineColour, best);
            }
    }
    for (int y = by0; y < by0 + bh; ++y)
        for (int xx = bx0; xx < bx0 + bw; ++xx)
            if (cov(xx, y) > 0) Blend(xx, y, c, cov(xx, y));
    return width;
}

void Canvas::Paste(const Canvas& src, int x, int y)
{
    for (int j = 0; j < src.H(); ++j)
        for (int i = 0; i < src.W(); ++i) Blend(x + i, y + j, src.At(i, j));
}

Canvas Canvas::Resized(int w, int h) const
{
    Canvas out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float sx = (x + 0.5f) * w_ / w - 0.5f, sy = (y + 0.5f) * h_ / h - 0.5f;
            int x0 = std::clamp(static_cast<int>(std::floor(sx)), 0, w_ - 1), y0 = std::clamp(static_cast<int>(std::floor(sy)), 0, h_ - 1);
            int x1 = std::min(x0 + 1, w_ - 1), y1 = std::min(y0 + 1, h_ - 1);
            float fx = Clamp01(sx - x0), fy = Clamp01(sy - y0);
            // Weighted by alpha, so transparent neighbours do not darken an edge.
            RGBA c[4] = {At(x0, y0), At(x1, y0), At(x0, y1), At(x1, y1)};
            float wgt[4] = {(1 - fx) * (1 - fy), fx * (1 - fy), (1 - fx) * fy, fx * fy};
            RGBA o{0, 0, 0, 0};
            for (int k = 0; k < 4; ++k) {
                float a = c[k].a * wgt[k];
                o.r += c[k].r * a;
                o.g += c[k].g * a;
                o.b += c[k].b * a;
                o.a += a;
            }
            if (o.a > 0) {
                o.r /= o.a;
                o.g /= o.a;
                o.b /= o.a;
            }
            out.At(x, y) = o;
        }
    return out;
}

namespace {
uint8_t Byte(float v) { return static_cast<uint8_t>(std::lround(Clamp01(v) * 255.0f)); }
}  // namespace

bool Canvas::SaveBmp(const std::string& path) const
{
    uint32_t rowBytes = (static_cast<uint32_t>(w_) * 3 + 3) & ~3u, size = rowBytes * h_;
    uint8_t hdr[54] = {'B', 'M'};
    auto put = [&](int at, uint32_t v) {
        for (int i = 0; i < 4; ++i) hdr[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    put(2, 54 + size);
    put(10, 54);
    put(14, 40);
    put(18, static_cast<uint32_t>(w_));
    put(22, static_cast<uint32_t>(h_));
    hdr[26] = 1;
    hdr[28] = 24;
    put(34, size);
    put(38, 2835);
    put(42, 2835);
    std::vector<uint8_t> data(size, 0);
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) {
            const RGBA& p = At(x, h_ - 1 - y);
            uint8_t* d = &data[static_cast<size_t>(y) * rowBytes + x * 3];
            d[0] = Byte(p.b);
            d[1] = Byte(p.g);
            d[2] = Byte(p.r);
        }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(hdr, 1, 54, f) == 54 && std::fwrite(data.data(), 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

bool Canvas::SaveKeyedBmp(const std::string& path, uint32_t keyRgb) const
{
    Canvas out(w_, h_);
    RGBA key = Rgb(keyRgb);
    for (size_t i = 0; i < px_.size(); ++i) {
        RGBA p = px_[i];
        // Content never lands exactly on the key colour.
        if (p.a >= 0.5f && std::lround(p.r * 255) == std::lround(key.r * 255) &&
            std::lround(p.g * 255) == std::lround(key.g * 255) && std::lround(p.b * 255) == std::lround(key.b * 255))
            p.b = key.b > 0.5f ? p.b - 1.0f / 255 : p.b + 1.0f / 255;
        out.px_[i] = p.a >= 0.5f ? RGBA{p.r, p.g, p.b, 1} : RGBA{key.r, key.g, key.b, 1};
    }
    return out.SaveBmp(path);
}

bool Canvas::SavePng(const std::string& path) const
{
    std::vector<uint8_t> data(static_cast<size_t>(w_) * h_ * 4);
    for (size_t i = 0; i < px_.size(); ++i) {
        data[i * 4 + 0] = Byte(px_[i].r);
        data[i * 4 + 1] = Byte(px_[i].g);
        data[i * 4 + 2] = Byte(px_[i].b);
        data[i * 4 + 3] = Byte(px_[i].a);
    }
    return stbi_write_png(path.c_str(), w_, h_, 4, data.data(), w_ * 4) != 0;
}
