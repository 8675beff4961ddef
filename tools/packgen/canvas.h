// Pictures made in code: a float RGBA canvas with the few drawing tools the
// data pack needs (noise, gradients, soft shapes, text), written out as BMP or
// PNG.  Everything is deterministic: the same calls give the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RGBA {
    float r, g, b, a;
};

inline RGBA Rgb(uint32_t rgb, float a = 1.0f)
{
    return {((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f, (rgb & 0xFF) / 255.0f, a};
}
RGBA Mix(RGBA a, RGBA b, float t);

// Value noise and fractal sums, seeded; period `wrap` (0: none) makes it tile.
float Hash01(int x, int y, uint32_t seed);
float ValueNoise(float x, float y, uint32_t seed, int wrap = 0);
float Fbm(float x, float y, int octaves, uint32_t seed, int wrap = 0);

float Clamp01(float v);
float Smooth(float e0, float e1, float x);

class Canvas {
public:
    Canvas(int w, int h, RGBA fill = {0, 0, 0, 0});
    int W() const { return w_; }
    int H() const { return h_; }
    RGBA& At(int x, int y) { return px_[static_cast<size_t>(y) * w_ + x]; }
    const RGBA& At(int x, int y) const { return px_[static_cast<size_t>(y) * w_ + x]; }

    // Alpha-blends c over the pixel with coverage `cover` (0..1).
    void Blend(int x, int y, RGBA c, float cover = 1.0f);
    void Fill(RGBA c);
    void FillRect(float x0, float y0, float x1, float y1, RGBA c);
    // A rounded rectangle with soft edges, optionally a border of width `border`.
    void RoundRect(float x0, float y0, float x1, float y1, float radius, RGBA fill, RGBA border = {0, 0, 0, 0},
                   float borderWidth = 0);
    void Disc(float cx, float cy, float radius, RGBA c, float softness = 1.0f);
    void Ring(float cx, float cy, float radius, float width, RGBA c);
    void Line(float x0, float y0, float x1, float y1, float width, RGBA c);
    void Triangle(float x0, float y0, float x1, float y1, float x2, float y2, RGBA c);
    // Text in DejaVu Sans Bold `px` high, centred on (cx, cy); with a dark
    // outline when outline > 0.  Returns the text's width.
    float Text(const std::string& s, float cx, float cy, float px, RGBA c, float outline = 0,
               RGBA outlineColour = {0, 0, 0, 1});
    float TextWidth(const std::string& s, float px) const;
    // Copies another canvas in at (x, y).
    void Paste(const Canvas& src, int x, int y);
    // Bilinear resampling to a new size.
    Canvas Resized(int w, int h) const;

    // Writers.  BMP is 24-bit: alpha is dropped (transparent areas must hold
    // the key colour already).  PNG keeps alpha.
    bool SaveBmp(const std::string& path) const;
    // For colour-keyed pictures: pixels under half covered become the key,
    // the rest keep their own colour, so no edge is tinted by the key.
    bool SaveKeyedBmp(const std::string& path, uint32_t keyRgb) const;
    bool SavePng(const std::string& path) const;

private:
    int w_, h_;
    std::vector<RGBA> px_;
};

// The face every picture's text is set in.
bool LoadPackFont(const std::string& ttfPath);
