// The baseline of the start-up measurement: the least Win32 program with a
// window like MainWindow's (same class settings, styles, outer size, centred),
// built the same way as zheqiao.exe. It is no part of the product.
#include "core/win32.h"

namespace {

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = L"MinimalWindow";
  ::RegisterClassExW(&windowClass);
  const int left = (::GetSystemMetrics(SM_CXSCREEN) - 500) / 2;
  const int top = (::GetSystemMetrics(SM_CYSCREEN) - 376) / 2;
  HWND window = ::CreateWindowExW(0, L"MinimalWindow", L"MinimalWindow",
                                  WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, left,
                                  top, 500, 376, nullptr, nullptr, instance, nullptr);
  ::ShowWindow(window, SW_SHOW);
  ::UpdateWindow(window);
  MSG message{};
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return 0;
}
