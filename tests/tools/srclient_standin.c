/* A stand-in System Restore client for tests: it succeeds and leaves a mark
   beside itself, so a test can tell whether the program loaded it. */
#include <windows.h>

static HMODULE self;

BOOL WINAPI DllMain(HINSTANCE h, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) self = h;
  return TRUE;
}

__declspec(dllexport) BOOL WINAPI SRSetRestorePointA(void* info, void* status) {
  char path[MAX_PATH + 32];
  DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
  HANDLE f;
  (void)info;
  (void)status;
  while (n > 0 && path[n - 1] != '\\') --n;
  lstrcpyA(path + n, "standin-called.txt");
  f = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
  return TRUE;
}
