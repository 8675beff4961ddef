#include "app/entry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <csignal>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "app/cmdline.h"
#include "battle/state_hash.h"
#include "services/controls.h"
#include "services/device.h"
#include "services/display.h"
#include "services/options.h"
#include "services/settings.h"
#include "services/report.h"
#include "services/scene.h"
#include "app/floor.h"
#include "app/viewer.h"
#include "assets/sound.h"
#include "battle/frame.h"
#include "battle/pause.h"
#include "battle/setup.h"
#include "records/state.h"
#include "frontend/frontend.h"
#include "sides/player.h"
#include "sides/tank_side.h"
#include "world/map.h"
#include "world/sky.h"
#include "platform/crt_rand.h"
#include "platform/input_script.h"
#include "platform/system.h"
#include "units/robots/robot_kinds.h"
#include "units/tanks/tank_kinds.h"

namespace {

constexpr const char* kWindowTitle = "VARNOK";
constexpr const char* kWindowClass = "Virarod Izaz IRI Window";

struct RunInfo {
    std::string backend;
    int exitCode = 0;
    double wallMs = 0.0;
    bool seeded = false;
    uint32_t seed = 0;
};
RunInfo gRun;

// Shutdown 5: the engine loops stop before their tanks' models go.
void ReleaseTankModels()
{
    StopTankEngines();
    ReleaseAllTankModels();
}

void WriteCoreReport(JsonWriter& w)
{
    w.Integer("frames", StepsRun());
    w.Integer("skipped_draws", SkippedDraws());
    w.String("scene", SceneName(SceneProc));
    w.Integer("exit_code", gRun.exitCode);
    w.Number("wall_ms", gRun.wallMs);
    w.String("backend", gRun.backend);
    if (gRun.seeded) w.Integer("seed", gRun.seed);
    const TimingStats& t = StepTimes();
    w.BeginObject("step_ms");
    w.Number("mean", t.Mean());
    w.Number("p50", t.Percentile(0.50));
    w.Number("p99", t.Percentile(0.99));
    w.Number("max", t.max);
    w.EndObject();
}

constexpr const char* kWindowIconPath = "Icon/hicolor/64x64/apps/varnok.png";

// Files every start-up reads: the map and the first sky.  A folder without
// them is not the data pack at all, so one message says so instead of a
// message box for every file the game then fails to open.
const char* const kPackMarkers[] = {"Map/Mountainous.x", "Map/MountainousCollision.x",
                                    "Sky/Sky_CloudyDay1.x"};

// Empty when `dir` holds the pack; otherwise the first marker missing.
std::string FirstMissingPackFile(const std::string& dir)
{
    for (const char* f : kPackMarkers) {
        std::string path = (dir.empty() ? std::string(".") : dir) + "/" + f;
        if (access(path.c_str(), R_OK) != 0) return f;
    }
    return "";
}

// Where the data pack is when no --data names it; *installed says whether
// it is an installed game's (share/varnok beside bin/).
std::string DefaultDataDir(bool* installed)
{
    *installed = false;
    char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) return "";
    exe[n] = '\0';
    std::string dir(exe);
    dir.erase(dir.find_last_of('/') + 1);
    // A build keeps the pack beside the executable; an install keeps it in
    // share/varnok beside bin/.  A folder that does not hold the pack (a
    // player's own `data` beside bin/) is passed over.
    for (const char* where : {"data", VARNOK_DATA_FROM_BIN})
        if (FirstMissingPackFile(dir + where).empty()) {
            *installed = std::strcmp(where, VARNOK_DATA_FROM_BIN) == 0;
            return dir + where;
        }
    return "";
}

// Whether the wave-file output can be written, checked before anything
// starts so that a bad path stops the run instead of running it silently.
bool CheckWritable(const std::string& path, std::string* why)
{
    struct stat st {};
    bool existed = stat(path.c_str(), &st) == 0;
    if (existed && S_ISDIR(st.st_mode)) {
        *why = "it is a folder";
        return false;
    }
    int fd = open(path.c_str(), O_WRONLY | O_CREAT, 0644);
    if (fd < 0) {
        *why = std::strerror(errno);
        return false;
    }
    close(fd);
    if (!existed) unlink(path.c_str());
    return true;
}

// The session as a script: the seed, the flags it ran by (those that shape
// the run, not where its files go), the display it ran on, the battle's keys
// and the sound levels it started with, then every input event with its
// step, and last a line that quits at the step the run ended, so that a
// session closed by a menu's QUIT replays headless too.
bool WriteRecording(const std::string& path, const std::vector<std::string>& runArgs, uint32_t seed,
                    const OptionRecord& options, const int32_t (&keys)[kBattleActionCount],
                    const SoundLevels& volume)
{
    std::string text = "# A recorded session: varnok --script FILE plays it again.\nseed " + std::to_string(seed) + "\n";
    const std::vector<std::string> args = RecordedArgs(runArgs);
    if (!args.empty()) {
        text += "args";
        for (const std::string& a : args) text += " " + a;
        text += "\n";
    }
    char line[128];
    std::snprintf(line, sizeof line, "options %d %d %d %d\nvolume %d %d %d\nkeys", options.fullScreen,
                  options.screenWidth, options.screenHeight, options.shadowMapSize, volume.master, volume.effects,
                  volume.engine);
    text += line;
    for (int32_t k : keys) text += " " + std::to_string(k);
    text += "\n";
    const std::vector<std::string> events = sys::RecordedEvents();
    for (const std::string& e : events) text += e + "\n";
    const std::string quit = std::to_string(std::max<uint32_t>(StepsRun(), 1)) + " quit";
    if (events.empty() || events.back() != quit) text += quit + "\n";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    bool ok = f && std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (f) ok = std::fclose(f) == 0 && ok;
    if (!ok) std::fprintf(stderr, "varnok: --record %s: %s\n", path.c_str(), std::strerror(errno));
    return ok;
}

std::string Absolute(const std::string& path)
{
    if (path.empty() || path[0] == '/') return path;
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd)) return path;
    return std::string(cwd) + "/" + path;
}

// A header line the game refuses, named by the script's file and line.
int RefuseHeader(const std::string& script, int line, const char* word, const std::string& what)
{
    std::fprintf(stderr, "varnok: %s:%d: %s: %s\n", script.c_str(), line, word, what.c_str());
    return 2;
}

// Where a path leads: the file itself when it exists, else its place (the
// folder as the system resolves it, and the name).
struct Place {
    bool exists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    std::string path;
};
Place PlaceOf(const std::string& path)
{
    Place p;
    struct stat st {};
    if (stat(path.c_str(), &st) == 0) {
        p.exists = true;
        p.dev = st.st_dev;
        p.ino = st.st_ino;
    }
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    char real[PATH_MAX];
    p.path = (realpath(folder.c_str(), real) ? std::string(real) : Absolute(folder)) + "/" +
             path.substr(slash == std::string::npos ? 0 : slash + 1);
    return p;
}
bool SameFile(const std::string& a, const std::string& b)
{
    const Place pa = PlaceOf(a), pb = PlaceOf(b);
    return pa.exists && pb.exists ? pa.dev == pb.dev && pa.ino == pb.ino : pa.path == pb.path;
}

// The files a run writes are each its own, and none of them is the script
// it plays: a report written over the recording, or a recording over the
// session being played, would lose the player's file.
bool RunFilesApart(const CommandLine& cl, std::string* error)
{
    const std::pair<const char*, const std::string*> files[] = {
        {"--script", &cl.scriptPath}, {"--record", &cl.recordPath},   {"--report", &cl.reportPath},
        {"--audio-out", &cl.audioOut}, {"--view-out", &cl.viewOut},   {"--hash-log", &cl.hashLog},
    };
    for (size_t i = 0; i < std::size(files); ++i)
        for (size_t j = i + 1; j < std::size(files); ++j)
            if (!files[i].second->empty() && !files[j].second->empty() &&
                SameFile(*files[i].second, *files[j].second)) {
                *error = std::string(files[i].first) + " " + *files[i].second + " and " + files[j].first + " " +
                         *files[j].second + " are one file; each needs its own";
                return false;
            }
    return true;
}

}  // namespace

intptr_t MainWindowProc(uint32_t msg, uint32_t wParam)
{
    switch (msg) {
    case sys::MSG_DESTROY:
        sys::PostQuitMessage(0);
        return 0;
    case sys::MSG_KEYDOWN:
        if (wParam == VK_F1) sys::PostQuitMessage(0);
        return 0;
    default:
        return sys::DefaultWindowProc(msg, wParam);
    }
}

int VarnokMain(int argc, const char* const* argv)
{
    auto started = std::chrono::steady_clock::now();
    // A write past the file-size limit fails with EFBIG and is told like any
    // failed save, instead of the signal ending the game mid-write.
    std::signal(SIGXFSZ, SIG_IGN);
    CommandLine cl;
    std::string error;
    if (!ParseCommandLine(argc, argv, &cl, &error)) {
        std::fprintf(stderr, "varnok: %s\n%s", error.c_str(), UsageText());
        return 2;
    }
    if (cl.help) {
        std::fputs(UsageText(), stdout);
        return 0;
    }
    if (cl.version) {
        std::printf("VARNOK %s\n", kGameVersion);
        return 0;
    }

    // Paths given on the command line are the caller's, read before moving
    // to the data folder.
    InputScript script;
    if (!cl.scriptPath.empty() && !LoadInputScript(cl.scriptPath, &script, &error)) {
        std::fprintf(stderr, "varnok: %s\n", error.c_str());
        return 2;
    }
    // A recorded session starts as it was started: its flags first, then
    // those given now, which win.  Its flags may only shape the run.
    std::vector<std::string> runArgs(argv + 1, argv + argc);
    if (script.argsLine > 0) {
        if (!CheckRecordedArgs(script.args, &error))
            return RefuseHeader(cl.scriptPath, script.argsLine, "args", error);
        runArgs.insert(runArgs.begin(), script.args.begin(), script.args.end());
        std::vector<const char*> merged{argv[0]};
        for (const std::string& a : runArgs) merged.push_back(a.c_str());
        // The command line's own flags were read above: what fails now is
        // the header's.
        const std::string scriptPath = cl.scriptPath;
        if (!ParseCommandLine(static_cast<int>(merged.size()), merged.data(), &cl, &error))
            return RefuseHeader(scriptPath, script.argsLine, "args", error);
    }
    if (script.hasOptions) {
        const std::string problem =
            OptionProblem({script.options[0], script.options[1], script.options[2], script.options[3]});
        if (!problem.empty()) return RefuseHeader(cl.scriptPath, script.optionsLine, "options", problem);
    }
    for (int32_t level : script.volume)
        if (script.hasVolume && (level < 0 || level > kSoundLevelMax))
            return RefuseHeader(cl.scriptPath, script.volumeLine, "volume",
                                "'" + std::to_string(level) + "' is not a sound level (0 to " +
                                    std::to_string(kSoundLevelMax) + ")");
    if (!RunFilesApart(cl, &error)) {
        std::fprintf(stderr, "varnok: %s\n", error.c_str());
        return 2;
    }
    if (script.hasSeed && !cl.seedSet) {
        cl.seedSet = true;
        cl.seed = script.seed;
    }
    // A recorded run needs a seed to repeat: one from the clock unless given.
    std::string recordPath = Absolute(cl.recordPath);
    if (!recordPath.empty()) {
        if (!CheckWritable(recordPath, &error)) {
            std::fprintf(stderr, "varnok: --record %s: cannot be written (%s)\n", cl.recordPath.c_str(),
                         error.c_str());
            return 2;
        }
        if (!cl.seedSet) {
            cl.seedSet = true;
            cl.seed = static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        }
    }
    // Nobody can close a headless run, so something in the run must end it.
    if (cl.headless && cl.frames <= 0 && cl.viewOut.empty() && !ScriptQuits(script)) {
        std::fprintf(stderr,
                     "varnok: a headless run needs --frames N or a --script that quits "
                     "(a 'quit' or 'keydown F1' line); it would otherwise never end\n");
        return 2;
    }
    if (!cl.audioOut.empty() && !CheckWritable(cl.audioOut, &error)) {
        std::fprintf(stderr, "varnok: --audio-out %s: cannot be written (%s)\n", cl.audioOut.c_str(),
                     error.c_str());
        return 2;
    }
    std::string reportPath = Absolute(cl.reportPath);
    if (!cl.hashLog.empty() && !OpenStateHashLog(cl.hashLog, &error)) {
        std::fprintf(stderr, "varnok: --hash-log %s: cannot be written (%s)\n", cl.hashLog.c_str(), error.c_str());
        return 2;
    }
    std::string audioOut = Absolute(cl.audioOut);
    // A model to view is the caller's file, or else one of the data pack's.
    std::string viewPath = access(cl.viewPath.c_str(), F_OK) == 0 ? Absolute(cl.viewPath) : cl.viewPath;
    std::string viewOut = Absolute(cl.viewOut);
    bool installed = false;
    std::string dataDir = cl.dataDir.empty() ? DefaultDataDir(&installed) : cl.dataDir;
    SetInstalledPack(installed);
    if (!dataDir.empty() && chdir(dataDir.c_str()) != 0) {
        std::fprintf(stderr, "varnok: --data %s: no such folder\n", dataDir.c_str());
        return 2;
    }
    std::string missing = FirstMissingPackFile(".");
    if (!missing.empty()) {
        std::string where = dataDir.empty() ? Absolute(".") : dataDir;
        std::fprintf(stderr,
                     "varnok: %s does not hold the game's data pack (%s is missing).\n"
                     "  The build makes the pack in build/data (scripts/build.sh build); the game finds\n"
                     "  it beside its executable or in share/varnok beside bin/, or give --data DIR.\n",
                     where.c_str(), missing.c_str());
        return 1;
    }

    SetFixedSeed(cl.seedSet, cl.seed);
    gRun = RunInfo{};
    gRun.seeded = cl.seedSet;
    gRun.seed = cl.seed;
    gRun.backend = cl.headless ? "headless" : "window";
    AddReportSection(WriteCoreReport);
    NameFrontEndScenes();
    NameScene(ViewerScene, "ViewerScene");
    NameScene(FloorScene, "FloorScene");
    NameScene(BattleInit, "BattleInit");
    NameScene(BattleFrame, "BattleFrame");

    // 1. The options file and the settings file; a recorded session runs on
    // the display and with the keys it was recorded with (not saved).
    const std::string optionsProblem = LoadOptions();
    const std::string settingsProblem = LoadSettings();
    if (script.hasOptions)
        OptionData = {script.options[0], script.options[1], script.options[2], script.options[3]};
    if (!script.keys.empty()) {
        int32_t keys[kBattleActionCount];
        std::copy(std::begin(kDefaultBattleKeys), std::end(kDefaultBattleKeys), keys);
        bool ok = script.keys.size() == kBattleActionCount;
        // Bound one by one, a set that gives two actions one key comes out
        // different from what was asked.
        for (int a = 0; ok && a < kBattleActionCount; ++a)
            ok = BindBattleKey(keys, static_cast<BattleAction>(a), script.keys[a]);
        ok = ok && std::equal(std::begin(keys), std::end(keys), script.keys.begin());
        if (!ok)
            return RefuseHeader(cl.scriptPath, script.keysLine, "keys",
                                "not " + std::to_string(kBattleActionCount) + " different keys an action can have");
        std::copy(std::begin(keys), std::end(keys), BattleKeys);
    }
    if (script.hasVolume) SoundVolume = {script.volume[0], script.volume[1], script.volume[2]};
    // What a recorded session brings lives for its run: the player's own
    // files are not written with it.
    ReplayingSession = script.hasOptions || !script.keys.empty() || script.hasVolume;
    const OptionRecord startOptions = OptionData;
    const SoundLevels startVolume = SoundVolume;
    int32_t startKeys[kBattleActionCount];
    std::copy(std::begin(BattleKeys), std::end(BattleKeys), startKeys);

    // 2-4. The window, client area of the configured size.
    if (!sys::Init(cl.headless ? sys::Backend::Headless : sys::Backend::Window, cl.virtualClock)) {
        // A window that never opened is a failure, and the exit code says so.
        return 1;
    }
    sys::SetUnattended(cl.headless || !cl.scriptPath.empty() || cl.frames > 0);
    sys::SetInputScript(cl.scriptPath.empty() ? nullptr : &script);
    if (!recordPath.empty()) sys::StartRecording();
    sys::WindowDesc desc = {kWindowTitle, kWindowClass, OptionData.screenWidth,
                            OptionData.screenHeight, OptionData.fullScreen != 0};
    if (!sys::CreateMainWindow(desc, MainWindowProc)) {
        sys::Shutdown();
        return 1;
    }
    // The window's icon: the desktop icon's 64-pixel picture.
    std::string iconError;
    if (!sys::SetWindowIcon(kWindowIconPath, &iconError))
        std::fprintf(stderr, "%s; the window keeps the system's icon\n", iconError.c_str());
    // Display settings, keys or levels the player set may be gone: a player
    // who started the game from the desktop sees no terminal, so the window
    // says it too.
    if (!(optionsProblem + settingsProblem).empty() && !cl.headless) {
        std::string text = optionsProblem + (optionsProblem.empty() || settingsProblem.empty() ? "" : "\n") +
                           settingsProblem;
        for (size_t at = text.find("; "); at != std::string::npos; at = text.find("; ", at))
            text.replace(at, 2, ";\n");
        text += ".\n\nThe game goes on without what is bad.  APPLY on the options\nscreen saves whole files again.";
        sys::MessageBox(text.c_str(), "VARNOK", sys::MB_OK);
    }

    if (!InitSound(cl.headless, audioOut)) {
        // The wave file was asked for and cannot be written: a run that
        // silently wrote nothing would look like success.
        sys::Shutdown();
        return 1;
    }
    RegisterAudioReport();
    if (!CreateDevice3D(cl.headless)) {
        // Nothing can be shown without a device: leave after the message.
        sys::Shutdown();
        return 1;
    }
    SetFixedRenderStates();
    CreateFonts();
    CreateSpriteBatcher();
    LoadMap();
    LoadSkies();
    CreateShadowResources(OptionData.shadowMapSize);
    SceneProc = TitleInit;
    // A battle that ends or is left comes back to the title.
    BattleExitScene = TitleInit;
    ResetUnitRecords();
    RegisterMenuReport();
    RegisterBattleReport();
    if (cl.battle) {
        // Straight into a battle with the title screen's defaults, then the
        // choices given on the command line.
        PlayerSide = cl.side;
        TankTypeId = cl.tankType;
        RobotTypeId = cl.robotType;
        EarthCount = cl.earthCount;
        MercuryCount = cl.mercuryCount;
        SkyId = cl.skyId;
        BattleMinutes = cl.minutes;
        BattleClock = cl.minutes * kTicksPerMinute;
        DemoPlayer = cl.demo;
        ResetPlayerControl();
        ResetBattleFrame();
        SceneProc = BattleInit;
    }
    if (!viewPath.empty()) {
        ViewerPose pose;
        pose.from = cl.viewFrom;
        pose.turret = cl.viewTurret;
        pose.gun = cl.viewGun;
        pose.walk = cl.viewWalk;
        pose.pods = cl.viewPods;
        pose.frozen = cl.viewFrozen;
        if (!StartViewer(viewPath, cl.viewDistance, viewOut, cl.viewUnlit, pose)) {
            std::fprintf(stderr, "varnok: --view %s: the model does not load\n", viewPath.c_str());
            sys::PostQuitMessage(2);
        }
        SceneProc = ViewerScene;
    }

    if (cl.floor) {
        if (!StartFloor()) {
            std::fprintf(stderr, "varnok: --floor: the layer's picture does not load\n");
            sys::PostQuitMessage(2);
        }
        SceneProc = FloorScene;
    }
    gfx::SetPassSync(cl.passSync);
    int exitCode = RunMessageLoop(cl.frames);

    sys::TimeEndPeriod(1);
    ReleaseFrontEnd();
    ReleaseFrontEndModels();
    ReleaseBattleTextures();
    ReleaseShadowResources();
    ReleaseTankModels();
    ReleaseAllRobotModels();
    ReleaseSkies();
    ReleaseMap();
    ReleaseSounds();
    sys::ShowCursor(true);
    StopViewer();
    StopFloor();
    ReleaseFontsAndSprite();
    ReleaseBattleEffect();
    ReleaseDevice3D();
    ShutdownSound();
    sys::SetInputScript(nullptr);
    sys::Shutdown();

    if (!recordPath.empty() && !WriteRecording(recordPath, runArgs, cl.seed, startOptions, startKeys, startVolume) &&
        exitCode == 0)
        exitCode = 1;
    if (!CloseStateHashLog(&error)) {
        std::fprintf(stderr, "varnok: --hash-log %s: %s\n", cl.hashLog.c_str(), error.c_str());
        if (exitCode == 0) exitCode = 1;
    }
    gRun.exitCode = exitCode;
    gRun.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    if (!reportPath.empty() && !WriteReport(reportPath) && exitCode == 0) exitCode = 1;
    return exitCode;
}
