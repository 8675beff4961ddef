#include "tank_pictures.h"

#include <cmath>

void FillGrain(Canvas* c, const TexelBox& box, RGBA a, RGBA b, float scale, uint32_t seed)
{
    for (int y = box.y0; y < box.y1; ++y)
        for (int x = box.x0; x < box.x1; ++x) c->At(x, y) = Mix(a, b, Fbm(x / scale, y / scale, 3, seed));
}

void FillSpeckled(Canvas* c, const TexelBox& box, RGBA a, RGBA b, uint32_t seed)
{
    for (int y = box.y0; y < box.y1; ++y)
        for (int x = box.x0; x < box.x1; ++x) c->At(x, y) = Mix(a, b, Hash01(x, y, seed));
}

// The face's centre and radius from its square, then every texel round it.
void PaintRoundFace(Canvas* c, const Rect& r, float pictureSize, int margin, const TexelBox& clip,
                    const std::function<RGBA(const FacePoint&)>& paint)
{
    int x0 = static_cast<int>(r.u0 * pictureSize), y0 = static_cast<int>(r.v0 * pictureSize);
    int size = static_cast<int>((r.u1 - r.u0) * pictureSize);
    float cx = x0 + size / 2.0f, cy = y0 + size / 2.0f, rad = size / 2.0f;
    for (int y = y0 - margin; y < y0 + size + margin; ++y)
        for (int x = x0 - margin; x < x0 + size + margin; ++x) {
            if (x < clip.x0 || y < clip.y0 || x >= clip.x1 || y >= clip.y1) continue;
            float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            float d = std::hypot(dx, dy) / rad, ang = std::atan2(dy, dx);
            c->At(x, y) = paint({x, y, dx, dy, d, ang, rad});
        }
}

void PaintGrille(Canvas* c, const Grille& g)
{
    c->FillRect(g.l, g.t, g.r, g.b, g.frame);
    for (int k = 0; k < g.slats; ++k) {
        float y = g.firstSlatY + k * 8.0f;
        c->FillRect(g.l + g.inset, y, g.r - g.inset, y + 4, g.slat);
        c->FillRect(g.l + g.inset, y + 4, g.r - g.inset, y + 6, g.lip);
    }
}

// The housing a little larger than the rectangle, so its edge never shows
// through the lens.
void PaintLamp(Canvas* c, const Rect& r, float pictureSize, RGBA housing, RGBA lens, const LampStyle& style)
{
    float l = r.u0 * pictureSize, t = r.v0 * pictureSize, rr = r.u1 * pictureSize, b = r.v1 * pictureSize;
    c->FillRect(l - 2, t - 2, rr + 2, b + 2, housing);
    c->RoundRect(l + style.inset, t + style.inset, rr - style.inset, b - style.inset, style.corner, lens);
    c->Disc(l + style.glintX, t + style.glintY, style.glintRadius, Rgb(0xFFF4D0, 0.7f), 3);
}

void PaintSeams(Canvas* c, const SeamStyle& s)
{
    const int n = c->W();
    for (int k = 0; k < 4; ++k) {
        float at = k * 128.0f + s.first;
        c->Line(0, at, n, at, s.width, s.dark);
        c->Line(0, at + s.litOffset, n, at + s.litOffset, 1.0f, s.lit);
        if (k % 2 == s.downParity) {
            c->Line(at, 0, at, n, s.width, s.darkDown);
            c->Line(at + s.litOffset, 0, at + s.litOffset, n, 1.0f, s.litDown);
        }
        for (float b = s.rivetFrom; b < n; b += s.rivetStep) {
            c->Disc(b, at + s.rivetOffset, s.rivetRadius, s.rivet);
            if (s.glint.a > 0) c->Disc(b - s.glintBack, at + s.glintOffset, s.glintRadius, s.glint);
        }
    }
}
