#include "web/PageEvents.h"

#include <emscripten/emscripten.h>

// A page that has not set a callback wants none.
EM_JS(void, NotifyFieldWritten, (int editId, const char* text), {
  if (Module.onFieldWritten) Module.onFieldWritten(editId, UTF8ToString(text));
});

EM_JS(void, NotifyShowTool, (), {
  if (Module.onShowTool) Module.onShowTool();
});
