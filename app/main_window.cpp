// The main window: creation of every control at its fixed place, the window
// procedure that hands each event to its handler, page switching and keys.
#include "app/main_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <vector>

#include "app/control_ids.h"
#include "app/usage_note.h"
#include "capture/capture_hotkeys.h"
#include "common/globals.h"
#include "runs/click_runs.h"
#include "runs/shake_run.h"
#include "store/click_table.h"

HWND mainWindow;
HWND 选择夹1;
HWND 标签1, 标签2, 标签3, 标签4, 标签5;
HWND 编辑框1, 编辑框2, 编辑框3, 编辑框4, 编辑框_打招呼, 编辑框5;
HWND 按钮1, 按钮2, 按钮3, 按钮4;
HWND 超级列表框_配置;

namespace {

constexpr int kWindowWidth = 535;
constexpr int kWindowHeight = 263;
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr COLORREF kNoteTextColour = RGB(0, 0, 255);
constexpr COLORREF kNoteBackColour = RGB(192, 192, 192);
constexpr int kNoteFontHeight = -21;

HINSTANCE appInstance;
HFONT noteFont;
HBRUSH noteBrush;
HWND lastFocus;  // control that had the focus when the window was deactivated

HWND CreateControl(const char* className, int id, const char* text, DWORD style, DWORD exStyle,
                   int x, int y, int width, int height) {
  HWND control = CreateWindowExA(exStyle, className, text, WS_CHILD | style, x, y, width, height,
                                 mainWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 appInstance, nullptr);
  if (control) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  return control;
}

HWND CreateLabel(int id, const char* text, int x, int y, int width, int height) {
  return CreateControl(WC_STATICA, id, text, WS_VISIBLE | SS_LEFT | SS_CENTERIMAGE, 0, x, y, width,
                       height);
}

HWND CreateEdit(int id, const char* text, int x, int y, int width, int height) {
  HWND edit = CreateControl(WC_EDITA, id, text, WS_VISIBLE | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL,
                            WS_EX_CLIENTEDGE, x, y, width, height);
  if (edit) SendMessageA(edit, EM_SETLIMITTEXT, 0, 0);  // no length limit
  return edit;
}

HWND CreateButton(int id, const char* text, int x, int y, int width, int height) {
  return CreateControl(WC_BUTTONA, id, text, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER, 0,
                       x, y, width, height);
}

// Page 0 ("微信") holds every control but the tab control and 编辑框5.
std::vector<HWND> PageZeroControls() {
  return {标签1, 编辑框1, 标签2, 编辑框2, 标签3, 编辑框3, 标签4, 编辑框4, 标签5, 编辑框_打招呼,
          按钮2, 按钮1, 按钮4, 按钮3, 超级列表框_配置};
}

// Controls are created in tab order; the tab control comes last so that it
// lies under all of them and never paints over them.
BOOL OnCreate(HWND window, LPCREATESTRUCT) {
  mainWindow = window;
  标签1 = CreateLabel(kId标签1, "次数", 9, 28, 64, 24);
  编辑框1 = CreateEdit(kId编辑框1, "100", 81, 28, 144, 24);
  标签2 = CreateLabel(kId标签2, "状态", 9, 56, 56, 24);
  编辑框2 = CreateEdit(kId编辑框2, "", 81, 56, 144, 24);
  标签3 = CreateLabel(kId标签3, "间隔", 9, 84, 64, 24);
  编辑框3 = CreateEdit(kId编辑框3, "20", 81, 84, 144, 24);
  标签4 = CreateLabel(kId标签4, "已摇次数", 9, 112, 56, 24);
  编辑框4 = CreateEdit(kId编辑框4, "", 81, 112, 144, 24);
  标签5 = CreateLabel(kId标签5, "打招呼内容", 9, 142, 72, 24);
  编辑框_打招呼 = CreateEdit(kId编辑框_打招呼, "您好,我们可以加个好友吗!", 81, 142, 144, 24);
  按钮2 = CreateButton(kId按钮2, "查找附近人(免费)", 6, 169, 122, 24);
  按钮1 = CreateButton(kId按钮1, "开始摇(免费)", 130, 169, 96, 24);
  按钮4 = CreateButton(kId按钮4, "保存配置", 130, 196, 96, 24);
  按钮3 = CreateButton(kId按钮3, "测试", 40, 296, 120, 24);
  超级列表框_配置 = CreateClickTable(kId超级列表框_配置, 216, 304, 256, 192);

  编辑框5 = CreateControl(WC_EDITA, kId编辑框5, kUsageNote,
                          WS_TABSTOP | WS_VSCROLL | ES_LEFT | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                          WS_EX_CLIENTEDGE, 5, 24, 520, 196);
  if (编辑框5) {
    SendMessageA(编辑框5, EM_SETLIMITTEXT, 0, 0);
    noteFont = CreateFontA(kNoteFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, "宋体");
    if (noteFont) SendMessageA(编辑框5, WM_SETFONT, reinterpret_cast<WPARAM>(noteFont), FALSE);
  }
  noteBrush = CreateSolidBrush(kNoteBackColour);

  选择夹1 = CreateControl(WC_TABCONTROLA, kId选择夹1, "", WS_VISIBLE | WS_CLIPSIBLINGS | TCS_TABS, 0,
                          0, 4, 544, 228);
  if (选择夹1) {
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>("微信");
    SendMessageA(选择夹1, TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    item.pszText = const_cast<char*>("说明");
    SendMessageA(选择夹1, TCM_INSERTITEMA, 1, reinterpret_cast<LPARAM>(&item));
  }

  for (HWND control : PageZeroControls()) {
    if (!control) return FALSE;  // makes CreateWindowEx fail
  }
  return 选择夹1 && 编辑框5 && noteBrush;
}

void OnCommand(HWND, int id, HWND, UINT code) {
  if (code != BN_CLICKED) return;
  switch (id) {
    case kId按钮1: RunShake(); break;
    case kId按钮2: RunNearbyAndShake(); break;
    case kId按钮3: TestClick(); break;
    case kId按钮4: SaveClickPoints(); break;
  }
}

LRESULT OnNotify(HWND, int, NMHDR* header) {
  if (header->hwndFrom == 选择夹1 && header->code == TCN_SELCHANGE) {
    ShowPage(static_cast<int>(SendMessageA(选择夹1, TCM_GETCURSEL, 0, 0)));
  }
  return 0;
}

HBRUSH OnCtlColorEdit(HWND window, HDC dc, HWND control, int type) {
  if (control != 编辑框5) return FORWARD_WM_CTLCOLOREDIT(window, dc, control, DefWindowProcA);
  SetTextColor(dc, kNoteTextColour);
  SetBkColor(dc, kNoteBackColour);
  return noteBrush;
}

// Labels draw their text transparently on the button face.
HBRUSH OnCtlColorStatic(HWND, HDC dc, HWND, int) {
  SetBkMode(dc, TRANSPARENT);
  return GetSysColorBrush(COLOR_BTNFACE);
}

void OnActivate(HWND window, UINT state, HWND, BOOL minimized) {
  if (state == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus && IsChild(window, focus)) lastFocus = focus;
  } else if (!minimized) {
    SetFocus(lastFocus && IsWindowVisible(lastFocus) ? lastFocus : 编辑框1);
  }
}

void OnDestroy(HWND) {
  windowClosed = true;  // every run stops at its next step
  PostQuitMessage(0);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    HANDLE_MSG(window, WM_CREATE, OnCreate);
    HANDLE_MSG(window, WM_COMMAND, OnCommand);
    HANDLE_MSG(window, WM_NOTIFY, OnNotify);
    HANDLE_MSG(window, WM_CTLCOLOREDIT, OnCtlColorEdit);
    HANDLE_MSG(window, WM_CTLCOLORSTATIC, OnCtlColorStatic);
    HANDLE_MSG(window, WM_ACTIVATE, OnActivate);
    HANDLE_MSG(window, WM_DESTROY, OnDestroy);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool IsPlainKey() {
  return GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_MENU) >= 0;
}

}  // namespace

HWND CreateMainWindow(HINSTANCE instance) {
  appInstance = instance;
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);

  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  windowClass.hIconSm = LoadIconA(nullptr, IDI_APPLICATION);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = BGSHAKE_WINDOW_CLASS;
  if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;

  const int left = (GetSystemMetrics(SM_CXSCREEN) - kWindowWidth) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - kWindowHeight) / 2;
  HWND window = CreateWindowExA(0, BGSHAKE_WINDOW_CLASS, kWindowCaption, kWindowStyle, left, top,
                                kWindowWidth, kWindowHeight, nullptr, nullptr, instance, nullptr);
  if (!window) return nullptr;
  windowClosed = false;
  OnWindowCreated();
  return window;
}

void OnWindowCreated() {
  RegisterCaptureHotkeys();
  LoadClickPoints();
}

void ShowPage(int page) {
  const int showPageZero = page == 0 ? SW_SHOW : SW_HIDE;
  for (HWND control : PageZeroControls()) ShowWindow(control, showPageZero);
  ShowWindow(编辑框5, page == 1 ? SW_SHOW : SW_HIDE);
}

bool HandleWindowKeys(MSG* message) {
  if (!mainWindow || windowClosed) return false;
  if (message->hwnd != mainWindow && !IsChild(mainWindow, message->hwnd)) return false;
  if (message->message == WM_KEYDOWN && message->wParam == VK_ESCAPE) {
    if (IsPlainKey()) SendMessageA(mainWindow, WM_CLOSE, 0, 0);
    // Esc with a modifier goes nowhere: a multi-line edit box under the dialog
    // keys would post WM_CLOSE for any Esc.
    return true;
  }
  return IsDialogMessageA(mainWindow, message) != FALSE;
}

std::string GetControlText(HWND control) {
  std::string text;
  if (!control) return text;
  int capacity = GetWindowTextLengthA(control) + 1;
  for (;;) {
    text.assign(static_cast<size_t>(capacity), '\0');
    const int copied = GetWindowTextA(control, &text[0], capacity);
    if (copied < capacity - 1 || capacity >= 0x7FFFFFF0) {
      text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
      return text;
    }
    capacity = capacity > 0x3FFFFFFF ? 0x7FFFFFFF : capacity * 2;  // the text grew meanwhile
  }
}

void SetControlText(HWND control, const std::string& text) { SetWindowTextA(control, text.c_str()); }
