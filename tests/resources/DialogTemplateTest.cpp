#include <windows.h>

#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "model/SettingsTable.h"
#include "resources/resource.h"
#include "tests/resources/ResourceReader.h"

namespace {

// Style words as the tool dialog needs them; the hex values are the truth.
constexpr DWORD kLabel = 0x50020000;       // WS_GROUP | SS_LEFT
constexpr DWORD kNumberEdit = 0x50812002;  // WS_BORDER | WS_TABSTOP | ES_NUMBER | ES_RIGHT
constexpr DWORD kTextEdit = 0x50810082;    // WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_RIGHT
constexpr DWORD kSpin = 0x500000B6;        // SETBUDDYINT ALIGNRIGHT AUTOBUDDY ARROWKEYS NOTHOUSANDS
constexpr DWORD kSlider = 0x50010018;      // WS_TABSTOP | TBS_BOTH | TBS_NOTICKS
constexpr DWORD kGroup = 0x50000007;       // BS_GROUPBOX
constexpr DWORD kCheck = 0x50010003;       // WS_TABSTOP | BS_AUTOCHECKBOX
constexpr DWORD kSwatch = 0x50001007;      // SS_BLACKFRAME | SS_SUNKEN, no SS_NOTIFY
constexpr DWORD kList = 0x50210003;        // WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST
constexpr DWORD kSortedList = 0x50210103;  // kList | CBS_SORT

constexpr const wchar_t* kButton = L"BUTTON";
constexpr const wchar_t* kEdit = L"EDIT";
constexpr const wchar_t* kStatic = L"STATIC";
constexpr const wchar_t* kCombo = L"COMBOBOX";
constexpr const wchar_t* kUpDown = L"msctls_updown32";
constexpr const wchar_t* kTrackbar = L"msctls_trackbar32";
constexpr const wchar_t* kComboEx = L"ComboBoxEx32";

struct ExpectedItem {
  int id;
  const wchar_t* className;
  const wchar_t* text;  // null: empty
  DWORD style;
  short x, y, cx, cy;
};

// Template order: also the z-order (each spin's buddy is the item before it)
// and the tab order.
const ExpectedItem kItems[] = {
    {-1, kStatic, L"幅", kLabel, 16, 19, 9, 8},
    {1000, kEdit, nullptr, kNumberEdit, 28, 16, 31, 14},
    {1010, kUpDown, L"Spin1", kSpin, 63, 16, 10, 14},
    {-1, kStatic, L"px", kLabel, 61, 19, 8, 8},
    {1018, kTrackbar, L"Slider1", kSlider, 70, 15, 59, 15},
    {-1, kStatic, L"高さ", kLabel, 11, 36, 14, 8},
    {1001, kEdit, nullptr, kNumberEdit, 28, 33, 31, 14},
    {1011, kUpDown, L"Spin1", kSpin, 63, 33, 10, 14},
    {-1, kStatic, L"px", kLabel, 61, 36, 8, 8},
    {1019, kTrackbar, L"Slider1", kSlider, 70, 32, 59, 15},
    {-1, kButton, L"画像サイズ", kGroup, 2, 3, 130, 51},
    {1022, kStatic, nullptr, kSwatch, 104, 121, 20, 20},
    {-1, kStatic, L"線幅", kLabel, 10, 126, 15, 8},
    {1004, kEdit, nullptr, kNumberEdit, 28, 123, 31, 14},
    {1014, kUpDown, L"Spin1", kSpin, 63, 123, 10, 14},
    {-1, kStatic, L"px", kLabel, 61, 126, 8, 8},
    {-1, kStatic, L"線種", kLabel, 10, 145, 15, 8},
    {1020, kComboEx, nullptr, kSortedList, 28, 141, 51, 100},
    {-1, kButton, L"線", kGroup, 2, 113, 130, 52},
    {-1, kStatic, L"線色", kLabel, 86, 126, 15, 8},
    {-1, kButton, L"余白・背景", kGroup, 2, 59, 130, 49},
    {-1, kStatic, L"左", kLabel, 17, 73, 8, 8},
    {1002, kEdit, nullptr, kNumberEdit, 28, 70, 31, 14},
    {1012, kUpDown, L"Spin1", kSpin, 63, 70, 10, 14},
    {-1, kStatic, L"px", kLabel, 61, 73, 8, 8},
    {-1, kStatic, L"上下", kLabel, 10, 90, 15, 8},
    {1003, kEdit, nullptr, kNumberEdit, 28, 88, 31, 14},
    {1013, kUpDown, L"Spin1", kSpin, 63, 88, 10, 14},
    {-1, kStatic, L"px", kLabel, 61, 90, 8, 8},
    {1021, kStatic, nullptr, kSwatch, 104, 68, 20, 20},
    {-1, kStatic, L"背景色", kLabel, 80, 73, 21, 8},
    {1023, kButton, L"透過", kCheck, 79, 92, 30, 10},
    {-1, kStatic, L"サイズ", kLabel, 5, 183, 20, 8},
    {1005, kEdit, nullptr, kNumberEdit, 28, 180, 31, 14},
    {1015, kUpDown, L"Spin1", kSpin, 63, 180, 10, 14},
    {-1, kStatic, L"px", kLabel, 61, 183, 8, 8},
    {-1, kStatic, L"点種", kLabel, 75, 183, 16, 8},
    {-1, kButton, L"点", kGroup, 2, 169, 130, 52},
    {1025, kCombo, nullptr, kList, 94, 179, 31, 65},
    {-1, kStatic, L"間隔", kLabel, 10, 203, 15, 8},
    {1006, kEdit, nullptr, kNumberEdit, 28, 199, 31, 14},
    {1016, kUpDown, L"Spin1", kSpin, 63, 199, 10, 14},
    {-1, kStatic, L"px", kLabel, 61, 203, 8, 8},
    {-1, kStatic, L"X軸目盛り間隔", kLabel, 9, 240, 44, 8},
    {1007, kEdit, nullptr, kNumberEdit, 56, 236, 31, 14},
    {1017, kUpDown, L"Spin1", kSpin, 91, 236, 10, 14},
    {-1, kStatic, L"px", kLabel, 89, 240, 8, 8},
    {-1, kStatic, L"Y軸目盛り単位", kLabel, 9, 259, 44, 8},
    {1008, kEdit, nullptr, kTextEdit, 56, 255, 68, 14},
    {-1, kButton, L"座標軸", kGroup, 2, 226, 130, 67},
    {-1, kStatic, L"表示", kLabel, 38, 277, 15, 8},
    {1026, kCombo, nullptr, kList, 56, 273, 67, 65},
    {-1, kStatic, L"比率", kLabel, 10, 312, 15, 8},
    {1009, kEdit, nullptr, kTextEdit, 28, 309, 68, 14},
    {1024, kButton, L"自動比率計算", kCheck, 28, 328, 57, 10},
    {-1, kButton, L"グラフ", kGroup, 2, 298, 130, 46},
};

// The dialog manager knows these four classes by their predefined atoms.
int PredefinedAtom(const std::wstring& className) {
  if (className == kButton) return 0x80;
  if (className == kEdit) return 0x81;
  if (className == kStatic) return 0x82;
  if (className == kCombo) return 0x85;
  return -1;
}

bool SameClassName(const std::wstring& a, const std::wstring& b) {
  // Window class names are case-insensitive, and the resource compiler
  // stores them upper-cased.
  return CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) ==
         CSTR_EQUAL;
}

using DialogTemplate = ModuleTest;

TEST_P(DialogTemplate, HeaderAndFontAreTheToolWindows) {
  ResourceBytes bytes = FindResourceBytes(module_, RT_DIALOG, IDD_TOOL);
  ASSERT_NE(bytes.data, nullptr);
  TemplateReader reader(bytes);
  EXPECT_EQ(reader.Word(), 1) << "dlgVer";
  EXPECT_EQ(reader.Word(), 0xFFFF) << "signature of an extended template";
  EXPECT_EQ(reader.Dword(), 0u) << "help ID";
  EXPECT_EQ(reader.Dword(), 0x00000080u) << "extended style: tool window only";
  EXPECT_EQ(reader.Dword(), 0x80C800C0u) << "style: hidden, relative to the owner";
  EXPECT_EQ(reader.Word(), 56) << "item count";
  EXPECT_EQ(reader.Short(), 300);
  EXPECT_EQ(reader.Short(), 0);
  EXPECT_EQ(reader.Short(), 135);
  EXPECT_EQ(reader.Short(), 352);
  NameOrOrdinal menu = reader.NameOrOrd();
  EXPECT_TRUE(menu.ordinal == -1 && menu.name.empty()) << "no menu";
  NameOrOrdinal windowClass = reader.NameOrOrd();
  EXPECT_TRUE(windowClass.ordinal == -1 && windowClass.name.empty()) << "standard dialog class";
  EXPECT_EQ(reader.String(), L"ツール");
  EXPECT_EQ(reader.Word(), 9) << "point size";
  EXPECT_EQ(reader.Word(), 0) << "weight";
  EXPECT_EQ(reader.Byte(), 0) << "italic";
  EXPECT_EQ(reader.Byte(), 1) << "character set";
  EXPECT_EQ(reader.String(), L"ＭＳ Ｐゴシック");
  EXPECT_FALSE(reader.Overrun());
}

TEST_P(DialogTemplate, ItemsMatchTheLayoutTable) {
  ResourceBytes bytes = FindResourceBytes(module_, RT_DIALOG, IDD_TOOL);
  ASSERT_NE(bytes.data, nullptr);
  TemplateReader reader(bytes);
  reader.Word(), reader.Word(), reader.Dword(), reader.Dword(), reader.Dword();
  ASSERT_EQ(reader.Word(), std::size(kItems));
  for (int i = 0; i < 4; ++i) reader.Short();
  reader.NameOrOrd(), reader.NameOrOrd(), reader.String();
  reader.Word(), reader.Word(), reader.Byte(), reader.Byte(), reader.String();

  int number = 0;
  for (const ExpectedItem& want : kItems) {
    SCOPED_TRACE(testing::Message() << "item " << ++number << ", ID " << want.id);
    reader.AlignDword();
    EXPECT_EQ(reader.Dword(), 0u) << "help ID";
    EXPECT_EQ(reader.Dword(), 0u) << "extended style";
    EXPECT_EQ(reader.Dword(), want.style) << std::hex;
    EXPECT_EQ(reader.Short(), want.x);
    EXPECT_EQ(reader.Short(), want.y);
    EXPECT_EQ(reader.Short(), want.cx);
    EXPECT_EQ(reader.Short(), want.cy);
    EXPECT_EQ(reader.Dword(), static_cast<DWORD>(want.id)) << "-1 is stored as 0xFFFFFFFF";
    NameOrOrdinal cls = reader.NameOrOrd();
    int atom = PredefinedAtom(want.className);
    if (atom >= 0) {
      EXPECT_EQ(cls.ordinal, atom) << "class stored as a predefined atom";
    } else {
      EXPECT_EQ(cls.ordinal, -1) << "class stored by name";
      EXPECT_TRUE(SameClassName(cls.name, want.className));
    }
    NameOrOrdinal text = reader.NameOrOrd();
    EXPECT_EQ(text.ordinal, -1);
    EXPECT_EQ(text.name, want.text ? want.text : L"");
    EXPECT_EQ(reader.Word(), 0) << "no creation data";
    ASSERT_FALSE(reader.Overrun());
  }
  EXPECT_LE(bytes.size - reader.Offset(), 3u) << "nothing after the last item";
}

// What the template itself says of a setting agrees with the setting's row:
// an integer field is a digits-only edit with its spin above it, a number
// field a free-text edit, and each list, box, swatch, slider and locked
// field is the control its row names.
TEST(DialogTemplateTable, EveryRowHasTheControlItsKindNeeds) {
  const auto item = [](int id) -> const ExpectedItem* {
    for (const ExpectedItem& it : kItems) {
      if (it.id == id) return &it;
    }
    return nullptr;
  };
  for (const SettingRow& row : kSettingRows) {
    SCOPED_TRACE(row.option);
    const ExpectedItem* control = item(row.controlId);
    ASSERT_NE(nullptr, control);
    switch (row.kind) {
      case SettingKind::Integer:
        EXPECT_EQ(kNumberEdit, control->style);
        ASSERT_NE(nullptr, item(row.controlId + 10));
        EXPECT_STREQ(kUpDown, item(row.controlId + 10)->className);
        break;
      case SettingKind::Number: EXPECT_EQ(kTextEdit, control->style); break;
      case SettingKind::Choice: EXPECT_TRUE(control->style == kList || control->style == kSortedList); break;
      case SettingKind::Flag: EXPECT_EQ(kCheck, control->style); break;
      case SettingKind::Color: EXPECT_EQ(kSwatch, control->style); break;
    }
    if (row.slider) {
      EXPECT_STREQ(kTrackbar, item(row.slider)->className);
    }
    if (row.locks) {
      EXPECT_STREQ(kEdit, item(row.locks)->className);
    }
  }
}

INSTANTIATE_FOR_MODULES(DialogTemplate);

}  // namespace
