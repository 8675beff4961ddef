// Runs the game executable as a child process and collects what it did.
#pragma once

#include <string>
#include <vector>

struct RunResult {
    int exitCode = -1;     // -1: killed after the time limit
    std::string out, err;
};

// Runs to the end.  Scripted runs on the virtual clock end by themselves, so
// the limit only stops a run that hangs; it is generous, because a loaded
// machine or the sanitizer build may take many times longer than an idle one
// (CTest's own timeout stands above it).
constexpr int kRunLimitMs = 20 * 60 * 1000;
RunResult RunProgram(const std::vector<std::string>& args, const std::string& cwd = "",
                     int timeoutMs = kRunLimitMs);
// Starts without waiting; Finish waits (up to the limit) and collects.
struct Running {
    int pid = -1;
    std::string outPath, errPath;
};
Running StartProgram(const std::vector<std::string>& args, const std::string& cwd = "");
RunResult FinishProgram(const Running& r, int timeoutMs);
// True while the program has not exited (it is not reaped here).
bool StillRunning(const Running& r);

// Scratch files: every test process writes only inside a folder of its own
// under $TMPDIR (or /tmp), removed when it ends.
std::string ScratchDir();
std::string ScratchPath(const std::string& name);
// A fresh folder inside it.
std::string MakeTempDir();
// A data folder for one run: the pack's folders, as links (`copy` false)
// or real copies, without the player's own files (the options, screenshots).
// A test writes there only with WriteFile, which replaces a link.
void MirrorPack(const std::string& pack, const std::string& dir, bool copy);
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& text);
// The number after "key": in a flat JSON text; NaN when missing.
double JsonNumber(const std::string& json, const std::string& key);
std::string JsonString(const std::string& json, const std::string& key);
// The text of the JSON array that follows "key": (brackets included).
std::string JsonArray(const std::string& json, const std::string& key);
// The text of the JSON object that follows "key": (braces included).
std::string JsonObject(const std::string& json, const std::string& key);

// A script a player's mouse would make: moves and clicks at design
// positions (800 x 600) scaled to the screen, keys, and screenshots.
class MenuScript {
public:
    explicit MenuScript(float scale = 1.0f) : scale_(scale) {}
    // Onto the point at `step`, pressed two steps later, released two after.
    MenuScript& Click(int step, float x, float y);
    MenuScript& Move(int step, float x, float y);
    MenuScript& Key(int step, const char* key);  // down at step, up one later
    MenuScript& Line(int step, const std::string& line);
    MenuScript& Scale(float scale)
    {
        scale_ = scale;
        return *this;
    }
    std::string Text() const;

private:
    float scale_;
    std::vector<std::pair<int, std::string>> lines_;
};
