// Pictures into files on Windows.
#include "export/OutputFile.h"

#include <windows.h>

#include <cstdio>

namespace {

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

}  // namespace

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
