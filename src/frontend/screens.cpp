// The table of front-end screens: every scene routine a player can stand
// in before a battle, with the name reports and messages give it.  A new
// screen is its own file here plus one row.
#include "services/device.h"
#include "services/display.h"
#include "services/options.h"
#include "services/report.h"
#include "services/scene.h"
#include "frontend/frontend.h"
#include "frontend/menu.h"
#include "world/sky.h"

namespace {
struct Screen {
    SceneFn scene;
    const char* name;
};
const Screen kScreens[] = {
    {TitleInit, "TitleInit"},
    {TitleMenu, "TitleMenu"},
    {ForcesSelect, "ForcesSelect"},
    {TankSelect, "TankSelect"},
    {RobotSelect, "RobotSelect"},
    {StageSet, "StageSet"},
    {OptionsScreen, "OptionsScreen"},
};
}  // namespace

void NameFrontEndScenes()
{
    for (const Screen& s : kScreens) NameScene(s.scene, s.name);
}

namespace {
// The choices the menus hold and the display they are laid out on.
void WriteMenuReport(JsonWriter& w)
{
    w.BeginObject("menu");
    w.String("side", PlayerSide == 0 ? "earth" : "mercury");
    w.Integer("tank_type", TankTypeId);
    w.Integer("robot_type", RobotTypeId);
    w.Integer("earth_count", EarthCount);
    w.Integer("mercury_count", MercuryCount);
    w.Integer("sky", SkyId);
    w.Integer("minutes", BattleMinutes);
    w.Integer("width", BackBufferWidth());
    w.Integer("height", BackBufferHeight());
    w.Bool("windowed", PresentParams.windowed);
    w.Integer("shadow_map_size", OptionData.shadowMapSize);
    w.Number("scale_x", scaleX);
    w.Number("scale_y", scaleY);
    w.Integer("resolution_choice", ResolutionChoice);
    w.Integer("screen_mode_choice", ScreenModeChoice);
    w.Integer("shadow_choice", ShadowChoice);
    w.EndObject();
}
}  // namespace

void RegisterMenuReport() { AddReportSection(WriteMenuReport); }
