// The C API and the page's part of the tool dialog: the fields' texts live
// here, and every text is parsed into its setting as the dialog's edits do.
#include "web/WebApi.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "model/AboutText.h"
#include "model/DataFileReader.h"
#include "model/GraphModel.h"
#include "model/ModelHooks.h"
#include "model/NumberText.h"
#include "model/VerticalScale.h"
#include "render/GraphRenderer.h"
#include "render/SvgSurface.h"
#include "resources/resource.h"
#include "web/PageEvents.h"

namespace {

constexpr int kEditCount = 10;
constexpr int kIntegerEdits = 8;
// The dialog reads a field through a buffer of this size.
constexpr size_t kFieldSize = 256;

int GraphSettings::*const kIntegerFields[kIntegerEdits] = {
    &GraphSettings::imageWidth,   &GraphSettings::imageHeight, &GraphSettings::leftMargin,
    &GraphSettings::verticalMargin, &GraphSettings::lineWidth, &GraphSettings::pointSize,
    &GraphSettings::pointInterval, &GraphSettings::xTickInterval,
};

struct Fields {
  char texts[kEditCount][kFieldSize];

  // What the dialog's initialisation writes from the start-up settings:
  // each spin its position, the y tick unit its "%g", the ratio nothing.
  Fields() {
    const GraphSettings start;
    for (int i = 0; i < kIntegerEdits; ++i) std::snprintf(texts[i], kFieldSize, "%d", start.*kIntegerFields[i]);
    FormatG(start.yTickUnit, texts[IDC_YTICKUNIT - IDC_WIDTH], kFieldSize);
    texts[IDC_RATIO - IDC_WIDTH][0] = '\0';
  }
};

Fields& TheFields() {
  static Fields fields;
  return fields;
}

bool IsEdit(int editId) { return editId >= IDC_WIDTH && editId < IDC_WIDTH + kEditCount; }

// Cut at the buffer's size, but never inside a UTF-8 character.
void Keep(int editId, const char* text) {
  char* field = TheFields().texts[editId - IDC_WIDTH];
  size_t length = std::strlen(text);
  if (length >= kFieldSize) {
    length = kFieldSize - 1;
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
  }
  std::memcpy(field, text, length);
  field[length] = '\0';
}

// The edit's change handler: the text is the setting, with its after-effects.
void Apply(int editId) {
  const char* text = TheFields().texts[editId - IDC_WIDTH];
  GraphSettings& s = graphSettings;
  if (editId < IDC_WIDTH + kIntegerEdits) {
    s.*kIntegerFields[editId - IDC_WIDTH] = ParseInt(text);
  } else if (editId == IDC_YTICKUNIT) {
    s.yTickUnit = ParseDouble(text);
  } else {
    s.ratio = ParseDouble(text);
  }
  if (editId == IDC_HEIGHT || editId == IDC_VMARGIN) RecalcRatio();
}

// The core writes a field as the dialog's own code does: the change handler
// runs before anyone else hears of it.
void WriteField(int editId, const char* text) {
  Keep(editId, text);
  Apply(editId);
  NotifyFieldWritten(editId, TheFields().texts[editId - IDC_WIDTH]);
}

std::string result;

}  // namespace

void ResetPageFields() { TheFields() = Fields(); }

void ShowLoadedWidth(int width) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", width);
  WriteField(IDC_WIDTH, text);
}

void ShowRatioText(const char* text) { WriteField(IDC_RATIO, text); }

void ShowToolDialog() { NotifyShowTool(); }

int ZimbelLoad(const unsigned char* bytes, int size) {
  if (size < 0 || (!bytes && size > 0)) return 0;
  ZimbelLoadBegin();
  ZimbelLoadMore(bytes, size);
  ZimbelLoadEnd();
  return 1;
}

void ZimbelLoadBegin() { BeginDataFeed(); }

int ZimbelLoadMore(const unsigned char* bytes, int size) {
  if (size < 0 || (!bytes && size > 0)) return 1;
  return FeedData(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size));
}

void ZimbelLoadEnd() { EndDataFeed(); }

void ZimbelSetText(int editId, const char* text) {
  if (!IsEdit(editId) || !text) return;
  Keep(editId, text);
  Apply(editId);
}

void ZimbelSetValue(int controlId, int value) {
  GraphSettings& s = graphSettings;
  switch (controlId) {
    case IDC_LINESTYLE:
      if (value >= 0 && value <= 4) s.lineStyle = value;
      break;
    case IDC_POINTKIND:
      if (value == Circle || value == Square) s.pointKind = static_cast<PointKind>(value);
      break;
    case IDC_DISPLAY:
      if (value >= GraphOnly && value <= GraphAndAxes) s.displayMode = static_cast<DisplayMode>(value);
      break;
    case IDC_TRANSPARENT:
      s.transparent = value != 0;
      break;
    case IDC_AUTORATIO:
      // Off keeps the last ratio until the user types another.
      s.autoRatio = value != 0;
      if (s.autoRatio) RecalcRatio();
      break;
    case IDC_BGCOLOR:
      s.backgroundColor() = static_cast<Colorref>(value) & 0xFFFFFFu;
      break;
    case IDC_LINECOLOR:
      s.lineColor() = static_cast<Colorref>(value) & 0xFFFFFFu;
      break;
  }
}

int ZimbelValue(int controlId) {
  GraphSettings& s = graphSettings;
  switch (controlId) {
    case IDC_LINESTYLE: return s.lineStyle;
    case IDC_POINTKIND: return s.pointKind;
    case IDC_DISPLAY: return s.displayMode;
    case IDC_TRANSPARENT: return s.transparent;
    case IDC_AUTORATIO: return s.autoRatio;
    case IDC_BGCOLOR: return static_cast<int>(s.backgroundColor());
    case IDC_LINECOLOR: return static_cast<int>(s.lineColor());
  }
  return 0;
}

const char* ZimbelFieldText(int editId) { return IsEdit(editId) ? TheFields().texts[editId - IDC_WIDTH] : ""; }

int ZimbelImageWidth() { return graphSettings.imageWidth; }
int ZimbelImageHeight() { return graphSettings.imageHeight; }

// The exporter's picture: never scrolled, whatever the view shows.
const char* ZimbelSvg() {
  const GraphSettings& s = graphSettings;
  result.clear();
  if (s.imageWidth < 1 || s.imageHeight < 1) return result.c_str();
  const ViewOffset shown = viewOffset;
  viewOffset = ViewOffset();
  SvgSurface svg(s.imageWidth, s.imageHeight);
  RenderImage(svg);
  viewOffset = shown;
  result = svg.Document();
  return result.c_str();
}

int ZimbelResultSize() { return static_cast<int>(result.size()); }

const char* ZimbelVersion() {
  static const std::string title = std::string(kAppName) + " " + kAppVersion;
  return title.c_str();
}
