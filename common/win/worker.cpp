#include "common/win/worker.h"

#include <functional>

namespace {

HANDLE g_lastWorker = nullptr;

DWORD WINAPI WorkerMain(LPVOID param) {
  std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(param));
  try {
    (*body)();
  } catch (...) {
    // A worker reports only by its messages; nothing may escape the thread.
  }
  return 0;
}

}  // namespace

void StartDetachedWorker(std::function<void()> body) {
  auto* heap = new std::function<void()>(std::move(body));
  HANDLE h = CreateThread(nullptr, 0, WorkerMain, heap, 0, nullptr);
  if (!h) {
    // No thread: run the body here so that its one report still arrives.
    WorkerMain(heap);
    return;
  }
  if (g_lastWorker) CloseHandle(g_lastWorker);
  g_lastWorker = h;
}

bool WaitForLastWorker(DWORD timeoutMs) {
  if (!g_lastWorker) return true;
  DWORD start = GetTickCount();
  for (;;) {
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= timeoutMs) return false;
    DWORD r = MsgWaitForMultipleObjects(1, &g_lastWorker, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
    if (r == WAIT_OBJECT_0) {
      CloseHandle(g_lastWorker);
      g_lastWorker = nullptr;
      return true;
    }
    if (r != WAIT_OBJECT_0 + 1) return false;
    MSG msg;
    // Only paint and timer traffic: no input reaches the program meanwhile.
    while (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&msg);
    while (PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) DispatchMessageA(&msg);
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
  }
}
