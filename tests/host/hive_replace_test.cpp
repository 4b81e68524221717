#include <gtest/gtest.h>

#include "hive/replace.h"
#include "tests/host/fake_system.h"

namespace {

using fake::FakeSystem;
using Log = std::vector<std::string>;

struct ReplaceCase {
  const char* hivePath;
  const char* request;  // root and subkey as logged
};

class ReplaceHiveTest : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceHiveTest, DeletesAnOldBackupThenAsks) {
  const std::string hivePath = GetParam().hivePath;
  const std::string request = GetParam().request;
  for (bool backupExists : {false, true}) {
    FakeSystem s;
    if (backupExists) s.AddFile("C:\\h.bak");
    EXPECT_TRUE(hive::ReplaceHive(hivePath, "C:\\h.hvx", "C:\\h.bak")) << hivePath;
    Log expected{"FileExists(C:\\h.bak)"};
    if (backupExists) expected.push_back("DeleteFileA(C:\\h.bak)");
    expected.push_back("RegReplaceKeyA(" + request + ",C:\\h.hvx,C:\\h.bak)");
    EXPECT_EQ(s.Log(), expected);
    EXPECT_FALSE(s.HasFile("C:\\h.bak"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplaceHiveTest,
    ::testing::Values(ReplaceCase{"\\REGISTRY\\MACHINE\\SYSTEM", "HKLM,SYSTEM"},
                      ReplaceCase{"\\Registry\\Machine\\Sam", "HKLM,Sam"},
                      ReplaceCase{"\\REGISTRY\\USER\\S-1-5-18", "HKU,S-1-5-18"},
                      ReplaceCase{"\\REGISTRY\\USER\\S-1-5-21-1-2-3-1000_Classes",
                                  "HKU,S-1-5-21-1-2-3-1000_Classes"},
                      ReplaceCase{"\\registry\\user\\.Default", "HKU,.Default"},
                      // The machine prefix wins even when the user one comes first.
                      ReplaceCase{"\\REGISTRY\\USER\\x\\REGISTRY\\MACHINE\\y", "HKLM,y"}));

TEST(ReplaceHive, ARefusedRequestGivesFalse) {
  FakeSystem s;
  s.Fail("RegReplaceKeyA", 32);
  EXPECT_FALSE(hive::ReplaceHive("\\REGISTRY\\MACHINE\\SYSTEM", "C:\\h.hvx", "C:\\h.bak"));
}

TEST(ReplaceHive, AHivePathWithoutARootIsSkippedWholly) {
  for (const char* path : {"\\REGISTRY\\A\\B", "", "REGISTRY\\MACHINE", "\\REGISTRY\\USERS\\x"}) {
    FakeSystem s;
    s.AddFile("C:\\h.bak");
    EXPECT_FALSE(hive::ReplaceHive(path, "C:\\h.hvx", "C:\\h.bak")) << path;
    EXPECT_TRUE(s.Log().empty()) << path;
    EXPECT_TRUE(s.HasFile("C:\\h.bak"));
  }
}

TEST(RestartWindows, EnablesTheShutdownPrivilegeThenRestarts) {
  for (bool force : {true, false}) {
    FakeSystem s;
    hive::RestartWindows(force);
    EXPECT_EQ(s.Log(), (Log{"OpenProcessToken(0x28)", "LookupPrivilegeValueA(SeShutdownPrivilege)",
                            "AdjustTokenPrivileges(<token>,SeShutdownPrivilege,2)", "CloseHandle(<token>)",
                            force ? "ExitWindowsEx(6,1)" : "ExitWindowsEx(2,1)"}));
  }
}

TEST(RestartWindows, AskedEvenWhenThePrivilegeCannotBeHad) {
  FakeSystem s;
  s.Fail("OpenProcessToken");
  hive::RestartWindows(true);
  EXPECT_EQ(s.Log().back(), "ExitWindowsEx(6,1)");
}

}  // namespace
