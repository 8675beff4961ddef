#include "platform/x_check.h"
#include "platform/file_read.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {
// What the walk stops with: the problem, and where.
struct Refusal {
    std::string why;
};

class XWalk {
public:
    // `bytes` from its 16-byte header on; the rest of a text file's header
    // line is passed over, but not in an inflated file, whose text starts
    // at once.
    XWalk(const std::string& bytes, bool binary, size_t floatBytes, bool headerLine)
        : b_(bytes), n_(bytes.size()), binary_(binary), floatBytes_(floatBytes), at_(16)
    {
        if (!binary_ && headerLine) SkipLine();
    }

    // The file's objects, as the reader takes them one after another.
    void File()
    {
        bool frames = false, meshes = false;  // met outside any frame
        for (;;) {
            std::string t = Token();
            if (t.empty()) break;
            if (t == "template") Template();
            else if (t == "Frame") {
                Frame(1);
                frames = true;
            } else if (t == "Mesh") {
                Mesh();
                meshes = true;
            }
            else if (t == "Material") Material();
            else if (t == "AnimationSet") AnimationSet();
            else if (t == "AnimTicksPerSecond") {
                Head();
                Int();
                Closing();
            } else if (t == "}") Refuse("a closing brace outside any object");
            else Unknown();
        }
        // The library hangs meshes outside any frame on the first frame,
        // losing that frame's own.
        if (frames && meshes) Refuse("meshes both inside and outside frames");
    }

    // Where the walk stands, for a message.
    std::string Where() const
    {
        size_t at = std::min(at_, n_);
        if (binary_) return "byte " + std::to_string(at);
        return "line " + std::to_string(1 + std::count(b_.begin(), b_.begin() + static_cast<long>(at), '\n'));
    }

private:
    [[noreturn]] void Refuse(const std::string& why) { throw Refusal{why}; }

    char At(size_t i) const { return i < n_ ? b_[i] : '\0'; }
    static bool Digit(char c) { return c >= '0' && c <= '9'; }
    static bool Space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
    uint64_t Left() const { return at_ < n_ ? n_ - at_ : 0; }

    uint32_t Word()
    {
        uint32_t v = static_cast<uint8_t>(b_[at_]) | static_cast<uint32_t>(static_cast<uint8_t>(b_[at_ + 1])) << 8;
        at_ += 2;
        return v;
    }
    uint32_t DWord()
    {
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(b_[at_ + static_cast<size_t>(i)]);
        at_ += 4;
        return v;
    }

    // --- text: blanks, comments from // or # to the end of the line --------------
    void SkipLine()
    {
        while (at_ < n_) {
            char c = b_[at_++];
            if (c == '\n' || c == '\r') return;
        }
    }
    void SkipBlank()
    {
        for (;;) {
            while (at_ < n_ && Space(b_[at_])) ++at_;
            if (at_ >= n_) return;
            if ((At(at_) == '/' && At(at_ + 1) == '/') || At(at_) == '#') SkipLine();
            else return;
        }
    }

    // --- tokens: names and punctuation; empty at the end ------------------------
    std::string Token() { return binary_ ? BinaryToken() : TextToken(); }

    std::string TextToken()
    {
        SkipBlank();
        std::string s;
        while (at_ < n_ && !Space(b_[at_])) {
            char c = b_[at_];
            if (c == ';' || c == '}' || c == '{' || c == ',') {
                if (s.empty()) {
                    s += c;
                    ++at_;
                }
                break;
            }
            s += c;
            ++at_;
        }
        return s;
    }

    // A 16-bit token id and its payload.  The reader takes any id it does
    // not know for the end of the file.
    std::string BinaryToken()
    {
        if (Left() < 2) return "";
        uint32_t id = Word();
        auto need = [&](uint64_t n) {
            if (n > Left()) Refuse("a token cut short at the end");
        };
        switch (id) {
        case 1:    // name
        case 2: {  // string, then its closing separator
            need(4);
            uint64_t n = DWord();
            if (n + (id == 2 ? 2 : 0) > Left())
                Refuse(std::string("a ") + (id == 1 ? "name" : "string") + " of " + std::to_string(n) +
                       " bytes with " + std::to_string(Left()) + " left");
            std::string s = b_.substr(at_, n);
            at_ += n + (id == 2 ? 2 : 0);
            return s;
        }
        case 3: need(4); at_ += 4; return "<integer>";
        case 5: need(16); at_ += 16; return "<guid>";
        case 6:
        case 7: {
            need(4);
            uint64_t n = DWord();
            ListFits(n, id == 6 ? 4 : floatBytes_);
            at_ += n * (id == 6 ? 4 : floatBytes_);
            return id == 6 ? "<int_list>" : "<float_list>";
        }
        case 10: return "{";
        case 11: return "}";
        case 12: return "(";
        case 13: return ")";
        case 14: return "[";
        case 15: return "]";
        case 16: return "<";
        case 17: return ">";
        case 18: return ".";
        case 19: return ",";
        case 20: return ";";
        case 31: return "template";
        default: break;
        }
        static const char* const kKeywords[] = {"WORD",   "DWORD", "FLOAT",  "DOUBLE",  "CHAR",    "UCHAR", "SWORD",
                                                "SDWORD", "void",  "string", "unicode", "cstring", "array"};
        if (id >= 40 && id <= 52) return kKeywords[id - 40];
        return "";
    }

    void ListFits(uint64_t n, uint64_t size)
    {
        if (n * size > Left())
            Refuse("a list of " + std::to_string(n) + " numbers with " + std::to_string(Left()) + " bytes left");
    }

    // --- separators, braces, strings ---------------------------------------------
    void Semicolon()
    {
        if (!binary_ && Token() != ";") Refuse("a semicolon expected");
    }
    void Separator()
    {
        if (binary_) return;
        std::string t = Token();
        if (t != "," && t != ";") Refuse("a separator (',' or ';') expected");
    }
    // A separator taken if one stands next.
    void MaybeSeparator()
    {
        if (binary_) return;
        SkipBlank();
        if (at_ < n_ && (b_[at_] == ';' || b_[at_] == ',')) ++at_;
    }
    void Closing()
    {
        if (Token() != "}") Refuse("a closing brace expected");
    }
    // An object's head: maybe its name, then the opening brace.
    std::string Head()
    {
        std::string t = Token();
        if (t == "{") return "";
        if (Token() != "{") Refuse(t.empty() ? "the file ends before an object's opening brace"
                                             : "an opening brace expected after " + Quoted(t));
        return t;
    }
    // A quoted string followed by a semicolon.
    void QuotedString()
    {
        if (binary_) {
            Token();
            return;
        }
        SkipBlank();
        if (at_ >= n_) Refuse("the file ends where a quoted string belongs");
        if (b_[at_] != '"') Refuse("a quoted string expected");
        ++at_;
        while (at_ < n_ && b_[at_] != '"') ++at_;
        if (at_ + 1 >= n_) Refuse("a quoted string runs to the end of the file");
        if (b_[at_ + 1] != ';') Refuse("a quoted string without its semicolon");
        at_ += 2;
    }

    // --- numbers -------------------------------------------------------------------
    struct Number {
        uint32_t value = 0;     // as the reader takes it: a minus sign wraps it
        bool negative = false;  // written with a minus sign
        uint64_t written = 0;   // the digits as written
    };

    Number Int()
    {
        Number v;
        if (binary_) {
            if (listLeft_ == 0 && Left() >= 2) {
                uint32_t id = Word();
                if (id == 6 && Left() >= 4) {
                    listLeft_ = DWord();
                    ListFits(listLeft_, 4);
                } else {
                    listLeft_ = 1;
                }
            }
            --listLeft_;
            if (Left() >= 4) v.value = DWord();
            else at_ = n_;
            return v;
        }
        SkipBlank();
        if (At(at_) == '-') {
            v.negative = true;
            ++at_;
        }
        if (!Digit(At(at_))) Refuse("a whole number expected");
        for (; at_ < n_ && Digit(b_[at_]); ++at_) {
            uint32_t d = static_cast<uint32_t>(b_[at_] - '0');
            v.value = v.value * 10 + d;
            v.written = std::min<uint64_t>(v.written * 10 + d, UINT64_MAX / 20);
        }
        if (v.negative) v.value = 0u - v.value;
        Separator();
        return v;
    }

    // A count where the format puts one: every item it counts takes at least
    // one byte of what follows.
    uint64_t Count(const char* what)
    {
        Number v = Int();
        if (v.negative && v.written != 0)
            Refuse("-" + std::to_string(v.written) + " " + what + " (a count below zero)");
        if (v.value > Left())
            Refuse(std::to_string(v.value) + " " + what + " in a file of " + std::to_string(n_) + " bytes");
        return v.value;
    }

    bool Starts(const char* word) const
    {
        size_t len = std::strlen(word);
        for (size_t i = 0; i < len; ++i)
            if (At(at_ + i) != word[i]) return false;
        return true;
    }
    bool StartsCaseless(size_t at, const char* word) const
    {
        for (size_t i = 0; word[i]; ++i) {
            char c = At(at + i);
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            if (c != word[i]) return false;
        }
        return true;
    }

    // Decimal digits from `at` as the reader's number parser takes them: at
    // most `most` digits count (0 for all) and the rest are passed over; a
    // value past 64 bits leaves the digits where they stand.
    size_t Digits(size_t at, unsigned most = 0) const
    {
        uint64_t v = 0;
        unsigned count = 0;
        size_t p = at;
        while (Digit(At(p))) {
            uint64_t next = v * 10 + static_cast<uint64_t>(At(p) - '0');
            if (next < v) return at;
            v = next;
            ++p;
            if (most && ++count == most) {
                while (Digit(At(p))) ++p;
                return p;
            }
        }
        return p;
    }

    void Float()
    {
        if (binary_) {
            if (listLeft_ == 0 && Left() >= 2) {
                uint32_t id = Word();
                if (id == 7 && Left() >= 4) {
                    listLeft_ = DWord();
                    ListFits(listLeft_, floatBytes_);
                } else {
                    listLeft_ = 1;
                }
            }
            --listLeft_;
            if (Left() >= floatBytes_) at_ += floatBytes_;
            else at_ = n_;
            return;
        }
        SkipBlank();
        // What some exporters write for a number that is none.
        if (Starts("-1.#IND00") || Starts("1.#IND00")) {
            at_ += 9;
        } else if (Starts("1.#QNAN0")) {
            at_ += 8;
        } else {
            size_t c = at_;
            if (At(c) == '-' || At(c) == '+') ++c;
            auto point = [&](size_t p) { return (At(p) == '.' || At(p) == ',') && Digit(At(p + 1)); };
            if (StartsCaseless(c, "nan")) {
                c += 3;
            } else if (StartsCaseless(c, "inf")) {
                c += 3;
                if (StartsCaseless(c, "inity")) c += 5;
            } else {
                if (!Digit(At(c)) && !point(c)) Refuse("a number expected");
                if (At(c) != '.' && At(c) != ',') c = Digits(c);
                if (point(c)) c = Digits(c + 1, 15);
                else if (At(c) == '.') ++c;
                if (At(c) == 'e' || At(c) == 'E') {
                    ++c;
                    if (At(c) == '-' || At(c) == '+') ++c;
                    if (!Digit(At(c))) Refuse("a number expected after an exponent's 'e'");
                    c = Digits(c);
                }
            }
            at_ = c;
        }
        Separator();
    }

    void Floats(int n)
    {
        for (int i = 0; i < n; ++i) Float();
    }
    // Vectors and colours: their numbers, then maybe a separator.
    void Vector(int n)
    {
        Floats(n);
        MaybeSeparator();
    }

    // --- objects -------------------------------------------------------------------
    // Anything the reader does not know, skipped to its closing brace.
    void Unknown()
    {
        for (;;) {
            std::string t = Token();
            if (t.empty()) Refuse("the file ends before an object's opening brace");
            if (t == "{") break;
        }
        for (int depth = 1; depth > 0;) {
            std::string t = Token();
            if (t.empty()) Refuse("the file ends inside an object");
            if (t == "{") ++depth;
            else if (t == "}") --depth;
        }
    }

    // A template ends at its first closing brace, as the reader takes it.
    void Template()
    {
        Head();
        Token();  // its GUID
        for (;;) {
            std::string t = Token();
            if (t == "}") return;
            if (t.empty()) Refuse("the file ends inside a template");
        }
    }

    void Frame(int depth)
    {
        std::string name = Head();
        // The library copies a frame's name into a buffer of 1024 bytes.
        if (name.size() > 1023) Refuse("a frame name of " + std::to_string(name.size()) + " bytes");
        if (depth > kDeepestFrame) Refuse("frames nested more than " + std::to_string(kDeepestFrame) + " deep");
        for (;;) {
            std::string t = Token();
            if (t.empty()) Refuse("the file ends inside a frame");
            if (t == "}") return;
            if (t == "Frame") Frame(depth + 1);
            else if (t == "FrameTransformMatrix") {
                Head();
                Floats(16);
                Semicolon();
                Closing();
            } else if (t == "Mesh") Mesh();
            else Unknown();
        }
    }

    static std::string FacesText(uint64_t n) { return std::to_string(n) + (n == 1 ? " face" : " faces"); }

    // Faces as the format writes them: a corner count, then the corners, each
    // of which must name one of `limit` items.
    void Faces(uint64_t faces, uint64_t limit, const char* item)
    {
        for (uint64_t f = 0; f < faces; ++f) {
            uint64_t corners = Count("corners");
            if (corners == 0) Refuse("face " + std::to_string(f) + " without corners");
            for (uint64_t c = 0; c < corners; ++c) {
                uint32_t i = Int().value;
                if (i >= limit)
                    Refuse("face " + std::to_string(f) + " uses " + item + " " + std::to_string(i) + " of " +
                           std::to_string(limit));
            }
            MaybeSeparator();
        }
    }

    void Mesh()
    {
        Head();
        const uint64_t vertices = Count("vertices");
        for (uint64_t v = 0; v < vertices; ++v) Vector(3);
        const uint64_t faces = Count("faces");
        Faces(faces, vertices, "vertex");
        int texSets = 0, colourSets = 0;
        uint64_t faceMaterials = 0, materials = 0;
        for (;;) {
            std::string t = Token();
            if (t.empty()) Refuse("the file ends inside a mesh");
            if (t == "}") break;
            if (t == "MeshNormals") {
                Head();
                uint64_t normals = Count("normals");
                for (uint64_t i = 0; i < normals; ++i) Vector(3);
                uint64_t normalFaces = Count("face normals");
                if (normalFaces != faces)
                    Refuse(std::to_string(normalFaces) + " face normals for " + FacesText(faces));
                Faces(normalFaces, normals, "normal");
                Closing();
            } else if (t == "MeshTextureCoords" || t == "MeshVertexColors") {
                const bool tex = t == "MeshTextureCoords";
                Head();
                if (++(tex ? texSets : colourSets) > 8)
                    Refuse(std::string("more than 8 sets of ") + (tex ? "texture coordinates" : "vertex colours"));
                const char* what = tex ? "texture coordinates" : "vertex colours";
                uint64_t n = Count(what);
                if (n != vertices)
                    Refuse(std::to_string(n) + " " + what + " for " + std::to_string(vertices) + " vertices");
                for (uint64_t i = 0; i < n; ++i) {
                    if (tex) {
                        Vector(2);
                        continue;
                    }
                    uint32_t v = Int().value;
                    if (v >= vertices)
                        Refuse("a colour for vertex " + std::to_string(v) + " of " + std::to_string(vertices));
                    Vector(4);
                    MaybeSeparator();
                }
                Closing();
            } else if (t == "MeshMaterialList") {
                Head();
                Count("materials");
                uint64_t n = Count("face materials");
                if (n != faces && n != 1) Refuse(std::to_string(n) + " face materials for " + FacesText(faces));
                for (uint64_t i = 0; i < n; ++i) Int();
                if (!binary_ && At(at_) == ';') ++at_;
                // One material index serves every face.
                faceMaterials = std::max(faceMaterials + n, faces);
                if (faceMaterials > faces)
                    Refuse(std::to_string(faceMaterials) + " face materials for " + FacesText(faces));
                materials += MaterialsInList();
            } else if (t == "XSkinMeshHeader") {
                Head();
                Int();
                Int();
                Int();
                Closing();
            } else if (t == "SkinWeights") {
                Head();
                QuotedString();
                uint64_t n = Count("weights");
                for (uint64_t i = 0; i < n; ++i) {
                    uint32_t v = Int().value;
                    if (v >= vertices)
                        Refuse("a skin weight on vertex " + std::to_string(v) + " of " + std::to_string(vertices));
                }
                for (uint64_t i = 0; i < n; ++i) Float();
                Floats(16);
                Semicolon();
                Closing();
            } else {
                Unknown();
            }
        }
        if (faceMaterials > 0 && materials == 0)
            Refuse("a material list for " + FacesText(faceMaterials) + " without a material");
    }

    // The materials a material list holds, written out or named in braces.
    uint64_t MaterialsInList()
    {
        uint64_t materials = 0;
        for (;;) {
            std::string t = Token();
            if (t.empty()) Refuse("the file ends inside a material list");
            if (t == "}") return materials;
            if (t == "{") {
                Token();
                Closing();
                ++materials;
            } else if (t == "Material") {
                Material();
                ++materials;
            } else if (t != ";") {
                Unknown();
            }
        }
    }

    void Material()
    {
        Head();
        Vector(4);  // diffuse
        Float();    // power
        Vector(3);  // specular
        Vector(3);  // emissive
        for (;;) {
            std::string t = Token();
            if (t.empty()) Refuse("the file ends inside a material");
            if (t == "}") return;
            if (t == "TextureFilename" || t == "TextureFileName" || t == "NormalmapFilename" ||
                t == "NormalmapFileName") {
                Head();
                QuotedString();
                Closing();
            } else {
                Unknown();
            }
        }
    }

    void AnimationSet()
    {
        Head();
        for (;;) {
            std::string t = Token();
            if (t.empty()) Refuse("the file ends inside an animation set");
            if (t == "}") return;
            if (t == "Animation") Animation();
            else Unknown();
        }
    }

    void Animation()
    {
        Head();
        for (;;) {
            std::string t = Token();
            if (t.empty()) Refuse("the file ends inside an animation");
            if (t == "}") return;
            if (t == "AnimationKey") AnimationKey();
            else if (t == "{") {
                Token();  // the frame it moves
                Closing();
            } else {
                Unknown();
            }
        }
    }

    void AnimationKey()
    {
        Head();
        uint32_t kind = Int().value;
        uint64_t keys = Count("animation keys");
        // Values a key of each kind holds: a rotation, a scale or position, a matrix.
        static const uint32_t kValues[] = {4, 3, 3, 16, 16};
        if (kind > 4) Refuse("an animation key of kind " + std::to_string(kind));
        for (uint64_t k = 0; k < keys; ++k) {
            Int();  // its time
            uint32_t values = Int().value;
            if (values != kValues[kind])
                Refuse("an animation key of kind " + std::to_string(kind) + " with " + std::to_string(values) +
                       " values");
            if (values == 3) {
                Vector(3);
            } else {
                Floats(static_cast<int>(values));
                Semicolon();
            }
            Separator();
        }
        Closing();
    }

    const std::string& b_;
    const size_t n_;
    const bool binary_;
    const uint64_t floatBytes_;
    size_t at_;
    uint32_t listLeft_ = 0;  // numbers left in the binary list being read
};

// A compressed file as the library inflates it (MSZIP): after the header, 6
// bytes it passes over (the whole size and the first block's), then blocks
// of a 16-bit length, the magic "CK" and that many bytes of raw deflate
// data, each inflated into at most kMsZipBlock bytes with the block before
// as its dictionary.  It first walks every block's head, giving room for a
// whole block each; fewer than four bytes left end the walk.
constexpr size_t kMsZipBlock = 32786;
constexpr uint16_t kMsZipMagic = 0x4B43;  // "CK"
// The most the inflated blocks may take: the library's room for them and
// the text it then reads stay within its allocation ceiling.
constexpr uint64_t kMostInflatedBytes = uint64_t{48} << 20;

uint16_t Le16(const std::string& b, size_t at)
{
    return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8);
}

bool Inflate(const std::string& bytes, std::string* out, std::string* problem)
{
    const size_t end = bytes.size(), first = 16 + 6;
    uint64_t room = 0;
    for (size_t at = first; at + 3 < end; at += 4 + Le16(bytes, at)) {
        if (Le16(bytes, at) >= kMsZipBlock) {
            *problem = "byte " + std::to_string(at) + ": a compressed block of " + std::to_string(Le16(bytes, at)) +
                       " bytes, more than a block holds";
            return false;
        }
        if (Le16(bytes, at + 2) != kMsZipMagic) {
            *problem = "byte " + std::to_string(at + 2) + ": a compressed block without its 'CK'";
            return false;
        }
        room += kMsZipBlock;
    }
    if (room > kMostInflatedBytes) {
        *problem = "compressed blocks that would take " + std::to_string(room >> 20) + " MB";
        return false;
    }
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) {
        *problem = "no room to inflate it";
        return false;
    }
    std::string block(kMsZipBlock, '\0');
    bool ok = true;
    for (size_t at = first; ok && at + 3 < end;) {
        const size_t length = Le16(bytes, at);
        at += 4;
        if (at + length > end) {
            *problem = "byte " + std::to_string(at) + ": a compressed block of " + std::to_string(length) +
                       " bytes runs past the end of the file";
            ok = false;
            break;
        }
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data() + at));
        z.avail_in = static_cast<uInt>(length);
        z.next_out = reinterpret_cast<Bytef*>(block.data());
        z.avail_out = static_cast<uInt>(kMsZipBlock);
        const int result = inflate(&z, Z_SYNC_FLUSH);
        if (result != Z_OK && result != Z_STREAM_END) {
            *problem = "byte " + std::to_string(at) + ": a compressed block that does not inflate";
            ok = false;
            break;
        }
        const size_t made = kMsZipBlock - z.avail_out;
        out->append(block, 0, made);
        ok = inflateReset(&z) == Z_OK &&
             inflateSetDictionary(&z, reinterpret_cast<const Bytef*>(block.data()), static_cast<uInt>(made)) == Z_OK;
        if (!ok) *problem = "byte " + std::to_string(at) + ": a compressed block that does not inflate";
        at += length;
    }
    inflateEnd(&z);
    return ok;
}
}  // namespace

bool CheckXFile(const std::string& bytes, std::string* problem, uint64_t* readBytes)
{
    if (bytes.size() < 16 || bytes.compare(0, 4, "xof ") != 0) {
        *problem = "no 'xof' header";
        return false;
    }
    const std::string format = bytes.substr(8, 4), floatBits = bytes.substr(12, 4);
    const bool compressed = format == "tzip" || format == "bzip";
    if (format != "txt " && format != "bin " && !compressed) {
        *problem = "an unknown form " + Quoted(format) + " in its header";
        return false;
    }
    if (floatBits != "0032" && floatBits != "0064") {
        *problem = "floats of " + Quoted(floatBits) + " bits in its header";
        return false;
    }
    // A compressed file is walked as the text or binary it inflates to.
    std::string inflated;
    if (compressed) {
        inflated = bytes.substr(0, 16);
        if (!Inflate(bytes, &inflated, problem)) return false;
    }
    const std::string& walked = compressed ? inflated : bytes;
    if (readBytes) *readBytes = std::max<uint64_t>(bytes.size(), walked.size());
    XWalk walk(walked, format == "bin " || format == "bzip", floatBits == "0064" ? 8 : 4, !compressed);
    try {
        walk.File();
    } catch (const Refusal& r) {
        *problem = (compressed ? "inflated, " : "") + walk.Where() + ": " + r.why;
        return false;
    }
    return true;
}
