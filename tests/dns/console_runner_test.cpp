// The console runner's logic with a scripted fake of the kernel calls: the
// command line by OsKind, the order of peeks, reads and the end, the final
// drain, the chunk conversion and the waits.
#include "dns/console_runner.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace {

// A child process in a script: every wait lets it take its next step (write
// some bytes, or end). Each call is logged as one short line.
class FakeConsoleCalls : public ConsoleCalls {
 public:
  struct Step {
    std::string write;
    bool end = false;
  };

  bool pipeFails = false;
  bool startFails = false;
  bool childRunning = true;
  std::deque<Step> script;
  // How many bytes a read fills at most (the rest of its buffer stays zero).
  int readFillsAtMost = 1 << 30;
  // Runs when the end of the child is asked, before the answer.
  std::function<void()> onChildEndedAsked;

  std::string pipe;
  std::vector<std::string> log;
  Text startedLine;

  void CreateOutputPipe() override { log.push_back(pipeFails ? "pipe failed" : "pipe"); }
  void StartChild(const Text& fullCommandLine) override {
    startedLine = fullCommandLine;
    if (startFails) childRunning = false;
    log.push_back(startFails ? "start failed" : "start");
  }
  void CloseWriteEnd() override { log.push_back("close write end"); }
  int PeekWaitingBytes() override {
    const int waiting = pipeFails ? 0 : static_cast<int>(pipe.size());
    log.push_back("peek " + std::to_string(waiting));
    return waiting;
  }
  ByteArray ReadChunk(int count) override {
    log.push_back("read " + std::to_string(count));
    ByteArray chunk = BlankBytes(count);
    const std::size_t filled = std::min<std::size_t>(
        {static_cast<std::size_t>(count), pipe.size(), static_cast<std::size_t>(readFillsAtMost)});
    std::copy_n(pipe.begin(), filled, chunk.begin());
    pipe.erase(0, filled);
    return chunk;
  }
  bool ChildEnded() override {
    if (onChildEndedAsked) std::exchange(onChildEndedAsked, nullptr)();
    log.push_back(childRunning ? "running" : "ended");
    return !childRunning;
  }
  void WaitForMessageOrChildEnd(int timeoutMs) override {
    log.push_back("wait " + std::to_string(timeoutMs));
    if (script.empty()) return;
    const Step step = script.front();
    script.pop_front();
    if (!pipeFails) pipe += step.write;
    if (step.end) childRunning = false;
  }
  void ProcessPendingEvents() override { log.push_back("events"); }
};

using Log = std::vector<std::string>;

TEST(ComposeConsoleCommandLine, PicksTheInterpreterByOsKind) {
  const struct {
    int osKind;
    const char* expected;
  } cases[] = {
      {3, "cmd.exe /c netsh interface ip show dns"},
      {4, "cmd.exe /c netsh interface ip show dns"},
      {2, "command.com /c netsh interface ip show dns"},
      {1, "command.com /c netsh interface ip show dns"},
      {0, "command.com /c netsh interface ip show dns"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.osKind);
    EXPECT_EQ(ComposeConsoleCommandLine(c.osKind, "netsh interface ip show dns"), Text(c.expected));
  }
}

TEST(ComposeConsoleCommandLine, KeepsTheCallersBytesUnquoted) {
  EXPECT_EQ(
      ComposeConsoleCommandLine(3, "cmd /c netsh interface ip set dns 本地连接 static 1.2.4.8"),
      Text("cmd.exe /c cmd /c netsh interface ip set dns 本地连接 static 1.2.4.8"));
}

TEST(RunConsoleCommand, StartsTheComposedLineAndClosesTheWriteEndBeforeReading) {
  FakeConsoleCalls calls;
  calls.childRunning = false;
  RunConsoleCommand("netsh", 3, calls);
  EXPECT_EQ(calls.startedLine, Text("cmd.exe /c netsh"));
  ASSERT_GE(calls.log.size(), 4u);
  EXPECT_EQ(Log(calls.log.begin(), calls.log.begin() + 4),
            (Log{"pipe", "start", "close write end", "peek 0"}));
}

TEST(RunConsoleCommand, DrainsOutputBeforeAskingForTheEnd) {
  FakeConsoleCalls calls;
  calls.pipe = "已写完";
  calls.childRunning = false;  // ended before the first pass
  EXPECT_EQ(RunConsoleCommand("x", 3, calls), Text("已写完"));
  EXPECT_EQ(calls.log, (Log{"pipe", "start", "close write end", "peek 6", "read 6", "events",
                            "peek 0", "ended", "peek 0"}));
}

TEST(RunConsoleCommand, ReadsOutputWrittenAfterTheLastEmptyPeek) {
  // The child writes and ends between the pass that found the pipe empty and
  // the question whether it still runs: one more pass reads what it wrote.
  FakeConsoleCalls calls;
  calls.onChildEndedAsked = [&calls] {
    calls.pipe += "确定。\r\n";
    calls.childRunning = false;
  };
  EXPECT_EQ(RunConsoleCommand("x", 3, calls), Text("确定。\r\n"));
  EXPECT_EQ(Log(calls.log.begin() + 3, calls.log.end()),
            (Log{"peek 0", "ended", "peek 8", "read 8", "events", "peek 0"}));
}

TEST(RunConsoleCommand, KeepsDrainingAfterTheEndUntilThePipeIsEmpty) {
  // Reads that fill only part of their buffer: the unfilled bytes stay zero
  // and end that chunk's text; the bytes left in the pipe come in later passes,
  // also after the child has ended.
  FakeConsoleCalls calls;
  calls.readFillsAtMost = 3;
  calls.onChildEndedAsked = [&calls] {
    calls.pipe += "123456";
    calls.childRunning = false;
  };
  EXPECT_EQ(RunConsoleCommand("x", 3, calls), Text("123456"));
  EXPECT_EQ(Log(calls.log.begin() + 3, calls.log.end()),
            (Log{"peek 0", "ended", "peek 6", "read 6", "events", "peek 3", "read 3", "events",
                 "peek 0"}));
}

TEST(RunConsoleCommand, GivesEmptyTextAfterOnePassWhenTheChildCannotStart) {
  FakeConsoleCalls calls;
  calls.startFails = true;
  EXPECT_EQ(RunConsoleCommand("x", 1, calls), Text());
  // No wait and no event handling: the first pass ends the loop (its second
  // peek is the final drain).
  EXPECT_EQ(calls.log,
            (Log{"pipe", "start failed", "close write end", "peek 0", "ended", "peek 0"}));
}

TEST(RunConsoleCommand, GivesEmptyTextWhenThePipeFails) {
  {
    SCOPED_TRACE("child already ended: one pass");
    FakeConsoleCalls calls;
    calls.pipeFails = true;
    calls.childRunning = false;
    EXPECT_EQ(RunConsoleCommand("x", 3, calls), Text());
    EXPECT_EQ(calls.log,
              (Log{"pipe failed", "start", "close write end", "peek 0", "ended", "peek 0"}));
  }
  {
    SCOPED_TRACE("child still running: waits for its end");
    FakeConsoleCalls calls;
    calls.pipeFails = true;
    calls.script = {{"lost", false}, {"", true}};
    EXPECT_EQ(RunConsoleCommand("x", 3, calls), Text());
    EXPECT_EQ(calls.script.size(), 0u);
    EXPECT_EQ(calls.log.back(), "peek 0");
  }
}

TEST(RunConsoleCommand, JoinsChunksEachUpToItsFirstZeroByte) {
  const struct {
    const char* name;
    std::vector<std::string> writes;  // one chunk each
    const char* expected;
  } cases[] = {
      {"no zero", {"甲", "乙"}, "甲乙"},
      {"zero inside a chunk", {std::string("ab\0cd", 5), "ef"}, "abef"},
      {"chunk starting with zero", {std::string("\0x", 2), "y"}, "y"},
      {"stdout and stderr as written", {"out\r\n", "err\r\n", "out\r\n"}, "out\r\nerr\r\nout\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeConsoleCalls calls;
    for (const std::string& write : c.writes) calls.script.push_back({write, false});
    calls.script.push_back({"", true});
    EXPECT_EQ(RunConsoleCommand("x", 3, calls), Text(c.expected));
  }
}

TEST(RunConsoleCommand, SleepsLongerWhileTheChildIsQuietAndShortAfterOutput) {
  FakeConsoleCalls calls;
  for (int i = 0; i < 12; ++i) calls.script.push_back({});
  calls.script.push_back({"x", false});
  calls.script.push_back({});
  calls.script.push_back({"", true});
  EXPECT_EQ(RunConsoleCommand("x", 3, calls), Text("x"));

  std::vector<std::string> waits;
  for (const std::string& line : calls.log) {
    if (line.rfind("wait ", 0) == 0) waits.push_back(line.substr(5));
  }
  EXPECT_EQ(waits, (std::vector<std::string>{"0", "0", "0", "0", "1", "2", "4", "8", "16", "32",
                                             "50", "50", "50", "0", "0"}));
  // Every wait and every read is followed by handling the window's events.
  for (std::size_t i = 0; i + 1 < calls.log.size(); ++i) {
    if (calls.log[i].rfind("wait ", 0) == 0 || calls.log[i].rfind("read ", 0) == 0) {
      EXPECT_EQ(calls.log[i + 1], "events") << "after line " << i << ": " << calls.log[i];
    }
  }
}

TEST(OutputWaitMs, NeverSleepsLongerThanTheBound) {
  for (int passes = 1; passes < 200; ++passes) {
    EXPECT_LE(OutputWaitMs(passes), kLongestOutputWaitMs) << passes;
    EXPECT_LE(OutputWaitMs(passes), OutputWaitMs(passes + 1)) << passes;
  }
  EXPECT_EQ(OutputWaitMs(1000000), kLongestOutputWaitMs);
}

}  // namespace
