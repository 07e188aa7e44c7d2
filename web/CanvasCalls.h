#pragma once
// A paint as the page's canvas (Module.zimbelContext) is asked for it: the
// operations in order, each its code, how many numbers follow, and the
// numbers. A paint is written down whole before any of it is sent, so that
// a part of it can be known to be the last paint's by its numbers, before a
// pixel of it is drawn.
#include <cstddef>
#include <cstdlib>

enum class CanvasOp : int {
  Begin,            // clip width, clip height, scale
  Clear,            // argb
  Smooth,           // (none)
  Pen,              // argb, width, round caps, round joins, dash lengths...
  Fill,             // argb
  Lines,            // x1, y1, x2, y2 a line
  Ellipses,         // centre x, centre y, radius x, radius y an ellipse
  Rectangles,       // x, y, width, height a rectangle, filled
  StrokeRectangle,  // x, y, width, height
  Polyline,         // x, y a vertex
};

// Grown by hand: the standard vector brings more code into the page than
// all of this. Memory that cannot be had ends the module, as a vector would
// without exceptions.
class CanvasOps {
 public:
  CanvasOps() = default;
  CanvasOps(const CanvasOps&) = delete;
  CanvasOps& operator=(const CanvasOps&) = delete;
  ~CanvasOps() { std::free(numbers_); }

  void Push(double number) {
    if (size_ == capacity_) Grow();
    numbers_[size_++] = number;
  }
  double& operator[](size_t i) { return numbers_[i]; }
  const double* Data() const { return numbers_; }
  size_t Size() const { return size_; }

 private:
  void Grow() {
    capacity_ = capacity_ ? 2 * capacity_ : 4096;
    numbers_ = static_cast<double*>(std::realloc(numbers_, capacity_ * sizeof(double)));
    if (!numbers_) std::abort();
  }

  double* numbers_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

// Placement: only what places the shapes after them (Begin's clip and
// scale, Smooth's dash offset), for a part shown from kept pixels. A pen or
// fill is sent again by whoever draws next.
enum class Sending { All, Placement };

// Sends the operations in [from, to) to the canvas.
void SendOps(const double* from, const double* to, Sending sending);

// Ends what a Begin started: the context's state is as it was before.
void EndOps();

// The pixels of a part of a paint (all its operations before a mark, slot
// 0 the first mark, 1 the second), kept once the same part comes twice in a
// row on the same context and canvas size: then a redraw that changes only
// what follows copies them instead of drawing them. PartKept says whether
// the pixels of these operations are kept in the slot (and notes them as
// seen), ShowKeptPart puts them on the canvas, and KeepPart, just after the
// part is drawn, keeps them if it was seen before.
constexpr int kPartSlots = 2;
bool PartKept(int slot, const double* ops, size_t count);
void ShowKeptPart(int slot);
void KeepPart(int slot);
