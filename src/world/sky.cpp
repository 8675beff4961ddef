#include "world/sky.h"


namespace {
const char* const kSkyFiles[9] = {
    "Sky/Sky_CloudyDay1.x", "Sky/Sky_Morning1.x", "Sky/Sky_Evening1.x", "Sky/Sky_Evening2.x", "Sky/Sky_Evening3.x",
    "Sky/Sky_FineDay1.x",   "Sky/Sky_Night.x",    "Sky/Sky_SunnyDay1.x", "Sky/Sky_SunnyDay2.x",
};
const uint32_t kFog[9] = {0xFF343C40, 0xFF58503C, 0xFF3E3C2F, 0xFF4B463F, 0xFF523318,
                          0xFF565F63, 0xFF2D5064, 0xFF48525B, 0xFF646464};
// Loaded (and released) in this order, unlike the id order of the stage screen.
const int kLoadOrder[9] = {0, 2, 3, 4, 1, 5, 6, 7, 8};
}  // namespace

bool SkyFogColour(int32_t skyId, uint32_t* argb)
{
    if (skyId < 200 || skyId > 208) return false;
    *argb = kFog[skyId - 200];
    return true;
}

void LoadSkies()
{
    for (int k : kLoadOrder) LoadSimpleModel(&Skies[k], kSkyFiles[k]);
}

void DrawSky(int32_t skyId)
{
    gfx::SetRenderState(gfx::RS_FOGENABLE, 0);
    gfx::SetTransform(gfx::TS_WORLD, MatScaling(400, 400, 400) * MatTranslation(500, 0, 500));
    if (skyId >= 200 && skyId <= 208) DrawSimpleModel(&Skies[skyId - 200]);
    gfx::SetRenderState(gfx::RS_FOGENABLE, 1);
}

void ReleaseSkies()
{
    for (int k : kLoadOrder) ReleaseSimpleModel(&Skies[k]);
}
