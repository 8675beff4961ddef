// Game code that calls SDL itself instead of the platform layer: the build must refuse it.
#include <SDL2/SDL.h>

void ReachesPastThePlatform() { SDL_Delay(1); }
