// Fuzzes the text-to-number conversions with arbitrary bytes and compares them
// with a reference of its own: full-width forms replaced here, the prefix that
// atof would read scanned here, and that prefix (d/D made e) converted by the
// C library's strtod in the C locale. The scan only ever passes decimal text to
// strtod, so its hex, inf and nan forms cannot leak in. The integer conversions
// are checked against the truncation rule computed with floating-point
// arithmetic instead of casts, and UBSan catches any out-of-range cast.
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/text_convert.h"

namespace {

#define FUZZ_CHECK(cond, what)                                            \
  do {                                                                    \
    if (!(cond)) {                                                        \
      std::fprintf(stderr, "text_number_fuzz: %s (%s)\n", what, #cond); \
      std::abort();                                                       \
    }                                                                     \
  } while (0)

std::string RefNormalize(const std::string& text) {
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      out += text[i++];
      continue;
    }
    if (i + 1 == text.size()) break;  // lone lead byte at the end
    const unsigned char trail = static_cast<unsigned char>(text[i + 1]);
    i += 2;
    switch (lead) {
      case 0xA3:
        if (trail >= 0xA1 && trail <= 0xFE) {
          out += static_cast<char>(trail - 0x80);
          continue;
        }
        break;
      case 0xA1:
        if (trail == 0xA1) { out += ' '; continue; }
        if (trail == 0xAB) { out += '~'; continue; }
        if (trail == 0xEE || trail == 0xEF) { out += '*'; continue; }
        break;
    }
    out += static_cast<char>(lead);
    out += static_cast<char>(trail);
  }
  return out;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The stretch of an atof-style number at the start of s, as plain ASCII with the
// exponent letter made 'e'; empty when there are no mantissa digits.
std::string AcceptedPrefix(const std::string& s) {
  size_t i = 0;
  while (i < s.size() && s[i] != '\0' && std::strchr(" \t\n\v\f\r", s[i]) != nullptr) ++i;
  std::string out;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) out += s[i++];
  size_t mantissaDigits = 0;
  while (i < s.size() && IsDigit(s[i])) { out += s[i++]; ++mantissaDigits; }
  if (i < s.size() && s[i] == '.') {
    out += s[i++];
    while (i < s.size() && IsDigit(s[i])) { out += s[i++]; ++mantissaDigits; }
  }
  if (mantissaDigits == 0) return std::string();
  if (i < s.size() && std::strchr("eEdD", s[i]) != nullptr && s[i] != '\0') {
    size_t j = i + 1;
    std::string exponent = "e";
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent += s[j++];
    if (j < s.size() && IsDigit(s[j])) {
      while (j < s.size() && IsDigit(s[j])) exponent += s[j++];
      out += exponent;
    }
  }
  return out;
}

double RefNumber(const std::string& text) {
  const std::string accepted = AcceptedPrefix(RefNormalize(text));
  if (accepted.empty()) return 0.0;
  char* end = nullptr;
  const double value = std::strtod(accepted.c_str(), &end);
  FUZZ_CHECK(end == accepted.c_str() + accepted.size(), "reference prefix is not all decimal");
  return value;
}

// Truncation toward zero to 64 bits, then the low 32 bits, done in doubles:
// values outside [-2^63, 2^63) and NaN give 0.
int32_t RefInteger(double value) {
  if (std::isnan(value) || value < -9223372036854775808.0 || value >= 9223372036854775808.0) {
    return 0;
  }
  double low = std::fmod(std::trunc(value), 4294967296.0);  // exact, in (-2^32, 2^32)
  if (low < 0) low += 4294967296.0;
  if (low >= 2147483648.0) low -= 4294967296.0;
  return static_cast<int32_t>(low);
}

bool SameDouble(double a, double b) {
  uint64_t x, y;
  std::memcpy(&x, &a, sizeof x);
  std::memcpy(&y, &b, sizeof y);
  return x == y;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::setlocale(LC_ALL, "C");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  FUZZ_CHECK(NormalizeFullWidth(text) == RefNormalize(text), "full-width forms");
  const double number = TextToNumber(text);
  const double expected = RefNumber(text);
  if (!SameDouble(number, expected)) {
    std::fprintf(stderr, "TextToNumber gave %.17g, reference %.17g\n", number, expected);
  }
  FUZZ_CHECK(SameDouble(number, expected), "TextToNumber");
  FUZZ_CHECK(TextToInteger(text) == RefInteger(expected), "TextToInteger");

  // Raw bit patterns reach the doubles text never gives: NaNs, infinities,
  // values far past 2^63, subnormals.
  if (size >= 8) {
    double raw;
    std::memcpy(&raw, data, sizeof raw);
    FUZZ_CHECK(NumberToInteger(raw) == RefInteger(raw), "NumberToInteger of raw bits");
  }
  if (size >= 16) {
    int64_t a, b;
    std::memcpy(&a, data, sizeof a);
    std::memcpy(&b, data + 8, sizeof b);
    const uint64_t product = static_cast<uint64_t>(a) * static_cast<uint64_t>(b);
    int64_t wrapped;
    std::memcpy(&wrapped, &product, sizeof wrapped);  // two's complement
    FUZZ_CHECK(WrapToInt64Product(a, b) == wrapped, "WrapToInt64Product");
    const uint32_t low = static_cast<uint32_t>(static_cast<uint64_t>(a));
    int32_t low32;
    std::memcpy(&low32, &low, sizeof low32);
    FUZZ_CHECK(Low32Bits(a) == low32, "Low32Bits");
  }

  // Integer to text is "%d", and reads back as the same integer.
  int32_t v = TextToInteger(text);
  if (size >= 4) std::memcpy(&v, data + size - 4, sizeof v);
  char printed[16];
  std::snprintf(printed, sizeof printed, "%d", static_cast<int>(v));
  FUZZ_CHECK(IntegerToText(v) == printed, "IntegerToText");
  FUZZ_CHECK(TextToInteger(IntegerToText(v)) == v, "integer text reads back");
  return 0;
}
