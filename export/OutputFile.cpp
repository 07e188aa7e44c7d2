#include "export/OutputFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace {

// std::rename will not replace a file on Windows.
bool MoveOver(const std::string& from, const std::string& to) {
#ifdef _WIN32
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  errno = GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
  return false;
#else
  return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

bool Written(FILE* file, const std::string& bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fflush(file) == 0;
}

}  // namespace

bool IsFolder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string& reason) {
  const std::string temporary = path + "." + std::to_string(getpid()) + ".tmp";
  FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) {
    reason = std::strerror(errno);
    return false;
  }
  bool ok = Written(file, bytes);
  int error = errno;
  if (std::fclose(file) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && !MoveOver(temporary, path)) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    std::remove(temporary.c_str());
    reason = std::strerror(error);
  }
  return ok;
}

bool WriteStandardOutput(const std::string& bytes, std::string& reason) {
  if (Written(stdout, bytes)) return true;
  reason = std::strerror(errno);
  return false;
}
