#include "services/settings.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

#include "services/controls.h"
#include "services/options.h"
#include "platform/file_read.h"

SoundLevels SoundVolume = kDefaultSoundLevels;

namespace {
constexpr uint64_t kMostSettingBytes = 64 * 1024;

struct LevelLine {
    const char* name;
    int32_t SoundLevels::*level;
};
constexpr LevelLine kLevelLines[] = {
    {"master_volume", &SoundLevels::master},
    {"effects_volume", &SoundLevels::effects},
    {"engine_volume", &SoundLevels::engine},
};

// The first problem found, and how many there were.
struct Problems {
    std::string first;
    int count = 0;
    void Add(int line, const std::string& text, const std::string& what)
    {
        if (count++ == 0) first = "line " + std::to_string(line) + ": " + Quoted(text) + " " + what;
    }
};

// A whole decimal number and nothing else; false for anything more or less.
bool ReadNumber(const std::string& word, int32_t* v)
{
    if (word.empty() || word.size() > 11) return false;
    char* end = nullptr;
    errno = 0;
    long n = std::strtol(word.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || n < INT32_MIN || n > INT32_MAX) return false;
    *v = static_cast<int32_t>(n);
    return true;
}

std::string KeyLineName(int action) { return std::string("key_") + BattleActionKey(static_cast<BattleAction>(action)); }

// One line (its comment cut off): a known name and a good value set it.
void ReadLine(const std::string& raw, int line, SettingRecord* s, int keyLine[kBattleActionCount], Problems* p)
{
    const std::string text = raw.substr(0, raw.find('#'));
    const size_t nameAt = text.find_first_not_of(" \t\r");
    if (nameAt == std::string::npos) return;  // blank or a comment
    const size_t nameEnd = text.find_first_of(" \t\r", nameAt);
    const std::string name = text.substr(nameAt, nameEnd - nameAt);
    const size_t valueAt = text.find_first_not_of(" \t\r", nameEnd == std::string::npos ? text.size() : nameEnd);
    const size_t valueEnd = valueAt == std::string::npos ? valueAt : text.find_first_of(" \t\r", valueAt);
    const std::string value = valueAt == std::string::npos ? "" : text.substr(valueAt, valueEnd - valueAt);
    const bool oneValue = valueEnd == std::string::npos || text.find_first_not_of(" \t\r", valueEnd) == std::string::npos;
    int32_t v = 0;
    const bool number = oneValue && ReadNumber(value, &v);
    for (const LevelLine& l : kLevelLines)
        if (name == l.name) {
            if (number && v >= 0 && v <= kSoundLevelMax) s->volume.*l.level = v;
            else p->Add(line, raw, "is not a sound level (0 to " + std::to_string(kSoundLevelMax) + ")");
            return;
        }
    for (int a = 0; a < kBattleActionCount; ++a)
        if (name == KeyLineName(a)) {
            if (number && BindableKey(v)) {
                s->keys[a] = v;
                keyLine[a] = line;
            } else {
                p->Add(line, raw, "is not a key the game can bind");
            }
            return;
        }
    p->Add(line, raw, "is not a setting");
}
}  // namespace

SettingRecord DefaultSettings()
{
    SettingRecord s{kDefaultSoundLevels, {}};
    std::copy(std::begin(kDefaultBattleKeys), std::end(kDefaultBattleKeys), s.keys);
    return s;
}

SettingRecord ReadSettingsFile(const char* path, std::string* problem)
{
    problem->clear();
    SettingRecord s = DefaultSettings();
    struct stat st {};
    if (stat(path, &st) != 0 && errno == ENOENT) return s;  // never saved yet
    std::string bytes, why;
    if (!ReadRegularFile(path, kMostSettingBytes, "the settings file", &bytes, &why)) {
        *problem = std::string(path) + ": " + why + "; using the default settings";
        return s;
    }
    Problems p;
    int keyLine[kBattleActionCount] = {};
    int line = 0;
    for (size_t at = 0; at < bytes.size();) {
        size_t end = bytes.find('\n', at);
        if (end == std::string::npos) end = bytes.size();
        ReadLine(bytes.substr(at, end - at), ++line, &s, keyLine, &p);
        at = end + 1;
    }
    // Two actions on one key: every key is the default, which has none.
    for (int a = 0; a < kBattleActionCount; ++a) {
        const int other = BattleActionOfKey(s.keys, s.keys[a]);
        if (other == a) continue;
        const int later = keyLine[a] > keyLine[other] ? a : other;
        p.Add(keyLine[later], KeyLineName(later) + " " + std::to_string(s.keys[a]),
              "gives " + std::string(KeyName(s.keys[a])) + " a second action; using the default keys");
        std::copy(std::begin(kDefaultBattleKeys), std::end(kDefaultBattleKeys), s.keys);
        break;
    }
    if (p.count > 0) {
        *problem = std::string(path) + ": " + p.first;
        if (p.count > 1) *problem += " (and " + std::to_string(p.count - 1) + " more)";
        *problem += "; what is bad is the default";
    }
    return s;
}

bool WriteSettingsFile(const char* path, const SettingRecord& s, std::string* why)
{
    std::string text = "# VARNOK settings: sound levels 0 (silent) to 10; keys as virtual-key codes\n";
    for (const LevelLine& l : kLevelLines) text += std::string(l.name) + " " + std::to_string(s.volume.*l.level) + "\n";
    for (int a = 0; a < kBattleActionCount; ++a) {
        const char* name = KeyName(s.keys[a]);
        text += KeyLineName(a) + " " + std::to_string(s.keys[a]) + "  # " + (name ? name : "?") + "\n";
    }
    return ReplaceKeptFile(path, text, why);
}

std::string SettingsReadPath() { return KeptReadPath(kSettingsPath); }
std::string SettingsSavePath() { return KeptSavePath(kSettingsPath); }

std::string LoadSettings()
{
    std::string problem;
    const SettingRecord s = ReadSettingsFile(InDataFolder(SettingsReadPath()).c_str(), &problem);
    if (!problem.empty()) std::fprintf(stderr, "%s\n", problem.c_str());
    SoundVolume = s.volume;
    std::copy(std::begin(s.keys), std::end(s.keys), BattleKeys);
    return problem;
}

bool SaveSettings(std::string* why)
{
    SettingRecord s{SoundVolume, {}};
    std::copy(std::begin(BattleKeys), std::end(BattleKeys), s.keys);
    return WriteSettingsFile(SettingsSavePath().c_str(), s, why);
}
