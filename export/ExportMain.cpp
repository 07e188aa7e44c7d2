// zimbelplot-export: the window's graph from the command line.
#include <cstdio>
#include <string>

#include "cmdline/CommandLine.h"
#include "export/ExportBatch.h"
#include "export/ExportOptions.h"
#include "model/AboutText.h"
#include "render/PngRenderer.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

// The drawing library for the whole run.
class PngRendering {
 public:
  PngRendering() { StartPngRenderer(); }
  ~PngRendering() { StopPngRenderer(); }
  PngRendering(const PngRendering&) = delete;
  PngRendering& operator=(const PngRendering&) = delete;
};

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // Pictures and data pass through unchanged: no LF to CR LF, no Ctrl-Z end
  // (the reader does the text mode's work itself).
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stdin), _O_BINARY);
#endif
  ExportOptions options;
  std::string error;
  if (!ParseExportOptions(argc, argv, options, error)) {
    ReportUsageError("zimbelplot-export", kExportUsage, error);
    return kExportUsageError;
  }
  if (options.help) {
    std::fputs(ExportHelp().c_str(), stdout);
    return kExportDone;
  }
  if (options.version) {
    std::printf("%s\n", AboutText().c_str());
    return kExportDone;
  }
  PngRendering rendering;
  return ExportAll(options);
}
