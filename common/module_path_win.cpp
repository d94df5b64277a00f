// The executable's folder, from GetModuleFileNameA with a buffer that grows
// until the whole path fits.
#include "common/module_path_win.h"

#include <windows.h>

#include "common/path_text.h"

std::string ExecutableDirectory() {
  std::string path;
  // ANSI paths can be far longer than MAX_PATH on a system with long paths on.
  for (DWORD capacity = MAX_PATH; capacity <= 0x100000; capacity *= 2) {
    path.assign(capacity, '\0');
    SetLastError(ERROR_SUCCESS);
    const DWORD length = GetModuleFileNameA(nullptr, &path[0], capacity);
    if (length == 0) return std::string();
    if (length < capacity && GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
      path.resize(length);
      return DirectoryOfPath(path);
    }
  }
  return std::string();
}
