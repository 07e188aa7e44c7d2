// File > Save As: the offscreen image through the platform's PNG encoder.
#include <cwchar>
#include <memory>
#include <new>

#include "render/gdiplus/GdiplusHandles.h"
#include "render/gdiplus/OffscreenImage.h"

namespace {

constexpr GUID kEncoderColorDepth = {0x66087055, 0xAD66, 0x4C7C,
                                     {0x9A, 0x18, 0x38, 0xA2, 0x31, 0x0B, 0x83, 0x37}};
constexpr LONG kPngColorDepth = 32;

// The encoder and its parameters: 32 bits a pixel, so the alpha survives.
struct PngEncoding {
  CLSID encoder;
  LONG depth = kPngColorDepth;
  Gdiplus::EncoderParameters parameters;

  PngEncoding() = default;
  PngEncoding(const PngEncoding&) = delete;  // the parameters point into it
  PngEncoding& operator=(const PngEncoding&) = delete;

  bool Find() {
    if (FindEncoderClsid(L"image/png", &encoder) < 0) return false;
    parameters.Count = 1;
    parameters.Parameter[0].Guid = kEncoderColorDepth;
    parameters.Parameter[0].NumberOfValues = 1;
    parameters.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
    parameters.Parameter[0].Value = &depth;
    return true;
  }
};

}  // namespace

int FindEncoderClsid(const wchar_t* mimeType, CLSID* clsid) {
  UINT count = 0;
  UINT size = 0;
  gdip::GdipGetImageEncodersSize(&count, &size);
  if (size == 0 || !mimeType || !clsid) return -1;
  std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[size]);
  if (!block) return -1;
  auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(block.get());
  if (gdip::GdipGetImageEncoders(count, size, encoders) != Gdiplus::Ok) return -1;
  for (UINT i = 0; i < count; ++i) {
    if (encoders[i].MimeType && std::wcscmp(encoders[i].MimeType, mimeType) == 0) {
      *clsid = encoders[i].Clsid;
      return static_cast<int>(i);
    }
  }
  return -1;
}

void SavePng(const char* path) {
  Gdiplus::GpImage* image = OffscreenImageHandle();
  PngEncoding png;
  if (!path || !image || !png.Find()) return;
  // A name too long for the buffer is not saved under a truncated name.
  wchar_t widePath[MAX_PATH];
  if (MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH) == 0) return;

  // A save that fails part-way must not leave a broken file where there was
  // none; a file that existed before is never removed here.
  const bool existed = GetFileAttributesW(widePath) != INVALID_FILE_ATTRIBUTES;
  if (gdip::GdipSaveImageToFile(image, widePath, &png.encoder, &png.parameters) != Gdiplus::Ok && !existed) {
    DeleteFileW(widePath);
  }
}

bool SavePngToStream(Gdiplus::GpImage* image, IStream* stream) {
  PngEncoding png;
  if (!stream || !image || !png.Find()) return false;
  return gdip::GdipSaveImageToStream(image, stream, &png.encoder, &png.parameters) == Gdiplus::Ok;
}
