// Text to number, text to integer and integer to text, as the window's boxes
// and the file's cells are read.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "common/text_convert.h"

namespace {

struct NumberCase {
  const char* text;
  double value;
};

// Literals are GBK bytes: "２０" is A3 B2 A3 B0.
const NumberCase kNumberCases[] = {
    {"20", 20},         {" 20", 20},        {"20abc", 20},        {"", 0},
    {"abc", 0},         {"0x10", 0},        {"2.5", 2.5},         {"-3", -3},
    {"1e3", 1000},      {"1d3", 1000},      {"1E3", 1000},        {"1D3", 1000},
    {"1e-3", 0.001},    {"1e+3", 1000},     {"1e", 1},            {"1e+", 1},
    {"1ex", 1},         {"+7", 7},          {"--7", 0},           {"- 7", 0},
    {".5", 0.5},        {"5.", 5},          {".", 0},             {"-.5", -0.5},
    {"\t\n\v\f\r 9", 9}, {"1,000", 1},      {"1 000", 1},         {"3.5.1", 3.5},
    {"inf", 0},         {"nan", 0},         {"infinity", 0},      {"-inf", 0},
    {"２０", 20},        {"－３", -3},        {"＋４", 4},           {"１．５", 1.5},
    {"１ｅ２", 100},      {"１Ｄ２", 100},      {"　２０", 20},         {"　 　7", 7},
    {"2０", 20},         {"２0", 20},         {"20元", 20},          {"元20", 0},
    {"0000000000000000000000000000012", 12},
    {"1e400", std::numeric_limits<double>::infinity()},
    {"-1e400", -std::numeric_limits<double>::infinity()},
    {"1e-400", 0},      {"1e99999999999999999999", std::numeric_limits<double>::infinity()},
    {"0e99999999999999999999", 0},
    {"0.000000000000000000000000000000000000000001e42", 1},
};

TEST(TextToNumber, ReadsLikeAtofAfterFullWidthForms) {
  for (const NumberCase& c : kNumberCases) {
    EXPECT_EQ(TextToNumber(c.text), c.value) << "text: \"" << c.text << "\"";
  }
}

TEST(TextToNumber, NegativeZeroKeepsItsSign) {
  EXPECT_TRUE(std::signbit(TextToNumber("-0")));
  EXPECT_EQ(TextToInteger("-0"), 0);
}

TEST(TextToNumber, RoundsLongDigitStringsCorrectly) {
  // 0.1 written with 1,000 digits of padding still gives the nearest double.
  EXPECT_EQ(TextToNumber("0.1" + std::string(1000, '0')), 0.1);
  EXPECT_EQ(TextToNumber(std::string(1000, '9')), std::numeric_limits<double>::infinity());
  EXPECT_EQ(TextToNumber("1" + std::string(400, '0') + "e-400"), 1.0);
  // A halfway case decided by a digit far past the 800th.
  const std::string halfway = "9007199254740993" + std::string(900, '0') + "1";
  EXPECT_EQ(TextToNumber(halfway), 9007199254740994.0 * std::pow(10.0, 901));
  EXPECT_EQ(TextToNumber("9007199254740993"), 9007199254740992.0);
  EXPECT_EQ(TextToNumber("9007199254740993.0000000000000000000001"), 9007199254740994.0);
}

TEST(TextToNumber, KeepsTheDigitsPlaceBeyondAHundredThousandDigits) {
  EXPECT_EQ(TextToNumber("0." + std::string(100001, '0') + "1e100010"), 1e8);
  EXPECT_EQ(TextToNumber("1" + std::string(101000, '0') + "e-101000"), 1.0);
}

TEST(NormalizeFullWidth, MapsTheGbkFormsAndKeepsOtherCharacters) {
  EXPECT_EQ(NormalizeFullWidth("\xA3\xA1\xA3\xFE"), "!~");
  EXPECT_EQ(NormalizeFullWidth("\xA1\xA1"), " ");
  EXPECT_EQ(NormalizeFullWidth("\xA1\xAB"), "~");
  EXPECT_EQ(NormalizeFullWidth("\xA1\xEE\xA1\xEF"), "**");
  EXPECT_EQ(NormalizeFullWidth("\xA3\xA0"), "\xA3\xA0");  // below the full-width range
  EXPECT_EQ(NormalizeFullWidth("元"), "元");
  EXPECT_EQ(NormalizeFullWidth("12\xA3"), "12");  // a lone lead byte at the end is dropped
  EXPECT_EQ(NormalizeFullWidth("\xA3"), "");
  EXPECT_EQ(NormalizeFullWidth("\xB0\xA3\xB2"), "\xB0\xA3");  // A3 here is a trail byte
  EXPECT_EQ(TextToNumber("\xB0\xA3\xB2"), 0);
}

TEST(NumberToInteger, TruncatesTowardZeroAndKeepsLow32Bits) {
  const struct {
    double value;
    int32_t integer;
  } cases[] = {
      {2.9, 2},
      {-2.9, -2},
      {0.999, 0},
      {-0.999, 0},
      {2147483647.0, 2147483647},
      {2147483648.0, -2147483647 - 1},
      {4294967296.0, 0},
      {4294967297.0, 1},
      {-2147483649.0, 2147483647},
      {1e18, static_cast<int32_t>(0xA7640000u)},
      {-9223372036854775808.0, 0},
      {9223372036854775808.0, 0},  // just past the 64-bit range
      {1e19, 0},
      {-1e19, 0},
      {std::numeric_limits<double>::infinity(), 0},
      {-std::numeric_limits<double>::infinity(), 0},
      {std::numeric_limits<double>::quiet_NaN(), 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NumberToInteger(c.value), c.integer) << "value: " << c.value;
  }
}

TEST(TextToInteger, ConvertsTheBoxTexts) {
  EXPECT_EQ(TextToInteger("100"), 100);
  EXPECT_EQ(TextToInteger("2.9"), 2);
  EXPECT_EQ(TextToInteger("-2.9"), -2);
  EXPECT_EQ(TextToInteger("１００"), 100);
  EXPECT_EQ(TextToInteger("1e999"), 0);
  EXPECT_EQ(TextToInteger("正在查找附近人"), 0);
  EXPECT_EQ(TextToInteger("-5"), -5);
  EXPECT_EQ(TextToInteger("4294967295"), -1);
  EXPECT_EQ(TextToInteger(std::string(1000, '7')), 0);
}

TEST(IntegerToText, IsPlainSignedDecimal) {
  EXPECT_EQ(IntegerToText(0), "0");
  EXPECT_EQ(IntegerToText(7), "7");
  EXPECT_EQ(IntegerToText(-42), "-42");
  EXPECT_EQ(IntegerToText(2147483647), "2147483647");
  EXPECT_EQ(IntegerToText(-2147483647 - 1), "-2147483648");
}

TEST(Low32Bits, WrapsLikeASigned32BitValue) {
  EXPECT_EQ(Low32Bits(0x100000005LL), 5);
  EXPECT_EQ(Low32Bits(0xFFFFFFFFLL), -1);
  EXPECT_EQ(Low32Bits(-1), -1);
  EXPECT_EQ(WrapToInt64Product(1LL << 32, 1LL << 32), 0);
  EXPECT_EQ(Low32Bits(WrapToInt64Product(100000, 100000)), 1410065408);
  EXPECT_EQ(WrapToInt64Product(-3, 4), -12);
}

}  // namespace
