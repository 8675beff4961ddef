// The sprite batcher and the text fonts.  Sprites are quads in back-buffer
// pixels drawn through the device's own batch; a font is a glyph atlas baked
// once (font_face.cpp) into a texture and drawn as sprites.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

#include "platform/font_face.h"
#include "platform/gfx_internal.h"
#include "platform/test_hooks.h"

namespace gfx {

namespace {
// Where the tests want every sprite and text written down, if anywhere.
std::vector<DrawnSprite>* gSpriteLog = nullptr;
std::vector<DrawnText>* gTextLog = nullptr;

struct SpriteVertex {
    float x, y, z;
    uint32_t color;
    float u, v;
};

// The device state a sprite batch draws with, and the matrix that turns
// target pixels (y down) into clip space.
void EnterSpriteState(uint32_t flags)
{
    DeviceState& st = State();
    st.rs[RS_ALPHABLENDENABLE] = (flags & SPRITE_ALPHABLEND) ? 1 : 0;
    st.rs[RS_SRCBLEND] = BLEND_SRCALPHA;
    st.rs[RS_DESTBLEND] = BLEND_INVSRCALPHA;
    st.rs[RS_ZENABLE] = ZB_FALSE;
    st.rs[RS_ZWRITEENABLE] = 0;
    st.rs[RS_CULLMODE] = CULL_NONE;
    st.rs[RS_LIGHTING] = 0;
    st.rs[RS_FOGENABLE] = 0;
    st.rs[RS_POINTSPRITEENABLE] = 0;
    st.texTransformFlags = TTFF_DISABLE;
    st.world = st.view = MatIdentity();
    float w = static_cast<float>(st.viewport.width), h = static_cast<float>(st.viewport.height);
    Mat4 p = MatIdentity();
    p.m[0][0] = 2.0f / w;
    p.m[1][1] = -2.0f / h;
    p.m[3][0] = -1.0f - 2.0f * st.viewport.x / w;
    p.m[3][1] = 1.0f + 2.0f * st.viewport.y / h;
    st.proj = p;
    st.fvf = FVF_XYZ | FVF_DIFFUSE | FVF_TEX1;
    st.effect = nullptr;
    st.spriteMode = true;
}

// One textured quad: pixel corners through the sprite transform.
HResult Quad(Sprite* s, Texture* tex, float x0, float y0, float x1, float y1, float u0, float v0,
             float u1, float v1, uint32_t argb, float z, bool gameDraw)
{
    DeviceState& st = State();
    if (st.texture != tex) FlushBatch();
    st.texture = tex;
    Vec3 c[4] = {{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}};
    float uv[4][2] = {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}};
    SpriteVertex v[4];
    for (int i = 0; i < 4; ++i) {
        Vec3 p = Vec3TransformCoord(c[i], s->transform);
        v[i] = {p.x, p.y, 0.0f, argb, uv[i][0], uv[i][1]};
    }
    return DrawUP(PT_TRIANGLEFAN, 2, v, sizeof(SpriteVertex), gameDraw);
}
}  // namespace

HResult CreateSprite(Sprite** out)
{
    *out = nullptr;
    if (!DeviceExists()) return E_FAIL;
    auto* s = new Sprite;
    s->type = ObjType::Sprite;
    // Room for the saved device state now, so a batch never allocates.
    s->saved.resize(sizeof(DeviceState));
    *out = s;
    return S_OK;
}

HResult SpriteBegin(Sprite* s, uint32_t flags)
{
    if (!s || s->begun || !DeviceExists()) return E_FAIL;
    FlushBatch();
    std::memcpy(s->saved.data(), &State(), sizeof(DeviceState));
    EnterSpriteState(flags);
    s->begun = true;
    return S_OK;
}

HResult SpriteSetTransform(Sprite* s, const Mat4& m)
{
    if (!s) return E_FAIL;
    s->transform = m;
    return S_OK;
}

HResult SpriteDraw(Sprite* s, Texture* tex, const Rect* src, const Vec3* center,
                   const Vec3* position, uint32_t argb)
{
    if (!s || !s->begun || !tex) return E_FAIL;
    Rect r = src ? *src : Rect{0, 0, static_cast<int32_t>(tex->width), static_cast<int32_t>(tex->height)};
    Vec3 c = center ? *center : Vec3{0, 0, 0};
    Vec3 p = position ? *position : Vec3{0, 0, 0};
    float w = static_cast<float>(r.right - r.left), h = static_cast<float>(r.bottom - r.top);
    float x0 = p.x - c.x, y0 = p.y - c.y;
    float tw = static_cast<float>(tex->width), th = static_cast<float>(tex->height);
    if (gSpriteLog) {
        Vec3 a = Vec3TransformCoord({x0, y0, p.z - c.z}, s->transform);
        Vec3 b = Vec3TransformCoord({x0 + w, y0 + h, p.z - c.z}, s->transform);
        gSpriteLog->push_back({tex, r, {std::min(a.x, b.x), std::min(a.y, b.y), a.z},
                               {std::max(a.x, b.x), std::max(a.y, b.y), b.z}, argb, RecordedDrawCount()});
    }
    return Quad(s, tex, x0, y0, x0 + w, y0 + h, r.left / tw, r.top / th, r.right / tw,
                r.bottom / th, argb, p.z - c.z, true);
}

HResult SpriteEnd(Sprite* s)
{
    if (!s || !s->begun) return E_FAIL;
    FlushBatch();
    DeviceState& st = State();
    // The targets may have been released meanwhile; keep the live ones.
    Surface* color = st.colorTarget;
    Surface* depth = st.depthTarget;
    std::memcpy(&st, s->saved.data(), sizeof(DeviceState));
    st.colorTarget = color;
    st.depthTarget = depth;
    s->begun = false;
    return S_OK;
}

HResult SpriteOnLostDevice(Sprite* s) { return s ? S_OK : E_FAIL; }
HResult SpriteOnResetDevice(Sprite* s) { return s ? S_OK : E_FAIL; }

// --- fonts -----------------------------------------------------------------------------------
namespace {
// The font object around a baked face: its atlas as a white texture whose
// alpha is the coverage, and a sprite batch of its own for text drawn alone.
HResult MakeFont(int height, const BakedFace& face, Font** out, std::string* error)
{
    std::vector<uint32_t> argb(face.alpha.size());
    for (size_t i = 0; i < face.alpha.size(); ++i)
        argb[i] = static_cast<uint32_t>(face.alpha[i]) << 24 | 0xFFFFFFu;
    auto* font = new Font;
    font->type = ObjType::Font;
    font->height = height;
    font->ascent = face.ascent;
    std::copy(std::begin(face.glyphs), std::end(face.glyphs), font->glyphs);
    uint32_t side = static_cast<uint32_t>(face.side);
    if (Failed(CreateTexture(side, side, 1, 0, FMT_A8R8G8B8, POOL_MANAGED, &font->atlas)) ||
        Failed(UpdateTexture(font->atlas, argb.data(), side, side)) ||
        Failed(CreateSprite(&font->ownSprite))) {
        Release(font);
        if (error) *error = "the glyph atlas texture cannot be created";
        return E_FAIL;
    }
    *out = font;
    return S_OK;
}

bool FontHeightOk(int height, std::string* error)
{
    if (!DeviceExists()) {
        if (error) *error = "no graphics device";
        return false;
    }
    if (height <= 0 || height > 256) {
        if (error) *error = std::to_string(height) + " is not a font height (1 to 256 pixels)";
        return false;
    }
    return true;
}
}  // namespace

HResult CreateFont(int height, int /*weight*/, const char* ttfPath, Font** out, std::string* error)
{
    *out = nullptr;
    std::string why;
    BakedFace face;
    if (!FontHeightOk(height, &why) || !BakeFontFile(ttfPath, height, &face, &why)) {
        if (error) *error = std::string(ttfPath ? ttfPath : "(no font file)") + ": " + why;
        return E_FAIL;
    }
    if (Failed(MakeFont(height, face, out, &why))) {
        if (error) *error = std::string(ttfPath) + ": " + why;
        return E_FAIL;
    }
    return S_OK;
}

HResult CreateBuiltinFont(int height, Font** out)
{
    *out = nullptr;
    if (!FontHeightOk(height, nullptr)) return E_FAIL;
    BakedFace face;
    BakeBuiltinFace(height, &face);
    return MakeFont(height, face, out, nullptr);
}

namespace {
// Advance of the line that starts at text[i].
float LineWidth(const Font* f, const char* text, size_t i, size_t n)
{
    float w = 0;
    for (; i < n && text[i] != '\n'; ++i) {
        unsigned char ch = static_cast<unsigned char>(text[i]);
        if (ch >= kFontFirstChar) w += f->glyphs[ch - kFontFirstChar].advance;
    }
    return w;
}
}  // namespace

int FontDrawText(Font* f, Sprite* sprite, const char* text, int count, const Rect* rect,
                 uint32_t format, uint32_t argb)
{
    if (!f || !text || !rect || !DeviceExists()) return 0;
    Sprite* s = sprite ? sprite : f->ownSprite;
    bool ownBatch = !s->begun;
    if (ownBatch) SpriteBegin(s, SPRITE_ALPHABLEND);
    Mat4 saved = s->transform;
    if (ownBatch) s->transform = MatIdentity();
    CountDraw();
    size_t n = count < 0 ? std::strlen(text) : static_cast<size_t>(count);
    if (gTextLog) gTextLog->push_back({f, std::string(text, n), *rect, format, argb});
    float side = static_cast<float>(f->atlas->width);
    // Centred lines sit in the middle of the rectangle's width, each on its own.
    auto lineStart = [&](size_t i) {
        float left = static_cast<float>(rect->left);
        if (!(format & DT_CENTER)) return left;
        return std::floor(left + (rect->right - rect->left - LineWidth(f, text, i, n)) / 2);
    };
    float x = lineStart(0);
    float baseline = rect->top + f->ascent;
    int lines = 1;
    for (size_t i = 0; i < n; ++i) {
        unsigned char ch = static_cast<unsigned char>(text[i]);
        if (ch == '\n') {
            x = lineStart(i + 1);
            baseline += static_cast<float>(f->height);
            ++lines;
            continue;
        }
        if (ch < kFontFirstChar) continue;
        const Glyph& g = f->glyphs[ch - kFontFirstChar];
        if (g.x1 > g.x0) {
            float x0 = std::floor(x + g.xoff + 0.5f), y0 = std::floor(baseline + g.yoff + 0.5f);
            Quad(s, f->atlas, x0, y0, x0 + (g.x1 - g.x0), y0 + (g.y1 - g.y0), g.x0 / side,
                 g.y0 / side, g.x1 / side, g.y1 / side, argb, 0.0f, false);
        }
        x += g.advance;
    }
    s->transform = saved;
    if (ownBatch) SpriteEnd(s);
    // A text ending in a line break counts that line too.
    return lines * f->height;
}

int FontTextWidth(Font* f, const char* text, int count)
{
    if (!f || !text) return 0;
    size_t n = count < 0 ? std::strlen(text) : static_cast<size_t>(count);
    float widest = 0;
    for (size_t i = 0; i <= n; ++i) {
        widest = std::max(widest, LineWidth(f, text, i, n));
        while (i < n && text[i] != '\n') ++i;
    }
    return static_cast<int>(std::ceil(widest));
}

HResult FontOnLostDevice(Font* f) { return f ? S_OK : E_FAIL; }
HResult FontOnResetDevice(Font* f) { return f ? S_OK : E_FAIL; }

void RecordSprites(std::vector<DrawnSprite>* sprites, std::vector<DrawnText>* texts)
{
    gSpriteLog = sprites;
    gTextLog = texts;
}

}  // namespace gfx
