#include <gtest/gtest.h>

#include "hive/probes.h"
#include "tests/host/fake_system.h"

namespace {

using fake::FakeSystem;

struct VersionCase {
  std::uint32_t platform, major, minor;
  int code;
};

class VersionCodeTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionCodeTest, Table) {
  const VersionCase& c = GetParam();
  EXPECT_EQ(hive::VersionCodeFrom(c.platform, c.major, c.minor), c.code)
      << c.platform << " " << c.major << "." << c.minor;
}

INSTANTIATE_TEST_SUITE_P(
    NT, VersionCodeTest,
    ::testing::Values(VersionCase{2, 3, 51, 5}, VersionCase{2, 3, 0, 5}, VersionCase{2, 4, 0, 6},
                      VersionCase{2, 4, 10, 6}, VersionCase{2, 5, 0, 7}, VersionCase{2, 5, 1, 9},
                      VersionCase{2, 5, 2, 10}, VersionCase{2, 5, 3, 7}, VersionCase{2, 6, 0, 11},
                      VersionCase{2, 6, 1, 12}, VersionCase{2, 6, 2, 11}, VersionCase{2, 6, 3, 11},
                      VersionCase{2, 10, 0, 0}, VersionCase{2, 2, 0, 0}, VersionCase{2, 0, 0, 0},
                      VersionCase{2, 7, 1, 0}, VersionCase{2, 4, 90, 6}, VersionCase{2, 3, 1, 5}));

INSTANTIATE_TEST_SUITE_P(
    Others, VersionCodeTest,
    ::testing::Values(VersionCase{1, 4, 0, 1}, VersionCase{1, 4, 10, 3}, VersionCase{1, 4, 90, 8},
                      VersionCase{1, 4, 3, 0}, VersionCase{1, 5, 1, 0}, VersionCase{1, 6, 1, 0},
                      VersionCase{0, 4, 0, 1}, VersionCase{0, 4, 10, 3}, VersionCase{0, 4, 90, 8},
                      VersionCase{0, 3, 10, 0}, VersionCase{0, 0, 0, 0}, VersionCase{3, 6, 1, 0},
                      VersionCase{0xFFFFFFFF, 4, 0, 1}));

TEST(GetWindowsVersionCode, AsksWindowsEachTime) {
  FakeSystem s;
  s.version = {2, 5, 1};
  EXPECT_EQ(hive::GetWindowsVersionCode(), 9);
  s.version = {2, 6, 1};
  EXPECT_EQ(hive::GetWindowsVersionCode(), 12);
  EXPECT_EQ(s.Calls("GetVersionExA").size(), 2u);
}

TEST(GetWindowsVersionCode, AFailedQueryGivesZero) {
  FakeSystem s;
  s.version = {2, 6, 1};
  s.versionFails = true;
  EXPECT_EQ(hive::GetWindowsVersionCode(), 0);
}

TEST(RunningUnderWow64, AsksThroughTheLookedUpEntry) {
  for (bool wow64 : {false, true}) {
    FakeSystem s;
    s.wow64 = wow64;
    EXPECT_EQ(hive::RunningUnderWow64(), wow64);
    EXPECT_EQ(s.Log(), (std::vector<std::string>{"HasIsWow64Process()", "IsWow64Process()"}));
  }
}

TEST(RunningUnderWow64, WithoutTheEntryFalseAndNothingMoreAsked) {
  FakeSystem s;
  s.hasIsWow64Process = false;
  s.wow64 = true;
  EXPECT_FALSE(hive::RunningUnderWow64());
  EXPECT_EQ(s.Log(), std::vector<std::string>{"HasIsWow64Process()"});
}

}  // namespace
