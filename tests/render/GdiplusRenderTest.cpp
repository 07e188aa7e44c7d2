// The paint's work and the PNG export on real GDI+, checked pixel by pixel in
// the saved file.
//
// Wine 8's GDI+ does not anti-alias, so nothing here depends on it. On
// Windows the edges of the line and of the circles are anti-aliased: the
// saved file then also holds partly transparent pixels along them, and the
// pixels checked below (marker centres, the middle of the axis row, the
// background far from any shape) are the same on both.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "render/gdiplus/OffscreenImage.h"
#include "tests/render/PictureFile.h"
#include "tests/render/RenderTest.h"

namespace {

constexpr uint32_t kWindowColour = 0x00C0C0C0;  // what the window showed before the paint

// A stand-in for the window's paint device context: a memory context on a
// 32-bit top-down bitmap whose pixels the test can read.
class WindowCanvas {
 public:
  WindowCanvas(int width, int height) : width_(width) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<uint32_t*>(bits);
    previous_ = SelectObject(dc_, bitmap_);
    for (int i = 0; i < width * height; ++i) bits_[i] = kWindowColour;
  }
  ~WindowCanvas() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  WindowCanvas(const WindowCanvas&) = delete;
  WindowCanvas& operator=(const WindowCanvas&) = delete;

  HDC dc() const { return dc_; }
  uint32_t Rgb(int x, int y) const {
    GdiFlush();
    return bits_[y * width_ + x] & 0x00FFFFFF;
  }

 private:
  int width_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ previous_;
  uint32_t* bits_ = nullptr;
};

class GdiplusRenderTest : public RenderTest {
 protected:
  static void SetUpTestSuite() { StartGdiplus(); }
  static void TearDownTestSuite() {
    DeleteOffscreenImage();
    ShutdownGdiplus();
  }
  void TearDown() override {
    DeleteOffscreenImage();
    for (const std::string& path : files_) std::remove(path.c_str());
  }

  // Paints onto a fresh canvas and reads back what Save As writes.
  Picture PaintAndSave() {
    WindowCanvas window(400, 300);
    PaintOffscreenImage(window.dc());
    return Saved();
  }
  Picture Saved() {
    const std::string path = NewPath();
    SavePng(path.c_str());
    return ReadPicture(path);
  }
  std::string NewPath() {
    files_.push_back("render_test_" + std::to_string(files_.size()) + ".png");
    std::remove(files_.back().c_str());
    return files_.back();
  }
  static bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  // Values 1, 2, 3 at 60 pixels a unit: markers on (10, 130), (30, 70), (50, 10).
  static void LoadThree() {
    Load({1, 2, 3});
    graphSettings.ratio = 60;
  }

 private:
  std::vector<std::string> files_;
};

TEST_F(GdiplusRenderTest, TransparentGraphKeepsOnlyWhatIsDrawn) {
  LoadThree();
  graphSettings.lineColor() = 0x000000FF;  // red, so the line and the axes differ
  WindowCanvas window(400, 300);
  PaintOffscreenImage(window.dc());
  const Picture p = Saved();

  ASSERT_EQ(p.width, 70);
  ASSERT_EQ(p.height, 200);
  EXPECT_TRUE(p.hasAlpha);
  for (auto [x, y] : {std::pair{5, 5}, {69, 0}, {60, 100}, {35, 195}, {69, 199}})
    EXPECT_EQ(p.At(x, y), 0x00000000u) << x << "," << y;
  for (int x : {1, 35, 68}) EXPECT_EQ(p.At(x, 190), 0xFF000000u) << "X axis at " << x;
  EXPECT_EQ(p.At(0, 100), 0xFF000000u);  // Y axis
  for (int x : {10, 30, 50}) EXPECT_EQ(p.At(x, 186), 0xFF000000u) << "tick at " << x;
  EXPECT_EQ(p.At(10, 130), 0xFFFF0000u);
  EXPECT_EQ(p.At(30, 70), 0xFFFF0000u);
  EXPECT_EQ(p.At(50, 10), 0xFFFF0000u);
  EXPECT_EQ(p.At(20, 100) & 0x00FFFFFF, 0xFF0000u);  // half way along the line
  EXPECT_NE(p.At(20, 100) >> 24, 0u);

  // On the window: the image blended over it, the frame where the image is
  // clear, and nothing beyond the image.
  EXPECT_EQ(window.Rgb(35, 190), 0x000000u);
  EXPECT_EQ(window.Rgb(30, 70), 0xFF0000u);
  EXPECT_EQ(window.Rgb(35, 100), kWindowColour);
  EXPECT_EQ(window.Rgb(100, 100), kWindowColour);
  std::set<uint32_t> frame;
  for (int x = 1; x < 69; ++x) frame.insert(window.Rgb(x, 0));
  EXPECT_EQ(frame, (std::set<uint32_t>{0x00FF00u, 0x000000u}));
}

TEST_F(GdiplusRenderTest, OnlyThePartThePaintMayChangeIsCopiedToTheWindow) {
  LoadThree();
  graphSettings.transparent = false;
  graphSettings.backgroundColor() = 0x00336699;
  graphSettings.imageWidth = 2000;  // far wider than the window
  WindowCanvas window(400, 300);
  IntersectClipRect(window.dc(), 20, 0, 400, 150);
  PaintOffscreenImage(window.dc());
  EXPECT_EQ(window.Rgb(10, 100), kWindowColour);  // outside the update area
  EXPECT_EQ(window.Rgb(60, 100), 0x996633u);  // the canvas is BGR
  EXPECT_EQ(window.Rgb(399, 149), 0x996633u);
  EXPECT_EQ(window.Rgb(30, 70), 0x000000u);  // the second marker
  EXPECT_EQ(window.Rgb(399, 150), kWindowColour);
  const Picture p = Saved();  // the saved image is whole all the same
  ASSERT_EQ(p.width, 2000);
  EXPECT_EQ(p.At(10, 130), 0xFF000000u);
  EXPECT_EQ(p.At(1999, 199), 0xFF996633u);
}

// The frame of a wide transparent image is drawn only where the window shows
// it, cut on whole dash periods: a paint of part of the window must give the
// same dots there as a paint of all of it.
TEST_F(GdiplusRenderTest, TheFrameLooksTheSameInAnyPartOfTheWindow) {
  LoadThree();
  graphSettings.imageWidth = 2000;
  WindowCanvas whole(400, 300);
  PaintOffscreenImage(whole.dc());
  WindowCanvas part(400, 300);
  IntersectClipRect(part.dc(), 101, 0, 300, 300);
  PaintOffscreenImage(part.dc());
  for (int y : {0, 199}) {
    for (int x = 101; x < 300; ++x) {
      ASSERT_EQ(part.Rgb(x, y), whole.Rgb(x, y)) << x << "," << y;
      ASSERT_NE(whole.Rgb(x, y), whole.Rgb(x + 1, y)) << "dotted at " << x << "," << y;
    }
  }
  EXPECT_EQ(part.Rgb(100, 0), kWindowColour);
}

TEST_F(GdiplusRenderTest, OpaqueBackgroundFillsTheImage) {
  LoadThree();
  graphSettings.transparent = false;
  graphSettings.backgroundColor() = 0x00336699;
  const Picture p = PaintAndSave();
  ASSERT_EQ(p.width, 70);
  for (auto [x, y] : {std::pair{0, 199}, {69, 0}, {69, 199}, {60, 100}})
    EXPECT_EQ(p.At(x, y), 0xFF996633u) << x << "," << y;
  EXPECT_EQ(p.At(35, 190), 0xFF000000u);
}

TEST_F(GdiplusRenderTest, ScrolledRenderIsTheSameGraphShifted) {
  Load({1, 3, 2, 5, 4, 1, 2, 3, 5, 4});
  graphSettings.ratio = 30;
  graphSettings.lineWidth = 3;
  graphSettings.lineStyle = 3;
  graphSettings.yTickUnit = 1;
  const Picture whole = PaintAndSave();
  viewOffset = {45, 20};
  const Picture scrolled = PaintAndSave();
  ASSERT_EQ(scrolled.width, whole.width);
  int differing = 0;
  for (int y = 0; y + 20 < whole.height; ++y)
    for (int x = 0; x + 45 < whole.width; ++x) differing += scrolled.At(x, y) != whole.At(x + 45, y + 20);
  EXPECT_EQ(differing, 0);
  EXPECT_EQ(scrolled.At(0, 0), 0x00000000u);  // the Y axis has scrolled out of view
}

TEST_F(GdiplusRenderTest, EveryDashStyleDrawsADifferentLine) {
  Load({1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
  graphSettings.displayMode = GraphOnly;
  graphSettings.pointSize = 0;
  graphSettings.lineWidth = 2;
  std::set<std::string> rows;
  for (int style = 0; style <= 4; ++style) {
    graphSettings.lineStyle = style;
    const Picture p = PaintAndSave();
    ASSERT_EQ(p.width, 210);
    std::string row;
    for (int x = 0; x < p.width; ++x) row += p.At(x, 189) >> 24 ? '#' : '.';
    if (style == 0) {
      EXPECT_EQ(row.substr(11, 179), std::string(179, '#')) << row;
    }
    EXPECT_TRUE(rows.insert(row).second) << "style " << style << ": " << row;
  }
}

TEST_F(GdiplusRenderTest, OverlappingMarkersFillTheirWholeUnion) {
  Load({1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
  graphSettings.pointInterval = 3;
  graphSettings.pointSize = 10;  // markers centred on x = 10, 13, ... 37, row 209
  graphSettings.displayMode = GraphOnly;
  graphSettings.imageHeight = 220;
  for (PointKind kind : {Circle, Square}) {
    graphSettings.pointKind = kind;
    const Picture p = PaintAndSave();
    ASSERT_EQ(p.height, 220);
    std::string row;
    for (int x = 8; x <= 39; ++x) row += p.At(x, 206) == 0xFF000000u ? '#' : '.';
    EXPECT_EQ(row, std::string(32, '#')) << "kind " << kind;
    EXPECT_EQ(p.At(10, 100), 0x00000000u);
  }
}

TEST_F(GdiplusRenderTest, FarPointsStillDrawTheirLineThroughTheImage) {
  Load({0, 1e9, 0});
  graphSettings.ratio = 1;
  graphSettings.displayMode = GraphOnly;
  const Picture p = PaintAndSave();
  ASSERT_EQ(p.width, 70);
  // The lines to the point a billion pixels up leave the image almost
  // vertically from the first and the last point.
  for (int y : {10, 100, 185}) {
    EXPECT_EQ(p.At(10, y), 0xFF000000u) << y;
    EXPECT_EQ(p.At(50, y), 0xFF000000u) << y;
    EXPECT_EQ(p.At(30, y), 0x00000000u) << y;
  }
}

TEST_F(GdiplusRenderTest, HostileSettingsPaintWithoutHarm) {
  Load({1e308, -1e308, 0, 5e307, -3});
  struct Hostile {
    int imageWidth, imageHeight, pointInterval, lineWidth, pointSize, leftMargin;
    double ratio, yTickUnit;
  };
  const Hostile cases[] = {
      {9999, 300, 0, 1, 4, 10, 1.0, 1.0},            // no points at all
      {1280, 1280, -5, 9999, 9999, -999, 1e300, 1e-300},
      {640, 200, 1, 9999, 9999, 10, NAN, NAN},  // markers larger than the image
      {0, 0, 20, 1, 4, 10, INFINITY, 2.0},
      {-999, 200, 20, -999, -999, 10, -1e308, -1.0},
      {300, 9999, 256, 100, 100, 0, 2147483647.0, 0.5},
  };
  for (const Hostile& h : cases) {
    graphSettings.imageWidth = h.imageWidth;
    graphSettings.imageHeight = h.imageHeight;
    graphSettings.pointInterval = h.pointInterval;
    graphSettings.lineWidth = h.lineWidth;
    graphSettings.pointSize = h.pointSize;
    graphSettings.leftMargin = h.leftMargin;
    graphSettings.ratio = h.ratio;
    graphSettings.yTickUnit = h.yTickUnit;
    const Picture p = PaintAndSave();
    if (h.imageWidth > 0 && h.imageHeight > 0) {
      EXPECT_EQ(p.width, h.imageWidth);
      EXPECT_EQ(p.height, h.imageHeight);
    } else {
      EXPECT_EQ(p.width, 0) << "a failed image is never saved";
    }
  }
}

TEST_F(GdiplusRenderTest, NothingIsWrittenWithoutAnImage) {
  const std::string path = NewPath();
  SavePng(path.c_str());  // before any paint
  EXPECT_FALSE(Exists(path));

  // A paint at the start (no data, width 0) leaves an image that could not be made.
  PaintAndSave();
  SavePng(path.c_str());
  EXPECT_FALSE(Exists(path));
}

TEST_F(GdiplusRenderTest, NameTooLongForTheBufferIsNotSaved) {
  LoadThree();
  WindowCanvas window(100, 200);
  PaintOffscreenImage(window.dc());
  const std::string truncated = "render_test_long_" + std::string(MAX_PATH - 18, 'a');
  const std::string path = truncated + std::string(20, 'a') + ".png";
  SavePng(path.c_str());
  EXPECT_FALSE(Exists(truncated));
  EXPECT_FALSE(Exists(path));
}

TEST_F(GdiplusRenderTest, FindsThePngEncoderByExactMimeType) {
  CLSID clsid = {};
  EXPECT_GE(FindEncoderClsid(L"image/png", &clsid), 0);
  EXPECT_NE(clsid.Data1, 0u);
  EXPECT_EQ(FindEncoderClsid(L"image/PNG", &clsid), -1);
  EXPECT_EQ(FindEncoderClsid(L"image/pn", &clsid), -1);
}

}  // namespace
