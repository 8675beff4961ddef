// Units keep apart and shots find them: the three separation passes, the
// oriented-box test against an exact reference, and the per-kind hit models
// of tanks and robots.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <utility>

#include "assets/model.h"
#include "hit_models.h"
#include "records/state.h"
#include "units/robots/robot_kinds.h"
#include "units/tanks/tank_kinds.h"
#include "sides/robot_side.h"
#include "sides/tank_side.h"
#include "battle/setup.h"
#include "headless_device.h"
#include "collision/collision.h"

namespace {
Mat4 Place(float yawDeg, float pitchDeg, float rollDeg, Vec3 at)
{
    return MatRotationYawPitchRoll(yawDeg * kDegToRad, pitchDeg * kDegToRad, rollDeg * kDegToRad) *
           MatTranslation(at.x, at.y, at.z);
}

OrientedBox Box(float hx, float hy, float hz)
{
    OrientedBox b{};
    b.halfSize = {hx, hy, hz};
    b.max = b.halfSize;
    b.min = -b.halfSize;
    return b;
}

Vec3 Row(const Mat4& m, int i) { return {m.m[i][0], m.m[i][1], m.m[i][2]}; }
Vec3 At(const Mat4& m) { return Row(m, 3); }
void MoveTo(Mat4& m, float x, float y, float z) { m.m[3][0] = x, m.m[3][1] = y, m.m[3][2] = z; }

// --- an exact reference for two boxes, in doubles ------------------------------------------
// A box is its model-space corners +-halfSize carried by the world matrix.
// Two convex solids meet exactly when an edge of one meets the other solid
// (every corner of their common part lies on such an edge), so the test
// clips each box's twelve edges against the other box.
struct RefBox {
    double c[3];
    double e[3][3];  // unit axes
    double h[3];
};

RefBox Reference(const OrientedBox& box, const Mat4& world, double pad)
{
    RefBox r{};
    for (int k = 0; k < 3; ++k) r.c[k] = world.m[3][k];
    for (int i = 0; i < 3; ++i) {
        double len = std::sqrt(double(world.m[i][0]) * world.m[i][0] + double(world.m[i][1]) * world.m[i][1] +
                               double(world.m[i][2]) * world.m[i][2]);
        for (int k = 0; k < 3; ++k) r.e[i][k] = world.m[i][k] / len;
    }
    r.h[0] = box.halfSize.x + pad, r.h[1] = box.halfSize.y + pad, r.h[2] = box.halfSize.z + pad;
    return r;
}

void Corner(const RefBox& b, int bits, double out[3])
{
    for (int k = 0; k < 3; ++k) {
        out[k] = b.c[k];
        for (int i = 0; i < 3; ++i) out[k] += ((bits >> i) & 1 ? 1 : -1) * b.h[i] * b.e[i][k];
    }
}

// Whether the segment p..q meets the solid box.
bool SegmentMeetsBox(const double p[3], const double q[3], const RefBox& b)
{
    double t0 = 0, t1 = 1;
    for (int i = 0; i < 3; ++i) {
        double u = 0, du = 0;
        for (int k = 0; k < 3; ++k) u += (p[k] - b.c[k]) * b.e[i][k], du += (q[k] - p[k]) * b.e[i][k];
        if (du == 0) {
            if (std::fabs(u) > b.h[i]) return false;
            continue;
        }
        double ta = (-b.h[i] - u) / du, tb = (b.h[i] - u) / du;
        if (ta > tb) std::swap(ta, tb);
        t0 = std::max(t0, ta);
        t1 = std::min(t1, tb);
        if (t0 > t1) return false;
    }
    return true;
}

bool EdgesMeet(const RefBox& a, const RefBox& b)
{
    for (int from = 0; from < 8; ++from)
        for (int bit = 1; bit < 8; bit <<= 1) {
            if (from & bit) continue;
            double p[3], q[3];
            Corner(a, from, p);
            Corner(a, from | bit, q);
            if (SegmentMeetsBox(p, q, b)) return true;
        }
    return false;
}

bool ReferenceOverlap(const OrientedBox& a, const OrientedBox& b, const Mat4& wa, const Mat4& wb, double pad = 0)
{
    RefBox ra = Reference(a, wa, pad), rb = Reference(b, wb, pad);
    return EdgesMeet(ra, rb) || EdgesMeet(rb, ra);
}

// The reference's answer when it does not change with the boxes grown or
// shrunk by a thousandth of a unit each way; -1 for a pair that close to
// touching.
int ClearReference(const OrientedBox& a, const OrientedBox& b, const Mat4& wa, const Mat4& wb)
{
    bool grown = ReferenceOverlap(a, b, wa, wb, 1e-3), shrunk = ReferenceOverlap(a, b, wa, wb, -1e-3);
    return grown == shrunk ? int(grown) : -1;
}

struct Random {
    std::mt19937 engine{20240611u};
    float Uniform(float lo, float hi) { return lo + (hi - lo) * float((engine() >> 8) * (1.0 / 16777216.0)); }
};
}  // namespace

// --- separation ----------------------------------------------------------------------------
namespace {
class Separation : public ::testing::Test {
protected:
    void SetUp() override
    {
        earth_ = EarthCount, mercury_ = MercuryCount;
        Spread();
    }
    // All 16 a side in use, far apart in two rows, unless a case moves them.
    static void Spread()
    {
        ResetUnitRecords();
        EarthCount = MercuryCount = 16;
        for (int i = 0; i < kMaxUnits; ++i) {
            MoveTo(Tanks[i].world, 20.0f + 60 * i, 1, 50);
            MoveTo(Robots[i].World(), 20.0f + 60 * i, 1, 950);
            Tanks[i].alive = Robots[i].alive = 1;
        }
    }
    void TearDown() override
    {
        ResetUnitRecords();
        EarthCount = earth_, MercuryCount = mercury_;
    }
    int32_t earth_ = 0, mercury_ = 0;
};
}  // namespace

TEST_F(Separation, EachPassPartsAPairByHalfThenHalfOfWhatIsLeft)
{
    // The first of a pair moves (c - d) / 2 away, the second (c - d') / 2
    // with d' measured after the first moved: (3c + d) / 4 apart in all.
    struct Case {
        const char* what;
        Mat4* first;
        Mat4* second;
        void (*pass)();
        Vec3 a, b;            // starting positions
        Vec3 wantA, wantB;    // after one pass
    } cases[] = {
        {"robots 2.0 apart end 2.75 apart", &Robots[0].World(), &Robots[1].World(), SeparateRobots,
         {100, 4, 600}, {102, 7, 600}, {99.5f, 4, 600}, {102.25f, 7, 600}},
        {"tanks 4.0 apart end 4.75 apart", &Tanks[0].world, &Tanks[1].world, SeparateTanks,
         {300, 1, 100}, {300, 2, 104}, {300, 1, 99.5f}, {300, 2, 104.25f}},
        {"tank and robot 3.0 apart end 3.375 apart", &Tanks[3].world, &Robots[5].World(), SeparateTanksFromRobots,
         {500, 0, 500}, {503, 9, 500}, {499.75f, 0, 500}, {503.125f, 9, 500}},
        {"along a diagonal the direction is kept", &Tanks[0].world, &Tanks[1].world, SeparateTanks,
         {300, 1, 300}, {302.4f, 1, 303.2f}, {299.7f, 1, 299.6f}, {302.55f, 1, 303.4f}},
        {"tanks exactly 5.0 apart stay", &Tanks[0].world, &Tanks[1].world, SeparateTanks,
         {300, 1, 100}, {305, 1, 100}, {300, 1, 100}, {305, 1, 100}},
        {"robots exactly 3.0 apart stay", &Robots[0].World(), &Robots[1].World(), SeparateRobots,
         {300, 1, 600}, {300, 1, 603}, {300, 1, 600}, {300, 1, 603}},
        {"a tank and a robot 3.5 apart are not pushed", &Tanks[3].world, &Robots[5].World(), SeparateTanksFromRobots,
         {500, 0, 500}, {503.5f, 9, 500}, {500, 0, 500}, {503.5f, 9, 500}},
        {"a tank and a robot at one point stay", &Tanks[2].world, &Robots[2].World(), SeparateTanksFromRobots,
         {500, 0, 500}, {500, 9, 500}, {500, 0, 500}, {500, 9, 500}},
        {"two tanks at one point stay", &Tanks[0].world, &Tanks[1].world, SeparateTanks,
         {300, 1, 300}, {300, 5, 300}, {300, 1, 300}, {300, 5, 300}},
        {"two robots at one point stay", &Robots[0].World(), &Robots[1].World(), SeparateRobots,
         {300, 1, 600}, {300, 2, 600}, {300, 1, 600}, {300, 2, 600}},
    };
    for (const Case& c : cases) {
        Spread();
        MoveTo(*c.first, c.a.x, c.a.y, c.a.z);
        MoveTo(*c.second, c.b.x, c.b.y, c.b.z);
        Mat4 before = *c.first;
        c.pass();
        for (auto [got, want] : {std::pair{At(*c.first), c.wantA}, std::pair{At(*c.second), c.wantB}}) {
            EXPECT_NEAR(got.x, want.x, 1e-4) << c.what;
            EXPECT_EQ(got.y, want.y) << c.what;  // height is the ground pass's business
            EXPECT_NEAR(got.z, want.z, 1e-4) << c.what;
        }
        for (int i = 0; i < 3; ++i)
            for (int k = 0; k < 4; ++k) EXPECT_EQ(c.first->m[i][k], before.m[i][k]) << c.what;  // turn untouched
    }
}

TEST_F(Separation, UnitsPastTheCountsInUseStayWhereTheyAre)
{
    EarthCount = 2;
    MercuryCount = 1;
    // Tanks 0 and 1 overlap; the stale tank 2 and robot 1 sit on top of them.
    MoveTo(Tanks[0].world, 300, 0, 300);
    MoveTo(Tanks[1].world, 302, 0, 300);
    MoveTo(Tanks[2].world, 301, 0, 300);
    MoveTo(Robots[0].World(), 300, 0, 298);
    MoveTo(Robots[1].World(), 301, 0, 301);
    SeparateTanks();
    SeparateRobots();
    SeparateTanksFromRobots();
    EXPECT_NE(At(Tanks[0].world).x, 300);
    EXPECT_NE(At(Robots[0].World()).z, 298);
    EXPECT_EQ(At(Tanks[2].world).x, 301);
    EXPECT_EQ(At(Tanks[2].world).z, 300);
    EXPECT_EQ(At(Robots[1].World()).x, 301);
    EXPECT_EQ(At(Robots[1].World()).z, 301);
}

TEST_F(Separation, WrecksArePushedLikeLiveUnits)
{
    Tanks[1].alive = 0;
    Robots[0].alive = 0;
    MoveTo(Tanks[0].world, 300, 0, 300);
    MoveTo(Tanks[1].world, 304, 0, 300);
    MoveTo(Robots[0].World(), 300, 0, 302);
    MoveTo(Robots[1].World(), 300, 0, 304);
    SeparateTanks();
    SeparateRobots();
    EXPECT_NEAR(At(Tanks[1].world).x, 304.25f, 1e-4);
    EXPECT_NEAR(At(Robots[0].World()).z, 301.5f, 1e-4);
}

// --- box tests -----------------------------------------------------------------------------
TEST(BoxTest, AxisWithNoLengthNeverSeparates)
{
    OrientedBox a = Box(1, 1, 1), b = Box(1, 1, 1);
    SetBoxAxes(&a, MatIdentity());
    SetBoxAxes(&b, MatIdentity());
    EXPECT_TRUE(BoxAxisOverlap(a, b, {0, 0, 0}, {100, 0, 0}));
    EXPECT_FALSE(BoxAxisOverlap(a, b, {1, 0, 0}, {100, 0, 0}));
    EXPECT_TRUE(BoxAxisOverlap(a, b, {0, 1, 0}, {100, 0, 0}));
}

TEST(BoxTest, BoxAxesAreTheWorldMatrixRows)
{
    // Pitch and roll together, yawed too, and a scaled matrix: the axes are
    // the rows, each of unit length.
    const Mat4 worlds[] = {Place(0, 20, 0, {1, 2, 3}), Place(0, 0, 30, {}), Place(40, 15, 25, {500, 3, 200}),
                           MatScaling(2, 3, 4) * Place(-70, -35, 50, {7, 8, 9})};
    for (const Mat4& w : worlds) {
        OrientedBox b = Box(1, 2, 3);
        SetBoxAxes(&b, w);
        const Vec3 axes[3] = {b.axisX, b.axisY, b.axisZ};
        for (int i = 0; i < 3; ++i) {
            Vec3 row = Vec3Normalize(Row(w, i));
            EXPECT_NEAR(axes[i].x, row.x, 1e-6);
            EXPECT_NEAR(axes[i].y, row.y, 1e-6);
            EXPECT_NEAR(axes[i].z, row.z, 1e-6);
            EXPECT_NEAR(Vec3Length(axes[i]), 1, 1e-6);
        }
        EXPECT_EQ(b.halfSize.y, 2);  // the box's own size, whatever the matrix's scale
    }
}

TEST(BoxTest, HandPlacedPairsTouchCrossAndMiss)
{
    const OrientedBox cube = Box(1, 1, 1), barX = Box(3, 0.2f, 0.2f), barZ = Box(0.2f, 0.2f, 3);
    const OrientedBox shell = Box(0.1f, 0.1f, 2), tank = Box(1.5f, 0.6f, 2.5f), probe = Box(0.1f, 0.1f, 0.1f);
    struct Case {
        const char* what;
        OrientedBox a, b;
        Mat4 wa, wb;
        bool overlap;
    } cases[] = {
        {"faces touching count", cube, cube, MatIdentity(), Place(0, 0, 0, {2, 0, 0}), true},
        {"a hundredth apart", cube, cube, MatIdentity(), Place(0, 0, 0, {2.01f, 0, 0}), false},
        {"corner to face, turned 45 degrees", cube, cube, MatIdentity(), Place(45, 0, 0, {2.4f, 0, 0}), true},
        {"corner short of the face", cube, cube, MatIdentity(), Place(45, 0, 0, {2.42f, 0, 0}), false},
        {"bars crossed at the middle", barX, barZ, MatIdentity(), Place(45, 0, 0, {}), true},
        {"bars crossed, one passing over", barX, barZ, MatIdentity(), Place(45, 0, 0, {0, 0.41f, 0}), false},
        // Both bars turned 45 degrees about their length: a diamond section
        // 0.283 high each; only the cross of the two lengths separates them.
        {"diamond bars edge over edge, apart", barX, barZ, Place(0, 45, 0, {}), Place(0, 0, 45, {0, 0.57f, 0}), false},
        {"diamond bars edge over edge, touching", barX, barZ, Place(0, 45, 0, {}), Place(0, 0, 45, {0, 0.56f, 0}),
         true},
        // A shell pitched 20 degrees (its nose down) reaches below, not sideways.
        {"pitched shell reaches down to the probe", shell, probe, Place(0, 20, 0, {}), Place(0, 0, 0, {0, -0.6f, 1.7f}),
         true},
        {"pitched shell does not swing sideways", shell, probe, Place(0, 20, 0, {}), Place(0, 0, 0, {0.62f, -0.65f, 1.7f}),
         false},
        // A tank rolled 30 degrees: its right side goes up.
        {"rolled tank's raised right side", tank, probe, Place(0, 0, 30, {}), Place(0, 0, 0, {1.2f, 1.1f, 0}), true},
        {"rolled tank's lowered left side", tank, probe, Place(0, 0, 30, {}), Place(0, 0, 0, {-1.2f, 0.6f, 0}), false},
        {"rolled tank's lowered left side, below", tank, probe, Place(0, 0, 30, {}), Place(0, 0, 0, {-1.0f, -1.0f, 0}),
         true},
        {"rolled tank's raised right side, below", tank, probe, Place(0, 0, 30, {}), Place(0, 0, 0, {1.6f, -0.2f, 0}),
         false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReferenceOverlap(c.a, c.b, c.wa, c.wb), c.overlap) << "reference: " << c.what;
        EXPECT_EQ(BoxesOverlap(c.a, c.b, c.wa, c.wb), c.overlap) << c.what;
        EXPECT_EQ(BoxesOverlap(c.b, c.a, c.wb, c.wa), c.overlap) << "swapped: " << c.what;
        EXPECT_EQ(BoxesOverlapAllAxes(c.a, c.b, c.wa, c.wb), c.overlap) << "all axes: " << c.what;
    }
}

TEST(BoxTest, ShotJustInsideOrOutsideEachFaceIsJudgedRight)
{
    // A small cube turned like the tank, a hundredth either side of contact
    // with each of the tank's six faces.
    const OrientedBox tank = Box(1.5f, 0.6f, 2.5f), shot = Box(0.05f, 0.05f, 0.05f);
    const float s = 0.05f, gap = 0.01f;
    const Mat4 turns[] = {MatIdentity(), Place(37, 0, 0, {}), Place(0, 20, 0, {}), Place(0, 0, 30, {}),
                          Place(0, 15, 25, {}), Place(40, 15, 25, {}), Place(-120, -35, 160, {}),
                          MatScaling(2, 2, 2) * Place(10, 5, 0, {})};
    const Vec3 centre{412.5f, 7.25f, 633};
    for (const Mat4& turn : turns) {
        Mat4 world = turn * MatTranslation(centre.x, centre.y, centre.z);
        for (int axis = 0; axis < 3; ++axis)
            for (float side : {-1.0f, 1.0f})
                for (bool inside : {true, false}) {
                    const float h[3] = {tank.halfSize.x, tank.halfSize.y, tank.halfSize.z};
                    float reach = h[axis] + s + (inside ? -gap : gap);
                    Vec3 at = centre + Vec3Normalize(Row(world, axis)) * (side * reach);
                    Mat4 shotWorld = turn * MatTranslation(at.x, at.y, at.z);
                    EXPECT_EQ(BoxesOverlap(tank, shot, world, shotWorld), inside)
                        << "axis " << axis << " side " << side << " turn " << (&turn - turns);
                }
    }
}

TEST(BoxTest, AgreesWithTheExactReferenceAtRandom)
{
    Random r;
    int agreed[2] = {0, 0}, close = 0;
    for (int n = 0; n < 20000; ++n) {
        OrientedBox a = Box(r.Uniform(0.05f, 3), r.Uniform(0.05f, 3), r.Uniform(0.05f, 3));
        OrientedBox b = Box(r.Uniform(0.05f, 3), r.Uniform(0.05f, 3), r.Uniform(0.05f, 3));
        Vec3 pa{r.Uniform(0, 1000), r.Uniform(-5, 30), r.Uniform(0, 1000)};
        Vec3 pb = pa + Vec3{r.Uniform(-5, 5), r.Uniform(-5, 5), r.Uniform(-5, 5)};
        Mat4 wa = Place(r.Uniform(-180, 180), r.Uniform(-90, 90), r.Uniform(-180, 180), pa);
        Mat4 wb = Place(r.Uniform(-180, 180), r.Uniform(-90, 90), r.Uniform(-180, 180), pb);
        bool got = BoxesOverlap(a, b, wa, wb);
        // The early rejection never changes an answer, near contact included.
        ASSERT_EQ(got, BoxesOverlapAllAxes(a, b, wa, wb)) << n;
        int want = ClearReference(a, b, wa, wb);
        if (want < 0) {
            ++close;
            continue;
        }
        ASSERT_EQ(got, want == 1) << "case " << n;
        ++agreed[want];
    }
    // Both answers were well represented, and few pairs were too close to call.
    EXPECT_GT(agreed[0], 3000);
    EXPECT_GT(agreed[1], 3000);
    EXPECT_LT(close, 200);
}

// --- hits on units -------------------------------------------------------------------------
namespace {
class UnitHits : public HeadlessDevice {
protected:
    void SetUp() override
    {
        HeadlessDevice::SetUp();
        ResetUnitRecords();
        MakeCuboid(&hull_, {-1.5f, 0, -2.5f}, {1.5f, 1.2f, 2.5f});     // half (1.5, 0.6, 2.5)
        MakeCuboid(&turret_, {-1, 0, -1}, {1, 0.8f, 1.4f});           // half (1, 0.4, 1.2)
        MakeCuboid(&upperBody_, {-1, -1, -0.8f}, {1, 1.2f, 0.8f});     // half (1, 1.1, 0.8)
        MakeCuboid(&foot_, {-0.3f, 0, -0.5f}, {0.3f, 0.2f, 0.5f});     // half (0.3, 0.1, 0.5)
        MakeCuboid(&shell_, {-0.1f, -0.1f, -0.4f}, {0.1f, 0.1f, 0.4f});  // half (0.1, 0.1, 0.4)
        SetTankHitModels(2, &hull_, &turret_);
        SetRobotHitModels(101, &upperBody_, &foot_);

        SetTankKind(Tank(), 2);
        Tank().world = Place(30, 0, 0, {500, 2, 500});
        Tank().turretWorld = Place(75, 0, 0, {500, 3.5f, 500});
        SetRobotKind(Robot(), 101);
        Robot().World() = Place(-60, 0, 0, {200, 0, 200});
        Robot().partWorld[1] = Place(-50, 0, 0, {200, 4, 200});
        Robot().partWorld[7] = Place(-60, 0, 0, {199.2f, 0.1f, 200});
        Robot().partWorld[8] = Place(-60, 0, 0, {200.8f, 0.1f, 200});
    }
    void TearDown() override
    {
        RestoreHitModels();
        for (ModelPart* p : {&hull_, &turret_, &upperBody_, &foot_, &shell_}) gfx::Release(p->mesh);
        ResetUnitRecords();
        HeadlessDevice::TearDown();
    }
    // A loaded model: a real cuboid mesh whose box is measured the way the
    // model loader measures it.
    static void MakeCuboid(ModelPart* part, Vec3 lo, Vec3 hi)
    {
        float v[8][3];
        for (int i = 0; i < 8; ++i) {
            v[i][0] = i & 1 ? hi.x : lo.x;
            v[i][1] = i & 2 ? hi.y : lo.y;
            v[i][2] = i & 4 ? hi.z : lo.z;
        }
        const uint32_t idx[36] = {0, 2, 1, 1, 2, 3, 4, 5, 6, 5, 7, 6, 0, 1, 4, 1, 5, 4,
                                  2, 6, 3, 3, 6, 7, 0, 4, 2, 2, 4, 6, 1, 3, 5, 3, 7, 5};
        ASSERT_FALSE(gfx::Failed(gfx::CreateMesh(gfx::FVF_XYZ, v, 8, idx, 12, nullptr, &part->mesh)));
        ASSERT_FALSE(gfx::Failed(ComputeModelBox(part)));
    }
    static TankUnit& Tank() { return Tanks[3]; }
    static RobotUnit& Robot() { return Robots[5]; }
    static Mat4 ShotAt(float x, float y, float z) { return Place(10, 5, 0, {x, y, z}); }

    ModelPart hull_, turret_, upperBody_, foot_, shell_;
};
}  // namespace

TEST_F(UnitHits, KindWithoutLoadedHitModelsIsNeverHit)
{
    // The shot sits on the unit's own origin, where even a zero box would
    // register.
    const Mat4 onTank = ShotAt(500, 2, 500), onRobot = ShotAt(200, 4, 200);
    ASSERT_TRUE(ShotHitsTank(shell_, onTank, Tank()));
    ASSERT_TRUE(ShotHitsRobot(shell_, onRobot, Robot()));

    ModelPart unloaded;  // never loaded: no mesh, zero box
    ModelPart released;  // box measured, mesh gone
    released.box = hull_.box;
    struct Case {
        const char* what;
        TankHitModels tankModels;
        RobotHitModels robotModels;
    } cases[] = {
        {"no models entered", {nullptr, nullptr}, {nullptr, nullptr}},
        {"models never loaded", {&unloaded, &unloaded}, {&unloaded, &unloaded}},
        {"models with a box but no mesh", {&released, &released}, {&released, &released}},
    };
    for (const Case& c : cases) {
        SetTankHitModels(2, c.tankModels.body, c.tankModels.top);
        SetRobotHitModels(101, c.robotModels.upperBody, c.robotModels.foot);
        EXPECT_FALSE(ShotHitsTank(shell_, onTank, Tank())) << c.what;
        EXPECT_FALSE(ShotHitsTankBox(shell_.box, onTank, Tank())) << c.what;
        EXPECT_FALSE(ShotHitsRobot(shell_, onRobot, Robot())) << c.what;
        EXPECT_FALSE(ShotHitsRobotBox(shell_.box, onRobot, Robot())) << c.what;
    }
    // A kind that is no kind at all is not hit either.
    SetTankHitModels(2, &hull_, &turret_);
    SetRobotHitModels(101, &upperBody_, &foot_);
    for (int kind : {0, 10, -1, 101}) {
        SetTankKind(Tank(), kind);
        EXPECT_FALSE(ShotHitsTank(shell_, onTank, Tank())) << kind;
    }
    for (int kind : {0, 100, 105, 2}) {
        SetRobotKind(Robot(), kind);
        EXPECT_FALSE(ShotHitsRobot(shell_, onRobot, Robot())) << kind;
    }
}

TEST_F(UnitHits, ARobotIsHitOnItsUpperBodyOrEitherFoot)
{
    struct Case {
        const char* what;
        Mat4 shot;
        bool hit;
    } cases[] = {
        {"upper body", ShotAt(200.5f, 4.5f, 200), true},
        {"left foot only", ShotAt(199.2f, 0.25f, 200.2f), true},
        {"right foot only", ShotAt(200.8f, 0.15f, 199.5f), true},
        {"between the feet, below the body", ShotAt(200, 1.5f, 200), false},
        {"beside a foot", ShotAt(202, 0.1f, 200), false},
        {"over the head", ShotAt(200, 5.8f, 200), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShotHitsRobot(shell_, c.shot, Robot()), c.hit) << c.what;
        EXPECT_EQ(ShotHitsRobotBox(shell_.box, c.shot, Robot()), c.hit) << c.what;
    }
    // The foot shots touch their foot and nowhere near the upper body.
    EXPECT_TRUE(ReferenceOverlap(foot_.box, shell_.box, Robot().partWorld[7], cases[1].shot));
    EXPECT_TRUE(ReferenceOverlap(foot_.box, shell_.box, Robot().partWorld[8], cases[2].shot));
    EXPECT_FALSE(ReferenceOverlap(upperBody_.box, shell_.box, Robot().partWorld[1], cases[1].shot));
    EXPECT_FALSE(ReferenceOverlap(upperBody_.box, shell_.box, Robot().partWorld[1], cases[2].shot));
}

TEST_F(UnitHits, ATankIsHitOnItsHullOrTurret)
{
    struct Case {
        const char* what;
        Mat4 shot;
        bool hit;
        bool hullOnly;  // with only the hull model loaded
    } cases[] = {
        {"hull side", ShotAt(501.3f, 2, 500), true, true},
        {"turret top, above the hull", ShotAt(500, 3.95f, 500), true, false},
        {"above the turret", ShotAt(500, 4.1f, 500), false, false},
        {"well beside the hull", ShotAt(504, 2, 500), false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShotHitsTank(shell_, c.shot, Tank()), c.hit) << c.what;
        EXPECT_EQ(ShotHitsTankBox(shell_.box, c.shot, Tank()), c.hit) << c.what;
    }
    ModelPart unloaded;
    SetTankHitModels(2, &hull_, &unloaded);
    for (const Case& c : cases) EXPECT_EQ(ShotHitsTank(shell_, c.shot, Tank()), c.hullOnly) << "hull only: " << c.what;
}

// A shot that moves further in a frame than its own length is tested as a
// box stretched along its path; a flat shot keeps its roll about the path.
TEST(BoxTest, AStretchedShotKeepsItsRollAlongItsPath)
{
    OrientedBox flat{};
    flat.halfSize = {1.0f, 0.05f, 0.1f};  // wide and thin
    OrientedBox target{};
    target.halfSize = {0.1f, 0.1f, 0.1f};
    auto hits = [&](const Mat4& shotWorld, Vec3 at) {
        SweptShot s = SweepShot(flat, shotWorld, {0, 0, 10});  // it came 10 along +z this frame
        EXPECT_TRUE(s.swept);
        return BoxesOverlap(s.box, target, s.world, MatTranslation(at.x, at.y, at.z));
    };
    const Mat4 level = MatTranslation(0, 0, 10);
    EXPECT_TRUE(hits(level, {0, 0, 5}));
    EXPECT_TRUE(hits(level, {0.95f, 0, 3}));   // beside the path, within its width
    EXPECT_FALSE(hits(level, {0, 0.5f, 5}));   // above the path
    EXPECT_FALSE(hits(level, {0, 0, -1.5f}));  // behind where it started
    const Mat4 rolled = MatRotationZ(90 * kDegToRad) * level;
    EXPECT_TRUE(hits(rolled, {0, 0.95f, 3}));
    EXPECT_FALSE(hits(rolled, {0.5f, 0, 5}));
    // A short step is tested as the shot itself.
    SweptShot still = SweepShot(flat, level, {0, 0, 0.15f});
    EXPECT_FALSE(still.swept);
}

// A robot keeps its feet off a tank's hull, not only out of the 3.5 circle:
// off the ends of a long hull, beside it once it has turned, and out of it
// by the nearer side; a robot by the side of a hull, where the circle keeps
// it clear, is left alone.
TEST_F(Separation, ARobotsFeetStayOffATanksHull)
{
    const TankKind* tigerRow = TankKindOf(TankKindFromText("TIGER"));
    ASSERT_NE(tigerRow, nullptr);
    const Vec3 tiger = tigerRow->boxSize;  // 1.5 across, 2.8 along
    struct Case {
        const char* what;
        float yaw;       // the tank's, degrees
        Vec3 robot;      // from the tank at (500, 0, 500)
        Vec3 wantTank, wantRobot;
    } cases[] = {
        {"3.6 off the nose", 0, {0, 9, 3.6f}, {0, 0, -0.2f}, {0, 9, 3.8f}},
        {"3.6 off the nose of a tank turned a quarter", 90, {3.6f, 9, 0}, {-0.2f, 0, 0}, {3.8f, 9, 0}},
        {"3.6 off the tail", 0, {0, 9, -3.6f}, {0, 0, 0.2f}, {0, 9, -3.8f}},
        {"3.6 off the side: clear", 0, {3.6f, 9, 0}, {0, 0, 0}, {3.6f, 9, 0}},
    };
    for (const Case& c : cases) {
        Spread();
        Tanks[3].row = tigerRow;
        Tanks[3].world = MatRotationY(c.yaw * kDegToRad) * MatTranslation(500, 0, 500);
        MoveTo(Robots[5].World(), 500 + c.robot.x, c.robot.y, 500 + c.robot.z);
        SeparateTanksFromRobots();
        const Vec3 t = At(Tanks[3].world) - Vec3{500, 0, 500}, r = At(Robots[5].World()) - Vec3{500, 0, 500};
        EXPECT_NEAR(t.x, c.wantTank.x, 1e-4) << c.what;
        EXPECT_NEAR(t.z, c.wantTank.z, 1e-4) << c.what;
        EXPECT_NEAR(r.x, c.wantRobot.x, 1e-4) << c.what;
        EXPECT_NEAR(r.z, c.wantRobot.z, 1e-4) << c.what;
        EXPECT_EQ(r.y, 9) << c.what;
    }
    // Wherever a robot starts round a TIGER, on the deck or off it, one pass
    // leaves its centre at least its feet's reach from the hull.
    for (float radius : {1.0f, 1.8f, 2.2f, 2.6f, 3.0f, 3.6f})
        for (int a = 0; a < 360; a += 15) {
            Spread();
            Tanks[3].row = tigerRow;
            Tanks[3].world = MatRotationY(0.3f) * MatTranslation(500, 0, 500);
            MoveTo(Robots[5].World(), 500 + radius * std::sin(a * kDegToRad), 9, 500 + radius * std::cos(a * kDegToRad));
            SeparateTanksFromRobots();
            Mat4 inv;
            ASSERT_TRUE(MatInverse(&inv, Tanks[3].world));
            const Vec3 local = Vec3TransformCoord(At(Robots[5].World()), inv);
            const float gx = std::fmax(std::fabs(local.x) - tiger.x, 0), gz = std::fmax(std::fabs(local.z) - tiger.z, 0);
            EXPECT_GE(std::sqrt(gx * gx + gz * gz), 1.2f - 1e-3f) << radius << " at " << a;
            // Off the deck by the nearer side: the nose from near the nose,
            // the side from near the side.
            if (radius == 1.0f && a == 0) EXPECT_LT(std::fabs(local.x), tiger.x);
            if (radius == 1.0f && a == 45) EXPECT_LT(std::fabs(local.z), tiger.z);
        }
    Tanks[3].row = nullptr;
}
