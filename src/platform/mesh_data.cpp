#include "platform/mesh_data.h"
#include "platform/file_read.h"

#include "platform/alloc_ceiling.h"
#include "platform/x_check.h"

#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <meshoptimizer.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdint>
#include <assimp/Importer.hpp>
#include <cmath>
#include <cstring>
#include <unordered_map>

uint32_t MeshData::Fvf() const
{
    uint32_t fvf = gfx::FVF_XYZ;
    if (hasNormals) fvf |= gfx::FVF_NORMAL;
    if (hasTexCoords) fvf |= gfx::FVF_TEX1;
    return fvf;
}

namespace {
// Assimp keeps column-vector matrices; the game's are row-vector.
Mat4 FromAssimp(const aiMatrix4x4& a)
{
    Mat4 m;
    const float* src = &a.a1;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) m.m[j][i] = src[i * 4 + j];
    return m;
}

gfx::ColorValue Colour(const aiMaterial* m, const char* key, unsigned type, unsigned idx, float alpha)
{
    aiColor4D c(0, 0, 0, alpha);
    if (m->Get(key, type, idx, c) != AI_SUCCESS) return {0, 0, 0, alpha};
    return {c.r, c.g, c.b, c.a};
}

void Flatten(const aiScene* scene, const aiNode* node, const Mat4& parent, MeshData* out)
{
    Mat4 world = FromAssimp(node->mTransformation) * parent;
    for (unsigned k = 0; k < node->mNumMeshes; ++k) {
        const aiMesh* m = scene->mMeshes[node->mMeshes[k]];
        if (!m || !m->mVertices) continue;
        uint32_t base = static_cast<uint32_t>(out->vertices.size());
        if (m->mNormals) out->hasNormals = true;
        if (m->mTextureCoords[0]) out->hasTexCoords = true;
        for (unsigned v = 0; v < m->mNumVertices; ++v) {
            MeshVertex mv{};
            const aiVector3D& p = m->mVertices[v];
            mv.pos = Vec3TransformCoord({p.x, p.y, p.z}, world);
            if (m->mNormals) {
                const aiVector3D& n = m->mNormals[v];
                mv.normal = Vec3Normalize(Vec3TransformNormal({n.x, n.y, n.z}, world));
            }
            if (m->mTextureCoords[0]) {
                mv.u = m->mTextureCoords[0][v].x;
                mv.v = m->mTextureCoords[0][v].y;
            }
            out->vertices.push_back(mv);
        }
        for (unsigned f = 0; f < m->mNumFaces; ++f) {
            const aiFace& face = m->mFaces[f];
            if (face.mNumIndices != 3) continue;  // points and lines draw nothing
            bool ok = true;
            for (int c = 0; c < 3; ++c) ok = ok && face.mIndices[c] < m->mNumVertices;
            if (!ok) continue;
            for (int c = 0; c < 3; ++c) out->indices.push_back(base + face.mIndices[c]);
            out->attributes.push_back(m->mMaterialIndex);
        }
    }
    for (unsigned c = 0; c < node->mNumChildren; ++c) Flatten(scene, node->mChildren[c], world, out);
}
}  // namespace

namespace {
// The largest mesh file read: the biggest the pack holds is about 6 MB.
constexpr uint64_t kLargestMeshFile = uint64_t{64} << 20;

// The file read whole and walked (platform/x_check.h) before the library
// sees it: a damaged count is named instead of meeting the allocation
// ceiling, and the library never gives up half way through, which would
// leave what it had built unfreed.
bool FileTheReaderCanTake(const std::string& path, std::string* error, uint64_t* fileSize)
{
    std::string bytes;
    if (!ReadRegularFile(path, kLargestMeshFile, "a mesh file", &bytes, error)) return false;
    std::string problem;
    if (CheckXFile(bytes, &problem, fileSize)) return true;
    *error = "not a mesh file (" + problem + ")";
    return false;
}
}  // namespace

bool ReadXFile(const std::string& path, MeshData* out, std::string* error)
{
    *out = MeshData{};
    uint64_t fileSize = 0;
    if (!FileTheReaderCanTake(path, error, &fileSize)) return false;
    Assimp::Importer importer;
    // The left-handed conversion keeps the file's own coordinates, winding
    // and texture coordinates.  The reader gets room in proportion to the
    // file; a file that claims more is damaged.
    const aiScene* scene = nullptr;
    {
        AllocationCeiling ceiling((size_t{64} << 20) + static_cast<size_t>(fileSize) * 64);
        scene = importer.ReadFile(path, aiProcess_ConvertToLeftHanded | aiProcess_Triangulate);
    }
    if (!scene || !scene->mRootNode || (scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE)) {
        // The importer may quote much of the file back: keep one short line.
        std::string why = importer.GetErrorString();
        for (char& c : why)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
        if (why.size() > 160) why = why.substr(0, 157) + "...";
        *error = why.empty() ? "not a mesh file" : "not a mesh file (" + why + ")";
        return false;
    }
    for (unsigned i = 0; i < scene->mNumMaterials; ++i) {
        const aiMaterial* m = scene->mMaterials[i];
        MeshMaterial mm{};
        mm.material.diffuse = Colour(m, AI_MATKEY_COLOR_DIFFUSE, 1.0f);
        mm.material.ambient = Colour(m, AI_MATKEY_COLOR_AMBIENT, 1.0f);
        mm.material.specular = Colour(m, AI_MATKEY_COLOR_SPECULAR, 1.0f);
        mm.material.emissive = Colour(m, AI_MATKEY_COLOR_EMISSIVE, 1.0f);
        float power = 0;
        if (m->Get(AI_MATKEY_SHININESS, power) == AI_SUCCESS) mm.material.power = power;
        aiString tex;
        if (m->GetTexture(aiTextureType_DIFFUSE, 0, &tex) == AI_SUCCESS) mm.textureFile = tex.C_Str();
        out->materials.push_back(mm);
    }
    Flatten(scene, scene->mRootNode, MatIdentity(), out);
    for (uint32_t& a : out->attributes)
        if (a >= out->materials.size()) a = 0;
    if (out->attributes.empty()) {
        *error = "no faces";
        *out = MeshData{};
        return false;
    }
    if (out->materials.empty()) out->materials.push_back(MeshMaterial{});
    return true;
}

uint32_t CleanMesh(MeshData* mesh)
{
    MeshData& m = *mesh;
    uint32_t before = m.FaceCount();
    std::vector<uint32_t> idx, attr;
    idx.reserve(m.indices.size());
    attr.reserve(m.attributes.size());
    // A bow tie: two faces meeting at one corner position, each of which
    // reaches the other only through that point, with the same vertex used.
    // Faces whose corners fall on one point or one line are dropped too.
    for (uint32_t f = 0; f < before; ++f) {
        uint32_t a = m.indices[f * 3], b = m.indices[f * 3 + 1], c = m.indices[f * 3 + 2];
        if (a >= m.vertices.size() || b >= m.vertices.size() || c >= m.vertices.size()) continue;
        if (a == b || b == c || a == c) continue;
        Vec3 pa = m.vertices[a].pos, pb = m.vertices[b].pos, pc = m.vertices[c].pos;
        Vec3 n = Vec3Cross(pb - pa, pc - pa);
        float scale = std::max({Vec3Length(pb - pa), Vec3Length(pc - pa), 1e-30f});
        if (!(Vec3Length(n) > 1e-7f * scale * scale)) continue;  // no area (or NaN)
        idx.insert(idx.end(), {a, b, c});
        attr.push_back(m.attributes[f]);
    }
    m.indices.swap(idx);
    m.attributes.swap(attr);

    // Bow ties: a vertex whose faces form more than one fan gets a copy for
    // each extra fan, so no two fans hang on one vertex.
    std::vector<std::vector<uint32_t>> facesOf(m.vertices.size());
    for (uint32_t f = 0; f < m.FaceCount(); ++f)
        for (int k = 0; k < 3; ++k) facesOf[m.indices[f * 3 + k]].push_back(f);
    for (uint32_t v = 0; v < facesOf.size(); ++v) {
        auto& faces = facesOf[v];
        if (faces.size() < 2) continue;
        // Group the faces around v by shared edges (v, w).
        std::vector<int> group(faces.size(), -1);
        int groups = 0;
        for (size_t s = 0; s < faces.size(); ++s) {
            if (group[s] >= 0) continue;
            std::vector<size_t> stack{s};
            group[s] = groups;
            while (!stack.empty()) {
                size_t cur = stack.back();
                stack.pop_back();
                for (size_t o = 0; o < faces.size(); ++o) {
                    if (group[o] >= 0) continue;
                    int shared = 0;
                    for (int i = 0; i < 3; ++i)
                        for (int j = 0; j < 3; ++j) {
                            uint32_t x = m.indices[faces[cur] * 3 + i], y = m.indices[faces[o] * 3 + j];
                            if (x == y && x != v) ++shared;
                        }
                    if (shared > 0) {
                        group[o] = groups;
                        stack.push_back(o);
                    }
                }
            }
            ++groups;
        }
        for (int g = 1; g < groups; ++g) {
            uint32_t copy = static_cast<uint32_t>(m.vertices.size());
            m.vertices.push_back(m.vertices[v]);
            for (size_t s = 0; s < faces.size(); ++s)
                if (group[s] == g)
                    for (int k = 0; k < 3; ++k)
                        if (m.indices[faces[s] * 3 + k] == v) m.indices[faces[s] * 3 + k] = copy;
        }
    }
    return before - m.FaceCount();
}

void WeldVertices(MeshData* mesh)
{
    MeshData& m = *mesh;
    std::vector<uint32_t> remap(m.vertices.size());
    size_t unique = meshopt_generateVertexRemap(remap.data(), m.indices.data(), m.indices.size(),
                                                m.vertices.data(), m.vertices.size(), sizeof(MeshVertex));
    std::vector<MeshVertex> verts(unique);
    meshopt_remapVertexBuffer(verts.data(), m.vertices.data(), m.vertices.size(), sizeof(MeshVertex),
                              remap.data());
    std::vector<uint32_t> idx(m.indices.size());
    meshopt_remapIndexBuffer(idx.data(), m.indices.data(), m.indices.size(), remap.data());
    m.vertices.swap(verts);
    m.indices.swap(idx);
}

bool ValidMesh(const MeshData& m)
{
    if (m.indices.size() != m.attributes.size() * 3) return false;
    for (uint32_t f = 0; f < m.FaceCount(); ++f) {
        uint32_t a = m.indices[f * 3], b = m.indices[f * 3 + 1], c = m.indices[f * 3 + 2];
        if (a >= m.vertices.size() || b >= m.vertices.size() || c >= m.vertices.size()) return false;
        if (a == b || b == c || a == c) return false;
    }
    return true;
}

namespace {
// Faces of one subset as an index list.
std::vector<uint32_t> SubsetIndices(const MeshData& m, uint32_t subset)
{
    std::vector<uint32_t> out;
    for (uint32_t f = 0; f < m.FaceCount(); ++f)
        if (m.attributes[f] == subset) out.insert(out.end(), &m.indices[f * 3], &m.indices[f * 3 + 3]);
    return out;
}

std::vector<uint32_t> Subsets(const MeshData& m)
{
    std::vector<uint32_t> ids = m.attributes;
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

// How far a reduced copy may stray from the mesh, as a share of the whole
// mesh's largest extent.  Where the careful simplifier stalls, the others
// stop there, so no part of the outline moves further.
constexpr float kOutlineError = 0.05f;

// The careful simplifier collapses edges while the surface keeps its shape,
// but never across a hard edge, a texture seam or an open border.
std::vector<uint32_t> SimplifyCareful(const MeshData& m, const std::vector<uint32_t>& idx, size_t targetIndices)
{
    std::vector<uint32_t> out(idx.size());
    size_t n = meshopt_simplify(out.data(), idx.data(), idx.size(), &m.vertices[0].pos.x, m.vertices.size(),
                                sizeof(MeshVertex), targetIndices, 1.0f, 0, nullptr);
    out.resize(n);
    return out;
}

// A position's bits, for finding the vertices at one place.
struct Place {
    uint32_t x, y, z;
    bool operator==(const Place& o) const { return x == o.x && y == o.y && z == o.z; }
};
struct PlaceHash {
    size_t operator()(const Place& p) const { return (p.x * 73856093u) ^ (p.y * 19349663u) ^ (p.z * 83492791u); }
};
Place PlaceOf(const Vec3& p)
{
    Place k;
    std::memcpy(&k.x, &p.x, 4);
    std::memcpy(&k.y, &p.y, 4);
    std::memcpy(&k.z, &p.z, 4);
    return k;
}

// The careful simplifier over the subset's surface with the corners at each
// place made one, so that hard edges and seams no longer stop it: a boxy part
// (flat faces, every edge hard) loses its bevels and segments first.  It
// stops at `error` (a share of the whole mesh's extent; 1 for no limit).
// Each corner of the result then takes, of the vertices at its place, the one
// whose normal best matches the new face: flat faces stay flat-shaded, with
// the texture pairs of the face they came from.
std::vector<uint32_t> SimplifyWelded(const MeshData& m, const std::vector<uint32_t>& idx, size_t targetIndices,
                                     float error)
{
    std::unordered_map<Place, uint32_t, PlaceHash> number;
    std::vector<Vec3> places;
    std::vector<std::vector<uint32_t>> at;  // place -> the subset's vertices there
    std::vector<uint32_t> welded(idx.size());
    for (size_t i = 0; i < idx.size(); ++i) {
        uint32_t v = idx[i];
        auto [it, added] = number.emplace(PlaceOf(m.vertices[v].pos), static_cast<uint32_t>(places.size()));
        if (added) {
            places.push_back(m.vertices[v].pos);
            at.emplace_back();
        }
        welded[i] = it->second;
        std::vector<uint32_t>& here = at[it->second];
        if (std::find(here.begin(), here.end(), v) == here.end()) here.push_back(v);
    }
    if (error < 1) {  // the simplifier measures against the subset's own extent
        float whole = meshopt_simplifyScale(&m.vertices[0].pos.x, m.vertices.size(), sizeof(MeshVertex));
        float own = meshopt_simplifyScale(&places[0].x, places.size(), sizeof(Vec3));
        error = own > 0 ? error * whole / own : 1;
    }
    std::vector<uint32_t> out(idx.size());
    size_t n = meshopt_simplify(out.data(), welded.data(), welded.size(), &places[0].x, places.size(),
                                sizeof(Vec3), targetIndices, error, 0, nullptr);
    out.resize(n);
    for (size_t f = 0; f + 2 < n; f += 3) {
        Vec3 a = places[out[f]], b = places[out[f + 1]], c = places[out[f + 2]];
        Vec3 normal = Vec3Normalize(Vec3Cross(b - a, c - a));
        for (int k = 0; k < 3; ++k) {
            const std::vector<uint32_t>& here = at[out[f + k]];
            uint32_t pick = here[0];
            for (uint32_t v : here)
                if (Vec3Dot(m.vertices[v].normal, normal) > Vec3Dot(m.vertices[pick].normal, normal)) pick = v;
            out[f + k] = pick;
        }
    }
    return out;
}

// The sloppy simplifier merges the vertices of each cell of a grid, whatever
// the surface; the grid is no coarser than `error` of the mesh's extent.
std::vector<uint32_t> SimplifySloppy(const MeshData& m, const std::vector<uint32_t>& idx, size_t targetIndices,
                                     float error)
{
    std::vector<uint32_t> out(idx.size());
    size_t n = meshopt_simplifySloppy(out.data(), idx.data(), idx.size(), &m.vertices[0].pos.x,
                                      m.vertices.size(), sizeof(MeshVertex), std::min(targetIndices, idx.size()),
                                      error, nullptr);
    out.resize(n);
    return out;
}

// One subset simplified toward a target: the careful simplifier on the mesh
// as it is; where that stops above the target, on the welded surface; and
// where both stall (open borders hold the welded one too), the sloppy one.
// The others stay within `error`.  The fewest faces win; empty when
// everything was taken away.
std::vector<uint32_t> Simplify(const MeshData& m, const std::vector<uint32_t>& idx, size_t targetIndices,
                               float error)
{
    if (idx.empty()) return {};
    std::vector<uint32_t> best = SimplifyCareful(m, idx, targetIndices);
    if (best.size() <= targetIndices) return best;
    std::vector<uint32_t> welded = SimplifyWelded(m, idx, targetIndices, error);
    if (welded.size() < best.size()) best.swap(welded);
    if (best.size() <= targetIndices || best.size() < idx.size() * 3 / 4) return best;
    std::vector<uint32_t> sloppy = SimplifySloppy(m, idx, targetIndices, error);
    if (sloppy.size() < best.size()) best.swap(sloppy);
    return best;
}
}  // namespace

uint32_t MinimumFaces(const MeshData& m)
{
    uint32_t total = 0;
    for (uint32_t s : Subsets(m))
        total += static_cast<uint32_t>(Simplify(m, SubsetIndices(m, s), 0, 1.0f).size() / 3);
    return total;
}

MeshData SimplifiedCopy(const MeshData& m, uint32_t faces)
{
    if (faces >= m.FaceCount()) return m;
    MeshData out = m;
    out.indices.clear();
    out.attributes.clear();
    double share = static_cast<double>(faces) / m.FaceCount();
    for (uint32_t s : Subsets(m)) {
        std::vector<uint32_t> idx = SubsetIndices(m, s);
        size_t target = static_cast<size_t>(std::floor(idx.size() / 3 * share)) * 3;
        std::vector<uint32_t> simple = Simplify(m, idx, target, kOutlineError);
        if (simple.empty()) simple = idx;  // a subset never vanishes from the copy
        out.indices.insert(out.indices.end(), simple.begin(), simple.end());
        out.attributes.insert(out.attributes.end(), simple.size() / 3, s);
    }
    return out;
}

void OptimizeVertexCache(MeshData* mesh)
{
    MeshData& m = *mesh;
    std::vector<uint32_t> idx, attr;
    for (uint32_t s : Subsets(m)) {
        std::vector<uint32_t> sub = SubsetIndices(m, s);
        std::vector<uint32_t> opt(sub.size());
        meshopt_optimizeVertexCache(opt.data(), sub.data(), sub.size(), m.vertices.size());
        idx.insert(idx.end(), opt.begin(), opt.end());
        attr.insert(attr.end(), opt.size() / 3, s);
    }
    m.indices.swap(idx);
    m.attributes.swap(attr);
}

bool IntersectMesh(const Vec3* positions, size_t stride, const uint32_t* indices, uint32_t faceCount,
                   Vec3 origin, Vec3 dir, uint32_t* face, float* dist)
{
    const uint8_t* base = reinterpret_cast<const uint8_t*>(positions);
    auto at = [&](uint32_t i) {
        Vec3 p;
        std::memcpy(&p, base + static_cast<size_t>(i) * stride, sizeof p);
        return p;
    };
    bool hit = false;
    float best = 0;
    for (uint32_t f = 0; f < faceCount; ++f) {
        float u, v, d;
        if (IntersectTriangle(at(indices[f * 3]), at(indices[f * 3 + 1]), at(indices[f * 3 + 2]), origin,
                              dir, &u, &v, &d) &&
            (!hit || d < best)) {
            hit = true;
            best = d;
            if (face) *face = f;
        }
    }
    if (hit && dist) *dist = best;
    return hit;
}

gfx::HResult CreateDeviceMesh(const MeshData& m, gfx::Mesh** out)
{
    // Packed in the mesh's own layout: position, then normal and texture
    // pair where the file had them.
    uint32_t fvf = m.Fvf();
    uint32_t stride = gfx::FvfStride(fvf);
    std::vector<uint8_t> bytes(m.vertices.size() * stride);
    for (size_t i = 0; i < m.vertices.size(); ++i) {
        uint8_t* p = &bytes[i * stride];
        std::memcpy(p, &m.vertices[i].pos, 12);
        p += 12;
        if (m.hasNormals) {
            std::memcpy(p, &m.vertices[i].normal, 12);
            p += 12;
        }
        if (m.hasTexCoords) std::memcpy(p, &m.vertices[i].u, 8);
    }
    return gfx::CreateMesh(fvf, bytes.data(), static_cast<uint32_t>(m.vertices.size()), m.indices.data(),
                           m.FaceCount(), m.attributes.data(), out);
}

bool IntersectDeviceMesh(gfx::Mesh* mesh, Vec3 origin, Vec3 dir, uint32_t* face, float* dist)
{
    if (!mesh) return false;
    return IntersectMesh(static_cast<const Vec3*>(gfx::MeshVertices(mesh)),
                         gfx::FvfStride(gfx::MeshFVF(mesh)), gfx::MeshIndices(mesh),
                         gfx::MeshFaceCount(mesh), origin, dir, face, dist);
}

gfx::HResult CloneMeshPositionNormalTex(gfx::Mesh* src, gfx::Mesh** out)
{
    *out = nullptr;
    if (!src || gfx::MeshVertexCount(src) > 65535) return gfx::E_FAIL;
    uint32_t fvf = gfx::MeshFVF(src), stride = gfx::FvfStride(fvf);
    const uint8_t* in = static_cast<const uint8_t*>(gfx::MeshVertices(src));
    std::vector<MeshVertex> verts(gfx::MeshVertexCount(src));
    for (size_t i = 0; i < verts.size(); ++i) {
        const uint8_t* p = in + i * stride;
        std::memcpy(&verts[i].pos, p, 12);
        p += 12;
        if (fvf & gfx::FVF_NORMAL) {
            std::memcpy(&verts[i].normal, p, 12);
            p += 12;
        }
        if (fvf & gfx::FVF_DIFFUSE) p += 4;
        if (fvf & gfx::FVF_TEX1) std::memcpy(&verts[i].u, p, 8);
    }
    return gfx::CreateMesh(gfx::FVF_XYZ | gfx::FVF_NORMAL | gfx::FVF_TEX1, verts.data(),
                           static_cast<uint32_t>(verts.size()), gfx::MeshIndices(src),
                           gfx::MeshFaceCount(src), gfx::MeshAttributes(src), out);
}
