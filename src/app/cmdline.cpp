#include "app/cmdline.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <iterator>
#include <string>
#include <type_traits>

#include "app/viewer.h"
#include "platform/file_read.h"
#include "units/robots/robot_kinds.h"
#include "units/tanks/tank_kinds.h"

const char* UsageText()
{
    return "usage: varnok [options]\n"
           "  --data DIR         read the game's files from DIR (default: data/ beside the\n"
           "                     executable, else share/varnok beside its bin folder,\n"
           "                     else the current folder)\n"
           "  --headless         no window, no sound device, virtual clock\n"
           "  --virtual-clock    the clock moves 16 ms per loop pass, in the real window too\n"
           "  --script FILE      scripted input, one 'STEP VERB ARGS' a line\n"
           "  --frames N         quit after N steps\n"
           "  --record FILE      write what the player does to FILE, with the seed and settings:\n"
           "                     --script FILE alone then plays the same run again\n"
           "  --seed N           seed the random generator with N instead of the clock\n"
           "  --report FILE      write a JSON report of the run at exit\n"
           "  --hash-log FILE    write 'STEP HASH' after every battle step: the state hash of the\n"
           "                     battle's rules, to find the first step where two runs part\n"
           "  --audio-out FILE   mix the game's sound into a wave file instead of the speakers\n"
           "  --floor            draw one textured, fogged layer over the screen a frame and nothing\n"
           "                     else: the renderer's floor, which benchmarks weigh frames against\n"
           "  --pass-sync        wait for the renderer after each pass of a frame, so the report's\n"
           "                     render.pass_ms gives each pass its own drawing time (slower)\n"
           "  --battle           start straight in a battle with the settings below\n"
           "  --side tank|robot  the player's side (default tank)\n"
           "  --tank K           the player's tank kind: its number, 1..9, or its name (ABRAMS)\n"
           "  --robot K          the player's robot kind: its number, 101..104, or its name (D-ED.10)\n"
           "  --earth N          tanks in battle, 1..16\n"
           "  --mercury N        robots in battle, 1..16\n"
           "  --sky ID           sky, 200..208\n"
           "  --minutes M        battle length, 5..90\n"
           "  --demo             the computer drives the player's unit too\n"
           "  --view FILE.x      show one model turning under the fixed light\n"
           "  --view KIND        show a whole unit kind (M60, R-NO.16, 7, ...) on a patch of ground\n"
           "  --view-from WHERE  look at the kind from the front, rear, side, above or chase (default: it turns)\n"
           "  --view-turret DEG  the kind's turret (a robot's torso) turned by DEG, -360..360\n"
           "  --view-gun DEG     the kind's gun (a robot's arms) pitched by DEG, -360..360\n"
           "  --view-walk DEG    the robot's legs swung by DEG, -360..360\n"
           "  --view-pods        the robot's pods out\n"
           "  --view-frozen      the kind frozen by the ice\n"
           "  --view-distance D  the viewer's camera distance (also picks the detail level)\n"
           "  --view-out FILE    render one viewer frame to a BMP file and quit\n"
           "  --view-unlit       view with lighting off, as the skies are drawn\n"
           "  --version          the version the title shows\n"
           "  --help             this text\n"
           "exit codes:\n"
           "  0  the game ended as the player or the run asked\n"
           "  1  it could not start or finish its work: no data pack, no window or\n"
           "     graphics device, or a report, recording or wave file not written\n"
           "  2  a flag, its value, the input script or a model to view is wrong\n";
}

namespace {
// "1 to 9: TIGER, ABRAMS, ..." from the side's table of kinds.
std::string KindChoices(bool tank)
{
    const int first = tank ? kFirstTankKind : kFirstRobotKind;
    const int last = tank ? kLastTankKind : kLastRobotKind;
    std::string out = std::to_string(first) + " to " + std::to_string(last) + ":";
    for (int kind = first; kind <= last; ++kind)
        out += std::string(kind == first ? " " : ", ") + (tank ? TankKindName(kind) : RobotKindName(kind));
    return out;
}

// The flags a recording may carry, whether each takes a value, and whether
// its `args` line writes it (the seed has its own line; the virtual clock is
// the replayer's choice, as the window or headless run is).
struct RunFlag {
    const char* flag;
    bool value;
    bool written;
};
constexpr RunFlag kRunFlags[] = {
    {"--battle", false, true},  {"--side", true, true},    {"--tank", true, true},
    {"--robot", true, true},    {"--earth", true, true},   {"--mercury", true, true},
    {"--sky", true, true},      {"--minutes", true, true}, {"--demo", false, true},
    {"--frames", true, true},   {"--seed", true, false},   {"--virtual-clock", false, false},
};

// The other flags that take a value.
constexpr const char* kOtherValueFlags[] = {"--data",        "--script",      "--report",    "--audio-out",
                                            "--record",      "--view",        "--view-out",  "--view-from",
                                            "--view-turret", "--view-gun",    "--view-walk", "--view-distance",
                                            "--hash-log"};

const RunFlag* RunFlagOf(const std::string& flag)
{
    for (const RunFlag& f : kRunFlags)
        if (flag == f.flag) return &f;
    return nullptr;
}

bool ParseInt(const char* s, long long lo, long long hi, long long* out)
{
    if (!s || !*s) return false;
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(s, &end, 10);
    if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
    *out = v;
    return true;
}
}  // namespace

bool ParseCommandLine(int argc, const char* const* argv, CommandLine* out, std::string* error)
{
    *out = CommandLine{};
    for (int i = 1; i < argc; ++i) {
        std::string flag = argv[i];
        const char* value = (i + 1 < argc) ? argv[i + 1] : nullptr;
        auto needValue = [&]() {
            if (!value) {
                *error = flag + " needs a value";
                return false;
            }
            ++i;
            return true;
        };
        auto intValue = [&](long long lo, long long hi, auto* dst) {
            if (!needValue()) return false;
            long long v;
            if (!ParseInt(value, lo, hi, &v)) {
                *error = flag + ": " + Quoted(value) + " is not a whole number from " +
                         std::to_string(lo) + " to " + std::to_string(hi);
                return false;
            }
            *dst = static_cast<std::remove_pointer_t<decltype(dst)>>(v);
            return true;
        };
        bool ok = true;
        if (flag == "--data") ok = needValue() && (out->dataDir = value, true);
        else if (flag == "--headless") out->headless = true;
        else if (flag == "--virtual-clock") out->virtualClock = true;
        else if (flag == "--script") ok = needValue() && (out->scriptPath = value, true);
        else if (flag == "--frames") ok = intValue(1, 1000000000LL, &out->frames);
        else if (flag == "--seed") ok = intValue(0, 4294967295LL, &out->seed) && (out->seedSet = true);
        else if (flag == "--report") ok = needValue() && (out->reportPath = value, true);
        else if (flag == "--hash-log") ok = needValue() && (out->hashLog = value, true);
        else if (flag == "--audio-out") ok = needValue() && (out->audioOut = value, true);
        else if (flag == "--record") ok = needValue() && (out->recordPath = value, true);
        else if (flag == "--battle") out->battle = true;
        else if (flag == "--side") {
            ok = needValue();
            if (ok && std::strcmp(value, "tank") == 0) out->side = 0;
            else if (ok && std::strcmp(value, "robot") == 0) out->side = 1;
            else if (ok) {
                *error = flag + ": " + Quoted(value) + " is not a side (tank or robot)";
                ok = false;
            }
        } else if (flag == "--tank" || flag == "--robot") {
            // A kind by its number or by the name its row gives it.
            const bool tank = flag == "--tank";
            ok = needValue();
            int kind = !ok ? 0 : tank ? TankKindFromText(value) : RobotKindFromText(value);
            if (ok && kind == 0) {
                *error = flag + ": " + Quoted(value) + " is not a " + (tank ? "tank" : "robot") + " kind (" +
                         KindChoices(tank) + ")";
                ok = false;
            }
            // A kind that is only looked at cannot be driven into battle.
            if (ok && !(tank ? TankKindCanFight(kind) : RobotKindCanFight(kind))) {
                *error = flag + ": " + (tank ? TankKindName(kind) : RobotKindName(kind)) + " (" +
                         std::to_string(kind) + ") is only looked at and cannot be taken into battle";
                ok = false;
            }
            if (ok) (tank ? out->tankType : out->robotType) = kind;
        }
        else if (flag == "--earth") ok = intValue(1, 16, &out->earthCount);
        else if (flag == "--mercury") ok = intValue(1, 16, &out->mercuryCount);
        else if (flag == "--sky") ok = intValue(200, 208, &out->skyId);
        else if (flag == "--minutes") ok = intValue(5, 90, &out->minutes);
        else if (flag == "--demo") out->demo = true;
        else if (flag == "--view") ok = needValue() && (out->viewPath = value, true);
        else if (flag == "--view-unlit") out->viewUnlit = true;
        else if (flag == "--view-out") ok = needValue() && (out->viewOut = value, true);
        else if (flag == "--view-pods") out->viewPods = true;
        else if (flag == "--view-frozen") out->viewFrozen = true;
        else if (flag == "--pass-sync") out->passSync = true;
        else if (flag == "--floor") out->floor = true;
        else if (flag == "--view-from") {
            ok = needValue();
            if (ok && !IsViewerDirection(value)) {
                *error =
                    flag + ": " + Quoted(value) + " is not a direction (front, rear, side, above or chase)";
                ok = false;
            }
            if (ok) out->viewFrom = value;
        } else if (flag == "--view-turret" || flag == "--view-gun" || flag == "--view-walk") {
            ok = needValue();
            char* end = nullptr;
            double d = ok ? std::strtod(value, &end) : 0;
            if (ok && (end == value || *end != '\0' || !(d >= -360 && d <= 360))) {
                *error = flag + ": " + Quoted(value) + " is not an angle from -360 to 360 degrees";
                ok = false;
            }
            float& angle = flag == "--view-turret" ? out->viewTurret : flag == "--view-gun" ? out->viewGun : out->viewWalk;
            angle = static_cast<float>(d);
        }
        else if (flag == "--view-distance") {
            ok = needValue();
            char* end = nullptr;
            double d = ok ? std::strtod(value, &end) : 0;
            if (ok && (end == value || *end != '\0' || !(d > 0 && d < 100000))) {
                *error = flag + ": " + Quoted(value) + " is not a distance above 0 and below 100000";
                ok = false;
            }
            out->viewDistance = static_cast<float>(d);
        }
        else if (flag == "--help" || flag == "-h") out->help = true;
        else if (flag == "--version") out->version = true;
        else {
            *error = "unknown option " + Quoted(flag);
            ok = false;
        }
        if (!ok) return false;
    }
    return true;
}

bool CheckRecordedArgs(const std::vector<std::string>& args, std::string* error)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const RunFlag* f = RunFlagOf(args[i]);
        if (!f) {
            std::string allowed;
            for (const RunFlag& r : kRunFlags) allowed += std::string(allowed.empty() ? "" : ", ") + r.flag;
            *error = Quoted(args[i]) + " is not for a recording: its args may only shape the run (" + allowed +
                     "); files and folders are the player's to name";
            return false;
        }
        if (f->value) ++i;  // its value, checked when the flags are read
    }
    return true;
}

std::vector<std::string> RecordedArgs(const std::vector<std::string>& args)
{
    std::vector<std::string> out;
    for (size_t i = 0; i < args.size(); ++i) {
        const RunFlag* f = RunFlagOf(args[i]);
        const bool takesValue =
            f ? f->value : std::find(std::begin(kOtherValueFlags), std::end(kOtherValueFlags), args[i]) != std::end(kOtherValueFlags);
        if (f && f->written) {
            out.push_back(args[i]);
            // A value that passed its check is a number or a name; a number
            // may start with blanks, which a line of words would drop anyway.
            if (takesValue && i + 1 < args.size()) {
                const std::string& v = args[i + 1];
                out.push_back(v.substr(std::min(v.size(), v.find_first_not_of(" \t\n\v\f\r"))));
            }
        }
        if (takesValue) ++i;
    }
    return out;
}
