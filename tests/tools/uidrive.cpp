// Drives and watches another program's windows through a script of steps,
// from one process that stays running: while the wineserver is busy saving a
// large key every request waits behind the save, so a tool started afresh
// mid-run (hundreds of requests) would only get going after the run.
//
//   uidrive STEP...      each STEP is one argument, fields separated by "|":
//   click|WIN|TEXT            posts BM_CLICK to WIN's child whose text is TEXT
//   close|WIN                 posts WM_CLOSE to WIN
//   wait|WIN|SECONDS          until WIN is shown
//   gone|WIN|SECONDS          until WIN is no longer shown
//   text|WIN|CLASS|TEXT|SECONDS   until a child of CLASS of WIN shows TEXT
//   enabled|WIN|TEXT|SECONDS  until WIN's child whose text is TEXT is enabled
//   dump|WIN                  a "window" line: screen rectangle (left top right bottom),
//                             client width and height, text; then one "dump" line per
//                             child: class, shown, enabled, text
//   watch|WIN|SECONDS         until WIN is gone, a "seen" line whenever a
//                             child's text changes: class, text
//   check|WIN|TEXT            a "check" line: 1 if WIN's check box TEXT is ticked, else 0
//   pause|WIN                 suspends every thread of WIN's process but WIN's own
//                             (a worker frozen mid-run while its window is watched),
//                             once WIN's thread has caught up and keeps answering
//   resume                    resumes them; also done when a step fails
//   tops|SECONDS              a "top" line (class, text) whenever a top-level window
//                             becomes visible, "hid" when it no longer is, for SECONDS
//   ping|WIN|MS               WM_NULL sent to WIN answered within MS milliseconds
//   sleep|MS
//   until|FILE|SECONDS        until FILE exists (the caller's go-ahead)
//   mark|TEXT                 prints TEXT
//   tick                      prints the system tick count (GetTickCount), to match other clocks
// WIN is a top-level window's class or "#" and its decimal handle. Every
// line starts with the milliseconds since the start; a step that does not
// come true prints "FAILED" and ends the run with exit code 1.
#include <windows.h>
#include <tlhelp32.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

LARGE_INTEGER g_freq, g_start;

double Ms() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return (t.QuadPart - g_start.QuadPart) * 1000.0 / g_freq.QuadPart;
}

void Out(const char* what, const std::string& info) {
  std::printf("%.0f\t%s\t%s\n", Ms(), what, info.c_str());
  std::fflush(stdout);
}

std::vector<HANDLE> g_paused;

void ResumeAll() {
  for (HANDLE t : g_paused) {
    ResumeThread(t);
    CloseHandle(t);
  }
  g_paused.clear();
}

bool PauseOthers(HWND w) {
  DWORD pid = 0;
  const DWORD gui = GetWindowThreadProcessId(w, &pid);
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snap == INVALID_HANDLE_VALUE) return false;
  THREADENTRY32 te = {};
  te.dwSize = sizeof te;
  for (BOOL more = Thread32First(snap, &te); more; more = Thread32Next(snap, &te)) {
    if (te.th32OwnerProcessID != pid || te.th32ThreadID == gui) continue;
    HANDLE t = OpenThread(THREAD_SUSPEND_RESUME, FALSE, te.th32ThreadID);
    if (!t) continue;
    if (SuspendThread(t) == static_cast<DWORD>(-1)) {
      CloseHandle(t);
      continue;
    }
    g_paused.push_back(t);
  }
  CloseHandle(snap);
  return !g_paused.empty();
}

// A worker frozen while it holds a lock that the window's thread then wants
// hangs that thread: thaw and try again a moment later.
bool Pause(HWND w) {
  for (int attempt = 1; attempt <= 10; ++attempt) {
    if (!PauseOthers(w)) return false;
    bool answering = true;
    for (int k = 0; k < 3 && answering; ++k) {
      Sleep(300);
      DWORD_PTR r;
      answering = SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_NORMAL, 1500, &r) != 0;
    }
    if (answering) {
      Out("paused", std::to_string(g_paused.size()) + " threads, attempt " + std::to_string(attempt));
      return true;
    }
    Out("thawed", "not answering while frozen, attempt " + std::to_string(attempt));
    ResumeAll();
    Sleep(20 + 13 * attempt);
  }
  return false;
}

bool IsSystemClass(const std::string& target) {
  return target == "#32768" || target == "#32769" || target == "#32770" || target == "#32771" || target == "#32772";
}

HWND Resolve(const std::string& target) {
  if (target[0] == '#' && !IsSystemClass(target))
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(target.c_str() + 1, nullptr, 0)));
  return FindWindowA(target.c_str(), nullptr);
}

bool Shown(HWND h) { return h && IsWindow(h) && IsWindowVisible(h); }

std::string Text(HWND h) {
  char buf[4096] = {};
  // Long enough for a GUI thread that waits behind a registry save.
  SendMessageTimeoutA(h, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_NORMAL, 15000, nullptr);
  for (char* c = buf; *c; ++c)
    if (*c == '\r' || *c == '\n') *c = '|';
  return buf;
}

std::string ClassOf(HWND h) {
  char buf[256] = {};
  GetClassNameA(h, buf, sizeof buf);
  return buf;
}

BOOL CALLBACK Collect(HWND h, LPARAM p) {
  reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
  return TRUE;
}

std::vector<HWND> Children(HWND w) {
  std::vector<HWND> kids;
  EnumChildWindows(w, Collect, reinterpret_cast<LPARAM>(&kids));
  return kids;
}

std::vector<std::string> Split(const std::string& s) {
  std::vector<std::string> f;
  std::size_t start = 0, bar;
  while ((bar = s.find('|', start)) != std::string::npos) {
    f.push_back(s.substr(start, bar - start));
    start = bar + 1;
  }
  f.push_back(s.substr(start));
  return f;
}

template <class Pred>
bool Poll(double seconds, Pred pred, DWORD interval = 20) {
  const double end = Ms() + seconds * 1000;
  do {
    if (pred()) return true;
    Sleep(interval);
  } while (Ms() < end);
  return pred();
}

bool Step(const std::vector<std::string>& f) {
  const std::string& op = f[0];
  auto num = [&](std::size_t i, double def) { return f.size() > i ? std::atof(f[i].c_str()) : def; };
  if (op == "mark") return Out("mark", f.size() > 1 ? f[1] : ""), true;
  if (op == "resume") return ResumeAll(), true;
  if (op == "tick") return Out("tick", std::to_string(GetTickCount())), true;
  if (op == "sleep") return Sleep(static_cast<DWORD>(num(1, 0))), true;
  if (op == "until" && f.size() > 1)
    return Poll(num(2, 60), [&] { return GetFileAttributesA(f[1].c_str()) != INVALID_FILE_ATTRIBUTES; });
  if (f.size() < 2) return false;
  if (op == "tops") {
    std::map<HWND, std::string> shown;
    const double end = Ms() + num(1, 60) * 1000;
    while (Ms() < end) {
      std::vector<HWND> all;
      EnumWindows(Collect, reinterpret_cast<LPARAM>(&all));
      std::map<HWND, std::string> now;
      for (HWND h : all) {
        if (!IsWindowVisible(h)) continue;
        // A window on its way out no longer names itself: keep what it said.
        auto seen = shown.find(h);
        now[h] = seen != shown.end() ? seen->second : ClassOf(h) + "\t" + Text(h);
      }
      for (const auto& w : now)
        if (!shown.count(w.first)) Out("top", w.second);
      for (const auto& w : shown)
        if (!now.count(w.first)) Out("hid", w.second);
      shown.swap(now);
      Sleep(20);
    }
    return true;
  }
  if (op == "wait") {
    HWND h = nullptr;
    if (!Poll(num(2, 20), [&] { return Shown(h = Resolve(f[1])); })) return false;
    Out("shown", "#" + std::to_string(reinterpret_cast<UINT_PTR>(h)));
    return true;
  }
  if (op == "gone") return Poll(num(2, 20), [&] { return !Shown(Resolve(f[1])); });
  HWND w = Resolve(f[1]);
  if (!w || !IsWindow(w)) return false;
  if (op == "pause") return Pause(w);
  if (op == "close") return PostMessageA(w, WM_CLOSE, 0, 0) != FALSE;
  if (op == "click" && f.size() > 2) {
    for (HWND c : Children(w))
      if (Text(c) == f[2]) return PostMessageA(c, BM_CLICK, 0, 0) != FALSE;
    return false;
  }
  if (op == "check" && f.size() > 2) {
    for (HWND c : Children(w))
      if (Text(c) == f[2]) {
        Out("check", SendMessageA(c, BM_GETCHECK, 0, 0) == BST_CHECKED ? "1" : "0");
        return true;
      }
    return false;
  }
  if (op == "dump") {
    RECT r, c;
    GetWindowRect(w, &r);
    GetClientRect(w, &c);
    char geo[128];
    std::snprintf(geo, sizeof geo, "%ld %ld %ld %ld\t%ld %ld\t", r.left, r.top, r.right, r.bottom, c.right, c.bottom);
    Out("window", geo + Text(w));
    for (HWND c : Children(w))
      Out("dump", ClassOf(c) + "\t" + (IsWindowVisible(c) ? "visible" : "hidden") + "\t" +
                      (IsWindowEnabled(c) ? "enabled" : "disabled") + "\t" + Text(c));
    return true;
  }
  if (op == "enabled" && f.size() > 2) {
    HWND c = nullptr;
    for (HWND k : Children(w))
      if (Text(k) == f[2]) c = k;
    // Finely: the benchmark times the analysis by it.
    return c && Poll(num(3, 20), [&] { return IsWindowEnabled(c) != FALSE; }, 2);
  }
  if (op == "text" && f.size() > 3) {
    return Poll(num(4, 20), [&] {
      for (HWND c : Children(w))
        if (!lstrcmpiA(ClassOf(c).c_str(), f[2].c_str()) && Text(c) == f[3]) return true;
      return false;
    });
  }
  if (op == "watch") {
    std::map<HWND, std::string> last;
    const double end = Ms() + num(2, 60) * 1000;
    while (Shown(w) && Ms() < end) {
      for (HWND c : Children(w)) {
        std::string t = Text(c);
        auto it = last.find(c);
        if (it == last.end() || it->second != t) {
          last[c] = t;
          Out("seen", ClassOf(c) + "\t" + t);
        }
      }
      Sleep(20);
    }
    return !Shown(w);
  }
  if (op == "ping") {
    const double t0 = Ms();
    DWORD_PTR r = 0;
    const UINT limit = static_cast<UINT>(num(2, 5000));
    bool answered = SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_NORMAL, limit, &r) != 0;
    Out("ping", std::to_string(static_cast<long>(Ms() - t0)));
    return answered && Ms() - t0 <= limit;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  // Plain line ends for the shell that reads the output.
  _setmode(_fileno(stdout), _O_BINARY);
  QueryPerformanceFrequency(&g_freq);
  QueryPerformanceCounter(&g_start);
  for (int i = 1; i < argc; ++i) {
    std::vector<std::string> f = Split(argv[i]);
    if (!Step(f)) {
      Out("FAILED", argv[i]);
      ResumeAll();
      return 1;
    }
    Out("done", f[0]);
  }
  ResumeAll();
  return 0;
}
