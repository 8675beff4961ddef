// The running display: the back-buffer size the game draws at and the 2D
// layout factors derived from it (the screens are laid out for 800 x 600).
#pragma once

#include "services/state.h"

int BackBufferWidth();
int BackBufferHeight();
// Sets the size and recomputes scaleX = width / 800 and scaleY = height / 600.
void SetBackBufferSize(int width, int height);

