// Starts a program and watches it from outside, as the benchmark's clock:
//   startwatch CLASS EXE
// prints, tab-separated: milliseconds from CreateProcess to a visible
// top-level window of CLASS, milliseconds until the program is first idle
// after that, and its working set, peak working set and private bytes in
// KB half a second after it went idle (Wine reports no private bytes). Then
// closes the window.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const char* cls = argv[1];
  std::string exe = argv[2];
  std::string dir = exe.substr(0, exe.find_last_of("\\/") + 1);
  std::string cmd = "\"" + exe + "\"";
  LARGE_INTEGER freq, t0, t;
  QueryPerformanceFrequency(&freq);
  auto ms = [&] {
    QueryPerformanceCounter(&t);
    return (t.QuadPart - t0.QuadPart) * 1000.0 / freq.QuadPart;
  };
  STARTUPINFOA si = {sizeof si};
  PROCESS_INFORMATION pi = {};
  QueryPerformanceCounter(&t0);
  if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, dir.empty() ? nullptr : dir.c_str(),
                      &si, &pi)) {
    std::fprintf(stderr, "cannot start %s: %lu\n", exe.c_str(), GetLastError());
    return 1;
  }
  HWND h = nullptr;
  double shown = -1;
  while (ms() < 30000) {
    h = FindWindowA(cls, nullptr);
    if (h && IsWindowVisible(h)) {
      shown = ms();
      break;
    }
    if (WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0) break;
  }
  if (shown < 0) {
    std::fprintf(stderr, "no window of class %s\n", cls);
    TerminateProcess(pi.hProcess, 1);
    return 1;
  }
  WaitForInputIdle(pi.hProcess, 10000);
  double idle = ms();
  Sleep(500);
  PROCESS_MEMORY_COUNTERS_EX pmc = {};
  pmc.cb = sizeof pmc;
  GetProcessMemoryInfo(pi.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc);
  std::printf("%.1f\t%.1f\t%lu\t%lu\t%lu\n", shown, idle, static_cast<unsigned long>(pmc.WorkingSetSize / 1024),
              static_cast<unsigned long>(pmc.PeakWorkingSetSize / 1024),
              static_cast<unsigned long>(pmc.PrivateUsage / 1024));
  std::fflush(stdout);
  PostMessageA(h, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return 0;
}
