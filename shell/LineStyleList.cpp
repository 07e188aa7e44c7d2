#include "resources/resource.h"
#include "shell/ShellState.h"
#include "shell/ToolDialog.h"
#include "shell/ToolDialogControls.h"

HIMAGELIST lineStyleImageList = nullptr;
int lineStyleImageIndex[kLineStyleCount] = {};

namespace {
constexpr int kSampleWidth = 64;
constexpr int kSampleHeight = 16;
}  // namespace

void AddLineStyleBitmap(int index, int bitmapId) {
  HBITMAP bitmap = LoadBitmapA(appInstance, MAKEINTRESOURCEA(bitmapId));
  // A sample that fails to load keeps the -1 of the failed add: no image.
  lineStyleImageIndex[index] = ImageList_Add(lineStyleImageList, bitmap, nullptr);
  if (bitmap) DeleteObject(bitmap);
}

// The resource numbers do not follow the list order: the dash-dot-dot sample
// has the lowest number and comes last.
void CreateLineStyleImageList() {
  lineStyleImageList = ImageList_Create(kSampleWidth, kSampleHeight, ILC_COLOR24, 0, 0);
  AddLineStyleBitmap(0, IDB_LINE_SOLID);
  AddLineStyleBitmap(1, IDB_LINE_DASH);
  AddLineStyleBitmap(2, IDB_LINE_DOT);
  AddLineStyleBitmap(3, IDB_LINE_DASHDOT);
  AddLineStyleBitmap(4, IDB_LINE_DASHDOTDOT);
}

// Items carry no text; item i shows the sample of lineStyle i, so the
// selection index is the dash style.
void FillLineStyleList() {
  for (int i = 0; i < kLineStyleCount; ++i) {
    COMBOBOXEXITEMA item = {};
    item.mask = CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
    item.iItem = i;
    item.iImage = item.iSelectedImage = lineStyleImageIndex[i];
    SendMessageA(lineStyleComboHandle, CBEM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
  SendMessageA(lineStyleComboHandle, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(lineStyleImageList));
  SendMessageA(lineStyleComboHandle, CB_SETCURSEL, graphSettings.lineStyle, 0);
}
