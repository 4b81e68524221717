#include "hive/probes.h"

#include "hive/system.h"

namespace hive {
namespace {
constexpr std::uint32_t kPlatformNT = 2;
}

std::uint8_t VersionCodeFrom(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor) {
  if (platformId == kPlatformNT) {
    std::uint8_t code = 0;
    switch (major) {
      case 3: code = 5; break;
      case 4: code = 6; break;
      case 5: code = 7; break;
      case 6: code = 11; break;
      default: return 0;
    }
    if (major == 5 && minor == 1) code = 9;
    if (major == 5 && minor == 2) code = 10;
    if (major == 6 && minor == 1) code = 12;
    return code;
  }
  if (major == 4 && minor == 0) return 1;
  if (major == 4 && minor == 10) return 3;
  if (major == 4 && minor == 90) return 8;
  return 0;
}

std::uint8_t GetWindowsVersionCode() {
  sys::VersionInfo info;  // zero: a failed query leaves it so and gives 0
  sys::Sys().GetVersionExA(&info);
  return VersionCodeFrom(info.platformId, info.major, info.minor);
}

bool RunningUnderWow64() {
  if (!sys::Sys().HasIsWow64Process()) return false;
  bool wow64 = false;
  sys::Sys().IsWow64Process(&wow64);
  return wow64;
}

}  // namespace hive
