// The wait between the steps of a run: it dispatches whatever arrives, lasts
// at least its time, sleeps meanwhile, leaves the quit message alone and ends
// early once the main window is gone.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

#include "app/main_window.h"
#include "common/globals.h"
#include "runs/wait.h"
#include "support/main_window_fixture.h"
#include "support/recorder.h"

namespace {

int64_t Frequency() {
  LARGE_INTEGER value;
  QueryPerformanceFrequency(&value);
  return value.QuadPart;
}

int64_t Counter() {
  LARGE_INTEGER value;
  QueryPerformanceCounter(&value);
  return value.QuadPart;
}

double MsSince(int64_t start) { return (Counter() - start) * 1000.0 / Frequency(); }

// CPU time (user and kernel) that the calling thread has used, in ms.
double ThreadCpuMs() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  auto ms = [](const FILETIME& t) {
    return ((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

// Ticks of the thread timers of the running test.
std::vector<double> timerTicks;
void CALLBACK RecordTick(HWND, UINT, UINT_PTR, DWORD) { timerTicks.push_back(RecorderNowMs()); }

class WaitTest : public testing::Test {
 protected:
  void SetUp() override {
    windowClosed = false;
    timerTicks.clear();
    recorder = CreateRecorderWindow(40, 40, 120, 80);
    ASSERT_NE(recorder, nullptr);
    ShowWindow(recorder, SW_HIDE);  // only posted and sent messages reach it
    PumpFor(20);
    ClearRecordedMessages(recorder);
  }
  void TearDown() override {
    DestroyWindow(recorder);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  HWND recorder = nullptr;
};

TEST_F(WaitTest, DispatchesMessagesPostedAndSentFromAnotherThreadMeanwhile) {
  std::atomic<double> sendReturnedMs{-1};
  const double startMs = RecorderNowMs();
  std::thread sender([&] {
    Sleep(100);
    PostMessageA(recorder, WM_KEYDOWN, 39, 0);
    Sleep(100);
    // A sent message blocks this thread until the waiting thread handles it.
    SendMessageA(recorder, WM_KEYUP, 40, 0);
    sendReturnedMs = RecorderNowMs();
  });
  Wait(600);
  const double endMs = RecorderNowMs();
  sender.join();

  const std::vector<RecordedMessage> got = RecordedMessages(recorder);
  ASSERT_EQ(got.size(), 2u) << DescribeMessages(got);
  EXPECT_EQ(got[0].message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(got[0].wParam, 39u);
  EXPECT_EQ(got[1].message, static_cast<UINT>(WM_KEYUP));
  EXPECT_EQ(got[1].wParam, 40u);
  // Each was handled soon after it arrived, inside the wait.
  EXPECT_GE(got[0].atMs, startMs + 95);
  EXPECT_LT(got[0].atMs, startMs + 400) << DescribeMessages(got);
  EXPECT_LT(got[1].atMs, endMs);
  EXPECT_GE(sendReturnedMs.load(), 0) << "the sent message was not handled during the wait";
  EXPECT_LT(sendReturnedMs.load(), endMs);
}

TEST_F(WaitTest, DispatchesTimerMessagesAndStillEndsOnTime) {
  // A timer that keeps the queue busy neither stops the dispatching nor
  // stretches the wait.
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, RecordTick);
  ASSERT_NE(timer, 0u);
  const int64_t start = Counter();
  const double startMs = RecorderNowMs();
  Wait(400);
  const double elapsedMs = MsSince(start);
  KillTimer(nullptr, timer);
  EXPECT_GE(elapsedMs, 400);
  EXPECT_LT(elapsedMs, 1400);
  ASSERT_GE(timerTicks.size(), 3u);
  for (double tick : timerTicks) EXPECT_GE(tick, startMs);
}

TEST_F(WaitTest, ZeroOrNegativeReturnsAtOnceAndDispatchesNothing) {
  for (int32_t ms : {0, -1, -1000, INT32_MIN}) {
    SCOPED_TRACE(testing::Message() << "Wait(" << ms << ")");
    PostMessageA(recorder, WM_KEYDOWN, 39, 0);
    const int64_t start = Counter();
    Wait(ms);
    EXPECT_LT(MsSince(start), 50);
    EXPECT_TRUE(RecordedMessages(recorder).empty()) << DescribeMessages(RecordedMessages(recorder));
    // The message is still queued; take it away for the next case.
    MSG message = {};
    ASSERT_TRUE(PeekMessageA(&message, recorder, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
    EXPECT_EQ(message.wParam, 39u);
  }
}

TEST_F(WaitTest, LastsAtLeastItsTime) {
  const int64_t frequency = Frequency();
  for (int32_t ms : {1, 2, 15, 16, 17, 100, 250, 1001}) {
    SCOPED_TRACE(testing::Message() << "Wait(" << ms << ")");
    const int64_t start = Counter();
    Wait(ms);
    const int64_t elapsed = Counter() - start;
    // Compared in counter ticks, with no rounding in the test's favour.
    EXPECT_GE(elapsed * 1000, static_cast<int64_t>(ms) * frequency)
        << "returned after " << elapsed * 1000.0 / frequency << " ms";
    EXPECT_LT(elapsed * 1000.0 / frequency, ms + 1000.0);
  }
}

TEST_F(WaitTest, SleepsInsteadOfKeepingAProcessorBusy) {
  // First make sure the thread's CPU time is measured at all here.
  const double spinStartCpu = ThreadCpuMs();
  const int64_t spinStart = Counter();
  while (MsSince(spinStart) < 300) {
  }
  if (ThreadCpuMs() - spinStartCpu < 30) GTEST_SKIP() << "thread CPU time is not measured here";

  const double startCpu = ThreadCpuMs();
  Wait(1000);
  // Polling for a second would use a large share of that second even on a
  // loaded machine; sleeping uses next to nothing.
  EXPECT_LT(ThreadCpuMs() - startCpu, 100);
}

TEST_F(WaitTest, NestedWaitHoldsTheOuterWaitUntilItEnds) {
  // A handler dispatched inside a wait may wait itself (a run started from a
  // button during a run); the outer wait returns soon after it.
  static bool innerDone;
  innerDone = false;
  struct Inner {
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
      KillTimer(nullptr, id);
      Wait(500);
      innerDone = true;
    }
  };
  ASSERT_NE(SetTimer(nullptr, 0, 50, Inner::Tick), 0u);
  const int64_t start = Counter();
  Wait(100);
  const double elapsedMs = MsSince(start);
  EXPECT_TRUE(innerDone);
  EXPECT_GE(elapsedMs, 540);
  EXPECT_LT(elapsedMs, 1600);
}

TEST_F(WaitTest, LeavesAQuitMessageInTheQueue) {
  PostMessageA(recorder, WM_KEYDOWN, 39, 0);
  PostQuitMessage(7);
  Wait(100);
  // Messages ahead of the quit message are dispatched; the quit message stays.
  EXPECT_EQ(RecordedMessages(recorder).size(), 1u) << DescribeMessages(RecordedMessages(recorder));
  MSG message = {};
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 7u);
}

using WaitWithMainWindow = MainWindowTest;

void CALLBACK CloseMainWindow(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  DestroyWindow(mainWindow);
}

TEST_F(WaitWithMainWindow, EndsEarlyWhenTheMainWindowIsDestroyed) {
  CreateMain();
  ASSERT_NE(SetTimer(nullptr, 0, 200, CloseMainWindow), 0u);
  const int64_t start = Counter();
  Wait(8000);
  const double elapsedMs = MsSince(start);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(windowClosed);
  EXPECT_GE(elapsedMs, 150);
  EXPECT_LT(elapsedMs, 2000);
  // Later waits of the same run end at once too.
  const int64_t again = Counter();
  Wait(3000);
  EXPECT_LT(MsSince(again), 500);
  // The quit message of the destroyed window is left for the message loop.
  MSG message = {};
  EXPECT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

}  // namespace
