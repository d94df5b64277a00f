// Where the program lies on disk.
#pragma once

#include <string>

// The folder of the running executable, without a trailing backslash, built
// from its full path whatever its length; empty if it cannot be found.
std::string ExecutableDirectory();
