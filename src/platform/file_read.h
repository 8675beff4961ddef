// Files from outside the program (the data pack, the options file, scripts)
// are read only when they are regular files of a size that fits what they
// hold: a named pipe would stall the reader, a device such as /dev/zero
// would be read until memory runs out, and a folder is no file at all.
#pragma once

#include <cstdint>
#include <string>

// True when `path` is a regular file of at most `limit` bytes; otherwise
// false with *error saying why ("cannot be opened (...)", "not a file (a
// folder)", "too large for a script (N bytes, at most M)"), `what` naming
// the kind of file in that last message.  Never blocks on a named pipe.
bool CheckRegularFile(const std::string& path, uint64_t limit, const char* what, std::string* error,
                      uint64_t* size = nullptr);
// The same check, then the whole file into *bytes.
bool ReadRegularFile(const std::string& path, uint64_t limit, const char* what, std::string* bytes,
                     std::string* error);

// A word from outside (a file, the command line) as a message quotes it: in
// single quotes, control bytes and bytes from 0x7F up shown as '?' (an
// escape sequence would recolour the terminal, and a cut or stray byte of a
// multi-byte character garbles it), and a long word cut to its first 40 bytes.
std::string Quoted(const std::string& word);
