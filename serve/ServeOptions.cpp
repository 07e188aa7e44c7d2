#include "serve/ServeOptions.h"

#include <cstring>

#include "model/NumberText.h"
#include "model/SettingsTable.h"

namespace {

// Every option takes a value but --help and --version; a number's range is
// checked here, once, for the command line and the documentation alike.
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

const Option* Find(const std::string& arg) {
  for (const Option& option : kOptions) {
    if ((arg.size() == 2 && option.letter && arg[1] == option.letter) || arg == "--" + std::string(option.name)) {
      return &option;
    }
  }
  return nullptr;
}

bool SetOption(const Option& option, const char* text, ServeOptions& o, std::string& error) {
  if (option.set) return option.set(o, text, error);
  int value = 0;
  if (!ParseWholeInt(text, &value) || value < option.low || value > option.high) {
    error = "--" + std::string(option.name) + ": '" + text + "' is not a whole number from " +
            std::to_string(option.low) + " to " + std::to_string(option.high);
    return false;
  }
  o.*option.number = value;
  return true;
}

}  // namespace

const char kServeUsage[] = "usage: zimbelplot-serve [OPTION]...";

bool ParseServeOptions(int argc, const char* const* argv, ServeOptions& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    const size_t equals = arg.compare(0, 2, "--") == 0 ? arg.find('=') : std::string::npos;
    const char* inlineValue = equals == std::string::npos ? nullptr : argv[i] + equals + 1;
    if (inlineValue) arg.resize(equals);
    const Option* option = Find(arg);
    if (!option) {
      error = (arg.size() > 1 && arg[0] == '-' ? "unknown option '" : "unexpected argument '") + arg + "'";
      return false;
    }
    const bool flag = !*option->value;
    if (flag && inlineValue) {
      error = arg + " takes no value";
      return false;
    }
    if (!flag && !inlineValue && i + 1 >= argc) {
      error = arg + " needs a value";
      return false;
    }
    const char* text = flag ? "" : inlineValue ? inlineValue : argv[++i];
    if (!SetOption(*option, text, options, error)) return false;
  }
  return true;
}

std::vector<OptionRow> ServeOptionRows() {
  const ServeOptions start;
  std::vector<OptionRow> rows;
  for (const Option& option : kOptions) {
    std::string help = option.help;
    if (option.number) help += ", " + std::to_string(option.low) + "-" + std::to_string(option.high);
    if (option.byDefault) help += " (" + std::string(option.byDefault) + ")";
    else if (option.number) help += " (" + std::to_string(start.*option.number) + ")";
    rows.push_back({option.letter, option.name, option.value, help, {}, std::strcmp(option.name, "root") == 0});
  }
  return rows;
}

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
