// Every Win32 test runs against the real services, with the program's folder
// set to the test executable's.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/app_paths.h"
#include "hive/win/win32_system.h"

namespace {

class WineEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    sys::SetSys(&system_);
    std::vector<char> path(32768);
    DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    ASSERT_GT(n, 0u);
    ASSERT_LT(n, path.size());
    std::string exe(path.data(), n);
    app::SetExeDir(exe.substr(0, exe.find_last_of('\\') + 1));
  }

 private:
  sys::Win32System system_;
};

::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new WineEnvironment);

}  // namespace
