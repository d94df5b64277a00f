// Lines and fields of the click-point file; see click_file.h.
#include "store/click_file.h"

namespace {

constexpr char kSeparator[] = "----";
constexpr size_t kSeparatorLength = 4;
constexpr char kLineEnd[] = "\r\n";

bool IsLeadByte(char c) { return static_cast<unsigned char>(c) >= 0x80; }

}  // namespace

size_t ReadableLength(const std::string& bytes) {
  const size_t n = bytes.size();
  for (size_t i = 0; i < n; ++i) {
    const char c = bytes[i];
    if (c == '\0' || c == '\x1A') return i;
    if (IsLeadByte(c)) {
      if (i + 1 < n && bytes[i + 1] == '\0') return i;
      ++i;  // the trail byte is part of the character, whatever its value
    }
  }
  return n;
}

std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  const size_t end = ReadableLength(bytes);
  size_t start = 0;
  size_t i = 0;
  while (start < end) {
    while (i < end && bytes[i] != '\n') i += IsLeadByte(bytes[i]) ? 2 : 1;
    if (i > end) i = end;  // a lead byte that is the last readable byte
    size_t lineEnd = i;
    if (i < end && lineEnd > start && bytes[lineEnd - 1] == '\r') --lineEnd;  // CR LF
    lines.push_back(bytes.substr(start, lineEnd - start));
    start = i < end ? i + 1 : end;
    i = start;
  }
  return lines;
}

std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> fields;
  const size_t n = line.size();
  size_t cut = 0;
  size_t i = 0;
  while (i < n) {
    if (line.compare(i, kSeparatorLength, kSeparator) == 0) {
      fields.push_back(line.substr(cut, i - cut));
      i += kSeparatorLength;
      cut = i;
    } else {
      i += IsLeadByte(line[i]) ? 2 : 1;
    }
  }
  if (cut < n) fields.push_back(line.substr(cut));
  return fields;
}

std::vector<ClickRowCells> RowsFromFileContent(const std::string& bytes) {
  std::vector<ClickRowCells> rows;
  for (const std::string& line : SplitLines(bytes)) {
    std::vector<std::string> fields = SplitFields(line);
    if (fields.size() < 2) continue;
    ClickRowCells row;
    for (size_t column = 0; column < row.size() && column < fields.size(); ++column) {
      row[column] = std::move(fields[column]);
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string FileContentFromRows(const std::vector<ClickRowCells>& rows) {
  std::string content;
  for (const ClickRowCells& row : rows) {
    content += row[0];
    for (size_t column = 1; column < row.size(); ++column) {
      content += kSeparator;
      content += row[column];
    }
    content += kLineEnd;
  }
  return content;
}
