// The ground near the camera is drawn through the shadow effect, the ground
// further out by the fixed-function path; where the two meet the picture must
// not change.  Drawn into the OpenGL device and read back; needs an X display
// (the test command runs these under Xvfb).
#include <gtest/gtest.h>

#include "ci.h"
#include "gl_window.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/gfx.h"
#include "platform/test_hooks.h"
#include "records/state.h"
#include "world/map.h"
#include <unistd.h>
#include "platform/system.h"
#include "run_util.h"

using namespace gfx;

namespace {
constexpr int kSize = 128;


int Channel(uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }
// The largest difference of the three colour channels.
int Diff(uint32_t a, uint32_t b)
{
    int d = 0;
    for (int shift : {0, 8, 16}) d = std::max(d, std::abs(Channel(a, shift) - Channel(b, shift)));
    return d;
}

class Ground : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!GlWindowReady()) SKIP_UNLESS_CI("no X display or no OpenGL 3.3");
        Reset({kSize, kSize, FMT_X8R8G8B8, true});
        std::string err;
        ASSERT_FALSE(Failed(CreateEffectFromFile(VARNOK_PACK "/LAND/Effect/ShadowMap.fx", &fx_, &err))) << err;
        // The ground's picture: one flat colour, so any step in the picture is the seam.
        std::vector<uint32_t> sand(16 * 16, 0xFFE0C080);
        ASSERT_FALSE(Failed(CreateTexture(16, 16, 1, 0, FMT_A8R8G8B8, POOL_MANAGED, &ground_)));
        UpdateTexture(ground_, sand.data(), 16, 16);
        // A shadow texture with nothing in it: every point the light sees is lit.
        ASSERT_FALSE(Failed(CreateTexture(64, 64, 0, USAGE_RENDERTARGET, FMT_R32F, POOL_DEFAULT, &shadow_)));
        Surface* level = nullptr;
        GetSurfaceLevel(shadow_, 0, &level);
        SetRenderTarget(0, level);
        Clear(CLEAR_TARGET, 0xFFFFFFFF, 1, 0);
        Surface* bb = nullptr;
        GetBackBuffer(&bb);
        SetRenderTarget(0, bb);
        Release(bb);
        Release(level);
    }
    void TearDown() override
    {
        Release(fx_);
        Release(ground_);
        Release(shadow_);
    }

    // The battle's device state: lighting with light 0 and the scene ambient,
    // the ground's black material, its texture, and the camera.
    void BattleState()
    {
        SetRenderState(RS_LIGHTING, 1);
        SetRenderState(RS_AMBIENT, 0x00111111);
        SetRenderState(RS_SPECULARENABLE, 1);
        SetRenderState(RS_CULLMODE, CULL_NONE);
        SetRenderState(RS_ZENABLE, ZB_FALSE);
        Light l{};
        l.type = LIGHT_DIRECTIONAL;
        l.diffuse = {1, 1, 1, 0};
        l.specular = {1, 1, 1, 0};
        l.direction = Vec3Normalize({3, -8, 3});
        SetLight(0, l);
        LightEnable(0, true);
        SetMaterial(Material{});
        SetTexture(0, ground_);
        SetFVF(FVF_XYZ | FVF_NORMAL | FVF_DIFFUSE | FVF_TEX1);
        SetTransform(TS_VIEW, view_);
        SetTransform(TS_PROJECTION, proj_);
        Mat4 lightView = MatLookAtLH({kEye.x, kEye.y + 18, kEye.z - 6}, kLookAt, {0, 1, 0});
        Mat4 bias = MatIdentity();
        bias.m[0][0] = 0.5f;
        bias.m[1][1] = -0.5f;
        bias.m[3][0] = 0.5f;
        bias.m[3][1] = 0.5f;
        lightProj_ = lightView * proj_;
        lightTex_ = lightProj_ * bias;
        EffectSetTechnique(fx_, "tecRenderScene");
        EffectSetVector(fx_, "vecLightDir", {-8, 24, -8, 0});
        EffectSetVector(fx_, "vecEye", {kEye.x, kEye.y, kEye.z, 0});
        EffectSetVector(fx_, "Diffuse", {0, 0, 0, 0});
        EffectSetTexture(fx_, "MeshTex", ground_);
        EffectSetTexture(fx_, "DepthTex", shadow_);
        EffectSetFloat(fx_, "TexWidth", 64);
        EffectSetFloat(fx_, "TexHeight", 64);
    }

    // A flat strip of ground from world z0 to z1 (x -100..100), its vertices
    // relative to the strip's near edge as the map's cells are, every normal
    // normal_.
    void Strip(float z0, float z1, GroundVertex v[4]) const
    {
        float len = z1 - z0;
        const Vec3& n = normal_;
        v[0] = {-100, 0, 0, n.x, n.y, n.z, 0xFFFFFFFFu, 0, 0};
        v[1] = {-100, 0, len, n.x, n.y, n.z, 0xFFFFFFFFu, 1, 0};
        v[2] = {100, 0, len, n.x, n.y, n.z, 0xFFFFFFFFu, 1, 1};
        v[3] = {100, 0, 0, n.x, n.y, n.z, 0xFFFFFFFFu, 0, 1};
    }
    // A near cell: through the shadow effect, as the map draws it.
    void DrawNear(float z0, float z1)
    {
        GroundVertex v[4];
        Strip(z0, z1, v);
        Mat4 cell = MatTranslation(0, 0, z0);
        SetRenderState(RS_ALPHABLENDENABLE, 0);
        uint32_t passes = 0;
        EffectBegin(fx_, &passes);
        EffectBeginPass(fx_, 0);
        EffectSetMatrix(fx_, "matWCP", cell * view_ * proj_);
        EffectSetMatrix(fx_, "matWLP", cell * lightProj_);
        EffectSetMatrix(fx_, "matWLPT", cell * lightTex_);
        EffectSetMatrix(fx_, "matW", cell);
        EffectCommitChanges(fx_);
        DrawPrimitiveUP(PT_TRIANGLEFAN, 2, v, sizeof v[0]);
        EffectEndPass(fx_);
        EffectEnd(fx_);
        SetRenderState(RS_ALPHABLENDENABLE, 1);
    }
    // A far cell: the fixed-function path.
    void DrawFar(float z0, float z1)
    {
        GroundVertex v[4];
        Strip(z0, z1, v);
        SetTransform(TS_WORLD, MatTranslation(0, 0, z0));
        DrawPrimitiveUP(PT_TRIANGLEFAN, 2, v, sizeof v[0]);
        SetTransform(TS_WORLD, MatIdentity());
    }
    std::vector<uint32_t> Pixels()
    {
        Surface* bb = nullptr;
        GetBackBuffer(&bb);
        std::vector<uint32_t> px;
        EXPECT_FALSE(Failed(ReadSurface(bb, &px)));
        Release(bb);
        for (uint32_t& p : px) p &= 0xFFFFFF;
        return px;
    }
    static uint32_t At(const std::vector<uint32_t>& px, int x, int y) { return px[y * kSize + x]; }
    // The whole ground drawn the near way and the far way gives one picture.
    void ExpectSamePicture(const Vec3& normal = {0, 1, 0})
    {
        normal_ = normal;
        Clear(CLEAR_TARGET, 0xFF000000, 1, 0);
        DrawNear(5, 400);
        auto near = Pixels();
        Clear(CLEAR_TARGET, 0xFF000000, 1, 0);
        DrawFar(5, 400);
        auto far = Pixels();
        normal_ = {0, 1, 0};
        int worst = 0, worstAt = 0;
        for (int i = 0; i < kSize * kSize; ++i)
            if (Diff(near[i], far[i]) > worst) worst = Diff(near[i], far[i]), worstAt = i;
        EXPECT_LE(worst, 2) << "at " << worstAt % kSize << ", " << worstAt / kSize << std::hex
                            << ": near path " << near[worstAt] << ", far path " << far[worstAt];
        EXPECT_NE(far[64 * kSize + 64], 0u) << "no ground drawn";
    }

    // The camera looks down at the ground; the point it looks at, world z 60,
    // lies on the middle of the picture, between rows 63 and 64.
    static constexpr Vec3 kEye{0, 30, 0};
    static constexpr Vec3 kLookAt{0, 0, 60};
    static constexpr float kBoundary = 60;
    Mat4 view_ = MatLookAtLH(kEye, kLookAt, {0, 1, 0});
    Mat4 proj_ = MatPerspectiveFovLH(1.0471976f, 1.0f, 0.1f, 12000.0f);
    Mat4 lightProj_{}, lightTex_{};
    Vec3 normal_{0, 1, 0};
    Effect* fx_ = nullptr;
    Texture* ground_ = nullptr;
    Texture* shadow_ = nullptr;
};

struct FogCase {
    const char* name;
    bool fog;
    uint32_t mode;
    uint32_t color;
    float start, end;
    bool lighting;
};
}  // namespace

TEST_F(Ground, NearAndFarCellsMeetWithoutASeam)
{
    const FogCase cases[] = {
        {"evening fog", true, FOG_LINEAR, 0xFF4B463F, 20, 150, true},
        {"night fog from the eye", true, FOG_LINEAR, 0xFF2D5064, 0, 120, true},
        {"fog off", false, FOG_LINEAR, 0xFF2D5064, 0, 120, true},
        {"fog on but not linear", true, FOG_NONE, 0xFF2D5064, 0, 120, true},
        {"fog, unlit", true, FOG_LINEAR, 0xFF4B463F, 20, 150, false},
    };
    for (const FogCase& c : cases) {
        SCOPED_TRACE(c.name);
        BattleState();
        SetRenderState(RS_LIGHTING, c.lighting ? 1 : 0);
        SetRenderState(RS_FOGENABLE, c.fog ? 1 : 0);
        SetRenderState(RS_FOGVERTEXMODE, c.mode);
        SetRenderState(RS_FOGCOLOR, c.color);
        SetRenderState(RS_FOGSTART, FloatBits(c.start));
        SetRenderState(RS_FOGEND, FloatBits(c.end));
        bool fogged = c.fog && c.mode == FOG_LINEAR;

        // Side by side: near cell up to the boundary, far cell beyond it.
        Clear(CLEAR_TARGET, 0xFF000000, 1, 0);
        DrawNear(5, kBoundary);
        DrawFar(kBoundary, 400);
        auto px = Pixels();
        // Both sides of the boundary, on the picture's axis and off it to
        // both sides, where a point's distance differs most from its depth.
        for (int x : {6, 64, 121}) {
            uint32_t far = At(px, x, 63), near = At(px, x, 64);
            EXPECT_NE(far, 0u) << "column " << x;
            EXPECT_LE(Diff(far, near), 3) << "column " << x << std::hex << ": far " << far << ", near " << near;
        }

        // The whole ground one way, then the other: the same picture.
        ExpectSamePicture();

        // The fog is really there where it is on: the boundary is not the colour unfogged.
        SetRenderState(RS_FOGENABLE, 0);
        Clear(CLEAR_TARGET, 0xFF000000, 1, 0);
        DrawFar(kBoundary, 400);
        uint32_t clear = At(Pixels(), 64, 63);
        if (fogged) EXPECT_GE(Diff(clear, At(px, 64, 63)), 20) << "the fog hardly shows";
        else EXPECT_LE(Diff(clear, At(px, 64, 63)), 1);
    }
    SetRenderState(RS_FOGENABLE, 0);
    LightEnable(0, false);
    SetTransform(TS_VIEW, MatIdentity());
    SetTransform(TS_PROJECTION, MatIdentity());
}

TEST_F(Ground, TheShadowEffectLightsAsTheFixedPathDoes)
{
    // Unshadowed, a surface drawn through the effect looks as it does drawn
    // plainly, whatever the device's lighting state.
    struct LightCase {
        const char* name;
        bool lighting, light0;
        Material material;
        Vec3 normal;
    };
    Material shiny{};
    shiny.ambient = {0.5f, 0.25f, 1.0f, 1};
    shiny.emissive = {0.1f, 0.0f, 0.05f, 1};
    shiny.specular = {0.6f, 0.6f, 0.6f, 1};
    shiny.power = 4;
    const LightCase cases[] = {
        {"the ground's black material", true, true, Material{}, {0, 1, 0}},
        {"a slope facing the light", true, true, Material{}, Vec3Normalize({-0.5f, 1, -0.3f})},
        {"a slope turned away", true, true, Material{}, Vec3Normalize({0.8f, 0.4f, 0.8f})},
        {"ambient, emissive and specular", true, true, shiny, Vec3Normalize({-0.2f, 1, -0.6f})},
        {"light 0 off", true, false, shiny, {0, 1, 0}},
        {"lighting off", false, true, shiny, {0, 1, 0}},
    };
    for (const LightCase& c : cases) {
        SCOPED_TRACE(c.name);
        BattleState();
        SetRenderState(RS_AMBIENT, 0x00403020);
        SetRenderState(RS_LIGHTING, c.lighting ? 1 : 0);
        LightEnable(0, c.light0);
        SetMaterial(c.material);
        SetRenderState(RS_FOGENABLE, 1);
        SetRenderState(RS_FOGVERTEXMODE, FOG_LINEAR);
        SetRenderState(RS_FOGCOLOR, 0xFF4B463F);
        SetRenderState(RS_FOGSTART, FloatBits(50));
        SetRenderState(RS_FOGEND, FloatBits(230));
        ExpectSamePicture(c.normal);
    }
    SetRenderState(RS_FOGENABLE, 0);
    LightEnable(0, false);
    SetMaterial(Material{});
}

TEST_F(Ground, TheFogFollowsTheDeviceStateBetweenDraws)
{
    // Within one pass the effect fogs each draw with the fog that stands when
    // the changes are committed before it, not the fog of the pass's start.
    BattleState();
    SetRenderState(RS_FOGENABLE, 1);
    SetRenderState(RS_FOGVERTEXMODE, FOG_LINEAR);
    SetRenderState(RS_FOGCOLOR, 0xFFFFFFFF);
    SetRenderState(RS_FOGSTART, FloatBits(0));
    SetRenderState(RS_FOGEND, FloatBits(1));  // everything beyond one unit is all fog
    GroundVertex v[4];
    Strip(5, 400, v);
    Mat4 cell = MatTranslation(0, 0, 5);
    uint32_t passes = 0;
    EffectBegin(fx_, &passes);
    EffectBeginPass(fx_, 0);
    EffectSetMatrix(fx_, "matWCP", cell * view_ * proj_);
    EffectSetMatrix(fx_, "matWLP", cell * lightProj_);
    EffectSetMatrix(fx_, "matWLPT", cell * lightTex_);
    EffectSetMatrix(fx_, "matW", cell);
    for (uint32_t colour : {0xFF0000FFu, 0xFF00FF00u, 0xFFFF0000u}) {
        SetRenderState(RS_FOGCOLOR, colour);
        EffectCommitChanges(fx_);
        DrawPrimitiveUP(PT_TRIANGLEFAN, 2, v, sizeof v[0]);
        EXPECT_EQ(At(Pixels(), 64, 64), colour & 0xFFFFFF) << std::hex << colour;
    }
    // Fog turned off between draws leaves the ground its own colour.
    SetRenderState(RS_FOGENABLE, 0);
    EffectCommitChanges(fx_);
    DrawPrimitiveUP(PT_TRIANGLEFAN, 2, v, sizeof v[0]);
    uint32_t c = At(Pixels(), 64, 64);
    EXPECT_GT(Channel(c, 16), Channel(c, 0) + 40) << std::hex << c;  // the sand: red well above blue
    EffectEndPass(fx_);
    EffectEnd(fx_);
    LightEnable(0, false);
}

TEST_F(Ground, TheDepthPassIsNeverFogged)
{
    // Thick fog of colour 0 would turn every depth written to 0.
    Surface* level = nullptr;
    Surface *depth = nullptr, *bb = nullptr, *bbDepth = nullptr;
    GetSurfaceLevel(shadow_, 0, &level);
    CreateDepthStencilSurface(64, 64, FMT_D16, &depth);
    GetBackBuffer(&bb);
    GetDepthStencilSurface(&bbDepth);
    BattleState();
    SetRenderState(RS_ZENABLE, ZB_TRUE);
    auto depthPass = [&](bool fog) {
        SetRenderState(RS_FOGENABLE, fog ? 1 : 0);
        SetRenderState(RS_FOGVERTEXMODE, FOG_LINEAR);
        SetRenderState(RS_FOGCOLOR, 0xFF000000);
        SetRenderState(RS_FOGSTART, FloatBits(0));
        SetRenderState(RS_FOGEND, FloatBits(1));
        SetRenderTarget(0, level);
        SetDepthStencilSurface(depth);
        Clear(CLEAR_TARGET | CLEAR_ZBUFFER, 0xFFFFFFFF, 1, 0);
        EffectSetTechnique(fx_, "tecMakeDepthTexture");
        GroundVertex v[4];
        Strip(5, 400, v);
        Mat4 cell = MatTranslation(0, 0, 5);
        EffectSetMatrix(fx_, "matWLP", cell * lightProj_);
        uint32_t passes = 0;
        EffectBegin(fx_, &passes);
        EffectBeginPass(fx_, 0);
        DrawPrimitiveUP(PT_TRIANGLEFAN, 2, v, sizeof v[0]);
        EffectEndPass(fx_);
        EffectEnd(fx_);
        std::vector<float> d;
        ReadSurface(level, nullptr, &d);
        return d;
    };
    std::vector<float> clear = depthPass(false), fogged = depthPass(true);
    ASSERT_EQ(clear.size(), 64u * 64u);
    // The ground fills the middle of the light's view, well short of 1.0.
    EXPECT_LT(clear[32 * 64 + 32], 0.5f);
    EXPECT_GT(clear[32 * 64 + 32], 0.0f);
    EXPECT_EQ(clear, fogged);
    SetRenderTarget(0, bb);
    SetDepthStencilSurface(bbDepth);
    for (Surface* s : {level, depth, bb, bbDepth}) Release(s);
    SetRenderState(RS_FOGENABLE, 0);
    LightEnable(0, false);
}

TEST_F(Ground, AnEffectCannotDeclareOrSetTheDeviceState)
{
    // Game code cannot overwrite what the device fills in.
    EXPECT_TRUE(Failed(EffectSetVector(fx_, "DeviceFogColor", {1, 0, 0, 1})));
    EXPECT_TRUE(Failed(EffectSetMatrix(fx_, "DeviceView", MatIdentity())));

    // An effect file that declares one is refused, naming the file and line.
    std::string path = ScratchPath("declares_fog.fx");
    {
        std::ofstream f(path);
        f << "// fog of its own\n@param vector DeviceFog\n@technique t\n@pass\n@vertex\n"
             "void main() { gl_Position = vec4(inPosition, 1.0); }\n@fragment\n"
             "void main() { outColor = vec4(1.0); }\n@end\n";
    }
    Effect* fx = nullptr;
    std::string err;
    EXPECT_TRUE(Failed(CreateEffectFromFile(path.c_str(), &fx, &err)));
    EXPECT_EQ(fx, nullptr);
    EXPECT_NE(err.find(path + ":2:"), std::string::npos) << err;
    EXPECT_NE(err.find("DeviceFog"), std::string::npos) << err;
    std::remove(path.c_str());
}

// The hills and mountains, cut into pieces of which only those in view are
// drawn (and those wholly beyond the fog's end in its colour alone), make
// the picture the whole mesh makes, from inside the field at tank height
// and from above it.
TEST_F(Ground, TheSceneryInPiecesMakesThePictureOfTheWholeMesh)
{
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(VARNOK_PACK), 0);
    MapId = MapMountainous;
    LoadMap();
    ASSERT_NE(MapModel.mesh, nullptr);
    const uint32_t faces = MeshFaceCount(MapModel.mesh);
    SetRenderState(RS_LIGHTING, 1);
    SetRenderState(RS_ZENABLE, ZB_TRUE);
    SetRenderState(RS_CULLMODE, CULL_CCW);
    SetRenderState(RS_FOGENABLE, 1);
    SetRenderState(RS_FOGVERTEXMODE, FOG_LINEAR);
    SetRenderState(RS_FOGCOLOR, 0x00806040);
    SetRenderState(RS_FOGSTART, FloatBits(50.0f));
    SetRenderState(RS_FOGEND, FloatBits(230.0f));
    Light l{};
    l.type = LIGHT_DIRECTIONAL;
    l.diffuse = {1, 1, 1, 0};
    l.direction = Vec3Normalize({3, -8, 3});
    SetLight(0, l);
    LightEnable(0, true);
    SetTransform(TS_PROJECTION, MatPerspectiveFovLH(1.0f, 1.0f, 0.1f, 12000.0f));
    SetTransform(TS_WORLD, StageWorld);
    struct View { Vec3 eye, at; } views[] = {{{120, 4, 150}, {600, 20, 560}}, {{500, 900, -300}, {500, 0, 500}}};
    for (const View& v : views) {
        SetTransform(TS_VIEW, MatLookAtLH(v.eye, v.at, {0, 1, 0}));
        auto draw = [](auto how) {
            Clear(CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF2040A0, 1, 0);
            BeginScene();
            how();
            EndScene();
        };
        draw([] { DrawSimpleModel(&MapModel); });
        std::vector<uint32_t> whole = Pixels();
        std::vector<DrawnCall> calls;
        RecordDraws(&calls);
        draw([] { DrawScenery(); });
        RecordDraws(nullptr);
        std::vector<uint32_t> pieces = Pixels();
        int differing = 0;
        for (size_t i = 0; i < whole.size(); ++i) differing += whole[i] != pieces[i];
        EXPECT_EQ(differing, 0) << v.eye.x << "," << v.eye.y << "," << v.eye.z;
        uint32_t drawn = 0, fogOnly = 0;
        for (const DrawnCall& c : calls) {
            drawn += c.primitives;
            if (!c.texture) fogOnly += c.primitives;
        }
        EXPECT_LT(drawn, faces);
        if (v.eye.y < 10) {
            EXPECT_GT(fogOnly, 0u);
        }
        // Some of the picture is mountain, some sky.
        EXPECT_NE(std::count(whole.begin(), whole.end(), 0x2040A0u), 0);
        EXPECT_NE(std::count(whole.begin(), whole.end(), 0x2040A0u), static_cast<long>(whole.size()));
    }
    ReleaseMap();
    SetRenderState(RS_FOGENABLE, 0);
    LightEnable(0, false);
    ASSERT_EQ(chdir(cwd), 0);
}
