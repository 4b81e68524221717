#include "hive/win/win32_system.h"

#include <windows.h>

#include <algorithm>

namespace sys {
namespace {

HKEY ToKey(Handle h) { return reinterpret_cast<HKEY>(h); }
HANDLE ToHandle(Handle h) { return reinterpret_cast<HANDLE>(h); }
Handle FromHandle(HANDLE h) { return reinterpret_cast<Handle>(h); }

// Value names are at most 16,383 characters.
constexpr DWORD kValueNameLength = 16384;
// A value that keeps growing between the size query and the read.
constexpr int kQueryTries = 4;

using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);

IsWow64ProcessFn LookUpIsWow64Process() {
  // Looked up at run time: systems without it must still start the program.
  HMODULE kernel = ::GetModuleHandleA("kernel32");
  if (kernel == nullptr) return nullptr;
  return reinterpret_cast<IsWow64ProcessFn>(
      reinterpret_cast<void*>(::GetProcAddress(kernel, "IsWow64Process")));
}

}  // namespace

long Win32System::RegOpenKeyExA(Handle root, const std::string& subKey, std::uint32_t options,
                                std::uint32_t access, Handle* key) {
  HKEY h = nullptr;
  LONG r = ::RegOpenKeyExA(ToKey(root), subKey.c_str(), options, access, &h);
  *key = r == ERROR_SUCCESS ? reinterpret_cast<Handle>(h) : 0;
  return r;
}

long Win32System::RegOpenKeyA(Handle root, const std::string& subKey, Handle* key) {
  HKEY h = nullptr;
  LONG r = ::RegOpenKeyA(ToKey(root), subKey.c_str(), &h);
  *key = r == ERROR_SUCCESS ? reinterpret_cast<Handle>(h) : 0;
  return r;
}

long Win32System::RegCloseKey(Handle key) { return ::RegCloseKey(ToKey(key)); }

long Win32System::RegEnumValueA(Handle key, std::uint32_t index, std::string* name) {
  std::vector<char> buffer(kValueNameLength);
  DWORD length = kValueNameLength;
  LONG r = ::RegEnumValueA(ToKey(key), index, buffer.data(), &length, nullptr, nullptr, nullptr,
                           nullptr);
  if (r == ERROR_SUCCESS)
    name->assign(buffer.data(), std::min<DWORD>(length, kValueNameLength));
  else
    name->clear();
  return r;
}

long Win32System::RegQueryValueExA(Handle key, const std::string& name, std::uint32_t* type,
                                   std::vector<std::uint8_t>* data) {
  data->clear();
  DWORD t = 0, size = 0;
  LONG r = ::RegQueryValueExA(ToKey(key), name.c_str(), nullptr, &t, nullptr, &size);
  for (int i = 0; r == ERROR_SUCCESS && i < kQueryTries; ++i) {
    std::vector<std::uint8_t> buffer(std::max<DWORD>(size, 1));
    DWORD length = size;
    r = ::RegQueryValueExA(ToKey(key), name.c_str(), nullptr, &t, buffer.data(), &length);
    if (r == ERROR_SUCCESS) {
      buffer.resize(std::min(length, size));
      data->swap(buffer);
      *type = t;
      return r;
    }
    if (r == ERROR_MORE_DATA) {
      size = length;
      r = ERROR_SUCCESS;
    }
  }
  if (r == ERROR_SUCCESS) r = ERROR_MORE_DATA;
  return r;
}

long Win32System::RegSaveKeyA(Handle key, const std::string& file) {
  return ::RegSaveKeyA(ToKey(key), file.c_str(), nullptr);
}

long Win32System::RegReplaceKeyA(Handle root, const std::string& subKey, const std::string& newFile,
                                 const std::string& oldFile) {
  return ::RegReplaceKeyA(ToKey(root), subKey.c_str(), newFile.c_str(), oldFile.c_str());
}

bool Win32System::OpenProcessToken(std::uint32_t access, Handle* token) {
  HANDLE h = nullptr;
  BOOL ok = ::OpenProcessToken(::GetCurrentProcess(), access, &h);
  *token = ok ? FromHandle(h) : 0;
  return ok != FALSE;
}

bool Win32System::LookupPrivilegeValueA(const std::string& name, std::uint64_t* luid) {
  LUID l = {};
  BOOL ok = ::LookupPrivilegeValueA(nullptr, name.c_str(), &l);
  *luid = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(l.HighPart)) << 32) | l.LowPart;
  return ok != FALSE;
}

bool Win32System::AdjustTokenPrivileges(Handle token, std::uint64_t luid, std::uint32_t attributes) {
  static_assert(sizeof(TOKEN_PRIVILEGES) == 16, "one privilege entry fills the 16-byte buffer");
  TOKEN_PRIVILEGES privileges = {};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Luid.LowPart = static_cast<DWORD>(luid);
  privileges.Privileges[0].Luid.HighPart = static_cast<LONG>(luid >> 32);
  privileges.Privileges[0].Attributes = attributes;
  TOKEN_PRIVILEGES previous = {};
  DWORD returned = 0;
  return ::AdjustTokenPrivileges(ToHandle(token), FALSE, &privileges, sizeof(previous), &previous,
                                 &returned) != FALSE;
}

bool Win32System::CloseHandle(Handle h) { return ::CloseHandle(ToHandle(h)) != FALSE; }

bool Win32System::FileExists(const std::string& path) {
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32System::DeleteFileA(const std::string& path) { return ::DeleteFileA(path.c_str()) != FALSE; }

Handle Win32System::CreateFileA(const std::string& path, std::uint32_t access, std::uint32_t share,
                                std::uint32_t disposition, std::uint32_t attributes) {
  HANDLE h = ::CreateFileA(path.c_str(), access, share, nullptr, disposition, attributes, nullptr);
  return h == INVALID_HANDLE_VALUE ? kInvalidHandle : FromHandle(h);
}

std::string Win32System::GetFullPathNameA(const std::string& path) {
  std::vector<char> buffer(MAX_PATH);
  for (int i = 0; i < kQueryTries; ++i) {
    DWORD n = ::GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(),
                                 nullptr);
    if (n == 0) return std::string();
    if (n < buffer.size()) return std::string(buffer.data(), n);
    buffer.resize(n);  // n counts the terminating NUL when the buffer was short
  }
  return std::string();
}

bool Win32System::FindFileSize(const std::string& fullPath, std::uint32_t attributes,
                               std::int64_t* size) {
  WIN32_FIND_DATAA entry = {};
  HANDLE search = ::FindFirstFileA(fullPath.c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return false;
  ::FindClose(search);
  // Hidden, system and directory entries count only when the mask allows them.
  const DWORD special = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
  if ((entry.dwFileAttributes & special & ~attributes) != 0) return false;
  *size = static_cast<std::int64_t>((static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32) |
                                    entry.nFileSizeLow);
  return true;
}

std::uint32_t Win32System::GetLogicalDriveStringsA(std::uint32_t bufferLength, std::string* buffer) {
  std::vector<char> chars(std::max<std::uint32_t>(bufferLength, 1), '\0');
  DWORD n = ::GetLogicalDriveStringsA(bufferLength, chars.data());
  // On success n excludes the list's final NUL, which then also fits.
  if (n != 0 && n < bufferLength)
    buffer->assign(chars.data(), n + 1);
  else
    buffer->clear();
  return n;
}

std::uint32_t Win32System::GetDriveTypeA(const std::string& root) { return ::GetDriveTypeA(root.c_str()); }

std::uint32_t Win32System::QueryDosDeviceA(const std::string& deviceName, std::uint32_t bufferLength,
                                           std::string* buffer) {
  std::vector<char> chars(std::max<std::uint32_t>(bufferLength, 1), '\0');
  DWORD n = ::QueryDosDeviceA(deviceName.c_str(), chars.data(), bufferLength);
  if (n != 0)
    buffer->assign(chars.data(), std::min<DWORD>(n, bufferLength));
  else
    buffer->clear();
  return n;
}

bool Win32System::GetVersionExA(VersionInfo* info) {
  static_assert(sizeof(OSVERSIONINFOA) == 148, "the version record is 148 bytes");
  OSVERSIONINFOA version;
  ZeroMemory(&version, sizeof(version));
  version.dwOSVersionInfoSize = sizeof(version);
  BOOL ok = ::GetVersionExA(&version);
  info->platformId = version.dwPlatformId;
  info->major = version.dwMajorVersion;
  info->minor = version.dwMinorVersion;
  return ok != FALSE;
}

bool Win32System::HasIsWow64Process() { return LookUpIsWow64Process() != nullptr; }

bool Win32System::IsWow64Process(bool* result) {
  *result = false;
  IsWow64ProcessFn isWow64Process = LookUpIsWow64Process();
  if (isWow64Process == nullptr) return false;
  BOOL wow64 = FALSE;
  BOOL ok = isWow64Process(::GetCurrentProcess(), &wow64);
  *result = wow64 != FALSE;
  return ok != FALSE;
}

bool Win32System::ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) {
  return ::ExitWindowsEx(flags, reason) != FALSE;
}

}  // namespace sys
