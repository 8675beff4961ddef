// Meshes on the CPU: reading .x files, and the operations the loaders apply
// before a mesh reaches the graphics device (cleaning, welding, level of
// detail, vertex-cache order, ray tests, the collision copy).
//
// A MeshData is an indexed triangle list in the position + normal + one
// texture pair layout, whose faces carry a subset (material) number.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "math/vecmath.h"
#include "platform/gfx.h"

struct MeshVertex {
    Vec3 pos;
    Vec3 normal;
    float u, v;
};

struct MeshMaterial {
    gfx::Material material;  // ambient as written; the loaders copy diffuse into it
    std::string textureFile;  // as written in the file, empty when none
};

struct MeshData {
    std::vector<MeshVertex> vertices;
    std::vector<uint32_t> indices;     // 3 per face
    std::vector<uint32_t> attributes;  // subset per face
    std::vector<MeshMaterial> materials;
    bool hasNormals = false;
    bool hasTexCoords = false;
    uint32_t FaceCount() const { return static_cast<uint32_t>(attributes.size()); }
    uint32_t Fvf() const;
};

// Reads a .x file (text or binary; a compressed one is refused): every frame's meshes
// flattened through their frames' matrices into one mesh, subsets following
// the file's material list, positions, winding and texture coordinates
// exactly as written.  False with *error on failure; a damaged count or an
// index beyond what it counts is named in *error.
bool ReadXFile(const std::string& path, MeshData* out, std::string* error);

// Drops degenerate faces (two corners the same vertex or the same place, or
// no area) and bow-tie faces.  Returns how many faces went.
uint32_t CleanMesh(MeshData* mesh);
// Merges vertices that are identical in every component.
void WeldVertices(MeshData* mesh);
// True when every index is in range and no face is degenerate.
bool ValidMesh(const MeshData& mesh);
// Simplification works subset by subset.  The careful simplifier goes first;
// it never collapses across a hard edge or a texture seam, so where it stalls
// (a boxy mesh: flat faces, every edge hard) the same simplifier runs on the
// surface with the corners at each place made one, and where that stalls too
// (corners where surfaces cross) the sloppy one merges nearby corners.
//
// The fewest faces simplification reaches when asked for the least it can do.
uint32_t MinimumFaces(const MeshData& mesh);
// A copy simplified to about `faces` faces, shared out over the subsets by
// their sizes; `faces` >= FaceCount() returns the mesh unchanged.  Where the
// careful simplifier stalls, the others stop before the surface moves by
// about a twentieth of the mesh's largest extent, so the copy may keep more
// faces than asked; a subset that would vanish keeps its faces.
MeshData SimplifiedCopy(const MeshData& mesh, uint32_t faces);
// Reorders each subset's faces for the vertex cache (subsets keep their order).
void OptimizeVertexCache(MeshData* mesh);

// The nearest face a ray meets: its index and the distance along the ray in
// units of dir's length.  False when nothing is hit.
bool IntersectMesh(const Vec3* positions, size_t stride, const uint32_t* indices,
                   uint32_t faceCount, Vec3 origin, Vec3 dir, uint32_t* face, float* dist);

// Sends a mesh to the device in its own layout.
gfx::HResult CreateDeviceMesh(const MeshData& mesh, gfx::Mesh** out);
// The ray test on a device mesh's own geometry.
bool IntersectDeviceMesh(gfx::Mesh* mesh, Vec3 origin, Vec3 dir, uint32_t* face, float* dist);
// A copy whose vertices are exactly position, normal and one texture pair
// (what a mesh lacks is zero), for meshes whose indices fit 16 bits; fails
// beyond 65535 vertices.
gfx::HResult CloneMeshPositionNormalTex(gfx::Mesh* src, gfx::Mesh** out);
