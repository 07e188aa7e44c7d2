#pragma once
#include <string>
#include <vector>

#include "cmdline/OptionDocs.h"
#include "serve/Picture.h"

// One command line of zimbelplot-serve, understood.
struct ServeOptions {
  std::string host = "127.0.0.1";
  int port = 8016;  // 0: a free one, printed on start
  std::string root;  // empty: the installed page, or the build tree's
  int jobs = 0;      // drawing threads; 0: one a core
  int maxPixels = kMaxPixelsDefault;
  int cacheMiB = 64;
  int queue = 64;
  int connections = 1024;
  int perAddress = 256;  // 0: no limit
  int timeout = 10;
  bool help = false;
  bool version = false;
};

// False on a usage error, with what was wrong in `error`.
bool ParseServeOptions(int argc, const char* const* argv, ServeOptions& options, std::string& error);

// The option table as --help shows it, in the rows the manual page and the
// completion are written from.
std::vector<OptionRow> ServeOptionRows();
std::string ServeHelp();
extern const char kServeUsage[];
