// The FT17_BER (kind 5), a small light tank of the first armoured wars: a
// tall narrow hull with a tail, a small turret, and track frames with a big
// idler in front.  It is only looked at: a model set, its release, and a
// draw that poses the turret and gun.
#include "units/tanks/model_tanks.h"
#include "units/tanks/tank_kinds.h"

namespace {
TankModelSet Set;
enum { kBody, kTurret, kGun };                   // Set.top
enum { kRearWheel, kIdler, kTrackFrame };        // Set.wheel
// The tracks (and the frames over them) are one mesh whose middle lies
// 0.1 right of its origin, so these two offsets put them at x = +-0.85.
constexpr Vec3 kRightTrack = {0.75f, -0.19f, -0.4f};
constexpr Vec3 kLeftTrack = {-0.95f, -0.19f, -0.4f};
}  // namespace

const TankHitModels kFt17HitModels = {&Set.top[kBody], &Set.top[kTurret]};

void LoadFt17()
{
    ReleaseFt17();
    LoadTankPart(&Set.top[kBody], "LAND/FT17_BER/body.x", true);
    LoadTankPart(&Set.top[kTurret], "LAND/FT17_BER/top1.x", true);
    LoadTankPart(&Set.top[kGun], "LAND/FT17_BER/top2.x", true);
    LoadSimpleModel(&Set.track, "LAND/FT17_BER/wheel.x");
    LoadTankPart(&Set.wheel[kRearWheel], "LAND/FT17_BER/wheel1.x", false);
    LoadTankPart(&Set.wheel[kIdler], "LAND/FT17_BER/wheel2.x", false);
    LoadTankPart(&Set.wheel[kTrackFrame], "LAND/FT17_BER/wheel3.x", false);
}

void ReleaseFt17() { ReleaseTankModelSet(Set); }

void DrawFt17(TankUnit& t)
{
    DrawTankPart(t, &Set.top[kBody], t.world);
    DrawTankPart(t, &Set.top[kTurret], PlaceTurret(t, 0.75f));
    DrawTankPart(t, &Set.top[kGun], PlaceGun(t, {0, 0.38f, 0.53f}));
    DrawTrack(t, &Set.track, kRightTrack, 600.0f);
    DrawTrack(t, &Set.track, kLeftTrack, 600.0f);
    // The frames stand still over the moving tracks.
    for (Vec3 at : {kRightTrack, kLeftTrack})
        DrawTankPart(t, &Set.wheel[kTrackFrame], MatTranslation(at.x, at.y, at.z) * t.world);
    DrawWheelPair(t, &Set.wheel[kRearWheel], 0.85f, -0.3f, -2.11f);
    DrawWheelPair(t, &Set.wheel[kIdler], 0.85f, -0.1f, 1.2f);
}

TankKind Ft17Kind()
{
    return ModelOnlyTankKind(5, "FT17_BER", 0.8f, {0.9f, 0, 2.0f}, {0, 0, 0}, &kFt17HitModels, LoadFt17, ReleaseFt17,
                             DrawFt17);
}
