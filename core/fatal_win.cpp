// The fatal stop: an error box without owner, then the clean-up, then exit -1.
#include "core/fatal.h"
#include "core/system_function.h"
#include "core/win32.h"

#include <ole2.h>

void StopWithError(const Text& message) {
  ::MessageBoxW(nullptr, WideFromText(message).c_str(), WideFromText("错误").c_str(),
                MB_OK | MB_ICONERROR | MB_TASKMODAL);
  ReleaseSystemFunctions();
  ::OleUninitialize();
  ::ExitProcess(static_cast<UINT>(-1));
}
