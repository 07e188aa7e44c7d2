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

// The significant digits of a fixed text without sign and the exponent of
// the first one: "0.05" is 5 and -2, "100000" is 1 and 5.
void Significant(const std::string& fixed, std::string& digits, int& exponent) {
  const size_t point = fixed.find('.');
  const int whole = static_cast<int>(point == std::string::npos ? fixed.size() : point);
  std::string all = fixed;
  if (point != std::string::npos) all.erase(point, 1);
  const size_t first = all.find_first_not_of('0');
  digits = all.substr(first, all.find_last_not_of('0') + 1 - first);
  exponent = whole - 1 - static_cast<int>(first);
}

std::string ShortestTextPortable(double value) {
  if (value == 0.0 || !std::isfinite(value)) return Printed("%.*g", 1, value);
  const double magnitude = std::fabs(value);
  std::string fixed;
  std::string digits;
  int exponent;
  if (magnitude < 9007199254740992.0 && magnitude * 2 == std::floor(magnitude * 2)) {
    // Whole and half pixels, most of what a picture holds: exact as they
    // stand, with no search.
    fixed = std::to_string(static_cast<long long>(magnitude)) + (magnitude == std::floor(magnitude) ? "" : ".5");
    Significant(fixed, digits, exponent);
  } else {
    // The fewest significant digits that read back exactly: "%.*e" rounds
    // correctly, so these are also the digits nearest the value.
    std::string scientific;
    for (int count = 1; count <= 17; ++count) {
      scientific = Printed("%.*e", count - 1, magnitude);
      if (std::strtod(scientific.c_str(), nullptr) == magnitude) break;
    }
    const size_t e = scientific.find('e');
    digits = scientific.substr(0, 1) + (e > 2 ? scientific.substr(2, e - 2) : "");
    digits.erase(digits.find_last_not_of('0') + 1);
    exponent = std::atoi(scientific.c_str() + e + 1);
    const int count = static_cast<int>(digits.size());
    if (exponent >= count - 1) {
      // A whole number: printed exactly, as to_chars does beyond 2^53.
      fixed = Printed("%.*f", 0, magnitude);
    } else if (exponent < 0) {
      fixed = "0." + std::string(-exponent - 1, '0') + digits;
    } else {
      fixed = digits.substr(0, exponent + 1) + "." + digits.substr(exponent + 1);
    }
  }
  char exponentText[8];
  std::snprintf(exponentText, sizeof exponentText, "e%+03d", exponent);
  std::string scientific = digits.substr(0, 1) + (digits.size() > 1 ? "." + digits.substr(1) : "") + exponentText;
  const std::string sign = value < 0 ? "-" : "";
  return sign + (fixed.size() <= scientific.size() ? fixed : scientific);
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
