// The tool's few globals. All live for the whole process and start at 0; the
// GUI thread is the only one that touches them, and runs nested inside a wait
// share them on purpose.
#pragma once

#include <cstdint>

extern int32_t hotkeyCapture;  // identifier of the F1 hotkey, 0 if it could not be registered
extern int32_t hotkeySkip;     // identifier of the F2 hotkey, 0 if it could not be registered
extern int32_t captureRow;     // table row the next F1 capture writes
extern int32_t runCount;       // iteration number of the run that started an iteration last
extern int32_t targetWindow;   // window handle the runs post to, as a signed 32-bit value
extern int32_t pointX;         // x of the click point last read from the table
extern int32_t pointY;         // y of the click point last read from the table
extern bool windowClosed;      // the main window is gone: every run stops at its next step
