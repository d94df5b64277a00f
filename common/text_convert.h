// Conversions between the texts of the window and the file and the numbers the
// tool works with. Texts are byte strings in the ANSI code page (GBK): full-width
// digits and signs typed with a Chinese input method read like their ASCII forms.
// No locale, no hex, no "inf"/"nan": only decimal digits are ever read.
#pragma once

#include <cstdint>
#include <string>

// Replaces GBK full-width ASCII (A3 A1..A3 FE) by ASCII, the ideographic space
// (A1 A1) by a space, A1 AB by '~', A1 EE and A1 EF by '*'; other double-byte
// characters stay as they are and a lone lead byte at the very end is dropped.
std::string NormalizeFullWidth(const std::string& text);

// Reads a number the way atof does, after NormalizeFullWidth: leading white
// space, a sign, digits, a decimal point with digits, an exponent after e, E, d
// or D. Reading stops at the first other character; no digits give 0.
double TextToNumber(const std::string& text);

// Truncates toward zero to a 64-bit integer and keeps its low 32 bits. Values
// outside the 64-bit range and NaN give 0.
int32_t NumberToInteger(double value);

// The low 32 bits of a 64-bit integer, as a signed value.
int32_t Low32Bits(int64_t value);

// a × b, wrapping modulo 2^64 instead of overflowing.
int64_t WrapToInt64Product(int64_t a, int64_t b);

// TextToNumber followed by NumberToInteger.
int32_t TextToInteger(const std::string& text);

// Signed decimal, no leading zeros, no grouping ("%d").
std::string IntegerToText(int32_t value);
