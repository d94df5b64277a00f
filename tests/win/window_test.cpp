// The main window as created in this process: its frame, controls, texts and
// styles, page switching and keyboard navigation.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/main_window.h"
#include "common/globals.h"
#include "input/mouse_lparam.h"
#include "store/click_table.h"
#include "support/main_window_fixture.h"
#include "support/recorder.h"

namespace {

using MainWindow = MainWindowTest;

// A control of the window with what it must look like at creation.
struct ControlSpec {
  const char* name;
  HWND* handle;  // the global, read after the window exists
  int id;
  const char* className;
  int x, y, width, height;
  const char* text;  // nullptr: checked elsewhere
};

const ControlSpec kControls[] = {
    {"标签1", &标签1, kId标签1, "Static", 9, 28, 64, 24, "次数"},
    {"编辑框1", &编辑框1, kId编辑框1, "Edit", 81, 28, 144, 24, "100"},
    {"标签2", &标签2, kId标签2, "Static", 9, 56, 56, 24, "状态"},
    {"编辑框2", &编辑框2, kId编辑框2, "Edit", 81, 56, 144, 24, ""},
    {"标签3", &标签3, kId标签3, "Static", 9, 84, 64, 24, "间隔"},
    {"编辑框3", &编辑框3, kId编辑框3, "Edit", 81, 84, 144, 24, "20"},
    {"标签4", &标签4, kId标签4, "Static", 9, 112, 56, 24, "已摇次数"},
    {"编辑框4", &编辑框4, kId编辑框4, "Edit", 81, 112, 144, 24, ""},
    {"标签5", &标签5, kId标签5, "Static", 9, 142, 72, 24, "打招呼内容"},
    {"编辑框_打招呼", &编辑框_打招呼, kId编辑框_打招呼, "Edit", 81, 142, 144, 24,
     "您好,我们可以加个好友吗!"},
    {"按钮2", &按钮2, kId按钮2, "Button", 6, 169, 122, 24, "查找附近人(免费)"},
    {"按钮1", &按钮1, kId按钮1, "Button", 130, 169, 96, 24, "开始摇(免费)"},
    {"按钮4", &按钮4, kId按钮4, "Button", 130, 196, 96, 24, "保存配置"},
    {"按钮3", &按钮3, kId按钮3, "Button", 40, 296, 120, 24, "测试"},
    {"超级列表框_配置", &超级列表框_配置, kId超级列表框_配置, "SysListView32", 216, 304, 256, 192, ""},
    {"编辑框5", &编辑框5, kId编辑框5, "Edit", 5, 24, 520, 196, nullptr},
    {"选择夹1", &选择夹1, kId选择夹1, "SysTabControl32", 0, 4, 544, 228, ""},
};

// The controls of page "微信", which the tab control shows and hides together.
std::vector<HWND> PageZero() {
  return {标签1, 编辑框1, 标签2, 编辑框2, 标签3, 编辑框3, 标签4, 编辑框4, 标签5, 编辑框_打招呼,
          按钮2, 按钮1, 按钮4, 按钮3, 超级列表框_配置};
}

// The single-line edit boxes, labels and buttons of page "微信".
std::vector<HWND> SingleLineEdits() { return {编辑框1, 编辑框2, 编辑框3, 编辑框4, 编辑框_打招呼}; }
std::vector<HWND> Labels() { return {标签1, 标签2, 标签3, 标签4, 标签5}; }
std::vector<HWND> Buttons() { return {按钮2, 按钮1, 按钮4, 按钮3}; }

std::string NameOf(HWND control) {
  for (const ControlSpec& c : kControls) {
    if (*c.handle == control) return c.name;
  }
  char className[64] = {};
  GetClassNameA(control, className, sizeof(className));
  return control ? std::string("other window of class ") + className : "no window";
}

LONG StyleOf(HWND control) { return GetWindowLongA(control, GWL_STYLE); }
LONG ExStyleOf(HWND control) { return GetWindowLongA(control, GWL_EXSTYLE); }
bool HasVisibleStyle(HWND control) { return (StyleOf(control) & WS_VISIBLE) != 0; }

RECT RectInClient(HWND window, HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// Dispatches this thread's messages the way the tool's message loop does,
// with the window's own keys first, until done() or timeoutMs have passed.
bool PumpAsMessageLoopUntil(const std::function<bool()>& done, int timeoutMs) {
  const double end = RecorderNowMs() + timeoutMs;
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (HandleWindowKeys(&message)) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (done()) return true;
    if (RecorderNowMs() >= end) return done();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}
void PumpAsMessageLoop(int ms) {
  PumpAsMessageLoopUntil([] { return false; }, ms);
}

void SendKeyEvent(WORD virtualKey, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof(input));
}

// A real key press to the focused window, optionally with Shift held.
void PressRealKey(WORD virtualKey, bool shift = false) {
  if (shift) SendKeyEvent(VK_SHIFT, false);
  SendKeyEvent(virtualKey, false);
  SendKeyEvent(virtualKey, true);
  if (shift) SendKeyEvent(VK_SHIFT, true);
}

// A real left click at a point of the screen.
void ClickRealMouseAt(POINT point) {
  SetCursorPos(point.x, point.y);
  PumpFor(50);
  INPUT input[2] = {};
  input[0].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].type = INPUT_MOUSE;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, input, sizeof(INPUT));
}

// Selects a page the way a click on its tab does: the selection changes and
// the window is told with TCN_SELCHANGE.
void SelectPage(HWND window, int page) {
  SendMessageA(选择夹1, TCM_SETCURSEL, page, 0);
  NMHDR header = {};
  header.hwndFrom = 选择夹1;
  header.idFrom = kId选择夹1;
  header.code = TCN_SELCHANGE;
  SendMessageA(window, WM_NOTIFY, kId选择夹1, reinterpret_cast<LPARAM>(&header));
}

COLORREF BrushColour(HBRUSH brush) {
  LOGBRUSH logBrush = {};
  GetObjectA(brush, sizeof(logBrush), &logBrush);
  return logBrush.lbColor;
}

TEST_F(MainWindow, IsCreatedHiddenWithAFixedFrameAndCentred) {
  CreateMain();
  EXPECT_FALSE(IsWindowVisible(window));
  RECT rect;
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.right - rect.left, 535);
  EXPECT_EQ(rect.bottom - rect.top, 263);
  EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 535) / 2);
  EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 263) / 2);
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(MainWindow, HasTheButtonFaceBackground) {
  CreateMain();
  EXPECT_EQ(GetClassLongPtrA(window, GCLP_HBRBACKGROUND), static_cast<ULONG_PTR>(COLOR_BTNFACE + 1));
}

TEST_F(MainWindow, ControlsSitAtTheirPlacesWithTheirClassesAndTexts) {
  CreateMain();
  for (const ControlSpec& c : kControls) {
    SCOPED_TRACE(c.name);
    HWND control = *c.handle;
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(GetParent(control), window);  // children of the window, not of the tab control
    EXPECT_EQ(GetDlgCtrlID(control), c.id);
    char className[64] = {};
    GetClassNameA(control, className, sizeof(className));
    EXPECT_EQ(lstrcmpiA(className, c.className), 0) << className;
    const RECT rect = RectInClient(window, control);
    EXPECT_EQ(rect.left, c.x);
    EXPECT_EQ(rect.top, c.y);
    EXPECT_EQ(rect.right - rect.left, c.width);
    EXPECT_EQ(rect.bottom - rect.top, c.height);
    if (c.text) {
      EXPECT_EQ(GetControlText(control), c.text);
    }
  }
  EXPECT_EQ(SendMessageA(超级列表框_配置, LVM_GETITEMCOUNT, 0, 0), 0);
  // 按钮3 and the list lie below the client area: they can never be seen.
  RECT client;
  GetClientRect(window, &client);
  EXPECT_LT(client.bottom, 296);
}

TEST_F(MainWindow, PageZeroIsShownAndTabStopsAreTheInputControls) {
  CreateMain();
  for (HWND control : PageZero()) {
    SCOPED_TRACE(NameOf(control));
    EXPECT_TRUE(HasVisibleStyle(control));
    EXPECT_TRUE(IsWindowEnabled(control));
  }
  EXPECT_TRUE(HasVisibleStyle(选择夹1));
  EXPECT_FALSE(HasVisibleStyle(编辑框5));
  for (HWND control : {编辑框1, 编辑框2, 编辑框3, 编辑框4, 编辑框_打招呼, 按钮2, 按钮1, 按钮4, 按钮3,
                       超级列表框_配置, 编辑框5}) {
    EXPECT_TRUE(StyleOf(control) & WS_TABSTOP) << NameOf(control);
  }
  for (HWND control : {标签1, 标签2, 标签3, 标签4, 标签5, 选择夹1}) {
    EXPECT_FALSE(StyleOf(control) & WS_TABSTOP) << NameOf(control);
  }
}

TEST_F(MainWindow, ControlsHaveTheirStyles) {
  CreateMain();
  for (HWND edit : SingleLineEdits()) {
    SCOPED_TRACE(NameOf(edit));
    const LONG style = StyleOf(edit);
    EXPECT_FALSE(style & ES_MULTILINE);
    EXPECT_TRUE(style & ES_AUTOHSCROLL);
    EXPECT_FALSE(style & (ES_CENTER | ES_RIGHT));  // left-aligned
    EXPECT_FALSE(style & (ES_READONLY | ES_PASSWORD | ES_NUMBER));
    EXPECT_TRUE(ExStyleOf(edit) & WS_EX_CLIENTEDGE);
    // No length limit: the largest a single-line box can hold.
    EXPECT_GE(static_cast<DWORD>(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0)), 0x7FFFFFFEu);
  }
  for (HWND label : Labels()) {
    SCOPED_TRACE(NameOf(label));
    const LONG style = StyleOf(label);
    EXPECT_EQ(style & SS_TYPEMASK, SS_LEFT);
    EXPECT_TRUE(style & SS_CENTERIMAGE);  // vertically centred, single line
    EXPECT_FALSE(style & (WS_BORDER | SS_SUNKEN));
    EXPECT_FALSE(ExStyleOf(label) & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
  }
  for (HWND button : Buttons()) {
    SCOPED_TRACE(NameOf(button));
    const LONG style = StyleOf(button);
    EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON);  // not BS_DEFPUSHBUTTON
    EXPECT_NE(style & BS_CENTER, BS_LEFT);
    EXPECT_NE(style & BS_CENTER, BS_RIGHT);
    EXPECT_FALSE(SendMessageA(button, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON);
  }

  const LONG listStyle = StyleOf(超级列表框_配置);
  EXPECT_EQ(listStyle & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_TRUE(listStyle & LVS_SINGLESEL);
  EXPECT_FALSE(listStyle & LVS_NOSORTHEADER);  // the header is clickable
  EXPECT_FALSE(listStyle & (LVS_SORTASCENDING | LVS_SORTDESCENDING));
  EXPECT_TRUE(ExStyleOf(超级列表框_配置) & WS_EX_CLIENTEDGE);
  const DWORD listExtended =
      static_cast<DWORD>(SendMessageA(超级列表框_配置, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
  EXPECT_EQ(listExtended & (LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES),
            static_cast<DWORD>(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES));
  HWND header = reinterpret_cast<HWND>(SendMessageA(超级列表框_配置, LVM_GETHEADER, 0, 0));
  ASSERT_NE(header, nullptr);
  EXPECT_TRUE(StyleOf(header) & HDS_BUTTONS);

  const LONG noteStyle = StyleOf(编辑框5);
  EXPECT_TRUE(noteStyle & ES_MULTILINE);
  EXPECT_TRUE(noteStyle & ES_WANTRETURN);
  EXPECT_TRUE(noteStyle & WS_VSCROLL);
  EXPECT_FALSE(noteStyle & WS_HSCROLL);
  EXPECT_FALSE(noteStyle & ES_AUTOHSCROLL);  // long lines wrap at the box's width
  EXPECT_FALSE(noteStyle & ES_READONLY);
  EXPECT_TRUE(ExStyleOf(编辑框5) & WS_EX_CLIENTEDGE);

  const LONG tabStyle = StyleOf(选择夹1);
  EXPECT_FALSE(tabStyle & (TCS_BOTTOM | TCS_VERTICAL | TCS_BUTTONS));  // tabs on top
}

TEST_F(MainWindow, TabControlHasTwoPagesWithTheFirstSelected) {
  CreateMain();
  ASSERT_EQ(SendMessageA(选择夹1, TCM_GETITEMCOUNT, 0, 0), 2);
  const char* const names[] = {"微信", "说明"};
  for (int page = 0; page < 2; ++page) {
    char text[64] = {};
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    ASSERT_TRUE(SendMessageA(选择夹1, TCM_GETITEMA, page, reinterpret_cast<LPARAM>(&item)));
    EXPECT_STREQ(item.pszText, names[page]);
  }
  EXPECT_EQ(SendMessageA(选择夹1, TCM_GETCURSEL, 0, 0), 0);
}

TEST_F(MainWindow, ControlsUseTheGuiFontAndTheNoteItsOwn) {
  CreateMain();
  const HFONT guiFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  for (const ControlSpec& c : kControls) {
    if (*c.handle == 编辑框5) continue;
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(*c.handle, WM_GETFONT, 0, 0)), guiFont) << c.name;
  }
  HFONT noteFont = reinterpret_cast<HFONT>(SendMessageA(编辑框5, WM_GETFONT, 0, 0));
  ASSERT_NE(noteFont, nullptr);
  LOGFONTA font = {};
  ASSERT_EQ(GetObjectA(noteFont, sizeof(font), &font), static_cast<int>(sizeof(font)));
  EXPECT_EQ(font.lfHeight, -21);
  EXPECT_STREQ(font.lfFaceName, "宋体");
  EXPECT_EQ(font.lfWeight, FW_NORMAL);
  EXPECT_FALSE(font.lfItalic);
  EXPECT_FALSE(font.lfUnderline);
}

TEST_F(MainWindow, NoteIsBlueOnSilverEditsBlackOnWhiteLabelsTransparent) {
  CreateMain();
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  auto colourFor = [&](UINT message, HWND control) {
    // Start from colours nobody would choose, so that what is set shows.
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkColor(dc, RGB(4, 5, 6));
    SetBkMode(dc, OPAQUE);
    return reinterpret_cast<HBRUSH>(SendMessageA(window, message, reinterpret_cast<WPARAM>(dc),
                                                 reinterpret_cast<LPARAM>(control)));
  };

  HBRUSH brush = colourFor(WM_CTLCOLOREDIT, 编辑框5);
  ASSERT_NE(brush, nullptr);
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 255));
  EXPECT_EQ(GetBkColor(dc), RGB(192, 192, 192));
  EXPECT_EQ(BrushColour(brush), RGB(192, 192, 192));

  for (HWND edit : SingleLineEdits()) {
    SCOPED_TRACE(NameOf(edit));
    brush = colourFor(WM_CTLCOLOREDIT, edit);
    ASSERT_NE(brush, nullptr);
    // The system's window colours, black on white unless the user chose others.
    EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(BrushColour(brush), GetSysColor(COLOR_WINDOW));
  }
  EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), RGB(0, 0, 0));
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));

  for (HWND label : Labels()) {
    SCOPED_TRACE(NameOf(label));
    brush = colourFor(WM_CTLCOLORSTATIC, label);
    ASSERT_NE(brush, nullptr);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    EXPECT_EQ(BrushColour(brush), GetSysColor(COLOR_BTNFACE));
  }
  DeleteDC(dc);
}

TEST_F(MainWindow, UsageNoteBeginsWithTheSteps) {
  CreateMain();
  const std::string begin =
      "具体步骤,一在电脑上安装安卓模拟器,二安装定位软件,三安装微信和米聊,陌陌\r\n"
      "摇一摇和查找附近人功能是合在一起的,查找一次附近人,然后摇一次,";
  const std::string note = GetControlText(编辑框5);
  EXPECT_EQ(note.substr(0, begin.size()), begin);
  EXPECT_GT(note.size(), begin.size());
}

TEST_F(MainWindow, SwitchingPagesHidesOneSetOfControlsAndShowsTheOther) {
  CreateMain();
  SelectPage(window, 1);
  for (HWND control : PageZero()) EXPECT_FALSE(HasVisibleStyle(control)) << NameOf(control);
  EXPECT_TRUE(HasVisibleStyle(编辑框5));
  EXPECT_TRUE(HasVisibleStyle(选择夹1));

  SelectPage(window, 0);
  for (HWND control : PageZero()) EXPECT_TRUE(HasVisibleStyle(control)) << NameOf(control);
  EXPECT_FALSE(HasVisibleStyle(编辑框5));
}

TEST_F(MainWindow, ClickOnATabSwitchesThePage) {
  CreateMain();
  ShowMain();
  auto clickTab = [&](int page) {
    RECT item = {};
    ASSERT_TRUE(SendMessageA(选择夹1, TCM_GETITEMRECT, page, reinterpret_cast<LPARAM>(&item)));
    POINT middle = {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ClientToScreen(选择夹1, &middle);
    ClickRealMouseAt(middle);
  };

  clickTab(1);
  EXPECT_TRUE(PumpUntil([] { return IsWindowVisible(编辑框5) != FALSE; }, 2000));
  EXPECT_EQ(SendMessageA(选择夹1, TCM_GETCURSEL, 0, 0), 1);
  for (HWND control : PageZero()) EXPECT_FALSE(IsWindowVisible(control)) << NameOf(control);

  clickTab(0);
  EXPECT_TRUE(PumpUntil([] { return IsWindowVisible(编辑框1) != FALSE; }, 2000));
  for (HWND control : PageZero()) EXPECT_TRUE(IsWindowVisible(control)) << NameOf(control);
  EXPECT_FALSE(IsWindowVisible(编辑框5));
}

TEST_F(MainWindow, TabWalksTheTabStopsInOrderAndSpacePressesTheHiddenTestButton) {
  CreateMain();
  // Row 0 names the window to click, row 3 the point.
  HWND recorder = CreateRecorderWindow(600, 500, 100, 60);
  ShowWindow(recorder, SW_HIDE);
  for (int row = 0; row < 4; ++row) AppendEmptyRow();
  SetCell(0, 3, HandleText(recorder));
  SetCell(3, 1, "30");
  SetCell(3, 2, "40");
  ShowMain();
  ASSERT_TRUE(PumpAsMessageLoopUntil([] { return GetFocus() == 编辑框1; }, 2000))
      << NameOf(GetFocus());

  const HWND order[] = {编辑框2, 编辑框3, 编辑框4, 编辑框_打招呼, 按钮2, 按钮1, 按钮4, 按钮3,
                        超级列表框_配置, 编辑框1};
  for (HWND next : order) {
    PressRealKey(VK_TAB);
    PumpAsMessageLoopUntil([&] { return GetFocus() == next; }, 2000);
    ASSERT_EQ(GetFocus(), next) << "expected " << NameOf(next) << ", focus on " << NameOf(GetFocus());
  }
  PressRealKey(VK_TAB, true);  // Shift+Tab goes back round
  PumpAsMessageLoopUntil([] { return GetFocus() == 超级列表框_配置; }, 2000);
  EXPECT_EQ(GetFocus(), 超级列表框_配置) << NameOf(GetFocus());

  PressRealKey(VK_TAB, true);
  PumpAsMessageLoopUntil([] { return GetFocus() == 按钮3; }, 2000);
  ASSERT_EQ(GetFocus(), 按钮3) << NameOf(GetFocus());
  ClearRecordedMessages(recorder);
  PressRealKey(VK_SPACE);
  PumpAsMessageLoopUntil([&] { return RecordedMessages(recorder).size() >= 3; }, 2000);
  PumpAsMessageLoop(50);
  const std::vector<RecordedMessage> got = RecordedMessages(recorder);
  ASSERT_EQ(got.size(), 3u) << DescribeMessages(got);
  const LPARAM point = static_cast<LPARAM>(PackPointLParam(30, 40));
  EXPECT_EQ(got[0].message, static_cast<UINT>(WM_MOUSEMOVE));
  EXPECT_EQ(got[1].message, static_cast<UINT>(WM_LBUTTONDOWN));
  EXPECT_EQ(got[2].message, static_cast<UINT>(WM_LBUTTONUP));
  for (const RecordedMessage& m : got) EXPECT_EQ(m.lParam, point) << DescribeMessages(got);
  DestroyWindow(recorder);
}

TEST_F(MainWindow, EscClosesTheWindowFromAnyPageButNotWithShift) {
  const struct {
    const char* name;
    HWND* focus;
    int page;
  } cases[] = {
      {"编辑框1", &编辑框1, 0},
      {"编辑框_打招呼", &编辑框_打招呼, 0},
      {"按钮1", &按钮1, 0},
      {"超级列表框_配置", &超级列表框_配置, 0},
      {"编辑框5", &编辑框5, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CreateMain();
    ShowMain();
    SelectPage(window, c.page);
    SetFocus(*c.focus);
    PumpAsMessageLoop(50);
    ASSERT_EQ(GetFocus(), *c.focus) << NameOf(GetFocus());

    PressRealKey(VK_ESCAPE, true);
    PumpAsMessageLoop(300);
    EXPECT_TRUE(IsWindow(window)) << "Shift+Esc closed the window";

    if (IsWindow(window)) {
      SetFocus(*c.focus);
      PressRealKey(VK_ESCAPE);
      EXPECT_TRUE(PumpAsMessageLoopUntil([&] { return !IsWindow(window); }, 2000));
    }
    EXPECT_TRUE(windowClosed);
    PumpFor(50);  // takes the quit message
  }
}

TEST_F(MainWindow, EnterInTheNoteInsertsALineBreak) {
  CreateMain();
  ShowMain();
  SelectPage(window, 1);
  SetFocus(编辑框5);
  const std::string before = GetControlText(编辑框5);
  const WPARAM end = before.size();
  SendMessageA(编辑框5, EM_SETSEL, end, end);
  PumpAsMessageLoop(50);
  PressRealKey(VK_RETURN);
  PumpAsMessageLoopUntil([&] { return GetControlText(编辑框5) != before; }, 2000);
  EXPECT_EQ(GetControlText(编辑框5), before + "\r\n");
  EXPECT_TRUE(IsWindow(window));
}

}  // namespace
