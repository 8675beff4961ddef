// A fast shot meets a thin target even when it moves further in a frame than
// its own box is long: every shell aimed at the middle of a hit box hits,
// whatever the offset at which the frames fall, and one aimed a box's width
// beside it misses.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <string>

#include "effects/projectiles.h"
#include "headless_device.h"
#include "records/state.h"
#include "sides/robot_side.h"
#include "sides/tank_side.h"
#include "units/robots/robot_kinds.h"
#include "units/tanks/tank_kinds.h"

namespace {
class Swept : public HeadlessDevice {
protected:
    void SetUp() override
    {
        HeadlessDevice::SetUp();
        ASSERT_EQ(chdir(VARNOK_PACK), 0);
        ResetUnitRecords();
        for (auto& row : HeightGrid)
            for (float& h : row) h = 0;
        ReleaseSimpleModel(&StageCollision);
        ::Shots = {};
        shell_ = OrientedBox{};
        shell_.halfSize = {0.1f, 0.1f, 0.34f};  // 0.68 long, as a tank's shell
        rules_ = ShotRules{};
        rules_.order[0] = HitTest::Tanks;
        rules_.order[1] = HitTest::Robots;
        rules_.testCount = 2;
        rules_.edgeHeight = 1000;
        rules_.freeOnHit = true;
        rules_.box = &shell_;
        rules_.tankReaction = rules_.robotReaction = HitReaction::Shell;
    }
    void TearDown() override
    {
        ReleaseAllTankModels();
        ReleaseAllRobotModels();
        HeadlessDevice::TearDown();
    }
    // Shells flying along `dir` (level), 2.2 a frame, from 22 starting
    // offsets a tenth apart, aimed at `at`: how many hit.
    int Hits(Vec3 at, Vec3 dir, Shooter shooter)
    {
        int hits = 0;
        const float yaw = std::atan2(dir.x, dir.z);
        for (int phase = 0; phase < 22; ++phase) {
            Vec3 start = at - dir * (15.0f + 0.1f * static_cast<float>(phase));
            Projectile shot{};
            shot.state = kShotActive;
            shot.world = MatRotationY(yaw) * MatTranslation(start.x, start.y, start.z);
            shot.step = MatTranslation(0, 0, 2.2f);
            for (int frame = 0; frame < 16 && shot.state == kShotActive; ++frame) {
                shot.world = shot.step * shot.world;
                RunHitTests(shot, rules_, shooter);
            }
            hits += shot.state == kShotFree;
        }
        return hits;
    }
    OrientedBox shell_;
    ShotRules rules_;
};

Vec3 Axis(const Mat4& m, int row) { return Vec3Normalize({m.m[row][0], 0, m.m[row][2]}); }
}  // namespace

TEST_F(Swept, ShellsAtTheMiddleOfEveryHitBoxHitAndShellsBesideItMiss)
{
    struct Target {
        std::string what;
        Mat4 world;
        const ModelPart* part;
        bool tank;
        Vec3 away;  // a side with nothing else of the unit
    };
    std::vector<Target> targets;
    for (int kind : {kTankTiger, kTankAbrams}) {
        LoadTankModels(kind);
        ResetUnitRecords();
        EarthCount = 1;
        MercuryCount = 0;
        SetTankKind(Tanks[0], kind);
        SpawnTank(0);
        Tanks[0].world = MatRotationY(0.4f) * MatTranslation(500, Tanks[0].row->groundClearance, 500);
        Tanks[0].row->pose(Tanks[0]);
        const TankHitModels* m = Tanks[0].row->hitModels;
        ASSERT_NE(m, nullptr) << kind;
        targets.push_back({std::string(TankKindName(kind)) + " hull", Tanks[0].world, m->body, true, Axis(Tanks[0].world, 0)});
        targets.push_back({std::string(TankKindName(kind)) + " turret", Tanks[0].turretWorld, m->top, true, {0, 1, 0}});
        for (const Target& t : targets) {
            if (!t.tank) continue;
            ASSERT_NE(t.part->mesh, nullptr) << t.what;
            const OrientedBox& b = t.part->box;
            for (int row : {0, 2}) {
                Vec3 dir = Axis(t.world, row);
                EXPECT_EQ(Hits(Position(t.world), dir, {false, 0}), 22) << t.what << " along its axis " << row;
                float width = 2 * std::max({b.halfSize.x, b.halfSize.y, b.halfSize.z}) + 0.5f;
                Vec3 away = t.away;
                if (std::fabs(Vec3Dot(away, dir)) > 0.5f) away = Vec3Cross({0, 1, 0}, dir);
                EXPECT_EQ(Hits(Position(t.world) + away * width, dir, {false, 0}), 0) << t.what << " beside, axis " << row;
            }
        }
        targets.clear();
    }
    for (int kind : {kRobotDed10, kRobotRno15}) {
        LoadRobotModels(kind);
        ResetUnitRecords();
        EarthCount = 0;
        MercuryCount = 1;
        RobotUnit& r = Robots[0];
        SetRobotKind(r, kind);
        SpawnRobot(0);
        r.World() = MatRotationY(-0.7f) * MatTranslation(500, r.row->groundClearance, 500);
        r.row->pose(r);
        const RobotHitModels* m = r.row->hitModels;
        ASSERT_NE(m, nullptr) << kind;
        Vec3 outward = Vec3Normalize(Position(r.partWorld[7]) - Position(r.World()));
        outward.y = 0;
        const Target parts[] = {
            {std::string(RobotKindName(kind)) + " upper body", r.partWorld[1], m->upperBody, false, {0, 1, 0}},
            {std::string(RobotKindName(kind)) + " foot", r.partWorld[7], m->foot, false, Vec3Normalize(outward)},
        };
        for (const Target& t : parts) {
            ASSERT_NE(t.part->mesh, nullptr) << t.what;
            const OrientedBox& b = t.part->box;
            for (int row : {0, 2}) {
                Vec3 dir = Axis(r.World(), row);
                EXPECT_EQ(Hits(Position(t.world), dir, {true, 0}), 22) << t.what << " along the robot's axis " << row;
                float width = 2 * std::max({b.halfSize.x, b.halfSize.y, b.halfSize.z}) + 0.5f;
                Vec3 away = t.away;
                if (std::fabs(Vec3Dot(away, dir)) > 0.5f) away = Vec3Cross({0, 1, 0}, dir) * (Vec3Dot(Vec3Cross({0, 1, 0}, dir), outward) < 0 ? -1.0f : 1.0f);
                EXPECT_EQ(Hits(Position(t.world) + away * width, dir, {true, 0}), 0) << t.what << " beside, axis " << row;
            }
        }
    }
}

// Two units one behind the other on a swept path: a shell that ends on a
// hit meets only the first.
TEST_F(Swept, AShellMeetsOnlyTheFirstUnitOnItsPath)
{
    LoadRobotModels(kRobotDed10);
    MercuryCount = 2;
    for (int j = 0; j < 2; ++j) {
        SetRobotKind(Robots[j], kRobotDed10);
        SpawnRobot(j);
        Robots[j].World() = MatTranslation(500, 2.2f, 500.0f + 1.3f * static_cast<float>(j));
        Robots[j].row->pose(Robots[j]);
    }
    Vec3 head = Position(Robots[0].partWorld[1]);
    Projectile shot{};
    shot.state = kShotActive;
    shot.step = MatTranslation(0, 0, 2.2f);
    shot.world = MatTranslation(head.x, head.y, head.z + 1.9f);  // came from 2.2 back, past robot 0 into robot 1
    RunHitTests(shot, rules_, {true, 0});
    EXPECT_EQ(shot.state, kShotFree);
    EXPECT_EQ(Robots[0].shakeCode, HitReaction::Shell);
    EXPECT_EQ(Robots[1].shakeCode, HitReaction::None);
    EXPECT_EQ(::Shots.unitHits, 1u);
}
