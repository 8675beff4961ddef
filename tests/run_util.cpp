#include "run_util.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace {
// The process's own folder; removed when the process that made it ends (not
// by the children it forks).
struct Scratch {
    std::string dir;
    pid_t owner = 0;
    ~Scratch()
    {
        if (!dir.empty() && getpid() == owner) std::filesystem::remove_all(dir);
    }
};
Scratch gScratch;
}  // namespace

// The player's own folders point into the scratch folder: no test reads a
// real player's saved options or writes into their home.  The graphics
// driver keeps no shader cache there either (its writer thread would also
// still be busy as a test's process ends).
const bool gOwnHome = [] {
    setenv("XDG_CONFIG_HOME", (ScratchDir() + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (ScratchDir() + "/share").c_str(), 1);
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
    return true;
}();

std::string ScratchDir()
{
    if (gScratch.dir.empty()) {
        const char* base = std::getenv("TMPDIR");
        std::string tmpl = std::string(base && *base ? base : "/tmp") + "/varnok-test-XXXXXX";
        if (!mkdtemp(tmpl.data())) {
            std::perror(tmpl.c_str());
            std::abort();
        }
        gScratch.dir = tmpl;
        gScratch.owner = getpid();
    }
    return gScratch.dir;
}

std::string ScratchPath(const std::string& name) { return ScratchDir() + "/" + name; }

std::string MakeTempDir()
{
    std::string tmpl = ScratchDir() + "/run-XXXXXX";
    if (!mkdtemp(tmpl.data())) {
        std::perror(tmpl.c_str());
        std::abort();
    }
    return tmpl;
}

void MirrorPack(const std::string& pack, const std::string& dir, bool copy)
{
    namespace fs = std::filesystem;
    // Only the pack's own folders: what the game wrote there (the options
    // file in Data/, screenshots) belongs to the player, not to a test.
    for (const fs::directory_entry& top : fs::directory_iterator(pack)) {
        if (!top.is_directory() || top.path().filename() == "Data") continue;
        fs::create_directories(fs::path(dir) / top.path().filename());
        for (const fs::directory_entry& e : fs::recursive_directory_iterator(top.path())) {
            fs::path to = fs::path(dir) / fs::relative(e.path(), pack);
            if (e.is_directory())
                fs::create_directories(to);
            else if (copy)
                fs::copy_file(e.path(), to, fs::copy_options::overwrite_existing);
            else
                fs::create_symlink(e.path(), to);
        }
    }
}

std::string ReadFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

void WriteFile(const std::string& path, const std::string& text)
{
    // A link in a mirrored pack is replaced, never written through.
    std::remove(path.c_str());
    std::ofstream(path, std::ios::binary) << text;
}

Running StartProgram(const std::vector<std::string>& args, const std::string& cwd)
{
    Running r;
    std::string dir = MakeTempDir();
    r.outPath = dir + "/out";
    r.errPath = dir + "/err";
    pid_t pid = fork();
    if (pid == 0) {
        if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
        int out = open(r.outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(r.errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int in = open("/dev/null", O_RDONLY);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    r.pid = pid;
    return r;
}

RunResult FinishProgram(const Running& r, int timeoutMs)
{
    RunResult res;
    int status = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        pid_t w = waitpid(r.pid, &status, WNOHANG);
        if (w == r.pid) {
            res.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            kill(r.pid, SIGKILL);
            waitpid(r.pid, &status, 0);
            res.exitCode = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    res.out = ReadFile(r.outPath);
    res.err = ReadFile(r.errPath);
    return res;
}

RunResult RunProgram(const std::vector<std::string>& args, const std::string& cwd, int timeoutMs)
{
    return FinishProgram(StartProgram(args, cwd), timeoutMs);
}

double JsonNumber(const std::string& json, const std::string& key)
{
    size_t at = json.find("\"" + key + "\":");
    if (at == std::string::npos) return std::nan("");
    return std::strtod(json.c_str() + at + key.size() + 3, nullptr);
}

std::string JsonString(const std::string& json, const std::string& key)
{
    size_t at = json.find("\"" + key + "\":\"");
    if (at == std::string::npos) return "";
    at += key.size() + 4;
    return json.substr(at, json.find('"', at) - at);
}

std::string JsonArray(const std::string& json, const std::string& key)
{
    size_t at = json.find("\"" + key + "\":[");
    if (at == std::string::npos) return "";
    at += key.size() + 3;
    int depth = 0;
    for (size_t i = at; i < json.size(); ++i) {
        if (json[i] == '[') ++depth;
        if (json[i] == ']' && --depth == 0) return json.substr(at, i - at + 1);
    }
    return "";
}

std::string JsonObject(const std::string& json, const std::string& key)
{
    size_t at = json.find("\"" + key + "\":{");
    if (at == std::string::npos) return "";
    at += key.size() + 3;
    int depth = 0;
    for (size_t i = at; i < json.size(); ++i) {
        if (json[i] == '{') ++depth;
        if (json[i] == '}' && --depth == 0) return json.substr(at, i - at + 1);
    }
    return "";
}

bool StillRunning(const Running& r)
{
    siginfo_t info{};
    // WNOWAIT leaves an exited child to FinishProgram.
    if (waitid(P_PID, static_cast<id_t>(r.pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0) return false;
    return info.si_pid == 0;
}

MenuScript& MenuScript::Move(int step, float x, float y)
{
    return Line(step, "move " + std::to_string(static_cast<int>(std::lround(x * scale_))) + " " +
                          std::to_string(static_cast<int>(std::lround(y * scale_))));
}

MenuScript& MenuScript::Click(int step, float x, float y)
{
    Move(step, x, y);
    Line(step + 2, "buttondown left");
    return Line(step + 4, "buttonup left");
}

MenuScript& MenuScript::Key(int step, const char* key)
{
    Line(step, std::string("keydown ") + key);
    return Line(step + 1, std::string("keyup ") + key);
}

MenuScript& MenuScript::Line(int step, const std::string& line)
{
    lines_.emplace_back(step, line);
    return *this;
}

std::string MenuScript::Text() const
{
    auto sorted = lines_;
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string out;
    for (const auto& [step, line] : sorted) out += std::to_string(step) + " " + line + "\n";
    return out;
}
