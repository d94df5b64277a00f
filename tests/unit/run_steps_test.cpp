// The wait after an iteration: the interval of 编辑框3 in seconds less what the
// iteration already took, in milliseconds, truncated toward zero.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "common/text_convert.h"
#include "runs/run_steps.h"

namespace {

TEST(IntervalWaitMs, SubtractsTheStepTimeAndTruncatesTowardZero) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    double interval;
    double subtract;
    int32_t ms;
  } cases[] = {
      {20, 3, 17000},
      {2, 3, -1000},  // below the step time: no wait at all
      {3.5, 3, 500},
      {3, 3, 0},
      {3.0009, 3, 0},        // 0.9 ms truncated
      {2.9999, 3, 0},        // -0.1 ms truncated toward zero, not down
      {20.0019, 3, 17001},
      {0, 3, -3000},
      {-0.0, 3, -3000},
      {-0.0, 0, 0},          // a negative zero wait is no wait
      {20, 10, 10000},
      {12.5, 10, 2500},
      // The box text "1e999" reads as infinity, which has no integer value.
      {TextToNumber("1e999"), 3, 0},
      {TextToNumber("-1e999"), 3, 0},
      {inf, 10, 0},
      {nan, 3, 0},
      {1000003, 3, 1000000000},
      {4294970, 3, -296},    // past 2^32 ms only the low 32 bits are kept
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IntervalWaitMs(c.interval, c.subtract), c.ms)
        << "interval " << c.interval << " less " << c.subtract;
  }
}

}  // namespace
