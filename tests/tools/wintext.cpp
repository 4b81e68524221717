// Reads and drives another program's windows for the end-to-end tests, the
// way an accessibility tool would: by window messages, from outside.
//
//   wintext wait CLASS [SECONDS]        prints the handle once a top-level window of CLASS exists
//   wintext gone CLASS|#HWND [SECONDS]  succeeds once no such window is shown
//   wintext dump CLASS|#HWND            the window and its children: handle, class, left, top, width,
//                                       height (children in client coordinates), shown, enabled, text
//   wintext list CLASS|#HWND            the first child list view: grid lines, columns (index, width,
//                                       alignment, text), rows
//   wintext rect CLASS|#HWND            the window's screen rectangle: left top right bottom
//   wintext post CLASS|#HWND MSG [WP [LP]]   posts a message
//   wintext click CLASS|#HWND TEXT      clicks the child button whose text is TEXT (BM_CLICK)
//   wintext close CLASS|#HWND           posts WM_CLOSE
//   wintext popups                      visible top-level windows: handle, class, text
//   wintext fg                          the foreground window
//   wintext count CLASS                 how many top-level windows of CLASS exist, shown or not
//   wintext state CLASS|#HWND           visible=0|1 iconic=0|1 foreground=0|1 enabled=0|1
//   wintext point CLASS|#HWND X Y       screen position of a point in the window's client area
//   wintext center CLASS|#HWND [TEXT]   screen position of the middle of the window, or of its child whose text is TEXT
//   wintext menu [#HWND]                items of the open popup menu: index, checked|-, text
//   wintext tips CLASS|#HWND            tooltips of the window's controls: control handle, text
//   wintext measure TEXT                width in pixels of TEXT in MS Sans Serif 8 point
//   wintext hold FILE                   keeps FILE open without sharing until ended; prints "held"
// Windows are named by class or by handle ("#" and the decimal handle); the
// system's own classes #32768 (menus) and #32770 (dialogs) count as classes.
#include <windows.h>
#include <commctrl.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool IsSystemClass(const char* target) {
  for (const char* c : {"#32768", "#32769", "#32770", "#32771", "#32772"})
    if (!std::strcmp(target, c)) return true;
  return false;
}

HWND Resolve(const char* target) {
  if (target[0] == '#' && !IsSystemClass(target)) return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(target + 1, nullptr, 0)));
  return FindWindowA(target, nullptr);
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
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    col.pszText = remote + sizeof(LVCOLUMNA);
    col.cchTextMax = textSize;
    WriteProcessMemory(proc, remote, &col, sizeof col, nullptr);
    SendMessageA(lv, LVM_GETCOLUMNA, c, reinterpret_cast<LPARAM>(remote));
    char buf[1024] = {};
    LVCOLUMNA back = {};
    ReadProcessMemory(proc, remote, &back, sizeof back, nullptr);
    ReadProcessMemory(proc, remote + sizeof(LVCOLUMNA), buf, sizeof buf - 1, nullptr);
    // The heading as drawn: the header control's own format.
    HDITEMA hd = {};
    hd.mask = HDI_FORMAT;
    WriteProcessMemory(proc, remote, &hd, sizeof hd, nullptr);
    if (header) SendMessageA(header, HDM_GETITEMA, c, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(proc, remote, &hd, sizeof hd, nullptr);
    const int align = hd.fmt & HDF_JUSTIFYMASK;
    std::printf("column\t%d\t%d\t%s\t%s\n", c, back.cx,
                align == HDF_RIGHT ? "right" : align == HDF_CENTER ? "center" : "left", buf);
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

struct ClassCount {
  const char* cls;
  int n;
};

BOOL CALLBACK CountTop(HWND h, LPARAM p) {
  auto* c = reinterpret_cast<ClassCount*>(p);
  if (ClassOf(h) == c->cls) ++c->n;
  return TRUE;
}

BOOL CALLBACK FindMenuWindow(HWND h, LPARAM p) {
  if (IsWindowVisible(h) && ClassOf(h) == "#32768") {
    *reinterpret_cast<HWND*>(p) = h;
    return FALSE;
  }
  return TRUE;
}

// Reads the menu shown by a "#32768" window. Menus live in the owning
// process, so this works only where the system shares them (Windows does).
int DumpMenu(HWND w) {
  HMENU menu = reinterpret_cast<HMENU>(SendMessageA(w, MN_GETHMENU, 0, 0));
  int n = menu ? GetMenuItemCount(menu) : -1;
  if (n < 0) {
    std::fprintf(stderr, "menu of #%lu not readable from here\n",
                 static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(w)));
    return 3;
  }
  for (int i = 0; i < n; ++i) {
    char text[512] = {};
    GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
    UINT st = GetMenuState(menu, i, MF_BYPOSITION);
    std::printf("%d\t%s\t%s\n", i, (st & MF_SEPARATOR) ? "separator" : (st & MF_CHECKED) ? "checked" : "-", text);
  }
  return 0;
}

struct TipQuery {
  HWND owner;
  std::vector<HWND> tips;
};

BOOL CALLBACK FindTips(HWND h, LPARAM p) {
  auto* q = reinterpret_cast<TipQuery*>(p);
  if (ClassOf(h) == TOOLTIPS_CLASSA && GetWindow(h, GW_OWNER) == q->owner) q->tips.push_back(h);
  return TRUE;
}

// Tool texts live in the tooltip's process: read them through memory there.
int DumpTips(HWND owner) {
  TipQuery q = {owner, {}};
  EnumWindows(FindTips, reinterpret_cast<LPARAM>(&q));
  if (q.tips.empty()) return 1;
  DWORD pid = 0;
  GetWindowThreadProcessId(owner, &pid);
  HANDLE proc = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!proc) return 2;
  const SIZE_T textSize = 1024;
  auto* remote = static_cast<char*>(VirtualAllocEx(proc, nullptr, sizeof(TTTOOLINFOA) + textSize, MEM_COMMIT, PAGE_READWRITE));
  if (!remote) return 2;
  for (HWND tip : q.tips) {
    int n = static_cast<int>(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
      TTTOOLINFOA ti = {};
      ti.cbSize = sizeof ti;
      ti.lpszText = remote + sizeof(TTTOOLINFOA);
      char zero[textSize] = {};
      WriteProcessMemory(proc, remote, &ti, sizeof ti, nullptr);
      WriteProcessMemory(proc, remote + sizeof(TTTOOLINFOA), zero, textSize, nullptr);
      if (!SendMessageA(tip, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(remote))) continue;
      TTTOOLINFOA back = {};
      char buf[textSize] = {};
      ReadProcessMemory(proc, remote, &back, sizeof back, nullptr);
      ReadProcessMemory(proc, remote + sizeof(TTTOOLINFOA), buf, textSize - 1, nullptr);
      std::printf("#%lu\t%s\n", static_cast<unsigned long>(back.uId), buf);
    }
  }
  VirtualFreeEx(proc, remote, 0, MEM_RELEASE);
  CloseHandle(proc);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  // Plain line ends for the shell that reads the output.
  _setmode(_fileno(stdout), _O_BINARY);
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
  if (cmd == "menu") {
    HWND w = argc > 2 ? Resolve(argv[2]) : nullptr;
    if (!w) EnumWindows(FindMenuWindow, reinterpret_cast<LPARAM>(&w));
    return w ? DumpMenu(w) : 1;
  }
  if (argc < 3) return 2;
  if (cmd == "hold") {
    HANDLE f = CreateFileA(argv[2], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE) return 1;
    std::printf("held\n");
    std::fflush(stdout);
    Sleep(INFINITE);
    return 0;
  }
  if (cmd == "measure") {
    HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE sz = {0, 0};
    GetTextExtentPoint32A(dc, argv[2], static_cast<int>(std::strlen(argv[2])), &sz);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    std::printf("%ld\n", sz.cx);
    return 0;
  }
  if (cmd == "count") {
    ClassCount c = {argv[2], 0};
    EnumWindows(CountTop, reinterpret_cast<LPARAM>(&c));
    std::printf("%d\n", c.n);
    return 0;
  }
  if (cmd == "wait" || cmd == "gone") {
    double seconds = argc > 3 ? std::atof(argv[3]) : 20;
    for (int i = 0; i < seconds * 10; ++i) {
      HWND h = Resolve(argv[2]);
      bool live = h && IsWindow(h);
      if (cmd == "wait" && live && IsWindowVisible(h)) {
        std::printf("#%lu\n", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(h)));
        return 0;
      }
      if (cmd == "gone" && !(live && IsWindowVisible(h))) return 0;
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
    // A child's position is given in its parent's client area, as in the list below.
    PrintWindow(h, (GetWindowLongA(h, GWL_STYLE) & WS_CHILD) ? GetParent(h) : nullptr);
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
  if (cmd == "state") {
    std::printf("visible=%d iconic=%d foreground=%d enabled=%d\n", IsWindowVisible(h) ? 1 : 0, IsIconic(h) ? 1 : 0,
                GetForegroundWindow() == h ? 1 : 0, IsWindowEnabled(h) ? 1 : 0);
    return 0;
  }
  if (cmd == "point" && argc > 4) {
    POINT pt = {std::atoi(argv[3]), std::atoi(argv[4])};
    ClientToScreen(h, &pt);
    std::printf("%ld %ld\n", pt.x, pt.y);
    return 0;
  }
  if (cmd == "center") {
    TextQuery f = {h, argc > 3 ? argv[3] : "", h};
    if (argc > 3) {
      f.found = nullptr;
      EnumChildWindows(h, FindChildByText, reinterpret_cast<LPARAM>(&f));
      if (!f.found) return 1;
    }
    RECT r;
    GetWindowRect(f.found, &r);
    std::printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    return 0;
  }
  if (cmd == "tips") return DumpTips(h);
  if (cmd == "list") {
    HWND lv = FindWindowExA(h, nullptr, "SysListView32", nullptr);
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
