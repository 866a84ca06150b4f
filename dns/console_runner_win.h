// The kernel calls of the console runner on Windows. Declared in a header so
// that the Windows-layer tests can wrap them to force an order of events (for
// instance, a child that writes after the runner's last empty peek).
// Implementation here must contain only Win32 specific code.
#pragma once

#include "core/win32.h"
#include "dns/console_runner.h"

class WindowsConsoleCalls final : public ConsoleCalls {
 public:
  void CreateOutputPipe() override;
  void StartChild(const Text& fullCommandLine) override;
  void CloseWriteEnd() override;
  int PeekWaitingBytes() override;
  ByteArray ReadChunk(int count) override;
  bool ChildEnded() override;
  void WaitForMessageOrChildEnd(int timeoutMs) override;
  void ProcessPendingEvents() override;

 private:
  ScopedHandle readEnd_;
  ScopedHandle writeEnd_;
  ScopedHandle process_;
  ScopedHandle thread_;
};
