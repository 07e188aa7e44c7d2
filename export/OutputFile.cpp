// What both systems share; the rest is in OutputFileWin.cpp and
// OutputFilePosix.cpp.
#include "export/OutputFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

bool IsFolder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool WriteStandardOutput(const std::string& bytes, std::string& reason) {
  if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0) return true;
  reason = std::strerror(errno);
  return false;
}
