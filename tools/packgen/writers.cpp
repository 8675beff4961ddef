#include "writers.h"

#include <stb_image_write.h>

#include <cmath>
#include <cstdio>

uint32_t XMesh::AddVertex(Vec3 p, Vec3 n, float tu, float tv)
{
    pos.push_back(p);
    normal.push_back(n);
    u.push_back(tu);
    v.push_back(tv);
    return static_cast<uint32_t>(pos.size() - 1);
}

void XMesh::AddFace(uint32_t a, uint32_t b, uint32_t c, uint32_t mat)
{
    faces.insert(faces.end(), {a, b, c});
    material.push_back(mat);
}

void XMesh::SmoothNormals()
{
    std::vector<Vec3> sum(pos.size(), Vec3{0, 0, 0});
    for (size_t f = 0; f + 2 < faces.size(); f += 3) {
        Vec3 a = pos[faces[f]], b = pos[faces[f + 1]], c = pos[faces[f + 2]];
        // Clockwise from outside in a left-handed world: (b - a) x (c - a) points out.
        Vec3 n = Vec3Cross(b - a, c - a);
        for (int k = 0; k < 3; ++k) sum[faces[f + k]] += n;
    }
    for (size_t i = 0; i < pos.size(); ++i) {
        Vec3 n = Vec3Normalize(sum[i]);
        normal[i] = Vec3Length(n) > 0 ? n : Vec3{0, 1, 0};
    }
}

void XMesh::Append(const XMesh& o)
{
    uint32_t base = static_cast<uint32_t>(pos.size());
    uint32_t matBase = static_cast<uint32_t>(materials.size());
    pos.insert(pos.end(), o.pos.begin(), o.pos.end());
    normal.insert(normal.end(), o.normal.begin(), o.normal.end());
    u.insert(u.end(), o.u.begin(), o.u.end());
    v.insert(v.end(), o.v.begin(), o.v.end());
    for (uint32_t i : o.faces) faces.push_back(base + i);
    for (uint32_t m : o.material) material.push_back(matBase + m);
    materials.insert(materials.end(), o.materials.begin(), o.materials.end());
}

bool WriteXFile(const std::string& path, const XMesh& m)
{
    std::FILE* f = std::fopen(path.c_str(), "w");
    if (!f) return false;
    std::fprintf(f, "xof 0303txt 0032\n");
    std::fprintf(f, "Frame Root {\n FrameTransformMatrix {\n  1.000000,0.000000,0.000000,0.000000,\n"
                    "  0.000000,1.000000,0.000000,0.000000,\n  0.000000,0.000000,1.000000,0.000000,\n"
                    "  0.000000,0.000000,0.000000,1.000000;;\n }\n");
    std::fprintf(f, " Mesh Body {\n  %zu;\n", m.pos.size());
    for (size_t i = 0; i < m.pos.size(); ++i)
        std::fprintf(f, "  %.5f;%.5f;%.5f;%s\n", m.pos[i].x, m.pos[i].y, m.pos[i].z, i + 1 < m.pos.size() ? "," : ";");
    size_t nf = m.faces.size() / 3;
    std::fprintf(f, "  %zu;\n", nf);
    for (size_t i = 0; i < nf; ++i)
        std::fprintf(f, "  3;%u,%u,%u;%s\n", m.faces[i * 3], m.faces[i * 3 + 1], m.faces[i * 3 + 2],
                     i + 1 < nf ? "," : ";");
    std::fprintf(f, "  MeshNormals {\n   %zu;\n", m.normal.size());
    for (size_t i = 0; i < m.normal.size(); ++i)
        std::fprintf(f, "   %.5f;%.5f;%.5f;%s\n", m.normal[i].x, m.normal[i].y, m.normal[i].z,
                     i + 1 < m.normal.size() ? "," : ";");
    std::fprintf(f, "   %zu;\n", nf);
    for (size_t i = 0; i < nf; ++i)
        std::fprintf(f, "   3;%u,%u,%u;%s\n", m.faces[i * 3], m.faces[i * 3 + 1], m.faces[i * 3 + 2],
                     i + 1 < nf ? "," : ";");
    std::fprintf(f, "  }\n  MeshTextureCoords {\n   %zu;\n", m.u.size());
    for (size_t i = 0; i < m.u.size(); ++i)
        std::fprintf(f, "   %.5f;%.5f;%s\n", m.u[i], m.v[i], i + 1 < m.u.size() ? "," : ";");
    std::fprintf(f, "  }\n  MeshMaterialList {\n   %zu;\n   %zu;\n", m.materials.size(), nf);
    for (size_t i = 0; i < nf; ++i) std::fprintf(f, "   %u%s\n", m.material[i], i + 1 < nf ? "," : ";");
    for (const XMaterial& mat : m.materials) {
        std::fprintf(f, "   Material {\n    %.4f;%.4f;%.4f;%.4f;;\n    %.4f;\n    %.4f;%.4f;%.4f;;\n    %.4f;%.4f;%.4f;;\n",
                     mat.diffuse.r, mat.diffuse.g, mat.diffuse.b, mat.diffuse.a, mat.power, mat.specular.r,
                     mat.specular.g, mat.specular.b, mat.emissive.r, mat.emissive.g, mat.emissive.b);
        if (!mat.texture.empty()) std::fprintf(f, "    TextureFilename { \"%s\"; }\n", mat.texture.c_str());
        std::fprintf(f, "   }\n");
    }
    std::fprintf(f, "  }\n }\n}\n");
    return std::fclose(f) == 0;
}

bool WriteWav(const std::string& path, const std::vector<float>& samples, uint32_t rate)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    uint32_t data = static_cast<uint32_t>(samples.size() * 2);
    auto u32 = [&](uint32_t v) { std::fwrite(&v, 4, 1, f); };
    auto u16 = [&](uint16_t v) { std::fwrite(&v, 2, 1, f); };
    std::fwrite("RIFF", 1, 4, f);
    u32(36 + data);
    std::fwrite("WAVEfmt ", 1, 8, f);
    u32(16);
    u16(1);  // PCM
    u16(1);  // mono: every sound plays in 3D
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    std::fwrite("data", 1, 4, f);
    u32(data);
    for (float s : samples) {
        float c = s < -1 ? -1 : s > 1 ? 1 : s;
        int16_t v = static_cast<int16_t>(std::lround(c * 32767.0f));
        std::fwrite(&v, 2, 1, f);
    }
    return std::fclose(f) == 0;
}

XMesh Sphere(float radius, int rows, int cols, bool inward, uint32_t material)
{
    XMesh m;
    const float pi = 3.14159265f;
    for (int r = 0; r <= rows; ++r) {
        float th = pi * r / rows;
        for (int c = 0; c <= cols; ++c) {
            float ph = 2 * pi * c / cols;
            Vec3 n{std::sin(th) * std::cos(ph), std::cos(th), std::sin(th) * std::sin(ph)};
            m.AddVertex(n * radius, inward ? -n : n, static_cast<float>(c) / cols, static_cast<float>(r) / rows);
        }
    }
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            uint32_t a = r * (cols + 1) + c, b = a + 1, d = a + cols + 1, e = d + 1;
            // Seen from outside, (a, b, d) runs clockwise: b is east of a, d south.
            if (r != 0) inward ? m.AddFace(a, d, b, material) : m.AddFace(a, b, d, material);
            if (r != rows - 1) inward ? m.AddFace(b, d, e, material) : m.AddFace(b, e, d, material);
        }
    return m;
}

bool WriteJpg(const std::string& path, const Canvas& c, int quality)
{
    std::vector<uint8_t> rgb(static_cast<size_t>(c.W()) * c.H() * 3);
    auto byte = [](float v) { return static_cast<uint8_t>(std::lround(Clamp01(v) * 255.0f)); };
    for (int y = 0; y < c.H(); ++y)
        for (int x = 0; x < c.W(); ++x) {
            const RGBA& p = c.At(x, y);
            uint8_t* d = &rgb[(static_cast<size_t>(y) * c.W() + x) * 3];
            d[0] = byte(p.r);
            d[1] = byte(p.g);
            d[2] = byte(p.b);
        }
    return stbi_write_jpg(path.c_str(), c.W(), c.H(), 3, rgb.data(), quality) != 0;
}
