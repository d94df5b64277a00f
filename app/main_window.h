// The tool's one window: its controls, the routing of their events to the
// handlers of the other folders, and the text access those handlers use.
#pragma once

#include <windows.h>

#include <string>

// The main window and its controls; set by CreateMainWindow, never changed.
extern HWND mainWindow;
extern HWND 选择夹1;
extern HWND 标签1, 标签2, 标签3, 标签4, 标签5;
extern HWND 编辑框1, 编辑框2, 编辑框3, 编辑框4, 编辑框_打招呼, 编辑框5;
extern HWND 按钮1, 按钮2, 按钮3, 按钮4;
extern HWND 超级列表框_配置;

// Creates the window and its controls hidden, then runs OnWindowCreated, so
// that the hotkeys are registered and the table loaded before it is shown.
// Returns 0 if the window cannot be created.
HWND CreateMainWindow(HINSTANCE instance);

// Registers the hotkeys, then loads the click-point table.
void OnWindowCreated();

// Shows the controls of page 0 ("微信") or page 1 ("说明") and hides the others.
void ShowPage(int page);

// Keys the window handles before a message is dispatched: a plain Esc closes
// the window, Tab and Shift+Tab move between tab stops, Space presses a button.
// Returns true when the message has been handled and must not be dispatched.
bool HandleWindowKeys(MSG* message);

// Text of a control (empty for a missing window), of any length.
std::string GetControlText(HWND control);
// Sets the text of a control; it is painted at the next message processing.
void SetControlText(HWND control, const std::string& text);
