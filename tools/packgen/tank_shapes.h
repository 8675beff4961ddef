// Pieces the armoured kinds' generators build the same way: a rectangle of
// a picture, projections onto it, faceted drums, mirrored pairs, wheel faces,
// hand-wound quads and the track's band round a side's wheels.
#pragma once

#include <cstdint>
#include <vector>

#include "math/vecmath.h"
#include "shapes.h"
#include "writers.h"

// A rectangle of a picture in texture coordinates.
struct Rect {
    float u0, v0, u1, v1;
};

// A planar projection repeating `scale` times a unit, shifted by the
// offsets so that the parts of a kind do not all start the picture alike.
UvMap ScaledUv(float scale, float uOffset, float vOffset);
// Projects a piece onto a rectangle of a picture along one axis (0: seen
// along x, 1: from above, 2: from ahead).
void ProjectInto(XMesh* m, int axis, const Rect& r);
// The piece with its texture projected onto `r` along `axis`, as
// ProjectInto does it: a detail taking a rectangle of the gear picture.
XMesh Detail(XMesh piece, int axis, const Rect& r);
// A round solid between the centres a and b with flat facets.
XMesh Drum(Vec3 a, Vec3 b, float ra, float rb, int sides, const UvMap& uv = {});
// The piece mirrored to the left side (x negated).
XMesh Mirrored(XMesh m);
// A right-side piece and its mirror, both on `material`.
void AddPair(XMesh* into, const XMesh& right, uint32_t material);
// A wheel's caps take the face picture, its tread the tread rectangle.
void WheelUv(XMesh* m, const Rect& face, float radius, const Rect& tread);
// Symmetric corner points: (x, y, z) and its mirror (-x, y, z).
void Both(std::vector<Vec3>* pts, float x, float y, float z);
// A plate lying on the plane through the line y = y0 at z0 and y = y1 at z1
// (a sloped plate seen from the side), from x0 to x1 across and between
// the fractions f0 and f1 of the way from (y0, z0) to (y1, z1); `thick`
// proud of the plane, on its upper side.
XMesh SlopePlate(float y0, float z0, float y1, float z1, float x0, float x1, float f0, float f1, float thick,
                 const UvMap& uv = {});
// A wheel's make: the round it meets the track or the ground with, its
// disc's width and facets, its pictures, and the hub on its outer (+x) face.
struct WheelShape {
    float radius;
    float halfWidth;  // the disc from across - halfWidth to across + halfWidth
    int sides;
    Rect face, tread;         // the face picture on both caps, the tread round the rim
    float hubRadius = 0;      // at the disc's face; 0: no hub
    float hubTipRadius = 0;   // at the hub's outer end
    float hubLength = 0;      // how far the hub stands out of the disc's face
    int hubSides = 6;
    Rect hubRim = {};         // the picture round the hub's side
    float across = 0;         // the disc's centre along the axle
};
// The radius of a `sides`-cornered facet ring whose corners lie a little
// outside a round of `radius` and its flats a little inside, so that on
// average it meets the track or the ground as the round would.
float FacetedRadius(float radius, int sides);
// A wheel turning about x on `material`: the faceted disc and its hub.
XMesh FacetedWheel(const WheelShape& w, const XMaterial& material);
// A quad of four given corners, wound so its face looks along `out`.
void Quad(XMesh* m, const Vec3 p[4], const Vec3 n[4], const float u[4], const float v[4], Vec3 out);

// A wheel the track runs round, seen from the side in the hull's frame: its
// axle's height y and place z along the hull, and its radius r.
struct TrackWheel {
    float y, z, r;
};

// How a kind's track band lies round its wheels and takes its picture.
struct TrackBand {
    float offsetY, offsetZ;  // the track's own frame is the hull's moved by these
    float centreX;           // the band's centre line across, in its own frame
    float halfWidth;
    float thickness;         // from its inner face on the wheels to its tread
    int steps;               // points round each wheel for the outline
    // A picture repeat is the distance a rim of repeatRadius turns through
    // repeatDegrees: the game scrolls u by the wheels' turn / repeatDegrees.
    float repeatDegrees, repeatRadius;
    // The rows of the gear picture the tread, the two sides and the inner
    // face take.
    float outerV0, outerV1, sideV0, sideV1, innerV0, innerV1;
    // The loop cut into this many stretches, each a material subset of its
    // own, so the reduced copy simplifies each alone and keeps the outline.
    uint32_t stretches = 1;
};

// The track: a band round the wheels' outline in the track's own frame, its
// inner face on the wheels, its tread on the ground line under the road
// wheels; u runs rear to front along the ground run, so the game's scrolling
// of u moves the links the way the wheels turn.  Every stretch is on
// `material`.
XMesh TrackLoop(const std::vector<TrackWheel>& wheels, const TrackBand& band, const XMaterial& material);

// One ring of a round's outline: its place along z and its radius.
struct ShellRing {
    float z, r;
};
// A round in flight, centred on its origin: six-sided rings along z closing
// to a point at tipZ, on `body`; its base (the faces looking backward) on
// `base`, the glow of its tracer.
XMesh GlowingRound(const std::vector<ShellRing>& rings, float tipZ, const XMaterial& body, const XMaterial& base);
