#include "platform/input_script.h"
#include "platform/file_read.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/pad.h"
#include "platform/vk.h"

static std::string Upper(std::string s)
{
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// Whole-string decimal number within [lo, hi].
static bool ParseNumber(const std::string& s, long lo, long hi, long* out)
{
    if (s.empty() || s.size() > 10) return false;
    size_t i = (s[0] == '-') ? 1 : 0;
    if (i == s.size()) return false;
    for (size_t k = i; k < s.size(); ++k)
        if (!std::isdigit(static_cast<unsigned char>(s[k]))) return false;
    long v = std::strtol(s.c_str(), nullptr, 10);
    if (v < lo || v > hi) return false;
    *out = v;
    return true;
}

int KeyCodeFromName(const std::string& name)
{
    std::string k = Upper(name);
    if (k.size() == 1 && ((k[0] >= 'A' && k[0] <= 'Z') || (k[0] >= '0' && k[0] <= '9')))
        return k[0];
    if (k.size() >= 2 && k[0] == 'F') {
        long n;
        if (ParseNumber(k.substr(1), 1, 12, &n)) return VK_F1 + static_cast<int>(n) - 1;
    }
    static const struct { const char* name; int code; } named[] = {
        {"ESCAPE", VK_ESCAPE}, {"TAB", VK_TAB},   {"SPACE", VK_SPACE}, {"RETURN", VK_RETURN},
        {"LEFT", VK_LEFT},     {"RIGHT", VK_RIGHT}, {"UP", VK_UP},      {"DOWN", VK_DOWN},
    };
    for (const auto& n : named)
        if (k == n.name) return n.code;
    if (k.size() == 4 && k[0] == '0' && k[1] == 'X' && std::isxdigit(static_cast<unsigned char>(k[2])) &&
        std::isxdigit(static_cast<unsigned char>(k[3]))) {
        int code = static_cast<int>(std::strtol(k.c_str() + 2, nullptr, 16));
        return code == 0 ? -1 : code;
    }
    return -1;
}

namespace {
const struct {
    const char* name;
    int bit;
} kPadButtons[] = {
    {"A", sys::PAD_A},
    {"B", sys::PAD_B},
    {"X", sys::PAD_X},
    {"Y", sys::PAD_Y},
    {"START", sys::PAD_START},
    {"BACK", sys::PAD_BACK},
    {"LEFTSHOULDER", sys::PAD_LEFT_SHOULDER},
    {"RIGHTSHOULDER", sys::PAD_RIGHT_SHOULDER},
    {"LEFTTHUMB", sys::PAD_LEFT_THUMB},
    {"RIGHTTHUMB", sys::PAD_RIGHT_THUMB},
    {"DPADUP", sys::PAD_DPAD_UP},
    {"DPADDOWN", sys::PAD_DPAD_DOWN},
    {"DPADLEFT", sys::PAD_DPAD_LEFT},
    {"DPADRIGHT", sys::PAD_DPAD_RIGHT},
};
const char* const kPadAxes[kPadAxisCount] = {"LEFTX", "LEFTY", "RIGHTX", "RIGHTY", "LEFTTRIGGER", "RIGHTTRIGGER"};
}  // namespace

int PadButtonFromName(const std::string& name)
{
    const std::string k = Upper(name);
    for (const auto& b : kPadButtons)
        if (k == b.name) return b.bit;
    return -1;
}

const char* PadButtonName(int bit)
{
    for (const auto& b : kPadButtons)
        if (bit == b.bit) return b.name;
    return nullptr;
}

int PadAxisFromName(const std::string& name)
{
    const std::string k = Upper(name);
    for (int i = 0; i < kPadAxisCount; ++i)
        if (k == kPadAxes[i]) return i;
    return -1;
}

const char* PadAxisName(PadAxis axis)
{
    const int i = static_cast<int>(axis);
    return i >= 0 && i < kPadAxisCount ? kPadAxes[i] : "LEFTX";
}

void PadAxisRange(PadAxis axis, int* lo, int* hi)
{
    const bool trigger = axis == PadAxis::LeftTrigger || axis == PadAxis::RightTrigger;
    *lo = trigger ? 0 : -32768;
    *hi = trigger ? 255 : 32767;
}

bool ParseInputScript(const std::string& text, const std::string& name, InputScript* out,
                      std::string* error)
{
    *out = InputScript{};
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    std::vector<int> lines;  // each event's line, for the checks after sorting
    auto fail = [&](const std::string& what) {
        *error = name + ":" + std::to_string(lineNo) + ": " + what;
        out->events.clear();
        return false;
    };
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string s; words >> s;) w.push_back(s);
        if (w.empty()) continue;
        // A header line of n whole numbers, each 0 to 100000, into dst.
        auto numbers = [&](size_t n, int32_t* dst) {
            if (w.size() != n + 1) return false;
            for (size_t i = 0; i < n; ++i) {
                long v;
                if (!ParseNumber(w[1 + i], 0, 100000, &v)) return false;
                dst[i] = static_cast<int32_t>(v);
            }
            return true;
        };

        if (w[0] == "seed") {
            long seed;
            if (w.size() != 2 || !ParseNumber(w[1], 0, 4294967295L, &seed))
                return fail("seed takes one whole number, 0 to 4294967295");
            out->hasSeed = true;
            out->seed = static_cast<uint32_t>(seed);
            continue;
        }
        if (w[0] == "args") {
            out->args.assign(w.begin() + 1, w.end());
            out->argsLine = lineNo;
            continue;
        }
        if (w[0] == "options") {
            if (!numbers(4, out->options)) return fail("options takes four whole numbers");
            out->hasOptions = true;
            out->optionsLine = lineNo;
            continue;
        }
        if (w[0] == "volume") {
            if (!numbers(3, out->volume)) return fail("volume takes three whole numbers");
            out->hasVolume = true;
            out->volumeLine = lineNo;
            continue;
        }
        if (w[0] == "keys") {
            if (w.size() < 2 || w.size() > 65) return fail("keys takes 1 to 64 key codes");
            out->keys.clear();
            out->keysLine = lineNo;
            for (size_t i = 1; i < w.size(); ++i) {
                long v;
                if (!ParseNumber(w[i], 1, 255, &v)) return fail("keys takes key codes, 1 to 255");
                out->keys.push_back(static_cast<int32_t>(v));
            }
            continue;
        }
        long step;
        if (!ParseNumber(w[0], 1, 2000000000L, &step))
            return fail(Quoted(w[0]) + " is not a step number (1 or more)");
        if (w.size() < 2) return fail("a verb must follow the step number");
        std::string verb = w[1];
        ScriptEvent ev{static_cast<uint32_t>(step), ScriptVerb::Quit, 0, 0};
        size_t wantArgs = 0;
        if (verb == "keydown" || verb == "keyup") {
            ev.verb = verb == "keydown" ? ScriptVerb::KeyDown : ScriptVerb::KeyUp;
            wantArgs = 1;
            if (w.size() == 3 && (ev.a = KeyCodeFromName(w[2])) < 0)
                return fail(Quoted(w[2]) + " is not a key");
        } else if (verb == "press" || verb == "release") {
            ev.verb = verb == "press" ? ScriptVerb::Press : ScriptVerb::Release;
            wantArgs = 1;
            if (w.size() == 3 && (ev.a = KeyCodeFromName(w[2])) < 0)
                return fail(Quoted(w[2]) + " is not a key");
        } else if (verb == "buttondown" || verb == "buttonup") {
            ev.verb = verb == "buttondown" ? ScriptVerb::ButtonDown : ScriptVerb::ButtonUp;
            wantArgs = 1;
            if (w.size() == 3) {
                if (w[2] == "left") ev.a = VK_LBUTTON;
                else if (w[2] == "right") ev.a = VK_RBUTTON;
                else return fail(Quoted(w[2]) + " is not a mouse button (left or right)");
            }
        } else if (verb == "move") {
            ev.verb = ScriptVerb::Move;
            wantArgs = 2;
            long x, y;
            if (w.size() == 4) {
                if (!ParseNumber(w[2], -100000, 100000, &x) || !ParseNumber(w[3], -100000, 100000, &y))
                    return fail("move takes two whole numbers, X and Y");
                ev.a = static_cast<int>(x);
                ev.b = static_cast<int>(y);
            }
        } else if (verb == "quit") {
            ev.verb = ScriptVerb::Quit;
        } else if (verb == "padconnect" || verb == "paddisconnect") {
            ev.verb = verb == "padconnect" ? ScriptVerb::PadConnect : ScriptVerb::PadDisconnect;
        } else if (verb == "paddown" || verb == "padup") {
            ev.verb = verb == "paddown" ? ScriptVerb::PadDown : ScriptVerb::PadUp;
            wantArgs = 1;
            if (w.size() == 3 && (ev.a = PadButtonFromName(w[2])) < 0)
                return fail(Quoted(w[2]) +
                            " is not a pad button (A, B, X, Y, START, BACK, LEFTSHOULDER, RIGHTSHOULDER, "
                            "LEFTTHUMB, RIGHTTHUMB, DPADUP, DPADDOWN, DPADLEFT or DPADRIGHT)");
        } else if (verb == "padaxis") {
            ev.verb = ScriptVerb::PadAxis;
            wantArgs = 2;
            if (w.size() == 4) {
                if ((ev.a = PadAxisFromName(w[2])) < 0)
                    return fail(Quoted(w[2]) +
                                " is not a pad axis (LEFTX, LEFTY, RIGHTX, RIGHTY, LEFTTRIGGER or RIGHTTRIGGER)");
                int lo, hi;
                PadAxisRange(static_cast<PadAxis>(ev.a), &lo, &hi);
                long v;
                if (!ParseNumber(w[3], lo, hi, &v))
                    return fail(Quoted(w[3]) + " is not a value of " + PadAxisName(static_cast<PadAxis>(ev.a)) +
                                " (a whole number from " + std::to_string(lo) + " to " + std::to_string(hi) + ")");
                ev.b = static_cast<int>(v);
            }
        } else {
            return fail("unknown verb " + Quoted(verb));
        }
        if (w.size() != 2 + wantArgs)
            return fail(verb + " takes " + std::to_string(wantArgs) + " argument" +
                        (wantArgs == 1 ? "" : "s"));
        out->events.push_back(ev);
        lines.push_back(lineNo);
    }
    std::vector<size_t> order(out->events.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return out->events[a].step < out->events[b].step; });
    std::vector<ScriptEvent> sorted;
    sorted.reserve(order.size());
    // The pad's buttons and axes move only while it is connected: one that
    // moves before its padconnect (in step order) would be lost unseen.
    bool connected = false;
    for (size_t i : order) {
        const ScriptEvent& e = out->events[i];
        if (e.verb == ScriptVerb::PadConnect) connected = true;
        if (e.verb == ScriptVerb::PadDisconnect) connected = false;
        if (!connected && (e.verb == ScriptVerb::PadDown || e.verb == ScriptVerb::PadUp ||
                           e.verb == ScriptVerb::PadAxis)) {
            lineNo = lines[i];
            return fail("the pad is not connected at step " + std::to_string(e.step) +
                        ": a padconnect must come first");
        }
        sorted.push_back(e);
    }
    out->events = std::move(sorted);
    return true;
}

bool LoadInputScript(const std::string& path, InputScript* out, std::string* error)
{
    // A script of a long session is a few hundred kilobytes.
    std::string text, why;
    if (!ReadRegularFile(path, uint64_t{16} << 20, "a script", &text, &why)) {
        *error = path + ": " + why;
        return false;
    }
    return ParseInputScript(text, path, out, error);
}

bool ScriptQuits(const InputScript& script)
{
    for (const ScriptEvent& e : script.events)
        if (e.verb == ScriptVerb::Quit ||
            ((e.verb == ScriptVerb::KeyDown || e.verb == ScriptVerb::Press) && e.a == VK_F1))
            return true;
    return false;
}
