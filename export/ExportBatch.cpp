#include "export/ExportBatch.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "export/OutputFile.h"
#include "export/WorkerPool.h"
#include "model/DataFileReader.h"
#include "model/GraphModel.h"
#include "render/GraphRenderer.h"
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
constexpr uint64_t kHeldBytes = uint64_t{512} << 20;

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
bool Draw(PictureFormat format, const GraphSettings& s, const GraphData& d, std::unique_ptr<PngDraft>& draft,
          std::string& picture, std::string& reason) {
  const std::string size = "an image of " + std::to_string(s.imageWidth) + " x " + std::to_string(s.imageHeight) +
                           " pixels";
  if (s.imageWidth < 1 || s.imageHeight < 1) {
    reason = "cannot draw: " + size + " holds nothing";
    return false;
  }
  if (format == PictureFormat::Png) {
    reason.clear();
    draft = DrawPng(s, d, reason);
    if (draft) return true;
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

// One input on its way: read in input order on the main thread, drawn and
// encoded on any, then checked and written in input order again.
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
  uint64_t pixelBytes = 0;
  PartedWork drawing;   // one part; it adds `encoding` once the picture is drawn
  PartedWork encoding;  // the PNG's bands
};

// What a one-core batch would read: an input that a waiting picture may
// replace is read only once the pictures before it are written. That is an
// input that does not exist yet, or the very file a waiting output names.
bool ReadableAhead(const std::string& input, const std::deque<std::unique_ptr<Pending>>& pending) {
  if (pending.empty() || input == "-") return true;
  FileIdentity identity;
  if (!IdentifyFile(input, identity)) return false;
  for (const auto& p : pending) {
    if (p->targetFound && p->target == identity) return false;
  }
  return true;
}

// One input from the start-up state and the options, up to what its picture
// is drawn from; false where reading failed. `makeRoom(bytes)` writes waiting
// pictures until one of `bytes` may join them.
bool Prepare(const ExportOptions& options, Pending& p, const std::function<void(uint64_t)>& makeRoom) {
  p.targetFound = p.output != "-" && IdentifyFile(p.output, p.target);
  p.settings = options.settings;

  std::string reason;
  if (!Load(p.input, p.settings, p.data, reason)) {
    p.failed = Shown(p.input, "standard input") + ": " + reason;
    return false;
  }
  // The load sets the width for the data, as in the window; a given width is
  // then typed over it.
  if (options.Given(IDC_WIDTH)) p.settings.imageWidth = options.settings.imageWidth;
  const uint64_t pixelBytes = 4 * static_cast<uint64_t>(std::max(p.settings.imageWidth, 0)) *
                              static_cast<uint64_t>(std::max(p.settings.imageHeight, 0));
  makeRoom(pixelBytes);
  if (options.format == PictureFormat::Png) p.pixelBytes = pixelBytes;
  return true;
}

// The drawing part of an input, on whichever thread takes it; its bands then
// go to the pool. Never throws.
void DrawPending(PictureFormat format, Pending& p, WorkerPool& pool) {
  try {
    std::string reason;
    if (!Draw(format, p.settings, p.data, p.draft, p.picture, reason)) {
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
  pool.Add(p.encoding);
}

// The input's turn, once its parts are encoded: the identity check first, as
// if nothing had been read yet, then what reading or drawing found, then the
// write. False with "NAME: reason".
bool Commit(Pending& p, std::vector<FileIdentity>& written, std::string& failed) {
  if (WouldReplace(p.input, p.output, written, failed)) return false;
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
  if (p.output != "-" && IdentifyFile(p.output, identity)) written.push_back(identity);
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

int DefaultJobs() { return std::max(1, static_cast<int>(std::thread::hardware_concurrency())); }

}  // namespace

int ExportAll(const ExportOptions& options) {
  const int cores = options.jobs > 0 ? options.jobs : DefaultJobs();
  // Pictures held at once: one a core and one more being drawn; on one core
  // each is written before the next input is read, as a plain loop would.
  const size_t window = cores == 1 ? 1 : static_cast<size_t>(cores) + 1;
  // Declared before the pool, which is gone (its threads joined) before
  // these are.
  std::deque<std::unique_ptr<Pending>> pending;
  // Each input waiting holds a drawing and an encoding.
  WorkerPool pool(cores, 2 * static_cast<int>(window));
  Progress progress(options.inputs.size());
  std::vector<FileIdentity> written;
  uint64_t heldBytes = 0;
  int status = kExportDone;

  auto report = [&](const std::string& failed) {
    progress.Clear();
    std::fprintf(stderr, "zimbelplot-export: %s\n", failed.c_str());
    status = kExportFileFailed;
  };
  auto commitOldest = [&] {
    Pending& p = *pending.front();
    pool.Wait(p.drawing);
    pool.Wait(p.encoding);
    std::string failed;
    bool exported = false;
    try {
      exported = Commit(p, written, failed);
    } catch (const std::bad_alloc&) {
      failed = Shown(p.input, "standard input") + ": out of memory";
    }
    if (!exported) report(failed);
    heldBytes -= p.pixelBytes;
    pending.pop_front();
  };
  // A large picture waits until the ones before it are written, so a batch
  // holds no more pixels than kHeldBytes or its largest picture.
  auto makeRoom = [&](uint64_t bytes) {
    while (!pending.empty() && (pending.size() + 1 > window || heldBytes + bytes > kHeldBytes)) commitOldest();
  };
  auto commitAll = [&] {
    while (!pending.empty()) commitOldest();
  };

  for (size_t i = 0; i < options.inputs.size(); ++i) {
    const std::string& input = options.inputs[i];
    progress.Show(i, input);
    makeRoom(0);
    if (!ReadableAhead(input, pending)) commitAll();
    try {
      auto p = std::make_unique<Pending>();
      p->input = input;
      p->output = OutputFor(options, input);
      Pending& added = *p;
      const bool read = Prepare(options, added, makeRoom);
      pending.push_back(std::move(p));
      heldBytes += added.pixelBytes;
      if (!read) continue;
      if (kPngDrawnOnAnyThread || options.format == PictureFormat::Svg) {
        added.drawing.parts = 1;
        added.drawing.runPart = [&added, &pool, &options](int) { DrawPending(options.format, added, pool); };
        pool.Add(added.drawing);
      } else {
        DrawPending(options.format, added, pool);
      }
    } catch (const std::bad_alloc&) {
      commitAll();
      report(Shown(input, "standard input") + ": out of memory");
    }
  }
  commitAll();
  return status;
}
