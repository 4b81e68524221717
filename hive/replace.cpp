#include "hive/replace.h"

#include "common/strutil.h"
#include "hive/snapshot.h"
#include "hive/system.h"

namespace hive {
namespace {
const std::string kMachinePrefix = "REGISTRY\\MACHINE\\";
const std::string kUserPrefix = "REGISTRY\\USER\\";
constexpr std::uint32_t kMajorReasonOther = 1;
}  // namespace

bool ReplaceHive(const std::string& hivePath, const std::string& newFile, const std::string& oldFile) {
  const std::string upper = str::UpperCase(hivePath);
  sys::Handle root = 0;
  std::string subKey;
  std::size_t pos = upper.find(kMachinePrefix);
  if (pos != std::string::npos) {
    root = sys::kHKEY_LOCAL_MACHINE;
    subKey = hivePath.substr(pos + kMachinePrefix.size());
  } else if ((pos = upper.find(kUserPrefix)) != std::string::npos) {
    root = sys::kHKEY_USERS;
    subKey = hivePath.substr(pos + kUserPrefix.size());
  } else {
    // Later Windows versions list hives under other prefixes; Windows would
    // refuse them anyway, so their backup file is left alone.
    return false;
  }

  sys::System& s = sys::Sys();
  // Windows refuses an old-file name that is already taken.
  if (s.FileExists(oldFile)) s.DeleteFileA(oldFile);
  return s.RegReplaceKeyA(root, subKey, newFile, oldFile) == sys::kERROR_SUCCESS;
}

bool RestartWindows(bool force) {
  EnableShutdownPrivilege();
  return sys::Sys().ExitWindowsEx(sys::kEWX_REBOOT | (force ? sys::kEWX_FORCE : 0), kMajorReasonOther);
}

}  // namespace hive
