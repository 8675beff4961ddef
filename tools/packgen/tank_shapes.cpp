#include "tank_shapes.h"

#include <algorithm>
#include <cmath>

namespace {
const float kPi = 3.14159265f;
}  // namespace

UvMap ScaledUv(float scale, float uOffset, float vOffset)
{
    UvMap m;
    m.scale = scale;
    m.uOffset = uOffset;
    m.vOffset = vOffset;
    return m;
}

// Projects a piece onto a rectangle of a picture along one axis: the piece's
// extent on the two other axes fills the rectangle (u across, v down).
// axis 0: seen along x (u = z, v = -y); 1: from above (u = x, v = -z);
// 2: from behind or ahead (u = x, v = -y).
void ProjectInto(XMesh* m, int axis, const Rect& r)
{
    auto coords = [&](Vec3 p, float* a, float* b) {
        if (axis == 0) *a = p.z, *b = -p.y;
        else if (axis == 1) *a = p.x, *b = -p.z;
        else *a = p.x, *b = -p.y;
    };
    float a0 = 1e9f, a1 = -1e9f, b0 = 1e9f, b1 = -1e9f;
    for (Vec3 p : m->pos) {
        float a, b;
        coords(p, &a, &b);
        a0 = std::min(a0, a), a1 = std::max(a1, a), b0 = std::min(b0, b), b1 = std::max(b1, b);
    }
    for (size_t i = 0; i < m->pos.size(); ++i) {
        float a, b;
        coords(m->pos[i], &a, &b);
        float tu = (a - a0) / std::max(a1 - a0, 1e-6f), tv = (b - b0) / std::max(b1 - b0, 1e-6f);
        m->u[i] = r.u0 + tu * (r.u1 - r.u0);
        m->v[i] = r.v0 + tv * (r.v1 - r.v0);
    }
}

XMesh Detail(XMesh piece, int axis, const Rect& r)
{
    ProjectInto(&piece, axis, r);
    return piece;
}

// A round solid between the centres a and b (radii ra and rb), its sides
// flat facets.  Flat facets keep hard edges, which the level-of-detail
// simplifier only collapses within its outline error, where smooth sides can
// fold away whole.
XMesh Drum(Vec3 a, Vec3 b, float ra, float rb, int sides, const UvMap& uv)
{
    Vec3 axis = Vec3Normalize(b - a);
    Vec3 ref = std::fabs(axis.y) < 0.9f ? Vec3{0, 1, 0} : Vec3{1, 0, 0};
    Vec3 s = Vec3Normalize(Vec3Cross(ref, axis)), t = Vec3Cross(axis, s);
    std::vector<Vec3> pts;
    for (int i = 0; i < sides; ++i) {
        float ang = 2 * kPi * (i + 0.5f) / sides;
        Vec3 dir = s * std::cos(ang) + t * std::sin(ang);
        pts.push_back(a + dir * ra);
        pts.push_back(b + dir * rb);
    }
    return ConvexHull(pts, uv);
}


XMesh Mirrored(XMesh m)
{
    TransformMesh(&m, MatScaling(-1, 1, 1));
    return m;
}

// The piece and its mirror image across x = 0.
void AddPair(XMesh* into, const XMesh& right, uint32_t material)
{
    AddPiece(into, right, material);
    AddPiece(into, Mirrored(right), material);
}

// A wheel turning about x: the face picture on both flat sides (the disc of
// `radius` fills the picture, a hub on it takes the middle), the tread and
// the hub's rim in rubber or steel.
void WheelUv(XMesh* m, const Rect& face, float radius, const Rect& tread)
{
    for (size_t i = 0; i < m->pos.size(); ++i) {
        bool cap = std::fabs(m->normal[i].x) > 0.99f;
        float tu = cap ? 0.5f + m->pos[i].z / (2 * radius) : 0.5f;
        float tv = cap ? 0.5f - m->pos[i].y / (2 * radius) : 0.5f;
        const Rect& r = cap ? face : tread;
        m->u[i] = r.u0 + tu * (r.u1 - r.u0);
        m->v[i] = r.v0 + tv * (r.v1 - r.v0);
    }
}

void Both(std::vector<Vec3>* pts, float x, float y, float z)
{
    pts->push_back({x, y, z});
    pts->push_back({-x, y, z});
}

// The plate's corners at both fractions, both edges across and both faces:
// the plane's normal turned to point up.
XMesh SlopePlate(float y0, float z0, float y1, float z1, float x0, float x1, float f0, float f1, float thick,
                 const UvMap& uv)
{
    float dy = y1 - y0, dz = z1 - z0, len = std::hypot(dy, dz);
    float ny = dz / len, nz = -dy / len;
    if (ny < 0) ny = -ny, nz = -nz;
    std::vector<Vec3> pts;
    for (float f : {f0, f1})
        for (float x : {x0, x1})
            for (float t : {0.0f, thick}) pts.push_back({x, y0 + dy * f + ny * t, z0 + dz * f + nz * t});
    return ConvexHull(pts, uv);
}

float FacetedRadius(float radius, int sides) { return radius * 2 / (1 + std::cos(kPi / sides)); }

// The disc between its two faces, the face picture on its caps and the
// tread round it; the hub from just inside the outer face to hubLength out.
XMesh FacetedWheel(const WheelShape& w, const XMaterial& material)
{
    XMesh m;
    float corner = FacetedRadius(w.radius, w.sides);
    XMesh disc = Drum({w.across - w.halfWidth, 0, 0}, {w.across + w.halfWidth, 0, 0}, corner, corner, w.sides);
    WheelUv(&disc, w.face, w.radius, w.tread);
    AddPiece(&m, disc, 0);
    if (w.hubRadius > 0) {
        const float outside = w.across + w.halfWidth;
        XMesh hub = Drum({outside - 0.005f, 0, 0}, {outside + w.hubLength, 0, 0}, w.hubRadius, w.hubTipRadius,
                         w.hubSides);
        WheelUv(&hub, w.face, w.radius, w.hubRim);
        AddPiece(&m, hub, 0);
    }
    m.materials = {material};
    return m;
}

// Adds the quad a-b-c-d (in order round it) as two faces turned to face
// along `out`, each vertex with its own normal and texture pair.
void Quad(XMesh* m, const Vec3 p[4], const Vec3 n[4], const float u[4], const float v[4], Vec3 out)
{
    uint32_t id[4];
    for (int k = 0; k < 4; ++k) id[k] = m->AddVertex(p[k], n[k], u[k], v[k]);
    Vec3 face = Vec3Cross(p[1] - p[0], p[2] - p[0]);
    if (Vec3Dot(face, out) >= 0) {
        m->AddFace(id[0], id[1], id[2], 0);
        m->AddFace(id[0], id[2], id[3], 0);
    } else {
        m->AddFace(id[0], id[2], id[1], 0);
        m->AddFace(id[0], id[3], id[2], 0);
    }
}

// The hull of the rings and the tip; the faces looking backward take the
// base's material.
XMesh GlowingRound(const std::vector<ShellRing>& rings, float tipZ, const XMaterial& body, const XMaterial& base)
{
    std::vector<Vec3> pts;
    for (const ShellRing& ring : rings)
        for (int k = 0; k < 6; ++k) {
            float a = 2 * kPi * k / 6;
            pts.push_back({ring.r * std::cos(a), ring.r * std::sin(a), ring.z});
        }
    pts.push_back({0, 0, tipZ});
    XMesh m = ConvexHull(pts);
    for (size_t f = 0; f < m.material.size(); ++f)
        if (m.normal[m.faces[f * 3]].z < -0.9f) m.material[f] = 1;
    m.materials = {body, base};
    return m;
}

namespace {
// How far the band's inner face stands off each wheel's round.
const float kTrackClearance = 0.002f;

// The points of the wheels' rounds seen from the side in the track's frame,
// (z, y), each round grown by the clearance.
std::vector<P2> WheelRounds(const std::vector<TrackWheel>& wheels, const TrackBand& band)
{
    std::vector<P2> pts;
    for (const TrackWheel& w : wheels) {
        const float y = w.y - band.offsetY, z = w.z - band.offsetZ, r = w.r + kTrackClearance;
        for (int k = 0; k < band.steps; ++k) {
            float a = 2 * kPi * k / band.steps;
            pts.push_back({z + r * std::cos(a), y + r * std::sin(a)});
        }
    }
    return pts;
}

// The convex hull of the points, counter-clockwise with z (a) to the right
// and y (b) up, which runs forward along the bottom; it starts at the rear
// end of the ground run, the lowest point furthest back.
std::vector<P2> Outline(std::vector<P2> pts)
{
    std::sort(pts.begin(), pts.end(), [](P2 p, P2 q) { return p.a < q.a || (p.a == q.a && p.b < q.b); });
    auto cross = [](P2 o, P2 a, P2 b) { return (a.a - o.a) * (b.b - o.b) - (a.b - o.b) * (b.a - o.a); };
    std::vector<P2> hull(2 * pts.size());
    size_t k = 0;
    for (size_t i = 0; i < pts.size(); ++i) {
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], pts[i]) <= 1e-7f) --k;
        hull[k++] = pts[i];
    }
    for (size_t i = pts.size() - 1, t = k + 1; i-- > 0;) {
        while (k >= t && cross(hull[k - 2], hull[k - 1], pts[i]) <= 1e-7f) --k;
        hull[k++] = pts[i];
    }
    hull.resize(k - 1);
    size_t start = 0;
    for (size_t i = 0; i < hull.size(); ++i)
        if (hull[i].b < hull[start].b - 1e-4f ||
            (std::fabs(hull[i].b - hull[start].b) <= 1e-4f && hull[i].a < hull[start].a))
            start = i;
    std::rotate(hull.begin(), hull.begin() + static_cast<long>(start), hull.end());
    return hull;
}

// The outward normal of the outline's edge from corner i to the next: right
// of the direction of travel, which is outward for its winding.
P2 EdgeNormal(const std::vector<P2>& outline, size_t i)
{
    const size_t n = outline.size();
    P2 a = outline[i], b = outline[(i + 1) % n];
    float dz = b.a - a.a, dy = b.b - a.b, len = std::hypot(dz, dy);
    return P2{dy / len, -dz / len};
}

// The band round an outline: at each corner the outward normal and the
// tread's corner a band's thickness out (mitred so the band keeps its
// thickness), and the distance along the outline to each corner (along[n]
// the whole loop).
struct BandCorners {
    std::vector<P2> normal, outer;
    std::vector<float> along;
};

BandCorners Corners(const std::vector<P2>& hull, float thickness)
{
    const size_t n = hull.size();
    BandCorners c{std::vector<P2>(n), std::vector<P2>(n), std::vector<float>(n + 1, 0.0f)};
    for (size_t i = 0; i < n; ++i) {
        P2 e0 = EdgeNormal(hull, (i + n - 1) % n), e1 = EdgeNormal(hull, i);
        P2 nn{e0.a + e1.a, e0.b + e1.b};
        float len = std::hypot(nn.a, nn.b);
        nn = {nn.a / len, nn.b / len};
        float miter = thickness / std::max(nn.a * e1.a + nn.b * e1.b, 0.5f);
        c.normal[i] = nn;
        c.outer[i] = {hull[i].a + nn.a * miter, hull[i].b + nn.b * miter};
        c.along[i + 1] = c.along[i] + std::hypot(hull[(i + 1) % n].a - hull[i].a, hull[(i + 1) % n].b - hull[i].b);
    }
    return c;
}

// The band's faces over one edge of the outline, from corner i to corner
// j: the tread, the inner face and the two sides, u from u0 to u1.
void BandSegment(XMesh* m, const std::vector<P2>& hull, const BandCorners& c, size_t i, size_t j, float u0, float u1,
                 const TrackBand& band)
{
    const float x0 = band.centreX - band.halfWidth, x1 = band.centreX + band.halfWidth;
    auto at = [](float x, P2 p) { return Vec3{x, p.b, p.a}; };
    Vec3 ni = {0, c.normal[i].b, c.normal[i].a}, nj = {0, c.normal[j].b, c.normal[j].a};
    P2 en = EdgeNormal(hull, i);
    Vec3 out = {0, en.b, en.a};
    float us[4] = {u0, u0, u1, u1};
    {  // the tread, across the width
        Vec3 p[4] = {at(x0, c.outer[i]), at(x1, c.outer[i]), at(x1, c.outer[j]), at(x0, c.outer[j])};
        Vec3 nr[4] = {ni, ni, nj, nj};
        float vs[4] = {band.outerV0, band.outerV1, band.outerV1, band.outerV0};
        Quad(m, p, nr, us, vs, out);
    }
    {  // the inner face
        Vec3 p[4] = {at(x0, hull[i]), at(x1, hull[i]), at(x1, hull[j]), at(x0, hull[j])};
        Vec3 nr[4] = {-ni, -ni, -nj, -nj};
        float vs[4] = {band.innerV0, band.innerV1, band.innerV1, band.innerV0};
        Quad(m, p, nr, us, vs, -out);
    }
    for (float x : {x0, x1}) {  // the two sides
        Vec3 side = {x > band.centreX ? 1.0f : -1.0f, 0, 0};
        Vec3 p[4] = {at(x, hull[i]), at(x, c.outer[i]), at(x, c.outer[j]), at(x, hull[j])};
        Vec3 nr[4] = {side, side, side, side};
        float vs[4] = {band.sideV1, band.sideV0, band.sideV0, band.sideV1};
        Quad(m, p, nr, us, vs, side);
    }
}
}  // namespace

// The track round the wheels: the outline, the band's corners on it, and
// the band edge by edge.  The loop holds a whole number of picture repeats,
// so the seam does not show.
XMesh TrackLoop(const std::vector<TrackWheel>& wheels, const TrackBand& band, const XMaterial& material)
{
    const std::vector<P2> hull = Outline(WheelRounds(wheels, band));
    const size_t n = hull.size();
    const BandCorners c = Corners(hull, band.thickness);
    float repeat = band.repeatDegrees * band.repeatRadius * kPi / 180.0f;
    float repeats = std::max(1.0f, std::round(c.along[n] / repeat));
    float perUnit = repeats / c.along[n];

    XMesh m;
    for (size_t i = 0; i < n; ++i) {
        size_t firstFace = m.material.size();
        BandSegment(&m, hull, c, i, (i + 1) % n, c.along[i] * perUnit, c.along[i + 1] * perUnit, band);
        uint32_t stretch =
            std::min(band.stretches - 1, static_cast<uint32_t>(c.along[i] / c.along[n] * band.stretches));
        for (size_t f = firstFace; f < m.material.size(); ++f) m.material[f] = stretch;
    }
    m.materials.assign(band.stretches, material);
    return m;
}
