// Pictures on the CPU: BMP, PNG and JPG files read into ARGB pixels, rows
// top first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Image {
    uint32_t width = 0, height = 0;
    std::vector<uint32_t> argb;
};

// False with *error naming the problem when the file is missing or no
// picture; a picture of another kind than BMP, PNG or JPEG is refused too.
bool ReadImageFile(const std::string& path, Image* out, std::string* error);
// Nearest-texel scaling to a new size (no filtering).
Image ScaleImage(const Image& src, uint32_t width, uint32_t height);
// Pixels equal to `key` (an opaque ARGB colour) become transparent black.
void ApplyColourKey(Image* img, uint32_t key);
