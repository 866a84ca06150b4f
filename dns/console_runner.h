// The console command runner: runs one command line through the command
// interpreter as a hidden child process and returns, as one Text, everything
// the child wrote to its standard output and standard error.
//
// The composition of the command line and the decisions of the wait loop are
// plain logic over the ConsoleCalls seam, so that they are tested natively with
// a fake; the kernel calls behind the seam live in console_runner_win.cpp.
#pragma once

#include "core/text.h"

// The interpreter prefix chosen by OsKind followed directly by commandLine:
// "cmd.exe /c " on the NT family (a code above 2), "command.com /c " for any
// other code. Nothing is quoted or escaped.
Text ComposeConsoleCommandLine(int osKind, const Text& commandLine);

// The longest sleep of one pass while the pipe is empty and the child runs.
// Output that arrives during the sleep waits at most this long to be read; a
// window message or the end of the child wakes the runner at once.
inline constexpr int kLongestOutputWaitMs = 50;

// How long one pass sleeps when it found the pipe empty and the child running,
// given how many passes in a row found it so (1 for the first such pass): 0 ms
// for the first kQuickEmptyPasses, then 1, 2, 4 ... ms up to
// kLongestOutputWaitMs. A child that writes a lot blocks in each write until
// the runner has read the pipe, and its next write usually lands just after
// the runner's next peek; with a fixed sleep every chunk would wait out the
// whole bound (Windows also rounds short sleeps up to its timer tick of about
// 15.6 ms). A quiet child (netsh at work, a sleeping child) keeps the runner at
// the longest sleep, which costs next to no processor time.
inline constexpr int kQuickEmptyPasses = 4;
int OutputWaitMs(int emptyPassesInARow);

// The kernel calls of one run of a console command. One object serves one call
// of RunConsoleCommand and closes whatever it opened when it is destroyed.
// Failures are translated here into the runner's silent outcomes: a failed
// peek counts as nothing waiting, a failed read as a chunk of zero bytes.
class ConsoleCalls {
 public:
  virtual ~ConsoleCalls() = default;

  // Makes one anonymous pipe for the child's standard output and standard
  // error. When it fails, the child starts with empty standard handles.
  virtual void CreateOutputPipe() = 0;
  // Starts the child hidden, without standard input, writing into the pipe.
  // When it fails, there is no child: ChildEnded answers true.
  virtual void StartChild(const Text& fullCommandLine) = 0;
  // Closes the runner's copy of the pipe's write end.
  virtual void CloseWriteEnd() = 0;
  // The number of bytes waiting in the pipe, without removing them; 0 when the
  // peek fails (as it does once every writer has gone and the pipe is empty).
  virtual int PeekWaitingBytes() = 0;
  // Reads count bytes into a buffer of count zero bytes and returns it; bytes
  // the read did not fill stay zero.
  virtual ByteArray ReadChunk(int count) = 0;
  // True once the child's process has ended, or when no child was started.
  // Told from the process itself, never from its exit code.
  virtual bool ChildEnded() = 0;
  // Sleeps until a window message arrives for this thread, the child ends or
  // timeoutMs has passed, whichever comes first.
  virtual void WaitForMessageOrChildEnd(int timeoutMs) = 0;
  // Handles the window messages waiting at this moment.
  virtual void ProcessPendingEvents() = 0;
};

// Runs fullCommandLine = ComposeConsoleCommandLine(osKind, commandLine) through
// calls and returns the texts of all chunks read, joined in the order read.
// Empty when the child wrote nothing, could not be started or the pipe could
// not be made.
Text RunConsoleCommand(const Text& commandLine, int osKind, ConsoleCalls& calls);

// The program's runner: OsKind and the platform's calls. On Windows the real
// child process; the native build has no command interpreter and gives the
// empty text, as when the interpreter cannot be started.
Text RunConsoleCommand(const Text& commandLine);

// What the DNS presets call on to run a console command: the program's runner
// in the program, a recording fake in tests.
class CommandRunner {
 public:
  virtual ~CommandRunner() = default;
  virtual Text RunConsoleCommand(const Text& commandLine) = 0;
};

class ConsoleCommandRunner final : public CommandRunner {
 public:
  Text RunConsoleCommand(const Text& commandLine) override {
    return ::RunConsoleCommand(commandLine);
  }
};
