#include "model/SettingText.h"

#include <cstdio>
#include <cstring>

#include "model/NumberText.h"
#include "model/VerticalScale.h"

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool ColorFromHex(const char* text, Colorref& color) {
  if (std::strlen(text) != 7 || text[0] != '#') return false;
  unsigned rgb = 0;
  for (int i = 1; i < 7; ++i) {
    const int digit = HexDigit(text[i]);
    if (digit < 0) return false;
    rgb = rgb << 4 | static_cast<unsigned>(digit);
  }
  color = ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
  return true;
}

std::string HexFromColor(Colorref color) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
  return text;
}

std::string SettingText(const GraphSettings& s, const SettingRow& row) {
  char text[kRatioTextSize];
  switch (row.kind) {
    case SettingKind::Integer:
      std::snprintf(text, sizeof text, "%d", row.access.read(s));
      return text;
    case SettingKind::Number:
      FormatG(s.*row.number, text, sizeof text);
      return text;
    case SettingKind::Choice: {
      const int index = row.access.read(s);
      return index >= row.lower && index <= row.upper ? row.choices[index].name : "";
    }
    case SettingKind::Flag: return kFlagTexts[row.access.read(s) != 0];
    case SettingKind::Color: return HexFromColor(static_cast<Colorref>(row.access.read(s)));
  }
  return "";
}
