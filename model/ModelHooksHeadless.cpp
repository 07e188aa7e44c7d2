// The model without a window: nothing to bring up to date.
#include "model/ModelHooks.h"

void ShowLoadedWidth(int) {}
void ShowRatioText(const char*) {}
void ShowToolDialog() {}
