// The options screen, three tabs.  Display: resolution, screen mode and
// shadow quality, kept in the options file.  Audio: the master, effects and
// engine levels, heard at once while they change.  Input: the battle's keys,
// a row waiting for the next key or mouse button after a click, and the
// gamepad's fixed mapping.  Apply resets the device with the display choices
// and stores them in the options file (a mode the device refuses is taken
// back, the file left as it was, and the player told), and makes the levels
// and keys those in force and stores them in the settings file.  Back drops
// whatever was not applied.
#include <cstdio>

#include <algorithm>
#include <iterator>
#include <string>

#include "services/controls.h"
#include "services/device.h"
#include "services/display.h"
#include "services/options.h"
#include "services/scene.h"
#include "services/settings.h"
#include "assets/sound.h"
#include "battle/hud.h"
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

// The audio tab: a level's label and value in the places of the display
// tab's, between the same arrows.
constexpr const char* kLevelNames[3] = {"MASTER VOLUME", "EFFECTS VOLUME", "ENGINE VOLUME"};
constexpr int32_t SoundLevels::*kLevelOf[3] = {&SoundLevels::master, &SoundLevels::effects, &SoundLevels::engine};

// The input tab, over the panel (its display-tab rules covered): the
// actions in a column of rows on the left, a click on a row waits for its
// key; the gamepad's fixed mapping on the right, a control over what it does.
constexpr MenuBox kPanelInside = {204, 84, 776, 516};
constexpr uint32_t kPanelColour = 0xFF1C222A;
constexpr int32_t kKeyRowsX = 212, kKeyRowsTop = 118, kKeyRowHeight = 26, kKeyRowWidth = 286;
constexpr int32_t kKeyNameX = 162;  // from the row's left, clear of the labels at 640 x 480
constexpr int32_t kPadX = 508, kPadTop = 120, kPadEntryHeight = 42, kPadActionY = 17;
constexpr int32_t kHeadingY = 94;
constexpr int32_t kSmallFontHeight = 16, kLargeFontHeight = 28;
constexpr uint32_t kHeadingColour = 0xFFF0D070;
constexpr uint32_t kLabelColour = 0xFFF2E6C8;
constexpr uint32_t kNoteColour = 0xFF98A4B0;
constexpr uint32_t kRowIdle = 0xFF242C36, kRowHover = 0xFF34404C, kRowWaiting = 0xFF6A5020;
struct PadLine {
    const char* control;
    const char* action;
};
constexpr PadLine kPadLines[] = {
    {"Left stick", "drive / walk"},
    {"Right stick", "turret or torso, and gun"},
    {"Right trigger", "fire"},
    {"Left trigger, LB or RB", "switch weapons"},
    {"Y", "next unit's view"},
    {"Start", "pause"},
    {"Back (held)", "scoreboard"},
    {"Menus", "d-pad, A / B"},
};
// A wait for a key lasts five seconds of steps, then ends with nothing changed.
constexpr int32_t kKeyWaitSteps = 300;

uint32_t lastRun = 0;
int32_t rowState[kBattleActionCount] = {};
// The row waiting for its key (-1: none), the steps left, and the keys held
// when it began: those count once they have been let go.
int32_t waitingAction = -1;
int32_t waitStepsLeft = 0;
bool heldAtWait[kKeyCount] = {};

MenuBox KeyRowBox(int action)
{
    const int32_t y = kKeyRowsTop + action * kKeyRowHeight;
    return {kKeyRowsX, y, kKeyRowsX + kKeyRowWidth, y + kKeyRowHeight - 3};
}

bool KeyDown(int vk) { return (sys::GetAsyncKeyState(vk) & 0x8000) != 0; }

void StartKeyWait(int action)
{
    waitingAction = action;
    waitStepsLeft = kKeyWaitSteps;
    for (int vk = 0; vk < kKeyCount; ++vk) heldAtWait[vk] = KeyDown(vk);
}

// A step of the wait: the first key or button to go down binds the row
// (swapping with the action that had it); keys that act on their own (F1,
// T, P) are passed over.  Nothing else on the screen answers meanwhile, so a
// click binds its button instead of pressing what is under the cursor, and
// the click latch, set by the click on the row, stays set until the button
// is seen up over a button again: the click that bound presses nothing.
void WaitForKey()
{
    for (int vk = 1; vk < kKeyCount; ++vk) {
        if (!KeyDown(vk)) {
            heldAtWait[vk] = false;
            continue;
        }
        if (heldAtWait[vk] || !BindableKey(vk)) continue;
        BindBattleKey(KeyChoice, static_cast<BattleAction>(waitingAction), vk);
        waitingAction = -1;
        return;
    }
    if (--waitStepsLeft <= 0) waitingAction = -1;
}

void TellRefused(const gfx::PresentParameters& asked)
{
    char text[200];
    std::snprintf(text, sizeof text,
                  "The display cannot run %u x %u %s.\nThe settings stay as they were and are not saved.",
                  asked.backBufferWidth, asked.backBufferHeight, asked.windowed ? "in a window" : "full screen");
    sys::MessageBox(text, "VARNOK", sys::MB_OK);
}

// The levels and keys chosen are those in force from now on, and stored
// (not by a replay: the player's file is not the replay's).
void ApplySettings()
{
    SoundVolume = VolumeChoice;
    std::copy(std::begin(KeyChoice), std::end(KeyChoice), BattleKeys);
    ApplySoundLevels(SoundVolume);
    std::string why;
    if (!ReplayingSession && !SaveSettings(&why)) {
        std::string text = "The settings could not be saved in " + SettingsSavePath() + ": " + why +
                           ".\nThey apply until the game is closed.";
        sys::MessageBox(text.c_str(), "VARNOK", sys::MB_OK);
    }
}

void Apply()
{
    ApplySettings();
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
        if (ReplayingSession)
            TellAtFoot("A replay saves nothing: what was applied holds until the game is closed.");
        else if (!SaveOptions(&why)) {
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
        ApplySoundLevels(SoundVolume);  // the levels not applied are heard no more
        FadeWholeScreen();
        SceneProc = TitleMenu;
    }
    int32_t tabState = 0;
    for (int t = 0; t < kOptionsTabCount; ++t)
        if (MenuClick(kTabBoxes[t], &tabState)) OptionsTab = t;
    // Each tab's controls answer on their own tab only.
    if (OptionsTab == kDisplayTab) {
        if (MenuClick(kLeftBoxes[0], &ButtonState[kLeftStates[0]])) ResolutionChoice = std::max(ResolutionChoice - 1, 0);
        if (MenuClick(kRightBoxes[0], &ButtonState[kRightStates[0]])) ResolutionChoice = std::min(ResolutionChoice + 1, 2);
        if (MenuClick(kLeftBoxes[1], &ButtonState[kLeftStates[1]])) ScreenModeChoice = ScreenModeChoice ? 0 : 1;
        if (MenuClick(kRightBoxes[1], &ButtonState[kRightStates[1]])) ScreenModeChoice = ScreenModeChoice ? 0 : 1;
        if (MenuClick(kLeftBoxes[2], &ButtonState[kLeftStates[2]]) && ShadowChoice > 0) ShadowChoice -= 1;
        if (MenuClick(kRightBoxes[2], &ButtonState[kRightStates[2]]) && ShadowChoice < 3) ShadowChoice += 1;
    } else if (OptionsTab == kAudioTab) {
        for (int r = 0; r < 3; ++r) {
            int32_t& level = VolumeChoice.*kLevelOf[r];
            const int32_t before = level;
            if (MenuClick(kLeftBoxes[r], &ButtonState[kLeftStates[r]])) level = std::max(level - 1, 0);
            if (MenuClick(kRightBoxes[r], &ButtonState[kRightStates[r]])) level = std::min(level + 1, kSoundLevelMax);
            if (level != before) ApplySoundLevels(VolumeChoice);
        }
    } else {
        for (int a = 0; a < kBattleActionCount; ++a)
            if (MenuClick(KeyRowBox(a), &rowState[a])) StartKeyWait(a);
    }
}

// Text with its top left (or with DT_CENTER its top middle) at design (x, y),
// moved down `dy` screen pixels: the fonts keep their size at every scale.
void Text(gfx::Font* font, const char* text, int32_t x, int32_t y, uint32_t colour, uint32_t format = gfx::DT_LEFT,
          int32_t dy = 0)
{
    const int32_t left = static_cast<int32_t>(x * scaleX), top = static_cast<int32_t>(y * scaleY) + dy;
    gfx::Rect at{left, top, left, 0};
    gfx::FontDrawText(font, nullptr, text, -1, &at, format | gfx::DT_NOCLIP, colour);
}

// A plain box in design space, in the sprite batch.
void FillBox(const MenuBox& box, uint32_t colour)
{
    const Vec3 corner{0, 0, 0};
    DrawAtlasSprite(BitTexture, {0, 0, 1, 1},
                    MatScaling((box.x1 - box.x0) * scaleX, (box.y1 - box.y0) * scaleY, 0) *
                        MatTranslation(box.x0 * scaleX, box.y0 * scaleY, 0),
                    colour, &corner);
}

void DrawArrows()
{
    for (int r = 0; r < 3; ++r) {
        const float y = kRowY[r] + 15;
        DrawMenuImage(FrontEnd.menuLog, kLeftImage, 310, y, ButtonColour(ButtonState[kLeftStates[r]], kOptionsIdleGrey));
        DrawMenuImage(FrontEnd.menuLog, kRightImage, 665, y, ButtonColour(ButtonState[kRightStates[r]], kOptionsIdleGrey));
    }
}

void DrawAudioText()
{
    for (int r = 0; r < 3; ++r) {
        const int32_t level = VolumeChoice.*kLevelOf[r];
        char value[16];
        if (level == 0) std::snprintf(value, sizeof value, "OFF");
        else std::snprintf(value, sizeof value, "%d %%", level * 100 / kSoundLevelMax);
        // The value's middle level with the arrows', the name above it.
        const int32_t middle = static_cast<int32_t>(kRowY[r]) + 15, dy = -kLargeFontHeight / 2 - 1;
        Text(LargeFont, kLevelNames[r], 487, middle - 40, kLabelColour, gfx::DT_CENTER, dy);
        Text(LargeFont, value, 487, middle, kHeadingColour, gfx::DT_CENTER, dy);
    }
}

void DrawInputRows()
{
    if (!BitTexture) return;
    FillBox(kPanelInside, kPanelColour);
    for (int a = 0; a < kBattleActionCount; ++a)
        FillBox(KeyRowBox(a), a == waitingAction ? kRowWaiting : rowState[a] ? kRowHover : kRowIdle);
}

void DrawInputText()
{
    Text(SmallFont, "KEYBOARD AND MOUSE", kKeyRowsX, kHeadingY, kHeadingColour);
    for (int a = 0; a < kBattleActionCount; ++a) {
        const MenuBox box = KeyRowBox(a);
        const bool waiting = a == waitingAction;
        const char* key = waiting ? "press..." : KeyName(KeyChoice[a]);
        // Centred in the row at every scale.
        const int32_t middle = (box.y0 + box.y1) / 2, dy = -kSmallFontHeight / 2 - 1;
        Text(SmallFont, BattleActionLabel(static_cast<BattleAction>(a)), box.x0 + 8, middle, kLabelColour,
             gfx::DT_LEFT, dy);
        Text(SmallFont, key ? key : "?", box.x0 + kKeyNameX, middle, waiting ? kLabelColour : kHeadingColour,
             gfx::DT_LEFT, dy);
    }
    char note[96];
    if (waitingAction >= 0)
        std::snprintf(note, sizeof note, "Press a key or mouse button (%d s, then no change)",
                      (waitStepsLeft + 59) / 60);
    else
        std::snprintf(note, sizeof note, "Click a row, then a key; a key in use swaps.");
    Text(SmallFont, note, kKeyRowsX, kKeyRowsTop + kBattleActionCount * kKeyRowHeight + 8, kNoteColour);
    Text(SmallFont, "GAMEPAD (FIXED)", kPadX, kHeadingY, kHeadingColour);
    for (int i = 0; i < static_cast<int>(std::size(kPadLines)); ++i) {
        const int32_t y = kPadTop + i * kPadEntryHeight;
        Text(SmallFont, kPadLines[i].control, kPadX, y, kLabelColour);
        Text(SmallFont, kPadLines[i].action, kPadX + 14, y + kPadActionY, kHeadingColour);
    }
}

void Draw()
{
    BeginMenuFrame(0xFF0000FF);
    BeginMenuSprites();
    DrawMenuBackground(FrontEnd.options, kHoverWhite);
    DrawMenuImage(FrontEnd.menuLog, kOptionsBackImage, 79, 565, ButtonColour(ButtonState[kOptionsBack], kOptionsIdleGrey));
    DrawMenuImage(FrontEnd.menuLog, kApplyImage, 79, 516, ButtonColour(ButtonState[kOptionsApply], kOptionsIdleGrey));
    for (int t = 0; t < kOptionsTabCount; ++t)
        DrawMenuImage(FrontEnd.menuLog, kTabImages[t], 79, kTabY[t], t == OptionsTab ? kHoverWhite : kUnselectedTab);
    if (OptionsTab == kDisplayTab) {
        for (int r = 0; r < 3; ++r) DrawMenuImage(FrontEnd.menuLog, kRowLabels[r], 460, kRowY[r], kHoverWhite);
        const int32_t res = std::clamp(ResolutionChoice, 0, 2);
        const int32_t mode = ScreenModeChoice ? 1 : 0;
        const int32_t shadow = std::clamp(ShadowChoice, 0, 3);
        DrawMenuImage(FrontEnd.menuLog, kResolutionValues[res], 490, 165, kHoverWhite);
        DrawMenuImage(FrontEnd.menuLog, kModeValues[mode], 490, 310, kHoverWhite);
        DrawMenuImage(FrontEnd.menuLog, kShadowValues[shadow], 490, 455, kHoverWhite);
    }
    if (OptionsTab != kInputTab) DrawArrows();
    else DrawInputRows();
    EndMenuSprites();
    if (OptionsTab == kAudioTab) DrawAudioText();
    if (OptionsTab == kInputTab) DrawInputText();
    DrawFade(2);
    EndMenuFrame();
}
}  // namespace

void OptionsScreen()
{
    if (!MenuTick(&lastRun)) return;
    if (waitingAction >= 0) WaitForKey();
    else Input();
    Draw();
}
