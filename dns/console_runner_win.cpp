// The console runner's kernel calls: one anonymous pipe for the child's
// standard output and standard error, the hidden child process, the peek, the
// read and the wait. Every handle is owned by a ScopedHandle, so all of them
// are closed when the call's WindowsConsoleCalls goes out of scope.
// Implementation here must contain only Win32 specific code.
#include "dns/console_runner_win.h"

#include <climits>
#include <string>

#include "core/system.h"

void WindowsConsoleCalls::CreateOutputPipe() {
  SECURITY_ATTRIBUTES attributes{};
  attributes.nLength = sizeof(attributes);
  attributes.lpSecurityDescriptor = nullptr;
  // Inheritable, so that the child inherits the write end.
  attributes.bInheritHandle = TRUE;
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  // Buffer size 0: the system's default. On failure both stay empty and the
  // child starts with empty standard handles.
  if (::CreatePipe(&readEnd, &writeEnd, &attributes, 0)) {
    readEnd_.Reset(readEnd);
    writeEnd_.Reset(writeEnd);
  }
}

void WindowsConsoleCalls::StartChild(const Text& fullCommandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.wShowWindow = SW_HIDE;
  startup.hStdInput = nullptr;  // the child gets no standard input
  startup.hStdOutput = writeEnd_.Get();
  startup.hStdError = writeEnd_.Get();  // the same pipe: one text, in the order written

  // The kernel keeps a command line in UTF-16 only: CreateProcessA would turn
  // the GBK bytes into UTF-16 through the system's ANSI code page, which is
  // right only where that code page is 936. Converting through code page 936
  // ourselves gives the child the right characters on any Windows; a child
  // that reads its line as ANSI on a code page 936 system gets the very bytes
  // back. CreateProcessW may write into the line, so it gets its own buffer.
  std::wstring commandLine = WideFromText(fullCommandLine);
  PROCESS_INFORMATION info{};
  const BOOL started = ::CreateProcessW(nullptr,             // the line names the program
                                        commandLine.data(),  // writable copy
                                        nullptr, nullptr,    // no process/thread security
                                        TRUE,                // inherit the pipe's write end
                                        0,                   // no creation flags
                                        nullptr, nullptr,    // our environment and directory
                                        &startup, &info);
  if (started) {
    process_.Reset(info.hProcess);
    thread_.Reset(info.hThread);
  }
}

void WindowsConsoleCalls::CloseWriteEnd() {
  writeEnd_.Reset();
}

int WindowsConsoleCalls::PeekWaitingBytes() {
  if (!readEnd_.IsValid()) return 0;
  DWORD waiting = 0;
  if (!::PeekNamedPipe(readEnd_.Get(), nullptr, 0, nullptr, &waiting, nullptr)) return 0;
  return waiting > static_cast<DWORD>(INT_MAX) ? INT_MAX : static_cast<int>(waiting);
}

ByteArray WindowsConsoleCalls::ReadChunk(int count) {
  ByteArray chunk = BlankBytes(count);
  DWORD read = 0;
  // The peek saw count bytes waiting, so the read does not block.
  if (!::ReadFile(readEnd_.Get(), chunk.data(), static_cast<DWORD>(chunk.size()), &read, nullptr)) {
    return BlankBytes(count);  // a failed read adds nothing
  }
  return chunk;
}

bool WindowsConsoleCalls::ChildEnded() {
  if (!process_.IsValid()) return true;
  // Anything but "still running" counts as ended, so that a handle the wait
  // cannot use never keeps the runner in its loop.
  return ::WaitForSingleObject(process_.Get(), 0) != WAIT_TIMEOUT;
}

void WindowsConsoleCalls::WaitForMessageOrChildEnd(int timeoutMs) {
  if (!process_.IsValid()) return;
  HANDLE process = process_.Get();
  // Plain MsgWaitForMultipleObjects wakes for messages that arrived since the
  // thread last looked at its queue. ProcessPendingEvents has just handled all
  // of them except a quit request, which it leaves for the main loop; with
  // MWMO_INPUTAVAILABLE that waiting quit request would wake every wait at
  // once and the runner would spin.
  ::MsgWaitForMultipleObjects(1, &process, FALSE, static_cast<DWORD>(timeoutMs), QS_ALLINPUT);
}

void WindowsConsoleCalls::ProcessPendingEvents() {
  ::ProcessPendingEvents();
}

Text RunConsoleCommand(const Text& commandLine) {
  WindowsConsoleCalls calls;
  return RunConsoleCommand(commandLine, OsKind(), calls);
}
