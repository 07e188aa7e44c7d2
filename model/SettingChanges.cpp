#include "model/SettingChanges.h"

#include "model/NumberText.h"
#include "model/SettingsTable.h"
#include "model/VerticalScale.h"

bool StoreFieldText(GraphSettings& s, int controlId, const char* text) {
  const SettingRow* row = FindSetting(controlId);
  if (!row || !text) return false;
  switch (row->kind) {
    case SettingKind::Integer: row->access.write(s, ParseInt(text)); break;
    case SettingKind::Number: s.*row->number = ParseDouble(text); break;
    default: return false;
  }
  return row->effect == SettingEffect::Rescale;
}

bool StoreControlValue(GraphSettings& s, int controlId, int value) {
  const SettingRow* row = FindSetting(controlId);
  if (!row) return false;
  switch (row->kind) {
    case SettingKind::Choice:
      if (value < row->lower || value > row->upper) return false;
      break;
    case SettingKind::Flag: value = value != 0; break;
    case SettingKind::Color: break;
    default: return false;
  }
  row->access.write(s, value);
  if (row->effect == SettingEffect::Opaque) s.transparent = false;
  return row->effect == SettingEffect::Rescale && value != 0;
}

int SliderSize(int position) { return position - position % kSizeStep; }

void ApplyFieldText(int controlId, const char* text) {
  if (StoreFieldText(graphSettings, controlId, text)) RecalcRatio();
}

void ApplyControlValue(int controlId, int value) {
  if (StoreControlValue(graphSettings, controlId, value)) RecalcRatio();
}
