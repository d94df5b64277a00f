// The bytes of the click-point file "后台摇一摇配置.ini": one line per table row,
// the four cells joined by "----" and ended by CR LF, in the ANSI code page,
// with no header and no byte-order mark. Reading also takes LF line ends.
// Pure functions over bytes; the file itself is opened in click_file_win.cpp.
#pragma once

#include <array>
#include <string>
#include <vector>

using ClickRowCells = std::array<std::string, 4>;

// Where the readable part of the file ends: at the first NUL or Ctrl-Z (0x1A)
// byte, or at a lead byte followed by NUL (a file saved as UTF-16), whichever
// comes first; the whole length if there is none. Nothing after it is read.
size_t ReadableLength(const std::string& bytes);

// Splits the readable part into lines. A line ends at LF, which is consumed;
// one CR right before the LF is removed, any other CR is kept. A last line
// without LF counts as a line; there is no empty line after a final line end.
// A byte of 0x80 or above takes the next byte with it, so a GBK trail byte is
// never taken for a line end.
std::vector<std::string> SplitLines(const std::string& bytes);

// Splits a line at each "----" (left to right, not overlapping, never starting
// on the trail byte of a double-byte character). A trailing separator gives no
// empty field after it, and an empty line gives no field.
std::vector<std::string> SplitFields(const std::string& line);

// The rows a file turns into: every line with at least two fields gives one
// row, its first four fields in columns 0 to 3 and empty cells for the fields
// it lacks; lines with fewer fields are skipped.
std::vector<ClickRowCells> RowsFromFileContent(const std::string& bytes);

// The file content for a table: each row's cells joined by "----", CR LF after
// each row, nothing else.
std::string FileContentFromRows(const std::vector<ClickRowCells>& rows);
