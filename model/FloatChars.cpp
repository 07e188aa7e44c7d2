#include "model/FloatChars.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// Enough for any double in fixed notation with its 17 significant digits.
constexpr int kTextSize = 400;

std::string Printed(const char* format, int precision, double value) {
  char text[kTextSize];
  const int n = std::snprintf(text, sizeof text, format, precision, value);
  return std::string(text, n > 0 && n < kTextSize ? n : 0);
}

#ifdef __cpp_lib_to_chars
std::string ToChars(double value, std::chars_format format, int precision) {
  char text[kTextSize];
  return std::string(text, std::to_chars(text, text + sizeof text, value, format, precision).ptr);
}
#endif

}  // namespace

DecimalValue DecimalToDoublePortable(const std::string& text) {
  const double value = std::strtod(text.c_str(), nullptr);
  // strtod's ERANGE also flags results that are merely subnormal, which
  // from_chars reads without complaint: only infinity and a zero from
  // non-zero digits are out of range.
  const bool nonZero = text.find_first_of("123456789") < text.find_first_of("eE");
  return {value, std::isinf(value) || (value == 0.0 && nonZero)};
}

std::string ShortestTextPortable(double value) {
  if (value == 0.0 || !std::isfinite(value)) return Printed("%.*g", 1, value);
  // The fewest significant digits that read back exactly: "%.*e" rounds
  // correctly, so these are also the digits nearest the value.
  std::string scientific;
  for (int digits = 1; digits <= 17; ++digits) {
    scientific = Printed("%.*e", digits - 1, value);
    if (std::strtod(scientific.c_str(), nullptr) == value) break;
  }
  const size_t e = scientific.find('e');
  const bool negative = value < 0;
  std::string digits;
  for (size_t i = negative; i < e; ++i) {
    if (scientific[i] != '.') digits += scientific[i];
  }
  const int exponent = std::atoi(scientific.c_str() + e + 1);
  const int count = static_cast<int>(digits.size());

  std::string fixed;
  if (exponent >= count - 1) {
    // An integer: printed exactly, as to_chars does beyond 2^53.
    fixed = Printed("%.*f", 0, value);
  } else {
    fixed = negative ? "-" : "";
    if (exponent < 0) {
      fixed += "0." + std::string(-exponent - 1, '0') + digits;
    } else {
      fixed += digits.substr(0, exponent + 1) + "." + digits.substr(exponent + 1);
    }
  }
  return fixed.size() <= scientific.size() ? fixed : scientific;
}

std::string ScientificTextPortable(double value, int precision) { return Printed("%.*e", precision, value); }
std::string FixedTextPortable(double value, int precision) { return Printed("%.*f", precision, value); }

#ifdef __cpp_lib_to_chars

DecimalValue DecimalToDouble(const std::string& text) {
  double value = 0.0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return {value, result.ec == std::errc::result_out_of_range};
}

std::string ShortestText(double value) {
  char text[kTextSize];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

std::string ScientificText(double value, int precision) {
  return ToChars(value, std::chars_format::scientific, precision);
}
std::string FixedText(double value, int precision) { return ToChars(value, std::chars_format::fixed, precision); }

#else

DecimalValue DecimalToDouble(const std::string& text) { return DecimalToDoublePortable(text); }
std::string ShortestText(double value) { return ShortestTextPortable(value); }
std::string ScientificText(double value, int precision) { return ScientificTextPortable(value, precision); }
std::string FixedText(double value, int precision) { return FixedTextPortable(value, precision); }

#endif
