#include "platform/mesh_data.h"
#include "platform/file_read.h"

#include "platform/alloc_ceiling.h"

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
// The mesh reader reserves room for the counts a file declares before it
// reads the items, and runs under an allocation ceiling, so a damaged count
// costs at most the ceiling.  This check comes first so that a damaged file
// gets a message naming the count instead of an allocation failure, and it
// closes the holes the ceiling cannot, where the reader would read or write
// past its arrays: a binary token whose payload runs past the end of the
// file, faces using vertices or normals the mesh lacks, skin weights on
// vertices it lacks, and faces naming materials in a list without any.
//
// It looks only where the format puts a count: the vertex and face counts of
// a Mesh and the corner count of each face, the counts of its MeshNormals,
// MeshTextureCoords, MeshVertexColors, MeshMaterialList and SkinWeights, and
// the length of every binary token; and at what those counts index (face
// corners, skin weights, the materials a material list names).  Template
// blocks are skipped, and numbers elsewhere (GUIDs, colours as 32-bit words,
// float bit patterns written as integers, the data of other objects) are
// never taken for counts.
class XTokens {
public:
    enum Kind { End, Name, Open, Close, Separator, Number, Other, Bad };
    struct Token {
        Token(Kind k = End, std::string name = {}, uint64_t v = 0, bool isWhole = false)
            : kind(k), text(std::move(name)), value(v), whole(isWhole) {}
        Kind kind;
        std::string text;  // names
        uint64_t value;    // whole numbers (a minus sign gives a huge value)
        bool whole;
        bool negative = false;  // a whole number written with a minus sign
        uint64_t written = 0;   // and the digits as written
    };

    XTokens(const std::string& bytes, bool binary, size_t floatBytes)
        : b_(bytes), binary_(binary), floatBytes_(floatBytes), at_(16) {}

    Token Next()
    {
        if (hasPeek_) {
            hasPeek_ = false;
            return peek_;
        }
        return binary_ ? NextBinary() : NextText();
    }
    void PushBack(const Token& t)
    {
        peek_ = t;
        hasPeek_ = true;
    }
    // Bytes left after the last token read.
    uint64_t Left() const { return at_ <= b_.size() ? b_.size() - at_ : 0; }
    const std::string& Problem() const { return problem_; }

private:
    Token Fail(std::string why)
    {
        problem_ = std::move(why);
        at_ = b_.size();
        return {Bad};
    }

    uint32_t U32(size_t p) const
    {
        uint32_t v;
        std::memcpy(&v, &b_[p], 4);
        return v;
    }

    // Binary: a 16-bit token id and its payload.  Lists yield their numbers
    // one at a time.
    Token NextBinary()
    {
        if (listLeft_ > 0) {
            --listLeft_;
            Token t{Number};
            if (listFloat_) {
                at_ += floatBytes_;
            } else {
                t.value = U32(at_);
                t.whole = true;
                at_ += 4;
            }
            return t;
        }
        if (b_.size() - at_ < 2) return {End};
        uint16_t id = static_cast<uint8_t>(b_[at_]) | static_cast<uint8_t>(b_[at_ + 1]) << 8;
        at_ += 2;
        auto need = [&](uint64_t n) { return n <= b_.size() - at_; };
        switch (id) {
        case 1:    // name
        case 2: {  // string, then its closing separator
            if (!need(4)) return Fail("a token cut short at the end");
            uint64_t n = U32(at_);
            at_ += 4;
            if (!need(n + (id == 2 ? 2 : 0)))
                return Fail(std::string("a ") + (id == 1 ? "name" : "string") + " of " + std::to_string(n) +
                            " bytes with " + std::to_string(b_.size() - at_) + " left");
            Token t{id == 1 ? Name : Other};
            if (id == 1) t.text = b_.substr(at_, n);
            at_ += n;
            return t;
        }
        case 3:  // one integer
            if (!need(4)) return Fail("a token cut short at the end");
            at_ += 4;
            return {Number, "", U32(at_ - 4), true};
        case 5:  // GUID
            if (!need(16)) return Fail("a token cut short at the end");
            at_ += 16;
            return {Other};
        case 6:    // integer list
        case 7: {  // float list
            if (!need(4)) return Fail("a token cut short at the end");
            uint64_t n = U32(at_);
            at_ += 4;
            uint64_t size = id == 6 ? 4 : floatBytes_;
            if (!need(n * size))
                return Fail("a list of " + std::to_string(n) + " numbers with " +
                            std::to_string(b_.size() - at_) + " bytes left");
            listLeft_ = n;
            listFloat_ = id == 7;
            return NextBinary();
        }
        case 10: return {Open};
        case 11: return {Close};
        case 19:
        case 20: return {Separator};
        case 31: return {Name, "template"};
        default: return {Other};
        }
    }

    // Text: tokens end at white space and at ; , { }; comments run from // or
    // # to the end of the line; a quoted string is one token.
    Token NextText()
    {
        for (;;) {
            while (at_ < b_.size() && std::isspace(static_cast<unsigned char>(b_[at_]))) ++at_;
            if (at_ >= b_.size()) return {End};
            if (b_[at_] == '#' || (b_[at_] == '/' && at_ + 1 < b_.size() && b_[at_ + 1] == '/')) {
                while (at_ < b_.size() && b_[at_] != '\n') ++at_;
                continue;
            }
            break;
        }
        char c = b_[at_];
        if (c == '{' || c == '}' || c == ';' || c == ',') {
            ++at_;
            return {c == '{' ? Open : c == '}' ? Close : Separator};
        }
        if (c == '"') {
            size_t close = b_.find('"', at_ + 1);
            at_ = close == std::string::npos ? b_.size() : close + 1;
            return {Other};
        }
        size_t start = at_;
        while (at_ < b_.size() && !std::isspace(static_cast<unsigned char>(b_[at_])) && b_[at_] != '{' &&
               b_[at_] != '}' && b_[at_] != ';' && b_[at_] != ',')
            ++at_;
        std::string word = b_.substr(start, at_ - start);
        size_t digits = word[0] == '-' || word[0] == '+' ? 1 : 0;
        bool numeric = digits < word.size() &&
                       (std::isdigit(static_cast<unsigned char>(word[digits])) || word[digits] == '.');
        if (!numeric) return {Name, word};
        Token t{Number};
        t.whole = word.find_first_not_of("0123456789", digits) == std::string::npos;
        if (t.whole) {
            for (size_t i = digits; i < word.size(); ++i)
                t.value = std::min<uint64_t>(t.value * 10 + static_cast<uint64_t>(word[i] - '0'), UINT64_MAX / 20);
            // The reader takes a negative count as a huge 32-bit one.
            t.written = t.value;
            if (word[0] == '-') {
                t.negative = true;
                t.value = static_cast<uint32_t>(0u - static_cast<uint32_t>(t.value));
            }
        }
        return t;
    }

    const std::string& b_;
    bool binary_;
    size_t floatBytes_;
    size_t at_;
    uint64_t listLeft_ = 0;
    bool listFloat_ = false;
    Token peek_;
    bool hasPeek_ = false;
    std::string problem_;
};

class CountCheck {
public:
    CountCheck(XTokens* tokens, uint64_t fileSize) : t_(*tokens), size_(fileSize) {}

    // False with *error at the first damaged count.
    bool Run(std::string* error)
    {
        for (;;) {
            XTokens::Token tok = t_.Next();
            if (tok.kind == XTokens::Bad) return Refuse(error, t_.Problem());
            if (tok.kind == XTokens::End) return true;
            if (tok.kind != XTokens::Name) continue;
            // An object: its type, maybe its name, then an opening brace.
            XTokens::Token next = t_.Next();
            if (next.kind == XTokens::Name) next = t_.Next();
            if (next.kind != XTokens::Open) {
                t_.PushBack(next);
                continue;
            }
            if (tok.text == "template") SkipTemplate();
            else if (!ReadObject(tok.text)) return Refuse(error, problem_);
        }
    }

private:
    bool Refuse(std::string* error, const std::string& why)
    {
        *error = "not a mesh file (" + why + ")";
        return false;
    }

    // A template runs to its first closing brace, as the reader takes it.
    void SkipTemplate()
    {
        for (;;) {
            XTokens::Token tok = t_.Next();
            if (tok.kind == XTokens::End || tok.kind == XTokens::Bad) {
                t_.PushBack(tok);
                return;
            }
            if (tok.kind == XTokens::Close) return;
        }
    }

    // The next number, passing separators; false (and the token left for the
    // walk) when something else comes first.
    bool Value(XTokens::Token* out)
    {
        for (;;) {
            *out = t_.Next();
            if (out->kind == XTokens::Separator) continue;
            if (out->kind == XTokens::Number) return true;
            t_.PushBack(*out);
            return false;
        }
    }

    // A count where the format puts one.  *ok goes false when it is damaged;
    // the result is false when no whole number stands there (the reader
    // reports that).
    bool Count(const char* what, uint64_t* n, bool* ok)
    {
        XTokens::Token tok;
        if (!Value(&tok) || !tok.whole) return false;
        *n = tok.value;
        if (tok.negative && tok.written != 0) {
            problem_ = "-" + std::to_string(tok.written) + " " + what + " (a count below zero)";
            *ok = false;
            return false;
        }
        // Every item takes at least one byte of what follows.
        if (*n > t_.Left()) {
            problem_ = std::to_string(*n) + " " + what + " in a file of " + std::to_string(size_) + " bytes";
            *ok = false;
            return false;
        }
        return true;
    }

    bool Skip(uint64_t values)
    {
        XTokens::Token tok;
        for (uint64_t i = 0; i < values; ++i)
            if (!Value(&tok)) return false;
        return true;
    }

    // Faces as the format writes them: a corner count, then the corners, each
    // of which must name one of `limit` items.  A face has at least one
    // corner (the reader's triangulation stops the program on one without).
    bool Faces(uint64_t faces, uint64_t limit, const char* item, bool* ok)
    {
        for (uint64_t f = 0; f < faces; ++f) {
            uint64_t corners = 0;
            if (!Count("corners", &corners, ok)) return false;
            if (corners == 0) {
                problem_ = "face " + std::to_string(f) + " without corners";
                *ok = false;
                return false;
            }
            for (uint64_t c = 0; c < corners; ++c) {
                XTokens::Token tok;
                if (!Value(&tok)) return false;
                if (tok.whole && tok.value >= limit) {
                    problem_ = "face " + std::to_string(f) + " uses " + item + " " + std::to_string(tok.value) +
                               " of " + std::to_string(limit);
                    *ok = false;
                    return false;
                }
            }
        }
        return true;
    }

    // The materials of a material list, written out or named in braces; the
    // walk goes on after the list.
    uint64_t MaterialsInList()
    {
        uint64_t materials = 0;
        bool body = false;  // an object's name was met: the next brace opens its body
        for (int depth = 0;;) {
            XTokens::Token tok = t_.Next();
            if (tok.kind == XTokens::End || tok.kind == XTokens::Bad ||
                (tok.kind == XTokens::Close && depth == 0)) {
                t_.PushBack(tok);
                return materials;
            }
            if (tok.kind == XTokens::Close) --depth;
            if (tok.kind == XTokens::Open) {
                if (depth == 0 && !body) ++materials;  // a reference: { Name }
                body = false;
                ++depth;
            }
            if (depth == 0 && tok.kind == XTokens::Name) {
                // Any other object in the list is skipped whole by the reader.
                if (!body && tok.text == "Material") ++materials;
                body = true;
            }
        }
    }

    // Reads the counts at the head of one object; what follows them is left
    // to the walk (objects nested in a Mesh are met there).
    bool ReadObject(const std::string& type)
    {
        bool ok = true;
        uint64_t n = 0, faces = 0;
        if (type == "Mesh") {
            meshVertices_ = 0;
            if (Count("vertices", &n, &ok) && Skip(n * 3) && Count("faces", &faces, &ok))
                Faces(faces, n, "vertex", &ok);
            meshVertices_ = n;
        } else if (type == "MeshNormals") {
            if (Count("normals", &n, &ok) && Skip(n * 3) && Count("face normals", &faces, &ok))
                Faces(faces, n, "normal", &ok);
        } else if (type == "MeshTextureCoords") {
            Count("texture coordinates", &n, &ok);
        } else if (type == "MeshVertexColors") {
            Count("vertex colours", &n, &ok);
        } else if (type == "MeshMaterialList") {
            // Faces naming materials need at least one material to name.
            if (Count("materials", &n, &ok) && Count("face materials", &faces, &ok) && Skip(faces) &&
                faces > 0 && MaterialsInList() == 0) {
                problem_ = "a material list for " + std::to_string(faces) + (faces == 1 ? " face" : " faces") +
                           " without a material";
                ok = false;
            }
        } else if (type == "SkinWeights") {
            // The frame's name, the weight count, then the vertices weighted.
            XTokens::Token name = t_.Next();
            if (name.kind != XTokens::Other) {
                t_.PushBack(name);
                return true;
            }
            if (!Count("weights", &n, &ok)) return ok;
            for (uint64_t i = 0; i < n; ++i) {
                XTokens::Token tok;
                if (!Value(&tok)) break;
                if (tok.whole && tok.value >= meshVertices_) {
                    problem_ = "a skin weight on vertex " + std::to_string(tok.value) + " of " +
                               std::to_string(meshVertices_);
                    return false;
                }
            }
        }
        return ok;
    }

    XTokens& t_;
    uint64_t size_;
    uint64_t meshVertices_ = 0;  // of the mesh read last
    std::string problem_;
};

// The largest mesh file read: the biggest the pack holds is about 6 MB.
constexpr uint64_t kLargestMeshFile = uint64_t{64} << 20;

bool CountsFitTheFile(const std::string& path, std::string* error, uint64_t* fileSize)
{
    std::string bytes;
    if (!ReadRegularFile(path, kLargestMeshFile, "a mesh file", &bytes, error)) return false;
    *fileSize = bytes.size();
    if (bytes.size() < 16 || bytes.compare(0, 4, "xof ") != 0) {
        *error = "not a mesh file (no 'xof' header)";
        return false;
    }
    std::string format = bytes.substr(8, 4), floatBits = bytes.substr(12, 4);
    if (format != "txt " && format != "bin ") return true;  // compressed: the ceiling alone
    XTokens tokens(bytes, format == "bin ", floatBits == "0064" ? 8 : 4);
    return CountCheck(&tokens, bytes.size()).Run(error);
}
}  // namespace

bool ReadXFile(const std::string& path, MeshData* out, std::string* error)
{
    *out = MeshData{};
    uint64_t fileSize = 0;
    if (!CountsFitTheFile(path, error, &fileSize)) return false;
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
            if (c == '\n' || c == '\r' || c == '\t') c = ' ';
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
