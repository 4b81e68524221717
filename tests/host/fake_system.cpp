#include "tests/host/fake_system.h"

#include <cstdio>

#include "common/strutil.h"

namespace fake {
namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

constexpr long kERROR_FILE_NOT_FOUND = 2;
constexpr long kERROR_INVALID_HANDLE = 6;
constexpr long kERROR_ALREADY_EXISTS = 183;
constexpr long kERROR_NO_MORE_ITEMS = 259;
constexpr long kERROR_PRIVILEGE_NOT_HELD = 1314;
constexpr std::uint32_t kDRIVE_NO_ROOT_DIR = 1;
constexpr std::uint32_t kCREATE_NEW = 1;

const char kHiveListKey[] = "SYSTEM\\CurrentControlSet\\Control\\hivelist";

const std::map<std::string, std::uint64_t>& Privileges() {
  static const std::map<std::string, std::uint64_t> privileges = {
      {"SeBackupPrivilege", 17}, {"SeRestorePrivilege", 18}, {"SeShutdownPrivilege", 19}};
  return privileges;
}

std::string Hex(std::uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%x", static_cast<unsigned>(v));
  return buf;
}

bool IsAbsolute(const std::string& path) {
  return (path.size() >= 3 && path[1] == ':' && path[2] == '\\') || path.compare(0, 2, "\\\\") == 0;
}

std::string RootName(sys::Handle root) {
  if (root == sys::kHKEY_LOCAL_MACHINE) return "HKLM";
  if (root == sys::kHKEY_USERS) return "HKU";
  return Hex(static_cast<std::uint32_t>(root));
}

}  // namespace

RegValue StringValue(const std::string& name, const std::string& text, std::uint32_t type) {
  RegValue v;
  v.name = name;
  v.type = type;
  v.data.assign(text.begin(), text.end());
  v.data.push_back(0);
  return v;
}

FakeSystem::FakeSystem() { sys::SetSys(this); }
FakeSystem::~FakeSystem() { sys::SetSys(nullptr); }

void FakeSystem::AddFile(const std::string& path, std::int64_t size) {
  File f;
  f.size = size;
  AddFile(path, f);
}
void FakeSystem::AddFile(const std::string& path, const File& file) {
  Lock lock(mutex_);
  files_[FileKey(path)] = file;
}
bool FakeSystem::HasFile(const std::string& path) const {
  Lock lock(mutex_);
  return files_.count(FileKey(path)) != 0;
}
std::int64_t FakeSystem::FileSize(const std::string& path) const {
  Lock lock(mutex_);
  auto it = files_.find(FileKey(path));
  return it == files_.end() ? -1 : it->second.size;
}

void FakeSystem::Fail(const std::string& callPrefix, long error) {
  Lock lock(mutex_);
  failures_.emplace_back(callPrefix, error);
}

std::vector<std::string> FakeSystem::Log() const {
  Lock lock(mutex_);
  return log_;
}
std::vector<std::string> FakeSystem::Calls(const std::string& prefix) const {
  Lock lock(mutex_);
  std::vector<std::string> r;
  for (const std::string& c : log_)
    if (c.compare(0, prefix.size(), prefix) == 0) r.push_back(c);
  return r;
}
void FakeSystem::ClearLog() {
  Lock lock(mutex_);
  log_.clear();
}
std::vector<std::string> FakeSystem::OpenHandles() const {
  Lock lock(mutex_);
  std::vector<std::string> r;
  for (const auto& h : open_) r.push_back("<" + h.second.name + ">");
  return r;
}
std::set<std::string> FakeSystem::EnabledPrivileges() const {
  Lock lock(mutex_);
  return enabled_;
}
std::vector<FakeSystem::Replacement> FakeSystem::Replacements() const {
  Lock lock(mutex_);
  return replacements_;
}

bool FakeSystem::Record(const std::string& call, long* error) {
  log_.push_back(call);
  for (const auto& f : failures_) {
    if (call.compare(0, f.first.size(), f.first) == 0) {
      if (error) *error = f.second;
      return true;
    }
  }
  return false;
}

std::string FakeSystem::FileKey(const std::string& path) const {
  return str::UpperCase(IsAbsolute(path) ? path : currentDirectory + path);
}

sys::Handle FakeSystem::NewHandle(const std::string& name, bool isHiveList) {
  sys::Handle h = nextHandle_;
  nextHandle_ += 4;
  open_[h] = Opened{name, isHiveList};
  return h;
}

std::string FakeSystem::HandleName(sys::Handle h) const {
  if (h == sys::kHKEY_LOCAL_MACHINE || h == sys::kHKEY_USERS) return RootName(h);
  auto it = open_.find(h);
  return it == open_.end() ? Hex(static_cast<std::uint32_t>(h)) : "<" + it->second.name + ">";
}

long FakeSystem::OpenKey(const std::string& call, sys::Handle root, const std::string& subKey,
                         sys::Handle* key) {
  long error = 0;
  *key = 0;
  if (Record(call, &error)) return error;
  bool isHiveList = root == sys::kHKEY_LOCAL_MACHINE && str::SameText(subKey, kHiveListKey);
  *key = NewHandle(RootName(root) + "\\" + subKey, isHiveList);
  return sys::kERROR_SUCCESS;
}

long FakeSystem::RegOpenKeyExA(sys::Handle root, const std::string& subKey, std::uint32_t options,
                               std::uint32_t access, sys::Handle* key) {
  Lock lock(mutex_);
  return OpenKey("RegOpenKeyExA(" + RootName(root) + "," + subKey + "," + std::to_string(options) +
                     "," + Hex(access) + ")",
                 root, subKey, key);
}

long FakeSystem::RegOpenKeyA(sys::Handle root, const std::string& subKey, sys::Handle* key) {
  Lock lock(mutex_);
  return OpenKey("RegOpenKeyA(" + RootName(root) + "," + subKey + ")", root, subKey, key);
}

long FakeSystem::RegCloseKey(sys::Handle key) {
  Lock lock(mutex_);
  long error = 0;
  if (Record("RegCloseKey(" + HandleName(key) + ")", &error)) return error;
  if (key == sys::kHKEY_LOCAL_MACHINE || key == sys::kHKEY_USERS) return sys::kERROR_SUCCESS;
  return open_.erase(key) ? sys::kERROR_SUCCESS : kERROR_INVALID_HANDLE;
}

long FakeSystem::RegEnumValueA(sys::Handle key, std::uint32_t index, std::string* name) {
  Lock lock(mutex_);
  long error = 0;
  name->clear();
  if (Record("RegEnumValueA(" + HandleName(key) + "," + std::to_string(index) + ")", &error))
    return error;
  auto it = open_.find(key);
  if (it == open_.end()) return kERROR_INVALID_HANDLE;
  if (!it->second.isHiveList || index >= hiveList.size()) return kERROR_NO_MORE_ITEMS;
  *name = hiveList[index].name;
  return sys::kERROR_SUCCESS;
}

long FakeSystem::RegQueryValueExA(sys::Handle key, const std::string& name, std::uint32_t* type,
                                  std::vector<std::uint8_t>* data) {
  Lock lock(mutex_);
  long error = 0;
  data->clear();
  if (Record("RegQueryValueExA(" + HandleName(key) + "," + name + ")", &error)) return error;
  auto it = open_.find(key);
  if (it == open_.end()) return kERROR_INVALID_HANDLE;
  if (it->second.isHiveList) {
    for (const RegValue& v : hiveList) {
      if (str::SameText(v.name, name)) {
        *type = v.type;
        *data = v.data;
        return sys::kERROR_SUCCESS;
      }
    }
  }
  return kERROR_FILE_NOT_FOUND;
}

long FakeSystem::RegSaveKeyA(sys::Handle key, const std::string& file) {
  Lock lock(mutex_);
  long error = 0;
  if (Record("RegSaveKeyA(" + HandleName(key) + "," + file + ")", &error)) return error;
  if (open_.count(key) == 0) return kERROR_INVALID_HANDLE;
  if (saveNeedsBackupPrivilege && enabled_.count("SeBackupPrivilege") == 0)
    return kERROR_PRIVILEGE_NOT_HELD;
  if (files_.count(FileKey(file))) return kERROR_ALREADY_EXISTS;
  File f;
  f.size = snapshotSize;
  files_[FileKey(file)] = f;
  return sys::kERROR_SUCCESS;
}

long FakeSystem::RegReplaceKeyA(sys::Handle root, const std::string& subKey,
                                const std::string& newFile, const std::string& oldFile) {
  Lock lock(mutex_);
  long error = 0;
  if (Record("RegReplaceKeyA(" + RootName(root) + "," + subKey + "," + newFile + "," + oldFile + ")",
             &error))
    return error;
  replacements_.push_back(Replacement{root, subKey, newFile, oldFile});
  return sys::kERROR_SUCCESS;
}

bool FakeSystem::OpenProcessToken(std::uint32_t access, sys::Handle* token) {
  Lock lock(mutex_);
  *token = 0;
  if (Record("OpenProcessToken(" + Hex(access) + ")")) return false;
  *token = NewHandle("token");
  return true;
}

bool FakeSystem::LookupPrivilegeValueA(const std::string& name, std::uint64_t* luid) {
  Lock lock(mutex_);
  *luid = 0;
  if (Record("LookupPrivilegeValueA(" + name + ")")) return false;
  for (const auto& p : Privileges()) {
    if (str::SameText(p.first, name)) {
      *luid = p.second;
      return true;
    }
  }
  return false;
}

bool FakeSystem::AdjustTokenPrivileges(sys::Handle token, std::uint64_t luid, std::uint32_t attributes) {
  Lock lock(mutex_);
  std::string privilege = std::to_string(luid);
  for (const auto& p : Privileges())
    if (p.second == luid) privilege = p.first;
  if (Record("AdjustTokenPrivileges(" + HandleName(token) + "," + privilege + "," +
             std::to_string(attributes) + ")"))
    return false;
  if (open_.count(token) == 0) return false;
  if (attributes & sys::kSE_PRIVILEGE_ENABLED)
    enabled_.insert(privilege);
  else
    enabled_.erase(privilege);
  return true;
}

bool FakeSystem::CloseHandle(sys::Handle h) {
  Lock lock(mutex_);
  if (Record("CloseHandle(" + HandleName(h) + ")")) return false;
  return open_.erase(h) != 0;
}

bool FakeSystem::FileExists(const std::string& path) {
  Lock lock(mutex_);
  if (Record("FileExists(" + path + ")")) return false;
  return files_.count(FileKey(path)) != 0;
}

bool FakeSystem::DeleteFileA(const std::string& path) {
  Lock lock(mutex_);
  if (Record("DeleteFileA(" + path + ")")) return false;
  auto it = files_.find(FileKey(path));
  if (it == files_.end() || it->second.locked || it->second.undeletable) return false;
  files_.erase(it);
  return true;
}

sys::Handle FakeSystem::CreateFileA(const std::string& path, std::uint32_t access,
                                    std::uint32_t share, std::uint32_t disposition,
                                    std::uint32_t attributes) {
  Lock lock(mutex_);
  if (Record("CreateFileA(" + path + "," + Hex(access) + "," + std::to_string(share) + "," +
             std::to_string(disposition) + "," + Hex(attributes) + ")"))
    return sys::kInvalidHandle;
  auto it = files_.find(FileKey(path));
  if (it == files_.end()) {
    if (disposition == sys::kOPEN_EXISTING || disposition == 5 /* TRUNCATE_EXISTING */)
      return sys::kInvalidHandle;
    files_[FileKey(path)] = File();
  } else {
    if (it->second.locked || disposition == kCREATE_NEW) return sys::kInvalidHandle;
  }
  return NewHandle("file " + path);
}

std::string FakeSystem::GetFullPathNameA(const std::string& path) {
  Lock lock(mutex_);
  if (Record("GetFullPathNameA(" + path + ")")) return std::string();
  return IsAbsolute(path) ? path : currentDirectory + path;
}

bool FakeSystem::FindFileSize(const std::string& fullPath, std::uint32_t attributes, std::int64_t* size) {
  Lock lock(mutex_);
  if (Record("FindFileSize(" + fullPath + "," + Hex(attributes) + ")")) return false;
  auto it = files_.find(FileKey(fullPath));
  if (it == files_.end() || it->second.unmeasurable) return false;
  *size = it->second.size;
  return true;
}

std::uint32_t FakeSystem::GetLogicalDriveStringsA(std::uint32_t bufferLength, std::string* buffer) {
  Lock lock(mutex_);
  buffer->clear();
  if (Record("GetLogicalDriveStringsA(" + std::to_string(bufferLength) + ")")) return 0;
  if (rawDriveStrings) {
    *buffer = driveStrings.substr(0, bufferLength);
    return driveStringsResult;
  }
  std::string list;
  for (const Drive& d : drives) list += d.root + '\0';
  list += '\0';
  // Too small: nothing written, the answer is the size needed with the final NUL.
  if (list.size() > bufferLength) return static_cast<std::uint32_t>(list.size());
  *buffer = list;
  return static_cast<std::uint32_t>(list.size() - 1);
}

std::uint32_t FakeSystem::GetDriveTypeA(const std::string& root) {
  Lock lock(mutex_);
  if (Record("GetDriveTypeA(" + root + ")")) return 0;
  for (const Drive& d : drives)
    if (str::SameText(d.root, root)) return d.type;
  return kDRIVE_NO_ROOT_DIR;
}

std::uint32_t FakeSystem::QueryDosDeviceA(const std::string& deviceName, std::uint32_t bufferLength,
                                          std::string* buffer) {
  Lock lock(mutex_);
  buffer->clear();
  if (Record("QueryDosDeviceA(" + deviceName + "," + std::to_string(bufferLength) + ")")) return 0;
  for (const Drive& d : drives) {
    if (d.root.size() < 2 || !str::SameText(d.root.substr(0, 2), deviceName)) continue;
    if (d.device.empty()) return 0;
    // The list of names ends with a second NUL.
    std::string answer = d.device + '\0' + '\0';
    if (answer.size() > bufferLength) {
      if (!queryDosDeviceTruncates) return 0;  // ERROR_INSUFFICIENT_BUFFER
      answer.resize(bufferLength);
    }
    *buffer = answer;
    return static_cast<std::uint32_t>(answer.size());
  }
  return 0;
}

bool FakeSystem::GetVersionExA(sys::VersionInfo* info) {
  Lock lock(mutex_);
  if (Record("GetVersionExA()") || versionFails) return false;
  *info = version;
  return true;
}

bool FakeSystem::HasIsWow64Process() {
  Lock lock(mutex_);
  if (Record("HasIsWow64Process()")) return false;
  return hasIsWow64Process;
}

bool FakeSystem::IsWow64Process(bool* result) {
  Lock lock(mutex_);
  *result = false;
  if (Record("IsWow64Process()") || !hasIsWow64Process) return false;
  *result = wow64;
  return true;
}

bool FakeSystem::ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) {
  Lock lock(mutex_);
  if (Record("ExitWindowsEx(" + std::to_string(flags) + "," + std::to_string(reason) + ")"))
    return false;
  return true;
}

}  // namespace fake
