#include "model/DataFileReader.h"

#include <cstdint>
#include <cstdio>

#include "model/GraphModel.h"
#include "model/ModelHooks.h"
#include "model/NumberText.h"
#include "model/VerticalScale.h"

namespace {

constexpr char kCtrlZ = 0x1A;

}  // namespace

bool DataReader::Feed(const char* bytes, size_t size) {
  for (size_t i = 0; i < size && !Done(); ++i) Push(bytes[i]);
  return !Done();
}

void DataReader::Push(char c) {
  if (Done()) return;
  if (pendingCr_) {
    pendingCr_ = false;
    if (c == '\n') return Take('\n');
    Take('\r');
    if (Done()) return;
  }
  if (c == kCtrlZ) return Finish();
  if (c == '\r') {
    pendingCr_ = true;
    return;
  }
  Take(c);
}

void DataReader::Finish() {
  if (Done()) return;
  if (pendingCr_) {
    pendingCr_ = false;
    Take('\r');
  }
  if (length_ > 0 && !Done()) EndPiece();
  ended_ = true;
}

bool DataReader::ReadFrom(FILE* file) {
  int c;
  while (!Done() && (c = std::fgetc(file)) != EOF) Push(static_cast<char>(c));
  Finish();
  return std::ferror(file) == 0;
}

void DataReader::Take(char c) {
  piece_[length_++] = c;
  if (c == '\n' || length_ == kPieceLength) EndPiece();
}

void DataReader::EndPiece() {
  int length = length_;
  length_ = 0;
  if (piece_[length - 1] == '\n') --length;
  if (length == 0) return;
  piece_[length] = '\0';
  AppendValue(read_, ParseDouble(piece_));
}

namespace {

// A load copies only the values read, so those beyond stay as they were.
void Commit(const GraphData& read, GraphData& data) {
  for (int i = 0; i < read.count; ++i) data.values[i] = read.values[i];
  data.count = read.count;
  if (read.count > 0) {
    data.minValue = read.minValue;
    data.maxValue = read.maxValue;
  }
}

int WidthForValues(const GraphSettings& s, int count) {
  int64_t width = static_cast<int64_t>(s.pointInterval) * count + s.leftMargin;
  if (width > INT32_MAX) return INT32_MAX;
  if (width < INT32_MIN) return INT32_MIN;
  return static_cast<int>(width);
}

// After a load whose file could be read: the window's width for the data,
// the scale and the dialog. The ratio depends on nothing the width field's
// handler changes, so it is known before the field is written, and the
// dialog sees the width, then the ratio.
void FinishLoad() {
  char ratioText[kRatioTextSize];
  FitToLoad(graphSettings, graphData, ratioText);
  ShowLoadedWidth(graphSettings.imageWidth);
  ShowRatioText(ratioText);
  ShowToolDialog();
}

}  // namespace

void FitToLoad(GraphSettings& s, const GraphData& d, char (&ratioText)[kRatioTextSize]) {
  s.imageWidth = WidthForValues(s, d.count);
  ScaleToData(s, d, ratioText);
}

bool ReadDataFile(const char* path, GraphData& data) {
  FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  DataReader reader;
  const bool readOk = reader.ReadFrom(file);
  // A read error (a folder opened as a file, a failing disk) loads nothing:
  // what is on screen stays as it was.
  bool closeFailed = std::fclose(file) != 0;
  if (!readOk) return false;
  Commit(reader.Values(), data);
  return !closeFailed;
}

bool ReadDataStream(FILE* file, GraphData& data) {
  DataReader reader;
  if (!reader.ReadFrom(file)) return false;
  Commit(reader.Values(), data);
  return true;
}

bool LoadDataFile(const char* path) {
  if (!ReadDataFile(path, graphData)) return false;
  FinishLoad();
  return true;
}

void LoadFedValues(const GraphData& read) {
  Commit(read, graphData);
  FinishLoad();
}
