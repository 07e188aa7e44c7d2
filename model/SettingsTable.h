#pragma once
#include "model/GraphModel.h"

// Every setting the tool dialog edits, once: the member it is, what the
// dialog offers for it and the long option the exporter names it by. The
// window, the page and the exporter all read it from here; a default is the
// member's value in StartSettings, never written again.

enum class SettingKind { Integer, Number, Choice, Flag, Color };

// What storing a setting asks of the settings around it.
enum class SettingEffect { None, Rescale, Opaque };

constexpr int kFieldDigits = 4;       // what an integer edit takes, typed
constexpr int kFieldMax = 9999;
constexpr int kTextFieldLength = 255;  // the free-text edits, and the buffer they are read through
constexpr int kSizeStep = 16;          // the size sliders' line and rounding
constexpr int kSliderMin = 1;
constexpr int kSliderMax = 1280;
constexpr int kImageSizeMax = 32767;   // as large as either drawing library draws

// Integer, Choice, Flag and Color settings as the int a control holds.
struct SettingAccess {
  int (*read)(const GraphSettings&);
  void (*write)(GraphSettings&, int);
};

struct SettingRow {
  int controlId;       // the tool dialog's control, 1000-1009 and 1020-1026
  SettingKind kind;
  const char* option;  // the exporter's long option
  SettingAccess access;            // all but Number
  double GraphSettings::*number;   // Number
  int lower;  // Integer: the spin's range; Choice: 0 to the last index
  int upper;
  int acceptedLower;  // Integer: what a command line may give
  int acceptedUpper;
  const char* const* choices;  // Choice: the exporter's names, in index order
  const char* const* labels;   // Choice: the dialog's item texts; null where it shows images
  const char* offOption;       // Flag: the option that turns it off, if any
  SettingEffect effect;        // a Flag rescales only when turned on
};

constexpr int kSettingCount = 17;
extern const SettingRow kSettingRows[kSettingCount];

// The row of a control; null for any other id.
const SettingRow* FindSetting(int controlId);
const SettingRow* FindOption(const char* option);

bool IsField(int controlId);  // edits 1000-1009
bool IsIntegerField(int controlId);
int ChoiceCount(const SettingRow& row);
