// The click-point runs. Cells are read at the step that uses them, so a
// capture made during a wait changes the next click.
#include "runs/click_runs.h"

#include <cstdint>

#include "app/main_window.h"
#include "common/globals.h"
#include "common/text_convert.h"
#include "input/posted_input.h"
#include "runs/run_steps.h"
#include "runs/shake_run.h"
#include "runs/wait.h"
#include "store/click_table.h"

namespace {

constexpr int kTargetRow = 0;
constexpr int kFirstClickRow = 1;
constexpr int kSecondClickRow = 2;  // also the closing click of an iteration
constexpr int kThirdClickRow = 3;   // also the test click
constexpr int kXColumn = 1;
constexpr int kYColumn = 2;
constexpr int kWindowColumn = 3;

int32_t CellAsInteger(int row, int column) { return TextToInteger(GetCell(row, column)); }

void ShowStatus(const char* text) { SetControlText(编辑框2, text); }

// Waits, and tells whether the run may go on.
bool WaitStep(int32_t ms) {
  Wait(ms);
  return !windowClosed;
}

}  // namespace

void ClickRow(int n) {
  pointX = CellAsInteger(n, kXColumn);
  pointY = CellAsInteger(n, kYColumn);
  PostMouseAction(targetWindow, pointX, pointY);
}

void TestClick() {
  targetWindow = CellAsInteger(kTargetRow, kWindowColumn);
  ClickRow(kThirdClickRow);
}

void RunNearbyAndShake() {
  const int32_t count = TextToInteger(GetControlText(编辑框1));
  for (int64_t i = 1; i <= count; ++i) {
    runCount = static_cast<int32_t>(i);
    ShowStatus("正在查找附近人");
    targetWindow = CellAsInteger(kTargetRow, kWindowColumn);
    ClickRow(kFirstClickRow);
    if (!WaitStep(kNearbyFirstWaitMs)) return;
    ClickRow(kSecondClickRow);
    ShowStatus("查找附近人完毕");
    if (!WaitStep(kNearbyStepWaitMs)) return;
    ClickRow(kThirdClickRow);
    ShowStatus("正在摇一摇");
    if (!WaitStep(kNearbyStepWaitMs)) return;
    if (!ShakeGesture(targetWindow)) return;
    if (!WaitStep(kAfterShakeWaitMs)) return;
    SetControlText(编辑框4, IntegerToText(runCount));
    const double interval = TextToNumber(GetControlText(编辑框3));
    if (!WaitStep(IntervalWaitMs(interval, kNearbyRunSubtractSeconds))) return;
    ShowStatus("摇一摇完毕");
    ClickRow(kSecondClickRow);
    if (!WaitStep(kClosingClickWaitMs)) return;
  }
}
