#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <set>
#include <string>
#include <tuple>

#include "resources/resource.h"
#include "tests/resources/ResourceReader.h"

namespace {

struct LineSample {
  int id;
  std::array<BYTE, 8> row;  // rows 7 and 8 from the top; all others are white
};

const LineSample kSamples[] = {
    {IDB_LINE_SOLID, {0x03, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xC0}},
    {IDB_LINE_DASH, {0x03, 0xFF, 0xFC, 0x7F, 0xFF, 0x1F, 0xFF, 0xC0}},
    {IDB_LINE_DOT, {0x03, 0x33, 0x33, 0x33, 0x33, 0x33, 0x33, 0x30}},
    {IDB_LINE_DASHDOT, {0x03, 0xFF, 0xE3, 0x1F, 0xFE, 0x31, 0xFF, 0xE0}},
    {IDB_LINE_DASHDOTDOT, {0x03, 0xFF, 0x99, 0x9F, 0xFC, 0xCC, 0xFF, 0xE0}},
};

std::array<BYTE, 176> ExpectedSampleBytes(const LineSample& sample) {
  std::array<BYTE, 176> bytes = {};
  BITMAPINFOHEADER header = {sizeof header, 64, 16, 1, 1, BI_RGB, 128, 0, 0, 0, 0};
  std::memcpy(bytes.data(), &header, sizeof header);
  const BYTE palette[8] = {0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0};  // white, black
  std::memcpy(bytes.data() + 40, palette, sizeof palette);
  // Rows run bottom-up: rows 8 and 7 from the top are stored 7th and 8th.
  std::memcpy(bytes.data() + 104, sample.row.data(), 8);
  std::memcpy(bytes.data() + 112, sample.row.data(), 8);
  return bytes;
}

using LineSampleBitmaps = ModuleTest;

TEST_P(LineSampleBitmaps, HoldTheirLineStyleAsHeaderPaletteAndRows) {
  for (const LineSample& sample : kSamples) {
    SCOPED_TRACE(sample.id);
    ResourceBytes bytes = FindResourceBytes(module_, RT_BITMAP, sample.id);
    ASSERT_NE(bytes.data, nullptr);
    ASSERT_EQ(bytes.size, 176u);
    std::array<BYTE, 176> actual;
    std::memcpy(actual.data(), bytes.data, actual.size());
    EXPECT_EQ(actual, ExpectedSampleBytes(sample));
  }
}

INSTANTIATE_FOR_MODULES(LineSampleBitmaps);

TEST(LineSampleBitmapsLoaded, AreSixtyFourBySixteen) {
  for (const LineSample& sample : kSamples) {
    HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(sample.id));
    ASSERT_NE(bitmap, nullptr) << sample.id;
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 64);
    EXPECT_EQ(info.bmHeight, 16);
    DeleteObject(bitmap);
  }
}

struct IconEntry {
  int size;
  DWORD bytes;
  int imageId;
};

const IconEntry kIconEntries[] = {{16, 1128, 1}, {32, 4264, 2}, {48, 9640, 3}};

using AppIcon = ModuleTest;

TEST_P(AppIcon, GroupListsThreeThirtyTwoBitImages) {
  ResourceBytes group = FindResourceBytes(module_, RT_GROUP_ICON, IDI_APP);
  ASSERT_NE(group.data, nullptr);
  TemplateReader reader(group);
  EXPECT_EQ(reader.Word(), 0) << "reserved";
  EXPECT_EQ(reader.Word(), 1) << "type: icon";
  ASSERT_EQ(reader.Word(), std::size(kIconEntries));
  for (const IconEntry& want : kIconEntries) {
    SCOPED_TRACE(want.size);
    EXPECT_EQ(reader.Byte(), want.size) << "width";
    EXPECT_EQ(reader.Byte(), want.size) << "height";
    EXPECT_EQ(reader.Byte(), 0) << "colour count";
    EXPECT_EQ(reader.Byte(), 0) << "reserved";
    EXPECT_EQ(reader.Word(), 1) << "planes";
    EXPECT_EQ(reader.Word(), 32) << "bit count";
    EXPECT_EQ(reader.Dword(), want.bytes);
    EXPECT_EQ(reader.Word(), want.imageId);
  }
  EXPECT_FALSE(reader.Overrun());
  EXPECT_EQ(reader.Offset(), group.size);
}

// Each image: header, BGRA pixels with a real alpha channel, and an AND mask
// that lets the screen through exactly where the picture is transparent.
TEST_P(AppIcon, ImagesHaveSoftAlphaAndAMatchingMask) {
  for (const IconEntry& want : kIconEntries) {
    SCOPED_TRACE(want.size);
    ResourceBytes image = FindResourceBytes(module_, RT_ICON, want.imageId);
    ASSERT_NE(image.data, nullptr);
    ASSERT_EQ(image.size, want.bytes);
    BITMAPINFOHEADER header;
    std::memcpy(&header, image.data, sizeof header);
    EXPECT_EQ(header.biSize, 40u);
    EXPECT_EQ(header.biWidth, want.size);
    EXPECT_EQ(header.biHeight, 2 * want.size) << "colour and mask together";
    EXPECT_EQ(header.biPlanes, 1);
    EXPECT_EQ(header.biBitCount, 32);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));

    const BYTE* pixels = image.data + 40;
    const int maskStride = (want.size + 31) / 32 * 4;
    ASSERT_EQ(40 + want.size * want.size * 4 + want.size * maskStride, static_cast<int>(want.bytes));
    const BYTE* mask = pixels + want.size * want.size * 4;
    int clear = 0, opaque = 0, soft = 0, maskMismatches = 0, offColour = 0;
    for (int y = 0; y < want.size; ++y) {
      for (int x = 0; x < want.size; ++x) {
        const BYTE* bgra = pixels + (y * want.size + x) * 4;
        BYTE alpha = bgra[3];
        bool maskSet = mask[y * maskStride + x / 8] & (0x80 >> (x % 8));
        maskMismatches += maskSet != (alpha == 0);
        if (alpha == 0) ++clear;
        else if (alpha == 255) ++opaque;
        else ++soft;
        // Violet-blue, about RGB 75, 0, 210, where the picture is solid.
        if (alpha == 255 && (std::abs(bgra[2] - 75) > 40 || bgra[1] > 40 || bgra[0] < 170))
          ++offColour;
      }
    }
    EXPECT_EQ(maskMismatches, 0);
    EXPECT_EQ(offColour, 0);
    EXPECT_GT(clear, want.size * want.size / 3) << "a transparent background";
    EXPECT_GT(opaque, want.size) << "a solid arrow";
    EXPECT_GT(soft, want.size) << "anti-aliased edges";
  }
}

INSTANTIATE_FOR_MODULES(AppIcon);

TEST(AppIconLoaded, PicksTheImageOfEachRequestedSize) {
  ResourceBytes group = FindResourceBytes(GetModuleHandleW(nullptr), RT_GROUP_ICON, IDI_APP);
  ASSERT_NE(group.data, nullptr);
  for (const IconEntry& want : kIconEntries) {
    int id = LookupIconIdFromDirectoryEx(const_cast<BYTE*>(group.data), TRUE, want.size,
                                         want.size, LR_DEFAULTCOLOR);
    EXPECT_EQ(id, want.imageId) << want.size;
  }
  EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APP)), nullptr);
}

// Every resource of the module, as (type, name, language).
using ResourceKey = std::tuple<ULONG_PTR, ULONG_PTR, WORD>;

BOOL CALLBACK AddLanguage(HMODULE, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR found) {
  reinterpret_cast<std::set<ResourceKey>*>(found)->emplace(
      reinterpret_cast<ULONG_PTR>(type), reinterpret_cast<ULONG_PTR>(name), language);
  return TRUE;
}

BOOL CALLBACK AddName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR found) {
  // Every resource here has a numeric type and name; a string one would not
  // match any expected key and so fail the comparison.
  EnumResourceLanguagesW(module, type, name, AddLanguage, found);
  return TRUE;
}

BOOL CALLBACK AddType(HMODULE module, LPWSTR type, LONG_PTR found) {
  EnumResourceNamesW(module, type, AddName, found);
  return TRUE;
}

using ResourceInventory = ModuleTest;

TEST_P(ResourceInventory, HoldsExactlyTheJapaneseResources) {
  std::set<ResourceKey> found;
  EnumResourceTypesW(module_, AddType, reinterpret_cast<LONG_PTR>(&found));
  const WORD japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
  EXPECT_EQ(japanese, 0x0411);
  auto key = [&](LPCSTR type, int name) {
    return ResourceKey(reinterpret_cast<ULONG_PTR>(type), name, japanese);
  };
  const std::set<ResourceKey> expected = {
      key(RT_ICON, 1),        key(RT_ICON, 2),     key(RT_ICON, 3),
      key(RT_GROUP_ICON, IDI_APP), key(RT_MENU, IDR_MAINMENU), key(RT_DIALOG, IDD_TOOL),
      key(RT_BITMAP, 104),    key(RT_BITMAP, 105), key(RT_BITMAP, 106),
      key(RT_BITMAP, 107),    key(RT_BITMAP, 108),
  };
  EXPECT_EQ(found, expected);
}

INSTANTIATE_FOR_MODULES(ResourceInventory);

}  // namespace
