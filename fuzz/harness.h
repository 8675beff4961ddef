// What every harness shares.
//
// Its one place on disk: a folder of this process's own, made in
// $TMPDIR (or /tmp) at the first call and removed with what it holds when the
// process ends.  Readers that take a path get their bytes through one file in
// it, written again for every input, so a run leaves nothing behind and two
// harnesses (or two jobs of one) never share a file.
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

inline std::string& ScratchFolderName()
{
    static std::string name;
    return name;
}

inline void RemoveScratchFolder()
{
    const std::string& folder = ScratchFolderName();
    if (folder.empty()) return;
    if (DIR* d = opendir(folder.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string entry = e->d_name;
            if (entry != "." && entry != "..") unlink((folder + "/" + entry).c_str());
        }
        closedir(d);
    }
    rmdir(folder.c_str());
}

inline const std::string& ScratchFolder()
{
    std::string& folder = ScratchFolderName();
    if (folder.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/varnok-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) {
            std::perror(pattern.c_str());
            std::abort();
        }
        folder = pattern;
        std::atexit(RemoveScratchFolder);
    }
    return folder;
}

// The input as the file `name` of the scratch folder; its path.
inline std::string WriteScratch(const uint8_t* data, size_t size, const char* name)
{
    std::string path = ScratchFolder() + "/" + name;
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        std::perror(path.c_str());
        std::abort();
    }
    for (size_t done = 0; done < size;) {
        ssize_t n = write(fd, data + done, size - done);
        if (n <= 0) {
            std::perror(path.c_str());
            std::abort();
        }
        done += static_cast<size_t>(n);
    }
    close(fd);
    return path;
}

// A message fit for a terminal: no control bytes (a file's own escape
// sequence quoted back would recolour it) and no endless line.  Messages end
// without a line break; the caller adds it.
inline bool Plain(const std::string& message)
{
    if (message.size() > 1000) return false;
    for (char c : message)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    return true;
}

}  // namespace fuzz
