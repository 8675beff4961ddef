// The front end: the screens a player passes through before a battle and
// comes back to after it.  The title loads the pictures and planets every
// screen draws, puts the battle settings back to their defaults (the side
// chosen last stays) and shows the main menu; then the forces screen, the
// tank or robot select screen with its turning preview, the stage screen
// whose Start releases the front end and starts the battle, and the options
// screen.  The screens and their scene routines are listed in screens.cpp.
#pragma once

#include <cstdint>

#include "services/state.h"
#include "assets/model.h"
#include "records/state.h"
#include "platform/gfx.h"

// --- scene routines, one file each ----------------------------------------------------
void TitleInit();      // title.cpp: loads, resets, installs TitleMenu
void TitleMenu();
void ForcesSelect();   // forces.cpp
void TankSelect();     // unit_select.cpp
void RobotSelect();
void StageSet();       // stage.cpp
void OptionsScreen();  // options_screen.cpp

// Every front-end scene named for reports, and the menus' section of the
// run report (the choices held and the display they are laid out on).
void NameFrontEndScenes();
void RegisterMenuReport();
// The front end's red haze, far off: set by the title and again after the
// options screen resets the device.
void SetFrontEndFog();
// The render states every screen draws with, fog included: set by the title,
// so a battle's passes leave nothing behind.
void SetFrontEndRenderStates();

// Button states: idle, under the cursor, pressed (the step the click fired).
enum : int32_t { kButtonIdle = 0, kButtonHover = 1, kButtonPressed = 2 };

// One state per button, kept between steps and screens; buttons at the
// same place on several screens share one.
enum : int {
    kTitleStart, kTitleSecond, kTitleOptions, kTitleQuit,
    kBackButton,   // Back of the forces, select and stage screens
    kNextButton,   // Next of the select screens, Start of the stage screen
    kLeftArrow, kRightArrow,       // the select screens' arrows
    kMapLeft, kMapRight, kSkyLeft, kSkyRight,
    kOptionsApply, kOptionsBack,
    kButtonStateCount = 16
};

// ============================ shared state ==============================================
// What the screens keep between steps and between screens.  Everything the
// front end shares is declared in this header.
extern int32_t ButtonState[kButtonStateCount];
extern int32_t ClickLatch;   // 1 while a press that clicked, or began off every button, is held
extern int32_t FadeAlpha;    // 0..255
extern gfx::Rect FadeRect;   // back-buffer pixels


// --- what the title loads and Start releases (resources.cpp) ----------------------------
struct FrontEndPictures {
    gfx::Texture* mainMenu;
    gfx::Texture* menuLog;        // buttons, tabs, option values
    gfx::Texture* forces;         // the forces screen's background
    gfx::Texture* forcesCaptions;
    gfx::Texture* select;         // the select screens' background
    gfx::Texture* selectPanel;
    gfx::Texture* selectBand;
    gfx::Texture* stage;
    gfx::Texture* options;
    gfx::Texture* logo;           // arrows, digits, name plates
};
extern FrontEndPictures FrontEnd;
extern SimpleModel EarthModel, MercuryModel, StarSphere;

// The pictures, and "Map/Bit.bmp", which a battle releases; the planets
// the first time only: they stay loaded between visits (a model that would
// not load is not tried again on every visit).
void LoadFrontEnd();
// The pictures, each reference cleared; the planets stay.  "Map/Bit.bmp"
// stays.  Safe to run again or before anything was loaded.
void ReleaseFrontEnd();
// The planets too, at shutdown; the next LoadFrontEnd loads them again.
void ReleaseFrontEndModels();

// The units the select screens turn, never in a battle.
extern TankUnit PreviewTank;
extern RobotUnit PreviewRobot;
// Both previews alive, whole and back at their start: the tank at (0, 0, 3),
// the robot at (0, 0.6, 4) with every part there.
void ResetPreviewUnits();

// --- settings the screens share -------------------------------------------------------
// The forces screen's planets and captions.
struct PlanetSwing {
    float x, z, angle;
};
extern PlanetSwing EarthSwing, MercurySwing;
extern float StarSphereAngle;
extern int32_t NeutralCaptionAlpha, EarthCaptionAlpha, MercuryCaptionAlpha;
extern int32_t EarthHovered, MercuryHovered;
// Both planets back at their far positions, as every way into the forces
// screen leaves them.
void ResetPlanets();

// The options screen's choices, filled from what runs by the title's
// options button (ScreenModeChoice lives with the options file).
extern int32_t ResolutionChoice;  // index into kResolutions
extern int32_t ShadowChoice;      // index into kShadowSizes
struct Resolution {
    uint32_t width, height;
};
constexpr Resolution kResolutions[3] = {{640, 480}, {800, 600}, {1024, 768}};
// Shadow map edges from off (1) to high.
constexpr int32_t kShadowSizes[4] = {1, 512, 1024, 1600};
// The tabs: display (the options file), audio and input (the settings file).
enum : int32_t { kDisplayTab, kAudioTab, kInputTab, kOptionsTabCount };
extern int32_t OptionsTab;
// The audio tab's levels, on the device while they change, and the input
// tab's keys; Apply makes them SoundVolume and BattleKeys.
extern SoundLevels VolumeChoice;
extern int32_t KeyChoice[kBattleActionCount];
void FillOptionChoices();

// The stage screen's hover flags of its count and time arrows (no pressed
// state), cleared by the title.
enum : int { kEarthUp, kEarthDown, kMercuryUp, kMercuryDown, kTimeDown, kTimeUp, kStageArrowCount };
extern int32_t StageArrowHover[kStageArrowCount];

// Which kinds may be driven into battle: the others are only looked at.
bool TankKindFights(int32_t kind);
bool RobotKindFights(int32_t kind);
// =========================================================================================
