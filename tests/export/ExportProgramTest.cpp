// The native exporter as a user runs it: a separate process, its files, its
// exit status and its standard error.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cairo.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "model/GraphLink.h"

namespace {

namespace fs = std::filesystem;

struct Ran {
  int status = -1;
  std::string out;
  std::string err;
};

// The sanitizer build's exporter, or the one ZIMBEL_EXPORT names (the
// optimised one `make release` ships).
std::string Exporter() {
  const char* given = std::getenv("ZIMBEL_EXPORT");
  return given && *given ? given : ZIMBEL_EXPORT_PATH;
}

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
                                Exporter() + "' " + args + " >.out 2>.err";
    Ran run;
    const int result = std::system(command.c_str());
    run.status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    run.out = Read(".out");
    run.err = Read(".err");
    fs::remove(folder_ / ".out");
    fs::remove(folder_ / ".err");
    return run;
  }

  // Every pixel of a PNG as Cairo reads it back (premultiplied 0xAARRGGBB);
  // empty when unreadable.
  std::vector<std::vector<uint32_t>> Pixels(const std::string& name, int* width = nullptr) const {
    cairo_surface_t* image = cairo_image_surface_create_from_png((folder_ / name).c_str());
    std::vector<std::vector<uint32_t>> rows;
    if (cairo_surface_status(image) == CAIRO_STATUS_SUCCESS) {
      const int w = cairo_image_surface_get_width(image);
      const int stride = cairo_image_surface_get_stride(image);
      const unsigned char* data = cairo_image_surface_get_data(image);
      for (int y = 0; y < cairo_image_surface_get_height(image); ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        rows.emplace_back(row, row + w);
      }
      if (width) *width = w;
    }
    cairo_surface_destroy(image);
    return rows;
  }

  std::vector<std::vector<int>> Alpha(const std::string& name, int* width = nullptr) const {
    std::vector<std::vector<int>> rows;
    for (const auto& row : Pixels(name, width)) {
      rows.emplace_back();
      for (uint32_t pixel : row) rows.back().push_back(pixel >> 24);
    }
    return rows;
  }

  fs::path folder_;
};

// Values 1, 2, 3 fitted by the automatic ratio: markers centred on (10, 130),
// (30, 70) and (50, 10), the X axis on row 190, ticks from row 185 to 190.
// At scale N each picture pixel p is device pixels N p to N p + N - 1, and
// every one of them is where the picture pixel's geometry puts it.
TEST_F(ExportProgramTest, KnownGraphLandsOnTheWindowsPixelGridAtEveryScale) {
  ASSERT_EQ(Export("three.txt --auto-ratio").status, 0);
  ASSERT_EQ(Export("three.txt --auto-ratio --scale 1 -o one.png").status, 0);
  EXPECT_EQ(Read("three.png"), Read("one.png"));
  struct Coverage {
    double area, x, y;  // in the picture's own pixels
  };
  std::map<int, Coverage> around;
  for (int n = 1; n <= 3; ++n) {
    SCOPED_TRACE(n);
    const std::string name = "scaled" + std::to_string(n) + ".png";
    ASSERT_EQ(Export("three.txt --auto-ratio --scale " + std::to_string(n) + " -o " + name).status, 0);
    int width = 0;
    const auto alpha = Alpha(name, &width);
    ASSERT_EQ(width, 70 * n);
    ASSERT_EQ(alpha.size(), 200u * n);

    // Around each marker, what is drawn (the marker and the line's ends)
    // has the 1x picture's centre and N * N times its coverage.
    for (const auto& [cx, cy] : {std::pair{10, 130}, {30, 70}, {50, 10}}) {
      double sum = 0, sumX = 0, sumY = 0;
      for (int y = n * (cy - 5); y < n * (cy + 6); ++y) {
        for (int x = n * (cx - 5); x < n * (cx + 6); ++x) {
          sum += alpha[y][x], sumX += alpha[y][x] * (x + 0.5) / n, sumY += alpha[y][x] * (y + 0.5) / n;
        }
      }
      ASSERT_GT(sum, 0);
      if (n == 1) around[cx] = {sum, sumX / sum, sumY / sum};
      const Coverage& one = around[cx];
      EXPECT_NEAR(sumX / sum, one.x, 0.02) << cx << "," << cy;
      EXPECT_NEAR(sumY / sum, one.y, 0.02) << cx << "," << cy;
      EXPECT_NEAR(sum / (n * n), one.area, 0.02 * one.area) << cx << "," << cy;
    }
    // Past the last point only the axis: rows 190 N to 190 N + N - 1 whole,
    // their neighbours untouched.
    for (int x = 56 * n; x < 70 * n; ++x) {
      EXPECT_EQ(alpha[190 * n - 1][x], 0);
      for (int y = 190 * n; y < 191 * n; ++y) EXPECT_EQ(alpha[y][x], 255);
      EXPECT_EQ(alpha[191 * n][x], 0);
    }
    // A tick is N columns wide; the Y axis is columns 0 to N - 1 and stops
    // at the axis rows.
    for (int tick : {10, 30, 50}) {
      EXPECT_EQ(alpha[187 * n][tick * n - 1], 0);
      for (int x = tick * n; x < (tick + 1) * n; ++x) EXPECT_EQ(alpha[187 * n][x], 255);
      EXPECT_EQ(alpha[187 * n][(tick + 1) * n], 0);
    }
    for (int x = 0; x < n; ++x) EXPECT_EQ(alpha[100 * n][x], 255);
    EXPECT_EQ(alpha[100 * n][n], 0);
    EXPECT_EQ(alpha[195 * n][0], 0);
  }
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

  // The 1-pixel X axis covers row 190 alone and the Y axis column 0, as in
  // the PNG: whole coordinates are pixel centres there, edges in SVG.
  const size_t group = svg.find("<g transform=");
  ASSERT_NE(group, std::string::npos);
  double dx = 0, dy = 0;
  ASSERT_EQ(std::sscanf(svg.c_str() + group, "<g transform=\"translate(%lf %lf)\"", &dx, &dy), 2);
  EXPECT_NE(svg.find("<line x1=\"0\" y1=\"190\" x2=\"70\" y2=\"190\" stroke=\"#000000\" stroke-width=\"1\""),
            std::string::npos);
  EXPECT_EQ(190 + dy - 0.5, 190.0);
  EXPECT_EQ(0 + dx - 0.5, 0.0);

  // Described for a screen reader, in the words the page uses; a filled
  // background keeps its black in a dark scheme.
  const std::string text = "Line graph of 3 values, lowest 1, highest 3";
  EXPECT_NE(svg.find(" role=\"img\" aria-label=\"" + text + "\">\n<title>" + text + "</title>\n"),
            std::string::npos);
  EXPECT_EQ(count("prefers-color-scheme"), 0);
}

// For a dark page a transparent PNG draws its black in white, with the same
// coverage; a colour set other than black, and a filled picture, stay.
TEST_F(ExportProgramTest, DarkSchemePngDrawsBlackInWhite) {
  ASSERT_EQ(Export("three.txt --auto-ratio -o light.png").status, 0);
  ASSERT_EQ(Export("three.txt --auto-ratio --scheme dark -o dark.png").status, 0);
  ASSERT_EQ(Export("three.txt --auto-ratio --scheme dark --line-color '#1F4E9F' -o blue.png").status, 0);
  const auto light = Pixels("light.png");
  const auto dark = Pixels("dark.png");
  const auto blue = Pixels("blue.png");
  ASSERT_EQ(dark.size(), light.size());
  for (size_t y = 0; y < light.size(); ++y) {
    for (size_t x = 0; x < light[y].size(); ++x) {
      const uint32_t alpha = light[y][x] >> 24;
      ASSERT_EQ(dark[y][x], alpha * 0x01010101u) << x << "," << y;  // premultiplied white
    }
  }
  EXPECT_EQ(blue[190][60], 0xFFFFFFFFu);  // the axis
  EXPECT_EQ(blue[130][10], 0xFF1F4E9Fu);  // the first marker's centre
  ASSERT_EQ(Export("three.txt --opaque --scheme dark -o filled-dark.png").status, 0);
  ASSERT_EQ(Export("three.txt --opaque -o filled.png").status, 0);
  EXPECT_EQ(Read("filled-dark.png"), Read("filled.png"));
}

// On a transparent picture black follows a dark scheme; a colour the user
// set other than black does not.
TEST_F(ExportProgramTest, TransparentSvgFollowsADarkScheme) {
  ASSERT_EQ(Export("three.txt -o black.svg").status, 0);
  ASSERT_EQ(Export("three.txt --line-color '#1F4E9F' -o blue.svg").status, 0);
  ASSERT_EQ(std::system(("xmllint --noout '" + (folder_ / "black.svg").string() + "'").c_str()), 0);
  const std::string style =
      "<style>@media (prefers-color-scheme: dark) { [stroke=\"#000000\"] { stroke: #ffffff } [fill=\"#000000\"] {"
      " fill: #ffffff } }</style>";
  for (const char* name : {"black.svg", "blue.svg"}) EXPECT_NE(Read(name).find(style), std::string::npos) << name;
  EXPECT_NE(Read("blue.svg").find("<circle cx=\"10\" cy=\"189\" r=\"2\" fill=\"#1f4e9f\""), std::string::npos);
}

// Partly covered pixels at the edges of a coloured line on a transparent
// background carry the line's colour: neither premultiplied by their alpha nor
// with red and blue swapped.
TEST_F(ExportProgramTest, ColouredLineKeepsItsColourAtItsEdges) {
  ASSERT_EQ(Export("three.txt --auto-ratio --show graph --line-color '#1F4E9F' -o line.png").status, 0);
  int edges = 0;
  for (const auto& row : Pixels("line.png")) {
    for (uint32_t pixel : row) {
      const uint32_t a = pixel >> 24;
      if (a < 64) continue;
      // Cairo premultiplied what it read; undo it within its rounding.
      const int channels[3] = {static_cast<int>((pixel >> 16 & 0xFF) * 255 / a),
                               static_cast<int>((pixel >> 8 & 0xFF) * 255 / a), static_cast<int>((pixel & 0xFF) * 255 / a)};
      EXPECT_NEAR(channels[0], 0x1F, 4) << std::hex << pixel;
      EXPECT_NEAR(channels[1], 0x4E, 4) << std::hex << pixel;
      EXPECT_NEAR(channels[2], 0x9F, 4) << std::hex << pixel;
      edges += a < 255;
    }
  }
  EXPECT_GT(edges, 20);
}

// Dash-dot-dot along a flat line at row 190: a dash of three widths, then two
// dots of one width each, again and again.
TEST_F(ExportProgramTest, DashDotDotShowsItsDots) {
  Write("flat.txt", "0\n0\n");
  ASSERT_EQ(Export("flat.txt --point-interval 300 --point-size 0 --line-width 3 --line-style dash-dot-dot "
                   "--show graph").status, 0);
  const auto alpha = Alpha("flat.png");
  ASSERT_EQ(alpha.size(), 200u);
  std::vector<int> runs;
  int run = 0;
  for (int x = 10; x <= 310; ++x) {
    if (alpha[190][x] >= 128) {
      ++run;
    } else if (run > 0) {
      runs.push_back(run);
      run = 0;
    }
  }
  int dashes = 0, dots = 0;
  for (int length : runs) {
    dashes += length >= 8 && length <= 10;
    dots += length >= 2 && length <= 4;
  }
  EXPECT_GE(dashes, 11);
  EXPECT_GE(dots, 2 * dashes - 2);  // the last dash may end the line
  EXPECT_LE(dots, 2 * dashes + 2);
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
  fs::create_symlink("same.png", folder_ / "link.png");
  fs::create_hard_link(folder_ / "same.png", folder_ / "hard.png");
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
      {"same.png", 1, "zimbelplot-export: same.png: would overwrite the input itself\n", {}, {}},
      // The same file by another spelling, through a link, by another name.
      {"same.png -o ./same.png", 1, "zimbelplot-export: ./same.png: would overwrite the input itself\n", {}, {}},
      {"same.png -o b/../same.png", 1, "zimbelplot-export: b/../same.png: would overwrite the input itself\n", {},
       {}},
      {"same.png -o link.png", 1, "zimbelplot-export: link.png: would overwrite the input itself\n", {}, {}},
      {"same.png -o hard.png", 1, "zimbelplot-export: hard.png: would overwrite the input itself\n", {}, {}},
      {"three.txt ./three.txt", 1, "zimbelplot-export: ./three.png: would overwrite an earlier picture\n",
       {"three.png"}, {}},
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
    EXPECT_EQ(Read("same.png"), "1\n") << c.args;
  }
  EXPECT_TRUE(fs::is_symlink(folder_ / "link.png"));
}

// --format link: each input's link on a line of standard output, the graph
// the pictures would show (a given width kept), and no picture written; an
// input that fails is reported and the others still get their lines.
TEST_F(ExportProgramTest, LinkOfEachInputReadsBackAsItsGraph) {
  Write("two.txt", "5\n-1\n");
  Ran run = Export("--format link --width 300 three.txt missing.txt - <two.txt");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "zimbelplot-export: missing.txt: cannot read: No such file or directory\n");
  std::istringstream lines(run.out);
  const int counts[] = {3, 2};
  for (int count : counts) {
    std::string line;
    ASSERT_TRUE(std::getline(lines, line));
    GraphSettings s;
    GraphData d;
    ASSERT_TRUE(ReadLinkFragment(line.data(), line.size(), s, d)) << line;
    EXPECT_EQ(d.count, count);
    EXPECT_EQ(s.imageWidth, 300);
  }
  EXPECT_TRUE(lines.peek() == EOF);
  EXPECT_FALSE(Exists("three.png"));
}

// A snippet names the link's pictures on the server given, and says what
// the picture shows; a transparent one offers its dark PNGs to a dark page.
TEST_F(ExportProgramTest, SnippetsNameEachPictureWithItsTextAlternative) {
  const std::string link = Export("--format link three.txt").out;
  ASSERT_FALSE(link.empty());
  const std::string at = "http://h:1/" + link.substr(0, link.size() - 1);
  const std::string html = "http://h:1/z1&amp;width=70&amp;v=Hi4_&amp;c=" + link.substr(link.size() - 9, 8);
  const std::string alt = "Line graph of 3 values, lowest 1, highest 3";
  EXPECT_EQ(Export("--format markdown --server http://h:1 three.txt").out, "![" + alt + "](" + at + ".svg)\n");
  EXPECT_EQ(Export("--format html --server http://h:1/ three.txt").out,
            "<picture><source media=\"(prefers-color-scheme: dark)\" srcset=\"" + html + "-dark.png, " + html +
                "@2x-dark.png 2x, " + html + "@3x-dark.png 3x\"><img src=\"" + html + ".png\" srcset=\"" + html +
                "@2x.png 2x, " + html + "@3x.png 3x\" alt=\"" + alt + "\" width=\"70\" height=\"200\"></picture>\n");
  const std::string filled = Export("--format html --opaque three.txt").out;
  EXPECT_EQ(filled.compare(0, 5, "<img "), 0) << filled;
  EXPECT_EQ(filled.find("dark"), std::string::npos) << filled;
}

// Every file of a batch on several cores as on one: the same messages in the
// same order, the same exit status, the same bytes. Among them inputs that
// are pictures of the same batch, which must be read only once written.
TEST_F(ExportProgramTest, BatchOnManyCoresIsTheBatchOnOne) {
  std::string args;
  for (int f = 0; f < 12; ++f) {
    std::string values;
    for (int i = 0; i < 40 + f * 37; ++i) values += std::to_string((i * (f + 3)) % 17 - 8) + "\n";
    Write("d" + std::to_string(f) + ".txt", values);
    args += " d" + std::to_string(f) + ".txt";
    if (f == 2) args += " old.txt";
    if (f == 5) args += " new.txt";
    if (f == 8) args += " missing.txt folder.txt b/d1.txt";
  }
  fs::create_directory(folder_ / "folder.txt");
  fs::create_directory(folder_ / "b");
  Write("b/d1.txt", "5\n");
  fs::create_symlink("out/d2.png", folder_ / "old.txt");  // there before the batch
  fs::create_symlink("out/d5.png", folder_ / "new.txt");  // made by the batch
  auto run = [&](const char* jobs, std::map<std::string, std::string>& files) {
    fs::remove_all(folder_ / "out");
    fs::create_directory(folder_ / "out");
    Write("out/d2.png", "1\n2\n");
    Ran ran = Export(std::string(jobs) + args + " --width 3000 -o out/");
    for (const auto& entry : fs::directory_iterator(folder_ / "out")) files[entry.path().filename()] = Slurp(entry);
    return ran;
  };
  std::map<std::string, std::string> one, many;
  const Ran onOne = run("-j 1", one);
  const Ran onMany = run("-j 4", many);
  EXPECT_EQ(onOne.status, 1);
  EXPECT_EQ(std::count(onOne.err.begin(), onOne.err.end(), '\n'), 3) << onOne.err;
  EXPECT_EQ(onMany.status, onOne.status);
  EXPECT_EQ(onMany.err, onOne.err);
  EXPECT_EQ(one.size(), 14u);
  EXPECT_TRUE(many == one);
}

// One picture large enough for many bands has the same bytes however many
// cores compress it, and passes pngcheck.
TEST_F(ExportProgramTest, BandedPictureIsTheSameOnEveryCore) {
  std::string many;
  for (int i = 0; i < 512; ++i) many += std::to_string(i % 23 * 40) + "\n";
  Write("many.txt", many);
  const std::string options = "--auto-ratio --width 9000 --height 1500 --line-width 3 --background '#1F4E9F' many.txt";
  ASSERT_EQ(Export(options + " -j 1 -o one.png").status, 0);
  ASSERT_EQ(Export(options + " -j 3 -o three.png").status, 0);
  EXPECT_TRUE(Read("one.png") == Read("three.png"));
  EXPECT_EQ(std::system(("pngcheck -q '" + (folder_ / "three.png").string() + "' >/dev/null").c_str()), 0);
  int width = 0;
  EXPECT_EQ(Pixels("three.png", &width).size(), 1500u);
  EXPECT_EQ(width, 9000);
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

// A replaced picture keeps its mode; -o through a symbolic link writes the
// file it points at; a pipe stays a pipe; a link planted where the temporary
// file used to be is left alone.
TEST_F(ExportProgramTest, OnlyPlainFilesAreReplaced) {
  const fs::perms privately = fs::perms::owner_read | fs::perms::owner_write;
  Write("picture.png", "old picture");
  fs::permissions(folder_ / "picture.png", privately);
  ASSERT_EQ(Export("three.txt -o picture.png").status, 0);
  EXPECT_EQ(fs::status(folder_ / "picture.png").permissions(), privately);
  const std::string transparent = Read("picture.png");
  fs::create_symlink("picture.png", folder_ / "link.png");
  ASSERT_EQ(Export("three.txt --opaque -o link.png").status, 0);
  EXPECT_TRUE(fs::is_symlink(folder_ / "link.png"));
  EXPECT_NE(Read("picture.png"), transparent);
  EXPECT_EQ(fs::status(folder_ / "picture.png").permissions(), privately);

  ASSERT_EQ(mkfifo((folder_ / "pipe.png").c_str(), 0600), 0);
  // The reader gives up once the test is long over, should the pipe be lost.
  EXPECT_EQ(Export("three.txt -o pipe.png", "(timeout 60 cat pipe.png >/dev/null &);").status, 0);
  EXPECT_TRUE(fs::is_fifo(folder_ / "pipe.png"));

  // The exporter runs as the shell that plants the link, so it knows its
  // process id.
  Write("victim", "precious");
  const std::string command = "cd '" + folder_.string() +
                              "' && exec timeout -k 5 60 sh -c 'ln -s victim three.png.$$.tmp && exec \"$0\" "
                              "three.txt' '" + Exporter() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(Read("victim"), "precious");
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder_ / "three.png")));
}

}  // namespace
