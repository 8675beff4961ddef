// The unit tests load the battle's and the menus' pictures over and over;
// decoding each file once makes the suite several times faster and changes
// nothing a test sees.
#include "platform/test_hooks.h"

namespace {
const bool kKept = (KeepDecodedPictures(true), true);
}  // namespace
