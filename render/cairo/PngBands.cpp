#include "render/cairo/PngBands.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "a pixel word is stored as R, G, B, A bytes");

// Half a megabyte of rows: a band stays in the cache between its preparation
// and its compression, a 640 x 200 graph is one band, and a 10250 x 200 one
// is seventeen, enough for as many cores.
constexpr size_t kBandBytes = 512 * 1024;

// A graph's rows are long runs of the background, which run-length matching
// finds at a fraction of the cost of a full search (on a 10250 x 200 graph:
// half the time of zlib's default for a somewhat larger file). It matches
// runs of one byte, which is why a background of another colour is filtered.
constexpr int kStrategy = Z_RLE;
// A smaller match index, which run-length matching never reads, costs less to
// clear at each stream's start; its 4096 symbols a block still hold a
// stream's worth of graph rows.
constexpr int kMemLevel = 6;

constexpr unsigned char kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// A zlib stream of 32 KiB windows, "fastest" (FLEVEL 0), its check bits set.
constexpr unsigned char kZlibHeader[] = {0x78, 0x01};

constexpr uint32_t kHighBits = 0x80808080u;

// Premultiplied 0xAARRGGBB to the word whose bytes are R, G, B, A. Nearly
// every pixel of a graph is wholly transparent (all zero) or wholly opaque,
// and only the anti-aliased edges between need the divisions.
inline uint32_t Straight(uint32_t p) {
  const uint32_t a = p >> 24;
  if (a - 1 < 254) {
    const uint32_t r = ((p >> 16 & 0xFF) * 255 + a / 2) / a;
    const uint32_t g = ((p >> 8 & 0xFF) * 255 + a / 2) / a;
    const uint32_t b = ((p & 0xFF) * 255 + a / 2) / a;
    return a << 24 | b << 16 | g << 8 | r;
  }
  return (p & 0xFF00FF00u) | (p >> 16 & 0xFF) | (p & 0xFF) << 16;
}

// Each byte of `now` minus the same byte of `before`, modulo 256, without a
// borrow crossing into the next byte.
inline uint32_t SubtractBytes(uint32_t now, uint32_t before) {
  return ((now | kHighBits) - (before & ~kHighBits)) ^ ((now ^ ~before) & kHighBits);
}

// Alpha 0 and 255 (plus one: 1 and 256) have no bit in common with 0xFE.
inline uint32_t PartlyCovered(uint32_t p) { return ((p >> 24) + 1) & 0xFE; }

// The word of a pixel wholly transparent or wholly opaque.
inline uint32_t Swizzled(uint32_t p) { return (p & 0xFF00FF00u) | (p >> 16 & 0xFF) | (p & 0xFF) << 16; }

constexpr int kRun = 16;

// Three branch-free passes over one row, which stays in the cache: the
// compiler turns each into vector code. `straight` holds a row of words.
template <bool kSub>
void PrepareRow(const uint32_t* pixels, int width, uint32_t* straight, unsigned char* row) {
  for (int x = 0; x < width; ++x) straight[x] = Swizzled(pixels[x]);
  // Only the anti-aliased edges need the divisions.
  for (int x = 0; x < width; x += kRun) {
    const int end = std::min(x + kRun, width);
    uint32_t partly = 0;
    for (int i = x; i < end; ++i) partly |= PartlyCovered(pixels[i]);
    if (partly == 0) continue;
    for (int i = x; i < end; ++i) straight[i] = Straight(pixels[i]);
  }
  row[0] = kSub ? 1 : 0;  // the row's filter type
  unsigned char* out = row + 1;
  if (!kSub) {
    std::memcpy(out, straight, 4 * static_cast<size_t>(width));
    return;
  }
  for (int x = 0; x < width; ++x) {
    const uint32_t stored = SubtractBytes(straight[x], x == 0 ? 0 : straight[x - 1]);
    std::memcpy(out + 4 * static_cast<size_t>(x), &stored, 4);
  }
}

void PutBigEndian(std::string& out, uint32_t value) {
  const char bytes[4] = {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
                         static_cast<char>(value >> 8), static_cast<char>(value)};
  out.append(bytes, 4);
}

// A chunk whose data is `head`, then `body`, then `tail`.
void PutChunk(std::string& out, const char* type, const std::string& head, const std::string& body,
              const std::string& tail) {
  PutBigEndian(out, static_cast<uint32_t>(head.size() + body.size() + tail.size()));
  const size_t start = out.size();
  out.append(type, 4);
  out += head;
  out += body;
  out += tail;
  PutBigEndian(out, libdeflate_crc32(0, out.data() + start, out.size() - start));
}

size_t RowBytes(int width) { return 1 + 4 * static_cast<size_t>(width); }

// zlib slides its window every 32 KiB of input and then rewrites its whole
// match index, which run-length matching never reads: on a graph's rows that
// costs more than the matching itself. A stream of less than two windows
// never slides, so a band is compressed as a run of such streams, each ended
// so that the next may follow it: three times as fast, for a file some 8 %
// larger (each stream opens a block of its own).
constexpr size_t kStreamBytes = 65536 - 262 - 2;  // two windows less zlib's lookahead (MIN_LOOKAHEAD), and a margin

class Deflater {
 public:
  Deflater() { ok_ = deflateInit2(&stream_, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, kMemLevel, kStrategy) == Z_OK; }
  ~Deflater() {
    if (ok_) deflateEnd(&stream_);
  }
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;

  // Raw deflate streams of `in` appended to `out`, the last ended by a sync
  // flush (byte-aligned, no final block) unless `last`.
  bool Run(const unsigned char* in, size_t size, bool last, std::string& out) {
    if (!ok_) return false;
    // A graph's rows shrink a hundredfold and more; where they do not, the
    // output gets room as it goes.
    size_t done = out.size();
    out.resize(done + std::max<size_t>(4096, size / 16));
    for (size_t start = 0; start < size; start += kStreamBytes) {
      const size_t length = std::min(kStreamBytes, size - start);
      const bool final = last && start + length == size;
      if (start > 0 && deflateReset(&stream_) != Z_OK) return false;
      stream_.next_in = const_cast<unsigned char*>(in + start);
      stream_.avail_in = static_cast<uInt>(length);
      for (;;) {
        if (done == out.size()) out.resize(out.size() * 2);
        stream_.next_out = reinterpret_cast<unsigned char*>(&out[done]);
        stream_.avail_out = static_cast<uInt>(out.size() - done);
        const int result = deflate(&stream_, final ? Z_FINISH : Z_SYNC_FLUSH);
        done = out.size() - stream_.avail_out;
        if (result == Z_STREAM_END || (!final && result == Z_OK && stream_.avail_out > 0)) break;
        if (result != Z_OK && result != Z_BUF_ERROR) return false;
      }
    }
    out.resize(done);
    return true;
  }

 private:
  z_stream stream_ = {};
  bool ok_ = false;
};

}  // namespace

PngBands::PngBands(const PremultipliedImage& image, bool subFilter) : image_(image), subFilter_(subFilter) {
  const int rowsPerBand = static_cast<int>(std::max<size_t>(1, kBandBytes / RowBytes(image.width)));
  for (int first = 0; first < image.height; first += rowsPerBand) {
    Band band;
    band.firstRow = first;
    band.rows = std::min(rowsPerBand, image.height - first);
    bands_.push_back(band);
  }
}

void PngBands::PrepareRows(int band, std::vector<unsigned char>& rows) const {
  const Band& b = bands_[band];
  const size_t rowBytes = RowBytes(image_.width);
  rows.resize(rowBytes * b.rows);
  std::vector<uint32_t> straight(static_cast<size_t>(image_.width));
  for (int y = 0; y < b.rows; ++y) {
    const auto* pixels =
        reinterpret_cast<const uint32_t*>(image_.pixels + static_cast<size_t>(b.firstRow + y) * image_.stride);
    unsigned char* row = rows.data() + rowBytes * y;
    if (subFilter_) {
      PrepareRow<true>(pixels, image_.width, straight.data(), row);
    } else {
      PrepareRow<false>(pixels, image_.width, straight.data(), row);
    }
  }
}

void PngBands::Compress(int band, const std::vector<unsigned char>& rows) {
  Band& b = bands_[band];
  Deflater deflater;
  b.deflated.clear();
  b.encoded = deflater.Run(rows.data(), rows.size(), band + 1 == Count(), b.deflated);
  b.adler = libdeflate_adler32(1, rows.data(), rows.size());
}

void PngBands::Encode(int band) {
  try {
    // One buffer a thread, kept from band to band: a new one would be
    // cleared and paged in each time.
    thread_local std::vector<unsigned char> rows;
    PrepareRows(band, rows);
    Compress(band, rows);
  } catch (const std::bad_alloc&) {
    bands_[band].encoded = false;
  }
}

bool PngBands::Join(std::string& png, std::string& reason) const {
  if (bands_.empty()) {
    reason = "the PNG encoder failed: an image of no pixels";
    return false;
  }
  for (const Band& b : bands_) {
    if (!b.encoded) {
      reason = "the PNG encoder failed: out of memory";
      return false;
    }
  }
  std::string header;
  PutBigEndian(header, static_cast<uint32_t>(image_.width));
  PutBigEndian(header, static_cast<uint32_t>(image_.height));
  header += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, deflate, adaptive filters, no interlace

  // The checksum of the whole stream from those of its bands, as the zlib
  // stream's trailer.
  uLong adler = bands_.front().adler;
  for (size_t i = 1; i < bands_.size(); ++i) {
    adler = adler32_combine(adler, bands_[i].adler,
                            static_cast<z_off_t>(RowBytes(image_.width) * bands_[i].rows));
  }
  std::string trailer;
  PutBigEndian(trailer, static_cast<uint32_t>(adler));

  size_t size = sizeof kSignature + 25 + 12;
  for (const Band& b : bands_) size += 12 + b.deflated.size();
  png.clear();
  png.reserve(size + sizeof kZlibHeader + trailer.size());
  png.append(reinterpret_cast<const char*>(kSignature), sizeof kSignature);
  PutChunk(png, "IHDR", header, "", "");
  // One IDAT chunk a band: the zlib header opens the first, the checksum
  // closes the last.
  const std::string zlibHeader(reinterpret_cast<const char*>(kZlibHeader), sizeof kZlibHeader);
  for (size_t i = 0; i < bands_.size(); ++i) {
    PutChunk(png, "IDAT", i == 0 ? zlibHeader : "", bands_[i].deflated, i + 1 == bands_.size() ? trailer : "");
  }
  PutChunk(png, "IEND", "", "", "");
  return true;
}
