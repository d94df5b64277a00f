// Recording windows for the tests; see recorder.h.
#include "support/recorder.h"

#include <map>

#include "support/process.h"

namespace {

constexpr char kRecorderClass[] = "bgshakeTestRecorder";

std::map<HWND, std::vector<RecordedMessage>>& Recordings() {
  static std::map<HWND, std::vector<RecordedMessage>> recordings;
  return recordings;
}

double CounterMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

const double startMs = CounterMs();

bool IsRecorded(UINT message) {
  return message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN || message == WM_LBUTTONUP ||
         message == WM_KEYDOWN || message == WM_KEYUP;
}

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsRecorded(message)) {
    Recordings()[window].push_back({message, wParam, lParam, RecorderNowMs()});
    return 0;
  }
  if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
  return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterRecorderClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = RecorderProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kRecorderClass;
  RegisterClassA(&windowClass);
  registered = true;
}

}  // namespace

double RecorderNowMs() { return CounterMs() - startMs; }

HWND CreateRecorderWindow(int x, int y, int width, int height) {
  RegisterRecorderClass();
  // A window that appears under the real cursor gets real mouse moves, which
  // would mix with the posted ones; the cursor goes to a corner first.
  POINT cursor = {};
  const RECT area = {x, y, x + width, y + height};
  if (GetCursorPos(&cursor) && PtInRect(&area, cursor)) {
    MoveCursorTo(x + width < GetSystemMetrics(SM_CXSCREEN) - 20 ? GetSystemMetrics(SM_CXSCREEN) - 10 : 10,
                 y + height < GetSystemMetrics(SM_CYSCREEN) - 20 ? GetSystemMetrics(SM_CYSCREEN) - 10 : 10);
  }
  HWND window = CreateWindowExA(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kRecorderClass, "recorder",
                                WS_POPUP | WS_BORDER, x, y, width, height, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  if (window) ShowWindow(window, SW_SHOWNOACTIVATE);
  Recordings()[window].clear();
  return window;
}

HWND CreateRecorderChild(HWND parent, int x, int y, int width, int height) {
  RegisterRecorderClass();
  HWND window = CreateWindowExA(0, kRecorderClass, "child", WS_CHILD | WS_VISIBLE | WS_BORDER, x, y,
                                width, height, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
  Recordings()[window].clear();
  return window;
}

std::vector<RecordedMessage> RecordedMessages(HWND recorder) { return Recordings()[recorder]; }

void ClearRecordedMessages(HWND recorder) { Recordings()[recorder].clear(); }

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  const double end = RecorderNowMs() + timeoutMs;
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (done()) return true;
    const double left = end - RecorderNowMs();
    if (left <= 0) return done();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, left < 5 ? static_cast<DWORD>(left) + 1 : 5,
                              QS_ALLINPUT);
  }
}

void PumpFor(int ms) {
  PumpUntil([] { return false; }, ms);
}

std::string HandleText(HWND window) {
  return std::to_string(static_cast<int32_t>(reinterpret_cast<intptr_t>(window)));
}

std::string DescribeMessage(const RecordedMessage& m) {
  const char* name = "?";
  switch (m.message) {
    case WM_MOUSEMOVE: name = "WM_MOUSEMOVE"; break;
    case WM_LBUTTONDOWN: name = "WM_LBUTTONDOWN"; break;
    case WM_LBUTTONUP: name = "WM_LBUTTONUP"; break;
    case WM_KEYDOWN: name = "WM_KEYDOWN"; break;
    case WM_KEYUP: name = "WM_KEYUP"; break;
  }
  char text[128];
  snprintf(text, sizeof(text), "%s w=%llu l=0x%08llx @%.0fms", name,
           static_cast<unsigned long long>(m.wParam),
           static_cast<unsigned long long>(static_cast<uint64_t>(m.lParam)), m.atMs);
  return text;
}

std::string DescribeMessages(const std::vector<RecordedMessage>& messages) {
  std::string text;
  for (const RecordedMessage& m : messages) text += DescribeMessage(m) + "\n";
  return text;
}
