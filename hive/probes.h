// What Windows the program runs on: the version code and WOW64.
#pragma once
#include <cstdint>

namespace hive {

// The program's code for a Windows version (0 when not recognised):
// NT 3.x 5, NT 4 6, 2000 7, XP 9, 2003 10, Vista and every 6.x but 6.1 11,
// 7 12; on other platforms 95 1, 98 3, Me 8.
std::uint8_t VersionCodeFrom(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor);

// The code of the running system, asked afresh; 0 when the query fails.
std::uint8_t GetWindowsVersionCode();

// True when the 32-bit process runs on 64-bit Windows.
bool RunningUnderWow64();

}  // namespace hive
