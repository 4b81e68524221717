// Privileges, writing a hive's snapshot, and the file tests the snapshot work
// rests on. No state is kept.
#pragma once
#include <cstdint>
#include <string>

namespace hive {

// Enables one privilege in the process's token. Nothing is reported: a
// privilege that cannot be enabled shows as a later failure of what needs it.
void EnablePrivilege(const std::string& name);
void EnableBackupPrivilege();
void EnableRestorePrivilege();
void EnableShutdownPrivilege();

// Writes the hive named by its registry path (\REGISTRY\MACHINE\..., \REGISTRY\USER\...)
// to `target`, deleting an existing target first. `use64BitView` opens a
// SOFTWARE machine hive through the 64-bit registry view. True when written.
bool SaveHiveToFile(const std::string& hivePath, const std::string& target, bool use64BitView);

// True when the file exists and cannot be opened for exclusive reading and writing.
bool IsFileLocked(const std::string& path);

// Size from the file's directory entry, so a file Windows holds open can be
// measured: 0 for a missing file, -1 for one that cannot be measured.
std::int64_t GetFileSize64(const std::string& path);

}  // namespace hive
