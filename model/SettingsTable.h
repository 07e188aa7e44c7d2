#pragma once
#include "model/GraphModel.h"

// Every setting the tool dialog edits, once: the member it is, where it
// starts, what the dialog offers for it, the long option the exporter and a
// link name it by, and what changing it does to the others. The window, the
// page and the exporter all read it from here; StartSettings takes each
// start value from its row.

enum class SettingKind { Integer, Number, Choice, Flag, Color };

// What storing a setting asks of the settings around it.
enum class SettingEffect { None, Rescale, Opaque };

constexpr int kFieldDigits = 4;       // what an integer edit takes, typed
constexpr int kFieldMax = 9999;
constexpr int kTextFieldLength = 255;  // the free-text edits, and the buffer they are read through
constexpr int kSizeStep = 16;          // the size sliders' line and rounding
constexpr int kSliderPage = 256;       // the page's size sliders' Page Up and Page Down
constexpr int kSliderMin = 1;
constexpr int kSliderMax = 1280;
constexpr int kImageSizeMax = 32767;   // as large as either drawing library draws

// A flag as the exporter's help and a link write it, off then on.
constexpr const char* kFlagTexts[2] = {"off", "on"};
// The one computed setting a link carries, under this key.
constexpr char kBaselineKey[] = "baseline";

// Integer, Choice, Flag and Color settings as the int a control holds.
struct SettingAccess {
  int (*read)(const GraphSettings&);
  void (*write)(GraphSettings&, int);
};

// One item of a list: the member's value, the exporter's name for it, the
// dialog's (or the page's accessible) label and the page's in English.
struct SettingChoice {
  int value;
  const char* name;
  const char* label;
  const char* englishLabel;
};

struct SettingRow {
  int controlId = 0;  // the tool dialog's control, 1000-1009 and 1020-1026
  SettingKind kind = SettingKind::Integer;
  const char* option = "";  // the exporter's long option and the link's key
  SettingAccess access{};                    // all but Number
  double GraphSettings::*number = nullptr;   // Number
  double start = 0.0;                // what StartSettings gives the member
  const char* startText = nullptr;   // --help's word for it where the number says nothing
  int lower = 0;  // Integer: the spin's range; Choice: 0 to the last index
  int upper = 0;
  int acceptedLower = 0;  // Integer: what a command line or a link may give
  int acceptedUpper = kFieldMax;
  const SettingChoice* choices = nullptr;  // Choice: in index order
  const char* help = "";          // what the exporter's --help says it is
  const char* offOption = nullptr;  // Flag: the option that turns it off, if any
  const char* offHelp = "";
  SettingEffect effect = SettingEffect::None;  // a Flag rescales only when turned on
  int slider = 0;  // Integer: the slider that shows the field, 0 for none
  int locks = 0;   // Flag: the field it makes read-only while on (and the
                   // exporter's option it excludes)

  // The parts a row is written with, each named where it is used.
  constexpr SettingRow Starts(double value) const { SettingRow r = *this; r.start = value; return r; }
  constexpr SettingRow StartsAs(const char* text) const { SettingRow r = *this; r.startText = text; return r; }
  constexpr SettingRow Spin(int low, int high) const {
    SettingRow r = *this;
    r.lower = low;
    r.upper = high;
    return r;
  }
  constexpr SettingRow Accepts(int low, int high) const {
    SettingRow r = *this;
    r.acceptedLower = low;
    r.acceptedUpper = high;
    return r;
  }
  constexpr SettingRow Help(const char* text) const { SettingRow r = *this; r.help = text; return r; }
  constexpr SettingRow Off(const char* name, const char* text) const {
    SettingRow r = *this;
    r.offOption = name;
    r.offHelp = text;
    return r;
  }
  constexpr SettingRow Effect(SettingEffect e) const { SettingRow r = *this; r.effect = e; return r; }
  constexpr SettingRow Slider(int id) const { SettingRow r = *this; r.slider = id; return r; }
  constexpr SettingRow Locks(int id) const { SettingRow r = *this; r.locks = id; return r; }
};

constexpr int kSettingCount = 17;
constexpr int kFieldCount = 10;  // the edits (Integer and Number), the first rows
extern const SettingRow kSettingRows[kSettingCount];

// The row of a control; null for any other id.
const SettingRow* FindSetting(int controlId);
// The row an option names, by its own name or its off option's.
const SettingRow* FindOption(const char* option);
// The row of the field a slider shows; null for any other id.
const SettingRow* FindSlider(int sliderId);

bool IsField(int controlId);  // an edit: an Integer or Number row
int FieldIndex(int controlId);  // a field's place among the first rows; -1 for any other id
int ChoiceCount(const SettingRow& row);
