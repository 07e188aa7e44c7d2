// The C API and the page's part of the tool dialog: the fields' texts live
// here, and every text is parsed into its setting as the dialog's edits do.
#include "web/WebApi.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "model/AboutText.h"
#include "model/DataFileReader.h"
#include "model/FloatChars.h"
#include "model/GraphLink.h"
#include "model/GraphSnippet.h"
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

// A field's text as the dialog reads it, through a buffer of
// kTextFieldLength bytes and its NUL.
std::string FieldText(const char* text) { return std::string(text, strnlen(text, kTextFieldLength)); }

// The core writes a field as the dialog's own code does: the change handler
// runs before the page hears of it, and the page's edit then holds the text.
void WriteField(int editId, const char* text) {
  const std::string field = FieldText(text);
  ApplyFieldText(editId, field.c_str());
  NotifyFieldWritten(editId, field.c_str());
}

// The text a field shows for its setting exactly, so that it reads back as
// the same setting.
std::string ExactText(const SettingRow& row) {
  return row.kind == SettingKind::Number ? ShortestText(graphSettings.*row.number) : SettingText(graphSettings, row);
}

}  // namespace

void ShowLoadedWidth(int width) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", width);
  WriteField(IDC_WIDTH, text);
}

void ShowRatioText(const char* text) { WriteField(IDC_RATIO, text); }

void ShowToolDialog() { NotifyShowTool(); }

DataReader* ZimbelLoadBegin() { return new DataReader(); }

int ZimbelLoadMore(DataReader* reader, const unsigned char* bytes, int size) {
  if (!reader || size < 0 || (!bytes && size > 0)) return 1;
  return reader->Feed(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size));
}

void ZimbelLoadEnd(DataReader* reader, int complete) {
  const std::unique_ptr<DataReader> owned(reader);
  if (!owned || !complete) return;
  owned->Finish();
  LoadFedValues(owned->Values());
}

void ZimbelSetText(int editId, const char* text) {
  if (!IsField(editId) || !text) return;
  ApplyFieldText(editId, FieldText(text).c_str());
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

char* ZimbelFieldText(int editId) { return Handed(IsField(editId) ? ExactText(*FindSetting(editId)) : ""); }

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

char* ZimbelSnippet(int html, const char* server) {
  const std::string address = server ? server : "";
  return Handed(html ? HtmlSnippet(graphSettings, graphData, address)
                     : MarkdownSnippet(graphSettings, graphData, address));
}

int ZimbelOpenLink(const char* fragment) {
  return fragment && ReadLinkFragment(fragment, std::strlen(fragment), graphSettings, graphData);
}

char* ZimbelAboutText() { return Handed(AboutTitle()); }

char* ZimbelServerProduct() { return Handed(kServerProduct); }
