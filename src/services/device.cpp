#include "services/device.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "services/display.h"
#include "services/options.h"
#include "services/report.h"
#include "platform/system.h"
#include "platform/user_dirs.h"

gfx::PresentParameters PresentParams{};
gfx::PresentParameters CreationParams{};
gfx::Surface* BackBufferSurface = nullptr;
gfx::Surface* DefaultDepthSurface = nullptr;
gfx::Font* SmallFont = nullptr;
gfx::Font* LargeFont = nullptr;
gfx::Sprite* SpriteBatcher = nullptr;
gfx::Effect* ShadowEffect = nullptr;
gfx::Texture* ShadowTexture = nullptr;
gfx::Surface* ShadowDepthSurface = nullptr;
Mat4 ShadowBias = MatIdentity();

namespace {
int32_t photoCounter = 0;
int32_t screenshotLatch = 0;
// The line at the screen's foot: a shot that could not be saved, a replay's
// APPLY that saved nothing; told over every screen for a few seconds, not
// only on the terminal.  (A saved shot is not: the notice would be in the
// next shot.)
std::string footNotice;
int32_t footNoticeFrames = 0;
// The notice broken into lines for a screen this wide (-1: not yet), kept
// so a battle that shows it allocates nothing a frame.
std::string footLines;
int footLinesWidth = -1, footLineCount = 1;
constexpr int32_t kFootNoticeFrames = 180;

// The lines a notice takes to fit `width` pixels: broken after a space or a
// path's slash, and inside a piece too long for a line of its own.  Past
// kFootNoticeLines the middle gives way to "...", so the start (what
// happened) and the end (the file's name) stay.
constexpr size_t kFootNoticeLines = 4;
constexpr int kSmallFontHeight = 16, kLargeFontHeight = 28;
std::vector<std::string> FitLines(gfx::Font* font, const std::string& text, int width)
{
    auto fits = [&](const std::string& s) { return gfx::FontTextWidth(font, s.c_str(), -1) <= width; };
    std::vector<std::string> lines;
    std::string line;
    size_t i = 0;
    while (i < text.size()) {
        size_t end = text.find_first_of(" /", i);
        end = end == std::string::npos ? text.size() : end + 1;
        std::string piece = text.substr(i, end - i);
        i = end;
        if (fits(line + piece)) {
            line += piece;
            continue;
        }
        if (!line.empty()) lines.push_back(line);
        line.clear();
        for (char c : piece) {  // a piece wider than a line is cut where it must be
            if (!line.empty() && !fits(line + c)) lines.push_back(line), line.clear();
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    if (lines.size() > kFootNoticeLines) {
        lines.erase(lines.begin() + 1, lines.end() - static_cast<long>(kFootNoticeLines - 2));
        lines.insert(lines.begin() + 1, "...");
    }
    return lines;
}

// The notice's last line stands where a one-line notice does; longer ones
// grow upwards.
void DrawFootNotice()
{
    if (footNoticeFrames <= 0 || !SmallFont) return;
    --footNoticeFrames;
    const int left = static_cast<int>(12 * scaleX), width = BackBufferWidth() - 2 * left;
    if (width != footLinesWidth) {
        const std::vector<std::string> lines = FitLines(SmallFont, footNotice, width);
        footLines.clear();
        for (const std::string& l : lines) footLines += (footLines.empty() ? "" : "\n") + l;
        footLinesWidth = width;
        footLineCount = static_cast<int>(lines.size());
    }
    gfx::Rect at{left, static_cast<int32_t>(570 * scaleY) - (footLineCount - 1) * kSmallFontHeight, 0, 0};
    gfx::FontDrawText(SmallFont, nullptr, footLines.c_str(), -1, &at, gfx::DT_NOCLIP, 0xFFFF5040);
}

constexpr const char* kPackFont = "Font/DejaVuSans-Bold.ttf";

void WriteRenderReport(JsonWriter& w)
{
    gfx::FrameStats t = gfx::TotalStats();
    double frames = static_cast<double>(gfx::FramesPresented());
    auto mean = [&](uint64_t v) { return frames > 0 ? static_cast<double>(v) / frames : 0.0; };
    w.BeginObject("render");
    w.String("backend", gfx::CurrentBackend() == gfx::Backend::OpenGL ? "opengl" : "null");
    w.Integer("frames", static_cast<long long>(gfx::FramesPresented()));
    w.Number("draws", mean(t.draws));
    w.Number("gl_draws", mean(t.glDraws));
    w.Number("vertices", mean(t.vertices));
    w.Number("subsets", mean(t.subsets));
    w.Number("triangles", mean(t.triangles));
    w.Integer("gl_draws_max", static_cast<long long>(gfx::MaxGlDrawsPerFrame()));
    // Each pass's mean time, in milliseconds of wall time, in the order the
    // frames first ran them; with pass_sync each waited for its own drawing.
    w.Bool("pass_sync", gfx::PassSync());
    w.BeginObject("pass_ms");
    for (const gfx::PassTime& p : gfx::PassTimes())
        w.Number(p.name, p.count ? p.totalMs / static_cast<double>(p.count) : 0.0);
    w.EndObject();
    w.EndObject();
}
}  // namespace

int CreateDevice3D(bool headless)
{
    PresentParams = {};
    PresentParams.backBufferWidth = static_cast<uint32_t>(OptionData.screenWidth);
    PresentParams.backBufferHeight = static_cast<uint32_t>(OptionData.screenHeight);
    PresentParams.windowed = OptionData.fullScreen == 0;
    PresentParams.backBufferFormat =
        PresentParams.windowed ? gfx::DisplayModeFormat() : gfx::FMT_X8R8G8B8;
    CreationParams = PresentParams;
    if (!gfx::CreateDevice(headless ? gfx::Backend::Null : gfx::Backend::OpenGL, PresentParams)) {
        sys::MessageBox("DirectX9が初期化できません。\n未対応のパソコンと思われます。", "ERROR",
                        sys::MB_ICONERROR);
        return 0;
    }
    SetBackBufferSize(static_cast<int>(PresentParams.backBufferWidth),
                      static_cast<int>(PresentParams.backBufferHeight));
    AddReportSection(WriteRenderReport);
    return 1;
}

void SetFixedRenderStates()
{
    using namespace gfx;
    SetRenderState(RS_ZENABLE, ZB_TRUE);
    SetRenderState(RS_ZWRITEENABLE, 1);
    SetRenderState(RS_ALPHABLENDENABLE, 1);
    SetRenderState(RS_SRCBLEND, BLEND_SRCALPHA);
    SetRenderState(RS_DESTBLEND, BLEND_INVSRCALPHA);
    SetTextureStageState(0, TSS_ALPHAOP, TOP_MODULATE);
    SetTextureStageState(0, TSS_ALPHAARG1, TA_TEXTURE);
    SetTextureStageState(0, TSS_ALPHAARG2, TA_DIFFUSE);
    SetTextureStageState(0, TSS_COLOROP, TOP_MODULATE);
    SetRenderState(RS_CULLMODE, CULL_CCW);
    SetRenderState(RS_AMBIENT, 0x00111111);
    SetSamplerState(0, SAMP_MIPFILTER, TEXF_LINEAR);
    SetSamplerState(0, SAMP_MINFILTER, TEXF_LINEAR);
    SetSamplerState(0, SAMP_MAGFILTER, TEXF_LINEAR);
    SetRenderState(RS_LIGHTING, 1);
    Release(BackBufferSurface);
    Release(DefaultDepthSurface);
    GetBackBuffer(&BackBufferSurface);
    GetDepthStencilSurface(&DefaultDepthSurface);
    SetFVF(FVF_XYZ | FVF_DIFFUSE | FVF_TEX1);
    sys::TimeBeginPeriod(1);
    Light light{};
    light.type = LIGHT_DIRECTIONAL;
    light.diffuse = {1, 1, 1, 0};
    light.specular = {1, 1, 1, 0};
    light.direction = Vec3Normalize(Vec3{0, 0, 0} - Vec3{-3, 8, -3});
    SetLight(0, light);
    LightEnable(0, true);
    SetRenderState(RS_SPECULARENABLE, 1);
    SetRenderState(RS_FOGENABLE, 1);
    SetRenderState(RS_FOGCOLOR, 0xFFDCDCDC);
    SetRenderState(RS_FOGVERTEXMODE, FOG_LINEAR);
    SetRenderState(RS_FOGSTART, FloatBits(60.0f));
    SetRenderState(RS_FOGEND, FloatBits(2000.0f));
}

void CreateFonts()
{
    // A font file that cannot serve is told once, however many sizes fail,
    // and those sizes are drawn in the platform's built-in face instead.
    bool told = false;
    for (auto [font, height] : {std::pair{&SmallFont, kSmallFontHeight}, std::pair{&LargeFont, kLargeFontHeight}}) {
        std::string error;
        if (gfx::Failed(gfx::CreateFont(height, 1000, kPackFont, font, &error))) {
            if (!told) std::fprintf(stderr, "%s; text is drawn in the built-in face\n", error.c_str());
            told = true;
            if (gfx::Failed(gfx::CreateBuiltinFont(height, font))) continue;
        }
        gfx::FontOnResetDevice(*font);
    }
}

void CreateSpriteBatcher()
{
    if (!gfx::Failed(gfx::CreateSprite(&SpriteBatcher))) gfx::SpriteOnResetDevice(SpriteBatcher);
}

void TellEffectFailed(const char* path, const std::string& errors)
{
    if (!errors.empty()) std::fprintf(stderr, "%s\n", errors.c_str());
    // The box gives the first line of what went wrong, which names the file.
    std::string first = errors.substr(0, errors.find('\n'));
    if (first.size() > 200) first = first.substr(0, 200) + "...";
    std::string text = std::string("シェーダーファイル読み込み失敗\n") + (first.empty() ? path : first);
    sys::MessageBox(text.c_str(), "", sys::MB_OK);
}

void CreateShadowResources(int size)
{
    using namespace gfx;
    std::string errors;
    if (Failed(CreateEffectFromFile("LAND/Effect/ShadowMap.fx", &ShadowEffect, &errors)))
        TellEffectFailed("LAND/Effect/ShadowMap.fx", errors);
    uint32_t edge = size > 0 ? static_cast<uint32_t>(size) : 1;
    if (Failed(CreateTexture(edge, edge, 0, USAGE_RENDERTARGET, FMT_R32F, POOL_DEFAULT, &ShadowTexture)) &&
        Failed(CreateTexture(edge, edge, 0, USAGE_RENDERTARGET, FMT_A8R8G8B8, POOL_DEFAULT, &ShadowTexture)))
        sys::MessageBox("深度テクスチャの作成に失敗しました", "", sys::MB_OK);
    SurfaceDesc desc{};
    if (ShadowTexture && !Failed(GetLevelDesc(ShadowTexture, 0, &desc)))
        CreateDepthStencilSurface(desc.width, desc.height, FMT_D16, &ShadowDepthSurface);
    ShadowBias = MatIdentity();
    ShadowBias.m[0][0] = 0.5f;
    ShadowBias.m[1][1] = -0.5f;
    ShadowBias.m[3][0] = 0.5f;
    ShadowBias.m[3][1] = 0.5f;
}

void SetShadowLighting(Vec3 toLight, Vec3 eye, float texWidth, float texHeight)
{
    if (!ShadowEffect) return;
    gfx::EffectSetVector(ShadowEffect, "vecLightDir", {toLight.x, toLight.y, toLight.z, 0});
    gfx::EffectSetVector(ShadowEffect, "vecEye", {eye.x, eye.y, eye.z, 0});
    gfx::EffectSetFloat(ShadowEffect, "TexWidth", texWidth);
    gfx::EffectSetFloat(ShadowEffect, "TexHeight", texHeight);
}

bool TargetShadowMap()
{
    if (!ShadowTexture || !ShadowDepthSurface || !ShadowEffect) return false;
    gfx::Surface* level = nullptr;
    gfx::GetSurfaceLevel(ShadowTexture, 0, &level);
    gfx::SetRenderTarget(0, level);
    gfx::SetDepthStencilSurface(ShadowDepthSurface);
    gfx::Release(level);
    return true;
}

void TargetSceneWithShadows()
{
    if (!ShadowEffect) return;
    gfx::SetRenderTarget(0, BackBufferSurface);
    gfx::SetDepthStencilSurface(DefaultDepthSurface);
    gfx::SetViewport({0, 0, static_cast<uint32_t>(BackBufferWidth()), static_cast<uint32_t>(BackBufferHeight()),
                      0.0f, 1.0f});
    gfx::EffectSetTechnique(ShadowEffect, "tecRenderScene");
    gfx::EffectSetTexture(ShadowEffect, "DepthTex", ShadowTexture);
}

void ReleaseShadowResources()
{
    gfx::Release(ShadowEffect);
    gfx::Release(ShadowDepthSurface);
    gfx::Release(ShadowTexture);
}

void ReleaseFontsAndSprite()
{
    gfx::Release(SpriteBatcher);
    gfx::Release(SmallFont);
    gfx::Release(LargeFont);
}

void ReleaseDevice3D()
{
    gfx::Release(BackBufferSurface);
    gfx::Release(DefaultDepthSurface);
    gfx::ReleaseDevice();
}

bool ApplyDisplaySettings()
{
    gfx::Release(BackBufferSurface);
    gfx::Release(DefaultDepthSurface);
    gfx::SpriteOnLostDevice(SpriteBatcher);
    gfx::FontOnLostDevice(SmallFont);
    gfx::FontOnLostDevice(LargeFont);
    ReleaseShadowResources();
    // The reset also sizes the window for the new mode; refused, the device
    // and window stay as they were and are restored as such.
    bool accepted = !gfx::Failed(gfx::Reset(PresentParams));
    gfx::SpriteOnResetDevice(SpriteBatcher);
    gfx::FontOnResetDevice(SmallFont);
    gfx::FontOnResetDevice(LargeFont);
    SetFixedRenderStates();
    const gfx::PresentParameters& running = gfx::CurrentPresentParameters();
    SetBackBufferSize(static_cast<int>(running.backBufferWidth), static_cast<int>(running.backBufferHeight));
    CreateShadowResources(OptionData.shadowMapSize);
    return accepted && ShadowTexture && ShadowDepthSurface;
}

void TellAtFoot(const std::string& text)
{
    footNotice = text;
    footNoticeFrames = kFootNoticeFrames;
    footLinesWidth = -1;
}

void EndFrame()
{
    DrawFootNotice();
    gfx::EndScene();
    if (gfx::Failed(gfx::Present())) gfx::Reset(CreationParams);
}

std::vector<std::string> ScreenshotFolders()
{
    // The data folder while the player may write there; an installed game's
    // shots go to the pictures folder, or when there is none or it cannot be
    // written, to the game's own folder of the player's data.
    if (DataFolderWritable()) return {""};
    std::vector<std::string> folders;
    const std::string pictures = sys::UserPicturesFolder(), data = sys::UserDataFolder();
    if (!pictures.empty()) folders.push_back(pictures);
    if (!data.empty()) folders.push_back(data + "/varnok/screenshots");
    return folders;
}

void ScreenshotCheck()
{
    if (!(sys::GetAsyncKeyState('T') & 0x8000)) {
        screenshotLatch = 0;
        return;
    }
    if (screenshotLatch) return;
    screenshotLatch = 1;
    std::string bytes;
    if (!BackBufferSurface || gfx::Failed(gfx::EncodeSurfaceBmp(BackBufferSurface, &bytes))) return;
    // Numbers start at 0 every run, but a file already there is a shot from
    // an earlier run: the next free number is taken instead.
    std::string firstFolder, firstWhy, path;
    for (const std::string& folder : ScreenshotFolders()) {
        std::string why;
        bool saved = folder.empty() || sys::MakeFolders(folder, &why);
        if (saved && !folder.empty() && !sys::FolderWritable(folder)) {
            why = "it is read-only";
            saved = false;
        }
        saved = saved && SaveNewFile(folder, "photo", ".bmp", &photoCounter, bytes, &path, &why);
        if (saved && !firstWhy.empty())
            TellAtFoot("The screenshot is in " + path + ": " + firstFolder + " cannot be written (" + firstWhy + ").");
        if (saved) return;
        if (firstWhy.empty()) {
            char cwd[4096];
            firstFolder = !folder.empty() ? folder : getcwd(cwd, sizeof cwd) ? cwd : "the data folder";
            firstWhy = why;
        }
    }
    if (firstFolder.empty()) firstWhy = "no folder for it";
    std::fprintf(stderr, "varnok: the screenshot cannot be saved in %s: %s\n", firstFolder.c_str(), firstWhy.c_str());
    TellAtFoot("The screenshot could not be saved in " + firstFolder + ": " + firstWhy + ".");
}
