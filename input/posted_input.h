// Input for another process's window, placed in its message queue: the real
// mouse and keyboard stay with the user and the target needs no focus.
#pragma once

#include <cstdint>

// Key actions, numbered as callers pass them.
constexpr int32_t kKeyDown = 3;   // WM_KEYDOWN
constexpr int32_t kKeyUp = 4;     // WM_KEYUP
constexpr int32_t kKeyPress = 5;  // WM_KEYDOWN, then WM_KEYUP at once

constexpr int32_t kVkRight = 39;  // VK_RIGHT
constexpr int32_t kVkDown = 40;   // VK_DOWN

// Posts the messages of a key action with wParam = virtualKey and lParam = 0.
// A window of 0 is passed on as it is.
void PostKeyAction(int32_t window, int32_t virtualKey, int32_t action);

// Posts a left click at (x, y): WM_MOUSEMOVE (wParam 2), WM_LBUTTONDOWN
// (MK_LBUTTON), WM_LBUTTONUP (0), all with the point packed in lParam. A window
// of 0 means the desktop window.
void PostMouseAction(int32_t window, int32_t x, int32_t y);
