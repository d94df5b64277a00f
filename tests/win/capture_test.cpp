// The capture hotkeys in-process, with real windows, the real cursor and real
// key presses: which window a capture stores, where in the table it lands, and
// how the hotkeys behave when another window already holds one of the keys.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "app/main_window.h"
#include "capture/capture_hotkeys.h"
#include "common/globals.h"
#include "store/click_table.h"
#include "support/main_window_fixture.h"
#include "support/process.h"
#include "support/recorder.h"

namespace {

using Row = std::vector<std::string>;

constexpr int kPressTimeoutMs = 3000;
constexpr char kBlockerClass[] = "bgshakeTestHotkeyBlocker";
// On RecorderUnderPoint(), from (40, 40) to (220, 170): away from the main
// window, which is centred in the 1024x768 desktop.
constexpr POINT kPointOverRecorder = {123, 97};

// A key going down or up on the real keyboard, as the user's keyboard sends it.
void SendKey(WORD virtualKey, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof(input));
}

// Under Wine GetCursorPos can go back to an earlier position for a while after
// SetCursorPos, until the display has caught up with the move. Places the
// cursor and waits until the position has held for a good while; inside a
// message handler (pumpMessages false) it only sleeps.
bool PlaceCursor(POINT target, bool pumpMessages) {
  constexpr DWORD kSettledMs = 200;
  const DWORD start = GetTickCount();
  DWORD heldSince = 0;
  bool held = false;
  while (GetTickCount() - start < 3000) {
    POINT now = {};
    GetCursorPos(&now);
    if (now.x != target.x || now.y != target.y) {
      SetCursorPos(target.x, target.y);
      held = false;
    } else if (!held) {
      held = true;
      heldSince = GetTickCount();
    } else if (GetTickCount() - heldSince >= kSettledMs) {
      return true;
    }
    if (pumpMessages) {
      PumpFor(5);
    } else {
      Sleep(5);
    }
  }
  return false;
}

std::vector<Row> TableRows() {
  std::vector<Row> rows;
  for (int row = 0; row < RowCount(); ++row) {
    rows.push_back({GetCell(row, 0), GetCell(row, 1), GetCell(row, 2), GetCell(row, 3)});
  }
  return rows;
}

// Counts the WM_HOTKEY messages that reach a window that holds a key in the
// tool's place.
int blockerHotkeys = 0;

LRESULT CALLBACK BlockerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_HOTKEY) {
    ++blockerHotkeys;
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateBlockerWindow() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = BlockerProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kBlockerClass;
    RegisterClassA(&windowClass);
    registered = true;
  }
  blockerHotkeys = 0;
  return CreateWindowExA(0, kBlockerClass, "blocker", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

class Capture : public MainWindowTest {
 protected:
  void TearDown() override {
    for (HWND other : others) {
      if (IsWindow(other)) DestroyWindow(other);
    }
    MainWindowTest::TearDown();
  }

  // A top-level recording window that the test destroys at its end.
  HWND Recorder(int x, int y, int width, int height) {
    HWND recorder = CreateRecorderWindow(x, y, width, height);
    others.push_back(recorder);
    return recorder;
  }

  // The top-level recorder that kPointOverRecorder lies on.
  HWND RecorderUnderPoint() { return Recorder(40, 40, 180, 130); }

  // A window that holds a key (no modifiers) before the tool asks for it.
  HWND HoldKeyElsewhere(UINT key) {
    HWND blocker = CreateBlockerWindow();
    others.push_back(blocker);
    EXPECT_TRUE(RegisterHotKey(blocker, 1, 0, key));
    return blocker;
  }

  void PointAt(POINT point) { ASSERT_TRUE(PlaceCursor(point, true)); }

  // Presses a key with the real keyboard and waits until captureRow has the
  // value the press should give it.
  bool Press(WORD key, int32_t captureRowAfter) {
    SendKey(key, false);
    SendKey(key, true);
    return PumpUntil([&] { return captureRow == captureRowAfter; }, kPressTimeoutMs);
  }

  std::vector<HWND> others;
};


TEST_F(Capture, F1OverATopLevelWindowStoresItsOwnHandleAndTheScreenPoint) {
  CreateMain();
  HWND recorder = RecorderUnderPoint();
  ASSERT_NO_FATAL_FAILURE(PointAt(kPointOverRecorder));
  ASSERT_TRUE(Press(VK_F1, 1));
  const std::string handle = HandleText(recorder);
  EXPECT_EQ(GetControlText(编辑框2), handle);
  // Screen coordinates, not the recorder's client coordinates (which start at 41, 41).
  EXPECT_EQ(TableRows(), (std::vector<Row>{{"0", "123", "97", handle}}));
}

// Each row of the expected table: "x", "y" and "h" stand for the captured
// point's coordinates and the recorder's handle.
struct SequenceCase {
  const char* promise;
  const char* fileBefore;  // click-point file in place when the window is created
  const char* keys;        // '1' for F1, '2' for F2, in order
  std::vector<Row> rowsAfter;
  int32_t captureRowAfter;
};

const char kFourRows[] =
    "0----10----20----30\r\n1----11----21----31\r\n2----12----22----32\r\n3----13----23----33\r\n";

const SequenceCase kSequences[] = {
    {"fresh table, four F1: rows 0 to 3 numbered 0 to 3",
     "",
     "1111",
     {{"0", "x", "y", "h"}, {"1", "x", "y", "h"}, {"2", "x", "y", "h"}, {"3", "x", "y", "h"}},
     4},
    {"four loaded rows, F2 F2 F1: row 2 overwritten, nothing appended",
     kFourRows,
     "221",
     {{"0", "10", "20", "30"}, {"1", "11", "21", "31"}, {"2", "x", "y", "h"}, {"3", "13", "23", "33"}},
     3},
    {"four loaded rows, F1: row 0 overwritten, nothing appended",
     kFourRows,
     "1",
     {{"0", "x", "y", "h"}, {"1", "11", "21", "31"}, {"2", "12", "22", "32"}, {"3", "13", "23", "33"}},
     1},
    {"empty table, F2 F1: an empty row 0 and the capture in row 1",
     "",
     "21",
     {{"", "", "", ""}, {"1", "x", "y", "h"}},
     2},
    {"one loaded row, F2 F2 F2 F1: empty rows up to row 3, the capture there",
     "0----10----20----30\r\n",
     "2221",
     {{"0", "10", "20", "30"}, {"", "", "", ""}, {"", "", "", ""}, {"3", "x", "y", "h"}},
     4},
};

TEST_F(Capture, CapturesLandInRowCaptureRowWhichExistsOrIsPaddedUpTo) {
  for (const SequenceCase& sequence : kSequences) {
    SCOPED_TRACE(sequence.promise);
    // A fresh window and globals for each case, as at the tool's start.
    if (window) DestroyWindow(window);
    PumpFor(20);
    captureRow = 0;
    DeleteFileA(ClickFilePath(folder).c_str());
    if (*sequence.fileBefore) {
      ASSERT_TRUE(WriteFileBytes(ClickFilePath(folder), sequence.fileBefore));
    }
    CreateMain();
    HWND recorder = RecorderUnderPoint();
    ASSERT_NO_FATAL_FAILURE(PointAt(kPointOverRecorder));

    int32_t expectedRow = 0;
    for (const char* key = sequence.keys; *key; ++key) {
      ++expectedRow;
      ASSERT_TRUE(Press(*key == '1' ? VK_F1 : VK_F2, expectedRow)) << "key " << (key - sequence.keys);
    }
    std::vector<Row> expected = sequence.rowsAfter;
    for (Row& row : expected) {
      for (std::string& cell : row) {
        if (cell == "x") cell = std::to_string(kPointOverRecorder.x);
        if (cell == "y") cell = std::to_string(kPointOverRecorder.y);
        if (cell == "h") cell = HandleText(recorder);
      }
    }
    PumpFor(50);  // a stray extra notification would show up here
    EXPECT_EQ(TableRows(), expected);
    EXPECT_EQ(captureRow, sequence.captureRowAfter);
    EXPECT_EQ(GetControlText(编辑框2), HandleText(recorder));
    DestroyWindow(recorder);
  }
}

// Children of one parent, listed from the top of the Z-order down; rectangles
// in the parent's client coordinates.
struct Child {
  int x, y, width, height;
  bool visible;
};

struct WhichChildCase {
  const char* promise;
  std::vector<Child> topFirst;
  POINT cursorInParent;
  int expected;  // index into topFirst
};

const WhichChildCase kWhichChild[] = {
    {"a smaller child below the top one wins",
     {{10, 10, 300, 200, true}, {50, 40, 80, 60, true}},
     {70, 60},
     1},
    {"a larger child below the top one does not replace it",
     {{50, 40, 80, 60, true}, {10, 10, 300, 200, true}},
     {70, 60},
     0},
    {"of two smaller children with equal areas the earlier in Z-order wins",
     {{10, 10, 300, 200, true}, {50, 40, 80, 60, true}, {40, 30, 60, 80, true}},
     {70, 60},
     1},
    {"the smallest of several wins, whatever their order",
     {{10, 10, 300, 200, true}, {50, 40, 80, 60, true}, {30, 30, 150, 100, true}},
     {70, 60},
     1},
    {"a hidden smaller child is passed over",
     {{10, 10, 300, 200, true}, {50, 40, 80, 60, false}},
     {70, 60},
     0},
    {"a smaller child away from the cursor is passed over",
     {{10, 10, 300, 200, true}, {200, 150, 40, 30, true}},
     {70, 60},
     0},
};

TEST_F(Capture, F1OverOverlappingChildrenStoresTheSmallestVisibleOneAtTheCursor) {
  CreateMain();
  for (const WhichChildCase& which : kWhichChild) {
    SCOPED_TRACE(which.promise);
    HWND parent = Recorder(30, 30, 400, 300);
    std::vector<HWND> children;
    for (const Child& child : which.topFirst) {
      children.push_back(CreateRecorderChild(parent, child.x, child.y, child.width, child.height));
      if (!child.visible) ShowWindow(children.back(), SW_HIDE);
    }
    // Bring them to the top from the last to the first, so the first ends on top.
    for (auto child = children.rbegin(); child != children.rend(); ++child) {
      SetWindowPos(*child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    HWND inOrder = GetWindow(parent, GW_CHILD);
    for (HWND child : children) {
      ASSERT_EQ(inOrder, child) << "Z-order of the children";
      inOrder = GetWindow(inOrder, GW_HWNDNEXT);
    }
    PumpFor(30);

    POINT cursor = which.cursorInParent;
    ClientToScreen(parent, &cursor);
    ASSERT_NO_FATAL_FAILURE(PointAt(cursor));
    const int32_t rowBefore = captureRow;
    ASSERT_TRUE(Press(VK_F1, rowBefore + 1));
    const std::string expected = HandleText(children[which.expected]);
    EXPECT_EQ(GetControlText(编辑框2), expected);
    EXPECT_EQ(GetCell(rowBefore, 3), expected);
    EXPECT_EQ(GetCell(rowBefore, 1), std::to_string(cursor.x));
    EXPECT_EQ(GetCell(rowBefore, 2), std::to_string(cursor.y));
    EXPECT_EQ(std::to_string(WindowUnderCursor()), expected);
    DestroyWindow(parent);
    PumpFor(30);
  }
}

// Moves the cursor over another window the moment 编辑框2 is set, which is in
// the middle of a capture.
POINT moveCursorTo;
bool cursorMoved = false;

LRESULT CALLBACK MoveCursorOnStatusText(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR, DWORD_PTR) {
  if (message == WM_SETTEXT && !cursorMoved) cursorMoved = PlaceCursor(moveCursorTo, false);
  return DefSubclassProc(window, message, wParam, lParam);
}

TEST_F(Capture, F1ReadsTheCursorOnceForStatusPointAndWindow) {
  CreateMain();
  HWND first = RecorderUnderPoint();
  HWND second = Recorder(40, 400, 180, 130);
  moveCursorTo = {150, 450};
  cursorMoved = false;
  ASSERT_TRUE(SetWindowSubclass(编辑框2, MoveCursorOnStatusText, 1, 0));
  ASSERT_NO_FATAL_FAILURE(PointAt(kPointOverRecorder));
  ASSERT_TRUE(Press(VK_F1, 1));
  RemoveWindowSubclass(编辑框2, MoveCursorOnStatusText, 1);

  ASSERT_TRUE(cursorMoved) << "the cursor moved during the capture";
  ASSERT_NE(HandleText(second), HandleText(first));
  EXPECT_EQ(GetControlText(编辑框2), HandleText(first));
  EXPECT_EQ(TableRows(), (std::vector<Row>{{"0", "123", "97", HandleText(first)}}));
}

TEST_F(Capture, HeldF1AppendsOneRowPerNotification) {
  CreateMain();
  HWND recorder = RecorderUnderPoint();
  ASSERT_NO_FATAL_FAILURE(PointAt(kPointOverRecorder));
  // Auto-repeat: key-down after key-down, the key-up only at the end.
  for (int i = 0; i < 3; ++i) SendKey(VK_F1, false);
  const bool repeated = PumpUntil([] { return captureRow == 3; }, kPressTimeoutMs);
  SendKey(VK_F1, true);
  ASSERT_TRUE(repeated) << "captureRow " << captureRow;
  // Notifications posted straight to the window count the same.
  for (int i = 0; i < 2; ++i) PostMessageA(window, WM_HOTKEY, hotkeyCapture, MAKELPARAM(0, VK_F1));
  ASSERT_TRUE(PumpUntil([] { return captureRow == 5; }, kPressTimeoutMs));
  PumpFor(50);

  const std::string handle = HandleText(recorder);
  std::vector<Row> expected;
  for (int row = 0; row < 5; ++row) expected.push_back({std::to_string(row), "123", "97", handle});
  EXPECT_EQ(TableRows(), expected);
  EXPECT_EQ(captureRow, 5);
}

TEST_F(Capture, HotkeyMessagesWithOtherIdentifiersChangeNothing) {
  CreateMain();
  RecorderUnderPoint();
  ASSERT_NO_FATAL_FAILURE(PointAt(kPointOverRecorder));
  const WPARAM others[] = {0, kHotkeyBase, static_cast<WPARAM>(hotkeySkip + 1),
                           static_cast<WPARAM>(hotkeyCapture - 2)};
  for (WPARAM id : others) PostMessageA(window, WM_HOTKEY, id, 0);
  PumpFor(100);
  EXPECT_EQ(RowCount(), 0);
  EXPECT_EQ(captureRow, 0);
  EXPECT_EQ(GetControlText(编辑框2), "");
}

TEST_F(Capture, RegistersPlainF1AndF2UnderConsecutiveIdentifiersAfterTheBase) {
  CreateMain();
  // Every creation takes two identifiers from a counter that starts at the
  // base, so F1 always gets an odd offset and F2 the one after it.
  EXPECT_GT(hotkeyCapture, kHotkeyBase);
  EXPECT_EQ((hotkeyCapture - kHotkeyBase) % 2, 1);
  EXPECT_EQ(hotkeySkip, hotkeyCapture + 1);

  // The tool holds exactly F1 and F2 without modifiers: another window cannot
  // have those, but can have them with Shift.
  HWND probe = CreateBlockerWindow();
  others.push_back(probe);
  EXPECT_FALSE(RegisterHotKey(probe, 1, 0, VK_F1));
  EXPECT_FALSE(RegisterHotKey(probe, 2, 0, VK_F2));
  EXPECT_TRUE(RegisterHotKey(probe, 3, MOD_SHIFT, VK_F1));
  EXPECT_TRUE(RegisterHotKey(probe, 4, MOD_SHIFT, VK_F2));
  UnregisterHotKey(probe, 3);
  UnregisterHotKey(probe, 4);
}

TEST_F(Capture, F1StillCapturesWhenAnotherWindowHoldsF2) {
  HWND blocker = HoldKeyElsewhere(VK_F2);
  CreateMain();
  EXPECT_NE(hotkeyCapture, 0);
  EXPECT_EQ(hotkeySkip, 0);
  HWND recorder = RecorderUnderPoint();
  ASSERT_NO_FATAL_FAILURE(PointAt(kPointOverRecorder));

  ASSERT_TRUE(Press(VK_F1, 1));
  SendKey(VK_F2, false);
  SendKey(VK_F2, true);
  ASSERT_TRUE(PumpUntil([] { return blockerHotkeys == 1; }, kPressTimeoutMs)) << "F2 reached its holder";
  ASSERT_TRUE(Press(VK_F1, 2));
  const std::string handle = HandleText(recorder);
  EXPECT_EQ(TableRows(), (std::vector<Row>{{"0", "123", "97", handle}, {"1", "123", "97", handle}}));

  // The failed registration used up its identifier all the same.
  const int32_t firstCapture = hotkeyCapture;
  DestroyWindow(window);
  PumpFor(20);
  UnregisterHotKey(blocker, 1);
  CreateMain();
  EXPECT_EQ(hotkeyCapture, firstCapture + 2);
  EXPECT_EQ(hotkeySkip, firstCapture + 3);
}

TEST_F(Capture, F2StillSkipsWhenAnotherWindowHoldsF1) {
  HoldKeyElsewhere(VK_F1);
  CreateMain();
  EXPECT_EQ(hotkeyCapture, 0);
  EXPECT_NE(hotkeySkip, 0);
  RecorderUnderPoint();
  ASSERT_NO_FATAL_FAILURE(PointAt(kPointOverRecorder));

  SendKey(VK_F1, false);
  SendKey(VK_F1, true);
  ASSERT_TRUE(PumpUntil([] { return blockerHotkeys == 1; }, kPressTimeoutMs)) << "F1 reached its holder";
  ASSERT_TRUE(Press(VK_F2, 1));
  PumpFor(50);
  EXPECT_EQ(RowCount(), 0);
  EXPECT_EQ(GetControlText(编辑框2), "");
}

}  // namespace
