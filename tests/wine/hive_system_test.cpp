// The real services behind the seam keep the buffer rules that the logic
// above them (and the host tests' fake) rely on.
#include <windows.h>

#include <gtest/gtest.h>

#include "hive/system.h"
#include "tests/wine/hive_wine_util.h"

namespace {

using hivetest::TestFile;

TEST(Win32System, DriveStringsFitOrFailWhole) {
  std::string buffer = "stale";
  const std::uint32_t needed = sys::Sys().GetLogicalDriveStringsA(4, &buffer);
  EXPECT_GT(needed, 4u) << "a short buffer is answered with the size needed";
  EXPECT_TRUE(buffer.empty());
  const std::uint32_t n = sys::Sys().GetLogicalDriveStringsA(needed, &buffer);
  EXPECT_EQ(n + 1, needed);
  EXPECT_EQ(n % 4, 0u);
  ASSERT_EQ(buffer.size(), n + 1u);
  EXPECT_EQ(buffer.back(), '\0');
  EXPECT_EQ(buffer.substr(1, 3), std::string(":\\\0", 3));
}

TEST(Win32System, ADeviceNameNeedsRoomForBothClosingNuls) {
  const std::string device = hivetest::DeviceOf("C:");
  ASSERT_FALSE(device.empty());
  const std::uint32_t exact = static_cast<std::uint32_t>(device.size() + 2);
  std::string buffer;
  EXPECT_EQ(sys::Sys().QueryDosDeviceA("C:", exact - 1, &buffer), 0u);
  EXPECT_TRUE(buffer.empty());
  EXPECT_EQ(sys::Sys().QueryDosDeviceA("c:", exact, &buffer), exact);
  EXPECT_EQ(buffer, device + std::string(2, '\0'));
  EXPECT_EQ(sys::Sys().QueryDosDeviceA("C:", 1000, &buffer), exact);
}

TEST(Win32System, FilesAndFolders) {
  hivetest::FileCleanup cleanup;
  const std::string file = cleanup.Add(TestFile("system.dat"));
  ASSERT_TRUE(hivetest::WriteWholeFile(file, "12345"));
  sys::System& s = sys::Sys();
  EXPECT_TRUE(s.FileExists(file));
  EXPECT_FALSE(s.FileExists(app::ExeDir()));
  EXPECT_FALSE(s.FileExists(""));
  EXPECT_EQ(s.CreateFileA(TestFile("missing.dat"), sys::kGENERIC_READ, 0, sys::kOPEN_EXISTING,
                          sys::kFILE_ATTRIBUTE_NORMAL),
            sys::kInvalidHandle);

  char cwd[MAX_PATH];
  ASSERT_GT(GetCurrentDirectoryA(MAX_PATH, cwd), 0u);
  std::string expected = cwd;
  if (expected.back() != '\\') expected += '\\';
  EXPECT_EQ(s.GetFullPathNameA("relative.dat"), expected + "relative.dat");

  std::int64_t size = -5;
  ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_HIDDEN));
  EXPECT_FALSE(s.FindFileSize(file, 0, &size));
  EXPECT_TRUE(s.FindFileSize(file, 0x3F, &size));
  EXPECT_EQ(size, 5);
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(s.DeleteFileA(file));
  EXPECT_FALSE(s.DeleteFileA(file));
  EXPECT_FALSE(s.FindFileSize(file, 0x3F, &size));
}

TEST(Win32System, VersionAndWow64Answers) {
  sys::VersionInfo info;
  EXPECT_TRUE(sys::Sys().GetVersionExA(&info));
  EXPECT_EQ(info.platformId, 2u);
  EXPECT_TRUE(sys::Sys().HasIsWow64Process());
  bool wow64 = true;
  EXPECT_TRUE(sys::Sys().IsWow64Process(&wow64));
  BOOL direct = FALSE;
  IsWow64Process(GetCurrentProcess(), &direct);
  EXPECT_EQ(wow64, direct != FALSE);
}

}  // namespace
