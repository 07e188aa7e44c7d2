#include "model/SettingsTable.h"

#include <cstring>
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
constexpr SettingAccess Color() {
  return {[](const GraphSettings& s) { return static_cast<int>(s.colors[kSlot]); },
          [](GraphSettings& s, int value) { s.colors[kSlot] = static_cast<Colorref>(value) & 0xFFFFFFu; }};
}

constexpr SettingRow Integer(int id, const char* option, SettingAccess access, int lower, int upper,
                             int acceptedLower = 0, int acceptedUpper = kFieldMax,
                             SettingEffect effect = SettingEffect::None) {
  return {id, SettingKind::Integer, option, access, nullptr, lower, upper, acceptedLower, acceptedUpper,
          nullptr, nullptr, nullptr, effect};
}

constexpr SettingRow Number(int id, const char* option, double GraphSettings::*member) {
  return {id, SettingKind::Number, option, {}, member, 0, 0, 0, 0, nullptr, nullptr, nullptr, SettingEffect::None};
}

template <int kCount>
constexpr SettingRow Choice(int id, const char* option, SettingAccess access, const char* const (&choices)[kCount],
                            const char* const* labels) {
  return {id, SettingKind::Choice, option, access, nullptr, 0, kCount - 1, 0, kCount - 1, choices, labels,
          nullptr, SettingEffect::None};
}

constexpr SettingRow Flag(int id, const char* option, SettingAccess access, const char* offOption,
                          SettingEffect effect) {
  return {id, SettingKind::Flag, option, access, nullptr, 0, 1, 0, 1, nullptr, nullptr, offOption, effect};
}

constexpr SettingRow ColorRow(int id, const char* option, SettingAccess access, SettingEffect effect) {
  return {id, SettingKind::Color, option, access, nullptr, 0, 0, 0, 0, nullptr, nullptr, nullptr, effect};
}

constexpr const char* kLineStyles[kLineStyleCount] = {"solid", "dash", "dot", "dash-dot", "dash-dot-dot"};
constexpr const char* kPointKinds[] = {"circle", "square"};
constexpr const char* kPointKindLabels[] = {"●", "■"};
constexpr const char* kShows[] = {"graph", "axes", "both"};
constexpr const char* kShowLabels[] = {"グラフのみ", "座標軸のみ", "グラフと座標軸"};

}  // namespace

// In control order, so that a control's row is found by its id. An image
// can be as wide as the data makes it, but never empty on a command line.
constexpr SettingRow kSettingRows[kSettingCount] = {
    Integer(IDC_WIDTH, "width", Member<&GraphSettings::imageWidth>(), 0, 1280, 1, kImageSizeMax),
    Integer(IDC_HEIGHT, "height", Member<&GraphSettings::imageHeight>(), 0, 1280, 1, kImageSizeMax,
            SettingEffect::Rescale),
    Integer(IDC_LEFTMARGIN, "left-margin", Member<&GraphSettings::leftMargin>(), 0, 256),
    Integer(IDC_VMARGIN, "vertical-margin", Member<&GraphSettings::verticalMargin>(), 0, 256, 0, kFieldMax,
            SettingEffect::Rescale),
    Integer(IDC_LINEWIDTH, "line-width", Member<&GraphSettings::lineWidth>(), 1, 100),
    Integer(IDC_POINTSIZE, "point-size", Member<&GraphSettings::pointSize>(), 0, 100),
    Integer(IDC_INTERVAL, "point-interval", Member<&GraphSettings::pointInterval>(), 1, 256),
    Integer(IDC_XTICK, "x-tick", Member<&GraphSettings::xTickInterval>(), 0, 100),
    Number(IDC_YTICKUNIT, "y-tick-unit", &GraphSettings::yTickUnit),
    Number(IDC_RATIO, "ratio", &GraphSettings::ratio),
    Choice(IDC_LINESTYLE, "line-style", Member<&GraphSettings::lineStyle>(), kLineStyles, nullptr),
    ColorRow(IDC_BGCOLOR, "background", Color<kBackgroundSlot>(), SettingEffect::Opaque),
    ColorRow(IDC_LINECOLOR, "line-color", Color<kLineSlot>(), SettingEffect::None),
    Flag(IDC_TRANSPARENT, "transparent", Member<&GraphSettings::transparent>(), "opaque", SettingEffect::None),
    Flag(IDC_AUTORATIO, "auto-ratio", Member<&GraphSettings::autoRatio>(), nullptr, SettingEffect::Rescale),
    Choice(IDC_POINTKIND, "point-kind", Member<&GraphSettings::pointKind>(), kPointKinds, kPointKindLabels),
    Choice(IDC_DISPLAY, "show", Member<&GraphSettings::displayMode>(), kShows, kShowLabels),
};

namespace {

constexpr int kFieldCount = IDC_RATIO - IDC_WIDTH + 1;

constexpr int RowIndex(int controlId) {
  if (controlId >= IDC_WIDTH && controlId <= IDC_RATIO) return controlId - IDC_WIDTH;
  if (controlId >= IDC_LINESTYLE && controlId <= IDC_DISPLAY) return kFieldCount + controlId - IDC_LINESTYLE;
  return -1;
}

constexpr bool EveryRowAtItsControl() {
  for (int i = 0; i < kSettingCount; ++i) {
    if (RowIndex(kSettingRows[i].controlId) != i) return false;
  }
  return RowIndex(IDC_DISPLAY) == kSettingCount - 1;
}
static_assert(EveryRowAtItsControl(), "one row for each of the controls 1000-1009 and 1020-1026, in order");

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

bool IsField(int controlId) { return controlId >= IDC_WIDTH && controlId <= IDC_RATIO; }

bool IsIntegerField(int controlId) {
  const SettingRow* row = FindSetting(controlId);
  return row && row->kind == SettingKind::Integer;
}

int ChoiceCount(const SettingRow& row) { return row.upper + 1; }
