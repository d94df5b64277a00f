// The shake-only run. Every read of a control happens when the run reaches
// it, so a change typed during a run takes effect at the next read.
#include "runs/shake_run.h"

#include "app/main_window.h"
#include "common/globals.h"
#include "common/text_convert.h"
#include "input/posted_input.h"
#include "runs/run_steps.h"
#include "runs/wait.h"

bool ShakeGesture(int32_t window) {
  PostKeyAction(window, kVkRight, kKeyDown);
  Wait(kShakeHoldMs);
  if (windowClosed) return false;
  PostKeyAction(window, kVkRight, kKeyUp);
  Wait(kShakePauseMs);
  if (windowClosed) return false;
  PostKeyAction(window, kVkDown, kKeyPress);
  return true;
}

void RunShake() {
  const int32_t count = TextToInteger(GetControlText(编辑框1));
  // A 64-bit counter, so a count of INT32_MAX ends instead of overflowing.
  for (int64_t i = 1; i <= count; ++i) {
    runCount = static_cast<int32_t>(i);
    targetWindow = TextToInteger(GetControlText(编辑框2));
    if (!ShakeGesture(targetWindow)) return;
    SetControlText(编辑框4, IntegerToText(runCount));
    const double interval = TextToNumber(GetControlText(编辑框3));
    Wait(IntervalWaitMs(interval, kShakeRunSubtractSeconds));
    if (windowClosed) return;
  }
}
