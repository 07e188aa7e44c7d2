#include "tests/model/RecordingHooks.h"

#include "model/ModelHooks.h"

std::vector<HookCall> hookCalls;

void ShowLoadedWidth(int width) { hookCalls.push_back({"width", std::to_string(width)}); }
void ShowRatioText(const char* text) { hookCalls.push_back({"ratio", text}); }
void ShowToolDialog() { hookCalls.push_back({"show", ""}); }
