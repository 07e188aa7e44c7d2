#pragma once
#include <string>
#include <vector>

// What the model asked of the window around it, in order.
struct HookCall {
  std::string name;
  std::string argument;
};
extern std::vector<HookCall> hookCalls;
