#include "tests/app/AppTestSupport.h"

#include <wincodec.h>

#include <atomic>
#include <cstdio>
#include <thread>

TempFolder::TempFolder(const char* name) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  path_ = std::string(temp) + name + "-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string file = File(found.cFileName);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveDirectoryA(file.c_str());
      } else {
        DeleteFileA(file.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(path_.c_str());
}

std::string TempFolder::WriteValues(const std::string& name, int count) const {
  std::string bytes;
  for (int i = 1; i <= count; ++i) bytes += std::to_string(i) + "\n";
  return Write(name, bytes);
}

std::string TempFolder::Write(const std::string& name, const std::string& bytes) const {
  std::string file = File(name);
  FILE* f = std::fopen(file.c_str(), "wb");
  if (f) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  return file;
}

std::string BuildTreeFile(const std::string& path) {
  char module[MAX_PATH];
  GetModuleFileNameA(nullptr, module, sizeof module);
  std::string p = module;
  for (int up = 0; up < 3; ++up) p = p.substr(0, p.find_last_of('\\'));
  return p + "\\" + path;
}

DWORD RunToExit(const std::string& commandLine, DWORD timeoutMs) {
  std::string line = commandLine;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return STILL_ACTIVE;
  }
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_TIMEOUT) {
    TerminateProcess(process.hProcess, STILL_ACTIVE);
    WaitForSingleObject(process.hProcess, timeoutMs);
  } else {
    GetExitCodeProcess(process.hProcess, &code);
  }
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return code;
}

void PumpPending() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs, bool pump) {
  DWORD start = GetTickCount();
  for (;;) {
    if (pump) PumpPending();
    if (done()) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    if (pump) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } else {
      Sleep(10);
    }
  }
}

std::string WindowText(HWND window) {
  char text[1024] = "";
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, 5000, nullptr);
  return text;
}

std::string DialogItemText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

namespace {

struct DialogSearch {
  HWND owner;
  HWND except;
  bool visibleOnly;
  HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<DialogSearch*>(lParam);
  char className[32] = "";
  GetClassNameA(window, className, sizeof className);
  if (std::string(className) != "#32770") return TRUE;
  if (search->visibleOnly && !IsWindowVisible(window)) return TRUE;
  if (window == search->except || GetWindow(window, GW_OWNER) != search->owner) return TRUE;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (!search->owner && process != GetCurrentProcessId()) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

HWND FindOwnedDialog(HWND owner, HWND except) {
  DialogSearch search = {owner, except, true, nullptr};
  EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindToolDialog(HWND main) {
  DialogSearch search = {main, nullptr, false, nullptr};
  EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
  return search.found && GetDlgItem(search.found, 1000) ? search.found : nullptr;
}

PngImage ReadPng(const std::string& path) {
  PngImage image;
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  IWICImagingFactory* factory = nullptr;
  IWICBitmapDecoder* decoder = nullptr;
  IWICBitmapFrameDecode* frame = nullptr;
  IWICFormatConverter* converter = nullptr;
  std::wstring widePath(path.begin(), path.end());
  UINT width = 0;
  UINT height = 0;
  if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
      SUCCEEDED(factory->CreateDecoderFromFilename(widePath.c_str(), nullptr, GENERIC_READ,
                                                   WICDecodeMetadataCacheOnDemand, &decoder)) &&
      SUCCEEDED(decoder->GetFrame(0, &frame)) &&
      SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
      SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                                      nullptr, 0.0, WICBitmapPaletteTypeCustom)) &&
      SUCCEEDED(converter->GetSize(&width, &height))) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    if (SUCCEEDED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(pixels.size() * 4),
                                        reinterpret_cast<BYTE*>(pixels.data())))) {
      image.width = static_cast<int>(width);
      image.height = static_cast<int>(height);
      image.pixels = std::move(pixels);
    }
  }
  if (converter) converter->Release();
  if (frame) frame->Release();
  if (decoder) decoder->Release();
  if (factory) factory->Release();
  CoUninitialize();
  return image;
}

bool DriveWhilePumping(const std::function<bool()>& drive, DWORD timeoutMs) {
  std::atomic<bool> finished{false};
  std::atomic<bool> result{false};
  std::thread helper([&] {
    result = drive();
    finished = true;
  });
  bool inTime = WaitFor([&] { return finished.load(); }, timeoutMs);
  // The helper's own waits are bounded, so joining cannot hang.
  helper.join();
  return inTime && result;
}
