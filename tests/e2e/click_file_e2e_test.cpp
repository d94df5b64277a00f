// The click-point file of the real exe: loaded from beside the exe whatever
// the current directory at launch, replaced by 按钮4 with exactly the table,
// and left whole, with no temporary file behind, when the save cannot happen.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "app/control_ids.h"
#include "store/click_file.h"
#include "support/process.h"
#include "support/recorder.h"

namespace {

using Rows = std::vector<ClickRowCells>;

// Reads the tool's report list from outside. The list view copies its texts
// into memory of the tool's own process, so the item and its buffer are put
// there and read back.
class RemoteTable {
 public:
  explicit RemoteTable(const Tool& tool)
      : process_(tool.process.hProcess), list_(ToolControl(tool, kId超级列表框_配置)) {
    remote_ = static_cast<char*>(VirtualAllocEx(process_, nullptr, sizeof(LVITEMA) + kTextCapacity,
                                                MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  }
  ~RemoteTable() {
    if (remote_) VirtualFreeEx(process_, remote_, 0, MEM_RELEASE);
  }
  RemoteTable(const RemoteTable&) = delete;
  RemoteTable& operator=(const RemoteTable&) = delete;

  bool Ready() const { return list_ && remote_; }

  int RowCount() const { return static_cast<int>(Send(LVM_GETITEMCOUNT, 0, 0)); }

  Rows AllRows() const {
    Rows rows(static_cast<size_t>(RowCount()));
    for (size_t row = 0; row < rows.size(); ++row) {
      for (int column = 0; column < 4; ++column) rows[row][column] = Cell(static_cast<int>(row), column);
    }
    return rows;
  }

 private:
  static constexpr int kTextCapacity = 4096;

  LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(list_, message, wParam, lParam, SMTO_NORMAL, 5000, &result)) return -1;
    return static_cast<LRESULT>(result);
  }

  std::string Cell(int row, int column) const {
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = remote_ + sizeof(LVITEMA);
    item.cchTextMax = kTextCapacity;
    if (!WriteProcessMemory(process_, remote_, &item, sizeof(item), nullptr)) return "<unwritable>";
    const LRESULT length = Send(LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(remote_));
    if (length < 0) return "<no answer>";
    std::string text(static_cast<size_t>(length), '\0');
    if (length > 0 &&
        !ReadProcessMemory(process_, remote_ + sizeof(LVITEMA), &text[0], text.size(), nullptr)) {
      return "<unreadable>";
    }
    return text;
  }

  HANDLE process_;
  HWND list_;
  char* remote_ = nullptr;
};

// Names of files in folder that match pattern ("*.tmp").
std::vector<std::string> FilesMatching(const std::string& folder, const char* pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((folder + "\\" + pattern).c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    names.push_back(entry.cFileName);
  } while (FindNextFileA(find, &entry));
  FindClose(find);
  return names;
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A file the tool loads and whose saved form differs from it byte for byte:
// LF line ends, a line that is skipped and a fifth field that is dropped.
const char kHandWrittenFile[] = "0----10----20----30\n\nnote\n1----11----21----31----extra\n";
const Rows kHandWrittenRows = {{"0", "10", "20", "30"}, {"1", "11", "21", "31"}};
const char kHandWrittenSaved[] = "0----10----20----30\r\n1----11----21----31\r\n";

class ClickFileTool : public testing::Test {
 protected:
  void SetUp() override {
    tool.folder = MakeTestFolder(testing::UnitTest::GetInstance()->current_test_info()->name());
  }
  void TearDown() override {
    if (tool.process.hProcess) {
      PostMessageA(tool.window, WM_CLOSE, 0, 0);
      WaitForToolExit(&tool, 3000);
    }
  }

  std::string ClickFile() const { return ClickFilePath(tool.folder); }

  // Presses 按钮4 with the real mouse and gives the tool time to save.
  // The cursor is first brought to rest on the button: under Wine a click sent
  // right after a move can land where the cursor was before.
  void PressSave() {
    ActivateTool(tool);
    EXPECT_TRUE(ClickWithSettledMouse(ToolControl(tool, kId按钮4))) << "the cursor never settled";
    PumpFor(400);
  }

  // Presses 按钮4 and waits until the file holds bytes; false if it never does.
  testing::AssertionResult SaveUntilFileHolds(const std::string& bytes) {
    PressSave();
    if (PumpUntil([&] { return FileExists(ClickFile()) && ReadFileBytes(ClickFile()) == bytes; },
                  5000)) {
      return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "the file holds \"" << ReadFileBytes(ClickFile())
                                       << "\"; " << WhereTheClickWent();
  }

  // Which window lay under the cursor and which was in front, for a save
  // that did not happen.
  std::string WhereTheClickWent() const {
    POINT cursor = {};
    GetCursorPos(&cursor);
    HWND under = WindowFromPoint(cursor);
    char className[64] = "";
    if (under) GetClassNameA(under, className, sizeof(className));
    return "cursor at " + std::to_string(cursor.x) + "," + std::to_string(cursor.y) + " over " +
           HandleText(under) + " (" + className + "), 按钮4 is " +
           HandleText(ToolControl(tool, kId按钮4)) + ", the tool's window " + HandleText(tool.window) +
           ", in front " + HandleText(GetForegroundWindow());
  }

  Tool tool;
};

TEST_F(ClickFileTool, LoadsTheFileBesideTheExeWhenStartedFromAnotherFolder) {
  const std::string elsewhere = MakeTestFolder("click-file-elsewhere");
  const std::string decoy = "9----99----99----99\r\n";
  ASSERT_TRUE(WriteFileBytes(ClickFilePath(elsewhere), decoy));
  ASSERT_TRUE(WriteFileBytes(ClickFile(), kHandWrittenFile));
  ASSERT_TRUE(StartTool(&tool, elsewhere));

  RemoteTable table(tool);
  ASSERT_TRUE(table.Ready());
  EXPECT_EQ(table.AllRows(), kHandWrittenRows);

  // The save goes beside the exe too, and the file then holds exactly the table.
  EXPECT_TRUE(SaveUntilFileHolds(kHandWrittenSaved));
  EXPECT_EQ(ReadFileBytes(ClickFilePath(elsewhere)), decoy);
  EXPECT_EQ(FilesMatching(tool.folder, "*.tmp"), std::vector<std::string>());
}

TEST_F(ClickFileTool, FirstSaveCreatesTheFileAndEverySaveLeavesExactlyTheTable) {
  ASSERT_TRUE(StartTool(&tool));
  RemoteTable table(tool);
  ASSERT_TRUE(table.Ready());
  EXPECT_EQ(table.RowCount(), 0);
  ASSERT_FALSE(FileExists(ClickFile()));

  // An empty table saves as an empty file.
  PressSave();
  EXPECT_TRUE(PumpUntil([&] { return FileExists(ClickFile()); }, 5000)) << "no file was created";
  EXPECT_EQ(ReadFileBytes(ClickFile()), "");

  // Two captures with F1, at two cursor positions.
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(MoveCursorTo(300 + 40 * i, 200 + 30 * i));
    PressKey(VK_F1);
    EXPECT_TRUE(PumpUntil([&] { return table.RowCount() == i + 1; }, 3000)) << "capture " << i;
  }
  const Rows rows = table.AllRows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][0] + " " + rows[0][1] + " " + rows[0][2], "0 300 200");
  EXPECT_EQ(rows[1][0] + " " + rows[1][1] + " " + rows[1][2], "1 340 230");

  const std::string expected = FileContentFromRows(rows);
  EXPECT_TRUE(SaveUntilFileHolds(expected));
  // Saving again changes nothing: the table replaces the file, it is not appended.
  PressSave();
  PumpFor(300);
  EXPECT_EQ(ReadFileBytes(ClickFile()), expected);
  EXPECT_EQ(FilesMatching(tool.folder, "*.tmp"), std::vector<std::string>());
}

// What stops a save, and undoes that again so that a later save shows the
// tool would have saved.
struct SaveBlocker {
  virtual ~SaveBlocker() = default;
  // False with a reason in *why when the block cannot be set up here.
  virtual bool Block(const Tool& tool, std::string* why) = 0;
  virtual void Unblock() = 0;
};

// The test holds the file open without sharing it. The tool's replace of the
// file is then refused (Wine, like Windows, refuses to rename over a file that
// is open without FILE_SHARE_DELETE).
struct HeldOpenWithoutSharing : SaveBlocker {
  HANDLE file = INVALID_HANDLE_VALUE;
  bool Block(const Tool& tool, std::string* why) override {
    file = CreateFileA(ClickFilePath(tool.folder).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                       OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) *why = "cannot open the file without sharing";
    return file != INVALID_HANDLE_VALUE;
  }
  void Unblock() override {
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    file = INVALID_HANDLE_VALUE;
  }
};

// The click-point file carries the read-only attribute.
struct ReadOnlyFile : SaveBlocker {
  std::string path;
  bool Block(const Tool& tool, std::string* why) override {
    path = ClickFilePath(tool.folder);
    if (!SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY)) {
      *why = "cannot make the file read-only";
      return false;
    }
    return true;
  }
  void Unblock() override {
    if (!path.empty()) SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
};

// The exe's folder is made immutable on the Unix side (chattr +i): nothing can
// be created, renamed or removed in it, not even by root, whom Unix
// permissions would not stop. Runs /usr/bin/chattr through Wine's Z: drive.
struct ImmutableFolder : SaveBlocker {
  std::string folder;
  std::string unixFolder;
  bool blocked = false;

  static bool Chattr(const std::string& flag, const std::string& unixPath) {
    const char exe[] = "Z:\\usr\\bin\\chattr";
    if (!FileExists(exe)) return false;
    std::string commandLine = "chattr " + flag + " \"" + unixPath + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(exe, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
      return false;
    }
    // Wine's handle of a Unix child tells neither when it ends nor how, so
    // the callers wait for its effect instead.
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return true;
  }

  static std::string UnixPathOf(const std::string& path) {
    using ToUnix = char*(CDECL*)(const WCHAR*);
    auto toUnix = reinterpret_cast<ToUnix>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
    if (!toUnix) return std::string();
    std::wstring wide(path.size() + 1, L'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0],
                                           static_cast<int>(wide.size()));
    if (length <= 0) return std::string();
    char* unixPath = toUnix(wide.c_str());
    if (!unixPath) return std::string();
    std::string text = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return text;
  }

  static bool CanCreateFileIn(const std::string& folder) {
    const std::string probe = folder + "\\probe.txt";
    HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    DeleteFileA(probe.c_str());
    return true;
  }

  bool Block(const Tool& tool, std::string* why) override {
    unixFolder = UnixPathOf(tool.folder);
    if (unixFolder.empty()) {
      *why = "not running under Wine: no Unix path for the folder";
      return false;
    }
    if (!Chattr("+i", unixFolder)) {
      *why = "cannot run /usr/bin/chattr";
      return false;
    }
    blocked = true;
    folder = tool.folder;
    if (!PumpUntil([&] { return !CanCreateFileIn(folder); }, 5000)) {
      *why = "chattr +i did not make " + unixFolder + " unwritable (file system without it?)";
      return false;
    }
    return true;
  }
  void Unblock() override {
    if (blocked && Chattr("-i", unixFolder)) PumpUntil([&] { return CanCreateFileIn(folder); }, 5000);
    blocked = false;
  }
};

// Undoes a block whatever way the test ends.
struct Unblocker {
  SaveBlocker* blocker;
  ~Unblocker() { blocker->Unblock(); }
};

TEST_F(ClickFileTool, ASaveThatCannotHappenLeavesTheOldFileWholeAndNoTemporaryFile) {
  HeldOpenWithoutSharing heldOpen;
  ReadOnlyFile readOnly;
  ImmutableFolder immutable;
  const struct {
    const char* what;
    const char* folderName;
    SaveBlocker* blocker;
  } cases[] = {
      {"file held open without sharing", "click-file-held-open", &heldOpen},
      {"read-only file", "click-file-read-only", &readOnly},
      {"folder nothing can be created in", "click-file-immutable", &immutable},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    tool = Tool();
    tool.folder = MakeTestFolder(c.folderName);
    ASSERT_TRUE(WriteFileBytes(ClickFile(), kHandWrittenFile));
    ASSERT_TRUE(StartTool(&tool));
    RemoteTable table(tool);
    ASSERT_TRUE(table.Ready());
    ASSERT_EQ(table.AllRows(), kHandWrittenRows);

    {
      Unblocker unblocker{c.blocker};
      std::string why;
      const bool blocked = c.blocker->Block(tool, &why);
      EXPECT_TRUE(blocked) << why;
      if (blocked) {
        PressSave();
        PressSave();
        PumpFor(300);
      }
    }
    EXPECT_EQ(ReadFileBytes(ClickFile()), kHandWrittenFile);
    EXPECT_EQ(FilesMatching(tool.folder, "*.tmp"), std::vector<std::string>());

    // Once the block is gone the same press saves: the block was what stopped it.
    EXPECT_TRUE(SaveUntilFileHolds(kHandWrittenSaved));
    EXPECT_EQ(FilesMatching(tool.folder, "*.tmp"), std::vector<std::string>());

    PostMessageA(tool.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForToolExit(&tool, 3000), 0);
  }
}

}  // namespace
