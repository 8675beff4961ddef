// The whole program, headless: reports, scripts, options files and bad input
// as a player or a test harness would meet them.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cmath>

#include "run_util.h"

namespace {
class Headless : public ::testing::Test {
protected:
    // Each test gets a data folder of its own that shows the built pack
    // (every file a link into it), so files can be removed or added freely.
    void SetUp() override
    {
        dir_ = MakeTempDir();
        MirrorPack(VARNOK_PACK, dir_, false);
    }
    void TearDown() override { std::system(("rm -rf " + dir_).c_str()); }
    RunResult Run(std::vector<std::string> args)
    {
        args.insert(args.begin(), {VARNOK_EXE, "--data", dir_});
        return RunProgram(args);
    }
    std::string dir_;
};
}  // namespace

TEST_F(Headless, RunsTheGivenStepsAndReportsThem)
{
    RunResult r = Run({"--headless", "--frames", "300", "--report", dir_ + "/r.json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string json = ReadFile(dir_ + "/r.json");
    EXPECT_EQ(JsonNumber(json, "frames"), 300) << json;
    EXPECT_EQ(JsonNumber(json, "exit_code"), 0);
    EXPECT_EQ(JsonString(json, "scene"), "TitleMenu");
    EXPECT_EQ(JsonString(json, "backend"), "headless");
    // Step times: in order, not all zero, and the whole run took at least
    // their sum.
    double mean = JsonNumber(json, "mean"), p50 = JsonNumber(json, "p50"), p99 = JsonNumber(json, "p99"),
           most = JsonNumber(json, "max");
    EXPECT_GT(most, 0);
    EXPECT_LE(p50, p99);
    EXPECT_LE(p99, most);
    EXPECT_LE(mean, most);
    EXPECT_GT(mean, 0);
    EXPECT_GE(JsonNumber(json, "wall_ms"), mean * 300 * 0.999);
    // Nothing was saved, so no options file appears.
    EXPECT_NE(access((dir_ + "/Data/OptionData.dat").c_str(), F_OK), 0);
}

TEST_F(Headless, AScriptedF1QuitsAtItsStep)
{
    WriteFile(dir_ + "/quit.txt", "# leave at step 50\n20 keydown A\n50 keydown F1\n");
    RunResult r = Run({"--headless", "--script", dir_ + "/quit.txt", "--report", dir_ + "/r.json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(JsonNumber(ReadFile(dir_ + "/r.json"), "frames"), 50);
}

TEST_F(Headless, RelativePathsAreTheCallersOwn)
{
    // Script and report paths are read before the game moves to its data folder.
    std::string work = MakeTempDir();
    WriteFile(work + "/quit.txt", "7 quit\n");
    RunResult r = RunProgram({VARNOK_EXE, "--headless", "--data", dir_, "--script", "quit.txt",
                              "--report", "r.json"},
                             work);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(JsonNumber(ReadFile(work + "/r.json"), "frames"), 7);
    std::system(("rm -rf " + work).c_str());
}

TEST_F(Headless, GarbageOptionsStartAtDefaultsAndAreLeftAlone)
{
    mkdir((dir_ + "/Data").c_str(), 0755);
    const std::string garbage = "-1\nabc\n\n100000\n";
    WriteFile(dir_ + "/Data/OptionData.dat", garbage);
    WriteFile(dir_ + "/Data/SettingData.dat", "bogus 1\n");
    RunResult r = Run({"--headless", "--frames", "10"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // Each file is named by its whole path: a player reading the terminal
    // finds it.
    const std::string lines = "\n" + r.err;
    EXPECT_NE(lines.find("\n" + dir_ + "/Data/OptionData.dat: line 1: '-1' is not a screen mode"), std::string::npos)
        << r.err;
    EXPECT_NE(lines.find("\n" + dir_ + "/Data/SettingData.dat: line 1: 'bogus 1' is not a setting"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("line 2: 'abc' is not a screen width"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("line 4: '100000' is not a shadow map size"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(dir_ + "/Data/OptionData.dat"), garbage);
}

TEST_F(Headless, BadInputIsNamedWithExitCodeTwo)
{
    RunResult r = Run({"--headless", "--bogus"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("unknown option '--bogus'"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("usage: varnok"), std::string::npos);

    WriteFile(dir_ + "/bad.txt", "1 keydown A\n2 keydown NOPE\n");
    r = Run({"--headless", "--script", dir_ + "/bad.txt"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find(dir_ + "/bad.txt:2: 'NOPE' is not a key"), std::string::npos) << r.err;

    r = Run({"--headless", "--script", dir_ + "/none.txt"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("none.txt: cannot be opened"), std::string::npos) << r.err;

    r = RunProgram({VARNOK_EXE, "--headless", "--frames", "5", "--data", dir_ + "/missing"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("no such folder"), std::string::npos) << r.err;

    r = Run({"--headless", "--frames", "5", "--hash-log", "/nonexistent-dir/h.txt"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("--hash-log /nonexistent-dir/h.txt: cannot be written"), std::string::npos) << r.err;

    r = Run({"--headless", "--frames", "5", "--report", "/nonexistent-dir/r.json"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("/nonexistent-dir/r.json: the report cannot be written"), std::string::npos);
}

TEST_F(Headless, ScreenshotsOncePerPressNeverOverwriting)
{
    WriteFile(dir_ + "/photo0.bmp", "an earlier run's shot");
    WriteFile(dir_ + "/shots.txt",
              "10 keydown T\n40 keyup T\n50 keydown t\n51 keyup T\n60 keydown F1\n");
    RunResult r = Run({"--headless", "--script", dir_ + "/shots.txt", "--report", dir_ + "/r.json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(dir_ + "/photo0.bmp"), "an earlier run's shot");
    std::string shot = ReadFile(dir_ + "/photo1.bmp");
    ASSERT_EQ(shot.size(), 54u + 800 * 600 * 3);  // the whole 800 x 600 back buffer
    EXPECT_EQ(shot.substr(0, 2), "BM");
    EXPECT_EQ(ReadFile(dir_ + "/photo2.bmp").size(), shot.size());
    EXPECT_NE(access((dir_ + "/photo3.bmp").c_str(), F_OK), 0);
    // The null device counted what the scene drew.
    std::string json = ReadFile(dir_ + "/r.json");
    EXPECT_EQ(JsonString(json, "backend"), "headless");
    EXPECT_GE(JsonNumber(json, "gl_draws_max"), 1) << json;
}

// The floor draws its one layer a frame, and the report says whether the
// passes waited for the renderer.
TEST_F(Headless, TheFloorDrawsOneLayerAFrame)
{
    RunResult r = Run({"--headless", "--floor", "--frames", "30", "--pass-sync", "--report", dir_ + "/r.json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string json = ReadFile(dir_ + "/r.json");
    EXPECT_EQ(JsonNumber(json, "frames"), 30) << json;
    EXPECT_EQ(JsonNumber(json, "triangles"), 2) << json;
    EXPECT_NE(json.find("\"pass_sync\":true"), std::string::npos) << json;
}

TEST_F(Headless, AMissingEffectFileIsReportedAndTheGameGoesOn)
{
    ASSERT_EQ(unlink((dir_ + "/LAND/Effect/ShadowMap.fx").c_str()), 0);
    RunResult r = Run({"--headless", "--frames", "20"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.err.find("LAND/Effect/ShadowMap.fx: cannot be opened"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("シェーダーファイル読み込み失敗"), std::string::npos) << r.err;
}

TEST_F(Headless, TheViewerPrintsWhatAModelHolds)
{
    RunResult r = Run({"--headless", "--frames", "3", "--view", VARNOK_TEST_DATA "/two_frames.x",
                       "--report", dir_ + "/r.json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("two_frames.x: 3 subsets, 2 faces full, 2 faces reduced, box (10.000, 2.000, "
                         "-1.000) to (10.000, 3.000, 0.000)"),
              std::string::npos)
        << r.out;
    std::string json = ReadFile(dir_ + "/r.json");
    EXPECT_EQ(JsonString(json, "scene"), "ViewerScene");
    EXPECT_EQ(JsonNumber(json, "subsets"), 2) << json;  // two subsets with faces a frame
    EXPECT_GE(JsonNumber(json, "triangles"), 2) << json;  // the caption adds its own

    // A compressed file shows what its text form shows.
    std::string seen[2];
    for (int i = 0; i < 2; ++i) {
        r = Run({"--headless", "--frames", "3", "--view", VARNOK_TEST_DATA + std::string(i ? "/cube_tzip.x" : "/cube.x")});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        seen[i] = r.out.substr(r.out.find(".x: ") + 4);
    }
    EXPECT_EQ(seen[1], seen[0]);
    EXPECT_EQ(seen[0].rfind("1 subsets, 12 faces full", 0), 0u) << seen[0];

    r = Run({"--headless", "--frames", "3", "--view", dir_ + "/nothing.x"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("nothing.x: cannot be opened"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("the model does not load"), std::string::npos) << r.err;
    for (const char* d : {"-3", "0", "inf", "nan", "1e6", "x"}) {
        r = Run({"--view-distance", d});
        EXPECT_EQ(r.exitCode, 2) << d;
        EXPECT_NE(r.err.find("is not a distance above 0 and below 100000"), std::string::npos) << r.err;
    }
}

TEST_F(Headless, ARunThatCouldNeverEndIsRefused)
{
    // Nobody can close a headless window: without a frame limit or a script
    // that quits, the run is refused at once.
    WriteFile(dir_ + "/keys.txt", "5 keydown W\n9 keyup W\n");
    for (auto args : std::vector<std::vector<std::string>>{
             {"--headless"}, {"--headless", "--battle"}, {"--headless", "--script", dir_ + "/keys.txt"}}) {
        RunResult r = Run(args);
        EXPECT_EQ(r.exitCode, 2) << args.size();
        EXPECT_NE(r.err.find("a headless run needs --frames N or a --script that quits"), std::string::npos)
            << r.err;
    }
    WriteFile(dir_ + "/end.txt", "5 keydown W\n9 quit\n");
    EXPECT_EQ(Run({"--headless", "--script", dir_ + "/end.txt"}).exitCode, 0);
}

TEST_F(Headless, AnUnwritableSoundFileStopsTheRunBeforeItStarts)
{
    struct Case {
        std::string path, reason;
    } cases[] = {
        {"/nonexistent-dir/out.wav", "No such file or directory"},
        {dir_, "it is a folder"},
    };
    for (const Case& c : cases) {
        RunResult r = Run({"--headless", "--frames", "5", "--audio-out", c.path, "--report", dir_ + "/r.json"});
        EXPECT_EQ(r.exitCode, 2) << c.path;
        EXPECT_NE(r.err.find("--audio-out " + c.path + ": cannot be written (" + c.reason + ")"),
                  std::string::npos)
            << r.err;
        EXPECT_NE(access((dir_ + "/r.json").c_str(), F_OK), 0) << "the game ran";
    }
    // A good path is checked without being left behind when the run is refused.
    RunResult r = Run({"--headless", "--audio-out", dir_ + "/ok.wav"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(access((dir_ + "/ok.wav").c_str(), F_OK), 0);
}

TEST_F(Headless, AFolderWithoutThePackIsNamedOnce)
{
    std::string empty = MakeTempDir();
    RunResult r = RunProgram({VARNOK_EXE, "--headless", "--frames", "5", "--data", empty});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(empty + " does not hold the game's data pack (Map/Mountainous.x is missing)"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("build/data"), std::string::npos) << r.err;
    // One message, not one per file the game would then fail to open.
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 3) << r.err;
    std::system(("rm -rf " + empty).c_str());

    // Within a real pack the first missing start-up file is the one named.
    ASSERT_EQ(unlink((dir_ + "/Sky/Sky_CloudyDay1.x").c_str()), 0);
    r = Run({"--headless", "--frames", "5"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("(Sky/Sky_CloudyDay1.x is missing)"), std::string::npos) << r.err;
}

TEST_F(Headless, TheDataPackIsTheSameEveryTime)
{
    std::string a = dir_ + "/a", b = dir_ + "/b";
    const char* font = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
    ASSERT_EQ(RunProgram({VARNOK_PACKGEN, a, font}).exitCode, 0);
    ASSERT_EQ(RunProgram({VARNOK_PACKGEN, b, font}).exitCode, 0);
    EXPECT_EQ(std::system(("diff -r -q " + a + " " + b).c_str()), 0);
    EXPECT_EQ(RunProgram({VARNOK_PACKGEN, a}).exitCode, 2);
    EXPECT_EQ(RunProgram({VARNOK_PACKGEN, a, dir_ + "/none.ttf"}).exitCode, 1);
}

TEST_F(Headless, ABattleStartsFromTheCommandLine)
{
    RunResult r = Run({"--headless", "--battle", "--side", "robot", "--robot", "102", "--earth", "2", "--mercury",
                       "3", "--sky", "206", "--minutes", "5", "--frames", "40", "--seed", "9", "--report",
                       dir_ + "/r.json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string json = ReadFile(dir_ + "/r.json");
    EXPECT_EQ(JsonString(json, "scene"), "BattleFrame");
    EXPECT_NE(json.find("\"battle\":{\"clock\":"), std::string::npos) << json;
    EXPECT_NE(json.find("{\"side\":\"mercury\",\"slot\":0,\"name\":\"Player\",\"kind\":102,"
                        "\"kind_name\":\"R-NO.15\""),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"name\":\"Robot02\""), std::string::npos);
    EXPECT_EQ(json.find("\"name\":\"Robot03\""), std::string::npos);
    EXPECT_NE(json.find("\"name\":\"Tank01\""), std::string::npos);
    EXPECT_NE(json.find("\"update\":{\"mean\""), std::string::npos);
    EXPECT_LE(JsonNumber(json, "clock"), 5 * 3600);
}

TEST_F(Headless, TheSameSeedAndScriptGiveTheSameBattle)
{
    WriteFile(dir_ + "/drive.txt", "5 keydown W\n10 move 460 280\n20 move 420 330\n40 keyup W\n45 buttondown right\n");
    std::string units[2];
    for (int k = 0; k < 2; ++k) {
        RunResult r = Run({"--headless", "--battle", "--frames", "60", "--seed", "4", "--script", dir_ + "/drive.txt",
                           "--report", dir_ + "/r.json"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        units[k] = JsonArray(ReadFile(dir_ + "/r.json"), "units");
    }
    EXPECT_FALSE(units[0].empty());
    EXPECT_EQ(units[0], units[1]);
}

// A session recorded through the menus into a battle and back plays again
// from its recording alone: same screens, same battle, same report but for
// the wall-clock timings.
TEST_F(Headless, ARecordedSessionReplaysToTheSameReport)
{
    std::string menus = std::string(VARNOK_SOURCE) + "/tests/reference/menus.txt";
    // Played with forward rebound to I, replayed where the keys are the
    // defaults: the session carries the keys it was played with.
    const std::string config = std::string(std::getenv("XDG_CONFIG_HOME")) + "/varnok";
    ASSERT_EQ(system(("mkdir -p " + config).c_str()), 0);
    WriteFile(config + "/SettingData.dat", "key_forward 73\n");
    RunResult r = Run({"--headless", "--seed", "5", "--frames", "2800", "--script", menus, "--record",
                       dir_ + "/session.txt", "--report", dir_ + "/a.json"});
    std::remove((config + "/SettingData.dat").c_str());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string session = ReadFile(dir_ + "/session.txt");
    EXPECT_NE(session.find("seed 5\nargs --frames 2800\noptions 0 800 600 1024\nvolume 10 10 10\n"
                           "keys 73 83 65 68 37 39 38 40 1 2 90 9 27\n"),
              std::string::npos)
        << session;
    r = Run({"--headless", "--script", dir_ + "/session.txt", "--report", dir_ + "/b.json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string a = ReadFile(dir_ + "/a.json");
    EXPECT_NE(a.find("\"battles_started\":2"), std::string::npos) << a;  // one a side
    RunResult same = RunProgram({"/usr/bin/env", "python3", std::string(VARNOK_SOURCE) + "/tests/reference/compare.py", dir_ + "/a.json",
                                 dir_ + "/b.json"});
    EXPECT_EQ(same.exitCode, 0) << same.out;
}

// A battle played with the game controller alone, against the same battle
// with the pad only plugged in: the left stick drives the tank on, the right
// stick turns the turret 2 degrees a step (20 steps: 40 degrees, the camera
// behind it), the right trigger fires the main gun, the left trigger
// switches to the machine gun, which fires once risen, and Start pauses for
// 60 steps (the clock stands) and resumes.  Its recording plays the same
// battle again.
TEST_F(Headless, ABattlePlayedOnThePadAloneDrivesAimsFiresSwitchesAndPauses)
{
    WriteFile(dir_ + "/pad.txt",
              "2 padconnect\n"
              "10 padaxis LEFTY 32767\n70 padaxis LEFTY 0\n"               // forward
              "75 padaxis RIGHTX 32767\n95 padaxis RIGHTX 0\n"             // the turret right
              "100 padaxis RIGHTTRIGGER 255\n104 padaxis RIGHTTRIGGER 0\n"  // the main gun
              "110 padaxis LEFTTRIGGER 255\n112 padaxis LEFTTRIGGER 0\n"    // the machine gun rises
              "180 padaxis RIGHTTRIGGER 255\n200 padaxis RIGHTTRIGGER 0\n"  // and fires
              "210 paddown START\n211 padup START\n270 paddown START\n271 padup START\n");
    WriteFile(dir_ + "/still.txt", "2 padconnect\n");
    struct Seen {
        double clock, x, z, fired, turn, mainGun, machineGun;
    };
    auto run = [&](const std::string& script, const std::vector<std::string>& more) {
        std::vector<std::string> args = {"--headless", "--battle", "--earth", "1", "--mercury", "1", "--seed", "4",
                                         "--frames", "300", "--script", dir_ + "/" + script, "--report",
                                         dir_ + "/" + script + ".json"};
        args.insert(args.end(), more.begin(), more.end());
        RunResult r = Run(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        const std::string json = ReadFile(dir_ + "/" + script + ".json");
        const std::string unit = JsonArray(json, "units");
        const std::string eye = JsonArray(json, "camera_eye");
        double e[3] = {0, 0, 0};
        EXPECT_EQ(std::sscanf(eye.c_str(), "[%lf,%lf,%lf]", &e[0], &e[1], &e[2]), 3) << eye;
        Seen s{JsonNumber(JsonObject(json, "battle"), "clock"), JsonNumber(unit, "x"), JsonNumber(unit, "z"),
               JsonNumber(unit, "fired"), 0, JsonNumber(JsonObject(json, "TankFire"), "started"),
               JsonNumber(JsonObject(json, "MachineGun"), "started")};
        // Where the camera stands round the tank: behind the turret.
        s.turn = std::atan2(e[0] - s.x, e[2] - s.z) * 180 / M_PI;
        return s;
    };
    const Seen pad = run("pad.txt", {"--record", dir_ + "/session.txt"}), still = run("still.txt", {});
    EXPECT_EQ(pad.clock - still.clock, 60);  // paused for 60 steps
    EXPECT_GT(std::hypot(pad.x - still.x, pad.z - still.z), 10);
    EXPECT_NEAR(pad.turn - still.turn, 40, 0.5);
    EXPECT_EQ(still.fired, 0);
    EXPECT_EQ(pad.mainGun, 1);                // one pull, one shell
    EXPECT_GE(pad.machineGun, 3);             // then bursts of the machine gun
    EXPECT_EQ(pad.fired, pad.mainGun + pad.machineGun);
    EXPECT_EQ(still.mainGun + still.machineGun, 0);

    const std::string session = ReadFile(dir_ + "/session.txt");
    EXPECT_NE(session.find("\n2 padconnect\n10 padaxis LEFTY 32767\n"), std::string::npos) << session;
    RunResult r = Run({"--headless", "--script", dir_ + "/session.txt", "--report", dir_ + "/again.json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    RunResult same = RunProgram({"/usr/bin/env", "python3", std::string(VARNOK_SOURCE) + "/tests/reference/compare.py",
                                 dir_ + "/pad.txt.json", dir_ + "/again.json"});
    EXPECT_EQ(same.exitCode, 0) << same.out;
}

// From the title through every screen with the mouse and keys, into a
// battle with exactly the settings chosen, and back to the title by the
// pause menu with the side kept and the rest at its defaults.
TEST_F(Headless, TheMenusChooseEveryBattleSettingAndStartIt)
{
    struct Flow {
        const char* side;
        float planetX;
        int kind;  // what the player drives
        const char* kindName;
    } flows[] = {{"earth", 170, 2, "ABRAMS"}, {"mercury", 630, 102, "R-NO.15"}};
    for (const Flow& f : flows) {
        MenuScript m;
        m.Click(100, 400, 260);        // start
        m.Click(200, f.planetX, 290);  // a side
        int step = 300;
        // Every kind with the left arrow, once round and on to the kind
        // after the one to drive.
        const int kinds = f.kind < 100 ? 9 : 4;
        const int clicks = f.kind < 100 ? 10 : 6;  // 2 -> 3, 101 -> 103
        for (int i = 0; i < clicks; ++i, step += 10) m.Click(step, 80, 300);
        // Back with the keys, and forward once with the other pair.
        for (int i = 0; i < kinds; ++i, step += 4) m.Key(step, i % 2 ? "LEFT" : "A");
        m.Key(step, f.kind < 100 ? "RIGHT" : "D");
        step += 10;
        m.Click(step, 690, 525);  // Next
        step += 100;
        for (int i = 0; i < 3; ++i, step += 10) m.Click(step, 560, 410);  // sky 206
        for (int i = 0; i < 2; ++i, step += 10) m.Click(step, 66, 420);   // Earth 6
        m.Click(step, 733, 450);                                          // Mercury 3
        step += 10;
        for (int i = 0; i < 4; ++i, step += 10) m.Click(step, 240, 475);  // 10 minutes
        m.Click(step, 590, 530);  // Start
        const int started = step;
        WriteFile(dir_ + "/menus.txt", m.Text());
        RunResult r = Run({"--headless", "--seed", "3", "--script", dir_ + "/menus.txt", "--frames",
                           std::to_string(started + 200), "--report", dir_ + "/r.json"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        std::string json = ReadFile(dir_ + "/r.json");
        EXPECT_EQ(JsonString(json, "scene"), "BattleFrame") << f.side << json;
        std::string settings = JsonObject(json, "settings");
        EXPECT_EQ(JsonString(settings, "side"), f.side) << settings;
        EXPECT_EQ(JsonNumber(settings, f.kind < 100 ? "tank_type" : "robot_type"), f.kind) << settings;
        EXPECT_EQ(JsonNumber(settings, "earth_count"), 6) << settings;
        EXPECT_EQ(JsonNumber(settings, "mercury_count"), 3) << settings;
        EXPECT_EQ(JsonNumber(settings, "sky"), 206) << settings;
        EXPECT_EQ(JsonNumber(settings, "minutes"), 10) << settings;
        EXPECT_EQ(JsonNumber(json, "battles_started"), 1);
        EXPECT_GT(JsonNumber(json, "clock"), 10 * 3600 - 200);
        std::string units = JsonArray(json, "units");
        EXPECT_NE(units.find(std::string("\"name\":\"Player\",\"kind\":") + std::to_string(f.kind)),
                  std::string::npos) << units;
        EXPECT_NE(units.find("\"name\":\"Tank05\""), std::string::npos) << units;
        EXPECT_EQ(units.find("\"name\":\"Tank06\""), std::string::npos) << units;
        EXPECT_NE(units.find("\"name\":\"Robot02\""), std::string::npos) << units;
        EXPECT_EQ(units.find("\"name\":\"Robot03\""), std::string::npos) << units;

        // Escape, then the pause menu's second entry: back at the title.
        m.Key(started + 100, "ESCAPE").Move(started + 110, 400, 345).Line(started + 112, "buttondown left");
        m.Line(started + 114, "buttonup left");
        WriteFile(dir_ + "/menus.txt", m.Text());
        r = Run({"--headless", "--seed", "3", "--script", dir_ + "/menus.txt", "--frames",
                 std::to_string(started + 200), "--report", dir_ + "/r.json"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        json = ReadFile(dir_ + "/r.json");
        EXPECT_EQ(JsonString(json, "scene"), "TitleMenu") << f.side;
        std::string menu = JsonObject(json, "menu");
        EXPECT_EQ(JsonString(menu, "side"), f.side) << menu;
        EXPECT_EQ(JsonNumber(menu, "earth_count"), 4) << menu;
        EXPECT_EQ(JsonNumber(menu, "sky"), 203) << menu;
        EXPECT_EQ(JsonNumber(menu, "minutes"), 30) << menu;
        EXPECT_EQ(JsonNumber(menu, "tank_type"), 2) << menu;
        EXPECT_EQ(JsonNumber(menu, "robot_type"), 101) << menu;
    }
}

TEST_F(Headless, HelpPrintsUsageAndExitCodesAndVersionPrintsTheTitlesVersion)
{
    RunResult r = Run({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find("--headless"), std::string::npos);
    EXPECT_NE(r.out.find("exit codes:\n  0  "), std::string::npos) << r.out;
    r = Run({"--version"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "VARNOK Ver.1.01\n");  // as the title shows it
}

TEST_F(Headless, TheAudioReportSaysWhySoundIsOff)
{
    // The "audio" object of the report, from its key to the end.
    auto audio = [&] {
        std::string json = ReadFile(dir_ + "/r.json");
        size_t at = json.find("\"audio\":{");
        return at == std::string::npos ? std::string() : json.substr(at);
    };
    // Headless without a wave file: no device, by request.
    RunResult r = Run({"--headless", "--frames", "5", "--report", dir_ + "/r.json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(audio().rfind("\"audio\":{\"backend\":\"null\",\"null_reason\":\"headless\",", 0), 0u) << audio();
    EXPECT_EQ(r.err.find("sound"), std::string::npos) << r.err;
    // With a wave file OpenAL mixes into it: sound is on and no reason is given.
    r = Run({"--headless", "--frames", "5", "--audio-out", dir_ + "/mix.wav", "--report", dir_ + "/r.json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(audio().rfind("\"audio\":{\"backend\":\"openal\",\"pools\":", 0), 0u) << audio();
    EXPECT_EQ(r.err.find("sound"), std::string::npos) << r.err;
}

TEST_F(Headless, TheTanksOfADemoBattleDriveOffAndFire)
{
    RunResult r = Run({"--headless", "--battle", "--side", "tank", "--demo", "--earth", "8", "--mercury", "8",
                       "--seed", "5", "--frames", "3000", "--report", dir_ + "/r.json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string json = ReadFile(dir_ + "/r.json");
    // Every tank, the player's included, has left its start point, and the
    // tanks have fired.
    std::string units = JsonArray(json, "units");
    int tanks = 0;
    double fired = 0;
    for (size_t at = units.find("\"side\":\"earth\""); at != std::string::npos;
         at = units.find("\"side\":\"earth\"", at + 1)) {
        std::string unit = units.substr(at, units.find('}', at) - at);
        int slot = static_cast<int>(JsonNumber(unit, "slot"));
        double startX = 925 - (slot / 4) * 20, startZ = 925 - (slot % 4) * 20;
        double moved = std::hypot(JsonNumber(unit, "x") - startX, JsonNumber(unit, "z") - startZ);
        EXPECT_GT(moved, 10) << unit;
        fired += JsonNumber(unit, "fired");
        ++tanks;
    }
    EXPECT_EQ(tanks, 8);
    EXPECT_GT(fired, 0) << units;
    // The report times every pass of the battle frame, in drawing order.
    const std::string passes = json.substr(json.find("\"pass_ms\""));
    size_t at = 0;
    for (const char* pass : {"clear", "shadow depth", "units", "ground cells", "hills and mountains", "sky",
                             "particles", "shots", "walls and signs", "point sprites", "hud", "present"}) {
        size_t next = passes.find(std::string("\"") + pass + "\":", at);
        EXPECT_NE(next, std::string::npos) << pass << " in " << passes.substr(0, 400);
        if (next != std::string::npos) at = next;
    }
}

TEST_F(Headless, TheRobotsOfADemoBattleWalkOffAndFightWhateverTheSeed)
{
    // 16 a side, every unit the computer's, the camera on robot 0, five
    // minutes, with two seeds: what holds must hold for any battle.  (That
    // a seed gives the same battle each time is the reference runs' check.)
    std::string reports[2];
    const char* seeds[2] = {"2", "9"};
    for (int k = 0; k < 2; ++k) {
        RunResult r = RunProgram({VARNOK_EXE, "--data", dir_, "--headless", "--battle", "--side", "robot", "--demo",
                                  "--earth", "16", "--mercury", "16", "--seed", seeds[k], "--frames", "18000",
                                  "--report", dir_ + "/r.json"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        reports[k] = ReadFile(dir_ + "/r.json");
    }
    EXPECT_NE(JsonArray(reports[0], "units"), JsonArray(reports[1], "units")) << "the seed changes nothing";
    for (int k = 0; k < 2; ++k) {
        SCOPED_TRACE(std::string("seed ") + seeds[k]);
        const std::string& json = reports[k];
        EXPECT_GT(JsonNumber(json, "fired"), 0) << json;
        // Footsteps, and robot 0, followed by the camera, fired its guns and
        // its missiles within earshot.
        for (const char* sound : {"\"RobotWalk\":", "\"RobotFire\":", "\"MFire\":"}) {
            size_t at = json.find(sound);
            ASSERT_NE(at, std::string::npos) << json;
            EXPECT_GT(JsonNumber(json.substr(at), "started"), 0) << sound;
        }
        // Every robot, the player's included, has left its start point, and
        // no unit of either side has left the field.
        std::string units = JsonArray(json, "units");
        int robots = 0, robotKills = 0, tankDeaths = 0, tankKills = 0, robotDeaths = 0;
        for (size_t at = units.find("{\"side\""); at != std::string::npos; at = units.find("{\"side\"", at + 1)) {
            std::string unit = units.substr(at, units.find('}', at) - at);
            double x = JsonNumber(unit, "x"), z = JsonNumber(unit, "z");
            EXPECT_GE(x, 0) << unit;
            EXPECT_LE(x, 1000) << unit;
            EXPECT_GE(z, 0) << unit;
            EXPECT_LE(z, 1000) << unit;
            if (JsonString(unit, "side") != "mercury") {
                tankDeaths += static_cast<int>(JsonNumber(unit, "deaths"));
                tankKills += static_cast<int>(JsonNumber(unit, "kills"));
                continue;
            }
            robotKills += static_cast<int>(JsonNumber(unit, "kills"));
            robotDeaths += static_cast<int>(JsonNumber(unit, "deaths"));
            int slot = static_cast<int>(JsonNumber(unit, "slot"));
            double startX = 95 + (slot / 4) * 20, startZ = 95 + (slot % 4) * 20;
            EXPECT_GT(std::hypot(x - startX, z - startZ), 10) << unit;
            ++robots;
        }
        EXPECT_EQ(robots, 16);
        // Five minutes of sixteen a side always see kills, and every kill is
        // a death on the other side.
        EXPECT_GT(robotKills + tankKills, 0);
        EXPECT_EQ(robotKills, tankDeaths);
        EXPECT_EQ(tankKills, robotDeaths);
    }
}

TEST_F(Headless, BattlesEndOrAreLeftAndTheMenusStartTheNextOneTheSameWay)
{
    // Battle 1 (from the command line) is paused and left by the menu's
    // second entry; the menus start battle 2 with five minutes, which run
    // out: 300 end steps later the game is back at the title, and the
    // menus start battle 3.
    MenuScript m;
    m.Key(100, "ESCAPE").Move(110, 400, 345).Line(112, "buttondown left").Line(114, "buttonup left");
    auto startFiveMinutes = [&](int step) {
        m.Click(step, 400, 260).Click(step + 20, 630, 290).Click(step + 40, 690, 525);
        for (int i = 0; i < 12; ++i) m.Click(step + 60 + 10 * i, 66, 420).Click(step + 65 + 10 * i, 733, 420);
        for (int i = 0; i < 5; ++i) m.Click(step + 200 + 10 * i, 240, 475);
        m.Click(step + 260, 590, 530);
    };
    startFiveMinutes(150);        // battle 2 starts at about step 415
    startFiveMinutes(19000);      // battle 3 at about 19265
    WriteFile(dir_ + "/three.txt", m.Text());
    auto run = [&](int frames) {
        RunResult r = Run({"--headless", "--battle", "--demo", "--side", "robot", "--earth", "16", "--mercury", "16",
                           "--minutes", "5", "--seed", "17", "--script",
                           dir_ + "/three.txt", "--frames", std::to_string(frames), "--report", dir_ + "/r.json"});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return ReadFile(dir_ + "/r.json");
    };
    std::string left = run(120);
    EXPECT_EQ(JsonString(left, "scene"), "TitleMenu") << left;
    // In battle 2's end phase, with kills on the board, the result is out.
    std::string ending = run(18600);
    EXPECT_EQ(JsonString(ending, "scene"), "BattleFrame") << ending;
    EXPECT_EQ(JsonNumber(ending, "battles_started"), 2);
    EXPECT_EQ(JsonNumber(ending, "clock"), 0);
    EXPECT_NE(JsonNumber(ending, "result"), 0) << ending;
    EXPECT_NE(JsonArray(ending, "units").find("\"kills\":1"), std::string::npos) << ending;
    std::string ended = run(18900);
    EXPECT_EQ(JsonString(ended, "scene"), "TitleMenu") << ended;
    // Back on the title the report still tells battle 2 as it ended: its
    // clock run out, its result and its scores.
    EXPECT_EQ(JsonNumber(ended, "clock"), 0);
    EXPECT_EQ(JsonNumber(ended, "result"), JsonNumber(ending, "result"));
    EXPECT_NE(JsonArray(ended, "units").find("\"kills\":1"), std::string::npos) << ended;
    std::string third = run(19400);
    EXPECT_EQ(JsonString(third, "scene"), "BattleFrame") << third;
    EXPECT_EQ(JsonNumber(third, "battles_started"), 3);
    // A fresh clock: five minutes less the steps since Start.
    EXPECT_GT(JsonNumber(third, "clock"), 5 * 3600 - 160);
    EXPECT_EQ(JsonNumber(third, "result"), 0);
}

// A recording's header can only shape the run: a flag naming a file or
// folder, a value out of range, a display, level or key set the game could
// not have run on is refused with the script's name and line, and nothing
// is written.  The files a run writes are each its own and never the script
// it plays.
TEST_F(Headless, ARecordingsHeaderOnlyShapesTheRunAndItsFilesStayApart)
{
    const std::string s = dir_ + "/s.txt", mine[] = {dir_ + "/f1", dir_ + "/f2", dir_ + "/f3"};
    for (const std::string& f : mine) WriteFile(f, "the player's own");
    struct Case {
        std::string header;
        std::vector<std::string> more;
        std::string told;
    } cases[] = {
        {"args --battle --demo --report " + mine[0] + " --record " + mine[1] + " --audio-out " + mine[2], {},
         s + ":2: args: '--report' is not for a recording"},
        {"args --battle --data " + dir_, {}, s + ":2: args: '--data' is not for a recording"},
        {"args --view-out " + mine[0], {}, s + ":2: args: '--view-out' is not for a recording"},
        {"args --battle --earth 99", {}, s + ":2: args: --earth: '99' is not a whole number from 1 to 16"},
        {"options 0 0 0 0", {}, s + ":2: options: '0' x '0' is not a screen size"},
        {"options 0 800 600 100", {}, s + ":2: options: '100' is not a shadow map size"},
        {"volume 10 11 10", {}, s + ":2: volume: '11' is not a sound level (0 to 10)"},
        {"keys 87 87 65 68 37 39 38 40 1 2 90 9 27", {}, s + ":2: keys: not 13 different keys"},
        {"", {"--record", s}, "--script " + s + " and --record " + s + " are one file"},
        {"", {"--record", mine[0], "--report", dir_ + "/./f1"}, "--record " + mine[0] + " and --report"},
        {"", {"--report", mine[1], "--audio-out", mine[1]}, "--report " + mine[1] + " and --audio-out"},
    };
    for (const Case& c : cases) {
        const std::string text = "seed 1\n" + c.header + "\n5 quit\n";
        WriteFile(s, text);
        std::vector<std::string> args = {"--headless", "--script", s};
        args.insert(args.end(), c.more.begin(), c.more.end());
        RunResult r = Run(args);
        EXPECT_EQ(r.exitCode, 2) << c.header;
        EXPECT_NE(r.err.find("varnok: " + c.told), std::string::npos) << r.err;
        EXPECT_EQ(ReadFile(s), text);
        for (const std::string& f : mine) EXPECT_EQ(ReadFile(f), "the player's own") << c.header;
    }
}

// A replay runs on the display, levels and keys its recording brings, and
// APPLY changes the running game, but neither of the player's files is
// written.
TEST_F(Headless, AReplayedApplySavesNothingOfThePlayers)
{
    mkdir((dir_ + "/Data").c_str(), 0755);
    const std::string options = "0\r\n1024\r\n768\r\n1600\r\n", settings = "key_forward 73\nkey_backward 75\n";
    WriteFile(dir_ + "/Data/OptionData.dat", options);
    WriteFile(dir_ + "/Data/SettingData.dat", settings);
    MenuScript m;
    m.Click(60, 400, 420).Click(100, 666, 165).Click(120, 78, 518).Line(160, "quit");  // OPTIONS, 1024 x 768, APPLY
    WriteFile(dir_ + "/replay.txt", "seed 1\noptions 0 800 600 512\nvolume 4 4 4\n"
                                    "keys 87 83 65 68 37 39 38 40 1 2 90 9 27\n" + m.Text());
    RunResult r = Run({"--headless", "--script", dir_ + "/replay.txt", "--report", dir_ + "/r.json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string menu = JsonObject(ReadFile(dir_ + "/r.json"), "menu");
    EXPECT_EQ(JsonNumber(menu, "width"), 1024) << menu;  // applied to the running game
    EXPECT_EQ(ReadFile(dir_ + "/Data/OptionData.dat"), options);
    EXPECT_EQ(ReadFile(dir_ + "/Data/SettingData.dat"), settings);
}

// A recording of a replay is the same run: it carries the flags of the
// recording played, merged with those given, and plays to the same report.
// A session left by the title's QUIT ends with a line that quits, so it
// replays headless without --frames.  Each recording carries the levels it
// was played at, and its replay's sound is the same, whatever the player's
// own levels are now.
TEST_F(Headless, ARecordingOfAReplayIsTheSameRunAndEndsWhereItEnded)
{
    mkdir((dir_ + "/Data").c_str(), 0755);
    WriteFile(dir_ + "/Data/SettingData.dat", "master_volume 3\n");
    // The title's QUIT (the last line only lets the run start headless; it
    // is never reached).
    WriteFile(dir_ + "/quit.txt", MenuScript().Click(120, 400, 500).Line(5000, "quit").Text());
    RunResult r = Run({"--headless", "--script", dir_ + "/quit.txt", "--record", dir_ + "/a.rec"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string a = ReadFile(dir_ + "/a.rec");
    EXPECT_NE(a.find("\nvolume 3 10 10\n"), std::string::npos) << a;
    EXPECT_NE(a.find("\n122 quit\n"), std::string::npos) << a;
    r = Run({"--headless", "--script", dir_ + "/a.rec", "--report", dir_ + "/a.json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(JsonNumber(ReadFile(dir_ + "/a.json"), "frames"), 122);

    WriteFile(dir_ + "/battle.rec", "seed 7\nargs --battle --earth 1 --mercury 2 --sky 205 --frames 150\n"
                                    "10 keydown W\n100 keyup W\n");
    r = Run({"--headless", "--script", dir_ + "/battle.rec", "--record", dir_ + "/b.rec", "--report",
             dir_ + "/b.json", "--audio-out", dir_ + "/b.wav"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string b = ReadFile(dir_ + "/b.rec");
    EXPECT_NE(b.find("seed 7\nargs --battle --earth 1 --mercury 2 --sky 205 --frames 150\n"), std::string::npos) << b;
    WriteFile(dir_ + "/Data/SettingData.dat", "master_volume 10\n");
    r = Run({"--headless", "--script", dir_ + "/b.rec", "--report", dir_ + "/c.json", "--audio-out",
             dir_ + "/c.wav"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    RunResult same = RunProgram({"/usr/bin/env", "python3", std::string(VARNOK_SOURCE) + "/tests/reference/compare.py",
                                 dir_ + "/b.json", dir_ + "/c.json"});
    EXPECT_EQ(same.exitCode, 0) << same.out;
    EXPECT_TRUE(ReadFile(dir_ + "/b.wav") == ReadFile(dir_ + "/c.wav")) << "the replay is heard at its own levels";
}

// Ctrl+C and SIGTERM close a headless run as closing the window closes
// one: its report and its recording are written, and the recording ends
// where the run did.
TEST_F(Headless, AStoppedHeadlessRunKeepsItsReportAndRecording)
{
    for (int sig : {SIGINT, SIGTERM}) {
        const std::string report = dir_ + "/r" + std::to_string(sig) + ".json", rec = dir_ + "/s" + std::to_string(sig);
        Running p = StartProgram({VARNOK_EXE, "--data", dir_, "--headless", "--frames", "1000000000", "--report",
                                  report, "--record", rec});
        // Stopped once the game answers the signal (before, it would only die).
        bool caught = false;
        for (int waited = 0; !caught && StillRunning(p) && waited < kRunLimitMs; waited += 20) {
            const std::string status = ReadFile("/proc/" + std::to_string(p.pid) + "/status");
            const size_t at = status.find("SigCgt:");
            caught = at != std::string::npos && (std::stoull(status.substr(at + 7), nullptr, 16) >> (sig - 1) & 1);
            if (!caught) usleep(20000);
        }
        ASSERT_TRUE(caught);
        kill(p.pid, sig);
        RunResult r = FinishProgram(p, kRunLimitMs);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        const std::string json = ReadFile(report), session = ReadFile(rec);
        EXPECT_EQ(JsonNumber(json, "exit_code"), 0) << json;
        const long frames = static_cast<long>(JsonNumber(json, "frames"));
        const std::string last = "\n" + std::to_string(std::max(frames, 1L)) + " quit\n";
        EXPECT_EQ(session.rfind(last), session.size() - last.size()) << session;
    }
}

// Under a file-size limit APPLY's save fails as any failed save does: told,
// the game goes on and ends by itself, and no temporary file is left.
TEST_F(Headless, ASavePastTheFileSizeLimitIsAFailedSave)
{
    mkdir((dir_ + "/Data").c_str(), 0755);
    WriteFile(dir_ + "/Data/OptionData.dat", "0\r\n800\r\n600\r\n1024\r\n");
    WriteFile(dir_ + "/apply.txt", MenuScript().Click(60, 400, 420).Click(100, 78, 518).Line(140, "quit").Text());
    // The limit is the game's alone; its messages pass through a pipe to the
    // test's file.
    RunResult r = RunProgram({"/bin/bash", "-c", "set -o pipefail; (ulimit -f 0; exec \"$0\" \"$@\") 2>&1 | cat >&2",
                              VARNOK_EXE, "--data", dir_, "--headless", "--script", dir_ + "/apply.txt"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("Data/OptionData.dat: the settings were not saved: File too large"), std::string::npos)
        << r.err;
    EXPECT_EQ(ReadFile(dir_ + "/Data/OptionData.dat"), "0\r\n800\r\n600\r\n1024\r\n");
    RunResult left = RunProgram({"/usr/bin/find", dir_ + "/Data", "-name", ".*.??????"});
    EXPECT_EQ(left.out, "");
}

// An installed game finds its pack in share/varnok beside bin/ even when a
// folder named data that is not the pack stands beside the executable.
TEST_F(Headless, AFolderBesideTheGameThatIsNotThePackDoesNotHideIt)
{
    const std::string root = MakeTempDir();
    ASSERT_EQ(std::system(("mkdir -p " + root + "/bin/data " + root + "/share && cp " VARNOK_EXE " " + root +
                           "/bin/varnok && ln -s " VARNOK_PACK " " + root + "/share/varnok")
                              .c_str()),
              0);
    WriteFile(root + "/bin/data/notes.txt", "the player's own");
    RunResult r = RunProgram({root + "/bin/varnok", "--headless", "--frames", "3"}, root);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::system(("rm -rf " + root).c_str());
}
