// The console runner's platform-free part: the command line by OsKind, the
// chunk conversion and the decisions of the wait loop. The kernel calls sit
// behind ConsoleCalls (console_runner_win.cpp on Windows).
#include "dns/console_runner.h"

#include <algorithm>

Text ComposeConsoleCommandLine(int osKind, const Text& commandLine) {
  // Above 2 is the NT family; Win32s, the Windows 95 family and an unknown
  // platform get the DOS interpreter.
  const Text prefix = osKind > 2 ? Text("cmd.exe /c ") : Text("command.com /c ");
  return prefix + commandLine;
}

int OutputWaitMs(int emptyPassesInARow) {
  if (emptyPassesInARow <= kQuickEmptyPasses) return 0;
  const int doublings = std::min(emptyPassesInARow - kQuickEmptyPasses - 1, 6);
  return std::min(1 << doublings, kLongestOutputWaitMs);
}

Text RunConsoleCommand(const Text& commandLine, int osKind, ConsoleCalls& calls) {
  calls.CreateOutputPipe();
  calls.StartChild(ComposeConsoleCommandLine(osKind, commandLine));
  // From here on only the child and the programs it starts hold the write end,
  // whether or not the child started.
  calls.CloseWriteEnd();

  Text output;
  int emptyPassesInARow = 0;
  bool childEnded = false;
  for (;;) {
    // Output is drained before the end of the child is looked at: the end is
    // asked only in a pass that found the pipe empty.
    const int waiting = calls.PeekWaitingBytes();
    if (waiting > 0) {
      // Each chunk counts up to its first zero byte; the bytes after it (and
      // any the read did not fill) are dropped, later chunks still count.
      output += ToText(calls.ReadChunk(waiting));
      emptyPassesInARow = 0;
      calls.ProcessPendingEvents();
      continue;
    }
    // The pipe was found empty after the child had ended: all it wrote is in.
    if (childEnded) break;
    // The end is told from the process, not from an exit code of 259
    // (STILL_ACTIVE), which a child may well end with. Output written between
    // the empty peek above and the child's end is still in the pipe, so one
    // more pass drains it before the loop is left.
    if (calls.ChildEnded()) {
      childEnded = true;
      continue;
    }
    ++emptyPassesInARow;
    calls.WaitForMessageOrChildEnd(OutputWaitMs(emptyPassesInARow));
    calls.ProcessPendingEvents();
  }
  return output;
}
