// Program entry: one copy at a time, then the main window.
#include <windows.h>

#include <stdexcept>
#include <string>

#include "app/messages.h"
#include "app/site.h"
#include "app/win/frmMain.h"
#include "common/app_paths.h"
#include "hive/system.h"
#include "hive/win/win32_system.h"
#include "ui/win/toolkit.h"

namespace {

// The program runs elevated: no library may come from the working folder or
// from beside a planted file, only from the system's own folders.
void HardenLibrarySearch() {
  SetDllDirectoryA("");
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  auto fn = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "SetDefaultDllDirectories")));
  if (fn) fn(0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */);
}

std::string ExecutableFolder() {
  char buf[MAX_PATH + 1] = {};
  DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
  std::string path(buf, n < MAX_PATH ? n : MAX_PATH);
  return path.substr(0, path.find_last_of("\\/") + 1);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  HardenLibrarySearch();
  if (HWND other = FindWindowA(product::kMainWindowClass.c_str(), nullptr)) {
    PostMessageA(other, WM_SHOWMAIN, 0, 0);
    SetForegroundWindow(other);
    return 0;
  }
  static sys::Win32System services;
  sys::SetSys(&services);
  app::SetExeDir(ExecutableFolder());
  ui::InitToolkit(instance);
  ui::SetApplicationTitle(product::kTitle);

  int code = 0;
  try {
    TfrmMain main;
    main.Show();
    code = ui::RunMessageLoop();
    code = main.ExitCode ? main.ExitCode : code;
  } catch (const std::exception& e) {
    // Nothing to show the program in (no window could be made): say so.
    ui::ShowException(e.what());
    code = kExitNoWindow;
  }
  return code;
}
