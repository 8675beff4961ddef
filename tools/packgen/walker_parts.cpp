#include "walker_parts.h"

#include <cmath>

void Section(std::vector<Vec3>* pts, Vec3 centre, float hx, float hy, float hz)
{
    for (float sx : {-1.0f, 1.0f})
        for (float sy : {-1.0f, 1.0f})
            for (float sz : {-1.0f, 1.0f}) pts->push_back({centre.x + sx * hx, centre.y + sy * hy, centre.z + sz * hz});
}

XMesh Beam(Vec3 a, Vec3 ha, Vec3 b, Vec3 hb)
{
    std::vector<Vec3> pts;
    Section(&pts, a, ha.x, ha.y, ha.z);
    Section(&pts, b, hb.x, hb.y, hb.z);
    return ConvexHull(pts);
}

XMesh Loft(const std::vector<Ring>& rings)
{
    std::vector<Vec3> pts;
    for (const Ring& r : rings) {
        float x0 = r.cx - r.hw, x1 = r.cx + r.hw, y0 = r.cy - r.hh, y1 = r.cy + r.hh, c = r.cut;
        if (c <= 0) {
            for (P2 p : {P2{x0, y0}, P2{x1, y0}, P2{x1, y1}, P2{x0, y1}}) pts.push_back({p.a, p.b, r.z});
            continue;
        }
        for (P2 p : {P2{x0 + c, y0}, P2{x1 - c, y0}, P2{x1, y0 + c}, P2{x1, y1 - c}, P2{x1 - c, y1}, P2{x0 + c, y1},
                     P2{x0, y1 - c}, P2{x0, y0 + c}})
            pts.push_back({p.a, p.b, r.z});
    }
    return ConvexHull(pts);
}

XMesh Slab(const std::vector<P2>& profile, const std::function<float(P2)>& halfWidth, float inset)
{
    P2 mid{0, 0};
    for (P2 p : profile) mid.a += p.a / profile.size(), mid.b += p.b / profile.size();
    std::vector<Vec3> pts;
    for (P2 p : profile) {
        float da = p.a - mid.a, db = p.b - mid.b, len = std::hypot(da, db);
        float k = (len - inset) / len;
        float w = halfWidth(p);
        for (float s : {-1.0f, 1.0f}) {
            pts.push_back({s * w, mid.a + da * k, mid.b + db * k});
            pts.push_back({s * (w - inset), p.a, p.b});
        }
    }
    return ConvexHull(pts);
}

XMesh PlateOn(P2 a, P2 b, float x0, float x1, float thick, P2 out)
{
    float len = std::hypot(out.a, out.b);
    P2 n{out.a / len * thick, out.b / len * thick};
    float dl = std::hypot(b.a - a.a, b.b - a.b);
    P2 along{(b.a - a.a) / dl * thick, (b.b - a.b) / dl * thick};
    std::vector<Vec3> pts;
    for (float x : {x0, x1}) {
        float xi = x < (x0 + x1) / 2 ? x + thick : x - thick;
        pts.push_back({x, a.a, a.b});
        pts.push_back({x, b.a, b.b});
        pts.push_back({xi, a.a + n.a + along.a, a.b + n.b + along.b});
        pts.push_back({xi, b.a + n.a - along.a, b.b + n.b - along.b});
    }
    return ConvexHull(pts);
}

XMesh ToeOn(float sole, const Toe& t)
{
    std::vector<Vec3> pts;
    for (float k : {-1.0f, 1.0f}) {
        pts.push_back({t.cx + k * t.rootHalf, sole, t.rootZ});
        pts.push_back({t.cx + k * t.rootHalf, t.rootTop, t.rootZ});
        pts.push_back({t.cx + k * t.tipHalf, sole, t.tipZ});
        pts.push_back({t.cx + k * t.tipHalf, t.tipTop.a, t.tipTop.b});
    }
    return ConvexHull(pts);
}

void MirrorX(XMesh* m) { TransformMesh(m, MatScaling(-1, 1, 1)); }

void WriteMirrored(Pack& pack, const std::string& left, const std::string& right, XMesh m)
{
    pack.X(left, m);
    MirrorX(&m);
    pack.X(right, m);
}
