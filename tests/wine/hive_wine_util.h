// Small helpers for the hive tests that run against the real API.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "common/app_paths.h"

namespace hivetest {

// A file name beside the test program, unique to this process.
inline std::string TestFile(const std::string& name) {
  return app::ExeDir() + "hive_" + std::to_string(GetCurrentProcessId()) + "_" + name;
}

inline bool WriteWholeFile(const std::string& path, const std::string& content) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = content.empty() ||
            WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(h);
  return ok && written == content.size();
}

// The file's bytes, or "<unreadable>".
inline std::string ReadWholeFile(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<unreadable>";
  std::string content;
  char buffer[65536];
  DWORD n = 0;
  while (ReadFile(h, buffer, sizeof buffer, &n, nullptr) && n > 0) content.append(buffer, n);
  CloseHandle(h);
  return content;
}

inline bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The NT device of a drive ("C:"), straight from Windows.
inline std::string DeviceOf(const std::string& drive) {
  char buffer[1000] = {};
  return QueryDosDeviceA(drive.c_str(), buffer, sizeof buffer) ? buffer : "";
}

// Deletes the files it was given when it goes out of scope.
class FileCleanup {
 public:
  ~FileCleanup() {
    for (const std::string& f : files_) DeleteFileA(f.c_str());
  }
  const std::string& Add(const std::string& path) {
    files_.push_back(path);
    return files_.back();
  }

 private:
  std::vector<std::string> files_;
};

}  // namespace hivetest
