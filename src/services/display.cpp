#include "services/display.h"

float scaleX = 1.0f;
float scaleY = 1.0f;

static int gWidth = 800;
static int gHeight = 600;

int BackBufferWidth() { return gWidth; }
int BackBufferHeight() { return gHeight; }

void SetBackBufferSize(int width, int height)
{
    gWidth = width;
    gHeight = height;
    // Worked in double precision from the sizes, then kept as floats.
    scaleX = static_cast<float>(static_cast<double>(static_cast<unsigned>(width)) / 800.0);
    scaleY = static_cast<float>(static_cast<double>(static_cast<unsigned>(height)) / 600.0);
}
