// zheqiao.exe from start to end: OLE for the GUI thread, the program's folder
// as current directory, the main window and its wiring, the message loop, and
// the clean-up. The process ends with exit code 0 once the window is closed;
// the only other end is StopWithError (exit code -1).
// Implementation here must contain only Win32 specific code.
#include <ole2.h>

#include <exception>

#include "app/main_window_win.h"
#include "app/startup_win.h"
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

void Run(HINSTANCE instance) {
  EnterProgramFolder();
  SystemNetworkFacts networkFacts;
  PlatformSystemFacts systemFacts;
  ConsoleCommandRunner commandRunner;
  MainWindow window;
  window.SetEventHandlers(WireEventHandlers(
      window, Services{&CurrentDateTime, networkFacts, systemFacts, commandRunner}));
  if (!window.Create(instance)) StopWithError("主窗口无法创建。");
  RunMessageLoop(window);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  StopWithErrorWhenMemoryRunsOut();
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
