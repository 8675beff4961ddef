// The whole program in a real window (the test command provides an X
// display through Xvfb): the window's size and class, and both ways to quit.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

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
        MirrorPack(VARNOK_PACK, dir_, true);
    }
    void TearDown() override
    {
        if (!dir_.empty()) std::system(("rm -rf " + dir_).c_str());
    }
    Running Start() { return StartProgram({VARNOK_EXE, "--data", dir_}); }
    RunResult X(std::vector<std::string> args)
    {
        args.insert(args.begin(), VARNOK_XSEND);
        return RunProgram(args);
    }
    std::string dir_;
};
}  // namespace

namespace {
// Width and height of a BMP file (0 x 0 when it is not one).
std::pair<int, int> BmpSize(const std::string& bmp)
{
    if (bmp.size() < 26 || bmp.compare(0, 2, "BM") != 0) return {0, 0};
    auto at = [&](size_t o) {
        return static_cast<int32_t>(static_cast<uint8_t>(bmp[o]) | static_cast<uint8_t>(bmp[o + 1]) << 8 |
                                    static_cast<uint8_t>(bmp[o + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(bmp[o + 3])) << 24);
    };
    return {at(18), std::abs(at(22))};
}

// Asks until `done` holds or the game has ended, however long the machine
// takes; the test's own time limit stops a wait that never ends.
template <class F>
bool PollUntil(const Running& game, F done)
{
    while (!done()) {
        if (!StillRunning(game)) return done();
        usleep(20000);
    }
    return true;
}

// Waits for a picture the game writes, until it is there whole (as long as
// its header says); false when the game ends without it.
bool WaitForFile(const std::string& path, const Running& game)
{
    return PollUntil(game, [&] {
        std::string bmp = ReadFile(path);
        if (bmp.size() < 6) return false;
        uint32_t size = 0;
        for (int i = 0; i < 4; ++i) size |= static_cast<uint32_t>(static_cast<uint8_t>(bmp[2 + i])) << (8 * i);
        return bmp.size() >= size;
    });
}
}  // namespace

TEST_F(Window, F1Quits)
{
    Running game = Start();
    RunResult info = X({"info", "VARNOK"});
    EXPECT_EQ(info.exitCode, 0) << info.err;
    EXPECT_NE(info.out.find("800x600"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("class=Virarod Izaz IRI Window"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("icon=64x64"), std::string::npos) << info.out;  // the pack's icon
    X({"key", "VARNOK", "F1"});
    RunResult r = FinishProgram(game, kRunLimitMs);
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
    EXPECT_TRUE(WaitForFile(dir_ + "/photo0.bmp", game)) << "the screenshot key was never handled";
    EXPECT_TRUE(StillRunning(game)) << "a key other than F1 ended the game";
    EXPECT_EQ(X({"info", "VARNOK"}).exitCode, 0) << "the window is gone";
    X({"key", "VARNOK", "F1"});
    RunResult r = FinishProgram(game, kRunLimitMs);
    EXPECT_EQ(r.exitCode, 0) << r.err;
}

TEST_F(Window, ClosingTheWindowQuits)
{
    Running game = Start();
    RunResult c = X({"close", "VARNOK"});
    EXPECT_EQ(c.exitCode, 0) << c.err;
    RunResult r = FinishProgram(game, kRunLimitMs);
    EXPECT_EQ(r.exitCode, 0) << r.err;
}

TEST_F(Window, GarbageOptionsOpenAnEightHundredBySixHundredWindow)
{
    mkdir((dir_ + "/Data").c_str(), 0755);
    WriteFile(dir_ + "/Data/OptionData.dat", "7\n-640\nxyz\n100000\n");
    // A run with a step limit is unattended: the message box that tells the
    // player of the damaged file is printed instead of waiting for a click.
    Running game = StartProgram({VARNOK_EXE, "--data", dir_, "--frames", "1000000000"});
    RunResult info = X({"info", "VARNOK"});
    EXPECT_NE(info.out.find("800x600"), std::string::npos) << info.out;
    X({"close", "VARNOK"});
    RunResult r = FinishProgram(game, kRunLimitMs);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.err.find("VARNOK: " + dir_ + "/Data/OptionData.dat: line 1: '7' is not a screen mode"),
              std::string::npos)
        << r.err;
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
    EXPECT_EQ(FinishProgram(game, kRunLimitMs).exitCode, 0);
}

TEST_F(Window, AVirtualClockBattleMatchesTheHeadlessOne)
{
    WriteFile(dir_ + "/drive.txt", "5 keydown W\n10 move 460 280\n20 move 420 330\n30 keydown T\n31 keyup T\n");
    std::string units[2];
    for (int k = 0; k < 2; ++k) {
        std::vector<std::string> args = {VARNOK_EXE, "--data", dir_, "--battle", "--frames", "60", "--seed", "4",
                                         "--script", dir_ + "/drive.txt", "--report", dir_ + "/r.json"};
        args.push_back(k == 0 ? "--headless" : "--virtual-clock");
        RunResult r = RunProgram(args);
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


// The same battle on the real clock in a window, where a software renderer
// skips many draws, and headless, where every step draws; and the window's
// recording replayed headless: step for step the same state hash, and the
// same units at the end.  The player drives, fires shells and flames and
// moves the camera from unit to unit.
TEST_F(Window, ABattleOnTheRealClockIsTheHeadlessOneStepForStep)
{
    WriteFile(dir_ + "/fight.txt",
              "5 keydown W\n10 move 460 280\n20 move 420 330\n30 buttondown left\n90 buttonup left\n"
              "120 keydown Z\n121 keyup Z\n150 keydown A\n200 keyup A\n240 buttondown right\n"
              "241 buttonup right\n300 buttondown left\n420 buttonup left\n500 keydown Z\n501 keyup Z\n"
              "600 keyup W\n640 keydown S\n700 keyup S\n760 buttondown left\n1000 buttonup left\n");
    const std::vector<std::string> battle = {VARNOK_EXE, "--data", dir_, "--battle", "--tank", "TIGER", "--earth",
                                             "8", "--mercury", "8", "--seed", "9", "--frames", "1100"};
    auto run = [&](const std::string& name, std::vector<std::string> extra, bool headless) {
        std::vector<std::string> args = battle;
        if (headless) args.push_back("--headless");
        args.insert(args.end(), extra.begin(), extra.end());
        args.insert(args.end(), {"--hash-log", dir_ + "/" + name + ".log", "--report", dir_ + "/" + name + ".json"});
        RunResult r = RunProgram(args);
        EXPECT_EQ(r.exitCode, 0) << name << ": " << r.err;
    };
    run("window", {"--script", dir_ + "/fight.txt", "--record", dir_ + "/session.txt"}, false);
    run("headless", {"--script", dir_ + "/fight.txt"}, true);
    RunResult replay = RunProgram({VARNOK_EXE, "--data", dir_, "--headless", "--script", dir_ + "/session.txt",
                                   "--hash-log", dir_ + "/replay.log", "--report", dir_ + "/replay.json"});
    ASSERT_EQ(replay.exitCode, 0) << replay.err;
    const std::string window = ReadFile(dir_ + "/window.log");
    EXPECT_EQ(std::count(window.begin(), window.end(), '\n'), 1100);
    for (const char* other : {"headless", "replay"}) {
        const std::string log = ReadFile(dir_ + "/" + other + ".log");
        size_t at = std::mismatch(window.begin(), window.end(), log.begin(), log.end()).first - window.begin();
        size_t line = window.rfind('\n', at);
        EXPECT_EQ(log, window) << other << " parts from the window's battle at \""
                               << window.substr(line == std::string::npos ? 0 : line + 1, 21) << "\"";
        const std::string a = ReadFile(dir_ + "/window.json"), b = ReadFile(dir_ + "/" + other + ".json");
        EXPECT_EQ(JsonArray(a, "units"), JsonArray(b, "units")) << other;
        EXPECT_EQ(JsonString(a, "state_hash"), JsonString(b, "state_hash")) << other;
        EXPECT_EQ(JsonString(b, "state_hash"), window.substr(window.rfind(' ', window.size() - 2) + 1, 16));
    }
    // The player's tank fired (its entry comes first).
    const std::string units = JsonArray(ReadFile(dir_ + "/window.json"), "units");
    EXPECT_GT(std::atoi(units.c_str() + units.find("\"fired\":") + 8), 100) << units.substr(0, 300);
}

TEST_F(Window, WithNoFlagsTheGameOpensOnTheTitle)
{
    Running game = StartProgram({VARNOK_EXE, "--data", dir_, "--report", dir_ + "/r.json"});
    // The window may take a while to show on a busy machine: ask until it does.
    std::string info;
    PollUntil(game, [&] { return (info = X({"info", "VARNOK"}).out).find("800x600") != std::string::npos; });
    EXPECT_NE(info.find("800x600"), std::string::npos) << info;
    // Screenshots until the title has faded in (on the real clock, as a
    // player sees it): then never one flat colour.  Each is removed once
    // looked at.
    int distinct = 0, taken = 0;
    std::string shot;
    PollUntil(game, [&] {
        X({"key", "VARNOK", "t"});
        const std::string path = dir_ + "/photo" + std::to_string(taken++) + ".bmp";
        if (!WaitForFile(path, game)) return false;
        shot = ReadFile(path);
        std::remove(path.c_str());
        distinct = 0;
        for (size_t i = 54 + 3; i < shot.size(); i += 3 * 997) distinct += shot.compare(i, 3, shot, 54, 3) != 0;
        return distinct > 10;
    });
    EXPECT_GT(distinct, 10) << "the title never showed";
    EXPECT_EQ(BmpSize(shot), std::make_pair(800, 600));
    X({"key", "VARNOK", "F1"});
    RunResult r = FinishProgram(game, kRunLimitMs);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(JsonString(ReadFile(dir_ + "/r.json"), "scene"), "TitleMenu");
}

TEST_F(Window, TheMenusStartABattleInTheWindow)
{
    MenuScript m;
    m.Click(100, 400, 260).Click(200, 170, 290).Click(300, 80, 300).Click(310, 720, 300).Click(320, 690, 525);
    m.Click(420, 560, 410).Click(430, 66, 420).Click(440, 560, 475).Key(450, "T").Click(460, 590, 530);
    m.Line(600, "quit");
    WriteFile(dir_ + "/menus.txt", m.Text());
    RunResult r = RunProgram({VARNOK_EXE, "--data", dir_, "--virtual-clock", "--script", dir_ + "/menus.txt",
                              "--report", dir_ + "/r.json"},
                             "");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string json = ReadFile(dir_ + "/r.json");
    EXPECT_EQ(JsonString(json, "scene"), "BattleFrame");
    std::string settings = JsonObject(json, "settings");
    EXPECT_EQ(JsonString(settings, "side"), "earth") << settings;
    EXPECT_EQ(JsonNumber(settings, "tank_type"), 2) << settings;
    EXPECT_EQ(JsonNumber(settings, "earth_count"), 5) << settings;
    EXPECT_EQ(JsonNumber(settings, "sky"), 204) << settings;
    EXPECT_EQ(JsonNumber(settings, "minutes"), 35) << settings;
    EXPECT_EQ(BmpSize(ReadFile(dir_ + "/photo0.bmp")), std::make_pair(800, 600));  // the stage screen
}

// Apply at each resolution and in both modes: the window and the picture
// change at once, the hit boxes move with them (every later click lands),
// and the options file holds what runs.
TEST_F(Window, OptionsApplyEachResolutionAndModeAtOnce)
{
    MenuScript m;
    // A screenshot after each Apply, and time for the test to look at the
    // window before the next.
    m.Click(60, 400, 420);                                        // options
    m.Click(100, 666, 165).Click(110, 78, 518).Key(140, "T");     // 1024 x 768
    m.Scale(1.28f).Click(300, 310, 165).Click(310, 310, 165);     // 640 x 480,
    m.Click(320, 310, 455).Click(330, 78, 518).Key(360, "T");     // shadows low
    m.Scale(0.8f).Click(520, 310, 310).Click(530, 78, 518).Key(560, "T");  // full screen
    m.Click(720, 310, 310).Click(730, 666, 165).Click(740, 78, 518).Key(770, "T");  // 800 x 600 window
    WriteFile(dir_ + "/options.txt", m.Text());
    Running game = StartProgram({VARNOK_EXE, "--data", dir_, "--script", dir_ + "/options.txt", "--report",
                                 dir_ + "/r.json"});
    struct Expect {
        int w, h;
        const char* window;  // the X window's size; full screen takes the display's mode
        const char* file;    // the options file
    } expects[] = {
        {1024, 768, "1024x768", "0\r\n1024\r\n768\r\n1024\r\n"},
        {640, 480, "640x480", "0\r\n640\r\n480\r\n512\r\n"},
        {640, 480, nullptr, "1\r\n640\r\n480\r\n512\r\n"},
        {800, 600, "800x600", "0\r\n800\r\n600\r\n512\r\n"},
    };
    for (int k = 0; k < 4; ++k) {
        std::string shot = dir_ + "/photo" + std::to_string(k) + ".bmp";
        ASSERT_TRUE(WaitForFile(shot, game)) << "no screenshot " << k;
        EXPECT_EQ(BmpSize(ReadFile(shot)), std::make_pair(expects[k].w, expects[k].h)) << k;
        EXPECT_EQ(ReadFile(dir_ + "/Data/OptionData.dat"), expects[k].file) << k;
        if (expects[k].window) {
            RunResult info = X({"info", "VARNOK"});
            EXPECT_NE(info.out.find(expects[k].window), std::string::npos) << k << info.out;
        }
    }
    X({"key", "VARNOK", "F1"});
    RunResult r = FinishProgram(game, kRunLimitMs);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(dir_ + "/Data/OptionData.dat"), "0\r\n800\r\n600\r\n512\r\n");
    std::string menu = JsonObject(ReadFile(dir_ + "/r.json"), "menu");
    EXPECT_EQ(JsonNumber(menu, "width"), 800) << menu;
    EXPECT_EQ(JsonNumber(menu, "scale_x"), 1) << menu;
    EXPECT_EQ(JsonNumber(menu, "shadow_map_size"), 512) << menu;
}

// On a display of 800 x 600 a full screen of 1024 x 768 cannot be had: the
// game says so and runs on as it was, and the options file is not touched.
TEST_F(Window, AModeTheDisplayCannotShowIsRefusedAndNotSaved)
{
    mkdir((dir_ + "/Data").c_str(), 0755);
    WriteFile(dir_ + "/Data/OptionData.dat", "0\r\n800\r\n600\r\n1024\r\n");
    MenuScript m;
    m.Click(60, 400, 420).Click(100, 666, 165).Click(110, 666, 310).Click(120, 78, 518);
    m.Line(300, "quit");
    WriteFile(dir_ + "/refused.txt", m.Text());
    RunResult r = RunProgram({"/usr/bin/xvfb-run", "-a", "-s", "-screen 0 800x600x24", VARNOK_EXE, "--data", dir_,
                              "--virtual-clock", "--script", dir_ + "/refused.txt", "--report", dir_ + "/r.json"},
                             "");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("cannot run 1024 x 768 full screen"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(dir_ + "/Data/OptionData.dat"), "0\r\n800\r\n600\r\n1024\r\n");
    std::string menu = JsonObject(ReadFile(dir_ + "/r.json"), "menu");
    EXPECT_EQ(JsonNumber(menu, "width"), 800) << menu;
    EXPECT_NE(menu.find("\"windowed\":true"), std::string::npos) << menu;
    EXPECT_EQ(JsonNumber(menu, "resolution_choice"), 1) << menu;
}

// The side-choice screen looks the same on its first visit and after a
// battle: a battle's render passes leave no state the menus draw with.
TEST_F(Window, TheForcesScreenIsWholeAfterABattle)
{
    auto shoot = [&](const std::vector<std::string>& flags, const std::string& script) {
        std::remove((dir_ + "/photo0.bmp").c_str());
        WriteFile(dir_ + "/s.txt", script);
        std::vector<std::string> args = {VARNOK_EXE, "--data", dir_, "--virtual-clock", "--seed", "4", "--script",
                                         dir_ + "/s.txt"};
        args.insert(args.end(), flags.begin(), flags.end());
        RunResult r = RunProgram(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return ReadFile(dir_ + "/photo0.bmp");
    };
    // Start pressed at step 100, the picture 130 steps later, faded in.
    std::string first = shoot({}, MenuScript().Click(100, 400, 260).Key(230, "T").Key(240, "F1").Text());
    // A battle left by the pause menu's second entry, then the same.
    std::string after = shoot({"--battle"}, MenuScript()
                                                .Key(40, "ESCAPE")
                                                .Click(60, 400, 345)
                                                .Click(200, 400, 260)
                                                .Key(330, "T")
                                                .Key(340, "F1")
                                                .Text());
    ASSERT_EQ(BmpSize(first), std::make_pair(800, 600));
    ASSERT_EQ(BmpSize(after), std::make_pair(800, 600));
    size_t differing = 0, pixels = 0;
    for (size_t i = 54; i + 2 < first.size() && i + 2 < after.size(); i += 3, ++pixels)
        differing += first.compare(i, 3, after, i, 3) != 0;
    EXPECT_LT(differing, pixels / 100) << differing << " of " << pixels << " pixels differ";
}

// A damaged options file is told in the window's message box, as a damaged
// settings file is, each by its whole path: a player who started the game
// from the desktop sees no terminal.
TEST_F(Window, DamagedOptionsAndSettingsFilesAreToldInAMessageBox)
{
    mkdir((dir_ + "/Data").c_str(), 0755);
    WriteFile(dir_ + "/Data/OptionData.dat", "7\n800\n600\n1024\n");
    WriteFile(dir_ + "/Data/SettingData.dat", "bogus 1\n");
    // Unattended (--frames), the box is printed instead of waiting for a click.
    RunResult r = RunProgram({VARNOK_EXE, "--data", dir_, "--frames", "3"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("VARNOK: " + dir_ + "/Data/OptionData.dat: line 1: '7' is not a screen mode (0 window, 1 full "
                         "screen);\nusing 0\n" + dir_ + "/Data/SettingData.dat: line 1: 'bogus 1' is not a setting;\n"),
              std::string::npos)
        << r.err;
}

// A frozen unit reads as ice whatever its paint: the pixels the freeze
// changes are light and blue on the orange D-ED.10 as on the purple
// R-NO.15 and the green ABRAMS, and alike on all three.
TEST_F(Window, TheFreezeLooksLikeIceOnEveryKind)
{
    double mean[3][3] = {};
    const char* kinds[3] = {"D-ED.10", "R-NO.15", "ABRAMS"};
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(kinds[k]);
        std::string shots[2];
        for (int frozen = 0; frozen < 2; ++frozen) {
            const std::string out = dir_ + "/" + std::to_string(frozen) + ".bmp";
            std::vector<std::string> args = {VARNOK_EXE, "--data", dir_, "--view", kinds[k], "--view-from", "side",
                                             "--view-out", out};
            if (frozen) args.push_back("--view-frozen");
            RunResult r = RunProgram(args);
            ASSERT_EQ(r.exitCode, 0) << r.err;
            shots[frozen] = ReadFile(out);
            ASSERT_EQ(BmpSize(shots[frozen]), std::make_pair(800, 600));
        }
        // The unit's pixels: those the freeze changed.
        int changed = 0;
        for (size_t i = 54; i + 2 < shots[1].size(); i += 3) {
            if (shots[0].compare(i, 3, shots[1], i, 3) == 0) continue;
            ++changed;
            for (int c = 0; c < 3; ++c) mean[k][c] += static_cast<uint8_t>(shots[1][i + 2 - c]);  // r, g, b
        }
        ASSERT_GT(changed, 2000);
        for (double& c : mean[k]) c /= changed;
        EXPECT_GT(mean[k][0] + mean[k][1] + mean[k][2], 3 * 150.0) << "dark, not ice";
        EXPECT_GT(mean[k][2], mean[k][0] + 30) << "not blue";
        EXPECT_GT(mean[k][0], 90) << "a saturated paint, not pale ice";
    }
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(mean[0][c], mean[1][c], 25) << c;
        EXPECT_NEAR(mean[0][c], mean[2][c], 25) << c;
    }
}
