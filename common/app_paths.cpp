#include "common/app_paths.h"

namespace app {
namespace {
std::string g_exeDir;
}
std::string ExeDir() { return g_exeDir; }
void SetExeDir(const std::string& dir) { g_exeDir = dir; }
}  // namespace app
