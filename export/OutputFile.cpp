#include "export/OutputFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <limits.h>
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  bool Close() {
    const bool closed = !valid() || CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE handle_;
};

// The system's own words, in its language, as one line.
std::string SystemText(DWORD error) {
  char* text = nullptr;
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string line = text ? text : "system error " + std::to_string(error);
  LocalFree(text);
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n' || line.back() == ' ' || line.back() == '.')) {
    line.pop_back();
  }
  return line;
}

// A new file that did not exist: CREATE_NEW never opens what a name already
// holds, a planted link included.
HANDLE CreateTemporary(const std::string& path, std::string& temporary) {
  const DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
  for (DWORD attempt = 0; attempt < 100; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".tmp.%08lx", static_cast<unsigned long>(seed + attempt * 2654435761u));
    temporary = path + suffix;
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, const std::string& bytes) {
  for (size_t done = 0; done < bytes.size();) {
    const DWORD chunk = static_cast<DWORD>(bytes.size() - done < (1u << 30) ? bytes.size() - done : (1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr)) return false;
    if (written == 0) {
      SetLastError(ERROR_WRITE_FAULT);
      return false;
    }
    done += written;
  }
  return true;
}

// The name a write to `path` lands on: through a symbolic link, the file it
// points at, as on Linux. Windows XP has neither the question nor the links.
std::string FinalName(const std::string& path) {
  using GetFinalPath = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);
  const FARPROC proc = GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA");
  Handle file(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!proc || !file.valid()) return path;
  char name[MAX_PATH + 8];
  const DWORD length = reinterpret_cast<GetFinalPath>(reinterpret_cast<void*>(proc))(file.get(), name, sizeof name, 0);
  if (length == 0 || length >= sizeof name) return path;
  // "\\?\C:\x" and "\\?\UNC\host\x" back to the names every call takes.
  const std::string final(name, length);
  if (final.compare(0, 8, "\\\\?\\UNC\\") == 0) return "\\\\" + final.substr(8);
  if (final.compare(0, 4, "\\\\?\\") == 0) return final.substr(4);
  return final;
}

// A device (NUL, a console, a pipe) is not a file to replace: the picture
// goes into it as into standard output.
bool IsDevice(const std::string& path) {
  Handle file(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return file.valid() && GetFileType(file.get()) != FILE_TYPE_DISK;
}

bool WriteInto(const std::string& path, const std::string& bytes, std::string& reason) {
  Handle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.valid() && WriteAll(file.get(), bytes) && file.Close()) return true;
  reason = SystemText(GetLastError());
  return false;
}

#else

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

#endif

}  // namespace

bool IsFolder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

#ifdef _WIN32

bool IdentifyFile(const std::string& path, FileIdentity& identity) {
  Handle file(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  if (!file.valid() || !GetFileInformationByHandle(file.get(), &info)) return false;
  identity.device = info.dwVolumeSerialNumber;
  identity.index = static_cast<uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
  return true;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string& reason) {
  if (IsDevice(path)) return WriteInto(path, bytes, reason);
  const std::string final = FinalName(path);
  std::string temporary;
  Handle file(CreateTemporary(final, temporary));
  if (!file.valid()) {
    reason = SystemText(GetLastError());
    return false;
  }
  const bool ok = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get()) && file.Close() &&
                  MoveFileExA(temporary.c_str(), final.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (ok) return true;
  const DWORD error = GetLastError();
  file.Close();
  DeleteFileA(temporary.c_str());
  reason = SystemText(error);
  return false;
}

#else

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

#endif

bool WriteStandardOutput(const std::string& bytes, std::string& reason) {
  if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0) return true;
  reason = std::strerror(errno);
  return false;
}
