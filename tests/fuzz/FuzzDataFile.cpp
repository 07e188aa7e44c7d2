// Fuzzes the data file reader and the number syntax it shares with the
// dialog's fields: any bytes must load what the rules say or nothing, never
// crash, every parsed value must be finite, and a file fed in slices must
// read as the file read whole.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "model/DataFileReader.h"
#include "model/GraphModel.h"
#include "model/NumberText.h"
#include "model/VerticalScale.h"
#include "tests/support/ResetGraphModel.h"

namespace {

std::string ScratchPath() {
  // tmpfs: rewriting a file on this disk costs milliseconds per input.
  return "/dev/shm/zimbel-fuzz-" + std::to_string(getpid()) + ".txt";
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  std::string text(reinterpret_cast<const char*>(bytes), size);

  double parsed = ParseDouble(text.c_str());
  Check(std::isfinite(parsed));
  ParseInt(text.c_str());
  char shown[256];
  FormatG(parsed, shown, sizeof shown);
  Check(ParseDouble(shown) == ParseDouble(shown));

  static const std::string path = ScratchPath();
  FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes, 1, size, f);
  std::fclose(f);

  ResetGraphModel();
  graphSettings.autoRatio = size % 2 == 0;
  Check(LoadDataFile(path.c_str()));
  Check(graphData.count >= 0 && graphData.count <= kMaxPoints);
  for (int i = 0; i < graphData.count; ++i) {
    Check(std::isfinite(graphData.values[i]));
    Check(graphData.minValue <= graphData.values[i] && graphData.values[i] <= graphData.maxValue);
  }
  Check(graphSettings.imageWidth == graphSettings.pointInterval * graphData.count + graphSettings.leftMargin);
  Check(std::isfinite(graphSettings.ratio));

  // The same bytes in slices, as the page feeds a file, read alike.
  static GraphData whole;
  whole = graphData;
  ResetGraphModel();
  const size_t slice = size % 13 + 1;
  DataReader reader;
  for (size_t at = 0; at < size; at += slice) {
    if (!reader.Feed(text.data() + at, std::min(slice, size - at))) break;
  }
  reader.Finish();
  LoadFedValues(reader.Values());
  Check(graphData.count == whole.count);
  Check(std::memcmp(graphData.values, whole.values, sizeof(double) * whole.count) == 0);
  return 0;
}
