/* The picture decoder the game links, built again from the same header into
   the picture harness so that the fuzzer sees its branches: these
   definitions take the place of the shared library's in that harness. */
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
