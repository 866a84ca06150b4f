// zheqiao.exe from start to end: OLE for the GUI thread, the program's folder
// as current directory, the main window and its wiring, the message loop, and
// the clean-up. The process ends with exit code 0 once the window is closed;
// the only other end is StopWithError (exit code -1).
// Implementation here must contain only Win32 specific code.
#include <ole2.h>

#include <exception>
#include <string>

#include "app/main_window_win.h"
#include "app/wiring.h"
#include "core/fatal.h"
#include "core/system.h"
#include "core/system_function.h"
#include "core/win32.h"

namespace {

// OLE for the GUI thread (a single-threaded apartment), for the whole run.
class OleSession {
 public:
  OleSession() : result_(::OleInitialize(nullptr)) {}
  ~OleSession() {
    if (SUCCEEDED(result_)) ::OleUninitialize();
  }
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;

 private:
  HRESULT result_;
};

// The folder of the executable becomes the current directory, so programs
// started later (the console commands) find what lies beside the program
// first. Nothing happens when the path cannot be had.
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

// Takes the messages of the GUI thread one after the other and dispatches
// them until the quit request. IsDialogMessage gives Tab and Shift+Tab their
// move among the enabled buttons.
void RunMessageLoop(const MainWindow& window) {
  MSG message{};
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    HWND dialog = window.Handle();
    if (dialog != nullptr && ::IsDialogMessageW(dialog, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

void Run(HINSTANCE instance) {
  EnterProgramFolder();
  MainWindow window;
  window.SetEventHandlers(WireEventHandlers(window, Services{&CurrentDateTime}));
  if (!window.Create(instance)) StopWithError("主窗口无法创建。");
  RunMessageLoop(window);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  OleSession ole;
  try {
    Run(instance);
  } catch (const std::exception&) {
    // Only exhausted memory throws here.
    StopWithError("内存不足，程序无法继续运行。");
  }
  ReleaseSystemFunctions();
  return 0;
}
