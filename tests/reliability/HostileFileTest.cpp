// The data file reader on files a user should never have picked: each one
// either loads what the text rules make of it or leaves the graph as it was.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "model/DataFileReader.h"
#include "model/GraphModel.h"
#include "model/NumberText.h"
#include "tests/support/ResetGraphModel.h"

namespace {

// What a load may change; compared whole so that "unchanged" means unchanged.
struct GraphState {
  std::vector<double> values;
  double minValue;
  double maxValue;
  int imageWidth;
  double ratio;
  int baseline;

  static GraphState Now() {
    return {std::vector<double>(graphData.values, graphData.values + graphData.count),
            graphData.minValue, graphData.maxValue, graphSettings.imageWidth,
            graphSettings.ratio, graphSettings.baseline};
  }
  bool operator==(const GraphState& o) const {
    return values == o.values && minValue == o.minValue && maxValue == o.maxValue &&
           imageWidth == o.imageWidth && ratio == o.ratio && baseline == o.baseline;
  }
};

void PrintTo(const GraphState& s, std::ostream* os) {
  *os << "{count " << s.values.size() << ", min " << s.minValue << ", max " << s.maxValue
      << ", width " << s.imageWidth << ", ratio " << s.ratio << ", baseline " << s.baseline << "}";
}

std::vector<double> Loaded() { return GraphState::Now().values; }

bool WriteWide(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size();
  return CloseHandle(file) && ok;
}

// Files and folders live in the test's working folder and go away with the
// test, also when it fails. Names are wide so that the Japanese ones do not
// depend on the code page the test itself was compiled for.
class HostileFile : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGraphModel();
    // A loaded graph to lose: every failure below must leave it in place.
    std::wstring path = File(L"known.txt", "1\n2\n7\n");
    ASSERT_TRUE(LoadDataFile(Narrow(path).c_str()));
    known_ = GraphState::Now();
  }

  void TearDown() override {
    for (auto it = files_.rbegin(); it != files_.rend(); ++it) DeleteFileW(it->c_str());
    for (auto it = folders_.rbegin(); it != folders_.rend(); ++it) RemoveDirectoryW(it->c_str());
  }

  std::wstring File(const std::wstring& name, const std::string& bytes) {
    files_.push_back(name);
    EXPECT_TRUE(WriteWide(name, bytes)) << Narrow(name);
    return name;
  }

  std::wstring Folder(const std::wstring& name) {
    folders_.push_back(name);
    EXPECT_TRUE(CreateDirectoryW(name.c_str(), nullptr)) << Narrow(name);
    return name;
  }

  // The ANSI code page form the program receives from every road.
  static std::string Narrow(const std::wstring& wide) {
    int n = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &out[0], n, nullptr, nullptr);
    out.resize(n - 1);
    return out;
  }

  GraphState known_;
  std::vector<std::wstring> files_;
  std::vector<std::wstring> folders_;
};

TEST_F(HostileFile, PathsThatCannotBeReadLeaveTheGraph) {
  std::wstring folder = Folder(L"a folder.txt");
  const std::string cases[] = {
      "no such file.txt",
      "no such folder\\1.txt",
      Narrow(folder),
      Narrow(folder) + "\\",
      "",
      std::string(5000, 'x'),  // far past MAX_PATH: the reader has no limit of its own
  };
  for (const std::string& path : cases) {
    EXPECT_FALSE(LoadDataFile(path.c_str())) << path.substr(0, 80);
    EXPECT_EQ(GraphState::Now(), known_) << path.substr(0, 80);
  }
}

TEST_F(HostileFile, AnEmptyFileLoadsNoValuesAndKeepsTheLastRange) {
  std::wstring path = File(L"empty.txt", "");
  ASSERT_TRUE(LoadDataFile(Narrow(path).c_str()));
  EXPECT_TRUE(Loaded().empty());
  EXPECT_EQ(graphData.minValue, 1.0);
  EXPECT_EQ(graphData.maxValue, 7.0);
  EXPECT_EQ(graphSettings.imageWidth, graphSettings.leftMargin);
}

// 100 MB of digits and no line end: the reader cuts pieces of 255 characters
// and must stop after 512 of them, never reading (or allocating) the rest.
TEST_F(HostileFile, HundredMegabytesOfDigitsLoad512PiecesQuickly) {
  const std::wstring name = L"digits.txt";
  files_.push_back(name);
  HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  const std::string chunk(1 << 20, '1');
  for (int i = 0; i < 100; ++i) {
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &written, nullptr));
  }
  CloseHandle(file);

  auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(LoadDataFile(Narrow(name).c_str()));
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  EXPECT_LT(seconds, 2.0);
  const double piece = ParseDouble(std::string(255, '1').c_str());
  ASSERT_EQ(graphData.count, kMaxPoints);
  for (int i = 0; i < graphData.count; ++i) ASSERT_EQ(graphData.values[i], piece) << i;
  EXPECT_EQ(graphData.minValue, piece);
  EXPECT_EQ(graphData.maxValue, piece);
  EXPECT_EQ(graphSettings.imageWidth, 20 * kMaxPoints + 10);
}

// Random bytes: whatever comes out must be a well-formed load.
TEST_F(HostileFile, BinaryNoiseGivesAWellFormedLoad) {
  uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<char>(seed >> 24);
  };
  struct Noise {
    const wchar_t* name;
    bool withCtrlZ;
  };
  for (Noise noise : {Noise{L"noise.bin", true}, Noise{L"noise-no-eof.bin", false}}) {
    std::string bytes(1 << 20, '\0');
    for (char& c : bytes) {
      c = next();
      if (!noise.withCtrlZ && c == 0x1A) c = '7';
    }
    ResetGraphModel();
    ASSERT_TRUE(LoadDataFile(Narrow(File(noise.name, bytes)).c_str()));
    const int count = graphData.count;
    EXPECT_GE(count, 0);
    EXPECT_LE(count, kMaxPoints);
    if (!noise.withCtrlZ) {
      EXPECT_EQ(count, kMaxPoints);  // 1 MB holds far more than 512 lines
    }
    for (int i = 0; i < count; ++i) {
      EXPECT_TRUE(std::isfinite(graphData.values[i])) << i;
      EXPECT_LE(graphData.minValue, graphData.values[i]) << i;
      EXPECT_GE(graphData.maxValue, graphData.values[i]) << i;
    }
    EXPECT_EQ(graphSettings.imageWidth, 20 * count + 10);
    EXPECT_TRUE(std::isfinite(graphSettings.ratio));
  }
}

// UTF-16 is not the program's format: it is read as bytes. The BOM line holds
// no number, CR is followed by a NUL rather than LF so it stays in the line,
// and every later line begins with the NUL high byte of the one before.
TEST_F(HostileFile, Utf16WithBomReadsAsBytes) {
  std::string bytes = "\xFF\xFE";
  for (char c : std::string("1\r\n2\r\n3\r\n")) {
    bytes += c;
    bytes += '\0';
  }
  ASSERT_TRUE(LoadDataFile(Narrow(File(L"utf16.txt", bytes)).c_str()));
  EXPECT_EQ(Loaded(), (std::vector<double>{0, 0, 0, 0}));
  EXPECT_EQ(graphSettings.imageWidth, 20 * 4 + 10);
}

// Shift-JIS names, among them characters whose second byte is 0x5C, the
// backslash (ソ 83 5C, 表 95 5C, 能 94 5C): a path split on bytes would break
// there. And blanks, leading and doubled.
TEST_F(HostileFile, JapaneseAndBlankPathsLoad) {
  ASSERT_EQ(GetACP(), 932u) << "the tests run under the Japanese locale";
  std::wstring japaneseFolder = Folder(L"ソース表");
  std::wstring blankFolder = Folder(L"with  blanks");
  const std::wstring paths[] = {
      L"データ.txt",
      japaneseFolder + L"\\能力表ソ.txt",
      blankFolder + L"\\ a b .txt",
      L"グラフ のデータ.txt",
  };
  for (const std::wstring& path : paths) {
    ResetGraphModel();
    std::string narrow = Narrow(File(path, "4\n5\n6\n"));
    ASSERT_TRUE(LoadDataFile(narrow.c_str())) << narrow;
    EXPECT_EQ(Loaded(), (std::vector<double>{4, 5, 6})) << narrow;
  }
  // Shift-JIS bytes written in the source reach the same file.
  EXPECT_TRUE(LoadDataFile("\x83\x66\x81\x5B\x83\x5E.txt"));  // データ.txt
}

}  // namespace
