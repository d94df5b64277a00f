// Hotkey registration, delivery of WM_HOTKEY to 标签1, and the capture itself.
#include "capture/capture_hotkeys.h"

#include <windows.h>

#include <commctrl.h>

#include "app/main_window.h"
#include "common/globals.h"
#include "common/text_convert.h"
#include "store/click_table.h"

namespace {

// The message by which 标签1 is told of a hotkey: wParam is the identifier,
// lParam the unused extra value.
constexpr UINT kCaptureNotification = WM_APP + 1;
constexpr UINT_PTR kHotkeySubclassId = 1;

int32_t hotkeyCounter = kHotkeyBase;  // last identifier handed out

// Hands WM_HOTKEY on to 标签1 and lets every message, WM_HOTKEY included, go on
// to the main window's own handling.
LRESULT CALLBACK MainWindowHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR) {
  if (message == WM_HOTKEY) {
    for (int32_t id = kHotkeyBase + 1; id <= hotkeyCounter; ++id) {
      if (static_cast<WPARAM>(id) == wParam) SendMessageA(标签1, kCaptureNotification, wParam, 0);
    }
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK CaptureLabelHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR) {
  if (message == kCaptureNotification) {
    OnCaptureHotkey(static_cast<int32_t>(wParam), static_cast<int32_t>(lParam));
    return 0;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

int32_t RegisterNextHotkey(UINT virtualKey) {
  ++hotkeyCounter;  // advances whether or not the key can be had
  return RegisterHotKey(mainWindow, hotkeyCounter, 0, virtualKey) ? hotkeyCounter : 0;
}

int32_t FromWindow(HWND window) {
  return static_cast<int32_t>(reinterpret_cast<intptr_t>(window));
}

// Width × height, wrapping like a signed 32-bit product (computed without overflow).
int32_t RectArea(const RECT& rect) {
  const int64_t width = static_cast<int64_t>(rect.right) - rect.left;
  const int64_t height = static_cast<int64_t>(rect.bottom) - rect.top;
  return Low32Bits(WrapToInt64Product(width, height));
}

int32_t WindowAt(POINT cursor) {
  HWND under = WindowFromPoint(cursor);
  if (!under) return 0;
  HWND parent = GetParent(under);
  if (!parent) return FromWindow(under);
  HWND best = under;
  RECT bestRect = {};
  GetWindowRect(under, &bestRect);
  for (HWND sibling = GetWindow(under, GW_HWNDNEXT); sibling;
       sibling = GetWindow(sibling, GW_HWNDNEXT)) {
    RECT rect;
    if (!GetWindowRect(sibling, &rect) || !PtInRect(&rect, cursor)) continue;
    if (GetParent(sibling) != parent || !IsWindowVisible(sibling)) continue;
    if (RectArea(rect) < RectArea(bestRect)) {
      best = sibling;
      bestRect = rect;
    }
  }
  return FromWindow(best);
}

// captureRow only grows; it stops at the largest row number instead of overflowing.
void AdvanceCaptureRow() {
  if (captureRow < INT32_MAX) ++captureRow;
}

}  // namespace

void RegisterCaptureHotkeys() {
  SetWindowSubclass(mainWindow, MainWindowHook, kHotkeySubclassId, 0);
  SetWindowSubclass(标签1, CaptureLabelHook, kHotkeySubclassId, 0);
  hotkeyCapture = RegisterNextHotkey(kVkF1);
  hotkeySkip = RegisterNextHotkey(kVkF2);
}

int32_t WindowUnderCursor() {
  POINT cursor = {};
  if (!GetCursorPos(&cursor)) return 0;
  return WindowAt(cursor);
}

void OnCaptureHotkey(int32_t id, int32_t) {
  if (id != 0 && id == hotkeyCapture) {
    // One reading of the cursor serves the status box, the point and the window.
    POINT cursor = {};
    GetCursorPos(&cursor);
    const std::string window = IntegerToText(WindowAt(cursor));
    SetControlText(编辑框2, window);
    // A capture is never lost: missing rows are added up to captureRow.
    while (RowCount() <= captureRow) {
      const int before = RowCount();
      AppendEmptyRow();
      if (RowCount() == before) return;  // the list takes no more rows
    }
    SetCell(captureRow, 0, IntegerToText(captureRow));
    SetCell(captureRow, 1, IntegerToText(cursor.x));
    SetCell(captureRow, 2, IntegerToText(cursor.y));
    SetCell(captureRow, 3, window);
    AdvanceCaptureRow();
  }
  if (id != 0 && id == hotkeySkip) AdvanceCaptureRow();
}
