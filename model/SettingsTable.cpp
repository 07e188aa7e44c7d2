#include "model/SettingsTable.h"

#include <cstring>
#include <iterator>
#include <type_traits>

#include "resources/resource.h"

namespace {

template <auto kMember>
constexpr SettingAccess Member() {
  using Type = std::remove_reference_t<decltype(std::declval<GraphSettings&>().*kMember)>;
  return {[](const GraphSettings& s) { return static_cast<int>(s.*kMember); },
          [](GraphSettings& s, int value) { s.*kMember = static_cast<Type>(value); }};
}

// The colours have no alpha: whatever a caller passes above 24 bits is dropped.
template <int kSlot>
constexpr SettingAccess Slot() {
  return {[](const GraphSettings& s) { return static_cast<int>(s.colors[kSlot]); },
          [](GraphSettings& s, int value) { s.colors[kSlot] = static_cast<Colorref>(value) & 0xFFFFFFu; }};
}

constexpr SettingRow Integer(int id, const char* option, SettingAccess access) {
  SettingRow row;
  row.controlId = id;
  row.option = option;
  row.access = access;
  return row;
}

constexpr SettingRow Number(int id, const char* option, double GraphSettings::*member) {
  SettingRow row;
  row.controlId = id;
  row.kind = SettingKind::Number;
  row.option = option;
  row.number = member;
  return row;
}

// The items must stand in the order of their values, which the list's index is.
template <int kCount>
constexpr bool InValueOrder(const SettingChoice (&choices)[kCount]) {
  for (int i = 0; i < kCount; ++i) {
    if (choices[i].value != i) return false;
  }
  return true;
}

template <int kCount>
constexpr SettingRow Choice(int id, const char* option, SettingAccess access, const SettingChoice (&choices)[kCount]) {
  SettingRow row = Integer(id, option, access).Spin(0, kCount - 1).Accepts(0, kCount - 1);
  row.kind = SettingKind::Choice;
  row.choices = choices;
  return row;
}

constexpr SettingRow Flag(int id, const char* option, SettingAccess access) {
  SettingRow row = Integer(id, option, access).Spin(0, 1).Accepts(0, 1);
  row.kind = SettingKind::Flag;
  return row;
}

constexpr SettingRow Color(int id, const char* option, SettingAccess access) {
  SettingRow row = Integer(id, option, access);
  row.kind = SettingKind::Color;
  return row;
}

constexpr SettingChoice kLineStyles[] = {
    {SolidLine, "solid", "実線", "Solid"},
    {DashLine, "dash", "破線", "Dash"},
    {DotLine, "dot", "点線", "Dot"},
    {DashDotLine, "dash-dot", "一点鎖線", "Dash-dot"},
    {DashDotDotLine, "dash-dot-dot", "二点鎖線", "Dash-dot-dot"},
};
constexpr SettingChoice kPointKinds[] = {{Circle, "circle", "●", "●"}, {Square, "square", "■", "■"}};
constexpr SettingChoice kShows[] = {{GraphOnly, "graph", "グラフのみ", "Graph only"},
                                    {AxesOnly, "axes", "座標軸のみ", "Axes only"},
                                    {GraphAndAxes, "both", "グラフと座標軸", "Graph and axes"}};
static_assert(InValueOrder(kLineStyles) && InValueOrder(kPointKinds) && InValueOrder(kShows),
              "a list's items in the order of their values");
static_assert(std::size(kLineStyles) == kLineStyleCount, "a name for every line style");

}  // namespace

// In control order, so that a control's row is found by its id. An image
// can be as wide as the data makes it, but never empty on a command line.
constexpr SettingRow kSettingRows[kSettingCount] = {
    Integer(IDC_WIDTH, "width", Member<&GraphSettings::imageWidth>())
        .Starts(0).StartsAs("as the data needs").Spin(0, 1280).Accepts(1, kImageSizeMax)
        .Slider(IDC_WIDTH_SLIDER).Help("image width"),
    Integer(IDC_HEIGHT, "height", Member<&GraphSettings::imageHeight>())
        .Starts(200).Spin(0, 1280).Accepts(1, kImageSizeMax)
        .Slider(IDC_HEIGHT_SLIDER).Effect(SettingEffect::Rescale).Help("image height"),
    Integer(IDC_LEFTMARGIN, "left-margin", Member<&GraphSettings::leftMargin>())
        .Starts(10).Spin(0, 256).Help("x of the first point"),
    Integer(IDC_VMARGIN, "vertical-margin", Member<&GraphSettings::verticalMargin>())
        .Starts(10).Spin(0, 256).Effect(SettingEffect::Rescale).Help("margin above and below the data"),
    Integer(IDC_LINEWIDTH, "line-width", Member<&GraphSettings::lineWidth>())
        .Starts(1).Spin(1, 100).Help("width of the line"),
    Integer(IDC_POINTSIZE, "point-size", Member<&GraphSettings::pointSize>())
        .Starts(4).Spin(0, 100).Help("size of the points, 0 for none"),
    Integer(IDC_INTERVAL, "point-interval", Member<&GraphSettings::pointInterval>())
        .Starts(20).Spin(1, 256).Help("pixels from one point to the next"),
    Integer(IDC_XTICK, "x-tick", Member<&GraphSettings::xTickInterval>())
        .Starts(1).Spin(0, 100).Help("X tick every N points, 0 for none"),
    Number(IDC_YTICKUNIT, "y-tick-unit", &GraphSettings::yTickUnit)
        .Starts(0.0).Help("data units from one Y tick to the next"),
    Number(IDC_RATIO, "ratio", &GraphSettings::ratio)
        .Starts(1.0).Help("vertical pixels per data unit"),
    Choice(IDC_LINESTYLE, "line-style", Member<&GraphSettings::lineStyle>(), kLineStyles).Starts(SolidLine),
    Color(IDC_BGCOLOR, "background", Slot<kBackgroundSlot>())
        .Starts(0xFFFFFF).Effect(SettingEffect::Opaque).Help("background colour"),
    Color(IDC_LINECOLOR, "line-color", Slot<kLineSlot>())
        .Starts(0x000000).Help("colour of the line and the points"),
    Flag(IDC_TRANSPARENT, "transparent", Member<&GraphSettings::transparent>())
        .Starts(true).Help("transparent background").Off("opaque", "background filled with its colour"),
    Flag(IDC_AUTORATIO, "auto-ratio", Member<&GraphSettings::autoRatio>())
        .Starts(false).Effect(SettingEffect::Rescale).Locks(IDC_RATIO)
        .Help("fit the data between the vertical margins"),
    Choice(IDC_POINTKIND, "point-kind", Member<&GraphSettings::pointKind>(), kPointKinds).Starts(Circle),
    Choice(IDC_DISPLAY, "show", Member<&GraphSettings::displayMode>(), kShows).Starts(GraphAndAxes),
};

namespace {

constexpr int RowIndex(int controlId) {
  for (int i = 0; i < kSettingCount; ++i) {
    if (kSettingRows[i].controlId == controlId) return i;
  }
  return -1;
}

// The fields come first, so that a field's row index is its edit's.
constexpr bool FieldsFirst() {
  for (int i = 0; i < kSettingCount; ++i) {
    const SettingRow& row = kSettingRows[i];
    const bool field = row.kind == SettingKind::Integer || row.kind == SettingKind::Number;
    if (field != (i < kFieldCount) || RowIndex(row.controlId) != i) return false;
  }
  return true;
}
static_assert(FieldsFirst(), "the kFieldCount fields first, then the other controls, each id once");

}  // namespace

const SettingRow* FindSetting(int controlId) {
  const int index = RowIndex(controlId);
  return index < 0 ? nullptr : &kSettingRows[index];
}

const SettingRow* FindOption(const char* option) {
  for (const SettingRow& row : kSettingRows) {
    if (std::strcmp(row.option, option) == 0 || (row.offOption && std::strcmp(row.offOption, option) == 0)) {
      return &row;
    }
  }
  return nullptr;
}

const SettingRow* FindSlider(int sliderId) {
  for (const SettingRow& row : kSettingRows) {
    if (sliderId != 0 && row.slider == sliderId) return &row;
  }
  return nullptr;
}

bool IsField(int controlId) {
  const int index = RowIndex(controlId);
  return index >= 0 && index < kFieldCount;
}

int FieldIndex(int controlId) { return IsField(controlId) ? RowIndex(controlId) : -1; }

int ChoiceCount(const SettingRow& row) { return row.kind == SettingKind::Choice ? row.upper + 1 : 0; }
