// The fixed timing of the runs, and the wait that follows each iteration.
#pragma once

#include <cstdint>

constexpr int32_t kShakeHoldMs = 3000;      // VK_RIGHT held down
constexpr int32_t kShakePauseMs = 350;      // between VK_RIGHT up and the VK_DOWN press
constexpr int32_t kNearbyFirstWaitMs = 10000;  // after the first click of the nearby run
constexpr int32_t kNearbyStepWaitMs = 2000;    // after the second and the third click
constexpr int32_t kAfterShakeWaitMs = 50;
constexpr int32_t kClosingClickWaitMs = 3000;  // after the closing click of an iteration

constexpr double kShakeRunSubtractSeconds = 3.0;
constexpr double kNearbyRunSubtractSeconds = 10.0;

// The wait after an iteration: the interval in seconds less the share of the
// iteration that the run has already spent, in milliseconds, truncated toward
// zero. Zero or less means no wait.
int32_t IntervalWaitMs(double intervalSeconds, double subtractSeconds);
