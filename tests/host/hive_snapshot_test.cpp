#include <gtest/gtest.h>

#include <functional>

#include "hive/snapshot.h"
#include "tests/host/fake_system.h"

namespace {

using fake::FakeSystem;
using Log = std::vector<std::string>;

struct PrivilegeCase {
  std::function<void()> enable;
  const char* privilege;
};

TEST(EnablePrivilege, OpensAdjustsAndClosesTheToken) {
  const PrivilegeCase cases[] = {{hive::EnableBackupPrivilege, "SeBackupPrivilege"},
                                 {hive::EnableRestorePrivilege, "SeRestorePrivilege"},
                                 {hive::EnableShutdownPrivilege, "SeShutdownPrivilege"}};
  for (const PrivilegeCase& c : cases) {
    FakeSystem s;
    c.enable();
    const std::string p = c.privilege;
    EXPECT_EQ(s.Log(), (Log{"OpenProcessToken(0x28)", "LookupPrivilegeValueA(" + p + ")",
                            "AdjustTokenPrivileges(<token>," + p + ",2)", "CloseHandle(<token>)"}));
    EXPECT_EQ(s.EnabledPrivileges(), std::set<std::string>{p});
    EXPECT_TRUE(s.OpenHandles().empty());
  }
}

TEST(EnablePrivilege, AFailedLookupAdjustsNothingButClosesTheToken) {
  FakeSystem s;
  hive::EnablePrivilege("SeNoSuchPrivilege");
  EXPECT_EQ(s.Log(), (Log{"OpenProcessToken(0x28)", "LookupPrivilegeValueA(SeNoSuchPrivilege)",
                          "CloseHandle(<token>)"}));
  EXPECT_TRUE(s.OpenHandles().empty());
}

TEST(EnablePrivilege, NoTokenNoFurtherCalls) {
  FakeSystem s;
  s.Fail("OpenProcessToken");
  hive::EnableBackupPrivilege();
  EXPECT_EQ(s.Log(), Log{"OpenProcessToken(0x28)"});
}

struct SaveCase {
  const char* hivePath;
  bool view;
  const char* open;  // the expected open call
  const char* key;   // the handle's name in the log
};

class SaveHiveToFileTest : public ::testing::TestWithParam<SaveCase> {};

TEST_P(SaveHiveToFileTest, OpensTheRootKeySavesAndCloses) {
  const SaveCase& c = GetParam();
  for (bool targetExists : {false, true}) {
    FakeSystem s;
    const std::string target = "C:\\Windows\\system32\\config\\hive.hvx";
    if (targetExists) s.AddFile(target, 5);
    EXPECT_TRUE(hive::SaveHiveToFile(c.hivePath, target, c.view)) << c.hivePath;
    Log expected{c.open, "FileExists(" + target + ")"};
    if (targetExists) expected.push_back("DeleteFileA(" + target + ")");
    expected.push_back(std::string("RegSaveKeyA(") + c.key + "," + target + ")");
    expected.push_back(std::string("RegCloseKey(") + c.key + ")");
    EXPECT_EQ(s.Log(), expected) << c.hivePath;
    EXPECT_EQ(s.FileSize(target), s.snapshotSize);
    EXPECT_TRUE(s.OpenHandles().empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveHiveToFileTest,
    ::testing::Values(
        SaveCase{"\\REGISTRY\\MACHINE\\SOFTWARE", true, "RegOpenKeyExA(HKLM,SOFTWARE,0,0x101)",
                 "<HKLM\\SOFTWARE>"},
        SaveCase{"\\REGISTRY\\MACHINE\\SOFTWARE", false, "RegOpenKeyA(HKLM,SOFTWARE)", "<HKLM\\SOFTWARE>"},
        SaveCase{"\\Registry\\Machine\\Software", true, "RegOpenKeyExA(HKLM,Software,0,0x101)",
                 "<HKLM\\Software>"},
        SaveCase{"\\REGISTRY\\MACHINE\\SYSTEM", true, "RegOpenKeyA(HKLM,SYSTEM)", "<HKLM\\SYSTEM>"},
        SaveCase{"\\REGISTRY\\MACHINE\\SAM", false, "RegOpenKeyA(HKLM,SAM)", "<HKLM\\SAM>"},
        SaveCase{"\\REGISTRY\\USER\\S-1-5-21-1-2-3-1000_Classes", true,
                 "RegOpenKeyA(HKU,S-1-5-21-1-2-3-1000_Classes)", "<HKU\\S-1-5-21-1-2-3-1000_Classes>"},
        // The view flag plays no part for user hives, even one named like SOFTWARE.
        SaveCase{"\\REGISTRY\\USER\\SOFTWARE_S-1-5-20", true, "RegOpenKeyA(HKU,SOFTWARE_S-1-5-20)",
                 "<HKU\\SOFTWARE_S-1-5-20>"},
        SaveCase{"\\registry\\user\\.DEFAULT", false, "RegOpenKeyA(HKU,.DEFAULT)", "<HKU\\.DEFAULT>"},
        // The prefix counts anywhere in the path.
        SaveCase{"\\??\\REGISTRY\\MACHINE\\SYSTEM", false, "RegOpenKeyA(HKLM,SYSTEM)", "<HKLM\\SYSTEM>"}));

TEST(SaveHiveToFile, APathWithNeitherPrefixStillDeletesTheTarget) {
  FakeSystem s;
  s.AddFile("C:\\x.hvx");
  EXPECT_FALSE(hive::SaveHiveToFile("\\REGISTRY\\A\\B", "C:\\x.hvx", true));
  EXPECT_EQ(s.Log(), (Log{"FileExists(C:\\x.hvx)", "DeleteFileA(C:\\x.hvx)"}));
  EXPECT_FALSE(s.HasFile("C:\\x.hvx"));
}

TEST(SaveHiveToFile, AKeyThatCannotBeOpenedLeavesNoSnapshot) {
  FakeSystem s;
  s.AddFile("C:\\x.hvx");
  s.Fail("RegOpenKeyA", 2);
  EXPECT_FALSE(hive::SaveHiveToFile("\\REGISTRY\\MACHINE\\SAM", "C:\\x.hvx", false));
  EXPECT_EQ(s.Log(), (Log{"RegOpenKeyA(HKLM,SAM)", "FileExists(C:\\x.hvx)", "DeleteFileA(C:\\x.hvx)"}));
  EXPECT_FALSE(s.HasFile("C:\\x.hvx"));
}

TEST(SaveHiveToFile, ARefusedSaveGivesFalseAndTheKeyIsClosed) {
  FakeSystem s;
  s.saveNeedsBackupPrivilege = true;
  EXPECT_FALSE(hive::SaveHiveToFile("\\REGISTRY\\MACHINE\\SAM", "C:\\x.hvx", false));
  EXPECT_EQ(s.Calls("RegCloseKey"), Log{"RegCloseKey(<HKLM\\SAM>)"});
  EXPECT_TRUE(s.OpenHandles().empty());
  EXPECT_FALSE(s.HasFile("C:\\x.hvx"));

  hive::EnableBackupPrivilege();
  EXPECT_TRUE(hive::SaveHiveToFile("\\REGISTRY\\MACHINE\\SAM", "C:\\x.hvx", false));
}

// Windows refuses to save over the file; it is never written over on any
// system, and the key is still closed.
TEST(SaveHiveToFile, AnUndeletableTargetFailsTheSave) {
  for (bool locked : {false, true}) {
    FakeSystem s;
    fake::File f;
    f.size = 77;
    f.undeletable = !locked;
    f.locked = locked;
    s.AddFile("C:\\x.hvx", f);
    EXPECT_FALSE(hive::SaveHiveToFile("\\REGISTRY\\MACHINE\\SYSTEM", "C:\\x.hvx", false));
    EXPECT_EQ(s.FileSize("C:\\x.hvx"), 77);
    EXPECT_TRUE(s.Calls("RegSaveKeyA").empty());
    EXPECT_EQ(s.Log().back(), "RegCloseKey(<HKLM\\SYSTEM>)");
    EXPECT_TRUE(s.OpenHandles().empty());
  }
}

TEST(IsFileLocked, OpensForExclusiveReadAndWrite) {
  FakeSystem s;
  fake::File held;
  held.locked = true;
  s.AddFile("C:\\held.dat", held);
  s.AddFile("C:\\free.dat");

  EXPECT_FALSE(hive::IsFileLocked("C:\\missing.dat"));
  EXPECT_EQ(s.Log(), Log{"FileExists(C:\\missing.dat)"});

  s.ClearLog();
  EXPECT_TRUE(hive::IsFileLocked("C:\\held.dat"));
  EXPECT_EQ(s.Log(), (Log{"FileExists(C:\\held.dat)", "CreateFileA(C:\\held.dat,0xc0000000,0,3,0x80)"}));

  s.ClearLog();
  EXPECT_FALSE(hive::IsFileLocked("C:\\free.dat"));
  EXPECT_EQ(s.Log(), (Log{"FileExists(C:\\free.dat)", "CreateFileA(C:\\free.dat,0xc0000000,0,3,0x80)",
                          "CloseHandle(<file C:\\free.dat>)"}));
  EXPECT_TRUE(s.OpenHandles().empty());

  // Any failure to open counts, not only a sharing violation.
  s.Fail("CreateFileA(C:\\free.dat");
  EXPECT_TRUE(hive::IsFileLocked("C:\\free.dat"));
}

TEST(GetFileSize64, MeasuresByTheDirectoryEntryOfTheFullPath) {
  FakeSystem s;
  s.currentDirectory = "C:\\Windows\\";
  s.AddFile("C:\\Windows\\big.dat", 5LL * 1024 * 1024 * 1024 + 3);
  s.AddFile("C:\\zero.dat", 0);
  fake::File odd;
  odd.unmeasurable = true;
  s.AddFile("C:\\odd.dat", odd);

  EXPECT_EQ(hive::GetFileSize64("big.dat"), 5LL * 1024 * 1024 * 1024 + 3);
  EXPECT_EQ(s.Log(), (Log{"FileExists(big.dat)", "GetFullPathNameA(big.dat)",
                          "FindFileSize(C:\\Windows\\big.dat,0x3f)"}));
  EXPECT_EQ(hive::GetFileSize64("C:\\zero.dat"), 0);
  EXPECT_EQ(hive::GetFileSize64("C:\\missing.dat"), 0);
  EXPECT_EQ(hive::GetFileSize64("C:\\odd.dat"), -1);
  s.Fail("GetFullPathNameA(C:\\zero.dat");
  EXPECT_EQ(hive::GetFileSize64("C:\\zero.dat"), -1);
}

}  // namespace
