// What the front end holds while it is shown: its pictures and planets, the
// preview units, and the settings its screens share.
#include "frontend/frontend.h"

#include <algorithm>
#include <iterator>

#include "services/display.h"
#include "services/device.h"
#include "services/options.h"
#include "units/robots/robot_kinds.h"
#include "units/tanks/tank_kinds.h"

FrontEndPictures FrontEnd = {};
SimpleModel EarthModel, MercuryModel, StarSphere;
TankUnit PreviewTank;
RobotUnit PreviewRobot;

PlanetSwing EarthSwing = {-2.5f, 1.0f, 0.0f};
PlanetSwing MercurySwing = {2.5f, 1.0f, 0.0f};
float StarSphereAngle = 0.0f;
int32_t NeutralCaptionAlpha = 255, EarthCaptionAlpha = 0, MercuryCaptionAlpha = 0;
int32_t EarthHovered = 0, MercuryHovered = 0;

int32_t ResolutionChoice = 1;
int32_t ShadowChoice = 2;
int32_t OptionsTab = 0;
SoundLevels VolumeChoice = kDefaultSoundLevels;
int32_t KeyChoice[kBattleActionCount] = {};
int32_t StageArrowHover[kStageArrowCount] = {};

namespace {
struct PictureFile {
    gfx::Texture* FrontEndPictures::*slot;
    const char* path;
    uint32_t size[2];
    uint32_t colourKey;  // 0: none
};
const PictureFile kPictures[] = {
    {&FrontEndPictures::mainMenu, "Title/MainMenu.bmp", {1024, 1024}, 0},
    {&FrontEndPictures::menuLog, "Title/MenuLog.bmp", {1024, 1024}, 0xFFFF00FF},
    {&FrontEndPictures::forces, "Title/ForcesSelectMenu.bmp", {1024, 1024}, 0xFFFFFFFF},
    {&FrontEndPictures::forcesCaptions, "Title/ForcesSelectMenu1.bmp", {512, 512}, 0xFFFFFFFF},
    {&FrontEndPictures::select, "Title/SelectMenu.bmp", {1024, 1024}, 0xFFFFFFFF},
    {&FrontEndPictures::selectPanel, "Title/Selectback1.bmp", {512, 512}, 0},
    {&FrontEndPictures::selectBand, "Title/Selectback2.bmp", {1024, 256}, 0},
    {&FrontEndPictures::stage, "Title/StageSet.bmp", {1024, 1024}, 0xFFFFFFFF},
    {&FrontEndPictures::options, "Title/Option.bmp", {1024, 1024}, 0},
    {&FrontEndPictures::logo, "Title/Game_Logo1.bmp", {512, 512}, 0xFFFF00FF},
};

struct StarFile {
    SimpleModel* model;
    const char* path;
};
const StarFile kStars[] = {
    {&EarthModel, "Star/Earth/Earth.x"},
    {&MercuryModel, "Star/Mercury/Mer.x"},
    {&StarSphere, "Star/universe/universe.x"},
};
bool gStarsLoaded = false;  // the planets stay loaded between visits
}  // namespace

void LoadFrontEnd()
{
    ReleaseFrontEnd();  // a second visit never holds two copies
    gfx::Release(BitTexture);
    LoadTexture(&BitTexture, "Map/Bit.bmp", 1, 1, 0);
    for (const PictureFile& p : kPictures)
        LoadTexture(&(FrontEnd.*p.slot), p.path, p.size[0], p.size[1], p.colourKey);
    if (!gStarsLoaded)
        for (const StarFile& s : kStars) LoadSimpleModel(s.model, s.path);
    gStarsLoaded = true;
}

void ReleaseFrontEnd()
{
    for (const PictureFile& p : kPictures) gfx::Release(FrontEnd.*p.slot);
}

void ReleaseFrontEndModels()
{
    for (const StarFile& s : kStars) ReleaseSimpleModel(s.model);
    gStarsLoaded = false;
}

void ResetPreviewUnits()
{
    // Alive and whole: a record left at zero would show a wreck, its
    // turret and arms flying off.
    const Mat4 tankAt = MatTranslation(0, 0, 3.0f);
    PreviewTank.world = PreviewTank.turretWorld = PreviewTank.gunWorld = tankAt;
    PreviewTank.turretYaw = PreviewTank.gunPitch = PreviewTank.trackTravel = 0;
    PreviewTank.alive = 1;
    PreviewTank.hp = 256;
    const Mat4 robotAt = MatTranslation(0, 0.6f, 4.0f);
    for (Mat4& m : PreviewRobot.partWorld) m = robotAt;
    PreviewRobot.aimYaw = PreviewRobot.aimPitch = PreviewRobot.legHeading = 0;
    PreviewRobot.alive = 1;
    PreviewRobot.hp = 256;
}

void ResetPlanets()
{
    EarthSwing.x = -2.5f;
    EarthSwing.z = 1.0f;
    MercurySwing.x = 2.5f;
    MercurySwing.z = 1.0f;
}

void FillOptionChoices()
{
    // A size or shadow edge not in the tables leaves its choice as it was.
    for (int32_t k = 0; k < 3; ++k)
        if (static_cast<uint32_t>(BackBufferWidth()) == kResolutions[k].width &&
            static_cast<uint32_t>(BackBufferHeight()) == kResolutions[k].height)
            ResolutionChoice = k;
    ScreenModeChoice = PresentParams.windowed ? 1 : 0;
    for (int32_t k = 0; k < 4; ++k)
        if (OptionData.shadowMapSize == kShadowSizes[k]) ShadowChoice = k;
    VolumeChoice = SoundVolume;
    std::copy(std::begin(BattleKeys), std::end(BattleKeys), KeyChoice);
    OptionsTab = kDisplayTab;  // the screen opens on DISPLAY, whichever tab it was left on
}

bool TankKindFights(int32_t kind) { return TankKindCanFight(kind); }

bool RobotKindFights(int32_t kind) { return RobotKindCanFight(kind); }
