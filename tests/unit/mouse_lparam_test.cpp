// The lParam of a posted click: x in the low word and y in the high word, each
// cut to 16 bits, so that the target's GET_X_LPARAM / GET_Y_LPARAM read the
// point back.
#include <gtest/gtest.h>

#include <cstdint>

#include "input/mouse_lparam.h"

namespace {

// What a receiving window does with the low and high word (GET_X_LPARAM,
// GET_Y_LPARAM): each is a signed 16-bit value.
int16_t LowWord(uint32_t lParam) { return static_cast<int16_t>(lParam & 0xFFFFu); }
int16_t HighWord(uint32_t lParam) { return static_cast<int16_t>(lParam >> 16); }

TEST(PackPointLParam, PutsXInTheLowWordAndYInTheHighWord) {
  const struct {
    int32_t x;
    int32_t y;
    uint32_t lParam;
  } cases[] = {
      {0, 0, 0},
      {100, 200, 13107300},
      {65535, 0, 65535},
      {0, 32767, 0x7FFF0000u},
      {-5, 10, 0x000AFFFBu},  // not 655355: a negative x leaves y's word alone
      {0, -1, 0xFFFF0000u},
      {-1, -1, 0xFFFFFFFFu},
      {-1, 0, 0x0000FFFFu},
      {10, -5, 0xFFFB000Au},
      {65536, 0, 0},               // beyond 16 bits: only the low word is kept
      {65536 + 7, 65536 + 9, 0x00090007u},
      {-32768, -32768, 0x80008000u},
      {INT32_MIN, INT32_MAX, 0xFFFF0000u},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PackPointLParam(c.x, c.y), c.lParam) << "x=" << c.x << " y=" << c.y;
  }
}

TEST(PackPointLParam, ReadsBackAsTheSamePointForSixteenBitCoordinates) {
  const int32_t values[] = {-32768, -5, -1, 0, 1, 10, 200, 1023, 32767};
  for (int32_t x : values) {
    for (int32_t y : values) {
      const uint32_t lParam = PackPointLParam(x, y);
      EXPECT_EQ(LowWord(lParam), x) << "x=" << x << " y=" << y;
      EXPECT_EQ(HighWord(lParam), y) << "x=" << x << " y=" << y;
    }
  }
}

}  // namespace
