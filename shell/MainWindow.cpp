#include "shell/MainWindow.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>

#include "model/AboutText.h"
#include "model/DataFileReader.h"
#include "model/GraphModel.h"
#include "render/gdiplus/OffscreenImage.h"
#include "resources/resource.h"
#include "shell/CommandTail.h"
#include "shell/FileDialogs.h"
#include "shell/ScopedWin.h"
#include "shell/ScrollView.h"
#include "shell/ShellState.h"
#include "shell/ToolDialog.h"

namespace {

constexpr int kWindowWidth = 640;
constexpr int kWindowHeight = 680;  // frame and menu bar included

#ifndef _WIN64
static_assert(sizeof(WNDCLASSEXA) == 48, "the 32-bit window class record");
#endif

// Every road that may change what is shown ends here; WM_PAINT draws.
void Repaint(HWND window) { InvalidateRect(window, nullptr, TRUE); }

bool IsAnsiLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != FALSE; }

void OnCreate(HWND window) {
  InitToolDialogControls();
  CreateLineStyleImageList();
  StartGdiplus();
  InitScrollInfo(window);
  SetContentSize(window, graphSettings.imageWidth, graphSettings.imageHeight);
  toolDialog = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_TOOL), window, ToolDlgProc, 0);
  // Only now: the texts the dialog wrote into its fields while it was created
  // must not be parsed back into the settings.
  mainWindow = window;
  if (__argc > 1) {
    LoadDataFile(__argv[1]);
    Repaint(window);
  }
}

void OnPaint(HWND window) {
  PaintDc dc(window);
  PaintOffscreenImage(dc.get());
}

void OnClose(HWND window) {
  if (lineStyleImageList) {
    ImageList_Destroy(lineStyleImageList);
    lineStyleImageList = nullptr;
  }
  DeleteOffscreenImage();
  DestroyWindow(window);
  mainWindow = nullptr;
  ShutdownGdiplus();
  PostQuitMessage(0);
}

// Any process may send this message: data that does not end within its size
// is not a command tail and loads nothing.
void OnCopyData(HWND window, const COPYDATASTRUCT* data) {
  std::string path;
  if (data && HandedOverPath(data->lpData, data->cbData, IsAnsiLeadByte, &path)) {
    LoadDataFile(path.c_str());
  }
  Repaint(window);
}

void OnDropFiles(HWND window, HDROP drop) {
  DropHandle files(drop);
  if (DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0) == 0) return;
  // The whole path: one cut to a fixed buffer could name another file.
  UINT length = DragQueryFileA(drop, 0, nullptr, 0);
  std::string path(length, '\0');
  DragQueryFileA(drop, 0, &path[0], length + 1);
  LoadDataFile(path.c_str());
  Repaint(window);
}

void ShowAboutBox(HWND window) {
  ShellAboutA(window, kAppName, AboutText().c_str(), LoadIconA(appInstance, MAKEINTRESOURCEA(IDI_APP)));
}

void ToggleToolDialog(HWND window) {
  bool show = !IsWindowVisible(toolDialog);
  SetMenuCheck(window, IDM_TOOL, show);
  ShowWindow(toolDialog, show ? SW_SHOW : SW_HIDE);
}

void OnCommand(HWND window, WORD command) {
  switch (command) {
    case IDM_OPEN: ShowOpenDialog(); Repaint(window); break;
    case IDM_EXIT: SendMessageA(window, WM_CLOSE, 0, 0); break;
    case IDM_ABOUT: ShowAboutBox(window); break;
    case IDM_SAVEAS: ShowSaveDialog(); break;
    case IDM_TOOL: ToggleToolDialog(window); break;
  }
}

void RegisterMainWindowClass(HINSTANCE instance) {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = MainWndProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // the arrow
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kAppName;
  RegisterClassExA(&windowClass);
}

}  // namespace

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: OnCreate(window); return 0;
    case WM_SIZE: UpdateScrollPage(window); return 0;
    case WM_PAINT: OnPaint(window); return 0;
    case WM_CLOSE: OnClose(window); return 0;
    case WM_COPYDATA: OnCopyData(window, reinterpret_cast<const COPYDATASTRUCT*>(lParam)); return 0;
    case WM_COMMAND: OnCommand(window, LOWORD(wParam)); return 0;
    case WM_HSCROLL: OnHScroll(window, wParam); return 0;
    case WM_VSCROLL: OnVScroll(window, wParam); return 0;
    case WM_DROPFILES: OnDropFiles(window, reinterpret_cast<HDROP>(wParam)); return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND StartMainWindow(HINSTANCE instance) {
  appInstance = instance;
  RegisterMainWindowClass(instance);
  HMENU menu = LoadMenuA(instance, MAKEINTRESOURCEA(IDR_MAINMENU));
  HWND window = CreateWindowExA(WS_EX_CLIENTEDGE | WS_EX_ACCEPTFILES, kAppName, kAppName,
                                WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                                CW_USEDEFAULT, CW_USEDEFAULT, kWindowWidth, kWindowHeight,
                                nullptr, menu, instance, nullptr);
  if (!window && menu) DestroyMenu(menu);
  return window;
}
