#include "hive/snapshot.h"

#include "common/strutil.h"
#include "hive/system.h"

namespace hive {
namespace {

const char kMachinePrefix[] = "REGISTRY\\MACHINE\\";
const char kUserPrefix[] = "REGISTRY\\USER\\";
constexpr std::size_t kMachinePrefixLength = sizeof(kMachinePrefix) - 1;
constexpr std::size_t kUserPrefixLength = sizeof(kUserPrefix) - 1;

// Read-only, hidden, system, volume, directory, archive: every entry counts.
constexpr std::uint32_t kAnyFile = 0x3F;

}  // namespace

void EnablePrivilege(const std::string& name) {
  sys::Handle token = 0;
  if (!sys::Sys().OpenProcessToken(sys::kTOKEN_ADJUST_PRIVILEGES | sys::kTOKEN_QUERY, &token))
    return;
  std::uint64_t luid = 0;
  if (sys::Sys().LookupPrivilegeValueA(name, &luid))
    sys::Sys().AdjustTokenPrivileges(token, luid, sys::kSE_PRIVILEGE_ENABLED);
  sys::Sys().CloseHandle(token);
}

void EnableBackupPrivilege() { EnablePrivilege("SeBackupPrivilege"); }
void EnableRestorePrivilege() { EnablePrivilege("SeRestorePrivilege"); }
void EnableShutdownPrivilege() { EnablePrivilege("SeShutdownPrivilege"); }

bool SaveHiveToFile(const std::string& hivePath, const std::string& target, bool use64BitView) {
  sys::System& s = sys::Sys();
  sys::Handle key = 0;
  bool open = false;
  std::size_t pos = str::FindNoCase(hivePath, kMachinePrefix);
  if (pos != std::string::npos) {
    const std::string subKey = hivePath.substr(pos + kMachinePrefixLength);
    // Under WOW64 the 32-bit view of HKLM\SOFTWARE is redirected to a subkey;
    // only the 64-bit view reaches the hive's root.
    if (use64BitView && str::ContainsNoCase(hivePath, "SOFTWARE"))
      open = s.RegOpenKeyExA(sys::kHKEY_LOCAL_MACHINE, subKey, 0,
                             sys::kKEY_QUERY_VALUE | sys::kKEY_WOW64_64KEY, &key) == sys::kERROR_SUCCESS;
    else
      open = s.RegOpenKeyA(sys::kHKEY_LOCAL_MACHINE, subKey, &key) == sys::kERROR_SUCCESS;
  } else if ((pos = str::FindNoCase(hivePath, kUserPrefix)) != std::string::npos) {
    open = s.RegOpenKeyA(sys::kHKEY_USERS, hivePath.substr(pos + kUserPrefixLength), &key) ==
           sys::kERROR_SUCCESS;
  }

  // The save service refuses to write over a file. One that cannot be removed
  // is never written over either, whatever the service would do.
  bool targetFree = true;
  if (s.FileExists(target)) targetFree = s.DeleteFileA(target);

  bool saved = false;
  if (open) {
    saved = targetFree && s.RegSaveKeyA(key, target) == sys::kERROR_SUCCESS;
    s.RegCloseKey(key);
  }
  return saved;
}

bool IsFileLocked(const std::string& path) {
  sys::System& s = sys::Sys();
  if (!s.FileExists(path)) return false;
  sys::Handle h = s.CreateFileA(path, sys::kGENERIC_READ | sys::kGENERIC_WRITE, 0,
                                sys::kOPEN_EXISTING, sys::kFILE_ATTRIBUTE_NORMAL);
  if (h == sys::kInvalidHandle) return true;
  s.CloseHandle(h);
  return false;
}

std::int64_t GetFileSize64(const std::string& path) {
  sys::System& s = sys::Sys();
  if (!s.FileExists(path)) return 0;
  const std::string full = s.GetFullPathNameA(path);
  if (full.empty()) return -1;
  std::int64_t size = 0;
  return s.FindFileSize(full, kAnyFile, &size) ? size : -1;
}

}  // namespace hive
