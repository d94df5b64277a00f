// Fuzzes the click-point file's lines, fields and rows with arbitrary bytes.
// Besides "no crash, no undefined behaviour" it checks the results against the
// file's rules, each written out here on its own:
// - lines: a reader of its own gives the same lines, no line holds an LF that
//   is not the trail byte of a double-byte character, and the lines with their
//   line ends put back give exactly the readable bytes again;
// - fields: the fields with "----" between them give the line back, every cut
//   is the leftmost separator on a character boundary, and only a trailing
//   separator or an empty line ends without a last field;
// - rows: every line with two or more fields, first four fields, in order;
// - save then load: the rows saved come back unchanged, for rows whose cells
//   the format can hold, and a save appends its rows after whatever lines the
//   file already ends with.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "store/click_file.h"

namespace {

#define FUZZ_CHECK(cond, what)                                          \
  do {                                                                  \
    if (!(cond)) {                                                      \
      std::fprintf(stderr, "click_file_fuzz: %s (%s)\n", what, #cond); \
      std::abort();                                                     \
    }                                                                   \
  } while (0)

const std::string kSep = "----";

bool IsLead(unsigned char c) { return c >= 0x80; }

// Where reading stops: in front of NUL, Ctrl-Z, or a lead byte whose next byte
// is NUL; a lead byte's next byte is its trail, whatever it is.
size_t RefReadable(const std::string& b) {
  size_t i = 0;
  while (i < b.size()) {
    const unsigned char c = static_cast<unsigned char>(b[i]);
    if (c == 0x00 || c == 0x1A) return i;
    if (!IsLead(c)) {
      ++i;
    } else if (i + 1 < b.size() && b[i + 1] == '\0') {
      return i;
    } else {
      i += 2;
    }
  }
  return b.size();
}

struct RefLine {
  std::string text;
  bool ended;  // by an LF (else it ran to the end of the readable bytes)
};

// The line reader: up to the next LF outside a double-byte character, one CR
// before it dropped; a last line without LF is kept whole.
std::vector<RefLine> RefLines(const std::string& b) {
  std::vector<RefLine> lines;
  const size_t end = RefReadable(b);
  size_t pos = 0;
  while (pos < end) {
    size_t j = pos;
    while (j < end && b[j] != '\n') j += IsLead(static_cast<unsigned char>(b[j])) ? 2 : 1;
    if (j >= end) {
      lines.push_back({b.substr(pos, end - pos), false});
      break;
    }
    std::string text = b.substr(pos, j - pos);
    if (!text.empty() && text.back() == '\r') text.pop_back();
    lines.push_back({text, true});
    pos = j + 1;
  }
  return lines;
}

// Character starts of a text read from its first byte, lead bytes taking
// the next byte along.
std::vector<bool> CharStarts(const std::string& s) {
  std::vector<bool> starts(s.size() + 1, false);
  size_t i = 0;
  while (i < s.size()) {
    starts[i] = true;
    i += IsLead(static_cast<unsigned char>(s[i])) ? 2 : 1;
  }
  starts[s.size()] = true;
  return starts;
}

void CheckLines(const std::string& bytes, const std::vector<std::string>& lines) {
  const std::vector<RefLine> ref = RefLines(bytes);
  FUZZ_CHECK(lines.size() == ref.size(), "number of lines");
  for (size_t k = 0; k < lines.size(); ++k) {
    FUZZ_CHECK(lines[k] == ref[k].text, "line text");
  }

  // The same from the other side, without a reader: the lines and the line
  // ends between them make up the readable bytes exactly.
  const size_t end = RefReadable(bytes);
  size_t pos = 0;
  for (size_t k = 0; k < lines.size(); ++k) {
    const std::string& line = lines[k];
    FUZZ_CHECK(pos < end, "a line after the end of the readable bytes");
    const std::vector<bool> starts = CharStarts(line);
    for (size_t i = 0; i < line.size(); ++i) {
      FUZZ_CHECK(!(starts[i] && line[i] == '\n'), "LF inside a line");
    }
    FUZZ_CHECK(bytes.compare(pos, line.size(), line) == 0, "line is not the bytes read");
    pos += line.size();
    if (pos == end) {
      FUZZ_CHECK(k + 1 == lines.size(), "lines after the last byte");
      break;
    }
    if (bytes[pos] == '\n') {
      FUZZ_CHECK(line.empty() || line.back() != '\r', "CR before LF kept");
      pos += 1;
    } else {
      FUZZ_CHECK(bytes[pos] == '\r' && pos + 1 < end && bytes[pos + 1] == '\n',
                 "line stops before its line end");
      pos += 2;
    }
  }
  FUZZ_CHECK(pos == end, "bytes left unread");
}

void CheckFields(const std::string& line, const std::vector<std::string>& fields) {
  const std::vector<bool> starts = CharStarts(line);
  // Walk the fields along the line: each one is followed by a separator that
  // starts on a character boundary, and no separator starts earlier.
  size_t pos = 0;
  for (size_t k = 0; k < fields.size(); ++k) {
    const std::string& field = fields[k];
    FUZZ_CHECK(line.compare(pos, field.size(), field) == 0, "field is not the line's text");
    for (size_t i = pos; i < pos + field.size(); ++i) {
      FUZZ_CHECK(!(starts[i] && line.compare(i, kSep.size(), kSep) == 0),
                 "a separator was not cut");
    }
    pos += field.size();
    const bool last = k + 1 == fields.size();
    if (last && pos == line.size()) {
      FUZZ_CHECK(!field.empty(), "empty last field without a separator");
      return;
    }
    FUZZ_CHECK(starts[pos], "cut inside a double-byte character");
    FUZZ_CHECK(line.compare(pos, kSep.size(), kSep) == 0, "field not followed by a separator");
    pos += kSep.size();
  }
  // Only a trailing separator (or nothing at all) may follow the last field.
  FUZZ_CHECK(pos == line.size(), "text after the last field");
}

bool ReadableCell(const std::string& cell) {
  // Single bytes other than line ends, NUL and Ctrl-Z, and GBK pairs (lead
  // 81..FE, trail 40..FE without 7F); no separator inside.
  size_t i = 0;
  while (i < cell.size()) {
    const unsigned char c = static_cast<unsigned char>(cell[i]);
    if (c < 0x80) {
      if (c == '\n' || c == '\r' || c == 0x00 || c == 0x1A) return false;
      ++i;
      continue;
    }
    if (c == 0x80 || c == 0xFF || i + 1 >= cell.size()) return false;
    const unsigned char t = static_cast<unsigned char>(cell[i + 1]);
    if (t < 0x40 || t == 0x7F || t == 0xFF) return false;
    i += 2;
  }
  return cell.find(kSep) == std::string::npos;
}

// Rows the format can hold: readable cells, and no hyphen at the end of cells
// 0 to 2, where it would join the separator after it ("a-" then "----" reads
// as "a" then "-...").
bool RowSurvivesSave(const ClickRowCells& row) {
  for (size_t c = 0; c < row.size(); ++c) {
    if (!ReadableCell(row[c])) return false;
    if (c + 1 < row.size() && !row[c].empty() && row[c].back() == '-') return false;
  }
  return true;
}

// Turns arbitrary bytes into rows that survive a save: cells are the input's
// LF-separated pieces, four to a row, with the bytes the format cannot hold
// left out.
std::vector<ClickRowCells> RowsFromInput(const std::string& bytes) {
  std::vector<std::string> cells;
  std::string cell;
  auto flush = [&]() {
    cells.push_back(cell);
    cell.clear();
  };
  for (size_t i = 0; i < bytes.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c == '\n') {
      flush();
    } else if (c < 0x80) {
      if (c == '\r' || c == 0x00 || c == 0x1A) continue;
      if (c == '-' && cell.size() >= 3 && cell.compare(cell.size() - 3, 3, "---") == 0) continue;
      cell.push_back(static_cast<char>(c));
    } else if (c != 0x80 && c != 0xFF && i + 1 < bytes.size()) {
      const unsigned char t = static_cast<unsigned char>(bytes[i + 1]);
      if (t >= 0x40 && t != 0x7F && t != 0xFF) {
        cell.push_back(static_cast<char>(c));
        cell.push_back(static_cast<char>(t));
        ++i;
      }
    }
  }
  flush();
  std::vector<ClickRowCells> rows;
  for (size_t k = 0; k < cells.size(); k += 4) {
    ClickRowCells row;
    for (size_t c = 0; c < 4 && k + c < cells.size(); ++c) row[c] = cells[k + c];
    for (size_t c = 0; c + 1 < row.size(); ++c) {
      while (!row[c].empty() && row[c].back() == '-') row[c].pop_back();
    }
    FUZZ_CHECK(RowSurvivesSave(row), "derived row is not one the format holds");
    rows.push_back(row);
  }
  return rows;
}

void CheckSaveThenLoad(const std::vector<ClickRowCells>& rows) {
  const std::string content = FileContentFromRows(rows);
  FUZZ_CHECK(SplitLines(content).size() == rows.size(), "one line per saved row");
  FUZZ_CHECK(RowsFromFileContent(content) == rows, "saved rows do not load back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  FUZZ_CHECK(ReadableLength(bytes) == RefReadable(bytes), "readable length");
  const std::vector<std::string> lines = SplitLines(bytes);
  CheckLines(bytes, lines);

  std::vector<ClickRowCells> expected;
  for (const std::string& line : lines) {
    const std::vector<std::string> fields = SplitFields(line);
    CheckFields(line, fields);
    if (fields.size() < 2) continue;
    ClickRowCells row;
    for (size_t c = 0; c < row.size() && c < fields.size(); ++c) row[c] = fields[c];
    expected.push_back(row);
  }
  const std::vector<ClickRowCells> loaded = RowsFromFileContent(bytes);
  FUZZ_CHECK(loaded == expected, "rows from the file");

  // Loaded rows that the format can hold survive saving and loading again.
  std::vector<ClickRowCells> holdable;
  for (const ClickRowCells& row : loaded) {
    if (RowSurvivesSave(row)) holdable.push_back(row);
  }
  CheckSaveThenLoad(holdable);
  const std::vector<ClickRowCells> derived = RowsFromInput(bytes);
  CheckSaveThenLoad(derived);

  // A save appends its lines to the file; when the file's last line is ended,
  // loading afterwards gives the old rows and then the saved ones.
  const std::vector<RefLine> ref = RefLines(bytes);
  if (RefReadable(bytes) == bytes.size() && (ref.empty() || ref.back().ended)) {
    std::vector<ClickRowCells> both = loaded;
    both.insert(both.end(), derived.begin(), derived.end());
    FUZZ_CHECK(RowsFromFileContent(bytes + FileContentFromRows(derived)) == both,
               "appended rows after the file's rows");
  }
  return 0;
}
