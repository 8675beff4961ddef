#include "services/options.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>

#include "services/display.h"
#include "platform/file_read.h"
#include "platform/user_dirs.h"

OptionRecord OptionData = kDefaultOptions;
int32_t ScreenModeChoice = 1;
bool ReplayingSession = false;

int32_t OptionAtoi(const char* s)
{
    while (*s == ' ' || (*s >= '\t' && *s <= '\r')) ++s;
    bool negative = false;
    if (*s == '+' || *s == '-') negative = (*s++ == '-');
    long long v = 0;
    for (; *s >= '0' && *s <= '9'; ++s) {
        v = v * 10 + (*s - '0');
        if (v > 1LL + INT_MAX) v = 1LL + INT_MAX;  // saturate, the sign decides below
    }
    if (negative) v = -v;
    if (v > INT_MAX) v = INT_MAX;
    return static_cast<int32_t>(v);
}

namespace {
bool IsOneOf(int32_t v, std::initializer_list<int32_t> set)
{
    for (int32_t s : set)
        if (v == s) return true;
    return false;
}

// What the options screen can choose.
constexpr std::initializer_list<int32_t> kScreenModes = {0, 1};
constexpr std::initializer_list<int32_t> kScreenWidths = {640, 800, 1024};
constexpr std::initializer_list<int32_t> kScreenHeights = {480, 600, 768};
constexpr std::initializer_list<int32_t> kShadowSizes = {1, 512, 1024, 1600};
constexpr const char* kModeWhat = "a screen mode (0 window, 1 full screen)";
constexpr const char* kSizeWhat = "a screen size (640 x 480, 800 x 600, 1024 x 768)";
constexpr const char* kShadowWhat = "a shadow map size (1, 512, 1024, 1600)";

// One line per value that falls back, on stderr and into *problem (when
// asked for), quoting the line as the file holds it; `missing` tells that
// the file ended before this line, so the value is the previous line's again.
void Reject(std::string* problem, const char* path, int line, bool missing, const std::string& text,
            const char* what, int32_t fallback)
{
    char told[512];
    if (missing)
        std::snprintf(told, sizeof told, "%s: line %d is missing, so it reads as %s, which is not %s; using %d",
                      path, line, text.c_str(), what, fallback);
    else
        std::snprintf(told, sizeof told, "%s: line %d: %s is not %s; using %d", path, line, text.c_str(), what,
                      fallback);
    std::fprintf(stderr, "%s\n", told);
    if (problem) *problem += std::string(problem->empty() ? "" : "\n") + told;
}

// A line as written, without its line ending, quoted and cut short if long.
std::string LineText(const char* buf)
{
    std::string t(buf);
    while (!t.empty() && (t.back() == '\n' || t.back() == '\r')) t.pop_back();
    return Quoted(t);
}
}  // namespace

OptionRecord ReadOptionsFile(const char* path, std::string* problem)
{
    struct stat st {};
    if (stat(path, &st) != 0 && errno == ENOENT) return kDefaultOptions;  // never saved yet
    std::string why;
    if (!CheckRegularFile(path, 64 * 1024, "the options file", &why)) {
        std::fprintf(stderr, "%s: %s; using the default settings\n", path, why.c_str());
        if (problem) *problem = std::string(path) + ": " + why + "; using the default settings";
        return kDefaultOptions;
    }
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return kDefaultOptions;

    // Four lines through one 256-byte buffer: when the file ends early the
    // buffer still holds the last line read, so its value repeats.
    char buf[256] = "";
    int32_t v[4];
    std::string text[4];
    int linesRead = 0;
    for (int i = 0; i < 4; ++i) {
        if (std::fgets(buf, sizeof buf, f)) {
            ++linesRead;
            // A line longer than the buffer is still one line: the rest of
            // it is passed over, not read as the next.
            if (!std::strchr(buf, '\n'))
                for (int c; (c = std::fgetc(f)) != EOF && c != '\n';) {
                }
        }
        v[i] = OptionAtoi(buf);
        text[i] = LineText(buf);
    }
    std::fclose(f);

    OptionRecord o = {v[0], v[1], v[2], v[3]};
    auto missing = [&](int line) { return line > linesRead; };
    if (!IsOneOf(o.fullScreen, kScreenModes)) {
        Reject(problem, path, 1, missing(1), text[0], kModeWhat, 0);
        o.fullScreen = kDefaultOptions.fullScreen;
    }
    bool widthOk = IsOneOf(o.screenWidth, kScreenWidths);
    bool heightOk = IsOneOf(o.screenHeight, kScreenHeights);
    if (!widthOk)
        Reject(problem, path, 2, missing(2), text[1], "a screen width (640, 800, 1024)",
               kDefaultOptions.screenWidth);
    if (!heightOk)
        Reject(problem, path, 3, missing(3), text[2], "a screen height (480, 600, 768)",
               kDefaultOptions.screenHeight);
    if (widthOk && heightOk && o.screenWidth * 3 != o.screenHeight * 4) {
        const std::string told = std::string(path) + ": lines 2 and 3: " + text[1] + " x " + text[2] + " is not " +
                                 kSizeWhat + "; using 800 x 600";
        std::fprintf(stderr, "%s\n", told.c_str());
        if (problem) *problem += (problem->empty() ? "" : "\n") + told;
        widthOk = heightOk = false;
    }
    if (!widthOk || !heightOk) {
        o.screenWidth = kDefaultOptions.screenWidth;
        o.screenHeight = kDefaultOptions.screenHeight;
    }
    if (!IsOneOf(o.shadowMapSize, kShadowSizes)) {
        Reject(problem, path, 4, missing(4), text[3], kShadowWhat, kDefaultOptions.shadowMapSize);
        o.shadowMapSize = kDefaultOptions.shadowMapSize;
    }
    return o;
}

std::string OptionProblem(const OptionRecord& o)
{
    auto is = [](int32_t v, const char* what) { return "'" + std::to_string(v) + "' is not " + what; };
    if (!IsOneOf(o.fullScreen, kScreenModes)) return is(o.fullScreen, kModeWhat);
    if (!IsOneOf(o.screenWidth, kScreenWidths) || !IsOneOf(o.screenHeight, kScreenHeights) ||
        o.screenWidth * 3 != o.screenHeight * 4)
        return "'" + std::to_string(o.screenWidth) + "' x '" + std::to_string(o.screenHeight) + "' is not " + kSizeWhat;
    if (!IsOneOf(o.shadowMapSize, kShadowSizes)) return is(o.shadowMapSize, kShadowWhat);
    return "";
}

std::string UserKeptPath(const char* dataPath)
{
    const std::string config = sys::UserConfigFolder();
    const char* slash = std::strrchr(dataPath, '/');
    return config.empty() ? "" : config + "/varnok/" + (slash ? slash + 1 : dataPath);
}

namespace {
bool gInstalledPack = false;
}  // namespace

void SetInstalledPack(bool installed) { gInstalledPack = installed; }

bool DataFolderWritable()
{
    if (gInstalledPack) return false;
    struct stat st {};
    return sys::FolderWritable(stat("Data", &st) == 0 ? "Data" : ".");
}

std::string KeptReadPath(const char* dataPath)
{
    const std::string user = UserKeptPath(dataPath);
    return !user.empty() && access(user.c_str(), F_OK) == 0 ? user : dataPath;
}

std::string KeptSavePath(const char* dataPath)
{
    // Once the player's own folder holds a file it is read first, so every
    // later save goes there too, or it would never be seen again.
    const std::string user = UserKeptPath(dataPath);
    if (!user.empty() && (access(user.c_str(), F_OK) == 0 || !DataFolderWritable())) return user;
    return dataPath;
}

std::string OptionsReadPath() { return KeptReadPath(kOptionsPath); }
std::string OptionsSavePath() { return KeptSavePath(kOptionsPath); }

std::string InDataFolder(const std::string& path)
{
    char cwd[PATH_MAX];
    if (path.empty() || path[0] == '/' || !getcwd(cwd, sizeof cwd)) return path;
    return std::string(cwd) + "/" + path;
}

std::string LoadOptions()
{
    std::string problem;
    OptionData = ReadOptionsFile(InDataFolder(OptionsReadPath()).c_str(), &problem);
    ScreenModeChoice = OptionData.fullScreen ? 0 : 1;
    return problem;
}

namespace {
std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// The file a path names once its symbolic links are followed (at most 16
// of them); a link's target may not exist yet.  False when the links go
// round or cannot be read.
bool FollowLinks(const std::string& path, std::string* file, std::string* why)
{
    std::string at = path;
    for (int hops = 0; hops < 16; ++hops) {
        struct stat st {};
        if (lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            *file = at;
            return true;
        }
        char target[PATH_MAX];
        ssize_t n = readlink(at.c_str(), target, sizeof target - 1);
        if (n < 0) {
            *why = std::strerror(errno);
            return false;
        }
        target[n] = '\0';
        at = target[0] == '/' ? std::string(target) : FolderOf(at) + "/" + target;
    }
    *why = "its symbolic links go round in a loop";
    return false;
}

bool WriteAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// `text` in a new file of its own in `dir` (created there, never opened
// through a link), named after `name`, with `mode`, flushed to the disk; its
// path in *tmp.  A failure leaves nothing behind and gives the reason.
bool WriteTempFile(const std::string& dir, const std::string& name, const std::string& text, mode_t mode,
                   std::string* tmp, std::string* why)
{
    *tmp = dir + "/." + name + ".XXXXXX";
    int fd = mkstemp(tmp->data());
    if (fd < 0) {
        *why = "cannot write in " + dir + " (" + std::strerror(errno) + ")";
        return false;
    }
    bool ok = fchmod(fd, mode) == 0 && WriteAll(fd, text) && fsync(fd) == 0;
    int err = errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        unlink(tmp->c_str());
        *why = std::strerror(err);
    }
    return ok;
}

// A rename reaches the disk with its folder.
void SyncFolder(const std::string& dir)
{
    int dirFd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
}

bool Refuse(const char* path, std::string* why, const std::string& reason)
{
    std::fprintf(stderr, "%s: the settings were not saved: %s\n", path, reason.c_str());
    if (why) *why = reason;
    return false;
}
}  // namespace

bool ReplaceKeptFile(const char* path, const std::string& text, std::string* why)
{
    // Through a symbolic link the file it points at is written, and the link
    // stays as the player made it.
    std::string file, reason;
    if (!FollowLinks(path, &file, &reason)) return Refuse(path, why, reason);
    // The folder the file lives in may not exist yet on a fresh install; the
    // folder a link leads into is the player's to make.
    const std::string dir = FolderOf(file);
    struct stat dirSt {};
    if (file != path && stat(dir.c_str(), &dirSt) != 0)
        return Refuse(path, why, "it leads to " + file + ", whose folder is not there");
    if (!sys::MakeFolders(dir, &reason)) return Refuse(path, why, reason);
    // A file the player made read-only stays as it is, even for root.
    const std::string it = file == path ? "it" : file;
    mode_t mode = 0644;
    struct stat st {};
    if (stat(file.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) return Refuse(path, why, it + " is not a regular file");
        if ((st.st_mode & 0222) == 0 || access(file.c_str(), W_OK) != 0)
            return Refuse(path, why, it + " is read-only");
        mode = st.st_mode & 07777;
    }
    // Written to a new file of its own beside the old one, then renamed over
    // it: the old file stays whole until the new one is.
    const size_t slash = file.find_last_of('/');
    std::string tmp;
    if (!WriteTempFile(dir, file.substr(slash == std::string::npos ? 0 : slash + 1), text, mode, &tmp, &reason))
        return Refuse(path, why, reason);
    if (rename(tmp.c_str(), file.c_str()) != 0) {
        const int err = errno;
        unlink(tmp.c_str());
        return Refuse(path, why, std::strerror(err));
    }
    SyncFolder(dir);
    return true;
}

bool SaveNewFile(const std::string& folder, const char* prefix, const char* suffix, int32_t* counter,
                 const std::string& bytes, std::string* path, std::string* why)
{
    const std::string dir = folder.empty() ? "." : folder;
    std::string tmp;
    if (!WriteTempFile(dir, std::string(prefix) + suffix, bytes, 0644, &tmp, why)) return false;
    // Into the first free name: a file or a link already there, even one
    // that leads nowhere, is never replaced or written through.
    bool placed = false, linked = false;
    int err = 0;
    for (; !placed && err == 0 && *counter < 1000000; ++*counter) {
        *path = (folder.empty() ? "" : folder + "/") + prefix + std::to_string(*counter) + suffix;
        if (renameat2(AT_FDCWD, tmp.c_str(), AT_FDCWD, path->c_str(), RENAME_NOREPLACE) == 0) {
            placed = true;
        } else if (errno == EINVAL || errno == ENOSYS) {
            // A file system that cannot rename without replacing: a second
            // name for the file, made only where none is.
            placed = linked = link(tmp.c_str(), path->c_str()) == 0;
            if (!placed && errno != EEXIST) err = errno;
        } else if (errno != EEXIST) {
            err = errno;
        }
    }
    if (!placed || linked) unlink(tmp.c_str());
    if (!placed) {
        *why = err ? std::strerror(err) : "every name is taken";
        return false;
    }
    SyncFolder(dir);
    return true;
}

bool WriteOptionsFile(const char* path, int32_t screenModeChoice, int32_t width, int32_t height,
                      int32_t shadowMapSize, std::string* why)
{
    // Lines end CR LF, as the file always has.
    char text[64];
    std::snprintf(text, sizeof text, "%s\r\n%d\r\n%d\r\n%d\r\n", screenModeChoice == 0 ? "1" : "0", width,
                  height, shadowMapSize);
    return ReplaceKeptFile(path, text, why);
}

bool SaveOptions(std::string* why)
{
    return WriteOptionsFile(OptionsSavePath().c_str(), ScreenModeChoice, BackBufferWidth(), BackBufferHeight(),
                            OptionData.shadowMapSize, why);
}
