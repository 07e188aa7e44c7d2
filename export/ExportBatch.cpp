#include "export/ExportBatch.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "export/OutputFile.h"
#include "model/DataFileReader.h"
#include "model/GraphModel.h"
#include "render/GraphRenderer.h"
#include "render/PngRenderer.h"
#include "render/SvgSurface.h"

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace {

const char kStdinName[] = "stdin";

std::string Stem(const std::string& input) {
  if (input == "-") return kStdinName;
  const size_t slash = input.find_last_of("/\\");
  std::string name = slash == std::string::npos ? input : input.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

// Beside the input (or to standard output for standard input), into the
// folder, or the one file named.
std::string OutputFor(const ExportOptions& options, const std::string& input) {
  const std::string extension = options.format == PictureFormat::Svg ? ".svg" : ".png";
  const std::string& out = options.output;
  if (!options.outputGiven) {
    if (input == "-") return "-";
    const size_t slash = input.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? "" : input.substr(0, slash + 1);
    return folder + Stem(input) + extension;
  }
  const bool endsWithSeparator = out.back() == '/' || out.back() == '\\';
  if (!endsWithSeparator && !IsFolder(out)) return out;
  return out + (endsWithSeparator ? "" : "/") + Stem(input) + extension;
}

// Reads the input as the window loads a file, into the settings and values
// of this one picture; false with the reason.
bool Load(const std::string& input, GraphSettings& s, GraphData& d, std::string& reason) {
  errno = 0;
  const bool loaded = input == "-" ? ReadDataStream(stdin, d) : ReadDataFile(input.c_str(), d);
  if (!loaded) {
    reason = std::string("cannot read: ") + (errno ? std::strerror(errno) : "read error");
    return false;
  }
  char ratioText[kRatioTextSize];
  FitToLoad(s, d, ratioText);
  return true;
}

bool Draw(PictureFormat format, const GraphSettings& s, const GraphData& d, std::string& picture,
          std::string& reason) {
  const std::string size = "an image of " + std::to_string(s.imageWidth) + " x " + std::to_string(s.imageHeight) +
                           " pixels";
  if (s.imageWidth < 1 || s.imageHeight < 1) {
    reason = "cannot draw: " + size + " holds nothing";
    return false;
  }
  if (format == PictureFormat::Png) {
    reason.clear();
    if (RenderPng(s, d, picture, reason)) return true;
    reason = "cannot draw: " + (reason.empty() ? "cannot make " + size : reason);
    return false;
  }
  SvgSurface svg(s.imageWidth, s.imageHeight);
  RenderImage(s, d, svg);
  picture = svg.Document();
  return true;
}

std::string Shown(const std::string& name, const char* standardName) {
  return name == "-" ? std::string(standardName) : name;
}

// Which file would be lost to the picture: the input itself, or a picture
// this batch wrote already (by any other name, a link included).
bool WouldReplace(const std::string& input, const std::string& output, const std::vector<FileIdentity>& written,
                  std::string& failed) {
  FileIdentity target;
  if (output == "-" || !IdentifyFile(output, target)) return false;
  FileIdentity source;
  const bool overInput = input != "-" && IdentifyFile(input, source) && source == target;
  const bool overEarlier = std::find(written.begin(), written.end(), target) != written.end();
  if (!overInput && !overEarlier) return false;
  failed = output + ": would overwrite " + (overInput ? "the input itself" : "an earlier picture");
  return true;
}

// One input from the options alone; false with "NAME: reason".
bool ExportOne(const ExportOptions& options, const std::string& input, std::vector<FileIdentity>& written,
               std::string& failed) {
  const std::string output = OutputFor(options, input);
  if (WouldReplace(input, output, written, failed)) return false;
  GraphSettings settings = options.settings;
  GraphData data;

  std::string reason;
  if (!Load(input, settings, data, reason)) {
    failed = Shown(input, "standard input") + ": " + reason;
    return false;
  }
  // The load sets the width for the data, as in the window; a given width is
  // then typed over it.
  if (options.widthGiven) settings.imageWidth = options.settings.imageWidth;
  std::string picture;
  if (!Draw(options.format, settings, data, picture, reason)) {
    failed = Shown(input, "standard input") + ": " + reason;
    return false;
  }
  const bool saved = output == "-" ? WriteStandardOutput(picture, reason) : WriteWholeFile(output, picture, reason);
  if (!saved) {
    failed = Shown(output, "standard output") + ": cannot write: " + reason;
    return false;
  }
  FileIdentity identity;
  if (output != "-" && IdentifyFile(output, identity)) written.push_back(identity);
  return true;
}

// "[3/100] name" on one line that each file overwrites, only on a terminal.
class Progress {
 public:
  explicit Progress(size_t total) : total_(total), shown_(total > 1 && isatty(fileno(stderr))) {}
  ~Progress() { Clear(); }
  void Show(size_t index, const std::string& input) {
    if (!shown_) return;
    Clear();
    std::string line = "[" + std::to_string(index + 1) + "/" + std::to_string(total_) + "] " + input;
    std::fputs(line.c_str(), stderr);
    width_ = line.size();
  }
  void Clear() {
    if (!shown_ || width_ == 0) return;
    std::fprintf(stderr, "\r%*s\r", static_cast<int>(width_), "");
    width_ = 0;
  }

 private:
  size_t total_;
  bool shown_;
  size_t width_ = 0;
};

}  // namespace

int ExportAll(const ExportOptions& options) {
  Progress progress(options.inputs.size());
  std::vector<FileIdentity> written;
  int status = kExportDone;
  for (size_t i = 0; i < options.inputs.size(); ++i) {
    progress.Show(i, options.inputs[i]);
    std::string failed;
    bool exported = false;
    try {
      exported = ExportOne(options, options.inputs[i], written, failed);
    } catch (const std::bad_alloc&) {
      failed = Shown(options.inputs[i], "standard input") + ": out of memory";
    }
    if (!exported) {
      progress.Clear();
      std::fprintf(stderr, "zimbelplot-export: %s\n", failed.c_str());
      status = kExportFileFailed;
    }
  }
  return status;
}
