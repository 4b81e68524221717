#include <gtest/gtest.h>

#include "hive/catalogue.h"
#include "tests/host/fake_system.h"

namespace {

using fake::Drive;
using fake::FakeSystem;
using fake::StringValue;

constexpr std::uint32_t kRemovable = 2;
constexpr std::uint32_t kCdRom = 5;
const char kHiveListKey[] = "<HKLM\\SYSTEM\\CurrentControlSet\\Control\\hivelist>";

// C: on volume 1, D: on volume 10 (so C:'s name is a prefix of D:'s), E: a
// removable disk on volume 3, G: an old-style partition, H: a CD-ROM.
void StandardDrives(FakeSystem& s) {
  s.drives = {{"C:\\", sys::kDRIVE_FIXED, "\\Device\\HarddiskVolume1"},
              {"D:\\", sys::kDRIVE_FIXED, "\\Device\\HarddiskVolume10"},
              {"E:\\", kRemovable, "\\Device\\HarddiskVolume3"},
              {"G:\\", kRemovable, "\\Device\\Harddisk1\\Partition1"},
              {"H:\\", kCdRom, "\\Device\\CdRom0"}};
}

struct FileNameCase {
  const char* what;
  const char* data;
  bool wow64;
  std::vector<const char*> files;
  const char* expected;
};

class HivePathToFileNameTest : public ::testing::TestWithParam<FileNameCase> {};

TEST_P(HivePathToFileNameTest, Converts) {
  const FileNameCase& c = GetParam();
  FakeSystem s;
  StandardDrives(s);
  for (const char* f : c.files) s.AddFile(f);
  EXPECT_EQ(hive::HivePathToFileName(c.data, c.wow64), c.expected) << c.what;
  EXPECT_TRUE(s.Calls("FileExists()").empty()) << "an empty path is never asked about";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HivePathToFileNameTest,
    ::testing::Values(
        FileNameCase{"fixed drive, upper-case letter from the drive list",
                     "\\Device\\HarddiskVolume1\\WINDOWS\\system32\\config\\software", false,
                     {"C:\\WINDOWS\\system32\\config\\software"},
                     "C:\\WINDOWS\\system32\\config\\software"},
        FileNameCase{"device compared without regard to case",
                     "\\device\\HARDDISKVOLUME1\\Windows\\hive", false, {"c:\\windows\\HIVE"},
                     "C:\\Windows\\hive"},
        FileNameCase{"removable disk: letter form, lower-case letter",
                     "\\Device\\HarddiskVolume3\\hives\\user.dat", false, {"E:\\hives\\user.dat"},
                     "e:\\hives\\user.dat"},
        FileNameCase{"volume 10 is not C: although C:'s name matches inside it",
                     "\\Device\\HarddiskVolume10\\x\\hive", false, {"D:\\x\\hive"}, "d:\\x\\hive"},
        FileNameCase{"the wrong C:0 path is taken when such a file exists",
                     "\\Device\\HarddiskVolume10\\x\\hive", false, {"C:0\\x\\hive", "D:\\x\\hive"},
                     "C:0\\x\\hive"},
        FileNameCase{"old-style partition split at the third backslash",
                     "\\Device\\Harddisk1\\Partition1\\WINNT\\system32\\config\\SYSTEM", false,
                     {"G:\\WINNT\\system32\\config\\SYSTEM"}, "g:\\WINNT\\system32\\config\\SYSTEM"},
        FileNameCase{"no leading backslash: only the letter form finds it",
                     "Device\\HarddiskVolume1\\X", false, {"C:\\X"}, "c:\\X"},
        FileNameCase{"a drive-letter path matches neither form", "C:\\hive", false, {"C:\\hive"}, ""},
        FileNameCase{"missing file", "\\Device\\HarddiskVolume1\\nothing", false, {}, ""},
        FileNameCase{"unknown device", "\\Device\\HarddiskVolume7\\hive", false, {"C:\\hive"}, ""},
        FileNameCase{"a CD-ROM path: the whole path is no device", "\\Device\\CdRom0\\hive", false,
                     {"H:\\hive"}, ""},
        FileNameCase{"WOW64: system32 reached through sysnative",
                     "\\Device\\HarddiskVolume1\\Windows\\System32\\config\\SAM", true,
                     {"C:\\Windows\\sysnative\\config\\SAM"}, "C:\\Windows\\sysnative\\config\\SAM"},
        FileNameCase{"WOW64 without a sysnative file keeps system32",
                     "\\Device\\HarddiskVolume1\\Windows\\System32\\config\\SAM", true,
                     {"C:\\Windows\\System32\\config\\SAM"}, "C:\\Windows\\System32\\config\\SAM"},
        FileNameCase{"no WOW64: the sysnative file is not looked for",
                     "\\Device\\HarddiskVolume1\\Windows\\System32\\config\\SAM", false,
                     {"C:\\Windows\\sysnative\\config\\SAM"}, ""},
        FileNameCase{"WOW64 letter form redirected too",
                     "\\Device\\HarddiskVolume3\\Windows\\system32\\config\\SAM", true,
                     {"e:\\Windows\\sysnative\\config\\SAM"}, "e:\\Windows\\sysnative\\config\\SAM"},
        FileNameCase{"empty data", "", false, {}, ""}));

struct DeviceCase {
  const char* path;
  const char* expected;
};

class DevicePathToDosPathTest : public ::testing::TestWithParam<DeviceCase> {};

TEST_P(DevicePathToDosPathTest, Splits) {
  FakeSystem s;
  s.drives = {{"B:\\", kRemovable, "\\Device\\HarddiskVolume2"},
              {"C:\\", sys::kDRIVE_FIXED, "\\Device\\HarddiskVolume2"},
              {"F:\\", kRemovable, "\\Device\\Harddisk0\\Partition1"},
              {"N:\\", 4, "\\Device\\LanmanRedirector\\;N:0\\server\\share"},
              {"Q:\\", kRemovable, "Device\\Odd"}};
  EXPECT_EQ(hive::DevicePathToDosPath(GetParam().path), GetParam().expected) << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DevicePathToDosPathTest,
    ::testing::Values(
        // The first letter wins: B: and C: share the device.
        DeviceCase{"\\Device\\HarddiskVolume2\\Windows\\System32\\config\\SYSTEM",
                   "b:\\Windows\\System32\\config\\SYSTEM"},
        DeviceCase{"\\DEVICE\\harddiskvolume2\\x", "b:\\x"},
        DeviceCase{"Device\\HarddiskVolume2\\x", "b:\\x"},
        DeviceCase{"\\Device\\Harddisk0\\Partition1\\WINNT\\x", "f:\\WINNT\\x"},
        DeviceCase{"\\Device\\Harddisk0\\Partition1", "f:"},
        DeviceCase{"\\Device\\HarddiskVolume2", "b:"},
        DeviceCase{"\\Device\\HarddiskVolume", ""},
        DeviceCase{"\\Device\\HarddiskVolume20\\x", ""},
        // No split: the whole path must be the device.
        DeviceCase{"\\Device\\LanmanRedirector\\;N:0\\server\\share", "n:"},
        DeviceCase{"\\Device\\Odd", "q:"},
        DeviceCase{"\\Device\\CdRom0\\x", ""},
        DeviceCase{"\\", ""},
        DeviceCase{"", ""}));

TEST(DevicePathToDosPath, AsksEveryLetterInOrderWithA1000CharacterBuffer) {
  FakeSystem s;
  EXPECT_EQ(hive::DevicePathToDosPath("\\Device\\HarddiskVolume1\\x"), "");
  std::vector<std::string> expected;
  for (char c = 'a'; c <= 'z'; ++c) expected.push_back(std::string("QueryDosDeviceA(") + c + ":,1000)");
  EXPECT_EQ(s.Log(), expected);
}

// A device name that does not fit the buffer with its NUL never matches,
// whether the call fails or hands back a cut-off name.
TEST(DevicePaths, DeviceNamesLongerThanTheBuffersNeverMatch) {
  for (bool truncates : {false, true}) {
    FakeSystem s;
    s.queryDosDeviceTruncates = truncates;
    const std::string longName = "\\Device\\HarddiskVolume" + std::string(1200, '7');
    s.drives = {{"C:\\", sys::kDRIVE_FIXED, longName}};
    s.AddFile("C:\\hive");
    s.AddFile("c:\\hive");
    EXPECT_EQ(hive::DevicePathToDosPath(longName.substr(0, 1000) + "\\hive"), "") << truncates;
    EXPECT_EQ(hive::DevicePathToDosPath(longName.substr(0, 999) + "\\hive"), "") << truncates;
    EXPECT_EQ(hive::FixedDrivePathToDosPath(longName.substr(0, 127) + "\\hive"), "") << truncates;
    EXPECT_EQ(hive::FixedDrivePathToDosPath(longName.substr(0, 126) + "\\hive"), "") << truncates;
    EXPECT_EQ(hive::HivePathToFileName(longName + "\\hive", false), "") << truncates;
  }
  // 125 characters and the two closing NULs fill the 127 of the fixed-drive form.
  FakeSystem s;
  const std::string name = "\\Device\\HarddiskVolume" + std::string(125 - 22, '7');
  ASSERT_EQ(name.size(), 125u);
  s.drives = {{"C:\\", sys::kDRIVE_FIXED, name}};
  EXPECT_EQ(hive::FixedDrivePathToDosPath(name + "\\hive"), "C:\\hive");
}

TEST(FixedDrivePathToDosPath, SkipsDrivesThatAreNotFixedOrHaveNoDevice) {
  FakeSystem s;
  s.drives = {{"A:\\", kRemovable, "\\Device\\HarddiskVolume1"},
              {"B:\\", sys::kDRIVE_FIXED, ""},
              {"c:\\", sys::kDRIVE_FIXED, "\\Device\\HarddiskVolume1"},
              {"D:\\", sys::kDRIVE_FIXED, "\\Device\\HarddiskVolume1"}};
  // Letter case from the drive list; the first fixed match wins.
  EXPECT_EQ(hive::FixedDrivePathToDosPath("\\Device\\HarddiskVolume1\\Windows"), "c:\\Windows");
  EXPECT_EQ(s.Log(), (std::vector<std::string>{"GetLogicalDriveStringsA(104)", "GetDriveTypeA(A:\\)",
                                               "GetDriveTypeA(B:\\)", "QueryDosDeviceA(B:,127)",
                                               "GetDriveTypeA(c:\\)", "QueryDosDeviceA(c:,127)"}));
  // Anywhere in the path, not only at its start.
  EXPECT_EQ(hive::FixedDrivePathToDosPath("\\??\\Device\\HarddiskVolume1\\x"), "c:\\x");
  EXPECT_EQ(hive::FixedDrivePathToDosPath("\\Device\\HarddiskVolume2\\x"), "");
}

TEST(FixedDrivePathToDosPath, AllTwentySixDrives) {
  FakeSystem s;
  for (char c = 'A'; c <= 'Z'; ++c)
    s.drives.push_back({std::string(1, c) + ":\\", c == 'Z' ? sys::kDRIVE_FIXED : kRemovable,
                        "\\Device\\HarddiskVolume" + std::to_string(c - 'A')});
  EXPECT_EQ(hive::FixedDrivePathToDosPath("\\Device\\HarddiskVolume25\\hive"), "Z:\\hive");
  EXPECT_EQ(s.Calls("GetLogicalDriveStringsA"),
            (std::vector<std::string>{"GetLogicalDriveStringsA(104)", "GetLogicalDriveStringsA(105)"}));
}

TEST(FixedDrivePathToDosPath, NoDrivesOrAFailingDriveList) {
  FakeSystem s;
  EXPECT_EQ(hive::FixedDrivePathToDosPath("\\Device\\HarddiskVolume1\\x"), "");
  s.drives = {{"C:\\", sys::kDRIVE_FIXED, "\\Device\\HarddiskVolume1"}};
  s.Fail("GetLogicalDriveStringsA");
  EXPECT_EQ(hive::FixedDrivePathToDosPath("\\Device\\HarddiskVolume1\\x"), "");
  EXPECT_TRUE(s.Calls("GetDriveTypeA").empty());
}

// Whatever the drive list holds and whatever length the call claims, only the
// characters actually handed back are read (the sanitizer build checks this).
TEST(FixedDrivePathToDosPath, GarbageInTheDriveList) {
  struct Garbage {
    std::string chars;
    std::uint32_t result;
    const char* expected;
  };
  const Garbage cases[] = {
      {std::string("C:\\\0", 4), 100, "C:\\x"},            // claims more than it wrote
      {std::string("C:\\\0D:", 6), 6, "C:\\x"},            // length not a multiple of 4
      {std::string("C:\\XYZW", 7), 8, "C:\\x"},            // no NULs at all
      {std::string("\0\0\0\0C:\\\0", 8), 8, "C:\\x"},      // an empty root
      {std::string("C\0\0\0", 4), 4, ""},                  // a root of one character
      {std::string("C:\\\0", 4), 105, ""},                 // asks for more, then too little
      {std::string(300, 'C'), 1u << 31, ""},              // absurd size
      {std::string("C:", 2), 3, ""},                       // fewer than four characters
  };
  for (const Garbage& g : cases) {
    FakeSystem s;
    s.drives = {{"C:\\", sys::kDRIVE_FIXED, "\\Device\\HarddiskVolume1"},
                {"C:\\XYZW", sys::kDRIVE_FIXED, "\\Device\\HarddiskVolume1"}};
    s.rawDriveStrings = true;
    s.driveStrings = g.chars;
    s.driveStringsResult = g.result;
    EXPECT_EQ(hive::FixedDrivePathToDosPath("\\Device\\HarddiskVolume1\\x"), g.expected)
        << testing::PrintToString(g.chars);
  }
}

struct RedirectCase {
  const char* path;
  std::vector<const char*> files;
  const char* expected;
};

class RedirectSystem32Test : public ::testing::TestWithParam<RedirectCase> {};

TEST_P(RedirectSystem32Test, ReplacesTheFirstOccurrence) {
  FakeSystem s;
  for (const char* f : GetParam().files) s.AddFile(f);
  EXPECT_EQ(hive::RedirectSystem32(GetParam().path), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RedirectSystem32Test,
    ::testing::Values(
        RedirectCase{"C:\\Windows\\System32\\config\\SAM", {"C:\\Windows\\sysnative\\config\\SAM"},
                     "C:\\Windows\\sysnative\\config\\SAM"},
        RedirectCase{"C:\\WINDOWS\\SYSTEM32\\CONFIG\\SAM", {"C:\\windows\\sysnative\\config\\sam"},
                     "C:\\WINDOWS\\sysnative\\CONFIG\\SAM"},
        RedirectCase{"C:\\system32\\system32\\x", {"C:\\sysnative\\system32\\x", "C:\\sysnative\\sysnative\\x"},
                     "C:\\sysnative\\system32\\x"},
        RedirectCase{"C:\\Windows\\System32\\config\\SAM", {}, "C:\\Windows\\System32\\config\\SAM"},
        RedirectCase{"C:\\Windows\\System\\config\\SAM", {"C:\\Windows\\sysnative\\config\\SAM"},
                     "C:\\Windows\\System\\config\\SAM"},
        RedirectCase{"C:\\mysystem32x", {"C:\\mysysnativex"}, "C:\\mysysnativex"},
        RedirectCase{"system32", {}, "system32"},
        RedirectCase{"", {}, ""}));

TEST(RedirectSystem32, AsksNothingWithoutSystem32) {
  FakeSystem s;
  EXPECT_EQ(hive::RedirectSystem32("C:\\Windows\\config\\SAM"), "C:\\Windows\\config\\SAM");
  EXPECT_TRUE(s.Log().empty());
}

class ReadHiveListTest : public ::testing::Test {
 protected:
  ReadHiveListTest() {
    s.drives = {{"C:\\", sys::kDRIVE_FIXED, "\\Device\\HarddiskVolume1"}};
    s.AddFile("C:\\Windows\\System32\\config\\SYSTEM");
    s.AddFile("C:\\Windows\\System32\\config\\SOFTWARE");
    s.AddFile("C:\\Users\\Ann\\NTUSER.DAT");
  }
  void Read(bool wow64 = false) { hive::ReadHiveList(wow64, names, files); }

  FakeSystem s;
  std::vector<std::string> names{"stale"}, files{"stale", "entries"};
};

TEST_F(ReadHiveListTest, KeepsStringValuesWithAnExistingFileInEnumerationOrder) {
  fake::RegValue dword{"\\REGISTRY\\MACHINE\\DWORD", sys::kREG_DWORD, {1, 0, 0, 0}};
  fake::RegValue binary = StringValue("\\REGISTRY\\MACHINE\\BINARY",
                                      "\\Device\\HarddiskVolume1\\Windows\\System32\\config\\SYSTEM");
  binary.type = sys::kREG_BINARY;
  s.hiveList = {
      StringValue("\\REGISTRY\\USER\\S-1-5-21-1-2-3-1000", "\\Device\\HarddiskVolume1\\Users\\Ann\\NTUSER.DAT"),
      StringValue("\\REGISTRY\\MACHINE\\HARDWARE", ""),
      dword,
      binary,
      StringValue("\\REGISTRY\\MACHINE\\SYSTEM", "\\Device\\HarddiskVolume1\\Windows\\System32\\config\\SYSTEM"),
      StringValue("\\REGISTRY\\MACHINE\\SAM", "\\Device\\HarddiskVolume1\\Windows\\System32\\config\\SAM"),
      StringValue("\\REGISTRY\\MACHINE\\DRIVE", "C:\\Windows\\System32\\config\\SOFTWARE"),
      StringValue("\\Registry\\Machine\\Software",
                  "\\Device\\HarddiskVolume1\\Windows\\System32\\config\\SOFTWARE", sys::kREG_EXPAND_SZ),
      StringValue("\\REGISTRY\\MACHINE\\AGAIN", "\\Device\\HarddiskVolume1\\Windows\\System32\\config\\SYSTEM"),
  };
  Read();
  EXPECT_EQ(names, (std::vector<std::string>{"\\REGISTRY\\USER\\S-1-5-21-1-2-3-1000",
                                             "\\REGISTRY\\MACHINE\\SYSTEM", "\\Registry\\Machine\\Software",
                                             "\\REGISTRY\\MACHINE\\AGAIN"}));
  EXPECT_EQ(files, (std::vector<std::string>{"C:\\Users\\Ann\\NTUSER.DAT",
                                             "C:\\Windows\\System32\\config\\SYSTEM",
                                             "C:\\Windows\\System32\\config\\SOFTWARE",
                                             "C:\\Windows\\System32\\config\\SYSTEM"}));
}

TEST_F(ReadHiveListTest, OpensWithFullAccessListsNamesFirstAndClosesTheKey) {
  s.hiveList = {StringValue("\\REGISTRY\\MACHINE\\SYSTEM", "\\Device\\HarddiskVolume1\\nothing"),
                StringValue("\\REGISTRY\\MACHINE\\SAM", "")};
  Read();
  const std::string key = kHiveListKey;
  std::vector<std::string> reg;
  for (const std::string& c : s.Log())
    if (c.compare(0, 3, "Reg") == 0) reg.push_back(c);
  EXPECT_EQ(reg, (std::vector<std::string>{
                     "RegOpenKeyExA(HKLM,SYSTEM\\CurrentControlSet\\Control\\hivelist,0,0xf003f)",
                     "RegEnumValueA(" + key + ",0)", "RegEnumValueA(" + key + ",1)",
                     "RegEnumValueA(" + key + ",2)",
                     "RegQueryValueExA(" + key + ",\\REGISTRY\\MACHINE\\SYSTEM)",
                     "RegQueryValueExA(" + key + ",\\REGISTRY\\MACHINE\\SAM)", "RegCloseKey(" + key + ")"}));
  EXPECT_TRUE(names.empty());
  EXPECT_TRUE(files.empty());
  EXPECT_TRUE(s.OpenHandles().empty());
}

TEST_F(ReadHiveListTest, AKeyThatCannotBeOpenedGivesEmptyLists) {
  s.hiveList = {StringValue("\\REGISTRY\\MACHINE\\SYSTEM",
                            "\\Device\\HarddiskVolume1\\Windows\\System32\\config\\SYSTEM")};
  s.Fail("RegOpenKeyExA", 2);
  Read();
  EXPECT_TRUE(names.empty());
  EXPECT_TRUE(files.empty());
  EXPECT_EQ(s.Log().size(), 1u);
}

TEST_F(ReadHiveListTest, AValueThatCannotBeReadIsSkipped) {
  s.hiveList = {StringValue("\\REGISTRY\\MACHINE\\SYSTEM",
                            "\\Device\\HarddiskVolume1\\Windows\\System32\\config\\SYSTEM"),
                StringValue("\\REGISTRY\\MACHINE\\SOFTWARE",
                            "\\Device\\HarddiskVolume1\\Windows\\System32\\config\\SOFTWARE")};
  s.Fail(std::string("RegQueryValueExA(") + kHiveListKey + ",\\REGISTRY\\MACHINE\\SYSTEM)", 5);
  Read();
  EXPECT_EQ(names, std::vector<std::string>{"\\REGISTRY\\MACHINE\\SOFTWARE"});
  EXPECT_TRUE(s.OpenHandles().empty());
}

TEST_F(ReadHiveListTest, DataIsReadAsStoredAndCutAtTheFirstNul) {
#define BYTES(literal) std::string(literal, sizeof(literal) - 1)
  auto raw = [](const char* name, std::string bytes, std::uint32_t type = sys::kREG_SZ) {
    return fake::RegValue{name, type, std::vector<std::uint8_t>(bytes.begin(), bytes.end())};
  };
  s.AddFile("C:\\%SystemRoot%\\hive");
  s.AddFile("C:\\odd");
  s.hiveList = {
      raw("unterminated", "\\Device\\HarddiskVolume1\\Windows\\System32\\config\\SYSTEM"),
      raw("junk after the NUL", BYTES("\\Device\\HarddiskVolume1\\odd\0\\garbage\xff\xfe")),
      raw("odd length", "\\Device\\HarddiskVolume1\\odd"),
      raw("unexpanded", "\\Device\\HarddiskVolume1\\%SystemRoot%\\hive", sys::kREG_EXPAND_SZ),
      raw("starts with NUL", BYTES("\0\\Device\\HarddiskVolume1\\odd")),
      raw("one byte", "\\"),
      raw("wide text", BYTES("\\\0D\0e\0v\0")),
      raw("big", "\\Device\\HarddiskVolume1\\" + std::string(100000, 'x')),
  };
#undef BYTES
  Read();
  EXPECT_EQ(names, (std::vector<std::string>{"unterminated", "junk after the NUL", "odd length",
                                             "unexpanded"}));
  EXPECT_EQ(files, (std::vector<std::string>{"C:\\Windows\\System32\\config\\SYSTEM", "C:\\odd",
                                             "C:\\odd", "C:\\%SystemRoot%\\hive"}));
}

TEST_F(ReadHiveListTest, UnderWow64SystemPathsUseSysnative) {
  s.AddFile("C:\\Windows\\sysnative\\config\\SYSTEM");
  s.hiveList = {StringValue("\\REGISTRY\\MACHINE\\SYSTEM",
                            "\\Device\\HarddiskVolume1\\Windows\\System32\\config\\SYSTEM"),
                StringValue("\\REGISTRY\\USER\\S-1-5-21-1-2-3-1000",
                            "\\Device\\HarddiskVolume1\\Users\\Ann\\NTUSER.DAT")};
  Read(true);
  EXPECT_EQ(files, (std::vector<std::string>{"C:\\Windows\\sysnative\\config\\SYSTEM",
                                             "C:\\Users\\Ann\\NTUSER.DAT"}));
}

}  // namespace
