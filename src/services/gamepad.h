// Player 0's game controller as the game reads it (platform/pad.h, slot 0):
// its buttons, its sticks past their dead zones and its triggers past their
// threshold, and the battle actions it answers beside their keys.  A pad
// that is not connected reads as nothing held and the sticks centred.
//
//   left stick        drive or walk: up / down / left / right as W / S / A / D
//   right stick       turret (a robot's torso) and gun, as the mouse does
//   right trigger     fire                     left trigger, LB, RB  switch weapons
//   Y                 next unit's view (Z)     Back (held)   scoreboard (Tab)
//   Start             pause and resume (Escape)
//   menus             d-pad moves the focus, A presses, B is the screen's Back
#pragma once

#include <cstdint>

#include "platform/pad.h"
#include "services/state.h"

// Player 0's pad as it is now; all zero when none is connected.
sys::Gamepad PadNow();
// True while a button of `mask` is held.
bool PadButtonDown(uint16_t mask);
// A button pair's latch, as KeyPressed: true on the first look with a
// button of `mask` held, then not again until all are released.
bool PadButtonPressed(uint16_t mask, int32_t* latch);
// What presses a menu button: the left mouse button or the pad's A.
bool MenuPressDown();
// A stick axis past its dead zone, scaled to how far past it: 0 inside the
// dead zone, rising to 1 (or -1) at the stick's end.
float PadStick(int16_t value, int16_t deadZone);
// A trigger pulled past the threshold.
bool PadTriggerDown(uint8_t value);
// The battle action as the pad holds it (the table above).  The turret and
// gun actions are the right stick's, read by PadAim, so they are never held.
bool PadActionDown(BattleAction action);
// Held on either: its key (BattleActionDown) or the pad.
bool ActionDown(BattleAction action);
// The right stick past its dead zone: yaw right positive, pitch up positive,
// each -1..1.
void PadAim(float* yaw, float* pitch);
