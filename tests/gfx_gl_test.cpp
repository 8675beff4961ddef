// The OpenGL device drawn into and read back pixel by pixel: every convention
// and fixed-function rule the game relies on.  Needs an X display (the test
// command runs these under Xvfb).
#include <gtest/gtest.h>

#include "ci.h"
#include "gl_window.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <fstream>
#include <iterator>

#include "assets/model.h"
#include "platform/gfx.h"
#include "platform/system.h"
#include "run_util.h"

using namespace gfx;

namespace {
constexpr int kSize = 64;

struct ColorVertex {  // position + diffuse
    float x, y, z;
    uint32_t color;
};
struct TexVertex {  // position + diffuse + one texture pair
    float x, y, z;
    uint32_t color;
    float u, v;
};
struct NormalVertex {  // position + normal
    float x, y, z, nx, ny, nz;
};

uint32_t R(uint32_t c) { return (c >> 16) & 0xFF; }
uint32_t G(uint32_t c) { return (c >> 8) & 0xFF; }
uint32_t B(uint32_t c) { return c & 0xFF; }

class GL : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!GlWindowReady()) SKIP_UNLESS_CI("no X display or no OpenGL 3.3");
        // A plain state: clip-space coordinates, no lighting, no fog.
        Reset({kSize, kSize, FMT_X8R8G8B8, true});
        SetRenderState(RS_LIGHTING, 0);
        SetRenderState(RS_CULLMODE, CULL_NONE);
        SetRenderState(RS_ZENABLE, ZB_FALSE);
        SetTexture(0, nullptr);
        Clear(CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    }
    std::vector<uint32_t> Pixels()
    {
        Surface* bb = nullptr;
        GetBackBuffer(&bb);
        std::vector<uint32_t> px;
        EXPECT_FALSE(Failed(ReadSurface(bb, &px)));
        Release(bb);
        return px;
    }
    static uint32_t At(const std::vector<uint32_t>& px, int x, int y) { return px[y * kSize + x] & 0xFFFFFF; }
    // A screen-aligned rectangle in pixels at clip depth z, as a fan.
    static void Rect(float x0, float y0, float x1, float y1, float z, uint32_t color)
    {
        auto cx = [](float px) { return px / kSize * 2 - 1; };
        auto cy = [](float py) { return 1 - py / kSize * 2; };
        TexVertex v[4] = {{cx(x0), cy(y0), z, color, 0, 0}, {cx(x1), cy(y0), z, color, 1, 0},
                          {cx(x1), cy(y1), z, color, 1, 1}, {cx(x0), cy(y1), z, color, 0, 1}};
        SetFVF(FVF_XYZ | FVF_DIFFUSE | FVF_TEX1);
        DrawPrimitiveUP(PT_TRIANGLEFAN, 2, v, sizeof v[0]);
    }
    static Texture* MakeTexture(uint32_t w, uint32_t h, const std::vector<uint32_t>& argb)
    {
        Texture* t = nullptr;
        EXPECT_FALSE(Failed(CreateTexture(w, h, 1, 0, FMT_A8R8G8B8, POOL_MANAGED, &t)));
        UpdateTexture(t, argb.data(), w, h);
        return t;
    }
};
}  // namespace

TEST_F(GL, ClearFillsTheViewportOnly)
{
    Clear(CLEAR_TARGET, 0xFF336699, 1.0f, 0);
    SetViewport({16, 8, 16, 16, 0, 1});
    Clear(CLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
    auto px = Pixels();
    EXPECT_EQ(At(px, 0, 0), 0x336699u);
    EXPECT_EQ(At(px, 20, 10), 0xFF0000u);  // inside the viewport, measured from the top left
    EXPECT_EQ(At(px, 20, 30), 0x336699u);
}

TEST_F(GL, PixelZeroIsTopLeftAndTextureVZeroIsTheTopRow)
{
    Rect(0, 0, 16, 16, 0.5f, 0xFF00FF00);  // clip x < 0, y > 0
    auto px = Pixels();
    EXPECT_EQ(At(px, 4, 4), 0x00FF00u);
    EXPECT_EQ(At(px, 60, 60), 0u);

    // A picture whose top row is red and bottom row blue, drawn with v = 0 at the top.
    std::vector<uint32_t> pic(4 * 4, 0xFF0000FF);
    for (int x = 0; x < 4; ++x) pic[x] = pic[4 + x] = 0xFFFF0000;
    Texture* t = MakeTexture(4, 4, pic);
    SetTexture(0, t);
    Rect(0, 0, kSize, kSize, 0.5f, 0xFFFFFFFF);
    px = Pixels();
    // Sampled between texel rows, away from the edges where the texture wraps.
    EXPECT_EQ(At(px, 32, 16), 0xFF0000u);
    EXPECT_EQ(At(px, 32, 48), 0x0000FFu);
    SetTexture(0, nullptr);
    Release(t);
}

TEST_F(GL, CullModesAgainstScreenWinding)
{
    // Clockwise on screen (y down): top left, top right, bottom left.
    ColorVertex cw[3] = {{-0.75f, 0.75f, 0.5f, 0xFFFFFFFF}, {0.75f, 0.75f, 0.5f, 0xFFFFFFFF},
                         {-0.75f, -0.75f, 0.5f, 0xFFFFFFFF}};
    ColorVertex ccw[3] = {cw[0], cw[2], cw[1]};
    SetFVF(FVF_XYZ | FVF_DIFFUSE);
    struct Case { uint32_t cull; bool cwShows, ccwShows; };
    for (Case c : {Case{CULL_NONE, true, true}, Case{CULL_CCW, true, false}, Case{CULL_CW, false, true}}) {
        SetRenderState(RS_CULLMODE, c.cull);
        Clear(CLEAR_TARGET, 0xFF000000, 1, 0);
        DrawPrimitiveUP(PT_TRIANGLELIST, 1, cw, sizeof cw[0]);
        EXPECT_EQ(At(Pixels(), 16, 16) != 0, c.cwShows) << "cull " << c.cull;
        Clear(CLEAR_TARGET, 0xFF000000, 1, 0);
        DrawPrimitiveUP(PT_TRIANGLELIST, 1, ccw, sizeof ccw[0]);
        EXPECT_EQ(At(Pixels(), 16, 16) != 0, c.ccwShows) << "cull " << c.cull;
    }
}

TEST_F(GL, LitUntexturedTriangleTakesMaterialLightAndAmbient)
{
    SetRenderState(RS_LIGHTING, 1);
    SetRenderState(RS_AMBIENT, 0x00404040);
    Light l{};
    l.type = LIGHT_DIRECTIONAL;
    l.diffuse = {1, 1, 1, 0};
    l.direction = {0, 0, 1};  // shining into the screen
    SetLight(0, l);
    LightEnable(0, true);
    Material m{};
    m.diffuse = m.ambient = {1.0f, 0.5f, 0.25f, 1.0f};
    SetMaterial(m);
    NormalVertex v[3] = {{-1, 1, 0.5f, 0, 0, -1}, {3, 1, 0.5f, 0, 0, -1}, {-1, -3, 0.5f, 0, 0, -1}};
    SetFVF(FVF_XYZ | FVF_NORMAL);
    DrawPrimitiveUP(PT_TRIANGLELIST, 1, v, sizeof v[0]);
    uint32_t c = At(Pixels(), 20, 20);
    // ambient 0.25 x material + full diffuse: (1.25, 0.625, 0.3125) clamped
    EXPECT_EQ(R(c), 255u);
    EXPECT_NEAR(G(c), 160, 2);
    EXPECT_NEAR(B(c), 80, 2);

    // Turned away from the light only the ambient part is left.
    for (auto& p : v) p.nz = 1;
    DrawPrimitiveUP(PT_TRIANGLELIST, 1, v, sizeof v[0]);
    c = At(Pixels(), 20, 20);
    EXPECT_NEAR(R(c), 64, 2);
    EXPECT_NEAR(G(c), 32, 2);
    EXPECT_NEAR(B(c), 16, 2);
    LightEnable(0, false);
}

TEST_F(GL, LinearFogOnViewDepth)
{
    SetRenderState(RS_FOGENABLE, 1);
    SetRenderState(RS_FOGVERTEXMODE, FOG_LINEAR);
    SetRenderState(RS_FOGCOLOR, 0xFF00FF00);
    SetRenderState(RS_FOGSTART, FloatBits(10));
    SetRenderState(RS_FOGEND, FloatBits(20));
    SetTransform(TS_PROJECTION, MatPerspectiveFovLH(1.2f, 1, 1, 100));
    auto quadAt = [](float z) {
        ColorVertex v[4] = {{-z, z, z, 0xFFFF0000}, {z, z, z, 0xFFFF0000}, {z, -z, z, 0xFFFF0000},
                            {-z, -z, z, 0xFFFF0000}};
        SetFVF(FVF_XYZ | FVF_DIFFUSE);
        DrawPrimitiveUP(PT_TRIANGLEFAN, 2, v, sizeof v[0]);
    };
    quadAt(30);  // beyond the fog end: all fog
    EXPECT_EQ(At(Pixels(), 32, 32), 0x00FF00u);
    quadAt(5);   // before the fog start: no fog
    EXPECT_EQ(At(Pixels(), 32, 32), 0xFF0000u);
    quadAt(15);  // half way
    uint32_t c = At(Pixels(), 32, 32);
    EXPECT_NEAR(R(c), 128, 3);
    EXPECT_NEAR(G(c), 128, 3);
    SetRenderState(RS_FOGENABLE, 0);
    SetTransform(TS_PROJECTION, MatIdentity());
}

TEST_F(GL, AlphaBlendingNormalAndAdditive)
{
    SetRenderState(RS_ALPHABLENDENABLE, 1);
    SetRenderState(RS_SRCBLEND, BLEND_SRCALPHA);
    SetRenderState(RS_DESTBLEND, BLEND_INVSRCALPHA);
    Clear(CLEAR_TARGET, 0xFF0000FF, 1, 0);
    Rect(0, 0, 32, 32, 0.5f, 0x80FF0000);
    uint32_t c = At(Pixels(), 10, 10);
    EXPECT_NEAR(R(c), 128, 2);
    EXPECT_NEAR(B(c), 127, 2);
    SetRenderState(RS_DESTBLEND, BLEND_ONE);
    Clear(CLEAR_TARGET, 0xFF0000FF, 1, 0);
    Rect(0, 0, 32, 32, 0.5f, 0x80FF0000);
    c = At(Pixels(), 10, 10);
    EXPECT_NEAR(R(c), 128, 2);
    EXPECT_EQ(B(c), 255u);
    SetRenderState(RS_ALPHABLENDENABLE, 0);
}

TEST_F(GL, TransparentTexelsShowWhatIsBehind)
{
    // A texture whose left half is transparent black (a colour key's work).
    std::vector<uint32_t> pic(8 * 8, 0xFFFFFF00);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 4; ++x) pic[y * 8 + x] = 0x00000000;
    Texture* t = MakeTexture(8, 8, pic);
    SetRenderState(RS_ALPHABLENDENABLE, 1);
    SetRenderState(RS_SRCBLEND, BLEND_SRCALPHA);
    SetRenderState(RS_DESTBLEND, BLEND_INVSRCALPHA);
    Clear(CLEAR_TARGET, 0xFF0000FF, 1, 0);
    SetTexture(0, t);
    Rect(0, 0, kSize, kSize, 0.5f, 0xFFFFFFFF);
    auto px = Pixels();
    EXPECT_EQ(At(px, 8, 32), 0x0000FFu);
    EXPECT_EQ(At(px, 56, 32), 0xFFFF00u);
    SetTexture(0, nullptr);
    SetRenderState(RS_ALPHABLENDENABLE, 0);
    Release(t);
}

TEST_F(GL, DepthTestAndDepthWrite)
{
    SetRenderState(RS_ZENABLE, ZB_TRUE);
    SetRenderState(RS_ZWRITEENABLE, 1);
    Rect(0, 0, kSize, kSize, 0.2f, 0xFF00FF00);
    Rect(0, 0, kSize, kSize, 0.8f, 0xFFFF0000);  // behind: hidden
    EXPECT_EQ(At(Pixels(), 32, 32), 0x00FF00u);
    SetRenderState(RS_ZENABLE, ZB_FALSE);
    Rect(0, 0, kSize, kSize, 0.8f, 0xFFFF0000);  // no test: drawn
    EXPECT_EQ(At(Pixels(), 32, 32), 0xFF0000u);

    SetRenderState(RS_ZENABLE, ZB_TRUE);
    Clear(CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF000000, 1, 0);
    SetRenderState(RS_ZWRITEENABLE, 0);
    Rect(0, 0, kSize, kSize, 0.2f, 0xFFFF0000);  // drawn but leaves no depth
    SetRenderState(RS_ZWRITEENABLE, 1);
    Rect(0, 0, kSize, kSize, 0.9f, 0xFF00FF00);
    EXPECT_EQ(At(Pixels(), 32, 32), 0x00FF00u);
    SetRenderState(RS_ZENABLE, ZB_FALSE);
}

namespace {
// Width in pixels of the lit run through row y.
int RunWidth(const std::vector<uint32_t>& px, int y)
{
    int n = 0;
    for (int x = 0; x < kSize; ++x) n += (px[y * kSize + x] & 0xFFFFFF) != 0;
    return n;
}
}  // namespace

TEST_F(GL, PointSpriteSizesScalingAndMinimum)
{
    SetRenderState(RS_POINTSPRITEENABLE, 1);
    ColorVertex p = {0, 0, 0.5f, 0xFFFFFFFF};
    SetFVF(FVF_XYZ | FVF_DIFFUSE);
    SetRenderState(RS_POINTSIZE, FloatBits(10));
    DrawPrimitiveUP(PT_POINTLIST, 1, &p, sizeof p);
    EXPECT_EQ(RunWidth(Pixels(), 32), 10);

    // Scaled: height x size x sqrt(1 / (A + B d + C d^2)) = 64 x 1 / 8 at d = 8.
    SetRenderState(RS_POINTSCALEENABLE, 1);
    SetRenderState(RS_POINTSCALE_A, FloatBits(0));
    SetRenderState(RS_POINTSCALE_B, FloatBits(0));
    SetRenderState(RS_POINTSCALE_C, FloatBits(1));
    SetRenderState(RS_POINTSIZE, FloatBits(1));
    SetTransform(TS_VIEW, MatTranslation(0, 0, 8));
    ColorVertex origin = {0, 0, 0, 0xFFFFFFFF};
    SetTransform(TS_PROJECTION, MatScaling(1.0f / 8, 1.0f / 8, 1.0f / 16));  // keeps it on screen
    Clear(CLEAR_TARGET, 0xFF000000, 1, 0);
    DrawPrimitiveUP(PT_POINTLIST, 1, &origin, sizeof origin);
    EXPECT_EQ(RunWidth(Pixels(), 32), 8);
    SetRenderState(RS_POINTSIZE_MIN, FloatBits(12));
    Clear(CLEAR_TARGET, 0xFF000000, 1, 0);
    DrawPrimitiveUP(PT_POINTLIST, 1, &origin, sizeof origin);
    EXPECT_EQ(RunWidth(Pixels(), 32), 12);
    SetRenderState(RS_POINTSIZE_MIN, FloatBits(1));
    SetRenderState(RS_POINTSCALEENABLE, 0);
    SetTransform(TS_VIEW, MatIdentity());
    SetTransform(TS_PROJECTION, MatIdentity());

    // The texture covers the whole sprite, top row at the top.
    std::vector<uint32_t> pic(4 * 4, 0xFF0000FF);
    for (int x = 0; x < 8; ++x) pic[x] = 0xFFFF0000;
    Texture* t = MakeTexture(4, 4, pic);
    SetTexture(0, t);
    SetRenderState(RS_POINTSIZE, FloatBits(32));
    Clear(CLEAR_TARGET, 0xFF000000, 1, 0);
    DrawPrimitiveUP(PT_POINTLIST, 1, &p, sizeof p);
    auto px = Pixels();
    EXPECT_EQ(At(px, 32, 24), 0xFF0000u);  // the sprite spans rows 16..47
    EXPECT_EQ(At(px, 32, 40), 0x0000FFu);
    SetTexture(0, nullptr);
    Release(t);
    SetRenderState(RS_POINTSPRITEENABLE, 0);
}

TEST_F(GL, TextureTransformScrollsU)
{
    std::vector<uint32_t> pic(8, 0xFFFF0000);
    for (int x = 4; x < 8; ++x) pic[x] = 0xFF0000FF;  // left red, right blue
    Texture* t = MakeTexture(8, 1, pic);
    SetTexture(0, t);
    Rect(0, 0, kSize, kSize, 0.5f, 0xFFFFFFFF);
    auto px = Pixels();
    EXPECT_EQ(At(px, 12, 32), 0xFF0000u);
    EXPECT_EQ(At(px, 52, 32), 0x0000FFu);
    Mat4 scroll = MatIdentity();
    scroll.m[2][0] = 0.5f;  // the third row moves a coordinate pair
    SetTransform(TS_TEXTURE0, scroll);
    SetTextureStageState(0, TSS_TEXTURETRANSFORMFLAGS, TTFF_COUNT2);
    Rect(0, 0, kSize, kSize, 0.5f, 0xFFFFFFFF);
    px = Pixels();
    EXPECT_EQ(At(px, 12, 32), 0x0000FFu);
    EXPECT_EQ(At(px, 52, 32), 0xFF0000u);
    SetTextureStageState(0, TSS_TEXTURETRANSFORMFLAGS, TTFF_DISABLE);
    SetTexture(0, nullptr);
    Release(t);
}

TEST_F(GL, SpritesPlaceCentreScaleAndTint)
{
    Texture* t = MakeTexture(8, 8, std::vector<uint32_t>(64, 0xFFFFFFFF));
    Sprite* s = nullptr;
    ASSERT_FALSE(Failed(CreateSprite(&s)));
    SpriteBegin(s, SPRITE_ALPHABLEND);
    Vec3 centre{4, 4, 0}, pos{20, 30, 0};
    SpriteDraw(s, t, nullptr, &centre, &pos, 0xFF00FF00);
    SpriteEnd(s);
    auto px = Pixels();
    EXPECT_EQ(At(px, 16, 26), 0x00FF00u);
    EXPECT_EQ(At(px, 23, 33), 0x00FF00u);
    EXPECT_EQ(At(px, 15, 26), 0u);
    EXPECT_EQ(At(px, 24, 33), 0u);

    Clear(CLEAR_TARGET, 0xFF000000, 1, 0);
    SpriteBegin(s, SPRITE_ALPHABLEND);
    SpriteSetTransform(s, MatScaling(2, 2, 1) * MatTranslation(8, 0, 0));
    gfx::Rect src{0, 0, 4, 4};
    Vec3 at{4, 4, 0};
    SpriteDraw(s, t, &src, nullptr, &at, 0x80FF0000);
    SpriteEnd(s);
    px = Pixels();
    // (4..8) scaled by 2 then moved 8 right: x 16..24, y 8..16, half-transparent red.
    EXPECT_NEAR(R(At(px, 17, 9)), 128, 2);
    EXPECT_NEAR(R(At(px, 23, 15)), 128, 2);
    EXPECT_EQ(At(px, 25, 9), 0u);
    EXPECT_EQ(At(px, 17, 17), 0u);
    // The device state is back as it was before the batch.
    EXPECT_EQ(GetRenderState(RS_ZENABLE), ZB_FALSE);
    EXPECT_EQ(GetRenderState(RS_CULLMODE), CULL_NONE);
    Release(s);
    Release(t);
}

TEST_F(GL, TextAppearsWhereDrawn)
{
    Font* f = nullptr;
    ASSERT_FALSE(Failed(CreateFont(16, 1000, "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", &f)));
    gfx::Rect at{30, 20, 0, 0};
    EXPECT_EQ(FontDrawText(f, nullptr, "WM", -1, &at, DT_NOCLIP, 0xFFFFFD7B), 16);
    auto px = Pixels();
    int inside = 0, outside = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            bool lit = R(At(px, x, y)) > 128;
            bool in = x >= 30 && x < 64 && y >= 20 && y < 36;
            (in ? inside : outside) += lit;
        }
    EXPECT_GT(inside, 40);
    EXPECT_EQ(outside, 0);
    Release(f);
}

TEST_F(GL, DepthIntoAFloatTargetThenReadInASecondPass)
{
    std::string path = ScratchDir() + "/fx-XXXXXX";
    int fd = mkstemp(path.data());
    ASSERT_GE(fd, 0);
    const char* fx =
        "// depth out, depth in\n"
        "@param texture DepthTex\n"
        "@technique tecDepth\n@pass\n@vertex\n"
        "void main() { gl_Position = vec4(inPosition, 1.0); }\n"
        "@fragment\n"
        "void main() { outColor = vec4(gl_FragCoord.z, 0.0, 0.0, 1.0); }\n"
        "@end\n"
        "@technique tecShow\n@pass\n@vertex\n"
        "out vec2 uv;\nvoid main() { uv = inTexCoord; gl_Position = vec4(inPosition, 1.0); }\n"
        "@fragment\n"
        "in vec2 uv;\nvoid main() { outColor = vec4(texture(DepthTex, uv).rrr, 1.0); }\n"
        "@end\n";
    ASSERT_EQ(write(fd, fx, std::strlen(fx)), static_cast<ssize_t>(std::strlen(fx)));
    close(fd);
    Effect* e = nullptr;
    std::string err;
    ASSERT_FALSE(Failed(CreateEffectFromFile(path.c_str(), &e, &err))) << err;
    std::remove(path.c_str());

    Texture* depthTex = nullptr;
    ASSERT_FALSE(Failed(CreateTexture(32, 32, 0, USAGE_RENDERTARGET, FMT_R32F, POOL_DEFAULT, &depthTex)));
    Surface *level = nullptr, *depth = nullptr, *bb = nullptr, *bbDepth = nullptr;
    GetSurfaceLevel(depthTex, 0, &level);
    CreateDepthStencilSurface(32, 32, FMT_D16, &depth);
    GetBackBuffer(&bb);
    GetDepthStencilSurface(&bbDepth);
    SetRenderTarget(0, level);
    SetDepthStencilSurface(depth);
    Clear(CLEAR_TARGET | CLEAR_ZBUFFER, 0xFFFFFFFF, 1, 0);
    SetRenderState(RS_ZENABLE, ZB_TRUE);
    EffectSetTechnique(e, "tecDepth");
    uint32_t passes = 0;
    EffectBegin(e, &passes);
    EXPECT_EQ(passes, 1u);
    EffectBeginPass(e, 0);
    Rect(0, 0, 32, 64, 0.25f, 0xFFFFFFFF);  // the left half of the target at depth 0.25
    EffectEndPass(e);
    EffectEnd(e);
    std::vector<float> depths;
    ASSERT_FALSE(Failed(ReadSurface(level, nullptr, &depths)));
    ASSERT_EQ(depths.size(), 32u * 32u);
    EXPECT_NEAR(depths[16 * 32 + 4], 0.25f, 1e-3);
    EXPECT_FLOAT_EQ(depths[16 * 32 + 28], 1.0f);  // cleared

    SetRenderTarget(0, bb);
    SetDepthStencilSurface(bbDepth);
    SetRenderState(RS_ZENABLE, ZB_FALSE);
    EffectSetTechnique(e, "tecShow");
    EffectSetTexture(e, "DepthTex", depthTex);
    EffectBegin(e, &passes);
    EffectBeginPass(e, 0);
    Rect(0, 0, kSize, kSize, 0.5f, 0xFFFFFFFF);
    EffectEndPass(e);
    EffectEnd(e);
    auto px = Pixels();
    EXPECT_NEAR(R(At(px, 8, 32)), 64, 2);
    EXPECT_EQ(R(At(px, 56, 32)), 255u);
    for (Surface* s : {level, depth, bb, bbDepth}) Release(s);
    Release(depthTex);
    Release(e);
}

TEST_F(GL, ScreenshotFileHoldsTheBackBuffer)
{
    Clear(CLEAR_TARGET, 0xFF102030, 1, 0);
    Rect(0, 0, 20, 10, 0.5f, 0xFFFF8000);
    Surface* bb = nullptr;
    GetBackBuffer(&bb);
    std::vector<uint32_t> px;
    ReadSurface(bb, &px);
    const std::string shot = ScratchPath("shot.bmp");
    const char* path = shot.c_str();
    ASSERT_FALSE(Failed(SaveSurfaceToBmp(bb, path)));
    Release(bb);
    std::ifstream f(path, std::ios::binary);
    std::vector<unsigned char> bmp((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    std::remove(path);
    ASSERT_EQ(bmp.size(), 54u + kSize * kSize * 3);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[28], 24);  // bits per pixel
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const unsigned char* p = &bmp[54 + ((kSize - 1 - y) * kSize + x) * 3];  // bottom row first
            uint32_t c = static_cast<uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
            ASSERT_EQ(c, At(px, x, y)) << x << "," << y;
        }
}

TEST_F(GL, ConsecutiveDrawsSharingStateMergeIntoOneBackendDraw)
{
    Present();  // counters add up frame by frame
    SetRenderState(RS_POINTSPRITEENABLE, 1);
    SetFVF(FVF_XYZ | FVF_DIFFUSE);
    FrameStats before = TotalStats();
    for (int i = 0; i < 100; ++i) {
        ColorVertex p = {0, 0, 0, 0xFFFFFFFF};
        SetTransform(TS_WORLD, MatTranslation(-0.9f + i * 0.018f, 0, 0.5f));
        SetRenderState(RS_POINTSIZE, FloatBits(1.0f + i % 3));
        DrawPrimitiveUP(PT_POINTLIST, 1, &p, sizeof p);
    }
    SetRenderState(RS_POINTSPRITEENABLE, 0);  // a state change ends the batch
    Rect(0, 0, 8, 8, 0.5f, 0xFFFFFFFF);
    Rect(8, 0, 16, 8, 0.5f, 0xFFFFFFFF);
    Present();
    FrameStats after = TotalStats();
    EXPECT_EQ(after.draws - before.draws, 102u);
    EXPECT_EQ(after.glDraws - before.glDraws, 2u);  // the points, then both rectangles
    SetTransform(TS_WORLD, MatIdentity());
    // The points landed where their own world matrices put them.
    auto px = Pixels();
    EXPECT_NE(At(px, 4, 32), 0u);
    EXPECT_NE(At(px, 58, 32), 0u);
}

TEST_F(GL, EachMergedDrawKeepsItsOwnTexture)
{
    Texture* tex[10];
    uint32_t colours[10];
    for (int i = 0; i < 10; ++i) {
        colours[i] = 0xFF000000u | (i * 25u) << 16 | (255u - i * 25u) << 8 | (i % 2 ? 255u : 0u);
        tex[i] = MakeTexture(2, 2, std::vector<uint32_t>(4, colours[i]));
    }
    Present();
    for (int i = 0; i < 10; ++i) {
        SetTexture(0, tex[i]);
        Rect(i * 6.0f, 0, i * 6.0f + 6, 8, 0.5f, 0xFFFFFFFF);
    }
    Present();
    EXPECT_EQ(LastFrameStats().glDraws, 2u);  // eight textures a batch
    auto px = Pixels();
    for (int i = 0; i < 10; ++i) EXPECT_EQ(At(px, i * 6 + 3, 4), colours[i] & 0xFFFFFF) << i;
    SetTexture(0, nullptr);
    for (Texture*& t : tex) Release(t);
}

TEST_F(GL, ResetResizesTheBackBuffer)
{
    ASSERT_FALSE(Failed(Reset({80, 48, FMT_X8R8G8B8, true})));
    Clear(CLEAR_TARGET, 0xFF00FF00, 1, 0);
    Surface* bb = nullptr;
    GetBackBuffer(&bb);
    std::vector<uint32_t> px;
    ReadSurface(bb, &px);
    EXPECT_EQ(px.size(), 80u * 48u);
    EXPECT_EQ(px[79 + 47 * 80] & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(GetViewport().width, 80u);
    EXPECT_EQ(sys::ClientWidth(), 80);
    Release(bb);
}

namespace {
struct LitVertex {  // position + normal + one texture pair
    float x, y, z, nx, ny, nz, u, v;
};
// A square in the plane y = h, facing up.
void Square(float half, float h)
{
    LitVertex v[4] = {{-half, h, half, 0, 1, 0, 0, 0}, {half, h, half, 0, 1, 0, 1, 0},
                      {half, h, -half, 0, 1, 0, 1, 1}, {-half, h, -half, 0, 1, 0, 0, 1}};
    SetFVF(FVF_XYZ | FVF_NORMAL | FVF_TEX1);
    DrawPrimitiveUP(PT_TRIANGLEFAN, 2, v, sizeof v[0]);
}
}  // namespace

TEST_F(GL, TheShadowEffectDarkensWhatTheLightCannotSee)
{
    Effect* fx = nullptr;
    std::string err;
    ASSERT_FALSE(Failed(CreateEffectFromFile(VARNOK_PACK "/LAND/Effect/ShadowMap.fx", &fx, &err))) << err;
    Effect* ice = nullptr;
    ASSERT_FALSE(Failed(CreateEffectFromFile(VARNOK_PACK "/LAND/Effect/IceShader.fx", &ice, &err))) << err;
    Release(ice);

    Texture* shadow = nullptr;
    ASSERT_FALSE(Failed(CreateTexture(256, 256, 0, USAGE_RENDERTARGET, FMT_R32F, POOL_DEFAULT, &shadow)));
    Surface *level = nullptr, *depth = nullptr, *bb = nullptr, *bbDepth = nullptr;
    GetSurfaceLevel(shadow, 0, &level);
    CreateDepthStencilSurface(256, 256, FMT_D16, &depth);
    GetBackBuffer(&bb);
    GetDepthStencilSurface(&bbDepth);
    Mat4 proj = MatPerspectiveFovLH(1.0471976f, 1.0f, 0.1f, 100.0f);
    Mat4 lightView = MatLookAtLH({0, 20, -0.5f}, {0, 0, 0}, {0, 1, 0});
    Mat4 camView = MatLookAtLH({0, 25, -1}, {0, 0, 0}, {0, 1, 0});
    Mat4 bias = MatIdentity();
    bias.m[0][0] = 0.5f;
    bias.m[1][1] = -0.5f;
    bias.m[3][0] = 0.5f;
    bias.m[3][1] = 0.5f;
    SetRenderState(RS_ZENABLE, ZB_TRUE);
    SetRenderState(RS_ZWRITEENABLE, 1);

    // Depth pass: the ground and a small roof above its middle.
    SetRenderTarget(0, level);
    SetDepthStencilSurface(depth);
    Clear(CLEAR_TARGET | CLEAR_ZBUFFER, 0xFFFFFFFF, 1, 0);
    EffectSetTechnique(fx, "tecMakeDepthTexture");
    EffectSetMatrix(fx, "matWLP", lightView * proj);
    uint32_t passes = 0;
    EffectBegin(fx, &passes);
    EffectBeginPass(fx, 0);
    Square(10, 0);
    Square(2, 3);
    EffectEndPass(fx);
    EffectEnd(fx);
    std::vector<float> depths;
    ReadSurface(level, nullptr, &depths);
    // Seen from the light, the roof is nearer than the ground around it.
    EXPECT_LT(depths[128 * 256 + 128], depths[128 * 256 + 40]);

    // Scene pass: the ground alone, seen from above.
    SetRenderTarget(0, bb);
    SetDepthStencilSurface(bbDepth);
    Clear(CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF000000, 1, 0);
    EffectSetTechnique(fx, "tecRenderScene");
    EffectSetMatrix(fx, "matWCP", camView * proj);
    EffectSetMatrix(fx, "matWLP", lightView * proj);
    EffectSetMatrix(fx, "matWLPT", lightView * proj * bias);
    EffectSetMatrix(fx, "matW", MatIdentity());
    EffectSetVector(fx, "vecLightDir", {0, 1, 0, 0});
    EffectSetVector(fx, "vecEye", {0, 25, -1, 0});
    EffectSetVector(fx, "Diffuse", {0.8f, 0.8f, 0.8f, 1});
    EffectSetFloat(fx, "TexWidth", 256);
    EffectSetFloat(fx, "TexHeight", 256);
    EffectSetTexture(fx, "DepthTex", shadow);
    EffectBegin(fx, &passes);
    EffectBeginPass(fx, 0);
    Square(10, 0);
    EffectEndPass(fx);
    EffectEnd(fx);
    auto px = Pixels();
    uint32_t under = R(At(px, 32, 32)), open = R(At(px, 32, 48));
    EXPECT_GT(open, 150u);
    EXPECT_LT(under + 60, open) << "under the roof " << under << ", in the open " << open;
    for (Surface* s : {level, depth, bb, bbDepth}) Release(s);
    Release(shadow);
    Release(fx);
}

TEST_F(GL, ModelSubsetsShowTheirExactColoursAndFiftyDrawsTheReducedCopy)
{
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(MakeTempDir().c_str()), 0);
    ModelPart part;
    LoadModelPart(&part, VARNOK_TEST_DATA "/two_frames.x");
    ASSERT_NE(part.mesh, nullptr);
    // Lit by the scene ambient alone, each subset shows its material colour.
    SetRenderState(RS_LIGHTING, 1);
    SetRenderState(RS_AMBIENT, 0xFFFFFFFF);
    LightEnable(0, false);
    SetTransform(TS_VIEW, MatLookAtLH({12, 2.5f, -0.5f}, {10, 2.5f, -0.5f}, {0, 1, 0}));
    SetTransform(TS_PROJECTION, MatPerspectiveFovLH(1.0471976f, 1, 0.1f, 100));
    Release(part.textures[1]);  // the second subset without its picture
    part.textures[1] = nullptr;
    DrawModelPart(&part, 10);
    auto px = Pixels();
    // Seen from +x (screen right is +z) the quad's upper-right triangle is
    // red (face 0), the lower-left one the white of the second material.
    EXPECT_EQ(At(px, 40, 22), 0xFF0000u);
    EXPECT_EQ(At(px, 22, 42), 0xFFFFFFu);
    EXPECT_EQ(At(px, 8, 8), 0u);
    ReleaseModelPart(&part);

    // A sphere: its reduced copy has a coarser outline.
    LoadModelPart(&part, VARNOK_TEST_DATA "/sphere.x");
    ASSERT_NE(part.mesh, nullptr);
    SetTransform(TS_VIEW, MatLookAtLH({0, 1, -3}, {0, 1, 0}, {0, 1, 0}));
    auto drawAt = [&](float distance) {
        Clear(CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF000000, 1, 0);
        Present();
        DrawModelPart(&part, distance);
        Present();
        return std::make_pair(Pixels(), LastFrameStats().triangles);
    };
    auto near = drawAt(49.999f), far = drawAt(50.0f);
    EXPECT_EQ(near.second, gfx::MeshFaceCount(part.lodMeshes[1]));
    EXPECT_EQ(far.second, gfx::MeshFaceCount(part.lodMeshes[0]));
    EXPECT_LT(far.second * 3, near.second);
    EXPECT_NE(near.first, far.first);
    EXPECT_EQ(drawAt(49.999f).first, near.first);
    ReleaseModelPart(&part);
    SetTransform(TS_VIEW, MatIdentity());
    SetTransform(TS_PROJECTION, MatIdentity());
    EXPECT_EQ(chdir(cwd), 0);
}

// A picture of single-texel black and white squares drawn far smaller than
// it is, as a distant ground is.  With its full chain and the linear filters
// the game sets, every pixel is the average grey, steady as the view moves;
// read from the top level alone (one level, or the mip filter off), the
// pixels pick black and white texels apart and shimmer.  The nearest level
// is grey too: every level below the top is already the average.
TEST_F(GL, FarTexturesShowTheAverageOfTheirFullChain)
{
    const uint32_t side = 256;
    std::vector<uint32_t> checker(side * side);
    for (uint32_t y = 0; y < side; ++y)
        for (uint32_t x = 0; x < side; ++x) checker[y * side + x] = ((x ^ y) & 1) ? 0xFFFFFFFF : 0xFF000000;
    Texture* chain = nullptr;
    ASSERT_FALSE(Failed(CreateTexture(side, side, 0, 0, FMT_A8R8G8B8, POOL_MANAGED, &chain)));
    ASSERT_FALSE(Failed(UpdateTexture(chain, checker.data(), side, side)));
    Texture* single = MakeTexture(side, side, checker);
    struct Case {
        Texture* tex;
        uint32_t mipFilter;
        bool grey;
        const char* what;
    };
    const Case cases[] = {
        {chain, TEXF_LINEAR, true, "full chain, linear mip filter"},
        {chain, TEXF_POINT, true, "full chain, nearest level"},
        {chain, TEXF_NONE, false, "full chain, mip filter off"},
        {single, TEXF_LINEAR, false, "one level"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Clear(CLEAR_TARGET, 0xFF000000, 1.0f, 0);
        SetSamplerState(0, SAMP_MAGFILTER, TEXF_LINEAR);
        SetSamplerState(0, SAMP_MINFILTER, TEXF_LINEAR);
        SetSamplerState(0, SAMP_MIPFILTER, c.mipFilter);
        SetTexture(0, c.tex);
        Rect(8, 8, 15, 15, 0.5f, 0xFFFFFFFF);  // 7 x 7 pixels for 256 x 256 texels
        auto px = Pixels();
        int worst = 0;  // the furthest any pixel is from the average
        for (int y = 8; y < 15; ++y)
            for (int x = 8; x < 15; ++x) {
                int off = std::abs(static_cast<int>(R(At(px, x, y))) - 128);
                if (off > worst) worst = off;
            }
        if (c.grey) EXPECT_LE(worst, 8);
        else EXPECT_GE(worst, 30);
    }
    SetTexture(0, nullptr);
    Release(chain);
    Release(single);
}

// A black and a white texel stretched over 32 pixels: the magnification
// filter the device is set to decides between a hard step and a ramp.
TEST_F(GL, MagnifiedTexturesFollowTheMagFilter)
{
    Texture* pair = MakeTexture(2, 1, {0xFF000000, 0xFFFFFFFF});
    SetTexture(0, pair);
    SetSamplerState(0, SAMP_MINFILTER, TEXF_LINEAR);
    SetSamplerState(0, SAMP_MIPFILTER, TEXF_LINEAR);
    for (uint32_t filter : {TEXF_POINT, TEXF_LINEAR}) {
        SCOPED_TRACE(filter);
        Clear(CLEAR_TARGET, 0xFF000000, 1.0f, 0);
        SetSamplerState(0, SAMP_MAGFILTER, filter);
        Rect(16, 16, 48, 24, 0.5f, 0xFFFFFFFF);
        auto px = Pixels();
        // Pixels 28 and 36 lie between the texel centres (pixels 24 and 40),
        // 28% and 78% of the way from black to white.
        int left = static_cast<int>(R(At(px, 28, 20))), right = static_cast<int>(R(At(px, 36, 20)));
        if (filter == TEXF_POINT) {
            EXPECT_EQ(left, 0);
            EXPECT_EQ(right, 255);
        } else {
            EXPECT_NEAR(left, 72, 8);
            EXPECT_NEAR(right, 199, 8);
        }
    }
    SetTexture(0, nullptr);
    Release(pair);
}
