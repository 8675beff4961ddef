// The settings file "Data/SettingData.dat": the sound levels and the
// battle's keys, kept beside the options file by the same rules (options.h:
// the data folder, or the player's config folder when that is read-only)
// and saved the same safe way.  One `name value` line a setting, `#` starts
// a comment:
//
//   master_volume 10      sound levels, 0 (silent) to 10
//   key_fire 1  # Left button   a key as its virtual-key code (vk.h)
//
// Read at start-up into SoundVolume and BattleKeys; written when the options
// screen applies.  Nothing else reads or writes it.
#pragma once

#include <cstdint>
#include <string>

#include "services/state.h"

constexpr const char* kSettingsPath = "Data/SettingData.dat";

struct SettingRecord {
    SoundLevels volume;
    int32_t keys[kBattleActionCount];
};
SettingRecord DefaultSettings();

// The file's settings; a missing file or a setting it lacks gives the
// default.  Whatever is bad (a name it does not know, a level out of range,
// a code that is no key the game can bind, two actions on one key, a file
// too large or not a regular file) gives the default of what it spoils (two
// actions on one key: every key) and one message in *problem naming the
// file, the first bad line and how many more there are; "" when nothing is
// wrong.
SettingRecord ReadSettingsFile(const char* path, std::string* problem);
bool WriteSettingsFile(const char* path, const SettingRecord& settings, std::string* why = nullptr);

std::string SettingsReadPath();
std::string SettingsSavePath();
// Reads the file into SoundVolume and BattleKeys; a problem goes to stderr
// and is returned ("" for none), for the player to be told once a window is
// up.
std::string LoadSettings();
// Writes SoundVolume and BattleKeys; false with the reason in *why.
bool SaveSettings(std::string* why = nullptr);
