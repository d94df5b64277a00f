// The click-point table in the real main window: its operations on the report
// list, its columns, and loading it from the click-point file in the current
// directory when the window is created.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <climits>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "store/click_file.h"
#include "store/click_table.h"
#include "support/main_window_fixture.h"
#include "support/process.h"

namespace {

using namespace std::string_literals;  // "..."s keeps embedded NUL bytes
using Rows = std::vector<ClickRowCells>;

class ClickTable : public MainWindowTest {
 protected:
  // Every row of the table, cell by cell.
  static Rows TableRows() {
    Rows rows(static_cast<size_t>(RowCount()));
    for (size_t row = 0; row < rows.size(); ++row) {
      for (int column = 0; column < 4; ++column) {
        rows[row][column] = GetCell(static_cast<int>(row), column);
      }
    }
    return rows;
  }

  std::string ClickFile() const { return ClickFilePath(folder); }

  void WriteClickFile(const std::string& bytes) {
    ASSERT_TRUE(WriteFileBytes(ClickFile(), bytes)) << "cannot write " << ClickFile();
  }

  // A new main window in place of the current one, loading the file anew.
  void RecreateMain() {
    if (window) DestroyWindow(window);
    window = nullptr;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    CreateMain();
  }
};

// Text of at least length bytes for a large cell, with GBK characters and
// single hyphens in it so that a cut or a code page conversion would show. It
// ends on a whole character and never on a hyphen.
std::string LargeText(size_t length) {
  const std::string piece = "-后台0123456789摇一摇";
  std::string text;
  text.reserve(length + piece.size());
  while (text.size() < length) text += piece;
  return text;
}

TEST_F(ClickTable, AppendedRowsStartEmptyAndKeepTheCellsSetInThem) {
  CreateMain();
  ASSERT_EQ(RowCount(), 0);
  AppendEmptyRow();
  AppendEmptyRow();
  AppendEmptyRow();
  ASSERT_EQ(RowCount(), 3);
  EXPECT_EQ(TableRows(), Rows(3));

  SetCell(0, 0, "0");
  SetCell(0, 3, "920");
  SetCell(1, 1, "-512");
  SetCell(2, 2, "后台");
  SetCell(1, 1, "513");  // overwriting keeps only the new text
  EXPECT_EQ(TableRows(), (Rows{{"0", "", "", "920"}, {"", "513", "", ""}, {"", "", "后台", ""}}));

  ClearRows();
  EXPECT_EQ(RowCount(), 0);
}

TEST_F(ClickTable, SettingAMissingRowOrColumnChangesNothing) {
  CreateMain();
  SetCell(0, 0, "x");
  EXPECT_EQ(RowCount(), 0);

  AppendEmptyRow();
  SetCell(0, 0, "kept");
  const int missing[][2] = {{1, 0}, {-1, 0}, {0, 4}, {0, -1}, {INT_MAX, 0}, {0, INT_MIN}};
  for (const auto& cell : missing) SetCell(cell[0], cell[1], "x");
  EXPECT_EQ(RowCount(), 1);
  EXPECT_EQ(TableRows(), (Rows{{"kept", "", "", ""}}));
}

TEST_F(ClickTable, AMissingRowOrColumnReadsAsEmpty) {
  CreateMain();
  EXPECT_EQ(GetCell(0, 0), "");
  AppendEmptyRow();
  for (int column = 0; column < 4; ++column) SetCell(0, column, "x");
  const int missing[][2] = {{1, 0}, {-1, 0}, {0, 4}, {0, -1}, {INT_MAX, 3}, {INT_MIN, 0}};
  for (const auto& cell : missing) {
    EXPECT_EQ(GetCell(cell[0], cell[1]), "") << "row " << cell[0] << ", column " << cell[1];
  }
}

TEST_F(ClickTable, AFiveMegabyteCellComesBackWhole) {
  CreateMain();
  AppendEmptyRow();
  const std::string text = LargeText(5 * 1024 * 1024);
  SetCell(0, 1, text);
  const std::string back = GetCell(0, 1);
  EXPECT_EQ(back.size(), text.size());
  EXPECT_TRUE(back == text) << "the cell came back changed";
  EXPECT_EQ(GetCell(0, 0), "");
}

TEST_F(ClickTable, IsAReportListWithFourTitledColumnsBelowTheVisibleArea) {
  CreateMain();
  EXPECT_EQ(GetWindowLongA(超级列表框_配置, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
  const char* const headers[] = {"序号", "水平坐标", "垂直坐标", "窗口句柄"};
  const int widths[] = {50, 80, 80, 95};
  for (int column = 0; column < 4; ++column) {
    char text[64] = {};
    LVCOLUMNA info = {};
    info.mask = LVCF_TEXT | LVCF_WIDTH;
    info.pszText = text;
    info.cchTextMax = sizeof(text);
    ASSERT_TRUE(SendMessageA(超级列表框_配置, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&info)))
        << "column " << column;
    EXPECT_STREQ(text, headers[column]) << "column " << column;
    EXPECT_EQ(info.cx, widths[column]) << "column " << column;
  }
  LVCOLUMNA fifth = {};
  fifth.mask = LVCF_WIDTH;
  EXPECT_FALSE(SendMessageA(超级列表框_配置, LVM_GETCOLUMNA, 4, reinterpret_cast<LPARAM>(&fifth)));

  // The user never sees the list: it lies below the window's client area.
  RECT client;
  GetClientRect(window, &client);
  RECT list;
  GetWindowRect(超级列表框_配置, &list);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&list), 2);
  EXPECT_GE(list.top, client.bottom);
}

TEST_F(ClickTable, AMissingFileGivesAnEmptyTable) {
  CreateMain();
  EXPECT_EQ(RowCount(), 0);
}

struct LoadCase {
  const char* what;
  std::string bytes;
  Rows rows;
};

TEST_F(ClickTable, IsFilledFromTheFileWhenTheWindowIsCreated) {
  const LoadCase cases[] = {
      {"CR LF, then a last line without line end",
       "0----10----20----30\r\n1----11----21----31",
       {{"0", "10", "20", "30"}, {"1", "11", "21", "31"}}},
      {"LF only", "0----10----20----30\n1----11----21----31\n",
       {{"0", "10", "20", "30"}, {"1", "11", "21", "31"}}},
      {"LF, CR LF and none mixed", "0----10----20----30\n1----11----21----31\r\n2----12----22----32",
       {{"0", "10", "20", "30"}, {"1", "11", "21", "31"}, {"2", "12", "22", "32"}}},
      {"skipped lines in the middle shift nothing",
       "0----10----20----30\r\n\r\nnote\r\n----\r\n3----13----23----33\r\n",
       {{"0", "10", "20", "30"}, {"3", "13", "23", "33"}}},
      {"two, three and five fields",
       "a----b\r\na----b----c\r\na----b----c----d----e\r\n",
       {{"a", "b", "", ""}, {"a", "b", "c", ""}, {"a", "b", "c", "d"}}},
      {"an empty row as saved", "------------\r\n", {{"", "", "", ""}}},
      {"GBK cells", "后台----摇一摇\r\n", {{"后台", "摇一摇", "", ""}}},
      {"lines before a NUL", "0----1----2----3\r\n\0" "4----5----6----7\r\n"s,
       {{"0", "1", "2", "3"}}},
      {"lines before a Ctrl-Z", "0----1----2----3\r\n4----5\x1A\r\n6----7\r\n",
       {{"0", "1", "2", "3"}, {"4", "5", "", ""}}},
      {"UTF-16 text", "\xFF\xFE" "0\0-\0-\0-\0-\0" "1\0\r\0\n\0"s, {}},
      {"an empty file", "", {}},
  };
  for (const LoadCase& c : cases) {
    WriteClickFile(c.bytes);
    RecreateMain();
    EXPECT_EQ(TableRows(), c.rows) << c.what;
  }
}

TEST_F(ClickTable, LoadingAgainReplacesTheRowsAndAMissingFileEmptiesThem) {
  WriteClickFile("0----10----20----30\r\n1----11----21----31\r\n");
  CreateMain();
  AppendEmptyRow();
  SetCell(2, 0, "captured");
  LoadClickPoints();
  EXPECT_EQ(TableRows(), (Rows{{"0", "10", "20", "30"}, {"1", "11", "21", "31"}}));

  ASSERT_TRUE(DeleteFileA(ClickFile().c_str()));
  LoadClickPoints();
  EXPECT_EQ(RowCount(), 0);
}

TEST_F(ClickTable, AReadOnlyFileLoads) {
  WriteClickFile("0----10----20----30\r\n");
  ASSERT_TRUE(SetFileAttributesA(ClickFile().c_str(), FILE_ATTRIBUTE_READONLY));
  CreateMain();
  EXPECT_EQ(TableRows(), (Rows{{"0", "10", "20", "30"}}));
  SetFileAttributesA(ClickFile().c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ClickTable, AFileThatAnotherHandleHoldsOpenLoads) {
  WriteClickFile("0----10----20----30\r\n1----11----21----31\r\n");
  HANDLE other = CreateFileA(ClickFile().c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  CreateMain();
  CloseHandle(other);
  EXPECT_EQ(TableRows(), (Rows{{"0", "10", "20", "30"}, {"1", "11", "21", "31"}}));
}

TEST_F(ClickTable, AFiveMegabyteLineLoadsIntoItsCell) {
  const std::string large = LargeText(5 * 1024 * 1024);
  WriteClickFile("0----" + large + "----20----30\r\n1----11----21----31");
  CreateMain();
  ASSERT_EQ(RowCount(), 2);
  EXPECT_EQ(GetCell(0, 0), "0");
  EXPECT_TRUE(GetCell(0, 1) == large) << "the large cell came back changed";
  EXPECT_EQ(GetCell(0, 2), "20");
  EXPECT_EQ(TableRows()[1], (ClickRowCells{"1", "11", "21", "31"}));
}

TEST_F(ClickTable, ReadingPastTheFirstMegabyteStopsAtANul) {
  // The file is read in pieces; the stop lies in a later piece than the first.
  const std::string large = LargeText(1536 * 1024);
  WriteClickFile("0----" + large + "\r\n1----11\r\n\0" "2----12\r\n"s + large + "----x\r\n");
  CreateMain();
  ASSERT_EQ(RowCount(), 2);
  EXPECT_EQ(GetCell(0, 1).size(), large.size());
  EXPECT_EQ(TableRows()[1], (ClickRowCells{"1", "11", "", ""}));
}

TEST_F(ClickTable, TwentyThousandLinesGiveTwentyThousandRows) {
  std::string bytes;
  for (int i = 0; i < 20000; ++i) {
    const std::string n = std::to_string(i);
    bytes += n + "----" + std::to_string(i + 1) + "----" + std::to_string(i + 2) + "----" + n + "\r\n";
  }
  WriteClickFile(bytes);
  CreateMain();
  ASSERT_EQ(RowCount(), 20000);
  for (int row : {0, 1, 9999, 19999}) {
    const std::string n = std::to_string(row);
    EXPECT_EQ(GetCell(row, 0), n);
    EXPECT_EQ(GetCell(row, 1), std::to_string(row + 1));
    EXPECT_EQ(GetCell(row, 2), std::to_string(row + 2));
    EXPECT_EQ(GetCell(row, 3), n);
  }
}

}  // namespace
