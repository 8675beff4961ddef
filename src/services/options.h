// The options file "Data/OptionData.dat": four display settings kept between
// runs, one decimal number a line (full screen flag, width, height, shadow
// map edge).  Read once at start-up, written when the options screen applies.
#pragma once

#include "services/state.h"

#include <cstdint>
#include <string>



constexpr const char* kOptionsPath = "Data/OptionData.dat";
constexpr OptionRecord kDefaultOptions = {0, 800, 600, 1024};

// Where a file the game keeps between runs is: the options file and the
// settings file (settings.h), each named by its place in the data folder
// ("Data/OptionData.dat").  The game's data folder keeps it while the player
// may write there.  An installed game's data folder is read-only: the file
// then goes to the player's own config folder,
// $XDG_CONFIG_HOME/varnok/OptionData.dat ($HOME/.config/varnok/...), which
// is read first once it exists; the data folder's file is the fall-back, so
// nothing saved before is lost and no later save is hidden.
std::string UserKeptPath(const char* dataPath);  // "" when neither variable names a folder
std::string KeptReadPath(const char* dataPath);
std::string KeptSavePath(const char* dataPath);
std::string OptionsReadPath();  // of kOptionsPath
std::string OptionsSavePath();
// True when files can be made in the data folder (its Data folder when there)
// and it is not an installed pack: an installed pack is shared by whoever
// plays, so the player's files go to their own folders even where the
// install's prefix can be written.
bool DataFolderWritable();
void SetInstalledPack(bool installed);
// Replaces a kept file with `text`, whole or not at all: through a symbolic
// link its target is written; a read-only file, or anything but a regular
// file, is left alone.  A failure leaves the old file as it was, is reported
// on stderr, and gives the reason in *why.
bool ReplaceKeptFile(const char* path, const std::string& text, std::string* why = nullptr);

// Saves `bytes` as a new file in `folder` ("" the data folder itself), named
// prefix N suffix for the first N from *counter that is free, and moves
// *counter past it: written whole to a temporary file of its own first, then
// moved into place without replacing anything (a file or link already there,
// even a link that leads nowhere, is passed over).  False with the reason in
// *why, and no file left.
bool SaveNewFile(const std::string& folder, const char* prefix, const char* suffix, int32_t* counter,
                 const std::string& bytes, std::string* path, std::string* why);

// Reads the file into OptionData (defaults when it is missing).  A value the
// options screen could not have written falls back to its default with one
// line on stderr naming the file (its whole path), the line and the value;
// the lines are returned too ("" for none), for the player to be told once
// a window is up.
std::string LoadOptions();
// A path in the data folder as the player finds it: from the root.
std::string InDataFolder(const std::string& path);
// Writes the mode choice (inverted: 1 full screen, 0 window), the running
// back-buffer size and shadowMapSize, through ReplaceKeptFile.
bool SaveOptions(std::string* why = nullptr);

// "" when `o` holds only what the options screen can choose (the options
// file's rules); otherwise what is wrong with the first value that does not.
std::string OptionProblem(const OptionRecord& o);

// The workers behind them, on any path.
// Each value that falls back adds a line to *problem when given.
OptionRecord ReadOptionsFile(const char* path, std::string* problem = nullptr);
bool WriteOptionsFile(const char* path, int32_t screenModeChoice, int32_t width, int32_t height,
                      int32_t shadowMapSize, std::string* why = nullptr);
// atoi's reading of a line (leading blanks, a sign, digits; nothing else
// counts), clamped to the 32-bit range instead of overflowing.
int32_t OptionAtoi(const char* s);
