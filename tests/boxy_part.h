// A unit part built the way every kind is: chamfered boxes, cylinders and
// wedges, each face flat (its own normals) with its own texture mapping, so
// every edge is a hard edge and a texture seam.  Written as a .x text file
// for the loaders; the tests and a throwaway viewer script share it.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "math/vecmath.h"

class BoxyPart {
public:
    // A convex planar polygon, wound so that its front faces `outward`.
    void Polygon(std::vector<Vec3> corners, Vec3 outward, uint32_t subset)
    {
        Vec3 centre{0, 0, 0};
        for (const Vec3& c : corners) centre = centre + c * (1.0f / corners.size());
        Vec3 n = Vec3Normalize(outward);
        Vec3 t = Vec3Normalize(corners[0] - centre);
        Vec3 b = Vec3Cross(n, t);
        std::sort(corners.begin(), corners.end(), [&](const Vec3& p, const Vec3& q) {
            return std::atan2(Vec3Dot(p - centre, b), Vec3Dot(p - centre, t)) <
                   std::atan2(Vec3Dot(q - centre, b), Vec3Dot(q - centre, t));
        });
        // Front faces have cross(b - a, c - a) along the outward normal.
        if (Vec3Dot(Vec3Cross(corners[1] - corners[0], corners[2] - corners[0]), n) < 0)
            std::reverse(corners.begin(), corners.end());
        uint32_t base = static_cast<uint32_t>(pos_.size());
        for (const Vec3& c : corners) {
            pos_.push_back(c);
            normal_.push_back(n);
            uv_.push_back({Vec3Dot(c, t) * 0.5f, Vec3Dot(c, b) * 0.5f, 0});
        }
        for (uint32_t i = 1; i + 1 < corners.size(); ++i) {
            faces_.push_back({base, base + i, base + i + 1});
            subsets_.push_back(subset);
        }
    }

    // A box of half extents `half` whose edges and corners are cut by `bevel`.
    void ChamferedBox(Vec3 centre, Vec3 half, float bevel, uint32_t subset)
    {
        auto at = [&](float x, float y, float z) { return centre + Vec3{x, y, z}; };
        Vec3 in = half - Vec3{bevel, bevel, bevel};
        for (int axis = 0; axis < 3; ++axis)
            for (float s : {-1.0f, 1.0f}) {  // the six faces
                std::vector<Vec3> q;
                for (float u : {-1.0f, 1.0f})
                    for (float v : {-1.0f, 1.0f}) {
                        float p[3];
                        p[axis] = s * (&half.x)[axis];
                        p[(axis + 1) % 3] = u * (&in.x)[(axis + 1) % 3];
                        p[(axis + 2) % 3] = v * (&in.x)[(axis + 2) % 3];
                        q.push_back(at(p[0], p[1], p[2]));
                    }
                Vec3 out{0, 0, 0};
                (&out.x)[axis] = s;
                Polygon(q, out, subset);
            }
        for (int axis = 0; axis < 3; ++axis)  // the twelve edges, each along `axis`
            for (float su : {-1.0f, 1.0f})
                for (float sv : {-1.0f, 1.0f}) {
                    int a = (axis + 1) % 3, c = (axis + 2) % 3;
                    std::vector<Vec3> q;
                    for (float e : {-1.0f, 1.0f}) {
                        float p[3], r[3];
                        p[axis] = r[axis] = e * (&in.x)[axis];
                        p[a] = su * (&half.x)[a];
                        p[c] = sv * (&in.x)[c];
                        r[a] = su * (&in.x)[a];
                        r[c] = sv * (&half.x)[c];
                        q.push_back(at(p[0], p[1], p[2]));
                        q.push_back(at(r[0], r[1], r[2]));
                    }
                    Vec3 out{0, 0, 0};
                    (&out.x)[a] = su;
                    (&out.x)[c] = sv;
                    Polygon(q, out, subset);
                }
        for (float sx : {-1.0f, 1.0f})  // the eight corners
            for (float sy : {-1.0f, 1.0f})
                for (float sz : {-1.0f, 1.0f})
                    Polygon({at(sx * half.x, sy * in.y, sz * in.z), at(sx * in.x, sy * half.y, sz * in.z),
                             at(sx * in.x, sy * in.y, sz * half.z)},
                            {sx, sy, sz}, subset);
    }

    // A cylinder along x (a wheel, a barrel turned by the caller's axes).
    void Cylinder(Vec3 centre, float radius, float halfLength, int segments, uint32_t subset,
                  bool alongZ = false)
    {
        auto at = [&](float along, float a) {
            float y = radius * std::cos(a), w = radius * std::sin(a);
            return alongZ ? centre + Vec3{w, y, along} : centre + Vec3{along, y, w};
        };
        const float step = 6.2831853f / segments;
        for (int i = 0; i < segments; ++i) {
            float a0 = i * step, a1 = (i + 1) * step, mid = (i + 0.5f) * step;
            Vec3 out = at(0, mid) - centre;
            Polygon({at(-halfLength, a0), at(-halfLength, a1), at(halfLength, a1), at(halfLength, a0)}, out,
                    subset);
        }
        for (float s : {-1.0f, 1.0f}) {
            std::vector<Vec3> cap;
            for (int i = 0; i < segments; ++i) cap.push_back(at(s * halfLength, i * step));
            Polygon(cap, alongZ ? Vec3{0, 0, s} : Vec3{s, 0, 0}, subset);
        }
    }

    // A wedge: the triangle (y, z) pairs `tri` swept along x over [x0, x1].
    void Wedge(float x0, float x1, const Vec3 tri[3], uint32_t subset)
    {
        Vec3 mid{(x0 + x1) / 2, (tri[0].y + tri[1].y + tri[2].y) / 3, (tri[0].z + tri[1].z + tri[2].z) / 3};
        auto p = [&](float x, int i) { return Vec3{x, tri[i].y, tri[i].z}; };
        Polygon({p(x0, 0), p(x0, 1), p(x0, 2)}, {-1, 0, 0}, subset);
        Polygon({p(x1, 0), p(x1, 1), p(x1, 2)}, {1, 0, 0}, subset);
        for (int i = 0; i < 3; ++i) {
            int j = (i + 1) % 3;
            Vec3 side = (p(x0, i) + p(x1, j)) * 0.5f - mid;
            side.x = 0;
            Polygon({p(x0, i), p(x0, j), p(x1, j), p(x1, i)}, side, subset);
        }
    }

    // A hull on road wheels with a turret and gun: about 550 faces in four
    // subsets (hull, guards, wheels, turret with gun).
    static BoxyPart Tank()
    {
        BoxyPart t;
        t.ChamferedBox({0, 0.75f, 0}, {1.5f, 0.45f, 2.8f}, 0.2f, 0);
        const Vec3 glacis[3] = {{0, 0.3f, 2.8f}, {0, 1.2f, 2.8f}, {0, 1.2f, 3.6f}};
        t.Wedge(-1.4f, 1.4f, glacis, 0);
        for (float side : {-1.0f, 1.0f}) {
            const Vec3 guard[3] = {{0, 1.05f, -2.9f}, {0, 1.25f, -2.9f}, {0, 1.05f, 3.1f}};
            t.Wedge(side * 1.5f, side * 1.9f, guard, 1);
            for (int w = 0; w < 4; ++w) t.Cylinder({side * 1.7f, 0.4f, -2.1f + w * 1.4f}, 0.4f, 0.16f, 12, 2);
        }
        t.ChamferedBox({0, 1.55f, -0.3f}, {1.0f, 0.35f, 1.3f}, 0.15f, 3);
        t.Cylinder({0, 1.6f, 2.2f}, 0.09f, 1.2f, 12, 3, true);
        return t;
    }

    size_t FaceCount() const { return faces_.size(); }

    // The .x text: one mesh, its normals and texture pairs, four materials.
    std::string XText() const
    {
        std::string s = "xof 0303txt 0032\nFrame Part {\n Mesh PartMesh {\n";
        char line[128];
        auto add = [&](const char* fmt, auto... v) {
            std::snprintf(line, sizeof line, fmt, v...);
            s += line;
        };
        auto list = [&](size_t n, auto item) {
            for (size_t i = 0; i < n; ++i) {
                item(i);
                s += i + 1 < n ? ",\n" : ";\n";
            }
        };
        add("  %zu;\n", pos_.size());
        list(pos_.size(), [&](size_t i) { add("  %.6f;%.6f;%.6f;", pos_[i].x, pos_[i].y, pos_[i].z); });
        add("  %zu;\n", faces_.size());
        list(faces_.size(), [&](size_t i) { add("  3;%u,%u,%u;", faces_[i][0], faces_[i][1], faces_[i][2]); });
        add("  MeshNormals {\n  %zu;\n", normal_.size());
        list(normal_.size(), [&](size_t i) { add("  %.6f;%.6f;%.6f;", normal_[i].x, normal_[i].y, normal_[i].z); });
        add("  %zu;\n", faces_.size());
        list(faces_.size(), [&](size_t i) { add("  3;%u,%u,%u;", faces_[i][0], faces_[i][1], faces_[i][2]); });
        s += "  }\n";
        add("  MeshTextureCoords {\n  %zu;\n", uv_.size());
        list(uv_.size(), [&](size_t i) { add("  %.6f;%.6f;", uv_[i].x, uv_[i].y); });
        s += "  }\n";
        add("  MeshMaterialList {\n  4;\n  %zu;\n", subsets_.size());
        list(subsets_.size(), [&](size_t i) { add("  %u", subsets_[i]); });
        const char* colours[4] = {"0.35;0.40;0.25;1.0;;", "0.20;0.20;0.20;1.0;;", "0.10;0.10;0.10;1.0;;",
                                  "0.45;0.50;0.30;1.0;;"};
        for (const char* c : colours) add("  Material {\n   %s\n   8.0;\n   0.1;0.1;0.1;;\n   0.0;0.0;0.0;;\n  }\n", c);
        s += "  }\n }\n}\n";
        return s;
    }

    bool Write(const std::string& path) const
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) return false;
        std::string text = XText();
        bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
        return std::fclose(f) == 0 && ok;
    }

private:
    std::vector<Vec3> pos_, normal_, uv_;
    std::vector<std::array<uint32_t, 3>> faces_;
    std::vector<uint32_t> subsets_;
};
