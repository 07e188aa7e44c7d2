#pragma once

// What the core tells the page around it: on the page the module's
// callbacks (see WebApi.h), in the tests a record.
extern "C" {
void NotifyFieldWritten(int editId, const char* text);
void NotifyShowTool();
}
