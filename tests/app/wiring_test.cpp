// The event wiring: which handler each tick and click runs, and the
// local-time readout of 时钟2 with a fixed clock.
#include "app/wiring.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/date_time.h"
#include "tests/support/fake_view.h"

namespace {

// Services that answer with fixed values, so each handler's first view call
// shows which handler ran.
class FixedNetworkFacts final : public NetworkFacts {
 public:
  std::optional<DateTime> FetchNetworkTime() override { return MakeDateTime(2019, 10, 5, 4, 15); }
  bool SetCurrentDateTime(const DateTime&) override { return false; }
  void Sleep(int) override {}
  Text QueryPublicAddress(Text& placeName) override {
    placeName = "北京市";
    return "203.0.113.7";
  }
};

class FixedSystemFacts final : public SystemFacts {
 public:
  Text LocalAddress() override { return "192.0.2.2"; }
  Text HardwareAddress() override { return "00-11-22-33-44-55"; }
  Text OperatingSystemDescription() override { return "Windows 7"; }
  ScreenSize PrimaryScreenSize() override { return {1280, 800}; }
};

class SilentCommandRunner final : public CommandRunner {
 public:
  std::vector<std::string> commandLines;
  Text RunConsoleCommand(const Text& commandLine) override {
    commandLines.push_back(commandLine.bytes());
    return Text();
  }
};

struct Wired {
  FakeView view;
  DateTime now = MakeDateTime(2019, 10, 4, 14, 31, 42);
  FixedNetworkFacts network;
  FixedSystemFacts system;
  SilentCommandRunner runner;
  EventHandlers handlers = WireEventHandlers(
      view, Services{[this] { return now; }, network, system, runner});
};

TEST(LocalTimeReadout, TickOfTheSecondTimerWritesTheLocalTimeIntoTheSecondEditBox) {
  Wired wired;
  ASSERT_TRUE(wired.handlers.时钟2Tick);
  wired.handlers.时钟2Tick();
  EXPECT_EQ(wired.view.calls,
            std::vector<std::string>{"SetText 编辑框2 2019年10月4日14时31分42秒"});
}

TEST(LocalTimeReadout, DropsTrailingZeroFields) {
  const struct {
    DateTime time;
    const char* expected;
  } cases[] = {
      {MakeDateTime(2019, 10, 4, 14, 31, 0), "SetText 编辑框2 2019年10月4日14时31分"},
      {MakeDateTime(2019, 10, 4, 14, 0, 0), "SetText 编辑框2 2019年10月4日14时"},
      {MakeDateTime(2019, 10, 4, 0, 0, 0), "SetText 编辑框2 2019年10月4日"},
      {MakeDateTime(2019, 10, 4, 0, 0, 1), "SetText 编辑框2 2019年10月4日0时0分1秒"},
      {MakeDateTime(2019, 10, 4, 0, 5, 0), "SetText 编辑框2 2019年10月4日0时5分"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    Wired wired;
    wired.now = c.time;
    wired.handlers.时钟2Tick();
    EXPECT_EQ(wired.view.calls, std::vector<std::string>{c.expected});
  }
}

// Every tick reads the clock afresh: a second after a full minute the
// seconds are back.
TEST(LocalTimeReadout, EachTickReadsTheClockAgain) {
  Wired wired;
  wired.now = MakeDateTime(2019, 10, 4, 14, 31, 0);
  wired.handlers.时钟2Tick();
  wired.now = MakeDateTime(2019, 10, 4, 14, 31, 1);
  wired.handlers.时钟2Tick();
  EXPECT_EQ(wired.view.calls,
            (std::vector<std::string>{"SetText 编辑框2 2019年10月4日14时31分",
                                      "SetText 编辑框2 2019年10月4日14时31分1秒"}));
}

// Each tick and click runs its own module's handler: the first view call of
// each tells them apart.
TEST(EventWiring, EveryTickAndClickRunsItsHandler) {
  const struct {
    const char* event;
    std::function<void(const EventHandlers&)> fire;
    const char* firstCall;
  } cases[] = {
      {"时钟1", [](const EventHandlers& h) { h.OnTick(Timer::时钟1)(); }, "SetFont 标签8 size=15"},
      {"时钟2", [](const EventHandlers& h) { h.OnTick(Timer::时钟2)(); },
       "SetText 编辑框2 2019年10月4日14时31分42秒"},
      {"时钟3", [](const EventHandlers& h) { h.OnTick(Timer::时钟3)(); }, "SetText 编辑框3 192.0.2.2"},
      {"时钟4", [](const EventHandlers& h) { h.OnTick(Timer::时钟4)(); },
       "SetText 编辑框4 00-11-22-33-44-55"},
      {"时钟5", [](const EventHandlers& h) { h.OnTick(Timer::时钟5)(); }, "SetText 编辑框5 Windows 7"},
      {"时钟6", [](const EventHandlers& h) { h.OnTick(Timer::时钟6)(); },
       "SetText 编辑框6 203.0.113.7"},
      {"时钟7", [](const EventHandlers& h) { h.OnTick(Timer::时钟7)(); },
       "SetText 编辑框7 1280\r\nX800"},
      // The clock refuses to be set: the sync reports its failure.
      {"按钮1", [](const EventHandlers& h) { (*h.OnClick(Control::按钮1))(); },
       "ShowMessage 失败 同步失败：无法修改系统时间，请用管理员身份运行"},
      {"按钮2", [](const EventHandlers& h) { (*h.OnClick(Control::按钮2))(); },
       "ShowMessage 注意 修改DNS会被360阻止，信任即可\r\n修改时间大概需要三秒钟"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.event);
    Wired wired;
    c.fire(wired.handlers);
    ASSERT_FALSE(wired.view.calls.empty());
    EXPECT_EQ(wired.view.calls.front(), c.firstCall);
  }
}

// The three DNS buttons run their own presets.
TEST(EventWiring, DnsButtonsRunTheirOwnPresets) {
  const struct {
    Control button;
    const char* primary;
  } cases[] = {
      {Control::按钮2, "123.125.81.6"}, {Control::按钮3, "1.2.4.8"}, {Control::按钮4, "1.2.4.8"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(ControlName(c.button).bytes());
    Wired wired;
    (*wired.handlers.OnClick(c.button))();
    ASSERT_FALSE(wired.runner.commandLines.empty());
    EXPECT_NE(wired.runner.commandLines.front().find(std::string(" static ") + c.primary),
              std::string::npos)
        << wired.runner.commandLines.front();
  }
}

TEST(EventWiring, OnTickAndOnClickReachTheirOwnSlot) {
  EventHandlers handlers;
  std::vector<std::string> ran;
  handlers.时钟1Tick = [&] { ran.push_back("时钟1"); };
  handlers.时钟2Tick = [&] { ran.push_back("时钟2"); };
  handlers.时钟3Tick = [&] { ran.push_back("时钟3"); };
  handlers.时钟4Tick = [&] { ran.push_back("时钟4"); };
  handlers.时钟5Tick = [&] { ran.push_back("时钟5"); };
  handlers.时钟6Tick = [&] { ran.push_back("时钟6"); };
  handlers.时钟7Tick = [&] { ran.push_back("时钟7"); };
  handlers.按钮1Click = [&] { ran.push_back("按钮1"); };
  handlers.按钮2Click = [&] { ran.push_back("按钮2"); };
  handlers.按钮3Click = [&] { ran.push_back("按钮3"); };
  handlers.按钮4Click = [&] { ran.push_back("按钮4"); };

  for (Timer timer : {Timer::时钟1, Timer::时钟2, Timer::时钟3, Timer::时钟4, Timer::时钟5,
                      Timer::时钟6, Timer::时钟7}) {
    handlers.OnTick(timer)();
  }
  for (Control button : {Control::按钮1, Control::按钮2, Control::按钮3, Control::按钮4}) {
    (*handlers.OnClick(button))();
  }
  EXPECT_EQ(ran, (std::vector<std::string>{"时钟1", "时钟2", "时钟3", "时钟4", "时钟5", "时钟6",
                                           "时钟7", "按钮1", "按钮2", "按钮3", "按钮4"}));
}

TEST(EventWiring, ControlsOtherThanButtonsHaveNoClick) {
  EventHandlers handlers;
  for (Control control : {Control::标签1, Control::标签8, Control::编辑框1, Control::编辑框7}) {
    SCOPED_TRACE(ControlName(control).bytes());
    EXPECT_EQ(handlers.OnClick(control), nullptr);
  }
}

}  // namespace
