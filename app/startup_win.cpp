// The program's folder as current directory, and the main message loop.
// Implementation here must contain only Win32 specific code.
#include "app/startup_win.h"

#include <string>

void EnterProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return;
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    // Truncated: try a larger buffer, up to the longest path there is.
    if (path.size() >= 32768) return;
    path.resize(path.size() * 2);
  }
  const std::size_t separator = path.find_last_of(L"\\/");
  if (separator == std::wstring::npos) return;
  // A program in a drive's root keeps the separator: "C:\", not "C:".
  const bool driveRoot = separator == 2 && path[1] == L':';
  path.resize(driveRoot ? separator + 1 : separator);
  ::SetCurrentDirectoryW(path.c_str());
}

void RunMessageLoop(const MainWindow& window) {
  MSG message{};
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    HWND dialog = window.Handle();
    if (dialog != nullptr && ::IsDialogMessageW(dialog, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}
