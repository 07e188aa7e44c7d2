#include "model/GraphLink.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "model/FloatChars.h"
#include "model/NumberText.h"
#include "model/SettingText.h"
#include "model/SettingsTable.h"

namespace {

constexpr char kChecksumKey[] = "&c=";
constexpr size_t kChecksumDigits = 8;
// What the shortest texts of finite doubles are made of, then the value
// separator; the sixteenth nibble pads the stream to whole characters.
constexpr char kSymbols[] = "0123456789.-e+,";
constexpr int kSeparator = 14;
constexpr int kPad = 15;
constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
constexpr size_t kValueTextMax = 24;  // "-2.2250738585072014e-308"

}  // namespace

// CRC-32: any one burst of damage up to 32 bits is caught.
std::string LinkChecksum(const std::string& text) {
  uint32_t crc = 0xFFFFFFFFu;
  for (char c : text) {
    crc ^= static_cast<unsigned char>(c);
    for (int bit = 0; bit < 8; ++bit) crc = crc >> 1 ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  char digits[kChecksumDigits + 1];
  std::snprintf(digits, sizeof digits, "%08X", static_cast<unsigned>(~crc));
  return digits;
}

namespace {

// A setting as the link spells it: the exporter's text, but every number
// exactly and a colour without its "#", which a fragment cannot hold.
std::string LinkText(const GraphSettings& s, const SettingRow& row) {
  switch (row.kind) {
    case SettingKind::Number: return ShortestText(s.*row.number);
    case SettingKind::Color: return SettingText(s, row).substr(1);
    default: return SettingText(s, row);
  }
}

bool StoreLinkText(GraphSettings& s, const SettingRow& row, const std::string& text) {
  int value = 0;
  switch (row.kind) {
    case SettingKind::Integer:
      if (!ParseWholeInt(text.c_str(), &value)) return false;
      break;
    case SettingKind::Number: return ParseWholeDouble(text.c_str(), &(s.*row.number));
    case SettingKind::Choice:
      value = row.lower;
      while (value <= row.upper && text != row.choices[value].name) ++value;
      if (value > row.upper) return false;
      break;
    case SettingKind::Flag:
      if (text != kFlagTexts[0] && text != kFlagTexts[1]) return false;
      value = text == kFlagTexts[1];
      break;
    case SettingKind::Color: {
      Colorref color = 0;
      if (!ColorFromHex(("#" + text).c_str(), color)) return false;
      value = static_cast<int>(color);
      break;
    }
  }
  row.access.write(s, value);
  return true;
}

std::string PackValues(const GraphData& d) {
  std::string nibbles;
  for (int i = 0; i < d.count; ++i) {
    if (i) nibbles += static_cast<char>(kSeparator);
    for (char c : ShortestText(d.values[i])) nibbles += static_cast<char>(std::strchr(kSymbols, c) - kSymbols);
  }
  while (nibbles.size() % 3) nibbles += static_cast<char>(kPad);
  // Three nibbles are two base64 characters exactly: no bits left over.
  std::string packed;
  for (size_t i = 0; i < nibbles.size(); i += 3) {
    const int bits = nibbles[i] << 8 | nibbles[i + 1] << 4 | nibbles[i + 2];
    packed += kBase64[bits >> 6];
    packed += kBase64[bits & 63];
  }
  return packed;
}

// The values in the reader's order, with its minimum and maximum.
bool UnpackValues(const std::string& packed, GraphData& d) {
  if (packed.empty() || packed.size() % 2) return false;
  std::string nibbles;
  for (char c : packed) {
    const char* at = c ? std::strchr(kBase64, c) : nullptr;
    if (!at) return false;
    const int bits = static_cast<int>(at - kBase64);
    if (nibbles.size() % 3 == 0) {
      nibbles += static_cast<char>(bits >> 2);
      nibbles += static_cast<char>(bits & 3);
    } else {
      nibbles.back() = static_cast<char>(nibbles.back() << 2 | bits >> 4);
      nibbles += static_cast<char>(bits & 15);
    }
  }
  nibbles.erase(nibbles.find_last_not_of(static_cast<char>(kPad)) + 1);
  std::string text;
  for (size_t i = 0; i <= nibbles.size(); ++i) {
    const int nibble = i < nibbles.size() ? nibbles[i] : kSeparator;
    if (nibble == kPad || text.size() > kValueTextMax) return false;
    if (nibble != kSeparator) {
      text += kSymbols[nibble];
      continue;
    }
    double value = 0.0;
    if (d.count == kMaxPoints || !ParseWholeDouble(text.c_str(), &value)) return false;
    text.clear();
    AppendValue(d, value);
  }
  return true;
}

bool ReadPairs(const std::string& body, GraphSettings& s, GraphData& d) {
  size_t at = 0;
  while (at < body.size()) {
    size_t end = body.find('&', at);
    if (end == std::string::npos) end = body.size();
    const std::string pair = body.substr(at, end - at);
    at = end + 1;
    const size_t equals = pair.find('=');
    if (equals == std::string::npos) return false;
    const std::string key = pair.substr(0, equals);
    const std::string value = pair.substr(equals + 1);
    if (key == "v") {
      if (!UnpackValues(value, d)) return false;
    } else if (key == kBaselineKey) {
      if (!ParseWholeInt(value.c_str(), &s.baseline)) return false;
    } else {
      const SettingRow* row = FindOption(key.c_str());
      if (!row || key != row->option || !StoreLinkText(s, *row, value)) return false;
    }
  }
  return true;
}

}  // namespace

std::string LinkFragment(const GraphSettings& s, const GraphData& d) {
  const GraphSettings start = StartSettings();
  std::string link = kLinkPrefix;
  for (const SettingRow& row : kSettingRows) {
    const std::string text = LinkText(s, row);
    if (text != LinkText(start, row)) link += "&" + std::string(row.option) + "=" + text;
  }
  if (s.baseline != start.baseline) link += "&" + std::string(kBaselineKey) + "=" + std::to_string(s.baseline);
  if (d.count > 0) link += "&v=" + PackValues(d);
  return link + kChecksumKey + LinkChecksum(link);
}

// Read as leniently as the pieces allow, then held to what LinkFragment
// writes for the result: a setting twice or at its default, a value not in
// its shortest text, keys out of order, all fail there.
bool ReadLinkFragment(const char* text, size_t length, GraphSettings& s, GraphData& d) {
  if (!text || length > kLinkMaxLength) return false;
  const std::string link(text, length);
  const size_t checksumAt = link.rfind(kChecksumKey);
  const size_t prefix = std::strlen(kLinkPrefix);
  if (link.compare(0, prefix, kLinkPrefix) != 0 || checksumAt == std::string::npos || checksumAt < prefix ||
      link.size() != checksumAt + std::strlen(kChecksumKey) + kChecksumDigits) {
    return false;
  }
  if (link.compare(link.size() - kChecksumDigits, kChecksumDigits, LinkChecksum(link.substr(0, checksumAt))) != 0) {
    return false;
  }

  GraphSettings read = StartSettings();
  GraphData values;
  const std::string body = link.substr(prefix, checksumAt - prefix);
  if (!body.empty() && (body[0] != '&' || !ReadPairs(body.substr(1), read, values))) return false;
  if (LinkFragment(read, values) != link) return false;
  s = read;
  d = values;
  return true;
}
