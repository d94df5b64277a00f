// Capture in the real exe, as a user does it: point at a window, press F1,
// save with 按钮4, and shake that window with 按钮1 without typing its handle.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/control_ids.h"
#include "support/process.h"
#include "support/recorder.h"

namespace {

constexpr int kTimeoutMs = 5000;
constexpr int kShakeRunMs = 3350;  // right arrow held 3 s, the down arrow 350 ms later

// The recorder lies in the top-left corner, well away from the tool's window,
// which is centred in the 1024x768 desktop.
constexpr int kRecorderX = 30, kRecorderY = 30;
constexpr POINT kPointOverRecorder = {97, 81};

void SendKey(WORD virtualKey, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof(input));
}

class CaptureTool : public testing::Test {
 protected:
  void SetUp() override {
    recorder = CreateRecorderWindow(kRecorderX, kRecorderY, 160, 120);
    ASSERT_NE(recorder, nullptr);
    tool.folder = MakeTestFolder(testing::UnitTest::GetInstance()->current_test_info()->name());
    ASSERT_TRUE(StartTool(&tool));
  }

  void TearDown() override {
    if (tool.process.hProcess) WaitForToolExit(&tool, 0);  // a failed test leaves no tool behind
    if (recorder) DestroyWindow(recorder);
  }

  HWND Control(int id) const { return ToolControl(tool, id); }

  // Under Wine GetCursorPos can go back to an earlier position for a while
  // after SetCursorPos, until the display has caught up with the move; the
  // cursor is placed once the position has held for a good while.
  static void PointAt(POINT point) {
    constexpr double kSettledMs = 200;
    double heldSince = -1;
    const bool placed = PumpUntil(
        [&] {
          POINT now = {};
          GetCursorPos(&now);
          if (now.x != point.x || now.y != point.y) {
            SetCursorPos(point.x, point.y);
            heldSince = -1;
          } else if (heldSince < 0) {
            heldSince = RecorderNowMs();
          }
          return heldSince >= 0 && RecorderNowMs() - heldSince >= kSettledMs;
        },
        3000);
    ASSERT_TRUE(placed);
  }

  static POINT CentreOf(HWND control) {
    RECT rect = {};
    GetWindowRect(control, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  }

  // The real mouse clicks where the cursor has settled, not where an earlier
  // position that comes back would put it.
  void Click(int id) const {
    ASSERT_NO_FATAL_FAILURE(PointAt(CentreOf(Control(id))));
    ClickWithMouse(Control(id));
  }
  void Type(int id, const std::string& text) const {
    ASSERT_NO_FATAL_FAILURE(PointAt(CentreOf(Control(id))));
    TypeInto(Control(id), text);
    ASSERT_EQ(ControlTextOf(Control(id)), text);
  }

  bool StatusShows(const std::string& text) const {
    return PumpUntil([&] { return ControlTextOf(Control(kId编辑框2)) == text; }, kTimeoutMs);
  }

  bool FileHolds(const std::string& bytes) const {
    const std::string path = ClickFilePath(tool.folder);
    return PumpUntil([&] { return ReadFileBytes(path) == bytes; }, kTimeoutMs);
  }

  std::string CaptureLine(const std::string& row) const {
    return row + "----" + std::to_string(kPointOverRecorder.x) + "----" +
           std::to_string(kPointOverRecorder.y) + "----" + HandleText(recorder) + "\r\n";
  }

  Tool tool;
  HWND recorder = nullptr;
};

TEST_F(CaptureTool, F1CapturesTheWindowUnderTheCursorWhichSaveStoresAndShakeDrives) {
  ASSERT_NO_FATAL_FAILURE(PointAt(kPointOverRecorder));
  SendKey(VK_F1, false);
  SendKey(VK_F1, true);
  ASSERT_TRUE(StatusShows(HandleText(recorder))) << ControlTextOf(Control(kId编辑框2));

  // The real mouse leaves the recorder here and stays on the tool from now on.
  ASSERT_NO_FATAL_FAILURE(Click(kId按钮4));
  EXPECT_TRUE(FileHolds(CaptureLine("0"))) << ReadFileBytes(ClickFilePath(tool.folder));

  ASSERT_NO_FATAL_FAILURE(Type(kId编辑框1, "1"));
  ASSERT_NO_FATAL_FAILURE(Type(kId编辑框3, "3"));
  ClearRecordedMessages(recorder);
  ASSERT_NO_FATAL_FAILURE(Click(kId按钮1));
  ASSERT_TRUE(PumpUntil([&] { return RecordedMessages(recorder).size() >= 4; }, kShakeRunMs + kTimeoutMs))
      << DescribeMessages(RecordedMessages(recorder));
  EXPECT_TRUE(PumpUntil([&] { return ControlTextOf(Control(kId编辑框4)) == "1"; }, kTimeoutMs));
  PumpFor(200);  // anything more would arrive now

  const std::vector<RecordedMessage> received = RecordedMessages(recorder);
  std::vector<std::pair<UINT, WPARAM>> keys;
  for (const RecordedMessage& message : received) keys.push_back({message.message, message.wParam});
  const std::vector<std::pair<UINT, WPARAM>> shake = {
      {WM_KEYDOWN, 39}, {WM_KEYUP, 39}, {WM_KEYDOWN, 40}, {WM_KEYUP, 40}};
  EXPECT_EQ(keys, shake) << DescribeMessages(received);

  ActivateTool(tool);
  PressKey(VK_ESCAPE);
  EXPECT_EQ(WaitForToolExit(&tool, kTimeoutMs), 0);
}

// A freshly started tool hands out 33001 to F1 and 33002 to F2; hotkey
// messages with any other identifier do nothing.
TEST_F(CaptureTool, FirstStartKnowsF1As33001AndF2As33002) {
  ASSERT_NO_FATAL_FAILURE(PointAt(kPointOverRecorder));
  for (WPARAM other : {0, 33000, 33003}) PostMessageA(tool.window, WM_HOTKEY, other, 0);
  PostMessageA(tool.window, WM_HOTKEY, 33002, MAKELPARAM(0, VK_F2));
  PostMessageA(tool.window, WM_HOTKEY, 33001, MAKELPARAM(0, VK_F1));
  ASSERT_TRUE(StatusShows(HandleText(recorder))) << ControlTextOf(Control(kId编辑框2));

  // F2 stepped over row 0, so it stays empty and the capture is row 1.
  ASSERT_NO_FATAL_FAILURE(Click(kId按钮4));
  EXPECT_TRUE(FileHolds("------------\r\n" + CaptureLine("1")))
      << ReadFileBytes(ClickFilePath(tool.folder));

  PostMessageA(tool.window, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForToolExit(&tool, kTimeoutMs), 0);
}

}  // namespace
