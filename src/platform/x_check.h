// The walk a .x file takes before the mesh library reads it.
//
// The library's reader gives up on a damaged file by throwing from the
// middle of its work, and whatever it had built by then is never freed; a
// damaged count makes it reserve room for the count first.  So the file is
// walked here first, token by token in the same way the library reads it,
// text or binary, and refused at the first place where the library would
// give up or where its result would send the rest of the library out of its
// arrays:
//   - a token that runs past the end of the file, or a list whose count
//     cannot fit in what is left;
//   - a count larger than the bytes after it, or written below zero;
//   - braces that do not pair, a number, separator or quoted string missing
//     where the reader needs one, the file ending inside an object;
//   - in a Mesh: faces without corners or using vertices it lacks; normals,
//     texture coordinates and colours whose counts do not match the mesh's,
//     or faces using normals it lacks; a material list whose count matches
//     neither the faces nor one, naming materials without any, or after
//     another; skin weights on vertices it lacks;
//   - animation keys of an unknown kind or with the wrong number of values;
//   - frames nested more than kDeepestFrame deep, or a frame name longer
//     than the library keeps;
//   - meshes both inside frames and outside any.
// A compressed file (tzip, bzip: MSZIP blocks) is inflated as the library
// inflates it, refused where the library would give up on its blocks, and
// the text or binary it inflates to is walked the same way.
#pragma once

#include <cstdint>
#include <string>

// True when the library may read `bytes` (the whole file); otherwise false
// with *problem saying what is wrong and where ("line 12: ..." in a text
// file, "byte 300: ..." in a binary one, "inflated, line 12: ..." in what a
// compressed one inflates to).  *readBytes, when given, is the size of what
// the library reads: the file, or what it inflates to when larger.
bool CheckXFile(const std::string& bytes, std::string* problem, uint64_t* readBytes = nullptr);

constexpr int kDeepestFrame = 64;
