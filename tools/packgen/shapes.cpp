#include "shapes.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kEps = 1e-5f;

// One planar face: the points in order round it; flips them to be clockwise
// from outside (outward judged from `inside`), projects the texture and
// fans it into triangles.
void AddPolygon(XMesh* m, std::vector<Vec3> pts, Vec3 inside, const UvMap& uv)
{
    if (pts.size() < 3) return;
    // Newell's normal: robust for any planar polygon.
    Vec3 n{0, 0, 0};
    Vec3 centre{0, 0, 0};
    for (size_t i = 0; i < pts.size(); ++i) {
        Vec3 a = pts[i], b = pts[(i + 1) % pts.size()];
        n.x += (a.y - b.y) * (a.z + b.z);
        n.y += (a.z - b.z) * (a.x + b.x);
        n.z += (a.x - b.x) * (a.y + b.y);
        centre += a;
    }
    centre = centre * (1.0f / static_cast<float>(pts.size()));
    if (Vec3Length(n) < kEps) return;
    // Newell's normal is the sum of (b - a) x (c - a) over the fan, and
    // clockwise from outside in this left-handed world means exactly that it
    // points out: an outline whose normal points in is reversed.
    n = Vec3Normalize(n);
    if (Vec3Dot(n, centre - inside) < 0) {
        std::reverse(pts.begin(), pts.end());
        n = -n;
    }
    float ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    auto project = [&](Vec3 p, float* u, float* v) {
        if (ay >= ax && ay >= az) *u = p.x, *v = -p.z;
        else if (ax >= az) *u = p.z * (n.x > 0 ? -1.0f : 1.0f), *v = -p.y;
        else *u = p.x * (n.z > 0 ? 1.0f : -1.0f), *v = -p.y;
        *u = *u * uv.scale + uv.uOffset;
        *v = *v * uv.scale + uv.vOffset;
    };
    uint32_t first = static_cast<uint32_t>(m->pos.size());
    for (Vec3 p : pts) {
        float u, v;
        project(p, &u, &v);
        m->AddVertex(p, n, u, v);
    }
    for (uint32_t i = 1; i + 1 < pts.size(); ++i) m->AddFace(first, first + i, first + i + 1, 0);
}

Vec3 Centroid(const std::vector<Vec3>& pts)
{
    Vec3 c{0, 0, 0};
    for (Vec3 p : pts) c += p;
    return pts.empty() ? c : c * (1.0f / static_cast<float>(pts.size()));
}

XMesh Extrude(const std::vector<P2>& profile, float d0, float d1, float inset, const UvMap& uv,
              Vec3 (*place)(P2, float))
{
    // The outline pulled toward its centre for the bevelled caps.
    P2 mid{0, 0};
    for (P2 p : profile) mid.a += p.a, mid.b += p.b;
    mid.a /= static_cast<float>(profile.size());
    mid.b /= static_cast<float>(profile.size());
    std::vector<Vec3> pts;
    for (P2 p : profile) {
        float da = p.a - mid.a, db = p.b - mid.b;
        float len = std::sqrt(da * da + db * db);
        float k = len > inset && inset > 0 ? (len - inset) / len : 1.0f;
        P2 in{mid.a + da * k, mid.b + db * k};
        pts.push_back(place(in, d0));
        if (inset > 0) pts.push_back(place(p, d0 + inset));
        if (inset > 0) pts.push_back(place(p, d1 - inset));
        pts.push_back(place(in, d1));
    }
    return ConvexHull(pts, uv);
}
}  // namespace

XMesh ConvexHull(const std::vector<Vec3>& points, const UvMap& uv)
{
    XMesh m;
    Vec3 inside = Centroid(points);
    size_t n = points.size();
    float size = 0;
    for (Vec3 p : points) size = std::max(size, Vec3Length(p - inside));
    float tol = std::max(size, 1.0f) * 1e-4f;
    // Every plane through three points with all points on one side is a
    // face; its points on the plane, sorted round their centre, are the face.
    std::vector<std::pair<Vec3, float>> planes;
    for (size_t i = 0; i < n; ++i)
        for (size_t j = i + 1; j < n; ++j)
            for (size_t k = j + 1; k < n; ++k) {
                Vec3 nn = Vec3Cross(points[j] - points[i], points[k] - points[i]);
                if (Vec3Length(nn) < tol * tol) continue;
                nn = Vec3Normalize(nn);
                float d = Vec3Dot(nn, points[i]);
                if (Vec3Dot(nn, inside) > d) nn = -nn, d = -d;
                bool face = true;
                for (Vec3 p : points)
                    if (Vec3Dot(nn, p) > d + tol) { face = false; break; }
                if (!face) continue;
                bool seen = false;
                for (auto& pl : planes)
                    if (Vec3Dot(pl.first, nn) > 1 - 1e-5f && std::fabs(pl.second - d) < tol) { seen = true; break; }
                if (seen) continue;
                planes.push_back({nn, d});
                std::vector<Vec3> on;
                for (Vec3 p : points) {
                    if (std::fabs(Vec3Dot(nn, p) - d) > tol) continue;
                    bool dup = false;
                    for (Vec3 q : on) dup = dup || Vec3Length(p - q) < tol;
                    if (!dup) on.push_back(p);
                }
                Vec3 c = Centroid(on);
                Vec3 ax = Vec3Normalize(on[0] - c);
                Vec3 ay = Vec3Cross(nn, ax);
                std::sort(on.begin(), on.end(), [&](Vec3 a, Vec3 b) {
                    return std::atan2(Vec3Dot(a - c, ay), Vec3Dot(a - c, ax)) <
                           std::atan2(Vec3Dot(b - c, ay), Vec3Dot(b - c, ax));
                });
                AddPolygon(&m, on, inside, uv);
            }
    return m;
}

XMesh ChamferedBox(Vec3 lo, Vec3 hi, float c, const UvMap& uv)
{
    std::vector<Vec3> pts;
    float xs[2] = {lo.x, hi.x}, ys[2] = {lo.y, hi.y}, zs[2] = {lo.z, hi.z};
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            for (int k = 0; k < 2; ++k) {
                float sx = i ? -c : c, sy = j ? -c : c, sz = k ? -c : c;
                if (c <= 0) {
                    pts.push_back({xs[i], ys[j], zs[k]});
                    continue;
                }
                // Each corner cut into three points, one pulled in along each pair of axes.
                pts.push_back({xs[i], ys[j] + sy, zs[k] + sz});
                pts.push_back({xs[i] + sx, ys[j], zs[k] + sz});
                pts.push_back({xs[i] + sx, ys[j] + sy, zs[k]});
            }
    return ConvexHull(pts, uv);
}

XMesh ExtrudeX(const std::vector<P2>& profileYZ, float x0, float x1, float inset, const UvMap& uv)
{
    return Extrude(profileYZ, x0, x1, inset, uv, [](P2 p, float d) { return Vec3{d, p.a, p.b}; });
}

XMesh ExtrudeZ(const std::vector<P2>& profileXY, float z0, float z1, float inset, const UvMap& uv)
{
    return Extrude(profileXY, z0, z1, inset, uv, [](P2 p, float d) { return Vec3{p.a, p.b, d}; });
}

XMesh Cone(Vec3 a, Vec3 b, float ra, float rb, int sides, bool caps)
{
    XMesh m;
    Vec3 axis = Vec3Normalize(b - a);
    Vec3 ref = std::fabs(axis.y) < 0.9f ? Vec3{0, 1, 0} : Vec3{1, 0, 0};
    Vec3 s = Vec3Normalize(Vec3Cross(ref, axis)), t = Vec3Cross(axis, s);
    float len = Vec3Length(b - a);
    float slope = (ra - rb) / std::max(len, kEps);
    for (int i = 0; i <= sides; ++i) {
        float ang = 6.2831853f * static_cast<float>(i) / static_cast<float>(sides);
        Vec3 dir = s * std::cos(ang) + t * std::sin(ang);
        Vec3 n = Vec3Normalize(dir + axis * slope);
        float u = static_cast<float>(i) / static_cast<float>(sides);
        m.AddVertex(a + dir * ra, n, u, 1.0f);
        m.AddVertex(b + dir * rb, n, u, 0.0f);
    }
    for (int i = 0; i < sides; ++i) {
        uint32_t a0 = 2 * i, b0 = 2 * i + 1, a1 = 2 * i + 2, b1 = 2 * i + 3;
        // Pick the winding whose normal points out.
        Vec3 fn = Vec3Cross(m.pos[b0] - m.pos[a0], m.pos[a1] - m.pos[a0]);
        if (Vec3Dot(fn, m.normal[a0]) >= 0) {
            m.AddFace(a0, b0, a1, 0);
            m.AddFace(a1, b0, b1, 0);
        } else {
            m.AddFace(a0, a1, b0, 0);
            m.AddFace(a1, b1, b0, 0);
        }
    }
    if (caps) {
        for (int end = 0; end < 2; ++end) {
            std::vector<Vec3> ring;
            for (int i = 0; i < sides; ++i) ring.push_back(m.pos[2 * i + end]);
            Vec3 inside = (a + b) * 0.5f;
            UvMap capUv;
            capUv.scale = 0.5f / std::max(end ? rb : ra, kEps);
            capUv.uOffset = capUv.vOffset = 0.5f;
            AddPolygon(&m, ring, inside, capUv);
        }
    }
    return m;
}

XMesh Cylinder(Vec3 a, Vec3 b, float radius, int sides, bool caps) { return Cone(a, b, radius, radius, sides, caps); }

void TransformMesh(XMesh* mesh, const Mat4& m)
{
    for (Vec3& p : mesh->pos) p = Vec3TransformCoord(p, m);
    for (Vec3& n : mesh->normal) n = Vec3Normalize(Vec3TransformNormal(n, m));
    // A mirroring transform turns the winding inside out: wind it back.
    if (MatDeterminant(m) < 0)
        for (size_t f = 0; f + 2 < mesh->faces.size(); f += 3) std::swap(mesh->faces[f + 1], mesh->faces[f + 2]);
}

void SetMaterial(XMesh* mesh, uint32_t material)
{
    for (uint32_t& m : mesh->material) m = material;
}

void AddPiece(XMesh* into, const XMesh& piece, uint32_t material)
{
    uint32_t base = static_cast<uint32_t>(into->pos.size());
    into->pos.insert(into->pos.end(), piece.pos.begin(), piece.pos.end());
    into->normal.insert(into->normal.end(), piece.normal.begin(), piece.normal.end());
    into->u.insert(into->u.end(), piece.u.begin(), piece.u.end());
    into->v.insert(into->v.end(), piece.v.begin(), piece.v.end());
    for (uint32_t i : piece.faces) into->faces.push_back(base + i);
    for (size_t f = 0; f < piece.material.size(); ++f) into->material.push_back(material);
}
