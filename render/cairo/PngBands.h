#pragma once
#include <cstdint>
#include <string>
#include <vector>

// An 8-bit RGBA PNG from premultiplied 0xAARRGGBB words (Cairo's image
// format), its rows compressed in bands that may run on separate threads and
// are joined into one zlib stream. A band is a run of whole rows of a fixed
// size, so the file never depends on how many threads made it.

struct PremultipliedImage {
  const unsigned char* pixels;
  int width;
  int height;
  int stride;  // bytes from one row to the next
};

class PngBands {
 public:
  // `subFilter`: each byte minus the one a pixel before (PNG's Sub filter),
  // which turns a background of any colour into runs of one byte.
  PngBands(const PremultipliedImage& image, bool subFilter);

  int Count() const { return static_cast<int>(bands_.size()); }

  // Each band once, on any thread; distinct bands may run at once. Never
  // throws: a failure is kept for Join.
  void Encode(int band);

  // Once every band is encoded: the whole file, or false with the reason.
  bool Join(std::string& png, std::string& reason) const;

  // Encode's two steps, which the benchmark times apart: the band's rows as
  // PNG stores them before compression, then those rows compressed.
  void PrepareRows(int band, std::vector<unsigned char>& rows) const;
  void Compress(int band, const std::vector<unsigned char>& rows);

 private:
  struct Band {
    int firstRow = 0;
    int rows = 0;
    std::string deflated;  // raw deflate, ended by a sync flush or, in the last band, the final block
    uint32_t adler = 1;
    bool encoded = false;
  };

  PremultipliedImage image_;
  bool subFilter_;
  std::vector<Band> bands_;
};
