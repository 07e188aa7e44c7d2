// Writes zimbelplot-serve's manual page and bash completion from the option
// table --help prints. Run at build time:
//   zimbelplot-serve-docs man TEMPLATE DATE OUTPUT
//   zimbelplot-serve-docs completion TEMPLATE OUTPUT
#include "cmdline/OptionDocs.h"
#include "serve/ServeOptions.h"

int main(int argc, char** argv) { return WriteOptionDocs(argc, argv, ServeOptionRows(), {}); }
