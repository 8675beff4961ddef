// The TIGER's flames drawn into the OpenGL device and read back: a flame is
// a point sprite of the fire picture, scaled with distance, and the flame
// draw leaves the sprite states as it found them.  Needs an X display (the
// test command runs these under Xvfb).
#include <gtest/gtest.h>

#include "ci.h"
#include "gl_window.h"

#include <cstdlib>
#include <unistd.h>

#include <climits>
#include <vector>

#include "assets/model.h"
#include "platform/gfx.h"
#include "platform/system.h"
#include "records/state.h"
#include "units/tanks/tank_kinds.h"

using namespace gfx;

namespace {
constexpr int kSize = 256;

class TigerFlames : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!GlWindowReady()) SKIP_UNLESS_CI("no X display or no OpenGL 3.3");
        ASSERT_NE(getcwd(cwd_, sizeof cwd_), nullptr);
        ASSERT_EQ(chdir(VARNOK_PACK), 0);
        Reset({kSize, kSize, FMT_X8R8G8B8, true});
    }
    void TearDown() override
    {
        ReleaseTiger();
        EXPECT_EQ(chdir(cwd_), 0);
    }
    std::vector<uint32_t> Pixels()
    {
        Surface* bb = nullptr;
        GetBackBuffer(&bb);
        std::vector<uint32_t> px;
        EXPECT_FALSE(Failed(ReadSurface(bb, &px)));
        Release(bb);
        return px;
    }
    char cwd_[PATH_MAX];
};

uint32_t R(uint32_t c) { return (c >> 16) & 0xFF; }
uint32_t G(uint32_t c) { return (c >> 8) & 0xFF; }
uint32_t B(uint32_t c) { return c & 0xFF; }
}  // namespace

TEST_F(TigerFlames, AFlameTenAheadIsALargeSpriteOfTheFirePicture)
{
    LoadTiger();
    // The camera at the origin looking along +z; the flame 10 ahead.
    const Mat4 view = MatIdentity();
    SetTransform(TS_VIEW, view);
    SetTransform(TS_PROJECTION, MatPerspectiveFovLH(60 * kDegToRad, 1.0f, 0.1f, 100.0f));
    BuildViewFrustum(&BattleFrustum, view, 60.0f, 1.0f, 0.1f, 100.0f);
    static TankUnit t;
    t = TankUnit{};
    FireTiger(t, MatTranslation(0, 0, 10), kWeaponSecond);
    ASSERT_EQ(t.bullets[0].state, kShotActive);

    // The additive block as the scene pass leaves it for the shots.
    Clear(CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    SetRenderState(RS_LIGHTING, 0);
    SetRenderState(RS_ZWRITEENABLE, 0);
    SetRenderState(RS_CULLMODE, CULL_NONE);
    SetRenderState(RS_ALPHABLENDENABLE, 1);
    SetRenderState(RS_SRCBLEND, BLEND_SRCALPHA);
    SetRenderState(RS_DESTBLEND, BLEND_ONE);
    DrawTigerFlames(t);
    EXPECT_EQ(GetRenderState(RS_POINTSPRITEENABLE), 0u);  // put back
    EXPECT_EQ(GetRenderState(RS_POINTSCALEENABLE), 0u);
    auto px = Pixels();

    // 0.23 at distance 10 with the particles' scaling: about 18 pixels across.
    int lit = 0;
    for (uint32_t c : px) lit += (c & 0xFFFFFF) > 0x080808 ? 1 : 0;
    EXPECT_GT(lit, 150);
    EXPECT_LT(lit, 500);
    // A hot yellow-white core and redder, darker flanks: the picture, not a
    // flat square of one colour.
    uint32_t centre = px[(kSize / 2) * kSize + kSize / 2];
    EXPECT_GT(R(centre), 200u);
    EXPECT_GT(G(centre), 140u);
    EXPECT_GE(R(centre), B(centre));
    uint32_t flank = px[(kSize / 2) * kSize + kSize / 2 + 6];
    EXPECT_LT(G(flank), G(centre));
    EXPECT_GT(R(flank), B(flank));
    ReleaseTiger();
}
