// Driving the real exe; see process.h.
#include "support/process.h"

#include <vector>

#include "app/control_ids.h"
#include "support/recorder.h"

namespace {

const char kClickFileName[] = "后台摇一摇配置.ini";

struct WindowSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK FindToolWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char className[64] = {};
  GetClassNameA(window, className, sizeof(className));
  if (owner == search->processId && strcmp(className, BGSHAKE_WINDOW_CLASS) == 0 &&
      IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

void SendKey(WORD virtualKey, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof(input));
}

}  // namespace

// Copies the exe into tool->folder, starts it in currentDirectory (the folder
// when empty) and waits up to timeoutMs for its window; shownAfterMs is the
// time from CreateProcess until the window was seen, late by up to one pump
// step (a few ms).
static bool LaunchTool(Tool* tool, const std::string& currentDirectory, double* shownAfterMs,
                int timeoutMs) {
  const std::string source = TestExeDirectory() + "\\..\\bgshake.exe";
  const std::string exe = tool->folder + "\\bgshake.exe";
  if (!CopyFileA(source.c_str(), exe.c_str(), FALSE)) return false;
  const std::string directory = currentDirectory.empty() ? tool->folder : currentDirectory;
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  std::string commandLine = "\"" + exe + "\"";
  const double started = RecorderNowMs();
  if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                      directory.c_str(), &startup, &tool->process)) {
    return false;
  }
  WindowSearch search = {tool->process.dwProcessId, nullptr};
  PumpUntil(
      [&] {
        EnumWindows(FindToolWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      timeoutMs);
  *shownAfterMs = RecorderNowMs() - started;
  tool->window = search.found;
  return tool->window != nullptr;
}

std::string TestExeDirectory() {
  char path[MAX_PATH * 4] = {};
  GetModuleFileNameA(nullptr, path, sizeof(path));
  std::string text = path;
  return text.substr(0, text.find_last_of('\\'));
}

std::string MakeTestFolder(const std::string& name) {
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof(temp), temp);
  std::string base = std::string(temp) + "bgshake-tests";
  CreateDirectoryA(base.c_str(), nullptr);
  std::string folder = base + "\\" + name + "-" + std::to_string(GetCurrentProcessId());
  // Start from nothing: remove what an earlier run left.
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string file = folder + "\\" + entry.cFileName;
      SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(file.c_str());
    } while (FindNextFileA(find, &entry));
    FindClose(find);
  }
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

std::string ClickFilePath(const std::string& folder) { return folder + "\\" + kClickFileName; }

std::string ReadFileBytes(const std::string& path) {
  std::string bytes;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(file);
  return ok;
}

bool StartTool(Tool* tool, const std::string& currentDirectory) {
  double shownAfterMs = 0;
  if (!LaunchTool(tool, currentDirectory, &shownAfterMs, 15000)) return false;
  PumpFor(300);  // let it settle: first paint, activation
  return true;
}

long WaitForToolExit(Tool* tool, int ms) {
  if (!tool->process.hProcess) return -1;
  PumpUntil([&] { return WaitForSingleObject(tool->process.hProcess, 0) == WAIT_OBJECT_0; }, ms);
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(tool->process.hProcess, &code);
  long result = static_cast<long>(code);
  if (code == STILL_ACTIVE) {
    TerminateProcess(tool->process.hProcess, 99);
    WaitForSingleObject(tool->process.hProcess, 5000);
    result = -1;
  }
  CloseHandle(tool->process.hProcess);
  CloseHandle(tool->process.hThread);
  tool->process = {};
  return result;
}

HWND ToolControl(const Tool& tool, int id) { return GetDlgItem(tool.window, id); }

std::string ControlTextOf(HWND control) {
  std::vector<char> buffer(65536);
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(control, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                           SMTO_NORMAL, 5000, &copied)) {
    return "<no answer>";
  }
  return std::string(buffer.data(), copied);
}

void ActivateTool(const Tool& tool) {
  SetForegroundWindow(tool.window);
  PumpFor(100);
}

void ClickWithMouse(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  // Settled first: under Wine a click right after a move can land where the
  // cursor was before.
  MoveCursorTo((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  INPUT input[2] = {};
  input[0].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].type = INPUT_MOUSE;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, input, sizeof(INPUT));
  PumpFor(150);
}

void PressKey(WORD virtualKey) {
  SendKey(virtualKey, false);
  SendKey(virtualKey, true);
  PumpFor(100);
}

void TypeInto(HWND edit, const std::string& text) {
  ClickWithMouse(edit);
  SendMessageA(edit, EM_SETSEL, 0, -1);
  if (text.empty()) PressKey(VK_DELETE);
  for (char c : text) {
    INPUT input[2] = {};
    for (int i = 0; i < 2; ++i) {
      input[i].type = INPUT_KEYBOARD;
      input[i].ki.wScan = static_cast<unsigned char>(c);
      input[i].ki.dwFlags = KEYEVENTF_UNICODE | (i == 1 ? KEYEVENTF_KEYUP : 0);
    }
    SendInput(2, input, sizeof(INPUT));
  }
  PumpUntil([&] { return ControlTextOf(edit) == text; }, 3000);
}

std::vector<TextSeen> WatchControlText(HWND control, const std::function<bool()>& done,
                                       int timeoutMs, int pollMs) {
  std::vector<TextSeen> seen;
  double nextPoll = 0;
  auto poll = [&] {
    const double now = RecorderNowMs();
    if (now < nextPoll) return;
    nextPoll = now + pollMs;
    std::string text = ControlTextOf(control);
    if (seen.empty() || seen.back().text != text) seen.push_back({std::move(text), now});
  };
  PumpUntil(
      [&] {
        poll();
        return done();
      },
      timeoutMs);
  nextPoll = 0;  // the text that made done() true is read once more
  poll();
  return seen;
}

std::vector<ExpectedPost> ClickPosts(int x, int y, int afterMs) {
  const LPARAM point = static_cast<LPARAM>((x & 0xFFFF) | ((y & 0xFFFF) << 16));
  return {{WM_MOUSEMOVE, 2, point, afterMs},
          {WM_LBUTTONDOWN, MK_LBUTTON, point, 0},
          {WM_LBUTTONUP, 0, point, 0}};
}

std::string TimelineMismatch(const std::vector<RecordedMessage>& got,
                             const std::vector<ExpectedPost>& expected, double slackMs,
                             double lateMs) {
  std::string problem;
  for (size_t i = 0; i < expected.size() && problem.empty(); ++i) {
    const ExpectedPost& want = expected[i];
    if (i >= got.size()) {
      problem = "message " + std::to_string(i) + " never came";
      break;
    }
    const RecordedMessage& m = got[i];
    if (m.message != want.message || m.wParam != want.wParam || m.lParam != want.lParam) {
      problem = "message " + std::to_string(i) + " differs: " + DescribeMessage(m);
    } else if (i > 0 && want.afterMs >= 0) {
      const double gap = m.atMs - got[i - 1].atMs;
      if (gap < want.afterMs - slackMs || gap > want.afterMs + lateMs) {
        problem = "message " + std::to_string(i) + " came " + std::to_string(gap) +
                  " ms after the previous one, expected " + std::to_string(want.afterMs);
      }
    }
  }
  if (problem.empty() && got.size() > expected.size()) {
    problem = "more messages than expected: " + std::to_string(got.size());
  }
  return problem.empty() ? problem : problem + "\nreceived:\n" + DescribeMessages(got);
}

void PressKeyWith(WORD modifier, WORD key) {
  SendKey(modifier, false);
  SendKey(key, false);
  SendKey(key, true);
  SendKey(modifier, true);
  PumpFor(100);
}

HWND ToolFocus(const Tool& tool) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(tool.process.dwThreadId, &info)) return nullptr;
  return info.hwndFocus;
}

bool StartToolTimed(Tool* tool, double* shownAfterMs, int timeoutMs) {
  return LaunchTool(tool, std::string(), shownAfterMs, timeoutMs);
}

bool MoveCursorTo(int x, int y) {
  auto isThere = [&] {
    POINT now = {};
    return GetCursorPos(&now) && now.x == x && now.y == y;
  };
  for (int attempt = 0; attempt < 5; ++attempt) {
    // Wine moves the X pointer only when the position it keeps changes, and
    // that one can already say (x, y) while the pointer is elsewhere: a step
    // beside the point first makes both move.
    SetCursorPos(x + 1, y);
    SetCursorPos(x, y);
    PumpFor(150);
    if (isThere() && !PumpUntil([&] { return !isThere(); }, 60)) return true;
  }
  return false;
}

POINT WindowCentre(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

bool ClickWithSettledMouse(HWND control) {
  const POINT centre = WindowCentre(control);
  if (!MoveCursorTo(centre.x, centre.y)) return false;
  ClickWithMouse(control);
  return true;
}

bool TypeIntoSettled(HWND edit, const std::string& text) {
  const POINT centre = WindowCentre(edit);
  if (!MoveCursorTo(centre.x, centre.y)) return false;
  TypeInto(edit, text);
  return ControlTextOf(edit) == text;
}
