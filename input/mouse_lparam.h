// The lParam of a posted mouse message: x in the low word, y in the high word,
// each as a 16-bit value, as every window reads it (GET_X_LPARAM and
// GET_Y_LPARAM sign-extend the two words).
#pragma once

#include <cstdint>

uint32_t PackPointLParam(int32_t x, int32_t y);
