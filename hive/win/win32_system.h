// The real Windows services behind the seam: each method makes exactly the
// Win32 call it is named after (ANSI functions), with buffer sizes passed
// through as given so that the API itself enforces them.
#pragma once
#include "hive/system.h"

namespace sys {

class Win32System : public System {
 public:
  long RegOpenKeyExA(Handle root, const std::string& subKey, std::uint32_t options,
                     std::uint32_t access, Handle* key) override;
  long RegOpenKeyA(Handle root, const std::string& subKey, Handle* key) override;
  long RegCloseKey(Handle key) override;
  long RegEnumValueA(Handle key, std::uint32_t index, std::string* name) override;
  long RegQueryValueExA(Handle key, const std::string& name, std::uint32_t* type,
                        std::vector<std::uint8_t>* data) override;
  long RegSaveKeyA(Handle key, const std::string& file) override;
  long RegReplaceKeyA(Handle root, const std::string& subKey, const std::string& newFile,
                      const std::string& oldFile) override;

  bool OpenProcessToken(std::uint32_t access, Handle* token) override;
  bool LookupPrivilegeValueA(const std::string& name, std::uint64_t* luid) override;
  bool AdjustTokenPrivileges(Handle token, std::uint64_t luid, std::uint32_t attributes) override;
  bool CloseHandle(Handle h) override;

  bool FileExists(const std::string& path) override;
  bool DeleteFileA(const std::string& path) override;
  Handle CreateFileA(const std::string& path, std::uint32_t access, std::uint32_t share,
                     std::uint32_t disposition, std::uint32_t attributes) override;
  std::string GetFullPathNameA(const std::string& path) override;
  bool FindFileSize(const std::string& fullPath, std::uint32_t attributes,
                    std::int64_t* size) override;

  std::uint32_t GetLogicalDriveStringsA(std::uint32_t bufferLength, std::string* buffer) override;
  std::uint32_t GetDriveTypeA(const std::string& root) override;
  std::uint32_t QueryDosDeviceA(const std::string& deviceName, std::uint32_t bufferLength,
                                std::string* buffer) override;

  bool GetVersionExA(VersionInfo* info) override;
  bool HasIsWow64Process() override;
  bool IsWow64Process(bool* result) override;

  bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) override;
};

}  // namespace sys
