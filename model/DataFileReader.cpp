#include "model/DataFileReader.h"

#include <cstdint>
#include <cstdio>

#include "model/GraphModel.h"
#include "model/ModelHooks.h"
#include "model/NumberText.h"
#include "model/VerticalScale.h"

namespace {

constexpr int kLineBufferSize = 256;  // 255 characters and the terminator
constexpr int kCtrlZ = 0x1A;

// The C runtime's text mode, done here over a binary read so that every
// runtime reads a file alike: CR LF is one LF, a lone CR stays, Ctrl-Z ends
// the file.
class TextReader {
 public:
  explicit TextReader(FILE* file) : file_(file) {}

  // Like fgets: at most size - 1 characters, through the first LF. Returns
  // how many were read, 0 at the end of the file. A NUL byte of the file is
  // read as a character like any other.
  int ReadPiece(char* line, int size) {
    int n = 0;
    while (n < size - 1) {
      int c = Next();
      if (c == EOF) break;
      line[n++] = static_cast<char>(c);
      if (c == '\n') break;
    }
    line[n] = '\0';
    return n;
  }

  bool Failed() const { return std::ferror(file_) != 0; }

 private:
  int Next() {
    if (ended_) return EOF;
    int c = std::fgetc(file_);
    if (c == EOF || c == kCtrlZ) {
      ended_ = true;
      return EOF;
    }
    if (c == '\r') {
      int following = std::fgetc(file_);
      if (following == '\n') return '\n';
      if (following != EOF) std::ungetc(following, file_);
    }
    return c;
  }

  FILE* file_;
  bool ended_ = false;
};

struct ReadValues {
  double values[kMaxPoints];
  int count = 0;
  double minValue = 0.0;
  double maxValue = 0.0;
};

void ReadAll(TextReader& reader, ReadValues& read) {
  char line[kLineBufferSize];
  while (read.count < kMaxPoints) {
    int length = reader.ReadPiece(line, kLineBufferSize);
    if (length == 0) break;
    if (line[length - 1] == '\n') line[--length] = '\0';
    if (length == 0) continue;

    double v = ParseDouble(line);
    read.values[read.count] = v;
    // One pass in file order; a new minimum is never also tested as a maximum.
    if (read.count == 0) {
      read.minValue = read.maxValue = v;
    } else if (v < read.minValue) {
      read.minValue = v;
    } else if (v > read.maxValue) {
      read.maxValue = v;
    }
    ++read.count;
  }
}

void Commit(const ReadValues& read) {
  for (int i = 0; i < read.count; ++i) graphData.values[i] = read.values[i];
  graphData.count = read.count;
  if (read.count > 0) {
    graphData.minValue = read.minValue;
    graphData.maxValue = read.maxValue;
  }
}

int WidthForValues(int count) {
  int64_t width = static_cast<int64_t>(graphSettings.pointInterval) * count + graphSettings.leftMargin;
  if (width > INT32_MAX) return INT32_MAX;
  if (width < INT32_MIN) return INT32_MIN;
  return static_cast<int>(width);
}

// After a load whose file could be read: the window's width for the data,
// the scale and the dialog.
void FinishLoad() {
  graphSettings.imageWidth = WidthForValues(graphData.count);
  ShowLoadedWidth(graphSettings.imageWidth);
  RecalcRatio();
  ShowToolDialog();
}

// 4 KiB: kept off the stack of nested message handlers.
ReadValues& ReadFrom(FILE* file, bool& failed) {
  static ReadValues read;
  read = ReadValues();
  TextReader reader(file);
  ReadAll(reader, read);
  failed = reader.Failed();
  return read;
}

}  // namespace

bool LoadDataFile(const char* path) {
  FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  bool failed;
  const ReadValues& read = ReadFrom(file, failed);
  // A read error (a folder opened as a file, a failing disk) loads nothing:
  // what is on screen stays as it was.
  bool closeFailed = std::fclose(file) != 0;
  if (failed) return false;
  Commit(read);
  if (closeFailed) return false;
  FinishLoad();
  return true;
}

bool LoadDataStream(FILE* file) {
  bool failed;
  const ReadValues& read = ReadFrom(file, failed);
  if (failed) return false;
  Commit(read);
  FinishLoad();
  return true;
}
