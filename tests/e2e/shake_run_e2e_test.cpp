// The shake-only run of 按钮1, driven in the real exe: what it posts and when,
// the progress it shows, and how the tool ends when it is closed while a run
// (or a run nested in another) is waiting.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/control_ids.h"
#include "support/process.h"
#include "support/recorder.h"

namespace {

constexpr double kClockSlackMs = 25;  // the recorder stamps a message when this thread dispatches it
constexpr double kLateMs = 750;       // a loaded machine is slow, but never seconds late
constexpr int kPromptExitMs = 500;    // a closed tool ends this fast even in the middle of a run

// The shake step as the target sees it; afterMs is the wait before it starts.
std::vector<ExpectedPost> ShakePosts(int afterMs) {
  return {{WM_KEYDOWN, 39, 0, afterMs}, {WM_KEYUP, 39, 0, 3000}, {WM_KEYDOWN, 40, 0, 350},
          {WM_KEYUP, 40, 0, 0}};
}

// The tool started in its own folder (a click file is written there first
// when given), with a recorder well away from the tool's centred window.
class ShakeRunTool : public testing::Test {
 protected:
  void SetUp() override {
    recorder = CreateRecorderWindow(20, 20, 160, 120);
    ASSERT_NE(recorder, nullptr);
  }

  void Start(const std::string& clickFile = std::string()) {
    tool.folder = MakeTestFolder(TestFolderName());
    if (!clickFile.empty()) ASSERT_TRUE(WriteFileBytes(ClickFilePath(tool.folder), clickFile));
    ASSERT_TRUE(StartTool(&tool));
  }

  HWND Control(int id) const { return ToolControl(tool, id); }

  // Parameterised tests have a slash in their names; a folder name cannot.
  static std::string TestFolderName() {
    std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
    for (char& c : name) {
      if (c == '/') c = '-';
    }
    return name;
  }

  // Types the run's inputs and presses the button with the real mouse, then
  // takes the cursor away so that only posted messages reach the recorder.
  void StartRun(int buttonId, const std::string& count, const std::string& interval) {
    ASSERT_TRUE(TypeIntoSettled(Control(kId编辑框2), HandleText(recorder)));
    ASSERT_TRUE(TypeIntoSettled(Control(kId编辑框1), count));
    ASSERT_TRUE(TypeIntoSettled(Control(kId编辑框3), interval));
    ASSERT_TRUE(ClickWithSettledMouse(Control(buttonId)));
    ParkCursor();
  }

  static void ParkCursor() { MoveCursorTo(900, 700); }

  size_t Received() const { return RecordedMessages(recorder).size(); }
  bool WaitForMessages(size_t count, int timeoutMs) const {
    return PumpUntil([&] { return Received() >= count; }, timeoutMs);
  }

  void TearDown() override {
    if (tool.process.hProcess) WaitForToolExit(&tool, 0);  // a failed test leaves no tool behind
    if (recorder) DestroyWindow(recorder);
  }

  Tool tool;
  HWND recorder = nullptr;
};

TEST_F(ShakeRunTool, PostsTheShakeKeysEachIterationAndShowsTheIterationNumber) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(StartRun(kId按钮1, "2", "4"));

  // Each iteration: the shake step (3350 ms), then the interval less 3 s.
  std::vector<ExpectedPost> expected = ShakePosts(-1);
  for (const ExpectedPost& post : ShakePosts(1000)) expected.push_back(post);
  const std::vector<TextSeen> shown = WatchControlText(
      Control(kId编辑框4),
      [&] { return Received() >= expected.size() && ControlTextOf(Control(kId编辑框4)) == "2"; },
      20000);

  // No third iteration: the run would start it 1000 ms after the last key.
  const std::vector<RecordedMessage> lastSoFar = RecordedMessages(recorder);
  ASSERT_EQ(lastSoFar.size(), expected.size()) << DescribeMessages(lastSoFar);
  const double thirdWouldStart = lastSoFar.back().atMs + 1000;
  PumpFor(static_cast<int>(thirdWouldStart + kLateMs - RecorderNowMs()));
  const std::vector<RecordedMessage> got = RecordedMessages(recorder);
  EXPECT_EQ(TimelineMismatch(got, expected, kClockSlackMs, kLateMs), "");

  // 编辑框4 goes from empty to 1 after the first shake step, to 2 after the second.
  std::vector<std::string> texts;
  for (const TextSeen& seen : shown) texts.push_back(seen.text);
  ASSERT_EQ(texts, (std::vector<std::string>{"", "1", "2"}));
  ASSERT_EQ(got.size(), 8u);
  // The recorder may stamp a key later than it came, so the lower bounds allow
  // for that; the keys of the next iteration come a second later.
  EXPECT_GE(shown[1].atMs, got[3].atMs - kLateMs) << "1 shown before the first shake ended";
  EXPECT_LE(shown[1].atMs, got[4].atMs) << "1 not shown during the first interval wait";
  EXPECT_GE(shown[2].atMs, got[7].atMs - kLateMs) << "2 shown before the second shake ended";

  ActivateTool(tool);
  PressKey(VK_ESCAPE);
  EXPECT_EQ(WaitForToolExit(&tool, 3000), 0);
}

// How the window is closed while a run waits.
struct CloseWay {
  const char* name;
  void (*close)(const Tool& tool);
};

const CloseWay kCloseWays[] = {
    {"CloseButton", [](const Tool& tool) { PostMessageA(tool.window, WM_CLOSE, 0, 0); }},
    {"AltF4",
     [](const Tool& tool) {
       ActivateTool(tool);
       PressKeyWith(VK_MENU, VK_F4);
     }},
    {"Esc",
     [](const Tool& tool) {
       ActivateTool(tool);
       PressKey(VK_ESCAPE);
     }},
};

class ClosingDuringRun : public ShakeRunTool, public testing::WithParamInterface<CloseWay> {};

TEST_P(ClosingDuringRun, EndsTheProcessPromptlyWithCodeZeroAndPostsNothingMore) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(StartRun(kId按钮1, "5", "100"));
  ASSERT_TRUE(WaitForMessages(1, 3000)) << "the run did not start";
  PumpFor(300);  // well inside the 3 s that VK_RIGHT is held

  const double closedAt = RecorderNowMs();
  GetParam().close(tool);
  const long code = WaitForToolExit(&tool, 5000);
  const double exitMs = RecorderNowMs() - closedAt;
  EXPECT_EQ(code, 0);
  EXPECT_LE(exitMs, kPromptExitMs);

  PumpFor(200);  // anything posted before the end is delivered by now
  const std::vector<RecordedMessage> got = RecordedMessages(recorder);
  EXPECT_EQ(TimelineMismatch(got, {{WM_KEYDOWN, 39, 0, -1}}, kClockSlackMs, kLateMs), "");
}

INSTANTIATE_TEST_SUITE_P(Ways, ClosingDuringRun, testing::ValuesIn(kCloseWays),
                         [](const testing::TestParamInfo<CloseWay>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(ShakeRunTool, ClosingDuringANearbyRunNestedInAShakeRunEndsBothPromptly) {
  // Row 0 sends the nested run's clicks to the recorder too, so the nesting shows.
  ASSERT_NO_FATAL_FAILURE(Start("0----0----0----" + HandleText(recorder) +
                                "\r\n1----11----21----0\r\n2----12----22----0\r\n"
                                "3----13----23----0\r\n"));
  ASSERT_NO_FATAL_FAILURE(StartRun(kId按钮1, "5", "100"));
  ASSERT_TRUE(WaitForMessages(1, 3000)) << "the shake run did not start";
  // Starts inside the shake run's 3 s wait.
  ASSERT_TRUE(ClickWithSettledMouse(Control(kId按钮2)));
  ParkCursor();
  ASSERT_TRUE(WaitForMessages(4, 3000)) << "the nearby run did not start\n"
                                         << DescribeMessages(RecordedMessages(recorder));
  PumpFor(300);  // inside the nearby run's 10 s wait

  const double closedAt = RecorderNowMs();
  PostMessageA(tool.window, WM_CLOSE, 0, 0);
  const long code = WaitForToolExit(&tool, 5000);
  const double exitMs = RecorderNowMs() - closedAt;
  EXPECT_EQ(code, 0);
  EXPECT_LE(exitMs, kPromptExitMs);

  PumpFor(200);
  std::vector<ExpectedPost> expected = {{WM_KEYDOWN, 39, 0, -1}};
  for (const ExpectedPost& post : ClickPosts(11, 21, -1)) expected.push_back(post);
  EXPECT_EQ(TimelineMismatch(RecordedMessages(recorder), expected, kClockSlackMs, kLateMs), "");
}

}  // namespace
