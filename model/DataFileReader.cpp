#include "model/DataFileReader.h"

#include <cstdint>
#include <cstdio>

#include "model/GraphModel.h"
#include "model/ModelHooks.h"
#include "model/NumberText.h"
#include "model/VerticalScale.h"

namespace {

constexpr int kPieceLength = 255;  // what fgets leaves in a 256-byte buffer
constexpr char kCtrlZ = 0x1A;

// What a read found, kept apart from the loaded values until it ends: a
// load copies only the values read, so those beyond stay as they were.
using ReadValues = GraphData;

// The C runtime's text mode and fgets, done here so that every runtime reads
// a file alike, and fed byte by byte so that a file read whole and one that
// arrives in slices are read alike: CR LF is one LF, a lone CR stays, Ctrl-Z
// ends the file, and each piece of up to 255 characters through the first LF
// is a value unless it is empty. A NUL byte is a character like any other.
class ValueReader {
 public:
  void Restart() {
    read_.count = 0;
    length_ = 0;
    pendingCr_ = ended_ = false;
  }

  bool Done() const { return ended_ || read_.count == kMaxPoints; }

  void Push(char c) {
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

  // The end of the file (or a Ctrl-Z): a last CR stays, an unfinished piece
  // is a value.
  void Finish() {
    if (Done()) return;
    if (pendingCr_) {
      pendingCr_ = false;
      Take('\r');
    }
    if (length_ > 0 && !Done()) EndPiece();
    ended_ = true;
  }

  const ReadValues& Read() const { return read_; }

 private:
  void Take(char c) {
    piece_[length_++] = c;
    if (c == '\n' || length_ == kPieceLength) EndPiece();
  }

  void EndPiece() {
    int length = length_;
    length_ = 0;
    if (piece_[length - 1] == '\n') --length;
    if (length == 0) return;
    piece_[length] = '\0';
    AppendValue(read_, ParseDouble(piece_));
  }

  ReadValues read_;
  char piece_[kPieceLength + 1];
  int length_ = 0;
  bool pendingCr_ = false;
  bool ended_ = false;
};

// 4 KiB: kept off the stack of nested message handlers. One reader serves
// every load, and a feed lasts from BeginDataFeed to EndDataFeed.
ValueReader reader;

void Commit(const ReadValues& read, GraphData& data) {
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

// False on a read error. The reader stops reading where it stops taking
// values, as fgets in a loop that ends at the 512th would.
bool ReadFrom(FILE* file) {
  reader.Restart();
  int c;
  while (!reader.Done() && (c = std::fgetc(file)) != EOF) reader.Push(static_cast<char>(c));
  reader.Finish();
  return std::ferror(file) == 0;
}

}  // namespace

void FitToLoad(GraphSettings& s, const GraphData& d, char (&ratioText)[kRatioTextSize]) {
  s.imageWidth = WidthForValues(s, d.count);
  ScaleToData(s, d, ratioText);
}

bool ReadDataFile(const char* path, GraphData& data) {
  FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  const bool readOk = ReadFrom(file);
  // A read error (a folder opened as a file, a failing disk) loads nothing:
  // what is on screen stays as it was.
  bool closeFailed = std::fclose(file) != 0;
  if (!readOk) return false;
  Commit(reader.Read(), data);
  return !closeFailed;
}

bool ReadDataStream(FILE* file, GraphData& data) {
  if (!ReadFrom(file)) return false;
  Commit(reader.Read(), data);
  return true;
}

bool LoadDataFile(const char* path) {
  if (!ReadDataFile(path, graphData)) return false;
  FinishLoad();
  return true;
}

bool LoadDataStream(FILE* file) {
  if (!ReadDataStream(file, graphData)) return false;
  FinishLoad();
  return true;
}

void BeginDataFeed() { reader.Restart(); }

bool FeedData(const char* bytes, size_t size) {
  for (size_t i = 0; i < size && !reader.Done(); ++i) reader.Push(bytes[i]);
  return !reader.Done();
}

void EndDataFeed() {
  reader.Finish();
  Commit(reader.Read(), graphData);
  FinishLoad();
}
