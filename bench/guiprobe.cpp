// Measures how fast a window's thread answers, from another process.
//
//   guiprobe host CLASS
//       shows nothing, owns a top-level window of CLASS and answers its
//       messages until WM_CLOSE; touches no registry after start-up.
//   guiprobe probe CLASS INTERVAL_MS STOPFILE [SLOW_MS]
//       once a window of CLASS exists, sends it WM_NULL every INTERVAL_MS
//       (SendMessageTimeout) until STOPFILE exists, then prints, tab-separated:
//       samples, largest reply time in ms, median, 99th percentile, and the
//       number of replies slower than 50 ms. With SLOW_MS, every reply slower
//       than that goes to stderr as "slow<TAB>tick count at sending<TAB>ms",
//       to be matched with Wine's timestamps.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

LRESULT CALLBACK HostProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(h, msg, wp, lp);
}

int Host(const char* cls) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = HostProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = cls;
  if (!RegisterClassA(&wc)) return 1;
  if (!CreateWindowA(cls, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr)) return 1;
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
  return 0;
}

int Probe(const char* cls, int interval, const char* stopFile, double slowMs) {
  HWND w = nullptr;
  while (!(w = FindWindowA(cls, nullptr))) Sleep(10);
  LARGE_INTEGER freq, a, b;
  QueryPerformanceFrequency(&freq);
  std::vector<double> ms;
  timeBeginPeriod(1);
  while (GetFileAttributesA(stopFile) == INVALID_FILE_ATTRIBUTES) {
    QueryPerformanceCounter(&a);
    const DWORD tick = GetTickCount();
    DWORD_PTR r;
    if (!SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &r) && !IsWindow(w)) break;
    QueryPerformanceCounter(&b);
    ms.push_back((b.QuadPart - a.QuadPart) * 1000.0 / freq.QuadPart);
    if (slowMs > 0 && ms.back() > slowMs) std::fprintf(stderr, "slow\t%lu\t%.1f\n", tick, ms.back());
    Sleep(interval);
  }
  timeEndPeriod(1);
  if (ms.empty()) return 1;
  std::vector<double> s = ms;
  std::sort(s.begin(), s.end());
  long slow = static_cast<long>(std::count_if(s.begin(), s.end(), [](double v) { return v > 50; }));
  std::printf("%zu\t%.1f\t%.2f\t%.1f\t%ld\n", s.size(), s.back(), s[s.size() / 2], s[(s.size() * 99) / 100], slow);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && !std::strcmp(argv[1], "host")) return Host(argv[2]);
  if (argc >= 5 && !std::strcmp(argv[1], "probe"))
    return Probe(argv[2], std::atoi(argv[3]), argv[4], argc > 5 ? std::atof(argv[5]) : 0);
  return 2;
}
