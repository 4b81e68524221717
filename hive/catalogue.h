// The catalogue of loaded hives: the registry's own list of them, with every
// NT device path turned into a drive-letter path of an existing file.
#pragma once
#include <string>
#include <vector>

namespace hive {

// Empties both lists and fills them from HKLM\SYSTEM\CurrentControlSet\Control\hivelist,
// in the registry's enumeration order: the value name into `hiveNames`, its
// file into `hiveFiles`. String values only, unexpanded; values whose file
// cannot be found are left out. A key that cannot be opened leaves both empty.
void ReadHiveList(bool isWow64, std::vector<std::string>& hiveNames,
                  std::vector<std::string>& hiveFiles);

// Drive-letter path of the existing file that one hive-list value names, or "".
std::string HivePathToFileName(const std::string& data, bool isWow64);

// Finds the device name of a fixed drive anywhere in the path: "C:" + the part
// after it, or "" when no fixed drive matches.
std::string FixedDrivePathToDosPath(const std::string& devicePath);

// Splits the device part off the path and compares it with the device of each
// letter a..z: "c:" + the rest, or "" when no letter matches.
std::string DevicePathToDosPath(const std::string& devicePath);

// The path with its first "system32" replaced by "sysnative" when that file
// exists, otherwise the path unchanged.
std::string RedirectSystem32(const std::string& path);

}  // namespace hive
