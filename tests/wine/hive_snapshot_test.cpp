// Privileges, snapshots and file tests against the real API.
#include <windows.h>

#include <gtest/gtest.h>

#include "hive/probes.h"
#include "hive/replace.h"
#include "hive/snapshot.h"
#include "tests/wine/hive_wine_util.h"

namespace {

using hivetest::FileCleanup;
using hivetest::TestFile;

const char kWineHeader[] = "WINE REGISTRY Version 2";

// The state of one privilege in the process's token: -1 absent, 0 off, 1 on.
int PrivilegeState(const char* name) {
  LUID luid;
  if (!LookupPrivilegeValueA(nullptr, name, &luid)) return -1;
  HANDLE token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return -1;
  DWORD size = 0;
  GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
  std::vector<BYTE> buffer(size + 1);
  int state = -1;
  if (GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size)) {
    auto* privileges = reinterpret_cast<TOKEN_PRIVILEGES*>(buffer.data());
    for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
      const LUID_AND_ATTRIBUTES& p = privileges->Privileges[i];
      if (p.Luid.LowPart == luid.LowPart && p.Luid.HighPart == luid.HighPart)
        state = (p.Attributes & SE_PRIVILEGE_ENABLED) ? 1 : 0;
    }
  }
  CloseHandle(token);
  return state;
}

void DisablePrivilege(const char* name) {
  HANDLE token;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token));
  TOKEN_PRIVILEGES tp = {};
  tp.PrivilegeCount = 1;
  ASSERT_TRUE(LookupPrivilegeValueA(nullptr, name, &tp.Privileges[0].Luid));
  tp.Privileges[0].Attributes = 0;
  AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr);
  CloseHandle(token);
}

TEST(Privileges, EachIsEnabledInTheProcessToken) {
  struct Case {
    void (*enable)();
    const char* name;
  };
  for (const Case& c : {Case{hive::EnableBackupPrivilege, "SeBackupPrivilege"},
                        Case{hive::EnableRestorePrivilege, "SeRestorePrivilege"},
                        Case{hive::EnableShutdownPrivilege, "SeShutdownPrivilege"}}) {
    DisablePrivilege(c.name);
    ASSERT_EQ(PrivilegeState(c.name), 0) << c.name;
    c.enable();
    EXPECT_EQ(PrivilegeState(c.name), 1) << c.name;
  }
}

// A key of our own under a machine hive, made in the 64-bit view where there is one.
class SaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wow64_ = hive::RunningUnderWow64();
    hive::EnableBackupPrivilege();
    for (const char* root : {"Software", "SYSTEM"}) {
      HKEY key;
      const std::string path = std::string(root) + "\\" + kKey;
      ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0,
                                KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &key, nullptr),
                ERROR_SUCCESS);
      ASSERT_EQ(RegSetValueExA(key, "HivaraMarker", 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(marker_.c_str()),
                               static_cast<DWORD>(marker_.size() + 1)),
                ERROR_SUCCESS);
      RegCloseKey(key);
    }
  }
  void TearDown() override {
    for (const char* root : {"Software", "SYSTEM"}) {
      HKEY parent;
      if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, root, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &parent) ==
          ERROR_SUCCESS) {
        RegDeleteKeyA(parent, kKey);
        RegCloseKey(parent);
      }
    }
  }
  // A snapshot in Wine's text format holding our marker value.
  void ExpectSnapshot(const std::string& file) {
    const std::string content = hivetest::ReadWholeFile(file);
    EXPECT_EQ(content.compare(0, sizeof kWineHeader - 1, kWineHeader), 0) << content.substr(0, 80);
    EXPECT_NE(content.find("HivaraMarker"), std::string::npos);
    EXPECT_NE(content.find(marker_), std::string::npos);
  }

  static constexpr const char* kKey = "HivaraSaveTest";
  const std::string marker_ = "marker-" + std::to_string(GetCurrentProcessId());
  bool wow64_ = false;
  FileCleanup cleanup_;
};

TEST_F(SaveTest, WritesTheKeyAlsoOverAnExistingTarget) {
  const std::string target = cleanup_.Add(TestFile("software.hvx"));
  ASSERT_TRUE(hivetest::WriteWholeFile(target, std::string(200000, 'X')));
  EXPECT_TRUE(hive::SaveHiveToFile("\\REGISTRY\\MACHINE\\Software\\HivaraSaveTest", target, wow64_));
  ExpectSnapshot(target);
  EXPECT_EQ(hivetest::ReadWholeFile(target).find("XXXX"), std::string::npos);
}

TEST_F(SaveTest, TheViewFlagDecidesWhichSoftwareIsSeenUnderWow64) {
  const std::string target = cleanup_.Add(TestFile("view.hvx"));
  ASSERT_TRUE(hivetest::WriteWholeFile(target, "old"));
  // Without the flag a 32-bit process sees the redirected SOFTWARE, where the
  // key does not exist; the old target is gone all the same.
  bool saved = hive::SaveHiveToFile("\\REGISTRY\\MACHINE\\SOFTWARE\\HivaraSaveTest", target, false);
  if (wow64_) {
    EXPECT_FALSE(saved);
    EXPECT_FALSE(hivetest::Exists(target));
  } else {
    EXPECT_TRUE(saved);
    ExpectSnapshot(target);
  }
  // The flag is used only for SOFTWARE paths; SYSTEM is not redirected.
  EXPECT_TRUE(hive::SaveHiveToFile("\\REGISTRY\\MACHINE\\SYSTEM\\HivaraSaveTest", target, true));
  ExpectSnapshot(target);
}

TEST_F(SaveTest, AUserHive) {
  const std::string target = cleanup_.Add(TestFile("default.hvx"));
  EXPECT_TRUE(hive::SaveHiveToFile("\\REGISTRY\\USER\\.DEFAULT", target, wow64_));
  const std::string content = hivetest::ReadWholeFile(target);
  EXPECT_EQ(content.compare(0, sizeof kWineHeader - 1, kWineHeader), 0);
}

TEST_F(SaveTest, FailuresLeaveNoSnapshot) {
  const std::string target = cleanup_.Add(TestFile("fail.hvx"));
  for (const char* path : {"\\REGISTRY\\MACHINE\\SYSTEM\\HivaraNoSuchKey", "\\REGISTRY\\A\\B", ""}) {
    ASSERT_TRUE(hivetest::WriteWholeFile(target, "old"));
    EXPECT_FALSE(hive::SaveHiveToFile(path, target, wow64_)) << path;
    EXPECT_FALSE(hivetest::Exists(target)) << path;
  }
}

TEST_F(SaveTest, NeedsTheBackupPrivilege) {
  const std::string target = cleanup_.Add(TestFile("privilege.hvx"));
  DisablePrivilege("SeBackupPrivilege");
  EXPECT_FALSE(hive::SaveHiveToFile("\\REGISTRY\\MACHINE\\SYSTEM\\HivaraSaveTest", target, wow64_));
  hive::EnableBackupPrivilege();
  EXPECT_TRUE(hive::SaveHiveToFile("\\REGISTRY\\MACHINE\\SYSTEM\\HivaraSaveTest", target, wow64_));
}

// Another process that holds a file open without sharing, as Windows holds a
// live hive; ended by its own process handle.
class Holder {
 public:
  explicit Holder(const std::string& file) {
    const std::string event = "hivara_holdopen_" + std::to_string(GetCurrentProcessId());
    ready_ = CreateEventA(nullptr, TRUE, FALSE, event.c_str());
    std::string command = "\"" + app::ExeDir() + "holdopen.exe\" \"" + file + "\" " + event;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    if (ready_ == nullptr ||
        !CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &si, &process_))
      return;
    HANDLE waits[2] = {ready_, process_.hProcess};
    holding_ = WaitForMultipleObjects(2, waits, FALSE, 30000) == WAIT_OBJECT_0;
  }
  ~Holder() {
    if (process_.hProcess) {
      TerminateProcess(process_.hProcess, 0);
      WaitForSingleObject(process_.hProcess, 10000);
      CloseHandle(process_.hProcess);
      CloseHandle(process_.hThread);
    }
    if (ready_) CloseHandle(ready_);
  }
  bool holding() const { return holding_; }

 private:
  HANDLE ready_ = nullptr;
  PROCESS_INFORMATION process_ = {};
  bool holding_ = false;
};

TEST(FileTests, AFileHeldByAnotherProcessIsLockedAndStillMeasured) {
  FileCleanup cleanup;
  const std::string file = cleanup.Add(TestFile("held.dat"));
  std::string content(123457, '\0');
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
  ASSERT_TRUE(hivetest::WriteWholeFile(file, content));
  {
    Holder holder(file);
    ASSERT_TRUE(holder.holding());
    EXPECT_TRUE(hive::IsFileLocked(file));
    EXPECT_EQ(hive::GetFileSize64(file), 123457);
  }
  EXPECT_FALSE(hive::IsFileLocked(file));
  EXPECT_EQ(hivetest::ReadWholeFile(file), content);
  EXPECT_EQ(hive::GetFileSize64(file), 123457);
}

TEST(FileTests, MissingFilesFoldersAndEmptyFiles) {
  FileCleanup cleanup;
  const std::string missing = TestFile("missing.dat");
  EXPECT_FALSE(hive::IsFileLocked(missing));
  EXPECT_EQ(hive::GetFileSize64(missing), 0);
  EXPECT_FALSE(hivetest::Exists(missing));
  const std::string folder = app::ExeDir().substr(0, app::ExeDir().size() - 1);
  EXPECT_FALSE(hive::IsFileLocked(folder));
  EXPECT_EQ(hive::GetFileSize64(folder), 0);
  const std::string empty = cleanup.Add(TestFile("empty.dat"));
  ASSERT_TRUE(hivetest::WriteWholeFile(empty, ""));
  EXPECT_FALSE(hive::IsFileLocked(empty));
  EXPECT_EQ(hive::GetFileSize64(empty), 0);
}

TEST(FileTests, SizesBeyondFourGigabytesComeOutWhole) {
  FileCleanup cleanup;
  const std::string file = cleanup.Add(TestFile("sparse.dat"));
  HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  LARGE_INTEGER size;
  size.QuadPart = 5LL * 1024 * 1024 * 1024 + 3;
  bool extended = SetFilePointerEx(h, size, nullptr, FILE_BEGIN) && SetEndOfFile(h);
  CloseHandle(h);
  ASSERT_TRUE(extended);
  EXPECT_EQ(hive::GetFileSize64(file), size.QuadPart);
}

TEST(ReplaceHive, DeletesAnOldBackupFirstAndSkipsPathsWithoutARoot) {
  FileCleanup cleanup;
  const std::string snapshot = cleanup.Add(TestFile("replace.hvx"));
  const std::string backup = cleanup.Add(TestFile("replace.bak"));
  ASSERT_TRUE(hivetest::WriteWholeFile(snapshot, "new"));
  ASSERT_TRUE(hivetest::WriteWholeFile(backup, "old backup"));
  EXPECT_FALSE(hive::ReplaceHive("\\REGISTRY\\OTHER\\HivaraReplaceTest", snapshot, backup));
  EXPECT_TRUE(hivetest::Exists(backup));
  // Wine accepts every request and swaps nothing.
  EXPECT_TRUE(hive::ReplaceHive("\\REGISTRY\\MACHINE\\SOFTWARE\\HivaraReplaceTest", snapshot, backup));
  EXPECT_FALSE(hivetest::Exists(backup));
  EXPECT_TRUE(hivetest::Exists(snapshot));
}

}  // namespace
