// The shake step and the shake-only run of 按钮1 "开始摇(免费)".
#pragma once

#include <cstdint>

// Holds VK_RIGHT for 3 s, then 350 ms later presses VK_DOWN, all posted to
// window. Returns false if the main window was closed meanwhile, in which case
// the rest of the gesture is not posted.
bool ShakeGesture(int32_t window);

// Repeats the shake step 编辑框1 times, posting to the handle in 编辑框2, then
// waits for the interval of 编辑框3 less the 3 s the step takes. 编辑框4 shows
// the iteration number.
void RunShake();
