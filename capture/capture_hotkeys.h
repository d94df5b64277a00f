// Capture of click points with the system-wide hotkeys F1 (record the cursor
// and the window under it in the next table row) and F2 (skip a row).
#pragma once

#include <cstdint>

constexpr int32_t kHotkeyBase = 33000;  // identifiers are handed out from 33001 on
constexpr unsigned kVkF1 = 0x70;
constexpr unsigned kVkF2 = 0x71;

// Hooks the main window so that WM_HOTKEY reaches 标签1 as a notification,
// then registers F1 and F2 without modifiers. A key that another program
// holds stays inert (its identifier is 0), silently.
void RegisterCaptureHotkeys();

// Handles a hotkey notification: F1 writes the cursor's x and y and the window
// under it into row captureRow (appending empty rows until it exists) and
// shows the handle in 编辑框2; F1 and F2 both advance captureRow.
void OnCaptureHotkey(int32_t id, int32_t extra);

// The smallest visible window at the cursor among the window under it and
// its later siblings; a top-level window is returned as it is; 0 if none.
int32_t WindowUnderCursor();
