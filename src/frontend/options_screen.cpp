// The options screen: resolution, screen mode and shadow quality.  Apply
// resets the device with them at once and stores them in the options file;
// a mode the device refuses is taken back, the file left as it was, and the
// player told.  Back drops whatever was not applied.
#include <cstdio>

#include <algorithm>
#include <string>

#include "services/device.h"
#include "services/display.h"
#include "services/options.h"
#include "services/scene.h"
#include "frontend/frontend.h"
#include "frontend/menu.h"
#include "platform/system.h"

namespace {
constexpr MenuBox kApplyBox = {10, 496, 146, 541};
constexpr MenuBox kBackBox = {10, 545, 146, 585};
constexpr MenuBox kTabBoxes[3] = {{10, 12, 146, 55}, {10, 62, 146, 106}, {10, 113, 146, 159}};
// Rows: resolution, screen mode, shadows; each with a left and right arrow.
constexpr MenuBox kLeftBoxes[3] = {{295, 154, 326, 177}, {295, 295, 326, 323}, {295, 440, 326, 468}};
constexpr MenuBox kRightBoxes[3] = {{650, 154, 682, 177}, {650, 295, 682, 323}, {650, 440, 682, 468}};
// The arrows share the select and stage screens' arrow states.
constexpr int kLeftStates[3] = {kLeftArrow, kMapLeft, kSkyLeft};
constexpr int kRightStates[3] = {kRightArrow, kMapRight, kSkyRight};

constexpr gfx::Rect kOptionsBackImage = {184, 567, 362, 648};
constexpr gfx::Rect kApplyImage = {2, 567, 180, 648};
constexpr gfx::Rect kTabImages[3] = {{2, 482, 180, 563}, {184, 482, 362, 563}, {366, 482, 544, 563}};
constexpr float kTabY[3] = {35, 86, 137};
constexpr gfx::Rect kRowLabels[3] = {{2, 652, 462, 787}, {2, 791, 462, 924}, {465, 584, 927, 721}};
constexpr float kRowY[3] = {150, 295, 440};
constexpr gfx::Rect kResolutionValues[3] = {{2, 928, 273, 994}, {276, 928, 547, 994}, {550, 928, 821, 994}};
constexpr gfx::Rect kModeValues[2] = {{466, 775, 619, 848}, {466, 851, 696, 924}};
constexpr gfx::Rect kShadowValues[4] = {{616, 1, 881, 66}, {616, 148, 819, 213}, {616, 215, 911, 280},
                                        {616, 68, 882, 146}};
constexpr gfx::Rect kLeftImage = {466, 724, 514, 772};
constexpr gfx::Rect kRightImage = {517, 724, 564, 772};
constexpr uint32_t kUnselectedTab = 0x9BB4B4B4;


uint32_t lastRun = 0;

void TellRefused(const gfx::PresentParameters& asked)
{
    char text[200];
    std::snprintf(text, sizeof text,
                  "The display cannot run %u x %u %s.\nThe settings stay as they were and are not saved.",
                  asked.backBufferWidth, asked.backBufferHeight, asked.windowed ? "in a window" : "full screen");
    sys::MessageBox(text, "VARNOK", sys::MB_OK);
}

void Apply()
{
    const gfx::PresentParameters before = PresentParams;
    const int32_t shadowBefore = OptionData.shadowMapSize;
    PresentParams.backBufferWidth = kResolutions[ResolutionChoice].width;
    PresentParams.backBufferHeight = kResolutions[ResolutionChoice].height;
    PresentParams.windowed = ScreenModeChoice != 0;
    OptionData.shadowMapSize = kShadowSizes[ShadowChoice];
    if (ApplyDisplaySettings()) {
        // The game runs on what was applied either way; the player is told
        // when it will not be there next time.
        std::string why;
        if (!SaveOptions(&why)) {
            std::string text = "The settings could not be saved in " + OptionsSavePath() + ": " + why +
                               ".\nThey apply until the game is closed.";
            sys::MessageBox(text.c_str(), "VARNOK", sys::MB_OK);
        }
    } else {
        // What is saved is what runs: the old settings go back on and the
        // file stays as it was.
        const gfx::PresentParameters asked = PresentParams;
        PresentParams = before;
        OptionData.shadowMapSize = shadowBefore;
        (void)ApplyDisplaySettings();
        FillOptionChoices();
        TellRefused(asked);
    }
    SetFrontEndFog();  // a reset puts the fog back to the device's defaults
    FadeWholeScreen();
}

void Input()
{
    if (MenuClick(kApplyBox, &ButtonState[kOptionsApply])) Apply();
    if (MenuClick(kBackBox, &ButtonState[kOptionsBack])) {
        FadeWholeScreen();
        SceneProc = TitleMenu;
    }
    int32_t tabState = 0;
    for (int t = 0; t < 3; ++t)
        if (MenuClick(kTabBoxes[t], &tabState)) OptionsTab = t;
    // The arrows answer on every tab, though only the first shows them.
    if (MenuClick(kLeftBoxes[0], &ButtonState[kLeftStates[0]])) ResolutionChoice = std::max(ResolutionChoice - 1, 0);
    if (MenuClick(kRightBoxes[0], &ButtonState[kRightStates[0]])) ResolutionChoice = std::min(ResolutionChoice + 1, 2);
    if (MenuClick(kLeftBoxes[1], &ButtonState[kLeftStates[1]])) ScreenModeChoice = ScreenModeChoice ? 0 : 1;
    if (MenuClick(kRightBoxes[1], &ButtonState[kRightStates[1]])) ScreenModeChoice = ScreenModeChoice ? 0 : 1;
    if (MenuClick(kLeftBoxes[2], &ButtonState[kLeftStates[2]]) && ShadowChoice > 0) ShadowChoice -= 1;
    if (MenuClick(kRightBoxes[2], &ButtonState[kRightStates[2]]) && ShadowChoice < 3) ShadowChoice += 1;
}

void Draw()
{
    BeginMenuFrame(0xFF0000FF);
    BeginMenuSprites();
    DrawMenuBackground(FrontEnd.options, kHoverWhite);
    DrawMenuImage(FrontEnd.menuLog, kOptionsBackImage, 79, 565, ButtonColour(ButtonState[kOptionsBack], kOptionsIdleGrey));
    DrawMenuImage(FrontEnd.menuLog, kApplyImage, 79, 516, ButtonColour(ButtonState[kOptionsApply], kOptionsIdleGrey));
    for (int t = 0; t < 3; ++t)
        DrawMenuImage(FrontEnd.menuLog, kTabImages[t], 79, kTabY[t], t == OptionsTab ? kHoverWhite : kUnselectedTab);
    if (OptionsTab == 0) {
        for (int r = 0; r < 3; ++r) DrawMenuImage(FrontEnd.menuLog, kRowLabels[r], 460, kRowY[r], kHoverWhite);
        const int32_t res = std::clamp(ResolutionChoice, 0, 2);
        const int32_t mode = ScreenModeChoice ? 1 : 0;
        const int32_t shadow = std::clamp(ShadowChoice, 0, 3);
        DrawMenuImage(FrontEnd.menuLog, kResolutionValues[res], 490, 165, kHoverWhite);
        DrawMenuImage(FrontEnd.menuLog, kModeValues[mode], 490, 310, kHoverWhite);
        DrawMenuImage(FrontEnd.menuLog, kShadowValues[shadow], 490, 455, kHoverWhite);
        for (int r = 0; r < 3; ++r) {
            const float y = kRowY[r] + 15;
            DrawMenuImage(FrontEnd.menuLog, kLeftImage, 310, y,
                          ButtonColour(ButtonState[kLeftStates[r]], kOptionsIdleGrey));
            DrawMenuImage(FrontEnd.menuLog, kRightImage, 665, y,
                          ButtonColour(ButtonState[kRightStates[r]], kOptionsIdleGrey));
        }
    }
    EndMenuSprites();
    DrawFade(2);
    EndMenuFrame();
}
}  // namespace

void OptionsScreen()
{
    if (!MenuTick(&lastRun)) return;
    Input();
    Draw();
}
