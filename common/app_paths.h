#pragma once
#include <string>

namespace app {
// Folder of the executable, with its trailing backslash.
std::string ExeDir();
// Host tests and the program itself set it once at start.
void SetExeDir(const std::string& dir);
}  // namespace app
