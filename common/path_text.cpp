// Path texts; see path_text.h.
#include "common/path_text.h"

std::string DirectoryOfPath(const std::string& path) {
  size_t lastSeparator = std::string::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    if (c >= 0x80) {
      ++i;  // the trail byte of a double-byte character is never a separator
    } else if (c == '\\' || c == '/') {
      lastSeparator = i;
    }
  }
  if (lastSeparator == std::string::npos) return std::string();
  return path.substr(0, lastSeparator);
}
