// Pictures into files on POSIX systems.
#include "export/OutputFile.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() { Close(); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  bool Close() {
    const bool closed = fd_ < 0 || close(fd_) == 0;
    fd_ = -1;
    return closed;
  }

 private:
  int fd_;
};

constexpr int kMaxLinks = 40;  // as the kernel's own limit, then ELOOP

std::string Folder(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The name a write to `path` lands on: a symbolic link leads to the name it
// holds, even where nothing exists yet, as `cp` and a shell's `>` go.
bool FinalName(const std::string& path, std::string& final) {
  final = path;
  for (int hops = 0;; ++hops) {
    struct stat info;
    if (lstat(final.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return true;
    if (hops == kMaxLinks) {
      errno = ELOOP;
      return false;
    }
    char target[PATH_MAX];
    const ssize_t length = readlink(final.c_str(), target, sizeof target);
    if (length < 0) return false;
    if (length == sizeof target) {
      errno = ENAMETOOLONG;
      return false;
    }
    const std::string text(target, static_cast<size_t>(length));
    final = text[0] == '/' ? text : Folder(final) + "/" + text;
  }
}

// A replaced file keeps its permissions (not set-id bits, which belong to the
// old content); a new one gets what the umask leaves, as a plain create would.
mode_t ModeFor(const std::string& final) {
  struct stat info;
  if (stat(final.c_str(), &info) == 0) return info.st_mode & 0777;
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

bool WriteAll(int fd, const std::string& bytes) {
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno != EINTR) return false;
    if (written == 0) {
      errno = EIO;
      return false;
    }
    if (written > 0) done += static_cast<size_t>(written);
  }
  return true;
}

// The rename lives in the folder: without this a power cut may undo it.
// Some file systems cannot sync a folder at all, which loses nothing here.
bool SyncFolder(const std::string& folder) {
  Descriptor fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY));
  if (fd.get() < 0) return false;
  return fsync(fd.get()) == 0 || errno == EINVAL || errno == ENOTSUP;
}

// A device or a pipe is not a file to replace (renaming over /dev/null would
// take it from everyone): the picture goes into it as into standard output.
bool WriteInto(const std::string& path, const std::string& bytes, std::string& reason) {
  Descriptor file(open(path.c_str(), O_WRONLY | O_NOCTTY));
  if (file.get() >= 0 && WriteAll(file.get(), bytes) && file.Close()) return true;
  reason = std::strerror(errno);
  return false;
}

}  // namespace

bool IdentifyFile(const std::string& path, FileIdentity& identity) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return false;
  identity.device = static_cast<uint64_t>(info.st_dev);
  identity.index = static_cast<uint64_t>(info.st_ino);
  return true;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string& reason) {
  struct stat info;
  if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) return WriteInto(path, bytes, reason);
  std::string final;
  if (!FinalName(path, final)) {
    reason = std::strerror(errno);
    return false;
  }
  // mkstemp creates with O_EXCL: a name planted in the folder is never opened.
  std::string temporary = final + ".tmp.XXXXXX";
  Descriptor file(mkstemp(&temporary[0]));
  if (file.get() < 0) {
    reason = std::strerror(errno);
    return false;
  }
  const bool written = fchmod(file.get(), ModeFor(final)) == 0 && WriteAll(file.get(), bytes) &&
                       fsync(file.get()) == 0 && file.Close() && rename(temporary.c_str(), final.c_str()) == 0;
  if (!written) {
    const int error = errno;
    file.Close();
    unlink(temporary.c_str());
    reason = std::strerror(error);
    return false;
  }
  if (!SyncFolder(Folder(final))) {
    reason = std::strerror(errno);
    return false;
  }
  return true;
}
