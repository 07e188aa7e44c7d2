// The exporter's picture through the window's own code: the same paint with
// no window, the same encoder and parameters as Save As.
#include "render/PngRenderer.h"

#include "model/GraphModel.h"
#include "render/gdiplus/GdiplusHandles.h"
#include "render/gdiplus/OffscreenImage.h"

namespace {

class GlobalStream {
 public:
  GlobalStream() { CreateStreamOnHGlobal(nullptr, TRUE, &stream_); }
  ~GlobalStream() {
    if (stream_) stream_->Release();
  }
  GlobalStream(const GlobalStream&) = delete;
  GlobalStream& operator=(const GlobalStream&) = delete;
  IStream* get() const { return stream_; }

  bool CopyTo(std::string& bytes) const {
    HGLOBAL memory = nullptr;
    STATSTG stat = {};
    if (!stream_ || FAILED(GetHGlobalFromStream(stream_, &memory)) ||
        FAILED(stream_->Stat(&stat, STATFLAG_NONAME))) {
      return false;
    }
    const void* data = GlobalLock(memory);
    if (!data) return false;
    bytes.assign(static_cast<const char*>(data), static_cast<size_t>(stat.cbSize.QuadPart));
    GlobalUnlock(memory);
    return true;
  }

 private:
  IStream* stream_ = nullptr;
};

}  // namespace

void StartPngRenderer() { StartGdiplus(); }

void StopPngRenderer() {
  DeleteOffscreenImage();
  ShutdownGdiplus();
}

bool RenderPng(std::string& png, std::string& reason) {
  PaintOffscreenImage(nullptr);
  if (!OffscreenImageHandle()) return false;
  GlobalStream stream;
  if (!SavePngToStream(stream.get()) || !stream.CopyTo(png)) {
    reason = "the PNG encoder failed";
    return false;
  }
  return true;
}
