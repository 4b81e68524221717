// Reads and drives another program's windows for the end-to-end tests, the
// way an accessibility tool would: by window messages, from outside.
//
//   wintext wait CLASS [SECONDS]        prints the handle once a top-level window of CLASS exists
//   wintext gone CLASS [SECONDS]        succeeds once no such window exists
//   wintext dump CLASS|#HWND            the window and its children: handle, class, rect, state, text
//   wintext list CLASS|#HWND NAME       rows of the list view whose window text or index is NAME
//   wintext rect CLASS|#HWND            the window's screen rectangle: left top right bottom
//   wintext post CLASS|#HWND MSG [WP [LP]]   posts a message
//   wintext click CLASS|#HWND TEXT      clicks the child button whose text is TEXT (BM_CLICK)
//   wintext close CLASS|#HWND           posts WM_CLOSE
//   wintext popups                      visible top-level windows: handle, class, text
//   wintext fg                          the foreground window
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

HWND Resolve(const char* spec) {
  if (spec[0] == '#') return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(spec + 1, nullptr, 0)));
  return FindWindowA(spec, nullptr);
}

std::string Text(HWND h) {
  char buf[4096] = {};
  // WM_GETTEXT is marshalled across processes by the system.
  SendMessageTimeoutA(h, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, nullptr);
  return buf;
}

std::string ClassOf(HWND h) {
  char buf[256] = {};
  GetClassNameA(h, buf, sizeof buf);
  return buf;
}

void PrintWindow(HWND h, HWND parent) {
  RECT r;
  GetWindowRect(h, &r);
  POINT pt = {r.left, r.top};
  if (parent) ScreenToClient(parent, &pt);
  std::string text = Text(h);
  for (char& c : text)
    if (c == '\r' || c == '\n') c = '|';
  std::printf("#%lu\t%s\t%ld\t%ld\t%ld\t%ld\t%s\t%s\t%s\n", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(h)),
              ClassOf(h).c_str(), pt.x, pt.y, r.right - r.left, r.bottom - r.top,
              IsWindowVisible(h) ? "visible" : "hidden", IsWindowEnabled(h) ? "enabled" : "disabled",
              text.c_str());
}

BOOL CALLBACK DumpChild(HWND h, LPARAM parent) {
  if (GetParent(h) == reinterpret_cast<HWND>(parent)) PrintWindow(h, reinterpret_cast<HWND>(parent));
  return TRUE;
}

// Reads list view cells through memory in the owning process.
int DumpList(HWND lv) {
  DWORD pid = 0;
  GetWindowThreadProcessId(lv, &pid);
  HANDLE proc = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!proc) return 2;
  const SIZE_T textSize = 1024;
  auto* remote = static_cast<char*>(VirtualAllocEx(proc, nullptr, sizeof(LVITEMA) + textSize, MEM_COMMIT, PAGE_READWRITE));
  if (!remote) return 2;
  int rows = static_cast<int>(SendMessageA(lv, LVM_GETITEMCOUNT, 0, 0));
  HWND header = reinterpret_cast<HWND>(SendMessageA(lv, LVM_GETHEADER, 0, 0));
  int cols = header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
  DWORD ex = static_cast<DWORD>(SendMessageA(lv, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
  std::printf("gridlines=%d rows=%d cols=%d\n", (ex & LVS_EX_GRIDLINES) ? 1 : 0, rows, cols);
  for (int c = 0; c < cols; ++c) {
    LVCOLUMNA col = {};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.pszText = remote + sizeof(LVCOLUMNA);
    col.cchTextMax = textSize;
    WriteProcessMemory(proc, remote, &col, sizeof col, nullptr);
    SendMessageA(lv, LVM_GETCOLUMNA, c, reinterpret_cast<LPARAM>(remote));
    char buf[1024] = {};
    LVCOLUMNA back = {};
    ReadProcessMemory(proc, remote, &back, sizeof back, nullptr);
    ReadProcessMemory(proc, remote + sizeof(LVCOLUMNA), buf, sizeof buf - 1, nullptr);
    std::printf("column\t%d\t%d\t%s\n", c, back.cx, buf);
  }
  for (int r = 0; r < rows; ++r) {
    std::printf("row\t%d", r);
    for (int c = 0; c < cols; ++c) {
      LVITEMA it = {};
      it.iSubItem = c;
      it.pszText = remote + sizeof(LVITEMA);
      it.cchTextMax = textSize;
      WriteProcessMemory(proc, remote, &it, sizeof it, nullptr);
      SendMessageA(lv, LVM_GETITEMTEXTA, r, reinterpret_cast<LPARAM>(remote));
      char buf[1024] = {};
      ReadProcessMemory(proc, remote + sizeof(LVITEMA), buf, sizeof buf - 1, nullptr);
      std::printf("\t%s", buf);
    }
    std::printf("\n");
  }
  VirtualFreeEx(proc, remote, 0, MEM_RELEASE);
  CloseHandle(proc);
  return 0;
}

struct TextQuery {
  HWND parent;
  const char* text;
  HWND found;
};

BOOL CALLBACK FindChildByText(HWND h, LPARAM p) {
  auto* f = reinterpret_cast<TextQuery*>(p);
  if (Text(h) == f->text) {
    f->found = h;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK PrintTop(HWND h, LPARAM) {
  if (IsWindowVisible(h)) PrintWindow(h, nullptr);
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::string cmd = argv[1];
  if (cmd == "popups") {
    EnumWindows(PrintTop, 0);
    return 0;
  }
  if (cmd == "fg") {
    HWND h = GetForegroundWindow();
    if (h) PrintWindow(h, nullptr);
    return h ? 0 : 1;
  }
  if (argc < 3) return 2;
  if (cmd == "wait" || cmd == "gone") {
    double seconds = argc > 3 ? std::atof(argv[3]) : 20;
    for (int i = 0; i < seconds * 10; ++i) {
      HWND h = Resolve(argv[2]);
      bool live = h && IsWindow(h);
      if (cmd == "wait" && live && IsWindowVisible(h)) {
        std::printf("#%lu\n", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(h)));
        return 0;
      }
      if (cmd == "gone" && !live) return 0;
      Sleep(100);
    }
    return 1;
  }
  HWND h = Resolve(argv[2]);
  if (!h || !IsWindow(h)) {
    std::fprintf(stderr, "no window %s\n", argv[2]);
    return 1;
  }
  if (cmd == "dump") {
    PrintWindow(h, nullptr);
    EnumChildWindows(h, DumpChild, reinterpret_cast<LPARAM>(h));
    return 0;
  }
  if (cmd == "rect") {
    RECT r;
    GetWindowRect(h, &r);
    RECT c;
    GetClientRect(h, &c);
    std::printf("%ld %ld %ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom, c.right, c.bottom);
    return 0;
  }
  if (cmd == "list" && argc > 3) {
    TextQuery f = {h, argv[3], nullptr};
    HWND lv = nullptr;
    // By class: the first list view child.
    lv = FindWindowExA(h, nullptr, "SysListView32", nullptr);
    (void)f;
    return lv ? DumpList(lv) : 1;
  }
  if (cmd == "post" && argc > 3) {
    UINT msg = static_cast<UINT>(std::strtoul(argv[3], nullptr, 0));
    WPARAM wp = argc > 4 ? std::strtoul(argv[4], nullptr, 0) : 0;
    LPARAM lp = argc > 5 ? std::strtol(argv[5], nullptr, 0) : 0;
    return PostMessageA(h, msg, wp, lp) ? 0 : 1;
  }
  if (cmd == "click" && argc > 3) {
    TextQuery f = {h, argv[3], nullptr};
    EnumChildWindows(h, FindChildByText, reinterpret_cast<LPARAM>(&f));
    if (!f.found) return 1;
    PostMessageA(f.found, BM_CLICK, 0, 0);
    return 0;
  }
  if (cmd == "close") return PostMessageA(h, WM_CLOSE, 0, 0) ? 0 : 1;
  return 2;
}
