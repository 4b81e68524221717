// The one seam between the program and the Windows services it asks for.
// Everything that reads or changes the registry, the token, files, drives or
// the machine's power state goes through System, so that the logic above it
// can be run against a recording fake and the real calls checked by order and
// argument. No <windows.h> here: this header is shared with host-side code.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace sys {

using Handle = std::uintptr_t;   // HKEY, HANDLE or HMODULE as an integer

constexpr Handle kHKEY_LOCAL_MACHINE = 0x80000002u;
constexpr Handle kHKEY_USERS = 0x80000003u;
constexpr Handle kInvalidHandle = ~static_cast<Handle>(0);

constexpr std::uint32_t kKEY_QUERY_VALUE = 0x0001;
constexpr std::uint32_t kKEY_WOW64_64KEY = 0x0100;
constexpr std::uint32_t kKEY_ALL_ACCESS = 0xF003F;

constexpr std::uint32_t kREG_SZ = 1;
constexpr std::uint32_t kREG_EXPAND_SZ = 2;
constexpr std::uint32_t kREG_BINARY = 3;
constexpr std::uint32_t kREG_DWORD = 4;

constexpr std::uint32_t kTOKEN_ADJUST_PRIVILEGES = 0x0020;
constexpr std::uint32_t kTOKEN_QUERY = 0x0008;
constexpr std::uint32_t kSE_PRIVILEGE_ENABLED = 2;

constexpr std::uint32_t kGENERIC_READ = 0x80000000u;
constexpr std::uint32_t kGENERIC_WRITE = 0x40000000u;
constexpr std::uint32_t kOPEN_EXISTING = 3;
constexpr std::uint32_t kFILE_ATTRIBUTE_NORMAL = 0x80;

constexpr std::uint32_t kDRIVE_FIXED = 3;

constexpr std::uint32_t kEWX_REBOOT = 2;
constexpr std::uint32_t kEWX_FORCE = 4;

constexpr long kERROR_SUCCESS = 0;

struct VersionInfo {
  std::uint32_t platformId = 0;
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
};

class System {
 public:
  virtual ~System() = default;

  // Registry. Results are Win32 error codes (0 = success).
  virtual long RegOpenKeyExA(Handle root, const std::string& subKey, std::uint32_t options,
                             std::uint32_t access, Handle* key) = 0;
  virtual long RegOpenKeyA(Handle root, const std::string& subKey, Handle* key) = 0;
  virtual long RegCloseKey(Handle key) = 0;
  // One value name per index, 0, 1, ... until a non-zero result.
  virtual long RegEnumValueA(Handle key, std::uint32_t index, std::string* name) = 0;
  // Type and raw bytes of one value.
  virtual long RegQueryValueExA(Handle key, const std::string& name, std::uint32_t* type,
                                std::vector<std::uint8_t>* data) = 0;
  // No security attributes.
  virtual long RegSaveKeyA(Handle key, const std::string& file) = 0;
  virtual long RegReplaceKeyA(Handle root, const std::string& subKey, const std::string& newFile,
                              const std::string& oldFile) = 0;

  // Token of the own process.
  virtual bool OpenProcessToken(std::uint32_t access, Handle* token) = 0;
  virtual bool LookupPrivilegeValueA(const std::string& name, std::uint64_t* luid) = 0;
  // One privilege, DisableAllPrivileges false, previous state into a 16-byte buffer.
  virtual bool AdjustTokenPrivileges(Handle token, std::uint64_t luid, std::uint32_t attributes) = 0;
  virtual bool CloseHandle(Handle h) = 0;

  // Files.
  virtual bool FileExists(const std::string& path) = 0;
  virtual bool DeleteFileA(const std::string& path) = 0;
  // No security attributes; kInvalidHandle on failure.
  virtual Handle CreateFileA(const std::string& path, std::uint32_t access, std::uint32_t share,
                             std::uint32_t disposition, std::uint32_t attributes) = 0;
  virtual std::string GetFullPathNameA(const std::string& path) = 0;
  // FindFirstFileA with the given attribute mask, then FindClose. False when
  // nothing was found.
  virtual bool FindFileSize(const std::string& fullPath, std::uint32_t attributes,
                            std::int64_t* size) = 0;

  // Drives and devices. `buffer` receives the raw characters written, NULs included.
  virtual std::uint32_t GetLogicalDriveStringsA(std::uint32_t bufferLength, std::string* buffer) = 0;
  virtual std::uint32_t GetDriveTypeA(const std::string& root) = 0;
  virtual std::uint32_t QueryDosDeviceA(const std::string& deviceName, std::uint32_t bufferLength,
                                        std::string* buffer) = 0;

  // Probes.
  virtual bool GetVersionExA(VersionInfo* info) = 0;
  // GetModuleHandleA("kernel32") + GetProcAddress("IsWow64Process").
  virtual bool HasIsWow64Process() = 0;
  // IsWow64Process(GetCurrentProcess(), &result).
  virtual bool IsWow64Process(bool* result) = 0;

  // Power.
  virtual bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) = 0;
};

// The services in force: the Win32 implementation in the program, a fake in tests.
System& Sys();
void SetSys(System* system);

}  // namespace sys
