#include "platform/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {
const char* KindOf(mode_t mode)
{
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a named pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

// Opens without waiting for a pipe's writer; -1 with *error on refusal.
int OpenChecked(const std::string& path, uint64_t limit, const char* what, std::string* error, uint64_t* size)
{
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = std::string("cannot be opened (") + std::strerror(errno) + ")";
        return -1;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        *error = std::string("not a file (") + KindOf(st.st_mode) + ")";
        close(fd);
        return -1;
    }
    const uint64_t bytes = static_cast<uint64_t>(st.st_size);
    if (bytes > limit) {
        *error = std::string("too large for ") + what + " (" + std::to_string(bytes) + " bytes, at most " +
                 std::to_string(limit) + ")";
        close(fd);
        return -1;
    }
    if (size) *size = bytes;
    return fd;
}
}  // namespace

std::string Quoted(const std::string& word)
{
    std::string q = word.size() > 40 ? word.substr(0, 40) + "..." : word;
    for (char& c : q)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) c = '?';
    return "'" + q + "'";
}

bool CheckRegularFile(const std::string& path, uint64_t limit, const char* what, std::string* error,
                      uint64_t* size)
{
    int fd = OpenChecked(path, limit, what, error, size);
    if (fd < 0) return false;
    close(fd);
    return true;
}

bool ReadRegularFile(const std::string& path, uint64_t limit, const char* what, std::string* bytes,
                     std::string* error)
{
    uint64_t size = 0;
    int fd = OpenChecked(path, limit, what, error, &size);
    if (fd < 0) return false;
    bytes->clear();
    bytes->reserve(static_cast<size_t>(size));
    char buf[65536];
    for (;;) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            *error = std::string("cannot be read (") + std::strerror(errno) + ")";
            close(fd);
            return false;
        }
        if (n == 0) break;
        // A file that grows while it is read still stops at the limit.
        if (bytes->size() + static_cast<size_t>(n) > limit) {
            *error = std::string("too large for ") + what + " (more than " + std::to_string(limit) + " bytes)";
            close(fd);
            return false;
        }
        bytes->append(buf, static_cast<size_t>(n));
    }
    close(fd);
    return true;
}
