// Text and number conversions of the tool; see text_convert.h.
#include "common/text_convert.h"

#include <cmath>
#include <cstdlib>

namespace {

// mingw-w64's own strtod rounds correctly; the C runtime's may not.
double DecimalToDouble(const std::string& canonical) {
#ifdef __MINGW32__
  return __mingw_strtod(canonical.c_str(), nullptr);
#else
  return std::strtod(canonical.c_str(), nullptr);
#endif
}

bool IsLeadByte(unsigned char byte) { return byte >= 0x80; }

bool IsAsciiSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Enough significant digits to round any decimal correctly to a double; later
// digits only matter as "some of them are not zero".
constexpr size_t kMaxSignificantDigits = 800;
// Exponents beyond this over- or underflow whatever the digits are.
constexpr long kExponentClamp = 100000;

}  // namespace

std::string NormalizeFullWidth(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    if (!IsLeadByte(lead)) {
      out.push_back(text[i]);
      continue;
    }
    if (i + 1 >= n) break;  // a lone lead byte at the end is dropped
    const unsigned char trail = static_cast<unsigned char>(text[i + 1]);
    ++i;
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
      out.push_back(static_cast<char>(trail - 0x80));
    } else if (lead == 0xA1 && trail == 0xA1) {
      out.push_back(' ');
    } else if (lead == 0xA1 && trail == 0xAB) {
      out.push_back('~');
    } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
      out.push_back('*');
    } else {
      out.push_back(static_cast<char>(lead));
      out.push_back(static_cast<char>(trail));
    }
  }
  return out;
}

double TextToNumber(const std::string& text) {
  const std::string s = NormalizeFullWidth(text);
  size_t i = 0;
  const size_t n = s.size();
  while (i < n && IsAsciiSpace(s[i])) ++i;

  bool negative = false;
  if (i < n && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }

  // The accepted digits are gathered as "significant digits × 10^exponent",
  // without leading zeros, and handed to strtod in a form that has no decimal
  // point, so neither the locale nor hex or inf/nan can come into play.
  std::string digits;
  // Power of ten of the last kept digit. Each digit moves it by at most one,
  // so it stays within the text's length and needs no clamp of its own.
  long long exponent = 0;
  bool sawDigit = false;
  bool droppedNonZero = false;

  auto takeDigit = [&](char c, bool afterPoint) {
    sawDigit = true;
    if (digits.empty() && c == '0') {
      if (afterPoint) --exponent;
      return;
    }
    if (digits.size() < kMaxSignificantDigits) {
      digits.push_back(c);
      if (afterPoint) --exponent;
    } else {
      if (c != '0') droppedNonZero = true;
      if (!afterPoint) ++exponent;
    }
  };

  while (i < n && IsDigit(s[i])) takeDigit(s[i++], false);
  if (i < n && s[i] == '.') {
    ++i;
    while (i < n && IsDigit(s[i])) takeDigit(s[i++], true);
  }
  if (!sawDigit) return 0.0;

  if (i < n && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
    size_t j = i + 1;
    bool expNegative = false;
    if (j < n && (s[j] == '+' || s[j] == '-')) {
      expNegative = s[j] == '-';
      ++j;
    }
    if (j < n && IsDigit(s[j])) {
      // Past the text's length plus the clamp, the written exponent over- or
      // underflows whatever the digits' own position is.
      const long long eLimit = static_cast<long long>(n) + kExponentClamp;
      long long e = 0;
      while (j < n && IsDigit(s[j])) {
        if (e < eLimit) e = e * 10 + (s[j] - '0');
        ++j;
      }
      exponent += expNegative ? -e : e;
    }
  }

  double value = 0.0;
  if (!digits.empty()) {
    if (droppedNonZero) {
      digits.push_back('1');  // keeps rounding right past the kept digits
      --exponent;
    }
    if (exponent > 2 * kExponentClamp) exponent = 2 * kExponentClamp;
    if (exponent < -2 * kExponentClamp) exponent = -2 * kExponentClamp;
    const std::string canonical = digits + "e" + std::to_string(exponent);
    value = DecimalToDouble(canonical);
  }
  return negative ? -value : value;
}

int32_t NumberToInteger(double value) {
  // [-2^63, 2^63) is what a 64-bit integer holds; anything else (and NaN) is 0,
  // as the x86 conversion leaves 0 in the low 32 bits.
  constexpr double kTwo63 = 9223372036854775808.0;
  if (!(value >= -kTwo63 && value < kTwo63)) return 0;
  return Low32Bits(static_cast<int64_t>(value));
}

int32_t Low32Bits(int64_t value) {
  const uint32_t low = static_cast<uint32_t>(static_cast<uint64_t>(value));
  return low <= 0x7FFFFFFFu ? static_cast<int32_t>(low)
                            : static_cast<int32_t>(static_cast<int64_t>(low) - 4294967296LL);
}

int64_t WrapToInt64Product(int64_t a, int64_t b) {
  const uint64_t product = static_cast<uint64_t>(a) * static_cast<uint64_t>(b);
  return product <= static_cast<uint64_t>(INT64_MAX)
             ? static_cast<int64_t>(product)
             : -static_cast<int64_t>(~product) - 1;
}

int32_t TextToInteger(const std::string& text) { return NumberToInteger(TextToNumber(text)); }

std::string IntegerToText(int32_t value) { return std::to_string(value); }
