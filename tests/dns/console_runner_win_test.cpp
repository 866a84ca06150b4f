// The console runner on the real Windows calls with the real command
// interpreter. The test binary is also the child program: started with
// "--zq-dns-child <action> ..." it does that action and exits before
// GoogleTest starts, so no helper program is needed.
#include "dns/console_runner_win.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>

#include "core/system.h"
#include "core/win32.h"
#include "dns/console_runner.h"

namespace {

constexpr std::string_view kChildFlag = "--zq-dns-child ";

// --- The child side ----------------------------------------------------------

void WriteTo(DWORD stdHandle, std::string_view bytes) {
  DWORD written = 0;
  ::WriteFile(::GetStdHandle(stdHandle), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
              nullptr);
}

void WaitForEvent(const std::string& name) {
  ScopedHandle event(::OpenEventA(SYNCHRONIZE, FALSE, name.c_str()));
  if (event.IsValid()) ::WaitForSingleObject(event.Get(), 60000);
}

// The bytes of the large-output case: lines of 62 letters and digits.
std::string LargeOutput(std::size_t size) {
  static constexpr std::string_view kLine =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789\r\n";
  std::string bytes;
  bytes.reserve(size);
  while (bytes.size() < size) bytes += kLine;
  bytes.resize(size);
  return bytes;
}

// The line after the flag, as the child reads it through the ANSI API: on a
// code page 936 system these are the bytes the runner was given.
int ActAsChild(std::string_view arguments) {
  const std::size_t blank = arguments.find(' ');
  const std::string_view action = arguments.substr(0, blank);
  const std::string rest(blank == std::string_view::npos ? "" : arguments.substr(blank + 1));
  if (action == "silent") return 0;
  if (action == "interleave") {
    WriteTo(STD_OUTPUT_HANDLE, "out 1\r\n");
    WriteTo(STD_ERROR_HANDLE, "err 1\r\n");
    WriteTo(STD_OUTPUT_HANDLE, "out 2\r\n");
    WriteTo(STD_ERROR_HANDLE, "err 2\r\n");
    return 0;
  }
  if (action == "echo") {
    WriteTo(STD_OUTPUT_HANDLE, rest);
    return 0;
  }
  if (action == "zero") {  // rest: the event that says the first chunk was read
    WriteTo(STD_OUTPUT_HANDLE, std::string_view("ab\0cd", 5));
    WaitForEvent(rest);
    WriteTo(STD_OUTPUT_HANDLE, "ef");
    return 0;
  }
  if (action == "late") {  // rest: the event that says the runner found the pipe empty
    WaitForEvent(rest);
    WriteTo(STD_OUTPUT_HANDLE, "写在结束之前\r\n");
    return 0;
  }
  if (action == "large") {  // rest: the size; written 4 KiB at a time, as a C runtime does
    const std::string bytes = LargeOutput(std::strtoul(rest.c_str(), nullptr, 10));
    for (std::size_t at = 0; at < bytes.size(); at += 4096) {
      WriteTo(STD_OUTPUT_HANDLE, std::string_view(bytes).substr(at, 4096));
    }
    return 0;
  }
  if (action == "sleep") {  // rest: milliseconds
    ::Sleep(std::strtoul(rest.c_str(), nullptr, 10));
    WriteTo(STD_OUTPUT_HANDLE, "awake\r\n");
    return 0;
  }
  return 99;
}

// Runs before GoogleTest's main: when this process was started as a child,
// it acts and ends here.
const bool kStartedAsChild = [] {
  const std::string_view line = ::GetCommandLineA();
  const std::size_t flag = line.find(kChildFlag);
  if (flag == std::string_view::npos) return false;
  ::ExitProcess(static_cast<UINT>(ActAsChild(line.substr(flag + kChildFlag.size()))));
}();

// --- The test side -----------------------------------------------------------

// The command line that starts this binary as a child doing action.
Text Child(const Text& action) {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  // Unquoted, as the DNS commands are: the build tree's path has no blanks.
  return TextFromWide(path) + " " + Text(std::string(kChildFlag)) + action;
}

// A named event, unique to this process, that a child can wait for.
class ChildSignal {
 public:
  explicit ChildSignal(const char* what)
      : name_(std::string("zq-dns-test-") + what + "-" + std::to_string(::GetCurrentProcessId())),
        event_(::CreateEventA(nullptr, TRUE, FALSE, name_.c_str())) {}
  const std::string& Name() const { return name_; }
  void Set() { ::SetEvent(event_.Get()); }

 private:
  std::string name_;
  ScopedHandle event_;
};

// The real calls, with hooks to force an order of events.
class HookedCalls : public ConsoleCalls {
 public:
  std::function<void()> afterRead;       // once, after the first read
  std::function<void()> beforeEndAsked;  // once, before the end is first asked
  int endAsked = 0;
  int waits = 0;
  int reads = 0;
  WindowsConsoleCalls real;

  void CreateOutputPipe() override { real.CreateOutputPipe(); }
  void StartChild(const Text& fullCommandLine) override { real.StartChild(fullCommandLine); }
  void CloseWriteEnd() override { real.CloseWriteEnd(); }
  int PeekWaitingBytes() override { return real.PeekWaitingBytes(); }
  ByteArray ReadChunk(int count) override {
    ByteArray chunk = real.ReadChunk(count);
    ++reads;
    if (afterRead) std::exchange(afterRead, nullptr)();
    return chunk;
  }
  bool ChildEnded() override {
    ++endAsked;
    if (beforeEndAsked) std::exchange(beforeEndAsked, nullptr)();
    return real.ChildEnded();
  }
  void WaitForMessageOrChildEnd(int timeoutMs) override {
    ++waits;
    real.WaitForMessageOrChildEnd(timeoutMs);
  }
  void ProcessPendingEvents() override { real.ProcessPendingEvents(); }
};

// The exit code of a command line run directly, to check what a case relies on.
DWORD ExitCodeOf(const Text& commandLine) {
  std::wstring line = WideFromText(commandLine);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
    return 0xFFFFFFFF;
  }
  ScopedHandle process(info.hProcess);
  ScopedHandle thread(info.hThread);
  ::WaitForSingleObject(process.Get(), 60000);
  DWORD code = 0;
  ::GetExitCodeProcess(process.Get(), &code);
  return code;
}

double Seconds(const FILETIME& time) {
  ULARGE_INTEGER value;
  value.LowPart = time.dwLowDateTime;
  value.HighPart = time.dwHighDateTime;
  return static_cast<double>(value.QuadPart) / 1e7;
}

double ProcessCpuSeconds() {
  FILETIME created, exited, kernel, user;
  ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
  return Seconds(kernel) + Seconds(user);
}

double WallSeconds() {
  LARGE_INTEGER now, frequency;
  ::QueryPerformanceCounter(&now);
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

TEST(ConsoleRunnerOnWindows, ReturnsEmptyTextForACommandThatWritesNothing) {
  EXPECT_EQ(RunConsoleCommand(Child("silent")), Text());
}

TEST(ConsoleRunnerOnWindows, CollectsStandardOutputAndErrorInTheOrderWritten) {
  EXPECT_EQ(RunConsoleCommand(Child("interleave")), Text("out 1\r\nerr 1\r\nout 2\r\nerr 2\r\n"));
}

TEST(ConsoleRunnerOnWindows, HandsTheCommandLinesGbkBytesToTheChild) {
  // Through "cmd.exe /c" to a program that reads its line through the ANSI
  // API (the code page is 936 here, as on a Chinese Windows).
  ASSERT_EQ(::GetACP(), 936u);
  EXPECT_EQ(RunConsoleCommand(Child("echo set dns 本地连接 static 1.2.4.8")),
            Text("set dns 本地连接 static 1.2.4.8"));
}

TEST(ConsoleRunnerOnWindows, EndsAChunksTextAtItsZeroByteAndKeepsLaterChunks) {
  // The child writes its second chunk only after the runner has read the
  // first, so the two cannot arrive as one chunk.
  ChildSignal firstChunkRead("zero");
  HookedCalls calls;
  calls.afterRead = [&] { firstChunkRead.Set(); };
  EXPECT_EQ(RunConsoleCommand(Child(Text("zero ") + firstChunkRead.Name()), OsKind(), calls),
            Text("abef"));
}

TEST(ConsoleRunnerOnWindows, ReadsOutputWrittenJustBeforeTheChildEnds) {
  // The child writes only after the runner has found the pipe empty and
  // before the runner asks whether it ended; the hook waits for that end. The
  // output is then read by the drain after the end.
  ChildSignal pipeFoundEmpty("late");
  HookedCalls calls;
  calls.beforeEndAsked = [&] {
    pipeFoundEmpty.Set();
    for (int i = 0; i < 6000 && !calls.real.ChildEnded(); ++i) ::Sleep(10);
  };
  EXPECT_EQ(RunConsoleCommand(Child(Text("late ") + pipeFoundEmpty.Name()), OsKind(), calls),
            Text("写在结束之前\r\n"));
}

TEST(ConsoleRunnerOnWindows, CollectsOutputOfSeveralMebibytesWhole) {
  constexpr std::size_t kSize = 4u << 20;
  const double start = WallSeconds();
  HookedCalls calls;
  const Text output =
      RunConsoleCommand(Child("large " + ToText(static_cast<int>(kSize))), OsKind(), calls);
  const double seconds = WallSeconds() - start;
  std::printf("[ figure ] %d reads, %d waits\n", calls.reads, calls.waits);
  ASSERT_EQ(output.size(), kSize);
  EXPECT_TRUE(output.bytes() == LargeOutput(kSize));
  std::printf("[ figure ] %zu bytes in 4 KiB writes collected in %.2f s (%.1f MiB/s)\n", kSize,
              seconds, static_cast<double>(kSize) / (1 << 20) / seconds);
}

TEST(ConsoleRunnerOnWindows, EndsForAChildWhoseExitCodeIs259) {
  // 259 is STILL_ACTIVE: a runner that asks GetExitCodeProcess whether the
  // child runs would wait for this one for ever. The interpreter itself ends
  // with 259 here (Wine's cmd turns a program's 259 into 0).
  const Text command = "echo bye& exit 259";
  ASSERT_EQ(ExitCodeOf(ComposeConsoleCommandLine(3, command)), STILL_ACTIVE);
  EXPECT_EQ(RunConsoleCommand(command), Text("bye\r\n"));
}

TEST(ConsoleRunnerOnWindows, GivesEmptyTextAfterOnePassWhenTheInterpreterIsMissing) {
  // OsKind 1 picks "command.com", which this system does not have.
  ASSERT_EQ(::SearchPathW(nullptr, L"command.com", nullptr, 0, nullptr, nullptr), 0u);
  HookedCalls calls;
  EXPECT_EQ(RunConsoleCommand(Child("echo 不该出现"), 1, calls), Text());
  EXPECT_EQ(calls.endAsked, 1);
  EXPECT_EQ(calls.waits, 0);
}

// A thread timer stands for the window's timers and clicks: its ticks are
// handled during the wait, and the first one runs a whole nested command.
int ticks = 0;
Text nestedOutput;

void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
  if (++ticks == 1) nestedOutput = RunConsoleCommand(Child("echo 嵌套"));
}

TEST(ConsoleRunnerOnWindows, HandlesWindowMessagesAndNestedCommandsWhileTheChildRuns) {
  ticks = 0;
  nestedOutput = Text();
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, OnTick);
  ASSERT_NE(timer, 0u);
  const Text output = RunConsoleCommand(Child("sleep 1000"));
  ::KillTimer(nullptr, timer);
  EXPECT_EQ(output, Text("awake\r\n"));
  EXPECT_EQ(nestedOutput, Text("嵌套"));
  EXPECT_GE(ticks, 2);
}

TEST(ConsoleRunnerOnWindows, UsesLittleProcessorTimeWhileTheChildSleeps) {
  const double cpuBefore = ProcessCpuSeconds();
  const double wallBefore = WallSeconds();
  const Text output = RunConsoleCommand(Child("sleep 3000"));
  const double cpu = ProcessCpuSeconds() - cpuBefore;
  const double wall = WallSeconds() - wallBefore;
  EXPECT_EQ(output, Text("awake\r\n"));
  std::printf(
      "[ figure ] runner's process used %.3f s of processor time in %.2f s: %.1f%% of "
      "one core\n",
      cpu, wall, 100.0 * cpu / wall);
  // A runner that spins keeps a core busy (under Wine about a third of it
  // shows in this process, the rest in wineserver); waiting uses about 1%.
  EXPECT_LT(cpu / wall, 0.10);
}

}  // namespace
