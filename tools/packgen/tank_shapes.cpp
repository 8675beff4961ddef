#include "tank_shapes.h"

#include <algorithm>
#include <cmath>

namespace {
const float kPi = 3.14159265f;
}  // namespace

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
