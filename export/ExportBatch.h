#pragma once
#include "export/ExportOptions.h"

// The exit statuses.
constexpr int kExportDone = 0;
constexpr int kExportFileFailed = 1;
constexpr int kExportUsageError = 2;

// Exports every input of `options`, each from the settings alone (nothing
// carries over from one file to the next), and reports each failure as one
// line on standard error. Returns kExportDone or kExportFileFailed.
int ExportAll(const ExportOptions& options);
