// SetDnsServers and the DNS buttons' click handler over a recording command
// runner and the recording view: the commands of each preset, the success
// rule, the error text, and the handler's whole sequence for success and
// failure.
#include "dns/dns_presets.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "tests/support/fake_view.h"

namespace {

// Answers each command with the next scripted output (empty when none is
// left) and logs it, into the view's log when one is given, so that the
// order of view calls and commands shows in one list.
class FakeCommandRunner : public CommandRunner {
 public:
  explicit FakeCommandRunner(std::vector<std::string>* log) : log_(log) {}

  std::deque<Text> outputs;

  Text RunConsoleCommand(const Text& commandLine) override {
    log_->push_back("Run " + commandLine.bytes());
    if (outputs.empty()) return Text();
    Text output = outputs.front();
    outputs.pop_front();
    return output;
  }

 private:
  std::vector<std::string>* log_;
};

using Log = std::vector<std::string>;

constexpr const char* kConfirmed = "确定。\r\n";
constexpr const char* kRefused = "请求的操作需要提升。\r\n";

TEST(SetDnsServers, RunsTheSetCommandThenTheAddCommandOnTheConnection) {
  const struct {
    const char* name;
    std::optional<Text> connectionName;
    Log expected;
  } cases[] = {
      {"left out: 本地连接",
       std::nullopt,
       {"Run cmd /c netsh interface ip set dns 本地连接 static 1.2.4.8",
        "Run cmd /c netsh interface ip add dns 本地连接 223.6.6.6"}},
      {"given, inserted unquoted",
       Text("无线网络连接 2"),
       {"Run cmd /c netsh interface ip set dns 无线网络连接 2 static 1.2.4.8",
        "Run cmd /c netsh interface ip add dns 无线网络连接 2 223.6.6.6"}},
      {"given empty",
       Text(),
       {"Run cmd /c netsh interface ip set dns  static 1.2.4.8",
        "Run cmd /c netsh interface ip add dns  223.6.6.6"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Log log;
    FakeCommandRunner runner(&log);
    SetDnsServers("1.2.4.8", "223.6.6.6", runner, c.connectionName);
    EXPECT_EQ(log, c.expected);
  }
}

TEST(SetDnsServers, SucceedsOnlyWhenBothOutputsHoldTheMarker) {
  const struct {
    const char* name;
    const char* first;
    const char* second;
    bool expected;
  } cases[] = {
      {"both confirmed", kConfirmed, kConfirmed, true},
      {"marker inside longer output", "正在设置……\r\n确定。\r\n", "确定", true},
      {"only the first", kConfirmed, kRefused, false},
      {"only the second", kRefused, kConfirmed, false},
      {"neither", kRefused, kRefused, false},
      {"English netsh", "Ok.\r\n", "Ok.\r\n", false},
      {"interpreter missing", "", "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Log log;
    FakeCommandRunner runner(&log);
    runner.outputs = {c.first, c.second};
    EXPECT_EQ(SetDnsServers("1.2.4.8", "223.6.6.6", runner), c.expected);
  }
}

TEST(SetDnsServers, LeavesTheErrorTextAloneOnSuccess) {
  Log log;
  FakeCommandRunner runner(&log);
  runner.outputs = {kConfirmed, kConfirmed};
  Text errorText("旧值");
  EXPECT_TRUE(SetDnsServers("1.2.4.8", "223.6.6.6", runner, std::nullopt, &errorText));
  EXPECT_EQ(errorText, Text("旧值"));
}

TEST(SetDnsServers, JoinsBothOutputsLessOneLineBreakEachIntoTheErrorText) {
  const struct {
    const char* name;
    const char* first;
    const char* second;
    const char* expected;
  } cases[] = {
      {"two lines and one line: the second joins the last line of the first",
       "第一行\r\n第二行\r\n", "一行\r\n", "第一行\r\n第二行一行"},
      {"two breaks in a row: the earlier goes, the final one stays", "甲\r\n\r\n", "乙\r\n\r\n",
       "甲\r\n乙\r\n"},
      {"no break: unchanged", "甲", "乙", "甲乙"},
      {"break inside, none at the end", "a\r\nb", "c", "abc"},
      {"only a break", "\r\n", "\r\n", ""},
      {"break before a double-byte last line", "系统找不到指定的文件。\r\n错误\r\n", "",
       "系统找不到指定的文件。\r\n错误"},
      {"interpreter missing", "", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Log log;
    FakeCommandRunner runner(&log);
    runner.outputs = {c.first, c.second};
    Text errorText("旧值");
    EXPECT_FALSE(SetDnsServers("1.2.4.8", "223.6.6.6", runner, std::nullopt, &errorText));
    EXPECT_EQ(errorText, Text(c.expected));
  }
}

TEST(CutOneLineBreak, RemovesTheBreakStartingAtOrAfterTwoBytesBeforeTheLast) {
  const struct {
    const char* input;
    const char* expected;
  } cases[] = {
      {"a\r\nb\r\n", "a\r\nb"}, {"a\r\n\r\n", "a\r\n"}, {"a\r\n\r\n\r\n", "a\r\n\r\n"},
      {"ab\r\nc", "abc"},       {"abc", "abc"},         {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    EXPECT_EQ(CutOneLineBreak(c.input), Text(c.expected));
  }
}

const Text kWarning = "修改DNS会被360阻止，信任即可\r\n修改时间大概需要三秒钟";
const Text kSuccess = "修改成功程序自动屏蔽按键\r\n如需更换DNS重新打开本软件即可";

std::string Line(const Text& text) {
  return text.bytes();
}

TEST(OnDnsButtonClicked, RunsEachButtonsPresetAndKeepsTheButtonsDisabledAfterSuccess) {
  const struct {
    Control button;
    const char* primary;
    const char* secondary;
    Log disabled;
  } cases[] = {
      {Control::按钮2,
       "123.125.81.6",
       "223.5.5.5",
       {"DisableControl 按钮2", "DisableControl 按钮3", "DisableControl 按钮4"}},
      {Control::按钮3,
       "1.2.4.8",
       "223.6.6.6",
       {"DisableControl 按钮3", "DisableControl 按钮2", "DisableControl 按钮4"}},
      {Control::按钮4,
       "1.2.4.8",
       "114.114.114.114",
       {"DisableControl 按钮4", "DisableControl 按钮2", "DisableControl 按钮3"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Line(ControlName(c.button)));
    FakeView view;
    FakeCommandRunner runner(&view.calls);
    runner.outputs = {kConfirmed, kConfirmed};
    OnDnsButtonClicked(c.button, view, runner);

    Log expected = {Line("ShowMessage 注意 " + kWarning)};
    expected.insert(expected.end(), c.disabled.begin(), c.disabled.end());
    expected.push_back(
        Line(Text("Run cmd /c netsh interface ip set dns 本地连接 static ") + c.primary));
    expected.push_back(Line(Text("Run cmd /c netsh interface ip add dns 本地连接 ") + c.secondary));
    expected.push_back(Line("ShowMessage 恭喜 " + kSuccess));
    EXPECT_EQ(view.calls, expected);
  }
}

TEST(OnDnsButtonClicked, ShowsTheFailureWithNetshsOutputAndEnablesTheButtonsAgain) {
  FakeView view;
  FakeCommandRunner runner(&view.calls);
  runner.outputs = {kConfirmed, "没有这样的接口。\r\n\r\n"};
  OnDnsButtonClicked(Control::按钮3, view, runner);
  EXPECT_EQ(view.calls, (Log{Line("ShowMessage 注意 " + kWarning), "DisableControl 按钮3",
                             "DisableControl 按钮2", "DisableControl 按钮4",
                             "Run cmd /c netsh interface ip set dns 本地连接 static 1.2.4.8",
                             "Run cmd /c netsh interface ip add dns 本地连接 223.6.6.6",
                             "ShowMessage 失败 DNS修改失败：\r\n确定。没有这样的接口。\r\n",
                             "EnableControl 按钮2", "EnableControl 按钮3", "EnableControl 按钮4"}));
}

TEST(OnDnsButtonClicked, ShowsAnEmptyFailureWhenTheInterpreterIsMissing) {
  FakeView view;
  FakeCommandRunner runner(&view.calls);
  OnDnsButtonClicked(Control::按钮2, view, runner);
  ASSERT_GE(view.calls.size(), 4u);
  EXPECT_EQ(view.calls[view.calls.size() - 4], "ShowMessage 失败 DNS修改失败：\r\n");
}

TEST(OnDnsButtonClicked, StartsTheChangeOnlyAfterTheWarningIsClosed) {
  // While the warning is open, nothing has run and no button is disabled yet.
  FakeView view;
  FakeCommandRunner runner(&view.calls);
  runner.outputs = {kConfirmed, kConfirmed};
  std::size_t callsWhileWarningOpen = 0;
  view.whileMessageShown = [&](const Text&, const Text& title) {
    if (title == Text("注意")) callsWhileWarningOpen = view.calls.size();
  };
  OnDnsButtonClicked(Control::按钮4, view, runner);
  EXPECT_EQ(callsWhileWarningOpen, 1u);
}

TEST(OnDnsButtonClicked, IgnoresOtherControls) {
  FakeView view;
  FakeCommandRunner runner(&view.calls);
  OnDnsButtonClicked(Control::按钮1, view, runner);
  EXPECT_TRUE(view.calls.empty());
}

}  // namespace
