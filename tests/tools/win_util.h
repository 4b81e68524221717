// What the helper programs of the tests and benchmarks share.
#pragma once
#include <windows.h>

namespace toolutil {

inline bool IsWow64() {
  using Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
  auto fn = reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "IsWow64Process")));
  BOOL r = FALSE;
  if (fn) fn(GetCurrentProcess(), &r);
  return r != FALSE;
}

// Saving a key needs the backup privilege enabled in the token.
inline void EnableBackup() {
  HANDLE tok;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &tok)) return;
  TOKEN_PRIVILEGES tp = {};
  tp.PrivilegeCount = 1;
  LookupPrivilegeValueA(nullptr, "SeBackupPrivilege", &tp.Privileges[0].Luid);
  tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  AdjustTokenPrivileges(tok, FALSE, &tp, 0, nullptr, nullptr);
  CloseHandle(tok);
}

}  // namespace toolutil
