#include "model/NumberText.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>
#include <string>

#include "model/FloatChars.h"

namespace {

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

const char* SkipBlanks(const char* p) {
  while (IsBlank(*p)) ++p;
  return p;
}

// Where the first non-zero digit of the mantissa stands relative to the
// decimal point, plus the exponent: positive means the magnitude is at least
// 1, so an out-of-range result overflowed rather than underflowed.
long long DecimalMagnitude(const std::string& mantissa, long long exponent) {
  size_t point = mantissa.find('.');
  if (point == std::string::npos) point = mantissa.size();
  size_t first = mantissa.find_first_not_of("0.");
  if (first == std::string::npos) return LLONG_MIN;
  long long position = first < point ? static_cast<long long>(point - first)
                                     : -static_cast<long long>(first - point) + 1;
  return position + exponent;
}

// The number at the start of `text` and, in *end, where it stops; *end is
// `text` itself when there is none.
double ScanDouble(const char* text, const char** end) {
  *end = text;
  const char* p = SkipBlanks(text);
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';

  std::string number;
  const char* start = p;
  while (IsDigit(*p)) number += *p++;
  if (*p == '.') {
    number += *p++;
    while (IsDigit(*p)) number += *p++;
  }
  if (p == start || (p == start + 1 && *start == '.')) return 0.0;
  *end = p;

  // The exponent belongs to the number only when digits follow its letter.
  long long exponent = 0;
  if (*p == 'e' || *p == 'E' || *p == 'd' || *p == 'D') {
    const char* q = p + 1;
    bool negativeExponent = false;
    if (*q == '+' || *q == '-') negativeExponent = *q++ == '-';
    if (IsDigit(*q)) {
      while (IsDigit(*q)) {
        if (exponent < 100000000) exponent = exponent * 10 + (*q - '0');
        ++q;
      }
      if (negativeExponent) exponent = -exponent;
      *end = q;
      number += 'e';
      number += std::to_string(exponent);
    }
  }

  const DecimalValue result = DecimalToDouble(number);
  double value = result.value;
  if (result.outOfRange) {
    size_t e = number.find('e');
    std::string mantissa = number.substr(0, e);
    value = DecimalMagnitude(mantissa, exponent) > 0 ? DBL_MAX : 0.0;
  }
  return negative ? -value : value;
}

}  // namespace

double ParseDouble(const char* text) {
  const char* end;
  return ScanDouble(text, &end);
}

bool ParseWholeDouble(const char* text, double* value) {
  if (IsBlank(*text)) return false;
  const char* end;
  *value = ScanDouble(text, &end);
  return end != text && *end == '\0';
}

int ParseInt(const char* text) {
  const char* p = SkipBlanks(text);
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  long long value = 0;
  while (IsDigit(*p)) {
    if (value <= static_cast<long long>(INT_MAX) + 1) value = value * 10 + (*p - '0');
    ++p;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

bool ParseWholeInt(const char* text, int* value) {
  const char* p = text;
  if (*p == '+' || *p == '-') ++p;
  if (!IsDigit(*p)) return false;
  while (IsDigit(*p)) ++p;
  *value = ParseInt(text);
  return *p == '\0';
}

int FormatG(double value, char* out, size_t size) {
  constexpr int kPrecision = 6;
  std::string text;
  if (std::isnan(value)) {
    text = "nan";
  } else if (std::isinf(value)) {
    text = value < 0 ? "-inf" : "inf";
  } else {
    // The exponent the E-style conversion would give decides the form.
    const std::string scientific = ScientificText(value, kPrecision - 1);
    size_t e = scientific.find('e');
    int exponent = std::atoi(scientific.c_str() + e + 1);
    if (exponent >= -4 && exponent < kPrecision) {
      text = FixedText(value, kPrecision - 1 - exponent);
      if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') text.pop_back();
      }
    } else {
      std::string mantissa = scientific.substr(0, e);
      if (mantissa.find('.') != std::string::npos) {
        mantissa.erase(mantissa.find_last_not_of('0') + 1);
        if (mantissa.back() == '.') mantissa.pop_back();
      }
      std::string digits = std::to_string(exponent < 0 ? -exponent : exponent);
      while (digits.size() < 3) digits.insert(0, "0");
      text = mantissa + (exponent < 0 ? "e-" : "e+") + digits;
    }
  }
  if (size == 0) return static_cast<int>(text.size());
  size_t n = text.size() < size - 1 ? text.size() : size - 1;
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
  return static_cast<int>(n);
}

int TruncToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return INT_MAX;
  if (value <= -2147483648.0) return INT_MIN;
  return static_cast<int>(value);
}
