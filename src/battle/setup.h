// Setting up a battle: the computer's units drawn from the kinds that fight,
// every unit spawned with its kind's models loaded, the battle's textures,
// sounds, fog and effect, and the battle frame installed.
#pragma once

// Turns the settings (PlayerSide, TankTypeId, RobotTypeId, the counts, the
// sky and the clock) into a ready battle and installs the battle frame; a
// battle effect that cannot be read quits with a message.
void BattleInit();
void ReleaseBattleTextures();
void ReleaseBattleEffect();
// The name a player knows a kind by: "TIGER" for 1, "D-ED.10" for 101;
// "?" for a number that is no kind.
const char* UnitKindName(int kind);
