// The shake-only run of 按钮1, called in-process on the real window: what it
// posts to the handle in 编辑框2, when, how often, and how it ends.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/main_window.h"
#include "common/globals.h"
#include "runs/shake_run.h"
#include "support/main_window_fixture.h"
#include "support/recorder.h"

namespace {

struct Key {
  UINT message;
  WPARAM key;
};

// One shake step: VK_RIGHT held, then a VK_DOWN press.
const std::vector<Key> kShake = {{WM_KEYDOWN, 39}, {WM_KEYUP, 39}, {WM_KEYDOWN, 40}, {WM_KEYUP, 40}};

std::vector<Key> Repeated(const std::vector<Key>& keys, int times) {
  std::vector<Key> all;
  for (int i = 0; i < times; ++i) all.insert(all.end(), keys.begin(), keys.end());
  return all;
}

void ExpectKeys(const std::vector<RecordedMessage>& got, const std::vector<Key>& want) {
  ASSERT_EQ(got.size(), want.size()) << DescribeMessages(got);
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(got[i].message, want[i].message) << "message " << i << "\n" << DescribeMessages(got);
    EXPECT_EQ(got[i].wParam, want[i].key) << "message " << i << "\n" << DescribeMessages(got);
    EXPECT_EQ(got[i].lParam, 0) << "message " << i << "\n" << DescribeMessages(got);
  }
}

// Time between two recorded messages is at least the wait between their posts
// (less a little for dispatch jitter) and not seconds more.
constexpr double kJitterMs = 15;
constexpr double kLateMs = 1000;
void ExpectGap(const std::vector<RecordedMessage>& got, size_t from, size_t to, double ms) {
  const double gap = got[to].atMs - got[from].atMs;
  EXPECT_GE(gap, ms - kJitterMs) << "from message " << from << " to " << to << "\n"
                                 << DescribeMessages(got);
  EXPECT_LT(gap, ms + kLateMs) << "from message " << from << " to " << to << "\n"
                               << DescribeMessages(got);
}

// Texts that 编辑框4 showed, sampled by a timer while a run goes on.
std::vector<std::string> progressTexts;
void CALLBACK SampleProgress(HWND, UINT, UINT_PTR, DWORD) {
  const std::string text = GetControlText(编辑框4);
  if (progressTexts.empty() || progressTexts.back() != text) progressTexts.push_back(text);
}

// Redirects the run to another window, once.
HWND redirectTo;
void CALLBACK Redirect(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  SetControlText(编辑框2, HandleText(redirectTo));
}

void CALLBACK CloseMainWindow(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  DestroyWindow(mainWindow);
}

class ShakeRun : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    CreateMain();
    target = MakeRecorder(40, 40);
    progressTexts.clear();
  }
  void TearDown() override {
    for (HWND recorder : recorders) DestroyWindow(recorder);
    MainWindowTest::TearDown();
  }

  // A hidden recorder: only what is posted reaches it.
  HWND MakeRecorder(int x, int y) {
    HWND recorder = CreateRecorderWindow(x, y, 100, 60);
    ShowWindow(recorder, SW_HIDE);
    recorders.push_back(recorder);
    return recorder;
  }

  // Runs RunShake with the given boxes; returns how long it took in ms.
  double Run(const std::string& count, const std::string& interval) {
    SetControlText(编辑框1, count);
    SetControlText(编辑框3, interval);
    const double start = RecorderNowMs();
    RunShake();
    const double took = RecorderNowMs() - start;
    PumpFor(50);  // anything posted last is delivered now
    return took;
  }

  HWND target = nullptr;
  std::vector<HWND> recorders;
};

TEST_F(ShakeRun, PostsTheShakeStepPerIterationWithItsWaits) {
  SetControlText(编辑框2, HandleText(target));
  const UINT_PTR sampler = SetTimer(nullptr, 0, 100, SampleProgress);
  const double took = Run("2", "3.5");
  KillTimer(nullptr, sampler);

  const std::vector<RecordedMessage> got = RecordedMessages(target);
  ExpectKeys(got, Repeated(kShake, 2));
  if (got.size() != 8) return;
  for (size_t first : {0u, 4u}) {
    ExpectGap(got, first, first + 1, 3000);  // VK_RIGHT held
    ExpectGap(got, first + 1, first + 2, 350);
    EXPECT_LT(got[first + 3].atMs - got[first + 2].atMs, 200);  // posted back to back
  }
  ExpectGap(got, 3, 4, 500);  // interval 3.5 s less the 3 s of the step
  // Two iterations of 3350 ms and 500 ms each.
  EXPECT_GE(took, 2 * 3850 - kJitterMs);
  EXPECT_LT(took, 2 * 3850 + 2 * kLateMs);

  EXPECT_EQ(GetControlText(编辑框4), "2");
  EXPECT_EQ(progressTexts, (std::vector<std::string>{"", "1", "2"}));
  EXPECT_EQ(runCount, 2);
  EXPECT_EQ(targetWindow, static_cast<int32_t>(reinterpret_cast<intptr_t>(target)));
}

TEST_F(ShakeRun, CountIsTruncatedAndNoNumberRunsNothing) {
  SetControlText(编辑框2, HandleText(target));
  const struct {
    const char* count;
    int iterations;
  } cases[] = {{"0", 0}, {"-5", 0}, {"abc", 0}, {"", 0}, {"2.9", 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "count \"" << c.count << "\"");
    ClearRecordedMessages(target);
    SetControlText(编辑框4, "unchanged");
    // An interval below the 3 s of the step makes no wait after it.
    const double took = Run(c.count, "0");
    ExpectKeys(RecordedMessages(target), Repeated(kShake, c.iterations));
    EXPECT_EQ(GetControlText(编辑框4), c.iterations ? std::to_string(c.iterations) : "unchanged");
    EXPECT_LT(took, c.iterations * 3350 + 1000);
  }
}

TEST_F(ShakeRun, ChangedHandleRedirectsTheNextIteration) {
  HWND other = MakeRecorder(200, 40);
  redirectTo = other;
  SetControlText(编辑框2, HandleText(target));
  // During the first iteration's hold: its key-up still goes to the first window.
  ASSERT_NE(SetTimer(nullptr, 0, 1000, Redirect), 0u);
  Run("2", "0");
  ExpectKeys(RecordedMessages(target), kShake);
  ExpectKeys(RecordedMessages(other), kShake);
  EXPECT_EQ(targetWindow, static_cast<int32_t>(reinterpret_cast<intptr_t>(other)));
}

TEST_F(ShakeRun, ClosingTheWindowEndsTheRunWithoutPostingTheRest) {
  SetControlText(编辑框2, HandleText(target));
  ASSERT_NE(SetTimer(nullptr, 0, 1000, CloseMainWindow), 0u);
  const double took = Run("5", "20");
  EXPECT_FALSE(IsWindow(window));
  EXPECT_LT(took, 2500);  // not the rest of the 3 s hold, nor the other iterations
  ExpectKeys(RecordedMessages(target), {{WM_KEYDOWN, 39}});
}

}  // namespace
