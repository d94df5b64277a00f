// Faults a user's PC can throw at the running tool: the target window going
// away mid-run, the click file changing under it, odd texts in every box. The
// tool must keep running, show no message box, and lose nothing on disk.
#include <gtest/gtest.h>

#include <string>

#include "app/control_ids.h"
#include "support/process.h"
#include "support/recorder.h"

namespace {

const char kFourRows[] =
    "0----0----0----0\r\n1----11----21----0\r\n2----12----22----0\r\n3----13----23----0\r\n";

struct ToolWindows {
  DWORD processId;
  int visibleTopLevel;
};

BOOL CALLBACK CountToolWindows(HWND window, LPARAM parameter) {
  auto* count = reinterpret_cast<ToolWindows*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == count->processId && IsWindowVisible(window)) ++count->visibleTopLevel;
  return TRUE;
}

class ToolUnderFault : public testing::Test {
 protected:
  void Start(const std::string& clickFile = std::string()) {
    // Parameterised tests have a slash in their names; a folder name cannot.
    std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
    for (char& c : name) {
      if (c == '/') c = '-';
    }
    tool.folder = MakeTestFolder(name);
    if (!clickFile.empty()) ASSERT_TRUE(WriteFileBytes(ClickFilePath(tool.folder), clickFile));
    ASSERT_TRUE(StartTool(&tool));
  }
  HWND Control(int id) const { return ToolControl(tool, id); }

  // The tool still answers, and shows nothing but its one window.
  void ExpectAliveWithOneWindow() {
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutA(tool.window, WM_NULL, 0, 0, SMTO_NORMAL, 3000, &result));
    ToolWindows count = {tool.process.dwProcessId, 0};
    EnumWindows(CountToolWindows, reinterpret_cast<LPARAM>(&count));
    EXPECT_EQ(count.visibleTopLevel, 1) << "a message box or another window appeared";
  }

  void Save() {
    ASSERT_TRUE(ClickWithSettledMouse(Control(kId按钮4)));
    PumpFor(300);
  }

  bool NoTempFileLeft() const {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((tool.folder + "\\*.tmp").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return true;
    FindClose(find);
    return false;
  }

  void EndWithEsc() {
    ActivateTool(tool);
    PressKey(VK_ESCAPE);
    EXPECT_EQ(WaitForToolExit(&tool, 3000), 0);
  }

  void TearDown() override {
    if (tool.process.hProcess) WaitForToolExit(&tool, 0);
  }

  Tool tool;
};

TEST_F(ToolUnderFault, RunGoesOnPostingWhenTheTargetWindowIsDestroyed) {
  HWND recorder = CreateRecorderWindow(20, 20, 160, 120);
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_TRUE(TypeIntoSettled(Control(kId编辑框2), HandleText(recorder)));
  ASSERT_TRUE(TypeIntoSettled(Control(kId编辑框1), "2"));
  ASSERT_TRUE(TypeIntoSettled(Control(kId编辑框3), "3"));
  ASSERT_TRUE(ClickWithSettledMouse(Control(kId按钮1)));
  MoveCursorTo(900, 700);
  ASSERT_TRUE(PumpUntil([&] { return !RecordedMessages(recorder).empty(); }, 3000));
  DestroyWindow(recorder);  // the handle in 编辑框2 is stale from now on
  // Two iterations of 3350 ms with no interval wait: the run ends normally.
  EXPECT_TRUE(PumpUntil([&] { return ControlTextOf(Control(kId编辑框4)) == "2"; }, 12000));
  ExpectAliveWithOneWindow();
  EndWithEsc();
}

TEST_F(ToolUnderFault, SaveAfterTheFileWasDeletedWritesTheTableAgain) {
  ASSERT_NO_FATAL_FAILURE(Start(kFourRows));
  ASSERT_TRUE(DeleteFileA(ClickFilePath(tool.folder).c_str()));
  ASSERT_NO_FATAL_FAILURE(Save());
  EXPECT_EQ(ReadFileBytes(ClickFilePath(tool.folder)), kFourRows);
  EXPECT_TRUE(NoTempFileLeft());
  ExpectAliveWithOneWindow();
  EndWithEsc();
}

TEST_F(ToolUnderFault, SaveLeavesAFileMadeReadOnlyAfterStartAsItWas) {
  ASSERT_NO_FATAL_FAILURE(Start(kFourRows));
  const std::string path = ClickFilePath(tool.folder);
  const std::string changed = "9----99----99----9\r\n";  // differs from the table
  ASSERT_TRUE(WriteFileBytes(path, changed));
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_NO_FATAL_FAILURE(Save());
  EXPECT_EQ(ReadFileBytes(path), changed);
  EXPECT_TRUE(NoTempFileLeft());
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  ExpectAliveWithOneWindow();
  EndWithEsc();
}

TEST_F(ToolUnderFault, SaveWhileAnotherProgramHoldsTheFileLeavesItWhole) {
  ASSERT_NO_FATAL_FAILURE(Start(kFourRows));
  const std::string path = ClickFilePath(tool.folder);
  const std::string changed = "9----99----99----9\r\n";
  ASSERT_TRUE(WriteFileBytes(path, changed));
  // Held open without any sharing, as an editor or a backup program may.
  HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  ASSERT_NO_FATAL_FAILURE(Save());
  CloseHandle(lock);
  EXPECT_EQ(ReadFileBytes(path), changed);
  EXPECT_TRUE(NoTempFileLeft());
  ExpectAliveWithOneWindow();
  // Once the file is free again, a save works.
  ASSERT_NO_FATAL_FAILURE(Save());
  EXPECT_EQ(ReadFileBytes(path), kFourRows);
  EndWithEsc();
}

// Odd texts in the boxes are read with the tool's number rules and never stop
// it: each case says how many iterations the shake-only run makes.
struct OddTexts {
  const char* name;
  std::string count;
  std::string interval;
  std::string handleSuffix;  // appended to the recorder's handle in 编辑框2
  int iterations;
  bool reachesRecorder;
};

class OddBoxTexts : public ToolUnderFault, public testing::WithParamInterface<OddTexts> {};

TEST_P(OddBoxTexts, AreReadByTheNumberRulesWithoutHarm) {
  const OddTexts& c = GetParam();
  HWND recorder = CreateRecorderWindow(20, 20, 160, 120);
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_TRUE(TypeIntoSettled(Control(kId编辑框_打招呼), std::string(1000, 'x')));
  ASSERT_TRUE(TypeIntoSettled(Control(kId编辑框2), HandleText(recorder) + c.handleSuffix));
  // The count box gets its text directly: some cases are GBK full-width text.
  SendMessageA(Control(kId编辑框1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.count.c_str()));
  SendMessageA(Control(kId编辑框3), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.interval.c_str()));
  ASSERT_TRUE(ClickWithSettledMouse(Control(kId按钮1)));
  MoveCursorTo(900, 700);
  const int runMs = 3350 * c.iterations;
  PumpFor(runMs + 1500);
  const size_t posted = RecordedMessages(recorder).size();
  EXPECT_EQ(posted, c.reachesRecorder ? 4u * c.iterations : 0u)
      << DescribeMessages(RecordedMessages(recorder));
  EXPECT_EQ(ControlTextOf(Control(kId编辑框4)),
            c.iterations > 0 ? std::to_string(c.iterations) : std::string());
  ExpectAliveWithOneWindow();
  EndWithEsc();
  DestroyWindow(recorder);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OddBoxTexts,
    testing::Values(
        OddTexts{"EmptyCount", "", "0", "", 0, false},
        OddTexts{"NegativeZeroCount", "-0", "0", "", 0, false},
        OddTexts{"ThousandLetterCount", std::string(1000, 'a'), "0", "", 0, false},
        OddTexts{"CountPast32Bits", "4294967297", "0", "", 1, true},  // low 32 bits: 1
        OddTexts{"FullWidthCount", "２", "0", "", 2, true},
        OddTexts{"InfiniteInterval", "1", "1e999", "", 1, true},  // no interval wait
        OddTexts{"ThousandDigitInterval", "1", std::string(1000, '9'), "", 1, true},
        OddTexts{"ThousandDigitHandle", "1", "0", std::string(1000, '7'), 1, false}),
    [](const testing::TestParamInfo<OddTexts>& info) { return std::string(info.param.name); });

}  // namespace
