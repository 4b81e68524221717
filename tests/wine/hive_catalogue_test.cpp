// The catalogue read from a hive list that the test writes into the prefix's
// registry (Wine's own list is empty), against real files and drives.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "hive/catalogue.h"
#include "hive/probes.h"
#include "tests/wine/hive_wine_util.h"

namespace {

using hivetest::FileCleanup;
using hivetest::TestFile;

const char kHiveListKey[] = "SYSTEM\\CurrentControlSet\\Control\\hivelist";

class HiveListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kHiveListKey, 0, KEY_ALL_ACCESS, &key_), ERROR_SUCCESS);
    drive_ = app::ExeDir().substr(0, 2);
    device_ = hivetest::DeviceOf(drive_);
    ASSERT_FALSE(device_.empty());
  }
  void TearDown() override {
    for (const std::string& name : added_) RegDeleteValueA(key_, name.c_str());
    RegCloseKey(key_);
  }

  void Add(const std::string& name, DWORD type, const std::string& bytes) {
    ASSERT_EQ(RegSetValueExA(key_, name.c_str(), 0, type,
                             reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS)
        << name;
    added_.push_back(name);
  }
  void AddString(const std::string& name, const std::string& text, DWORD type = REG_SZ) {
    Add(name, type, text + '\0');
  }
  // The device form of a path on the test program's drive.
  std::string DevicePath(const std::string& path) const { return device_ + path.substr(2); }

  // Our values, as ReadHiveList gives them, in its order.
  std::vector<std::pair<std::string, std::string>> Read(bool wow64) const {
    std::vector<std::string> names, files;
    hive::ReadHiveList(wow64, names, files);
    EXPECT_EQ(names.size(), files.size());
    std::vector<std::pair<std::string, std::string>> ours;
    for (std::size_t i = 0; i < names.size() && i < files.size(); ++i)
      if (std::find(added_.begin(), added_.end(), names[i]) != added_.end())
        ours.emplace_back(names[i], files[i]);
    return ours;
  }

  // The names of our values in the order the registry enumerates them.
  std::vector<std::string> EnumerationOrder() const {
    std::vector<std::string> order;
    for (DWORD i = 0;; ++i) {
      char name[16384];
      DWORD length = sizeof name;
      if (RegEnumValueA(key_, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        break;
      if (std::find(added_.begin(), added_.end(), name) != added_.end()) order.push_back(name);
    }
    return order;
  }

  HKEY key_ = nullptr;
  std::string drive_, device_;
  std::vector<std::string> added_;
  FileCleanup cleanup_;
};

TEST_F(HiveListTest, ReadsStringValuesWithExistingFilesInEnumerationOrder) {
  const std::string a = cleanup_.Add(TestFile("a.dat"));
  const std::string b = cleanup_.Add(TestFile("b.dat"));
  const std::string c = cleanup_.Add(TestFile("c.dat"));
  for (const std::string& f : {a, b, c}) ASSERT_TRUE(hivetest::WriteWholeFile(f, "regf"));
  std::string upper = DevicePath(c);
  std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
  std::string lowerDevice = DevicePath(b);
  std::transform(lowerDevice.begin(), lowerDevice.begin() + device_.size(), lowerDevice.begin(), ::tolower);

  // Names chosen so that the registry's order differs from the order of adding.
  std::map<std::string, std::string> expected;
  AddString("\\REGISTRY\\USER\\HivaraZ_Sz", DevicePath(a));
  expected["\\REGISTRY\\USER\\HivaraZ_Sz"] = a;
  AddString("\\REGISTRY\\MACHINE\\HivaraY_Expand", DevicePath(b), REG_EXPAND_SZ);
  expected["\\REGISTRY\\MACHINE\\HivaraY_Expand"] = b;
  AddString("\\Registry\\Machine\\HivaraX_MixedCase", upper);
  expected["\\Registry\\Machine\\HivaraX_MixedCase"] = drive_ + upper.substr(device_.size());
  AddString("\\REGISTRY\\MACHINE\\HivaraW_LowerDevice", lowerDevice);
  expected["\\REGISTRY\\MACHINE\\HivaraW_LowerDevice"] = b;
  // Only the letter form reads a device path without its leading backslash.
  AddString("\\REGISTRY\\MACHINE\\HivaraV_NoBackslash", DevicePath(a).substr(1));
  std::string letterForm = a;
  letterForm[0] = static_cast<char>(::tolower(letterForm[0]));
  expected["\\REGISTRY\\MACHINE\\HivaraV_NoBackslash"] = letterForm;
  AddString("\\REGISTRY\\MACHINE\\HivaraU_Twin", DevicePath(a));
  expected["\\REGISTRY\\MACHINE\\HivaraU_Twin"] = a;
  Add("\\REGISTRY\\MACHINE\\HivaraT_Unterminated", REG_SZ, DevicePath(c));
  expected["\\REGISTRY\\MACHINE\\HivaraT_Unterminated"] = c;
  Add("\\REGISTRY\\MACHINE\\HivaraS_JunkAfterNul", REG_SZ, DevicePath(c) + std::string("\0junk\\x", 7));
  expected["\\REGISTRY\\MACHINE\\HivaraS_JunkAfterNul"] = c;

  // Left out:
  Add("\\REGISTRY\\MACHINE\\HivaraA_Dword", REG_DWORD, std::string("\x01\0\0\0", 4));
  Add("\\REGISTRY\\MACHINE\\HivaraB_Binary", REG_BINARY, DevicePath(a) + '\0');
  AddString("\\REGISTRY\\MACHINE\\HivaraC_Empty", "");
  Add("\\REGISTRY\\MACHINE\\HivaraD_NoData", REG_SZ, "");
  AddString("\\REGISTRY\\MACHINE\\HivaraE_DriveLetter", a);
  AddString("\\REGISTRY\\MACHINE\\HivaraF_Missing", DevicePath(TestFile("missing.dat")));
  AddString("\\REGISTRY\\MACHINE\\HivaraG_Folder", DevicePath(app::ExeDir().substr(0, app::ExeDir().size() - 1)));
  AddString("\\REGISTRY\\MACHINE\\HivaraH_UnknownDevice", "\\Device\\HarddiskVolume99" + a.substr(2));

  std::vector<std::pair<std::string, std::string>> want;
  for (const std::string& name : EnumerationOrder())
    if (expected.count(name)) want.emplace_back(name, expected[name]);
  ASSERT_EQ(want.size(), expected.size());
  EXPECT_EQ(Read(hive::RunningUnderWow64()), want);
}

TEST_F(HiveListTest, ExpandableStringsAreNotExpanded) {
  // A folder literally named %HIVARA_TEST% beside the program, and the same
  // variable set to somewhere else: only the stored text may be used.
  const std::string folder = app::ExeDir() + "%HIVARA_TEST%";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  const std::string file = cleanup_.Add(folder + "\\hive.dat");
  ASSERT_TRUE(hivetest::WriteWholeFile(file, "regf"));
  SetEnvironmentVariableA("HIVARA_TEST", "elsewhere");
  AddString("\\REGISTRY\\MACHINE\\HivaraExpand", DevicePath(file), REG_EXPAND_SZ);
  auto got = Read(false);
  SetEnvironmentVariableA("HIVARA_TEST", nullptr);
  DeleteFileA(file.c_str());
  RemoveDirectoryA(folder.c_str());
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].second, file);
}

// Under WOW64 a 32-bit process asking for system32 is sent to SysWOW64; the
// catalogue must name the real file through sysnative.
TEST_F(HiveListTest, SystemFolderPathsUnderWow64) {
  char windows[MAX_PATH];
  ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
  const std::string windir = windows;
  const std::string name = "hive_" + std::to_string(GetCurrentProcessId()) + "_wow64.dat";
  const std::string inSystem32 = windir + "\\system32\\" + name;
  const std::string inSysnative = windir + "\\sysnative\\" + name;
  const bool wow64 = hive::RunningUnderWow64();
  // Made where a 64-bit program would see it in system32.
  const std::string real = cleanup_.Add(wow64 ? inSysnative : inSystem32);
  ASSERT_TRUE(hivetest::WriteWholeFile(real, "regf"));
  AddString("\\REGISTRY\\MACHINE\\HivaraSystem32", DevicePath(inSystem32));

  if (wow64) {
    ASSERT_FALSE(hivetest::Exists(inSystem32)) << "redirected to SysWOW64";
    EXPECT_EQ(Read(true), (std::vector<std::pair<std::string, std::string>>{
                              {"\\REGISTRY\\MACHINE\\HivaraSystem32", inSysnative}}));
    EXPECT_TRUE(Read(false).empty());
  } else {
    EXPECT_FALSE(hivetest::Exists(inSysnative));
    EXPECT_EQ(Read(false), (std::vector<std::pair<std::string, std::string>>{
                               {"\\REGISTRY\\MACHINE\\HivaraSystem32", inSystem32}}));
    EXPECT_EQ(Read(true), Read(false));
  }
}

TEST(DevicePathsOnTheRealDrives, BothFormsFindEveryFixedDrive) {
  char roots[4 * 26 + 1] = {};
  DWORD n = GetLogicalDriveStringsA(sizeof roots, roots);
  ASSERT_GT(n, 0u);
  int fixed = 0;
  for (const char* root = roots; *root; root += strlen(root) + 1) {
    if (GetDriveTypeA(root) != DRIVE_FIXED) continue;
    ++fixed;
    const std::string drive(root, 2);
    const std::string device = hivetest::DeviceOf(drive);
    ASSERT_FALSE(device.empty()) << drive;
    std::string lower = drive;
    lower[0] = static_cast<char>(::tolower(lower[0]));
    EXPECT_EQ(hive::FixedDrivePathToDosPath(device + "\\Some\\File"), drive + "\\Some\\File");
    EXPECT_EQ(hive::DevicePathToDosPath(device + "\\Some\\File"), lower + "\\Some\\File");
  }
  EXPECT_GT(fixed, 0);
  EXPECT_EQ(hive::DevicePathToDosPath("\\Device\\HarddiskVolume99\\x"), "");
  EXPECT_EQ(hive::FixedDrivePathToDosPath("\\Device\\HarddiskVolume99\\x"), "");
}

}  // namespace
