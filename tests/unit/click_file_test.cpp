// The bytes of the click-point file: where reading stops, how they split into
// lines and fields, which rows they give, and the content a table is saved as.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/click_file.h"

namespace {

using namespace std::string_literals;  // "..."s keeps embedded NUL bytes
using Lines = std::vector<std::string>;
using Rows = std::vector<ClickRowCells>;

// Shows control bytes and bytes of 0x80 and above as \xNN, for readable failures.
std::string Visible(const std::string& bytes) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (char c : bytes) {
    const unsigned char b = static_cast<unsigned char>(c);
    if (b >= 0x20 && b < 0x7F && b != '\\') {
      text += c;
    } else {
      text += "\\x";
      text += kHex[b >> 4];
      text += kHex[b & 0xF];
    }
  }
  return "\"" + text + "\"";
}

std::string Visible(const Lines& items) {
  std::string text = "{";
  for (const std::string& item : items) text += Visible(item) + " ";
  return text + "}";
}

std::string Visible(const Rows& rows) {
  std::string text;
  for (const ClickRowCells& row : rows) text += Visible(Lines(row.begin(), row.end()));
  return text.empty() ? "(no rows)" : text;
}

struct LengthCase {
  std::string bytes;
  size_t length;
};

TEST(ClickFileReadableLength, EndsAtNulCtrlZOrLeadByteBeforeNul) {
  const LengthCase cases[] = {
      {"", 0},
      {"0----1----2----3\r\n", 18},
      {"ab\0cd"s, 2},
      {"\0"s, 0},
      {"ab\x1A" "cd", 2},
      {"\x1A", 0},
      {"ab\x1A\0"s, 2},
      {"ab\0\x1A"s, 2},
      // A lead byte before NUL (UTF-16 text) ends the readable part in front of it.
      {"a\x81\0b"s, 1},
      {"\xFE\0"s, 0},
      // A pair is one character: its lead byte is not mistaken for a trail byte.
      {"\x81\x81\0"s, 2},
      {"\x81\x81\x81\0"s, 2},
      // A trail byte of 0x0A or '-' is just part of its character.
      {"\x81\n\x81-", 4},
      // A lone lead byte at the very end is kept.
      {"ab\x81", 3},
      // UTF-16 LE with its byte-order mark: FF FE is a pair, then '0' NUL.
      {"\xFF\xFE" "0\0-\0"s, 3},
  };
  for (const LengthCase& c : cases) {
    EXPECT_EQ(ReadableLength(c.bytes), c.length) << Visible(c.bytes);
  }
}

struct LinesCase {
  std::string bytes;
  Lines lines;
};

TEST(ClickFileSplitLines, EndsLinesAtLfAndDropsOnlyTheCrBeforeIt) {
  const LinesCase cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\n", {"a"}},
      {"a\r\n", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb\r\nc", {"a", "b", "c"}},
      // Empty lines are lines; no extra one after the final line end.
      {"\n", {""}},
      {"\r\n", {""}},
      {"\r\n\r\n", {"", ""}},
      {"a\n\nb", {"a", "", "b"}},
      // Only the one CR right before LF goes; any other CR stays.
      {"a\r\r\n", {"a\r"}},
      {"a\rb\r\n", {"a\rb"}},
      {"\ra\n", {"\ra"}},
      {"a\r", {"a\r"}},
      {"\r", {"\r"}},
      {"a\rb", {"a\rb"}},
  };
  for (const LinesCase& c : cases) {
    EXPECT_EQ(SplitLines(c.bytes), c.lines)
        << Visible(c.bytes) << " gave " << Visible(SplitLines(c.bytes));
  }
}

TEST(ClickFileSplitLines, NeverEndsALineOnATrailByte) {
  const LinesCase cases[] = {
      {"\x81\n" "a\n", {"\x81\n" "a"}},
      {"a\x81\nb", {"a\x81\nb"}},
      {"\x81\n\n", {"\x81\n"}},
      {"\x81\n\r\n", {"\x81\n"}},
      // "后台" (BA F3 CC A8) and a real line end after it.
      {"后台\r\n1", {"后台", "1"}},
      // A lone lead byte at the very end stays in the last line.
      {"a\nb\x81", {"a", "b\x81"}},
  };
  for (const LinesCase& c : cases) {
    EXPECT_EQ(SplitLines(c.bytes), c.lines)
        << Visible(c.bytes) << " gave " << Visible(SplitLines(c.bytes));
  }
}

TEST(ClickFileSplitLines, StopsAtNulCtrlZOrLeadByteBeforeNulKeepingLinesBefore) {
  const LinesCase cases[] = {
      {"a\r\nb\0c\r\nd"s, {"a", "b"}},
      {"a\r\n\0b\r\n"s, {"a"}},
      {"a\r\nb\r\n\x1A" "c\r\n", {"a", "b"}},
      {"a\r\nb\x1A\r\n", {"a", "b"}},
      {"a\r\nb\x81\0c\r\n"s, {"a", "b"}},
      {"\0a\r\n"s, {}},
      {"\x1A" "a\r\n", {}},
      // The CR in front of the stop is not part of a CR LF: it stays.
      {"a\r\0\n"s, {"a\r"}},
  };
  for (const LinesCase& c : cases) {
    EXPECT_EQ(SplitLines(c.bytes), c.lines)
        << Visible(c.bytes) << " gave " << Visible(SplitLines(c.bytes));
  }
}

TEST(ClickFileSplitLines, CountsManyLinesWithAnyLastLineEnd) {
  for (const std::string lastEnd : {"\r\n", "\n", ""}) {
    std::string bytes;
    for (int i = 0; i < 20000; ++i) {
      bytes += std::to_string(i);
      bytes += i + 1 < 20000 ? "\r\n" : lastEnd;
    }
    const Lines lines = SplitLines(bytes);
    ASSERT_EQ(lines.size(), 20000u) << "last line end " << Visible(lastEnd);
    EXPECT_EQ(lines.front(), "0");
    EXPECT_EQ(lines.back(), "19999");
  }
}

struct FieldsCase {
  std::string line;
  Lines fields;
};

TEST(ClickFileSplitFields, CutsAtEachSeparatorAndDropsOnlyATrailingEmptyField) {
  const FieldsCase cases[] = {
      {"a----b----c----d", {"a", "b", "c", "d"}},
      {"0----512----384----920", {"0", "512", "384", "920"}},
      {"a----b----c----d----e", {"a", "b", "c", "d", "e"}},
      {"", {}},
      {"a", {"a"}},
      {"a----", {"a"}},
      {"----", {""}},
      {"--------", {"", ""}},
      {"------------", {"", "", ""}},
      {"----a", {"", "a"}},
      {"a--------b", {"a", "", "b"}},
      {"a----b----", {"a", "b"}},
      // Fewer than four hyphens are text; more are cut left to right.
      {"a---b", {"a---b"}},
      {"-", {"-"}},
      {"a-----b", {"a", "-b"}},
      {"---------", {"", "", "-"}},
      // Negative numbers after a separator keep their sign.
      {"-1-----2-----3-----4", {"-1", "-2", "-3", "-4"}},
      {"a\rb----c\r", {"a\rb", "c\r"}},
  };
  for (const FieldsCase& c : cases) {
    EXPECT_EQ(SplitFields(c.line), c.fields)
        << Visible(c.line) << " gave " << Visible(SplitFields(c.line));
  }
}

TEST(ClickFileSplitFields, NeverMatchesTheSeparatorOnATrailByte) {
  const FieldsCase cases[] = {
      // 81 2D is one character; the three hyphens after it are no separator.
      {"\x81----", {"\x81----"}},
      {"a\x81----b", {"a\x81----b"}},
      // 81 2D, then a real separator.
      {"a\x81-----b", {"a\x81-", "b"}},
      {"\x81-\x81-\x81-\x81-", {"\x81-\x81-\x81-\x81-"}},
      {"后台----摇一摇", {"后台", "摇一摇"}},
      // A lone lead byte at the very end stays in the last field.
      {"a----\x81", {"a", "\x81"}},
  };
  for (const FieldsCase& c : cases) {
    EXPECT_EQ(SplitFields(c.line), c.fields)
        << Visible(c.line) << " gave " << Visible(SplitFields(c.line));
  }
}

struct RowsCase {
  const char* what;
  std::string bytes;
  Rows rows;
};

TEST(ClickFileRows, GivesOneRowPerLineOfAtLeastTwoFields) {
  const RowsCase cases[] = {
      {"mixed line ends, last one missing",
       "0----10----20----30\r\n1----11----21----31",
       {{"0", "10", "20", "30"}, {"1", "11", "21", "31"}}},
      {"LF line ends", "0----10----20----30\n1----11----21----31\n",
       {{"0", "10", "20", "30"}, {"1", "11", "21", "31"}}},
      {"CR LF line ends", "0----10----20----30\r\n1----11----21----31\r\n",
       {{"0", "10", "20", "30"}, {"1", "11", "21", "31"}}},
      {"empty file", "", {}},
      {"fields beyond the fourth are dropped", "a----b----c----d----e\r\n", {{"a", "b", "c", "d"}}},
      {"two or three fields leave the other cells empty", "a----b\r\na----b----c\r\n",
       {{"a", "b", "", ""}, {"a", "b", "c", ""}}},
      {"twelve hyphens give an empty row", "------------\r\n", {{"", "", "", ""}}},
      {"empty fields keep their columns", "----b--------d\r\n", {{"", "b", "", "d"}}},
      {"lines of 0 or 1 field are skipped",
       "\r\na\r\na----\r\n----\r\n0----1----2----3\r\n", {{"0", "1", "2", "3"}}},
      {"a skipped line does not shift later rows",
       "0----1----2----3\r\n\r\nskip\r\n4----5----6----7\r\n",
       {{"0", "1", "2", "3"}, {"4", "5", "6", "7"}}},
      {"a CR that is not before LF stays in the cell", "a----b----c----d\r\r\n",
       {{"a", "b", "c", "d\r"}}},
      {"lines before a NUL load", "0----1----2----3\r\n4----5\0----6\r\n7----8\r\n"s,
       {{"0", "1", "2", "3"}, {"4", "5", "", ""}}},
      {"lines before a Ctrl-Z load", "0----1----2----3\r\n\x1A" "4----5\r\n",
       {{"0", "1", "2", "3"}}},
      {"UTF-16 text gives nothing", "\xFF\xFE" "0\0-\0-\0-\0-\0" "1\0"s, {}},
      {"GBK cells", "后台----摇一摇\r\n", {{"后台", "摇一摇", "", ""}}},
  };
  for (const RowsCase& c : cases) {
    EXPECT_EQ(RowsFromFileContent(c.bytes), c.rows)
        << c.what << ": " << Visible(c.bytes) << " gave " << Visible(RowsFromFileContent(c.bytes));
  }
}

TEST(ClickFileContent, IsEachRowJoinedBySeparatorsAndEndedByCrLf) {
  EXPECT_EQ(FileContentFromRows({}), "");
  EXPECT_EQ(FileContentFromRows({{"0", "512", "384", "920"}}), "0----512----384----920\r\n");
  EXPECT_EQ(FileContentFromRows({{"", "", "", ""}}), "------------\r\n");
  EXPECT_EQ(FileContentFromRows({{"0", "1", "2", "3"}, {"", "-5", "", "后"}}),
            "0----1----2----3\r\n-----5--------后\r\n");
}

TEST(ClickFileContent, RowsComeBackFromTheContentTheyAreSavedAs) {
  const Rows tables[] = {
      {},
      {{"0", "512", "384", "920"}},
      {{"0", "10", "20", "30"}, {"1", "11", "21", "31"}, {"2", "12", "22", "32"}},
      {{"", "", "", ""}},
      {{"a", "", "", ""}, {"", "", "", "d"}, {"", "b", "c", ""}},
      {{"-1", "-2", "-3", "-4"}},
      {{"后台", "摇一摇", "\x81-", "配置"}},
      {{"a", "b", "c", "d\r"}},
  };
  for (const Rows& rows : tables) {
    const std::string content = FileContentFromRows(rows);
    EXPECT_EQ(RowsFromFileContent(content), rows) << Visible(content);
    EXPECT_EQ(FileContentFromRows(RowsFromFileContent(content)), content) << Visible(content);
  }
}

}  // namespace
