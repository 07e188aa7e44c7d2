#include "shell/FileDialogs.h"

#include <windows.h>
#include <commdlg.h>

#include <cstddef>

#include "model/DataFileReader.h"
#include "render/gdiplus/OffscreenImage.h"
#include "shell/ShellState.h"

namespace {

// The record as Windows NT 4 knew it, which every later version accepts.
constexpr DWORD kOpenFileNameSize = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);
#ifndef _WIN64
static_assert(kOpenFileNameSize == 76, "the 32-bit OPENFILENAME of version 4");
#endif

}  // namespace

void ShowOpenDialog() {
  char path[MAX_PATH] = "";
  OPENFILENAMEA request = {};
  request.lStructSize = kOpenFileNameSize;
  // No owner: the main window stays usable while the dialog is open.
  request.lpstrFilter = "テキストファイル (*.txt)\0*.txt\0";
  request.nFilterIndex = 1;
  request.lpstrFile = path;
  request.nMaxFile = sizeof path;
  request.Flags = OFN_HIDEREADONLY;
  if (GetOpenFileNameA(&request)) LoadDataFile(path);
}

void ShowSaveDialog() {
  char path[MAX_PATH] = "";
  OPENFILENAMEA request = {};
  request.lStructSize = kOpenFileNameSize;
  request.hwndOwner = mainWindow;
  request.lpstrFilter = "PNG (*.png)\0*.png\0すべてのファイル (*.*)\0*.*\0";
  request.nFilterIndex = 1;
  request.lpstrFile = path;
  request.nMaxFile = sizeof path;
  request.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  request.lpstrDefExt = "png";
  if (GetSaveFileNameA(&request)) SavePng(path);
}
