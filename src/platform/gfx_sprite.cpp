// The sprite batcher and the text fonts.  Sprites are quads in back-buffer
// pixels drawn through the device's own batch; a font is a glyph atlas baked
// from a TrueType file and drawn as sprites.
#include <stb_truetype.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/gfx_internal.h"

namespace gfx {

namespace {
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
    *out = s;
    return S_OK;
}

HResult SpriteBegin(Sprite* s, uint32_t flags)
{
    if (!s || s->begun || !DeviceExists()) return E_FAIL;
    FlushBatch();
    s->saved.resize(sizeof(DeviceState));
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
HResult CreateFont(int height, int /*weight*/, const char* ttfPath, Font** out)
{
    *out = nullptr;
    if (!DeviceExists() || height <= 0 || height > 256) return E_FAIL;
    std::ifstream f(ttfPath, std::ios::binary);
    std::vector<unsigned char> ttf((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    stbtt_fontinfo info;
    if (ttf.empty() || !stbtt_InitFont(&info, ttf.data(), stbtt_GetFontOffsetForIndex(ttf.data(), 0))) {
        std::fprintf(stderr, "%s: not a TrueType font\n", ttfPath);
        return E_FAIL;
    }
    // Characters 32..255 baked into one atlas, with room to spare.
    const int side = height <= 20 ? 256 : height <= 40 ? 512 : 1024;
    std::vector<unsigned char> alpha(static_cast<size_t>(side) * side);
    stbtt_bakedchar baked[224];
    if (stbtt_BakeFontBitmap(ttf.data(), 0, static_cast<float>(height), alpha.data(), side, side, 32,
                             224, baked) == 0) {
        std::fprintf(stderr, "%s: the glyphs do not fit\n", ttfPath);
        return E_FAIL;
    }
    std::vector<uint32_t> argb(alpha.size());
    for (size_t i = 0; i < alpha.size(); ++i) argb[i] = static_cast<uint32_t>(alpha[i]) << 24 | 0xFFFFFFu;
    auto* font = new Font;
    font->type = ObjType::Font;
    font->height = height;
    int ascent, descent, gap;
    stbtt_GetFontVMetrics(&info, &ascent, &descent, &gap);
    font->ascent = ascent * stbtt_ScaleForPixelHeight(&info, static_cast<float>(height));
    for (int i = 0; i < 224; ++i)
        font->glyphs[i] = {static_cast<float>(baked[i].x0), static_cast<float>(baked[i].y0),
                           static_cast<float>(baked[i].x1), static_cast<float>(baked[i].y1),
                           baked[i].xoff, baked[i].yoff, baked[i].xadvance};
    if (Failed(CreateTexture(side, side, 1, 0, FMT_A8R8G8B8, POOL_MANAGED, &font->atlas)) ||
        Failed(UpdateTexture(font->atlas, argb.data(), side, side)) ||
        Failed(CreateSprite(&font->ownSprite))) {
        Release(font);
        return E_FAIL;
    }
    *out = font;
    return S_OK;
}

int FontDrawText(Font* f, Sprite* sprite, const char* text, int count, const Rect* rect,
                 uint32_t /*format*/, uint32_t argb)
{
    if (!f || !text || !rect || !DeviceExists()) return 0;
    Sprite* s = sprite ? sprite : f->ownSprite;
    bool ownBatch = !s->begun;
    if (ownBatch) SpriteBegin(s, SPRITE_ALPHABLEND);
    Mat4 saved = s->transform;
    if (ownBatch) s->transform = MatIdentity();
    CountDraw();
    size_t n = count < 0 ? std::strlen(text) : static_cast<size_t>(count);
    float side = static_cast<float>(f->atlas->width);
    float x = static_cast<float>(rect->left);
    float baseline = rect->top + f->ascent;
    int lines = 1;
    for (size_t i = 0; i < n; ++i) {
        unsigned char ch = static_cast<unsigned char>(text[i]);
        if (ch == '\n') {
            x = static_cast<float>(rect->left);
            baseline += static_cast<float>(f->height);
            ++lines;
            continue;
        }
        if (ch < 32) continue;
        const Glyph& g = f->glyphs[ch - 32];
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

HResult FontOnLostDevice(Font* f) { return f ? S_OK : E_FAIL; }
HResult FontOnResetDevice(Font* f) { return f ? S_OK : E_FAIL; }

}  // namespace gfx
