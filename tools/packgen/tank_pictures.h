// Painting the armoured kinds' pictures the same way: a colour shaded, a
// box of the picture filled with grain or speckle, a round wheel face
// painted texel by texel, an engine grille of slats and a lamp lens in its
// housing.  What each kind paints (its colours, sizes and seeds) stays in
// its own file.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>

#include "canvas.h"
#include "tank_shapes.h"

// A box of a picture in texels: x0 to x1 across, y0 to y1 down (the ends
// outside it).
struct TexelBox {
    int x0, y0, x1, y1;
};

// The colour darkened (or lightened) by `shade`, opaque.
inline RGBA Shaded(RGBA c, float shade) { return {c.r * shade, c.g * shade, c.b * shade, 1}; }

// Fills the box with a mix of a and b by fractal noise `scale` texels
// across (three octaves, `seed`): cast or painted steel's grain.
void FillGrain(Canvas* c, const TexelBox& box, RGBA a, RGBA b, float scale, uint32_t seed);
// Fills the box with a mix of a and b by a hash of each texel: worn bright
// steel's speckle.
void FillSpeckled(Canvas* c, const TexelBox& box, RGBA a, RGBA b, uint32_t seed);

// A texel of a round face being painted: where it is, its offset (dx, dy)
// from the face's centre, its distance d from the centre as a fraction of
// the face's radius `rad` (in texels), and its angle.
struct FacePoint {
    int x, y;
    float dx, dy, d, ang, rad;

    // Whether the texel lies within radius x rad of the point at `angle`,
    // dist x rad out from the centre: a bolt head or a hole in the disc.
    bool Near(float angle, float dist, float radius) const
    {
        return std::hypot(dx - std::cos(angle) * dist * rad, dy - std::sin(angle) * dist * rad) < radius * rad;
    }
};
// Paints the round face filling the square `r` of a `pictureSize` picture:
// every texel of the square and `margin` texels round it that lies inside
// `clip` takes the colour `paint` gives it.
void PaintRoundFace(Canvas* c, const Rect& r, float pictureSize, int margin, const TexelBox& clip,
                    const std::function<RGBA(const FacePoint&)>& paint);

// An engine grille: a frame box in texels, dark slats 8 texels apart from
// firstSlatY down, each with a lit lip below it, `inset` in from the
// frame's sides.
struct Grille {
    float l, t, r, b;
    float inset;
    float firstSlatY;
    int slats;
    RGBA frame, slat, lip;
};
void PaintGrille(Canvas* c, const Grille& g);

// How a lamp's lens sits in its housing: inset from the housing's edge
// with rounded corners, a glint near its top left corner.
struct LampStyle {
    float inset, corner;
    float glintX, glintY, glintRadius;
};
// A lamp lens (or sight glass) in its dark housing, filling `r` of a
// `pictureSize` picture.
void PaintLamp(Canvas* c, const Rect& r, float pictureSize, RGBA housing, RGBA lens, const LampStyle& style);

// Plate seams across a tiling camouflage picture: four, 128 texels apart
// from `first`, each a dark line with a lit line beside it, every other one
// (k % 2 == downParity) also running down the picture; along each a row of
// rivet heads, each with a glint when the glint's colour is not clear.
struct SeamStyle {
    float first;
    float width, litOffset;  // the dark line's width; the lit line's offset from it
    int downParity;
    RGBA dark, darkDown, lit, litDown;
    float rivetFrom, rivetStep;      // along the seam
    float rivetOffset, rivetRadius;  // off the seam
    RGBA rivet;
    float glintBack = 0, glintOffset = 0, glintRadius = 0;  // the glint's place: back along, off the seam
    RGBA glint = {0, 0, 0, 0};                              // clear: no glint
};
void PaintSeams(Canvas* c, const SeamStyle& s);
