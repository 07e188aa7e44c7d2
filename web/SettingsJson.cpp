// The settings table and the line samples as the page reads them: one JSON
// text, so that the page's panel offers what the dialog offers and no
// range, name or limit is written in the page again.
#include <string>

#include "model/SettingText.h"
#include "model/SettingsTable.h"
#include "render/LineSamples.h"
#include "resources/resource.h"
#include "web/Handed.h"
#include "web/WebApi.h"

namespace {

const char* const kKindNames[] = {"integer", "number", "choice", "flag", "color"};
const char* const kEffectNames[] = {"", "rescale", "opaque"};

// The table's texts are plain ASCII names and the dialog's labels: nothing
// in them needs more escaping than this.
std::string Quoted(const char* text) {
  std::string quoted = "\"";
  for (; *text; ++text) {
    if (*text == '"' || *text == '\\') quoted += '\\';
    quoted += *text;
  }
  return quoted + "\"";
}

std::string Number(const char* name, int value) { return "\"" + std::string(name) + "\":" + std::to_string(value); }

std::string Names(const SettingRow& row) {
  std::string list = "[";
  for (int i = 0; i < ChoiceCount(row); ++i) list += (i ? "," : "") + Quoted(row.choices[i].name);
  return list + "]";
}

// Each item's labels in the page's languages, Japanese first.
std::string Labels(const SettingRow& row) {
  std::string list = "[";
  for (int i = 0; i < ChoiceCount(row); ++i) {
    list += (i ? ",[" : "[") + Quoted(row.choices[i].label) + "," + Quoted(row.choices[i].englishLabel) + "]";
  }
  return list + "]";
}

std::string Row(const SettingRow& row, const GraphSettings& start) {
  std::string json = "{" + Number("id", row.controlId) + ",\"kind\":" +
                     Quoted(kKindNames[static_cast<int>(row.kind)]) + ",\"option\":" + Quoted(row.option) +
                     ",\"default\":" + Quoted(SettingText(start, row).c_str());
  if (row.kind == SettingKind::Integer || row.kind == SettingKind::Choice) {
    json += "," + Number("lower", row.lower) + "," + Number("upper", row.upper);
  }
  // What the dialog's initialisation writes in a field: each spin its
  // position, the y tick unit its "%g", the ratio nothing.
  if (IsField(row.controlId)) {
    json += ",\"start\":" + Quoted(row.controlId == IDC_RATIO ? "" : SettingText(start, row).c_str());
  }
  if (row.choices) {
    json += ",\"choices\":" + Names(row) + ",\"labels\":" + Labels(row);
  }
  if (row.offOption) json += ",\"offOption\":" + Quoted(row.offOption);
  if (row.slider) json += "," + Number("slider", row.slider);
  if (row.locks) json += "," + Number("locks", row.locks);
  if (row.effect != SettingEffect::None) json += ",\"effect\":" + Quoted(kEffectNames[static_cast<int>(row.effect)]);
  return json + "}";
}

std::string Samples() {
  std::string json = "[";
  for (int i = 0; i < kLineStyleCount; ++i) {
    json += i ? ",[" : "[";
    for (int r = 0; r < kLineSamples[i].count; ++r) {
      const PixelRun& run = kLineSamples[i].runs[r];
      json += (r ? ",[" : "[") + std::to_string(run.first) + "," + std::to_string(run.last) + "]";
    }
    json += "]";
  }
  return json + "]";
}

std::string Describe() {
  const GraphSettings start = StartSettings();
  std::string json = "{" + Number("fieldDigits", kFieldDigits) + "," + Number("textLength", kTextFieldLength) +
                     "," + Number("sizeStep", kSizeStep) + "," + Number("sliderPage", kSliderPage) + "," +
                     Number("sliderMin", kSliderMin) + "," +
                     Number("sliderMax", kSliderMax) + ",\"settings\":[";
  for (int i = 0; i < kSettingCount; ++i) json += (i ? "," : "") + Row(kSettingRows[i], start);
  return json + "],\"lineSamples\":" + Samples() + "}";
}

}  // namespace

char* ZimbelSettings() {
  return Handed(Describe());
}
