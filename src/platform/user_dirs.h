// Where a player's own files go on this system: the folders the XDG base
// and user directories name.  A folder that is not an absolute path, or
// that nothing names, is "".
#pragma once

#include <string>

namespace sys {
// $XDG_CONFIG_HOME, else $HOME/.config.
std::string UserConfigFolder();
// $XDG_DATA_HOME, else $HOME/.local/share.
std::string UserDataFolder();
// XDG_PICTURES_DIR from user-dirs.dirs in the config folder, when it names a
// folder that is there; else "".
std::string UserPicturesFolder();
// Makes the folder and those above it; false with *why when it cannot.
bool MakeFolders(const std::string& path, std::string* why);
// True when new files can be made in the folder (and its mode lets someone
// write there: root does not write in a folder made read-only).
bool FolderWritable(const std::string& path);
}  // namespace sys
