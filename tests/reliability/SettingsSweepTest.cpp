// Every setting at the ends of what its field accepts, on a file of extreme
// values, through the real dialog: each paint finishes within a bound, the
// program never dies, and Save As afterwards writes a valid PNG or nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "resources/resource.h"
#include "tests/reliability/PngFile.h"
#include "tests/reliability/ProcessFigures.h"
#include "tests/reliability/RunningProgram.h"

namespace {

// Wine's GDI+ draws in software, in time proportional to the area it covers:
// the largest image (9999 x 9999, 400 MB), or a pen 9999 pixels wide along
// 512 values, takes up to about 15 s here. A paint that does not end within
// this bound counts as a hang.
constexpr DWORD kPaintBoundMs = 60000;
constexpr DWORD kSaveBoundMs = 120000;

std::string ExtremeValues() {
  const char* extremes[] = {"1.7976931348623157e308", "-1.7976931348623157e308", "0",
                            "4.9e-324", "-4.9e-324", "1e308", "-1e308", "1e-300",
                            "123456789012345678901234567890", "-0", "2.2250738585072014e-308"};
  std::string text;
  for (int i = 0; i < 512; ++i) text += std::string(extremes[i % 11]) + "\n";
  return text;
}

std::string ReadWholeFile(const std::string& path) {
  std::string bytes;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[1 << 16];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.append(buffer, n);
    std::fclose(f);
  }
  return bytes;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class SettingsSweep : public ::testing::Test {
 protected:
  SettingsSweep() : folder_("sweep"), program_(folder_.Path(), WriteData(folder_)) {}

  static std::string WriteData(const ScratchFolder& folder) {
    folder.Write("extreme.txt", ExtremeValues());
    return "extreme.txt";
  }

  void SetUp() override { ASSERT_TRUE(program_.Started()); }

  void TearDown() override {
    std::printf("%d paints, the slowest %.2f s (%s)\n", paints_, slowest_, slowestAfter_.c_str());
  }

  // Every change is followed by a paint; the program must come back from it.
  // After the first fatal failure the rest of the sweep is skipped.
  void Change(bool sent, const std::string& what) {
    if (HasFatalFailure()) return;
    ASSERT_TRUE(sent) << what << ": the program did not take the change";
    double seconds = 0;
    ASSERT_TRUE(program_.Paint(kPaintBoundMs, &seconds)) << what << ": no paint within the bound";
    ASSERT_TRUE(program_.Responds()) << what;
    ++paints_;
    if (seconds > slowest_) {
      slowest_ = seconds;
      slowestAfter_ = what;
    }
  }

  void Set(int id, const std::string& text) {
    Change(program_.SetText(id, text), "field " + std::to_string(id) + " = " + text);
  }
  void Select(int id, int index) {
    Change(program_.SelectItem(id, index), "list " + std::to_string(id) + " = " + std::to_string(index));
  }
  void Check(int id, bool on) {
    Change(program_.SetCheck(id, on), "box " + std::to_string(id) + (on ? " on" : " off"));
  }

  // Save As writes a PNG of the size in effect, or, when there is no image to
  // save, nothing at all.
  void ExpectSaveWritesPngOrNothing(const std::string& name, int width, int height) {
    if (HasFatalFailure()) return;
    const std::string path = folder_.PathOf(name);
    ASSERT_TRUE(program_.SaveAs(path, kSaveBoundMs)) << name;
    if (!Exists(path)) {
      std::printf("%s: nothing written (%d x %d)\n", name.c_str(), width, height);
      return;
    }
    PngOutline png = ReadPngOutline(ReadWholeFile(path));
    ASSERT_TRUE(png.valid) << name << ": " << png.fault;
    EXPECT_EQ(png.width, width) << name;
    EXPECT_EQ(png.height, height) << name;
    EXPECT_EQ(png.bitDepth, 8) << name;
    EXPECT_EQ(png.colorType, 6) << name;
    DeleteFileA(path.c_str());
  }

  ScratchFolder folder_;
  RunningProgram program_;
  int paints_ = 0;
  double slowest_ = 0;
  std::string slowestAfter_;
};

const char* const kIntegerTexts[] = {"0", "1", "9999", "-999"};

// 1280, the widest the spin offers, shows 64 of the 512 values; the width's
// own extremes show up to all of them.
TEST_F(SettingsSweep, EveryIntegerFieldAtItsEnds) {
  Set(IDC_WIDTH, "1280");
  for (int id = IDC_WIDTH; id <= IDC_XTICK; ++id) {
    const std::string original = program_.Text(id);
    for (const char* text : kIntegerTexts) Set(id, text);
    Set(id, original);
  }
  // The smallest ends of all of them at once.
  for (const char* text : {"0", "-999", "1"}) {
    for (int id = IDC_WIDTH; id <= IDC_XTICK; ++id) Set(id, text);
    for (int mode = 0; mode < 3; ++mode) Select(IDC_DISPLAY, mode);
  }
  Set(IDC_WIDTH, "300");
  Set(IDC_HEIGHT, "200");
  ExpectSaveWritesPngOrNothing("after-integers.png", 300, 200);
  Set(IDC_WIDTH, "-999");
  ExpectSaveWritesPngOrNothing("negative-width.png", -999, 200);
  EXPECT_EQ(program_.Close(), 0u);
}

// The Y ticks step by unit x ratio pixels: from 1e-300 pixels to infinity.
TEST_F(SettingsSweep, RatioAndTickUnitTexts) {
  Set(IDC_WIDTH, "1280");
  const char* ratios[] = {"1e308", "-1e308", "0", "letters", "-0", "1e-308", "4.9e-324", "1"};
  const char* tickUnits[] = {"1e-300", "-1e-300", "1e308", "letters", "0", "1e-5", "-1"};
  for (int mode = 0; mode < 3; ++mode) {
    Select(IDC_DISPLAY, mode);
    for (const char* ratio : ratios) {
      Set(IDC_RATIO, ratio);
      for (const char* unit : tickUnits) Set(IDC_YTICKUNIT, unit);
    }
  }
  // The automatic ratio on data spanning the whole double range.
  Check(IDC_AUTORATIO, true);
  for (const char* unit : tickUnits) Set(IDC_YTICKUNIT, unit);
  for (const char* text : kIntegerTexts) Set(IDC_VMARGIN, text);
  for (const char* text : kIntegerTexts) Set(IDC_HEIGHT, text);
  Check(IDC_AUTORATIO, false);
  Set(IDC_HEIGHT, "200");
  Set(IDC_WIDTH, "500");
  ExpectSaveWritesPngOrNothing("after-ratios.png", 500, 200);
  EXPECT_EQ(program_.Close(), 0u);
}

// The widest pen and the largest marker a field takes, at every one of the
// 512 values, as the load left the width: the slowest paints of all.
TEST_F(SettingsSweep, WidestPensOnEveryValue) {
  ASSERT_EQ(program_.Text(IDC_WIDTH), "10250");
  Select(IDC_LINESTYLE, 3);
  Set(IDC_LINEWIDTH, "9999");
  Set(IDC_LINEWIDTH, "1");
  Select(IDC_POINTKIND, 1);
  Set(IDC_POINTSIZE, "9999");
  EXPECT_EQ(program_.Close(), 0u);
}

// Everything drawn, with the widest pens the spins offer, up to 9999 x 9999.
TEST_F(SettingsSweep, LargestImages) {
  Set(IDC_WIDTH, "300");
  Check(IDC_TRANSPARENT, false);
  Select(IDC_POINTKIND, 1);
  Set(IDC_LINEWIDTH, "100");
  Set(IDC_POINTSIZE, "100");
  Set(IDC_INTERVAL, "200");
  Set(IDC_YTICKUNIT, "1e-300");
  Set(IDC_RATIO, "1e308");
  for (int style = 0; style < 5; ++style) Select(IDC_LINESTYLE, style);
  Change(program_.MoveSlider(IDC_WIDTH_SLIDER, 1280), "width slider 1280");
  Change(program_.MoveSlider(IDC_HEIGHT_SLIDER, 1), "height slider 1");
  // Ordered so that only the last change paints the whole 9999 x 9999.
  const int sizes[][2] = {{9999, 1}, {1, 1}, {1, 9999}, {0, 9999}, {-999, 9999}, {-999, 1}, {9999, 9999}};
  for (const auto& size : sizes) {
    Set(IDC_WIDTH, std::to_string(size[0]));
    Set(IDC_HEIGHT, std::to_string(size[1]));
  }
  ExpectSaveWritesPngOrNothing("largest.png", 9999, 9999);
  // The 400 MB of that image go back once the image is small again.
  Set(IDC_WIDTH, "300");
  Set(IDC_HEIGHT, "200");
  const SIZE_T pagefile = ReadProcessFigures(program_.Process()).pagefileUsage;
  std::printf("pagefile back at 300 x 200: %zu KB\n", static_cast<size_t>(pagefile >> 10));
  EXPECT_LT(pagefile, SIZE_T{100} << 20);
  EXPECT_EQ(program_.Close(), 0u);
}

}  // namespace
