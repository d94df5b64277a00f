// Running the real bgshake.exe from outside, the way a user's PC runs it:
// each test gets its own folder with a copy of the exe, starts it, finds its
// window and controls, drives them with real input, and watches it end.
#pragma once

#include <windows.h>

#include <string>

struct Tool {
  PROCESS_INFORMATION process = {};
  HWND window = nullptr;
  std::string folder;  // where the exe copy and its click-point file lie
};

// The folder of the test executable, without a trailing backslash.
std::string TestExeDirectory();

// A fresh, empty folder under the temporary folder, named after the test.
std::string MakeTestFolder(const std::string& name);
// Full path of the click-point file beside the exe in folder.
std::string ClickFilePath(const std::string& folder);
std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);

// Copies bgshake.exe into tool.folder and starts it with currentDirectory (the
// folder itself when empty); waits until its window is shown. False on failure.
bool StartTool(Tool* tool, const std::string& currentDirectory = std::string());
// Waits up to ms for the process to end; gives its exit code, or -1 if it
// is still running (it is then killed).
long WaitForToolExit(Tool* tool, int ms);

HWND ToolControl(const Tool& tool, int id);
std::string ControlTextOf(HWND control);
// Replaces an edit box's text by typing it: a mouse click into the box,
// everything selected, then the characters as keyboard input.
void TypeInto(HWND edit, const std::string& text);
// A left click with the real mouse at the middle of a visible control.
void ClickWithMouse(HWND control);
// A key press (down and up) with the real keyboard, to the focused window.
void PressKey(WORD virtualKey);
// Brings the tool's window to the front with the keyboard focus.
void ActivateTool(const Tool& tool);
