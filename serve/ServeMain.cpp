// zimbelplot-serve: the page, and the picture of every graph link, over HTTP.
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

#include "cmdline/CommandLine.h"
#include "model/AboutText.h"
#include "render/PngRenderer.h"
#include "serve/Answer.h"
#include "serve/HttpDaemon.h"
#include "serve/Readiness.h"
#include "serve/ServeOptions.h"

namespace {

// The page's files: where the install put them beside the program, or, for
// the program in its build tree, the page the same checkout builds.
std::string DefaultRoot() {
  char self[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  const std::string program = length > 0 ? std::string(self, static_cast<size_t>(length)) : "";
  if (program == ZIMBEL_SERVE_BUILT) return ZIMBEL_SERVE_BUILD_ROOT;
  return program.substr(0, program.find_last_of('/') + 1) + ZIMBEL_SERVE_ROOT;
}

// Every connection is a descriptor: --connections, not the shell's soft
// limit of 1024, is what bounds them.
void RaiseDescriptorLimit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= limit.rlim_max) return;
  limit.rlim_cur = limit.rlim_max;
  setrlimit(RLIMIT_NOFILE, &limit);
}

}  // namespace

int main(int argc, char** argv) {
  ServeOptions options;
  std::string error;
  if (!ParseServeOptions(argc, argv, options, error)) {
    ReportUsageError("zimbelplot-serve", kServeUsage, error);
    return 2;
  }
  if (options.help) {
    std::fputs(ServeHelp().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("%s\n", AboutText().c_str());
    return 0;
  }
  Site site;
  site.maxPixels = static_cast<uint64_t>(options.maxPixels);
  if (options.root.empty()) options.root = DefaultRoot();
  if (!LoadPage(options.root, site, error)) {
    std::fprintf(stderr, "zimbelplot-serve: %s\n", error.c_str());
    return 1;
  }
  // Every thread the server starts inherits the blocked signals, so only
  // sigwait below sees them; a peer gone mid-answer is an error, not a death.
  sigset_t stops;
  sigemptyset(&stops);
  sigaddset(&stops, SIGTERM);
  sigaddset(&stops, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stops, nullptr);
  signal(SIGPIPE, SIG_IGN);

  RaiseDescriptorLimit();
  StartPngRenderer();
  HttpDaemon daemon(options, site);
  if (!daemon.Start(error)) {
    std::fprintf(stderr, "zimbelplot-serve: %s\n", error.c_str());
    return 1;
  }
  std::printf("%s\n", daemon.Address().c_str());
  std::fflush(stdout);
  TellServiceManager("READY=1");
  int signal = 0;
  sigwait(&stops, &signal);
  TellServiceManager("STOPPING=1");
  daemon.Stop();
  StopPngRenderer();
  return 0;
}
