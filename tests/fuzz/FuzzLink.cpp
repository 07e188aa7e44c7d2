// Fuzzes the link reader with any fragment, sealed with a right checksum
// or not: it loads nothing or a graph that writes back as the same link,
// with values the reader could have read. Any values written go back whole.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "model/GraphLink.h"
#include "model/SettingsTable.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

void CheckRead(const std::string& link) {
  GraphSettings s = StartSettings();
  GraphData d;
  if (!ReadLinkFragment(link.data(), link.size(), s, d)) return;
  Check(d.count >= 0 && d.count <= kMaxPoints);
  for (int i = 0; i < d.count; ++i) {
    Check(std::isfinite(d.values[i]));
    Check(d.minValue <= d.values[i] && d.values[i] <= d.maxValue);
  }
  Check(LinkFragment(s, d) == link);
}

void CheckRoundTrip(FuzzedDataProvider& in) {
  GraphSettings s = StartSettings();
  for (const SettingRow& row : kSettingRows) {
    if (!in.ConsumeBool()) continue;
    if (row.kind == SettingKind::Number) {
      const double value = in.ConsumeFloatingPoint<double>();
      s.*row.number = std::isfinite(value) ? value : 0.0;
    } else {
      row.access.write(s, row.kind == SettingKind::Choice ? in.ConsumeIntegralInRange(row.lower, row.upper)
                                                          : in.ConsumeIntegral<int>());
    }
  }
  s.baseline = in.ConsumeIntegral<int>();
  GraphData d;
  d.count = in.ConsumeIntegralInRange(0, kMaxPoints);
  for (int i = 0; i < d.count; ++i) {
    const double value = in.ConsumeFloatingPoint<double>();
    d.values[i] = std::isfinite(value) ? value : -0.0;
  }
  const std::string link = LinkFragment(s, d);
  Check(link.size() <= kLinkMaxLength);
  GraphSettings got;
  GraphData values;
  Check(ReadLinkFragment(link.data(), link.size(), got, values));
  Check(values.count == d.count);
  Check(std::memcmp(values.values, d.values, sizeof(double) * d.count) == 0);
  Check(LinkFragment(got, values) == link);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size == 0) return 0;
  const std::string rest(reinterpret_cast<const char*>(bytes) + 1, size - 1);
  switch (bytes[0] % 3) {
    case 0: CheckRead(rest); break;
    case 1: CheckRead(rest + "&c=" + LinkChecksum(rest)); break;
    default: {
      FuzzedDataProvider in(bytes + 1, size - 1);
      CheckRoundTrip(in);
    }
  }
  return 0;
}
