#include "export/ExportBatch.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "export/OutputFile.h"
#include "export/WorkerPool.h"
#include "model/DataFileReader.h"
#include "model/GraphLink.h"
#include "model/GraphSnippet.h"
#include "model/GraphModel.h"
#include "render/PngRenderer.h"
#include "render/SvgSurface.h"
#include "resources/resource.h"

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

// A PNG is drawn here and encoded later, perhaps on other threads; an SVG is
// written out at once.
bool DrawPicture(PictureFormat format, const PngLook& look, const GraphSettings& s, const GraphData& d,
                 std::unique_ptr<PngDraft>& draft, std::string& picture, std::string& reason) {
  const auto size = [&](int64_t n) {
    return "an image of " + std::to_string(s.imageWidth * n) + " x " + std::to_string(s.imageHeight * n) + " pixels";
  };
  if (s.imageWidth < 1 || s.imageHeight < 1) {
    reason = "cannot draw: " + size(1) + " holds nothing";
    return false;
  }
  if (format == PictureFormat::Png) {
    reason.clear();
    draft = DrawPng(s, d, look, reason);
    if (draft) return true;
    reason = "cannot draw: " + (reason.empty() ? "cannot make " + size(look.scale) : reason);
    return false;
  }
  picture = SvgPicture(s, d);
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

// One input on its way through the batch.
struct Pending {
  std::string input;
  std::string output;
  FileIdentity target;  // the file the output names as this input is read
  bool targetFound = false;
  std::string failed;   // why reading or drawing failed
  GraphSettings settings;
  GraphData data;
  std::unique_ptr<PngDraft> draft;
  std::string picture;
  uint64_t pixels = 0;  // a PNG's, held until it is written
  PartedWork drawing;   // one part; it adds `encoding` once the picture is drawn
  PartedWork encoding;  // the PNG's bands
};

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

int DefaultJobs() { return std::max(1, static_cast<int>(std::thread::hardware_concurrency())); }

// The batch as a pipeline of three steps over pictures in input order:
// Read takes the next input on the calling thread, Draw draws and encodes
// it on the pool, Write checks and writes the oldest picture on the calling
// thread once its work is done. At most `window_` pictures, and no more
// than kPixelsDrawnAtOnce pixels (or the one largest picture), wait between Read
// and Write; each holds two works of the pool at most.
class Batch {
 public:
  explicit Batch(const ExportOptions& options)
      : options_(options),
        cores_(options.jobs > 0 ? options.jobs : DefaultJobs()),
        // One picture a core and one more being read; on one core each is
        // written before the next input is read, as a plain loop would.
        window_(cores_ == 1 ? 1 : static_cast<size_t>(cores_) + 1),
        pool_(cores_, kWorksPerPicture * static_cast<int>(window_)),
        progress_(options.inputs.size()) {}

  // The pool's threads may still hold a picture's work: each is waited for
  // before the pictures go.
  ~Batch() {
    for (const auto& p : pending_) {
      pool_.Wait(p->drawing);
      pool_.Wait(p->encoding);
    }
  }
  Batch(const Batch&) = delete;
  Batch& operator=(const Batch&) = delete;

  int Run() {
    for (size_t i = 0; i < options_.inputs.size(); ++i) {
      const std::string& input = options_.inputs[i];
      progress_.Show(i, input);
      MakeRoom(0);
      if (!ReadableAhead(input)) WriteAll();
      try {
        if (Pending* p = Read(input)) Draw(*p);
      } catch (const std::bad_alloc&) {
        WriteAll();
        Report(Shown(input, "standard input") + ": out of memory");
      }
    }
    WriteAll();
    return status_;
  }

 private:
  static constexpr int kWorksPerPicture = 2;  // its drawing, then its encoding's bands

  // What a one-core batch would read: an input that a waiting picture may
  // replace is read only once the pictures before it are written. That is
  // an input that does not exist yet, or the very file a waiting output
  // names.
  bool ReadableAhead(const std::string& input) const {
    if (pending_.empty() || input == "-") return true;
    FileIdentity identity;
    if (!IdentifyFile(input, identity)) return false;
    for (const auto& p : pending_) {
      if (p->targetFound && p->target == identity) return false;
    }
    return true;
  }

  // One input from the start-up state and the options, up to what its
  // picture is drawn from, queued for writing; null where reading failed
  // (the failure waits its turn to be reported).
  Pending* Read(const std::string& input) {
    auto owned = std::make_unique<Pending>();
    Pending& p = *owned;
    p.input = input;
    p.output = OutputFor(options_, input);
    p.targetFound = p.output != "-" && IdentifyFile(p.output, p.target);
    p.settings = options_.settings;
    std::string reason;
    const bool read = Load(p.input, p.settings, p.data, reason);
    if (read) {
      // The load sets the width for the data, as in the window; a given
      // width is then typed over it.
      if (options_.Given(IDC_WIDTH)) p.settings.imageWidth = options_.settings.imageWidth;
      const uint64_t scale = static_cast<uint64_t>(options_.look.scale);
      const uint64_t pixels = static_cast<uint64_t>(std::max(p.settings.imageWidth, 0)) *
                              static_cast<uint64_t>(std::max(p.settings.imageHeight, 0)) * scale * scale;
      MakeRoom(pixels);
      if (options_.format == PictureFormat::Png) p.pixels = pixels;
    } else {
      p.failed = Shown(p.input, "standard input") + ": " + reason;
    }
    pending_.push_back(std::move(owned));
    heldPixels_ += p.pixels;
    return read ? &p : nullptr;
  }

  void Draw(Pending& p) {
    if (!kPngDrawnOnAnyThread && options_.format == PictureFormat::Png) return DrawAndQueueBands(p);
    p.drawing.parts = 1;
    p.drawing.runPart = [this, &p](int) { DrawAndQueueBands(p); };
    pool_.Add(p.drawing);
  }

  // On whichever thread takes it; the PNG's bands then go to the pool.
  // Never throws.
  void DrawAndQueueBands(Pending& p) {
    try {
      std::string reason;
      if (!DrawPicture(options_.format, options_.look, p.settings, p.data, p.draft, p.picture, reason)) {
        p.failed = Shown(p.input, "standard input") + ": " + reason;
      }
    } catch (const std::bad_alloc&) {
      p.draft.reset();
      p.failed = Shown(p.input, "standard input") + ": out of memory";
    }
    PngDraft* draft = p.draft.get();
    if (!draft) return;
    p.encoding.parts = draft->Parts();
    p.encoding.runPart = [draft](int part) { draft->EncodePart(part); };
    pool_.Add(p.encoding);
  }

  // The oldest picture's turn, once its work is done: the identity check
  // first, as if nothing had been read yet, then what reading or drawing
  // found, then the write.
  void WriteOldest() {
    Pending& p = *pending_.front();
    pool_.Wait(p.drawing);
    pool_.Wait(p.encoding);
    std::string failed;
    bool exported = false;
    try {
      exported = Write(p, failed);
    } catch (const std::bad_alloc&) {
      failed = Shown(p.input, "standard input") + ": out of memory";
    }
    if (!exported) Report(failed);
    heldPixels_ -= p.pixels;
    pending_.pop_front();
  }

  // False with "NAME: reason".
  bool Write(Pending& p, std::string& failed) {
    if (WouldReplace(p.input, p.output, written_, failed)) return false;
    if (!p.failed.empty()) {
      failed = p.failed;
      return false;
    }
    std::string reason;
    if (p.draft && !p.draft->Finish(p.picture, reason)) {
      failed = Shown(p.input, "standard input") + ": cannot draw: " + reason;
      return false;
    }
    p.draft.reset();
    const bool saved =
        p.output == "-" ? WriteStandardOutput(p.picture, reason) : WriteWholeFile(p.output, p.picture, reason);
    if (!saved) {
      failed = Shown(p.output, "standard output") + ": cannot write: " + reason;
      return false;
    }
    FileIdentity identity;
    if (p.output != "-" && IdentifyFile(p.output, identity)) written_.push_back(identity);
    return true;
  }

  // Writes waiting pictures until one more of `pixels` may join them.
  void MakeRoom(uint64_t pixels) {
    while (!pending_.empty() && (pending_.size() + 1 > window_ || heldPixels_ + pixels > kPixelsDrawnAtOnce)) {
      WriteOldest();
    }
  }

  void WriteAll() {
    while (!pending_.empty()) WriteOldest();
  }

  void Report(const std::string& failed) {
    progress_.Clear();
    std::fprintf(stderr, "zimbelplot-export: %s\n", failed.c_str());
    status_ = kExportFileFailed;
  }

  const ExportOptions& options_;
  const int cores_;
  const size_t window_;
  WorkerPool pool_;
  std::deque<std::unique_ptr<Pending>> pending_;  // read, not yet written, in input order
  uint64_t heldPixels_ = 0;                       // the pending PNGs' pixels
  std::vector<FileIdentity> written_;
  Progress progress_;
  int status_ = kExportDone;
};

// Each input's link (the address of its picture on a zimbelplot-serve,
// made without the page) or snippet on a line of standard output, in input
// order.
int ExportLinks(const ExportOptions& options) {
  int status = kExportDone;
  for (const std::string& input : options.inputs) {
    GraphSettings s = options.settings;
    GraphData d;
    std::string reason;
    if (!Load(input, s, d, reason)) {
      std::fprintf(stderr, "zimbelplot-export: %s: %s\n", Shown(input, "standard input").c_str(), reason.c_str());
      status = kExportFileFailed;
      continue;
    }
    if (options.Given(IDC_WIDTH)) s.imageWidth = options.settings.imageWidth;
    const std::string line = options.format == PictureFormat::Markdown ? MarkdownSnippet(s, d, options.server)
                             : options.format == PictureFormat::Html   ? HtmlSnippet(s, d, options.server)
                                                                       : LinkFragment(s, d);
    std::printf("%s\n", line.c_str());
  }
  return std::fflush(stdout) == 0 ? status : kExportFileFailed;
}

}  // namespace

int ExportAll(const ExportOptions& options) {
  if (options.format >= PictureFormat::Link) return ExportLinks(options);
  return Batch(options).Run();
}
