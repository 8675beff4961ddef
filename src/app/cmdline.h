// The command line.  The game without flags behaves as it always has; the
// flags serve tests, demos and benchmarks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CommandLine {
    std::string dataDir;      // --data: working directory for every asset path
    bool headless = false;    // --headless: no window, no devices, virtual clock
    bool virtualClock = false;
    std::string scriptPath;   // --script
    int64_t frames = -1;      // --frames: quit after this many steps (-1: never)
    bool seedSet = false;     // --seed
    uint32_t seed = 0;
    std::string reportPath;   // --report
    std::string hashLog;      // --hash-log
    std::string audioOut;     // --audio-out: the mixed sound into a wave file
    std::string recordPath;   // --record: everything the player does, as a script that replays the run
    bool floor = false;       // --floor: draw one textured, fogged layer a frame and nothing else
    bool passSync = false;    // --pass-sync: wait for the renderer at every pass, for the report's pass times

    // Battle quick start.
    bool battle = false;
    int side = 0;             // 0 tank, 1 robot
    // Defaults as the title screen sets them.
    int tankType = 2;         // 1..9
    int robotType = 101;      // 101..104
    int earthCount = 4;       // 1..16
    int mercuryCount = 4;     // 1..16
    int skyId = 203;          // 200..208
    int minutes = 30;         // 5..90
    bool demo = false;

    // Model viewer.
    std::string viewPath;     // --view: a .x file, or a kind by name or number, to show
    float viewDistance = 0;   // --view-distance: camera distance (0: fit the model)
    std::string viewOut;      // --view-out: render one frame to this BMP and quit
    bool viewUnlit = false;   // --view-unlit: lighting off, as skies are drawn
    std::string viewFrom;     // --view-from: front, rear, side, above or chase (empty: turning)
    float viewTurret = 0;     // --view-turret: a kind's turret or torso yaw, degrees
    float viewGun = 0;        // --view-gun: a kind's gun or arm pitch, degrees
    float viewWalk = 0;       // --view-walk: a robot's leg swing, degrees
    bool viewPods = false;    // --view-pods: a robot's pods out
    bool viewFrozen = false;  // --view-frozen: the kind frozen by the ice

    bool help = false;
    bool version = false;     // --version
};

// Returns false with *error naming the flag and what is wrong with it.
bool ParseCommandLine(int argc, const char* const* argv, CommandLine* out, std::string* error);
const char* UsageText();

// A recording's `args` line may only shape the run: the battle quick start,
// the kinds, counts, sky and minutes, the demo, the seed, the virtual clock
// and the step count.  A flag that names a file or folder (or any other) is
// the player's to give, never a shared file's.  False with *error naming the
// first flag that is not allowed.
bool CheckRecordedArgs(const std::vector<std::string>& args, std::string* error);
// The flags among args (a parsed command line, without the program's name)
// that a recording carries on its `args` line, in their order; the seed has
// a line of its own and is left out.
std::vector<std::string> RecordedArgs(const std::vector<std::string>& args);
