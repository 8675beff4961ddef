// Virtual-key codes the game polls, with the values the keyboard state table
// has always used: letters and digits are their upper-case ASCII codes.
#pragma once

enum : int {
    VK_LBUTTON = 0x01,
    VK_RBUTTON = 0x02,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_F1 = 0x70,  // F2..F12 follow: VK_F1 + n - 1
    VK_F12 = 0x7B,
};

constexpr int kKeyCount = 256;
