// The click-point runs in the real exe: the nearby-and-shake run of 按钮2 with
// a table loaded from the click file, the test click of the hidden 按钮3 as a
// keyboard user reaches it, and an F1 capture made while a run waits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/control_ids.h"
#include "support/process.h"
#include "support/recorder.h"

namespace {

constexpr double kClockSlackMs = 25;  // the recorder stamps a message when this thread dispatches it
constexpr double kLateMs = 750;       // a loaded machine is slow, but never seconds late

// Row 0 names the target window; rows 1 to 3 hold three distinct points.
std::string ClickFileFor(HWND target) {
  return "0----0----0----" + HandleText(target) +
         "\r\n1----11----21----0\r\n2----12----22----0\r\n3----13----23----0\r\n";
}

class ClickRunTool : public testing::Test {
 protected:
  void SetUp() override {
    recorder = CreateRecorderWindow(20, 20, 160, 120);  // far from the tool's centred window
    ASSERT_NE(recorder, nullptr);
    tool.folder = MakeTestFolder(testing::UnitTest::GetInstance()->current_test_info()->name());
  }

  // The click file, if any, is in place before the tool loads it at start-up.
  void Start(const std::string& clickFile) {
    if (!clickFile.empty()) ASSERT_TRUE(WriteFileBytes(ClickFilePath(tool.folder), clickFile));
    ASSERT_TRUE(StartTool(&tool));
  }

  HWND Control(int id) const { return ToolControl(tool, id); }

  // Sets count and interval, presses 按钮2 with the real mouse, and takes the
  // cursor away so that only posted messages reach the recorder.
  void StartNearbyRun(const std::string& count, const std::string& interval) {
    ASSERT_TRUE(TypeIntoSettled(Control(kId编辑框1), count));
    ASSERT_TRUE(TypeIntoSettled(Control(kId编辑框3), interval));
    ASSERT_TRUE(ClickWithSettledMouse(Control(kId按钮2)));
    ParkCursor();
  }

  static void ParkCursor() { MoveCursorTo(900, 700); }

  // Presses Tab with the real keyboard until target has the focus.
  bool TabTo(HWND target) {
    for (int presses = 0; presses < 20 && ToolFocus(tool) != target; ++presses) {
      const HWND before = ToolFocus(tool);
      PressKey(VK_TAB);
      PumpUntil([&] { return ToolFocus(tool) != before; }, 1000);
    }
    return ToolFocus(tool) == target;
  }

  size_t Received() const { return RecordedMessages(recorder).size(); }

  void CloseWithEsc() {
    ActivateTool(tool);
    PressKey(VK_ESCAPE);
    EXPECT_EQ(WaitForToolExit(&tool, 3000), 0);
  }

  void TearDown() override {
    if (tool.process.hProcess) WaitForToolExit(&tool, 0);  // a failed test leaves no tool behind
    if (recorder) DestroyWindow(recorder);
  }

  Tool tool;
  HWND recorder = nullptr;
};

void Append(std::vector<ExpectedPost>* posts, const std::vector<ExpectedPost>& more) {
  posts->insert(posts->end(), more.begin(), more.end());
}

TEST_F(ClickRunTool, NearbyRunClicksRowsOneTwoThreeShakesThenClicksRowTwoWithItsWaits) {
  ASSERT_NO_FATAL_FAILURE(Start(ClickFileFor(recorder)));
  ASSERT_NO_FATAL_FAILURE(StartNearbyRun("1", "0"));

  std::vector<ExpectedPost> expected = ClickPosts(11, 21, -1);
  Append(&expected, ClickPosts(12, 22, 10000));
  Append(&expected, ClickPosts(13, 23, 2000));
  Append(&expected, {{WM_KEYDOWN, 39, 0, 2000}, {WM_KEYUP, 39, 0, 3000}, {WM_KEYDOWN, 40, 0, 350},
                     {WM_KEYUP, 40, 0, 0}});
  Append(&expected, ClickPosts(12, 22, 50));  // an interval below 10 s adds no wait
  const std::vector<TextSeen> status = WatchControlText(
      Control(kId编辑框2), [&] { return Received() >= expected.size(); }, 30000);

  // The run ends 3 s after its closing click; a second iteration would click row 1.
  ASSERT_EQ(Received(), expected.size()) << DescribeMessages(RecordedMessages(recorder));
  PumpFor(static_cast<int>(RecordedMessages(recorder).back().atMs + 3000 + kLateMs -
                           RecorderNowMs()));
  const std::vector<RecordedMessage> got = RecordedMessages(recorder);
  EXPECT_EQ(TimelineMismatch(got, expected, kClockSlackMs, kLateMs), "");

  std::vector<std::string> texts;
  for (const TextSeen& seen : status) {
    if (!seen.text.empty()) texts.push_back(seen.text);
  }
  ASSERT_EQ(texts, (std::vector<std::string>{"正在查找附近人", "查找附近人完毕", "正在摇一摇",
                                             "摇一摇完毕"}));
  // Each phase is named after the post that begins it (the second click, the
  // third click, the end of the shake step) and before the next post. Both the
  // recorder's stamps and the 20 ms polling can be late, hence the margins.
  ASSERT_EQ(got.size(), expected.size());
  const size_t phaseStart[] = {3, 6, 12};
  const size_t nextPost[] = {6, 9, 13};
  for (size_t phase = 0; phase < 3; ++phase) {
    const TextSeen& seen = status[status.size() - 3 + phase];
    EXPECT_GE(seen.atMs, got[phaseStart[phase]].atMs - kLateMs) << seen.text;
    EXPECT_LE(seen.atMs, got[nextPost[phase]].atMs + kLateMs) << seen.text;
  }
  EXPECT_EQ(ControlTextOf(Control(kId编辑框2)), "摇一摇完毕");
  EXPECT_EQ(ControlTextOf(Control(kId编辑框4)), "1");
  CloseWithEsc();
}

TEST_F(ClickRunTool, TabAndSpaceOnTheHiddenTestButtonClickRowThreeInRowZerosWindow) {
  ASSERT_NO_FATAL_FAILURE(Start(ClickFileFor(recorder)));
  ActivateTool(tool);
  ASSERT_TRUE(ClickWithSettledMouse(Control(kId编辑框1)));
  ParkCursor();
  ASSERT_EQ(ToolFocus(tool), Control(kId编辑框1));
  ASSERT_TRUE(TabTo(Control(kId按钮3))) << "Tab never reached 按钮3";
  ASSERT_EQ(Received(), 0u);

  PressKey(VK_SPACE);
  PumpUntil([&] { return Received() >= 3; }, 2000);
  PumpFor(300);  // one click only
  EXPECT_EQ(TimelineMismatch(RecordedMessages(recorder), ClickPosts(13, 23, -1), kClockSlackMs,
                             kLateMs),
            "");
  CloseWithEsc();
}

TEST_F(ClickRunTool, TestClickWithAnEmptyTableGoesToTheDesktopAndTheToolCarriesOn) {
  ASSERT_NO_FATAL_FAILURE(Start(std::string()));
  ActivateTool(tool);
  ASSERT_TRUE(ClickWithSettledMouse(Control(kId编辑框1)));
  ParkCursor();
  ASSERT_TRUE(TabTo(Control(kId按钮3))) << "Tab never reached 按钮3";

  PressKey(VK_SPACE);
  PumpFor(300);
  EXPECT_EQ(WaitForSingleObject(tool.process.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT))
      << "the tool ended";
  EXPECT_EQ(ControlTextOf(Control(kId编辑框1)), "100");
  EXPECT_EQ(Received(), 0u);
  CloseWithEsc();
}

TEST_F(ClickRunTool, F1DuringTheFirstWaitReplacesTheNextClickWithTheCapturedPoint) {
  ASSERT_NO_FATAL_FAILURE(Start(ClickFileFor(recorder)));
  ActivateTool(tool);
  PressKey(VK_F2);  // the next capture fills row 2
  PressKey(VK_F2);
  ASSERT_NO_FATAL_FAILURE(StartNearbyRun("1", "0"));
  ASSERT_TRUE(PumpUntil([&] { return Received() >= 3; }, 3000)) << "the run did not start";

  const POINT captured = {850, 620};
  ASSERT_TRUE(MoveCursorTo(captured.x, captured.y));
  PressKey(VK_F1);
  PumpFor(200);
  ParkCursor();

  PumpUntil([&] { return Received() >= 6; }, 15000);
  std::vector<ExpectedPost> expected = ClickPosts(11, 21, -1);
  Append(&expected, ClickPosts(captured.x, captured.y, 10000));
  EXPECT_EQ(TimelineMismatch(RecordedMessages(recorder), expected, kClockSlackMs, kLateMs), "");
  PostMessageA(tool.window, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForToolExit(&tool, 3000), 0);
}

}  // namespace
