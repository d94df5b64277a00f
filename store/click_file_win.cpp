// Loading and saving the click-point file "后台摇一摇配置.ini" beside the
// program. The bytes are read and written whole; their lines and fields are
// handled by click_file.cpp.
#include <windows.h>

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "common/module_path_win.h"
#include "store/click_file.h"
#include "store/click_table.h"

namespace {

constexpr char kClickFileName[] = "后台摇一摇配置.ini";
constexpr DWORD kReadChunk = 1 << 20;

// Reads the whole file into bytes. Sharing read and write lets it load while
// another program has it open, and a read-only file loads as well.
bool ReadWholeFile(const char* path, std::string* bytes) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  std::vector<char> chunk(kReadChunk);
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, chunk.data(), kReadChunk, &got, nullptr)) {
      ok = false;
      break;
    }
    if (got == 0) break;
    bytes->append(chunk.data(), got);
    // Nothing after a NUL or Ctrl-Z is ever used, so reading may stop there.
    if (memchr(chunk.data(), '\0', got) || memchr(chunk.data(), '\x1A', got)) break;
  }
  CloseHandle(file);
  return ok;
}

bool WriteAll(HANDLE file, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const size_t left = bytes.size() - done;
    const DWORD part = left > kReadChunk ? kReadChunk : static_cast<DWORD>(left);
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, part, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

// Creates a new temporary file beside target; its name is returned in tempPath.
HANDLE CreateTempBeside(const std::string& target, std::string* tempPath) {
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    *tempPath = target + "." + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(attempt) + ".tmp";
    HANDLE file = CreateFileA(tempPath->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return INVALID_HANDLE_VALUE;
}

}  // namespace

void LoadClickPoints() {
  std::string bytes;
  std::vector<ClickRowCells> rows;
  try {
    // The current directory is the program's folder since start-up. An
    // unreadable file reads as an empty one; nothing is reported.
    if (ReadWholeFile(kClickFileName, &bytes)) rows = RowsFromFileContent(bytes);
  } catch (const std::bad_alloc&) {
    rows.clear();  // a file too large for memory loads as empty, silently
  }
  ClearRows();
  SendMessageA(超级列表框_配置, WM_SETREDRAW, FALSE, 0);
  for (const ClickRowCells& row : rows) {
    const int index = RowCount();
    AppendEmptyRow();
    for (int column = 0; column < static_cast<int>(row.size()); ++column) {
      if (!row[column].empty()) SetCell(index, column, row[column]);
    }
  }
  SendMessageA(超级列表框_配置, WM_SETREDRAW, TRUE, 0);
}

void SaveClickPoints() {
  const std::string folder = ExecutableDirectory();
  if (folder.empty()) return;  // no path to save to: nothing is written anywhere
  const std::string target = folder + "\\" + kClickFileName;

  std::string content;
  try {
    std::vector<ClickRowCells> rows(static_cast<size_t>(RowCount()));
    for (size_t row = 0; row < rows.size(); ++row) {
      for (size_t column = 0; column < rows[row].size(); ++column) {
        rows[row][column] = GetCell(static_cast<int>(row), static_cast<int>(column));
      }
    }
    content = FileContentFromRows(rows);
  } catch (const std::bad_alloc&) {
    return;  // the old file stays as it was
  }

  // A read-only file is left as it is. Windows refuses to replace it anyway,
  // but Wine's MoveFileExA would replace it.
  const DWORD attributes = GetFileAttributesA(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return;

  // The new content goes to a temporary file first and then replaces the old
  // file in one step, so a failure at any point leaves the old file whole.
  std::string tempPath;
  HANDLE file = CreateTempBeside(target, &tempPath);
  if (file == INVALID_HANDLE_VALUE) return;  // folder not writable: silently nothing
  const bool written = WriteAll(file, content) && FlushFileBuffers(file);
  CloseHandle(file);
  if (!written || !MoveFileExA(tempPath.c_str(), target.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileA(tempPath.c_str());
  }
}
