// Packing of a click point; see mouse_lparam.h.
#include "input/mouse_lparam.h"

uint32_t PackPointLParam(int32_t x, int32_t y) {
  const uint32_t low = static_cast<uint32_t>(x) & 0xFFFFu;
  const uint32_t high = static_cast<uint32_t>(y) & 0xFFFFu;
  return low | (high << 16);
}
