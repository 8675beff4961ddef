// The services' shared state: what every screen reads of the device, the
// display, the options and the scene switch, declared here and only here.
#pragma once

#include <cstdint>

#include "math/vecmath.h"
#include "platform/gfx.h"

// The four display settings the options file keeps between runs.
struct OptionRecord {
    int32_t fullScreen;     // 1 exclusive full screen, 0 window
    int32_t screenWidth;    // back buffer and client width
    int32_t screenHeight;
    int32_t shadowMapSize;  // square shadow texture edge; 1 turns shadows off
};

// The version the title shows and --version prints.
constexpr const char* kGameVersion = "Ver.1.01";

// What the player does in a battle, each bound to one virtual key (a mouse
// button is a key too).
enum BattleAction : int32_t {
    kActForward,
    kActBackward,
    kActTurnLeft,
    kActTurnRight,
    kActTurretLeft,
    kActTurretRight,
    kActGunUp,
    kActGunDown,
    kActFire,
    kActSwitchWeapon,
    kActNextView,
    kActScoreboard,
    kActPause,
    kBattleActionCount
};

// The sound levels the settings file keeps, 0 (silent) to kSoundLevelMax
// (as recorded): the master over every sound, the engine and walking loops,
// and every other sound (shots, hits, explosions).
struct SoundLevels {
    int32_t master;
    int32_t effects;
    int32_t engine;
};
constexpr int32_t kSoundLevelMax = 10;
constexpr SoundLevels kDefaultSoundLevels = {kSoundLevelMax, kSoundLevelMax, kSoundLevelMax};

// A screen: the loop calls the current one whenever no window message waits.
using SceneFn = void (*)();

// ============================ shared state ==============================================
// --- the graphics device and the render resources every screen shares ---------------------
extern gfx::PresentParameters PresentParams;   // live; the options screen edits them
extern gfx::PresentParameters CreationParams;  // as created; a failed present resets to them
extern gfx::Surface* BackBufferSurface;
extern gfx::Surface* DefaultDepthSurface;
extern gfx::Font* SmallFont;   // 16 pixels
extern gfx::Font* LargeFont;   // 28 pixels
extern gfx::Sprite* SpriteBatcher;
extern gfx::Effect* ShadowEffect;
extern gfx::Texture* ShadowTexture;
extern gfx::Surface* ShadowDepthSurface;
extern Mat4 ShadowBias;  // light clip space to shadow texture space

// --- the running display: the 2D layout factors (the screens are laid out
// for 800 x 600) -----------------------------------------------------------------------------
extern float scaleX;
extern float scaleY;

// --- the options --------------------------------------------------------------------------
extern OptionRecord OptionData;
// The options screen's mode choice: 0 full screen, 1 window.
extern int32_t ScreenModeChoice;

// --- the battle's controls: the virtual key of each action -------------------------------------
extern int32_t BattleKeys[kBattleActionCount];

// --- the sound levels in force (the settings file keeps them) ---------------------------------
extern SoundLevels SoundVolume;

// --- a recorded session playing again: the display, levels and keys it
// brings live for this run only, and the options screen saves nothing -----------------------
extern bool ReplayingSession;

// --- the scene switch: the screen the loop calls ---------------------------------------------
extern SceneFn SceneProc;
// =========================================================================================
