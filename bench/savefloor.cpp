// The floor of an analysis: the same registry saves, in the same order and to
// the same snapshot files, with nothing around them.
//
//   savefloor LIST
// LIST holds one hive a line, "registry path<TAB>file[<TAB>...]" (the
// demohives output). Each key is opened as the analysis opens it, its old
// snapshot deleted and the key saved to "file.hvx". Prints the milliseconds
// of the whole loop, then the number of saves that succeeded.
#include <windows.h>

#include "../tests/tools/win_util.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {



std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

bool Save(const std::string& name, const std::string& target, bool wow) {
  const std::string up = Upper(name);
  HKEY key = nullptr;
  LONG open = ERROR_FILE_NOT_FOUND;
  std::size_t pos;
  if ((pos = up.find("REGISTRY\\MACHINE\\")) != std::string::npos) {
    const std::string sub = name.substr(pos + 17);
    REGSAM view = (wow && up.find("SOFTWARE") != std::string::npos) ? KEY_WOW64_64KEY : 0;
    open = view ? RegOpenKeyExA(HKEY_LOCAL_MACHINE, sub.c_str(), 0, KEY_QUERY_VALUE | view, &key)
                : RegOpenKeyA(HKEY_LOCAL_MACHINE, sub.c_str(), &key);
  } else if ((pos = up.find("REGISTRY\\USER\\")) != std::string::npos) {
    open = RegOpenKeyA(HKEY_USERS, name.substr(pos + 14).c_str(), &key);
  }
  if (GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES) DeleteFileA(target.c_str());
  if (open != ERROR_SUCCESS) return false;
  bool ok = RegSaveKeyA(key, target.c_str(), nullptr) == ERROR_SUCCESS;
  RegCloseKey(key);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  FILE* f = std::fopen(argv[1], "rb");
  if (!f) return 2;
  std::vector<std::pair<std::string, std::string>> hives;
  char line[2048];
  while (std::fgets(line, sizeof line, f)) {
    line[std::strcspn(line, "\r\n")] = 0;
    char* tab = std::strchr(line, '\t');
    if (!tab) continue;
    *tab = 0;
    char* end = std::strchr(tab + 1, '\t');
    if (end) *end = 0;
    hives.emplace_back(line, tab + 1);
  }
  std::fclose(f);
  // The analysis orders its hives as the registry enumerates the hive list
  // (Wine: by name); the floor does the same.
  std::vector<std::string> order;
  HKEY list;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\hivelist", 0, KEY_QUERY_VALUE, &list) ==
      ERROR_SUCCESS) {
    char name[1024];
    for (DWORD i = 0;; ++i) {
      DWORD len = sizeof name;
      if (RegEnumValueA(list, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      order.push_back(name);
    }
    RegCloseKey(list);
  }
  std::vector<std::pair<std::string, std::string>> sorted;
  for (const std::string& n : order)
    for (const auto& h : hives)
      if (h.first == n) sorted.push_back(h);
  if (sorted.size() != hives.size()) sorted = hives;

  const bool wow = toolutil::IsWow64();
  LARGE_INTEGER freq, t0, t1;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&t0);
  toolutil::EnableBackup();
  int saved = 0;
  for (const auto& h : sorted) saved += Save(h.first, h.second + ".hvx", wow) ? 1 : 0;
  QueryPerformanceCounter(&t1);
  std::printf("%.1f\t%d\n", (t1.QuadPart - t0.QuadPart) * 1000.0 / freq.QuadPart, saved);
  return saved == static_cast<int>(sorted.size()) ? 0 : 1;
}
