#pragma once
#include <string>

// The floating-point half of <charconv> that the program uses. Where the C++
// library lacks it (an older libc++), the same results come from strtod and
// snprintf, which give them exactly where the C library converts exactly (as
// glibc and musl do). Both ways are built everywhere, so the native tests can
// hold them to each other.

struct DecimalValue {
  double value;
  bool outOfRange;  // too large or too small for a double; value is then not meaningful
};

// `text` is digits with an optional "." fraction and an optional exponent
// ("e", optional "-", digits): no blanks, no sign, no hexadecimal.
DecimalValue DecimalToDouble(const std::string& text);
DecimalValue DecimalToDoublePortable(const std::string& text);

// to_chars(value): the fewest characters that read back as the value, fixed
// or with an exponent, fixed on a tie.
std::string ShortestText(double value);
std::string ShortestTextPortable(double value);

// to_chars(value, scientific, precision) and to_chars(value, fixed, precision).
std::string ScientificText(double value, int precision);
std::string ScientificTextPortable(double value, int precision);
std::string FixedText(double value, int precision);
std::string FixedTextPortable(double value, int precision);
