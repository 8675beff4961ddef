// The whole program in a real window (the test command provides an X
// display through Xvfb): the window's size and class, and both ways to quit.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "ci.h"
#include "run_util.h"

namespace {
class Window : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY")) SKIP_UNLESS_CI("no X display");
        dir_ = MakeTempDir();
        // The game's files, so no message box about a missing one waits for a click.
        std::system(("cp -r " VARNOK_PACK "/. " + dir_).c_str());
    }
    void TearDown() override
    {
        if (!dir_.empty()) std::system(("rm -rf " + dir_).c_str());
    }
    Running Start() { return StartProgram({VARNOK_EXE, "--data", dir_}); }
    RunResult X(std::vector<std::string> args)
    {
        args.insert(args.begin(), VARNOK_XSEND);
        return RunProgram(args, "", 30000);
    }
    std::string dir_;
};
}  // namespace

TEST_F(Window, F1Quits)
{
    Running game = Start();
    RunResult info = X({"info", "VARNOK"});
    EXPECT_EQ(info.exitCode, 0) << info.err;
    EXPECT_NE(info.out.find("800x600"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("class=Virarod Izaz IRI Window"), std::string::npos) << info.out;
    X({"key", "VARNOK", "F1"});
    RunResult r = FinishProgram(game, 20000);
    EXPECT_EQ(r.exitCode, 0) << r.err;
}

TEST_F(Window, OtherKeysDoNotQuit)
{
    Running game = Start();
    X({"key", "VARNOK", "Escape"});
    X({"key", "VARNOK", "q"});
    // Keys arrive in order: once the screenshot key has been handled, so
    // were Escape and q, and the game must still be running.
    X({"key", "VARNOK", "t"});
    bool shot = false;
    for (int i = 0; i < 600 && !shot && StillRunning(game); ++i) {
        shot = access((dir_ + "/photo0.bmp").c_str(), F_OK) == 0;
        if (!shot) usleep(50000);
    }
    EXPECT_TRUE(shot) << "the screenshot key was never handled";
    EXPECT_TRUE(StillRunning(game)) << "a key other than F1 ended the game";
    EXPECT_EQ(X({"info", "VARNOK"}).exitCode, 0) << "the window is gone";
    X({"key", "VARNOK", "F1"});
    RunResult r = FinishProgram(game, 30000);
    EXPECT_EQ(r.exitCode, 0) << r.err;
}

TEST_F(Window, ClosingTheWindowQuits)
{
    Running game = Start();
    RunResult c = X({"close", "VARNOK"});
    EXPECT_EQ(c.exitCode, 0) << c.err;
    RunResult r = FinishProgram(game, 20000);
    EXPECT_EQ(r.exitCode, 0) << r.err;
}

TEST_F(Window, GarbageOptionsOpenAnEightHundredBySixHundredWindow)
{
    mkdir((dir_ + "/Data").c_str(), 0755);
    WriteFile(dir_ + "/Data/OptionData.dat", "7\n-640\nxyz\n100000\n");
    Running game = Start();
    RunResult info = X({"info", "VARNOK"});
    EXPECT_NE(info.out.find("800x600"), std::string::npos) << info.out;
    X({"close", "VARNOK"});
    RunResult r = FinishProgram(game, 20000);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.err.find("line 1: '7' is not a screen mode"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("line 2: '-640' is not a screen width"), std::string::npos) << r.err;
}

TEST_F(Window, SizesFromTheOptionsFile)
{
    mkdir((dir_ + "/Data").c_str(), 0755);
    WriteFile(dir_ + "/Data/OptionData.dat", "0\r\n1024\r\n768\r\n512\r\n");
    Running game = Start();
    RunResult info = X({"info", "VARNOK"});
    EXPECT_NE(info.out.find("1024x768"), std::string::npos) << info.out;
    X({"key", "VARNOK", "F1"});
    EXPECT_EQ(FinishProgram(game, 20000).exitCode, 0);
}

TEST_F(Window, AVirtualClockBattleMatchesTheHeadlessOne)
{
    WriteFile(dir_ + "/drive.txt", "5 keydown W\n10 move 460 280\n20 move 420 330\n30 keydown T\n31 keyup T\n");
    std::string units[2];
    for (int k = 0; k < 2; ++k) {
        std::vector<std::string> args = {VARNOK_EXE, "--data", dir_, "--battle", "--frames", "60", "--seed", "4",
                                         "--script", dir_ + "/drive.txt", "--report", dir_ + "/r.json"};
        args.push_back(k == 0 ? "--headless" : "--virtual-clock");
        RunResult r = RunProgram(args, "", 60000);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        units[k] = JsonArray(ReadFile(dir_ + "/r.json"), "units");
    }
    EXPECT_FALSE(units[0].empty());
    EXPECT_EQ(units[0], units[1]);
    // The window's screenshot shows the field: not one flat colour.
    std::string shot = ReadFile(dir_ + "/photo1.bmp");
    ASSERT_GT(shot.size(), 54u);
    int distinct = 0;
    for (size_t i = 54 + 3; i < shot.size(); i += 3 * 997) distinct += shot.compare(i, 3, shot, 54, 3) != 0;
    EXPECT_GT(distinct, 10);
}
