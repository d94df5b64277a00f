// The click-point table on top of a report-style list view, through its ANSI
// messages so that the texts stay bytes in the ANSI code page.
#include "store/click_table.h"

#include <commctrl.h>

#include "app/main_window.h"

namespace {

constexpr int kColumnCount = 4;

// Column headers and widths in pixels.
const char* const kColumnHeaders[kColumnCount] = {"序号", "水平坐标", "垂直坐标", "窗口句柄"};
constexpr int kColumnWidths[kColumnCount] = {50, 80, 80, 95};

}  // namespace

HWND CreateClickTable(int id, int x, int y, int width, int height) {
  HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL, x, y,
                              width, height, mainWindow,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              GetModuleHandleA(nullptr), nullptr);
  if (!list) return nullptr;
  SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  const DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES;
  SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
  for (int column = 0; column < kColumnCount; ++column) {
    LVCOLUMNA header = {};
    header.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    header.pszText = const_cast<char*>(kColumnHeaders[column]);
    header.cx = kColumnWidths[column];
    header.iSubItem = column;
    SendMessageA(list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&header));
  }
  return list;
}

void AppendEmptyRow() {
  LVITEMA item = {};
  item.mask = LVIF_TEXT;
  item.iItem = RowCount();
  item.pszText = const_cast<char*>("");
  SendMessageA(超级列表框_配置, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void SetCell(int row, int column, const std::string& text) {
  if (row < 0 || row >= RowCount() || column < 0 || column >= kColumnCount) return;
  LVITEMA item = {};
  item.iSubItem = column;
  item.pszText = const_cast<char*>(text.c_str());
  SendMessageA(超级列表框_配置, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

std::string GetCell(int row, int column) {
  std::string text;
  if (row < 0 || row >= RowCount() || column < 0 || column >= kColumnCount) return text;
  // The list view copies at most the buffer's size; grow it until the text fits.
  for (int capacity = 256;; capacity = capacity > 0x3FFFFFFF ? 0x7FFFFFFF : capacity * 2) {
    text.assign(static_cast<size_t>(capacity), '\0');
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = &text[0];
    item.cchTextMax = capacity;
    const LRESULT copied =
        SendMessageA(超级列表框_配置, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    if (copied < capacity - 1 || capacity == 0x7FFFFFFF) {
      if (item.pszText != &text[0]) return item.pszText ? std::string(item.pszText) : std::string();
      text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
      return text;
    }
  }
}

int RowCount() {
  if (!超级列表框_配置) return 0;
  return static_cast<int>(SendMessageA(超级列表框_配置, LVM_GETITEMCOUNT, 0, 0));
}

void ClearRows() { SendMessageA(超级列表框_配置, LVM_DELETEALLITEMS, 0, 0); }
