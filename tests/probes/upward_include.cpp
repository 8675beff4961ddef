// A ground routine that reaches up into the battle scene: the build must refuse it.
#include "battle/frame.h"
#include "world/ground.h"

void ReachesUp() { BattleFrame(); }
