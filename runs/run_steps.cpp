// Interval arithmetic of the runs; see run_steps.h.
#include "runs/run_steps.h"

#include "common/text_convert.h"

int32_t IntervalWaitMs(double intervalSeconds, double subtractSeconds) {
  return NumberToInteger((intervalSeconds - subtractSeconds) * 1000.0);
}
