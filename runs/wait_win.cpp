// The message-dispatching wait. Elapsed time is measured with the performance
// counter from the start of the wait, so the tick count's wrap-around after
// 49.7 days cannot make a wait end at once or never.
#include "runs/wait.h"

#include <windows.h>

#include <cmath>

#include "app/main_window.h"
#include "common/globals.h"

namespace {

int64_t CounterFrequency() {
  static const int64_t frequency = [] {
    LARGE_INTEGER value;
    return QueryPerformanceFrequency(&value) && value.QuadPart > 0 ? value.QuadPart : 1000;
  }();
  return frequency;
}

int64_t CounterNow() {
  LARGE_INTEGER value;
  QueryPerformanceCounter(&value);
  return value.QuadPart;
}

}  // namespace

bool DispatchPendingMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
    if (message.message == WM_QUIT) return false;
    if (GetMessageA(&message, nullptr, 0, 0) <= 0) return false;
    if (!HandleWindowKeys(&message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  return true;
}

void Wait(int32_t ms) {
  if (ms <= 0) return;
  const int64_t frequency = CounterFrequency();
  const int64_t start = CounterNow();
  // Counter ticks that make up ms, rounded up so the wait is never short;
  // split in seconds and milliseconds so that no product can overflow.
  const int64_t span = ms / 1000 * frequency + ((ms % 1000) * frequency + 999) / 1000;
  for (;;) {
    const bool quitAhead = !DispatchPendingMessages();
    if (windowClosed || quitAhead) return;  // the window is gone: the run ends
    const int64_t elapsed = CounterNow() - start;
    if (elapsed >= span) return;
    // Sleep until a message arrives or the rest of the time has passed; the
    // timeout is rounded up, and an early wake-up just goes round once more.
    const double restMs = std::ceil(static_cast<double>(span - elapsed) * 1000.0 / frequency);
    const DWORD timeout = restMs < 0x7FFFFFFF ? static_cast<DWORD>(restMs) : 0x7FFFFFFF;
    MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}
