// The native exporter as a user runs it: a separate process, its files, its
// exit status and its standard error.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cairo.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Ran {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Slurp(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

class ExportProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/zimbel-export-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    folder_ = name;
    Write("three.txt", "1\n2\n3\n");
  }
  void TearDown() override { fs::remove_all(folder_); }

  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(folder_ / name, std::ios::binary) << bytes;
  }
  bool Exists(const std::string& name) const { return fs::exists(folder_ / name); }
  std::string Read(const std::string& name) const { return Slurp(folder_ / name); }

  // Runs the exporter in the test's folder through the shell; `before` may
  // set limits first. A hung exporter is killed after a minute.
  Ran Export(const std::string& args, const std::string& before = "") const {
    const std::string command = "cd '" + folder_.string() + "' && " + before + " exec timeout -k 5 60 '" +
                                ZIMBEL_EXPORT_PATH + "' " + args + " >.out 2>.err";
    Ran run;
    const int result = std::system(command.c_str());
    run.status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    run.out = Read(".out");
    run.err = Read(".err");
    fs::remove(folder_ / ".out");
    fs::remove(folder_ / ".err");
    return run;
  }

  // Alpha of every pixel of a PNG, read back through Cairo; empty when unreadable.
  std::vector<std::vector<int>> Alpha(const std::string& name, int* width = nullptr) const {
    cairo_surface_t* image = cairo_image_surface_create_from_png((folder_ / name).c_str());
    std::vector<std::vector<int>> rows;
    if (cairo_surface_status(image) == CAIRO_STATUS_SUCCESS) {
      const int w = cairo_image_surface_get_width(image);
      const int stride = cairo_image_surface_get_stride(image);
      const unsigned char* data = cairo_image_surface_get_data(image);
      for (int y = 0; y < cairo_image_surface_get_height(image); ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        rows.emplace_back();
        for (int x = 0; x < w; ++x) rows.back().push_back(row[x] >> 24);
      }
      if (width) *width = w;
    }
    cairo_surface_destroy(image);
    return rows;
  }

  fs::path folder_;
};

// Values 1, 2, 3 fitted by the automatic ratio: markers centred on (10, 130),
// (30, 70) and (50, 10), the X axis on row 190, ticks from row 185 to 190.
TEST_F(ExportProgramTest, KnownGraphLandsOnTheWindowsPixelGrid) {
  ASSERT_EQ(Export("three.txt --auto-ratio").status, 0);
  int width = 0;
  const auto alpha = Alpha("three.png", &width);
  ASSERT_EQ(width, 70);
  ASSERT_EQ(alpha.size(), 200u);

  // The fully covered pixels of each marker lie symmetrically around its centre.
  for (const auto& [cx, cy] : {std::pair{10, 130}, {30, 70}, {50, 10}}) {
    int count = 0, sumX = 0, sumY = 0;
    for (int y = cy - 3; y <= cy + 3; ++y) {
      for (int x = cx - 3; x <= cx + 3; ++x) {
        if (alpha[y][x] == 255) ++count, sumX += x, sumY += y;
      }
    }
    ASSERT_GT(count, 0);
    EXPECT_EQ(sumX, cx * count) << cx << "," << cy;
    EXPECT_EQ(sumY, cy * count) << cx << "," << cy;
  }
  // Past the last point only the axis: row 190 whole, its neighbours untouched.
  for (int x = 56; x < 70; ++x) {
    EXPECT_EQ(alpha[189][x], 0);
    EXPECT_EQ(alpha[190][x], 255);
    EXPECT_EQ(alpha[191][x], 0);
  }
  // A tick is one column wide; the Y axis is column 0 and stops at the axis row.
  for (int tick : {10, 30, 50}) {
    EXPECT_EQ(alpha[187][tick], 255);
    EXPECT_EQ(alpha[187][tick - 1], 0);
    EXPECT_EQ(alpha[187][tick + 1], 0);
  }
  EXPECT_EQ(alpha[100][0], 255);
  EXPECT_EQ(alpha[100][1], 0);
  EXPECT_EQ(alpha[195][0], 0);
}

TEST_F(ExportProgramTest, SvgIsWellFormedWithTheGraphsElements) {
  ASSERT_EQ(Export("three.txt --auto-ratio --opaque --line-style dot -o three.svg").status, 0);
  ASSERT_EQ(std::system(("xmllint --noout '" + (folder_ / "three.svg").string() + "'").c_str()), 0);
  const std::string svg = Read("three.svg");
  auto count = [&](const std::string& what) {
    int n = 0;
    for (size_t at = svg.find(what); at != std::string::npos; at = svg.find(what, at + 1)) ++n;
    return n;
  };
  EXPECT_NE(svg.find("width=\"70\" height=\"200\""), std::string::npos);
  EXPECT_EQ(count("<rect width=\"70\" height=\"200\" fill=\"#ffffff\"/>"), 1);
  EXPECT_EQ(count("<line "), 5);  // two axes, three X ticks
  EXPECT_EQ(count("<circle "), 3);
  EXPECT_NE(svg.find("<circle cx=\"10\" cy=\"130\" r=\"2\""), std::string::npos);
  EXPECT_NE(svg.find("<polyline points=\"10,130 30,70 50,10\""), std::string::npos);
  EXPECT_NE(svg.find("stroke-dasharray=\"0 2\" stroke-linecap=\"round\""), std::string::npos);
}

// Also: an opaque picture keeps its alpha channel (colour type 6), as Save As does.
TEST_F(ExportProgramTest, StandardInputToStandardOutputIsTheSamePicture) {
  ASSERT_EQ(Export("--opaque three.txt -o file.png").status, 0);
  Ran piped = Export("--opaque - -o - <three.txt");
  EXPECT_EQ(piped.status, 0);
  EXPECT_EQ(piped.err, "");
  EXPECT_EQ(piped.out, Read("file.png"));
  ASSERT_GT(piped.out.size(), 25u);
  EXPECT_EQ(piped.out[25], 6);
}

struct Case {
  const char* args;
  int status;
  std::string err;  // standard error, exactly
  std::vector<const char*> written;
  std::vector<const char*> absent;
};

TEST_F(ExportProgramTest, ErrorsAndExitStatuses) {
  fs::create_directory(folder_ / "folder.txt");
  fs::create_directory(folder_ / "out");
  fs::create_directory(folder_ / "b");
  Write("b/three.txt", "4\n");
  Write("same.png", "1\n");
  const std::string usage =
      "usage: zimbelplot-export [OPTION]... FILE... [-o OUTPUT]\nTry 'zimbelplot-export --help' for more.\n";
  const Case cases[] = {
      {"three.txt -o out/", 0, "", {"out/three.png"}, {}},
      {"missing.txt three.txt folder.txt -o out/", 1,
       "zimbelplot-export: missing.txt: cannot read: No such file or directory\n"
       "zimbelplot-export: folder.txt: cannot read: Is a directory\n",
       {"out/three.png"}, {"out/missing.png", "out/folder.png"}},
      {"three.txt -o nowhere/three.png", 1,
       "zimbelplot-export: nowhere/three.png: cannot write: No such file or directory\n", {}, {"nowhere"}},
      {"three.txt b/three.txt -o out/", 1, "zimbelplot-export: out/three.png: would overwrite an earlier picture\n",
       {"out/three.png"}, {}},
      {"same.png", 1, "zimbelplot-export: same.png: would overwrite the input itself\n", {"same.png"}, {}},
      {"--left-margin 0 /dev/null -o out/empty.svg", 1,
       "zimbelplot-export: /dev/null: cannot draw: an image of 0 x 200 pixels holds nothing\n", {}, {"out/empty.svg"}},
      {"--width 12abc three.txt -o out/", 2,
       "zimbelplot-export: --width: '12abc' is not a whole number from 1 to 32767\n" + usage, {}, {"out/three.png"}},
      {"--point-interval 9999 --left-margin 9999 three.txt -o out/", 1,
       "zimbelplot-export: three.txt: cannot draw: cannot make an image of 39996 x 200 pixels\n", {}, {"out/three.png"}},
  };
  for (const Case& c : cases) {
    fs::remove_all(folder_ / "out");
    fs::create_directory(folder_ / "out");
    Ran run = Export(c.args);
    EXPECT_EQ(run.status, c.status) << c.args;
    EXPECT_EQ(run.err, c.err) << c.args;
    for (const char* name : c.written) EXPECT_TRUE(Exists(name)) << c.args << ": " << name;
    for (const char* name : c.absent) EXPECT_FALSE(Exists(name)) << c.args << ": " << name;
  }
}

// A write cut short by a file size limit keeps the old picture and leaves no
// temporary file; the next file of the batch is still written.
TEST_F(ExportProgramTest, FailedWriteLeavesNoPartialFile) {
  std::string many;
  for (int i = 0; i < 512; ++i) many += std::to_string(i % 7 * 13 - i % 5) + "\n";
  Write("many.txt", many);
  Write("many.png", "old picture");
  Ran run = Export("many.txt three.txt --opaque", "trap '' XFSZ; ulimit -f 8;");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "zimbelplot-export: many.png: cannot write: File too large\n");
  EXPECT_EQ(Read("many.png"), "old picture");
  EXPECT_TRUE(Exists("three.png"));
  for (const auto& entry : fs::directory_iterator(folder_)) {
    EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
  }
}

}  // namespace
