// Benchmark of the real bgshake.exe, driven from outside like the end-to-end
// tests: how much processor time its waits cost, how late each wait ends, how
// long a large click-point file takes to load, and whether a long run stays
// in order without growing. It prints one line per figure and asserts
// nothing; the figures are for reading, not for a pass or a fail.
//
//   bench.exe                 every section but the soak
//   bench.exe soak nearby     the named sections, in the order given
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "support/process.h"
#include "support/recorder.h"

namespace {

// ---- Figures -------------------------------------------------------------

void Figure(const char* name, const std::string& text) {
  printf("%s: %s\n", name, text.c_str());
  fflush(stdout);
}

std::string Format(const char* format, ...) {
  char text[1024];
  va_list arguments;
  va_start(arguments, format);
  vsnprintf(text, sizeof(text), format, arguments);
  va_end(arguments);
  return text;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t half = values.size() / 2;
  return values.size() % 2 ? values[half] : (values[half - 1] + values[half]) / 2;
}

double Max(const std::vector<double>& values) {
  return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

// ---- Processor time --------------------------------------------------------

double FileTimeMs(const FILETIME& time) {
  ULARGE_INTEGER value;
  value.LowPart = time.dwLowDateTime;
  value.HighPart = time.dwHighDateTime;
  return static_cast<double>(value.QuadPart) / 10000.0;  // 100 ns units
}

// User plus kernel time a process has used so far, in ms.
double ProcessCpuMs(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return FileTimeMs(kernel) + FileTimeMs(user);
}

double ThreadCpuMs(HANDLE thread) {
  FILETIME created, exited, kernel, user;
  if (!GetThreadTimes(thread, &created, &exited, &kernel, &user)) return 0;
  return FileTimeMs(kernel) + FileTimeMs(user);
}

// The tool's processor time over a stretch of wall time.
struct CpuWindow {
  HANDLE process;
  double startCpuMs;
  double startWallMs;
};

CpuWindow StartCpuWindow(HANDLE process) {
  return {process, ProcessCpuMs(process), RecorderNowMs()};
}

// Percent of one core, and the wall time it was taken over.
double CpuPercent(const CpuWindow& window, double* wallMs) {
  *wallMs = RecorderNowMs() - window.startWallMs;
  const double cpuMs = ProcessCpuMs(window.process) - window.startCpuMs;
  return *wallMs > 0 ? cpuMs * 100.0 / *wallMs : 0;
}

// The wait the tool replaces: one that polls the queue and the clock without
// ever sleeping. It runs on its own thread for the same wall time as the tool
// is measured, and its thread time is the reference figure.
struct SpinningWait {
  DWORD ms;
  double wallMs;
  double cpuMs;  // taken by the thread itself: an ended thread's times may be gone
};

DWORD WINAPI RunSpinningWait(void* parameter) {
  auto* wait = static_cast<SpinningWait*>(parameter);
  const double started = RecorderNowMs();
  const DWORD end = GetTickCount() + wait->ms;
  MSG message;
  for (;;) {
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    if (GetTickCount() > end) break;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
  }
  wait->wallMs = RecorderNowMs() - started;
  wait->cpuMs = ThreadCpuMs(GetCurrentThread());
  return 0;
}

// ---- The tool --------------------------------------------------------------

// A copy of the exe in a fresh folder, with the given click-point file beside it.
bool StartFreshTool(Tool* tool, const char* name, const std::string& clickFile) {
  tool->folder = MakeTestFolder(std::string("bench-") + name);
  if (!WriteFileBytes(ClickFilePath(tool->folder), clickFile)) return false;
  return StartTool(tool);
}

void CloseTool(Tool* tool) {
  if (tool->window) PostMessageA(tool->window, WM_CLOSE, 0, 0);
  WaitForToolExit(tool, 10000);
}

// Sets an edit box of the tool. The inputs are not what is measured, so they
// are set directly rather than typed, which is slow and, on a loaded machine,
// can lose keys.
void SetToolText(const Tool& tool, int id, const std::string& text) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(ToolControl(tool, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                      SMTO_NORMAL, 5000, &result);
}

bool WaitForMessages(HWND recorder, size_t count, int timeoutMs) {
  return PumpUntil([&] { return RecordedMessages(recorder).size() >= count; }, timeoutMs);
}

// Count and interval set in the window, the target handle too if given, then
// a real mouse click on the run's button. Both runs post at once, so the
// first message tells that the click started the run; the first click after
// the Wine desktop came up is sometimes lost, and is then repeated.
bool StartRun(const Tool& tool, int buttonId, const char* count, const char* interval,
              HWND target, HWND recorder) {
  if (target) SetToolText(tool, kId编辑框2, HandleText(target));
  SetToolText(tool, kId编辑框1, count);
  SetToolText(tool, kId编辑框3, interval);
  for (int attempt = 0; attempt < 3; ++attempt) {
    ActivateTool(tool);
    ClickWithMouse(ToolControl(tool, buttonId));
    if (WaitForMessages(recorder, 1, 2000)) return true;
  }
  return false;
}

// The recorder stands in for the emulator window: bottom right of the screen,
// clear of the tool's centred window and of the cursor, which stays on the
// tool's buttons.
HWND MakeRecorder() {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  return CreateRecorderWindow(width - 200, height - 160, 180, 140);
}

// ---- Expected message sequences and the lateness of their waits -----------

using Sequence = std::vector<ExpectedPost>;

void Append(Sequence* sequence, const Sequence& more) {
  sequence->insert(sequence->end(), more.begin(), more.end());
}

// VK_RIGHT held 3000 ms, 350 ms later a VK_DOWN press.
Sequence ShakeGesturePosts(int afterMs) {
  return {{WM_KEYDOWN, VK_RIGHT, 0, afterMs},
          {WM_KEYUP, VK_RIGHT, 0, 3000},
          {WM_KEYDOWN, VK_DOWN, 0, 350},
          {WM_KEYUP, VK_DOWN, 0, 0}};
}

// The shake-only run: iterations of the gesture, each followed by the
// interval less 3 s.
Sequence ShakeRunSequence(int count, int intervalWaitMs) {
  Sequence sequence;
  for (int i = 0; i < count; ++i) Append(&sequence, ShakeGesturePosts(i == 0 ? -1 : intervalWaitMs));
  return sequence;
}

struct WaitFigures {
  std::vector<double> lateness;  // ms, one per wait, in order
  std::vector<int> specifiedMs;
  std::string problem;           // empty when every message came as expected
};

// Compares what the recorder got with the expected sequence and measures each
// wait from the last message before it to the first one after it. Posting and
// delivery to the recorder are part of the figure.
WaitFigures MeasureWaits(const std::vector<RecordedMessage>& got, const Sequence& expected) {
  WaitFigures figures;
  if (got.size() < expected.size()) {
    figures.problem = Format("%u of %u messages arrived", static_cast<unsigned>(got.size()),
                             static_cast<unsigned>(expected.size()));
  }
  const size_t n = std::min(got.size(), expected.size());
  for (size_t i = 0; i < n; ++i) {
    const ExpectedPost& e = expected[i];
    if (got[i].message != e.message || got[i].wParam != e.wParam || got[i].lParam != e.lParam) {
      figures.problem = Format("message %u is %s", static_cast<unsigned>(i),
                               DescribeMessage(got[i]).c_str());
      break;
    }
    if (i > 0 && e.afterMs > 0) {
      figures.lateness.push_back(got[i].atMs - got[i - 1].atMs - e.afterMs);
      figures.specifiedMs.push_back(e.afterMs);
    }
  }
  return figures;
}

// "median +1.2 ms, max +3.4 ms over 8 waits (3000: +1.1, 350: +0.9, ...)".
std::string DescribeWaits(const WaitFigures& figures, bool listEach) {
  std::string text = Format("median %+.1f ms, max %+.1f ms over %u waits", Median(figures.lateness),
                            Max(figures.lateness), static_cast<unsigned>(figures.lateness.size()));
  if (listEach && !figures.lateness.empty()) {
    text += " (";
    for (size_t i = 0; i < figures.lateness.size(); ++i) {
      text += Format("%s%d: %+.1f", i ? ", " : "", figures.specifiedMs[i], figures.lateness[i]);
    }
    text += ")";
  }
  text += " (target median < 5, max < 20)";
  if (!figures.problem.empty()) text += "; WRONG SEQUENCE: " + figures.problem;
  return text;
}

// ---- Sections ---------------------------------------------------------------

// The tool's processor time during the 18 s final wait of a shake-only run
// (interval 21): first alone, then while a wait that never sleeps runs in
// this program over the same wall time, as the reference.
void BenchWaitCpu() {
  constexpr DWORD kWindowMs = 8000;
  HWND recorder = MakeRecorder();
  Tool tool;
  if (!StartFreshTool(&tool, "wait-cpu", "")) return Figure("wait-cpu-per-second", "tool did not start");
  const double sinceStartMs = ProcessCpuMs(tool.process.hProcess);
  if (!StartRun(tool, kId按钮1, "1", "21", recorder, recorder) ||
      !WaitForMessages(recorder, 4, 15000)) {
    CloseTool(&tool);
    return Figure("wait-cpu-per-second", "the gesture did not arrive");
  }
  PumpFor(300);  // the final wait has begun
  const CpuWindow alone = StartCpuWindow(tool.process.hProcess);
  PumpFor(kWindowMs);
  double wallMs = 0;
  const double toolPercent = CpuPercent(alone, &wallMs);

  SpinningWait spinning = {kWindowMs, 0, 0};
  const CpuWindow beside = StartCpuWindow(tool.process.hProcess);
  HANDLE thread = CreateThread(nullptr, 0, RunSpinningWait, &spinning, 0, nullptr);
  PumpFor(kWindowMs);
  WaitForSingleObject(thread, 5000);
  CloseHandle(thread);
  double besideWallMs = 0;
  const double besidePercent = CpuPercent(beside, &besideWallMs);
  const double spinningPercent = spinning.wallMs > 0 ? spinning.cpuMs * 100.0 / spinning.wallMs : 0;
  const std::string note =
      sinceStartMs > 0 ? "" : "; the system reported no processor time for the tool at all";
  Figure("wait-cpu-per-second",
         Format("tool %.2f %% of a core, spinning reference %.1f %% (%.1f s each of an 18 s "
                "wait; tool beside the reference %.2f %%; target tool <= 2 %%)%s",
                toolPercent, spinningPercent, wallMs / 1000.0, besidePercent, note.c_str()));
  CloseTool(&tool);
  DestroyWindow(recorder);
}

// Lateness of every wait of a shake-only run: count 3, interval 4, so the
// 3000 ms hold, the 350 ms pause and a 1000 ms wait between iterations.
void BenchShakeLateness() {
  HWND recorder = MakeRecorder();
  Tool tool;
  if (!StartFreshTool(&tool, "lateness", "")) return Figure("shake-wait-lateness", "tool did not start");
  const Sequence expected = ShakeRunSequence(3, 1000);
  StartRun(tool, kId按钮1, "3", "4", recorder, recorder);
  WaitForMessages(recorder, expected.size(), 30000);
  const WaitFigures figures = MeasureWaits(RecordedMessages(recorder), expected);
  Figure("shake-wait-lateness", DescribeWaits(figures, true));
  CloseTool(&tool);
  DestroyWindow(recorder);
}

// One iteration of the nearby-and-shake run at interval 12 (a 2000 ms interval
// wait), its steps' lateness and the tool's processor time over it. The
// second iteration's first click ends the closing 3000 ms wait; the tool is
// closed then.
void BenchNearbyIteration() {
  HWND recorder = MakeRecorder();
  const std::string clickFile = "0----0----0----" + HandleText(recorder) +
                                "\r\n1----11----21----0\r\n2----12----22----0\r\n3----13----23----0\r\n";
  Tool tool;
  if (!StartFreshTool(&tool, "nearby", clickFile)) {
    return Figure("nearby-step-lateness", "tool did not start");
  }
  Sequence expected = ClickPosts(11, 21, -1);
  Append(&expected, ClickPosts(12, 22, 10000));
  Append(&expected, ClickPosts(13, 23, 2000));
  Append(&expected, ShakeGesturePosts(2000));
  Append(&expected, ClickPosts(12, 22, 50 + 2000));
  Append(&expected, ClickPosts(11, 21, 3000));
  const CpuWindow toolWindow = StartCpuWindow(tool.process.hProcess);
  StartRun(tool, kId按钮2, "2", "12", nullptr, recorder);
  WaitForMessages(recorder, expected.size(), 40000);
  double wallMs = 0;
  const double toolPercent = CpuPercent(toolWindow, &wallMs);
  const WaitFigures figures = MeasureWaits(RecordedMessages(recorder), expected);
  Figure("nearby-step-lateness", DescribeWaits(figures, true));
  Figure("nearby-iteration-cpu",
         Format("tool %.2f %% of a core over %.1f s (setting the inputs and the button click "
                "included; target <= 2 %%)",
                toolPercent, wallMs / 1000.0));
  CloseTool(&tool);
  DestroyWindow(recorder);
}

// Start-up with a 20,000-line click-point file against an empty one: from
// CreateProcess to the window being shown, the median of three starts each.
void BenchLoadTime() {
  std::string bigFile;
  constexpr int kLines = 20000;
  for (int i = 0; i < kLines; ++i) {
    bigFile += Format("%d----%d----%d----%d\r\n", i, 100 + i % 900, 200 + i % 500, 65536 + i);
  }
  struct Case {
    const char* name;
    const std::string* file;
    std::vector<double> shownMs;
    int rows;
  };
  const std::string emptyFile;
  Case cases[] = {{"empty", &emptyFile, {}, 0}, {"20000", &bigFile, {}, 0}};
  for (int round = 0; round < 3; ++round) {
    for (Case& c : cases) {
      Tool tool;
      tool.folder = MakeTestFolder(std::string("bench-load-") + c.name);
      WriteFileBytes(ClickFilePath(tool.folder), *c.file);
      double shownMs = 0;
      if (StartToolTimed(&tool, &shownMs, 120000)) {
        c.shownMs.push_back(shownMs);
        c.rows = static_cast<int>(
            SendMessageA(ToolControl(tool, kId超级列表框_配置), LVM_GETITEMCOUNT, 0, 0));
      }
      CloseTool(&tool);
    }
  }
  Figure("load-time",
         Format("%d-line file %.0f ms to the window shown (%d rows loaded), empty file %.0f ms; "
                "the file adds %.0f ms (median of %u starts)",
                kLines, Median(cases[1].shownMs), cases[1].rows, Median(cases[0].shownMs),
                Median(cases[1].shownMs) - Median(cases[0].shownMs),
                static_cast<unsigned>(cases[1].shownMs.size())));
}

// What the system says about the tool's memory and objects at one moment.
struct ProcessSnapshot {
  double workingSetKb;
  double privateKb;
  DWORD handles;
  DWORD gdiObjects;
  DWORD userObjects;
};

ProcessSnapshot TakeSnapshot(HANDLE process) {
  ProcessSnapshot snapshot = {};
  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof(memory);
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                           sizeof(memory))) {
    snapshot.workingSetKb = memory.WorkingSetSize / 1024.0;
    snapshot.privateKb = memory.PrivateUsage / 1024.0;
  }
  GetProcessHandleCount(process, &snapshot.handles);
  snapshot.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
  snapshot.userObjects = GetGuiResources(process, GR_USEROBJECTS);
  return snapshot;
}

// "start 1234 -> end 1240", or a note that the system gives no figure.
std::string StartToEnd(double start, double end, const char* unit) {
  if (start == 0 && end == 0) return "not reported (0)";
  return Format("%.0f -> %.0f%s", start, end, unit);
}

// 30 iterations of the shake-only run at interval 3.5: every message in
// order, the waits' lateness, and the tool's processor time, memory and
// objects from before the run to after it.
void BenchSoak() {
  constexpr int kIterations = 30;
  HWND recorder = MakeRecorder();
  Tool tool;
  if (!StartFreshTool(&tool, "soak", "")) return Figure("soak-order", "tool did not start");
  const ProcessSnapshot before = TakeSnapshot(tool.process.hProcess);
  const Sequence expected = ShakeRunSequence(kIterations, 500);
  const CpuWindow toolWindow = StartCpuWindow(tool.process.hProcess);
  if (!StartRun(tool, kId按钮1, "30", "3.5", recorder, recorder)) {
    CloseTool(&tool);
    return Figure("soak-order", "the run did not start (no message after three clicks)");
  }
  WaitForMessages(recorder, expected.size(), kIterations * 3850 + 30000);
  PumpFor(1000);  // the last interval wait runs out; the tool is idle again
  double wallMs = 0;
  const double toolPercent = CpuPercent(toolWindow, &wallMs);
  const ProcessSnapshot after = TakeSnapshot(tool.process.hProcess);
  const std::vector<RecordedMessage> got = RecordedMessages(recorder);
  const WaitFigures figures = MeasureWaits(got, expected);
  Figure("soak-order", figures.problem.empty()
                           ? Format("all %u messages arrived in order",
                                    static_cast<unsigned>(expected.size()))
                           : figures.problem);
  Figure("soak-wait-lateness", DescribeWaits(figures, false));
  Figure("soak-cpu", Format("tool %.2f %% of a core over %.1f s", toolPercent, wallMs / 1000.0));
  Figure("soak-memory",
         Format("working set %s, private bytes %s",
                StartToEnd(before.workingSetKb, after.workingSetKb, " KB").c_str(),
                StartToEnd(before.privateKb, after.privateKb, " KB").c_str()));
  Figure("soak-objects",
         Format("handles %s, GDI objects %s, USER objects %s",
                StartToEnd(before.handles, after.handles, "").c_str(),
                StartToEnd(before.gdiObjects, after.gdiObjects, "").c_str(),
                StartToEnd(before.userObjects, after.userObjects, "").c_str()));
  CloseTool(&tool);
  DestroyWindow(recorder);
}

struct Section {
  const char* name;
  void (*run)();
  bool byDefault;
};

const Section kSections[] = {
    {"wait-cpu", BenchWaitCpu, true},
    {"lateness", BenchShakeLateness, true},
    {"nearby", BenchNearbyIteration, true},
    {"load", BenchLoadTime, true},
    {"soak", BenchSoak, false},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc == 1) {
    for (const Section& section : kSections) {
      if (section.byDefault) section.run();
    }
    return 0;
  }
  for (int i = 1; i < argc; ++i) {
    const Section* found = nullptr;
    for (const Section& section : kSections) {
      if (strcmp(section.name, argv[i]) == 0) found = &section;
    }
    if (!found) {
      fprintf(stderr, "unknown section %s; sections:", argv[i]);
      for (const Section& section : kSections) fprintf(stderr, " %s", section.name);
      fprintf(stderr, "\n");
      return 2;
    }
    found->run();
  }
  return 0;
}
