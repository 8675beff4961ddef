#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "app/cmdline.h"
#include "units/robots/robot_kinds.h"
#include "units/tanks/tank_kinds.h"

namespace {
bool Parse(std::vector<const char*> args, CommandLine* cl, std::string* err)
{
    args.insert(args.begin(), "varnok");
    return ParseCommandLine(static_cast<int>(args.size()), args.data(), cl, err);
}
}  // namespace

TEST(CommandLine, NoFlagsMeansThePlainGame)
{
    CommandLine cl;
    std::string err;
    ASSERT_TRUE(Parse({}, &cl, &err));
    EXPECT_FALSE(cl.headless);
    EXPECT_FALSE(cl.virtualClock);
    EXPECT_EQ(cl.frames, -1);
    EXPECT_FALSE(cl.seedSet);
    EXPECT_FALSE(cl.battle);
}

TEST(CommandLine, ReadsEveryFlag)
{
    CommandLine cl;
    std::string err;
    ASSERT_TRUE(Parse({"--data", "pack", "--headless", "--virtual-clock", "--script", "s.txt",
                       "--frames", "300", "--seed", "4294967295", "--report", "r.json", "--battle",
                       "--side", "robot", "--tank", "1", "--robot", "101", "--earth", "16",
                       "--mercury", "1", "--sky", "208", "--minutes", "90", "--demo", "--view", "M60",
                       "--view-from", "above", "--view-turret", "-45.5", "--view-gun", "360", "--view-walk", "12",
                       "--view-pods", "--floor", "--pass-sync"},
                      &cl, &err))
        << err;
    EXPECT_EQ(cl.dataDir, "pack");
    EXPECT_TRUE(cl.headless && cl.virtualClock && cl.battle && cl.demo && cl.seedSet);
    EXPECT_EQ(cl.scriptPath, "s.txt");
    EXPECT_EQ(cl.frames, 300);
    EXPECT_EQ(cl.seed, 4294967295u);
    EXPECT_EQ(cl.reportPath, "r.json");
    EXPECT_EQ(cl.side, 1);
    EXPECT_EQ(cl.tankType, 1);
    EXPECT_EQ(cl.robotType, 101);
    EXPECT_EQ(cl.earthCount, 16);
    EXPECT_EQ(cl.mercuryCount, 1);
    EXPECT_EQ(cl.skyId, 208);
    EXPECT_EQ(cl.minutes, 90);
    EXPECT_EQ(cl.viewPath, "M60");
    EXPECT_EQ(cl.viewFrom, "above");
    EXPECT_EQ(cl.viewTurret, -45.5f);
    EXPECT_EQ(cl.viewGun, 360.0f);
    EXPECT_EQ(cl.viewWalk, 12.0f);
    EXPECT_TRUE(cl.viewPods);
    EXPECT_TRUE(cl.floor);
    EXPECT_TRUE(cl.passSync);
}

TEST(CommandLine, ABadFlagOrValueIsNamed)
{
    const struct { std::vector<const char*> args; const char* want; } cases[] = {
        {{"--fly"}, "unknown option '--fly'"},
        {{"--frames"}, "--frames needs a value"},
        {{"--frames", "0"}, "--frames: '0' is not a whole number from 1"},
        {{"--frames", "12x"}, "--frames: '12x' is not a whole number"},
        {{"--seed", "-1"}, "--seed: '-1'"},
        {{"--side", "boat"}, "--side: 'boat' is not a side"},
        {{"--tank", "10"}, "--tank: '10' is not a tank kind (1 to 9: TIGER, ABRAMS, BRDM3, FLACKP, FT17_BER, M2A2, M60, V100, M730A)"},
        {{"--robot", "100"}, "--robot: '100' is not a robot kind (101 to 104: D-ED.10, R-NO.15, R-NO.16, R-NO.13)"},
        {{"--tank", "2x"}, "--tank: '2x' is not a tank kind (1 to 9: TIGER, ABRAMS, BRDM3, FLACKP, FT17_BER, M2A2, M60, V100, M730A)"},
        {{"--earth", "17"}, "--earth: '17'"},
        {{"--mercury", "0"}, "--mercury: '0'"},
        {{"--sky", "209"}, "--sky: '209' is not a whole number from 200 to 208"},
        {{"--minutes", "4"}, "--minutes: '4' is not a whole number from 5 to 90"},
        {{"--minutes", "99999999999999999999"}, "--minutes: '99999999999999999999'"},
        {{"--report"}, "--report needs a value"},
        {{"--view-from", "below"}, "--view-from: 'below' is not a direction (front, rear, side, above or chase)"},
        {{"--view-gun", "361"}, "--view-gun: '361' is not an angle from -360 to 360 degrees"},
        {{"--view-walk", "5deg"}, "--view-walk: '5deg' is not an angle"},
        // What the terminal shows is quoted safely: control bytes masked and
        // a long word cut short.
        {{"--frames", "\x1b[31m9"}, "--frames: '?[31m9' is not a whole number from 1"},
        {{"--\x1b]0;title\x07"}, "unknown option '--?]0;title?'"},
        {{"--side", "tank tank tank tank tank tank tank tank tank"},
         "--side: 'tank tank tank tank tank tank tank tank ...' is not a side"},
    };
    for (const auto& c : cases) {
        CommandLine cl;
        std::string err;
        EXPECT_FALSE(Parse(c.args, &cl, &err)) << c.args[0];
        EXPECT_EQ(err.rfind(c.want, 0), 0u) << "got: " << err;
    }
}

// Every kind of both tables is reached by its number and by its name in any
// case; a kind that may fight is given to the player, one that is only
// looked at is refused by name.
TEST(CommandLine, EveryKindIsNamedByItsNumberOrItsNameAndOnlyFightersAreTaken)
{
    auto lower = [](std::string s) {
        for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    auto check = [&](const char* flag, int kind, const char* name, bool fights, int CommandLine::*field) {
        for (const std::string& text : {std::to_string(kind), lower(name), std::string(name)}) {
            CommandLine cl;
            std::string err;
            bool ok = Parse({flag, text.c_str()}, &cl, &err);
            EXPECT_EQ(ok, fights) << text << ": " << err;
            if (fights) {
                EXPECT_EQ(cl.*field, kind) << text;
            } else {
                EXPECT_EQ(err, std::string(flag) + ": " + name + " (" + std::to_string(kind) +
                                   ") is only looked at and cannot be taken into battle");
            }
        }
    };
    int fighters = 0;
    for (const TankKind& k : TankKinds) {
        check("--tank", k.kind, k.name, TankKindCanFight(k.kind), &CommandLine::tankType);
        fighters += TankKindCanFight(k.kind);
    }
    for (const RobotKind& k : RobotKinds) {
        check("--robot", k.kind, k.name, RobotKindCanFight(k.kind), &CommandLine::robotType);
        fighters += RobotKindCanFight(k.kind);
    }
    EXPECT_GE(fighters, 3);
    EXPECT_FALSE(TankKindCanFight(5)) << "FT17_BER is only looked at";
    CommandLine cl;
    std::string err;
    EXPECT_FALSE(Parse({"--robot", "ABRAMS"}, &cl, &err)) << "a tank's name is no robot kind";
}

// What a recording's args line carries of a command line: the flags that
// shape the run with their values, one word each, and nothing that names a
// file or folder, nor the value of such a flag.
TEST(CommandLine, ARecordingCarriesOnlyTheFlagsThatShapeTheRun)
{
    struct Case {
        std::vector<std::string> args, carried;
    } cases[] = {
        {{"--data", "my dir #1", "--battle", "--earth", " 2", "--report", "--demo"}, {"--battle", "--earth", "2"}},
        {{"--view-turret", "-5", "--sky", "204", "--seed", "9", "--virtual-clock", "--headless", "--frames", "30"},
         {"--sky", "204", "--frames", "30"}},
        {{"--script", "--battle", "--record", "x #", "--tank", "abrams", "--demo"}, {"--tank", "abrams", "--demo"}},
    };
    for (const Case& c : cases) EXPECT_EQ(RecordedArgs(c.args), c.carried);
}
