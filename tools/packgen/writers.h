// Mesh (.x text form) and sound (.wav) writers, and the mesh-building
// helpers the world's models share.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "canvas.h"
#include "math/vecmath.h"

struct XMaterial {
    RGBA diffuse;
    float power;
    RGBA specular;
    RGBA emissive;
    std::string texture;  // relative to the game's working directory
};

struct XMesh {
    std::vector<Vec3> pos;
    std::vector<Vec3> normal;
    std::vector<float> u, v;
    std::vector<uint32_t> faces;      // 3 per face, wound clockwise seen from outside
    std::vector<uint32_t> material;   // per face
    std::vector<XMaterial> materials;

    uint32_t AddVertex(Vec3 p, Vec3 n, float tu, float tv);
    void AddFace(uint32_t a, uint32_t b, uint32_t c, uint32_t mat);
    // Normals from the faces around each vertex.
    void SmoothNormals();
    // Appends another mesh (its materials are appended too).
    void Append(const XMesh& other);
};

bool WriteXFile(const std::string& path, const XMesh& mesh);

// A picture as a baseline JPEG of `quality` (1..100); alpha is dropped.
// The same canvas gives the same bytes.
bool WriteJpg(const std::string& path, const Canvas& picture, int quality);

// 16-bit mono PCM.
bool WriteWav(const std::string& path, const std::vector<float>& samples, uint32_t rate);

// A sphere of `radius` with latitude rows and longitude columns, texture u
// round the equator and v from the north pole (0) to the south pole (1).
// `inward` winds it to be seen from inside.
XMesh Sphere(float radius, int rows, int cols, bool inward, uint32_t material);
