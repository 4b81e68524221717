// The smallest program of the same shape as the one measured: one
// borderless window of the same size, painted, with a message loop. It
// sets the floor that Wine and the C++ run-time cost on their own.
#include <windows.h>

namespace {

LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      FillRect(dc, &ps.rcPaint, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
      EndPaint(h, &ps);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(h, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = "MinimalBenchWindow";
  RegisterClassA(&wc);
  HWND h = CreateWindowExA(WS_EX_APPWINDOW, wc.lpszClassName, "Minimal", WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX,
                           234, 188, 556, 392, nullptr, nullptr, instance, nullptr);
  ShowWindow(h, show);
  UpdateWindow(h);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
