// A recording stand-in for the Windows services, for host tests of everything
// that goes through sys::Sys(). It behaves like Windows where the program
// relies on it (paths compare without regard to case, RegSaveKeyA refuses an
// existing file, a too-small buffer fails the call) and logs every call as
// readable text, in order, e.g.
//   RegOpenKeyExA(HKLM,SOFTWARE,0,0x101)   RegSaveKeyA(<HKLM\SOFTWARE>,C:\x.hvx)
//   RegCloseKey(<HKLM\SOFTWARE>)           DeleteFileA(C:\x.bak)
// Handles appear as <what was opened>: <HKLM\SYSTEM>, <token>, <file C:\x>.
// Constructing one installs it with sys::SetSys; destroying it uninstalls it.
#pragma once
#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "hive/system.h"

namespace fake {

struct File {
  std::int64_t size = 0;
  bool locked = false;        // CreateFileA and DeleteFileA fail: another process holds it
  bool undeletable = false;   // DeleteFileA fails
  bool unmeasurable = false;  // FindFileSize finds no entry
};

struct RegValue {
  std::string name;
  std::uint32_t type = sys::kREG_SZ;
  std::vector<std::uint8_t> data;
};

struct Drive {
  std::string root;    // "C:\"
  std::uint32_t type;  // kDRIVE_FIXED, 2 removable, 5 CD-ROM, ...
  std::string device;  // "\Device\HarddiskVolume1"; "" makes QueryDosDeviceA fail
};

// REG_SZ / REG_EXPAND_SZ data as Windows stores it: the text and one NUL.
RegValue StringValue(const std::string& name, const std::string& text,
                     std::uint32_t type = sys::kREG_SZ);

class FakeSystem : public sys::System {
 public:
  FakeSystem();
  ~FakeSystem() override;
  FakeSystem(const FakeSystem&) = delete;
  FakeSystem& operator=(const FakeSystem&) = delete;

  // ---- configuration (set before the code under test runs)
  // The values of HKLM\SYSTEM\CurrentControlSet\Control\hivelist, in enumeration order.
  std::vector<RegValue> hiveList;
  std::vector<Drive> drives;
  // When set, GetLogicalDriveStringsA copies these characters (as far as the
  // buffer goes) and returns `driveStringsResult`, whatever the drives say.
  bool rawDriveStrings = false;
  std::string driveStrings;
  std::uint32_t driveStringsResult = 0;
  // Like some older systems: a too-long device name is cut to the buffer
  // instead of failing the call.
  bool queryDosDeviceTruncates = false;
  sys::VersionInfo version{2, 6, 1};
  bool versionFails = false;
  bool hasIsWow64Process = true;
  bool wow64 = false;
  // Size of the file RegSaveKeyA writes.
  std::int64_t snapshotSize = 8192;
  // RegSaveKeyA answers 1314 unless SeBackupPrivilege was enabled.
  bool saveNeedsBackupPrivilege = false;
  // Relative paths name files under it, as GetFullPathNameA completes them.
  std::string currentDirectory = "C:\\work\\";

  void AddFile(const std::string& path, std::int64_t size = 1024);
  void AddFile(const std::string& path, const File& file);
  bool HasFile(const std::string& path) const;
  std::int64_t FileSize(const std::string& path) const;  // -1 when missing

  // Every later call whose log text starts with `callPrefix` fails: registry
  // calls answer `error`, Boolean ones false, CreateFileA kInvalidHandle,
  // counting ones 0. Example: Fail("RegOpenKeyA(HKLM,SAM)", 2).
  void Fail(const std::string& callPrefix, long error = 5);

  // ---- observation
  std::vector<std::string> Log() const;
  // The logged calls whose text starts with `prefix`.
  std::vector<std::string> Calls(const std::string& prefix) const;
  void ClearLog();
  // Keys, tokens and file handles opened and not yet closed, by name.
  std::vector<std::string> OpenHandles() const;
  std::set<std::string> EnabledPrivileges() const;
  struct Replacement {
    sys::Handle root;
    std::string subKey, newFile, oldFile;
  };
  std::vector<Replacement> Replacements() const;

  // ---- sys::System
  long RegOpenKeyExA(sys::Handle root, const std::string& subKey, std::uint32_t options,
                     std::uint32_t access, sys::Handle* key) override;
  long RegOpenKeyA(sys::Handle root, const std::string& subKey, sys::Handle* key) override;
  long RegCloseKey(sys::Handle key) override;
  long RegEnumValueA(sys::Handle key, std::uint32_t index, std::string* name) override;
  long RegQueryValueExA(sys::Handle key, const std::string& name, std::uint32_t* type,
                        std::vector<std::uint8_t>* data) override;
  long RegSaveKeyA(sys::Handle key, const std::string& file) override;
  long RegReplaceKeyA(sys::Handle root, const std::string& subKey, const std::string& newFile,
                      const std::string& oldFile) override;
  bool OpenProcessToken(std::uint32_t access, sys::Handle* token) override;
  bool LookupPrivilegeValueA(const std::string& name, std::uint64_t* luid) override;
  bool AdjustTokenPrivileges(sys::Handle token, std::uint64_t luid, std::uint32_t attributes) override;
  bool CloseHandle(sys::Handle h) override;
  bool FileExists(const std::string& path) override;
  bool DeleteFileA(const std::string& path) override;
  sys::Handle CreateFileA(const std::string& path, std::uint32_t access, std::uint32_t share,
                          std::uint32_t disposition, std::uint32_t attributes) override;
  std::string GetFullPathNameA(const std::string& path) override;
  bool FindFileSize(const std::string& fullPath, std::uint32_t attributes, std::int64_t* size) override;
  std::uint32_t GetLogicalDriveStringsA(std::uint32_t bufferLength, std::string* buffer) override;
  std::uint32_t GetDriveTypeA(const std::string& root) override;
  std::uint32_t QueryDosDeviceA(const std::string& deviceName, std::uint32_t bufferLength,
                                std::string* buffer) override;
  bool GetVersionExA(sys::VersionInfo* info) override;
  bool HasIsWow64Process() override;
  bool IsWow64Process(bool* result) override;
  bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) override;

 private:
  struct Opened {
    std::string name;  // as logged, without the angle brackets
    bool isHiveList = false;
  };
  // Logs the call and tells whether a Fail() rule matches it.
  bool Record(const std::string& call, long* error = nullptr);
  // Files are kept by upper-cased full path, relative ones under currentDirectory.
  std::string FileKey(const std::string& path) const;
  sys::Handle NewHandle(const std::string& name, bool isHiveList = false);
  std::string HandleName(sys::Handle h) const;
  long OpenKey(const std::string& call, sys::Handle root, const std::string& subKey, sys::Handle* key);

  mutable std::recursive_mutex mutex_;
  std::vector<std::string> log_;
  std::vector<std::pair<std::string, long>> failures_;
  std::map<std::string, File> files_;  // by FileKey
  std::map<sys::Handle, Opened> open_;
  sys::Handle nextHandle_ = 0x1000;
  std::set<std::string> enabled_;
  std::vector<Replacement> replacements_;
};

}  // namespace fake
