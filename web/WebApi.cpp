// The C API and the page's part of the tool dialog: the fields' texts live
// here, and every text is parsed into its setting as the dialog's edits do.
#include "web/WebApi.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "model/AboutText.h"
#include "model/DataFileReader.h"
#include "model/FloatChars.h"
#include "model/GraphLink.h"
#include "model/GraphText.h"
#include "model/GraphModel.h"
#include "model/ModelHooks.h"
#include "model/SettingChanges.h"
#include "model/SettingText.h"
#include "model/SettingsTable.h"
#include "render/SvgSurface.h"
#include "resources/resource.h"
#include "web/Handed.h"
#include "web/PageEvents.h"

namespace {

// The dialog reads a field through a buffer of this size.
constexpr size_t kFieldSize = kTextFieldLength + 1;

struct Fields {
  char texts[kFieldCount][kFieldSize];

  // What the dialog's initialisation writes from the start-up settings:
  // each spin its position, the y tick unit its "%g", the ratio nothing.
  Fields() {
    const GraphSettings start = StartSettings();
    for (int i = 0; i < kFieldCount; ++i) {
      const SettingRow& row = kSettingRows[i];
      const std::string text = row.controlId == IDC_RATIO ? "" : SettingText(start, row);
      std::snprintf(texts[i], kFieldSize, "%s", text.c_str());
    }
  }

  char* Of(int editId) { return texts[FieldIndex(editId)]; }
};

Fields& TheFields() {
  static Fields fields;
  return fields;
}

// Cut at the buffer's size, but never inside a UTF-8 character.
void Keep(int editId, const char* text) {
  char* field = TheFields().Of(editId);
  size_t length = std::strlen(text);
  if (length >= kFieldSize) {
    length = kFieldSize - 1;
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
  }
  std::memcpy(field, text, length);
  field[length] = '\0';
}

// The edit's change handler: the text is the setting, with its after-effects.
void Apply(int editId) { ApplyFieldText(editId, TheFields().Of(editId)); }

// The core writes a field as the dialog's own code does: the change handler
// runs before anyone else hears of it.
void WriteField(int editId, const char* text) {
  Keep(editId, text);
  Apply(editId);
  NotifyFieldWritten(editId, TheFields().Of(editId));
}

// A file arriving slice by slice, from ZimbelLoadBegin to ZimbelLoadEnd.
DataReader& Feed() {
  static DataReader reader;
  return reader;
}

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

void ZimbelLoadBegin() { Feed() = DataReader(); }

int ZimbelLoadMore(const unsigned char* bytes, int size) {
  if (size < 0 || (!bytes && size > 0)) return 1;
  return Feed().Feed(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size));
}

void ZimbelLoadEnd() {
  Feed().Finish();
  LoadFedValues(Feed().Values());
}

void ZimbelSetText(int editId, const char* text) {
  if (!IsField(editId) || !text) return;
  Keep(editId, text);
  Apply(editId);
}

void ZimbelSetValue(int controlId, int value) { ApplyControlValue(controlId, value); }

int ZimbelValue(int controlId) {
  const SettingRow* row = FindSetting(controlId);
  return row && !IsField(controlId) ? row->access.read(graphSettings) : 0;
}

void ZimbelSetColorText(int controlId, const char* text) {
  Colorref color = 0;
  const SettingRow* row = FindSetting(controlId);
  if (row && row->kind == SettingKind::Color && text && ColorFromHex(text, color)) {
    ApplyControlValue(controlId, static_cast<int>(color));
  }
}

char* ZimbelColorText(int controlId) {
  const SettingRow* row = FindSetting(controlId);
  return Handed(row && row->kind == SettingKind::Color ? SettingText(graphSettings, *row) : "");
}

int ZimbelSliderSize(int position) { return SliderSize(position); }

char* ZimbelFieldText(int editId) { return Handed(IsField(editId) ? TheFields().Of(editId) : ""); }

int ZimbelImageWidth() { return graphSettings.imageWidth; }
int ZimbelImageHeight() { return graphSettings.imageHeight; }

// The exporter's picture: never scrolled, whatever the view shows.
char* ZimbelSvg() {
  const GraphSettings& s = graphSettings;
  if (s.imageWidth < 1 || s.imageHeight < 1) return Handed("");
  return Handed(SvgPicture(s, graphData));
}

char* ZimbelLink() { return Handed(LinkFragment(graphSettings, graphData)); }

char* ZimbelGraphText(int english) {
  return Handed(GraphText(graphData, english ? TextLanguage::English : TextLanguage::Japanese));
}


// A field shows its number exactly here, so that the text, read again as the
// dialog reads it, is still the setting the link gave.
int ZimbelOpenLink(const char* fragment) {
  if (!fragment || !ReadLinkFragment(fragment, std::strlen(fragment), graphSettings, graphData)) return 0;
  for (int i = 0; i < kFieldCount; ++i) {
    const SettingRow& row = kSettingRows[i];
    Keep(row.controlId, (row.kind == SettingKind::Number ? ShortestText(graphSettings.*row.number)
                                              : SettingText(graphSettings, row)).c_str());
  }
  return 1;
}

char* ZimbelAboutText() { return Handed(AboutTitle()); }
