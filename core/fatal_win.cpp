// The fatal stop: an error box without owner, then the clean-up, then exit -1.
// Implementation here must contain only Win32 specific code.
#include <ole2.h>

#include "core/fatal.h"
#include "core/system_function.h"
#include "core/win32.h"

namespace {

void WriteToStandardError(const char* bytes, std::size_t size) {
  const HANDLE standardError = ::GetStdHandle(STD_ERROR_HANDLE);
  if (standardError == nullptr || standardError == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ::WriteFile(standardError, bytes, static_cast<DWORD>(size), &written, nullptr);
}

}  // namespace

void StopWithError(const Text& message) {
  // A stop from inside the stop (memory ran out while showing the box) ends
  // at once.
  static bool stopping = false;
  if (stopping) ::ExitProcess(static_cast<UINT>(-1));
  stopping = true;

  // A test, or a console that started the program, reads the message here; a
  // program started from the desktop has no standard error. Written in pieces
  // so that nothing is allocated when memory has run out.
  static constexpr char kPrefix[] = "StopWithError: ";
  WriteToStandardError(kPrefix, sizeof(kPrefix) - 1);
  WriteToStandardError(message.c_str(), message.size());
  WriteToStandardError("\r\n", 2);

  // No owner window: the box must show even when the main window is gone.
  ::MessageBoxW(nullptr, WideFromText(message).c_str(), WideFromText("错误").c_str(),
                MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
  ReleaseSystemFunctions();
  ::OleUninitialize();
  // At once: no handler runs any more and the window is not closed normally.
  ::ExitProcess(static_cast<UINT>(-1));
}
