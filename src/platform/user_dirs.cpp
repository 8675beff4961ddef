#include "platform/user_dirs.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace sys {
namespace {
std::string Absolute(const char* value) { return value && value[0] == '/' ? value : ""; }

std::string BaseFolder(const char* var, const char* underHome)
{
    std::string set = Absolute(std::getenv(var));
    if (!set.empty()) return set;
    std::string home = Absolute(std::getenv("HOME"));
    return home.empty() ? "" : home + "/" + underHome;
}

bool IsFolder(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
}  // namespace

std::string UserConfigFolder() { return BaseFolder("XDG_CONFIG_HOME", ".config"); }

std::string UserDataFolder() { return BaseFolder("XDG_DATA_HOME", ".local/share"); }

std::string UserPicturesFolder()
{
    const std::string config = UserConfigFolder();
    if (config.empty()) return "";
    // Lines as the user-dirs tool writes them: XDG_PICTURES_DIR="$HOME/Pictures",
    // the value quoted, either absolute or starting $HOME/.
    std::ifstream in(config + "/user-dirs.dirs");
    std::string line, found;
    const std::string key = "XDG_PICTURES_DIR=\"";
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) != 0) continue;
        std::string value = line.substr(key.size());
        size_t end = value.find('"');
        if (end == std::string::npos) continue;
        value.resize(end);
        if (value.rfind("$HOME/", 0) == 0) {
            std::string home = Absolute(std::getenv("HOME"));
            value = home.empty() ? "" : home + value.substr(5);
        }
        found = Absolute(value.c_str());
    }
    // "$HOME/" alone means the pictures have no folder of their own.
    std::string home = Absolute(std::getenv("HOME"));
    if (found.empty() || found == home || found == home + "/" || !IsFolder(found)) return "";
    return found;
}

bool MakeFolders(const std::string& path, std::string* why)
{
    for (size_t at = 1; at <= path.size(); ++at) {
        if (at < path.size() && path[at] != '/') continue;
        const std::string part = path.substr(0, at);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) {
            if (why) *why = "cannot create " + part + " (" + std::strerror(errno) + ")";
            return false;
        }
    }
    if (!IsFolder(path)) {
        if (why) *why = path + " is not a folder";
        return false;
    }
    return true;
}

bool FolderWritable(const std::string& path)
{
    // A folder whose mode lets nobody write is read-only to root too: an
    // installed pack stays as it was installed.
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && (st.st_mode & 0222) != 0 && access(path.c_str(), W_OK | X_OK) == 0;
}
}  // namespace sys
