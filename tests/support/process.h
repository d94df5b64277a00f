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

// ---- Watching a run: texts the tool shows, messages it posts, keys and focus ----
#include <functional>
#include <vector>

#include "support/recorder.h"

// A text a control showed, with the recorder-clock time it was first seen.
struct TextSeen {
  std::string text;
  double atMs;
};
// Pumps this thread's messages until done() or timeoutMs, reading the control's
// text every pollMs; gives each text in the order it appeared, once per change.
std::vector<TextSeen> WatchControlText(HWND control, const std::function<bool()>& done,
                                       int timeoutMs, int pollMs = 20);

// One message a run should post, and how long after the previous one (a
// negative afterMs is not checked, for the first message).
struct ExpectedPost {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  int afterMs;
};
// The posts of one click at (x, y): WM_MOUSEMOVE (wParam 2), WM_LBUTTONDOWN (1),
// WM_LBUTTONUP (0), each with lParam x | y << 16; the first afterMs after the
// previous post, the others at once.
std::vector<ExpectedPost> ClickPosts(int x, int y, int afterMs);
// Compares what a recorder received with the expected posts: the same messages
// and parameters in the same order, each gap no shorter than afterMs less
// slackMs and no longer than afterMs plus lateMs. Empty when they agree,
// otherwise a description of the first difference and of what was received.
std::string TimelineMismatch(const std::vector<RecordedMessage>& got,
                             const std::vector<ExpectedPost>& expected, double slackMs,
                             double lateMs);

// Presses key while modifier is held, with the real keyboard (Alt+F4 and the like).
void PressKeyWith(WORD modifier, WORD key);
// The window that has the keyboard focus on the tool's GUI thread, 0 if none.
HWND ToolFocus(const Tool& tool);

// Like StartTool, but returns as soon as the window is visible and gives the
// milliseconds from CreateProcess until it was seen, for timing the start-up.
// Waits up to timeoutMs for the window.
bool StartToolTimed(Tool* tool, double* shownAfterMs, int timeoutMs);

// Moves the real cursor to (x, y) on the screen and waits until it stays there.
// Under Wine, GetCursorPos can report the old place for about 100 ms after a
// move, and a click sent then lands there; and the position Wine keeps can say
// (x, y) while the X pointer, which GetCursorPos reads later, is elsewhere.
// False if the cursor does not settle.
bool MoveCursorTo(int x, int y);
// The middle of a window, in screen coordinates, as ClickWithMouse aims.
POINT WindowCentre(HWND window);
// ClickWithMouse once the cursor rests on the control (MoveCursorTo), so the
// click cannot land where the cursor was a moment ago. False if it never rests.
bool ClickWithSettledMouse(HWND control);
// TypeInto with that settled click into the box; true if the box then holds text.
bool TypeIntoSettled(HWND edit, const std::string& text);
