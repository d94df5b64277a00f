// The folder part of the program's path, which becomes the current directory:
// backslashes are found character by character, so the trail byte 0x5C of a
// GBK character is never taken for a separator.
#include <gtest/gtest.h>

#include <string>

#include "common/path_text.h"

namespace {

TEST(DirectoryOfPath, CutsAtTheLastBackslashOutsideDoubleByteCharacters) {
  const struct {
    const char* path;
    const char* folder;
  } cases[] = {
      {"C:\\tools\\bgshake.exe", "C:\\tools"},
      {"C:\\x.exe", "C:"},  // the caller adds the backslash back for the root
      {"C:\\a\\b\\c\\d.exe", "C:\\a\\b\\c"},
      {"\\\\server\\share\\bgshake.exe", "\\\\server\\share"},
      {"C:\\工具\\后台摇一摇.exe", "C:\\工具"},
      // 0x81 0x5C is one GBK character; its second byte is not a backslash.
      {"C:\\a\x81\x5C" "b.exe", "C:"},
      {"C:\\a\x81\x5C\\b.exe", "C:\\a\x81\x5C"},
      {"C:\\\x81\x5C\x81\x5C.exe", "C:"},
      {"C:\\dir\\\x81\x5C", "C:\\dir"},
      {"bgshake.exe", ""},
      {"", ""},
      {"\x81\x5C", ""},  // one character, no separator
      {"\\x.exe", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DirectoryOfPath(c.path), c.folder) << "path: " << c.path;
  }
}

TEST(DirectoryOfPath, HandlesPathsLongerThanMaxPath) {
  const std::string folder = "C:\\" + std::string(300, 'a') + "\\" + std::string(300, 'b');
  EXPECT_EQ(DirectoryOfPath(folder + "\\bgshake.exe"), folder);
}

}  // namespace
