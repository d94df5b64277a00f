// Definitions of the globals declared in globals.h.
#include "common/globals.h"

int32_t hotkeyCapture = 0;
int32_t hotkeySkip = 0;
int32_t captureRow = 0;
int32_t runCount = 0;
int32_t targetWindow = 0;
int32_t pointX = 0;
int32_t pointY = 0;
bool windowClosed = false;
