// Path texts in the ANSI code page. A GBK trail byte may be 0x5C, the same
// byte as a backslash, so separators are looked for character by character.
#pragma once

#include <string>

// The folder part of a full file path, without the trailing backslash
// ("C:\tools\bgshake.exe" gives "C:\tools"). Empty when there is no backslash.
std::string DirectoryOfPath(const std::string& path);
