#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "hive/probes.h"

namespace {

TEST(Probes, TheVersionCodeIsASupportedOneAndMatchesTheReportedVersion) {
  OSVERSIONINFOA v = {};
  v.dwOSVersionInfoSize = sizeof v;
  ASSERT_TRUE(GetVersionExA(&v));
  const int code = hive::GetWindowsVersionCode();
  EXPECT_EQ(code, hive::VersionCodeFrom(v.dwPlatformId, v.dwMajorVersion, v.dwMinorVersion));
  const int supported[] = {5, 6, 7, 9, 10, 11, 12};
  EXPECT_NE(std::find(std::begin(supported), std::end(supported), code), std::end(supported))
      << v.dwPlatformId << " " << v.dwMajorVersion << "." << v.dwMinorVersion;
}

TEST(Probes, Wow64ExactlyWhenThereIsA32BitSystemFolder) {
  char folder[MAX_PATH];
  const bool wow64 = GetSystemWow64DirectoryA(folder, MAX_PATH) != 0;
  EXPECT_EQ(hive::RunningUnderWow64(), wow64);
  RecordProperty("wow64", wow64 ? "true" : "false");
}

}  // namespace
