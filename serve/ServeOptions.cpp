#include "serve/ServeOptions.h"

#include <cstring>

#include "cmdline/CommandLine.h"
#include "model/NumberText.h"
#include "model/SettingsTable.h"

namespace {

// Every option takes a value but --help and --version; a number's range is
// written here, once, for the command line and the documentation alike.
struct Option {
  char letter;
  const char* name;
  const char* value;  // empty for a flag
  const char* help;
  const char* byDefault;  // null: the number's default
  int ServeOptions::*number;
  int low;
  int high;
  bool (*set)(ServeOptions&, const char*, std::string&);
};

constexpr int kPortMax = 65535;
constexpr int kManyMax = 1 << 20;
// The largest picture either drawing library draws.
constexpr int kPixelsMax = kImageSizeMax * kImageSizeMax;

// HOST:PORT, HOST an address or a name, [V6]:PORT for an IPv6 address.
bool SetListen(ServeOptions& o, const char* text, std::string& error) {
  const std::string value = text;
  const size_t colon = value.rfind(':');
  std::string host = colon == std::string::npos ? "" : value.substr(0, colon);
  if (host.size() > 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
  int port = 0;
  if (host.empty() || !ParseWholeInt(value.c_str() + colon + 1, &port) || port < 0 || port > kPortMax) {
    error = "--listen: '" + value + "' is not HOST:PORT with a port from 0 to 65535";
    return false;
  }
  o.host = host;
  o.port = port;
  return true;
}

const Option kOptions[] = {
    {0, "listen", "ADDRESS", "HOST:PORT to listen on; port 0 picks a free one and prints it",
     "127.0.0.1:8016", nullptr, 0, 0, SetListen},
    {0, "root", "DIR", "the page's files", "the installed page", nullptr, 0, 0,
     [](ServeOptions& o, const char* text, std::string&) { o.root = text; return true; }},
    {'j', "jobs", "N", "pictures drawn at once", "one a core", &ServeOptions::jobs, 1, 256, nullptr},
    {0, "max-pixels", "N", "largest picture drawn, in pixels", nullptr, &ServeOptions::maxPixels, 1, kPixelsMax,
     nullptr},
    {0, "cache-size", "MIB", "recent pictures kept in memory, 0 for none", nullptr, &ServeOptions::cacheMiB, 0,
     kManyMax, nullptr},
    {0, "queue", "N", "pictures waiting to be drawn before a request gets 503", nullptr, &ServeOptions::queue, 1,
     kManyMax, nullptr},
    {0, "connections", "N", "connections open at once", nullptr, &ServeOptions::connections, 1, kManyMax, nullptr},
    {0, "per-address", "N", "connections from one address, 0 for no limit", nullptr, &ServeOptions::perAddress, 0,
     kManyMax, nullptr},
    {0, "timeout", "SECONDS", "time a client has to send its request, and an idle connection's life", nullptr,
     &ServeOptions::timeout, 1, 3600, nullptr},
    {'h', "help", "", "show this help and exit", nullptr, nullptr, 0, 0,
     [](ServeOptions& o, const char*, std::string&) { return o.help = true; }},
    {0, "version", "", "show the name and version and exit", nullptr, nullptr, 0, 0,
     [](ServeOptions& o, const char*, std::string&) { return o.version = true; }},
};

// The table as the reader sees it; the number's default is the one the
// options start from.
std::vector<CommandOption> CommandOptions() {
  const ServeOptions start;
  std::vector<CommandOption> options;
  for (const Option& option : kOptions) {
    CommandOption line;
    line.letter = option.letter;
    line.name = option.name;
    line.kind = option.number ? OptionKind::Int : *option.value ? OptionKind::Text : OptionKind::Flag;
    line.value = option.value;
    line.help = option.help;
    line.byDefault = option.byDefault ? option.byDefault : option.number ? std::to_string(start.*option.number) : "";
    line.low = option.low;
    line.high = option.high;
    line.file = std::strcmp(option.name, "root") == 0;
    options.push_back(line);
  }
  return options;
}

}  // namespace

const char kServeUsage[] = "usage: zimbelplot-serve [OPTION]...";

bool ParseServeOptions(int argc, const char* const* argv, ServeOptions& options, std::string& error) {
  const auto take = [&](size_t index, const OptionValue& value, std::string& refusal) {
    const Option& option = kOptions[index];
    if (option.set) return option.set(options, value.text, refusal);
    options.*option.number = value.whole;
    return true;
  };
  const auto operand = [](const char* text, std::string& refusal) {
    refusal = "unexpected argument '" + std::string(text) + "'";
    return false;
  };
  return ReadCommandLine(argc, argv, CommandOptions(), take, operand, error);
}

std::vector<OptionRow> ServeOptionRows() { return OptionRows(CommandOptions()); }

std::string ServeHelp() {
  std::string help = std::string(kServeUsage) +
                     "\n"
                     "Serves the zimbelplot page and the picture of every graph link:\n"
                     "GET /LINK.png or /LINK.svg, LINK the text the page puts after '#'.\n"
                     "\n"
                     "Options:\n";
  help += OptionHelpLines(ServeOptionRows());
  help += "\n"
          "Each request is one line on standard error. SIGTERM stops taking connections,\n"
          "lets the requests in flight finish and exits 0.\n";
  return help;
}
