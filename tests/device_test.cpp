// The graphics device on its null backend, and the shared render resources
// built on it: state, counters, object lifetimes, effect files, shadow
// resources and display changes.
#include <gtest/gtest.h>

#include <algorithm>
#include "platform/test_hooks.h"
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <fstream>

#include "services/device.h"
#include "drawn.h"
#include "headless_device.h"
#include "services/display.h"
#include "services/options.h"
#include "platform/gfx.h"
#include "platform/input_script.h"
#include "platform/system.h"
#include "run_util.h"

using namespace gfx;

namespace {
class Device : public HeadlessDevice {
protected:
    void SetUp() override
    {
        HeadlessDevice::SetUp();
        SetFixedRenderStates();
    }
    void EnterPack() { ASSERT_EQ(chdir(VARNOK_PACK), 0); }
    static std::string WriteTemp(const std::string& text)
    {
        std::string path = ScratchDir() + "/fx-XXXXXX";
        int fd = mkstemp(path.data());
        EXPECT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
        close(fd);
        return path;
    }
};

struct PointVertex {
    float x, y, z;
    uint32_t color;
};
}  // namespace

TEST_F(Device, FixedStatesAndTheBackBuffer)
{
    EXPECT_EQ(GetRenderState(RS_CULLMODE), CULL_CCW);
    EXPECT_EQ(GetRenderState(RS_AMBIENT), 0x00111111u);
    EXPECT_EQ(GetRenderState(RS_FOGCOLOR), 0xFFDCDCDCu);
    EXPECT_EQ(BitsFloat(GetRenderState(RS_FOGSTART)), 60.0f);
    EXPECT_EQ(BitsFloat(GetRenderState(RS_FOGEND)), 2000.0f);
    EXPECT_EQ(GetRenderState(RS_DESTBLEND), BLEND_INVSRCALPHA);
    ASSERT_NE(BackBufferSurface, nullptr);
    SurfaceDesc d;
    GetSurfaceDesc(BackBufferSurface, &d);
    EXPECT_EQ(d.width, 800u);
    EXPECT_EQ(d.height, 600u);
    EXPECT_FLOAT_EQ(scaleX, 1.0f);
    EXPECT_FLOAT_EQ(scaleY, 1.0f);
}

TEST_F(Device, ShadowResourcesFollowTheSizeAndFallBackFromFloatTargets)
{
    EnterPack();
    testing::internal::CaptureStderr();
    CreateShadowResources(1600);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_NE(ShadowEffect, nullptr);
    EXPECT_TRUE(EffectHasTechnique(ShadowEffect, "tecMakeDepthTexture"));
    EXPECT_TRUE(EffectHasTechnique(ShadowEffect, "tecRenderScene"));
    SurfaceDesc d;
    ASSERT_FALSE(Failed(GetLevelDesc(ShadowTexture, 0, &d)));
    EXPECT_EQ(d.format, FMT_R32F);
    EXPECT_EQ(d.width, 1600u);
    GetSurfaceDesc(ShadowDepthSurface, &d);
    EXPECT_EQ(d.width, 1600u);
    EXPECT_EQ(d.height, 1600u);
    ReleaseShadowResources();
    EXPECT_EQ(ShadowTexture, nullptr);

    RefuseTextureFormat(FMT_R32F);  // a device without float targets: no message
    testing::internal::CaptureStderr();
    CreateShadowResources(512);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    GetLevelDesc(ShadowTexture, 0, &d);
    EXPECT_EQ(d.format, FMT_A8R8G8B8);
    EXPECT_EQ(d.width, 512u);
    // The bias takes clip (-1, 1) to texture (0, 0) and (1, -1) to (1, 1).
    Vec3 tl = Vec3TransformCoord({-1, 1, 0.3f}, ShadowBias);
    Vec3 br = Vec3TransformCoord({1, -1, 0.3f}, ShadowBias);
    EXPECT_FLOAT_EQ(tl.x, 0);
    EXPECT_FLOAT_EQ(tl.y, 0);
    EXPECT_FLOAT_EQ(br.x, 1);
    EXPECT_FLOAT_EQ(br.y, 1);
    EXPECT_FLOAT_EQ(br.z, 0.3f);
}

TEST_F(Device, AMissingEffectFileGivesTheMessageAndTheRestGoesOn)
{
    ASSERT_EQ(chdir(MakeTempDir().c_str()), 0);
    testing::internal::CaptureStderr();
    CreateShadowResources(1024);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("シェーダーファイル読み込み失敗"), std::string::npos) << err;
    EXPECT_EQ(ShadowEffect, nullptr);
    EXPECT_NE(ShadowTexture, nullptr);
    EXPECT_NE(ShadowDepthSurface, nullptr);
}

TEST_F(Device, ApplyingANewResolutionRescalesAndRebuildsShadows)
{
    EnterPack();
    CreateShadowResources(1024);
    PresentParams.backBufferWidth = 1024;
    PresentParams.backBufferHeight = 768;
    OptionData.shadowMapSize = 512;
    ApplyDisplaySettings();
    EXPECT_FLOAT_EQ(scaleX, 1.28f);
    EXPECT_FLOAT_EQ(scaleY, 1.28f);
    EXPECT_EQ(BackBufferWidth(), 1024);
    SurfaceDesc d;
    GetSurfaceDesc(BackBufferSurface, &d);
    EXPECT_EQ(d.width, 1024u);
    GetLevelDesc(ShadowTexture, 0, &d);
    EXPECT_EQ(d.width, 512u);
    EXPECT_EQ(GetRenderState(RS_FOGCOLOR), 0xFFDCDCDCu);  // states set again after the reset
    EXPECT_EQ(sys::ClientWidth(), 1024);
}

TEST_F(Device, DrawsSharingStateMergeAndAnyStateChangeSplits)
{
    Present();
    Texture* tex[9] = {};
    for (Texture*& t : tex) CreateTexture(4, 4, 1, 0, FMT_A8R8G8B8, POOL_MANAGED, &t);
    SetFVF(FVF_XYZ | FVF_DIFFUSE);
    PointVertex p = {0, 0, 0, 0xFFFFFFFF};
    // World matrix and point size travel with each vertex; up to eight
    // textures share one batch.
    for (int i = 0; i < 50; ++i) {
        SetTexture(0, tex[i % 2]);
        SetTransform(TS_WORLD, MatTranslation(static_cast<float>(i), 0, 0));
        SetRenderState(RS_POINTSIZE, FloatBits(1.0f + i));
        DrawPrimitiveUP(PT_POINTLIST, 1, &p, sizeof p);
    }
    Present();
    EXPECT_EQ(LastFrameStats().draws, 50u);
    EXPECT_EQ(LastFrameStats().glDraws, 1u);
    EXPECT_EQ(LastFrameStats().vertices, 50u);

    for (int i = 0; i < 9; ++i) {  // a ninth texture
        SetTexture(0, tex[i]);
        DrawPrimitiveUP(PT_POINTLIST, 1, &p, sizeof p);
    }
    SetRenderState(RS_DESTBLEND, BLEND_ONE);  // any other state splits
    DrawPrimitiveUP(PT_POINTLIST, 1, &p, sizeof p);
    SetRenderState(RS_DESTBLEND, BLEND_ONE);  // setting the same value does not
    DrawPrimitiveUP(PT_POINTLIST, 1, &p, sizeof p);
    Present();
    EXPECT_EQ(LastFrameStats().glDraws, 3u);

    SetBatching(false);
    for (int i = 0; i < 10; ++i) DrawPrimitiveUP(PT_POINTLIST, 1, &p, sizeof p);
    Present();
    EXPECT_EQ(LastFrameStats().glDraws, 10u);
    SetBatching(true);
    SetTexture(0, nullptr);
    for (Texture*& t : tex) Release(t);
    EXPECT_EQ(tex[0], nullptr);
}

TEST_F(Device, ObjectsLiveWhileReferenced)
{
    Texture* t = nullptr;
    ASSERT_FALSE(Failed(CreateTexture(8, 8, 1, USAGE_RENDERTARGET, FMT_R32F, POOL_DEFAULT, &t)));
    Surface* level = nullptr;
    GetSurfaceLevel(t, 0, &level);
    Release(t);  // the surface still holds the texture
    SurfaceDesc d;
    ASSERT_FALSE(Failed(GetSurfaceDesc(level, &d)));
    EXPECT_EQ(d.format, FMT_R32F);
    EXPECT_FALSE(Failed(SetRenderTarget(0, level)));
    EXPECT_EQ(GetViewport().width, 8u);  // a new target brings its own viewport
    SetRenderTarget(0, BackBufferSurface);
    Release(level);
    Release(level);  // a second release of a null handle does nothing
    EXPECT_TRUE(Failed(CreateTexture(0, 8, 1, 0, FMT_A8R8G8B8, POOL_MANAGED, &t)));
    EXPECT_EQ(t, nullptr);
}

TEST_F(Device, MeshesGroupFacesBySubsetAndRejectBadIndices)
{
    struct V { float x, y, z, nx, ny, nz, u, v; };
    V verts[4] = {};
    uint32_t idx[9] = {0, 1, 2, 0, 2, 3, 1, 2, 3};
    uint32_t attr[3] = {1, 0, 1};
    Mesh* m = nullptr;
    ASSERT_FALSE(Failed(CreateMesh(FVF_XYZ | FVF_NORMAL | FVF_TEX1, verts, 4, idx, 3, attr, &m)));
    EXPECT_EQ(MeshFaceCount(m), 3u);
    EXPECT_EQ(MeshIndices(m)[3], 0u);  // kept as given for the collision code
    Present();
    DrawSubset(m, 1);
    DrawSubset(m, 0);
    DrawSubset(m, 7);  // no such subset: nothing
    Present();
    EXPECT_EQ(LastFrameStats().subsets, 2u);
    EXPECT_EQ(LastFrameStats().triangles, 3u);
    Release(m);
    uint32_t bad[3] = {0, 1, 4};
    EXPECT_TRUE(Failed(CreateMesh(FVF_XYZ | FVF_NORMAL | FVF_TEX1, verts, 4, bad, 1, nullptr, &m)));
}

TEST_F(Device, EffectFilesParseOrSayWhereTheyAreWrong)
{
    const struct { const char* text; const char* want; } bad[] = {
        {"@param colour x\n", ":1: unknown parameter type 'colour'"},
        {"@technique t\n@pass\n@vertex\nvoid main(){}\n", ":4: the file ends inside a pass"},
        {"@technique t\n@pass\n@vertex\nvoid main(){}\n@end\n", ":5: a pass needs @vertex and @fragment"},
        {"void main(){}\n", ":1: text outside a pass"},
        {"// only a comment\n", ":1: no technique"},
        {"@technique t\n@frobnicate\n", ":2: unknown directive '@frobnicate'"},
        {"@param float a\n@param float a\n", ":2: parameter 'a' twice"},
        // A word of the file is quoted with its control bytes masked.
        {"@technique t\n@\x1b[2J\n", ":2: unknown directive '@?[2J'"},
        {"@param \x1b[31mred x\n", ":1: unknown parameter type '?[31mred'"},
    };
    for (const auto& c : bad) {
        std::string path = WriteTemp(c.text);
        Effect* fx = nullptr;
        std::string err;
        EXPECT_TRUE(Failed(CreateEffectFromFile(path.c_str(), &fx, &err))) << c.text;
        EXPECT_EQ(fx, nullptr);
        EXPECT_NE(err.find(path + c.want), std::string::npos) << err;
        std::remove(path.c_str());
    }
    std::string err;
    Effect* fx = nullptr;
    EXPECT_TRUE(Failed(CreateEffectFromFile("/nonexistent.fx", &fx, &err)));
    EXPECT_EQ(err, "/nonexistent.fx: cannot be opened (No such file or directory)");

    std::string path = WriteTemp(
        "@param float TexWidth\n@param texture DepthTex\n"
        "@technique one\n@pass\n@vertex\nvoid main(){}\n@fragment\nvoid main(){}\n@end\n");
    ASSERT_FALSE(Failed(CreateEffectFromFile(path.c_str(), &fx, &err))) << err;
    std::remove(path.c_str());
    EXPECT_FALSE(Failed(EffectSetFloat(fx, "TexWidth", 1024)));
    float v = 0;
    EXPECT_TRUE(EffectGetFloat(fx, "TexWidth", &v));
    EXPECT_EQ(v, 1024);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(Failed(EffectSetFloat(fx, "NoSuchThing", 1)));  // ignored
    EXPECT_TRUE(Failed(EffectSetTechnique(fx, "nope")));
    testing::internal::GetCapturedStderr();
    // A texture set into an effect stays alive while the effect holds it.
    Texture* t = nullptr;
    CreateTexture(4, 4, 1, 0, FMT_A8R8G8B8, POOL_MANAGED, &t);
    EffectSetTexture(fx, "DepthTex", t);
    Texture* held = t;
    Release(t);
    SurfaceDesc d;
    EXPECT_FALSE(Failed(GetLevelDesc(held, 0, &d)));
    Release(fx);
}

TEST_F(Device, SpriteBatchesRestoreTheDeviceState)
{
    CreateSpriteBatcher();
    ASSERT_NE(SpriteBatcher, nullptr);
    SetRenderState(RS_ZENABLE, ZB_TRUE);
    SetTransform(TS_VIEW, MatTranslation(1, 2, 3));
    SpriteBegin(SpriteBatcher, SPRITE_ALPHABLEND);
    EXPECT_EQ(GetRenderState(RS_ZENABLE), ZB_FALSE);
    Texture* t = nullptr;
    CreateTexture(4, 4, 1, 0, FMT_A8R8G8B8, POOL_MANAGED, &t);
    EXPECT_FALSE(Failed(SpriteDraw(SpriteBatcher, t, nullptr, nullptr, nullptr, 0xFFFFFFFF)));
    EXPECT_TRUE(Failed(SpriteDraw(SpriteBatcher, nullptr, nullptr, nullptr, nullptr, 0xFFFFFFFF)));
    SpriteEnd(SpriteBatcher);
    EXPECT_EQ(GetRenderState(RS_ZENABLE), ZB_TRUE);
    EXPECT_EQ(GetTransform(TS_VIEW).m[3][2], 3.0f);
    EXPECT_TRUE(Failed(SpriteEnd(SpriteBatcher)));  // not begun
    Release(t);
}

// A frame's passes are timed from one mark to the next, Present timing
// itself last; each pass counts once a frame, in the order first seen.
TEST_F(Device, EachMarkedPassIsTimedOnceAFrameInOrderAndPresentLast)
{
    auto find = [](const char* name) {
        std::vector<gfx::PassTime> all = gfx::PassTimes();
        for (size_t i = 0; i < all.size(); ++i)
            if (std::string(all[i].name) == name) return std::make_pair(static_cast<int>(i), all[i]);
        return std::make_pair(-1, gfx::PassTime{});
    };
    gfx::MarkPass(nullptr);  // no name: nothing
    const uint64_t presents = find("present").first >= 0 ? find("present").second.count : 0;
    for (int frame = 1; frame <= 2; ++frame) {
        gfx::MarkPass("first test pass");
        gfx::MarkPass("second test pass");
        gfx::Present();
        EXPECT_EQ(find("first test pass").second.count, static_cast<uint64_t>(frame));
        EXPECT_EQ(find("second test pass").second.count, static_cast<uint64_t>(frame));
        EXPECT_EQ(find("present").second.count, presents + frame);
    }
    EXPECT_EQ(find("second test pass").first, find("first test pass").first + 1);
    EXPECT_GE(find("first test pass").second.totalMs, 0.0);
    // A pass ends at the next mark: a frame without marks adds to none.
    gfx::Present();
    EXPECT_EQ(find("second test pass").second.count, 2u);
    gfx::SetPassSync(true);
    EXPECT_TRUE(gfx::PassSync());
    gfx::SetPassSync(false);
}

// A screenshot goes to a name nothing holds (a link there, even one that
// leads nowhere, is passed over and never written through), whole or not at
// all.  Where its folder cannot be written it goes to the next folder and
// the foot of the screen says where; where none can be, it says why, for
// three seconds, whatever screen is up.
TEST_F(Device, AScreenshotIsSavedTheSafeWayElsewhereOrToldOnScreen)
{
    const std::string dir = ScratchDir() + "/shots", data = dir + "/data", pics = dir + "/pics",
                      share = dir + "/share";
    ASSERT_EQ(system(("rm -rf " + dir + " && mkdir -p " + data + " " + pics + " " + dir + "/config").c_str()), 0);
    WriteFile(dir + "/config/user-dirs.dirs", "XDG_PICTURES_DIR=\"" + pics + "\"\n");
    const std::string configWas = std::getenv("XDG_CONFIG_HOME"), shareWas = std::getenv("XDG_DATA_HOME");
    setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", share.c_str(), 1);
    ASSERT_EQ(chdir(data.c_str()), 0);
    ASSERT_EQ(symlink("missing/photo.bmp", "photo0.bmp"), 0);
    InputScript script;
    std::string err;
    ASSERT_TRUE(ParseInputScript("1 keydown T\n2 keyup T\n3 keydown T\n4 keyup T\n5 keydown T\n6 keyup T\n"
                                 "7 keydown T\n",
                                 "t", &script, &err))
        << err;
    sys::SetInputScript(&script);
    ::testing::internal::CaptureStderr();
    CreateFonts();  // in the built-in face: the pack's font is not here
    struct Case {
        const char* readOnly;  // made read-only before the shot
        std::string shot, told;
    } cases[] = {
        {nullptr, data + "/photo1.bmp", ""},
        {".", pics + "/photo2.bmp", ""},
        {"../pics", share + "/varnok/screenshots/photo3.bmp",
         "The screenshot is in " + share + "/varnok/screenshots/photo3.bmp: " + pics +
             " cannot be written (it is read-only)."},
        {"../share/varnok/screenshots", "", "The screenshot could not be saved in " + pics + ": it is read-only."},
    };
    uint32_t step = 1;
    for (const Case& c : cases) {
        if (c.readOnly) {
            ASSERT_EQ(chmod(c.readOnly, 0555), 0);
        }
        sys::ApplyScriptStep(step++);  // T down: the shot
        ScreenshotCheck();
        const Drawn drawn([] { EndFrame(); });
        sys::ApplyScriptStep(step++);  // T up: the next press is another shot
        ScreenshotCheck();
        if (!c.shot.empty()) {
            EXPECT_EQ(ReadFile(c.shot).substr(0, 2), "BM") << c.shot;
        }
        ASSERT_EQ(drawn.texts.size(), c.told.empty() ? 0u : 1u) << c.shot;
        if (!c.told.empty()) {  // as told, however it is broken into lines
            std::string text = drawn.texts[0].text;
            text.erase(std::remove(text.begin(), text.end(), '\n'), text.end());
            EXPECT_EQ(text, c.told);
        }
        for (int frame = 1; frame < 180 && !c.told.empty(); ++frame) EXPECT_EQ(Drawn([] { EndFrame(); }).texts.size(), 1u);
        EXPECT_TRUE(Drawn([] { EndFrame(); }).texts.empty()) << "a notice stays for three seconds only";
    }
    ::testing::internal::GetCapturedStderr();
    char target[64] = "";
    EXPECT_GT(readlink("photo0.bmp", target, sizeof target), 0);  // the link as it was, leading nowhere
    EXPECT_NE(access("missing", F_OK), 0);
    EXPECT_EQ(RunProgram({"/usr/bin/find", dir, "-name", ".photo*"}).out, "");  // no temporary file left
    ASSERT_EQ(system(("chmod -R u+w " + dir).c_str()), 0);
    setenv("XDG_CONFIG_HOME", configWas.c_str(), 1);
    setenv("XDG_DATA_HOME", shareWas.c_str(), 1);
    sys::SetInputScript(nullptr);
    ReleaseFontsAndSprite();
}

// A notice too wide for the screen is broken into lines that each fit, at a
// space or a slash where it can be, cut inside a piece only when it must;
// its last line stays at the foot.  One far too long keeps its start and
// its end with "..." between.
TEST_F(Device, ANoticeAtTheFootFitsTheScreen)
{
    ::testing::internal::CaptureStderr();
    CreateFonts();
    ::testing::internal::GetCapturedStderr();
    std::string deep = "/home/player";
    for (int i = 0; i < 4; ++i) deep += "/a folder with a long name " + std::to_string(i);
    const std::string unbroken(120, 'x');
    const std::string cases[] = {"The screenshot could not be saved in " + deep + "/photo0.bmp: it is read-only.",
                                 "Short.", "The screenshot could not be saved in /" + unbroken + ": it is read-only."};
    for (auto size : {std::pair{800, 600}, std::pair{1024, 768}}) {
        UseScreenSize(size.first, size.second);
        for (const std::string& told : cases) {
            TellAtFoot(told);
            const Drawn drawn([] { EndFrame(); });
            ASSERT_EQ(drawn.texts.size(), 1u);
            const std::string& text = drawn.texts[0].text;
            std::string joined;
            size_t lines = 1, start = 0;
            for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1, ++lines) {
                const std::string line = text.substr(start, end - start);
                EXPECT_LE(gfx::FontTextWidth(SmallFont, line.c_str(), -1), size.first - 24) << line;
                if (&told == &cases[0]) {
                    EXPECT_TRUE(line.back() == ' ' || line.back() == '/') << "cut inside a word: " << line;
                }
                joined += line;
            }
            joined += text.substr(start);
            EXPECT_LE(gfx::FontTextWidth(SmallFont, text.c_str() + start, -1), size.first - 24);
            EXPECT_EQ(joined, told);
            EXPECT_EQ(drawn.texts[0].rect.top + 16 * static_cast<int>(lines - 1), static_cast<int>(570 * scaleY));
        }
        // Far too long: four lines, the first and the last as they were.
        TellAtFoot("Start " + std::string(4000, 'y') + " end.bmp");
        const Drawn drawn([] { EndFrame(); });
        const std::string& text = drawn.texts.at(0).text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
        EXPECT_EQ(text.substr(0, 6), "Start ");
        EXPECT_EQ(text.substr(text.size() - 8), " end.bmp");
        EXPECT_NE(text.find("\n...\n"), std::string::npos);
    }
    UseScreenSize(800, 600);
    for (int frame = 0; frame < 200; ++frame) EndFrame();
    ReleaseFontsAndSprite();
}
