// Glyph atlases for the text fonts, baked on the CPU.  A face comes from a
// font file read with FreeType, or from the small bitmap face built into the
// platform, which needs no file and so is always there.  Used by the font
// calls of the graphics device (gfx_sprite.cpp), which turn an atlas into a
// texture; nothing here touches the device.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gfx_internal.h"

namespace gfx {

// Characters 32..255, one glyph each, packed into one square atlas.
struct BakedFace {
    int side = 0;                // the atlas is side x side texels
    std::vector<uint8_t> alpha;  // coverage 0..255, rows top first
    float ascent = 0;            // from the top of a line to the baseline, pixels
    Glyph glyphs[kFontGlyphs] = {};
};

// Bakes the face in `path` so that its ascender-to-descender span is
// `height` pixels.  False with *error saying what is wrong with the file
// (without its name) when it cannot be read, is no usable font, or its
// glyphs do not fit; no file content can make it read or write outside its
// buffers.
bool BakeFontFile(const char* path, int height, BakedFace* out, std::string* error);
// Bakes the built-in face (printable ASCII in a 5 x 7 dot matrix with
// descenders; a hollow box for the other characters) scaled to lines
// `height` pixels high.
void BakeBuiltinFace(int height, BakedFace* out);

}  // namespace gfx
