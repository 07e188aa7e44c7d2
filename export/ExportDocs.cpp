// Writes zimbelplot-export's manual page and bash completion from the option
// table --help prints. Run at build time:
//   zimbelplot-export-docs man TEMPLATE DATE OUTPUT
//   zimbelplot-export-docs completion TEMPLATE OUTPUT
#include <string>

#include "export/ExportOptions.h"
#include "cmdline/OptionDocs.h"
#include "model/GraphModel.h"

int main(int argc, char** argv) {
  return WriteOptionDocs(argc, argv, ExportOptionRows(), {{"@MAX_POINTS@", std::to_string(kMaxPoints)}});
}
