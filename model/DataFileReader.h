#pragma once
#include <cstddef>
#include <cstdio>

#include "model/GraphModel.h"
#include "model/VerticalScale.h"

// The C runtime's text mode and fgets, done here so that every runtime reads
// a file alike, and fed byte by byte so that a file read whole and one that
// arrives in slices are read alike: CR LF is one LF, a lone CR stays, Ctrl-Z
// ends the file, and each piece of up to 255 characters through the first LF
// is a value unless it is empty. A NUL byte is a character like any other.
// Each read owns its reader (about 4 KiB): reads on different threads share
// nothing.
class DataReader {
 public:
  // The bytes in file order; false once the reader has all it reads (512
  // values, or a Ctrl-Z), so the rest need not be read at all.
  bool Feed(const char* bytes, size_t size);
  // The end of the file: a last CR stays, an unfinished piece is a value.
  void Finish();
  // Every byte of `file` up to where the reader stops taking values, as
  // fgets in a loop that ends at the 512th would; false on a read error.
  bool ReadFrom(FILE* file);
  // What was read, with its range; the stale entries beyond `count` are zero.
  const GraphData& Values() const { return read_; }

 private:
  static constexpr int kPieceLength = 255;  // what fgets leaves in a 256-byte buffer

  bool Done() const { return ended_ || read_.count == kMaxPoints; }
  void Push(char c);
  void Take(char c);
  void EndPiece();

  GraphData read_;
  char piece_[kPieceLength + 1] = {};
  int length_ = 0;
  bool pendingCr_ = false;
  bool ended_ = false;
};

// Reads a file of one number per line into graphData, sizes the image to the
// data and brings the tool dialog up to date. True when the file was opened
// and closed without error.
bool LoadDataFile(const char* path);

// What a reader read, loaded as LoadDataFile loads a file: a browser's file,
// read slice by slice.
void LoadFedValues(const GraphData& read);

// The values alone, into `data`: no settings, no dialog. False as for
// LoadDataFile; a file that closed with an error has still been read. A
// stream must be in binary mode: the reader does the text mode's work.
bool ReadDataFile(const char* path, GraphData& data);
bool ReadDataStream(FILE* file, GraphData& data);

// What a load does to the settings: the image as wide as the values need at
// the point interval, and the scale fitted (ScaleToData).
void FitToLoad(GraphSettings& s, const GraphData& d, char (&ratioText)[kRatioTextSize]);
