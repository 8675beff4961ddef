#include "units/unit_draw.h"

#include "platform/gfx.h"
#include "records/state.h"

void DrawFrozenParts(const PlacedPart* parts, int count, float distance)
{
    gfx::SetRenderState(gfx::RS_FOGENABLE, 0);
    gfx::SetRenderState(gfx::RS_ALPHABLENDENABLE, 0);
    uint32_t passes = 0;
    gfx::EffectBegin(BattleEffect, &passes);
    gfx::EffectBeginPass(BattleEffect, 0);
    for (int k = 0; k < count; ++k) {
        gfx::EffectSetMatrix(BattleEffect, "matWVP", parts[k].world * ViewMatrix * ProjectionMatrix);
        gfx::EffectSetMatrix(BattleEffect, "matWorld", parts[k].world);
        gfx::EffectCommitChanges(BattleEffect);
        DrawModelPartSubsets(parts[k].part, distance);
    }
    gfx::EffectEndPass(BattleEffect);
    gfx::EffectEnd(BattleEffect);
    gfx::SetRenderState(gfx::RS_FOGENABLE, 1);
    gfx::SetRenderState(gfx::RS_ALPHABLENDENABLE, 1);
}
