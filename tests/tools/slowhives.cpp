// Adds hives whose snapshots take long to write, for runs of the analysis
// long enough to watch, stop and close midway (Wine writes text snapshots:
// binary data costs it far more time per byte than the strings of demohives).
//
//   slowhives N KB [NAME]
// Makes N keys HKLM\HivaraSlow\NAME0.. (NAME defaults to Key) of about KB
// kilobytes of binary data each, a hive-list entry and a hive file for each
// (10% larger than the first key's snapshot, so that the analysis finds
// something to gain), and prints "name<TAB>file<TAB>filesize<TAB>snapshotsize"
// lines like demohives. Under Wine a save costs about 35 ms per megabyte of
// such data, and blocks every other call to the wineserver while it runs.
#include <windows.h>

#include "win_util.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {


long long SnapshotSize(HKEY key) {
  char tmp[MAX_PATH];
  GetTempPathA(MAX_PATH, tmp);
  std::string file = std::string(tmp) + "slowhive.tmp";
  DeleteFileA(file.c_str());
  if (RegSaveKeyA(key, file.c_str(), nullptr) != ERROR_SUCCESS) return -1;
  WIN32_FILE_ATTRIBUTE_DATA d;
  long long size = GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &d)
                       ? (static_cast<long long>(d.nFileSizeHigh) << 32) | d.nFileSizeLow
                       : -1;
  DeleteFileA(file.c_str());
  return size;
}

// Only the size of a hive file matters: extending it leaves a sparse file.
bool WriteFileOfSize(const std::string& path, long long size) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD w = 0;
  WriteFile(h, "regf", 4, &w, nullptr);
  LARGE_INTEGER end;
  end.QuadPart = size;
  bool ok = SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && SetEndOfFile(h);
  CloseHandle(h);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const int count = std::atoi(argv[1]), kb = std::atoi(argv[2]);
  const std::string prefix = argc > 3 ? argv[3] : "Key";
  HKEY list;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\hivelist", 0, nullptr, 0,
                      KEY_ALL_ACCESS, nullptr, &list, nullptr) != ERROR_SUCCESS)
    return 1;
  toolutil::EnableBackup();
  char device[1024] = {};
  QueryDosDeviceA("C:", device, sizeof device);
  CreateDirectoryA("C:\\hivara-slow", nullptr);
  // Few large values: cheap to make, as slow to save as many small ones.
  const int chunk = 50000;
  std::vector<BYTE> data(chunk);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<BYTE>(i * 7 + 1);
  long long snapshot = -1;
  int made = 0;
  for (int k = 0; k < count; ++k) {
    const std::string sub = "HivaraSlow\\" + prefix + std::to_string(k);
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, sub.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
      continue;
    for (long long left = kb * 1000LL, v = 0; left > 0; left -= chunk, ++v) {
      const std::string name = "value" + std::to_string(v);
      RegSetValueExA(key, name.c_str(), 0, REG_BINARY, data.data(), static_cast<DWORD>(left < chunk ? left : chunk));
    }
    // Every key holds the same data: one measured snapshot sizes them all.
    if (snapshot < 0) snapshot = SnapshotSize(key);
    RegCloseKey(key);
    if (snapshot <= 0) return 1;
    const std::string file = "\\hivara-slow\\" + prefix + std::to_string(k);
    const long long size = snapshot + snapshot / 10;
    if (!WriteFileOfSize("C:" + file, size)) continue;
    const std::string value = std::string(device) + file;
    const std::string name = "\\REGISTRY\\MACHINE\\" + sub;
    RegSetValueExA(list, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    std::printf("%s\tC:%s\t%lld\t%lld\n", name.c_str(), file.c_str(), size, snapshot);
    ++made;
  }
  RegCloseKey(list);
  return made == count ? 0 : 1;
}
