// Lays out a small registry for the program to work on where Windows' own
// hive list is empty (Wine): a hive-list entry and a hive file for each of a
// few real keys, each file a little larger than the key's fresh snapshot so
// that an analysis finds something to gain.
//
//   demohives [--software-factor F] [--big N KB] [--clear]
// F scales the SOFTWARE hive file (default 1.18); 5 makes its snapshot look
// implausibly small. --big adds N keys of about KB kilobytes each as further
// hives, for runs long enough to watch (and to measure).
#include <windows.h>

#include "win_util.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char* kHiveList = "SYSTEM\\CurrentControlSet\\Control\\hivelist";



// Size of a fresh snapshot of the key, -1 if it cannot be saved.
long long SnapshotSize(HKEY root, const char* sub, REGSAM view) {
  HKEY key;
  if (RegOpenKeyExA(root, sub, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS) return -1;
  char tmp[MAX_PATH];
  GetTempPathA(MAX_PATH, tmp);
  std::string file = std::string(tmp) + "demohive.tmp";
  DeleteFileA(file.c_str());
  LONG r = RegSaveKeyA(key, file.c_str(), nullptr);
  RegCloseKey(key);
  if (r != ERROR_SUCCESS) return -1;
  WIN32_FILE_ATTRIBUTE_DATA d;
  long long size = GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &d) ? d.nFileSizeLow : -1;
  DeleteFileA(file.c_str());
  return size;
}

bool WriteFileOfSize(const std::string& path, long long size) {
  std::string dir = path.substr(0, path.find_last_of('\\'));
  CreateDirectoryA(dir.c_str(), nullptr);
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  std::vector<char> block(65536, 0);
  std::memcpy(block.data(), "regf", 4);
  long long left = size;
  while (left > 0) {
    DWORD n = static_cast<DWORD>(left < 65536 ? left : 65536), w = 0;
    WriteFile(h, block.data(), n, &w, nullptr);
    left -= n;
    block[0] = 0;
  }
  CloseHandle(h);
  return true;
}

std::string CurrentUserSid() {
  char name[256];
  for (DWORD i = 0;; ++i) {
    DWORD len = sizeof name;
    if (RegEnumKeyExA(HKEY_USERS, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    if (std::strncmp(name, "S-1-5-21-", 9) == 0 && !std::strstr(name, "_Classes")) return name;
  }
  return "";
}

}  // namespace

int main(int argc, char** argv) {
  double softwareFactor = 1.18;
  bool clear = false;
  int bigCount = 0, bigKB = 0;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--software-factor") && i + 1 < argc) softwareFactor = std::atof(argv[++i]);
    if (!std::strcmp(argv[i], "--big") && i + 2 < argc) {
      bigCount = std::atoi(argv[++i]);
      bigKB = std::atoi(argv[++i]);
    }
    if (!std::strcmp(argv[i], "--clear")) clear = true;
  }
  HKEY list;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kHiveList, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &list, nullptr) !=
      ERROR_SUCCESS) {
    std::fprintf(stderr, "cannot open the hive list\n");
    return 1;
  }
  if (clear) {
    char name[512];
    DWORD len = sizeof name;
    while (RegEnumValueA(list, 0, name, &len, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
      RegDeleteValueA(list, name);
      len = sizeof name;
    }
    RegCloseKey(list);
    return 0;
  }
  toolutil::EnableBackup();
  const bool wow = toolutil::IsWow64();
  char device[1024] = {};
  QueryDosDeviceA("C:", device, sizeof device);
  // The files the program will find: system32 reached through sysnative
  // from a 32-bit process on 64-bit Windows.
  const std::string sys32 = wow ? "C:\\windows\\sysnative" : "C:\\windows\\system32";
  struct Hive {
    std::string name;
    HKEY root;
    std::string sub;
    std::string fileOnDevice;  // after the device name
    std::string fileHere;      // as this process writes it
    double factor;
  };
  std::vector<Hive> hives = {
      {"\\REGISTRY\\MACHINE\\SYSTEM", HKEY_LOCAL_MACHINE, "SYSTEM", "\\windows\\system32\\config\\SYSTEM",
       sys32 + "\\config\\SYSTEM", 1.31},
      {"\\REGISTRY\\MACHINE\\SOFTWARE", HKEY_LOCAL_MACHINE, "SOFTWARE", "\\windows\\system32\\config\\SOFTWARE",
       sys32 + "\\config\\SOFTWARE", softwareFactor},
      {"\\REGISTRY\\USER\\.DEFAULT", HKEY_USERS, ".DEFAULT", "\\windows\\system32\\config\\DEFAULT",
       sys32 + "\\config\\DEFAULT", 1.07},
  };
  std::string sid = CurrentUserSid();
  if (!sid.empty())
    hives.push_back({"\\REGISTRY\\USER\\" + sid, HKEY_USERS, sid, "\\users\\Public\\NTUSER.DAT",
                     "C:\\users\\Public\\NTUSER.DAT", 1.12});
  for (int b = 0; b < bigCount; ++b) {
    // Under a root of their own, so that no other hive grows with them.
    std::string sub = "HivaraDemo\\Key" + std::to_string(b);
    HKEY key;
    REGSAM view = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, sub.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
      continue;
    std::string data(1000, 'h');
    for (int v = 0; v < bigKB; ++v) {
      std::string name = "value" + std::to_string(v);
      RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                     static_cast<DWORD>(data.size() + 1));
    }
    RegCloseKey(key);
    std::string file = "\\hivara-demo\\Key" + std::to_string(b);
    hives.push_back({"\\REGISTRY\\MACHINE\\" + sub, HKEY_LOCAL_MACHINE, sub, file, "C:" + file, 1.1});
  }
  for (const Hive& h : hives) {
    REGSAM view = (wow && h.sub.rfind("SOFTWARE", 0) == 0) ? KEY_WOW64_64KEY : 0;
    long long s = SnapshotSize(h.root, h.sub.c_str(), view);
    if (s <= 0) {
      std::fprintf(stderr, "skipping %s: cannot snapshot\n", h.name.c_str());
      continue;
    }
    long long size = static_cast<long long>(s * h.factor);
    if (!WriteFileOfSize(h.fileHere, size)) {
      std::fprintf(stderr, "cannot write %s\n", h.fileHere.c_str());
      continue;
    }
    std::string data = std::string(device) + h.fileOnDevice;
    RegSetValueExA(list, h.name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size() + 1));
    std::printf("%s\t%s\t%lld\t%lld\n", h.name.c_str(), h.fileHere.c_str(), size, s);
  }
  // A volatile hive without a file, as Windows lists it.
  RegSetValueExA(list, "\\REGISTRY\\MACHINE\\HARDWARE", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
  RegCloseKey(list);
  return 0;
}
