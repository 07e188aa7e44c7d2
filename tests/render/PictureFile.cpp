// The tests read the saved files back with the same platform decoder a
// viewer would use.
#include "tests/render/PictureFile.h"

#include <windows.h>

#include <gdiplus.h>

namespace gdip = Gdiplus::DllExports;

Picture ReadPicture(const std::string& path) {
  Picture picture;
  wchar_t widePath[MAX_PATH];
  if (!MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH)) return picture;
  Gdiplus::GpBitmap* bitmap = nullptr;
  if (gdip::GdipCreateBitmapFromFile(widePath, &bitmap) != Gdiplus::Ok) return picture;
  UINT width = 0;
  UINT height = 0;
  Gdiplus::PixelFormat format = 0;
  gdip::GdipGetImageWidth(bitmap, &width);
  gdip::GdipGetImageHeight(bitmap, &height);
  gdip::GdipGetImagePixelFormat(bitmap, &format);
  picture.width = static_cast<int>(width);
  picture.height = static_cast<int>(height);
  picture.hasAlpha = format == PixelFormat32bppARGB;
  picture.pixels.resize(static_cast<size_t>(width) * height);
  for (UINT y = 0; y < height; ++y) {
    for (UINT x = 0; x < width; ++x) {
      Gdiplus::ARGB argb = 0;
      gdip::GdipBitmapGetPixel(bitmap, static_cast<INT>(x), static_cast<INT>(y), &argb);
      picture.pixels[static_cast<size_t>(y) * width + x] = argb;
    }
  }
  // Releases the file, so the test can remove it.
  gdip::GdipDisposeImage(bitmap);
  return picture;
}
