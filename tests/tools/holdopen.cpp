// Holds a file open without sharing until it is terminated, like Windows
// holding a live hive. Usage: holdopen <file> <event name>; the named event
// (made by the caller) is set once the file is open.
#include <windows.h>

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  HANDLE file = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 3;
  HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]);
  if (ready == nullptr) return 4;
  SetEvent(ready);
  CloseHandle(ready);
  Sleep(INFINITE);
  CloseHandle(file);
  return 0;
}
